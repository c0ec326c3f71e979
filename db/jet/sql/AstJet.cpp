#include "db/jet/sql/AstJet.h"

#include "db/jet/sql/LexicoJet.h"

QString TextoOperador(TOperadorJet Op)
{
    switch (Op) {
    case TOperadorJet::O:
        return QStringLiteral("OR");
    case TOperadorJet::OExclusivo:
        return QStringLiteral("XOR");
    case TOperadorJet::Y:
        return QStringLiteral("AND");
    case TOperadorJet::No:
        return QStringLiteral("NOT");
    case TOperadorJet::Igual:
        return QStringLiteral("=");
    case TOperadorJet::Distinto:
        return QStringLiteral("<>");
    case TOperadorJet::Menor:
        return QStringLiteral("<");
    case TOperadorJet::Mayor:
        return QStringLiteral(">");
    case TOperadorJet::MenorIgual:
        return QStringLiteral("<=");
    case TOperadorJet::MayorIgual:
        return QStringLiteral(">=");
    case TOperadorJet::Concatena:
        return QStringLiteral("&");
    case TOperadorJet::Mas:
        return QStringLiteral("+");
    case TOperadorJet::Menos:
        return QStringLiteral("-");
    case TOperadorJet::Por:
        return QStringLiteral("*");
    case TOperadorJet::Divide:
        return QStringLiteral("/");
    case TOperadorJet::DivideEntero:
        return QStringLiteral("\\");
    case TOperadorJet::Modulo:
        return QStringLiteral("MOD");
    case TOperadorJet::Potencia:
        return QStringLiteral("^");
    }
    Q_UNREACHABLE();
    return QString();
}

bool ComparacionDeSimbolo(const QString& s, TOperadorJet& Op)
{
    for (TOperadorJet o : {TOperadorJet::Igual, TOperadorJet::Distinto, TOperadorJet::Menor,
                           TOperadorJet::Mayor, TOperadorJet::MenorIgual, TOperadorJet::MayorIgual}) {
        if (s == TextoOperador(o)) {
            Op = o;
            return true;
        }
    }
    return false;
}

bool EsComparacion(TOperadorJet Op)
{
    return Op == TOperadorJet::Igual || Op == TOperadorJet::Distinto || Op == TOperadorJet::Menor ||
           Op == TOperadorJet::Mayor || Op == TOperadorJet::MenorIgual || Op == TOperadorJet::MayorIgual;
}

bool EsLogico(TOperadorJet Op)
{
    return Op == TOperadorJet::Y || Op == TOperadorJet::O || Op == TOperadorJet::OExclusivo;
}

QString NombreJet(const QString& sNombre)
{
    bool simple = !sNombre.isEmpty() && (sNombre[0].isLetter() || sNombre[0] == QLatin1Char('_'));
    for (QChar c : sNombre)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_')))
            simple = false;
    if (simple && !TLexicoJet::EsReservada(sNombre))
        return sNombre;
    return QLatin1Char('[') + sNombre + QLatin1Char(']');
}

