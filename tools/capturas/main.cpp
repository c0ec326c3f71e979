// Screenshots of the real program for the documentation: runs both steps in the main window
// over a Tavoro folder (answering the dialogs itself) and saves PNG images of the window, the
// report preview and one report page; or, with --sucursales, goes through the consolidation
// window over several branch folders (the folders added, the branches checked with a PEP
// ticked, the consolidated report's preview and its annex page).
//
//   capturas CARPETA_TAVORO CARPETA_SALIDA [--usuario CLAVE] [--password CLAVE]
//   capturas --sucursales CARPETA_SALIDA CARPETA_1 CARPETA_2 ...

#include "app/Arranque.h"
#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/DialogosGuion.h"
#include "reportengine/Reporte.h"
#include "reportengine/VistaPrevia.h"
#include "sucursales/VentanaSucursales.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextStream>
#include <QTimer>
#include <QtTest/QTest>

namespace {

int sucursales(const QString& sSalida, const QStringList& Carpetas)
{
    QTextStream err(stderr);
    QDir().mkpath(sSalida);
    auto guion = std::make_shared<TDialogosGuion>();
    const TServiciosPrograma servicios(guion);
    int nError = 0;
    TfrmSucursales frm;
    frm.resize(1100, 760);
    frm.show();
    if (!QTest::qWaitForWindowExposed(&frm))
        err << "La ventana no llegó a mostrarse." << Qt::endl;
    for (const QString& c : Carpetas)
        frm.AgregaCarpeta(c);
    QTest::keyClicks(frm.edUsuario, QStringLiteral("ADMIN"));
    QTest::keyClicks(frm.edPassw, QStringLiteral("ADMIN"));
    QTest::qWait(200);
    frm.grab().save(sSalida + QStringLiteral("sucursales-carpetas.png"));
    if (!frm.Revisa())
        nError = 1;
    // The first candidate of the first branch is a PEP.
    if (auto* l = qobject_cast<QTableWidget*>(frm.tabPEPs->widget(0)); l && l->rowCount() > 0)
        l->item(0, 0)->setCheckState(Qt::Checked);
    QTest::qWait(200);
    frm.grab().save(sSalida + QStringLiteral("sucursales-revisadas.png"));
    frm.AlMostrarReporte = [&](TReporte& r) {
        r.AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            QTest::qWait(300);
            v.grab().save(sSalida + QStringLiteral("sucursales-vista-previa.png"));
            if (r.PaginasPreparadas() <= 11)
                nError = 1;
            r.ImagenPagina(11).save(sSalida + QStringLiteral("consolidado-sucursales.png"));
            v.findChild<QAction*>(QStringLiteral("acCerrar"))->trigger();
        };
    };
    if (!frm.Genera())
        nError = 1;
    for (const QString& s : guion->Textos())
        err << s << Qt::endl;
    return nError;
}

} // namespace

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    if (args.size() >= 4 && args[1] == QLatin1String("--sucursales"))
        return sucursales(QDir(args[2]).absolutePath() + QLatin1Char('/'), args.mid(3));
    if (args.size() < 3) {
        err << "Uso: capturas CARPETA_TAVORO CARPETA_SALIDA [--usuario CLAVE] [--password CLAVE]" << Qt::endl;
        return 2;
    }
    const QString sCarpeta = QDir(args[1]).absolutePath() + QLatin1Char('/');
    const QString sSalida = QDir(args[2]).absolutePath() + QLatin1Char('/');
    QString sUsuario = QStringLiteral("ADMIN"), sPassw = QStringLiteral("ADMIN");
    for (int i = 3; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--usuario"))
            sUsuario = args[++i];
        else if (args[i] == QLatin1String("--password"))
            sPassw = args[++i];
    }
    QDir().mkpath(sSalida);

    auto guion = std::make_shared<TDialogosGuion>();
    guion->Respuestas << true << true; // instructions at start-up and before the report
    const TServiciosPrograma servicios(guion);
    TfrmPrincipal::CarpetaPrograma = [sCarpeta] { return sCarpeta; };

    int nError = 0;
    {
        TdmMain dmMain;
        TfrmPrincipal frm(dmMain);
        frm.show();
        if (!QTest::qWaitForWindowExposed(&frm))
            err << "La ventana no llegó a mostrarse." << Qt::endl;
        QTest::qWait(200);
        frm.grab().save(sSalida + QStringLiteral("ventana-inicio.png"));

        QTest::keyClicks(frm.edUsuario, sUsuario);
        QTest::keyClicks(frm.edPassw, sPassw);
        frm.bnDetectaPEPsClick();
        for (int f = 0; f < std::min(2, dmMain.vtPEPs->NumRegistros()); ++f) {
            dmMain.vtPEPs->IrA(f);
            dmMain.vtPEPs->Edita();
            dmMain.vtPEPs->SetValor(QStringLiteral("EsPEP"), true);
        }
        dmMain.vtPEPs->Primero();
        QTest::qWait(300);
        frm.grab().save(sSalida + QStringLiteral("ventana-principal.png"));

        dmMain.repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            QTest::qWait(500);
            v.grab().save(sSalida + QStringLiteral("vista-previa.png"));
            for (int i : {0, 1, 6, 10})
                dmMain.repGeneral->ImagenPagina(i).save(sSalida +
                                                        QStringLiteral("reporte-pagina-%1.png").arg(i + 1));
            v.findChild<QAction*>(QStringLiteral("acCerrar"))->trigger();
        };
        frm.bnGenReporteClick();
        QTest::qWait(200);
        frm.grab().save(sSalida + QStringLiteral("ventana-reporte.png"));
        for (const QString& s : guion->Textos().mid(2))
            err << s << Qt::endl;
        if (dmMain.repGeneral->PaginasPreparadas() != 11)
            nError = 1;
    }
    return nError;
}
