#include "db/jet/sql/FuncionesJet.h"

#include "db/jet/sql/ErrorJet.h"

#include <QDate>
#include <QDateTime>

#include <sqlite3.h>

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

const char* const PrefijoErrorJet = "jet: ";

namespace {

// ---------------------------------------------------------------- text helpers

using TTexto32 = std::u32string;

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

// Folding tables for the BMP: case folded, and case folded without accents.
struct TTablasPliegue
{
    std::vector<char16_t> pliegue = std::vector<char16_t>(65536);
    std::vector<char16_t> base = std::vector<char16_t>(65536);
};

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

inline char32_t pliega(char32_t c)
{
    return c < 65536 ? tablas().pliegue[c] : QChar::toCaseFolded(c);
}

inline char32_t pliegaBase(char32_t c)
{
    return c < 65536 ? tablas().base[c] : QChar::toCaseFolded(c);
}

// ---------------------------------------------------------------- collation

int comparaNiveles(const TTexto32& a, const TTexto32& b)
{
    // Level 1: letters without case or accents, hyphen and apostrophe ignored (word sort);
    // level 2: accents; level 3: hyphen and apostrophe.
    for (int nivel = 1; nivel <= 3; ++nivel) {
        size_t i = 0, j = 0;
        for (;;) {
            if (nivel < 3) {
                while (i < a.size() && (a[i] == U'-' || a[i] == U'\''))
                    ++i;
                while (j < b.size() && (b[j] == U'-' || b[j] == U'\''))
                    ++j;
            }
            if (i >= a.size() || j >= b.size()) {
                if (i < a.size())
                    return 1;
                if (j < b.size())
                    return -1;
                break;
            }
            const char32_t x = nivel == 1 ? pliegaBase(a[i]) : pliega(a[i]);
            const char32_t y = nivel == 1 ? pliegaBase(b[j]) : pliega(b[j]);
            if (x != y)
                return x < y ? -1 : 1;
            ++i;
            ++j;
        }
    }
    return 0;
}

int comparaUtf8(const unsigned char* a, int na, const unsigned char* b, int nb)
{
    while (na > 0 && a[na - 1] == ' ')
        --na;
    while (nb > 0 && b[nb - 1] == ' ')
        --nb;
    // One pass over plain ASCII: identical bytes are skipped (whatever they are, they weigh the
    // same on every level), the first differing letters decide ignoring case. Only a difference
    // that involves a hyphen, an apostrophe or a non-ASCII byte needs the full comparison.
    auto especial = [](unsigned char c) { return c >= 0x80 || c == '-' || c == '\''; };
    const int n = na < nb ? na : nb;
    for (int i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (x == y)
            continue;
        if (especial(x) || especial(y))
            return comparaNiveles(decodifica(a, na), decodifica(b, nb));
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (na == nb)
        return 0;
    // One text is a prefix of the other: the longer is greater unless what follows could be
    // ignored (hyphens, apostrophes) or is not plain ASCII.
    const unsigned char* resto = na > nb ? a : b;
    for (int i = n; i < (na > nb ? na : nb); ++i)
        if (especial(resto[i]))
            return comparaNiveles(decodifica(a, na), decodifica(b, nb));
    return na < nb ? -1 : 1;
}

int colacionJet(void*, int na, const void* a, int nb, const void* b)
{
    return comparaUtf8(static_cast<const unsigned char*>(a), na, static_cast<const unsigned char*>(b), nb);
}

// ---------------------------------------------------------------- LIKE

struct TElementoPatron
{
    enum class TClase
    {
        Literal,
        Uno,
        Clase,
        Todo
    } Clase = TClase::Literal;
    char32_t c = 0;
    std::vector<std::pair<char32_t, char32_t>> Rangos;
    bool bNegada = false;
};
using TPatron = std::vector<TElementoPatron>;

TPatron compilaPatron(const TTexto32& p)
{
    TPatron r;
    for (size_t i = 0; i < p.size(); ++i) {
        TElementoPatron e;
        const char32_t c = p[i];
        if (c == U'%')
            e.Clase = TElementoPatron::TClase::Todo;
        else if (c == U'_')
            e.Clase = TElementoPatron::TClase::Uno;
        else if (c == U'[') {
            size_t j = i + 1;
            e.Clase = TElementoPatron::TClase::Clase;
            if (j < p.size() && (p[j] == U'!' || p[j] == U'^')) {
                e.bNegada = true;
                ++j;
            }
            bool cerrada = false;
            bool primero = true;
            while (j < p.size()) {
                if (p[j] == U']' && !primero) {
                    cerrada = true;
                    break;
                }
                primero = false;
                char32_t desde = pliega(p[j]);
                char32_t hasta = desde;
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    hasta = pliega(p[j + 2]);
                    j += 2;
                    if (hasta < desde)
                        throw TErrorJet::PatronNoValido();
                }
                e.Rangos.push_back({desde, hasta});
                ++j;
            }
            if (!cerrada)
                throw TErrorJet::PatronNoValido();
            i = j;
        } else
            e.c = pliega(c);
        r.push_back(std::move(e));
    }
    return r;
}

bool coincide(const TElementoPatron& e, char32_t c)
{
    switch (e.Clase) {
    case TElementoPatron::TClase::Literal:
        return e.c == c;
    case TElementoPatron::TClase::Uno:
        return true;
    case TElementoPatron::TClase::Clase: {
        bool dentro = false;
        for (const auto& r : e.Rangos)
            if (c >= r.first && c <= r.second)
                dentro = true;
        return dentro != e.bNegada;
    }
    case TElementoPatron::TClase::Todo:
        return true;
    }
    return false;
}

bool aplicaPatron(const TPatron& p, const TTexto32& valor)
{
    TTexto32 v(valor.size(), 0);
    for (size_t i = 0; i < valor.size(); ++i)
        v[i] = pliega(valor[i]);
    size_t ip = 0, iv = 0;
    size_t estrella = std::string::npos, marca = 0;
    while (iv < v.size()) {
        if (ip < p.size() && p[ip].Clase == TElementoPatron::TClase::Todo) {
            estrella = ip++;
            marca = iv;
            continue;
        }
        if (ip < p.size() && coincide(p[ip], v[iv])) {
            ++ip;
            ++iv;
            continue;
        }
        if (estrella != std::string::npos) {
            ip = estrella + 1;
            iv = ++marca;
            continue;
        }
        return false;
    }
    while (ip < p.size() && p[ip].Clase == TElementoPatron::TClase::Todo)
        ++ip;
    return ip == p.size();
}

void fnLike(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const TTexto32 valor = decodifica(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]));
    // A constant pattern is compiled once per statement and kept by SQLite with the call.
    if (const auto* guardado = static_cast<const TPatron*>(sqlite3_get_auxdata(ctx, 1)))
        return sqlite3_result_int(ctx, aplicaPatron(*guardado, valor) ? 1 : 0);
    try {
        auto patron = std::make_unique<TPatron>(
            compilaPatron(decodifica(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]))));
        sqlite3_result_int(ctx, aplicaPatron(*patron, valor) ? 1 : 0);
        sqlite3_set_auxdata(ctx, 1, patron.release(), [](void* p) { delete static_cast<TPatron*>(p); });
    } catch (const TErrorJet& e) {
        resultadoError(ctx, e);
    }
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

