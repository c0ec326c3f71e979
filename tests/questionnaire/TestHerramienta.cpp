#include "EnlacesPrueba.h"
#include "FixturasHost.h"
#include "common/Version.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
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
        // A missing option is named in one form, whichever it is.
        QTest::newRow("sin usuario") << QStringList{raro, "--password", "X"} << 2
                                     << "Falta la opción --usuario con la clave de un administrador";
        QTest::newRow("sin contraseña")
            << QStringList{raro, "--usuario", "ADMIN"} << 2 << "Falta la opción --password con la contraseña";
        QTest::newRow("consolidar sin contraseña")
            << QStringList{"--consolidar", raro, carpeta("conectado"), "--usuario", "ADMIN"} << 2
            << "Falta la opción --password con la contraseña";
        QTest::newRow("usuario en blanco") << QStringList{raro, "--usuario", " ", "--password", "X"} << 2
                                           << "La clave después de --usuario está en blanco.";
        // Options that only mean something beside another are refused without it, before any
        // folder is read.
        const QStringList base{raro, "--usuario", "ADMIN", "--password", "CLAVE1"};
        QTest::newRow("--coma sin --detalle")
            << base + QStringList{"--coma"} << 2
            << "Las opciones --coma y --separador son para los archivos de --detalle o --tabla.";
        QTest::newRow("--separador sin --detalle")
            << base + QStringList{"--separador", ";"} << 2
            << "Las opciones --coma y --separador son para los archivos de --detalle o --tabla.";
        QTest::newRow("--coma con --separador")
            << base + QStringList{"--detalle", carpeta("det-ambos"), "--coma", "--separador", ";"} << 2
            << "Use --coma o --separador, no las dos";
        QTest::newRow("--tabla sin --consolidar") << base + QStringList{"--tabla", carpeta("t.csv")} << 2
                                                  << "La opción --tabla es de --consolidar.";
        QTest::newRow("--distintas-empresas sin --consolidar")
            << base + QStringList{"--distintas-empresas"} << 2
            << "La opción --distintas-empresas es de --consolidar.";
        const QStringList consolida{"--consolidar", raro,    carpeta("conectado"), "--usuario", "ADMIN",
                                    "--password",   "CLAVE1"};
        QTest::newRow("--tiempos con --consolidar")
            << consolida + QStringList{"--tiempos"} << 2
            << "Las opciones --tiempos y --sondeo miden una sola carpeta; no van con --consolidar.";
        QTest::newRow("--sondeo con --consolidar")
            << consolida + QStringList{"--sondeo"} << 2
            << "Las opciones --tiempos y --sondeo miden una sola carpeta; no van con --consolidar.";
        QTest::newRow("opcion desconocida") << QStringList{raro, "--usuario", "A", "--password", "B", "--x"}
                                            << 2 << "Opción desconocida: --x";
        QTest::newRow("carpeta inexistente")
            << QStringList{carpeta("nada"), "--usuario", "A", "--password", "B"} << 1
            << "Error: no existe la carpeta";
        // The path in the system's own form: DataBase\Tavoro.mdb on Windows only.
        QTest::newRow("carpeta sin base")
            << QStringList{tmp.path(), "--usuario", "A", "--password", "B"} << 1
            << QString("no tiene %1).").arg(QDir::toNativeSeparators("DataBase/Tavoro.mdb"));
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
        // A refused argument is said once, with the usage, and nothing runs.
        QCOMPARE(s.sError.count(mensaje), 1);
        if (codigo == 2) {
            QVERIFY2(s.sSalida.isEmpty(), qPrintable(s.sSalida));
            QVERIFY(s.sError.contains("Uso: cuestionario "));
        }
    }

    // --help, -h and /? explain every option on standard output, end with 0 and run nothing
    // else: no folder given beside them is looked at.
    void ayuda_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("--help") << QStringList{"--help"};
        QTest::newRow("-h") << QStringList{"-h"};
        QTest::newRow("/?") << QStringList{"/?"};
        QTest::newRow("antes de una carpeta inexistente") << QStringList{"-h", carpeta("nada")};
        QTest::newRow("tras las opciones")
            << QStringList{carpeta("nada"), "--usuario", "A", "--pdf", carpeta("nada/r.pdf"), "--help"};
    }
    void ayuda()
    {
        QFETCH(QStringList, args);
        const TSalida s = corre(args);
        QCOMPARE(s.nCodigo, 0);
        QVERIFY2(s.sError.isEmpty(), qPrintable(s.sError));
        QVERIFY2(s.sSalida.startsWith("Uso: cuestionario "), qPrintable(s.sSalida));

        // Explained: an indented line whose first column names the option, its text after.
        QSet<QString> Explicadas;
        static const QRegularExpression reExplicacion("^  (\\S.*?)\\s{2,}\\S");
        for (const QString& l : s.sSalida.split('\n')) {
            const QRegularExpressionMatch m = reExplicacion.match(l);
            if (m.hasMatch())
                for (const QString& sNombre : m.captured(1).split(", "))
                    Explicadas.insert(sNombre.section(' ', 0, 0));
        }
        const QStringList Todas{
            "--usuario",   "--password", "--pep",     "--pdf",    "--detalle",    "--coma",
            "--separador", "--json",     "--tiempos", "--sondeo", "--consolidar", "--distintas-empresas",
            "--tabla",     "--help",     "-h",        "/?",       "--version"};
        for (const QString& sOpcion : Todas)
            QVERIFY2(Explicadas.contains(sOpcion), qPrintable(sOpcion));
        // Nor is an option of the usage lines left unexplained.
        static const QRegularExpression reOpcion("--[a-z-]+");
        const QString sUso = s.sSalida.section("\n\n", 0, 0);
        for (auto it = reOpcion.globalMatch(sUso); it.hasNext();) {
            const QString sOpcion = it.next().captured();
            QVERIFY2(Explicadas.contains(sOpcion), qPrintable(sOpcion));
        }
    }

    void version()
    {
        const TSalida s = corre({"--version"});
        QCOMPARE(s.nCodigo, 0);
        QCOMPARE(s.sSalida, QString("cuestionario %1\n").arg(kVersionQRTZ));
        QVERIFY2(s.sError.isEmpty(), qPrintable(s.sError));
        QVERIFY(!QString(kVersionQRTZ).isEmpty());
    }

    // Each output written is confirmed once on the error stream, with its path in the system's
    // form; one that cannot be written is said once, with the system's reason, and nothing is
    // confirmed.
    void confirmaciones_data()
    {
        QTest::addColumn<QString>("opcion");
        QTest::addColumn<QString>("destino");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("PDF escrito") << "--pdf"
                                     << "salidas/cuestionario.pdf" << 0 << "Se escribió el archivo PDF %1.";
        QTest::newRow("detalle escrito")
            << "--detalle"
            << "salidas/detalle" << 0 << "Se escribió el detalle en la carpeta %1: ";
        QTest::newRow("PDF en una carpeta que no existe")
            << "--pdf"
            << "nada/cuestionario.pdf" << 1 << "No se pudo escribir el archivo %1: la carpeta no existe.";
#ifndef Q_OS_WIN
        QTest::newRow("PDF dentro de un archivo")
            << "--pdf"
            << "salidas/archivo.txt/cuestionario.pdf" << 1
            << "No se pudo escribir el archivo %1: una parte de la ruta no es una carpeta.";
#endif
    }
    void confirmaciones()
    {
        QFETCH(QString, opcion);
        QFETCH(QString, destino);
        QFETCH(int, codigo);
        QFETCH(QString, mensaje);
        QVERIFY(QDir(tmp.path()).mkpath("salidas"));
        QFile Archivo(carpeta("salidas/archivo.txt"));
        QVERIFY(Archivo.open(QIODevice::WriteOnly));
        Archivo.close();
        const TSalida s =
            corre({carpeta("raro"), "--usuario", "ADMIN", "--password", "CLAVE1", opcion, carpeta(destino)});
        QCOMPARE(s.nCodigo, codigo);
        const QString sMensaje = mensaje.arg(QDir::toNativeSeparators(carpeta(destino)));
        QVERIFY2(s.sError.startsWith(sMensaje), qPrintable(s.sError));
        QCOMPARE(s.sError.count(codigo == 0 ? "Se escribió" : "No se pudo"), 1);
        QVERIFY2(s.sError.count('\n') == 1, qPrintable(s.sError));
        QCOMPARE(QFileInfo::exists(carpeta(destino)), codigo == 0);
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
