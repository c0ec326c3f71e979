// Jet conversions: CStr, Str, Val, Round, Int, Fix, CLng, CCur, CDbl, CSng, and the texts of numbers.

#include "db/jet/sql/FuncionesJet.h"
#include "db/jet/sql/FuncionesJetComun.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

using namespace funcionesjet;

namespace {

void fnNum(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    const int t = sqlite3_value_type(argv[0]);
    if (t == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (t == SQLITE_INTEGER || t == SQLITE_FLOAT)
        return sqlite3_result_value(ctx, argv[0]);
    double d;
    if (!numeroDe(ctx, argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    sqlite3_result_double(ctx, d);
}

void fnCStr(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    bool nulo;
    const QString s = textoDe(argv[0], claveDe(argv[1]), nulo, ajustes(ctx).cSeparador);
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
        if (!numeroDeTexto(utf8(argv[0]), d, ajustes(ctx).cSeparador))
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
    if (!numeroDe(ctx, argv[0], d))
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
    if (!numeroDe(ctx, argv[0], d))
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
    if (!numeroDe(ctx, argv[0], d))
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
    if (!numeroDe(ctx, argv[0], d))
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
    if (!numeroDe(ctx, argv[0], d))
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

} // namespace

std::span<const TFuncionSqlite> funcionesjet::FuncionesConversion()
{
    static const TFuncionSqlite funciones[] = {
        {"jet_num", 1, fnNum},   {"jet_cstr", 2, fnCStr},   {"jet_cstr", 3, fnCStr}, {"jet_str", 2, fnStr},
        {"jet_val", 1, fnVal},   {"jet_round", 3, fnRound}, {"jet_int", 2, fnInt},   {"jet_fix", 2, fnFix},
        {"jet_clng", 2, fnCLng}, {"jet_ccur", 2, fnCCur},   {"jet_cdbl", 2, fnCDbl}, {"jet_csng", 2, fnCSng},
    };
    return funciones;
}

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
