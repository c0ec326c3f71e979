#include "ProveedorFalso.h"
#include "common/DialogosGuion.h"
#include "data/ColectorConxs.h"
#include "data/TavoroBD.h"

#include <QtTest>

Q_DECLARE_METATYPE(TValorBD)

namespace {

TResultadoBD resultado(const QStringList& columnas, const std::vector<std::vector<TValorBD>>& filas)
{
    TResultadoBD r;
    r.Columnas = columnas;
    r.Filas = filas;
    return r;
}

const QString kLogin = "SELECT ClaveEmp, Password FROM tEmps WHERE UCASE(ClaveEmp) = '%1' %2";

} // namespace

// The gateway's decisions over canned results; the same rules run over real host files in the
// end-to-end tests.
class TestTavoroBD : public QObject
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
        conexion.SetCadenaConexion("Provider=Falso;Data Source=x");
        conexion.SetConectado(true);
    }
    void cleanup()
    {
        ColectorConexiones.reset();
        conexion.SetConectado(false);
        InstalaDialogos(nullptr);
        ProveedorSustituto = nullptr;
    }

    void validaAcceso_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("tecleado");
        QTest::addColumn<bool>("soloAdmins");
        QTest::addColumn<QString>("sentencia");
        QTest::addColumn<TValorBD>("guardado");
        QTest::addColumn<bool>("valido");
        const QString admins = kLogin.arg("ADMIN", "and Nivel = 0");
        QTest::newRow("igual") << "ADMIN"
                               << "SECRETO" << true << admins << TValorBD::Texto("SECRETO") << true;
        QTest::newRow("distinto") << "ADMIN"
                                  << "OTRO" << true << admins << TValorBD::Texto("SECRETO") << false;
        QTest::newRow("minusculas guardadas")
            << "ADMIN"
            << "SECRETO" << true << admins << TValorBD::Texto("secreto") << false;
        QTest::newRow("nulo acepta cualquiera") << "ADMIN"
                                                << "X" << true << admins << TValorBD() << true;
        QTest::newRow("nulo acepta vacia") << "ADMIN"
                                           << "" << true << admins << TValorBD() << true;
        QTest::newRow("vacia guardada solo con vacia") << "ADMIN"
                                                       << "" << true << admins << TValorBD::Texto("") << true;
        QTest::newRow("vacia guardada, tecleada no") << "ADMIN"
                                                     << " " << true << admins << TValorBD::Texto("") << false;
        QTest::newRow("cualquier nivel")
            << "CAJA"
            << "1" << false << kLogin.arg("CAJA", "") << TValorBD::Texto("1") << true;
        QTest::newRow("apostrofo duplicado")
            << "' UNION SELECT 'A','B' FROM tEmps WHERE ''='"
            << "B" << true
            << kLogin.arg("'' UNION SELECT ''A'',''B'' FROM tEmps WHERE ''''=''", "and Nivel = 0")
            << TValorBD::Texto("B") << true;
        // Keys equal in upper case: only the first matching row is examined, even when the
        // second row's password is the one typed.
        QTest::newRow("solo la primera fila") << "ADMIN"
                                              << "Y" << true << admins << TValorBD::Texto("SECRETO") << false;
    }
    void validaAcceso()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, tecleado);
        QFETCH(bool, soloAdmins);
        QFETCH(QString, sentencia);
        QFETCH(TValorBD, guardado);
        QFETCH(bool, valido);
        EstadoFalso().Resultados.insert(
            sentencia, resultado({"ClaveEmp", "Password"},
                                 {{TValorBD::Texto(usuario), guardado},
                                  {TValorBD::Texto(usuario.toLower()), TValorBD::Texto("Y")}}));
        TTavoroBD g(&conexion);
        QCOMPARE(g.ValidaAcceso(usuario, tecleado, soloAdmins), valido);
        QCOMPARE(EstadoFalso().Sentencias, QStringList{sentencia});
        QVERIFY(guion->Cajas.isEmpty());
    }

    void validaAccesoSinFilasOFallo()
    {
        EstadoFalso().Resultados.insert(kLogin.arg("NADIE", "and Nivel = 0"),
                                        resultado({"ClaveEmp", "Password"}, {}));
        TTavoroBD g(&conexion);
        QVERIFY(!g.ValidaAcceso("NADIE", "", true));
        QVERIFY(guion->Cajas.isEmpty());
        QVERIFY(!g.ValidaAcceso("FALLA", "", true)); // unknown statement: the provider fails
        QCOMPARE(guion->Cajas.size(), 1);
        QVERIFY(guion->Textos().first().startsWith("Error #BD-101.TTavoroBD: Llame a Soporte Técnico. "));
    }

    void usuariosConectados_data()
    {
        QTest::addColumn<int>("filas"); // -1: the statement fails; -2: empty result
        QTest::addColumn<bool>("conectados");
        QTest::addColumn<int>("cajas");
        QTest::newRow("ninguno") << 0 << false << 0;
        QTest::newRow("uno") << 1 << true << 0;
        QTest::newRow("resultado vacio") << -2 << true << 0;
        QTest::newRow("tabla ausente") << -1 << true << 1;
    }
    void usuariosConectados()
    {
        QFETCH(int, filas);
        QFETCH(bool, conectados);
        QFETCH(int, cajas);
        const QString s = "SELECT COUNT(1) as TotalConectados FROM tCompUsr ";
        if (filas >= 0)
            EstadoFalso().Resultados.insert(s, resultado({"TotalConectados"}, {{TValorBD::Entero(filas)}}));
        else if (filas == -2)
            EstadoFalso().Resultados.insert(s, resultado({"TotalConectados"}, {}));
        TTavoroBD g(&conexion);
        QCOMPARE(g.UsuariosConectados(), conectados);
        QCOMPARE(guion->Cajas.size(), cajas);
    }

    void empresa()
    {
        EstadoFalso().Resultados.insert(
            "SELECT * FROM tEmpresa",
            resultado({"NumEmp", "Empresa", "RFC", "RegistroCC", "NomComercial"},
                      {{TValorBD::Entero(1), TValorBD::Texto("CASA"), TValorBD::Texto("RFC1"), TValorBD(),
                        TValorBD::Texto("COMERCIAL")},
                       {TValorBD::Entero(2), TValorBD::Texto("OTRA"), TValorBD(), TValorBD(), TValorBD()}}));
        TTavoroBD g(&conexion);
        const TEmpresa e = g.GetEmpresa();
        QCOMPARE(e.sRazonSocial, QString("CASA"));
        QCOMPARE(e.sRFC, QString("RFC1"));
        QCOMPARE(e.sRegistroQRTZ, QString());
        QCOMPARE(e.sNumEmpresa, QString("1"));
        QCOMPARE(e.sNomComercial, QString("COMERCIAL"));
    }

    void empresaVaciaOFallida()
    {
        TTavoroBD g(&conexion);
        TEmpresa e = g.GetEmpresa(); // statement fails
        QVERIFY(e.sRazonSocial.isEmpty() && e.sNumEmpresa.isEmpty());
        QCOMPARE(guion->Cajas.size(), 1);
        EstadoFalso().Resultados.insert("SELECT * FROM tEmpresa", resultado({"Empresa"}, {}));
        e = g.GetEmpresa();
        QVERIFY(e.sRazonSocial.isEmpty());
        EstadoFalso().Resultados.insert("SELECT * FROM tEmpresa",
                                        resultado({"Empresa"}, {{TValorBD::Texto("X")}}));
        QVERIFY_THROWS_EXCEPTION(TErrorBD, g.GetEmpresa()); // a missing column reaches the caller
    }

    void gatewaySobreConexionDadaNoLaElimina()
    {
        ColectorConexiones = CreaColectorConxs();
        ColectorConexiones->CreaBDPrinc("falso:Tavoro.mdb", "", false);
        QVERIFY(ColectorConexiones->Conecta("BDPrincipal"));
        TConexionBD* comp = nullptr;
        QVERIFY(ColectorConexiones->DameAccessConex("BDPrincipal", comp));
        {
            TTavoroBD g(comp);
            QVERIFY(g.Conectado());
        }
        QVERIFY(ColectorConexiones->Conectado("BDPrincipal"));
        QVERIFY(comp->Conectado());
    }

    void gatewayConRutaRegistraYEliminaLaSuya()
    {
        ColectorConexiones = CreaColectorConxs();
        {
            TTavoroBD g("falso:Tavoro.mdb", "X");
            QVERIFY(g.Conectado());
            QVERIFY(ColectorConexiones->Conectado("TavoroX"));
            TTavoroBD repetido("falso:Tavoro.mdb", "X"); // name taken: no connection of its own
            QVERIFY(!repetido.Conectado());
        }
        QVERIFY(!ColectorConexiones->Conectado("TavoroX"));
        TConexionBD* comp = nullptr;
        QVERIFY(!ColectorConexiones->DameAccessConex("TavoroX", comp));
        {
            TTavoroBD fallido("falso:falla.mdb");
            QVERIFY(!fallido.Conectado());
            QVERIFY(fallido.UsuariosConectados()); // cannot tell: taken as connected
        }
        QVERIFY(!ColectorConexiones->DameAccessConex("Tavoro", comp));
    }

    // A gateway whose name was taken, or one over a given connection, must leave the entry of
    // the gateway that registered it: that one still queries through its component.
    void gatewayNoEliminaLoQueNoRegistro()
    {
        ColectorConexiones = CreaColectorConxs();
        EstadoFalso().Resultados.insert("SELECT COUNT(1) as TotalConectados FROM tCompUsr ",
                                        resultado({"TotalConectados"}, {{TValorBD::Entero(0)}}));
        TTavoroBD g("falso:Tavoro.mdb", "X");
        QVERIFY(g.Conectado());
        TConexionBD* propio = nullptr;
        QVERIFY(ColectorConexiones->DameAccessConex("TavoroX", propio));
        delete new TTavoroBD("falso:Tavoro.mdb", "X");
        QVERIFY(ColectorConexiones->Conectado("TavoroX"));
        TConexionBD* comp = nullptr;
        QVERIFY(ColectorConexiones->DameAccessConex("TavoroX", comp));
        QCOMPARE(comp, propio);
        QVERIFY(!g.UsuariosConectados());

        TTavoroBD sinSufijo("falso:Tavoro.mdb");
        QVERIFY(sinSufijo.Conectado());
        delete new TTavoroBD(comp); // over a given connection: registers nothing, removes nothing
        QVERIFY(ColectorConexiones->Conectado("Tavoro"));
        QVERIFY(!sinSufijo.UsuariosConectados());
        QVERIFY(guion->Cajas.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTavoroBD)
#include "TestTavoroBD.moc"
