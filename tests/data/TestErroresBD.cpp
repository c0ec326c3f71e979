#include "common/DialogosGuion.h"
#include "data/ErroresBD.h"

#include <QtTest>

// A handler with an entry that is not shown, to reach the silent branch.
class TErroresPrueba : public TManejadorErrores
{
public:
    TErroresPrueba() { CargaErrores(); }
    void AgregaOtraVez() { AgregaError("X-1", "otra", "", true); }

protected:
    void CargaErrores() override
    {
        AgregaError("X-1", "Mensaje uno.", "log", true);
        AgregaError("X-2", "Callado.", "", false);
    }
};

class TestErroresBD : public QObject
{
    Q_OBJECT
    std::shared_ptr<TDialogosGuion> guion;

private slots:
    void init()
    {
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
    }
    void cleanup() { InstalaDialogos(nullptr); }

    void muestraError_data()
    {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<QString>("clase");
        QTest::addColumn<QString>("adicional");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("catalogo con clase") << "BD-101"
                                            << "TConectAccess"
                                            << ""
                                            << "Error #BD-101.TConectAccess: Llame a Soporte Técnico. ";
        QTest::newRow("con error de la base") << "BD-101"
                                              << "TRepCuestZIDU2019"
                                              << "EJet - No es una contraseña válida."
                                              << "Error #BD-101.TRepCuestZIDU2019: Llame a Soporte Técnico. "
                                                 "EJet - No es una contraseña válida.";
        QTest::newRow("clase en blanco sin parte de clase") << "BD-101"
                                                            << "  \t "
                                                            << "x"
                                                            << "Error #BD-101: Llame a Soporte Técnico. x";
        QTest::newRow("clave desconocida") << "ZZ-9"
                                           << "TClase"
                                           << "algo"
                                           << "Error #ZZ-9.TClase algo";
        QTest::newRow("clave desconocida sin clase") << "ZZ-9"
                                                     << ""
                                                     << ""
                                                     << "Error #ZZ-9 ";
    }
    void muestraError()
    {
        QFETCH(QString, clave);
        QFETCH(QString, clase);
        QFETCH(QString, adicional);
        QFETCH(QString, esperado);
        CreaErroresBD()->MuestraError(clave, clase, adicional);
        QCOMPARE(guion->Textos(), QStringList{esperado});
        QCOMPARE(guion->Cajas.first().Tipo, TDialogosGuion::TTipo::Mensaje);
    }

    void entradaSilenciosaNoMuestraNada()
    {
        TErroresPrueba e;
        e.MuestraError("X-2", "T", "nada");
        QVERIFY(guion->Cajas.isEmpty());
        // DameErrorMsj ignores the show flag
        QCOMPARE(e.DameErrorMsj("X-2", "", false), QString("Callado. "));
    }

    void dameErrorMsj_data()
    {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<QString>("adicional");
        QTest::addColumn<bool>("incluye");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("catalogo, adicional vacio") << "BD-101"
                                                   << "" << false << "Llame a Soporte Técnico. ";
        QTest::newRow("catalogo con clave")
            << "BD-101"
            << "k - m" << true << "Error #BD-101: Llame a Soporte Técnico. k - m";
        QTest::newRow("desconocida con adicional") << "Q-1"
                                                   << "solo esto" << false << "solo esto";
        QTest::newRow("desconocida sin adicional") << "Q-1"
                                                   << "" << true << "Error #Q-1: Error desconocido";
        QTest::newRow("desconocida sin adicional ni clave") << "Q-1"
                                                            << "" << false << "Error desconocido";
    }
    void dameErrorMsj()
    {
        QFETCH(QString, clave);
        QFETCH(QString, adicional);
        QFETCH(bool, incluye);
        QFETCH(QString, esperado);
        QCOMPARE(CreaErroresBD()->DameErrorMsj(clave, adicional, incluye), esperado);
        QVERIFY(guion->Cajas.isEmpty());
    }

    void claveRepetidaFalla()
    {
        TErroresPrueba e;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, e.AgregaOtraVez());
    }

    void clavesDistinguenMayusculas()
    {
        CreaErroresBD()->MuestraError("bd-101", "", "x");
        QCOMPARE(guion->Textos(), QStringList{"Error #bd-101 x"});
    }
};

QTEST_GUILESS_MAIN(TestErroresBD)
#include "TestErroresBD.moc"
