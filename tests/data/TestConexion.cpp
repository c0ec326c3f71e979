#include "ProveedorFalso.h"
#include "common/DialogosGuion.h"
#include "data/Conectores.h"
#include "data/Conexion.h"

#include <QtTest>

class TestConexion : public QObject
{
    Q_OBJECT
    std::shared_ptr<TDialogosGuion> guion;

private slots:
    void init()
    {
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        InstalaProveedorFalso();
    }
    void cleanup()
    {
        InstalaDialogos(nullptr);
        ProveedorSustituto = nullptr;
    }

    void cadenas_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QStringList>("campos"); // usuario, passw, bd, ubicacion, instancia, puerto
        QTest::addColumn<bool>("hayDatos");
        QTest::addColumn<QString>("cadena");
        const int sql = int(TTipoMotorBD::tmSQLServer), acc = int(TTipoMotorBD::tmAccess);
        QTest::newRow("sql con instancia")
            << sql << QStringList{"sa", "", "Caja", "SERVIDOR", "SQLEXPRESS", ""} << true
            << "Provider=SQLOLEDB.1;Password=;Persist Security Info=True;User ID=sa;Initial Catalog=Caja;"
               "Data Source=SERVIDOR\\SQLEXPRESS";
        QTest::newRow("sql solo puerto") << sql << QStringList{"", "", "", "", "", "1433"} << true
                                         << "Provider=SQLOLEDB.1;Password=;Persist Security Info=True;User "
                                            "ID=;Initial Catalog=;Data Source=,1433";
        QTest::newRow("sql instancia en blanco, puerto en blanco")
            << sql << QStringList{"u", "p", "b", "S", "   ", "  "} << true
            << "Provider=SQLOLEDB.1;Password=p;Persist Security Info=True;User ID=u;Initial Catalog=b;"
               "Data Source=S,  ";
        QTest::newRow("sql instancia con blancos se copia tal cual")
            << sql << QStringList{"u", "p", "b", "S", " I ", "1"} << true
            << "Provider=SQLOLEDB.1;Password=p;Persist Security Info=True;User ID=u;Initial Catalog=b;"
               "Data Source=S\\ I ,1";
        QTest::newRow("access sin contrasena")
            << acc << QStringList{"", "", "", "C:\\Caja\\DataBase\\Tavoro.mdb", "", ""} << true
            << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Caja\\DataBase\\Tavoro.mdb;"
               "Persist Security Info=True;Mode=Share Deny None";
        QTest::newRow("access contrasena en blanco no se agrega")
            << acc << QStringList{"", "  ", "", "x.mdb", "", ""} << true
            << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb;Persist Security Info=True;Mode=Share "
               "Deny None";
        QTest::newRow("access contrasena con blancos")
            << acc << QStringList{"usuario", " pw ", "bd", "x.mdb", "inst", "99"} << true
            << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb;Persist Security Info=True;"
               "Mode=Share Deny None;Jet OLEDB:Database Password= pw ";
        QTest::newRow("sin datos") << acc << QStringList{"", " ", "\t", "", "\r\n", ""} << false << "";
    }
    void cadenas()
    {
        QFETCH(int, tipo);
        QFETCH(QStringList, campos);
        QFETCH(bool, hayDatos);
        QFETCH(QString, cadena);
        TConexion c{TTipoMotorBD(tipo)};
        c.SetStrConexion("previa");
        c.SetUsuario(campos[0]);
        c.SetPassw(campos[1]);
        c.SetBDNombre(campos[2]);
        c.SetUbicacion(campos[3]);
        c.SetInstancia(campos[4]);
        c.SetPuerto(campos[5]);
        QCOMPARE(c.HayDatosConexion(), hayDatos);
        QCOMPARE(c.ArmaStrConexion(), hayDatos);
        QCOMPARE(c.GetStrConexion(), hayDatos ? cadena : QString("previa"));
    }

    void conectaUsaLaCadenaYaArmada()
    {
        TConexion c(TTipoMotorBD::tmAccess);
        c.SetUbicacion("falso:uno.mdb");
        c.SetConecta(true);
        QVERIFY(c.GetConecta());
        const QString primera = c.GetStrConexion();
        c.SetPassw("otra");
        c.SetConecta(false);
        QVERIFY(!c.GetConecta());
        c.SetConecta(true);
        QCOMPARE(c.GetStrConexion(), primera);
        QVERIFY(!primera.contains("otra"));
        // The Access connector sets exclusive mode; the string asks Share Deny None and wins.
        QCOMPARE(EstadoFalso().UltimoModo, TModoCompartir::DenegarNinguno);
    }

    void sinDatosNoTocaElConector()
    {
        TConexion c(TTipoMotorBD::tmAccess);
        c.SetConecta(true);
        QVERIFY(!c.GetConecta());
        QCOMPARE(EstadoFalso().nAperturas, 0);
        QVERIFY(guion->Cajas.isEmpty());
    }

    void conectadoEsElResultadoRegistrado()
    {
        TConexion c(TTipoMotorBD::tmAccess);
        c.SetUbicacion("falso:x.mdb");
        c.SetConecta(true);
        auto* conector = dynamic_cast<TConectAccess*>(c.GetConector());
        QVERIFY(conector);
        conector->DameConector()->SetConectado(false); // the link goes away underneath
        QVERIFY(c.GetConecta());
        c.SetConecta(false);
        QVERIFY(!c.GetConecta());
    }

    void aperturaFallidaMuestraUnaCaja_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("texto");
        QTest::newRow("access") << int(TTipoMotorBD::tmAccess)
                                << "Error #BD-101.TConectAccess: Llame a Soporte Técnico. EErrorJet - No se "
                                   "encuentra el archivo.";
        QTest::newRow("sql server")
            << int(TTipoMotorBD::tmSQLServer)
            << "Error #BD-101.TConectSQLServer: Llame a Soporte Técnico. EErrorJet - No "
               "se encuentra el archivo.";
    }
    void aperturaFallidaMuestraUnaCaja()
    {
        QFETCH(int, tipo);
        QFETCH(QString, texto);
        TConexion c{TTipoMotorBD(tipo)};
        c.SetStrConexion("Provider=Falso;Data Source=falla.mdb");
        c.SetConecta(true);
        QVERIFY(!c.GetConecta());
        QCOMPARE(guion->Textos(), QStringList{texto});
        QVERIFY(!c.GetConector()->GetConecta());
    }

    void proveedorDesconocidoSeReporta()
    {
        TConexion c(TTipoMotorBD::tmAccess);
        c.SetStrConexion("Provider=Otro.1;Data Source=x");
        c.SetConecta(true);
        QVERIFY(!c.GetConecta());
        QCOMPARE(guion->Textos(),
                 QStringList{"Error #BD-101.TConectAccess: Llame a Soporte Técnico. EErrorBD - No "
                             "se encuentra el proveedor especificado: Otro.1"});
    }

    void sqlServerInalcanzableFallaPronto()
    {
        // Nothing listens on this loopback port: the real ODBC provider must give up within
        // seconds and report the driver's error.
        TConexion c(TTipoMotorBD::tmSQLServer);
        c.SetUsuario("sa");
        c.SetUbicacion("127.0.0.1");
        c.SetPuerto("1");
        QElapsedTimer t;
        t.start();
        c.SetConecta(true);
        QVERIFY(!c.GetConecta());
        QVERIFY2(t.elapsed() < 20000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(guion->Cajas.size(), 1);
        QVERIFY2(guion->Textos().first().startsWith(
                     "Error #BD-101.TConectSQLServer: Llame a Soporte Técnico. EErrorODBC - ["),
                 qPrintable(guion->Textos().first()));
    }
};

QTEST_GUILESS_MAIN(TestConexion)
#include "TestConexion.moc"
