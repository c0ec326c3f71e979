#pragma once

#include "questionnaire/Consolidacion.h"

#include <QChar>
#include <QString>
#include <QStringList>

class IRepCuestionarioQRTZ;
class TConexionBD;

// Outputs of the tool beyond the answers on standard output.
struct TOpcionesSalida
{
    QString sDetalle; // folder of the detail files; empty: none
    QChar cSeparador = QLatin1Char(';');
    bool bJson = false; // one JSON document on standard output instead of lines
    QString sTabla;     // consolidation: CSV file of the per-branch table; empty: none
};

// After a run of one host folder: writes the detail files of the questionnaire just run
// (its ticks, its connection) into Salida.sDetalle. False and the message for the user when
// they cannot be read or written; nothing is written into the host's database folder.
bool EscribeDetalleDeCorrida(IRepCuestionarioQRTZ& Cuestionario, TConexionBD* Conector,
                             const TVariables& Variables, const QString& sCarpetaHost,
                             const TOpcionesSalida& Salida, QString& sError);

// cuestionario --consolidar: runs every branch folder (login, open sessions, detection, the
// ticks "n:CLAVE" or "CARPETA:CLAVE" of Marcas, all answers and their details), and only when
// every branch succeeded combines them and writes the outputs asked for: the answers on
// standard output, the PDF with the per-branch page at its end, the detail files with the
// per-branch table ("sucursales.csv") and the table's own CSV. Returns the exit code; a
// failing branch is named in the message and nothing is written.
int ConsolidaCarpetas(const QStringList& Carpetas, const QString& sUsuario, const QString& sPassw,
                      const QStringList& Marcas, const QString& sPDF, const TOpcionesSalida& Salida);

// The per-branch table as a CSV file's contents.
QByteArray CsvTablaSucursales(const TConsolidado& C, QChar cSeparador);
