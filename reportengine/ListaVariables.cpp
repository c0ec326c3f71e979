#include "reportengine/ListaVariables.h"

namespace {
// A variable may name another variable; this bounds chains and cycles.
constexpr int nNivelMaximo = 16;
} // namespace

void TListaVariables::AgregaCategoria(const QString& sCategoria)
{
    F_Elementos.push_back({QLatin1Char(' ') + sCategoria, std::nullopt});
}

void TListaVariables::Declara(const QString& sNombre, const std::optional<QString>& Valor)
{
    F_Elementos.push_back({sNombre, Valor});
}

int TListaVariables::IndiceDe(const QString& sNombre) const
{
    for (size_t i = 0; i < F_Elementos.size(); ++i)
        if (F_Elementos[i].sNombre.compare(sNombre, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TListaVariables::AgregaVariable(const QString& sCategoria, const QString& sNombre,
                                     const std::optional<QString>& Valor)
{
    const int nCategoria = IndiceDe(QLatin1Char(' ') + sCategoria);
    if (nCategoria < 0)
        return;
    if (const int nExiste = IndiceDe(sNombre); nExiste >= 0) {
        F_Elementos[size_t(nExiste)].Valor = Valor;
        return;
    }
    size_t nFin = size_t(nCategoria) + 1;
    while (nFin < F_Elementos.size() && !EsCategoria(F_Elementos[nFin].sNombre))
        ++nFin;
    F_Elementos.insert(F_Elementos.begin() + std::ptrdiff_t(nFin), TVariable{sNombre, Valor});
}

QString TListaVariables::Lee(const QString& sNombre, const TContextoEvaluacion& Ctx) const
{
    return evalua(sNombre, Ctx, 0);
}

QString TListaVariables::Evalua(const QString& sExpresion, const TContextoEvaluacion& Ctx) const
{
    return evalua(sExpresion, Ctx, 0);
}

// A text holding CR LF is shown as it stands; any other text is read as an expression.
QString TListaVariables::leeValor(const std::optional<QString>& Valor, const TContextoEvaluacion& Ctx,
                                  int nNivel) const
{
    if (!Valor)
        return {};
    if (Valor->contains(QLatin1String("\r\n")))
        return *Valor;
    return evalua(*Valor, Ctx, nNivel + 1);
}

QString TListaVariables::evalua(const QString& sExpresion, const TContextoEvaluacion& Ctx, int nNivel) const
{
    if (nNivel > nNivelMaximo)
        return {};
    const QString s = sExpresion.trimmed();
    if (s.isEmpty())
        return {};
    if (s.startsWith(QLatin1Char('\''))) {
        // A text literal gives what stands between its outer apostrophes. Values arrive wrapped
        // without escaping, so a name such as O'BRIEN comes as 'O'BRIEN'; apostrophes inside are
        // therefore taken literally instead of being read as the end of the literal or as a
        // doubled-apostrophe escape, and the user sees the name as it was written. A literal
        // without its closing apostrophe shows everything after the opening one.
        if (s.size() >= 2 && s.endsWith(QLatin1Char('\'')))
            return s.mid(1, s.size() - 2);
        return s.mid(1);
    }
    if (s.compare(QLatin1String("Page#"), Qt::CaseInsensitive) == 0)
        return QString::number(Ctx.nPagina);
    if (s.compare(QLatin1String("TotalPages#"), Qt::CaseInsensitive) == 0)
        return QString::number(Ctx.nTotalPaginas);
    bool bNumero = false;
    s.toDouble(&bNumero);
    if (bNumero)
        return s;
    for (const TVariable& v : F_Elementos)
        if (!EsCategoria(v.sNombre) && v.sNombre.compare(s, Qt::CaseInsensitive) == 0)
            return leeValor(v.Valor, Ctx, nNivel);
    return {};
}
