#include "db/jet/sql/SesionJetSQL.h"

#include "db/componentes/ErrorBD.h"
#include "db/jet/sql/ErrorJet.h"
#include "db/jet/sql/FuncionesJet.h"
#include "db/jet/sql/SintaxisJet.h"

#include <sqlite3.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

// Derived tables kept between statements: at most this many tables and rows (the least
// recently used go first). Pages of dropped tables are reused by the next ones.
constexpr int MaxMaterializadas = 96;
constexpr int64_t MaxFilasMaterializadas = 6000000;
// Translations kept by statement text.
constexpr int MaxTraducciones = 512;
// Virtual machine steps between two looks at the clock of the progress hook, and rows loaded.
constexpr int PasosEntreAvisos = 2000;
// Stack of the worker thread that runs statements: as much as the programs' main thread has.
constexpr uint PilaHiloTrabajo = 8 * 1024 * 1024;
constexpr int64_t FilasEntreAvisos = 256;
// SQLite's optimization mask bit of the Bloom filter (SQLITE_BloomFilter in its sources), for
// SQLITE_TESTCTRL_OPTIMIZATIONS, which turns off the optimizations whose bits it is given.
constexpr int SinFiltroBloom = 0x00080000;

} // namespace

// ---------------------------------------------------------------- loading

TCargaTablaJet::TCargaTablaJet(sqlite3_stmt* pInsercion, const TEsquemaTablaJet& Esquema,
                               TSesionJetSQL* pSesion)
    : F_pInsercion(pInsercion), F_Esquema(Esquema), F_pSesion(pSesion)
{
}

TTipoJet TCargaTablaJet::TipoActual() const
{
    return F_nColumna < int(F_Esquema.Columnas.size()) ? F_Esquema.Columnas[F_nColumna].Tipo
                                                       : TTipoJet::Variante;
}

void TCargaTablaJet::Nulo()
{
    sqlite3_bind_null(F_pInsercion, ++F_nColumna);
}

void TCargaTablaJet::Entero(int64_t n)
{
    switch (TipoActual()) {
    case TTipoJet::Booleano:
        n = n ? -1 : 0;
        break;
    case TTipoJet::Moneda:
        n *= 10000;
        break;
    case TTipoJet::Simple:
    case TTipoJet::Doble:
    case TTipoJet::Decimal:
    case TTipoJet::Fecha:
        sqlite3_bind_double(F_pInsercion, ++F_nColumna, double(n));
        return;
    default:
        break;
    }
    sqlite3_bind_int64(F_pInsercion, ++F_nColumna, n);
}

void TCargaTablaJet::Doble(double d)
{
    switch (TipoActual()) {
    case TTipoJet::Moneda:
        sqlite3_bind_int64(F_pInsercion, ++F_nColumna, std::llround(std::nearbyint(d * 10000.0)));
        return;
    case TTipoJet::Booleano:
        sqlite3_bind_int64(F_pInsercion, ++F_nColumna, d != 0 ? -1 : 0);
        return;
    default:
        sqlite3_bind_double(F_pInsercion, ++F_nColumna, d);
    }
}

void TCargaTablaJet::Moneda(int64_t n)
{
    if (TipoActual() == TTipoJet::Moneda)
        sqlite3_bind_int64(F_pInsercion, ++F_nColumna, n);
    else
        sqlite3_bind_double(F_pInsercion, ++F_nColumna, double(n) / 10000.0);
}

