#pragma once

#include "corrida/Consolidacion.h"

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

// The answers of a run as one JSON document, for scripts and for comparing runs: the keys are
// fixed and objects list theirs in alphabetical order, so two runs differ only where their
// answers (or timings) do.

struct TCorridaJson
{
    QString sCarpeta;
    TVariables Variables;
    QList<TPEPCandidato> PEPs;
    QList<QPair<QString, double>> Tiempos; // milliseconds per variable
    double dTotalMs = 0;
};

// {"carpeta", "variables": {nombre: valor}, "orden": [nombres], "peps": [{"clave", "nombre",
// "marcado"}], "tiempos_ms": {nombre: ms}, "total_ms"}
QJsonObject ObjetoCorrida(const TCorridaJson& Corrida);

// A consolidated run: {"sucursales": [corridas], "variables", "orden", "notas", "tabla":
// {"columnas", "filas"}}.
QJsonObject ObjetoConsolidado(const QList<TCorridaJson>& Sucursales, const TConsolidado& C);

// The document as indented UTF-8 text.
QByteArray TextoJson(const QJsonObject& o);
