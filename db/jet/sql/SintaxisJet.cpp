#include "db/jet/sql/SintaxisJet.h"

#include "db/jet/sql/ErrorJet.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

TSintaxisJet::TSintaxisJet(const QString& sTexto) : F_sTexto(sTexto), F_Lexico(sTexto) {}

const TToken& TSintaxisJet::Ver(int k)
{
    while (int(F_Buffer.size()) <= k)
        F_Buffer.push_back(F_Lexico.Siguiente());
    return F_Buffer[k];
}

TToken TSintaxisJet::Toma()
{
    Ver(0);
    TToken t = F_Buffer.front();
    F_Buffer.pop_front();
    F_nFinAnterior = t.nFin;
    return t;
}

bool TSintaxisJet::EsClausula(const TToken& t)
{
    static const char* clausulas[] = {"FROM", "WHERE", "GROUP", "HAVING", "ORDER", "UNION", "INTO"};
    for (const char* c : clausulas)
        if (t.EsPalabra(c))
            return true;
    return false;
}

// ---------------------------------------------------------------- statement

std::unique_ptr<TConsultaJet> TSintaxisJet::Analiza()
{
    // The statement ends at a NUL character, as a C string would: what follows is extra text.
    const qsizetype nulo = F_sTexto.indexOf(QChar(0));
    if (nulo >= 0) {
        if (F_sTexto.left(nulo).trimmed().isEmpty())
            throw TErrorJet::InstruccionNoValida(int(nulo));
        throw TErrorJet::CaracteresTrasFin(int(nulo));
    }
    const TToken& t = Ver(0);
    if (t.Clase == TClaseToken::Fin)
        throw TErrorJet::TextoVacio();
    if (t.Clase == TClaseToken::Nombre && !t.bCorchetes) {
        if (t.EsPalabra("SELECT")) {
            auto q = Consulta();
            if (EsSimbolo(0, ";"))
                Toma();
            if (Ver(0).Clase != TClaseToken::Fin) {
                const TToken& resto = Ver(0);
                if (resto.EsSimbolo(")"))
                    throw TErrorJet::CaracteresTrasFin(resto.nPos);
                if (resto.Clase == TClaseToken::Error)
                    ErrorEnExpresion(resto);
                throw TErrorJet::CaracteresTrasFin(resto.nPos);
            }
            return q;
        }
        static const char* escritura[] = {"DELETE", "INSERT", "UPDATE", "CREATE", "ALTER", "DROP"};
        for (const char* p : escritura)
            if (t.EsPalabra(p))
                throw TErrorJet::SoloLectura(t.nPos);
        static const char* otras[] = {"TRANSFORM", "PARAMETERS", "PROCEDURE", "EXECUTE"};
        for (const char* p : otras)
            if (t.EsPalabra(p))
                throw TErrorJet::NoDisponible(QString::fromLatin1(p), t.nPos);
    }
    throw TErrorJet::InstruccionNoValida(t.nPos);
}

std::unique_ptr<TConsultaJet> TSintaxisJet::Consulta()
{
    const TNivel nivel(*this, Ver(0).nPos);
    auto q = std::make_unique<TConsultaJet>();
    q->nPos = Ver(0).nPos;
    auto rama = [&]() {
        if (EsSimbolo(0, "(") && EsPalabra(1, "SELECT")) {
            const TToken abre = Toma();
            auto interna = Consulta();
            if (!EsSimbolo(0, ")"))
                throw TErrorJet::SintaxisSelect(Ver(0).nPos);
            Toma();
            if (interna->Nucleos.size() != 1 || !interna->OrderBy.empty())
                throw TErrorJet::SintaxisSelect(abre.nPos);
            q->Nucleos.push_back(std::move(interna->Nucleos[0]));
            return;
        }
        if (!EsPalabra(0, "SELECT"))
            throw TErrorJet::SintaxisSelect(Ver(0).nPos);
        q->Nucleos.push_back(Nucleo());
    };
    rama();
    while (EsPalabra(0, "UNION")) {
        Toma();
        bool todos = false;
        if (EsPalabra(0, "ALL")) {
            Toma();
            todos = true;
        }
        q->UnionTodos.push_back(todos);
        rama();
    }
    if (EsPalabra(0, "ORDER")) {
        const TToken orden = Toma();
        if (!EsPalabra(0, "BY"))
            throw TErrorJet::SintaxisOrderBy(orden.nPos);
        Toma();
        for (;;) {
            if (Ver(0).Clase == TClaseToken::Fin || EsClausula(Ver(0)) || EsSimbolo(0, ")"))
                throw TErrorJet::SintaxisOrderBy(Ver(0).nPos);
            TOrden o;
            o.Expr = ExpresionDeClausula(true, "ASC", "DESC");
            if (EsPalabra(0, "ASC"))
                Toma();
            else if (EsPalabra(0, "DESC")) {
                Toma();
                o.bDesc = true;
            }
            q->OrderBy.push_back(std::move(o));
            if (!EsSimbolo(0, ","))
                break;
            Toma();
        }
    }
    if (EsClausula(Ver(0)) && !EsPalabra(0, "UNION"))
        throw TErrorJet::SintaxisSelect(Ver(0).nPos);
    q->nFin = F_nFinAnterior;
    Mide(*q);
    return q;
}

