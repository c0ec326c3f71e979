#include "common/CodigoAnsi.h"

namespace {

// Code points of the bytes 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves unassigned,
// which decode to the C1 control of the same number.
constexpr char16_t kAlto[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byteDe(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kAlto[i] == c || (kAlto[i] == 0 && c == 0x80 + i))
            return 0x80 + i;
    }
    return -1;
}

} // namespace

namespace CodigoAnsi {

QByteArray DeTexto(const QString& sTexto, bool* bExacto)
{
    QByteArray r;
    r.reserve(sTexto.size());
    bool exacto = true;
    for (QChar c : sTexto) {
        const int b = byteDe(c.unicode());
        if (b < 0) {
            exacto = false;
            r.append('?');
        } else {
            r.append(static_cast<char>(b));
        }
    }
    if (bExacto)
        *bExacto = exacto;
    return r;
}

QString ATexto(const QByteArray& Bytes)
{
    QString r;
    r.reserve(Bytes.size());
    for (char ch : Bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0)
            r.append(QChar(kAlto[b - 0x80] ? kAlto[b - 0x80] : char16_t(b)));
        else
            r.append(QChar(char16_t(b)));
    }
    return r;
}

QString Normaliza(const QString& sTexto)
{
    return ATexto(DeTexto(sTexto));
}

} // namespace CodigoAnsi
