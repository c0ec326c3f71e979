#include "common/ArchivosHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestArchivosHost : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString escribe(const QByteArray& contenido)
    {
        const QString ruta = dir.path() + "/Tavoro.INI";
        QFile f(ruta);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(contenido);
        return ruta;
    }

private slots:
    void enteroIni_data()
    {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<int>("valor");
        QTest::newRow("normal") << QByteArray("[Control]\r\nEmpresaActiva=3\r\n") << 3;
        QTest::newRow("mayusculas y blancos")
            << QByteArray("  [ CONTROL ]  \r\n  empresaactiva  =  7  \r\n") << 7;
        QTest::newRow("primera gana") << QByteArray("[Control]\nEmpresaActiva=1\nEmpresaActiva=2\n") << 1;
        QTest::newRow("otra seccion") << QByteArray("[Otra]\nEmpresaActiva=5\n[Control]\nX=1\n") << 0;
        QTest::newRow("sin seccion") << QByteArray("EmpresaActiva=5\n") << 0;
        QTest::newRow("no entero") << QByteArray("[Control]\nEmpresaActiva=abc\n") << 0;
        QTest::newRow("digitos al inicio") << QByteArray("[Control]\nEmpresaActiva=12abc\n") << 12;
        QTest::newRow("negativo") << QByteArray("[Control]\nEmpresaActiva=-4\n") << -4;
        QTest::newRow("vacio") << QByteArray("[Control]\nEmpresaActiva=\n") << 0;
        QTest::newRow("comentario") << QByteArray("[Control]\n;EmpresaActiva=9\nEmpresaActiva=2\n") << 2;
        QTest::newRow("segunda seccion igual se ignora")
            << QByteArray("[Control]\nX=1\n[Otra]\n[Control]\nEmpresaActiva=8\n") << 0;
    }
    void enteroIni()
    {
        QFETCH(QByteArray, contenido);
        QFETCH(int, valor);
        QCOMPARE(ArchivosHost::LeeEnteroIni(escribe(contenido), "Control", "EmpresaActiva", 0), valor);
    }

    void archivoAusenteDaElDefecto()
    {
        QCOMPARE(ArchivosHost::LeeEnteroIni(dir.path() + "/no.ini", "Control", "EmpresaActiva", 0), 0);
    }

    void rutaSinImportarMayusculas()
    {
        QTemporaryDir d;
        QDir(d.path()).mkpath("DATABASE");
        QFile f(d.path() + "/DATABASE/TAVORO.MDB");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString r = ArchivosHost::ResuelveRuta(d.path() + "/", "DataBase\\Tavoro.mdb");
        QVERIFY(QFile::exists(r));
        const QString falta = ArchivosHost::ResuelveRuta(d.path(), "DataBase/Otra.mdb");
        QVERIFY(!QFile::exists(falta));
#ifdef Q_OS_WIN
        // Windows' file system finds any letter case itself: the names given are kept.
        QCOMPARE(r, d.path() + "/DataBase/Tavoro.mdb");
        QCOMPARE(falta, d.path() + "/DataBase/Otra.mdb");
#else
        QCOMPARE(r, d.path() + "/DATABASE/TAVORO.MDB");
        QCOMPARE(falta, d.path() + "/DATABASE/Otra.mdb");
#endif
    }

    // The program's folder as Windows writes it (backslashes, drive letter), with or without the
    // final separator, and a relative name in either separator.
    void rutaConSeparadoresDelSistema_data()
    {
        QTest::addColumn<bool>("barraFinal");
        QTest::addColumn<QString>("relativa");
        QTest::newRow("sin barra final") << false << "DataBase\\Tavoro.mdb";
        QTest::newRow("con barra final") << true << "DataBase\\Tavoro.mdb";
        QTest::newRow("barras normales") << true << "database/tavoro.mdb";
    }
    void rutaConSeparadoresDelSistema()
    {
        QFETCH(bool, barraFinal);
        QFETCH(QString, relativa);
        QTemporaryDir d;
        QDir(d.path()).mkpath("DataBase");
        QFile f(d.path() + "/DataBase/Tavoro.mdb");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.close();
        QString carpeta = QDir::toNativeSeparators(QDir(d.path()).absolutePath());
        if (barraFinal)
            carpeta += QDir::separator();
        const QString r = ArchivosHost::ResuelveRuta(carpeta, relativa);
        QVERIFY2(QFileInfo(r).isFile(), qPrintable(r));
        QFile g(r);
        QVERIFY(g.open(QIODevice::ReadOnly));
        QCOMPARE(g.readAll(), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(TestArchivosHost)
#include "TestArchivosHost.moc"
