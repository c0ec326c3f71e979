#include "EnlacesPrueba.h"
#include "FixturasHost.h"
#include "MontajePrueba.h"
#include "ProcesoHerramienta.h"
#include "common/Plataforma.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace ProcesoHerramienta;

namespace {

// What a file is: its bytes, its modification time and the time of its last change of any kind.
QString huella(const QString& sRuta)
{
    QFile f(sRuta);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<ausente>");
    return QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex()) +
           " " + QFileInfo(sRuta).lastModified().toString(Qt::ISODateWithMs) + " " +
           Plataforma::HoraDeCambio(sRuta).toString(Qt::ISODateWithMs);
}

// Every entry under a folder (links as links), with the contents of files.
QMap<QString, QString> listado(const QString& sCarpeta)
{
    QMap<QString, QString> m;
    QDirIterator it(sCarpeta, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString s = it.next();
        const QFileInfo i(s);
        m.insert(s, i.isSymLink() ? "-> " + i.symLinkTarget() : i.isDir() ? QStringLiteral("/") : huella(s));
    }
    return m;
}

bool enlaceDuro(const QString& sDe, const QString& sA)
{
#ifdef Q_OS_WIN
    return CreateHardLinkW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(sA).utf16()),
                           reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(sDe).utf16()), nullptr);
#else
    return ::link(QFile::encodeName(sDe).constData(), QFile::encodeName(sA).constData()) == 0;
#endif
}

} // namespace

