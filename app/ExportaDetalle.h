#pragma once

#include "questionnaire/ArchivosDetalle.h"
#include "reportengine/Reporte.h"

#include <memory>

class TRepCuestZIDU2019;

// The preview's "Exportar detalle…" button after a report: the rows behind every computed
// answer of the questionnaire just run (same connection, same PEP ticks), written as CSV files
// with an index into a folder the user picks, never into the host's database folder.
TAccionVista AccionExportaDetalle(TRepCuestZIDU2019& Cuestionario, const TReporte& Reporte);

// The button's work: asks for the folder (proposing the one beside the report's PDF), reads the
// details and writes them, telling the user the outcome through the dialog service.
void ExportaDetalle(TRepCuestZIDU2019& Cuestionario, const TReporte& Reporte);

// Where and how the rows behind the answers are written, as the user chose them.
struct TDestinoDetalle
{
    QString sCarpeta;
    TFormatoCsv Formato;
    // The folder proposed to the dialog; removed at the end if it stayed empty, so it must live
    // until the files are written.
    std::unique_ptr<ArchivosDetalle::TCarpetaPropuesta> Propuesta;
};

// What every detail export asks first: the folder (proposed beside the report's PDF; the host's
// database folder refused, with the reason told), the format of the CSV files (this computer's or
// either usual pair), and, when an earlier export left its files there, whether to replace them.
// False when the user cancelled or the folder was refused.
bool EligeDestinoDetalle(const TReporte& Reporte, TDestinoDetalle& Destino);
