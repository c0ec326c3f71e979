#include "db/jet/FormatoJet.h"

#include <utility>

namespace jet {

void Rc4(const uint8_t* pClave, size_t nLongClave, uint8_t* pDatos, size_t nLong)
{
    uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<uint8_t>(i);
    uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = static_cast<uint8_t>(j + s[i] + pClave[i % nLongClave]);
        std::swap(s[i], s[j]);
    }
    uint8_t a = 0;
    uint8_t b = 0;
    for (size_t k = 0; k < nLong; ++k) {
        a = static_cast<uint8_t>(a + 1);
        b = static_cast<uint8_t>(b + s[a]);
        std::swap(s[a], s[b]);
        pDatos[k] ^= s[static_cast<uint8_t>(s[a] + s[b])];
    }
}

} // namespace jet
