// Jet aggregates that SQLite lacks: First, Last, and the check that a scalar subquery yields one row.

#include "db/jet/sql/FuncionesJet.h"
#include "db/jet/sql/FuncionesJetComun.h"

using namespace funcionesjet;

namespace {

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

void funcionesjet::RegistraAgregados(sqlite3* db)
{
    // The single-row check is told apart by its user data.
    static int unico = 1;
    sqlite3_create_function_v2(db, "jet_first", 1, SQLITE_UTF8, nullptr, nullptr, pasoPrimero, finValor,
                               nullptr);
    sqlite3_create_function_v2(db, "jet_last", 1, SQLITE_UTF8, nullptr, nullptr, pasoUltimo, finValor,
                               nullptr);
    sqlite3_create_function_v2(db, "jet_single", 1, SQLITE_UTF8, &unico, nullptr, pasoUnico, finValor,
                               nullptr);
}
