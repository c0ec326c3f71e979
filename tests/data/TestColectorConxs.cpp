#include "ProveedorFalso.h"
#include "common/DialogosGuion.h"
#include "data/ColectorConxs.h"
#include "data/Conectores.h"

#include <QtTest>

class TestColectorConxs : public QObject
{
    Q_OBJECT
    std::shared_ptr<TDialogosGuion> guion;
    std::shared_ptr<IColectorConxs> col;

private slots:
    void init()
    {
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        InstalaProveedorFalso();
        col = CreaColectorConxs();
    }
    void cleanup()
    {
        col.reset();
        InstalaDialogos(nullptr);
        ProveedorSustituto = nullptr;
    }

    void creaBDPrincUnaSolaVez()
    {
        col->CreaBDPrinc("falso:/a/Tavoro.mdb", "", false);
        col->CreaBDPrinc("falso:/b/Otra.mdb", "99", true);
        QCOMPARE(EstadoFalso().nAperturas, 0);
        QVERIFY(col->Conecta("BDPrincipal"));
        TConexionBD* comp = nullptr;
        QVERIFY(col->DameAccessConex("BDPrincipal", comp));
        QCOMPARE(comp->CadenaConexion(),
                 QString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=falso:/a/Tavoro.mdb;"
                         "Persist Security Info=True;Mode=Share Deny None;"
                         "Jet OLEDB:Database Password=plovik"));
        QVERIFY(comp->Conectado());
    }

    void nombresDistinguenMayusculas()
    {
        col->CreaBDPrinc("falso:x.mdb", "", false);
        QVERIFY(!col->Conecta("bdprincipal"));
        QVERIFY(!col->Conectado("BDPrincipal "));
        QVERIFY(col->Conecta("BDPrincipal"));
    }

    void conectaNoReabreUnaConexionRegistrada()
    {
        QVERIFY(col->NuevaConexion("A", "Provider=Falso;Data Source=a", TTipoMotorBD::tmAccess, true));
        QCOMPARE(EstadoFalso().nAperturas, 1);
        QVERIFY(col->Conecta("A"));
        QCOMPARE(EstadoFalso().nAperturas, 1);
        col->Desconecta("A");
        QVERIFY(!col->Conectado("A"));
        QVERIFY(col->Conecta("A"));
        QCOMPARE(EstadoFalso().nAperturas, 2);
    }

    void dameConexDelTipoEquivocadoNoTocaLaSalida()
    {
        QVERIFY(
            col->NuevaConexion("S", "sa", "", "Caja", "falso:srv", "", "", TTipoMotorBD::tmSQLServer, false));
        auto* marcador = reinterpret_cast<TConexionBD*>(0x1234);
        TConexionBD* salida = marcador;
        QVERIFY(!col->DameAccessConex("S", salida));
        QCOMPARE(salida, marcador);
        QVERIFY(!col->DameSQLConex("Nadie", salida));
        QCOMPARE(salida, marcador);
        QVERIFY(col->DameSQLConex("S", salida));
        QVERIFY(salida != marcador);
        QVERIFY(!salida->Conectado()); // handed out whether or not it is open
    }

    void eliminaConexionesRespetaLaExcepcion()
    {
        for (const char* n : {"BDPrincipal", "A", "B", "C"})
            QVERIFY(col->NuevaConexion(n, "Provider=Falso;Data Source=x", TTipoMotorBD::tmAccess, true));
        QCOMPARE(EstadoFalso().nAbiertas, 4);
        col->EliminaConexiones("BDPrincipal");
        QVERIFY(col->Conectado("BDPrincipal"));
        for (const char* n : {"A", "B", "C"})
            QVERIFY(!col->Conectado(n));
        QCOMPARE(EstadoFalso().nAbiertas, 1);
        col->EliminaConexiones("NoRegistrada");
        QVERIFY(!col->Conectado("BDPrincipal"));
        QCOMPARE(EstadoFalso().nAbiertas, 0);
    }

    void eliminaConexPermiteRegistrarDeNuevo()
    {
        QVERIFY(col->NuevaConexion("A", "Provider=Falso;Data Source=x", TTipoMotorBD::tmAccess, true));
        col->EliminaConex("A");
        QVERIFY(!col->Conectado("A"));
        col->EliminaConex("A"); // unknown name: nothing
        QVERIFY(col->NuevaConexion("A", "Provider=Falso;Data Source=y", TTipoMotorBD::tmAccess, false));
    }

    void duplicadoIntentaConectarYLuegoFalla()
    {
        QVERIFY(col->NuevaConexion("A", "Provider=Falso;Data Source=primera", TTipoMotorBD::tmAccess, false));
        QVERIFY(!col->NuevaConexion("A", "Provider=Falso;Data Source=falla", TTipoMotorBD::tmAccess, true));
        QCOMPARE(EstadoFalso().nAperturas, 1);
        QCOMPARE(guion->Cajas.size(), 1); // the thrown-away attempt reported its failure
        QVERIFY(!col->NuevaConexion("A", "Provider=Falso;Data Source=otra", TTipoMotorBD::tmAccess, true));
        QCOMPARE(EstadoFalso().nAbiertas, 0); // the dropped descriptor closed its connection
        TConexionBD* comp = nullptr;
        QVERIFY(col->DameAccessConex("A", comp));
        QCOMPARE(comp->CadenaConexion(), QString()); // the registered one is untouched, never connected
        QVERIFY(!col->Conectado("A"));
    }

    void conexionQueNoAbreQuedaRegistrada()
    {
        col->CreaBDPrinc("falso:falla.mdb", "", false);
        QVERIFY(!col->Conecta("BDPrincipal"));
        QVERIFY(!col->Conectado("BDPrincipal"));
        QCOMPARE(guion->Cajas.size(), 1);
        QVERIFY(!col->Conecta("BDPrincipal")); // tries again
        QCOMPARE(EstadoFalso().nAperturas, 2);
    }

    void liberarElColectorCierraTodo()
    {
        QVERIFY(col->NuevaConexion("A", "Provider=Falso;Data Source=x", TTipoMotorBD::tmAccess, true));
        QVERIFY(col->NuevaConexion("B", "Provider=Falso;Data Source=x", TTipoMotorBD::tmSQLServer, true));
        QCOMPARE(EstadoFalso().nAbiertas, 2);
        col.reset();
        QCOMPARE(EstadoFalso().nAbiertas, 0);
    }
};

QTEST_GUILESS_MAIN(TestColectorConxs)
#include "TestColectorConxs.moc"
