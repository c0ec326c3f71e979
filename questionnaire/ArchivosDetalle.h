#pragma once

#include "questionnaire/Detalle.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

// The files of the details: one CSV per answer and an index, in UTF-8 with a byte-order mark
// (spreadsheets then read the accents right) and CR LF line ends; the separator between fields
// and the decimal mark of numbers are those the officer's spreadsheet reads (TFormatoCsv).
// A text that a spreadsheet would take for a formula (it begins with '=', '+', '-', '@', a tab
// or a carriage return) is written after an apostrophe, so that it shows as the text it is; a
// NUL inside a text, which no spreadsheet keeps, becomes U+FFFD.
// Separator between fields and decimal mark of numbers.
struct TFormatoCsv
{
    QChar cSeparador = QLatin1Char(';');
    QChar cDecimal = QLatin1Char(',');

    // As this computer's spreadsheets read CSV files: the list separator and decimal mark of
    // the user's regional settings (Mexican Spanish: ',' and '.'; Spain: ';' and ',').
    static TFormatoCsv DelSistema();
    // The separator given; a decimal point with ',', a decimal comma with any other.
    static TFormatoCsv ConSeparador(QChar c);
};

namespace ArchivosDetalle {

inline const QString kIndice = QStringLiteral("indice.csv");
inline const QString kSucursales = QStringLiteral("sucursales.csv"); // a consolidation's branch table

// One field: dates dd/MM/yyyy (with HH:mm:ss when they have a time), Booleans SI/NO, numbers
// without exponent, texts made safe as above; quoted when it holds the separator, a quote or a
// line break.
QString Campo(const QVariant& v, const TFormatoCsv& Formato);
// A whole file: header row, then the rows.
QByteArray Texto(const QStringList& Encabezado, const QList<QVariantList>& Filas, const TFormatoCsv& Formato);
// Reads a file written by Texto back into rows of texts (quotes removed); for tests and tools.
QList<QStringList> Lee(const QByteArray& Datos, QChar cSeparador);

// One line of a file, CR LF ended.
QByteArray Linea(const QVariantList& Valores, const TFormatoCsv& Formato);
// The beginning of a file: the byte-order mark and the header line.
QByteArray Encabezado(const QStringList& Columnas, const TFormatoCsv& Formato);

// Whether a file of that name belongs to a detail set (a detail, the index, the workbook, the
// branch table): a new set replaces all of them.
bool EsArchivoDelConjunto(const QString& sNombre);
// The files of a detail set that stand in sCarpeta.
QStringList Existentes(const QString& sCarpeta);

// The folder proposed for a detail set (beside the report's PDF): made when missing, so that
// the folder dialog opens in it, and removed again at the end if it was made here and nothing
// was written into it. A folder the host's files refuse is never made.
class TCarpetaPropuesta
{
public:
    explicit TCarpetaPropuesta(const QString& sCarpeta);
    ~TCarpetaPropuesta();
    TCarpetaPropuesta(const TCarpetaPropuesta&) = delete;
    TCarpetaPropuesta& operator=(const TCarpetaPropuesta&) = delete;
    QString Ruta() const { return F_sCarpeta; }

private:
    QString F_sCarpeta;
    bool F_bCreada = false;
};

} // namespace ArchivosDetalle

class TArchivoSalida;
class TGrupoSalidas;
class TLibroDetalle;

// Writes the detail files of one report as the rows come, without keeping them: a CSV file per
// detail, the index and the workbook. The set is written in a work folder inside the chosen
// folder and put in place, with the run's other outputs, by the group it was started in; the
// files of an earlier set in that folder go then. The rows are turned into text and compressed
// on a thread of their own while the caller reads the next ones; at most a few thousand rows
// wait between the two.
class TEscritorDetalle
{
public:
    explicit TEscritorDetalle(TFormatoCsv Formato = TFormatoCsv::DelSistema());
    ~TEscritorDetalle();
    TEscritorDetalle(const TEscritorDetalle&) = delete;
    TEscritorDetalle& operator=(const TEscritorDetalle&) = delete;

    // Checks and prepares sCarpeta and starts a file per detail; ColumnasPrevias go before the
    // columns of each detail's class (the branch of a consolidated report). False and sError.
    bool Inicia(const QString& sCarpeta, const QList<TDetalle>& Detalles, const QStringList& ColumnasPrevias,
                TGrupoSalidas& Grupo, QString& sError);
    // A row of detail nDetalle (the previous columns first). False once a write failed.
    bool Fila(int nDetalle, const QVariantList& Valores);
    // Stops the writing of rows (those still waiting are dropped); before the set is discarded.
    void Detiene();
    // Another whole file of the set.
    bool Agrega(const QString& sNombre, const QByteArray& Datos);
    // Writes the index (Figuras: the answers as the report shows them, by variable; lines
    // joined by " | ") and closes the workbook. The set then waits in the group.
    bool Termina(const QMap<QString, QString>& Figuras, QString& sError);

    const QString& Error() const { return F_sError; }
    // The names of the files of the set, and of those of an earlier set it replaces.
    QStringList Archivos() const { return F_Archivos; }
    QStringList Reemplazados() const { return F_Reemplazados; }
    const QString& Carpeta() const { return F_sCarpeta; }
    const TFormatoCsv& Formato() const { return F_Formato; }

private:
    struct THilo;
    bool escribeFila(int nDetalle, const QVariantList& Valores);
    // Waits for the rows handed over to be written; false when a write failed.
    bool esperaFilas(bool bDescarta);

    TFormatoCsv F_Formato;
    QString F_sCarpeta;
    QString F_sTrabajo;
    TGrupoSalidas* F_pGrupo = nullptr;
    QList<TDetalle> F_Detalles;
    QList<TArchivoSalida*> F_Csv;
    QList<qint64> F_Filas;
    QList<int> F_Hojas;
    std::unique_ptr<TLibroDetalle> F_Libro;
    QStringList F_Archivos;
    QStringList F_Reemplazados;
    QString F_sError;
    std::unique_ptr<THilo> F_Hilo;
    QVariantList F_UltimaFila; // the last row written, and its line
    QByteArray F_UltimaLinea;
};

class TConexionBD;
class TRepCuestZIDU2019;

// The detail set of the questionnaire Q has just run (its connection, its ticks) written into
// sCarpeta through Escritor, inside Grupo: the statements, their rows as they are read, and the
// index (Figuras: the answers as the report shows them). Avance as in RecorreDetalles. Unless
// it is Completa, sError says why for the user (empty when stopped); a failed statement has
// been shown as a database error too.
TLecturaDetalle EscribeDetalle(TRepCuestZIDU2019& Q, TConexionBD* Conector,
                               const QMap<QString, QString>& Figuras, const QString& sCarpeta,
                               TEscritorDetalle& Escritor, TGrupoSalidas& Grupo, QString& sError,
                               const std::function<bool(int, int)>& Avance = {});
