#pragma once

#include "questionnaire/Detalle.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

// The files of the details: one CSV per answer and an index, in UTF-8 with a byte-order mark
// (spreadsheets then read the accents right) and CR LF line ends. With ';' between fields
// numbers carry a decimal comma, as Spanish-locale spreadsheets read them; with ',' a point.
namespace ArchivosDetalle {

inline const QString kIndice = QStringLiteral("indice.csv");

// One field: dates dd/MM/yyyy (with HH:mm:ss when they have a time), Booleans SI/NO, numbers
// without exponent; quoted when it holds the separator, a quote or a line break.
QString Campo(const QVariant& v, QChar cSeparador);
// A whole file: header row, then the rows.
QByteArray Texto(const QStringList& Encabezado, const QList<QVariantList>& Filas, QChar cSeparador);
// Reads a file written by Texto back into rows of texts (quotes removed); for tests and tools.
QList<QStringList> Lee(const QByteArray& Datos, QChar cSeparador);

// Whether files may be written into sCarpeta: false (and the message for the user) when it is,
// or lies inside, one of the folders given (the hosts' database folders), whatever the letter
// case or the links that lead there.
bool CarpetaPermitida(const QString& sCarpeta, const QStringList& Prohibidas, QString& sError);

// One file to write: its name inside the folder and its contents.
struct TArchivo
{
    QString sNombre;
    QByteArray Datos;
};

// The detail files of one report: a file per detail and the index, which lists per answer its
// question, variable, description, the answer as the report shows it (Figuras, by variable;
// lines joined by " | "), the number of rows and the file. Tablas may carry columns before
// those of their class (the branch of a consolidated report).
QList<TArchivo> ArchivosDeDetalle(const QList<TDetalle>& Detalles, const QList<TTablaDetalle>& Tablas,
                                  const QMap<QString, QString>& Figuras, QChar cSeparador);

// Creates sCarpeta when missing and writes the files, each whole or not at all; false and the
// message for the user on the first failure.
bool Escribe(const QString& sCarpeta, const QList<TArchivo>& Archivos, QString& sError);

} // namespace ArchivosDetalle
