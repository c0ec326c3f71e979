#pragma once

#include <QString>

#include <cstdint>

struct sqlite3;

// Registers in a SQLite connection what the emitted text uses: the collation JET and the
// jet_* functions and aggregates. cSeparador is the decimal separator that CStr and implicit
// number-to-text conversions use (the host's regional setting); Str always uses '.'.
void RegistraFuncionesJet(sqlite3* db, QChar cSeparador = QLatin1Char('.'));

// Errors raised inside the functions reach sqlite3_errmsg with this prefix before the message.
extern const char* const PrefijoErrorJet;

// The conversions, exposed for the tests and the tools.
// Text of a number as CStr writes it: at most nDigitos significant digits (15 for Double,
// 7 for Single), no trailing zeros, E+NN / E-NN exponents.
QString TextoNumeroJet(double d, int nDigitos = 15, QChar cSeparador = QLatin1Char('.'));
// Text of a currency amount held in ten-thousandths.
QString TextoMonedaJet(int64_t n, QChar cSeparador = QLatin1Char('.'));
// Str(): a leading blank for the sign of a number >= 0, no 0 before the point, '.' always.
QString StrJet(const QString& sNumero);
// Round() to nDecimales with ties to even, computed on x * 10^n as Jet does.
double RedondeaJet(double x, int nDecimales);
// Same on a currency amount in ten-thousandths, exactly.
int64_t RedondeaMonedaJet(int64_t n, int nDecimales);
// JET collation: 0 when equal, <0 / >0 as Jet orders text (case and trailing blanks ignored).
int ComparaTextoJet(const QString& a, const QString& b);
// LIKE in ANSI-92 form; throws TErrorJet for an invalid pattern.
bool ComoJet(const QString& sValor, const QString& sPatron);
