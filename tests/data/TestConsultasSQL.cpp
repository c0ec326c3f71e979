#include "EnlacesPrueba.h"
#include "ProveedorFalso.h"
#include "common/DialogosGuion.h"
#include "data/ConsultasSQL.h"

#include <QTemporaryDir>
#include <QtTest>

// A subclass, to see that the error names the most derived class.
class TConsultaDerivada : public TConsultasSQL
{
public:
    using TConsultasSQL::F_qConsultaGen;
    using TConsultasSQL::TConsultasSQL;
};

class TestConsultasSQL : public QObject
{
    Q_OBJECT
    std::shared_ptr<TDialogosGuion> guion;
    TConexionBD conexion;

private slots:
    void init()
    {
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        InstalaProveedorFalso();
        TResultadoBD r;
        r.Columnas = QStringList{"A"};
        r.Filas.push_back({TValorBD::Entero(7)});
        EstadoFalso().Resultados.insert("SELECT A FROM T", r);
        conexion.SetCadenaConexion("Provider=Falso;Data Source=x");
        conexion.SetConectado(true);
    }
    void cleanup()
    {
        conexion.SetConectado(false);
        InstalaDialogos(nullptr);
        ProveedorSustituto = nullptr;
    }

    void pideConsultaAbreConLaPrimeraFila()
    {
        TConsultaDerivada c(&conexion);
        QVERIFY(c.PideConsulta("SELECT A FROM T", *c.F_qConsultaGen));
        QVERIFY(c.F_qConsultaGen->Activa());
        QCOMPARE(c.F_qConsultaGen->NumRegistros(), 1);
        QCOMPARE(c.F_qConsultaGen->Campo("a").AsInteger(), 7);
        QVERIFY(guion->Cajas.isEmpty());
    }

    void fallasSeReportanConLaClaseMasDerivada_data()
    {
        QTest::addColumn<QString>("sentencia");
        QTest::newRow("texto vacio") << "";
        QTest::newRow("consulta invalida") << "SELECT X FROM";
    }
    void fallasSeReportanConLaClaseMasDerivada()
    {
        QFETCH(QString, sentencia);
        TConsultaDerivada c(&conexion);
        QVERIFY(c.PideConsulta("SELECT A FROM T", *c.F_qConsultaGen));
        QVERIFY(!c.PideConsulta(sentencia, *c.F_qConsultaGen));
        QVERIFY(!c.F_qConsultaGen->Activa());
        QCOMPARE(guion->Textos(),
                 QStringList{"Error #BD-101.TConsultaDerivada: Llame a Soporte Técnico. EErrorJet - "
                             "Error de sintaxis en la consulta."});
    }

    void sinConexionFallaConBD101()
    {
        TConsultaDerivada c(nullptr);
        QVERIFY(!c.PideConsulta("SELECT A FROM T", *c.F_qConsultaGen));
        QVERIFY(!c.EjecutaConsulta("DELETE FROM T", *c.F_qConsultaGen));
        QCOMPARE(guion->Cajas.size(), 2);
        QVERIFY(guion->Textos().first().startsWith(
            "Error #BD-101.TConsultaDerivada: Llame a Soporte Técnico. EErrorBD - "));
    }

    // A statement without rows that the provider accepts: true, no box, the query left closed,
    // and the statement sent once as written.
    void ejecutaConsultaCorrecta()
    {
        EstadoFalso().Ejecutables << "DELETE FROM tX WHERE A = 1";
        TConsultaDerivada c(&conexion);
        QVERIFY(c.PideConsulta("SELECT A FROM T", *c.F_qConsultaGen));
        QVERIFY(c.EjecutaConsulta("DELETE FROM tX WHERE A = 1", *c.F_qConsultaGen));
        QVERIFY(!c.F_qConsultaGen->Activa());
        QCOMPARE(EstadoFalso().Sentencias, (QStringList{"SELECT A FROM T", "DELETE FROM tX WHERE A = 1"}));
        QVERIFY(guion->Cajas.isEmpty());
        c.LimpiaTabla("tX", "A = 1");
        QVERIFY(guion->Cajas.isEmpty());
        QVERIFY(!c.EjecutaConsulta("DELETE FROM tY", *c.F_qConsultaGen));
        QCOMPARE(guion->Cajas.size(), 1);
    }

    void sentenciasDeLimpieza_data()
    {
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QString>("condicion");
        QTest::addColumn<bool>("truncar");
        QTest::addColumn<QString>("sentencia");
        QTest::newRow("sin condicion") << "tX"
                                       << "" << false << "DELETE FROM tX";
        QTest::newRow("condicion en blanco") << "tX"
                                             << "  " << false << "DELETE FROM tX WHERE   ";
        QTest::newRow("con condicion") << "tX"
                                       << "A = 1" << false << "DELETE FROM tX WHERE A = 1";
        QTest::newRow("truncar") << "tX"
                                 << "" << true << "TRUNCATE TABLE tX";
    }
    void sentenciasDeLimpieza()
    {
        QFETCH(QString, tabla);
        QFETCH(QString, condicion);
        QFETCH(bool, truncar);
        QFETCH(QString, sentencia);
        TConsultaDerivada c(&conexion);
        if (truncar)
            c.InicializaTabla(tabla);
        else
            c.LimpiaTabla(tabla, condicion);
        QCOMPARE(EstadoFalso().Sentencias, QStringList{sentencia});
        QCOMPARE(guion->Cajas.size(), 1); // the read-only provider refuses it: reported, not returned
    }

