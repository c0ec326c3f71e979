#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

// The details as one Excel workbook: a sheet "Indice" and one sheet per answer (named like its
// CSV file), numbers and dates as such, every text as text (never a formula). Written with
// libxlsxwriter when the program was built with it (Debian: libxlsxwriter-dev); a build without
// it writes the CSV files only. Rows go to the library's work files as they come, so the
// workbook costs little memory whatever its size.
class TLibroDetalle
{
public:
    static inline const QString kArchivo = QStringLiteral("detalle.xlsx");
    // Whether this build writes workbooks.
    static bool Disponible();

    TLibroDetalle();
    ~TLibroDetalle(); // a workbook not closed is abandoned (its file is incomplete)
    TLibroDetalle(const TLibroDetalle&) = delete;
    TLibroDetalle& operator=(const TLibroDetalle&) = delete;

    // Starts the workbook sRuta, a new name inside a work folder of this program's (the library
    // creates the file itself), with its index sheet; the library's own work files go to
    // sCarpetaTemporal. False and sError (Spanish) on failure.
    bool Abre(const QString& sRuta, const QString& sCarpetaTemporal, const QStringList& ColumnasIndice,
              QString& sError);
    // Adds a sheet with its header row; its number for Fila (the index sheet is 0), -1 on failure.
    int Hoja(const QString& sNombre, const QStringList& Columnas);
    // Appends a row to a sheet; a sheet that reaches the rows a sheet can hold goes on in
    // another one named after it ("preg_44 (2)").
    bool Fila(int nHoja, const QVariantList& Valores);
    // Writes the file; false and sError on failure.
    bool Cierra(QString& sError);

private:
    struct TDatos;
    std::unique_ptr<TDatos> F_Datos;
};
