#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class TConexionBD;
class TConsultasSQL;
class TRepCuestQRTZBasic;
class TRepCuestZIDU2019;

// The rows behind every figure the database gives: for each such answer, one statement built
// from the same text builders as the answer's own query, listing what the answer counts or
// sums, so that a figure handed to the regulator can be shown row by row.

// What the rows of a detail are.
enum class TClaseDetalle
{
    Clientes,    // one row per client counted (the public-general client: one per operation)
    Operaciones, // one row per grouped operation
    Alertas      // one row per alert record or internal message
};

// How the answer is made of the rows.
enum class TMedidaDetalle
{
    Conteo,       // the number of rows
    SiNo,         // "SI" when there is a row, else "NO"
    Lista,        // the ten values of sColumnaLista held by most rows, upper-cased, most first
    SumaImporte,  // the sum of Importe, rounded to 2 decimals
    SumaCantidad, // the sum of Cantidad, rounded to 2 decimals
    Resumen       // a line with the number of rows and the sum of Importe
};

struct TDetalle
{
    QString sVariable;    // report variable of the answer: "preg_32", "preg_42_2"
    int nPregunta = 0;    // 9 to 46
    int nInciso = 0;      // 1 to 6 for questions 42 and 43, else 0
    QString sDescripcion; // what the answer is, in a few words
    TClaseDetalle Clase = TClaseDetalle::Clientes;
    TMedidaDetalle Medida = TMedidaDetalle::Conteo;
    QString sColumnaLista; // Lista only: "Actividad" or "Estado"
    QString sConsulta;     // the Jet SQL statement of the rows
};

// Rows of one detail, with the columns of its class (ColumnasDetalle). Values are null, bool,
// qint64, double, QDateTime or QString.
struct TTablaDetalle
{
    QStringList Columnas;
    QList<QVariantList> Filas;

    int Columna(const QString& sNombre) const { return int(Columnas.indexOf(sNombre)); }
    QVariant Valor(int nFila, const QString& sColumna) const;
};

// Columns of the rows of each class, in file order (the names the statements give them).
QStringList ColumnasDetalle(TClaseDetalle Clase);
// The heading of a column in the files, in words ("Número de divisa" for NumeroDivisa).
QString TituloColumna(const QString& sColumna);

// File name of a detail: "preg_09.csv", "preg_42_2.csv".
QString ArchivoDetalle(const TDetalle& Detalle);

// The statements of the 2019 questionnaire's computed answers, in the order the report sets
// them (the question catalogue's), built with the builders of Q and the PEP ticks Q holds now.
QList<TDetalle> DameDetalles(TRepCuestZIDU2019& Q);

enum class TLecturaDetalle
{
    Completa,
    Fallida, // a statement failed; shown as a database error ("BD-101"), unless cancelled
    Detenida // Fila or Avance asked to stop
};

// Runs the statements on the host database of Q and hands each row to Fila(nDetalle, Valores),
// as it is read and without keeping it: the values in the order of ColumnasDetalle of the
// detail's class, each client row completed with the client's data (name, kind of person,
// nationality, activity, state, risk level, PEP mark) and each operation or alert with its
// client's name. A statement that several details share runs once and gives its rows to each.
// Avance(nHechos, nTotal) after each statement. Fila or Avance returning false stops the reading.
TLecturaDetalle RecorreDetalles(TRepCuestQRTZBasic& Q, TConexionBD* Conector, const QList<TDetalle>& Detalles,
                                const std::function<bool(int, const QVariantList&)>& Fila,
                                const std::function<bool(int, int)>& Avance = {});
// The same rows kept in tables, one per detail; false when the reading did not complete.
bool LeeDetalles(TRepCuestQRTZBasic& Q, TConexionBD* Conector, const QList<TDetalle>& Detalles,
                 QList<TTablaDetalle>& Tablas);

// The values held by most rows (one value per row; compared without letter case), upper-cased,
// most first, ties in alphabetical order, at most nTop: how a top-ten answer is made.
QStringList MasFrecuentes(const QStringList& Valores, int nTop);

// Rounds to 2 decimals, halves to even (as the engine rounds amounts).
double Redondea2(double d);
// A number as the engine writes it in an answer: no exponent, no trailing zeros, "." decimals.
QString TextoNumero(double d);
