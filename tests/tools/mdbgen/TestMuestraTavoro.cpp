// The sample host folder written by "mdbgen sample", read back by mdbtools and mdb-reader.
#include "OmisionCTest.h"
#include "Proceso.h"
#include "tools/mdbgen/MuestraTavoro.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A table as mdb-reader gives it: rows as maps column → value.
struct TTablaLeida
{
    int nFilas = -1;
    QStringList Columnas;
    QList<QVariantMap> Datos;
};

const QStringList kTablas = {"tEmps",    "tCompUsr", "tPaises", "tEstados",   "tCiudad",
                             "tEmpresa", "tSistema", "tSector", "tNivRiesgo", "tDivisas",
                             "tCliente", "tMovtos",  "tProces", "tRelevan",   "tMsgInterno"};

} // namespace

class TestMuestraTavoro : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir F_Dir;
    QString F_sCarpeta;
    QMap<QString, TTablaLeida> F_Tablas;
    QString F_sPassword;
    bool F_bLectores = false;

    // Why the independent readers cannot run, or nothing. The test itself skips: QSKIP in a helper
    // would only leave the helper.
    QString faltaLector() const
    {
#ifdef Q_OS_WIN
        return QStringLiteral("en Windows: los lectores independientes (mdbtools, node) son de Linux; "
                              "scripts/windows/test.sh compara en Linux lo que escribe mdbgen.exe");
#else
        if (!F_bLectores)
            return QStringLiteral("faltan mdbtools, node o el paquete npm mdb-reader (los instala "
                                  "scripts/install-deps.sh)");
        return QString();
#endif
    }
    const TTablaLeida& tabla(const QString& sNombre)
    {
        return F_Tablas[sNombre];
    }

