#include "db/componentes/ValorBD.h"

#include "db/componentes/ErrorBD.h"

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <cmath>
#include <cstdio>

namespace {

// Jet's dates run from 1 January 100 to 31 December 9999, day numbers -657434 to 2958465 (the
// fraction being the time of day). Only arithmetic makes a day number outside them, and that has
// no date to show.
bool esDiaJet(double d)
{
    return d > -657435.0 && d < 2958466.0;
}

QDateTime fechaDeDiaJet(double d)
{
    // Jet day numbers count from 1899-12-30; before that day the fraction keeps its sign
    // apart from the day, so the time of day is |fraction|. A Jet date has no time zone: it is
    // read as UTC, which has no daylight-saving gaps (and asks the system nothing per value).
    const double dias = std::trunc(d);
    const double fraccion = std::fabs(d - dias);
    const QDate base(1899, 12, 30);
    qint64 ms = std::llround(fraccion * 86400000.0);
    return QDateTime(base.addDays(qint64(dias)), QTime(0, 0), QTimeZone::utc()).addMSecs(ms);
}

} // namespace

QString TextoDeDoble(double d)
{
    if (std::isnan(d))
        return QStringLiteral("NaN");
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    if (d == 0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    // %G drops the trailing zeros of the fraction and writes the exponent as E+NN / E-NN.
    return QString::fromLatin1(buf);
}

QString TextoDeMoneda(int64_t n)
{
    const bool negativo = n < 0;
    const uint64_t a = negativo ? uint64_t(0) - uint64_t(n) : uint64_t(n);
    QString s = QString::number(a / 10000);
    uint64_t frac = a % 10000;
    if (frac) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QChar('0'));
        while (f.endsWith('0'))
            f.chop(1);
        s += '.' + f;
    }
    return negativo ? '-' + s : s;
}

TValorBD TValorBD::Booleano(bool b)
{
    TValorBD v;
    v.F_Tipo = TTipo::Booleano;
    v.F_nEntero = b ? -1 : 0;
    return v;
}

TValorBD TValorBD::Entero(int64_t n)
{
    TValorBD v;
    v.F_Tipo = TTipo::Entero;
    v.F_nEntero = n;
    return v;
}

TValorBD TValorBD::Doble(double d)
{
    TValorBD v;
    v.F_Tipo = TTipo::Doble;
    v.F_dDoble = d;
    return v;
}

TValorBD TValorBD::Moneda(int64_t n)
{
    TValorBD v;
    v.F_Tipo = TTipo::Moneda;
    v.F_nEntero = n;
    return v;
}

TValorBD TValorBD::Fecha(double d)
{
    TValorBD v;
    v.F_Tipo = TTipo::Fecha;
    v.F_dDoble = d;
    return v;
}

TValorBD TValorBD::Texto(const QString& s)
{
    TValorBD v;
    v.F_Tipo = TTipo::Texto;
    v.F_sTexto = s;
    return v;
}

TValorBD TValorBD::Binario(const QByteArray& b)
{
    TValorBD v;
    v.F_Tipo = TTipo::Binario;
    v.F_Bytes = b;
    return v;
}

std::optional<QDateTime> TValorBD::FechaHora() const
{
    if (F_Tipo != TTipo::Fecha || !esDiaJet(F_dDoble))
        return std::nullopt;
    return fechaDeDiaJet(F_dDoble);
}

QString TValorBD::AsString() const
{
    switch (F_Tipo) {
    case TTipo::Nulo:
        return QString();
    case TTipo::Booleano:
        return F_nEntero ? QStringLiteral("True") : QStringLiteral("False");
    case TTipo::Entero:
        return QString::number(F_nEntero);
    case TTipo::Doble:
        return TextoDeDoble(F_dDoble);
    case TTipo::Moneda:
        return TextoDeMoneda(F_nEntero);
    case TTipo::Fecha: {
        if (!esDiaJet(F_dDoble))
            return TextoDeDoble(F_dDoble);
        const QDateTime f = fechaDeDiaJet(F_dDoble);
        if (f.time() == QTime(0, 0))
            return f.toString(QStringLiteral("MM/dd/yyyy"));
        return f.toString(QStringLiteral("MM/dd/yyyy HH:mm:ss"));
    }
    case TTipo::Texto:
        return F_sTexto;
    case TTipo::Binario:
        return QString::fromLatin1(F_Bytes);
    }
    return QString();
}

int64_t TValorBD::AsInteger() const
{
    switch (F_Tipo) {
    case TTipo::Nulo:
        return 0;
    case TTipo::Booleano:
    case TTipo::Entero:
        return F_nEntero;
    case TTipo::Moneda:
        return std::llround(double(F_nEntero) / 10000.0);
    case TTipo::Doble:
    case TTipo::Fecha:
        return std::llround(F_dDoble);
    case TTipo::Texto: {
        bool ok = false;
        const qlonglong n = F_sTexto.trimmed().toLongLong(&ok);
        if (!ok)
            throw TErrorBD(QStringLiteral("EConvertError"),
                           QStringLiteral("'%1' no es un valor entero válido").arg(F_sTexto));
        return n;
    }
    case TTipo::Binario:
        break;
    }
    throw TErrorBD(QStringLiteral("EConvertError"), QStringLiteral("El valor no es un número entero"));
}

double TValorBD::AsFloat() const
{
    switch (F_Tipo) {
    case TTipo::Nulo:
        return 0.0;
    case TTipo::Booleano:
    case TTipo::Entero:
        return double(F_nEntero);
    case TTipo::Moneda:
        return double(F_nEntero) / 10000.0;
    case TTipo::Doble:
    case TTipo::Fecha:
        return F_dDoble;
    case TTipo::Texto: {
        bool ok = false;
        const double d = F_sTexto.trimmed().toDouble(&ok);
        if (!ok)
            throw TErrorBD(QStringLiteral("EConvertError"),
                           QStringLiteral("'%1' no es un valor de punto flotante válido").arg(F_sTexto));
        return d;
    }
    case TTipo::Binario:
        break;
    }
    throw TErrorBD(QStringLiteral("EConvertError"), QStringLiteral("El valor no es un número"));
}

bool TValorBD::AsBoolean() const
{
    switch (F_Tipo) {
    case TTipo::Nulo:
        return false;
    case TTipo::Texto: {
        const QString s = F_sTexto.trimmed();
        if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        return AsFloat() != 0.0;
    }
    default:
        return AsFloat() != 0.0;
    }
}

bool TValorBD::operator==(const TValorBD& o) const
{
    return F_Tipo == o.F_Tipo && F_nEntero == o.F_nEntero &&
           (F_dDoble == o.F_dDoble || (std::isnan(F_dDoble) && std::isnan(o.F_dDoble))) &&
           F_sTexto == o.F_sTexto && F_Bytes == o.F_Bytes;
}
