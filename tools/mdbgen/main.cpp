// mdbgen: writes Access (Jet 4) databases.
//   mdbgen fixture IN.json OUT.mdb
//   mdbgen sample DIR [--operaciones N] [--semilla S] [--anios A] [--clientes C] [--proceso P]
#include "common/Plataforma.h"
#include "common/Version.h"
#include "tools/mdbgen/FixtureMdb.h"
#include "tools/mdbgen/MuestraTavoro.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

// UTF-8 everywhere, as the other tools write (a Windows console is switched to UTF-8 at start).
void imprime(FILE* f, const QString& s)
{
    std::fputs((s + QLatin1Char('\n')).toUtf8().constData(), f);
}

int uso()
{
    imprime(stderr,
            QStringLiteral(
                "Uso:\n"
                "  mdbgen fixture ENTRADA.json SALIDA.mdb\n"
                "      Escribe la base de datos descrita por el fixture JSON.\n"
                "  mdbgen sample CARPETA [--operaciones N] [--semilla S] [--anios A] [--clientes C]\n"
                "                [--proceso P]\n"
                "      Escribe una carpeta de muestra: CARPETA/Tavoro.INI y CARPETA/DataBase/Tavoro.mdb\n"
                "      (contraseña de la base \"plovik\", usuario ADMIN con contraseña ADMIN).\n"
                "      N operaciones (20000 si se omite) repartidas en los A años que terminan en 2019\n"
                "      (4 si se omite), C clientes (uno por cada doce operaciones si se omite) y la\n"
                "      parte P de los folios en tProces (1/12 si se omite); la misma semilla da el\n"
                "      mismo archivo."));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    Plataforma::ConsolaUtf8();
    const QStringList Args = App.arguments().mid(1);
    if (Args == QStringList{QStringLiteral("--version")}) {
        imprime(stdout, QStringLiteral("mdbgen %1").arg(QLatin1String(kVersionQRTZ)));
        return 0;
    }
    if (Args.size() == 3 && Args[0] == QLatin1String("fixture")) {
        QString sError;
        if (!EscribeFixtureMdb(Args[1], Args[2], &sError)) {
            imprime(stderr, sError);
            return 1;
        }
        return 0;
    }
    if (Args.size() >= 2 && Args[0] == QLatin1String("sample")) {
        TOpcionesMuestra Op;
        for (int i = 2; i < Args.size(); ++i) {
            bool bOk = false;
            if (Args[i] == QLatin1String("--operaciones") && i + 1 < Args.size())
                Op.nOperaciones = Args[++i].toInt(&bOk);
            else if (Args[i] == QLatin1String("--semilla") && i + 1 < Args.size())
                Op.nSemilla = Args[++i].toULongLong(&bOk);
            else if (Args[i] == QLatin1String("--anios") && i + 1 < Args.size())
                Op.nAnios = Args[++i].toInt(&bOk);
            else if (Args[i] == QLatin1String("--clientes") && i + 1 < Args.size())
                Op.nClientes = Args[++i].toInt(&bOk);
            else if (Args[i] == QLatin1String("--proceso") && i + 1 < Args.size())
                Op.dEnProceso = Args[++i].toDouble(&bOk);
            if (!bOk) {
                imprime(stderr, QStringLiteral("Opción o valor no válido: %1").arg(Args[i]));
                return uso();
            }
        }
        QString sError;
        if (!GeneraMuestraTavoro(Args[1], Op, &sError)) {
            imprime(stderr, sError);
            return 1;
        }
        const QFileInfo Mdb(Args[1] + QStringLiteral("/DataBase/Tavoro.mdb"));
        imprime(stdout, QStringLiteral("%1 (%2 operaciones, %3 bytes)")
                            .arg(Mdb.filePath())
                            .arg(Op.nOperaciones)
                            .arg(Mdb.size()));
        return 0;
    }
    return uso();
}
