#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUuid>

#include <cstdint>
#include <variant>

// Typed values of Access columns, exactly as stored in the file.
namespace jet {

// Currency: an exact amount in ten-thousandths (the stored i64).
struct TMoneda
{
    int64_t nDiezmilesimos = 0;

    // Plain decimal with four decimals: "3.5000", "-0.0100".
    QString Texto() const;
    bool operator==(const TMoneda&) const = default;
};

// Date/Time: the Jet day number as stored (days since 1899-12-30; the fraction is the time of
// day, also for negative days, so -1.25 is 1899-12-29 06:00).
struct TFechaJet
{
    double dDias = 0;

    // The wall-clock date and time, rounded to the millisecond. The QDateTime is in UTC only so
    // that no daylight-saving gap can shift it: read its date() and time(). Invalid for values
    // out of Jet's range (years 100..9999) or not finite.
    QDateTime FechaHora() const;
    bool operator==(const TFechaJet&) const = default;
};

// Numeric (Decimal): exact 128-bit magnitude with sign and scale; value = ±magnitude / 10^scale.
struct TNumerico
{
    uint64_t nAlto = 0; // high 64 bits of the magnitude
    uint64_t nBajo = 0; // low 64 bits
    uint8_t nEscala = 0;
    uint8_t nPrecision = 0; // declared precision of the column (informative)
    bool bNegativo = false;

    // Plain decimal with exactly nEscala decimals: "-12.50", "7", "0.001".
    QString Texto() const;
    // Nearest double (through the decimal text).
    double Doble() const;
    bool operator==(const TNumerico&) const = default;
};

// One column value of a row:
//   std::monostate  NULL (never for Boolean columns)
//   bool            Boolean
//   int64_t         Byte, Integer, Long
//   double          Single (widened exactly), Double
//   TMoneda         Currency
//   TFechaJet       Date/Time
//   QString         Text, Memo (an empty text is not NULL)
//   QByteArray      Binary, OLE, and types this reader does not interpret
//   QUuid           GUID (Replication ID)
//   TNumerico       Numeric
using TValor = std::variant<std::monostate, bool, int64_t, double, TMoneda, TFechaJet, QString, QByteArray,
                            QUuid, TNumerico>;

inline bool EsNulo(const TValor& v)
{
    return std::holds_alternative<std::monostate>(v);
}

} // namespace jet
