#include "db/jet/sql/SemirreunionJet.h"

#include "db/jet/sql/CatalogoFuncionesJet.h"

// SELECT DISTINCT x FROM (SELECT ... FROM A, B WHERE A.k = B.k AND pA AND pB) WHERE w
//
// is written as
//
// SELECT DISTINCT x FROM (SELECT <what x and w read> FROM B WHERE pB
//                         AND EXISTS (SELECT 1 FROM K AS A WHERE A.k = B.k)) WHERE w
//
// where K, the table of keys, is SELECT DISTINCT A.k FROM A WHERE pA, kept with an index on k
// (TEmisorSQLite::TablaClaves). A INNER JOIN B ON ... is written likewise, and B may come
// first. It applies when x, w and the ORDER BY read columns of B only, every condition of the
// join is an equality between a column of A and one of B (text with text, or numbers with
// numbers), a condition on A alone or one on B alone (or on neither), and nothing groups,
// limits or correlates. The join pairs each row of B with every row of A it meets, only for
// DISTINCT to fold those copies again; the EXISTS stops at the first key. The rows are the same:
// - DISTINCT keeps one row of each value. A row of B that meets k rows of A gives k equal rows
//   in the join and one row here, and k >= 1 in both forms for the same rows of B: duplicate
//   keys on either side change only k.
// - Every condition is written by the same code over the same operands, so it compares as in
//   the join: the JET collation on text (equal whatever the case or trailing blanks), the same
//   conversions of numbers. K's column is declared as A's (TEmisorSQLite::ColumnaDeclarada), so
//   its values and their affinity are those of A. A comparison with NULL is not true, so a NULL
//   key keeps its row out of the join and finds no key here.
// - K folds keys that DISTINCT finds equal: text equal under the collation, or the same number.
//   Such keys compare alike with every key of B (the collation is an order, numbers compare by
//   value), so a row of B meets a key of K exactly when it meets a row of A.
// - Only comparisons of columns and constants, IS NULL, AND, OR and NOT move: none of them can
//   fail, so it does not matter that the forms look at different rows of A.
// - The rows come in the order of B. That order counts: DISTINCT keeps the first row of each
//   value, which decides the spelling of text equal under the collation ("ab" and "AB "), and a
//   kept DISTINCT (a temporary table) keeps its rows in the order they came, which a later
//   First() reads. In the EXISTS form B is the only loop. The join gives the same order when
//   SQLite runs it with B outside A and finds the rows of A for each row of B through an index:
//   each row of B then comes k times in a row, so the first of every value is the same row. That
//   is its plan for the questionnaire's statements, whose read side is the clients of one
//   company (an equality to a constant) and whose other side the operations of a period (the
//   benchmark's --plan shows both forms, with --sin-semirreuniones the join); SQLite plans
//   without statistics, so the plan is the same on every database. Where SQLite would scan A
//   first (two tables without conditions, A written first), the join's rows come in A's order
//   instead, and the semi-join keeps the spellings and the order of B: the same values under
//   the collation, met in another order, which Jet itself leaves to the order in which its
//   engine meets the rows.
// Any other case (a LEFT or RIGHT join, a column of A read, aggregates, TOP, a subquery) is
// written as it stands.

namespace {

// The sources a join's expression names: 1 the first, 2 the second, 3 both, 0 none; -1 when it
// names something else (an enclosing query's column) or holds a subquery.
int Origen(const TExpr& e, const TFuenteAnalizada* pPrimera, const TFuenteAnalizada* pSegunda)
{
    if (e.Consulta)
        return -1;
    if (e.Clase == TClaseExpr::Columna) {
        if (e.pAlias)
            return Origen(*e.pAlias, pPrimera, pSegunda);
        if (e.nSalto != 0)
            return -1;
        return e.pFuente == pPrimera ? 1 : e.pFuente == pSegunda ? 2 : -1;
    }
    int r = 0;
    for (const auto& h : e.Hijos) {
        const int o = Origen(*h, pPrimera, pSegunda);
        if (o < 0)
            return -1;
        r |= o;
    }
    return r;
}

bool Operando(const TExpr& e)
{
    return !e.bCondicion && ((e.Clase == TClaseExpr::Columna && !e.pAlias) || e.Clase == TClaseExpr::Literal);
}

// A condition whose SQLite text compares columns and constants, tests them for NULL and joins
// such tests with AND, OR and NOT: nothing in it can fail.
bool Segura(const TExpr& e)
{
    if (!e.bCondicion)
        return false;
    switch (e.Clase) {
    case TClaseExpr::Binario:
        if (EsComparacion(e.Op))
            return e.Hijos.size() == 2 && Operando(*e.Hijos[0]) && Operando(*e.Hijos[1]);
        if ((e.Op == TOperadorJet::Y || e.Op == TOperadorJet::O) && e.nCondicionDesde == 0) {
            for (const auto& h : e.Hijos)
                if (!Segura(*h))
                    return false;
            return true;
        }
        return false;
    case TClaseExpr::Unario:
        return e.Op == TOperadorJet::No && Segura(*e.Hijos[0]);
    case TClaseExpr::EsNulo:
        return Operando(*e.Hijos[0]);
    case TClaseExpr::Funcion:
        return e.pFuncion->Funcion == TFuncionJet::IsNull && Operando(*e.Hijos[0]);
    default:
        return false;
    }
}

// The terms of a chain of ANDs, as the emitter writes each one (TEmisorSQLite::CondicionLogica).
void Conjunciones(const TExpr& e, std::vector<const TExpr*>& r)
{
    if (e.Clase == TClaseExpr::Binario && e.Op == TOperadorJet::Y && e.bCondicion && e.nCondicionDesde == 0) {
        for (const auto& h : e.Hijos)
            Conjunciones(*h, r);
        return;
    }
    r.push_back(&e);
}

// Marks the columns of the source pFuente that e reads; false when e holds a subquery.
bool Lee(const TExpr& e, const TFuenteAnalizada* pFuente, std::vector<bool>& Leidas)
{
    if (e.Consulta)
        return false;
    if (e.Clase == TClaseExpr::Columna) {
        if (e.pAlias)
            return Lee(*e.pAlias, pFuente, Leidas);
        if (e.pFuente == pFuente)
            Leidas[size_t(e.nColumna)] = true;
        return true;
    }
    for (const auto& h : e.Hijos)
        if (!Lee(*h, pFuente, Leidas))
            return false;
    return true;
}

TTipoJet TipoValor(const TExpr& e)
{
    return e.bCondicion ? TTipoJet::Largo : e.Tipo;
}

// Text against text, or numbers (dates included) against numbers: keys that the kept table's
// DISTINCT folds together compare alike with every key of the other side.
bool MismaClase(TTipoJet a, TTipoJet b)
{
    auto numero = [](TTipoJet t) { return EsNumerico(t) || t == TTipoJet::Fecha; };
    return (EsTextoJet(a) && EsTextoJet(b)) || (numero(a) && numero(b));
}

bool Simple(const TFuenteFrom& f)
{
    return f.Clase != TFuenteFrom::TClase::Join;
}

} // namespace

