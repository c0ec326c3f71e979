#pragma once

#include "corrida/Sucursal.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QVariant>

// One report for several branches of one exchange house: what is kept of each branch once its
// run is done (its answers and the few counts the combination needs, never its rows), and how
// the question catalogue says the answers combine.

struct TResultadoSucursal
{
    int nNumero = 0;  // from 1, in the order given
    QString sNombre;  // how the report names it: "Sucursal 2 (carpeta)"
    QString sCarpeta; // its host folder, as given
    QString sRutaBD;
    TEmpresa Empresa;
    QDateTime FechaBD; // the database file's last change
    TVariables Variables;
    QList<TPEPCandidato> PEPs;
    QList<QPair<QString, double>> Tiempos;
    double dTotalMs = 0;
    // The values counted by the top-ten answers (9, 10): upper-cased value -> client rows.
    QHash<QString, QMap<QString, qint64>> Listas;
    // The keys of the clients with operations in the period (not the public-general client).
    QSet<QString> Claves;

    QString Valor(const QString& sVariable) const;
};

// A line of 44 and 45: a state and the operations and amount of the branches in it.
struct TLineaEstado
{
    QString sEstado;
    qint64 nOperaciones = 0;
    double dMonto = 0;
    QStringList Sucursales;
};

struct TConsolidado
{
    TVariables Variables; // the combined answers, in the catalogue's order
    QStringList Notas;    // how they were combined, each between asterisks
    // The per-branch table: question, description, one column per branch, total.
    QStringList Columnas;
    QList<QVariantList> Filas;
    QList<TLineaEstado> Estados; // every state, most operations first
    QList<TResultadoSucursal> Sucursales;
    bool bDistintasEmpresas = false;

    QString Valor(const QString& sVariable) const;
};

// Combines the branches (at least one), each answer as the question catalogue says:
// - counts and amounts (each branch's already rounded to 2 decimals) are summed; 30 is "SI"
//   when any branch says "SI";
// - 9 and 10 are the ten values held by most client rows of all branches together (each
//   branch's clients count in each branch: client keys belong to each branch's database);
// - 44 and 45 list the five states with most operations (44) or amount (45), each the sum of the
//   branches in it; 46 gives the operations and amount of all branches together;
// - the company's name and key are the first branch's; the answers given by hand stay empty.
TConsolidado ConsolidaSucursales(const QList<TResultadoSucursal>& Sucursales);

// Jet's STR of a number: a blank before a number that is not negative.
QString TextoStr(double d);
