#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A report variable: a name and a value that is either null or a text.
struct TVariable
{
    QString sNombre;
    std::optional<QString> Valor;
};

// What the expression reader needs besides the variables: the page being produced.
struct TContextoEvaluacion
{
    int nPagina = 0;
    int nTotalPaginas = 0;
};

// Ordered variable list of a report. An entry whose name begins with a blank is a category
// header (" Cuestionario"); the variables of a category are the entries after it up to the next
// category header. Names are compared without regard to letter case.
class TListaVariables
{
public:
    // Appends a category header for sCategoria (the blank is added here).
    void AgregaCategoria(const QString& sCategoria);
    // Appends a variable at the end of the list (template declarations).
    void Declara(const QString& sNombre, const std::optional<QString>& Valor = std::nullopt);

    // Sets a variable of a category: without that category nothing happens; an entry of that
    // name anywhere in the list gets the value; otherwise a new entry closes the category.
    void AgregaVariable(const QString& sCategoria, const QString& sNombre,
                        const std::optional<QString>& Valor);

    int Cuenta() const { return int(F_Elementos.size()); }
    const TVariable& Elemento(int i) const { return F_Elementos.at(size_t(i)); }
    // Index of the entry named sNombre (case ignored), category headers included; -1 if none.
    int IndiceDe(const QString& sNombre) const;
    static bool EsCategoria(const QString& sNombre) { return sNombre.startsWith(QLatin1Char(' ')); }

    // Value of variable sNombre as a report text shows it (see LeeValor); empty when unknown.
    QString Lee(const QString& sNombre, const TContextoEvaluacion& Ctx = {}) const;
    // Result of a report expression: a text literal, a number, a system variable or a variable name.
    QString Evalua(const QString& sExpresion, const TContextoEvaluacion& Ctx = {}) const;

private:
    QString leeValor(const std::optional<QString>& Valor, const TContextoEvaluacion& Ctx, int nNivel) const;
    QString evalua(const QString& sExpresion, const TContextoEvaluacion& Ctx, int nNivel) const;

    std::vector<TVariable> F_Elementos;
};
