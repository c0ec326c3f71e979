// Screenshots for reviewing the window and the report preview state by state, with the real
// message boxes on screen: the PEP list as the current row moves, the notice, Enter on a
// button, closing during a report, the instruction dialog, the preview (top of page 1, search,
// outline, toolbar, landscape page setup) and Qt's own dialogs. Meant for a virtual screen:
//
//   xvfb-run -a -s "-screen 0 1024x768x24" capturas_revision CARPETA_TAVORO CARPETA_SALIDA

#include "app/Arranque.h"
#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/RejillaDatos.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Reporte.h"
#include "reportengine/VistaPrevia.h"
#include "tools/capturas/CajaModal.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QtTest/QTest>

namespace {

QString F_sSalida;

void pantalla(const QString& sNombre)
{
    QTest::qWait(150);
    QGuiApplication::primaryScreen()->grabWindow(0).save(F_sSalida + sNombre + QStringLiteral(".png"));
}

// Answers the next modal box with the button whose text is sBoton, after taking its picture.
void alAbrirCaja(const QString& sNombre, const QString& sBoton)
{
    ContestaCaja(sBoton, [sNombre] {
        if (!sNombre.isEmpty())
            pantalla(sNombre);
    });
}

} // namespace

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        err << "Uso: capturas_revision CARPETA_TAVORO CARPETA_SALIDA" << Qt::endl;
        return 2;
    }
    const QString sCarpeta = QDir(args[1]).absolutePath() + QLatin1Char('/');
    F_sSalida = QDir(args[2]).absolutePath() + QLatin1Char('/');
    QDir().mkpath(F_sSalida);
    const TServiciosPrograma servicios;
    QApplication::setQuitOnLastWindowClosed(false);
    TfrmPrincipal::CarpetaPrograma = [sCarpeta] { return sCarpeta; };
    const QString sSi = QString::fromUtf8("&Sí");

    {
        TdmMain dm;
        TfrmPrincipal frm(dm);
        alAbrirCaja(QStringLiteral("08-indicaciones-1024x768"), sSi);
        frm.show();
        if (!QTest::qWaitForWindowExposed(&frm))
            err << "La ventana no llegó a mostrarse." << Qt::endl;
        QTest::qWait(600);
        pantalla(QStringLiteral("06-ventana-inicio"));
        frm.grab(QRect(200, 10, 300, 40))
            .scaled(1200, 160)
            .save(F_sSalida + QStringLiteral("06-titulo-x4.png"));

        // Enter on the focused button with a blank user key.
        frm.bnDetectaPEPs->setFocus();
        QTest::keyClick(frm.bnDetectaPEPs, Qt::Key_Return);
        pantalla(QStringLiteral("05-enter-en-detectar"));
        QTest::qWait(3000);

        QTest::keyClicks(frm.edUsuario, QStringLiteral("ADMIN"));
        QTest::keyClicks(frm.edPassw, QStringLiteral("ADMIN"));
        frm.bnDetectaPEPs->setFocus();
        QTest::keyClick(frm.bnDetectaPEPs, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::qWait(500);
        frm.activateWindow();
        if (!QTest::qWaitForWindowActive(&frm))
            err << "La ventana no quedó activa." << Qt::endl;
        pantalla(QStringLiteral("01-lista-tras-detectar"));
        TRejillaDatos* grd = frm.grdPEPs;
        auto celda = [&](int f, int c) { return grd->RectCelda(f, c).center(); };
        QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, celda(0, 0));
        pantalla(QStringLiteral("01-lista-clic-fila1"));
        QTest::keyClick(grd, Qt::Key_Down);
        pantalla(QStringLiteral("01-lista-flecha-abajo"));
        QTest::keyClick(grd, Qt::Key_Down);
        pantalla(QStringLiteral("01-lista-flecha-abajo-2"));
        QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, celda(1, 1));
        QTest::keyClick(grd, Qt::Key_Backtab, Qt::ShiftModifier);
        pantalla(QStringLiteral("01-lista-mayus-tab"));
        QTest::mouseClick(grd->viewport(), Qt::LeftButton, {}, celda(2, 0));
        pantalla(QStringLiteral("01-lista-clic-otra-fila"));
        QGuiApplication::primaryScreen()
            ->grabWindow(frm.winId(), 90, 400, 510, 130)
            .scaled(1530, 390)
            .save(F_sSalida + QStringLiteral("02-lista-x3.png"));
        QTest::mouseMove(grd->viewport(), celda(1, 1));
        QTest::qWait(1200);
        pantalla(QStringLiteral("03-hint"));

        // Closing during the report: "No" first, then the report runs to its preview.
        dm.repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            QTest::qWait(600);
            pantalla(QStringLiteral("11-vista-previa-al-abrir"));
            auto* edBuscar = v.findChild<QLineEdit*>(QStringLiteral("edBuscar"));
            edBuscar->setText(QString::fromUtf8("canal de envío"));
            QTest::keyClick(edBuscar, Qt::Key_Return);
            pantalla(QStringLiteral("14-busqueda"));
            edBuscar->setText(QStringLiteral("no aparece"));
            QTest::keyClick(edBuscar, Qt::Key_Return);
            pantalla(QStringLiteral("15-barra-sin-hallazgo"));
            v.findChild<QAction*>(QStringLiteral("acEsquema"))->trigger();
            pantalla(QStringLiteral("16-esquema"));
            v.DialogoConfigurarPagina = [](QPrinter& p, QWidget*) {
                p.setPageOrientation(QPageLayout::Landscape);
                return p.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
            };
            v.findChild<QAction*>(QStringLiteral("acConfigurarPagina"))->trigger();
            v.findChild<QAction*>(QStringLiteral("acPaginaCompleta"))->trigger();
            pantalla(QStringLiteral("12-apaisado-20mm"));
            v.DialogoImprimir = [](QPrinter& p, QWidget*) {
                p.setOutputFormat(QPrinter::PdfFormat);
                p.setOutputFileName(F_sSalida + QStringLiteral("12-impreso-apaisado.pdf"));
                return true;
            };
            v.findChild<QAction*>(QStringLiteral("acImprimir"))->trigger();
            dm.expPDF->Exporta(*dm.repGeneral, F_sSalida + QStringLiteral("10-exportado.pdf"));
            QPageSetupDialog Configura(&v.Impresora(), &v);
            Configura.show();
            pantalla(QStringLiteral("13-configurar-pagina"));
            Configura.reject();
            QPrintDialog Imprime(&v.Impresora(), &v);
            Imprime.show();
            pantalla(QStringLiteral("13-imprimir"));
            Imprime.reject();
            v.findChild<QAction*>(QStringLiteral("acCerrar"))->trigger();
        };
        alAbrirCaja(QString(), sSi); // the instructions
        QTimer cierre;
        cierre.setInterval(5);
        bool bPedido = false;
        QObject::connect(&cierre, &QTimer::timeout, [&] {
            if (bPedido || !frm.txMensajes->text().startsWith(QStringLiteral("Por favor espere")))
                return;
            bPedido = true;
            alAbrirCaja(QStringLiteral("07-cerrar-durante-el-reporte"), QStringLiteral("&No"));
            QCoreApplication::postEvent(frm.windowHandle(), new QCloseEvent);
        });
        cierre.start();
        frm.bnGenReporte->click();
        cierre.stop();
        pantalla(QStringLiteral("07-tras-el-reporte"));

        // A detection that finds nothing after one that found rows.
        dm.vtPEPs->BorraTodo();
        frm.MuestraIgnorar(true);
        pantalla(QStringLiteral("04-aviso-sin-peps"));
    }
    return 0;
}
