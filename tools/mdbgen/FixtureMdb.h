#pragma once

#include "tools/mdbgen/EscritorMdb.h"

#include <QByteArray>
#include <QString>

#include <memory>

// JSON fixture → .mdb. The format is described in tools/mdbgen/README.md.

// Builds a writer holding the fixture's tables and rows; null (and *psError set) on bad input.
std::unique_ptr<TEscritorMdb> CreaEscritorDeFixture(const QByteArray& Json, QString* psError = nullptr);

// Reads the fixture file sJson and writes the database sMdb.
bool EscribeFixtureMdb(const QString& sJson, const QString& sMdb, QString* psError = nullptr);

// Column type from its fixture name ("Texto", "EnteroLargo", "Currency", ...); false when unknown.
bool TipoColumnaDeNombre(const QString& sNombre, TTipoColumnaMdb& Tipo);
