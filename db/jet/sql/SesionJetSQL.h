#pragma once

#include "db/componentes/ProveedorBD.h"
#include "db/componentes/ValorBD.h"
#include "db/jet/sql/EmisorSQLite.h"
#include "db/jet/sql/SemanticaJet.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QThread;
struct sqlite3;
struct sqlite3_stmt;
class TSesionJetSQL;

// Receives the rows of one table while it is loaded: one call per column value, in column
// order, then FinFila(). Values are converted to the column's type as the session holds it
// (Yes/No -1/0, Currency in ten-thousandths, Date/Time as the Jet day number).
class TCargaTablaJet
{
public:
    void Nulo();
    void Entero(int64_t n);
    void Doble(double d);
    void Moneda(int64_t nDiezmilesimos);
    void Texto(const QString& s);
    void Binario(const QByteArray& b);
    void Valor(const TValorBD& v);
    void FinFila();

    int64_t Filas() const { return F_nFilas; }

private:
    friend class TSesionJetSQL;
    TCargaTablaJet(sqlite3_stmt* pInsercion, const TEsquemaTablaJet& Esquema, TSesionJetSQL* pSesion);
    TTipoJet TipoActual() const;

    sqlite3_stmt* F_pInsercion;
    const TEsquemaTablaJet& F_Esquema;
    TSesionJetSQL* F_pSesion;
    int F_nColumna = 0;
    int64_t F_nFilas = 0;
};

// Where the session's tables come from: their definitions and their rows (the Jet provider
// reads them from the .mdb file; the SQL test runner from the setup of a test file).
class IOrigenTablasJet : public ICatalogoJet
{
public:
    virtual void LeeFilas(const TEsquemaTablaJet& Esquema, TCargaTablaJet& Carga) = 0;
};

// An in-memory SQLite database that answers Jet SQL: each statement is parsed, checked and
// translated (SintaxisJet, SemanticaJet, EmisorSQLite), the tables it names are loaded the
// first time, and the rows come back typed as Jet types them. Identical derived tables are
// computed once into temporary tables and kept for later statements until the tables are
// loaded again. Errors are TErrorJet.
class TSesionJetSQL
{
public:
    explicit TSesionJetSQL(IOrigenTablasJet& Origen, QChar cSeparadorDecimal = QLatin1Char('.'));
    ~TSesionJetSQL();
    TSesionJetSQL(const TSesionJetSQL&) = delete;
    TSesionJetSQL& operator=(const TSesionJetSQL&) = delete;

    TResultadoBD Consulta(const QString& sJet);
    // The rows of sJet a part of at most FilasPorParte rows at a time (ISesionBD::ConsultaPorPartes);
    // Recibe runs on the calling thread, between the parts, and the session refuses statements
    // meanwhile.
    void ConsultaPorPartes(const QString& sJet, const std::function<bool(const TResultadoBD&)>& Recibe);
    static constexpr int FilasPorParte = 4096;
    // A statement run for its effect: SELECT runs and its rows are dropped; anything that
    // would write is refused (the database is read-only).
    void Ejecuta(const QString& sJet);
    // SQLite script of a statement, without running it (table definitions are read, rows not).
    QString Traduce(const QString& sJet);
    // SQLite's plan for a statement of SQLite text on the tables as they are now (EXPLAIN QUERY
    // PLAN): one line per step, indented two blanks for each level below the top.
    QStringList Plan(const QString& sSql);

    // Forgets every loaded table (the file changed): the next statements load them again. A
    // preload under way is stopped first.
    void OlvidaTablas();
    QStringList TablasCargadas();

    // Loads the tables the statements name on a thread of its own, one after another, then
    // computes the derived tables they keep, while the caller goes on (the user is still
    // choosing what to ask). Every other call of the session first waits for it to end, serving
    // the hook meanwhile as Trabaja does; a table or derived table whose computation did not end
    // (stopped, or failed) is not kept, and the statement that needs it computes it again (and
    // reports the error then). Statements that do not translate are left out.
    void Precarga(const QStringList& Consultas);
    // Stops the preload at its next progress check and waits for its thread (the session is
    // going away, or what it reads is no longer the file).
    void ParaPrecarga();
    // Waits for the preload to end; false when the hook asked to stop meanwhile (the preload is
    // then stopped). True at once when none runs.
    bool EsperaPrecarga();
    bool Precargando() const { return F_HiloPrecarga != nullptr; }
    // Whether derived tables are kept in temporary tables (on by default).
    void SetMaterializa(bool b);
    // Whether a DISTINCT that reads one side of a join runs as a semi-join (on by default).
    void SetSemirreuniones(bool b);
    // Called with each SQLite statement run and its time in milliseconds (for benchmarks).
    void SetTraza(std::function<void(const QString&, qint64)> Traza)
    {
        EsperaPrecarga();
        F_Traza = std::move(Traza);
    }
    // Called about every IntervaloAvisoMs while a table loads or a statement runs (see
    // ISesionBD::SetAviso); false stops the work with TErrorBD of kind ClaseErrorCancelado.
    void SetAviso(std::function<bool()> Aviso);
    // Throws TErrorJet while the hook runs: the session is in the middle of a statement.
    void RevisaOcupada() const;

