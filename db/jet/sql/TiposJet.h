#pragma once

#include <QString>

#include <cstdint>

// Static type of a Jet value: the column types of an Access table plus Nulo (the NULL
// literal) and Variante (an expression whose type is only known row by row).
enum class TTipoJet : uint8_t
{
    Nulo,
    Booleano, // Yes/No, stored -1 / 0
    Byte,
    Entero, // Integer, 16 bits
    Largo,  // Long, 32 bits (held as 64 bits)
    Moneda, // Currency, held as ten-thousandths in an int64
    Simple, // Single
    Doble,  // Double
    Fecha,  // Date/Time as the Jet day number (days since 1899-12-30)
    Texto,
    Memo,
    Binario,
    Guid,
    Decimal,
    Variante
};

bool EsNumerico(TTipoJet t);  // Booleano .. Doble and Decimal
bool EsEnteroJet(TTipoJet t); // Booleano, Byte, Entero, Largo
bool EsTextoJet(TTipoJet t);  // Texto, Memo, Guid
bool EsFlotante(TTipoJet t);  // Simple, Doble, Decimal

// Names as the test files and the tools write them: "Boolean", "Long", "Currency", "Text"...
QString NombreTipoJet(TTipoJet t);
bool TipoJetDeNombre(const QString& sNombre, TTipoJet& Tipo);

// Declared type of a SQLite column that holds values of this type.
QString TipoDeclaradoSqlite(TTipoJet t);

// One letter that tells the registered functions how a value is held:
// n null, b Yes/No, i integer, c currency (ten-thousandths), s single, d double,
// f date, t text, x binary, v variant.
char ClaveTipo(TTipoJet t);

// Type of a + - * / \ Mod ^ between two operands (VBA variant rules, simplified).
TTipoJet TipoAritmetico(TTipoJet a, TTipoJet b, char cOp);
// Type that holds values of both types: UNION columns and IIF branches.
TTipoJet TipoComun(TTipoJet a, TTipoJet b);
