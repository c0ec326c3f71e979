#pragma once

#include "db/jet/sql/TiposJet.h"

#include <QString>

#include <cstdint>
#include <span>

// The Jet functions the SQL layer knows. The emitter writes each in a switch over this enum
// without a default, so a function added here and not there is a compiler warning.
enum class TFuncionJet : uint8_t
{
    // Aggregates
    Count,
    Sum,
    Avg,
    Min,
    Max,
    First,
    Last,
    // Scalars
    IIf,
    IsNull,
    Nz,
    UCase,
    LCase,
    Trim,
    LTrim,
    RTrim,
    Len,
    Left,
    Right,
    Mid,
    Str,
    CStr,
    Val,
    Round,
    Int,
    Fix,
    Abs,
    Sgn,
    CCur,
    CDbl,
    CSng,
    CLng,
    CInt,
    CBool,
    InStr
};

// How a function's result type follows from the types of its arguments.
enum class TReglaTipoJet : uint8_t
{
    Fijo,         // always the row's TipoFijo
    Condicion,    // true / false / null, as a comparison
    DelArgumento, // the argument's type (Min, Max, First, Last)
    Suma,         // Long over integers; Currency and Variant kept; Double otherwise
    Promedio,     // Currency over Currency, Double otherwise
    Ramas,        // the type that holds both branches (IIf)
    Nz,           // the value's type (Text for a NULL literal), or the type common with the default
    TextoOMemo,   // Memo over Memo, Text otherwise
    Numerico      // the argument's type, with text read as Double and Yes/No as Integer
};

// One function: what the semantic pass checks and types, and what the emitted text calls.
struct TFilaFuncionJet
{
    TFuncionJet Funcion;
    const char* sNombre; // as Jet spells it, upper case
    int nMinArgs;
    int nMaxArgs;
    bool bAgregada;
    TReglaTipoJet Regla;
    TTipoJet TipoFijo; // for TReglaTipoJet::Fijo
    // The function of our own that the emitted text calls (RegistraFuncionesJet registers it),
    // or null where the text uses only SQLite's own.
    const char* sRuntime;
};

// The row of a function named in any letter case; null for a name that Jet does not define.
const TFilaFuncionJet* BuscaFuncionJet(const QString& sNombre);
// Every row, in the order of TFuncionJet.
std::span<const TFilaFuncionJet> FuncionesJet();
