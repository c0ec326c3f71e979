#include "db/jet/sql/SemanticaJet.h"

#include "db/jet/sql/ErrorJet.h"

#include <algorithm>

namespace {

bool mismoNombre(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The arithmetic operator as TipoAritmetico names it.
char claveAritmetica(TOperadorJet Op)
{
    switch (Op) {
    case TOperadorJet::Mas:
        return '+';
    case TOperadorJet::Menos:
        return '-';
    case TOperadorJet::Por:
        return '*';
    case TOperadorJet::Divide:
        return '/';
    case TOperadorJet::DivideEntero:
        return '\\';
    case TOperadorJet::Modulo:
        return '%';
    case TOperadorJet::Potencia:
        return '^';
    case TOperadorJet::O:
    case TOperadorJet::OExclusivo:
    case TOperadorJet::Y:
    case TOperadorJet::No:
    case TOperadorJet::Igual:
    case TOperadorJet::Distinto:
    case TOperadorJet::Menor:
    case TOperadorJet::Mayor:
    case TOperadorJet::MenorIgual:
    case TOperadorJet::MayorIgual:
    case TOperadorJet::Concatena:
        break;
    }
    Q_UNREACHABLE();
    return '+';
}

} // namespace

TSemanticaJet::TSemanticaJet(const QString& sTexto, ICatalogoJet& Catalogo)
    : F_sTexto(sTexto), F_Catalogo(Catalogo)
{
}

bool TSemanticaJet::EsFuncionAgregada(const QString& sNombre)
{
    const TFilaFuncionJet* f = BuscaFuncionJet(sNombre);
    return f && f->bAgregada;
}

QString TSemanticaJet::TextoDe(const TExpr& e) const
{
    return TextoDe(e.nPos, e.nFin);
}

QString TSemanticaJet::TextoDe(int nPos, int nFin) const
{
    return F_sTexto.mid(nPos, nFin - nPos).trimmed();
}

void TSemanticaJet::Analiza(TConsultaJet& Consulta)
{
    RevisaTablas(Consulta);
    AnalizaConsulta(Consulta, nullptr);
}

// ---------------------------------------------------------------- tables first

void TSemanticaJet::RevisaTablas(const TConsultaJet& q)
{
    std::vector<const TFuenteFrom*> pendientes;
    for (const auto& n : q.Nucleos) {
        for (const auto& f : n->From)
            pendientes.push_back(f.get());
        for (const auto& e : n->Elementos)
            RevisaTablasExpr(e.Expr.get());
        RevisaTablasExpr(n->Where.get());
        for (const auto& g : n->GroupBy)
            RevisaTablasExpr(g.get());
        RevisaTablasExpr(n->Having.get());
    }
    for (const auto& o : q.OrderBy)
        RevisaTablasExpr(o.Expr.get());
    while (!pendientes.empty()) {
        const TFuenteFrom* f = pendientes.back();
        pendientes.pop_back();
        switch (f->Clase) {
        case TFuenteFrom::TClase::Tabla: {
            bool conocida = false;
            for (const auto& e : F_Esquemas)
                if (mismoNombre(e.sNombre, f->sTabla))
                    conocida = true;
            if (!conocida) {
                TEsquemaTablaJet esquema;
                if (!F_Catalogo.BuscaTabla(f->sTabla, esquema))
                    throw TErrorJet::TablaNoEncontrada(f->sTabla, f->nPos);
                F_Tablas << esquema.sNombre;
                F_Esquemas.push_back(std::move(esquema));
            }
            break;
        }
        case TFuenteFrom::TClase::Derivada:
            RevisaTablas(*f->Consulta);
            break;
        case TFuenteFrom::TClase::Join:
            // Left operand first, as Jet reads the text
            pendientes.push_back(f->Derecha.get());
            pendientes.push_back(f->Izquierda.get());
            RevisaTablasExpr(f->On.get());
            break;
        }
    }
}

void TSemanticaJet::RevisaTablasExpr(const TExpr* e)
{
    if (!e)
        return;
    if (e->Consulta)
        RevisaTablas(*e->Consulta);
    for (const auto& h : e->Hijos)
        RevisaTablasExpr(h.get());
}

// ---------------------------------------------------------------- queries

void TSemanticaJet::AnalizaConsulta(TConsultaJet& q, TAmbito* pPadre)
{
    const bool unico = q.Nucleos.size() == 1;
    for (auto& n : q.Nucleos)
        AnalizaNucleo(*n, q, pPadre, unico);
    const auto& primera = q.Nucleos[0]->Salida;
    for (size_t i = 1; i < q.Nucleos.size(); ++i)
        if (q.Nucleos[i]->Salida.size() != primera.size())
            throw TErrorJet::ColumnasUnion(q.Nucleos[i]->nPos);
    q.Columnas = primera;
    for (size_t c = 0; c < q.Columnas.size(); ++c) {
        TTipoJet t = primera[c].Tipo;
        for (size_t i = 1; i < q.Nucleos.size(); ++i)
            t = TipoComun(t, q.Nucleos[i]->Salida[c].Tipo);
        q.Columnas[c].Tipo = t;
    }
    if (!unico) {
        // ORDER BY of a union names result columns of the first SELECT.
        for (auto& o : q.OrderBy) {
            const TExpr& e = *o.Expr;
            int encontrada = -1;
            if (e.Clase == TClaseExpr::Columna) {
                for (size_t c = 0; c < q.Columnas.size(); ++c)
                    if (mismoNombre(q.Columnas[c].sNombre, e.sNombre) ||
                        (!e.sTabla.isEmpty() &&
                         mismoNombre(q.Columnas[c].sNombre, e.sTabla + QLatin1Char('.') + e.sNombre)))
                        encontrada = int(c);
            }
            if (encontrada < 0)
                throw TErrorJet::OrdenUnion(TextoDe(e), e.nPos);
            o.nSalida = encontrada;
            o.Expr->Tipo = q.Columnas[encontrada].Tipo;
        }
    }
}

void TSemanticaJet::AgregaFuentes(TFuenteFrom& f, TNucleoSelect& n, TAmbito* pPadre)
{
    switch (f.Clase) {
    case TFuenteFrom::TClase::Join:
        AgregaFuentes(*f.Izquierda, n, pPadre);
        AgregaFuentes(*f.Derecha, n, pPadre);
        return;
    case TFuenteFrom::TClase::Tabla: {
        auto fa = std::make_unique<TFuenteAnalizada>();
        const TEsquemaTablaJet* esquema = nullptr;
        for (const auto& e : F_Esquemas)
            if (mismoNombre(e.sNombre, f.sTabla))
                esquema = &e;
        fa->bTabla = true;
        fa->sTabla = esquema->sNombre;
        fa->sAlias = f.sAlias.isEmpty() ? esquema->sNombre : f.sAlias;
        fa->sAliasSql = fa->sAlias;
        fa->pNodo = &f;
        for (const auto& c : esquema->Columnas)
            fa->Columnas.push_back({c.sNombre, c.Tipo, c.sNombre});
        f.pAnalizada = fa.get();
        n.Fuentes.push_back(std::move(fa));
        return;
    }
    case TFuenteFrom::TClase::Derivada: {
        AnalizaConsulta(*f.Consulta, pPadre);
        auto fa = std::make_unique<TFuenteAnalizada>();
        fa->bTabla = false;
        fa->pDerivada = f.Consulta.get();
        fa->sAlias = f.sAlias;
        // A derived table without alias is named by its place in the FROM clause, so that the same
        // text always gives the same SQLite text.
        fa->sAliasSql = f.sAlias.isEmpty() ? QStringLiteral("_d%1").arg(n.Fuentes.size() + 1) : f.sAlias;
        fa->pNodo = &f;
        for (const auto& c : f.Consulta->Columnas)
            fa->Columnas.push_back({c.sNombre, c.Tipo, c.sSql});
        f.pAnalizada = fa.get();
        n.Fuentes.push_back(std::move(fa));
        return;
    }
    }
}

void TSemanticaJet::AnalizaOn(TFuenteFrom& f, TAmbito& a)
{
    if (f.Clase != TFuenteFrom::TClase::Join)
        return;
    AnalizaOn(*f.Izquierda, a);
    AnalizaOn(*f.Derecha, a);
    AnalizaExpr(*f.On, a);
}

void TSemanticaJet::AnalizaNucleo(TNucleoSelect& n, TConsultaJet& q, TAmbito* pPadre, bool bUnico)
{
    n.Fuentes.clear();
    n.Salida.clear();
    for (auto& f : n.From)
        AgregaFuentes(*f, n, pPadre);
    for (size_t i = 0; i < n.Fuentes.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (!n.Fuentes[i]->sAlias.isEmpty() && mismoNombre(n.Fuentes[i]->sAlias, n.Fuentes[j]->sAlias))
                throw TErrorJet::TablaRepetida(n.Fuentes[i]->sAlias, n.Fuentes[i]->pNodo->nPos);

    TAmbito a;
    a.pNucleo = &n;
    a.pPadre = pPadre;
    a.pConsulta = &q;
    for (auto& f : n.From)
        AnalizaOn(*f, a);

    a.bAliasSelect = true;
    for (auto& el : n.Elementos) {
        if (el.bEstrella) {
            if (n.Fuentes.empty())
                throw TErrorJet::SintaxisSelect(el.nPos);
            if (!el.sTablaEstrella.isEmpty()) {
                bool existe = false;
                for (const auto& f : n.Fuentes)
                    if (mismoNombre(f->sAlias, el.sTablaEstrella))
                        existe = true;
                if (!existe)
                    throw TErrorJet::FaltanParametros(el.nPos);
            }
            continue;
        }
        if (std::find(F_Analizadas.begin(), F_Analizadas.end(), el.Expr.get()) == F_Analizadas.end()) {
            F_EnCurso.push_back(el.Expr.get());
            AnalizaExpr(*el.Expr, a);
            F_EnCurso.pop_back();
            F_Analizadas.push_back(el.Expr.get());
        }
    }
    a.bAliasSelect = false;

    if (n.Where) {
        AnalizaExpr(*n.Where, a);
        if (n.Where->bTieneAgregado)
            throw TErrorJet::AgregadoEnWhere(TextoDe(*n.Where), n.Where->nPos);
    }
    for (auto& g : n.GroupBy) {
        AnalizaExpr(*g, a);
        if (g->bTieneAgregado)
            throw TErrorJet::AgregadoEnExpresion(TextoDe(*g), g->nPos);
    }
    if (n.Having)
        AnalizaExpr(*n.Having, a);
    if (bUnico) {
        // ORDER BY of a single SELECT: source columns first, then the aliases of the SELECT list.
        a.bAliasSelect = true;
        for (auto& o : q.OrderBy)
            AnalizaExpr(*o.Expr, a);
        a.bAliasSelect = false;
    }

    // HAVING groups the rows even without GROUP BY or aggregates: all of them form one group.
    bool agregado = !n.GroupBy.empty() || n.Having;
    for (const auto& el : n.Elementos)
        if (el.Expr && el.Expr->bTieneAgregado)
            agregado = true;
    if (bUnico)
        for (const auto& o : q.OrderBy)
            if (o.Expr->bTieneAgregado)
                agregado = true;
    n.bAgregado = agregado;
    if (agregado) {
        QStringList grupo;
        for (const auto& g : n.GroupBy)
            grupo << Firma(*g);
        for (const auto& el : n.Elementos) {
            if (el.bEstrella)
                throw TErrorJet::AgrupaConEstrella(el.nPos);
            if (const TExpr* mala = NoAgrupada(*el.Expr, grupo))
                throw TErrorJet::NoEsAgregado(TextoDe(*mala), mala->nPos);
        }
        if (n.Having)
            if (const TExpr* mala = NoAgrupada(*n.Having, grupo))
                throw TErrorJet::NoEsAgregado(TextoDe(*mala), mala->nPos);
        if (bUnico)
            for (const auto& o : q.OrderBy)
                if (const TExpr* mala = NoAgrupada(*o.Expr, grupo))
                    throw TErrorJet::NoEsAgregado(TextoDe(*mala), mala->nPos);
    }

    // Result columns
    int nExpr = 1000;
    for (auto& el : n.Elementos) {
        if (el.bEstrella) {
            for (auto& f : n.Fuentes) {
                if (!el.sTablaEstrella.isEmpty() && !mismoNombre(f->sAlias, el.sTablaEstrella))
                    continue;
                for (size_t c = 0; c < f->Columnas.size(); ++c) {
                    TColumnaSalida s;
                    s.sNombre = f->Columnas[c].sNombre;
                    s.Tipo = f->Columnas[c].Tipo;
                    s.pFuente = f.get();
                    s.nColumna = int(c);
                    n.Salida.push_back(s);
                }
            }
            continue;
        }
        TColumnaSalida s;
        s.pExpr = el.Expr.get();
        s.Tipo = el.Expr->Tipo;
        if (!el.sAlias.isEmpty())
            s.sNombre = el.sAlias;
        else if (el.Expr->Clase == TClaseExpr::Columna && el.Expr->pFuente) {
            s.sNombre = el.Expr->pFuente->Columnas[el.Expr->nColumna].sNombre;
            s.pFuente = el.Expr->pFuente;
            s.nColumna = el.Expr->nColumna;
        } else if (el.Expr->Clase == TClaseExpr::Columna && el.Expr->pAlias)
            s.sNombre = el.Expr->sNombre;
        else
            s.sNombre = QStringLiteral("Expr%1").arg(nExpr++);
        n.Salida.push_back(s);
    }
    // Columns of two sources with the same name are told apart as alias.column.
    std::vector<QString> nombres;
    for (const auto& s : n.Salida)
        nombres.push_back(s.sNombre.toLower());
    for (size_t i = 0; i < n.Salida.size(); ++i) {
        auto& s = n.Salida[i];
        const bool repetido = std::count(nombres.begin(), nombres.end(), nombres[i]) > 1;
        const bool deFuente = s.pFuente && (!s.pExpr || s.pExpr->Clase == TClaseExpr::Columna);
        bool conAlias = false;
        if (s.pExpr)
            for (const auto& el : n.Elementos)
                if (el.Expr.get() == s.pExpr && !el.sAlias.isEmpty())
                    conAlias = true;
        if (repetido && deFuente && !conAlias && !s.pFuente->sAlias.isEmpty())
            s.sNombre = s.pFuente->sAlias + QLatin1Char('.') + s.sNombre;
    }
    // Names in the SQLite text: the Jet name when it is unique, else a made-up one.
    nombres.clear();
    for (const auto& s : n.Salida)
        nombres.push_back(s.sNombre.toLower());
    for (size_t i = 0; i < n.Salida.size(); ++i) {
        auto& s = n.Salida[i];
        const bool unicoNombre = std::count(nombres.begin(), nombres.end(), nombres[i]) == 1;
        s.sSql = unicoNombre && !s.sNombre.startsWith(QLatin1Char('_')) && !s.sNombre.isEmpty()
                     ? s.sNombre
                     : QStringLiteral("_c%1").arg(i + 1);
    }

    if (bUnico && n.Predicado == TPredicado::Distinct) {
        // With DISTINCT, ORDER BY may only use what is selected.
        for (auto& o : q.OrderBy) {
            const QString f = Firma(*o.Expr);
            bool seleccionada = false;
            for (size_t i = 0; i < n.Salida.size(); ++i) {
                const auto& s = n.Salida[i];
                if ((s.pExpr && Firma(*s.pExpr) == f) ||
                    (!s.pExpr && o.Expr->Clase == TClaseExpr::Columna && o.Expr->pFuente == s.pFuente &&
                     o.Expr->nColumna == s.nColumna)) {
                    seleccionada = true;
                    o.nSalida = int(i);
                    break;
                }
            }
            if (!seleccionada)
                throw TErrorJet::OrdenConDistinct(TextoDe(*o.Expr), o.Expr->nPos);
        }
    }
}

// ---------------------------------------------------------------- expressions

void TSemanticaJet::ExigeComparables(const TExpr& a, const TExpr& b, int nPos)
{
    auto numerico = [](TTipoJet t) { return EsNumerico(t) || t == TTipoJet::Fecha; };
    if ((EsTextoJet(a.Tipo) && numerico(b.Tipo)) || (numerico(a.Tipo) && EsTextoJet(b.Tipo)))
        throw TErrorJet::TiposNoCoinciden(nPos);
}

void TSemanticaJet::AnalizaExpr(TExpr& e, TAmbito& a)
{
    // The parser bounds the depth of each tree; aliases of the SELECT list that name other
    // aliases add theirs, so the recursion through them is bounded here.
    struct TProfundidad
    {
        int& n;
        ~TProfundidad() { --n; }
    } profundidad{++F_nProfundidad};
    if (F_nProfundidad > 2 * MaxProfundidadJet)
        throw TErrorJet::ExpresionCompleja(e.nPos);
    e.bCondicion = false;
    e.bTieneAgregado = false;
    auto hijos = [&]() {
        for (auto& h : e.Hijos) {
            AnalizaExpr(*h, a);
            if (h->bTieneAgregado)
                e.bTieneAgregado = true;
            // A child that names an alias may be deeper than the parser measured.
            e.nProfundidad = std::max(e.nProfundidad, h->nProfundidad + 1);
        }
        if (e.nProfundidad > MaxProfundidadJet)
            throw TErrorJet::ExpresionCompleja(e.nPos);
    };
    switch (e.Clase) {
    case TClaseExpr::Literal:
        switch (e.Literal) {
        case TClaseLiteral::Nulo:
            e.Tipo = TTipoJet::Nulo;
            break;
        case TClaseLiteral::Verdadero:
        case TClaseLiteral::Falso:
            e.Tipo = TTipoJet::Booleano;
            break;
        case TClaseLiteral::Numero:
            e.Tipo = e.bEntero ? TTipoJet::Largo : TTipoJet::Doble;
            break;
        case TClaseLiteral::Cadena:
            e.Tipo = TTipoJet::Texto;
            break;
        case TClaseLiteral::Fecha:
            e.Tipo = TTipoJet::Fecha;
            break;
        }
        return;
    case TClaseExpr::Columna:
        ResuelveColumna(e, a);
        return;
    case TClaseExpr::Unario: {
        hijos();
        const TExpr& h = *e.Hijos[0];
        if (e.Op == TOperadorJet::No) {
            if (h.bCondicion) {
                e.bCondicion = true;
                e.Tipo = TTipoJet::Largo;
            } else
                e.Tipo = h.Tipo == TTipoJet::Booleano || h.Tipo == TTipoJet::Nulo ? h.Tipo : TTipoJet::Largo;
        } else {
            if (EsTextoJet(h.Tipo))
                e.Tipo = TTipoJet::Doble;
            else if (h.Tipo == TTipoJet::Booleano || h.bCondicion)
                e.Tipo = TTipoJet::Largo;
            else
                e.Tipo = h.Tipo;
        }
        return;
    }
    case TClaseExpr::Binario: {
        hijos();
        // A chain applies its operators from left to right: each step takes the partial
        // result so far (its type and whether it is a condition) and the next operand.
        TTipoJet tx = e.Hijos[0]->Tipo;
        bool cx = e.Hijos[0]->bCondicion;
        e.Parciales.clear();
        e.nCondicionDesde = -1;
        for (size_t i = 1; i < e.Hijos.size(); ++i) {
            const TExpr& y = *e.Hijos[i];
            const TOperadorJet op = e.OpPaso(i);
            TTipoJet t;
            bool c = false;
            if (EsLogico(op)) {
                if (cx || y.bCondicion || tx == TTipoJet::Nulo || y.Tipo == TTipoJet::Nulo) {
                    c = true;
                    t = TTipoJet::Largo;
                } else
                    t = tx == TTipoJet::Booleano && y.Tipo == TTipoJet::Booleano ? TTipoJet::Booleano
                                                                                 : TTipoJet::Largo;
            } else if (EsComparacion(op)) {
                // Comparisons never chain: the left operand is Hijos[0] itself.
                ExigeComparables(*e.Hijos[0], y, e.nPos);
                c = true;
                t = TTipoJet::Largo;
            } else if (op == TOperadorJet::Concatena) {
                t = tx == TTipoJet::Memo || y.Tipo == TTipoJet::Memo ? TTipoJet::Memo : TTipoJet::Texto;
            } else {
                const TTipoJet ta = cx ? TTipoJet::Largo : tx;
                const TTipoJet tb = y.bCondicion ? TTipoJet::Largo : y.Tipo;
                if (op == TOperadorJet::Mas && EsTextoJet(ta) && EsTextoJet(tb))
                    t = ta == TTipoJet::Memo || tb == TTipoJet::Memo ? TTipoJet::Memo : TTipoJet::Texto;
                else
                    t = TipoAritmetico(ta, tb, claveAritmetica(op));
            }
            e.Parciales.push_back(t);
            if (c && e.nCondicionDesde < 0)
                e.nCondicionDesde = int(i) - 1;
            tx = t;
            cx = c;
        }
        e.Tipo = tx;
        e.bCondicion = cx;
        return;
    }
    case TClaseExpr::Funcion:
        AnalizaFuncion(e, a);
        return;
    case TClaseExpr::Entre:
        hijos();
        ExigeComparables(*e.Hijos[0], *e.Hijos[1], e.nPos);
        ExigeComparables(*e.Hijos[0], *e.Hijos[2], e.nPos);
        e.bCondicion = true;
        e.Tipo = TTipoJet::Largo;
        return;
    case TClaseExpr::EnLista:
        hijos();
        for (size_t i = 1; i < e.Hijos.size(); ++i)
            ExigeComparables(*e.Hijos[0], *e.Hijos[i], e.nPos);
        e.bCondicion = true;
        e.Tipo = TTipoJet::Largo;
        return;
    case TClaseExpr::EnConsulta: {
        hijos();
        AnalizaConsulta(*e.Consulta, &a);
        if (e.Consulta->Columnas.size() != 1)
            throw TErrorJet::SubconsultaVariosCampos(e.Consulta->nPos);
        TExpr columna;
        columna.Tipo = e.Consulta->Columnas[0].Tipo;
        ExigeComparables(*e.Hijos[0], columna, e.nPos);
        e.bCondicion = true;
        e.Tipo = TTipoJet::Largo;
        return;
    }
    case TClaseExpr::Existe:
        AnalizaConsulta(*e.Consulta, &a);
        e.bCondicion = true;
        e.Tipo = TTipoJet::Largo;
        return;
    case TClaseExpr::Subconsulta:
        AnalizaConsulta(*e.Consulta, &a);
        if (e.Consulta->Columnas.size() != 1)
            throw TErrorJet::SubconsultaVariosCampos(e.Consulta->nPos);
        e.Tipo = e.Consulta->Columnas[0].Tipo;
        return;
    case TClaseExpr::EsNulo:
    case TClaseExpr::Como:
        hijos();
        e.bCondicion = true;
        e.Tipo = TTipoJet::Largo;
        return;
    }
}

void TSemanticaJet::ResuelveColumna(TExpr& e, TAmbito& a)
{
    auto enlaza = [&](int salto, TFuenteAnalizada* f, int c) {
        e.pFuente = f;
        e.nColumna = c;
        e.nSalto = salto;
        e.Tipo = f->Columnas[c].Tipo;
        // Every query between this one and the one that owns the source depends on the outer row.
        TAmbito* q = &a;
        for (int i = 0; i < salto && q; ++i, q = q->pPadre)
            q->pConsulta->bCorrelacionada = true;
    };
    int salto = 0;
    for (TAmbito* p = &a; p; p = p->pPadre, ++salto) {
        if (!e.sTabla.isEmpty()) {
            for (auto& f : p->pNucleo->Fuentes) {
                if (!mismoNombre(f->sAlias, e.sTabla))
                    continue;
                for (size_t c = 0; c < f->Columnas.size(); ++c)
                    if (mismoNombre(f->Columnas[c].sNombre, e.sNombre)) {
                        enlaza(salto, f.get(), int(c));
                        return;
                    }
                throw TErrorJet::FaltanParametros(e.nPos);
            }
            continue;
        }
        TFuenteAnalizada* hallada = nullptr;
        int columna = -1;
        for (auto& f : p->pNucleo->Fuentes)
            for (size_t c = 0; c < f->Columnas.size(); ++c)
                if (mismoNombre(f->Columnas[c].sNombre, e.sNombre)) {
                    if (hallada && hallada != f.get())
                        throw TErrorJet::CampoAmbiguo(e.sNombre, e.nPos);
                    if (!hallada) {
                        hallada = f.get();
                        columna = int(c);
                    }
                }
        if (hallada) {
            enlaza(salto, hallada, columna);
            return;
        }
    }
    if (e.sTabla.isEmpty() && a.bAliasSelect) {
        for (auto& el : a.pNucleo->Elementos) {
            if (el.bEstrella || !mismoNombre(el.sAlias, e.sNombre))
                continue;
            const TExpr* destino = el.Expr.get();
            if (std::find(F_EnCurso.begin(), F_EnCurso.end(), destino) != F_EnCurso.end())
                throw TErrorJet::ReferenciaCircular(el.sAlias, e.nPos);
            if (std::find(F_Analizadas.begin(), F_Analizadas.end(), destino) == F_Analizadas.end()) {
                F_EnCurso.push_back(destino);
                AnalizaExpr(*el.Expr, a);
                F_EnCurso.pop_back();
                F_Analizadas.push_back(destino);
            }
            e.pAlias = destino;
            // Later stages follow the alias into its expression: its depth counts here.
            e.nProfundidad = destino->nProfundidad + 1;
            if (e.nProfundidad > MaxProfundidadJet)
                throw TErrorJet::ExpresionCompleja(e.nPos);
            e.Tipo = destino->Tipo;
            e.bCondicion = destino->bCondicion;
            e.bTieneAgregado = destino->bTieneAgregado;
            return;
        }
    }
    throw TErrorJet::FaltanParametros(e.nPos);
}

void TSemanticaJet::AnalizaFuncion(TExpr& e, TAmbito& a)
{
    const int n = int(e.Hijos.size());
    for (auto& h : e.Hijos) {
        AnalizaExpr(*h, a);
        if (h->bTieneAgregado)
            e.bTieneAgregado = true;
        e.nProfundidad = std::max(e.nProfundidad, h->nProfundidad + 1);
        if (e.nProfundidad > MaxProfundidadJet)
            throw TErrorJet::ExpresionCompleja(e.nPos);
    }
    const TFilaFuncionJet* f = BuscaFuncionJet(e.sNombre);
    if (e.bEstrella && !(f && f->bAgregada))
        throw TErrorJet::NumeroArgumentos(TextoDe(e), e.nPos);
    if (!f)
        throw TErrorJet::FuncionNoDefinida(e.sNombre, e.nPos);
    e.pFuncion = f;
    if (f->bAgregada) {
        if (e.bTieneAgregado)
            throw TErrorJet::AgregadoEnExpresion(TextoDe(e), e.nPos);
        e.bEsAgregado = true;
        e.bTieneAgregado = true;
    }
    // COUNT(*) is the one call with a star and no argument.
    const bool bCuentaFilas = f->Funcion == TFuncionJet::Count && e.bEstrella && n == 0;
    if (!bCuentaFilas && (n < f->nMinArgs || n > f->nMaxArgs || e.bEstrella))
        throw TErrorJet::NumeroArgumentos(TextoDe(e), e.nPos);

    auto tipo = [&](int i) { return e.Hijos[i]->bCondicion ? TTipoJet::Largo : e.Hijos[i]->Tipo; };
    switch (f->Regla) {
    case TReglaTipoJet::Fijo:
        e.Tipo = f->TipoFijo;
        return;
    case TReglaTipoJet::Condicion:
        e.bCondicion = true;
        e.Tipo = TTipoJet::Largo;
        return;
    case TReglaTipoJet::DelArgumento:
        e.Tipo = tipo(0);
        return;
    case TReglaTipoJet::Suma: {
        const TTipoJet t = tipo(0);
        if (EsEnteroJet(t))
            e.Tipo = TTipoJet::Largo;
        else if (t == TTipoJet::Moneda || t == TTipoJet::Variante)
            e.Tipo = t;
        else
            e.Tipo = TTipoJet::Doble;
        return;
    }
    case TReglaTipoJet::Promedio:
        e.Tipo = tipo(0) == TTipoJet::Moneda ? TTipoJet::Moneda : TTipoJet::Doble;
        return;
    case TReglaTipoJet::Ramas:
        e.Tipo = TipoComun(tipo(1), tipo(2));
        return;
    case TReglaTipoJet::Nz:
        e.Tipo =
            n == 1 ? (tipo(0) == TTipoJet::Nulo ? TTipoJet::Texto : tipo(0)) : TipoComun(tipo(0), tipo(1));
        return;
    case TReglaTipoJet::TextoOMemo:
        e.Tipo = tipo(0) == TTipoJet::Memo ? TTipoJet::Memo : TTipoJet::Texto;
        return;
    case TReglaTipoJet::Numerico: {
        // Round, Int, Fix, Abs: numbers in text are read as Double.
        const TTipoJet t = tipo(0);
        e.Tipo = EsTextoJet(t) ? TTipoJet::Doble : t == TTipoJet::Booleano ? TTipoJet::Entero : t;
        return;
    }
    }
}

// ---------------------------------------------------------------- grouping

QString TSemanticaJet::Firma(const TExpr& e)
{
    auto firmas = [&](size_t desde) {
        QStringList l;
        for (size_t i = desde; i < e.Hijos.size(); ++i)
            l << Firma(*e.Hijos[i]);
        return l.join(QLatin1Char(','));
    };
    switch (e.Clase) {
    case TClaseExpr::Literal:
        return e.Texto();
    case TClaseExpr::Columna:
        if (e.pAlias) {
            // An alias stands for its expression's text, which aliases naming aliases repeat.
            QString f = Firma(*e.pAlias);
            if (f.size() > 4000000)
                throw TErrorJet::ConsultaCompleja();
            return f;
        }
        return QStringLiteral("@%1.%2").arg(quintptr(e.pFuente)).arg(e.nColumna);
    case TClaseExpr::Funcion:
        return e.sNombre.toUpper() + QLatin1Char('(') + (e.bEstrella ? QStringLiteral("*") : firmas(0)) +
               QLatin1Char(')');
    case TClaseExpr::Unario:
        return TextoOperador(e.Op) + QLatin1Char('(') + Firma(*e.Hijos[0]) + QLatin1Char(')');
    case TClaseExpr::Binario: {
        // Written as the nested pairs the chain stands for: ((a+b)+c).
        QString f = QString(qsizetype(e.Hijos.size()) - 1, QLatin1Char('(')) + Firma(*e.Hijos[0]);
        for (size_t i = 1; i < e.Hijos.size(); ++i)
            f += TextoOperador(e.OpPaso(i)) + Firma(*e.Hijos[i]) + QLatin1Char(')');
        return f;
    }
    case TClaseExpr::Entre:
        return QStringLiteral("BETWEEN%1(%2)").arg(e.bNegado ? "!" : "", firmas(0));
    case TClaseExpr::EnLista:
        return QStringLiteral("IN%1(%2)").arg(e.bNegado ? "!" : "", firmas(0));
    case TClaseExpr::EsNulo:
        return QStringLiteral("ISNULL%1(%2)").arg(e.bNegado ? "!" : "", firmas(0));
    case TClaseExpr::Como:
        return QStringLiteral("LIKE%1(%2)").arg(e.bNegado ? "!" : "", firmas(0));
    case TClaseExpr::EnConsulta:
    case TClaseExpr::Existe:
    case TClaseExpr::Subconsulta:
        return QStringLiteral("Q%1(%2)").arg(quintptr(e.Consulta.get())).arg(firmas(0));
    }
    return QString();
}

const TExpr* TSemanticaJet::NoAgrupada(const TExpr& e, const QStringList& Grupo) const
{
    if (e.bEsAgregado)
        return nullptr;
    if (Grupo.contains(Firma(e)))
        return nullptr;
    switch (e.Clase) {
    case TClaseExpr::Columna:
        if (e.pAlias)
            return NoAgrupada(*e.pAlias, Grupo);
        return e.nSalto > 0 ? nullptr : &e;
    case TClaseExpr::Subconsulta:
    case TClaseExpr::Existe:
        return nullptr;
    default:
        for (const auto& h : e.Hijos)
            if (const TExpr* m = NoAgrupada(*h, Grupo))
                return m;
        return nullptr;
    }
}