std::unique_ptr<TNucleoSelect> TSintaxisJet::Nucleo()
{
    auto n = std::make_unique<TNucleoSelect>();
    n->nPos = Toma().nPos; // SELECT
    if (EsPalabra(0, "ALL"))
        Toma();
    else if (EsPalabra(0, "DISTINCT")) {
        Toma();
        n->Predicado = TPredicado::Distinct;
    } else if (EsPalabra(0, "DISTINCTROW")) {
        Toma();
        n->Predicado = TPredicado::DistinctRow;
    }
    if (EsPalabra(0, "TOP")) {
        Toma();
        const TToken num = Toma();
        if (num.Clase != TClaseToken::Numero)
            throw TErrorJet::SintaxisSelect(num.nPos);
        bool ok = false;
        n->dTop = num.sTexto.toDouble(&ok);
        if (!ok || !std::isfinite(n->dTop) || n->dTop < 0 || n->dTop != std::floor(n->dTop))
            throw TErrorJet::SintaxisSelect(num.nPos);
        n->dTop = std::min(n->dTop, 1e15); // more rows than any table holds
        n->bTop = true;
        n->sTop = num.sTexto;
        if (EsPalabra(0, "PERCENT")) {
            Toma();
            n->bPorCiento = true;
        }
    }
    for (;;) {
        ElementoSelect(*n);
        if (!EsSimbolo(0, ","))
            break;
        Toma();
    }
    if (EsPalabra(0, "INTO"))
        throw TErrorJet::SoloLectura(Ver(0).nPos);
    if (EsPalabra(0, "FROM")) {
        const TToken from = Toma();
        if (Ver(0).Clase == TClaseToken::Fin || EsClausula(Ver(0)))
            throw TErrorJet::SintaxisFrom(from.nPos);
        for (;;) {
            n->From.push_back(FromElemento());
            if (!EsSimbolo(0, ","))
                break;
            Toma();
        }
        const TToken& sig = Ver(0);
        if (!(sig.Clase == TClaseToken::Fin || EsClausula(sig) || sig.EsSimbolo(")") || sig.EsSimbolo(";")))
            throw TErrorJet::SintaxisFrom(sig.nPos);
    }
    if (EsPalabra(0, "WHERE")) {
        Toma();
        n->Where = ExpresionDeClausula(false);
    }
    if (EsPalabra(0, "GROUP")) {
        const TToken grupo = Toma();
        if (!EsPalabra(0, "BY"))
            throw TErrorJet::SintaxisGroupBy(grupo.nPos);
        Toma();
        for (;;) {
            if (Ver(0).Clase == TClaseToken::Fin || EsClausula(Ver(0)) || EsSimbolo(0, ")"))
                throw TErrorJet::SintaxisGroupBy(Ver(0).nPos);
            n->GroupBy.push_back(ExpresionDeClausula(true));
            if (!EsSimbolo(0, ","))
                break;
            Toma();
        }
    }
    if (EsPalabra(0, "HAVING")) {
        Toma();
        n->Having = ExpresionDeClausula(false);
    }
    return n;
}

void TSintaxisJet::ElementoSelect(TNucleoSelect& n)
{
    TElementoSelect e;
    const TToken& t = Ver(0);
    e.nPos = t.nPos;
    if (t.Clase == TClaseToken::Fin || EsClausula(t) || t.EsSimbolo(",") || t.EsSimbolo(")"))
        throw TErrorJet::SintaxisSelect(t.nPos);
    if (t.EsSimbolo("*")) {
        e.nFin = Toma().nFin;
        e.bEstrella = true;
        n.Elementos.push_back(std::move(e));
        return;
    }
    if (t.Clase == TClaseToken::Nombre && (EsSimbolo(1, ".") || EsSimbolo(1, "!")) && EsSimbolo(2, "*")) {
        e.sTablaEstrella = Toma().sTexto;
        Toma();
        e.nFin = Toma().nFin;
        e.bEstrella = true;
        n.Elementos.push_back(std::move(e));
        return;
    }
    e.Expr = ExpresionDeClausula(true, "AS");
    e.nFin = e.Expr->nFin;
    if (EsPalabra(0, "AS")) {
        Toma();
        const TToken alias = Toma();
        if (alias.Clase != TClaseToken::Nombre ||
            (!alias.bCorchetes && TLexicoJet::EsReservada(alias.sTexto)))
            throw TErrorJet::SintaxisSelect(alias.nPos);
        e.sAlias = alias.sTexto;
        e.nFin = alias.nFin;
    }
    n.Elementos.push_back(std::move(e));
}

