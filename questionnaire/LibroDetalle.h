#pragma once

#include "questionnaire/Detalle.h"

#include <QMap>
#include <QString>

// The details as one Excel workbook: a sheet "Indice" and one sheet per answer (named like its
// CSV file), numbers and dates as such. Written with libxlsxwriter when the program was built
// with it (Debian: libxlsxwriter-dev); a build without it writes the CSV files only.
namespace LibroDetalle {

inline const QString kArchivo = QStringLiteral("detalle.xlsx");

// Whether this build writes workbooks.
bool Disponible();

// Writes the workbook sRuta whole or not at all (through a temporary file beside it); false and
// the message for the user on failure. Figuras: the answers as the report shows them.
bool Escribe(const QString& sRuta, const QList<TDetalle>& Detalles, const QList<TTablaDetalle>& Tablas,
             const QMap<QString, QString>& Figuras, QString& sError);

} // namespace LibroDetalle
