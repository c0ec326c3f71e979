#include "../questionnaire/FixturasHost.h"
#include "MainQueTermina.h"
#include "RelojManual.h"
#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/DialogosGuion.h"
#include "data/ColectorConxs.h"
#include "questionnaire/ArchivosDetalle.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Reporte.h"
#include "reportengine/VistaPrevia.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
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
        QTest::addColumn<int>("anteriores");  // -1: no earlier set there; 0/1: "No"/"Sí" to replacing it
        QTest::addColumn<bool>("interrumpe"); // "Cancelar" in the progress window at once
        QTest::newRow("carpeta nueva") << "exportado/detalle"
                                       << "Se escribió el detalle de 29 respuestas" << -1 << false;
        QTest::newRow("cancelada") << ""
                                   << "" << -1 << false;
        QTest::newRow("carpeta de la base") << "host/DataBase"
                                            << "es la carpeta de la base de datos del Tavoro" << -1 << false;
        QTest::newRow("dentro de la base, otras mayusculas")
            << "host/DATABASE/detalle"
            << "es la carpeta de la base de datos del Tavoro" << -1 << false;
        QTest::newRow("reemplaza el detalle anterior")
            << "anterior_si"
            << "Se escribió el detalle de 29 respuestas" << 1 << false;
        QTest::newRow("conserva el detalle anterior") << "anterior_no"
                                                      << "" << 0 << false;
        QTest::newRow("cancelada durante la escritura")
            << "interrumpida/detalle"
            << "Se canceló la exportación del detalle" << -1 << true;
    }
    void exporta()
    {
        QFETCH(QString, destino);
        QFETCH(QString, mensaje);
        QFETCH(int, anteriores);
        QFETCH(bool, interrumpe);
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
        // An earlier set in the folder, with a file this one does not write again, and a file of
        // the user's that no set ever touches.
        QMap<QString, QByteArray> Anteriores;
        if (anteriores >= 0) {
            QDir().mkpath(sDestino);
            Anteriores = {{"indice.csv", "indice anterior"},
                          {"preg_99.csv", "de otra version"},
                          {"notas.txt", "del usuario"}};
            for (auto it = Anteriores.cbegin(); it != Anteriores.cend(); ++it) {
                QFile f(sDestino + '/' + it.key());
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write(it.value()) > 0);
            }
        }
        bool bHabiaBoton = false;
        bool bHabiaProgreso = false;
        bool bHabiaPropuesta = false;
        QString sPdfPropuesto;
        dm->repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            auto* a = v.findChild<QAction*>("acExportaDetalle");
            auto* b = v.findChild<QToolButton*>("bnExportaDetalle");
            bHabiaBoton = a && b && b->isVisible() && b->text() == "Exportar detalle…";
            sPdfPropuesto = dm->expPDF->ArchivoPropuesto();
            guion->AlMostrar = [&](const TDialogosGuion::TCaja& c) {
                if (c.Tipo == TDialogosGuion::TTipo::Carpeta)
                    bHabiaPropuesta = QFileInfo(c.sInicial).isDir();
            };
            guion->Carpetas.enqueue(sDestino);
            guion->Opciones.enqueue(1); // ';' between fields, decimal comma
            if (anteriores >= 0)
                guion->Respuestas.enqueue(anteriores == 1);
            // The progress window answers while the rows are written; "Cancelar" stops them.
            QTimer Vigia;
            QObject::connect(&Vigia, &QTimer::timeout, [&] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* p = qobject_cast<QProgressDialog*>(w);
                        p && p->objectName() == "dlgProgresoDetalle") {
                        bHabiaProgreso = true;
                        if (interrumpe)
                            p->cancel();
                    }
            });
            Vigia.start(0);
            if (a)
                a->trigger();
            Vigia.stop();
            guion->AlMostrar = nullptr;
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        guion->Respuestas.enqueue(true);
        QTest::mouseClick(frm->bnGenReporte, Qt::LeftButton);
        QTRY_VERIFY(frm->bnGenReporte->isEnabled());
        QVERIFY(bHabiaBoton);
        QCOMPARE(frm->txMensajes->text(), QString("El reporte se generó correctamente."));
        // The instruction question, the folder dialog, the files' format (for a folder allowed),
        // the question about an earlier set and the outcome (none when the user cancelled or
        // kept the earlier set).
        const int nFormato = !destino.isEmpty() && !destino.startsWith("host") ? 1 : 0;
        const int nPregunta = anteriores >= 0 ? 1 : 0;
        QCOMPARE(guion->Cajas.size(), (mensaje.isEmpty() ? 2 : 3) + nFormato + nPregunta);
        QCOMPARE(guion->Cajas[1].Tipo, TDialogosGuion::TTipo::Carpeta);
        QCOMPARE(guion->Cajas[1].sTexto, QString("Exportar detalle: elija la carpeta de los archivos"));
        // The folder beside the report's PDF in the program's folder, made for the dialog to open
        // in and gone again when nothing was written into it.
        const QString sPropuesta = sHost + "CuestionarioQRTZ detalle";
        QCOMPARE(guion->Cajas[1].sInicial, sPropuesta);
        QVERIFY(bHabiaPropuesta);
        QVERIFY(!QFileInfo::exists(sPropuesta));
        QCOMPARE(sPdfPropuesto, sHost + "CuestionarioQRTZ.pdf");
        if (nFormato) {
            QCOMPARE(guion->Cajas[2].Tipo, TDialogosGuion::TTipo::Opcion);
            QCOMPARE(guion->Cajas[2].sTexto, QString("Formato de los archivos CSV:"));
        }
        if (nPregunta)
            QCOMPARE(guion->Cajas[2 + nFormato].sTexto,
                     QString("Ya existen archivos de detalle en esa carpeta. ¿Desea reemplazarlos?"));
        const int nResultado = 2 + nFormato + nPregunta;
        if (!mensaje.isEmpty())
            QVERIFY2(guion->Cajas[nResultado].sTexto.contains(mensaje),
                     qPrintable(guion->Cajas[nResultado].sTexto));

        const bool bEscrito = mensaje.startsWith("Se escribió");
        QCOMPARE(bHabiaProgreso, bEscrito || interrumpe);
        if (!bEscrito && anteriores >= 0) {
            // Kept: the earlier set as it was.
            QCOMPARE(QDir(sDestino).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList(Anteriores.keys()));
            for (auto it = Anteriores.cbegin(); it != Anteriores.cend(); ++it) {
                QFile f(sDestino + '/' + it.key());
                QVERIFY(f.open(QIODevice::ReadOnly));
                QCOMPARE(f.readAll(), it.value());
            }
        } else if (!bEscrito && !sDestino.isEmpty()) {
            // Nothing of the export is left, not even the folder it created.
            QVERIFY(!QFileInfo::exists(sDestino + "/indice.csv"));
            QVERIFY(!QFileInfo::exists(sDestino) || sDestino.contains("host"));
        }
        if (bEscrito && anteriores >= 0) {
            QVERIFY(!QFileInfo::exists(sDestino + "/preg_99.csv"));
            QFile f(sDestino + "/notas.txt");
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("del usuario"));
        }
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

// The window preloads the report's tables on a thread of its own once detection is done.
QRTZ_TEST_MAIN_QUE_TERMINA(TestExportaDetalle)
#include "TestExportaDetalle.moc"
