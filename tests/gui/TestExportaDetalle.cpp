#include "../questionnaire/FixturasHost.h"
#include "RelojManual.h"
#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/DialogosGuion.h"
#include "data/ColectorConxs.h"
#include "questionnaire/ArchivosDetalle.h"
#include "reportengine/Reporte.h"
#include "reportengine/VistaPrevia.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QMap<QString, QByteArray> huella(const QString& sCarpeta)
{
    QMap<QString, QByteArray> m;
    QDirIterator it(sCarpeta, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile a(it.next());
        a.open(QIODevice::ReadOnly);
        m.insert(a.fileName(), QCryptographicHash::hash(a.readAll(), QCryptographicHash::Sha256));
    }
    return m;
}

} // namespace

// The preview's "Exportar detalle…" button after a report made in the window: the folder is
// asked through the dialog service, the files hold the rows of this run (its ticks), and the
// host's database folder is refused.
class TestExportaDetalle : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    std::shared_ptr<TDialogosGuion> guion;

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        QVERIFY(FixturasHost::EscribePrincipal(tmp.filePath("host"), 30));
        // The messenger's pauses and flashes on a clock the test moves: no real waiting.
        TfrmPrincipal::RelojMensajero = std::make_shared<TRelojManual>();
    }
    void cleanupTestCase()
    {
        InstalaDialogos(nullptr);
        TfrmPrincipal::RelojMensajero = nullptr;
    }

    void exporta_data()
    {
        QTest::addColumn<QString>("destino"); // empty: the user cancels the folder dialog
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("carpeta nueva") << "exportado/detalle"
                                       << "Se escribió el detalle de 29 respuestas";
        QTest::newRow("cancelada") << ""
                                   << "";
        QTest::newRow("carpeta de la base") << "host/DataBase"
                                            << "es la carpeta de la base de datos del Tavoro";
        QTest::newRow("dentro de la base, otras mayusculas")
            << "host/DATABASE/detalle"
            << "es la carpeta de la base de datos del Tavoro";
    }
    void exporta()
    {
        QFETCH(QString, destino);
        QFETCH(QString, mensaje);
        const QString sHost = tmp.filePath("host") + "/";
        const auto antes = huella(sHost);
        TfrmPrincipal::CarpetaPrograma = [sHost] { return sHost; };
        ColectorConexiones = CreaColectorConxs();
        auto dm = std::make_unique<TdmMain>();
        auto frm = std::make_unique<TfrmPrincipal>(*dm);
        guion->Respuestas.enqueue(true); // the instruction dialog at start-up
        frm->show();
        QTRY_COMPARE(guion->Cajas.size(), 1);
        QTest::keyClicks(frm->edUsuario, "ADMIN");
        QTest::keyClicks(frm->edPassw, "CLAVE1");
        QTest::mouseClick(frm->bnDetectaPEPs, Qt::LeftButton);
        QTRY_VERIFY(frm->bnDetectaPEPs->isEnabled());
        for (dm->vtPEPs->Primero(); !dm->vtPEPs->Fin(); dm->vtPEPs->Siguiente())
            if (dm->vtPEPs->ValorTextoOriginal("ClaveCliente") == "C01") {
                dm->vtPEPs->Edita();
                dm->vtPEPs->SetValor("EsPEP", true);
                dm->vtPEPs->Publica();
            }
        guion->Cajas.clear();

        const QString sDestino = destino.isEmpty() ? QString() : tmp.filePath(destino);
        bool bHabiaBoton = false;
        dm->repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            auto* a = v.findChild<QAction*>("acExportaDetalle");
            auto* b = v.findChild<QToolButton*>("bnExportaDetalle");
            bHabiaBoton = a && b && b->isVisible() && b->text() == "Exportar detalle…";
            guion->Carpetas.enqueue(sDestino);
            if (a)
                a->trigger();
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        guion->Respuestas.enqueue(true);
        QTest::mouseClick(frm->bnGenReporte, Qt::LeftButton);
        QTRY_VERIFY(frm->bnGenReporte->isEnabled());
        QVERIFY(bHabiaBoton);
        QCOMPARE(frm->txMensajes->text(), QString("El reporte se generó correctamente."));
        // The instruction question, the folder dialog and the outcome (none when cancelled).
        QCOMPARE(guion->Cajas.size(), mensaje.isEmpty() ? 2 : 3);
        QCOMPARE(guion->Cajas[1].Tipo, TDialogosGuion::TTipo::Carpeta);
        QCOMPARE(guion->Cajas[1].sTexto, QString("Exportar detalle: elija la carpeta de los archivos"));
        if (!mensaje.isEmpty())
            QVERIFY2(guion->Cajas[2].sTexto.contains(mensaje), qPrintable(guion->Cajas[2].sTexto));

        const bool bEscrito = mensaje.startsWith("Se escribió");
        QCOMPARE(QFileInfo::exists(sDestino + "/indice.csv"), bEscrito);
        if (bEscrito) {
            // The rows of this run: C01 ticked is the one PEP client.
            QFile f(sDestino + "/preg_37.csv");
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QList<QStringList> Filas = ArchivosDetalle::Lee(f.readAll(), ';');
            QCOMPARE(Filas.size(), 2);
            QCOMPARE(Filas[1].value(0), QString("C01"));
        }
        // The preview no longer carries the button once the step is over.
        QVERIFY(dm->repGeneral->AccionesVista.empty());
        frm.reset();
        dm.reset();
        ColectorConexiones.reset();
        guion->Cajas.clear();
        QCOMPARE(huella(sHost), antes);
    }
};

QTEST_MAIN(TestExportaDetalle)
#include "TestExportaDetalle.moc"