QChar& separador()
{
    static QChar c = QLatin1Char('.');
    return c;
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
bool numeroDe(sqlite3_value* v, double& d)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        d = sqlite3_value_double(v);
        return true;
    case SQLITE_TEXT:
        return numeroDeTexto(utf8(v), d, separador());
    default:
        return false;
    }
}

void fnNum(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (t == SQLITE_INTEGER || t == SQLITE_FLOAT)
        return sqlite3_result_value(ctx, argv[0]);
    double d;
    if (!numeroDe(argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    sqlite3_result_double(ctx, d);
}

void fnCStr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    bool nulo;
    const QString s = textoDe(argv[0], claveDe(argv[1]), nulo, separador());
    if (nulo) {
        if (argc > 2 && sqlite3_value_int(argv[2]))
            return resultadoError(ctx, TErrorJet::UsoNoValidoNull());
        return sqlite3_result_null(ctx);
    }
    resultadoTexto(ctx, s);
}

void fnStr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    char k = claveDe(argv[1]);
    QString numero;
    if (t == SQLITE_TEXT) {
        double d;
        if (!numeroDeTexto(utf8(argv[0]), d, separador()))
            return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
        numero = TextoNumeroJet(d);
    } else {
        bool nulo;
        if (k == 'f')
            k = 'd'; // Str of a date gives its text in Jet; numbers are what this program asks
        numero = textoDe(argv[0], k, nulo, QLatin1Char('.'));
    }
    resultadoTexto(ctx, StrJet(numero));
}

