#include "Falsos.h"
#include "FixturasHost.h"
#include "MainQueTermina.h"

#include "common/DialogosGuion.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"

#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// What a report run left: whether it ran, its answers, and the boxes it showed.
struct TResultado
{
    bool bConectada = false;
    bool bGenera = false;
    QString sPreg37, sPreg39, sPreg9;
};

// The questionnaire on the main fixture with every key of Claves ticked, through the real Jet
// engine as the window runs it.
TResultado generaConMarcas(const QString& sCarpeta, const QStringList& Claves)
{
    TResultado r;
    ColectorConexiones = CreaColectorConxs();
    TConexionBD* Conector = nullptr;
    ColectorConexiones->CreaBDPrinc(sCarpeta + "/DataBase/Tavoro.mdb", "", false);
    r.bConectada = ColectorConexiones->Conecta(kNomBDPrincipal) &&
                   ColectorConexiones->DameAccessConex(kNomBDPrincipal, Conector);
    if (r.bConectada) {
        auto peps = CreaTablaPEPs();
        for (const QString& c : Claves)
            AgregaPEP(*peps, c, true);
        auto reporte = std::make_shared<TManejadorGrabador>();
        auto c = std::make_shared<TCuestPrueba>(Conector, reporte, std::make_shared<TMensajeroGrabador>(), 1);
        r.bGenera = c->GeneraReporte(peps.get());
        r.sPreg37 = reporte->Valor("preg_37");
        r.sPreg39 = reporte->Valor("preg_39");
        r.sPreg9 = reporte->Valor("preg_9");
    }
    ColectorConexiones.reset();
    return r;
}

} // namespace

// Two thousand ticked clients: the PEP condition ORs one comparison per tick, and the report
// must still come out, with the same answers as with only the ticks that are clients, also on
// the 1 MB stack of a Windows thread.
class TestMuchosPEPs : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    std::shared_ptr<TDialogosGuion> guion;
    QStringList marcas;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        QVERIFY(FixturasHost::EscribePrincipal(tmp.filePath("v30"), 30));
        // Three real clients (the public at large among them, one key with an apostrophe) among
        // 1997 keys of no client.
        marcas = QStringList{"C01", "O'15", "10000000"};
        for (int i = 0; marcas.size() < 2000; ++i)
            marcas << QStringLiteral("N%1").arg(i, 5, 10, QLatin1Char('0'));
    }
    void cleanupTestCase() { InstalaDialogos(nullptr); }
    void init() { guion->Cajas.clear(); }

    void dosMilMarcas()
    {
        const TResultado r = generaConMarcas(tmp.filePath("v30"), marcas);
        QVERIFY(r.bConectada);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        QVERIFY(r.bGenera);
        // As with the three real ticks alone: PG counts once per operation.
        QCOMPARE(r.sPreg37, QStringLiteral("5"));
        QCOMPARE(r.sPreg39, QStringLiteral("0"));
        QVERIFY(r.sPreg9.startsWith(QLatin1String("COMERCIO")) ||
                r.sPreg9.startsWith(QLatin1String("TRANSPORTE DE CARGA")));
    }

    void dosMilMarcasEnPilaDeUnMega()
    {
        TResultado r;
        QThread* hilo = QThread::create([&] { r = generaConMarcas(tmp.filePath("v30"), marcas); });
        hilo->setStackSize(1024 * 1024);
        hilo->start();
        QVERIFY(hilo->wait(300000));
        delete hilo;
        QVERIFY(r.bConectada);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        QVERIFY(r.bGenera);
        QCOMPARE(r.sPreg37, QStringLiteral("5"));
        QCOMPARE(r.sPreg39, QStringLiteral("0"));
    }
};

// Sessions load and compute on threads of their own.
QRTZ_TEST_GUILESS_MAIN_QUE_TERMINA(TestMuchosPEPs)
#include "TestMuchosPEPs.moc"
