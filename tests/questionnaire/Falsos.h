#pragma once

#include "common/IIMensajero.h"
#include "common/InterfacedPadre.h"
#include "common/TablaMemoria.h"
#include "questionnaire/RepCuestQRTZ2019.h"
#include "questionnaire/TablaPEPs.h"
#include "report/IIManejadorReportes.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <functional>
#include <memory>

// Report handler that records the variables in the order they are set and counts previews.
class TManejadorGrabador : public IManejadorReportes
{
public:
    struct TDato
    {
        QString sCategoria, sVariable, sDato;
    };
    void AgregaDatoReporte(const QString& sCategoria, const QString& sVariable, const QString& sDato) override
    {
        Datos.append({sCategoria, sVariable, sDato});
        if (AlAgregar)
            AlAgregar(sVariable);
    }
    void MuestraReporte() override { ++nMuestras; }

    QStringList Nombres() const
    {
        QStringList l;
        for (const auto& d : Datos)
            l << d.sVariable;
        return l;
    }
    // Last value set for a variable; a null text when it was never set.
    QString Valor(const QString& sVariable) const
    {
        for (auto it = Datos.crbegin(); it != Datos.crend(); ++it) {
            if (it->sVariable == sVariable)
                return it->sDato.isNull() ? QString(QLatin1String("")) : it->sDato;
        }
        return QString();
    }

    QList<TDato> Datos;
    int nMuestras = 0;
    std::function<void(const QString& sVariable)> AlAgregar; // runs after each variable is set
};

// Messenger that records its calls as "EnTx|texto", "Temp|texto", "Espera|texto|0" or "...|1".
class TMensajeroGrabador : public TInterfacedPadre, public IMensajero
{
public:
    void MsjEnTx(const QString& s) override { Llamadas << QStringLiteral("EnTx|") + s; }
    void MsjTxTemp(const QString& s) override { Llamadas << QStringLiteral("Temp|") + s; }
    void MsjTxEspera(const QString& s, bool bTLargo) override
    {
        Llamadas << QStringLiteral("Espera|") + s + (bTLargo ? QStringLiteral("|1") : QStringLiteral("|0"));
    }
    void CampoObligatorio(QLabel*, QWidget*) override { Llamadas << QStringLiteral("Campo"); }
    void SettxLabel(QLabel*) override {}
    void SetbDefColorAlerta(bool) override {}
    bool GetbDefColorAlerta() override { return true; }

    QStringList Llamadas;
};

// The PEP review table with the layout of the data module's vtPEPs.
inline std::unique_ptr<TTablaMemoria> CreaTablaPEPs()
{
    return std::make_unique<TTablaMemoria>(CamposTablaPEPs());
}

// Appends a row as the review list holds it; a null bEsPEP leaves the mark unset.
inline void AgregaPEP(TTablaMemoria& t, const QString& sClave, const QVariant& bEsPEP)
{
    t.Abre();
    t.Agrega();
    t.SetValor(QStringLiteral("ClaveCliente"), sClave);
    t.SetValor(QStringLiteral("Nombre"), QStringLiteral("N ") + sClave);
    t.SetValor(QStringLiteral("EsPEP"), bEsPEP);
    t.Publica();
}

// The 2019 questionnaire with its protected parts open to the tests: the host version, the
// PEP table and the answer reader.
class TCuestPrueba : public TRepCuestZIDU2019
{
public:
    TCuestPrueba(TConexionBD* Conector, std::shared_ptr<IManejadorReportes> Manejador,
                 std::shared_ptr<IMensajero> Mensajero, int nNumEmp)
        : TRepCuestZIDU2019(
              Conector, [Manejador](const QString&) { return Manejador; }, std::move(Mensajero), 0, nNumEmp)
    {
    }
    using TRepCuestionarioQRTZ::PideResultado;
    using TRepCuestQRTZBasic::SetVersionSist;
    void SetTablaPEPs(TTablaMemoria* t) { F_vtPEPS = t; }
};