QString TSintaxisJet::AliasOpcional()
{
    if (EsPalabra(0, "AS")) {
        Toma();
        const TToken a = Toma();
        if (a.Clase != TClaseToken::Nombre || (!a.bCorchetes && TLexicoJet::EsReservada(a.sTexto)))
            throw TErrorJet::SintaxisFrom(a.nPos);
        return a.sTexto;
    }
    const TToken& a = Ver(0);
    if (a.Clase == TClaseToken::Nombre && (a.bCorchetes || !TLexicoJet::EsReservada(a.sTexto)))
        return Toma().sTexto;
    return QString();
}

std::unique_ptr<TFuenteFrom> TSintaxisJet::FromElemento()
{
    auto izq = FromPrimario();
    while (EsPalabra(0, "INNER") || EsPalabra(0, "LEFT") || EsPalabra(0, "RIGHT") || EsPalabra(0, "JOIN")) {
        const TToken tipo = Toma();
        auto j = std::make_unique<TFuenteFrom>();
        j->Clase = TFuenteFrom::TClase::Join;
        j->nPos = izq->nPos;
        if (tipo.EsPalabra("LEFT"))
            j->Join = TClaseJoin::Izquierda;
        else if (tipo.EsPalabra("RIGHT"))
            j->Join = TClaseJoin::Derecha;
        if (!tipo.EsPalabra("JOIN")) {
            if ((j->Join != TClaseJoin::Interna) && EsPalabra(0, "OUTER"))
                Toma();
            if (!EsPalabra(0, "JOIN"))
                throw TErrorJet::SintaxisJoin(Ver(0).nPos);
            Toma();
        } else {
            // A bare JOIN is not Jet SQL: INNER, LEFT or RIGHT must say which.
            throw TErrorJet::SintaxisJoin(tipo.nPos);
        }
        j->Izquierda = std::move(izq);
        j->Derecha = FromPrimario();
        if (!EsPalabra(0, "ON"))
            throw TErrorJet::SintaxisJoin(Ver(0).nPos);
        Toma();
        j->On = ExpresionDeClausula(true);
        Mide(*j);
        izq = std::move(j);
    }
    return izq;
}

std::unique_ptr<TFuenteFrom> TSintaxisJet::FromPrimario()
{
    const TToken& t = Ver(0);
    const TNivel nivel(*this, t.nPos);
    auto f = std::make_unique<TFuenteFrom>();
    f->nPos = t.nPos;
    if (t.EsSimbolo("(")) {
        if (EsPalabra(1, "SELECT")) {
            Toma();
            const int inicio = F_nInicioExpr;
            const bool lista = F_bEnLista;
            f->Clase = TFuenteFrom::TClase::Derivada;
            f->Consulta = Consulta();
            F_nInicioExpr = inicio;
            F_bEnLista = lista;
            if (!EsSimbolo(0, ")"))
                throw TErrorJet::SintaxisFrom(Ver(0).nPos);
            Toma();
            f->sAlias = AliasOpcional();
            Mide(*f);
            return f;
        }
        Toma();
        auto interno = FromElemento();
        if (!EsSimbolo(0, ")"))
            throw TErrorJet::SintaxisFrom(Ver(0).nPos);
        Toma();
        interno->bParentesis = true;
        interno->nPos = f->nPos;
        return interno;
    }
    if (t.Clase == TClaseToken::Nombre && (t.bCorchetes || !TLexicoJet::EsReservada(t.sTexto))) {
        f->Clase = TFuenteFrom::TClase::Tabla;
        f->sTabla = Toma().sTexto;
        f->sAlias = AliasOpcional();
        return f;
    }
    throw TErrorJet::SintaxisFrom(t.nPos);
}

// ---------------------------------------------------------------- expressions

