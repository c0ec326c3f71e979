#pragma once

#include "db/jet/sql/TiposJet.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// Syntax tree of a Jet SELECT statement. Every node prints itself back as Jet SQL
// (Texto()); the parser fills the syntax fields, the semantic pass (SemanticaJet) the
// fields marked "semantics".

struct TConsultaJet;
struct TFuenteAnalizada;
struct TFilaFuncionJet;

enum class TClaseExpr
{
    Literal,
    Columna,     // [tabla.]columna
    Unario,      // - NOT
    Binario,     // arithmetic, &, comparisons, AND OR XOR
    Funcion,     // name(args), aggregates included
    Entre,       // x [NOT] BETWEEN a AND b
    EnLista,     // x [NOT] IN (a, b, ...)
    EnConsulta,  // x [NOT] IN (SELECT ...)
    Existe,      // EXISTS (SELECT ...)
    Subconsulta, // (SELECT ...) used as a value
    EsNulo,      // x IS [NOT] NULL
    Como         // x [NOT] LIKE p
};

// Jet's operators. Menos is also the unary minus.
enum class TOperadorJet : uint8_t
{
    O,            // OR
    OExclusivo,   // XOR
    Y,            // AND
    No,           // NOT
    Igual,        // =
    Distinto,     // <>
    Menor,        // <
    Mayor,        // >
    MenorIgual,   // <=
    MayorIgual,   // >=
    Concatena,    // &
    Mas,          // +
    Menos,        // -
    Por,          // *
    Divide,       // /
    DivideEntero, // \ (integer division)
    Modulo,       // MOD
    Potencia      // ^
};

// As Jet writes it: "OR", "<>", "&", "\\", "MOD"...
QString TextoOperador(TOperadorJet Op);
// The comparison operator of a symbol ("=", "<>", "<", ">", "<=", ">="); false for any other.
bool ComparacionDeSimbolo(const QString& s, TOperadorJet& Op);
bool EsComparacion(TOperadorJet Op); // = <> < > <= >=
bool EsLogico(TOperadorJet Op);      // AND OR XOR

enum class TClaseLiteral
{
    Nulo,
    Verdadero,
    Falso,
    Numero,
    Cadena,
    Fecha
};

struct TExpr
{
    TClaseExpr Clase = TClaseExpr::Literal;
    int nPos = 0; // span in the Jet text
    int nFin = 0;
    bool bParentesis = false; // written between parentheses
    int nProfundidad = 1;     // levels of nodes and subqueries below and including this one

    // Literal
    TClaseLiteral Literal = TClaseLiteral::Nulo;
    QString sValor;    // number or date as written; text unescaped
    double dValor = 0; // number, or the Jet day number of a date
    bool bEntero = false;
    int64_t nValor = 0;
    // Columna: sTabla may be empty. Funcion: sNombre as written.
    QString sTabla;
    QString sNombre;
    bool bEstrella = false; // COUNT(*)
    // Unario / Binario: the operator
    TOperadorJet Op = TOperadorJet::Igual;
    // Binario: a chain of operators of one precedence written without parentheses (a + b - c)
    // is one node whose Hijos are its operands and Ops[i] the operator between Hijos[i] and
    // Hijos[i + 1], applied from left to right; Op is Ops[0].
    std::vector<TOperadorJet> Ops;
    bool bNegado = false; // NOT BETWEEN / NOT IN / NOT LIKE / IS NOT NULL
    std::vector<std::unique_ptr<TExpr>> Hijos;
    std::unique_ptr<TConsultaJet> Consulta; // EnConsulta, Existe, Subconsulta

    // Semantics
    TTipoJet Tipo = TTipoJet::Variante;
    bool bCondicion = false;                   // yields true/false/null (comparisons, LIKE, IS NULL, ...)
    bool bTieneAgregado = false;               // an aggregate function at or below this node
    bool bEsAgregado = false;                  // this node is an aggregate function call
    TFuenteAnalizada* pFuente = nullptr;       // Columna: the source it names
    int nColumna = -1;                         // Columna: column index in that source
    int nSalto = 0;                            // Columna: 0 = this query, 1 = the enclosing one, ...
    const TExpr* pAlias = nullptr;             // Columna naming an output alias of the same SELECT
    const TFilaFuncionJet* pFuncion = nullptr; // Funcion: its row of the function table
    // Binario chain: type of the result after each operator (Parciales.back() is Tipo), and the
    // first operator from which the partial result is a condition (-1: none).
    std::vector<TTipoJet> Parciales;
    int nCondicionDesde = -1;

