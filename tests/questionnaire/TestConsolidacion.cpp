#include "ProcesoHerramienta.h"

#include "tools/mdbgen/MuestraTavoro.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace ProcesoHerramienta;

namespace {

const QString kNinguno = "NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL";

// A number of a detail file written with ';' (decimal comma).
double numero(const QString& s)
{
    return QString(s).replace(',', '.').toDouble();
}

// The rows of a detail file, header left out.
QList<QStringList> filas(const QString& sDir, const QString& sArchivo)
{
    return LeeCsv(sDir + '/' + sArchivo).mid(1);
}

double sumaColumna(const QString& sDir, const QString& sArchivo, int nColumna)
{
    double d = 0;
    for (const QStringList& f : filas(sDir, sArchivo))
        d += numero(f.value(nColumna));
    return d;
}

} // namespace

// cuestionario --consolidar on sample branches: every combined figure against the figures
// worked out here from the detail files of each branch's own run, and the error stops.
class TestConsolidacion : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    QString carpeta(const QString& s) const { return tmp.filePath(s); }
    QStringList login() const { return {"--usuario", "admin", "--password", "admin"}; }
    QMap<QString, QString> Candidatos; // a PEP candidate of each branch folder
    int nCorrida = 0;

    // A sample database written with a change, beside its settings file.
    bool escribeVariante(const QString& sCarpeta, const std::function<void(TEscritorMdb&)>& Cambia)
    {
        TOpcionesMuestra m;
        m.nOperaciones = 300;
        auto E = CreaBaseMuestraTavoro(m);
        if (!E)
            return false;
        Cambia(*E);
        QDir d(sCarpeta);
        QFile ini(d.filePath("Tavoro.INI"));
        return d.mkpath("DataBase") && ini.open(QIODevice::WriteOnly) &&
               ini.write("[Control]\r\nEmpresaActiva=1\r\n") > 0 &&
               E->Guarda(d.filePath("DataBase/Tavoro.mdb"));
    }

    // The expected consolidated answers, from each branch's own run with --detalle.
    void compruebaConsolidado(const QStringList& Sucursales, const QStringList& Marcas)
    {
        QStringList Dirs;
        for (int i = 0; i < Sucursales.size(); ++i) {
            const QString sDir = carpeta("det_" + QFileInfo(Sucursales[i]).fileName() + Marcas.value(i));
            QStringList a{Sucursales[i], "--detalle", sDir};
            if (!Marcas.value(i).isEmpty())
                a << "--pep" << Marcas[i];
            const TSalida s = Corre(a + login());
            QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));
            Dirs << sDir;
        }
        QStringList a{"--consolidar"};
        a << Sucursales << login();
        for (int i = 0; i < Sucursales.size(); ++i)
            if (!Marcas.value(i).isEmpty())
                // by number for the first branch, by folder for the others
                a << "--pep" << (i == 0 ? "1" : Sucursales[i]) + ":" + Marcas[i];
        const QString sDirC = carpeta(QString("consolidado%1").arg(Sucursales.size()));
        const QString sPDF = sDirC + ".pdf";
        a << "--detalle" << sDirC << "--pdf" << sPDF;
        const TSalida s = Corre(a);
        QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));
        const QMap<QString, QString> v = Variables(s.sSalida);

        // Counts: the sum of the branches' rows; 30: SI when a branch has a row.
        for (const QString& sVar :
             QStringList{"preg_22", "preg_23", "preg_31", "preg_32", "preg_33", "preg_34", "preg_35",
                         "preg_36", "preg_37", "preg_38", "preg_39", "preg_42_1", "preg_42_3", "preg_42_5",
                         "preg_43_1", "preg_43_3", "preg_43_5"}) {
            qsizetype n = 0;
            for (const QString& d : Dirs)
                n += filas(d, sVar + QString(".csv")).size();
            QVERIFY2(v.value(sVar) == QString::number(n), qPrintable(sVar + (": " + v.value(sVar))));
        }
        bool bITF = false;
        for (const QString& d : Dirs)
            bITF = bITF || !filas(d, "preg_30.csv").isEmpty();
        QCOMPARE(v.value("preg_30"), QString(bITF ? "SI" : "NO"));

        // Amounts: each branch's sum rounded to cents, then added.
        for (const auto& [sVar, nColumna] : QList<QPair<QString, int>>{{"preg_42_2", 8},
                                                                       {"preg_42_4", 7},
                                                                       {"preg_42_6", 7},
                                                                       {"preg_43_2", 8},
                                                                       {"preg_43_4", 7},
                                                                       {"preg_43_6", 7}}) {
            double d = 0;
            for (const QString& dir : Dirs)
                d += std::nearbyint(sumaColumna(dir, sVar + ".csv", nColumna) * 100) / 100;
            QVERIFY2(qAbs(v.value(sVar).toDouble() - d) < 0.001, qPrintable(sVar + ": " + v.value(sVar)));
        }

        // 9 and 10: the most frequent over the union of the branches' rows, not their lists joined.
        for (const auto& [sVar, nColumna] : QList<QPair<QString, int>>{{"preg_9", 4}, {"preg_10", 5}}) {
            QMap<QString, int> Conteo;
            for (const QString& d : Dirs)
                for (const QStringList& f : filas(d, sVar == "preg_9" ? "preg_09.csv" : "preg_10.csv"))
                    ++Conteo[f.value(nColumna).toUpper()];
            if (Conteo.isEmpty()) {
                QCOMPARE(v.value(sVar), kNinguno);
                continue;
            }
            const QStringList Lineas = v.value(sVar).split("\r\n");
            QCOMPARE(Lineas.size(), std::min(10, int(Conteo.size())));
            int nMenor = INT_MAX;
            for (const QString& l : Lineas) {
                QVERIFY2(Conteo.contains(l), qPrintable(l));
                QVERIFY(Conteo[l] <= nMenor);
                nMenor = Conteo[l];
            }
            for (auto it = Conteo.cbegin(); it != Conteo.cend(); ++it)
                QVERIFY2(Lineas.contains(it.key()) || it.value() <= nMenor, qPrintable(it.key()));
        }

        // 44 to 46: one line per branch; 44 from most operations down, 45 from largest amount down.
        for (const QString& sVar : QStringList{"preg_44", "preg_45", "preg_46"}) {
            const QStringList Lineas = v.value(sVar).split("\r\n");
            QCOMPARE(Lineas.size(), Sucursales.size());
            QList<qsizetype> Ops;
            QList<double> Montos;
            for (const QString& l : Lineas) {
                const int k = QRegularExpression("^Sucursal (\\d+) ").match(l).captured(1).toInt();
                QVERIFY2(k >= 1 && k <= Dirs.size(), qPrintable(l));
                const qsizetype n = filas(Dirs[k - 1], "preg_46.csv").size();
                Ops << n;
                Montos << sumaColumna(Dirs[k - 1], "preg_46.csv", 8);
                if (n == 0)
                    QVERIFY2(l.endsWith(": 0"), qPrintable(l));
                else
                    QVERIFY2(l.contains(QString("Numero de Operaciones:  %1 ").arg(n)), qPrintable(l));
            }
            for (int i = 1; i < Lineas.size(); ++i) {
                if (sVar == "preg_44")
                    QVERIFY(Ops[i - 1] >= Ops[i]);
                if (sVar == "preg_45")
                    QVERIFY(Montos[i - 1] >= Montos[i] - 0.01);
            }
        }
        // The company data of the first branch.
        QVERIFY(!v.value("NombreCC").isEmpty());

        // The consolidated details: every branch's rows, each with its branch.
        const QList<QStringList> Indice = LeeCsv(sDirC + "/indice.csv").mid(1);
        QCOMPARE(Indice.size(), 29);
        for (const QStringList& l : Indice) {
            const QList<QStringList> Todas = LeeCsv(sDirC + '/' + l[5]);
            qsizetype n = 0;
            for (const QString& d : Dirs)
                n += filas(d, l[5]).size();
            QCOMPARE(Todas.size() - 1, n);
            QCOMPARE(Todas.value(0).value(0), QString("Sucursal"));
        }
        // The per-branch table: a column per branch and the total.
        const QList<QStringList> Tabla = LeeCsv(sDirC + "/sucursales.csv");
        QCOMPARE(Tabla.value(0).size(), 2 + Sucursales.size() + 1);
        QCOMPARE(Tabla.value(0).last(), QString("Total"));
        for (const QStringList& f : Tabla.mid(1)) {
            if (f[0] == "30" || f[1].startsWith("Monto") || f[0].endsWith(".2") || f[0].endsWith(".4") ||
                f[0].endsWith(".6"))
                continue;
            qint64 n = 0;
            for (int i = 2; i < f.size() - 1; ++i)
                n += f[i].toLongLong();
            QCOMPARE(f.last().toLongLong(), n);
        }
        QFile pdf(sPDF);
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
        // The eleven pages of the questionnaire, then the per-branch page.
        if (!QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            const auto texto = [&](int nPagina) {
                QProcess p;
                p.start("pdftotext",
                        {"-f", QString::number(nPagina), "-l", QString::number(nPagina), sPDF, "-"});
                p.waitForFinished();
                return QString::fromUtf8(p.readAllStandardOutput());
            };
            QVERIFY(texto(11).contains("Página 11 de 11"));
            const QString sAnexo = texto(12);
            QVERIFY2(sAnexo.contains("Cifras por sucursal") && sAnexo.contains("Anexo: cifras por sucursal"),
                     qPrintable(sAnexo));
            for (int i = 1; i <= Dirs.size(); ++i)
                QVERIFY(sAnexo.contains(QString("Sucursal %1").arg(i)));
            QVERIFY(texto(13).isEmpty());
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        TOpcionesMuestra m;
        m.nOperaciones = 1500;
        QVERIFY(GeneraMuestraTavoro(carpeta("norte"), m));
        m.nOperaciones = 900;
        m.nSemilla = 7;
        QVERIFY(GeneraMuestraTavoro(carpeta("sur"), m));
        m.nOperaciones = 0;
        m.nSemilla = 11;
        QVERIFY(GeneraMuestraTavoro(carpeta("nueva"), m));
        // A branch where a cashier is working (tCompUsr is the second table of the sample).
        QVERIFY(escribeVariante(carpeta("ocupada"), [](TEscritorMdb& E) {
            E.AgregaFila(1, {"CAJERO1", "CAJA1", QDateTime(QDate(2019, 1, 2), QTime(9, 0)), 1});
        }));
        // A damaged database: the sample cut short.
        QVERIFY(GeneraMuestraTavoro(carpeta("danada"), m));
        QFile f(carpeta("danada/DataBase/Tavoro.mdb"));
        QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(3000));
        f.close();

        // A PEP candidate of each branch, from its own run.
        for (const QString& s : QStringList{"norte", "sur"}) {
            const TSalida r = Corre(QStringList{carpeta(s)} + login());
            QVERIFY2(r.nCodigo == 0, qPrintable(r.sError));
            for (const QString& l : r.sSalida.split('\n'))
                if (l.startsWith("PEP\t") && !Candidatos.contains(s))
                    Candidatos[s] = l.section('\t', 1, 1);
        }
        QCOMPARE(Candidatos.size(), 2);
    }

    void dosSucursales() { compruebaConsolidado({carpeta("norte"), carpeta("sur")}, {Candidatos["norte"]}); }

    void tresSucursalesUnaSinOperaciones()
    {
        compruebaConsolidado({carpeta("norte"), carpeta("sur"), carpeta("nueva")},
                             {Candidatos["norte"], Candidatos["sur"]});
    }

    // The JSON document of a consolidation holds each branch's run and the combined answers, the
    // same as the lines of a run without it.
    void json()
    {
        const QStringList a = QStringList{"--consolidar", carpeta("norte"), carpeta("sur")} + login();
        const TSalida Lineas = Corre(a);
        const TSalida s = Corre(a + QStringList{"--json"});
        QVERIFY2(s.nCodigo == 0 && Lineas.nCodigo == 0, qPrintable(s.sError + Lineas.sError));
        const QJsonObject o = QJsonDocument::fromJson(s.sSalida.toUtf8()).object();
        QCOMPARE(QStringList(o.keys()), (QStringList{"notas", "orden", "sucursales", "tabla", "variables"}));
        QCOMPARE(o["sucursales"].toArray().size(), 2);
        QCOMPARE(o["sucursales"].toArray().at(1)["carpeta"].toString(), carpeta("sur"));
        const QMap<QString, QString> v = Variables(Lineas.sSalida);
        QCOMPARE(o["variables"].toObject().size(), v.size());
        for (auto it = v.cbegin(); it != v.cend(); ++it)
            QCOMPARE(o["variables"][it.key()].toString(), it.value());
        QCOMPARE(o["tabla"]["columnas"].toArray().size(), 2 + 2 + 1);
        QVERIFY(o["notas"].toArray().size() >= 3);
    }

    // One failing branch stops everything: it is named, and no output file or folder appears.
    void errores_data()
    {
        QTest::addColumn<QStringList>("sucursales");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("contraseña") << QStringList{"norte", "sur"} << QStringList{"--password", "OTRA"}
                                    << "Sucursal 1 (norte), carpeta";
        QTest::newRow("usuario conectado")
            << QStringList{"norte", "ocupada", "sur"} << QStringList()
            << "Sucursal 2 (ocupada), carpeta %1: Hay un usuario conectado a la BD. Cierre Tavoro antes de "
               "continuar. No se escribió nada.";
        QTest::newRow("base dañada") << QStringList{"norte", "sur", "danada"} << QStringList()
                                     << "Sucursal 3 (danada), carpeta";
        QTest::newRow("carpeta inexistente") << QStringList{"norte", "nada"} << QStringList()
                                             << "Sucursal 2 (nada), carpeta %1: no existe la carpeta.";
        QTest::newRow("PEP sin sucursal") << QStringList{"norte", "sur"} << QStringList{"--pep", "C01"}
                                          << "La opción --pep C01 no indica la sucursal";
        QTest::newRow("PEP no detectado en su sucursal")
            << QStringList{"norte", "sur"} << QStringList{"--pep", "2:NOEXISTE"}
            << "Sucursal 2 (sur), carpeta %1: El cliente NOEXISTE no está entre los PEPs detectados.";
        QTest::newRow("una sola carpeta") << QStringList{"norte"} << QStringList()
                                          << "Indique al menos dos carpetas del Tavoro para consolidar.";
    }
    void errores()
    {
        QFETCH(QStringList, sucursales);
        QFETCH(QStringList, extra);
        QFETCH(QString, mensaje);
        QStringList a{"--consolidar"};
        for (const QString& s : sucursales)
            a << carpeta(s);
        const QString sSalidas = carpeta("salidas_" + QString::number(++nCorrida));
        a << login() << extra << "--detalle" << sSalidas + "/detalle"
          << "--pdf" << sSalidas + "/r.pdf"
          << "--tabla" << sSalidas + "/tabla.csv";
        QDir().mkpath(sSalidas);
        const TSalida s = Corre(a);
        QCOMPARE(s.nCodigo, 1);
        // The branch's folder as given, for the messages that name it.
        const QString sEsperado =
            mensaje.contains("%1")
                ? mensaje.arg(QDir::toNativeSeparators(carpeta(mensaje.section('(', 1).section(')', 0, 0))))
                : mensaje;
        QVERIFY2(s.sError.contains(sEsperado), qPrintable(s.sError));
        QVERIFY(!s.sSalida.contains("preg_"));
        QCOMPARE(QDir(sSalidas).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestConsolidacion)
#include "TestConsolidacion.moc"