void fnVal(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return resultadoError(ctx, TErrorJet::UsoNoValidoNull());
    // Val reads the longest number at the start, skipping blanks, tabs and line feeds anywhere.
    const QString s = utf8(argv[0]);
    QString limpio;
    for (QChar c : s)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
            c != QLatin1Char('\r'))
            limpio += c;
    if (limpio.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) ||
        limpio.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        const int base = limpio.at(1).toUpper() == QLatin1Char('H') ? 16 : 8;
        int i = 2;
        while (i < limpio.size()) {
            const int digito = limpio.at(i).isDigit() ? limpio.at(i).digitValue()
                               : base == 16 && limpio.at(i).toUpper() >= QLatin1Char('A') &&
                                       limpio.at(i).toUpper() <= QLatin1Char('F')
                                   ? limpio.at(i).toUpper().unicode() - 'A' + 10
                                   : -1;
            if (digito < 0 || digito >= base)
                break;
            ++i;
        }
        bool ok = false;
        const qlonglong n = limpio.mid(2, i - 2).toLongLong(&ok, base);
        return sqlite3_result_double(ctx, ok ? double(n) : 0.0);
    }
    int i = 0;
    const int n = limpio.size();
    if (i < n && (limpio[i] == QLatin1Char('+') || limpio[i] == QLatin1Char('-')))
        ++i;
    const int inicioDigitos = i;
    while (i < n && limpio[i].isDigit())
        ++i;
    if (i < n && limpio[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && limpio[i].isDigit())
            ++i;
    }
    if (i == inicioDigitos || (i == inicioDigitos + 1 && limpio[inicioDigitos] == QLatin1Char('.')))
        return sqlite3_result_double(ctx, 0.0);
    int fin = i;
    if (i < n && (limpio[i].toUpper() == QLatin1Char('E') || limpio[i].toUpper() == QLatin1Char('D'))) {
        int j = i + 1;
        if (j < n && (limpio[j] == QLatin1Char('+') || limpio[j] == QLatin1Char('-')))
            ++j;
        if (j < n && limpio[j].isDigit()) {
            while (j < n && limpio[j].isDigit())
                ++j;
            fin = j;
        }
    }
    QString num = limpio.left(fin);
    num.replace(QLatin1Char('D'), QLatin1Char('E'));
    num.replace(QLatin1Char('d'), QLatin1Char('E'));
    sqlite3_result_double(ctx, num.toDouble());
}

