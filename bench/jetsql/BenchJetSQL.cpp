// Benchmark of the Jet SQL layer on a sample host database (not a test):
//
//   benchjetsql textos [--peps K1,K2] [--version 30]   prints the texts of one report run
//
// Other modes are added as the provider lands.

#include "TextosCuestionario.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    if (args.value(0) == QLatin1String("textos")) {
        QStringList peps;
        double version = 30;
        for (int i = 1; i + 1 < args.size(); i += 2) {
            if (args[i] == QLatin1String("--peps"))
                peps = args[i + 1].split(QLatin1Char(','), Qt::SkipEmptyParts);
            else if (args[i] == QLatin1String("--version"))
                version = args[i + 1].toDouble();
        }
        for (const auto& t : TextosCuestionario(1, version, peps))
            out << t.sNombre << "\t" << t.sSql << "\n";
        return 0;
    }
    QTextStream(stderr) << "uso: benchjetsql textos [--peps K1,K2] [--version 30]\n";
    return 1;
}
