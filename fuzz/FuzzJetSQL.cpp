// Feeds arbitrary text to the Jet SQL layer as one statement: lexer, parser, semantic pass,
// SQLite emitter and execution, on the tables of the tests' .test files (a few rows each, the
// first definition of a name wins). A statement that fails must say why in Spanish: an empty message traps,
// and the engine's own texts behind the generic internal error are written (once each) to the file named by
// QRTZ_FUZZ_INTERNOS, if set, for a developer to read.

#include "ArchivoPruebaSQL.h"

#include "db/jet/sql/ErrorJet.h"
#include "db/jet/sql/SesionJetSQL.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

class TOrigenFijo : public IOrigenTablasJet
{
public:
    std::vector<TTablaPrueba> Tablas;

    const TTablaPrueba* Busca(const QString& sNombre) const
    {
        for (const auto& t : Tablas)
            if (t.Esquema.sNombre.compare(sNombre, Qt::CaseInsensitive) == 0)
                return &t;
        return nullptr;
    }
    bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override
    {
        const TTablaPrueba* t = Busca(sNombre);
        if (!t)
            return false;
        Esquema = t->Esquema;
        return true;
    }
    void LeeFilas(const TEsquemaTablaJet& Esquema, TCargaTablaJet& Carga) override
    {
        for (const auto& fila : Busca(Esquema.sNombre)->Filas) {
            for (const TValorBD& v : fila)
                Carga.Valor(v);
            Carga.FinFila();
        }
    }
};

TOrigenFijo& origen()
{
    static TOrigenFijo o = [] {
        TOrigenFijo r;
        const char* raiz = std::getenv("QRTZ_RAIZ_FUZZ");
        const QDir dir(QString::fromLocal8Bit(raiz ? raiz : QRTZ_RAIZ) + QStringLiteral("/tests/sql"));
        for (const QString& a : dir.entryList({QStringLiteral("*.test")}, QDir::Files, QDir::Name)) {
            for (auto& t : LeeArchivoPrueba(dir.filePath(a)).Tablas)
                if (!r.Busca(t.Esquema.sNombre))
                    r.Tablas.push_back(std::move(t));
        }
        if (r.Tablas.empty())
            __builtin_trap(); // the fixture is missing: nothing would run
        return r;
    }();
    return o;
}

// Stops statements that would run for long (cross joins of many tables): the fuzzer looks for
// faults, not for slow plans.
int corta(void* pPasos)
{
    return ++*static_cast<int*>(pPasos) > 2000;
}

void anotaInterno(const TErrorJet& e)
{
    static const char* destino = std::getenv("QRTZ_FUZZ_INTERNOS");
    static QSet<QString> vistos;
    if (!destino || e.Detalle().isEmpty() || !e.Mensaje().startsWith(QLatin1String("Error interno")))
        return;
    QString clave = e.Detalle();
    clave.truncate(80);
    if (vistos.contains(clave) || vistos.size() > 500)
        return;
    vistos.insert(clave);
    QFile f(QString::fromLocal8Bit(destino));
    if (f.open(QIODevice::Append | QIODevice::Text))
        f.write(e.Detalle().toUtf8() + '\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pDatos, size_t nLong)
{
    if (nLong > 20000)
        return 0;
    // One session serves many inputs (opening one costs more than most statements); it is
    // renewed every thousand, and its translations are dropped before each input.
    static std::unique_ptr<TSesionJetSQL> sesion;
    static int usos = 0;
    static int pasos = 0;
    if (!sesion || ++usos > 1000) {
        sesion.reset();
        sesion = std::make_unique<TSesionJetSQL>(origen());
        sqlite3_progress_handler(sesion->Bd(), 1000, corta, &pasos);
        usos = 0;
    }
    sesion->SetMaterializa(true);
    pasos = 0;
    const QString sJet = QString::fromUtf8(reinterpret_cast<const char*>(pDatos), qsizetype(nLong));
    size_t total = 0;
    try {
        const TResultadoBD r = sesion->Consulta(sJet);
        total += size_t(r.Columnas.size());
        for (const auto& fila : r.Filas)
            for (const TValorBD& v : fila)
                total += size_t(v.AsString().size());
        // The statement a second time: its translation and derived tables are kept.
        pasos = 0;
        total += size_t(sesion->Consulta(sJet).Filas.size());
    } catch (const TErrorJet& e) {
        if (e.Mensaje().isEmpty()) // every failure must say why
            __builtin_trap();
        anotaInterno(e);
    }
    return total == SIZE_MAX ? 1 : 0;
}
