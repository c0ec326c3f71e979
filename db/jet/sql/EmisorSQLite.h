#pragma once

#include "db/jet/sql/AstJet.h"
#include "db/jet/sql/SemirreunionJet.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

// A derived table computed once into a temporary table (identical derived tables of one
// statement, and of later statements, then share it).
struct TMaterializacionSql
{
    QString sNombre;                      // "_m_" and a hash of sSelect
    QString sSelect;                      // fills the table, in Jet's row order; empty when the
                                          // session already held the table at translation time
    std::vector<TColumnaSalida> Columnas; // sSql names and types of its columns
    QStringList Indice;                   // columns of an index made with the table, if any

    QString CreaIndice() const; // the CREATE INDEX of Indice
};

struct TTraduccionSql
{
    QString sSql; // the statement's SELECT; its first Columnas.size() columns are the result
    std::vector<TMaterializacionSql> Materializaciones; // to create first, in this order
    std::vector<TColumnaSalida> Columnas;               // result columns: Jet names and types

    // Runnable script: the temporary tables, then the SELECT.
    QString Texto() const;
};

// Writes the SQLite text of an analysed Jet statement. Jet's meaning is kept by the text and
// by the functions that FuncionesJet registers: the JET collation on every text comparison,
// grouping, DISTINCT, UNION and ORDER BY; -1/0 for true/false; IIF with a NULL condition
// taking the false branch; + joining text and & converting numbers as Jet does; TOP n with
// ties; Str, Round, Like, UCase and friends; scalar subqueries that must yield at most one
// row; currency held in ten-thousandths; and the row order Jet returns (ORDER BY, sorted
// DISTINCT / GROUP BY / UNION, otherwise the order of the sources).
class TEmisorSQLite
{
public:
    explicit TEmisorSQLite(bool bMaterializa = true) : F_bMaterializa(bMaterializa) {}
    // Tells whether a temporary table of that name already exists (its text is then not needed).
    void SetExiste(std::function<bool(const QString&)> Existe) { F_Existe = std::move(Existe); }
    // Whether a DISTINCT that reads one side of a join is written as a semi-join (on by default;
    // SemirreunionJet.cpp).
    void SetSemirreuniones(bool b) { F_bSemirreuniones = b; }
    TTraduccionSql Emite(const TConsultaJet& q);

    static QString Identificador(const QString& s); // "name" with " doubled
    static QString Cadena(const QString& s);        // 'text' with ' doubled
    // A column of a CREATE TABLE: its name and the declared type that holds values of Tipo.
    static QString DefinicionColumna(const QString& sNombre, TTipoJet Tipo);

private:
    struct TTermino // a term of a row order
    {
        QString sExpr; // SQL expression in the scope where it is used
        bool bDesc = false;
        bool bTexto = false;
    };
    struct TEmision
    {
        QString sSql;
        std::vector<TTermino> Orden; // sExpr = name of a result column of sSql
    };
    struct TContexto
    {
        const TNucleoSelect* pNucleo = nullptr;
        QStringList Grupo; // signatures of the GROUP BY expressions
    };

    TEmision EmiteConsulta(const TConsultaJet& q, bool bOrden);
    // pSemi: n is the join of a semi-join, written with EXISTS and only the columns it reads.
    TEmision EmiteNucleo(const TNucleoSelect& n, const std::vector<TOrden>* pOrden, bool bOrden,
                         const std::vector<TColumnaSalida>& Destino, const TSemirreunionJet* pSemi = nullptr);
    QString EmiteFuente(const TFuenteFrom& f, bool bOrden, std::vector<TTermino>& Orden);
    bool EsSemirreunion(const TNucleoSelect& n, const std::vector<TOrden>* pOrden, TSemirreunionJet& s) const;
    bool ColumnaDeclarada(const TFuenteAnalizada& f, int nColumna) const;
    QString EmiteSemirreunion(const TSemirreunionJet& s);
    QString CuerpoSemirreunion(const TSemirreunionJet& s);
    QString TablaClaves(const TSemirreunionJet& s);
    // The temporary table's name for a key (the same key, the same name in every statement).
    static QString NombreMaterializacion(const QString& sClave);
    // Whether the table is already listed for this statement or kept from an earlier one (then
    // listed without its text).
    bool YaMaterializada(const QString& sNombre, const std::vector<TColumnaSalida>& Columnas,
                         const QStringList& Indice);
    QString Materializa(const TConsultaJet& q, bool bOrden);
    bool DebeMaterializar(const TConsultaJet& q) const;
    void CuentaDerivadas(const TConsultaJet& q);
    void CuentaDerivadasExpr(const TExpr* e);

    QString Valor(const TExpr& e);
    QString Condicion(const TExpr& e);
    QString ValorComo(const TExpr& e, TTipoJet Tipo); // converted to that type's representation
    QString Comparacion(const TExpr& a, const TExpr& b, const QString& sOp);
    QString Funcion(const TExpr& e);
    QString Aritmetica(const TExpr& e);
    struct TPaso // one operator of a chain, as text
    {
        bool bInfijo = false;           // "(sIzquierda sOp sDerecha)"
        bool bIzquierdaIntacta = false; // sIzquierda is the left operand's text unchanged
        QString sIzquierda, sOp, sDerecha;
        QString sTodo;
    };
    TPaso Paso(TOperadorJet Op, const QString& sA, TTipoJet ta, const TExpr& b, TTipoJet r);
    static bool MismaPrecedencia(const QString& a, const QString& b);
    QString CondicionLogica(const TExpr& e);
    QString ListaIgualdades(const TExpr& e);
    static QString Agrupa(const QStringList& Terminos, const QString& sOp);
    static QString Variadica(const QString& sFuncion, QStringList Terminos);
    static void Limita(const QString& sSql);
    QString Referencia(const TFuenteAnalizada& f, int nColumna) const;
    QString Subconsulta(const TConsultaJet& q);
    static int RangoClave(const TExpr& e);
    static TTipoJet TipoValor(const TExpr& e) { return e.bCondicion ? TTipoJet::Largo : e.Tipo; }
    static QString Convierte(const QString& sSql, TTipoJet De, TTipoJet A);
    static QString TerminoSql(const TTermino& t);
    static QString SinOrdinal(const QString& sExpr);

    bool F_bMaterializa;
    bool F_bSemirreuniones = true;
    std::vector<TContexto> F_Contextos;
    std::vector<TMaterializacionSql> F_Materializaciones;
    QHash<QString, int> F_Usos; // Jet text of each derived table -> times it appears
    std::function<bool(const QString&)> F_Existe;
};