void fnRound(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int64_t decimales = sqlite3_value_int64(argv[1]);
    if (decimales < 0)
        return resultadoError(ctx, TErrorJet::LlamadaNoValida());
    const char k = claveDe(argv[2]);
    if (k == 'c' && t == SQLITE_INTEGER)
        return sqlite3_result_int64(ctx, RedondeaMonedaJet(sqlite3_value_int64(argv[0]), int(decimales)));
    if (t == SQLITE_INTEGER)
        return sqlite3_result_value(ctx, argv[0]);
    double d;
    if (!numeroDe(argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    sqlite3_result_double(ctx, RedondeaJet(d, int(decimales)));
}

void enteroComun(sqlite3_context* ctx, sqlite3_value** argv, bool bPiso)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const char k = claveDe(argv[1]);
    if (t == SQLITE_INTEGER) {
        int64_t n = sqlite3_value_int64(argv[0]);
        if (k == 'c') {
            int64_t q = n / 10000, r = n % 10000;
            if (bPiso && r < 0)
                q -= 1;
            n = q * 10000;
        }
        return sqlite3_result_int64(ctx, n);
    }
    double d;
    if (!numeroDe(argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    sqlite3_result_double(ctx, bPiso ? std::floor(d) : std::trunc(d));
}

void fnInt(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    enteroComun(ctx, argv, true);
}

void fnFix(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    enteroComun(ctx, argv, false);
}

void fnCLng(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const char k = claveDe(argv[1]);
    if (t == SQLITE_INTEGER) {
        if (k == 'c') {
            __int128 q;
            dividePar(sqlite3_value_int64(argv[0]), 10000, q);
            return sqlite3_result_int64(ctx, int64_t(q));
        }
        return sqlite3_result_value(ctx, argv[0]);
    }
    double d;
    if (!numeroDe(argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    if (k == 'c')
        d /= 10000.0;
    const double r = redondeaPar(d);
    if (std::fabs(r) > 9.2e18)
        return resultadoError(ctx, TErrorJet::Desbordamiento());
    sqlite3_result_int64(ctx, int64_t(r));
}

void fnCCur(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const char k = claveDe(argv[1]);
    if (k == 'c')
        return sqlite3_result_value(ctx, argv[0]);
    if (t == SQLITE_INTEGER) {
        const int64_t n = sqlite3_value_int64(argv[0]);
        if (n > INT64_MAX / 10000 || n < INT64_MIN / 10000)
            return resultadoError(ctx, TErrorJet::Desbordamiento());
        return sqlite3_result_int64(ctx, n * 10000);
    }
    double d;
    if (!numeroDe(argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    int64_t n;
    if (!monedaDeDoble(d, n))
        return resultadoError(ctx, TErrorJet::Desbordamiento());
    sqlite3_result_int64(ctx, n);
}

void fnCDbl(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const char k = claveDe(argv[1]);
    double d;
    if (!numeroDe(argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    if (k == 'c' && t == SQLITE_INTEGER)
        d /= 10000.0;
    sqlite3_result_double(ctx, d);
}

void fnCSng(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    fnCDbl(ctx, argc, argv);
}

void fnConcat(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    // a & b & c: Null only when every operand is Null, else the text of those that are not.
    bool todosNulos = true;
    std::string r;
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            continue;
        todosNulos = false;
        const char* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        if (t)
            r.append(t, size_t(sqlite3_value_bytes(argv[i])));
    }
    if (todosNulos)
        return sqlite3_result_null(ctx);
    if (r.size() > size_t(INT32_MAX))
        return sqlite3_result_error_toobig(ctx);
    sqlite3_result_text(ctx, r.data(), int(r.size()), SQLITE_TRANSIENT);
}

void fnXor(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    // Bitwise exclusive or of Long values, Null when any is Null (as (a | b) & ~(a & b)).
    int64_t r = 0;
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return sqlite3_result_null(ctx);
        r ^= sqlite3_value_int64(argv[i]);
    }
    sqlite3_result_int64(ctx, r);
}

void fnAdd(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int ta = sqlite3_value_type(argv[0]), tb = sqlite3_value_type(argv[1]);
    if (ta == SQLITE_NULL || tb == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (ta == SQLITE_TEXT && tb == SQLITE_TEXT)
        return fnConcat(ctx, 2, argv);
    if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        int64_t r;
        if (!__builtin_add_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]), &r))
            return sqlite3_result_int64(ctx, r);
    }
    double a, b;
    if (!numeroDe(argv[0], a) || !numeroDe(argv[1], b))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    sqlite3_result_double(ctx, a + b);
}

bool enRangoLargo(double d)
{
    return d >= -2147483648.0 && d <= 2147483647.0; // false for NaN
}

bool operandos(sqlite3_context* ctx, sqlite3_value** argv, double& a, double& b)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return false;
    }
    if (!numeroDe(argv[0], a) || !numeroDe(argv[1], b)) {
        resultadoError(ctx, TErrorJet::TiposNoCoinciden());
        return false;
    }
    return true;
}

void fnDiv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    double a, b;
    if (!operandos(ctx, argv, a, b))
        return;
    if (b == 0)
        return resultadoError(ctx, a == 0 ? TErrorJet::Desbordamiento() : TErrorJet::DivisionPorCero());
    sqlite3_result_double(ctx, a / b);
}

void fnDivCur(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int64_t a = sqlite3_value_int64(argv[0]), b = sqlite3_value_int64(argv[1]);
    if (b == 0)
        return resultadoError(ctx, a == 0 ? TErrorJet::Desbordamiento() : TErrorJet::DivisionPorCero());
    __int128 q;
    dividePar(__int128(a) * 10000, b, q);
    if (q > INT64_MAX || q < INT64_MIN)
        return resultadoError(ctx, TErrorJet::Desbordamiento());
    sqlite3_result_int64(ctx, int64_t(q));
}

void fnMulCur(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    __int128 q;
    dividePar(__int128(sqlite3_value_int64(argv[0])) * sqlite3_value_int64(argv[1]), 10000, q);
    if (q > INT64_MAX || q < INT64_MIN)
        return resultadoError(ctx, TErrorJet::Desbordamiento());
    sqlite3_result_int64(ctx, int64_t(q));
}

void fnIDiv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    double a, b;
    if (!operandos(ctx, argv, a, b))
        return;
    // Both operands are rounded to Long first: outside its range is an overflow.
    a = redondeaPar(a);
    b = redondeaPar(b);
    if (!enRangoLargo(a) || !enRangoLargo(b))
        return resultadoError(ctx, TErrorJet::Desbordamiento());
    if (b == 0)
        return resultadoError(ctx, TErrorJet::DivisionPorCero());
    const int64_t q = int64_t(a) / int64_t(b);
    if (q > INT32_MAX) // -2147483648 \ -1
        return resultadoError(ctx, TErrorJet::Desbordamiento());
    sqlite3_result_int64(ctx, q);
}

