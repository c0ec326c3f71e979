#pragma once

#include "questionnaire/ArchivosDetalle.h"

#include <QChar>
#include <QString>
#include <QStringList>

class TEscritorDetalle;
class TGrupoSalidas;
class TSucursal;

// Outputs of the tool beyond the answers on standard output.
struct TOpcionesSalida
{
    QString sDetalle;                                // folder of the detail files; empty: none
    TFormatoCsv Formato = TFormatoCsv::DelSistema(); // of the CSV files
    bool bJson = false;                              // one JSON document on standard output instead of lines
    QString sTabla;                  // consolidation: CSV file of the per-branch table; empty: none
    bool bDistintasEmpresas = false; // consolidation: branches of different companies are consolidated
};

// A value on a line of the tool's output: backslash, line feed, carriage return and tab are
// written \\, \n, \r and \t, so that a line is always one variable.
QString LineaHerramienta(QString s);
// The confirmations of written outputs, on standard error.
void ConfirmaPDF(const QString& sArchivo);
void ConfirmaDetalle(const TEscritorDetalle& Detalle);
void ConfirmaTabla(const QString& sArchivo);

// After a run of one host folder: writes the detail files of the questionnaire just run (its
// ticks, its connection) into sCarpeta through Detalle, as part of Grupo. False and the
// message for the user when they cannot be read or written.
bool EscribeDetalleDeCorrida(TSucursal& Sucursal, const QString& sCarpeta, TEscritorDetalle& Detalle,
                             TGrupoSalidas& Grupo, QString& sError);

// cuestionario --consolidar: runs every branch folder side by side (TConsolidacion), and only
// when every branch succeeded and they belong together combines them and writes the outputs
// asked for: the answers on standard output, the PDF with its annex, the detail files with the
// per-branch table ("sucursales.csv") and the table's own CSV. Returns the exit code; a failing
// branch is named in the message and nothing is written.
int ConsolidaCarpetas(const QStringList& Carpetas, const QString& sUsuario, const QString& sPassw,
                      const QStringList& Marcas, const QString& sPDF, const TOpcionesSalida& Salida);