namespace {

// Binding strength of an operator, higher binds tighter (VBA order).
int precedencia(TOperadorJet Op)
{
    switch (Op) {
    case TOperadorJet::O:
        return 1;
    case TOperadorJet::OExclusivo:
        return 2;
    case TOperadorJet::Y:
        return 3;
    case TOperadorJet::No:
        return 4;
    case TOperadorJet::Igual:
    case TOperadorJet::Distinto:
    case TOperadorJet::Menor:
    case TOperadorJet::Mayor:
    case TOperadorJet::MenorIgual:
    case TOperadorJet::MayorIgual:
        return 5;
    case TOperadorJet::Concatena:
        return 6;
    case TOperadorJet::Mas:
    case TOperadorJet::Menos:
        return 7;
    case TOperadorJet::Modulo:
        return 8;
    case TOperadorJet::DivideEntero:
        return 9;
    case TOperadorJet::Por:
    case TOperadorJet::Divide:
        return 10;
    case TOperadorJet::Potencia:
        return 12;
    }
    Q_UNREACHABLE();
    return 100;
}

int precedencia(const TExpr& e)
{
    switch (e.Clase) {
    case TClaseExpr::Binario:
        return precedencia(e.Op);
    case TClaseExpr::Unario:
        return e.Op == TOperadorJet::No ? 4 : 11; // the minus sign binds tighter than * and /
    case TClaseExpr::Entre:
    case TClaseExpr::EnLista:
    case TClaseExpr::EnConsulta:
    case TClaseExpr::EsNulo:
    case TClaseExpr::Como:
        return 5;
    case TClaseExpr::Literal:
    case TClaseExpr::Columna:
    case TClaseExpr::Funcion:
    case TClaseExpr::Existe:
    case TClaseExpr::Subconsulta:
        return 100;
    }
    Q_UNREACHABLE();
    return 100;
}

QString hijo(const TExpr& e, int nMinimo)
{
    const QString s = e.Texto();
    if (!e.bParentesis && precedencia(e) < nMinimo)
        return QLatin1Char('(') + s + QLatin1Char(')');
    return s;
}

QString cadenaJet(const QString& s)
{
    QString r = s;
    r.replace(QLatin1String("'"), QLatin1String("''"));
    return QLatin1Char('\'') + r + QLatin1Char('\'');
}

} // namespace

