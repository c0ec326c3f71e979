#include "db/componentes/ConexionBD.h"
#include "db/componentes/ConsultaBD.h"
#include "db/componentes/ErrorBD.h"

#include <QtTest>

#include <limits>

Q_DECLARE_METATYPE(TValorBD)

namespace {

class TSesionFija : public ISesionBD
{
public:
    TResultadoBD Consulta(const QString&) override
    {
        TResultadoBD r;
        r.Columnas = {"Nombre", "Cuenta"};
        r.Filas.push_back({TValorBD::Texto("a"), TValorBD::Entero(1)});
        r.Filas.push_back({TValorBD(), TValorBD::Entero(2)});
        return r;
    }
    void Ejecuta(const QString&) override {}
};

class TProveedorFijo : public IProveedorBD
{
public:
    std::unique_ptr<ISesionBD> Abre(const TCadenaConexion&, TModoCompartir) override
    {
        return std::make_unique<TSesionFija>();
    }
};

} // namespace

class TestComponentesBD : public QObject
{
    Q_OBJECT
private slots:
    void textoDeValores_data()
    {
        QTest::addColumn<TValorBD>("valor");
        QTest::addColumn<QString>("texto");
        QTest::newRow("nulo") << TValorBD() << "";
        QTest::newRow("entero") << TValorBD::Entero(-42) << "-42";
        QTest::newRow("doble corto") << TValorBD::Doble(1234.5) << "1234.5";
        QTest::newRow("doble 15 digitos") << TValorBD::Doble(0.1 + 0.2) << "0.3";
        QTest::newRow("doble grande") << TValorBD::Doble(1e20) << "1E+20";
        QTest::newRow("doble pequeno") << TValorBD::Doble(0.00001) << "1E-05";
        QTest::newRow("doble entero") << TValorBD::Doble(30) << "30";
        QTest::newRow("moneda") << TValorBD::Moneda(12345000) << "1234.5";
        QTest::newRow("moneda negativa") << TValorBD::Moneda(-2500) << "-0.25";
        QTest::newRow("moneda exacta")
            << TValorBD::Moneda(922337203685477LL * 10000 + 5807) << "922337203685477.5807";
        QTest::newRow("booleano") << TValorBD::Booleano(true) << "True";
        QTest::newRow("fecha") << TValorBD::Fecha(43465.0) << "12/31/2018";
        QTest::newRow("fecha y hora") << TValorBD::Fecha(43465.625) << "12/31/2018 15:00:00";
        QTest::newRow("primer dia de Jet") << TValorBD::Fecha(-657434.5) << "01/01/0100 12:00:00";
        QTest::newRow("ultimo dia de Jet") << TValorBD::Fecha(2958465.0) << "12/31/9999";
        // Date arithmetic can leave the range of dates: the day number is shown.
        QTest::newRow("antes del anio 100") << TValorBD::Fecha(-657441.0) << "-657441";
        QTest::newRow("fuera de todo calendario")
            << TValorBD::Fecha(-2.2147483229292147e21) << "-2.21474832292921E+21";
        QTest::newRow("infinita") << TValorBD::Fecha(std::numeric_limits<double>::infinity()) << "Inf";
        QTest::newRow("texto vacio no es nulo") << TValorBD::Texto("") << "";
    }
    void textoDeValores()
    {
        QFETCH(TValorBD, valor);
        QFETCH(QString, texto);
        QCOMPARE(valor.AsString(), texto);
    }

    void conversionesNumericas()
    {
        QCOMPARE(TValorBD::Texto(" 29.5 ").AsFloat(), 29.5);
        QCOMPARE(TValorBD::Moneda(295000).AsFloat(), 29.5);
        QCOMPARE(TValorBD::Texto("7").AsInteger(), 7);
        QCOMPARE(TValorBD().AsInteger(), 0);
        QVERIFY(TValorBD().EsNulo());
        QVERIFY(!TValorBD::Texto("").EsNulo());
        QVERIFY_THROWS_EXCEPTION(TErrorBD, TValorBD::Texto("abc").AsInteger());
    }

    void cadenaDeConexion()
    {
        const TCadenaConexion c(
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\a b\\x.mdb;"
            "Persist Security Info=True;Mode=Share Deny None;Jet OLEDB:Database Password= pw ");
        QCOMPARE(c.Valor("provider"), QString("Microsoft.Jet.OLEDB.4.0"));
        QCOMPARE(c.Valor("DATA SOURCE"), QString("C:\\a b\\x.mdb"));
        QCOMPARE(c.Valor("Jet OLEDB:Database Password"), QString(" pw "));
        QVERIFY(!c.Tiene("User ID"));
    }

    void consultaRecorreYLeePorNombre()
    {
        ProveedorSustituto = [](const TCadenaConexion&) { return std::make_unique<TProveedorFijo>(); };
        TConexionBD con;
        con.SetCadenaConexion("Provider=Fijo");
        TConsultaBD q(&con);
        q.AgregaSQL("SELECT");
        QVERIFY_THROWS_EXCEPTION(TErrorBD, q.Abre()); // closed connection
        con.SetConectado(true);
        q.Abre();
        QCOMPARE(q.NumRegistros(), 2);
        QVERIFY(!q.EstaVacia());
        QCOMPARE(q.Campo("NOMBRE").AsString(), QString("a"));
        q.Siguiente();
        QVERIFY(q.Campo("nombre").EsNulo());
        q.Siguiente();
        QVERIFY(q.Fin());
        QVERIFY_THROWS_EXCEPTION(TErrorBD, q.Campo("Nombre"));
        q.Primero();
        QVERIFY_THROWS_EXCEPTION(TErrorBD, q.Campo("NoHay"));
        q.Cierra();
        QVERIFY_THROWS_EXCEPTION(TErrorBD, q.NumRegistros());
        ProveedorSustituto = nullptr;
    }

    void proveedorDesconocido()
    {
        TConexionBD con;
        con.SetCadenaConexion("Provider=Nada.1;Data Source=x");
        try {
            con.SetConectado(true);
            QFAIL("debió fallar");
        } catch (const TErrorBD& e) {
            QCOMPARE(e.Clase(), QString("EErrorBD"));
            QCOMPARE(e.Mensaje(), QString("No se encuentra el proveedor especificado: Nada.1"));
        }
        QVERIFY(!con.Conectado());
    }
};

QTEST_GUILESS_MAIN(TestComponentesBD)
#include "TestComponentesBD.moc"
