#include "db/jet/sql/TiposJet.h"

#include <algorithm>

bool EsNumerico(TTipoJet t)
{
    switch (t) {
    case TTipoJet::Booleano:
    case TTipoJet::Byte:
    case TTipoJet::Entero:
    case TTipoJet::Largo:
    case TTipoJet::Moneda:
    case TTipoJet::Simple:
    case TTipoJet::Doble:
    case TTipoJet::Decimal:
        return true;
    default:
        return false;
    }
}

bool EsEnteroJet(TTipoJet t)
{
    return t == TTipoJet::Booleano || t == TTipoJet::Byte || t == TTipoJet::Entero || t == TTipoJet::Largo;
}

bool EsTextoJet(TTipoJet t)
{
    return t == TTipoJet::Texto || t == TTipoJet::Memo || t == TTipoJet::Guid;
}

bool EsFlotante(TTipoJet t)
{
    return t == TTipoJet::Simple || t == TTipoJet::Doble || t == TTipoJet::Decimal;
}

namespace {
struct TNombreTipo
{
    TTipoJet Tipo;
    const char* sNombre;
};
const TNombreTipo NombresTipo[] = {
    {TTipoJet::Nulo, "Null"},      {TTipoJet::Booleano, "Boolean"}, {TTipoJet::Byte, "Byte"},
    {TTipoJet::Entero, "Integer"}, {TTipoJet::Largo, "Long"},       {TTipoJet::Moneda, "Currency"},
    {TTipoJet::Simple, "Single"},  {TTipoJet::Doble, "Double"},     {TTipoJet::Fecha, "DateTime"},
    {TTipoJet::Texto, "Text"},     {TTipoJet::Memo, "Memo"},        {TTipoJet::Binario, "Binary"},
    {TTipoJet::Guid, "Guid"},      {TTipoJet::Decimal, "Decimal"},  {TTipoJet::Variante, "Variant"},
};
} // namespace

QString NombreTipoJet(TTipoJet t)
{
    for (const auto& n : NombresTipo)
        if (n.Tipo == t)
            return QString::fromLatin1(n.sNombre);
    return QString();
}

bool TipoJetDeNombre(const QString& sNombre, TTipoJet& Tipo)
{
    for (const auto& n : NombresTipo)
        if (sNombre.compare(QLatin1String(n.sNombre), Qt::CaseInsensitive) == 0) {
            Tipo = n.Tipo;
            return true;
        }
    // Common synonyms
    static const struct
    {
        const char* s;
        TTipoJet t;
    } otros[] = {{"YesNo", TTipoJet::Booleano}, {"Bit", TTipoJet::Booleano},   {"Date", TTipoJet::Fecha},
                 {"Money", TTipoJet::Moneda},   {"Float", TTipoJet::Doble},    {"Short", TTipoJet::Entero},
                 {"OLE", TTipoJet::Binario},    {"Numeric", TTipoJet::Decimal}};
    for (const auto& o : otros)
        if (sNombre.compare(QLatin1String(o.s), Qt::CaseInsensitive) == 0) {
            Tipo = o.t;
            return true;
        }
    return false;
}

QString TipoDeclaradoSqlite(TTipoJet t)
{
    switch (t) {
    case TTipoJet::Booleano:
    case TTipoJet::Byte:
    case TTipoJet::Entero:
    case TTipoJet::Largo:
    case TTipoJet::Moneda:
        return QStringLiteral("INTEGER");
    case TTipoJet::Simple:
    case TTipoJet::Doble:
    case TTipoJet::Decimal:
    case TTipoJet::Fecha:
        return QStringLiteral("REAL");
    case TTipoJet::Texto:
    case TTipoJet::Memo:
    case TTipoJet::Guid:
        return QStringLiteral("TEXT COLLATE JET");
    case TTipoJet::Binario:
        return QStringLiteral("BLOB");
    case TTipoJet::Nulo:
    case TTipoJet::Variante:
        break;
    }
    // No declared type: no affinity, so every value keeps its own storage class.
    return QString();
}