void fnMod(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    double a, b;
    if (!operandos(ctx, argv, a, b))
        return;
    // Both operands are rounded to Long first: outside its range is an overflow.
    a = redondeaPar(a);
    b = redondeaPar(b);
    if (!enRangoLargo(a) || !enRangoLargo(b))
        return resultadoError(ctx, TErrorJet::Desbordamiento());
    const int64_t x = int64_t(a), y = int64_t(b);
    if (y == 0)
        return resultadoError(ctx, TErrorJet::DivisionPorCero());
    sqlite3_result_int64(ctx, x % y);
}

void fnPow(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    double a, b;
    if (!operandos(ctx, argv, a, b))
        return;
    const double r = std::pow(a, b);
    if (std::isnan(r))
        return resultadoError(ctx, TErrorJet::LlamadaNoValida());
    sqlite3_result_double(ctx, r);
}

void fnBool(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (t == SQLITE_TEXT) {
        const QString s = utf8(argv[0]).trimmed();
        if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return sqlite3_result_int(ctx, 1);
        if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return sqlite3_result_int(ctx, 0);
    }
    double d;
    if (!numeroDe(argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    sqlite3_result_int(ctx, d != 0 ? 1 : 0);
}

// ---------------------------------------------------------------- text functions

QString mapea(const QString& s, bool bMayus)
{
    const QList<uint> cps = s.toUcs4();
    QString r;
    r.reserve(s.size());
    for (uint c : cps) {
        const char32_t m = bMayus ? QChar::toUpper(char32_t(c)) : QChar::toLower(char32_t(c));
        if (m > 0xFFFF) {
            r += QChar(QChar::highSurrogate(m));
            r += QChar(QChar::lowSurrogate(m));
        } else
            r += QChar(char16_t(m));
    }
    return r;
}

void cambiaCaso(sqlite3_context* ctx, sqlite3_value* v, bool bMayus)
{
    if (sqlite3_value_type(v) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const unsigned char* s = sqlite3_value_text(v);
    const int n = sqlite3_value_bytes(v);
    bool ascii = true;
    for (int i = 0; i < n && ascii; ++i)
        ascii = s[i] < 0x80;
    if (ascii) {
        std::string r(reinterpret_cast<const char*>(s), size_t(n));
        for (char& c : r) {
            if (bMayus && c >= 'a' && c <= 'z')
                c -= 32;
            else if (!bMayus && c >= 'A' && c <= 'Z')
                c += 32;
        }
        return sqlite3_result_text(ctx, r.data(), n, SQLITE_TRANSIENT);
    }
    resultadoTexto(ctx, mapea(utf8(v), bMayus));
}

void fnUCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    cambiaCaso(ctx, argv[0], true);
}

void fnLCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    cambiaCaso(ctx, argv[0], false);
}

void fnLeftRight(sqlite3_context* ctx, sqlite3_value** argv, bool bIzquierda)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return resultadoError(ctx, TErrorJet::UsoNoValidoNull());
    const int64_t n = sqlite3_value_int64(argv[1]);
    if (n < 0)
        return resultadoError(ctx, TErrorJet::LlamadaNoValida());
    const QString s = utf8(argv[0]);
    resultadoTexto(ctx, bIzquierda ? s.left(qsizetype(std::min<int64_t>(n, s.size())))
                                   : s.right(qsizetype(std::min<int64_t>(n, s.size()))));
}

