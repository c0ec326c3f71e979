// Benchmark of the window (not a test): on a Tavoro folder, logs in as ADMIN, detects the PEPs
// and generates the report as a user does, and meanwhile measures how the window answers:
//   - the longest stall of the event loop from the press of "Generar reporte" to the preview (a
//     10 ms timer records the largest gap between its ticks);
//   - how long a close request, sent one second into the report, waits for its question ("No"
//     lets the report go on);
//   - the time from the press to the preview, and from the "Sí" of the instructions to it,
//     beside the pauses the status messenger makes in that time (the messages the user reads)
//     and what is left beyond them.
// Between the end of the detection and the press it waits PAUSA ms (300 unless given), the time
// a user takes to tick the list, during which the window loads the report's tables; with
// --sin-precarga it does not, as a comparison. Meant for a virtual screen:
//
//   xvfb-run -a benchventana CARPETA_TAVORO [PAUSA] [--sin-precarga]

#include "app/Arranque.h"
#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/Reloj.h"
#include "common/Utilerias.h"
#include "reportengine/Reporte.h"
#include "reportengine/VistaPrevia.h"
#include "tools/capturas/CajaModal.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <QtTest/QTest>

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    QTextStream out(stdout);
    QStringList args = app.arguments();
    if (args.removeAll(QStringLiteral("--sin-precarga")) > 0)
        TfrmPrincipal::PrecargaReporte = false;
    if (args.size() < 2) {
        QTextStream(stderr) << "Uso: benchventana CARPETA_TAVORO [PAUSA_MS] [--sin-precarga]" << Qt::endl;
        return 2;
    }
    const QString sCarpeta = QDir(args[1]).absolutePath() + QLatin1Char('/');
    const int nPausa = args.size() > 2 ? args[2].toInt() : 300;
    const TServiciosPrograma servicios;
    QApplication::setQuitOnLastWindowClosed(false);
    // The messenger's clock as the program's, counting the pauses it is asked for once the "Sí"
    // has been given.
    bool bCuentaPausas = false;
    qint64 msPausas = 0;
    const std::shared_ptr<IUtilerias> Utilerias = CreaUtilerias();
    TfrmPrincipal::RelojMensajero = CreaRelojSistema([&](int nMs) {
        if (bCuentaPausas)
            msPausas += nMs;
        Utilerias->HazPausa(nMs);
    });
    TfrmPrincipal::CarpetaPrograma = [sCarpeta] { return sCarpeta; };
    const QString sSi = QString::fromUtf8("&Sí");
    int nRc = 0;
    {
        TdmMain dm;
        TfrmPrincipal frm(dm);
        ContestaCaja(sSi, {}, 1); // the instructions at start
        frm.show();
        if (!QTest::qWaitForWindowExposed(&frm))
            QTextStream(stderr) << "La ventana no llegó a mostrarse." << Qt::endl;
        QTest::qWait(300);
        QTest::keyClicks(frm.edUsuario, QStringLiteral("ADMIN"));
        QTest::keyClicks(frm.edPassw, QStringLiteral("ADMIN"));
        frm.bnDetectaPEPs->click();
        QTest::qWait(nPausa);

        QElapsedTimer reloj, tic, trasSi;
        qint64 msPausa = 0, msCierre = -1, msReporte = -1, msTrasSi = -1;
        QTimer sonda;
        sonda.setInterval(10);
        QObject::connect(&sonda, &QTimer::timeout, [&] { msPausa = std::max(msPausa, tic.restart()); });
        dm.repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            msReporte = reloj.elapsed();
            msTrasSi = trasSi.elapsed();
            bCuentaPausas = false;
            sonda.stop();
            v.findChild<QAction*>(QStringLiteral("acCerrar"))->trigger();
        };
        // One second into the report, a close request; its question answered "No".
        QTimer::singleShot(1000, [&] {
            if (msReporte >= 0)
                return;
            QElapsedTimer espera;
            espera.start();
            ContestaCaja(
                QStringLiteral("&No"), [&msCierre, espera] { msCierre = espera.elapsed(); }, 1);
            QCoreApplication::postEvent(frm.windowHandle(), new QCloseEvent);
        });
        ContestaCaja(
            sSi,
            [&] {
                trasSi.start();
                bCuentaPausas = true;
            },
            1); // the report's instructions
        reloj.start();
        tic.start();
        sonda.start();
        frm.bnGenReporte->click();
        sonda.stop();
        if (msReporte < 0) {
            out << "el reporte no llegó a la vista previa: " << frm.txMensajes->text() << Qt::endl;
            nRc = 1;
        } else {
            out << "reporte hasta la vista previa " << msReporte << " ms (desde el Sí " << msTrasSi
                << " ms: pausas del mensajero " << msPausas << " ms + " << msTrasSi - msPausas
                << " ms), pausa más larga " << msPausa << " ms, cierre contestado en "
                << (msCierre < 0 ? QStringLiteral("-") : QString::number(msCierre)) << " ms" << Qt::endl;
        }
    }
    return nRc;
}
