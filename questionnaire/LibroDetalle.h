#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class TArchivoSalida;

// The details as one Excel workbook (.xlsx): a sheet "Indice" first and one sheet per answer
// (named like its CSV file) with the header row frozen; numbers and dates as such, every text as
// text (never a formula). The sheets are written as their rows come, each compressed into a work
// file of its own, and put together into the workbook at the end, so that a workbook of millions
// of rows costs little memory. Written with zlib only (the file format is a ZIP archive of XML).
class TLibroDetalle
{
public:
    static inline const QString kArchivo = QStringLiteral("detalle.xlsx");
    // Rows a sheet holds; a sheet that reaches them goes on in another named after it
    // ("preg_44 (2)").
    static constexpr qint64 kFilasPorHoja = 1048576;

    TLibroDetalle();
    ~TLibroDetalle(); // removes the work files
    TLibroDetalle(const TLibroDetalle&) = delete;
    TLibroDetalle& operator=(const TLibroDetalle&) = delete;

    // Starts the workbook, its sheets' work files in sCarpetaTemporal (a work folder of this
    // program's), with its index sheet and that sheet's header. False and sError on failure.
    bool Abre(const QString& sCarpetaTemporal, const QStringList& ColumnasIndice, QString& sError);
    // Adds a sheet with its header row; its number for Fila (the index sheet is 0), -1 on failure.
    int Hoja(const QString& sNombre, const QStringList& Columnas);
    bool Fila(int nHoja, const QVariantList& Valores);
    // Writes the whole workbook into Salida (open); false and sError on failure.
    bool Cierra(TArchivoSalida& Salida, QString& sError);

private:
    struct TDatos;
    std::unique_ptr<TDatos> F_Datos;
};
