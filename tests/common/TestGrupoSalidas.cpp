#include "EnlacesPrueba.h"
#include "common/ArchivosHost.h"
#include "common/Salidas.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray lee(const QString& sRuta)
{
    QFile f(sRuta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no se pudo leer>");
}

bool escribe(const QString& sRuta, const QByteArray& Datos)
{
    QFile f(sRuta);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(Datos) == Datos.size();
}

// Every entry under a folder, hidden ones included, with its contents and time: what a set of
// outputs must leave as it found when it fails.
QMap<QString, QString> estado(const QString& sCarpeta)
{
    QMap<QString, QString> m;
    QDirIterator it(sCarpeta, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString s = it.next();
        const QFileInfo i(s);
        m.insert(s, i.isSymLink() ? "enlace:" + i.symLinkTarget()
                    : i.isDir()   ? QStringLiteral("carpeta")
                                  : QString::fromLatin1(lee(s).toHex()) + "@" +
                                      i.lastModified().toString(Qt::ISODateWithMs));
    }
    return m;
}

} // namespace

// The one write path of the program's outputs: files reach their names whole, through new work
// files that never open what stands there, and a set of files is placed together or not at all.
class TestGrupoSalidas : public QObject
{
    Q_OBJECT

private slots:
    // A file written on its own replaces an earlier one only once it is whole; a link at its
    // name is replaced, never followed; nothing of the work is left beside it.
    void archivoSolo()
    {
        QTemporaryDir d;
        const QString sFuera = d.filePath("respaldo.mdb");
        QVERIFY(escribe(sFuera, "respaldo"));
        QVERIFY(escribe(d.filePath("r.pdf"), "viejo"));
        QString sError;
        QVERIFY2(EscribeArchivo(d.filePath("r.pdf"), "nuevo", sError), qPrintable(sError));
        QCOMPARE(lee(d.filePath("r.pdf")), QByteArray("nuevo"));
        if (kHayEnlaces) {
            QVERIFY(QFile::link(sFuera, d.filePath("enlace.pdf")));
            QVERIFY2(EscribeArchivo(d.filePath("enlace.pdf"), "pdf", sError), qPrintable(sError));
            QVERIFY(!QFileInfo(d.filePath("enlace.pdf")).isSymLink());
            QCOMPARE(lee(d.filePath("enlace.pdf")), QByteArray("pdf"));
            QCOMPARE(lee(sFuera), QByteArray("respaldo"));
        }
        QCOMPARE(QDir(d.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(".tmp"),
                 QStringList());
    }

    // A set is placed whole: earlier files of its names are replaced, earlier files of the set
    // it does not write again are removed, other files stay; the folder it needed is created.
    void grupoCompleto()
    {
        QTemporaryDir d;
        const QString sCarpeta = d.filePath("salidas/detalle");
        QDir().mkpath(sCarpeta);
        QVERIFY(escribe(sCarpeta + "/a.csv", "a viejo"));
        QVERIFY(escribe(sCarpeta + "/viejo.csv", "de otra vez"));
        QVERIFY(escribe(sCarpeta + "/ajeno.txt", "del usuario"));
        TGrupoSalidas Grupo;
        TCarpetaSalida Carpeta(sCarpeta);
        QString sError;
        QVERIFY2(Carpeta.Prepara(Grupo, sError), qPrintable(sError));
        for (const char* s : {"a.csv", "b.csv"}) {
            TArchivoSalida& a = Grupo.Archivo(Carpeta.Ruta(s), Carpeta.Trabajo());
            QVERIFY2(a.Abre() && a.Escribe(QByteArray("nuevo ") + s), qPrintable(a.Error()));
        }
        TArchivoSalida& Pdf = Grupo.Archivo(d.filePath("salidas/r.pdf"));
        QVERIFY(Pdf.Abre() && Pdf.Escribe("pdf"));
        Grupo.Retira(sCarpeta + "/viejo.csv");
        // Nothing shows before the set is placed.
        QCOMPARE(lee(sCarpeta + "/a.csv"), QByteArray("a viejo"));
        QVERIFY(!QFileInfo::exists(sCarpeta + "/b.csv"));
        QVERIFY2(Grupo.Coloca(), qPrintable(Grupo.Error()));
        QCOMPARE(QDir(sCarpeta).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"a.csv", "ajeno.txt", "b.csv"}));
        QCOMPARE(lee(sCarpeta + "/a.csv"), QByteArray("nuevo a.csv"));
        QCOMPARE(lee(sCarpeta + "/ajeno.txt"), QByteArray("del usuario"));
        QCOMPARE(lee(d.filePath("salidas/r.pdf")), QByteArray("pdf"));
    }

    // A set that fails half-way (here its last name is taken by a folder) leaves everything as
    // it was: earlier files with their contents and times, no new file, no work file, and no
    // folder it created.
    void grupoFallido_data()
    {
        QTest::addColumn<bool>("colocando"); // fails while placing, else while writing
        QTest::newRow("al colocar") << true;
        QTest::newRow("descartado al escribir") << false;
    }
    void grupoFallido()
    {
        QFETCH(bool, colocando);
        QTemporaryDir d;
        QDir().mkpath(d.filePath("salidas"));
        QVERIFY(escribe(d.filePath("salidas/a.csv"), "a viejo"));
        QVERIFY(escribe(d.filePath("salidas/b.csv"), "b viejo"));
        QTest::qWait(20); // a rewrite would show in the times
        auto antes = estado(d.path());
        {
            TGrupoSalidas Grupo;
            TCarpetaSalida Carpeta(d.filePath("salidas/nueva/detalle"));
            QString sError;
            QVERIFY2(Carpeta.Prepara(Grupo, sError), qPrintable(sError));
            TArchivoSalida& x = Grupo.Archivo(Carpeta.Ruta("x.csv"), Carpeta.Trabajo());
            QVERIFY(x.Abre() && x.Escribe("x"));
            for (const char* s : {"a.csv", "b.csv", "c.csv"}) {
                TArchivoSalida& a = Grupo.Archivo(d.filePath("salidas/") + s);
                QVERIFY(a.Abre() && a.Escribe("nuevo"));
            }
            if (colocando) {
                // Somebody makes a folder of that name while the set is written.
                QVERIFY(QDir().mkpath(d.filePath("salidas/c.csv/ocupada")));
                antes = estado(d.path());
                antes.remove(d.filePath("salidas/nueva"));
                antes.remove(d.filePath("salidas/nueva/detalle"));
                for (const QString& k : antes.keys())
                    if (k.contains(".tmp"))
                        antes.remove(k);
                QVERIFY(!Grupo.Coloca());
                QVERIFY2(Grupo.Error().contains("c.csv"), qPrintable(Grupo.Error()));
            }
        }
        QCOMPARE(estado(d.path()), antes);
    }

    // The host's files and folder are refused before anything is created.
    void destinoDelHost()
    {
        QTemporaryDir d;
        QDir().mkpath(d.filePath("Host/DataBase"));
        QVERIFY(escribe(d.filePath("Host/DataBase/Tavoro.mdb"), "base"));
        ArchivosHost::ProtegeArchivo(d.filePath("Host/DataBase/Tavoro.mdb"));
        ArchivosHost::ProtegeCarpeta(d.filePath("Host/DataBase"));
        const auto antes = estado(d.path());
        QString sError;
        QVERIFY(!EscribeArchivo(d.filePath("Host/DataBase/Tavoro.mdb"), "x", sError));
        QVERIFY2(sError.contains("es un archivo del Tavoro"), qPrintable(sError));
        QVERIFY(!EscribeArchivo(d.filePath("Host/DataBase/r.pdf"), "x", sError));
        QVERIFY2(sError.contains("es la carpeta de la base de datos del Tavoro"), qPrintable(sError));
        TGrupoSalidas Grupo;
        TCarpetaSalida Carpeta(d.filePath("Host/DataBase/detalle"));
        QVERIFY(!Carpeta.Prepara(Grupo, sError));
        QVERIFY2(sError.contains("es la carpeta de la base de datos del Tavoro"), qPrintable(sError));
        QCOMPARE(estado(d.path()), antes);
        QVERIFY(EscribeArchivo(d.filePath("Host/r.pdf"), "x", sError));
    }
};

QTEST_GUILESS_MAIN(TestGrupoSalidas)
#include "TestGrupoSalidas.moc"
