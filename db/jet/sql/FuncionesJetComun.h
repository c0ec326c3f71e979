#pragma once

// What the files of the Jet functions share: text decoding and results, the folding tables of
// the collation, number conversions, and the settings of the connection the functions serve.

#include "db/jet/sql/ErrorJet.h"

#include <QChar>
#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace funcionesjet {

// Settings of one connection, given to each of its functions as their user data: two sessions
// with different regional settings keep their own.
struct TAjustesConexion
{
    QChar cSeparador; // decimal separator of CStr and implicit number-to-text conversions
};
inline const TAjustesConexion& ajustes(sqlite3_context* ctx)
{
    return *static_cast<const TAjustesConexion*>(sqlite3_user_data(ctx));
}

// A scalar function as SQLite registers it.
struct TFuncionSqlite
{
    const char* sNombre;
    int nArgs;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
};
std::span<const TFuncionSqlite> FuncionesTexto();      // LIKE, case, Left, Right, Mid, InStr
std::span<const TFuncionSqlite> FuncionesConversion(); // CStr, Str, Val, Round, Int, Fix, CLng...
std::span<const TFuncionSqlite> FuncionesAritmetica(); // &, Xor, + - / \ Mod ^ and truth of a value
void RegistraAgregados(sqlite3* db);                   // First, Last, the single-row check

// ---- text
using TTexto32 = std::u32string;
TTexto32 decodifica(const unsigned char* s, int n);
TTexto32 decodifica(const QString& s);
QString utf8(sqlite3_value* v);
void resultadoTexto(sqlite3_context* ctx, const QString& s);
void resultadoError(sqlite3_context* ctx, const TErrorJet& e);

// Folding tables for the BMP: case folded, and case folded without accents.
struct TTablasPliegue
{
    std::vector<char16_t> pliegue = std::vector<char16_t>(65536);
    std::vector<char16_t> base = std::vector<char16_t>(65536);
};
const TTablasPliegue& tablas();
inline char32_t pliega(char32_t c)
{
    return c < 65536 ? tablas().pliegue[c] : QChar::toCaseFolded(c);
}
inline char32_t pliegaBase(char32_t c)
{
    return c < 65536 ? tablas().base[c] : QChar::toCaseFolded(c);
}
// The JET collation.
int colacionJet(void*, int na, const void* a, int nb, const void* b);

// ---- numbers
char claveDe(sqlite3_value* v);
bool numeroDeTexto(const QString& sTexto, double& d, QChar cSeparador);
double redondeaPar(double x);
bool dividePar(__int128 num, __int128 den, __int128& q);
bool monedaDeDoble(double d, int64_t& n);
QString textoFecha(double d);
QString textoDe(sqlite3_value* v, char k, bool& bNulo, QChar cSeparador);
bool numeroDe(sqlite3_context* ctx, sqlite3_value* v, double& d);

} // namespace funcionesjet
