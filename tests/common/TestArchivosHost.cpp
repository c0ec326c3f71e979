#include "EnlacesPrueba.h"
#include "MontajePrueba.h"
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
        // Windows also reads settings files saved as Unicode: UTF-16 in either byte order and
        // UTF-8, each recognised by its mark.
        const QString unicode =
            QStringLiteral("[Sección]\r\nEmpresaActiva=1\r\n[Control]\r\nEmpresaActiva=6\r\n");
        const auto utf16 = [&](QSysInfo::Endian orden) {
            QByteArray b = orden == QSysInfo::LittleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
            for (const QChar c : unicode) {
                const char alto = char(c.unicode() >> 8), bajo = char(c.unicode() & 0xFF);
                b.append(orden == QSysInfo::LittleEndian ? bajo : alto);
                b.append(orden == QSysInfo::LittleEndian ? alto : bajo);
            }
            return b;
        };
        QTest::newRow("utf-16 le con marca") << utf16(QSysInfo::LittleEndian) << 6;
        QTest::newRow("utf-16 be con marca") << utf16(QSysInfo::BigEndian) << 6;
        QTest::newRow("utf-8 con marca") << QByteArray("\xEF\xBB\xBF") + unicode.toUtf8() << 6;
        QTest::newRow("ansi con acentos")
            << QByteArray("[Secci\xF3n]\nEmpresaActiva=1\n[Control]\nEmpresaActiva=6\n") << 6;
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

    // Whether a write would reach a protected file: links followed, letter case ignored, a
    // missing file judged by the nearest folder that exists.
    void archivoProtegido_data()
    {
        QTest::addColumn<QString>("destino");
        QTest::addColumn<bool>("protegido");
        QTest::newRow("el mismo") << "Host/DataBase/Tavoro.mdb" << true;
        QTest::newRow("otras mayusculas") << "HOST/database/TAVORO.MDB" << true;
        QTest::newRow("con puntos") << "Host/./DataBase/../DataBase/Tavoro.mdb" << true;
        QTest::newRow("enlace al archivo") << "enlace.pdf" << true;
        QTest::newRow("enlace a la carpeta") << "carpeta/tavoro.mdb" << true;
        QTest::newRow("enlace a un enlace") << "enlace2.pdf" << true;
        QTest::newRow("el archivo de ajustes") << "Host/tavoro.ini" << true;
        QTest::newRow("otro archivo al lado") << "Host/DataBase/Tavoro.pdf" << false;
        QTest::newRow("otra carpeta") << "Otra/Tavoro.mdb" << false;
        QTest::newRow("enlaces en ciclo") << "ciclo1" << false;
        QTest::newRow("vacio") << "" << false;
    }
    void archivoProtegido()
    {
        QFETCH(QString, destino);
        QFETCH(bool, protegido);
        if (QByteArray(QTest::currentDataTag()).contains("enlace"))
            QRTZ_REQUIERE_ENLACES();
        QTemporaryDir d;
        QDir(d.path()).mkpath("Host/DataBase");
        QDir(d.path()).mkpath("Otra");
        QFile f(d.filePath("Host/DataBase/Tavoro.mdb"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QFile::link(d.filePath("Host/DataBase/Tavoro.mdb"), d.filePath("enlace.pdf"));
        QFile::link(d.filePath("enlace.pdf"), d.filePath("enlace2.pdf"));
        QFile::link(d.filePath("Host/DataBase"), d.filePath("carpeta"));
        QFile::link(d.filePath("ciclo2"), d.filePath("ciclo1"));
        QFile::link(d.filePath("ciclo1"), d.filePath("ciclo2"));
        ArchivosHost::ProtegeArchivo(d.filePath("Host/DataBase/Tavoro.mdb"));
        ArchivosHost::LeeEnteroIni(d.filePath("Host/Tavoro.INI"), "Control", "EmpresaActiva",
                                   0); // missing: protected too
        QCOMPARE(ArchivosHost::EsArchivoProtegido(destino.isEmpty() ? destino : d.filePath(destino)),
                 protegido);
    }

    // Writing into the host's database folder, or anything inside it, is refused whatever leads
    // there: its own name in any letter case, a link, a second mount of it, a subfolder; its
    // parent (the program's folder) and other folders are not.
    void carpetaProtegida_data()
    {
        QTest::addColumn<QString>("carpeta");
        QTest::addColumn<bool>("protegida");
        QTest::newRow("la carpeta") << "Host/DataBase" << true;
        QTest::newRow("otras mayusculas") << "HOST/DATABASE" << true;
        QTest::newRow("una subcarpeta que falta") << "Host/DataBase/nueva/otra" << true;
        QTest::newRow("con puntos") << "Host/otra/../DataBase" << true;
        QTest::newRow("enlace a la carpeta") << "enlace/detalle" << true;
        QTest::newRow("segundo montaje") << "montaje" << true;
        QTest::newRow("subcarpeta del segundo montaje") << "montaje/sub" << true;
        QTest::newRow("la carpeta del programa") << "Host" << false;
        QTest::newRow("otra carpeta") << "Otra/DataBase" << false;
    }
    void carpetaProtegida()
    {
        QFETCH(QString, carpeta);
        QFETCH(bool, protegida);
        QTemporaryDir d;
        QDir(d.path()).mkpath("Host/DataBase/sub");
        QDir(d.path()).mkpath("Otra/DataBase");
        TMontajePrueba Montaje;
        if (carpeta.startsWith("enlace")) {
            QRTZ_REQUIERE_ENLACES();
            QVERIFY(QFile::link(d.filePath("Host/DataBase"), d.filePath("enlace")));
        }
        if (carpeta.startsWith("montaje") &&
            !Montaje.MontaEnlace(d.filePath("Host/DataBase"), d.filePath("montaje")))
            QSKIP("el sistema no permite montar carpetas aquí");
        ArchivosHost::ProtegeCarpeta(d.filePath("Host/DataBase"));
        QCOMPARE(ArchivosHost::RevisaCarpeta(d.filePath(carpeta)) == ArchivosHost::TDestino::CarpetaBD,
                 protegida);
        QCOMPARE(ArchivosHost::RevisaDestino(d.filePath(carpeta + "/r.pdf")) ==
                     ArchivosHost::TDestino::CarpetaBD,
                 protegida);
    }
};

QTEST_GUILESS_MAIN(TestArchivosHost)
#include "TestArchivosHost.moc"
