#include "report/ManejadorReportes.h"

#include "reportengine/Reporte.h"

TManejadorReportes::TManejadorReportes(TReporte* elReporte, const QString& sNombre)
    : F_Reporte(elReporte), F_sNombre(sNombre)
{
}

QString TManejadorReportes::ValorReporte(const QString& sDato)
{
    // A multi-line value is shown as it stands; a single line is read as an expression.
    // Apostrophes inside sDato are not escaped (the report shows them as they are).
    if (sDato.contains(QLatin1String("\r\n")))
        return sDato;
    return QLatin1Char('\'') + sDato + QLatin1Char('\'');
}

void TManejadorReportes::AgregaDatoReporte(const QString& sCategoria, const QString& sVariable,
                                           const QString& sDato)
{
    F_Reporte->AgregaVariable(sCategoria, sVariable, ValorReporte(sDato));
}

void TManejadorReportes::MuestraReporte()
{
    F_Reporte->SetFileName(F_sNombre);
    F_Reporte->MuestraVistaPrevia(true);
}

std::shared_ptr<IManejadorReportes> CreaManejadorReportes(TReporte* elReporte, const QString& sNombre)
{
    return std::make_shared<TManejadorReportes>(elReporte, sNombre);
}
