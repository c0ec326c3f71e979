#pragma once

#include "db/componentes/ProveedorBD.h"
#include "db/jet/sql/SemanticaJet.h"

#include <QString>
#include <QStringList>

#include <vector>

// One .test file of tests/sql: the tables of its setup and its cases.
//
//   # comment
//   table tEmpresa
//   NumEmp Long, Empresa Text, Importe Currency
//   1, 'Casa ''Uno''', 10.5
//   2, NULL, -0.25
//                                  (a blank line ends the table)
//   query nombre-del-caso
//   SELECT ...                     (one or more lines)
//   ----
//   columns: Col1<TAB>Col2         (optional: result column names)
//   types: Texto<TAB>Entero        (optional: value kinds, checked on non-NULL values)
//   valor<TAB>valor                (rows; NULL and (empty) written out)
//
//   statement error otro-caso
//   SELECT ...
//   ----
//   expected message
//   position: 23                   (optional: where the engine places the error, counting
//                                   the statement's characters from 1, line breaks included)
//
// Row values are written as the tests show them: numbers with at most 15 significant digits,
// currency exactly, dates MM/DD/YYYY[ hh:mm:ss], Yes/No as True/False.
struct TTablaPrueba
{
    TEsquemaTablaJet Esquema;
    std::vector<std::vector<TValorBD>> Filas;
};

struct TCasoPrueba
{
    QString sNombre;
    int nLinea = 0;
    bool bError = false;
    QString sSql;
    QStringList Columnas; // empty: not checked
    QStringList Tipos;    // empty: not checked
    QStringList Filas;    // expected rows, values joined by TAB
    QString sMensaje;     // statement error
    int nPosicion = 0;    // statement error: 1-based place of the error; 0: not checked
};

struct TArchivoPrueba
{
    QString sRuta;
    std::vector<TTablaPrueba> Tablas;
    std::vector<TCasoPrueba> Casos;
};

// Reads a .test file; throws std::runtime_error with the line of a malformed entry.
TArchivoPrueba LeeArchivoPrueba(const QString& sRuta);

// The rows of a result written as the .test files write them.
QStringList TextoFilas(const TResultadoBD& r);
QString TextoValor(const TValorBD& v);
QString NombreTipoValor(const TValorBD& v);