std::unique_ptr<TExpr> TSintaxisJet::ExpresionDeClausula(bool bLista, const char* sExtra1,
                                                         const char* sExtra2)
{
    F_nInicioExpr = Ver(0).nPos;
    F_bEnLista = bLista;
    auto e = Or();
    const TToken& t = Ver(0);
    const bool fin = t.Clase == TClaseToken::Fin || EsClausula(t) || t.EsSimbolo(")") || t.EsSimbolo(";") ||
                     (bLista && t.EsSimbolo(",")) || (sExtra1 && t.EsPalabra(sExtra1)) ||
                     (sExtra2 && t.EsPalabra(sExtra2));
    if (!fin)
        ErrorEnExpresion(t);
    return e;
}

namespace {

// Operators that chain into one node share a level; comparisons (0) never chain.
int nivelCadena(TOperadorJet Op)
{
    switch (Op) {
    case TOperadorJet::O:
        return 1;
    case TOperadorJet::OExclusivo:
        return 2;
    case TOperadorJet::Y:
        return 3;
    case TOperadorJet::Concatena:
        return 4;
    case TOperadorJet::Mas:
    case TOperadorJet::Menos:
        return 5;
    case TOperadorJet::Modulo:
        return 6;
    case TOperadorJet::DivideEntero:
        return 7;
    case TOperadorJet::Por:
    case TOperadorJet::Divide:
        return 8;
    case TOperadorJet::Potencia:
        return 9;
    case TOperadorJet::No:
    case TOperadorJet::Igual:
    case TOperadorJet::Distinto:
    case TOperadorJet::Menor:
    case TOperadorJet::Mayor:
    case TOperadorJet::MenorIgual:
    case TOperadorJet::MayorIgual:
        return 0;
    }
    return 0;
}

} // namespace

TSintaxisJet::TNivel::TNivel(TSintaxisJet& s, int nPos) : s(s)
{
    if (++s.F_nNivel > MaxProfundidadJet) {
        --s.F_nNivel;
        s.DemasiadoProfundo(nPos);
    }
}

void TSintaxisJet::DemasiadoProfundo(int nPos)
{
    throw TErrorJet::ExpresionCompleja(nPos);
}

void TSintaxisJet::Mide(TExpr& e)
{
    int n = e.Consulta ? e.Consulta->nProfundidad : 0;
    for (const auto& h : e.Hijos)
        n = std::max(n, h->nProfundidad);
    e.nProfundidad = n + 1;
    if (e.nProfundidad > MaxProfundidadJet)
        DemasiadoProfundo(e.nPos);
}

void TSintaxisJet::Mide(TFuenteFrom& f)
{
    int n = 0;
    if (f.Consulta)
        n = std::max(n, f.Consulta->nProfundidad);
    if (f.Izquierda)
        n = std::max(n, f.Izquierda->nProfundidad);
    if (f.Derecha)
        n = std::max(n, f.Derecha->nProfundidad);
    if (f.On)
        n = std::max(n, f.On->nProfundidad);
    f.nProfundidad = n + 1;
    if (f.nProfundidad > MaxProfundidadJet)
        DemasiadoProfundo(f.nPos);
}

void TSintaxisJet::Mide(TConsultaJet& q)
{
    int n = 0;
    auto expr = [&](const std::unique_ptr<TExpr>& e) {
        if (e)
            n = std::max(n, e->nProfundidad);
    };
    for (const auto& nucleo : q.Nucleos) {
        for (const auto& el : nucleo->Elementos)
            expr(el.Expr);
        for (const auto& f : nucleo->From)
            n = std::max(n, f->nProfundidad);
        expr(nucleo->Where);
        for (const auto& g : nucleo->GroupBy)
            expr(g);
        expr(nucleo->Having);
    }
    for (const auto& o : q.OrderBy)
        expr(o.Expr);
    q.nProfundidad = n + 1;
    if (q.nProfundidad > MaxProfundidadJet)
        DemasiadoProfundo(q.nPos);
}

