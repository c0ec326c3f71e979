#include "db/jet/sql/FuncionesJet.h"

#include "db/jet/sql/FuncionesJetComun.h"

// The functions live by concern: TextoJet.cpp (collation, LIKE, text), ConversionesJet.cpp,
// AritmeticaJet.cpp and AgregadosJet.cpp; FuncionesJetComun.cpp holds what they share.

const char* const PrefijoErrorJet = "jet: ";

void RegistraFuncionesJet(sqlite3* db, QChar cSeparador)
{
    using namespace funcionesjet;
    tablas();
    sqlite3_create_collation(db, "JET", SQLITE_UTF8, nullptr, colacionJet);
    const int f = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (const auto& grupo : {FuncionesTexto(), FuncionesConversion(), FuncionesAritmetica()})
        for (const TFuncionSqlite& fn : grupo)
            sqlite3_create_function_v2(db, fn.sNombre, fn.nArgs, f, new TAjustesConexion{cSeparador}, fn.fn,
                                       nullptr, nullptr,
                                       [](void* p) { delete static_cast<TAjustesConexion*>(p); });
    RegistraAgregados(db);
}