void fnLeft(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    fnLeftRight(ctx, argv, true);
}

void fnRight(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    fnLeftRight(ctx, argv, false);
}

void fnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL ||
        (argc > 2 && sqlite3_value_type(argv[2]) == SQLITE_NULL))
        return resultadoError(ctx, TErrorJet::UsoNoValidoNull());
    const int64_t inicio = sqlite3_value_int64(argv[1]);
    const int64_t largo = argc > 2 ? sqlite3_value_int64(argv[2]) : std::numeric_limits<int32_t>::max();
    if (inicio < 1 || largo < 0)
        return resultadoError(ctx, TErrorJet::LlamadaNoValida());
    const QString s = utf8(argv[0]);
    if (inicio > s.size())
        return resultadoTexto(ctx, QString());
    resultadoTexto(ctx, s.mid(qsizetype(inicio - 1), qsizetype(std::min<int64_t>(largo, s.size()))));
}

void fnInStr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return resultadoError(ctx, TErrorJet::UsoNoValidoNull());
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int64_t inicio = sqlite3_value_int64(argv[0]);
    if (inicio < 1)
        return resultadoError(ctx, TErrorJet::LlamadaNoValida());
    const QString s = utf8(argv[1]), b = utf8(argv[2]);
    if (inicio > s.size())
        return sqlite3_result_int(ctx, 0);
    const qsizetype p = s.indexOf(b, qsizetype(inicio - 1), Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, p < 0 ? 0 : p + 1);
}

// ---------------------------------------------------------------- aggregates

struct TEstadoValor
{
    sqlite3_value* v;
    int64_t nFilas;
};

void pasoPrimero(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* e = static_cast<TEstadoValor*>(sqlite3_aggregate_context(ctx, sizeof(TEstadoValor)));
    if (!e)
        return sqlite3_result_error_nomem(ctx);
    if (e->nFilas++ == 0)
        e->v = sqlite3_value_dup(argv[0]);
}

void pasoUltimo(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* e = static_cast<TEstadoValor*>(sqlite3_aggregate_context(ctx, sizeof(TEstadoValor)));
    if (!e)
        return sqlite3_result_error_nomem(ctx);
    if (e->v)
        sqlite3_value_free(e->v);
    e->v = sqlite3_value_dup(argv[0]);
    e->nFilas++;
}

void pasoUnico(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* e = static_cast<TEstadoValor*>(sqlite3_aggregate_context(ctx, sizeof(TEstadoValor)));
    if (!e)
        return sqlite3_result_error_nomem(ctx);
    if (++e->nFilas == 1)
        e->v = sqlite3_value_dup(argv[0]);
    else if (e->nFilas == 2)
        resultadoError(ctx, TErrorJet::MasDeUnRegistro());
}

void finValor(sqlite3_context* ctx)
{
    auto* e = static_cast<TEstadoValor*>(sqlite3_aggregate_context(ctx, 0));
    if (!e || !e->v)
        return sqlite3_result_null(ctx);
    if (e->nFilas > 1 && sqlite3_user_data(ctx))
        resultadoError(ctx, TErrorJet::MasDeUnRegistro());
    else
        sqlite3_result_value(ctx, e->v);
    sqlite3_value_free(e->v);
    e->v = nullptr;
}

} // namespace

// ---------------------------------------------------------------- public conversions

QString TextoNumeroJet(double d, int nDigitos, QChar cSeparador)
{
    if (d == 0)
        return QStringLiteral("0");
    if (!std::isfinite(d))
        return std::isnan(d) ? QStringLiteral("NaN") : d > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", nDigitos, d);
    QString s = QString::fromLatin1(buf);
    if (cSeparador != QLatin1Char('.'))
        s.replace(QLatin1Char('.'), cSeparador);
    return s;
}

