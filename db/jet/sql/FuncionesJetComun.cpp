#include "db/jet/sql/FuncionesJetComun.h"

#include "db/jet/sql/FuncionesJet.h"

#include <QDate>
#include <QTime>

#include <cmath>
#include <mutex>

namespace funcionesjet {

TTexto32 decodifica(const unsigned char* s, int n)
{
    TTexto32 r;
    r.reserve(size_t(n));
    int i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        char32_t cp;
        int largo;
        if (c < 0x80) {
            cp = c;
            largo = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            largo = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            largo = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            largo = 4;
        } else {
            r.push_back(0xFFFD);
            ++i;
            continue;
        }
        if (i + largo > n) {
            r.push_back(0xFFFD);
            break;
        }
        for (int k = 1; k < largo; ++k)
            cp = (cp << 6) | (s[i + k] & 0x3F);
        r.push_back(cp);
        i += largo;
    }
    return r;
}

TTexto32 decodifica(const QString& s)
{
    TTexto32 r;
    r.reserve(size_t(s.size()));
    for (char32_t c : s.toUcs4())
        r.push_back(c);
    return r;
}

QString utf8(sqlite3_value* v)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
}

void resultadoTexto(sqlite3_context* ctx, const QString& s)
{
    const QByteArray b = s.toUtf8();
    sqlite3_result_text(ctx, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

void resultadoError(sqlite3_context* ctx, const TErrorJet& e)
{
    const QByteArray m = QByteArray(PrefijoErrorJet) + e.Mensaje().toUtf8();
    sqlite3_result_error(ctx, m.constData(), int(m.size()));
}

const TTablasPliegue& tablas()
{
    static TTablasPliegue t;
    static std::once_flag una;
    std::call_once(una, [] {
        for (char32_t c = 0; c < 65536; ++c) {
            const char32_t p = QChar::toCaseFolded(c);
            t.pliegue[c] = p < 65536 ? char16_t(p) : char16_t(c);
            char32_t b = c;
            for (int i = 0; i < 4 && QChar::decompositionTag(b) == QChar::Canonical; ++i) {
                const QString d = QChar::decomposition(b);
                if (d.isEmpty())
                    break;
                b = d.at(0).isHighSurrogate() && d.size() > 1 ? QChar::surrogateToUcs4(d.at(0), d.at(1))
                                                              : char32_t(d.at(0).unicode());
            }
            const char32_t bp = QChar::toCaseFolded(b);
            t.base[c] = bp < 65536 ? char16_t(bp) : t.pliegue[c];
        }
    });
    return t;
}

// ---------------------------------------------------------------- numbers

char claveDe(sqlite3_value* v)
{
    const unsigned char* k = sqlite3_value_text(v);
    return k && *k ? char(*k) : 'v';
}

// Text to number as Jet converts it; false when the text is not a number.
bool numeroDeTexto(const QString& sTexto, double& d, QChar cSeparador)
{
    QString s = sTexto.trimmed();
    if (s.isEmpty())
        return false;
    if (cSeparador != QLatin1Char('.'))
        s.replace(cSeparador, QLatin1Char('.'));
    if (s.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        bool ok = false;
        const qlonglong n = s.mid(2).toLongLong(&ok, 16);
        d = double(n);
        return ok;
    }
    s.replace(QLatin1Char('D'), QLatin1Char('E'));
    s.replace(QLatin1Char('d'), QLatin1Char('E'));
    bool ok = false;
    d = s.toDouble(&ok);
    return ok && std::isfinite(d);
}

double redondeaPar(double x)
{
    // nearbyint follows the current rounding mode, which is ties-to-even by default
    return std::nearbyint(x);
}

bool dividePar(__int128 num, __int128 den, __int128& q)
{
    if (den == 0)
        return false;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    __int128 c = num / den;
    __int128 r = num % den;
    if (r < 0) {
        c -= 1;
        r += den;
    }
    // c is the floor; round half to even
    if (2 * r > den || (2 * r == den && (c % 2 != 0)))
        c += 1;
    q = c;
    return true;
}

bool monedaDeDoble(double d, int64_t& n)
{
    const double escalado = redondeaPar(d * 10000.0);
    if (!std::isfinite(escalado) || std::fabs(escalado) > 9.2e18)
        return false;
    n = int64_t(escalado);
    return true;
}

QString textoFecha(double d)
{
    const double dias = std::trunc(d);
    const double fraccion = std::fabs(d - dias);
    const qint64 segundos = std::llround(fraccion * 86400.0);
    const QDate fecha = QDate(1899, 12, 30).addDays(qint64(dias));
    const QTime hora = QTime(0, 0).addSecs(int(segundos % 86400));
    if (segundos == 0)
        return fecha.toString(QStringLiteral("MM/dd/yyyy"));
    if (dias == 0)
        return hora.toString(QStringLiteral("HH:mm:ss"));
    return fecha.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char(' ') +
           hora.toString(QStringLiteral("HH:mm:ss"));
}

// Text of a value of kind k as Jet converts it (null stays null: bNulo).
QString textoDe(sqlite3_value* v, char k, bool& bNulo, QChar cSeparador)
{
    bNulo = false;
    const int t = sqlite3_value_type(v);
    if (t == SQLITE_NULL) {
        bNulo = true;
        return QString();
    }
    if (t == SQLITE_TEXT)
        return utf8(v);
    if (t == SQLITE_BLOB)
        return QString::fromLatin1(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v));
    switch (k) {
    case 'c':
        if (t == SQLITE_INTEGER)
            return TextoMonedaJet(sqlite3_value_int64(v), cSeparador);
        return TextoNumeroJet(sqlite3_value_double(v) / 10000.0, 15, cSeparador);
    case 'f':
        return textoFecha(sqlite3_value_double(v));
    case 's':
        return TextoNumeroJet(sqlite3_value_double(v), 7, cSeparador);
    default:
        if (t == SQLITE_INTEGER)
            return QString::number(sqlite3_value_int64(v));
        return TextoNumeroJet(sqlite3_value_double(v), 15, cSeparador);
    }
}

// Number of a value for arithmetic: text converted, or false (type mismatch).
bool numeroDe(sqlite3_context* ctx, sqlite3_value* v, double& d)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        d = sqlite3_value_double(v);
        return true;
    case SQLITE_TEXT:
        return numeroDeTexto(utf8(v), d, ajustes(ctx).cSeparador);
    default:
        return false;
    }
}

} // namespace funcionesjet
