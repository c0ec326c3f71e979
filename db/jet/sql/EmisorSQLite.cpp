#include "db/jet/sql/EmisorSQLite.h"

#include "db/jet/sql/SemanticaJet.h"

#include "db/jet/sql/ErrorJet.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

QString numeroReal(double d)
{
    if (std::isnan(d))
        return QStringLiteral("NULL");
    if (std::isinf(d)) // SQLite reads a number beyond a Double as an infinity
        return d > 0 ? QStringLiteral("9e999") : QStringLiteral("(- 9e999)");
    QString s = QString::number(d, 'g', 17);
    if (!s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e')) && !s.contains(QLatin1String("inf")) &&
        !s.contains(QLatin1String("nan")))
        s += QStringLiteral(".0");
    return s;
}

QString claveTipo(TTipoJet t)
{
    return QStringLiteral("'%1'").arg(QLatin1Char(ClaveTipo(t)));
}

} // namespace

QString TEmisorSQLite::Identificador(const QString& s)
{
    QString r = s;
    r.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

QString TEmisorSQLite::DefinicionColumna(const QString& sNombre, TTipoJet Tipo)
{
    const QString sTipo = TipoDeclaradoSqlite(Tipo);
    return Identificador(sNombre) + (sTipo.isEmpty() ? QString() : QLatin1Char(' ') + sTipo);
}

QString TEmisorSQLite::Cadena(const QString& s)
{
    QString r = s;
    r.replace(QLatin1String("'"), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

QString TEmisorSQLite::SinOrdinal(const QString& sExpr)
{
    // A whole number alone in ORDER BY or GROUP BY is a column number to SQLite; in Jet it is
    // a constant.
    static const QRegularExpression entero(QStringLiteral("^[-( ]*[0-9]+[) ]*$"));
    if (entero.match(sExpr).hasMatch())
        return QStringLiteral("CAST(%1 AS INTEGER)").arg(sExpr);
    return sExpr;
}

QString TEmisorSQLite::TerminoSql(const TTermino& t)
{
    return SinOrdinal(t.sExpr) + (t.bTexto ? QStringLiteral(" COLLATE JET") : QString()) +
           (t.bDesc ? QStringLiteral(" DESC") : QString());
}

QString TMaterializacionSql::CreaIndice() const
{
    QStringList cols;
    for (const QString& c : Indice)
        cols << TEmisorSQLite::Identificador(c);
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
        .arg(TEmisorSQLite::Identificador(sNombre + QStringLiteral("_i")),
             TEmisorSQLite::Identificador(sNombre), cols.join(QStringLiteral(", ")));
}

QString TTraduccionSql::Texto() const
{
    QString s;
    for (const auto& m : Materializaciones) {
        QStringList cols;
        for (const auto& c : m.Columnas)
            cols << TEmisorSQLite::DefinicionColumna(c.sSql, c.Tipo);
        s += QStringLiteral("CREATE TEMP TABLE %1 (%2);\nINSERT INTO %1 %3;\n")
                 .arg(TEmisorSQLite::Identificador(m.sNombre), cols.join(QStringLiteral(", ")), m.sSelect);
        if (!m.Indice.isEmpty())
            s += m.CreaIndice() + QStringLiteral(";\n");
    }
    return s + sSql + QLatin1Char(';');
}

// ---------------------------------------------------------------- statement

TTraduccionSql TEmisorSQLite::Emite(const TConsultaJet& q)
{
    F_Materializaciones.clear();
    F_Contextos.clear();
    F_Usos.clear();
    CuentaDerivadas(q);
    TTraduccionSql t;
    const TEmision em = EmiteConsulta(q, true);
    t.sSql = em.sSql;
    if (!em.Orden.empty()) {
        QStringList terminos;
        for (const auto& o : em.Orden)
            terminos << TerminoSql(o);
        t.sSql += QStringLiteral(" ORDER BY ") + terminos.join(QStringLiteral(", "));
    }
    t.Columnas = q.Columnas;
    t.Materializaciones = F_Materializaciones;
    return t;
}

void TEmisorSQLite::CuentaDerivadas(const TConsultaJet& q)
{
    std::vector<const TFuenteFrom*> pendientes;
    for (const auto& n : q.Nucleos) {
        for (const auto& f : n->From)
            pendientes.push_back(f.get());
        for (const auto& e : n->Elementos)
            CuentaDerivadasExpr(e.Expr.get());
        CuentaDerivadasExpr(n->Where.get());
        CuentaDerivadasExpr(n->Having.get());
    }
    while (!pendientes.empty()) {
        const TFuenteFrom* f = pendientes.back();
        pendientes.pop_back();
        if (f->Clase == TFuenteFrom::TClase::Derivada) {
            F_Usos[f->Consulta->Texto()] += 1;
            CuentaDerivadas(*f->Consulta);
        } else if (f->Clase == TFuenteFrom::TClase::Join) {
            pendientes.push_back(f->Izquierda.get());
            pendientes.push_back(f->Derecha.get());
        }
    }
}

void TEmisorSQLite::CuentaDerivadasExpr(const TExpr* e)
{
    if (!e)
        return;
    if (e->Consulta)
        CuentaDerivadas(*e->Consulta);
    for (const auto& h : e->Hijos)
        CuentaDerivadasExpr(h.get());
}

bool TEmisorSQLite::DebeMaterializar(const TConsultaJet& q) const
{
    if (!F_bMaterializa || q.bCorrelacionada)
        return false;
    // Derived tables that reduce their rows (grouping, DISTINCT, TOP) are computed once and kept:
    // later statements of a report repeat them. Plain joins and unions are copied only when
    // this statement uses them more than once; otherwise they run where they stand.
    for (const auto& n : q.Nucleos)
        if (n->bAgregado || n->Predicado == TPredicado::Distinct || n->bTop)
            return true;
    if (q.Nucleos.size() > 1 || q.Nucleos[0]->Fuentes.size() > 1)
        return F_Usos.value(q.Texto()) > 1;
    return false;
}

QString TEmisorSQLite::NombreMaterializacion(const QString& sClave)
{
    const QByteArray hash = QCryptographicHash::hash(sClave.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("_m_") + QString::fromLatin1(hash.left(16));
}

bool TEmisorSQLite::YaMaterializada(const QString& sNombre, const std::vector<TColumnaSalida>& Columnas,
                                    const QStringList& Indice)
{
    for (const auto& m : F_Materializaciones)
        if (m.sNombre == sNombre)
            return true;
    // Kept from an earlier statement: nothing to write out, its own derived tables included.
    if (F_Existe && F_Existe(sNombre)) {
        F_Materializaciones.push_back({sNombre, QString(), Columnas, Indice});
        return true;
    }
    return false;
}

QString TEmisorSQLite::Materializa(const TConsultaJet& q, bool bOrden)
{
    // Named after the Jet text: the same derived table gets the same name in every statement,
    // however its own derived tables were written out.
    const QString nombre = NombreMaterializacion((bOrden ? QStringLiteral("o:") : QString()) + q.Texto());
    if (YaMaterializada(nombre, q.Columnas, {}))
        return nombre;
    const TEmision em = EmiteConsulta(q, bOrden);
    QString select = em.sSql;
    if (bOrden && !em.Orden.empty()) {
        QStringList terminos;
        for (const auto& o : em.Orden)
            terminos << TerminoSql(o);
        // Only the result columns go into the table; the row order becomes its rowid order.
        QStringList cols;
        for (const auto& c : q.Columnas)
            cols << Identificador(c.sSql);
        select = QStringLiteral("SELECT %1 FROM (%2) ORDER BY %3")
                     .arg(cols.join(QStringLiteral(", ")), select, terminos.join(QStringLiteral(", ")));
    }
    F_Materializaciones.push_back({nombre, select, q.Columnas, {}});
    return nombre;
}

// ---------------------------------------------------------------- queries

TEmisorSQLite::TEmision TEmisorSQLite::EmiteConsulta(const TConsultaJet& q, bool bOrden)
{
    if (q.Nucleos.size() == 1)
        return EmiteNucleo(*q.Nucleos[0], &q.OrderBy, bOrden, q.Columnas);

    bool todosAll = true;
    for (bool b : q.UnionTodos)
        todosAll = todosAll && b;
    // Branches in Jet's order only when the result keeps every row (UNION ALL without ORDER BY).
    const bool ordenRamas = bOrden && todosAll && q.OrderBy.empty();
    std::vector<TEmision> ramas;
    size_t maxTerminos = 0;
    for (const auto& n : q.Nucleos) {
        ramas.push_back(EmiteNucleo(*n, nullptr, ordenRamas, q.Columnas));
        maxTerminos = std::max(maxTerminos, ramas.back().Orden.size());
    }
    TEmision r;
    QStringList partes;
    for (size_t i = 0; i < ramas.size(); ++i) {
        QString sql = ramas[i].sSql;
        if (ordenRamas) {
            QStringList cols;
            for (const auto& c : q.Columnas)
                cols << Identificador(c.sSql);
            cols << QStringLiteral("%1 AS \"_o1\"").arg(i);
            for (size_t k = 0; k < maxTerminos; ++k)
                cols << (k < ramas[i].Orden.size() ? QStringLiteral("\"_r\".") + ramas[i].Orden[k].sExpr
                                                   : QStringLiteral("NULL")) +
                            QStringLiteral(" AS ") + Identificador(QStringLiteral("_o%1").arg(k + 2));
            sql = QStringLiteral("SELECT %1 FROM (%2) AS \"_r\"").arg(cols.join(QStringLiteral(", ")), sql);
        }
        // A branch with TOP ends in ORDER BY ... LIMIT, which SQLite takes only in a subquery.
        if (!ordenRamas && q.Nucleos[i]->bTop)
            sql = QStringLiteral("SELECT * FROM (%1)").arg(sql);
        if (i)
            partes << (q.UnionTodos[i - 1] ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION "));
        partes << sql;
    }
    r.sSql = partes.join(QString());
    if (!bOrden)
        return r;
    if (ordenRamas) {
        r.Orden.push_back({QStringLiteral("_o1"), false, false});
        for (size_t k = 0; k < maxTerminos; ++k) {
            // Direction and collation of a branch term are those of the first branch that has it.
            TTermino t{QStringLiteral("_o%1").arg(k + 2), false, false};
            for (const auto& rama : ramas)
                if (k < rama.Orden.size()) {
                    t.bDesc = rama.Orden[k].bDesc;
                    t.bTexto = rama.Orden[k].bTexto;
                    break;
                }
            r.Orden.push_back(t);
        }
    } else if (!q.OrderBy.empty()) {
        for (const auto& o : q.OrderBy)
            r.Orden.push_back({q.Columnas[o.nSalida].sSql, o.bDesc, EsTextoJet(q.Columnas[o.nSalida].Tipo)});
    } else {
        // UNION sorts to remove duplicates: Jet returns its rows in that order.
        for (const auto& c : q.Columnas)
            r.Orden.push_back({c.sSql, false, EsTextoJet(c.Tipo)});
    }
    for (auto& t : r.Orden)
        t.sExpr = Identificador(t.sExpr);
    return r;
}

QString TEmisorSQLite::Referencia(const TFuenteAnalizada& f, int nColumna) const
{
    return Identificador(f.sAliasSql) + QLatin1Char('.') + Identificador(f.Columnas[nColumna].sSql);
}

QString TEmisorSQLite::EmiteFuente(const TFuenteFrom& f, bool bOrden, std::vector<TTermino>& Orden)
{
    switch (f.Clase) {
    case TFuenteFrom::TClase::Tabla: {
        const TFuenteAnalizada& a = *f.pAnalizada;
        QString s = Identificador(a.sTabla);
        if (a.sAliasSql != a.sTabla)
            s += QStringLiteral(" AS ") + Identificador(a.sAliasSql);
        if (bOrden)
            Orden.push_back({Identificador(a.sAliasSql) + QStringLiteral(".rowid"), false, false});
        return s;
    }
    case TFuenteFrom::TClase::Derivada: {
        const TFuenteAnalizada& a = *f.pAnalizada;
        if (DebeMaterializar(*f.Consulta)) {
            const QString nombre = Materializa(*f.Consulta, bOrden);
            if (bOrden)
                Orden.push_back({Identificador(a.sAliasSql) + QStringLiteral(".rowid"), false, false});
            return Identificador(nombre) + QStringLiteral(" AS ") + Identificador(a.sAliasSql);
        }
        const TEmision em = EmiteConsulta(*f.Consulta, bOrden);
        for (const auto& t : em.Orden)
            Orden.push_back({Identificador(a.sAliasSql) + QLatin1Char('.') + t.sExpr, t.bDesc, t.bTexto});
        return QLatin1Char('(') + em.sSql + QStringLiteral(") AS ") + Identificador(a.sAliasSql);
    }
    case TFuenteFrom::TClase::Join: {
        const QString izq = EmiteFuente(*f.Izquierda, bOrden, Orden);
        const QString der = EmiteFuente(*f.Derecha, bOrden, Orden);
        const char* tipo = f.Join == TClaseJoin::Interna     ? " INNER JOIN "
                           : f.Join == TClaseJoin::Izquierda ? " LEFT JOIN "
                                                             : " RIGHT JOIN ";
        QString s = izq + QLatin1String(tipo) + der + QStringLiteral(" ON ") + Condicion(*f.On);
        if (f.bParentesis)
            s = QLatin1Char('(') + s + QLatin1Char(')');
        return s;
    }
    }
    return QString();
}

bool TEmisorSQLite::EsSemirreunion(const TNucleoSelect& n, const std::vector<TOrden>* pOrden,
                                   TSemirreunionJet& s) const
{
    // The probe looks keys up in a kept table of its own (TablaClaves). The join is written as a
    // semi-join only where it would run in place (a join kept apart is already computed once).
    if (!F_bSemirreuniones || !F_bMaterializa || !BuscaSemirreunion(n, pOrden, s) ||
        DebeMaterializar(*s.pDerivada->Consulta))
        return false;
    for (int k : s.Claves)
        if (!ColumnaDeclarada(*s.pSondeada->pAnalizada, k))
            return false;
    return true;
}

bool TEmisorSQLite::ColumnaDeclarada(const TFuenteAnalizada& f, int nColumna) const
{
    // Whether SQLite reads the column as one of a table whose declared type is that of its Jet
    // type: a loaded table, a kept derived table, or a derived table that passes such a column
    // on unchanged. A copy of its values into a column declared the same way then compares
    // exactly as the column does (the same affinity, the same collation).
    if (f.bTabla || !f.pDerivada || DebeMaterializar(*f.pDerivada))
        return true;
    const TConsultaJet& q = *f.pDerivada;
    if (q.Nucleos.size() != 1 || q.Nucleos[0]->bAgregado)
        return false;
    const TColumnaSalida& c = q.Nucleos[0]->Salida[size_t(nColumna)];
    if (c.Tipo != q.Columnas[size_t(nColumna)].Tipo)
        return false;
    if (!c.pExpr)
        return ColumnaDeclarada(*c.pFuente, c.nColumna);
    const TExpr& e = *c.pExpr;
    return e.Clase == TClaseExpr::Columna && !e.pAlias && e.nSalto == 0 &&
           ColumnaDeclarada(*e.pFuente, e.nColumna);
}

QString TEmisorSQLite::EmiteSemirreunion(const TSemirreunionJet& s)
{
    const TConsultaJet& q = *s.pDerivada->Consulta;
    const TEmision em = EmiteNucleo(*q.Nucleos[0], nullptr, false, q.Columnas, &s);
    return QLatin1Char('(') + em.sSql + QStringLiteral(") AS ") +
           Identificador(s.pDerivada->pAnalizada->sAliasSql);
}

QString TEmisorSQLite::CuerpoSemirreunion(const TSemirreunionJet& s)
{
    // The sources in the join's order, as the join would write them (their temporary tables are
    // listed in that order).
    std::vector<TTermino> sinOrden;
    QString leida, claves;
    if (s.bLeidaPrimero) {
        leida = EmiteFuente(*s.pLeida, false, sinOrden);
        claves = TablaClaves(s);
    } else {
        claves = TablaClaves(s);
        leida = EmiteFuente(*s.pLeida, false, sinOrden);
    }
    QStringList condiciones, igualdades;
    for (const TExpr* c : s.CondicionesLeida)
        condiciones << Condicion(*c);
    for (const TExpr* c : s.Igualdades)
        igualdades << Condicion(*c);
    // The table of keys takes the probed source's name, so that the equalities read as they do
    // in the join.
    condiciones << QStringLiteral("EXISTS (SELECT 1 FROM %1 AS %2 WHERE %3)")
                       .arg(Identificador(claves), Identificador(s.pSondeada->pAnalizada->sAliasSql),
                            Agrupa(igualdades, QStringLiteral("AND")));
    return QStringLiteral(" FROM %1 WHERE %2").arg(leida, Agrupa(condiciones, QStringLiteral("AND")));
}

QString TEmisorSQLite::TablaClaves(const TSemirreunionJet& s)
{
    // The key columns of the rows of the probed source that meet its own conditions, with an
    // index on them, kept like a derived table: statements that probe the same keys share it.
    const TFuenteAnalizada& a = *s.pSondeada->pAnalizada;
    std::vector<int> columnas;
    for (int k : s.Claves)
        if (std::find(columnas.begin(), columnas.end(), k) == columnas.end())
            columnas.push_back(k);
    QString clave = QStringLiteral("k:") + s.pSondeada->Texto();
    std::vector<TColumnaSalida> definicion;
    QStringList indice, select;
    for (int k : columnas) {
        const TColumnaFuente& c = a.Columnas[size_t(k)];
        clave += QLatin1Char('\n') + c.sSql;
        TColumnaSalida d;
        d.sNombre = c.sNombre;
        d.Tipo = c.Tipo;
        d.sSql = c.sSql;
        definicion.push_back(d);
        indice << c.sSql;
        select << Referencia(a, k) + QStringLiteral(" AS ") + Identificador(c.sSql);
    }
    for (const TExpr* c : s.CondicionesSondeada)
        clave += QLatin1Char('\n') + c->Texto();
    const QString nombre = NombreMaterializacion(clave);
    if (YaMaterializada(nombre, definicion, indice))
        return nombre;
    std::vector<TTermino> sinOrden;
    QString sql = QStringLiteral("SELECT DISTINCT %1 FROM %2")
                      .arg(select.join(QStringLiteral(", ")), EmiteFuente(*s.pSondeada, false, sinOrden));
    QStringList condiciones;
    for (const TExpr* c : s.CondicionesSondeada)
        condiciones << Condicion(*c);
    if (!condiciones.isEmpty())
        sql += QStringLiteral(" WHERE ") + Agrupa(condiciones, QStringLiteral("AND"));
    F_Materializaciones.push_back({nombre, sql, definicion, indice});
    return nombre;
}

TEmisorSQLite::TEmision TEmisorSQLite::EmiteNucleo(const TNucleoSelect& n, const std::vector<TOrden>* pOrden,
                                                   bool bOrden, const std::vector<TColumnaSalida>& Destino,
                                                   const TSemirreunionJet* pSemi)
{
    TContexto ctx;
    ctx.pNucleo = &n;
    if (n.bAgregado)
        for (const auto& g : n.GroupBy)
            ctx.Grupo << TSemanticaJet::Firma(*g);
    F_Contextos.push_back(ctx);
    struct TSaca
    {
        std::vector<TContexto>& c;
        ~TSaca() { c.pop_back(); }
    } saca{F_Contextos};

    const bool hayOrden = pOrden && !pOrden->empty();
    const bool distinct = n.Predicado == TPredicado::Distinct;
    const bool porFuentes = !hayOrden && !distinct && !n.bAgregado;
    const bool necesitaFuentes = porFuentes && (bOrden || n.bTop);

    // FROM, WHERE and GROUP BY see the rows before grouping.
    const QStringList grupo = F_Contextos.back().Grupo;
    F_Contextos.back().Grupo.clear();
    std::vector<TTermino> ordenFuentes;
    QString cuerpo;
    if (pSemi) {
        cuerpo = CuerpoSemirreunion(*pSemi);
    } else {
        TSemirreunionJet semi;
        const bool semirreunion = EsSemirreunion(n, pOrden, semi);
        QStringList froms;
        for (const auto& f : n.From)
            froms << (semirreunion ? EmiteSemirreunion(semi)
                                   : EmiteFuente(*f, necesitaFuentes, ordenFuentes));
        if (!froms.isEmpty())
            cuerpo += QStringLiteral(" FROM ") + froms.join(QStringLiteral(", "));
        if (n.Where)
            cuerpo += QStringLiteral(" WHERE ") + Condicion(*n.Where);
    }
    if (!n.GroupBy.empty()) {
        // The sort behind GROUP BY settles most comparisons on its first keys: columns of many
        // values first (numbers before text, which needs the collation), flags and constants last.
        // The visible order never depends on it (ORDER BY terms are explicit).
        QStringList claves[6];
        for (const auto& e : n.GroupBy) {
            const bool texto = EsTextoJet(TipoValor(*e));
            const int k = 2 * RangoClave(*e) + (texto ? 1 : 0);
            claves[k] << SinOrdinal(Valor(*e)) + (texto ? QStringLiteral(" COLLATE JET") : QString());
        }
        QStringList todas;
        for (const auto& c : claves)
            todas << c;
        cuerpo += QStringLiteral(" GROUP BY ") + todas.join(QStringLiteral(", "));
    }
    F_Contextos.back().Grupo = grupo;

    // Result columns. SQLite takes HAVING only in a query whose columns aggregate: without
    // GROUP BY and aggregates, the first column (a constant) is taken from the one group.
    bool sinAgregado = n.Having && n.GroupBy.empty();
    for (const auto& el : n.Elementos)
        sinAgregado = sinAgregado && !(el.Expr && el.Expr->bTieneAgregado);
    QStringList cols;
    for (size_t i = 0; i < n.Salida.size(); ++i) {
        if (pSemi && !pSemi->ColumnasLeidas[i])
            continue;
        const TColumnaSalida& s = n.Salida[i];
        const TTipoJet destino = Destino[i].Tipo;
        QString v;
        bool referencia = false;
        if (s.pExpr) {
            v = ValorComo(*s.pExpr, destino);
            referencia = s.pExpr->Clase == TClaseExpr::Columna && !s.pExpr->pAlias && s.Tipo == destino &&
                         !v.startsWith(QLatin1String("jet_first("));
        } else {
            v = Convierte(Referencia(*s.pFuente, s.nColumna), s.Tipo, destino);
            referencia = s.Tipo == destino;
        }
        if (sinAgregado && i == 0) {
            v = QStringLiteral("jet_first(%1)").arg(v);
            referencia = false;
        }
        if (EsTextoJet(destino) && !referencia)
            v += QStringLiteral(" COLLATE JET");
        cols << v + QStringLiteral(" AS ") + Identificador(Destino[i].sSql);
    }
    if (n.Having)
        cuerpo += QStringLiteral(" HAVING ") + Condicion(*n.Having);

    // The order of this SELECT's rows, as terms over its own scope; nSalida >= 0 names a result column.
    struct TTerminoNucleo
    {
        TTermino t;
        int nSalida = -1;
    };
    std::vector<TTerminoNucleo> terminos;
    if (hayOrden) {
        for (const auto& o : *pOrden) {
            TTerminoNucleo t;
            t.t.bDesc = o.bDesc;
            if (o.nSalida >= 0) {
                t.nSalida = o.nSalida;
                t.t.bTexto = EsTextoJet(Destino[o.nSalida].Tipo);
            } else {
                t.t.sExpr = Valor(*o.Expr);
                t.t.bTexto = EsTextoJet(TipoValor(*o.Expr));
            }
            terminos.push_back(t);
        }
    } else if (distinct) {
        for (size_t i = 0; i < Destino.size(); ++i) {
            TTerminoNucleo t;
            t.nSalida = int(i);
            t.t.bTexto = EsTextoJet(Destino[i].Tipo);
            terminos.push_back(t);
        }
    } else if (n.bAgregado) {
        for (const auto& g : n.GroupBy) {
            TTerminoNucleo t;
            t.t.sExpr = Valor(*g);
            t.t.bTexto = EsTextoJet(TipoValor(*g));
            terminos.push_back(t);
        }
    } else if (necesitaFuentes) {
        for (const auto& o : ordenFuentes)
            terminos.push_back({o, -1});
    }
    auto expresion = [&](const TTerminoNucleo& t) {
        // A result column is named by its expression, as the ORDER BY of a plain SELECT sees it.
        if (t.nSalida >= 0) {
            const TColumnaSalida& s = n.Salida[t.nSalida];
            return s.pExpr ? ValorComo(*s.pExpr, Destino[t.nSalida].Tipo)
                           : Convierte(Referencia(*s.pFuente, s.nColumna), s.Tipo, Destino[t.nSalida].Tipo);
        }
        return t.t.sExpr;
    };

    const QString sDistinct = distinct ? QStringLiteral("DISTINCT ") : QString();
    TEmision r;
    if (n.bTop && (hayOrden || n.bPorCiento)) {
        // TOP n with ORDER BY returns the first n rows and every row tied with the last of them.
        QStringList claves, ventana;
        QStringList internas = cols;
        for (size_t k = 0; k < terminos.size(); ++k) {
            const QString nombre = QStringLiteral("_k%1").arg(k + 1);
            TTermino t = terminos[k].t;
            if (distinct) {
                t.sExpr = Identificador(Destino[terminos[k].nSalida].sSql);
            } else {
                t.sExpr = expresion(terminos[k]);
                internas << t.sExpr + (t.bTexto ? QStringLiteral(" COLLATE JET") : QString()) +
                                QStringLiteral(" AS ") + Identificador(nombre);
                t.sExpr = Identificador(nombre);
            }
            claves << t.sExpr;
            TTermino w = terminos[k].t;
            w.sExpr = distinct ? Identificador(Destino[terminos[k].nSalida].sSql) : expresion(terminos[k]);
            ventana << TerminoSql(w);
        }
        const QString funcion = hayOrden ? QStringLiteral("RANK()") : QStringLiteral("ROW_NUMBER()");
        const QString sobre =
            ventana.isEmpty() ? QStringLiteral("OVER ()")
                              : QStringLiteral("OVER (ORDER BY %1)").arg(ventana.join(QStringLiteral(", ")));
        QString interna;
        if (distinct) {
            interna =
                QStringLiteral(
                    "SELECT *, %1 %2 AS \"_rk\", COUNT(*) OVER () AS \"_n\" FROM (SELECT DISTINCT %3%4)")
                    .arg(funcion, sobre, cols.join(QStringLiteral(", ")), cuerpo);
        } else {
            internas << funcion + QLatin1Char(' ') + sobre + QStringLiteral(" AS \"_rk\"")
                     << QStringLiteral("COUNT(*) OVER () AS \"_n\"");
            interna = QStringLiteral("SELECT ") + internas.join(QStringLiteral(", ")) + cuerpo;
        }
        const QString limite = n.bPorCiento ? QStringLiteral("(\"_n\" * %1 + 99) / 100").arg(qint64(n.dTop))
                                            : QString::number(qint64(n.dTop));
        QStringList externas;
        for (const auto& c : Destino)
            externas << Identificador(c.sSql);
        if (bOrden)
            for (qsizetype k = 0; k < claves.size(); ++k) {
                externas << claves[k] + QStringLiteral(" AS ") +
                                Identificador(QStringLiteral("_o%1").arg(k + 1));
                r.Orden.push_back({QStringLiteral("_o%1").arg(k + 1), terminos[size_t(k)].t.bDesc,
                                   terminos[size_t(k)].t.bTexto});
            }
        r.sSql = QStringLiteral("SELECT %1 FROM (%2) WHERE \"_rk\" <= %3")
                     .arg(externas.join(QStringLiteral(", ")), interna, limite);
    } else {
        QStringList select = cols;
        if (bOrden) {
            int oculta = 0;
            for (const auto& t : terminos) {
                if (t.nSalida >= 0) {
                    r.Orden.push_back({Destino[t.nSalida].sSql, t.t.bDesc, t.t.bTexto});
                    continue;
                }
                const QString nombre = QStringLiteral("_o%1").arg(++oculta);
                select << t.t.sExpr + QStringLiteral(" AS ") + Identificador(nombre);
                r.Orden.push_back({nombre, t.t.bDesc, t.t.bTexto});
            }
        }
        r.sSql = QStringLiteral("SELECT ") + sDistinct + select.join(QStringLiteral(", ")) + cuerpo;
        if (n.bTop) {
            // TOP without ORDER BY: the first n rows in the order of the sources.
            QStringList orden;
            for (const auto& t : terminos)
                orden << TerminoSql({expresion(t), t.t.bDesc, t.t.bTexto});
            if (!orden.isEmpty())
                r.sSql += QStringLiteral(" ORDER BY ") + orden.join(QStringLiteral(", "));
            r.sSql += QStringLiteral(" LIMIT ") + QString::number(qint64(n.dTop));
            // The caller orders by the hidden columns: the limited rows become a subquery.
            if (bOrden)
                r.sSql = QStringLiteral("SELECT * FROM (") + r.sSql + QLatin1Char(')');
        }
    }
    for (auto& t : r.Orden)
        t.sExpr = Identificador(t.sExpr);
    return r;
}

// ---------------------------------------------------------------- expressions

int TEmisorSQLite::RangoClave(const TExpr& e)
{
    // 0: a column of many values; 1: some other expression; 2: a flag or a constant.
    if (e.bCondicion || e.Clase == TClaseExpr::Literal)
        return 2;
    if (e.bEsAgregado)
        return 0;
    if (e.Clase == TClaseExpr::Columna) {
        if (e.pAlias)
            return RangoClave(*e.pAlias);
        const TFuenteAnalizada& f = *e.pFuente;
        if (f.bTabla || !f.pDerivada)
            return f.Columnas[e.nColumna].Tipo == TTipoJet::Booleano ? 2 : 0;
        // A column of a derived table ranks as what its first SELECT puts there.
        const TColumnaSalida& s = f.pDerivada->Nucleos[0]->Salida[e.nColumna];
        if (s.pExpr)
            return RangoClave(*s.pExpr);
        if (s.pFuente && s.pFuente->bTabla)
            return s.pFuente->Columnas[s.nColumna].Tipo == TTipoJet::Booleano ? 2 : 0;
        return 1;
    }
    if (e.Clase == TClaseExpr::Funcion && e.pFuncion->Funcion == TFuncionJet::IIf)
        return std::max(RangoClave(*e.Hijos[1]), RangoClave(*e.Hijos[2])) == 2 &&
                       std::min(RangoClave(*e.Hijos[1]), RangoClave(*e.Hijos[2])) == 2
                   ? 2
                   : 1;
    return 1;
}

QString TEmisorSQLite::Convierte(const QString& s, TTipoJet De, TTipoJet A)
{
    if (De == A || De == TTipoJet::Nulo)
        return s;
    if (EsTextoJet(A)) {
        if (EsTextoJet(De))
            return s;
        return QStringLiteral("jet_cstr(%1, %2)").arg(s, claveTipo(De));
    }
    switch (A) {
    case TTipoJet::Moneda:
        if (EsEnteroJet(De))
            return QStringLiteral("(%1 * 10000)").arg(s);
        return QStringLiteral("jet_ccur(%1, %2)").arg(s, claveTipo(De));
    case TTipoJet::Doble:
    case TTipoJet::Simple:
    case TTipoJet::Decimal:
    case TTipoJet::Fecha:
        if (De == TTipoJet::Moneda)
            return QStringLiteral("(%1 / 10000.0)").arg(s);
        if (EsTextoJet(De))
            return QStringLiteral("jet_num(%1)").arg(s);
        return s;
    case TTipoJet::Booleano:
    case TTipoJet::Byte:
    case TTipoJet::Entero:
    case TTipoJet::Largo:
        if (De == TTipoJet::Moneda || EsFlotante(De) || De == TTipoJet::Fecha)
            return QStringLiteral("jet_clng(%1, %2)").arg(s, claveTipo(De));
        if (EsTextoJet(De))
            return QStringLiteral("jet_clng(%1, 't')").arg(s);
        return s;
    case TTipoJet::Variante:
        if (De == TTipoJet::Moneda)
            return QStringLiteral("(%1 / 10000.0)").arg(s);
        return s;
    default:
        return s;
    }
}

QString TEmisorSQLite::ValorComo(const TExpr& e, TTipoJet Tipo)
{
    return Convierte(Valor(e), TipoValor(e), Tipo);
}

QString TEmisorSQLite::Valor(const TExpr& e)
{
    if (e.bCondicion)
        return QStringLiteral("(-(%1))").arg(Condicion(e));
    // In a grouped SELECT a text group key takes the spelling of the group's first row.
    if (!F_Contextos.empty() && !F_Contextos.back().Grupo.isEmpty() && EsTextoJet(e.Tipo) && !e.bEsAgregado &&
        F_Contextos.back().Grupo.contains(TSemanticaJet::Firma(e))) {
        const QStringList grupo = F_Contextos.back().Grupo;
        F_Contextos.back().Grupo.clear();
        const QString v = Valor(e);
        F_Contextos.back().Grupo = grupo;
        return QStringLiteral("jet_first(%1)").arg(v);
    }
    switch (e.Clase) {
    case TClaseExpr::Literal:
        switch (e.Literal) {
        case TClaseLiteral::Nulo:
            return QStringLiteral("NULL");
        case TClaseLiteral::Verdadero:
            return QStringLiteral("-1");
        case TClaseLiteral::Falso:
            return QStringLiteral("0");
        case TClaseLiteral::Numero:
            return e.bEntero ? QString::number(e.nValor) : numeroReal(e.dValor);
        case TClaseLiteral::Cadena:
            return Cadena(e.sValor);
        case TClaseLiteral::Fecha:
            return numeroReal(e.dValor);
        }
        break;
    case TClaseExpr::Columna:
        if (e.pAlias) {
            const QString v = QLatin1Char('(') + Valor(*e.pAlias) + QLatin1Char(')');
            Limita(v);
            return v;
        }
        return Referencia(*e.pFuente, e.nColumna);
    case TClaseExpr::Unario: {
        const TExpr& h = *e.Hijos[0];
        if (e.Op == TOperadorJet::No)
            return QStringLiteral("(~%1)").arg(ValorComo(h, TTipoJet::Largo));
        const TTipoJet t = TipoValor(h);
        const QString v = EsTextoJet(t) ? ValorComo(h, TTipoJet::Doble) : Valor(h);
        // "--" starts a comment in SQLite: a negative operand (-(-1), -#1/1/100#) needs a blank.
        return QStringLiteral("(-%1%2)").arg(v.startsWith(QLatin1Char('-')) ? QStringLiteral(" ") : QString(),
                                             v);
    }
    case TClaseExpr::Binario: {
        const TOperadorJet op = e.Op;
        if (EsLogico(op)) {
            // Not a condition: every partial result is a Yes/No or Long value (bitwise logic).
            QStringList terminos;
            for (const auto& h : e.Hijos)
                terminos << ValorComo(*h, TTipoJet::Largo);
            if (op == TOperadorJet::OExclusivo)
                return Variadica(QStringLiteral("jet_xor"), terminos);
            return Agrupa(terminos, op == TOperadorJet::Y ? QStringLiteral("&") : QStringLiteral("|"));
        }
        if (op == TOperadorJet::Concatena) {
            QStringList terminos;
            for (const auto& h : e.Hijos)
                terminos << ValorComo(*h, TTipoJet::Texto);
            return Variadica(QStringLiteral("jet_concat"), terminos);
        }
        return Aritmetica(e);
    }
    case TClaseExpr::Funcion:
        return Funcion(e);
    case TClaseExpr::Subconsulta:
        return Subconsulta(*e.Consulta);
    default:
        break;
    }
    return QStringLiteral("NULL");
}

QString TEmisorSQLite::Aritmetica(const TExpr& e)
{
    // The chain's steps one after the other; a step written "(x op y)" whose x is the previous
    // step's text unchanged continues it without new parentheses ("(a + b - c)"), which SQLite
    // reads from left to right just as the nested pairs.
    QString acumulado = Valor(*e.Hijos[0]);
    TTipoJet tipo = TipoValor(*e.Hijos[0]);
    QString abierto;      // the operator of an unclosed "(a op b op c" in acumulado, else empty
    QStringList sumandos; // the open chain's operands, each with its sign, while it only adds
    bool exacta = false;  // and adds integers (Long or currency in ten-thousandths)
    auto entero = [](TTipoJet t) { return EsEnteroJet(t) || t == TTipoJet::Moneda; };
    auto signo = [](const QString& op, const QString& x) {
        return op == QLatin1String("-") ? QStringLiteral("(- %1)").arg(x) : x;
    };
    // The left operand of a step is written as a mark first: a step that continues the open
    // chain needs only its right operand, and the text so far is not copied at every step.
    static const QString marca = QStringLiteral("\x01izquierda\x01");
    auto pon = [&](QString s) {
        const qsizetype k = s.indexOf(marca); // the left operand comes first in every form
        if (k >= 0)
            s.replace(k, marca.size(), abierto.isEmpty() ? acumulado : acumulado + QLatin1Char(')'));
        return s;
    };
    for (size_t i = 1; i < e.Hijos.size(); ++i) {
        const TOperadorJet op = e.OpPaso(i);
        const TTipoJet r = i - 1 < e.Parciales.size() ? e.Parciales[i - 1] : e.Tipo;
        const TPaso p = Paso(op, marca, tipo, *e.Hijos[i], r);
        const bool suma = p.sOp == QLatin1String("+") || p.sOp == QLatin1String("-");
        if (p.bInfijo && p.bIzquierdaIntacta && !abierto.isEmpty() && MismaPrecedencia(abierto, p.sOp)) {
            acumulado += QLatin1Char(' ') + p.sOp + QLatin1Char(' ') + p.sDerecha;
            exacta = exacta && suma && entero(r);
            if (exacta)
                sumandos << signo(p.sOp, p.sDerecha);
        } else if (p.bInfijo) {
            const QString izquierda = pon(p.sIzquierda);
            acumulado =
                QLatin1Char('(') + izquierda + QLatin1Char(' ') + p.sOp + QLatin1Char(' ') + p.sDerecha;
            abierto = p.sOp;
            exacta = suma && entero(r);
            sumandos = QStringList{izquierda, signo(p.sOp, p.sDerecha)};
        } else {
            acumulado = pon(p.sTodo);
            abierto.clear();
            exacta = false;
        }
        tipo = r;
        Limita(acumulado);
    }
    if (abierto.isEmpty())
        return acumulado;
    // A long sum of integers is exact in any grouping: in halves, SQLite's expression tree
    // stays shallow (its limit is 1000 levels); other chains keep their order.
    if (exacta && sumandos.size() > 64)
        return Agrupa(sumandos, QStringLiteral("+"));
    return acumulado + QLatin1Char(')');
}

bool TEmisorSQLite::MismaPrecedencia(const QString& a, const QString& b)
{
    auto grupo = [](const QString& op) {
        if (op == QLatin1String("+") || op == QLatin1String("-"))
            return 1;
        if (op == QLatin1String("*") || op == QLatin1String("/") || op == QLatin1String("%"))
            return 2;
        if (op == QLatin1String("||"))
            return 3;
        return 0;
    };
    return grupo(a) != 0 && grupo(a) == grupo(b);
}

TEmisorSQLite::TPaso TEmisorSQLite::Paso(TOperadorJet op, const QString& sA, TTipoJet ta, const TExpr& b,
                                         TTipoJet r)
{
    // One operator applied to a left operand already written (sA, of type ta) and an operand b.
    const TTipoJet tb = TipoValor(b);
    auto como = [&](TTipoJet t) { return Convierte(sA, ta, t); };
    auto infijo = [&](const QString& x, const QString& o, const QString& y) {
        TPaso p;
        p.bInfijo = true;
        p.bIzquierdaIntacta = x == sA;
        p.sIzquierda = x;
        p.sOp = o;
        p.sDerecha = y;
        p.sTodo = QStringLiteral("(%1 %2 %3)").arg(x, o, y);
        return p;
    };
    auto llamada = [](const QString& s) {
        TPaso p;
        p.sTodo = s;
        return p;
    };
    if (r == TTipoJet::Nulo)
        return llamada(QStringLiteral("NULL"));
    // SQLite writes + - * / as Jet does, and Mod as %.
    const QString sOp = op == TOperadorJet::Modulo ? QStringLiteral("%") : TextoOperador(op);
    if (op == TOperadorJet::Mas && EsTextoJet(r))
        return infijo(sA, QStringLiteral("||"), Valor(b));
    if (r == TTipoJet::Variante) {
        if (op == TOperadorJet::Mas)
            return llamada(QStringLiteral("jet_add(%1, %2)")
                               .arg(como(TTipoJet::Variante), ValorComo(b, TTipoJet::Variante)));
        if (op == TOperadorJet::Divide)
            return llamada(
                QStringLiteral("jet_div(%1, %2)").arg(como(TTipoJet::Doble), ValorComo(b, TTipoJet::Doble)));
        // SQLite has no \ and no ^ operator: the Jet functions check their operands.
        if (op == TOperadorJet::DivideEntero)
            return llamada(
                QStringLiteral("jet_idiv(%1, %2)").arg(como(TTipoJet::Doble), ValorComo(b, TTipoJet::Doble)));
        if (op == TOperadorJet::Potencia)
            return llamada(
                QStringLiteral("jet_pow(%1, %2)").arg(como(TTipoJet::Doble), ValorComo(b, TTipoJet::Doble)));
        return infijo(como(TTipoJet::Variante), sOp, ValorComo(b, TTipoJet::Variante));
    }
    if (op == TOperadorJet::DivideEntero)
        return llamada(
            QStringLiteral("jet_idiv(%1, %2)").arg(como(TTipoJet::Doble), ValorComo(b, TTipoJet::Doble)));
    if (op == TOperadorJet::Modulo)
        return llamada(
            QStringLiteral("jet_mod(%1, %2)").arg(como(TTipoJet::Doble), ValorComo(b, TTipoJet::Doble)));
    if (op == TOperadorJet::Potencia)
        return llamada(
            QStringLiteral("jet_pow(%1, %2)").arg(como(TTipoJet::Doble), ValorComo(b, TTipoJet::Doble)));
    if (r == TTipoJet::Moneda) {
        if (op == TOperadorJet::Por) {
            if (ta == TTipoJet::Moneda && tb == TTipoJet::Moneda)
                return llamada(QStringLiteral("jet_mulcur(%1, %2)").arg(sA, Valor(b)));
            // Currency times an integer: the scaled value times the integer.
            return infijo(sA, sOp, Valor(b));
        }
        if (op == TOperadorJet::Divide)
            return llamada(QStringLiteral("jet_divcur(%1, %2)").arg(sA, Valor(b)));
        return infijo(como(TTipoJet::Moneda), sOp, ValorComo(b, TTipoJet::Moneda));
    }
    const TTipoJet operando = EsEnteroJet(r) ? TTipoJet::Largo : TTipoJet::Doble;
    const QString x = como(operando == TTipoJet::Largo && EsEnteroJet(ta) ? ta : operando);
    const QString y = ValorComo(b, operando == TTipoJet::Largo && EsEnteroJet(tb) ? tb : operando);
    if (op == TOperadorJet::Divide)
        return llamada(QStringLiteral("jet_div(%1, %2)").arg(x, y));
    return infijo(x, sOp, y);
}

void TEmisorSQLite::Limita(const QString& sSql)
{
    // Alias references and repeated operands copy text: a statement whose translation grows
    // past this is beyond what the engine takes.
    if (sSql.size() > 4000000)
        throw TErrorJet::ConsultaCompleja();
}

QString TEmisorSQLite::Variadica(const QString& sFuncion, QStringList Terminos)
{
    // A Jet function of any number of operands, associative: at most 100 per call (below
    // SQLite's limit of arguments), calls of calls beyond that.
    while (Terminos.size() > 100) {
        QStringList grupos;
        for (qsizetype i = 0; i < Terminos.size(); i += 100)
            grupos << QStringLiteral("%1(%2)").arg(sFuncion, Terminos.mid(i, 100).join(QStringLiteral(", ")));
        Terminos = grupos;
    }
    const QString r = QStringLiteral("%1(%2)").arg(sFuncion, Terminos.join(QStringLiteral(", ")));
    Limita(r);
    return r;
}

QString TEmisorSQLite::Agrupa(const QStringList& Terminos, const QString& sOp)
{
    // An associative operator over many operands: two are "(a op b)", as always; more are
    // grouped in halves, so SQLite's expression tree stays as shallow as the log of their number.
    if (Terminos.size() == 1)
        return Terminos[0];
    if (Terminos.size() <= 16)
        return QLatin1Char('(') + Terminos.join(QLatin1Char(' ') + sOp + QLatin1Char(' ')) + QLatin1Char(')');
    const qsizetype mitad = Terminos.size() / 2;
    return QStringLiteral("(%1 %2 %3)")
        .arg(Agrupa(Terminos.mid(0, mitad), sOp), sOp, Agrupa(Terminos.mid(mitad), sOp));
}

QString TEmisorSQLite::Comparacion(const TExpr& a, const TExpr& b, const QString& sOp)
{
    const TTipoJet ta = TipoValor(a), tb = TipoValor(b);
    if (EsTextoJet(ta) || EsTextoJet(tb))
        return QStringLiteral("(%1 %2 %3 COLLATE JET)").arg(Valor(a), sOp, Valor(b));
    // Numbers: currency against integers in ten-thousandths, against anything else as Double.
    TTipoJet comun = TTipoJet::Variante;
    if (ta == TTipoJet::Moneda || tb == TTipoJet::Moneda) {
        const TTipoJet otro = ta == TTipoJet::Moneda ? tb : ta;
        comun = EsEnteroJet(otro) || otro == TTipoJet::Moneda ? TTipoJet::Moneda : TTipoJet::Doble;
        if (otro == TTipoJet::Variante || otro == TTipoJet::Nulo)
            comun = TTipoJet::Variante;
    }
    return QStringLiteral("(%1 %2 %3)")
        .arg(ValorComo(a, comun == TTipoJet::Variante ? ta : comun), sOp,
             ValorComo(b, comun == TTipoJet::Variante ? tb : comun));
}

QString TEmisorSQLite::Condicion(const TExpr& e)
{
    if (!e.bCondicion) {
        const TTipoJet t = TipoValor(e);
        if (t == TTipoJet::Nulo)
            return QStringLiteral("NULL");
        if (EsTextoJet(t) || t == TTipoJet::Variante)
            return QStringLiteral("jet_bool(%1)").arg(Valor(e));
        return QStringLiteral("(%1 <> 0)").arg(Valor(e));
    }
    switch (e.Clase) {
    case TClaseExpr::Columna:
        return Condicion(*e.pAlias);
    case TClaseExpr::Unario:
        return QStringLiteral("(NOT %1)").arg(Condicion(*e.Hijos[0]));
    case TClaseExpr::Binario: {
        if (EsLogico(e.Op))
            return CondicionLogica(e);
        if (EsComparacion(e.Op))
            return Comparacion(*e.Hijos[0], *e.Hijos[1], TextoOperador(e.Op));
        break;
    }
    case TClaseExpr::Funcion:
        // IsNull
        return QStringLiteral("(%1 IS NULL)").arg(Valor(*e.Hijos[0]));
    case TClaseExpr::Entre: {
        const TExpr& x = *e.Hijos[0];
        const QString no = e.bNegado ? QStringLiteral("NOT ") : QString();
        if (EsTextoJet(TipoValor(x)) || EsTextoJet(TipoValor(*e.Hijos[1])))
            return QStringLiteral("(%1 COLLATE JET %2BETWEEN %3 AND %4)")
                .arg(Valor(x), no, Valor(*e.Hijos[1]), Valor(*e.Hijos[2]));
        const TTipoJet t = TipoValor(x) == TTipoJet::Moneda ? TTipoJet::Moneda : TTipoJet::Variante;
        if (t == TTipoJet::Moneda)
            return QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
                .arg(Valor(x), no, ValorComo(*e.Hijos[1], TTipoJet::Moneda),
                     ValorComo(*e.Hijos[2], TTipoJet::Moneda));
        return QStringLiteral("(%1 %2BETWEEN %3 AND %4)")
            .arg(ValorComo(x, TTipoJet::Doble), no, ValorComo(*e.Hijos[1], TTipoJet::Doble),
                 ValorComo(*e.Hijos[2], TTipoJet::Doble));
    }
    case TClaseExpr::EnLista: {
        const TExpr& x = *e.Hijos[0];
        const TTipoJet tx = TipoValor(x);
        QStringList lista;
        for (size_t i = 1; i < e.Hijos.size(); ++i)
            lista << (EsTextoJet(tx) || tx == TTipoJet::Variante
                          ? Valor(*e.Hijos[i])
                          : ValorComo(*e.Hijos[i], tx == TTipoJet::Moneda ? tx : TTipoJet::Doble));
        QString vx = EsTextoJet(tx) ? Valor(x) + QStringLiteral(" COLLATE JET")
                     : tx == TTipoJet::Moneda || tx == TTipoJet::Variante ? Valor(x)
                                                                          : ValorComo(x, TTipoJet::Doble);
        return QStringLiteral("(%1 %2IN (%3))")
            .arg(vx, e.bNegado ? QStringLiteral("NOT ") : QString(), lista.join(QStringLiteral(", ")));
    }
    case TClaseExpr::EnConsulta: {
        const TExpr& x = *e.Hijos[0];
        const TTipoJet tx = TipoValor(x);
        const TColumnaSalida& c = e.Consulta->Columnas[0];
        const TEmision em = EmiteConsulta(*e.Consulta, false);
        QString sub;
        QString vx;
        if (EsTextoJet(tx) || EsTextoJet(c.Tipo)) {
            vx = Valor(x) + QStringLiteral(" COLLATE JET");
            sub = em.sSql;
        } else if ((tx == TTipoJet::Moneda) == (c.Tipo == TTipoJet::Moneda)) {
            vx = Valor(x);
            sub = em.sSql;
        } else {
            vx = ValorComo(x, TTipoJet::Doble);
            sub = QStringLiteral("SELECT %1 FROM (%2)")
                      .arg(Convierte(Identificador(c.sSql), c.Tipo, TTipoJet::Doble), em.sSql);
        }
        return QStringLiteral("(%1 %2IN (%3))").arg(vx, e.bNegado ? QStringLiteral("NOT ") : QString(), sub);
    }
    case TClaseExpr::Existe:
        return QStringLiteral("EXISTS (%1)").arg(EmiteConsulta(*e.Consulta, false).sSql);
    case TClaseExpr::EsNulo:
        return QStringLiteral("(%1 IS %2NULL)")
            .arg(Valor(*e.Hijos[0]), e.bNegado ? QStringLiteral("NOT ") : QString());
    case TClaseExpr::Como: {
        const QString c =
            QStringLiteral("jet_like(%1, %2)")
                .arg(ValorComo(*e.Hijos[0], TTipoJet::Texto), ValorComo(*e.Hijos[1], TTipoJet::Texto));
        return e.bNegado ? QStringLiteral("(NOT %1)").arg(c) : c;
    }
    default:
        break;
    }
    return QStringLiteral("NULL");
}

QString TEmisorSQLite::CondicionLogica(const TExpr& e)
{
    // The steps before nCondicionDesde yield Yes/No or Long values (bitwise logic, as Valor
    // writes them); from there on each partial result is a condition.
    const int desde = std::max(e.nCondicionDesde, 0);
    QString inicio;
    if (desde == 0) {
        inicio = Condicion(*e.Hijos[0]);
    } else {
        QStringList valores;
        for (int i = 0; i <= desde; ++i)
            valores << ValorComo(*e.Hijos[size_t(i)], TTipoJet::Largo);
        const QString op = e.Op == TOperadorJet::Y ? QStringLiteral("&") : QStringLiteral("|");
        const QString v = e.Op == TOperadorJet::OExclusivo ? Variadica(QStringLiteral("jet_xor"), valores)
                                                           : Agrupa(valores, op);
        // What Condicion writes for a partial result that is a Yes/No or Long value.
        inicio = QStringLiteral("(%1 <> 0)").arg(v);
    }
    if (e.Op == TOperadorJet::OExclusivo) {
        QString r = inicio;
        for (size_t i = size_t(desde) + 1; i < e.Hijos.size(); ++i)
            r = QStringLiteral("(%1 <> %2)").arg(r, Condicion(*e.Hijos[i]));
        Limita(r);
        return r;
    }
    // x = 'a' OR x = 'b' OR ... on one text column: an IN list (the same answer, NULLs
    // included, and one lookup instead of a condition per key).
    if (e.Op == TOperadorJet::O && desde == 0 && e.Hijos.size() > 2) {
        const QString lista = ListaIgualdades(e);
        if (!lista.isEmpty())
            return lista;
    }
    QStringList terminos{inicio};
    for (size_t i = size_t(desde) + 1; i < e.Hijos.size(); ++i)
        terminos << Condicion(*e.Hijos[i]);
    const QString r = Agrupa(terminos, TextoOperador(e.Op));
    Limita(r);
    return r;
}

QString TEmisorSQLite::ListaIgualdades(const TExpr& e)
{
    QString firma;
    const TExpr* columna = nullptr;
    QStringList valores;
    for (const auto& h : e.Hijos) {
        if (h->Clase != TClaseExpr::Binario || h->Op != TOperadorJet::Igual || h->Hijos.size() != 2)
            return QString();
        const TExpr& x = *h->Hijos[0];
        const TExpr& v = *h->Hijos[1];
        if (x.Clase != TClaseExpr::Columna || x.pAlias || !EsTextoJet(TipoValor(x)) ||
            v.Clase != TClaseExpr::Literal || v.Literal != TClaseLiteral::Cadena)
            return QString();
        const QString f = TSemanticaJet::Firma(x);
        if (!columna) {
            columna = &x;
            firma = f;
        } else if (f != firma)
            return QString();
        valores << Cadena(v.sValor);
    }
    return QStringLiteral("(%1 COLLATE JET IN (%2))")
        .arg(Valor(*columna), valores.join(QStringLiteral(", ")));
}

QString TEmisorSQLite::Subconsulta(const TConsultaJet& q)
{
    const TEmision em = EmiteConsulta(q, false);
    return QStringLiteral("(SELECT jet_single(%1) FROM (%2))")
        .arg(Identificador(q.Columnas[0].sSql), em.sSql);
}

QString TEmisorSQLite::Funcion(const TExpr& e)
{
    const auto& h = e.Hijos;
    auto texto = [&](int i) { return ValorComo(*h[i], TTipoJet::Texto); };
    auto numero = [&](int i) { return ValorComo(*h[i], TTipoJet::Doble); };
    auto entero = [&](int i) { return ValorComo(*h[i], TTipoJet::Largo); };
    auto tipo = [&](int i) { return TipoValor(*h[i]); };
    // jet_xxx(value, type key of the value)
    auto conClave = [&](const char* sFuncion) {
        return QStringLiteral("%1(%2, %3)").arg(QLatin1String(sFuncion), Valor(*h[0]), claveTipo(tipo(0)));
    };
    // jet_xxx(value as the result's type, type key of the result)
    auto comoResultado = [&](const char* sFuncion) {
        return QStringLiteral("%1(%2, %3)")
            .arg(QLatin1String(sFuncion), ValorComo(*h[0], e.Tipo), claveTipo(e.Tipo));
    };

    // An aggregate's argument is written row by row: the group keys keep their own spelling there.
    struct TSinGrupo
    {
        std::vector<TContexto>& c;
        bool bActivo;
        QStringList g;
        TSinGrupo(std::vector<TContexto>& c, bool bActivo) : c(c), bActivo(bActivo && !c.empty())
        {
            if (this->bActivo)
                std::swap(g, c.back().Grupo);
        }
        ~TSinGrupo()
        {
            if (bActivo)
                std::swap(g, c.back().Grupo);
        }
    } sinGrupo(F_Contextos, e.bEsAgregado);
    switch (e.pFuncion->Funcion) {
    case TFuncionJet::Count:
        if (e.bEstrella || (h[0]->Clase == TClaseExpr::Literal && h[0]->Literal != TClaseLiteral::Nulo))
            return QStringLiteral("count(*)");
        return QStringLiteral("count(%1)").arg(Valor(*h[0]));
    case TFuncionJet::Sum:
        return QStringLiteral("sum(%1)").arg(ValorComo(*h[0], e.Tipo == TTipoJet::Largo ? tipo(0) : e.Tipo));
    case TFuncionJet::Avg:
        if (e.Tipo == TTipoJet::Moneda)
            return QStringLiteral("jet_ccur(avg(%1) / 10000.0, 'd')").arg(Valor(*h[0]));
        return QStringLiteral("avg(%1)").arg(numero(0));
    case TFuncionJet::Min:
        return QStringLiteral("min(%1%2)")
            .arg(ValorComo(*h[0], e.Tipo), EsTextoJet(e.Tipo) ? QStringLiteral(" COLLATE JET") : QString());
    case TFuncionJet::Max:
        return QStringLiteral("max(%1%2)")
            .arg(ValorComo(*h[0], e.Tipo), EsTextoJet(e.Tipo) ? QStringLiteral(" COLLATE JET") : QString());
    case TFuncionJet::First:
        return QStringLiteral("jet_first(%1)").arg(ValorComo(*h[0], e.Tipo));
    case TFuncionJet::Last:
        return QStringLiteral("jet_last(%1)").arg(ValorComo(*h[0], e.Tipo));
    case TFuncionJet::IIf:
        return QStringLiteral("(CASE WHEN %1 THEN %2 ELSE %3 END)")
            .arg(Condicion(*h[0]), ValorComo(*h[1], e.Tipo), ValorComo(*h[2], e.Tipo));
    case TFuncionJet::IsNull:
        // A condition: Valor writes it as -1 / 0.
        return QStringLiteral("(-(%1))").arg(Condicion(e));
    case TFuncionJet::Nz:
        if (h.size() == 2)
            return QStringLiteral("coalesce(%1, %2)").arg(ValorComo(*h[0], e.Tipo), ValorComo(*h[1], e.Tipo));
        return QStringLiteral("coalesce(%1, %2)")
            .arg(Valor(*h[0]), EsTextoJet(e.Tipo) || e.Tipo == TTipoJet::Variante ? QStringLiteral("''")
                                                                                  : QStringLiteral("0"));
    case TFuncionJet::UCase:
        return QStringLiteral("jet_ucase(%1)").arg(texto(0));
    case TFuncionJet::LCase:
        return QStringLiteral("jet_lcase(%1)").arg(texto(0));
    case TFuncionJet::Trim:
        return QStringLiteral("trim(%1, ' ')").arg(texto(0));
    case TFuncionJet::LTrim:
        return QStringLiteral("ltrim(%1, ' ')").arg(texto(0));
    case TFuncionJet::RTrim:
        return QStringLiteral("rtrim(%1, ' ')").arg(texto(0));
    case TFuncionJet::Len:
        return QStringLiteral("length(%1)").arg(texto(0));
    case TFuncionJet::Left:
        return QStringLiteral("jet_left(%1, %2)").arg(texto(0), entero(1));
    case TFuncionJet::Right:
        return QStringLiteral("jet_right(%1, %2)").arg(texto(0), entero(1));
    case TFuncionJet::Mid:
        return h.size() == 3 ? QStringLiteral("jet_mid(%1, %2, %3)").arg(texto(0), entero(1), entero(2))
                             : QStringLiteral("jet_mid(%1, %2)").arg(texto(0), entero(1));
    case TFuncionJet::Str:
        return conClave("jet_str");
    case TFuncionJet::CStr:
        return QStringLiteral("jet_cstr(%1, %2, 1)").arg(Valor(*h[0]), claveTipo(tipo(0)));
    case TFuncionJet::Val:
        return QStringLiteral("jet_val(%1)").arg(texto(0));
    case TFuncionJet::Round:
        return QStringLiteral("jet_round(%1, %2, %3)")
            .arg(ValorComo(*h[0], e.Tipo), h.size() > 1 ? entero(1) : QStringLiteral("0"), claveTipo(e.Tipo));
    case TFuncionJet::Int:
        return comoResultado("jet_int");
    case TFuncionJet::Fix:
        return comoResultado("jet_fix");
    case TFuncionJet::Abs:
        return QStringLiteral("abs(%1)").arg(ValorComo(*h[0], e.Tipo));
    case TFuncionJet::Sgn:
        return QStringLiteral("sign(%1)").arg(EsTextoJet(tipo(0)) ? numero(0) : Valor(*h[0]));
    case TFuncionJet::CCur:
        return conClave("jet_ccur");
    case TFuncionJet::CDbl:
        return conClave("jet_cdbl");
    case TFuncionJet::CSng:
        return conClave("jet_csng");
    case TFuncionJet::CLng:
    case TFuncionJet::CInt:
        return conClave("jet_clng");
    case TFuncionJet::CBool:
        return QStringLiteral("(-(%1 <> 0))").arg(numero(0));
    case TFuncionJet::InStr:
        return h.size() == 3 ? QStringLiteral("jet_instr(%1, %2, %3)").arg(entero(0), texto(1), texto(2))
                             : QStringLiteral("jet_instr(1, %1, %2)").arg(texto(0), texto(1));
    }
    Q_UNREACHABLE();
    return QString();
}
