#include "EnlacesPrueba.h"
#include "FixturasHost.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct THuella
{
    QByteArray Hash;
    QDateTime Modificado;
    bool operator==(const THuella& o) const { return Hash == o.Hash && Modificado == o.Modificado; }
};

THuella huella(const QString& sRuta)
{
    QFile f(sRuta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return {QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256),
            QFileInfo(sRuta).fileTime(QFileDevice::FileModificationTime)};
}

} // namespace

// The command-line tool on host folders: its output, its Spanish errors and exit codes, and
// that the host files are only read.
class TestHerramienta : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;

    struct TSalida
    {
        int nCodigo = -1;
        QString sSalida, sError;
    };
    TSalida corre(const QStringList& Args)
    {
        QProcess p;
        p.start(QStringLiteral(QRTZ_CUESTIONARIO), Args);
        if (!p.waitForFinished(60000))
            return {};
        // Windows' console tools end their lines with CR LF.
        const auto texto = [](const QByteArray& b) { return QString::fromUtf8(b).replace("\r\n", "\n"); };
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, texto(p.readAllStandardOutput()),
                texto(p.readAllStandardError())};
    }
    QString carpeta(const QString& s) const { return tmp.filePath(s); }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        // Names in other letter cases, and a settings file as Windows reads it: section and key
        // in any case, blanks around them, comments, and the first occurrence wins.
        FixturasHost::TOpciones raro;
        raro.sDirBD = "database";
        raro.sArchivoBD = "TAVORO.MDB";
        raro.sArchivoIni = "tavoro.ini";
        raro.sIni = "; ajustes\r\n[Otra]\r\nEmpresaActiva=9\r\n[ control ]\r\n  EMPRESAACTIVA = 1 "
                    "\r\nEmpresaActiva=7\r\n";
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("raro"), 30, raro));
        FixturasHost::TOpciones conectado;
        conectado.bUsuarioConectado = true;
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("conectado"), 30, conectado));
        FixturasHost::TOpciones sinEmpresa;
        sinEmpresa.sIni = "[Control]\r\nEmpresaActiva=uno\r\n";
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("sinempresa"), 30, sinEmpresa));
        FixturasHost::TOpciones sinIni;
        sinIni.sArchivoIni = "Otro.INI";
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("sinini"), 30, sinIni));
    }

    void respuestas()
    {
        const QString mdb = carpeta("raro/database/TAVORO.MDB");
        const QString ini = carpeta("raro/tavoro.ini");
        const THuella antesBD = huella(mdb), antesIni = huella(ini);
        QTest::qWait(20); // a write would show in the modification time

        // Keys typed in lower case are sent in upper case, as the window types them.
        const TSalida s = corre(
            {carpeta("raro"), "--usuario", "admin", "--password", "clave1", "--pep", "C01", "--pep", "O'15"});
        QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));
        QVERIFY2(s.sError.isEmpty(), qPrintable(s.sError));
        QStringList lineas = s.sSalida.split('\n');
        QCOMPARE(lineas.takeLast(), QString());
        QStringList peps = lineas.mid(0, 6);
        peps.sort();
        QCOMPARE(peps, (QStringList{"PEP\t10000000\tPUBLICO EN GENERAL", "PEP\tC01\tJUAN PEREZ",
                                    "PEP\tC02\tMARIA LOPEZ", "PEP\tC07\tBANCO UNO",
                                    "PEP\tC08\tFIDEICOMISO F/1", "PEP\tO'15\t O'NEIL"}));
        const QStringList variables = lineas.mid(6);
        QCOMPARE(variables.size(), 2 + 45 + 12);
        QCOMPARE(variables[0], QString("NombreCC\tCAMBIOS DE PRUEBA, S.A. DE C.V."));
        QCOMPARE(variables[1], QString("RegCC\t08900777"));
        QCOMPARE(variables[2], QString("preg_1\t"));
        QVERIFY(variables.contains("preg_37\t2"));
        QVERIFY(variables.contains("preg_39\t3"));
        QVERIFY(variables.contains("preg_42_2\t53892.12"));
        QVERIFY(
            variables.contains("preg_46\tNumero de Operaciones:  24   Monto:  67002.12   en esta Sucursal "));
        QVERIFY(variables.contains(
                    "preg_10\tBAJA CALIFORNIA\\r\\nCALIFORNIA\\r\\nSONORA\\r\\nJALISCO\\r\\nNUEVO LEÓN") ||
                variables.contains(
                    "preg_10\tBAJA CALIFORNIA\\r\\nCALIFORNIA\\r\\nJALISCO\\r\\nSONORA\\r\\nNUEVO LEÓN"));
        QCOMPARE(variables.last(), QString("preg_47\t"));

        QVERIFY(huella(mdb) == antesBD);
        QVERIFY(huella(ini) == antesIni);
    }

    void errores_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensaje");
        const QString raro = carpeta("raro");
        QTest::newRow("sin argumentos") << QStringList() << 2 << "Falta la carpeta del Tavoro.";
        QTest::newRow("sin usuario") << QStringList{raro, "--password", "X"} << 2
                                     << "Por favor, escriba su usuario (Administrador).";
        QTest::newRow("opcion desconocida") << QStringList{raro, "--usuario", "A", "--password", "B", "--x"}
                                            << 2 << "Opción desconocida: --x";
        QTest::newRow("carpeta inexistente")
            << QStringList{carpeta("nada"), "--usuario", "A", "--password", "B"} << 1
            << "Error: no existe la carpeta";
        QTest::newRow("carpeta sin base") << QStringList{tmp.path(), "--usuario", "A", "--password", "B"} << 1
                                          << "no tiene DataBase\\Tavoro.mdb";
        QTest::newRow("contraseña")
            << QStringList{raro, "--usuario", "ADMIN", "--password", "OTRA"} << 1
            << "La contraseña es incorrecta o, el usuario no tiene permisos de administrador.";
        QTest::newRow("no administrador")
            << QStringList{raro, "--usuario", "CAJERO", "--password", "CLAVE1"} << 1
            << "La contraseña es incorrecta o, el usuario no tiene permisos de administrador.";
        QTest::newRow("usuario conectado")
            << QStringList{carpeta("conectado"), "--usuario", "ADMIN", "--password", "CLAVE1"} << 1
            << "Hay un usuario conectado a la BD. Cierre Tavoro antes de continuar.";
        QTest::newRow("empresa no numerica")
            << QStringList{carpeta("sinempresa"), "--usuario", "ADMIN", "--password", "CLAVE1"} << 1
            << "No se pudo extraer el Número de la Empresa predeterminada.";
        QTest::newRow("sin archivo de ajustes")
            << QStringList{carpeta("sinini"), "--usuario", "ADMIN", "--password", "CLAVE1"} << 1
            << "No se pudo extraer el Número de la Empresa predeterminada.";
        QTest::newRow("PEP no detectado")
            << QStringList{raro, "--usuario", "ADMIN", "--password", "CLAVE1", "--pep", "C03"} << 1
            << "El cliente C03 no está entre los PEPs detectados.";
    }
    void errores()
    {
        QFETCH(QStringList, args);
        QFETCH(int, codigo);
        QFETCH(QString, mensaje);
        const TSalida s = corre(args);
        QCOMPARE(s.nCodigo, codigo);
        QVERIFY2(s.sError.contains(mensaje), qPrintable(s.sError));
        QVERIFY(!s.sSalida.contains("preg_"));
    }

    void pdf()
    {
        const QString sPDF = carpeta("cuestionario.pdf");
        const TSalida s =
            corre({carpeta("raro"), "--usuario", "ADMIN", "--password", "CLAVE1", "--pdf", sPDF});
        QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));
        QFile f(sPDF);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        QVERIFY(b.startsWith("%PDF-"));
        QVERIFY(b.contains("/Author") && b.contains("/Subject"));
    }

    // The PDF never replaces a file of the host, whatever spelling or link leads to it; the
    // refusal comes from the export itself, so the preview's save dialog is covered too.
    void pdfNuncaSobreescribeElHost_data()
    {
        QTest::addColumn<QString>("destino");
        QTest::newRow("la base") << "raro/database/TAVORO.MDB";
        QTest::newRow("la base en otras mayusculas") << "raro/DataBase/Tavoro.mdb";
        QTest::newRow("el archivo de ajustes") << "raro/tavoro.ini";
        QTest::newRow("ajustes en otras mayusculas") << "raro/TAVORO.INI";
        QTest::newRow("ruta con puntos") << "raro/database/../tavoro.ini";
        QTest::newRow("enlace a la base") << "enlaces/base.pdf";
        QTest::newRow("carpeta enlazada") << "enlaces/carpeta/tavoro.mdb";
    }
    void pdfNuncaSobreescribeElHost()
    {
        QFETCH(QString, destino);
        if (destino.startsWith("enlaces/"))
            QRTZ_REQUIERE_ENLACES();
        QDir(tmp.path()).mkpath("enlaces");
        if (kHayEnlaces) {
            QFile::link(carpeta("raro/database/TAVORO.MDB"), carpeta("enlaces/base.pdf"));
            QFile::link(carpeta("raro/database"), carpeta("enlaces/carpeta"));
        }
        const QString mdb = carpeta("raro/database/TAVORO.MDB");
        const QString ini = carpeta("raro/tavoro.ini");
        const THuella antesBD = huella(mdb), antesIni = huella(ini);
        const QStringList antes =
            QDir(carpeta("raro")).entryList() + QDir(carpeta("raro/database")).entryList();
        QTest::qWait(20);
        const TSalida s =
            corre({carpeta("raro"), "--usuario", "ADMIN", "--password", "CLAVE1", "--pdf", carpeta(destino)});
        QCOMPARE(s.nCodigo, 1);
        QVERIFY2(s.sError.contains(
                     "es un archivo del Tavoro (su base de datos o su archivo de configuración), que "
                     "este programa nunca modifica"),
                 qPrintable(s.sError));
        QVERIFY(huella(mdb) == antesBD);
        QVERIFY(huella(ini) == antesIni);
        QCOMPARE(QDir(carpeta("raro")).entryList() + QDir(carpeta("raro/database")).entryList(), antes);
        QCOMPARE(QFileInfo(carpeta("enlaces/base.pdf")).isSymLink(), kHayEnlaces);
    }
};

QTEST_GUILESS_MAIN(TestHerramienta)
#include "TestHerramienta.moc"
