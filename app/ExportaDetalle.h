#pragma once

#include "reportengine/Reporte.h"

class TRepCuestZIDU2019;

// The preview's "Exportar detalle…" button after a report: the rows behind every computed
// answer of the questionnaire just run (same connection, same PEP ticks), written as CSV files
// with an index into a folder the user picks, never into the host's database folder.
TAccionVista AccionExportaDetalle(TRepCuestZIDU2019& Cuestionario, const TReporte& Reporte);

// The button's work: asks for the folder (proposing the one beside the report's PDF), reads the
// details and writes them, telling the user the outcome through the dialog service.
void ExportaDetalle(TRepCuestZIDU2019& Cuestionario, const TReporte& Reporte);