std::unique_ptr<TExpr> TSintaxisJet::Binario(TOperadorJet Op, std::unique_ptr<TExpr> a,
                                             std::unique_ptr<TExpr> b)
{
    // a op b op c is one node with three operands: later stages loop over a chain instead of
    // recursing once per operator.
    const int nivel = nivelCadena(Op);
    if (nivel && a->Clase == TClaseExpr::Binario && !a->bParentesis && !a->Ops.empty() &&
        nivelCadena(a->Ops[0]) == nivel) {
        a->Ops.push_back(Op);
        a->nFin = b->nFin;
        a->nProfundidad = std::max(a->nProfundidad, b->nProfundidad + 1);
        if (a->nProfundidad > MaxProfundidadJet)
            DemasiadoProfundo(b->nPos);
        a->Hijos.push_back(std::move(b));
        return a;
    }
    auto e = std::make_unique<TExpr>();
    e->Clase = TClaseExpr::Binario;
    e->Op = Op;
    e->Ops.push_back(Op);
    e->nPos = a->nPos;
    e->nFin = b->nFin;
    e->Hijos.push_back(std::move(a));
    e->Hijos.push_back(std::move(b));
    Mide(*e);
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::Or()
{
    const TNivel nivel(*this, Ver(0).nPos);
    auto e = Xor();
    while (EsPalabra(0, "OR")) {
        Toma();
        e = Binario(TOperadorJet::O, std::move(e), Xor());
    }
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::Xor()
{
    auto e = And();
    while (EsPalabra(0, "XOR")) {
        Toma();
        e = Binario(TOperadorJet::OExclusivo, std::move(e), And());
    }
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::And()
{
    auto e = Not();
    while (EsPalabra(0, "AND")) {
        Toma();
        e = Binario(TOperadorJet::Y, std::move(e), Not());
    }
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::Not()
{
    if (EsPalabra(0, "NOT")) {
        const TToken t = Toma();
        const TNivel nivel(*this, t.nPos);
        auto e = std::make_unique<TExpr>();
        e->Clase = TClaseExpr::Unario;
        e->Op = TOperadorJet::No;
        e->nPos = t.nPos;
        e->Hijos.push_back(Not());
        e->nFin = e->Hijos[0]->nFin;
        Mide(*e);
        return e;
    }
    return Comparacion();
}

std::unique_ptr<TExpr> TSintaxisJet::Comparacion()
{
    auto e = Concatenacion();
    for (;;) {
        const TToken& t = Ver(0);
        TOperadorJet op = TOperadorJet::Igual;
        if (t.Clase == TClaseToken::Simbolo && ComparacionDeSimbolo(t.sTexto, op)) {
            Toma();
            e = Binario(op, std::move(e), Concatenacion());
            continue;
        }
        bool negado = false;
        int k = 0;
        if (t.EsPalabra("NOT") && (EsPalabra(1, "LIKE") || EsPalabra(1, "BETWEEN") || EsPalabra(1, "IN"))) {
            negado = true;
            k = 1;
        }
        const TToken& p = Ver(k);
        if (p.EsPalabra("LIKE")) {
            for (int i = 0; i <= k; ++i)
                Toma();
            auto n = std::make_unique<TExpr>();
            n->Clase = TClaseExpr::Como;
            n->bNegado = negado;
            n->nPos = e->nPos;
            n->Hijos.push_back(std::move(e));
            n->Hijos.push_back(Concatenacion());
            n->nFin = n->Hijos[1]->nFin;
            Mide(*n);
            e = std::move(n);
            continue;
        }
        if (p.EsPalabra("BETWEEN")) {
            for (int i = 0; i <= k; ++i)
                Toma();
            auto n = std::make_unique<TExpr>();
            n->Clase = TClaseExpr::Entre;
            n->bNegado = negado;
            n->nPos = e->nPos;
            n->Hijos.push_back(std::move(e));
            n->Hijos.push_back(Concatenacion());
            if (!EsPalabra(0, "AND"))
                ErrorEnExpresion(Ver(0));
            Toma();
            n->Hijos.push_back(Concatenacion());
            n->nFin = n->Hijos[2]->nFin;
            Mide(*n);
            e = std::move(n);
            continue;
        }
        if (p.EsPalabra("IN")) {
            for (int i = 0; i <= k; ++i)
                Toma();
            if (!EsSimbolo(0, "("))
                ErrorEnExpresion(Ver(0));
            auto n = std::make_unique<TExpr>();
            n->nPos = e->nPos;
            n->bNegado = negado;
            n->Hijos.push_back(std::move(e));
            if (EsPalabra(1, "SELECT")) {
                n->Clase = TClaseExpr::EnConsulta;
                n->Consulta = SubconsultaEntreParentesis();
            } else {
                n->Clase = TClaseExpr::EnLista;
                Toma();
                for (;;) {
                    n->Hijos.push_back(Or());
                    if (EsSimbolo(0, ",")) {
                        Toma();
                        continue;
                    }
                    break;
                }
                if (!EsSimbolo(0, ")")) {
                    const TToken& c = Ver(0);
                    if (c.Clase == TClaseToken::Fin || EsClausula(c))
                        throw TErrorJet::FaltaParentesis(TextoRegion(F_nInicioExpr, c.nPos), c.nPos);
                    ErrorEnExpresion(c);
                }
                Toma();
            }
            n->nFin = F_nFinAnterior;
            Mide(*n);
            e = std::move(n);
            continue;
        }
        if (t.EsPalabra("IS")) {
            Toma();
            auto n = std::make_unique<TExpr>();
            n->Clase = TClaseExpr::EsNulo;
            n->nPos = e->nPos;
            if (EsPalabra(0, "NOT")) {
                Toma();
                n->bNegado = true;
            }
            if (!EsPalabra(0, "NULL"))
                ErrorEnExpresion(Ver(0));
            n->nFin = Toma().nFin;
            n->Hijos.push_back(std::move(e));
            Mide(*n);
            e = std::move(n);
            continue;
        }
        return e;
    }
}

std::unique_ptr<TExpr> TSintaxisJet::Concatenacion()
{
    auto e = Suma();
    while (EsSimbolo(0, "&")) {
        Toma();
        e = Binario(TOperadorJet::Concatena, std::move(e), Suma());
    }
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::Suma()
{
    auto e = Modulo();
    while (EsSimbolo(0, "+") || EsSimbolo(0, "-")) {
        const TOperadorJet op = Toma().sTexto == QLatin1String("+") ? TOperadorJet::Mas : TOperadorJet::Menos;
        e = Binario(op, std::move(e), Modulo());
    }
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::Modulo()
{
    auto e = DivisionEntera();
    while (EsPalabra(0, "MOD")) {
        Toma();
        e = Binario(TOperadorJet::Modulo, std::move(e), DivisionEntera());
    }
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::DivisionEntera()
{
    auto e = Producto();
    while (EsSimbolo(0, "\\")) {
        Toma();
        e = Binario(TOperadorJet::DivideEntero, std::move(e), Producto());
    }
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::Producto()
{
    auto e = Unario();
    while (EsSimbolo(0, "*") || EsSimbolo(0, "/")) {
        const TOperadorJet op =
            Toma().sTexto == QLatin1String("*") ? TOperadorJet::Por : TOperadorJet::Divide;
        e = Binario(op, std::move(e), Unario());
    }
    return e;
}

std::unique_ptr<TExpr> TSintaxisJet::Unario()
{
    if (EsSimbolo(0, "-") || EsSimbolo(0, "+")) {
        const TToken t = Toma();
        const TNivel nivel(*this, t.nPos);
        auto hijo = Unario();
        if (t.sTexto == QLatin1String("+")) {
            hijo->nPos = t.nPos;
            return hijo;
        }
        // A negative number literal stays a literal (so -2147483648 and the like keep their value).
        if (hijo->Clase == TClaseExpr::Literal && hijo->Literal == TClaseLiteral::Numero &&
            !hijo->bParentesis) {
            hijo->sValor = QLatin1Char('-') + hijo->sValor;
            hijo->dValor = -hijo->dValor;
            hijo->nValor = -hijo->nValor;
            hijo->nPos = t.nPos;
            return hijo;
        }
        auto e = std::make_unique<TExpr>();
        e->Clase = TClaseExpr::Unario;
        e->Op = TOperadorJet::Menos;
        e->nPos = t.nPos;
        e->nFin = hijo->nFin;
        e->Hijos.push_back(std::move(hijo));
        Mide(*e);
        return e;
    }
    return Potencia();
}

std::unique_ptr<TExpr> TSintaxisJet::Potencia()
{
    auto e = Primario();
    while (EsSimbolo(0, "^")) {
        Toma();
        e = Binario(TOperadorJet::Potencia, std::move(e), Primario());
    }
    return e;
}

std::unique_ptr<TConsultaJet> TSintaxisJet::SubconsultaEntreParentesis()
{
    Toma(); // (
    const int inicio = F_nInicioExpr;
    const bool lista = F_bEnLista;
    auto q = Consulta();
    F_nInicioExpr = inicio;
    F_bEnLista = lista;
    if (!EsSimbolo(0, ")")) {
        const TToken& c = Ver(0);
        if (c.Clase == TClaseToken::Fin)
            throw TErrorJet::FaltaParentesis(TextoRegion(F_nInicioExpr, c.nPos), c.nPos);
        throw TErrorJet::SintaxisSelect(c.nPos);
    }
    Toma();
    return q;
}

std::unique_ptr<TExpr> TSintaxisJet::Primario()
{
    const TToken t = Ver(0);
    auto e = std::make_unique<TExpr>();
    e->nPos = t.nPos;
    switch (t.Clase) {
    case TClaseToken::Numero: {
        Toma();
        e->Clase = TClaseExpr::Literal;
        e->Literal = TClaseLiteral::Numero;
        e->sValor = t.sTexto;
        bool finito = false;
        e->dValor = t.sTexto.toDouble(&finito);
        if (!finito || !std::isfinite(e->dValor)) // 1E400 is beyond a Double
            throw TErrorJet(TErrorJet::Desbordamiento().Mensaje(), t.nPos);
        bool ok = false;
        const qlonglong n = t.sTexto.toLongLong(&ok);
        if (ok && n <= 2147483647LL) {
            e->bEntero = true;
            e->nValor = n;
        }
        e->nFin = t.nFin;
        return e;
    }
    case TClaseToken::Cadena:
        Toma();
        e->Clase = TClaseExpr::Literal;
        e->Literal = TClaseLiteral::Cadena;
        e->sValor = t.sTexto;
        e->nFin = t.nFin;
        return e;
    case TClaseToken::Fecha: {
        double dia = 0;
        if (!FechaJet(t.sTexto.trimmed(), dia))
            throw TErrorJet::SintaxisFecha(TextoRegion(F_nInicioExpr, t.nPos), t.nPos);
        Toma();
        e->Clase = TClaseExpr::Literal;
        e->Literal = TClaseLiteral::Fecha;
        e->sValor = t.sTexto;
        e->dValor = dia;
        e->nFin = t.nFin;
        return e;
    }
    case TClaseToken::Simbolo:
        if (t.EsSimbolo("(")) {
            if (EsPalabra(1, "SELECT")) {
                e->Clase = TClaseExpr::Subconsulta;
                e->Consulta = SubconsultaEntreParentesis();
                e->bParentesis = true;
                e->nFin = F_nFinAnterior;
                Mide(*e);
                return e;
            }
            Toma();
            auto interna = Or();
            if (!EsSimbolo(0, ")")) {
                const TToken& c = Ver(0);
                if (c.EsSimbolo(","))
                    throw TErrorJet::SintaxisComa(TextoRegion(F_nInicioExpr, c.nPos), c.nPos);
                if (c.Clase == TClaseToken::Fin || EsClausula(c) || c.EsSimbolo(";"))
                    throw TErrorJet::FaltaParentesis(TextoRegion(F_nInicioExpr, c.nPos), c.nPos);
                ErrorEnExpresion(c);
            }
            interna->bParentesis = true;
            interna->nPos = t.nPos;
            interna->nFin = Toma().nFin;
            return interna;
        }
        if (t.EsSimbolo("?"))
            throw TErrorJet::FaltanParametros(t.nPos);
        ErrorEnExpresion(t);
    case TClaseToken::Nombre: {
        if (!t.bCorchetes) {
            if (t.EsPalabra("NULL") || t.EsPalabra("TRUE") || t.EsPalabra("FALSE")) {
                Toma();
                e->Clase = TClaseExpr::Literal;
                e->Literal = t.EsPalabra("NULL")   ? TClaseLiteral::Nulo
                             : t.EsPalabra("TRUE") ? TClaseLiteral::Verdadero
                                                   : TClaseLiteral::Falso;
                e->nFin = t.nFin;
                return e;
            }
            if (t.EsPalabra("EXISTS")) {
                Toma();
                if (!EsSimbolo(0, "(") || !EsPalabra(1, "SELECT"))
                    ErrorEnExpresion(Ver(0));
                e->Clase = TClaseExpr::Existe;
                e->Consulta = SubconsultaEntreParentesis();
                e->nFin = F_nFinAnterior;
                Mide(*e);
                return e;
            }
            // LEFT and RIGHT name joins and functions.
            const bool funcionReservada = (t.EsPalabra("LEFT") || t.EsPalabra("RIGHT")) && EsSimbolo(1, "(");
            if (TLexicoJet::EsReservada(t.sTexto) && !funcionReservada)
                ErrorEnExpresion(t);
            if (EsSimbolo(1, "(")) {
                Toma();
                Toma();
                e->Clase = TClaseExpr::Funcion;
                e->sNombre = t.sTexto;
                if (EsSimbolo(0, "*")) {
                    Toma();
                    e->bEstrella = true;
                } else if (!EsSimbolo(0, ")")) {
                    for (;;) {
                        e->Hijos.push_back(Or());
                        if (!EsSimbolo(0, ","))
                            break;
                        Toma();
                    }
                }
                if (!EsSimbolo(0, ")")) {
                    const TToken& c = Ver(0);
                    if (c.Clase == TClaseToken::Fin || EsClausula(c) || c.EsSimbolo(";"))
                        throw TErrorJet::FaltaParentesis(TextoRegion(F_nInicioExpr, c.nPos), c.nPos);
                    ErrorEnExpresion(c);
                }
                e->nFin = Toma().nFin;
                Mide(*e);
                return e;
            }
        }
        Toma();
        e->Clase = TClaseExpr::Columna;
        e->sNombre = t.sTexto;
        e->nFin = t.nFin;
        if ((EsSimbolo(0, ".") || EsSimbolo(0, "!")) && Ver(1).Clase == TClaseToken::Nombre) {
            Toma();
            const TToken col = Toma();
            e->sTabla = t.sTexto;
            e->sNombre = col.sTexto;
            e->nFin = col.nFin;
        }
        return e;
    }
    case TClaseToken::Fin:
    case TClaseToken::Error:
        break;
    }
    ErrorEnExpresion(t);
}

// ---------------------------------------------------------------- errors

QString TSintaxisJet::TextoRegion(int nDesde, int nError)
{
    // The expression Jet quotes: from its start to the end of the clause it belongs to.
    TLexicoJet lex(F_sTexto, nError);
    int profundidad = 0;
    int fin = nError;
    for (;;) {
        const TToken t = lex.Siguiente();
        if (t.Clase == TClaseToken::Fin)
            break;
        if (t.Clase == TClaseToken::Error) {
            fin = F_sTexto.size();
            break;
        }
        if (t.EsSimbolo("("))
            ++profundidad;
        else if (t.EsSimbolo(")")) {
            if (profundidad == 0)
                break;
            --profundidad;
        } else if (profundidad == 0 &&
                   (EsClausula(t) || t.EsSimbolo(";") || (F_bEnLista && t.EsSimbolo(",") && t.nPos > nError)))
            break;
        fin = t.nFin;
    }
    if (nDesde > fin)
        nDesde = fin;
    return F_sTexto.mid(nDesde, fin - nDesde).trimmed();
}

void TSintaxisJet::ErrorEnExpresion(const TToken& t)
{
    const QString region = TextoRegion(F_nInicioExpr, t.nPos);
    if (t.Clase == TClaseToken::Error) {
        if (t.sTexto == QLatin1String("cadena"))
            throw TErrorJet::SintaxisCadena(region, t.nPos);
        if (t.sTexto == QLatin1String("fecha"))
            throw TErrorJet::SintaxisFecha(region, t.nPos);
        if (t.sTexto == QLatin1String("corchete"))
            throw TErrorJet::FaltaParentesis(region, t.nPos);
    }
    if (t.EsSimbolo(",") && !F_bEnLista)
        throw TErrorJet::SintaxisComa(region, t.nPos);
    throw TErrorJet::FaltaOperador(region, t.nPos);
}

// ---------------------------------------------------------------- dates

bool TSintaxisJet::FechaJet(const QString& sTexto, double& dDia)
{
    static const QRegularExpression reFecha(QStringLiteral(
        R"(^(?:(\d{1,4})([/\-.])(\d{1,2})\2(\d{1,4}))?\s*(?:(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*([AaPp][Mm])?)?$)"));
    const QRegularExpressionMatch m = reFecha.match(sTexto);
    if (!m.hasMatch() || sTexto.isEmpty())
        return false;
    double dias = 0;
    if (!m.captured(1).isEmpty()) {
        int a = m.captured(1).toInt(), b = m.captured(3).toInt(), c = m.captured(4).toInt();
        int anio, mes, dia;
        if (m.captured(1).size() == 4) { // year first: YYYY-MM-DD
            anio = a;
            mes = b;
            dia = c;
        } else {
            mes = a;
            dia = b;
            anio = c;
            if (m.captured(4).size() <= 2)
                anio += anio < 30 ? 2000 : 1900;
            // An impossible month/day is read again as day/month.
            if (!QDate::isValid(anio, mes, dia) && QDate::isValid(anio, dia, mes))
                std::swap(mes, dia);
        }
        if (!QDate::isValid(anio, mes, dia))
            return false;
        dias = double(QDate(1899, 12, 30).daysTo(QDate(anio, mes, dia)));
    }
    double fraccion = 0;
    if (!m.captured(5).isEmpty()) {
        int h = m.captured(5).toInt(), mi = m.captured(6).toInt(), se = m.captured(7).toInt();
        const QString ampm = m.captured(8).toUpper();
        if (!ampm.isEmpty()) {
            if (h < 1 || h > 12)
                return false;
            if (ampm == QLatin1String("AM") && h == 12)
                h = 0;
            else if (ampm == QLatin1String("PM") && h != 12)
                h += 12;
        }
        if (h > 23 || mi > 59 || se > 59)
            return false;
        fraccion = (h * 3600 + mi * 60 + se) / 86400.0;
    }
    // Before 1899-12-30 the day counts down while the time still counts up.
    dDia = dias < 0 ? dias - fraccion : dias + fraccion;
    return true;
}
