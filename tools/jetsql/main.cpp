// jetsql: runs one Jet SQL statement on an Access file through the program's own Jet provider.
//
//   jetsql DB.mdb [--password PW] [--translate] [--verbose] "SQL"
//
// Prints the result as tab-separated lines under a header line (NULL as \N; tabs, line breaks
// and backslashes inside values escaped as \t, \n, \r, \\), or with --translate the SQLite
// script the statement becomes. Errors go to standard error and the exit code is 1; an error
// the engine places in the statement shows the statement's line with a caret under that
// place, and --verbose adds the text of the engine below the Jet layer, if any (for
// developers: the user never sees it).

#include "common/Plataforma.h"
#include "common/Version.h"
#include "db/componentes/ErrorBD.h"
#include "db/jet/proveedor/ProveedorJet.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

QString escapa(const QString& s)
{
    QString r;
    r.reserve(s.size());
    for (QChar c : s) {
        if (c == QLatin1Char('\\'))
            r += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\t'))
            r += QStringLiteral("\\t");
        else if (c == QLatin1Char('\n'))
            r += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            r += QStringLiteral("\\r");
        else
            r += c;
    }
    return r;
}

int uso()
{
    QTextStream(stderr) << "uso: jetsql BASE.mdb [--password CONTRASEÑA] [--translate] [--verbose] \"SQL\"\n";
    return 1;
}

// The line of sSql that holds offset nPos, and under it a caret at that place (tabs kept so
// that the caret lines up).
QString senala(const QString& sSql, int nPos)
{
    if (nPos < 0 || nPos > sSql.size())
        return QString();
    const qsizetype inicio = sSql.lastIndexOf(QLatin1Char('\n'), nPos - 1) + 1;
    qsizetype fin = sSql.indexOf(QLatin1Char('\n'), nPos);
    if (fin < 0)
        fin = sSql.size();
    QString linea = sSql.mid(inicio, fin - inicio);
    if (linea.endsWith(QLatin1Char('\r')))
        linea.chop(1);
    QString guia;
    for (qsizetype i = inicio; i < nPos; ++i)
        guia += sSql[i] == QLatin1Char('\t') ? QLatin1Char('\t') : QLatin1Char(' ');
    return QStringLiteral("  %1\n  %2^\n").arg(linea, guia);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Plataforma::ConsolaUtf8();
    const QStringList args = app.arguments().mid(1);
    if (args == QStringList{QStringLiteral("--version")}) {
        QTextStream(stdout) << "jetsql " << kVersionQRTZ << "\n";
        return 0;
    }
    QString ruta, contrasena, sql;
    bool traduce = false;
    bool detalle = false;
    bool haySql = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--password")) {
            if (++i >= args.size())
                return uso();
            contrasena = args[i];
        } else if (a == QLatin1String("--translate"))
            traduce = true;
        else if (a == QLatin1String("--verbose"))
            detalle = true;
        else if (ruta.isEmpty())
            ruta = a;
        else if (!haySql) {
            sql = a;
            haySql = true;
        } else
            return uso();
    }
    if (ruta.isEmpty() || !haySql)
        return uso();

    QTextStream out(stdout);
    try {
        auto sesion = AbreSesionJet(ruta, contrasena);
        if (traduce) {
            out << sesion->Traduce(sql) << "\n";
            return 0;
        }
        const TResultadoBD r = sesion->Consulta(sql);
        QStringList cabecera;
        for (const QString& c : r.Columnas)
            cabecera << escapa(c);
        out << cabecera.join(QLatin1Char('\t')) << "\n";
        for (const auto& fila : r.Filas) {
            QStringList valores;
            for (const TValorBD& v : fila)
                valores << (v.EsNulo() ? QStringLiteral("\\N") : escapa(v.AsString()));
            out << valores.join(QLatin1Char('\t')) << "\n";
        }
    } catch (const TErrorBD& e) {
        out.flush();
        QTextStream err(stderr);
        err << e.Clase() << ": " << e.Mensaje() << "\n" << senala(sql, e.Posicion());
        if (detalle && !e.Detalle().isEmpty())
            err << e.Detalle() << "\n";
        return 1;
    }
    return 0;
}