QString TextoMonedaJet(int64_t n, QChar cSeparador)
{
    const bool negativo = n < 0;
    const uint64_t a = negativo ? uint64_t(0) - uint64_t(n) : uint64_t(n);
    QString s = QString::number(a / 10000);
    const uint64_t frac = a % 10000;
    if (frac) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += cSeparador + f;
    }
    return negativo ? QLatin1Char('-') + s : s;
}

QString StrJet(const QString& sNumero)
{
    QString s = sNumero;
    const bool negativo = s.startsWith(QLatin1Char('-'));
    if (negativo)
        s.remove(0, 1);
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    return (negativo ? QStringLiteral("-") : QStringLiteral(" ")) + s;
}

double RedondeaJet(double x, int nDecimales)
{
    if (nDecimales > 22 || !std::isfinite(x))
        return x;
    const double f = std::pow(10.0, nDecimales);
    const double y = x * f;
    if (!std::isfinite(y))
        return x;
    return redondeaPar(y) / f;
}

int64_t RedondeaMonedaJet(int64_t n, int nDecimales)
{
    if (nDecimales >= 4)
        return n;
    static const int64_t potencias[] = {10000, 1000, 100, 10};
    const int64_t unidad = potencias[nDecimales];
    __int128 q = 0;
    dividePar(n, unidad, q);
    return int64_t(q * unidad);
}

int ComparaTextoJet(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    return comparaUtf8(reinterpret_cast<const unsigned char*>(x.constData()), int(x.size()),
                       reinterpret_cast<const unsigned char*>(y.constData()), int(y.size()));
}

bool ComoJet(const QString& sValor, const QString& sPatron)
{
    return aplicaPatron(compilaPatron(decodifica(sPatron)), decodifica(sValor));
}

void RegistraFuncionesJet(sqlite3* db, QChar cSeparador)
{
    separador() = cSeparador;
    tablas();
    sqlite3_create_collation(db, "JET", SQLITE_UTF8, nullptr, colacionJet);
    const int f = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct TFuncion
    {
        const char* sNombre;
        int nArgs;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    static const TFuncion funciones[] = {
        {"jet_like", 2, fnLike},   {"jet_num", 1, fnNum},        {"jet_cstr", 2, fnCStr},
        {"jet_cstr", 3, fnCStr},   {"jet_str", 2, fnStr},        {"jet_val", 1, fnVal},
        {"jet_round", 3, fnRound}, {"jet_int", 2, fnInt},        {"jet_fix", 2, fnFix},
        {"jet_clng", 2, fnCLng},   {"jet_ccur", 2, fnCCur},      {"jet_cdbl", 2, fnCDbl},
        {"jet_csng", 2, fnCSng},   {"jet_concat", -1, fnConcat}, {"jet_add", 2, fnAdd},
        {"jet_div", 2, fnDiv},     {"jet_divcur", 2, fnDivCur},  {"jet_mulcur", 2, fnMulCur},
        {"jet_idiv", 2, fnIDiv},   {"jet_mod", 2, fnMod},        {"jet_pow", 2, fnPow},
        {"jet_bool", 1, fnBool},   {"jet_ucase", 1, fnUCase},    {"jet_lcase", 1, fnLCase},
        {"jet_left", 2, fnLeft},   {"jet_right", 2, fnRight},    {"jet_mid", 2, fnMid},
        {"jet_mid", 3, fnMid},     {"jet_instr", 3, fnInStr},    {"jet_xor", -1, fnXor},
    };
    for (const auto& fn : funciones)
        sqlite3_create_function_v2(db, fn.sNombre, fn.nArgs, f, nullptr, fn.fn, nullptr, nullptr, nullptr);
    static int unico = 1;
    sqlite3_create_function_v2(db, "jet_first", 1, SQLITE_UTF8, nullptr, nullptr, pasoPrimero, finValor,
                               nullptr);
    sqlite3_create_function_v2(db, "jet_last", 1, SQLITE_UTF8, nullptr, nullptr, pasoUltimo, finValor,
                               nullptr);
    sqlite3_create_function_v2(db, "jet_single", 1, SQLITE_UTF8, &unico, nullptr, pasoUnico, finValor,
                               nullptr);
}
