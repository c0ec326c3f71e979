#pragma once

#include "report/IIManejadorReportes.h"

// Report variable handler: turns each answer into the form in which the report stores variable
// values and opens the report's preview.
class TManejadorReportes : public IManejadorReportes
{
public:
    TManejadorReportes(TReporte* elReporte, const QString& sNombre);

    void AgregaDatoReporte(const QString& sCategoria, const QString& sVariable,
                           const QString& sDato) override;
    void MuestraReporte() override;

    // How AgregaDatoReporte stores sDato: unchanged when it holds CR LF, otherwise between
    // apostrophes, so the report reads it as a text literal.
    static QString ValorReporte(const QString& sDato);

private:
    TReporte* F_Reporte; // the data module's; not owned
    QString F_sNombre;
};
