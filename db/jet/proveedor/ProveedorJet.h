#pragma once

#include "db/componentes/ProveedorBD.h"

#include <QString>

#include <functional>

// The "Microsoft.Jet.OLEDB.4.0" provider: opens the Access file named by "Data Source" with
// our reader, read-only (the file is never written or locked), checks the database password
// of "Jet OLEDB:Database Password" against the file's (a file without password accepts any),
// and answers Jet SQL from an in-memory SQLite session. A table is loaded the first time a
// statement names it; when the file changes (size or time stamp) the loaded tables are read
// again before the next statement; PrecargaTablas loads the tables of statements to come on a
// thread of its own. Failures throw TErrorBD of kind "EErrorJet" with Jet's message in Spanish.
class TProveedorJet : public IProveedorBD
{
public:
    std::unique_ptr<ISesionBD> Abre(const TCadenaConexion& Cadena, TModoCompartir Modo) override;

    static inline const QString ClaseError = QStringLiteral("EErrorJet");
};

// The same session with what the tools and the benchmark look at.
class ISesionJet : public ISesionBD
{
public:
    // SQLite script of a statement (tables are read for their definitions only).
    virtual QString Traduce(const QString& sSQL) = 0;
    // SQLite's plan for a statement of SQLite text (TSesionJetSQL::Plan); the trace may ask for
    // it while the statement runs.
    virtual QStringList Plan(const QString& sSql) = 0;
    // Whether a DISTINCT that reads one side of a join runs as a semi-join (on by default).
    virtual void SetSemirreuniones(bool b) = 0;
    // Tables loaded so far, and how many times tables were loaded (reloads included); both wait
    // for a preload under way.
    virtual QStringList TablasCargadas() = 0;
    virtual int Cargas() = 0;
    // Receives each SQLite statement run and its time in milliseconds.
    virtual void SetTraza(std::function<void(const QString&, qint64)> Traza) = 0;
};

// Opens a Jet session over a file; throws TErrorBD as Abre does.
std::unique_ptr<ISesionJet> AbreSesionJet(const QString& sRuta, const QString& sContrasena);
