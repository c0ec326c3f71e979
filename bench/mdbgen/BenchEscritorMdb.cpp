// Writer speed in rows per second and the size of the sample databases.
//   bench_mdbgen [OPERACIONES]   (1000000 by default)
#include "tools/mdbgen/MuestraTavoro.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

namespace {

struct TMedida
{
    qint64 nFilas = 0;
    double dSegFilas = 0;   // building and encoding the rows
    double dSegArchivo = 0; // laying out and writing the file
    double dSegCpu = 0;     // processor time of both (the machine may be shared)
    qint64 nBytes = 0;
};

bool mide(int nOperaciones, const QString& sDir, TMedida& M)
{
    QElapsedTimer Reloj;
    Reloj.start();
    const std::clock_t nCpu = std::clock();
    QString sError;
    auto pE = CreaBaseMuestraTavoro({.nOperaciones = nOperaciones}, &sError);
    if (!pE) {
        std::fprintf(stderr, "%s\n", qPrintable(sError));
        return false;
    }
    M.dSegFilas = Reloj.nsecsElapsed() / 1e9;
    for (int t = 0; t < pE->NumTablas(); ++t)
        M.nFilas += pE->NumFilas(t);
    const QString sMdb = sDir + QStringLiteral("/Tavoro-%1.mdb").arg(nOperaciones);
    Reloj.restart();
    if (!pE->Guarda(sMdb)) {
        std::fprintf(stderr, "%s\n", qPrintable(pE->Error()));
        return false;
    }
    M.dSegArchivo = Reloj.nsecsElapsed() / 1e9;
    M.dSegCpu = double(std::clock() - nCpu) / CLOCKS_PER_SEC;
    M.nBytes = QFileInfo(sMdb).size();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    const int nGrande = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    QTemporaryDir Dir;
    for (int nOperaciones : {TOpcionesMuestra().nOperaciones, nGrande}) {
        TMedida M;
        if (!mide(nOperaciones, Dir.path(), M))
            return 1;
        const double dTotal = M.dSegFilas + M.dSegArchivo;
        std::printf("%9d operaciones: %9lld filas en %.2f s (filas %.2f s + archivo %.2f s) = %.0f filas/s; "
                    "CPU %.2f s = %.0f filas/s; Tavoro.mdb %lld bytes (%.1f MB)\n",
                    nOperaciones, M.nFilas, dTotal, M.dSegFilas, M.dSegArchivo, M.nFilas / dTotal, M.dSegCpu,
                    M.nFilas / M.dSegCpu, M.nBytes, M.nBytes / 1048576.0);
    }
    return 0;
}
