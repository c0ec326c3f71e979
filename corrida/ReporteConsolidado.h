#pragma once

#include "corrida/Consolidacion.h"

#include <memory>

class TArchivoSalida;
class TExportaPDF;
class TObjTextoRico;
class TReporte;

// The consolidated report: the questionnaire template filled with the combined answers, its
// notes saying that the figures are already the branches' sum, and an annex with every figure of
// every branch, its state and summary line, the branches' companies and databases, and the notes
// on how each answer was combined, on as many pages as it needs.
class TReporteConsolidado
{
public:
    explicit TReporteConsolidado(const TConsolidado& C);
    ~TReporteConsolidado();
    TReporte& Reporte() { return *F_Reporte; }
    TExportaPDF& ExportaPDF() { return *F_ExpPDF; }
    // Prepares the pages; false when the engine could not.
    bool Prepara();
    // Writes the prepared report as a PDF into Salida (open); false and sError.
    bool EscribePDF(TArchivoSalida& Salida, QString& sError);

private:
    std::unique_ptr<TObjTextoRico> F_Texto;
    std::unique_ptr<TExportaPDF> F_ExpPDF;
    std::unique_ptr<TReporte> F_Reporte;
};
