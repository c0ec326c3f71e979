#pragma once

#include "db/componentes/ValorBD.h"

#include <QString>

#include <cstdint>

// Conversions of the SQL Server provider's row reader that need no driver. Failures throw
// TErrorBD of kind "EErrorODBC".
namespace ValoresODBC {

// Value of a DECIMAL or NUMERIC column (MONEY and SMALLMONEY arrive as DECIMAL) from the
// driver's text: exact, in ten-thousandths, when it has at most four decimals and fits;
// otherwise the nearest double.
TValorBD Decimal(const QString& sTexto);

// Day number of the program's date values (days since 1899-12-30, the time of day as the
// fraction; before that day the fraction counts away from zero, as the host engine stores it).
double DiaJet(int nAno, int nMes, int nDia, int nHora, int nMinuto, int nSegundo, uint32_t nNanosegundos);

} // namespace ValoresODBC