    void respaldaBDEnLaCarpetaRespaldos()
    {
        QTemporaryDir dir;
        const QString origen = dir.path() + "/DataBase/Tavoro.mdb";
        QDir().mkpath(dir.path() + "/DataBase");
        QFile f(origen);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("uno");
        f.close();
        const auto relojAnterior = TConsultasSQL::Reloj;
        TConsultasSQL::Reloj = [] { return QDateTime(QDate(2019, 3, 5), QTime(14, 7, 40)); };
        TConsultaDerivada c(&conexion);
        c.RespaldaBD(origen, "");
        const QString destino = dir.path() + "/DataBase//Respaldos/RESP_2019_03_05_14_07_Tavoro.mdb";
        QVERIFY(QFile::exists(destino));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("dos");
        f.close();
        c.RespaldaBD(origen, "   "); // same minute: replaces the first copy
        QFile copia(destino);
        QVERIFY(copia.open(QIODevice::ReadOnly));
        QCOMPARE(copia.readAll(), QByteArray("dos"));
        c.RespaldaBD(dir.path() + "/no-existe.mdb", ""); // silent
        c.RespaldaBD(origen, dir.path() + "/otro.mdb");
        QVERIFY(QFile::exists(dir.path() + "/otro.mdb"));
        TConsultasSQL::Reloj = relojAnterior;
        QVERIFY(guion->Cajas.isEmpty());
    }

    // The backup never costs a file: not the database when it is its own target (also through
    // another spelling or a link), not an earlier backup when the source is missing.
    void respaldaBDNuncaPierdeDatos_data()
    {
        QTest::addColumn<QString>("origen");
        QTest::addColumn<QString>("destino");
        QTest::addColumn<QByteArray>("esperadoEnBD");
        QTest::addColumn<QByteArray>("esperadoEnCopia");
        QTest::newRow("origen es el destino")
            << "DataBase/Tavoro.mdb"
            << "DataBase/Tavoro.mdb" << QByteArray("bd") << QByteArray("copia vieja");
        QTest::newRow("otra escritura del mismo")
            << "DataBase/Tavoro.mdb"
            << "DataBase/../DataBase/./Tavoro.mdb" << QByteArray("bd") << QByteArray("copia vieja");
        QTest::newRow("destino es un enlace al origen")
            << "DataBase/Tavoro.mdb"
            << "enlace.mdb" << QByteArray("bd") << QByteArray("copia vieja");
        QTest::newRow("origen ausente") << "DataBase/No.mdb"
                                        << "copia.mdb" << QByteArray("bd") << QByteArray("copia vieja");
        QTest::newRow("origen es una carpeta")
            << "DataBase"
            << "copia.mdb" << QByteArray("bd") << QByteArray("copia vieja");
        QTest::newRow("copia normal") << "DataBase/Tavoro.mdb"
                                      << "copia.mdb" << QByteArray("bd") << QByteArray("bd");
    }
    void respaldaBDNuncaPierdeDatos()
    {
        QFETCH(QString, origen);
        QFETCH(QString, destino);
        QFETCH(QByteArray, esperadoEnBD);
        QFETCH(QByteArray, esperadoEnCopia);
        if (destino == "enlace.mdb")
            QRTZ_REQUIERE_ENLACES();
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("DataBase"));
        const auto escribe = [&](const QString& sRuta, const QByteArray& datos) {
            QFile f(dir.filePath(sRuta));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(datos);
        };
        const auto lee = [&](const QString& sRuta) {
            QFile f(dir.filePath(sRuta));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no existe)");
        };
        escribe("DataBase/Tavoro.mdb", "bd");
        escribe("copia.mdb", "copia vieja");
        if (kHayEnlaces)
            QVERIFY(QFile::link(dir.filePath("DataBase/Tavoro.mdb"), dir.filePath("enlace.mdb")));
        TConsultaDerivada c(&conexion);
        c.RespaldaBD(dir.filePath(origen), dir.filePath(destino));
        QCOMPARE(lee("DataBase/Tavoro.mdb"), esperadoEnBD);
        QCOMPARE(lee("copia.mdb"), esperadoEnCopia);
        QCOMPARE(QFileInfo(dir.filePath("enlace.mdb")).isSymLink(), kHayEnlaces);
        // no temporary file left
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), kHayEnlaces ? 2 : 1);
        QVERIFY(guion->Cajas.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConsultasSQL)
#include "TestConsultasSQL.moc"