bool BuscaSemirreunion(const TNucleoSelect& n, const std::vector<TOrden>* pOrden, TSemirreunionJet& s)
{
    if (n.Predicado != TPredicado::Distinct || n.bTop || n.bAgregado || n.Having || !n.GroupBy.empty() ||
        n.From.size() != 1 || n.From[0]->Clase != TFuenteFrom::TClase::Derivada)
        return false;
    const TFuenteFrom& d = *n.From[0];
    const TConsultaJet& q = *d.Consulta;
    if (q.Nucleos.size() != 1 || !q.OrderBy.empty() || q.bCorrelacionada)
        return false;
    const TNucleoSelect& u = *q.Nucleos[0];
    if (u.Predicado != TPredicado::Todos || u.bTop || u.bAgregado || u.Having || !u.GroupBy.empty())
        return false;

    // The two sources and the conditions that join them.
    const TFuenteFrom* primera = nullptr;
    const TFuenteFrom* segunda = nullptr;
    std::vector<const TExpr*> condiciones;
    if (u.From.size() == 2) {
        primera = u.From[0].get();
        segunda = u.From[1].get();
    } else if (u.From.size() == 1 && u.From[0]->Clase == TFuenteFrom::TClase::Join &&
               u.From[0]->Join == TClaseJoin::Interna) {
        primera = u.From[0]->Izquierda.get();
        segunda = u.From[0]->Derecha.get();
        Conjunciones(*u.From[0]->On, condiciones);
    } else {
        return false;
    }
    if (!Simple(*primera) || !Simple(*segunda))
        return false;
    if (u.Where)
        Conjunciones(*u.Where, condiciones);
    const TFuenteAnalizada* a = primera->pAnalizada;
    const TFuenteAnalizada* b = segunda->pAnalizada;

    // The columns of the derived table that the DISTINCT reads, and where they come from.
    std::vector<bool> leidas(d.pAnalizada->Columnas.size(), false);
    for (const auto& c : n.Salida) {
        if (c.pExpr) {
            if (!Lee(*c.pExpr, d.pAnalizada, leidas))
                return false;
        } else {
            leidas[size_t(c.nColumna)] = true;
        }
    }
    if (n.Where && !Lee(*n.Where, d.pAnalizada, leidas))
        return false;
    if (pOrden)
        for (const auto& o : *pOrden)
            if (!Lee(*o.Expr, d.pAnalizada, leidas))
                return false;
    int leida = 0;
    for (size_t k = 0; k < leidas.size(); ++k) {
        if (!leidas[k])
            continue;
        const TColumnaSalida& c = u.Salida[k];
        const int o = c.pExpr ? Origen(*c.pExpr, a, b) : c.pFuente == a ? 1 : c.pFuente == b ? 2 : -1;
        if (o < 0)
            return false;
        leida |= o;
    }
    if (leida != 1 && leida != 2)
        return false;
    const int sondeada = 3 - leida;

    TSemirreunionJet r;
    for (const TExpr* c : condiciones) {
        const int o = Origen(*c, a, b);
        if (o < 0 || !Segura(*c))
            return false;
        if (!(o & sondeada)) {
            r.CondicionesLeida.push_back(c);
        } else if (!(o & leida)) {
            r.CondicionesSondeada.push_back(c);
        } else {
            if (c->Clase != TClaseExpr::Binario || c->Op != TOperadorJet::Igual)
                return false;
            const int o0 = Origen(*c->Hijos[0], a, b);
            const int o1 = Origen(*c->Hijos[1], a, b);
            if (!((o0 == 1 && o1 == 2) || (o0 == 2 && o1 == 1)) ||
                !MismaClase(TipoValor(*c->Hijos[0]), TipoValor(*c->Hijos[1])))
                return false;
            r.Igualdades.push_back(c);
            r.Claves.push_back(c->Hijos[o0 == sondeada ? 0 : 1]->nColumna);
        }
    }
    if (r.Igualdades.empty())
        return false;
    r.pDerivada = &d;
    r.pNucleoUnion = &u;
    r.pLeida = leida == 1 ? primera : segunda;
    r.pSondeada = leida == 1 ? segunda : primera;
    r.bLeidaPrimero = leida == 1;
    r.ColumnasLeidas = std::move(leidas);
    s = std::move(r);
    return true;
}
