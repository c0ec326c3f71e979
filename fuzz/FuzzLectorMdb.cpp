// Feeds arbitrary bytes to the .mdb reader as a whole file: open it, decode the header and the
// catalog, then read every row of every table and turn every value into text.

#include "db/jet/BaseDatosMdb.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

size_t Consume(const jet::TValor& v)
{
    return std::visit(
        [](const auto& x) -> size_t {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, jet::TMoneda> || std::is_same_v<T, jet::TNumerico>)
                return size_t(x.Texto().size());
            else if constexpr (std::is_same_v<T, jet::TFechaJet>)
                return x.FechaHora().isValid() ? 1 : 0;
            else if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, QByteArray>)
                return size_t(x.size());
            else
                return 1;
        },
        v);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pDatos, size_t nLong)
{
    const QByteArray Datos = QByteArray::fromRawData(reinterpret_cast<const char*>(pDatos), qsizetype(nLong));
    QString sError;
    auto pBD = jet::TBaseDatosMdb::AbreMemoria(Datos, &sError);
    if (!pBD) {
        if (sError.isEmpty()) // every failure must say why
            __builtin_trap();
        return 0;
    }
    size_t nTotal = size_t(pBD->Contrasena().size());
    for (const QString& sTabla : pBD->TodasLasTablas()) {
        auto pLector = pBD->AbreTabla(sTabla, &sError);
        if (!pLector)
            continue;
        std::vector<jet::TValor> Fila;
        while (pLector->Siguiente(Fila)) {
            for (const jet::TValor& v : Fila)
                nTotal += Consume(v);
        }
    }
    return nTotal == SIZE_MAX ? 1 : 0;
}
