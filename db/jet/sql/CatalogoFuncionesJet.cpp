#include "db/jet/sql/CatalogoFuncionesJet.h"

namespace {

using F = TFuncionJet;
using R = TReglaTipoJet;
using T = TTipoJet;

// In the order of TFuncionJet (checked below).
constexpr TFilaFuncionJet kFunciones[] = {
    {F::Count, "COUNT", 1, 1, true, R::Fijo, T::Largo, nullptr},
    {F::Sum, "SUM", 1, 1, true, R::Suma, T::Variante, nullptr},
    // Over Currency the mean goes back to ten-thousandths through CCur's conversion.
    {F::Avg, "AVG", 1, 1, true, R::Promedio, T::Variante, "jet_ccur"},
    {F::Min, "MIN", 1, 1, true, R::DelArgumento, T::Variante, nullptr},
    {F::Max, "MAX", 1, 1, true, R::DelArgumento, T::Variante, nullptr},
    {F::First, "FIRST", 1, 1, true, R::DelArgumento, T::Variante, "jet_first"},
    {F::Last, "LAST", 1, 1, true, R::DelArgumento, T::Variante, "jet_last"},
    {F::IIf, "IIF", 3, 3, false, R::Ramas, T::Variante, nullptr},
    {F::IsNull, "ISNULL", 1, 1, false, R::Condicion, T::Largo, nullptr},
    {F::Nz, "NZ", 1, 2, false, R::Nz, T::Variante, nullptr},
    {F::UCase, "UCASE", 1, 1, false, R::TextoOMemo, T::Texto, "jet_ucase"},
    {F::LCase, "LCASE", 1, 1, false, R::TextoOMemo, T::Texto, "jet_lcase"},
    {F::Trim, "TRIM", 1, 1, false, R::TextoOMemo, T::Texto, nullptr},
    {F::LTrim, "LTRIM", 1, 1, false, R::TextoOMemo, T::Texto, nullptr},
    {F::RTrim, "RTRIM", 1, 1, false, R::TextoOMemo, T::Texto, nullptr},
    {F::Len, "LEN", 1, 1, false, R::Fijo, T::Largo, nullptr},
    {F::Left, "LEFT", 2, 2, false, R::Fijo, T::Texto, "jet_left"},
    {F::Right, "RIGHT", 2, 2, false, R::Fijo, T::Texto, "jet_right"},
    {F::Mid, "MID", 2, 3, false, R::Fijo, T::Texto, "jet_mid"},
    {F::Str, "STR", 1, 1, false, R::Fijo, T::Texto, "jet_str"},
    {F::CStr, "CSTR", 1, 1, false, R::Fijo, T::Texto, "jet_cstr"},
    {F::Val, "VAL", 1, 1, false, R::Fijo, T::Doble, "jet_val"},
    {F::Round, "ROUND", 1, 2, false, R::Numerico, T::Variante, "jet_round"},
    {F::Int, "INT", 1, 1, false, R::Numerico, T::Variante, "jet_int"},
    {F::Fix, "FIX", 1, 1, false, R::Numerico, T::Variante, "jet_fix"},
    {F::Abs, "ABS", 1, 1, false, R::Numerico, T::Variante, nullptr},
    {F::Sgn, "SGN", 1, 1, false, R::Fijo, T::Entero, nullptr},
    {F::CCur, "CCUR", 1, 1, false, R::Fijo, T::Moneda, "jet_ccur"},
    {F::CDbl, "CDBL", 1, 1, false, R::Fijo, T::Doble, "jet_cdbl"},
    {F::CSng, "CSNG", 1, 1, false, R::Fijo, T::Simple, "jet_csng"},
    {F::CLng, "CLNG", 1, 1, false, R::Fijo, T::Largo, "jet_clng"},
    // Held as a Long in SQLite; typed Integer for Jet.
    {F::CInt, "CINT", 1, 1, false, R::Fijo, T::Entero, "jet_clng"},
    {F::CBool, "CBOOL", 1, 1, false, R::Fijo, T::Booleano, nullptr},
    {F::InStr, "INSTR", 2, 3, false, R::Fijo, T::Largo, "jet_instr"},
};

constexpr bool enOrden()
{
    for (size_t i = 0; i < std::size(kFunciones); ++i)
        if (size_t(kFunciones[i].Funcion) != i)
            return false;
    return size_t(kFunciones[std::size(kFunciones) - 1].Funcion) == size_t(F::InStr);
}
static_assert(enOrden(), "one row per TFuncionJet, in its order");

} // namespace

const TFilaFuncionJet* BuscaFuncionJet(const QString& sNombre)
{
    for (const TFilaFuncionJet& f : kFunciones)
        if (sNombre.compare(QLatin1String(f.sNombre), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

std::span<const TFilaFuncionJet> FuncionesJet()
{
    return kFunciones;
}
