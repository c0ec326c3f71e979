#include "common/Plataforma.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

// The services that differ per system, checked on the system the tests run on.
class TestPlataforma : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString escribe(const QString& sNombre, const QByteArray& Datos)
    {
        const QString ruta = dir.filePath(sNombre);
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(Datos) != Datos.size())
            return QString();
        return ruta;
    }

private slots:
    // The host database stays free for the host: while the program reads it, others still open
    // it for writing, rename it and replace it; nothing appears beside it and its time stays.
    void lecturaNoBloqueaAlHost()
    {
        const QString ruta = escribe("Tavoro.mdb", QByteArray(4096, 'j'));
        QVERIFY(!ruta.isEmpty());
        const QDateTime antes = QFileInfo(ruta).lastModified();
        const QStringList entradas = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QTest::qWait(20); // a write would show in the modification time

        QFile lector(ruta);
        QVERIFY2(Plataforma::AbreSoloLectura(lector), qPrintable(lector.errorString()));
        QVERIFY(!lector.isWritable());
        QCOMPARE(lector.size(), qint64(4096));
        QVERIFY(lector.seek(100));
        QCOMPARE(lector.read(3), QByteArray("jjj"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), entradas);

        QFile host(ruta);
        QVERIFY2(host.open(QIODevice::ReadWrite), qPrintable(host.errorString()));
        host.close();
        const QString movida = dir.filePath("Tavoro.bak");
        QVERIFY2(QFile::rename(ruta, movida), "el archivo abierto no se pudo renombrar");
        QVERIFY(QFile::rename(movida, ruta));
        QVERIFY(lector.seek(0));
        QCOMPARE(lector.read(2), QByteArray("jj"));
        lector.close();
        QCOMPARE(QFileInfo(ruta).lastModified(), antes);
    }

    void lecturaDeArchivoAusente()
    {
        QFile f(dir.filePath("no-existe.mdb"));
        QVERIFY(!Plataforma::AbreSoloLectura(f));
        QVERIFY(!f.isOpen());
        QVERIFY(!QFileInfo::exists(f.fileName()));
    }

    // Another program holding the file exclusively keeps it from being opened; released, it opens.
    void bloqueoExclusivo()
    {
        if (Plataforma::IgnoraPermisos())
            QSKIP("el administrador del sistema lee cualquier archivo");
        const QString ruta = escribe("bloqueado.mdb", "abc");
        {
            Plataforma::TBloqueoExclusivo bloqueo(ruta);
            QVERIFY(bloqueo.Activo());
            QFile f(ruta);
            QVERIFY(!Plataforma::AbreSoloLectura(f));
        }
        QFile f(ruta);
        QVERIFY(Plataforma::AbreSoloLectura(f));
        QCOMPARE(f.readAll(), QByteArray("abc"));
    }

    // Text of the host's other code pages (Jet 3 columns may declare one).
    void codigoPagina_data()
    {
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("texto");
        QTest::newRow("cirílico 1251") << 1251 << QByteArray("\xC0\xE1\xE2") << QStringLiteral("Абв");
        QTest::newRow("centroeuropeo 1250") << 1250 << QByteArray("\x8A\xE8") << QStringLiteral("Šč");
        QTest::newRow("griego 1253") << 1253 << QByteArray("\xC1\xE2") << QStringLiteral("Αβ");
        QTest::newRow("occidental 1252") << 1252 << QByteArray("\x80\xF1") << QStringLiteral("€ñ");
        QTest::newRow("vacío") << 1251 << QByteArray() << QString();
    }
    void codigoPagina()
    {
        QFETCH(int, codigo);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, texto);
        const std::optional<QString> s = Plataforma::DecodificaCodigoPagina(bytes, codigo);
        QVERIFY(s.has_value());
        QCOMPARE(*s, texto);
    }

    void codigoPaginaDesconocido()
    {
        QVERIFY(!Plataforma::DecodificaCodigoPagina("\xC0", 99999).has_value());
    }
};

QTEST_GUILESS_MAIN(TestPlataforma)
#include "TestPlataforma.moc"