// Every output of the tool against a table of hostile or careless targets: links to the host's
// database at the output's name or at a file of the detail set, a link to another file, work
// names placed in advance, the database folder through a second mount, a read-only folder and a
// full disk. The host's files stay byte- and time-identical, the exit code and message say what
// happened, and a failed run leaves nothing of its own behind.
class TestSalidasHostiles : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    QString carpeta(const QString& s) const { return tmp.filePath(s); }
    int nCaso = 0;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("host"), 30));
        FixturasHost::TOpciones Op;
        Op.ClavesExtra = {"Z9"};
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("host2"), 30, Op));
    }

    void destino_data()
    {
        QTest::addColumn<QString>("salida"); // pdf, detalle, libro, tabla
        QTest::addColumn<QString>("hostil");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensaje");
        const QStringList Salidas{"pdf", "detalle", "libro", "tabla"};
        const struct
        {
            const char* sHostil;
            int nCodigo;
            const char* sMensaje;
        } Hostiles[] = {
            {"enlace a la base", 1, "es un archivo del Tavoro"},
            {"enlace duro a la base", 1, "es un archivo del Tavoro"},
            {"enlace a un enlace a la base", 1, "es un archivo del Tavoro"},
            {"enlace a otro archivo", 0, "Se escribi"},
            {"nombres de trabajo puestos antes", 0, "Se escribi"},
            {"carpeta de la base por otro montaje", 1, "es la carpeta de la base de datos del Tavoro"},
            {"carpeta de solo lectura", 1, "No se pudo"},
            {"disco lleno", 1, "No se pudo"},
        };
        for (const QString& s : Salidas)
            for (const auto& h : Hostiles)
                QTest::newRow(qPrintable(s + ": " + h.sHostil))
                    << s << QString(h.sHostil) << h.nCodigo << h.sMensaje;
    }
    void destino()
    {
        QFETCH(QString, salida);
        QFETCH(QString, hostil);
        QFETCH(int, codigo);
        QFETCH(QString, mensaje);
        if (hostil.startsWith("enlace a") || hostil.startsWith("nombres"))
            QRTZ_REQUIERE_ENLACES();

        const QString sBD = carpeta("host/DataBase/Tavoro.mdb");
        const QString sOtro = carpeta("respaldo.mdb");
        if (!QFileInfo::exists(sOtro)) {
            QFile f(sOtro);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("respaldo del usuario") > 0);
        }
        TMontajePrueba Montaje;
        QString sDir = carpeta(QString("salida%1").arg(++nCaso));
        QVERIFY(QDir().mkpath(sDir));
        if (hostil == "carpeta de la base por otro montaje" &&
            !Montaje.MontaEnlace(carpeta("host/DataBase"), sDir))
            QSKIP("el sistema no permite montar carpetas aquí");
        if (hostil == "carpeta de solo lectura") {
#ifdef Q_OS_WIN
            QSKIP("en Windows el atributo de solo lectura de una carpeta no impide escribir en ella");
#endif
            if (Plataforma::IgnoraPermisos()
                    ? !Montaje.MontaPequeno(sDir, 64, true)
                    : !QFile::setPermissions(sDir, QFile::ReadOwner | QFile::ExeOwner))
                QSKIP("el sistema no permite montar un disco de solo lectura aquí");
        }
        bool bLimiteTamano = false;
        if (hostil == "disco lleno") {
            if (Montaje.MontaPequeno(sDir, 16)) {
                // An earlier output that the failed run must leave as it was, then nothing free.
                QFile Anterior(sDir + "/anterior.txt");
                QVERIFY(Anterior.open(QIODevice::WriteOnly) && Anterior.write("antes") > 0);
                Anterior.close();
                QFile Relleno(sDir + "/relleno");
                QVERIFY(Relleno.open(QIODevice::WriteOnly));
                while (Relleno.write(QByteArray(4096, 'r')) > 0 && Relleno.flush())
                    ;
            } else {
#ifdef Q_OS_WIN
                QSKIP("no hay disco pequeño que llenar aquí");
#else
                bLimiteTamano = true;
#endif
            }
        }

        // The output's name, and the hostile thing placed at it (or in its folder).
        const QString sArchivo = salida == "pdf"       ? sDir + "/r.pdf"
                                 : salida == "tabla"   ? sDir + "/tabla.csv"
                                 : salida == "detalle" ? sDir + "/detalle/preg_10.csv"
                                                       : sDir + "/detalle/detalle.xlsx";
        if (salida == "detalle" || salida == "libro")
            QDir().mkpath(sDir + "/detalle");
        if (hostil == "enlace a la base")
            QVERIFY(QFile::link(sBD, sArchivo));
        if (hostil == "enlace duro a la base")
            QVERIFY(enlaceDuro(sBD, sArchivo));
        if (hostil == "enlace a un enlace a la base") {
            QVERIFY(QFile::link(sBD, sDir + "/primero"));
            QVERIFY(QFile::link(sDir + "/primero", sArchivo));
        }
        if (hostil == "enlace a otro archivo")
            QVERIFY(QFile::link(sOtro, sArchivo));
        if (hostil == "nombres de trabajo puestos antes") {
            QStringList Nombres{sArchivo + ".tmp", sDir + "/detalle/detalle.xlsx.tmp",
                                sDir + "/." + QFileInfo(sArchivo).fileName() + ".tmp"};
            Nombres.removeDuplicates();
            for (const QString& n : Nombres)
                QVERIFY(QDir().mkpath(QFileInfo(n).absolutePath()) && QFile::link(sBD, n));
        }

        QStringList Args;
        if (salida == "tabla")
            Args << "--consolidar" << carpeta("host") << carpeta("host2") << "--tabla" << sArchivo;
        else
            Args << carpeta("host") << (salida == "pdf" ? "--pdf" : "--detalle")
                 << (salida == "pdf" ? sArchivo : sDir + "/detalle");
        Args << "--usuario" << FixturasHost::kUsuario << "--password" << FixturasHost::kPassword;

        const QMap<QString, QString> Host = listado(carpeta("host")), Host2 = listado(carpeta("host2"));
        const QString sHuellaOtro = huella(sOtro);
        const QMap<QString, QString> Antes = listado(sDir);
        QTest::qWait(20); // a write would show in the times
        TSalida s;
        if (bLimiteTamano) {
#ifndef Q_OS_WIN
            // No small disk here: the process may write no file larger than 512 bytes.
            QProcess p;
            p.setChildProcessModifier([] {
                rlimit l{512, 512};
                setrlimit(RLIMIT_FSIZE, &l);
            });
            p.start(QStringLiteral(QRTZ_CUESTIONARIO), Args);
            QVERIFY(p.waitForFinished(300000));
            s = {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                 QString::fromUtf8(p.readAllStandardError())};
#endif
        } else {
            s = Corre(Args);
        }

        QCOMPARE(listado(carpeta("host")), Host);
        QCOMPARE(listado(carpeta("host2")), Host2);
        QCOMPARE(huella(sOtro), sHuellaOtro);
        QVERIFY2(s.nCodigo == codigo, qPrintable(QString::number(s.nCodigo) + ": " + s.sError));
        QVERIFY2(s.sError.contains(mensaje), qPrintable(s.sError));
        if (codigo != 0) {
            // Said once, and nothing of the run is left.
            QCOMPARE(s.sError.count(mensaje), 1);
            QCOMPARE(listado(sDir), Antes);
            return;
        }
        // Written at the name, as a file of its own; what stood there in advance is untouched.
        QVERIFY(!QFileInfo(sArchivo).isSymLink());
        QVERIFY(QFileInfo(sArchivo).isFile() && QFileInfo(sArchivo).size() > 0);
        for (auto it = Antes.cbegin(); it != Antes.cend(); ++it)
            if (it.key() != sArchivo && !it.key().endsWith("/detalle"))
                QCOMPARE(listado(sDir).value(it.key()), it.value());
    }
};

QTEST_GUILESS_MAIN(TestSalidasHostiles)
#include "TestSalidasHostiles.moc"
