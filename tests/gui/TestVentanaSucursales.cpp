#include "MainQueTermina.h"
#include "app/Arranque.h"
#include "common/DialogosGuion.h"
#include "common/Plataforma.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Reporte.h"
#include "reportengine/VistaPrevia.h"
#include "sucursales/VentanaSucursales.h"
#include "tools/mdbgen/MuestraTavoro.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The consolidation window as an officer uses it: folders added and refused, the branches
// checked with one key for all or one of their own, PEPs ticked per branch, the consolidated
// report in the preview; branches of another company only when the officer says so; a run that
// the officer cancels.
class TestVentanaSucursales : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    std::shared_ptr<TDialogosGuion> guion;
    std::unique_ptr<TServiciosPrograma> servicios;
    QString carpeta(const QString& s) const { return tmp.filePath(s); }

    bool muestra(const QString& sNombre, quint64 nSemilla, const QString& sRegistro = "04512")
    {
        TOpcionesMuestra m;
        m.nOperaciones = 400;
        m.nSemilla = nSemilla;
        m.sRegistroCC = sRegistro;
        if (sRegistro != "04512")
            m.sEmpresa = "OTRA CASA DE CAMBIO, S.A. DE C.V.";
        return GeneraMuestraTavoro(carpeta(sNombre), m);
    }

    // A window with the branches added and the keys typed.
    std::unique_ptr<TfrmSucursales> ventana(const QStringList& Nombres)
    {
        auto frm = std::make_unique<TfrmSucursales>();
        frm->show();
        for (const QString& n : Nombres)
            frm->AgregaCarpeta(carpeta(n));
        QTest::keyClicks(frm->edUsuario, "admin");
        QTest::keyClicks(frm->edPassw, "admin");
        return frm;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        guion = std::make_shared<TDialogosGuion>();
        servicios = std::make_unique<TServiciosPrograma>(guion);
        QVERIFY(muestra("norte", 20190101));
        QVERIFY(muestra("sur", 7));
        QVERIFY(muestra("otra", 13, "0077"));
        QVERIFY(QDir().mkpath(carpeta("vacia")));
    }
    void cleanupTestCase() { servicios.reset(); }
    void init() { guion->Cajas.clear(); }

    // Each folder once, each a Tavoro folder; a branch shows its company before it is checked.
    void agregaCarpetas()
    {
        auto frm = ventana({"norte"});
        QCOMPARE(frm->grdSucursales->rowCount(), 1);
        QCOMPARE(frm->grdSucursales->item(0, 2)->text(),
                 QString("CENTRO CAMBIARIO LA FRONTERA, S.A. DE C.V."));
        QCOMPARE(frm->grdSucursales->item(0, 3)->text(), QString("04512"));
        QVERIFY(!frm->AgregaCarpeta(carpeta("vacia")));
        QVERIFY(!frm->AgregaCarpeta(carpeta("sur/../norte")));
        QCOMPARE(guion->Textos().size(), 2);
        QVERIFY2(guion->Textos()[0].contains("no es la del Tavoro"), qPrintable(guion->Textos()[0]));
        QVERIFY2(guion->Textos()[1].contains("ya está en la lista (Sucursal 1)"),
                 qPrintable(guion->Textos()[1]));
        QCOMPARE(frm->grdSucursales->rowCount(), 1);
        QVERIFY(frm->AgregaCarpeta(carpeta("sur")));
        QCOMPARE(frm->tabPEPs->count(), 2);
        frm->grdSucursales->setCurrentCell(0, 0);
        frm->bnQuitar->click();
        QCOMPARE(frm->grdSucursales->item(0, 0)->text(), QString("Sucursal 1"));
        QVERIFY(frm->grdSucursales->item(0, 1)->text().endsWith("sur"));
    }

    // Checked with the keys typed once, or a branch's own; a wrong key stops only that branch.
    void revisa()
    {
        auto frm = ventana({"norte", "sur"});
        frm->grdSucursales->item(1, 5)->setText("ADMIN");
        frm->grdSucursales->item(1, 6)->setText("OTRA");
        QVERIFY(!frm->Revisa());
        QVERIFY(frm->grdSucursales->item(0, 7)->text().startsWith("Lista"));
        QVERIFY2(frm->grdSucursales->item(1, 7)->text().contains("La contraseña es incorrecta"),
                 qPrintable(frm->grdSucursales->item(1, 7)->text()));
        frm->grdSucursales->item(1, 6)->setText("ADMIN");
        QVERIFY(frm->Revisa());
        auto* l = qobject_cast<QTableWidget*>(frm->tabPEPs->widget(0));
        QVERIFY(l && l->rowCount() > 0);
        QCOMPARE(l->item(0, 0)->checkState(), Qt::Unchecked);
        // Space in the list ticks the current candidate.
        l->setFocus();
        l->setCurrentCell(0, 1);
        QTest::keyClick(l, Qt::Key_Space);
        QCOMPARE(l->item(0, 0)->checkState(), Qt::Checked);
        QTest::keyClick(l, Qt::Key_Space);
        QCOMPARE(l->item(0, 0)->checkState(), Qt::Unchecked);
    }

    // The consolidated report in the preview: the eleven pages and its annex, the ticked PEP
    // counted once, the detail export offered.
    void genera()
    {
        auto frm = ventana({"norte", "sur"});
        QVERIFY(frm->Revisa());
        auto* l = qobject_cast<QTableWidget*>(frm->tabPEPs->widget(0));
        l->item(0, 0)->setCheckState(Qt::Checked);
        int nPaginas = 0;
        QString sPEP;
        bool bDetalle = false;
        QString sPDF;
        QString sPropuesto;
        bool bCarpetaPropuestaQuitada = false;
        QDir().mkpath(carpeta("documentos"));
        frm->CarpetaDocumentos = [this] { return carpeta("documentos"); };
        frm->AlMostrarReporte = [&](TReporte& r) {
            r.AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
                nPaginas = r.PaginasPreparadas();
                sPEP = r.Variables().Lee("preg_37");
                auto* acDetalle = v.findChild<QAction*>("acExportaDetalle");
                bDetalle = acDetalle != nullptr;
                sPDF = r.GetExportaPDF()->sNombreArchivo;
                sPropuesto = r.GetExportaPDF()->ArchivoPropuesto();
                if (acDetalle) {
                    acDetalle->trigger(); // the folder dialog is cancelled: nothing is written
                    bCarpetaPropuestaQuitada =
                        !QFileInfo::exists(carpeta("documentos/CuestionarioQRTZ-Consolidado detalle"));
                }
                v.findChild<QAction*>("acCerrar")->trigger();
            };
        };
        QVERIFY(frm->Genera());
        QVERIFY2(nPaginas > 11, qPrintable(QString::number(nPaginas)));
        QCOMPARE(sPEP, QString("1"));
        QVERIFY(bDetalle);
        // Saved in a branch's folder, the consolidated PDF does not take the name of its own report.
        QCOMPARE(sPDF, QString("CuestionarioQRTZ-Consolidado"));
        // The PDF and the detail are proposed together in the user's documents, the detail in a
        // folder named after the PDF; a cancelled choice leaves no folder behind.
        QCOMPARE(sPropuesto, QDir(carpeta("documentos")).filePath("CuestionarioQRTZ-Consolidado.pdf"));
        QCOMPARE(guion->Cajas.size(), 1);
        QCOMPARE(guion->Cajas.first().sInicial,
                 QDir(carpeta("documentos")).filePath("CuestionarioQRTZ-Consolidado detalle"));
        QVERIFY(bCarpetaPropuestaQuitada);
        guion->Cajas.clear();
        QCOMPARE(frm->txMensajes->text(), QString("El reporte consolidado se generó correctamente."));
        QVERIFY(guion->Cajas.isEmpty());
    }

    // Branches of another company: consolidated only when the officer answers "Sí".
    void otraEmpresa_data()
    {
        QTest::addColumn<bool>("respuesta");
        QTest::newRow("no") << false;
        QTest::newRow("sí") << true;
    }
    void otraEmpresa()
    {
        QFETCH(bool, respuesta);
        auto frm = ventana({"norte", "otra"});
        QVERIFY(frm->Revisa());
        guion->Respuestas.enqueue(respuesta);
        bool bMostrado = false;
        frm->AlMostrarReporte = [&](TReporte& r) {
            bMostrado = true;
            r.AlAbrirVistaPrevia = [](TVistaPrevia& v) { v.findChild<QAction*>("acCerrar")->trigger(); };
        };
        QCOMPARE(frm->Genera(), respuesta);
        QCOMPARE(bMostrado, respuesta);
        QCOMPARE(guion->Cajas.size(), 1);
        QCOMPARE(guion->Cajas[0].Tipo, TDialogosGuion::TTipo::Advertencia);
        QVERIFY2(guion->Cajas[0].sTexto.contains("no son de una misma empresa") &&
                     guion->Cajas[0].sTexto.endsWith("¿Desea consolidarlas de todos modos?"),
                 qPrintable(guion->Cajas[0].sTexto));
        if (!respuesta)
            QCOMPARE(frm->txMensajes->text(), QString("Proceso cancelado."));
    }

    // "Cancelar" stops the branches under way; nothing is shown.
    void cancela()
    {
        auto frm = ventana({"norte", "sur"});
        QVERIFY(frm->Revisa());
        bool bMostrado = false;
        frm->AlMostrarReporte = [&](TReporte&) { bMostrado = true; };
        QTimer::singleShot(0, frm->bnCancelar, &QPushButton::click);
        QVERIFY(!frm->Genera());
        QVERIFY(!bMostrado);
        QCOMPARE(frm->txMensajes->text(), QString("Proceso cancelado."));
        QVERIFY(guion->Cajas.isEmpty());
        QVERIFY(frm->bnGenerar->isEnabled());
    }
};

// The test's process ends as the program's does (see Plataforma::TerminaProceso).
QRTZ_TEST_MAIN_QUE_TERMINA(TestVentanaSucursales)

#include "TestVentanaSucursales.moc"
