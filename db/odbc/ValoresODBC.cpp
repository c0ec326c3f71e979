#include "db/odbc/ValoresODBC.h"

#include "db/componentes/ErrorBD.h"

#include <QDate>
#include <QRegularExpression>

#include <limits>

namespace ValoresODBC {

namespace {

const QString kClase = QStringLiteral("EErrorODBC");

} // namespace

TValorBD Decimal(const QString& sTexto)
{
    static const QRegularExpression Numero(QStringLiteral("^\\s*([-+]?)(\\d*)(?:\\.(\\d*))?\\s*$"));
    const QRegularExpressionMatch m = Numero.match(sTexto);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        throw TErrorBD(
            kClase,
            QStringLiteral("El controlador ODBC devolvió un número decimal no válido: '%1'.").arg(sTexto));
    QString sDecimales = m.captured(3);
    while (sDecimales.endsWith(QLatin1Char('0')))
        sDecimales.chop(1);
    const QString sEntero = m.captured(2).isEmpty() ? QStringLiteral("0") : m.captured(2);
    bool bCabe = false;
    const qint64 nEntero = sEntero.toLongLong(&bCabe);
    const qint64 nFraccion = sDecimales.leftJustified(4, QLatin1Char('0')).left(4).toLongLong();
    if (bCabe && sDecimales.size() <= 4 &&
        nEntero <= (std::numeric_limits<qint64>::max() - nFraccion) / 10000) {
        const qint64 n = nEntero * 10000 + nFraccion;
        return TValorBD::Moneda(m.captured(1) == QLatin1String("-") ? -n : n);
    }
    return TValorBD::Doble(sTexto.trimmed().toDouble());
}

double DiaJet(int nAno, int nMes, int nDia, int nHora, int nMinuto, int nSegundo, uint32_t nNanosegundos)
{
    const QDate Fecha(nAno, nMes, nDia);
    if (!Fecha.isValid())
        throw TErrorBD(kClase, QStringLiteral("El controlador ODBC devolvió una fecha no válida (%1-%2-%3).")
                                   .arg(nAno)
                                   .arg(nMes)
                                   .arg(nDia));
    const double dDias = double(Fecha.toJulianDay() - QDate(1899, 12, 30).toJulianDay());
    const double dHora = (nHora * 3600.0 + nMinuto * 60.0 + nSegundo + nNanosegundos / 1e9) / 86400.0;
    return dDias < 0 ? dDias - dHora : dDias + dHora;
}

} // namespace ValoresODBC