    sqlite3* Bd() const { return F_Bd.get(); }

private:
    friend class TCargaTablaJet;
    // Owning handles: the connection closes and a statement is finalized on every way out.
    struct TCierraBd
    {
        void operator()(sqlite3* pBd) const;
    };
    struct TFinalizaSentencia
    {
        void operator()(sqlite3_stmt* pSentencia) const;
    };
    using TBdSqlite = std::unique_ptr<sqlite3, TCierraBd>;
    using TSentenciaSqlite = std::unique_ptr<sqlite3_stmt, TFinalizaSentencia>;

    struct TCatalogo : ICatalogoJet
    {
        TSesionJetSQL* pSesion;
        bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override;
    };
    struct TCacheada
    {
        TTraduccionSql Traduccion;
        QStringList Tablas;
    };

    TCacheada Traduccion(const QString& sJet, bool bConExistentes);
    const TCacheada& Prepara(const QString& sJet);
    void CargaTabla(const QString& sNombre);
    void CreaMaterializacion(const TMaterializacionSql& m);
    // Drops the least recently used derived tables that Traduccion does not need, while the
    // kept ones are more than MaxMaterializadas tables or MaxFilasMaterializadas rows.
    void DesalojaMaterializadas(const TTraduccionSql& Traduccion);
    // Drops a table, ignoring errors (cleaning up after a failure or evicting).
    void BorraTabla(const QString& sEsquema, const QString& sTabla);
    TSentenciaSqlite PreparaSql(const QByteArray& sSql);
    // The next rows of a prepared statement, at most nMaximo (every row when 0), typed by the
    // result columns, into r; true once the statement has no more rows.
    bool LeeFilas(sqlite3_stmt* pSentencia, const std::vector<TColumnaSalida>& Columnas, TResultadoBD& r,
                  int64_t nMaximo = 0);
    // Loads the tables the statement needs and its derived tables.
    void PreparaDatos(const TCacheada& c);
    void EjecutaSql(const QString& sSql);
    [[noreturn]] void ErrorSqlite(int nCodigo);
    // Calls the hook when its interval has passed; false when it asked to stop. On the worker
    // thread of Trabaja it only reads the stop request, and on the preload's thread the preload's.
    bool Avisa();
    // Calls the hook (an exception from it counts as a stop) and starts its interval again.
    bool LlamaAviso();
    // Milliseconds until the hook is due (0 when it is).
    qint64 HastaElAviso() const;
    // The preload's work, on its thread.
    void CargaPrecarga(const QStringList& Consultas);
    // Runs the long part of a statement (loading tables, running SQLite). With a hook it runs
    // on a worker thread while this thread calls the hook every IntervaloAvisoMs, so that a
    // window serves its events even while SQLite sorts inside one step; a false from the hook
    // stops the work at its next progress check. Without a hook it runs here. The worker's
    // exceptions are thrown here.
    void Trabaja(const std::function<void()>& Trabajo);
    void SiCancelada();

    IOrigenTablasJet& F_Origen;
    TBdSqlite F_Bd;
    TCatalogo F_Catalogo;
    bool F_bMaterializa = true;
    bool F_bSemirreuniones = true;
    QHash<QString, TEsquemaTablaJet> F_Esquemas;   // lower-case name -> definition
    QHash<QString, bool> F_Cargadas;               // lower-case name
    QHash<QString, TCacheada> F_Traducciones;      // Jet text -> translation
    QHash<QString, int64_t> F_Materializadas;      // temporary table -> last use
    QHash<QString, int64_t> F_FilasMaterializadas; // temporary table -> rows
    int64_t F_nUso = 0;
    std::function<void(const QString&, qint64)> F_Traza;
    std::function<bool()> F_Aviso;
    QElapsedTimer F_RelojAviso;
    bool F_bEnAviso = false;           // the hook is running: statements are refused
    bool F_bEnPartes = false;          // ConsultaPorPartes hands out rows: statements are refused
    bool F_bCancelada = false;         // the hook asked to stop the running statement
    bool F_bEnHilo = false;            // Trabaja's worker thread runs the work
    std::atomic<bool> F_bParar{false}; // the hook asked the worker thread to stop

    // The preload's thread, until it is joined, and its stop request.
    std::unique_ptr<QThread> F_HiloPrecarga;
    std::atomic<bool> F_bPararPrecarga{false};
};