QString TExpr::Texto() const
{
    QString s;
    switch (Clase) {
    case TClaseExpr::Literal:
        switch (Literal) {
        case TClaseLiteral::Nulo:
            s = QStringLiteral("NULL");
            break;
        case TClaseLiteral::Verdadero:
            s = QStringLiteral("True");
            break;
        case TClaseLiteral::Falso:
            s = QStringLiteral("False");
            break;
        case TClaseLiteral::Numero:
            s = sValor;
            break;
        case TClaseLiteral::Cadena:
            s = cadenaJet(sValor);
            break;
        case TClaseLiteral::Fecha:
            s = QLatin1Char('#') + sValor + QLatin1Char('#');
            break;
        }
        break;
    case TClaseExpr::Columna:
        s = sTabla.isEmpty() ? NombreJet(sNombre) : NombreJet(sTabla) + QLatin1Char('.') + NombreJet(sNombre);
        break;
    case TClaseExpr::Unario:
        if (Op == TOperadorJet::No)
            s = QStringLiteral("NOT ") + hijo(*Hijos[0], 5);
        else
            s = TextoOperador(Op) + hijo(*Hijos[0], 11);
        break;
    case TClaseExpr::Binario: {
        const int p = precedencia(*this);
        s = hijo(*Hijos[0], p);
        for (size_t i = 1; i < Hijos.size(); ++i)
            s += QLatin1Char(' ') + TextoOperador(OpPaso(i)) + QLatin1Char(' ') + hijo(*Hijos[i], p + 1);
        break;
    }
    case TClaseExpr::Funcion: {
        s = sNombre.toUpper() + QLatin1Char('(');
        if (bEstrella)
            s += QLatin1Char('*');
        for (size_t i = 0; i < Hijos.size(); ++i) {
            if (i)
                s += QStringLiteral(", ");
            s += Hijos[i]->Texto();
        }
        s += QLatin1Char(')');
        break;
    }
    case TClaseExpr::Entre:
        s = hijo(*Hijos[0], 6) + (bNegado ? QStringLiteral(" NOT BETWEEN ") : QStringLiteral(" BETWEEN ")) +
            hijo(*Hijos[1], 6) + QStringLiteral(" AND ") + hijo(*Hijos[2], 6);
        break;
    case TClaseExpr::EnLista: {
        s = hijo(*Hijos[0], 6) + (bNegado ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN ("));
        for (size_t i = 1; i < Hijos.size(); ++i) {
            if (i > 1)
                s += QStringLiteral(", ");
            s += Hijos[i]->Texto();
        }
        s += QLatin1Char(')');
        break;
    }
    case TClaseExpr::EnConsulta:
        s = hijo(*Hijos[0], 6) + (bNegado ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) +
            Consulta->Texto() + QLatin1Char(')');
        break;
    case TClaseExpr::Existe:
        s = QStringLiteral("EXISTS (") + Consulta->Texto() + QLatin1Char(')');
        break;
    case TClaseExpr::Subconsulta:
        s = QLatin1Char('(') + Consulta->Texto() + QLatin1Char(')');
        break;
    case TClaseExpr::EsNulo:
        s = hijo(*Hijos[0], 6) + (bNegado ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        break;
    case TClaseExpr::Como:
        s = hijo(*Hijos[0], 6) + (bNegado ? QStringLiteral(" NOT LIKE ") : QStringLiteral(" LIKE ")) +
            hijo(*Hijos[1], 6);
        break;
    }
    if (bParentesis && Clase != TClaseExpr::Subconsulta)
        return QLatin1Char('(') + s + QLatin1Char(')');
    return s;
}

QString TElementoSelect::Texto() const
{
    if (bEstrella)
        return sTablaEstrella.isEmpty() ? QStringLiteral("*")
                                        : NombreJet(sTablaEstrella) + QStringLiteral(".*");
    QString s = Expr->Texto();
    if (!sAlias.isEmpty())
        s += QStringLiteral(" AS ") + NombreJet(sAlias);
    return s;
}

QString TFuenteFrom::Texto() const
{
    QString s;
    switch (Clase) {
    case TClase::Tabla:
        s = NombreJet(sTabla);
        if (!sAlias.isEmpty())
            s += QStringLiteral(" AS ") + NombreJet(sAlias);
        return s;
    case TClase::Derivada:
        s = QLatin1Char('(') + Consulta->Texto() + QLatin1Char(')');
        if (!sAlias.isEmpty())
            s += QStringLiteral(" AS ") + NombreJet(sAlias);
        return s;
    case TClase::Join: {
        const char* tipo = Join == TClaseJoin::Interna     ? " INNER JOIN "
                           : Join == TClaseJoin::Izquierda ? " LEFT JOIN "
                                                           : " RIGHT JOIN ";
        s = Izquierda->Texto() + QLatin1String(tipo) + Derecha->Texto() + QStringLiteral(" ON ") +
            On->Texto();
        if (bParentesis)
            s = QLatin1Char('(') + s + QLatin1Char(')');
        return s;
    }
    }
    return s;
}

QString TOrden::Texto() const
{
    return Expr->Texto() + (bDesc ? QStringLiteral(" DESC") : QString());
}

QString TNucleoSelect::Texto() const
{
    QString s = QStringLiteral("SELECT ");
    if (Predicado == TPredicado::Distinct)
        s += QStringLiteral("DISTINCT ");
    else if (Predicado == TPredicado::DistinctRow)
        s += QStringLiteral("DISTINCTROW ");
    if (bTop)
        s += QStringLiteral("TOP ") + sTop + (bPorCiento ? QStringLiteral(" PERCENT ") : QStringLiteral(" "));
    for (size_t i = 0; i < Elementos.size(); ++i) {
        if (i)
            s += QStringLiteral(", ");
        s += Elementos[i].Texto();
    }
    if (!From.empty()) {
        s += QStringLiteral(" FROM ");
        for (size_t i = 0; i < From.size(); ++i) {
            if (i)
                s += QStringLiteral(", ");
            s += From[i]->Texto();
        }
    }
    if (Where)
        s += QStringLiteral(" WHERE ") + Where->Texto();
    if (!GroupBy.empty()) {
        s += QStringLiteral(" GROUP BY ");
        for (size_t i = 0; i < GroupBy.size(); ++i) {
            if (i)
                s += QStringLiteral(", ");
            s += GroupBy[i]->Texto();
        }
    }
    if (Having)
        s += QStringLiteral(" HAVING ") + Having->Texto();
    return s;
}

QString TConsultaJet::Texto() const
{
    QString s;
    for (size_t i = 0; i < Nucleos.size(); ++i) {
        if (i)
            s += UnionTodos[i - 1] ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
        s += Nucleos[i]->Texto();
    }
    if (!OrderBy.empty()) {
        s += QStringLiteral(" ORDER BY ");
        for (size_t i = 0; i < OrderBy.size(); ++i) {
            if (i)
                s += QStringLiteral(", ");
            s += OrderBy[i].Texto();
        }
    }
    return s;
}