void TCargaTablaJet::Texto(const QString& s)
{
    const QByteArray b = s.toUtf8();
    sqlite3_bind_text(F_pInsercion, ++F_nColumna, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

void TCargaTablaJet::Binario(const QByteArray& b)
{
    sqlite3_bind_blob(F_pInsercion, ++F_nColumna, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

void TCargaTablaJet::Valor(const TValorBD& v)
{
    switch (v.Tipo()) {
    case TValorBD::TTipo::Nulo:
        return Nulo();
    case TValorBD::TTipo::Booleano:
    case TValorBD::TTipo::Entero:
        return Entero(v.EnteroCrudo());
    case TValorBD::TTipo::Moneda:
        return Moneda(v.EnteroCrudo());
    case TValorBD::TTipo::Doble:
    case TValorBD::TTipo::Fecha:
        return Doble(v.DobleCrudo());
    case TValorBD::TTipo::Texto:
        return Texto(v.TextoCrudo());
    case TValorBD::TTipo::Binario:
        return Binario(v.BinarioCrudo());
    }
}

void TCargaTablaJet::FinFila()
{
    while (F_nColumna < int(F_Esquema.Columnas.size()))
        sqlite3_bind_null(F_pInsercion, ++F_nColumna);
    const int rc = sqlite3_step(F_pInsercion);
    sqlite3_reset(F_pInsercion);
    F_nColumna = 0;
    if (rc != SQLITE_DONE) {
        if (F_pSesion)
            F_pSesion->SiCancelada();
        throw TErrorJet(QStringLiteral("No se pudo cargar la tabla '%1' en memoria.").arg(F_Esquema.sNombre));
    }
    ++F_nFilas;
    if (F_pSesion && F_nFilas % FilasEntreAvisos == 0 && !F_pSesion->Avisa())
        throw TErrorBD(ClaseErrorCancelado, MensajeCancelado);
}

// ---------------------------------------------------------------- session

TSesionJetSQL::TSesionJetSQL(IOrigenTablasJet& Origen, QChar cSeparadorDecimal) : F_Origen(Origen)
{
    // SQLite's memory statistics take a global lock on every allocation, and the engine
    // allocates for every row it sorts or indexes; nothing here reads them. This can be set only
    // before SQLite starts (later it is refused, harmlessly).
    static const int sinEstadisticas = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)sinEstadisticas;
    F_Catalogo.pSesion = this;
    sqlite3* pBd = nullptr;
    const int rc = sqlite3_open_v2(":memory:", &pBd,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    // SQLite hands out a handle also when opening fails; it is closed either way.
    F_Bd.reset(pBd);
    if (rc != SQLITE_OK)
        throw TErrorJet(QStringLiteral("No se pudo crear la base de datos en memoria."));
    // SQLite's Bloom filter in front of an automatic index hashes a text key by its length, as
    // if keys of different lengths could never compare equal; under the Jet collation 'A1' and
    // 'a1  ' are equal, and the filter would drop that pair from a join. The filter is off.
    sqlite3_test_control(SQLITE_TESTCTRL_OPTIMIZATIONS, F_Bd.get(), SinFiltroBloom);
    RegistraFuncionesJet(F_Bd.get(), cSeparadorDecimal);
    // Pages of 16 KB, for the loaded tables and the kept ones alike: every page held in memory
    // carries SQLite's own bookkeeping, and fewer, larger pages hold a million operations in
    // about 7 MB less than the default 4 KB ones.
    EjecutaSql(
        QStringLiteral("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA temp_store=MEMORY; "
                       "PRAGMA cache_size=-262144; PRAGMA page_size=16384; PRAGMA temp.page_size=16384;"));
}

TSesionJetSQL::~TSesionJetSQL()
{
    ParaPrecarga();
}

void TSesionJetSQL::TCierraBd::operator()(sqlite3* pBd) const
{
    sqlite3_close_v2(pBd);
}

void TSesionJetSQL::TFinalizaSentencia::operator()(sqlite3_stmt* pSentencia) const
{
    sqlite3_finalize(pSentencia);
}

TSesionJetSQL::TSentenciaSqlite TSesionJetSQL::PreparaSql(const QByteArray& sSql)
{
    sqlite3_stmt* p = nullptr;
    const int rc = sqlite3_prepare_v2(F_Bd.get(), sSql.constData(), int(sSql.size()), &p, nullptr);
    TSentenciaSqlite Sentencia(p);
    if (rc != SQLITE_OK)
        ErrorSqlite(sqlite3_errcode(F_Bd.get()));
    return Sentencia;
}

void TSesionJetSQL::BorraTabla(const QString& sEsquema, const QString& sTabla)
{
    sqlite3_exec(F_Bd.get(),
                 QStringLiteral("DROP TABLE IF EXISTS %1.%2")
                     .arg(sEsquema, TEmisorSQLite::Identificador(sTabla))
                     .toUtf8()
                     .constData(),
                 nullptr, nullptr, nullptr);
}

void TSesionJetSQL::SetAviso(std::function<bool()> Aviso)
{
    EsperaPrecarga();
    F_Aviso = std::move(Aviso);
    F_RelojAviso.start();
    sqlite3_progress_handler(
        F_Bd.get(), F_Aviso ? PasosEntreAvisos : 0,
        [](void* p) { return static_cast<TSesionJetSQL*>(p)->Avisa() ? 0 : 1; }, this);
}

bool TSesionJetSQL::Avisa()
{
    // The preload's thread only looks at its own stop: the hook belongs to the calling thread.
    if (F_HiloPrecarga && QThread::currentThread() == F_HiloPrecarga.get())
        return !F_bPararPrecarga.load(std::memory_order_relaxed);
    if (F_bEnHilo) {
        if (!F_bParar.load(std::memory_order_relaxed))
            return true;
        F_bCancelada = true;
        return false;
    }
    if (!F_Aviso || F_bEnAviso || F_RelojAviso.elapsed() < IntervaloAvisoMs)
        return true;
    // Called from inside SQLite: nothing may escape, and the hook may not run statements.
    F_bEnAviso = true;
    const bool seguir = LlamaAviso();
    F_bEnAviso = false;
    F_bCancelada = F_bCancelada || !seguir;
    return seguir;
}

bool TSesionJetSQL::LlamaAviso()
{
    bool seguir = false;
    try {
        seguir = F_Aviso();
    } catch (...) {
        seguir = false;
    }
    F_RelojAviso.start();
    return seguir;
}

qint64 TSesionJetSQL::HastaElAviso() const
{
    return std::max<qint64>(0, IntervaloAvisoMs - F_RelojAviso.elapsed());
}

void TSesionJetSQL::Trabaja(const std::function<void()>& Trabajo)
{
    if (!F_Aviso || F_bEnHilo) {
        Trabajo();
        return;
    }
    std::exception_ptr error;
    bool hecho = false;
    const std::unique_ptr<QThread> hilo(QThread::create([&Trabajo, &error, &hecho] {
        try {
            Trabajo();
        } catch (...) {
            error = std::current_exception();
        }
        hecho = true;
    }));
    hilo->setStackSize(PilaHiloTrabajo);
    // The hook is called whenever its interval has passed since its last call: before the work
    // starts too, so that a stop asked for then keeps the work from starting at all.
    const auto aviso = [this] {
        if (!LlamaAviso())
            F_bParar = true;
    };
    F_bParar = false;
    F_bEnHilo = true;
    // While the hook serves the window's events, statements asked for there are refused.
    F_bEnAviso = true;
    if (HastaElAviso() == 0)
        aviso();
    if (!F_bParar)
        hilo->start();
    while (!hilo->wait(QDeadlineTimer(HastaElAviso())))
        if (HastaElAviso() == 0)
            aviso();
    F_bEnHilo = false;
    F_bEnAviso = false;
    if (!hecho && !F_bParar) {
        // The system gave no thread: the work runs here, as without a hook.
        Trabajo();
        return;
    }
    if (error)
        std::rethrow_exception(error);
    // A stop asked for while the work was finishing still cancels the statement: the user who
    // confirmed the cancellation must not get a result as if nothing had been asked.
    if (F_bParar) {
        F_bCancelada = true;
        SiCancelada();
    }
}

void TSesionJetSQL::Precarga(const QStringList& Consultas)
{
    RevisaOcupada();
    ParaPrecarga();
    F_bPararPrecarga = false;
    F_HiloPrecarga.reset(QThread::create([this, Consultas] { CargaPrecarga(Consultas); }));
    F_HiloPrecarga->setStackSize(PilaHiloTrabajo);
    F_HiloPrecarga->start();
}

void TSesionJetSQL::CargaPrecarga(const QStringList& Consultas)
{
    // Nothing of it is reported: what fails here fails again, visibly, in the statement that
    // needs it. A table that failed is not tried again for the next statements.
    QSet<QString> Fallidas;
    std::vector<TCacheada> Preparadas;
    for (const QString& sJet : Consultas) {
        try {
            Preparadas.push_back(Prepara(sJet));
        } catch (...) {
            continue;
        }
        for (const QString& sTabla : Preparadas.back().Tablas) {
            if (F_bPararPrecarga)
                return;
            if (Fallidas.contains(sTabla.toLower()))
                continue;
            try {
                CargaTabla(sTabla);
            } catch (...) {
                Fallidas.insert(sTabla.toLower());
            }
        }
    }
    // Then the derived tables the statements keep, once every table is in: the report's
    // statements then find most of them done. One whose statement text differs later (other
    // choices of the user) is simply not found, and is computed when asked for.
    for (const TCacheada& c : Preparadas) {
        for (const auto& m : c.Traduccion.Materializaciones) {
            if (F_bPararPrecarga)
                return;
            try {
                CreaMaterializacion(m);
            } catch (...) {
                break;
            }
        }
        DesalojaMaterializadas(c.Traduccion);
    }
}

void TSesionJetSQL::ParaPrecarga()
{
    if (!F_HiloPrecarga)
        return;
    F_bPararPrecarga = true;
    F_HiloPrecarga->wait();
    F_HiloPrecarga.reset();
}

bool TSesionJetSQL::EsperaPrecarga()
{
    if (!F_HiloPrecarga)
        return true;
    bool bSigue = true;
    // Called from the hook itself (or without one) it simply waits: the preload ends on its own.
    // A call from the hook may also have joined the thread already.
    if (F_Aviso && !F_bEnAviso) {
        // While the hook serves the window's events, statements asked for there are refused.
        F_bEnAviso = true;
        while (F_HiloPrecarga && !F_HiloPrecarga->wait(QDeadlineTimer(HastaElAviso()))) {
            if (HastaElAviso() > 0)
                continue;
            if (!LlamaAviso()) {
                F_bPararPrecarga = true;
                bSigue = false;
            }
        }
        F_bEnAviso = false;
    }
    if (F_HiloPrecarga) {
        F_HiloPrecarga->wait();
        F_HiloPrecarga.reset();
    }
    return bSigue;
}

// A statement the hook interrupted fails as cancelled, not as an engine error.
void TSesionJetSQL::SiCancelada()
{
    if (!F_bCancelada)
        return;
    F_bCancelada = false;
    throw TErrorBD(ClaseErrorCancelado, MensajeCancelado);
}

void TSesionJetSQL::RevisaOcupada() const
{
    if (F_bEnAviso || F_bEnPartes)
        throw TErrorJet(QStringLiteral("La base de datos está ocupada con otro proceso; intente de nuevo al "
                                       "terminar."));
}

void TSesionJetSQL::SetMaterializa(bool b)
{
    EsperaPrecarga();
    F_bMaterializa = b;
    F_Traducciones.clear();
}

void TSesionJetSQL::SetSemirreuniones(bool b)
{
    EsperaPrecarga();
    F_bSemirreuniones = b;
    F_Traducciones.clear();
}

void TSesionJetSQL::EjecutaSql(const QString& sSql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(F_Bd.get(), sSql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString m = QString::fromUtf8(error);
        sqlite3_free(error);
        SiCancelada();
        if (m.startsWith(QLatin1String(PrefijoErrorJet)))
            throw TErrorJet(m.mid(int(qstrlen(PrefijoErrorJet))));
        throw TErrorJet::DeSqlite(sqlite3_extended_errcode(F_Bd.get()), m);
    }
}

void TSesionJetSQL::ErrorSqlite(int nCodigo)
{
    SiCancelada();
    const QString m = QString::fromUtf8(sqlite3_errmsg(F_Bd.get()));
    if (m.startsWith(QLatin1String(PrefijoErrorJet)))
        throw TErrorJet(m.mid(int(qstrlen(PrefijoErrorJet))));
    throw TErrorJet::DeSqlite(nCodigo, m);
}

bool TSesionJetSQL::TCatalogo::BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema)
{
    const QString clave = sNombre.toLower();
    auto it = pSesion->F_Esquemas.constFind(clave);
    if (it != pSesion->F_Esquemas.constEnd()) {
        Esquema = *it;
        return true;
    }
    if (!pSesion->F_Origen.BuscaTabla(sNombre, Esquema))
        return false;
    pSesion->F_Esquemas.insert(clave, Esquema);
    return true;
}

void TSesionJetSQL::CargaTabla(const QString& sNombre)
{
    const QString clave = sNombre.toLower();
    if (F_Cargadas.contains(clave))
        return;
    TEsquemaTablaJet esquema;
    if (!F_Catalogo.BuscaTabla(sNombre, esquema))
        throw TErrorJet::TablaNoEncontrada(sNombre, -1);
    QStringList cols, marcas;
    for (const auto& c : esquema.Columnas) {
        cols << TEmisorSQLite::DefinicionColumna(c.sNombre, c.Tipo);
        marcas << QStringLiteral("?");
    }
    const QString tabla = TEmisorSQLite::Identificador(esquema.sNombre);
    EjecutaSql(QStringLiteral("DROP TABLE IF EXISTS %1; CREATE TABLE %1 (%2);")
                   .arg(tabla, cols.join(QStringLiteral(", "))));
    TSentenciaSqlite insercion = PreparaSql(
        QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tabla, marcas.join(QStringLiteral(", "))).toUtf8());
    EjecutaSql(QStringLiteral("BEGIN"));
    try {
        TCargaTablaJet carga(insercion.get(), esquema, this);
        F_Origen.LeeFilas(esquema, carga);
        insercion.reset();
        EjecutaSql(QStringLiteral("COMMIT"));
    } catch (...) {
        insercion.reset();
        sqlite3_exec(F_Bd.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        BorraTabla(QStringLiteral("main"), esquema.sNombre);
        throw;
    }
    F_Cargadas.insert(clave, true);
}

QStringList TSesionJetSQL::TablasCargadas()
{
    EsperaPrecarga();
    QStringList r;
    for (auto it = F_Cargadas.constBegin(); it != F_Cargadas.constEnd(); ++it)
        r << F_Esquemas.value(it.key()).sNombre;
    r.sort(Qt::CaseInsensitive);
    return r;
}

void TSesionJetSQL::OlvidaTablas()
{
    ParaPrecarga();
    for (auto it = F_Materializadas.constBegin(); it != F_Materializadas.constEnd(); ++it)
        BorraTabla(QStringLiteral("temp"), it.key());
    for (auto it = F_Cargadas.constBegin(); it != F_Cargadas.constEnd(); ++it)
        BorraTabla(QStringLiteral("main"), F_Esquemas.value(it.key()).sNombre);
    F_Materializadas.clear();
    F_FilasMaterializadas.clear();
    F_Cargadas.clear();
    F_Esquemas.clear();
    F_Traducciones.clear();
}

TSesionJetSQL::TCacheada TSesionJetSQL::Traduccion(const QString& sJet, bool bConExistentes)
{
    TSintaxisJet sintaxis(sJet);
    auto consulta = sintaxis.Analiza();
    TSemanticaJet semantica(sJet, F_Catalogo);
    semantica.Analiza(*consulta);
    TEmisorSQLite emisor(F_bMaterializa);
    emisor.SetSemirreuniones(F_bSemirreuniones);
    if (bConExistentes)
        emisor.SetExiste([this](const QString& sNombre) { return F_Materializadas.contains(sNombre); });
    TCacheada c;
    c.Traduccion = emisor.Emite(*consulta);
    c.Tablas = semantica.Tablas();
    return c;
}

const TSesionJetSQL::TCacheada& TSesionJetSQL::Prepara(const QString& sJet)
{
    auto it = F_Traducciones.constFind(sJet);
    if (it != F_Traducciones.constEnd()) {
        // A translation that relied on a temporary table dropped since is written again.
        bool completa = true;
        for (const auto& m : it->Traduccion.Materializaciones)
            if (m.sSelect.isEmpty() && !F_Materializadas.contains(m.sNombre))
                completa = false;
        if (completa)
            return *it;
        F_Traducciones.remove(sJet);
    }
    if (F_Traducciones.size() >= MaxTraducciones)
        F_Traducciones.clear();
    return *F_Traducciones.insert(sJet, Traduccion(sJet, true));
}

void TSesionJetSQL::CreaMaterializacion(const TMaterializacionSql& m)
{
    if (F_Materializadas.contains(m.sNombre)) {
        F_Materializadas[m.sNombre] = ++F_nUso;
        return;
    }
    QStringList cols;
    for (const auto& c : m.Columnas)
        cols << TEmisorSQLite::DefinicionColumna(c.sSql, c.Tipo);
    const QString nombre = TEmisorSQLite::Identificador(m.sNombre);
    EjecutaSql(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(nombre, cols.join(QStringLiteral(", "))));
    try {
        QElapsedTimer t;
        t.start();
        const QString insercion = QStringLiteral("INSERT INTO %1 %2").arg(nombre, m.sSelect);
        EjecutaSql(insercion);
        F_FilasMaterializadas.insert(m.sNombre, sqlite3_changes64(F_Bd.get()));
        if (!m.Indice.isEmpty())
            EjecutaSql(m.CreaIndice());
        if (F_Traza)
            F_Traza(insercion, t.elapsed());
    } catch (...) {
        BorraTabla(QStringLiteral("temp"), m.sNombre);
        throw;
    }
    F_Materializadas.insert(m.sNombre, ++F_nUso);
}

void TSesionJetSQL::PreparaDatos(const TCacheada& c)
{
    for (const QString& t : c.Tablas)
        CargaTabla(t);
    for (const auto& m : c.Traduccion.Materializaciones)
        CreaMaterializacion(m);
    DesalojaMaterializadas(c.Traduccion);
}

TResultadoBD TSesionJetSQL::Consulta(const QString& sJet)
{
    RevisaOcupada();
    if (!EsperaPrecarga())
        throw TErrorBD(ClaseErrorCancelado, MensajeCancelado);
    F_bCancelada = false;
    if (sJet.trimmed().isEmpty())
        throw TErrorJet::TextoVacio();
    const TCacheada c = Prepara(sJet);
    TResultadoBD r;
    Trabaja([this, &c, &r] {
        PreparaDatos(c);
        QElapsedTimer reloj;
        reloj.start();
        const TSentenciaSqlite sentencia = PreparaSql(c.Traduccion.sSql.toUtf8());
        LeeFilas(sentencia.get(), c.Traduccion.Columnas, r);
        if (F_Traza)
            F_Traza(c.Traduccion.sSql, reloj.elapsed());
    });
    return r;
}

void TSesionJetSQL::ConsultaPorPartes(const QString& sJet,
                                      const std::function<bool(const TResultadoBD&)>& Recibe)
{
    RevisaOcupada();
    if (!EsperaPrecarga())
        throw TErrorBD(ClaseErrorCancelado, MensajeCancelado);
    F_bCancelada = false;
    if (sJet.trimmed().isEmpty())
        throw TErrorJet::TextoVacio();
    const TCacheada c = Prepara(sJet);
    TSentenciaSqlite sentencia;
    Trabaja([this, &c, &sentencia] {
        PreparaDatos(c);
        sentencia = PreparaSql(c.Traduccion.sSql.toUtf8());
    });
    // Between the parts the statement stays open: nothing may load or drop a table under it.
    F_bEnPartes = true;
    const auto libera = qScopeGuard([this] { F_bEnPartes = false; });
    for (bool fin = false; !fin;) {
        TResultadoBD parte;
        Trabaja([&] { fin = LeeFilas(sentencia.get(), c.Traduccion.Columnas, parte, FilasPorParte); });
        if (!Recibe(parte))
            return;
    }
}

void TSesionJetSQL::DesalojaMaterializadas(const TTraduccionSql& Traduccion)
{
    for (;;) {
        int64_t filas = 0;
        for (auto it = F_FilasMaterializadas.constBegin(); it != F_FilasMaterializadas.constEnd(); ++it)
            filas += it.value();
        if (F_Materializadas.size() <= MaxMaterializadas && filas <= MaxFilasMaterializadas)
            return;
        QString viejo;
        int64_t uso = 0;
        for (auto it = F_Materializadas.constBegin(); it != F_Materializadas.constEnd(); ++it) {
            bool enUso = false;
            for (const auto& m : Traduccion.Materializaciones)
                enUso = enUso || m.sNombre == it.key();
            if (!enUso && (viejo.isEmpty() || it.value() < uso)) {
                viejo = it.key();
                uso = it.value();
            }
        }
        if (viejo.isEmpty())
            return;
        BorraTabla(QStringLiteral("temp"), viejo);
        F_Materializadas.remove(viejo);
        F_FilasMaterializadas.remove(viejo);
    }
}

bool TSesionJetSQL::LeeFilas(sqlite3_stmt* st, const std::vector<TColumnaSalida>& columnas, TResultadoBD& r,
                             int64_t nMaximo)
{
    r.Columnas.clear();
    for (const auto& col : columnas)
        r.Columnas << col.sNombre;
    const int n = int(columnas.size());
    for (int64_t nLeidas = 0; nMaximo == 0 || nLeidas < nMaximo; ++nLeidas) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE)
            return true;
        if (rc != SQLITE_ROW)
            ErrorSqlite(rc);
        std::vector<TValorBD> fila;
        fila.reserve(size_t(n));
        for (int i = 0; i < n; ++i) {
            const int t = sqlite3_column_type(st, i);
            if (t == SQLITE_NULL) {
                fila.push_back(TValorBD::Nulo());
                continue;
            }
            auto texto = [&]() {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                         sqlite3_column_bytes(st, i));
            };
            switch (columnas[i].Tipo) {
            case TTipoJet::Booleano:
                fila.push_back(TValorBD::Booleano(sqlite3_column_int64(st, i) != 0));
                break;
            case TTipoJet::Byte:
            case TTipoJet::Entero:
            case TTipoJet::Largo:
                fila.push_back(t == SQLITE_INTEGER ? TValorBD::Entero(sqlite3_column_int64(st, i))
                                                   : TValorBD::Doble(sqlite3_column_double(st, i)));
                break;
            case TTipoJet::Moneda:
                fila.push_back(t == SQLITE_INTEGER
                                   ? TValorBD::Moneda(sqlite3_column_int64(st, i))
                                   : TValorBD::Moneda(std::llround(sqlite3_column_double(st, i))));
                break;
            case TTipoJet::Simple:
            case TTipoJet::Doble:
            case TTipoJet::Decimal:
                fila.push_back(TValorBD::Doble(sqlite3_column_double(st, i)));
                break;
            case TTipoJet::Fecha:
                fila.push_back(TValorBD::Fecha(sqlite3_column_double(st, i)));
                break;
            case TTipoJet::Texto:
            case TTipoJet::Memo:
            case TTipoJet::Guid:
                fila.push_back(TValorBD::Texto(texto()));
                break;
            case TTipoJet::Binario:
                fila.push_back(TValorBD::Binario(QByteArray(
                    static_cast<const char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i))));
                break;
            case TTipoJet::Nulo:
            case TTipoJet::Variante:
                if (t == SQLITE_INTEGER)
                    fila.push_back(TValorBD::Entero(sqlite3_column_int64(st, i)));
                else if (t == SQLITE_FLOAT)
                    fila.push_back(TValorBD::Doble(sqlite3_column_double(st, i)));
                else if (t == SQLITE_TEXT)
                    fila.push_back(TValorBD::Texto(texto()));
                else
                    fila.push_back(TValorBD::Binario(QByteArray(
                        static_cast<const char*>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i))));
                break;
            }
        }
        r.Filas.push_back(std::move(fila));
    }
    return false;
}

void TSesionJetSQL::Ejecuta(const QString& sJet)
{
    Consulta(sJet);
}

QString TSesionJetSQL::Traduce(const QString& sJet)
{
    RevisaOcupada();
    EsperaPrecarga();
    if (sJet.trimmed().isEmpty())
        throw TErrorJet::TextoVacio();
    return Traduccion(sJet, false).Traduccion.Texto();
}

QStringList TSesionJetSQL::Plan(const QString& sSql)
{
    EsperaPrecarga();
    const TSentenciaSqlite sentencia =
        PreparaSql(QStringLiteral("EXPLAIN QUERY PLAN ").toUtf8() + sSql.toUtf8());
    QHash<int, int> niveles; // step id -> its level
    QStringList r;
    while (sqlite3_step(sentencia.get()) == SQLITE_ROW) {
        const int id = sqlite3_column_int(sentencia.get(), 0);
        const int nivel = niveles.value(sqlite3_column_int(sentencia.get(), 1), -1) + 1;
        niveles.insert(id, nivel);
        r << QString(2 * nivel, QLatin1Char(' ')) +
                 QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(sentencia.get(), 3)));
    }
    return r;
}
