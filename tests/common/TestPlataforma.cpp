#include "common/Plataforma.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

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

    // A file that cannot be opened is reported with the system's reason, and nothing else
    // opens it in its place.
    void lecturaDeArchivoAusente()
    {
        QFile f(dir.filePath("no-existe.mdb"));
        QString sError;
        QVERIFY(!Plataforma::AbreSoloLectura(f, &sError));
        QVERIFY(!sError.isEmpty());
        QVERIFY(!f.isOpen());
        QVERIFY(!QFileInfo::exists(f.fileName()));
    }

    // A database deep in folders, its path beyond the classic 260 characters, opens all the same.
    void lecturaConRutaLarga()
    {
        QString sCarpeta = dir.path();
        while (sCarpeta.size() < 300)
            sCarpeta += QStringLiteral("/carpeta-de-una-sucursal-lejana");
        QVERIFY(QDir().mkpath(sCarpeta));
        const QString sRuta = sCarpeta + QStringLiteral("/Tavoro.mdb");
        {
            QFile f(sRuta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write("abc"), qint64(3));
        }
        QFile f(sRuta);
        QString sError;
        QVERIFY2(Plataforma::AbreSoloLectura(f, &sError), qPrintable(sError));
        QCOMPARE(f.readAll(), QByteArray("abc"));
        QVERIFY(Plataforma::IdentidadArchivo(sRuta).bValida);
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

    // One file is one identity whatever name reaches it: a hard link, a symbolic link, and on
    // Windows the long form of its name and, under Wine, the same file through the drive letter
    // that maps the whole Unix tree (a second drive letter for one disk, as a mapped drive is).
    void identidad()
    {
        const QString sRuta = escribe("identidad.mdb", "base");
        const QString sOtro = escribe("otro.mdb", "base");
        const Plataforma::TIdentidadArchivo Id = Plataforma::IdentidadArchivo(sRuta);
        QVERIFY(Id.bValida);
        QVERIFY(!(Id == Plataforma::IdentidadArchivo(sOtro)));
        QVERIFY(!Plataforma::IdentidadArchivo(dir.filePath("no-existe.mdb")).bValida);
        QVERIFY(Plataforma::IdentidadArchivo(dir.path()) == Plataforma::IdentidadArchivo(dir.path() + "/."));
        QStringList Nombres;
        const QString sDuro = dir.filePath("duro.pdf");
        QVERIFY(enlaceDuro(sRuta, sDuro));
        Nombres << sDuro;
#ifdef Q_OS_WIN
        Nombres << "\\\\?\\" + QDir::toNativeSeparators(sRuta);
        const QString sUnix = nombreUnixDeWine(sRuta);
        if (!sUnix.isEmpty())
            Nombres << "Z:" + QString(sUnix).replace('/', '\\');
#else
        QVERIFY(QFile::link(sRuta, dir.filePath("simbolico.pdf")));
        Nombres << dir.filePath("simbolico.pdf");
#endif
        for (const QString& s : Nombres)
            QVERIFY2(Plataforma::IdentidadArchivo(s) == Id, qPrintable(s));
    }

    // A new file never opens what stands at its name, not even a link to nothing; what it writes
    // is there once closed; a failed write is reported with the system's reason in Spanish.
    void archivoNuevo()
    {
        const QString sExiste = escribe("existe.csv", "antes");
        Plataforma::TArchivoNuevo a;
        QVERIFY(!a.Crea(sExiste));
        QVERIFY(!Plataforma::TextoError(a.Error()).isEmpty());
        QFile f(sExiste);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("antes"));
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(dir.filePath("nada"), dir.filePath("colgante.csv")));
        QVERIFY(!a.Crea(dir.filePath("colgante.csv")));
        QVERIFY(!QFileInfo::exists(dir.filePath("nada")));
#endif
        const QString sNuevo = dir.filePath("nuevo.csv");
        QVERIFY(a.Crea(sNuevo));
        QVERIFY(a.Escribe("uno;dos\r\n", 9));
        QVERIFY(a.Cierra());
        QFile g(sNuevo);
        QVERIFY(g.open(QIODevice::ReadOnly));
        QCOMPARE(g.readAll(), QByteArray("uno;dos\r\n"));
    }

#ifndef Q_OS_WIN
    // A file that outgrows the process's size limit fails with its reason instead of ending the
    // program with a signal.
    void archivoNuevoSinEspacio()
    {
        rlimit Antes{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &Antes) == 0);
        rlimit Limite = Antes;
        Limite.rlim_cur = 4096;
        Plataforma::TArchivoNuevo a;
        QVERIFY(a.Crea(dir.filePath("grande.pdf")));
        QVERIFY(setrlimit(RLIMIT_FSIZE, &Limite) == 0);
        const QByteArray Datos(8192, 'x');
        const bool bEscrito = a.Escribe(Datos.constData(), Datos.size());
        setrlimit(RLIMIT_FSIZE, &Antes);
        QVERIFY(!bEscrito);
        QCOMPARE(Plataforma::TextoError(a.Error()),
                 QStringLiteral("el archivo excede el tamaño que el sistema permite"));
        a.Cierra();
    }
#endif

    // Names whose bytes are not text are shown as their bytes; text names pass.
    void nombreRepresentable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valido");
        QTest::addColumn<QString>("escapado");
        QTest::newRow("texto") << QByteArray("/tmp/año") << true << QStringLiteral("/tmp/año");
#ifndef Q_OS_WIN
        QTest::newRow("latin-1") << QByteArray("lat\xE9n") << false << QStringLiteral("lat\\xE9n");
        QTest::newRow("mezcla") << QByteArray("a\xC3\xB1o\xFF") << false << QStringLiteral("año\\xFF");
#endif
    }
    void nombreRepresentable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valido);
        QFETCH(QString, escapado);
        QString s;
        QCOMPARE(Plataforma::NombreRepresentable(bytes, s), valido);
        QCOMPARE(s, escapado);
    }

private:
    static bool enlaceDuro(const QString& sDe, const QString& sA)
    {
#ifdef Q_OS_WIN
        return CreateHardLinkW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(sA).utf16()),
                               reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(sDe).utf16()),
                               nullptr);
#else
        return ::link(QFile::encodeName(sDe).constData(), QFile::encodeName(sA).constData()) == 0;
#endif
    }
#ifdef Q_OS_WIN
    // Under Wine, the Unix name of a file (Wine's own export); empty on Windows itself.
    static QString nombreUnixDeWine(const QString& sRuta)
    {
        using TFuncion = char*(__cdecl*)(const wchar_t*);
        const auto f = reinterpret_cast<TFuncion>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
        if (!f)
            return {};
        char* p = f(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(sRuta).utf16()));
        if (!p)
            return {};
        const QString s = QString::fromLocal8Bit(p);
        HeapFree(GetProcessHeap(), 0, p);
        return s;
    }
#endif
};

QTEST_GUILESS_MAIN(TestPlataforma)
#include "TestPlataforma.moc"