private slots:
    void initTestCase()
    {
        QVERIFY(F_Dir.isValid());
        F_sCarpeta = F_Dir.filePath("Tavoro");
        const TSalida S = ejecuta(QStringLiteral(MDBGEN_EXE),
                                  {"sample", F_sCarpeta, "--operaciones", "3000", "--semilla", "7"});
        QVERIFY2(S.nCodigo == 0, S.Errores.constData());

        const QString sNode = QStandardPaths::findExecutable("node");
        F_bLectores = !QStandardPaths::findExecutable("mdb-export").isEmpty() && !sNode.isEmpty() &&
                      QFile::exists(QStringLiteral(
                          QRTZ_RAIZ "/tests/tools/mdbgen/node/node_modules/mdb-reader/package.json"));
        if (!F_bLectores)
            return;
        const TSalida N = ejecuta(sNode, {QStringLiteral(QRTZ_RAIZ "/tests/tools/mdbgen/node/vuelca.mjs"),
                                          F_sCarpeta + "/DataBase/Tavoro.mdb", MuestraTavoro::kPassword});
        QVERIFY2(N.nCodigo == 0, N.Errores.constData());
        const QJsonObject Raiz = QJsonDocument::fromJson(N.Salida).object();
        F_sPassword = Raiz.value("password").toString();
        const QJsonObject Tablas = Raiz.value("tablas").toObject();
        for (auto it = Tablas.begin(); it != Tablas.end(); ++it) {
            const QJsonObject T = it.value().toObject();
            TTablaLeida L;
            L.nFilas = T.value("filas").toInt();
            for (const QJsonValue& C : T.value("columnas").toArray())
                L.Columnas << C.toObject().value("nombre").toString();
            for (const QJsonValue& F : T.value("datos").toArray()) {
                QVariantMap M;
                const QJsonArray A = F.toArray();
                for (int i = 0; i < A.size(); ++i)
                    M.insert(L.Columnas[i], A[i].toVariant());
                L.Datos << M;
            }
            F_Tablas.insert(it.key(), L);
        }
    }

    void archivoDeConfiguracion()
    {
        QFile Ini(F_sCarpeta + "/Tavoro.INI");
        QVERIFY(Ini.open(QIODevice::ReadOnly));
        QCOMPARE(Ini.readAll(), QByteArray("[Control]\r\nEmpresaActiva=1\r\n"));
    }

    // Every table the program reads, with the same row count for both readers.
    void tablasYFilas()
    {
        if (const QString sFalta = faltaLector(); !sFalta.isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA(qPrintable(sFalta));
        const QString sMdb = F_sCarpeta + "/DataBase/Tavoro.mdb";
        QCOMPARE(F_sPassword, MuestraTavoro::kPassword);
        const TSalida Tablas = ejecuta("mdb-tables", {"-1", sMdb});
        QCOMPARE(QString::fromUtf8(Tablas.Salida).split('\n', Qt::SkipEmptyParts), kTablas);
        QCOMPARE(QStringList(F_Tablas.keys()).size(), kTablas.size());
        for (const QString& sTabla : kTablas) {
            const TTablaLeida& T = tabla(sTabla);
            QCOMPARE(T.Datos.size(), T.nFilas);
            QCOMPARE(QString::fromUtf8(ejecuta("mdb-count", {sMdb, sTabla}).Salida).trimmed(),
                     QString::number(T.nFilas));
            const TSalida Csv = ejecuta("mdb-export", {"-H", sMdb, sTabla});
            QCOMPARE(Csv.nCodigo, 0);
            if (sTabla != "tRelevan" && sTabla != "tMsgInterno") // memos may hold line breaks
                QCOMPARE(Csv.Salida.count('\n'), T.nFilas);
        }
        QCOMPARE(tabla("tMovtos").nFilas + tabla("tProces").nFilas, 3000);
        QVERIFY(tabla("tProces").nFilas > 0);
        QCOMPARE(tabla("tCompUsr").nFilas, 0);
        QCOMPARE(tabla("tEmpresa").nFilas, 1);
    }

    // The columns the program's queries name.
    void columnasLeidasPorElPrograma_data()
    {
        QTest::addColumn<QString>("sTabla");
        QTest::addColumn<QStringList>("Columnas");
        QTest::newRow("tEmps") << "tEmps" << QStringList{"ClaveEmp", "Password", "Nivel"};
        QTest::newRow("tEmpresa") << "tEmpresa"
                                  << QStringList{"Empresa",      "RFC",        "RegistroCC", "NumEmp",
                                                 "NomComercial", "CveCiudSuc", "ClaveCiudad"};
        QTest::newRow("tSistema") << "tSistema" << QStringList{"NumVersion"};
        QTest::newRow("tCliente") << "tCliente"
                                  << QStringList{"ClaveCliente",    "Nombre",       "ApellidoPaterno",
                                                 "ApellidoMaterno", "PersonaMoral", "Extranjero",
                                                 "ClaveSector",     "Fideicomiso",  "ClaveRiesgo",
                                                 "ClaveCiudad",     "NumEmp"};
        QTest::newRow("tSector") << "tSector" << QStringList{"ClaveSector", "Sector", "ClaveActividad"};
        QTest::newRow("tNivRiesgo") << "tNivRiesgo" << QStringList{"ClaveNivel", "NivelRiesgo"};
        QTest::newRow("tCiudad") << "tCiudad" << QStringList{"ClaveCiudad", "Ciudad", "ClaveEstado"};
        QTest::newRow("tEstados") << "tEstados" << QStringList{"ClaveEstado", "Estado", "ClavePais"};
        QTest::newRow("tPaises") << "tPaises" << QStringList{"ClavePais", "Pais"};
        const QStringList Ops{"Tipo",     "Folio",        "Fecha",  "NumeroDivisa", "Cotizacion",
                              "Cantidad", "ClaveCliente", "NumEmp", "Cancelado"};
        QTest::newRow("tMovtos") << "tMovtos" << Ops;
        QTest::newRow("tProces") << "tProces" << Ops;
        QTest::newRow("tDivisas") << "tDivisas" << QStringList{"NumeroDivisa", "Simbolo", "Pagare"};
        QTest::newRow("tRelevan") << "tRelevan" << QStringList{"NoRelevan",     "Fecha",        "TipoRelev",
                                                               "EliminXAnt",    "Reportada",    "FecReporte",
                                                               "Observaciones", "ClaveCliente", "NumEmp"};
        QTest::newRow("tMsgInterno") << "tMsgInterno" << QStringList{"Numero", "Fecha"};
    }
    void columnasLeidasPorElPrograma()
    {
        if (const QString sFalta = faltaLector(); !sFalta.isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA(qPrintable(sFalta));
        QFETCH(QString, sTabla);
        QFETCH(QStringList, Columnas);
        for (const QString& sCol : Columnas)
            QVERIFY2(tabla(sTabla).Columnas.contains(sCol), qPrintable(sTabla + "." + sCol));
    }

    // The cases the questionnaire's queries distinguish are all present.
    void contenido()
    {
        if (const QString sFalta = faltaLector(); !sFalta.isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA(qPrintable(sFalta));
        // Administrator ADMIN/ADMIN, a cashier, an employee without password.
        bool bAdmin = false, bCajero = false, bSinPassword = false;
        for (const QVariantMap& E : tabla("tEmps").Datos) {
            bAdmin =
                bAdmin || (E["ClaveEmp"] == "ADMIN" && E["Password"] == "ADMIN" && E["Nivel"].toInt() == 0);
            bCajero = bCajero || E["Nivel"].toInt() == 1;
            bSinPassword = bSinPassword || (E["Password"].isNull() && E["Nivel"].toInt() != 0);
        }
        QVERIFY(bAdmin && bCajero && bSinPassword);

        const QVariantMap Empresa = tabla("tEmpresa").Datos.value(0);
        for (const char* sCol :
             {"Empresa", "RFC", "RegistroCC", "NumEmp", "NomComercial", "CveCiudSuc", "ClaveCiudad"})
            QVERIFY2(!Empresa[sCol].isNull(), sCol);
        QCOMPARE(Empresa["NumEmp"].toInt(), MuestraTavoro::kEmpresaActiva);
        QCOMPARE(tabla("tSistema").Datos.value(0)["NumVersion"].toDouble(), 30.0);

        QSet<QString> Actividades, Sectores;
        for (const QVariantMap& S : tabla("tSector").Datos) {
            Actividades << S["ClaveActividad"].toString();
            Sectores << S["Sector"].toString();
        }
        for (const char* s : {"9503005", "6999992", "8123094", "9911018", "8219025", "8100000"})
            QVERIFY2(Actividades.contains(s), s);
        QVERIFY(Sectores.contains("NO APLICA"));
        QSet<QString> Niveles;
        for (const QVariantMap& N : tabla("tNivRiesgo").Datos)
            Niveles << N["NivelRiesgo"].toString();
        QCOMPARE(Niveles, (QSet<QString>{"BAJO", "MEDIO", "ALTO"}));
        QSet<QString> Dolares;
        for (const QVariantMap& D : tabla("tDivisas").Datos)
            if (D["Simbolo"] == "USD")
                Dolares << (D["Pagare"].toBool() ? "pagaré" : "efectivo");
        QCOMPARE(Dolares, (QSet<QString>{"pagaré", "efectivo"}));

        QSet<QString> Claves;
        int nMorales = 0, nExtranjeros = 0, nFideicomisos = 0, nSinCiudad = 0, nOtraEmpresa = 0, nItf = 0,
            nFondos = 0;
        for (const QVariantMap& C : tabla("tCliente").Datos) {
            Claves << C["ClaveCliente"].toString();
            nMorales += C["PersonaMoral"].toBool();
            nExtranjeros += C["Extranjero"].toBool();
            nFideicomisos += C["Fideicomiso"].toBool();
            nSinCiudad += C["ClaveCiudad"].isNull();
            nOtraEmpresa += C["NumEmp"].toInt() != 1;
            nItf += C["Nombre"].toString().toUpper().contains("INSTITUCION DE FINANCIAMIENTO");
            nFondos += C["Nombre"].toString().toUpper().contains("INSTITUCION DE DE FONDOS");
        }
        QVERIFY(Claves.contains("10000000"));
        QVERIFY(nMorales > 0 && nMorales < tabla("tCliente").nFilas);
        QVERIFY(nExtranjeros > 0 && nFideicomisos >= 2 && nSinCiudad > 0 && nOtraEmpresa > 0);
        QCOMPARE(nItf, 2);
        QCOMPARE(nFondos, 1);

        // Operations: 2016 to 2019, both kinds, cancellations, another company, folios of
        // several lines; every client and currency exists.
        QSet<int> Anios, Divisas;
        for (const QVariantMap& D : tabla("tDivisas").Datos)
            Divisas << D["NumeroDivisa"].toInt();
        QSet<QString> Tipos;
        QMap<int, int> LineasPorFolio;
        int nCancelados = 0, nOtra = 0, nPublico = 0;
        for (const char* sTabla : {"tMovtos", "tProces"})
            for (const QVariantMap& O : tabla(sTabla).Datos) {
                Anios << O["Fecha"].toDateTime().date().year();
                Tipos << O["Tipo"].toString();
                ++LineasPorFolio[O["Folio"].toInt()];
                nCancelados += O["Cancelado"].toBool();
                nOtra += O["NumEmp"].toInt() != 1;
                nPublico += O["ClaveCliente"] == "10000000";
                QVERIFY(Claves.contains(O["ClaveCliente"].toString()));
                QVERIFY(Divisas.contains(O["NumeroDivisa"].toInt()));
                QVERIFY(O["Cotizacion"].toDouble() > 0 && O["Cantidad"].toDouble() > 0);
            }
        QCOMPARE(Anios, (QSet<int>{2016, 2017, 2018, 2019}));
        QCOMPARE(Tipos, (QSet<QString>{"C", "V"}));
        QVERIFY(nCancelados > 0 && nOtra > 0 && nPublico > 0);
        QVERIFY(std::count_if(LineasPorFolio.begin(), LineasPorFolio.end(), [](int n) { return n > 1; }) > 0);

        // Unusual-operation records of 2018 that mention a PEP: four clients of company 1.
        QSet<QString> Peps;
        bool bMemoLargo = false;
        for (const QVariantMap& R : tabla("tRelevan").Datos) {
            const QString sObs = R["Observaciones"].toString();
            bMemoLargo = bMemoLargo || sObs.size() > 4096;
            if (R["TipoRelev"] == "I" && R["Fecha"].toDateTime().date().year() == 2018 &&
                R["NumEmp"].toInt() == 1 && sObs.contains("PEP", Qt::CaseInsensitive))
                Peps << R["ClaveCliente"].toString();
        }
        QCOMPARE(Peps.size(), 4);
        QVERIFY(bMemoLargo);
        QVERIFY(tabla("tMsgInterno").nFilas >= 12);
    }

    // The same seed gives the same bytes; another seed another database.
    void reproducible()
    {
        auto huella = [](std::uint64_t nSemilla) {
            auto pE = CreaBaseMuestraTavoro({.nOperaciones = 2000, .nSemilla = nSemilla});
            return pE ? QCryptographicHash::hash(pE->DameBytes(), QCryptographicHash::Sha256) : QByteArray();
        };
        const QByteArray Uno = huella(7);
        QVERIFY(!Uno.isEmpty());
        QCOMPARE(huella(7), Uno);
        QVERIFY(huella(8) != Uno);
    }

    void opcionesInvalidas_data()
    {
        QTest::addColumn<QStringList>("Args");
        QTest::newRow("número no válido") << QStringList{"--operaciones", "mil"};
        QTest::newRow("opción desconocida") << QStringList{"--filas", "10"};
        QTest::newRow("sin valor") << QStringList{"--semilla"};
    }
    void opcionesInvalidas()
    {
        QFETCH(QStringList, Args);
        const QString sCarpeta = F_Dir.filePath("mala");
        const TSalida S = ejecuta(QStringLiteral(MDBGEN_EXE), QStringList{"sample", sCarpeta} + Args);
        QCOMPARE(S.nCodigo, 2);
        QVERIFY2(S.Errores.contains("no válido"), S.Errores.constData());
        QVERIFY(!QFile::exists(sCarpeta));
    }
};

#define main qrtzMainQt
QTEST_GUILESS_MAIN(TestMuestraTavoro)
#undef main
QRTZ_MAIN_CON_OMISION
#include "TestMuestraTavoro.moc"