    QString Texto() const;
    // Binario: the operator between Hijos[i - 1] and Hijos[i] (i >= 1).
    TOperadorJet OpPaso(size_t i) const { return i - 1 < Ops.size() ? Ops[i - 1] : Op; }
};

struct TElementoSelect
{
    std::unique_ptr<TExpr> Expr; // null for * and t.*
    QString sAlias;              // AS alias
    bool bEstrella = false;
    QString sTablaEstrella; // t in t.*
    int nPos = 0;
    int nFin = 0;

    QString Texto() const;
};

enum class TClaseJoin
{
    Interna,
    Izquierda,
    Derecha
};

struct TFuenteFrom
{
    enum class TClase
    {
        Tabla,
        Derivada,
        Join
    } Clase = TClase::Tabla;
    QString sTabla; // Tabla
    QString sAlias;
    std::unique_ptr<TConsultaJet> Consulta; // Derivada
    TClaseJoin Join = TClaseJoin::Interna;  // Join
    std::unique_ptr<TFuenteFrom> Izquierda;
    std::unique_ptr<TFuenteFrom> Derecha;
    std::unique_ptr<TExpr> On;
    bool bParentesis = false;
    int nPos = 0;
    int nProfundidad = 1; // as TExpr::nProfundidad

    // Semantics (Tabla, Derivada)
    TFuenteAnalizada* pAnalizada = nullptr;

    QString Texto() const;
};

struct TOrden
{
    std::unique_ptr<TExpr> Expr;
    bool bDesc = false;
    int nSalida = -1; // semantics: the result column it names, when it names one
    QString Texto() const;
};

// Column of a source as the semantic pass sees it.
struct TColumnaFuente
{
    QString sNombre; // Jet name
    TTipoJet Tipo = TTipoJet::Variante;
    QString sSql; // name of the column in the SQLite text
};

// A table or derived table of a FROM clause, with the alias by which the query names it.
struct TFuenteAnalizada
{
    QString sAlias;    // Jet name (the alias, or the table name)
    QString sAliasSql; // name in the SQLite text
    bool bTabla = true;
    QString sTabla; // table name as the catalog spells it
    TConsultaJet* pDerivada = nullptr;
    TFuenteFrom* pNodo = nullptr;
    std::vector<TColumnaFuente> Columnas;
};

// One column of a SELECT's result.
struct TColumnaSalida
{
    QString sNombre; // Jet name: alias, column name, ExprNNNN, alias.column
    TTipoJet Tipo = TTipoJet::Variante;
    const TExpr* pExpr = nullptr;        // the expression, or null for a column of *
    TFuenteAnalizada* pFuente = nullptr; // for a column of *
    int nColumna = -1;
    QString sSql; // name of the column in the SQLite text
};

enum class TPredicado
{
    Todos,
    Distinct,
    DistinctRow
};

struct TNucleoSelect
{
    TPredicado Predicado = TPredicado::Todos;
    bool bTop = false;
    double dTop = 0;
    QString sTop; // as written
    bool bPorCiento = false;
    std::vector<TElementoSelect> Elementos;
    std::vector<std::unique_ptr<TFuenteFrom>> From;
    std::unique_ptr<TExpr> Where;
    std::vector<std::unique_ptr<TExpr>> GroupBy;
    std::unique_ptr<TExpr> Having;
    int nPos = 0;

    // Semantics
    std::vector<std::unique_ptr<TFuenteAnalizada>> Fuentes; // in FROM order
    std::vector<TColumnaSalida> Salida;
    bool bAgregado = false; // GROUP BY or aggregates: one row per group

    QString Texto() const;
};

// A SELECT statement: one core, or cores joined by UNION [ALL], and the ORDER BY that
// applies to the whole.
struct TConsultaJet
{
    std::vector<std::unique_ptr<TNucleoSelect>> Nucleos;
    std::vector<bool> UnionTodos; // Nucleos.size() - 1 entries: true for UNION ALL
    std::vector<TOrden> OrderBy;
    int nPos = 0;
    int nFin = 0;
    int nProfundidad = 1; // as TExpr::nProfundidad

    // Semantics
    std::vector<TColumnaSalida> Columnas; // names of the first core, common types
    bool bCorrelacionada = false;         // names a column of an enclosing query

    QString Texto() const;
};

// Deepest nesting of expressions, subqueries and joins that a statement may have (Jet's own
// limit for nested queries is 50). Every stage walks the tree recursively only as deep as
// this, so a 1 MB stack is always enough; chains of one operator are flat (TExpr::Ops).
constexpr int MaxProfundidadJet = 100;

// A name as Jet SQL writes it: bare when it is a plain word, else between brackets.
QString NombreJet(const QString& sNombre);
