#pragma once

#include "questionnaire/Detalle.h"

#include <QList>
#include <QString>

#include <cstdint>

// What a variable of the 2019 questionnaire's report is, in one place: which builder answers it
// and with which codes (or that it is answered by hand), what the rows behind its figure are and
// how they make it, how the answers of several branches combine into one, and a few words that
// describe it. The answer map, the detail statements, the consolidation and the tests all read it.

// The builder of an answer (questionnaire/RepCuestQRTZBasic.h).
enum class TConstructorPregunta
{
    AMano,              // no query: the exchange house answers it
    TopActividades,     // the ten activities with most clients since 1999
    TopEstados,         // the ten states with most clients since 1999
    AlertasRegistradas, // unusual and worrying records and internal messages
    AlertasReportadas,  // the unusual and worrying records marked as reported
    ConteoClientes,     // clients of a category (nCodigo1), nationality (nCodigo2), without PEPs
    ConteoRiesgo,       // clients of a risk level (nCodigo1)
    Operaciones,        // grouped operations of 42 (purchases) or 43 (sales): currency nCodigo1,
                        // cash nCodigo2; the measure says count, amount or quantity
    ResumenEstado,      // one line: the branch's state, its operations and amount
    ResumenSucursal     // one line: the branch's operations and amount
};

// How the answers of several branches make the consolidated one.
enum class TCombinaPregunta
{
    Ninguna,          // answered by hand: the first branch's (empty) answer
    Suma,             // counts added up
    SumaMonto,        // amounts added up, each already rounded to 2 decimals
    AlgunaSi,         // "SI" when any branch says "SI"
    ListaRecalculada, // the ten values held by most client rows of all branches together
    LineaPorSucursal  // one line per branch (ordered by TPreguntaCatalogo::Orden)
};

// Order of the branch lines of a LineaPorSucursal answer.
enum class TOrdenLineas
{
    Dado,        // as the branches were given
    Operaciones, // most operations first
    Monto        // largest amount first
};

struct TPreguntaCatalogo
{
    int nPregunta = 0;
    int nInciso = 0; // 1 to 6 for the sub-items of 42 and 43
    TConstructorPregunta Constructor = TConstructorPregunta::AMano;
    std::uint8_t nCodigo1 = 0;
    std::uint8_t nCodigo2 = 0;
    bool bSinPEP = false;
    TClaseDetalle Clase = TClaseDetalle::Clientes;
    TMedidaDetalle Medida = TMedidaDetalle::Conteo;
    QString sColumnaLista; // Lista only: the column whose values are counted
    TCombinaPregunta Combina = TCombinaPregunta::Ninguna;
    TOrdenLineas Orden = TOrdenLineas::Dado;
    QString sDescripcion;

    // "preg_32", "preg_42_2".
    QString Variable() const;
    bool ConDetalle() const { return Constructor != TConstructorPregunta::AMano; }
};

// Every answer variable, in the order the driver sets them (1 to 47, the sub-items of 42 and 43
// in place of their question).
const QList<TPreguntaCatalogo>& CatalogoPreguntas();
// The row of a question or sub-item; nothing for one outside the questionnaire.
const TPreguntaCatalogo* BuscaPregunta(int nPregunta, int nInciso = 0);
const TPreguntaCatalogo* BuscaVariable(const QString& sVariable);
