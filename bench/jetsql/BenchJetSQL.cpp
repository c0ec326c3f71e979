// Benchmark of the Jet SQL layer and the Jet provider on a sample host database (not a test):
//
//   benchjetsql textos [--peps K1,K2] [--version 30]
//       prints the Jet SQL texts of one report run
//   benchjetsql mide [--operaciones N] [--carpeta DIR] [--detalle]
//                    [--traza | --traza-completa] [--umbral MS] [--plan] [--sin-semirreuniones]
//       writes (or reuses) a sample host folder with N operations (1000000 by default), then
//       times the loading of the tables the questionnaire reads, every query of one report run
//       (--detalle: each query and its answer; --traza: the first 160 characters of each SQLite
//       statement of MS ms or more, 50 by default; --traza-completa: the same, whole; --plan:
//       and SQLite's plan for it), a second run with other PEP ticks, and reports wall and
//       processor time and peak memory; --sin-semirreuniones runs every DISTINCT over a join as
//       the join it is written as

#include "TextosCuestionario.h"

#include "common/Plataforma.h"
#include "db/componentes/ErrorBD.h"
#include "db/jet/proveedor/ProveedorJet.h"
#include "tools/mdbgen/MuestraTavoro.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

// Processor time of the process in ms: the machine is shared, so wall time alone misleads.
qint64 cpuMs()
{
    return Plataforma::MsProcesador();
}

long memoriaPicoMB()
{
    return Plataforma::MemoriaPicoMB();
}

QString valorDe(const QStringList& args, const QString& sOpcion, const QString& sDefecto)
{
    const int i = args.indexOf(sOpcion);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : sDefecto;
}

int mide(const QStringList& args)
{
    QTextStream out(stdout);
    const int operaciones = valorDe(args, QStringLiteral("--operaciones"), QStringLiteral("1000000")).toInt();
    const QString carpeta =
        valorDe(args, QStringLiteral("--carpeta"), QStringLiteral("/tmp/benchjetsql-%1").arg(operaciones));
    const QString ruta = carpeta + QStringLiteral("/DataBase/Tavoro.mdb");
    if (!QFileInfo::exists(ruta)) {
        QElapsedTimer t;
        t.start();
        TOpcionesMuestra op;
        op.nOperaciones = operaciones;
        QString error;
        if (!GeneraMuestraTavoro(carpeta, op, &error)) {
            QTextStream(stderr) << "mdbgen: " << error << "\n";
            return 1;
        }
        out << "muestra escrita en " << t.elapsed() << " ms: " << ruta << "\n";
    }
    out << "archivo: " << QFileInfo(ruta).size() / (1024 * 1024) << " MB, " << operaciones
        << " operaciones\n";
    try {
        QElapsedTimer total;
        total.start();
        auto sesion = AbreSesionJet(ruta, MuestraTavoro::kPassword);
        sesion->SetSemirreuniones(!args.contains(QStringLiteral("--sin-semirreuniones")));
        // Loading: every table the questionnaire reads.
        const QStringList tablas = {"tEmps",    "tCompUsr", "tEmpresa",   "tSistema", "tRelevan",
                                    "tCliente", "tSector",  "tNivRiesgo", "tCiudad",  "tEstados",
                                    "tPaises",  "tMovtos",  "tProces",    "tDivisas", "tMsgInterno"};
        QElapsedTimer t;
        t.start();
        qint64 cpu = cpuMs();
        for (const QString& tabla : tablas)
            sesion->Consulta(QStringLiteral("SELECT COUNT(*) FROM ") + tabla);
        const qint64 msCarga = t.elapsed();
        out << "carga de " << tablas.size() << " tablas: " << msCarga << " ms (procesador " << cpuMs() - cpu
            << " ms; memoria pico " << memoriaPicoMB() << " MB)\n";

        // The PEPs the detection finds, all ticked.
        const TResultadoBD peps = sesion->Consulta(TextosCuestionario(1, 30, {})[4].sSql);
        QStringList claves;
        for (const auto& f : peps.Filas)
            claves << f[3].AsString();
        const bool detalle = args.contains(QStringLiteral("--detalle"));
        const bool completa = args.contains(QStringLiteral("--traza-completa"));
        const bool plan = args.contains(QStringLiteral("--plan"));
        const qint64 umbral = valorDe(args, QStringLiteral("--umbral"), QStringLiteral("50")).toLongLong();
        ISesionJet* pSesion = sesion.get();
        if (completa || args.contains(QStringLiteral("--traza")))
            sesion->SetTraza([&out, completa, plan, umbral, pSesion](const QString& sSql, qint64 ms) {
                if (ms < umbral)
                    return;
                out << QStringLiteral("      %1 ms  %2\n").arg(ms, 6).arg(completa ? sSql : sSql.left(160));
                if (plan)
                    for (const QString& paso : pSesion->Plan(sSql))
                        out << QStringLiteral("                 ") << paso << "\n";
            });
        t.restart();
        cpu = cpuMs();
        qint64 msMax = 0;
        QString lenta;
        int consultas = 0;
        for (const auto& texto : TextosCuestionario(1, 30, claves)) {
            QElapsedTimer q;
            q.start();
            const TResultadoBD r = sesion->Consulta(texto.sSql);
            const qint64 ms = q.elapsed();
            ++consultas;
            if (ms > msMax) {
                msMax = ms;
                lenta = texto.sNombre;
            }
            if (detalle) {
                QStringList valores;
                for (const auto& f : r.Filas)
                    valores << (f.empty() ? QString() : f[0].AsString());
                out << QStringLiteral("  %1 %2 ms: %3\n")
                           .arg(texto.sNombre, -10)
                           .arg(ms, 6)
                           .arg(valores.join(QStringLiteral(" | ")).left(100));
            }
        }
        const qint64 msConsultas = t.elapsed();
        out << "consultas de un reporte (" << consultas << "): " << msConsultas << " ms (procesador "
            << cpuMs() - cpu << " ms); la más lenta " << lenta << " " << msMax << " ms\n";
        // A second run, as when the user ticks other PEPs and generates the report again: only
        // what depends on the ticks is computed anew.
        t.restart();
        cpu = cpuMs();
        for (const auto& texto : TextosCuestionario(1, 30, claves.mid(0, 1)))
            sesion->Consulta(texto.sSql);
        out << "segundo reporte con otras marcas PEP: " << t.elapsed() << " ms (procesador " << cpuMs() - cpu
            << " ms)\n";
        out << "total " << total.elapsed() << " ms, cargas de tabla " << sesion->Cargas() << ", memoria pico "
            << memoriaPicoMB() << " MB\n";
    } catch (const TErrorBD& e) {
        QTextStream(stderr) << e.Clase() << ": " << e.Mensaje() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    if (args.value(0) == QLatin1String("textos")) {
        const QStringList peps =
            valorDe(args, QStringLiteral("--peps"), QString()).split(QLatin1Char(','), Qt::SkipEmptyParts);
        const double version = valorDe(args, QStringLiteral("--version"), QStringLiteral("30")).toDouble();
        for (const auto& t : TextosCuestionario(1, version, peps))
            out << t.sNombre << "\t" << t.sSql << "\n";
        return 0;
    }
    if (args.value(0) == QLatin1String("mide"))
        return mide(args);
    QTextStream(stderr) << "uso: benchjetsql textos [--peps K1,K2] [--version 30]\n"
                           "     benchjetsql mide [--operaciones N] [--carpeta DIR] [--detalle]\n"
                           "                      [--traza | --traza-completa] [--umbral MS] [--plan] "
                           "[--sin-semirreuniones]\n";
    return 1;
}
