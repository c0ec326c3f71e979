// Jet arithmetic: & and +, Xor, division, integer division, Mod and ^, with Jet's type rules, and the truth
// of a value.

#include "db/jet/sql/FuncionesJet.h"
#include "db/jet/sql/FuncionesJetComun.h"

#include <cmath>
#include <limits>
#include <string>

using namespace funcionesjet;

namespace {

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
    if (!numeroDe(ctx, argv[0], a) || !numeroDe(ctx, argv[1], b))
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
    if (!numeroDe(ctx, argv[0], a) || !numeroDe(ctx, argv[1], b)) {
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

// Operands of \ and MOD: both are rounded to Long first, and outside its range is an overflow.
// False when the result is already given (Null or the error).
bool operandosLargos(sqlite3_context* ctx, sqlite3_value** argv, int64_t& x, int64_t& y)
{
    double a, b;
    if (!operandos(ctx, argv, a, b))
        return false;
    a = redondeaPar(a);
    b = redondeaPar(b);
    if (!enRangoLargo(a) || !enRangoLargo(b)) {
        resultadoError(ctx, TErrorJet::Desbordamiento());
        return false;
    }
    if (b == 0) {
        resultadoError(ctx, TErrorJet::DivisionPorCero());
        return false;
    }
    x = int64_t(a);
    y = int64_t(b);
    return true;
}

void fnIDiv(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    int64_t x, y;
    if (!operandosLargos(ctx, argv, x, y))
        return;
    const int64_t q = x / y;
    if (q > INT32_MAX) // -2147483648 \ -1
        return resultadoError(ctx, TErrorJet::Desbordamiento());
    sqlite3_result_int64(ctx, q);
}

void fnMod(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    int64_t x, y;
    if (operandosLargos(ctx, argv, x, y))
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
    if (!numeroDe(ctx, argv[0], d))
        return resultadoError(ctx, TErrorJet::TiposNoCoinciden());
    sqlite3_result_int(ctx, d != 0 ? 1 : 0);
}

} // namespace

std::span<const TFuncionSqlite> funcionesjet::FuncionesAritmetica()
{
    static const TFuncionSqlite funciones[] = {
        {"jet_concat", -1, fnConcat}, {"jet_xor", -1, fnXor},      {"jet_add", 2, fnAdd},
        {"jet_div", 2, fnDiv},        {"jet_divcur", 2, fnDivCur}, {"jet_mulcur", 2, fnMulCur},
        {"jet_idiv", 2, fnIDiv},      {"jet_mod", 2, fnMod},       {"jet_pow", 2, fnPow},
        {"jet_bool", 1, fnBool},
    };
    return funciones;
}
