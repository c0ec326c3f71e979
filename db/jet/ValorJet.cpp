#include "db/jet/ValorJet.h"

#include <QTimeZone>

#include <cmath>

namespace jet {

namespace {

// Inserts the decimal point nEscala digits from the right of a string of digits.
QString ConPunto(QString sDigitos, int nEscala, bool bNegativo)
{
    if (nEscala > 0) {
        if (sDigitos.size() <= nEscala)
            sDigitos.prepend(QString(nEscala - sDigitos.size() + 1, QLatin1Char('0')));
        sDigitos.insert(sDigitos.size() - nEscala, QLatin1Char('.'));
    }
    if (bNegativo)
        sDigitos.prepend(QLatin1Char('-'));
    return sDigitos;
}

} // namespace

QString TMoneda::Texto() const
{
    const bool bNegativo = nDiezmilesimos < 0;
    const uint64_t nAbs = bNegativo ? uint64_t(0) - uint64_t(nDiezmilesimos) : uint64_t(nDiezmilesimos);
    return ConPunto(QString::number(nAbs), 4, bNegativo);
}

QDateTime TFechaJet::FechaHora() const
{
    // Jet's range: 1 Jan 100 .. 31 Dec 9999.
    if (!std::isfinite(dDias) || dDias < -657435.0 || dDias >= 2958466.0)
        return {};
    const double dEntera = std::trunc(dDias);
    const auto nMs = static_cast<int64_t>(std::llround(std::fabs(dDias - dEntera) * 86400000.0));
    const QDateTime Base(QDate(1899, 12, 30), QTime(0, 0), QTimeZone::utc());
    return Base.addDays(static_cast<int64_t>(dEntera)).addMSecs(nMs);
}

QString TNumerico::Texto() const
{
    uint32_t w[4] = {uint32_t(nAlto >> 32), uint32_t(nAlto), uint32_t(nBajo >> 32), uint32_t(nBajo)};
    QString sDigitos;
    for (;;) {
        uint64_t nResto = 0;
        bool bCero = true;
        for (uint32_t& x : w) {
            const uint64_t nAct = (nResto << 32) | x;
            x = uint32_t(nAct / 10);
            nResto = nAct % 10;
            bCero = bCero && x == 0;
        }
        sDigitos.prepend(QLatin1Char(char('0' + nResto)));
        if (bCero)
            break;
    }
    const bool bCeroTotal = nAlto == 0 && nBajo == 0;
    return ConPunto(sDigitos, nEscala, bNegativo && !bCeroTotal);
}

double TNumerico::Doble() const
{
    return Texto().toDouble();
}

} // namespace jet
