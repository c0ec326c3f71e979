#pragma once

#include "db/componentes/ValorBD.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Rows of a statement that returns rows, fully read.
struct TResultadoBD
{
    QStringList Columnas;
    std::vector<std::vector<TValorBD>> Filas;
};

// Share mode asked of a provider when it opens.
enum class TModoCompartir
{
    Desconocido,
    Exclusivo,
    DenegarNinguno
};

// Parsed connection string: keys are case-insensitive, values kept as written.
class TCadenaConexion
{
public:
    explicit TCadenaConexion(const QString& sCadena);
    QString Valor(const QString& sClave) const; // "" when absent
    bool Tiene(const QString& sClave) const;
    const QString& Texto() const { return F_sTexto; }

private:
    QString F_sTexto;
    QMap<QString, QString> F_Valores; // key lower-cased
};

// An open connection of a provider. Failures throw TErrorBD.
class ISesionBD
{
public:
    virtual ~ISesionBD() = default;
    virtual TResultadoBD Consulta(const QString& sSQL) = 0; // statement that returns rows
    virtual void Ejecuta(const QString& sSQL) = 0;          // statement that returns none
    // The rows of a statement handed over a part at a time, so that no more than a part is held:
    // Recibe gets each part (the columns always set) and returns false to stop reading. While it
    // runs, the session refuses other statements. Sessions that read everything at once give
    // one part.
    virtual void ConsultaPorPartes(const QString& sSQL,
                                   const std::function<bool(const TResultadoBD&)>& Recibe)
    {
        Recibe(Consulta(sSQL));
    }

    // A step of work (one press of a button) must read one and the same database. From
    // IniciaPaso to TerminaPaso, a session that would have to read its data anew because the
    // database changed (its file was replaced or rewritten) fails the statement instead, and
    // CompruebaPaso fails when the database is no longer the one IniciaPaso found. Sessions that
    // cannot tell accept everything.
    virtual void IniciaPaso() {}
    virtual void CompruebaPaso() {}
    virtual void TerminaPaso() {}
    // Long work of the session (loading a table, a long statement) calls Aviso now and then,
    // about every IntervaloAvisoMs, on the thread that asked for the statement, so that a window
    // can serve its events meanwhile (the work itself may run on another thread, so that not
    // even one long step of the engine holds the window). Aviso returning false stops the statement: it fails
    // with TErrorBD of kind ClaseErrorCancelado. While Aviso runs, the session refuses statements (they fail
    // with TErrorBD). Sessions without long work never call it.
    virtual void SetAviso(std::function<bool()> Aviso) { (void)Aviso; }
    // Starts reading, in the background, what the statements given will need (their tables), so
    // that they find it ready when they are asked for later; meanwhile the caller goes on. Any
    // other call waits for that reading to end, calling Aviso as during long work. Nothing read
    // from a database that changes meanwhile is used. It never fails: what could not be read
    // ahead is read by the statement that needs it, which reports the error. Sessions that read
    // nothing ahead ignore it.
    virtual void PrecargaTablas(const QStringList& Consultas) { (void)Consultas; }
};

inline constexpr int IntervaloAvisoMs = 50;
inline const QString ClaseErrorCancelado = QStringLiteral("ECancelado");
inline const QString MensajeCancelado = QStringLiteral("Proceso cancelado.");

// A database provider, chosen by the connection string's "Provider=".
class IProveedorBD
{
public:
    virtual ~IProveedorBD() = default;
    // Opens a session; throws TErrorBD with a clear message on failure.
    virtual std::unique_ptr<ISesionBD> Abre(const TCadenaConexion& Cadena, TModoCompartir Modo) = 0;
};
