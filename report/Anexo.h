#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class TObjTextoRico;
class TReporte;

// Pages added after the questionnaire's eleven: titled tables and notes, laid out page after
// page as their height needs (the annex of a consolidated report). Nothing is cut: a table too
// long for a page goes on in the next with its header again, and one too wide is split into
// groups of columns that repeat its first ones.

struct TTablaAnexo
{
    QString sTitulo;
    QStringList Columnas;
    QList<QStringList> Filas;
    int nColumnasFijas = 1;      // first columns: left-aligned, repeated in every group of columns
    bool bUltimaNegrita = false; // the last column (a total) in bold
};

struct TAnexo
{
    QString sTitulo;
    QList<TTablaAnexo> Tablas;
    QStringList Notas;
    int nColumnasPorGrupo = 7; // at most this many columns beside the fixed ones in one table
};

// Appends the annex's pages to Rep, a report built from the questionnaire template (each page
// with the geometry and style of its last page and the title block of the questionnaire), and
// numbers every page's footer "Página n de N". Returns the number of pages added.
int AgregaAnexo(TReporte& Rep, const TObjTextoRico& Texto, const TAnexo& Anexo);

// In a consolidated report, the template's notes that tell the house to add the figures of its
// other branches say instead that the figures already are the sum of the nSucursales branches
// and how they were combined. Returns how many notes were replaced.
int CambiaNotasConsolidado(TReporte& Rep, int nSucursales);