char ClaveTipo(TTipoJet t)
{
    switch (t) {
    case TTipoJet::Nulo:
        return 'n';
    case TTipoJet::Booleano:
        return 'b';
    case TTipoJet::Byte:
    case TTipoJet::Entero:
    case TTipoJet::Largo:
        return 'i';
    case TTipoJet::Moneda:
        return 'c';
    case TTipoJet::Simple:
        return 's';
    case TTipoJet::Doble:
    case TTipoJet::Decimal:
        return 'd';
    case TTipoJet::Fecha:
        return 'f';
    case TTipoJet::Texto:
    case TTipoJet::Memo:
    case TTipoJet::Guid:
        return 't';
    case TTipoJet::Binario:
        return 'x';
    case TTipoJet::Variante:
        return 'v';
    }
    return 'v';
}

namespace {

// Integer rank for promotions: Byte < Integer < Long.
int rangoEntero(TTipoJet t)
{
    switch (t) {
    case TTipoJet::Byte:
        return 1;
    case TTipoJet::Booleano:
    case TTipoJet::Entero:
        return 2;
    default:
        return 3;
    }
}

TTipoJet enteroDeRango(int r)
{
    return r <= 1 ? TTipoJet::Byte : r == 2 ? TTipoJet::Entero : TTipoJet::Largo;
}

// Numeric promotion shared by arithmetic and common types (both operands numeric).
TTipoJet promocionNumerica(TTipoJet a, TTipoJet b)
{
    if (a == TTipoJet::Doble || b == TTipoJet::Doble || a == TTipoJet::Decimal || b == TTipoJet::Decimal)
        return TTipoJet::Doble;
    if (a == TTipoJet::Simple || b == TTipoJet::Simple) {
        const TTipoJet otro = a == TTipoJet::Simple ? b : a;
        if (otro == TTipoJet::Simple || otro == TTipoJet::Byte || otro == TTipoJet::Entero ||
            otro == TTipoJet::Booleano)
            return TTipoJet::Simple;
        return TTipoJet::Doble;
    }
    if (a == TTipoJet::Moneda || b == TTipoJet::Moneda)
        return TTipoJet::Moneda;
    return enteroDeRango(std::max(rangoEntero(a), rangoEntero(b)));
}

} // namespace

TTipoJet TipoAritmetico(TTipoJet a, TTipoJet b, char cOp)
{
    if (a == TTipoJet::Nulo)
        a = b;
    if (b == TTipoJet::Nulo)
        b = a;
    if (a == TTipoJet::Nulo)
        return TTipoJet::Nulo;
    if (a == TTipoJet::Variante || b == TTipoJet::Variante)
        return TTipoJet::Variante;
    if (cOp == '^')
        return TTipoJet::Doble;
    if (cOp == '\\' || cOp == '%')
        return TTipoJet::Largo;
    // Text operands are converted to Double at run time (a type mismatch when they are not numbers).
    if (EsTextoJet(a))
        a = TTipoJet::Doble;
    if (EsTextoJet(b))
        b = TTipoJet::Doble;
    if (a == TTipoJet::Fecha || b == TTipoJet::Fecha) {
        if (cOp == '+' && a != b)
            return TTipoJet::Fecha;
        if (cOp == '-' && a == TTipoJet::Fecha && b != TTipoJet::Fecha)
            return TTipoJet::Fecha;
        return TTipoJet::Doble;
    }
    if (!EsNumerico(a) || !EsNumerico(b))
        return TTipoJet::Variante;
    if (cOp == '/') {
        if (a == TTipoJet::Moneda && b == TTipoJet::Moneda)
            return TTipoJet::Moneda;
        const TTipoJet p = promocionNumerica(a, b);
        return p == TTipoJet::Simple ? TTipoJet::Simple : TTipoJet::Doble;
    }
    const TTipoJet p = promocionNumerica(a, b);
    if (EsEnteroJet(p))
        return TTipoJet::Largo; // Jet widens integer arithmetic instead of overflowing
    return p;
}

TTipoJet TipoComun(TTipoJet a, TTipoJet b)
{
    if (a == b)
        return a;
    if (a == TTipoJet::Nulo)
        return b;
    if (b == TTipoJet::Nulo)
        return a;
    if (a == TTipoJet::Variante || b == TTipoJet::Variante)
        return TTipoJet::Variante;
    if (a == TTipoJet::Binario || b == TTipoJet::Binario)
        return TTipoJet::Variante;
    if (EsTextoJet(a) || EsTextoJet(b)) {
        if (a == TTipoJet::Memo || b == TTipoJet::Memo)
            return TTipoJet::Memo;
        return TTipoJet::Texto;
    }
    if (a == TTipoJet::Fecha || b == TTipoJet::Fecha)
        return TTipoJet::Doble;
    return promocionNumerica(a, b);
}
