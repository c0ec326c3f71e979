#pragma once

#include "questionnaire/Detalle.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// One report for several branches: the answers of each branch's run, combined as the report's
// own filling notes tell a house with branches to combine them by hand.

using TVariables = QList<QPair<QString, QString>>; // report variables in the order they were set

// One branch's run: its answers and the rows of its details.
struct TSucursalCuestionario
{
    QString sNombre;  // how the report names it: "Sucursal 2 (carpeta)"
    QString sCarpeta; // its host folder
    TVariables Variables;
    QList<TDetalle> Detalles;
    QList<TTablaDetalle> Tablas;

    QString Valor(const QString& sVariable) const;
};

struct TConsolidado
{
    TVariables Variables; // the combined answers, in the order of the first branch's run
    QStringList Notas;    // the notes on how they were combined, each between asterisks
    QStringList Columnas; // of the per-branch table: question, description, one per branch, total
    QList<QVariantList> Filas;
    QList<TDetalle> Detalles; // the union of the branches' detail rows, with the branch first
    QList<TTablaDetalle> Tablas;

    QString Valor(const QString& sVariable) const;
};

// Combines the branches (at least one, all with the same details, in the same order):
// - the company's name and key come from the first branch; the others are named in a note;
// - counts (22, 23, 31 to 39, the counts of 42 and 43) and amounts (the amounts of 42 and 43,
//   each branch's already rounded to 2 decimals) are summed;
// - 30 is "SI" when any branch says "SI";
// - 9 and 10 are recomputed over the union of the branches' rows (each branch's clients count
//   in each branch: client keys belong to each branch's database);
// - 44 and 45 list one line per branch, ordered by operations (44) and by amount (45); 46
//   lists one line per branch in the order given;
// - the answers answered by hand stay as the first branch gives them (empty).
TConsolidado ConsolidaSucursales(const QList<TSucursalCuestionario>& Sucursales);

// The extra page of the consolidated report: the per-branch table and the notes, as rich text
// for a page of the report template (its title block carries [NombreCC]).
QString HtmlPaginaSucursales(const TConsolidado& C);
