// Reader speed: rows per second of each table of an .mdb file, decoding every column, on one
// core. Each table is read several times and the best pass is reported (wall and CPU time; the
// machine may be shared).
//   bench_lector ARCHIVO.mdb [TABLA ...] [--pasadas N]
// Without tables, every user table is read. A large operations table comes from
//   mdbgen sample DIR --operaciones 1000000   (DIR/DataBase/Tavoro.mdb, table tMovtos)
#include "db/jet/BaseDatosMdb.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    QStringList Args = App.arguments().mid(1);
    int nPasadas = 3;
    const qsizetype nOpc = Args.indexOf(QStringLiteral("--pasadas"));
    if (nOpc >= 0 && nOpc + 1 < Args.size()) {
        nPasadas = std::max(1, Args[nOpc + 1].toInt());
        Args.remove(nOpc, 2);
    }
    if (Args.isEmpty()) {
        std::fprintf(stderr, "Uso: bench_lector ARCHIVO.mdb [TABLA ...] [--pasadas N]\n");
        return 2;
    }
    const QString sRuta = Args.takeFirst();

    QElapsedTimer Reloj;
    Reloj.start();
    QString sError;
    auto pBD = jet::TBaseDatosMdb::Abre(sRuta, &sError);
    if (!pBD) {
        std::fprintf(stderr, "%s\n", qPrintable(sError));
        return 1;
    }
    std::printf("%s: Jet %d, %lld bytes, abierto con su catálogo en %.2f ms\n", qPrintable(sRuta),
                pBD->VersionJet(), static_cast<long long>(QFileInfo(sRuta).size()),
                double(Reloj.nsecsElapsed()) / 1e6);
    const QStringList Tablas = Args.isEmpty() ? pBD->Tablas() : Args;

    std::printf("%-24s %9s %6s %12s %12s\n", "tabla", "filas", "cols", "filas/s", "filas/s CPU");
    for (const QString& sTabla : Tablas) {
        double dMejorPared = 0;
        double dMejorCpu = 0;
        qint64 nFilas = 0;
        size_t nColumnas = 0;
        for (int p = 0; p < nPasadas; ++p) {
            auto pLector = pBD->AbreTabla(sTabla, &sError);
            if (!pLector) {
                std::fprintf(stderr, "%s\n", qPrintable(sError));
                return 1;
            }
            nColumnas = pLector->Columnas().size();
            std::vector<jet::TValor> Fila;
            nFilas = 0;
            Reloj.restart();
            const std::clock_t nCpu = std::clock();
            while (pLector->Siguiente(Fila))
                ++nFilas;
            const double dPared = double(Reloj.nsecsElapsed()) / 1e9;
            const double dCpu = double(std::clock() - nCpu) / CLOCKS_PER_SEC;
            if (!pLector->Error().isEmpty()) {
                std::fprintf(stderr, "%s\n", qPrintable(pLector->Error()));
                return 1;
            }
            if (dPared > 0)
                dMejorPared = std::max(dMejorPared, double(nFilas) / dPared);
            if (dCpu > 0)
                dMejorCpu = std::max(dMejorCpu, double(nFilas) / dCpu);
        }
        std::printf("%-24s %9lld %6zu %12.0f %12.0f\n", qPrintable(sTabla), static_cast<long long>(nFilas),
                    nColumnas, dMejorPared, dMejorCpu);
    }
    return 0;
}
