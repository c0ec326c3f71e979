#pragma once

#include "db/jet/sql/AstJet.h"
#include "db/jet/sql/CatalogoFuncionesJet.h"

#include <QStringList>

#include <vector>

struct TColumnaTablaJet
{
    QString sNombre;
    TTipoJet Tipo = TTipoJet::Texto;
};

// A table as the database defines it.
struct TEsquemaTablaJet
{
    QString sNombre;
    std::vector<TColumnaTablaJet> Columnas;
};

// What the semantic pass needs of the database: the definition of a table, looked up by
// name ignoring case.
class ICatalogoJet
{
public:
    virtual ~ICatalogoJet() = default;
    virtual bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) = 0;
};

// Resolves names (case-insensitively, against the table definitions and the columns of
// derived tables), expands * and t.*, gives every expression its Jet type, names the result
// columns as Jet does (aliases, ExprNNNN, alias.column on clashes) and raises the errors Jet
// raises before running a query: unknown table, unknown name (a missing parameter), ambiguous
// name, type mismatch, unknown function, wrong argument count, columns outside GROUP BY.
class TSemanticaJet
{
public:
    TSemanticaJet(const QString& sTexto, ICatalogoJet& Catalogo);
    void Analiza(TConsultaJet& Consulta);

    // Tables the statement names, as the catalog spells them, each once.
    const QStringList& Tablas() const { return F_Tablas; }

    // Same text for expressions that mean the same thing once names are resolved.
    static QString Firma(const TExpr& e);
    static bool EsFuncionAgregada(const QString& sNombre);

private:
    struct TAmbito
    {
        TNucleoSelect* pNucleo = nullptr;
        TAmbito* pPadre = nullptr;
        TConsultaJet* pConsulta = nullptr;
        bool bAliasSelect = false; // names may refer to aliases of the SELECT list
    };

    void RevisaTablas(const TConsultaJet& q);
    void RevisaTablasExpr(const TExpr* e);
    void AnalizaConsulta(TConsultaJet& q, TAmbito* pPadre);
    void AnalizaNucleo(TNucleoSelect& n, TConsultaJet& q, TAmbito* pPadre, bool bUnico);
    void AgregaFuentes(TFuenteFrom& f, TNucleoSelect& n, TAmbito* pPadre);
    void AnalizaOn(TFuenteFrom& f, TAmbito& a);
    void AnalizaExpr(TExpr& e, TAmbito& a);
    void ResuelveColumna(TExpr& e, TAmbito& a);
    void AnalizaFuncion(TExpr& e, TAmbito& a);
    void ExigeComparables(const TExpr& a, const TExpr& b, int nPos);
    const TExpr* NoAgrupada(const TExpr& e, const QStringList& Grupo) const;
    QString TextoDe(const TExpr& e) const;
    QString TextoDe(int nPos, int nFin) const;

    QString F_sTexto;
    ICatalogoJet& F_Catalogo;
    QStringList F_Tablas;
    std::vector<TEsquemaTablaJet> F_Esquemas;
    std::vector<const TExpr*> F_Analizadas; // SELECT items already analysed
    std::vector<const TExpr*> F_EnCurso;    // SELECT items being analysed (alias cycles)
    int F_nProfundidad = 0;                 // recursion depth of AnalizaExpr
};
