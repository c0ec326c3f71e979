#include "../questionnaire/FixturasHost.h"
#include "RelojManual.h"

#include "app/Arranque.h"
#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/CasillaDatos.h"
#include "common/DialogosGuion.h"
#include "common/Mensajero.h"
#include "common/Plataforma.h"
#include "common/RejillaDatos.h"
#include "common/TablaMemoria.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"
#include "db/jet/proveedor/ProveedorJet.h"
#include "reportengine/Fuentes.h"
#include "reportengine/Reporte.h"
#include "reportengine/VistaPrevia.h"

#include <QAction>
#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QString kCarpetaFuera = "Error: Este programa debe encontrarse en la carpeta del Tavoro.";
const QString kEmpresa = "No se pudo extraer el Número de la Empresa predeterminada.";
const QString kConectado = "Hay un usuario conectado a la BD. Cierre Tavoro antes de continuar.";
const QString kLoginCaja = "La contraseña es incorrecta o, el usuario no  tiene permisos de administrador.";
const QString kLoginLinea = "La contraseña es incorrecta o, el usuario no tiene permisos de administrador.";
const QString kReporteMal = "No fue posible generar el reporte. Llame a Soporte Técnico.";
const QString kReporteBien = "El reporte se generó correctamente.";

// Bytes and modification time of every file under a folder, to prove nothing was written.
QMap<QString, QPair<QByteArray, QDateTime>> huella(const QString& sCarpeta)
{
    QMap<QString, QPair<QByteArray, QDateTime>> m;
    QDirIterator it(sCarpeta, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        QFile a(f);
        a.open(QIODevice::ReadOnly);
        m.insert(f, {QCryptographicHash::hash(a.readAll(), QCryptographicHash::Sha256),
                     QFileInfo(f).lastModified()});
    }
    return m;
}

// Records every font colour a label takes: the flash of a field alert runs inside the event
// loop in one go, so polling the colour afterwards would miss it.
class TColores : public QObject
{
public:
    explicit TColores(QLabel* Etiqueta) : F_Etiqueta(Etiqueta) { Etiqueta->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::PaletteChange)
            Vistos << F_Etiqueta->palette().color(QPalette::WindowText);
        return false;
    }
    QList<QColor> Vistos;

private:
    QLabel* F_Etiqueta;
};

} // namespace

// The real window driven headless over host folders written for the purpose and read by the
// real engine: both steps end to end, every failure they report, and the read-only guarantee.
class TestPasos : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    std::shared_ptr<TDialogosGuion> guion;
    std::unique_ptr<TdmMain> dm;
    std::unique_ptr<TfrmPrincipal> frm;
    // The messenger's time: pauses pass at once, countdowns and flashes when the test moves it.
    std::shared_ptr<TRelojManual> reloj;

    QString carpeta(const QString& s) const { return tmp.filePath(s) + "/"; }

    void abreVentana(const QString& sCarpeta)
    {
        TfrmPrincipal::CarpetaPrograma = [sCarpeta] { return sCarpeta; };
        ColectorConexiones = CreaColectorConxs();
        dm = std::make_unique<TdmMain>();
        frm = std::make_unique<TfrmPrincipal>(*dm);
        guion->Respuestas.enqueue(true); // the instruction dialog at start-up
        frm->show();
        QTRY_COMPARE(guion->Cajas.size(), 1);
        guion->Cajas.clear();
        QVERIFY(QTest::qWaitForWindowExposed(frm.get()));
    }

    void escribeUsuario(const QString& sUsuario, const QString& sPassw)
    {
        frm->edUsuario->clear();
        frm->edPassw->clear();
        QTest::keyClicks(frm->edUsuario, sUsuario);
        QTest::keyClicks(frm->edPassw, sPassw);
    }

    // Clicks the button and waits until its step has ended (the button is enabled again).
    void pulsa(QPushButton* bn)
    {
        QTest::mouseClick(bn, Qt::LeftButton);
        QTRY_VERIFY(bn->isEnabled());
    }

    QColor colorDe(QLabel* l) const { return l->palette().color(QPalette::WindowText); }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        QVERIFY(FixturasHost::EscribePrincipal(tmp.filePath("v30"), 30));
        QVERIFY(FixturasHost::EscribeHistoria(tmp.filePath("historia")));
        QVERIFY(FixturasHost::EscribeIncompleta(tmp.filePath("incompleta")));
        FixturasHost::TOpciones conectado;
        conectado.bUsuarioConectado = true;
        QVERIFY(FixturasHost::EscribePrincipal(tmp.filePath("conectado"), 30, conectado));
        FixturasHost::TOpciones cero;
        cero.sIni = "[Control]\r\nEmpresaActiva=0\r\n";
        QVERIFY(FixturasHost::EscribePrincipal(tmp.filePath("cero"), 30, cero));
        FixturasHost::TOpciones sinSeccion;
        sinSeccion.sIni = "[Otra]\r\nEmpresaActiva=1\r\n";
        QVERIFY(FixturasHost::EscribePrincipal(tmp.filePath("sinseccion"), 30, sinSeccion));
        FixturasHost::TOpciones mayusculas;
        mayusculas.sDirBD = "DATABASE";
        mayusculas.sArchivoBD = "TAVORO.MDB";
        mayusculas.sArchivoIni = "tavoro.ini";
        QVERIFY(FixturasHost::EscribePrincipal(tmp.filePath("mayusculas"), 30, mayusculas));
        QDir().mkpath(tmp.filePath("vacia"));
        FixturasHost::TOpciones muchos;
        for (int i = 1; i <= 40; ++i) {
            muchos.ClavesExtra << QString("X%1").arg(i, 2, 10, QChar('0'));
            muchos.NombresExtra << QString("EXTRA %1").arg(i, 2, 10, QChar('0'));
        }
        QVERIFY(FixturasHost::EscribePrincipal(tmp.filePath("muchos"), 30, muchos));
    }
    void cleanupTestCase() { InstalaDialogos(nullptr); }
    void init()
    {
        guion->Cajas.clear();
        reloj = std::make_shared<TRelojManual>();
        TfrmPrincipal::RelojMensajero = reloj;
    }
    void cleanup()
    {
        frm.reset();
        dm.reset();
        ColectorConexiones.reset();
        guion->Respuestas.clear();
        guion->AlMostrar = nullptr;
        TfrmPrincipal::RelojMensajero = nullptr;
        reloj.reset();
    }

    void caminoFeliz()
    {
        const auto antes = huella(carpeta("v30"));
        abreVentana(carpeta("v30"));
        escribeUsuario("admin", "clave1"); // the boxes turn both upper case
        QCOMPARE(frm->edUsuario->text(), QString("ADMIN"));
        pulsa(frm->bnDetectaPEPs);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        QCOMPARE(dm->vtPEPs->NumRegistros(), 6);
        QTRY_VERIFY(frm->grdPEPs->isEnabled());
        QVERIFY(frm->bnGenReporte->isEnabled());
        QVERIFY(frm->pnIgnorar->isHidden());
        QCOMPARE(frm->txMensajes->text(), QString("La detección de PEPs ha finalizado."));

        // Tick C01 and C02 by clicking their mark cells.
        for (int f = 0; f < dm->vtPEPs->NumRegistros(); ++f) {
            const QString sClave = dm->vtPEPs->ValorEn(f, 1).toString();
            if (sClave == "C01" || sClave == "C02")
                QTest::mouseClick(frm->grdPEPs->viewport(), Qt::LeftButton, {},
                                  frm->grdPEPs->RectCelda(f, 0).center());
        }
        int nMarcas = 0;
        for (int f = 0; f < dm->vtPEPs->NumRegistros(); ++f)
            nMarcas += dm->vtPEPs->ValorEn(f, 3).toBool() ? 1 : 0;
        QCOMPARE(nMarcas, 2);

        QMap<QString, QString> Vistos;
        dm->repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            for (const char* s :
                 {"NombreCC", "RegCC", "preg_22", "preg_32", "preg_37", "preg_42_1", "preg_30"})
                Vistos[s] = dm->repGeneral->Variables().Lee(s);
            Vistos["pagina2"] = dm->repGeneral->TextoPagina(2);
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        guion->Respuestas.enqueue(true);
        pulsa(frm->bnGenReporte);
        QCOMPARE(guion->Cajas.size(), 1);
        QCOMPARE(guion->Cajas.first().Tipo, TDialogosGuion::TTipo::Advertencia);
        QCOMPARE(guion->Cajas.first().sTexto, TextoIndicaciones());
        QCOMPARE(Vistos["NombreCC"], QString("CAMBIOS DE PRUEBA, S.A. DE C.V."));
        QCOMPARE(Vistos["RegCC"], QString("08900777"));
        QCOMPARE(Vistos["preg_22"], QString("13"));
        QCOMPARE(Vistos["preg_32"], QString("7"));
        QCOMPARE(Vistos["preg_37"], QString("2"));
        QCOMPARE(Vistos["preg_42_1"], QString("16"));
        QCOMPARE(Vistos["preg_30"], QString("SI"));
        QVERIFY(Vistos["pagina2"].contains("CAMBIOS DE PRUEBA, S.A. DE C.V."));
        QCOMPARE(frm->txMensajes->text(), kReporteBien);

        // The host files were only read: same bytes, same times, nothing new beside them.
        frm.reset();
        ColectorConexiones.reset();
        QCOMPARE(huella(carpeta("v30")), antes);
    }

    void nadaDetectadoMuestraElAvisoYUnaDeteccionLoQuita()
    {
        abreVentana(carpeta("historia"));
        escribeUsuario("ADMIN", "CLAVE1");
        pulsa(frm->bnDetectaPEPs);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        QVERIFY(frm->pnIgnorar->isVisible());
        QCOMPARE(frm->pnIgnorar->pos(), QPoint(87, 332));
        QCOMPARE(colorDe(frm->txPaso4), QColor(0x80, 0x80, 0x80));
        QVERIFY(frm->bnGenReporte->isEnabled());
        QVERIFY(!frm->grdPEPs->isEnabled());
        // The next detection, now in a folder with PEPs, hides the notice again.
        ColectorConexiones = CreaColectorConxs();
        TfrmPrincipal::CarpetaPrograma = [this] { return carpeta("v30"); };
        pulsa(frm->bnDetectaPEPs);
        QVERIFY(frm->pnIgnorar->isHidden());
        QCOMPARE(colorDe(frm->txPaso4), QColor(0x00, 0x80, 0x80));
        QCOMPARE(dm->vtPEPs->NumRegistros(), 6);
    }

    // The one case in real time: the messenger's own clock, whose pauses really wait.
    void reporteCancelado()
    {
        TfrmPrincipal::RelojMensajero = nullptr;
        abreVentana(carpeta("v30"));
        escribeUsuario("ADMIN", "CLAVE1");
        pulsa(frm->bnDetectaPEPs);
        guion->Cajas.clear();
        guion->Respuestas.enqueue(false);
        QTest::mouseClick(frm->bnGenReporte, Qt::LeftButton);
        QCOMPARE(guion->Cajas.size(), 1);
        QCOMPARE(frm->txMensajes->text(), QString("Proceso cancelado."));
        QVERIFY(frm->bnGenReporte->isEnabled());
    }

    void usuarioEnBlanco()
    {
        abreVentana(carpeta("v30"));
        escribeUsuario("   ", "");
        TColores colores(frm->txUsuario);
        QTest::mouseClick(frm->bnDetectaPEPs, Qt::LeftButton);
        QVERIFY(guion->Cajas.isEmpty());
        QCOMPARE(frm->txMensajes->text(), QString("Por favor, escriba su usuario (Administrador)."));
        QVERIFY(frm->edUsuario->hasFocus());
        QVERIFY(colores.Vistos.isEmpty()); // the flash starts from the event loop, 50 ms later
        reloj->Avanza(50);
        QCOMPARE(colores.Vistos.count(QColor(Qt::red)), 4);
        QCOMPARE(colorDe(frm->txUsuario), QColor(0x48, 0x48, 0x48));
        QCOMPARE(reloj->Pausas, QList<int>(9, 300));
        QCOMPARE(dm->vtPEPs->NumRegistros(), 0);
    }

    void fallasDeLosPasos_data()
    {
        QTest::addColumn<QString>("fixtura");
        QTest::addColumn<QString>("caja");
        QTest::newRow("fuera de la carpeta") << "vacia" << kCarpetaFuera;
        QTest::newRow("empresa en cero") << "cero" << kEmpresa;
        QTest::newRow("sin seccion Control") << "sinseccion" << kEmpresa;
        QTest::newRow("usuario conectado") << "conectado" << kConectado;
    }
    void fallasDeLosPasos()
    {
        QFETCH(QString, fixtura);
        QFETCH(QString, caja);
        abreVentana(carpeta(fixtura));
        escribeUsuario("ADMIN", "CLAVE1");
        pulsa(frm->bnDetectaPEPs);
        QCOMPARE(guion->Textos(), QStringList{caja});
        // The box told why; the line keeps no progress text of the step ("Conectando...").
        QCOMPARE(frm->txMensajes->text(), QString());
        QVERIFY(!frm->bnGenReporte->isEnabled());
        QCOMPARE(dm->vtPEPs->NumRegistros(), 0);
        QVERIFY(frm->pnIgnorar->isHidden());

        // The report step (its button enabled by hand) shows the same box after the
        // instructions, then the failure line.
        guion->Cajas.clear();
        frm->bnGenReporte->setEnabled(true);
        guion->Respuestas.enqueue(true);
        pulsa(frm->bnGenReporte);
        QCOMPARE(guion->Textos(), (QStringList{TextoIndicaciones(), caja}));
        QCOMPARE(frm->txMensajes->text(), kReporteMal);
    }

    void nombresDeArchivoEnOtrasMayusculas()
    {
        abreVentana(carpeta("mayusculas"));
        escribeUsuario("ADMIN", "CLAVE1");
        pulsa(frm->bnDetectaPEPs);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        QCOMPARE(dm->vtPEPs->NumRegistros(), 6);
    }

    void accesoRechazadoEnLaDeteccion()
    {
        abreVentana(carpeta("v30"));
        escribeUsuario("ADMIN", "OTRA");
        QList<QWidget*> Foco;
        guion->AlMostrar = [&](const TDialogosGuion::TCaja&) { Foco << QApplication::focusWidget(); };
        frm->bnGenReporte->setFocus();
        TColores colores(frm->txUsuario);
        pulsa(frm->bnDetectaPEPs);
        QCOMPARE(guion->Textos(), QStringList{kLoginCaja});
        QCOMPARE(Foco, QList<QWidget*>{frm->edUsuario}); // focus moved before the box
        QCOMPARE(frm->txMensajes->text(), kLoginLinea);
        QVERIFY(frm->edUsuario->hasFocus());
        QTRY_VERIFY(colores.Vistos.contains(QColor(Qt::red)));
        QVERIFY(!frm->bnGenReporte->isEnabled());
    }

    void accesoRechazadoEnElReporte()
    {
        abreVentana(carpeta("v30"));
        escribeUsuario("ADMIN", "CLAVE1");
        pulsa(frm->bnDetectaPEPs);
        // The detection's temporary message clears the line when its countdown ends, whatever it
        // shows then; let it end first so the report's own last line stays.
        reloj->Avanza(2999);
        QCOMPARE(frm->txMensajes->text(), QString("La detección de PEPs ha finalizado."));
        reloj->Avanza(1);
        QCOMPARE(frm->txMensajes->text(), QString());
        guion->Cajas.clear();
        escribeUsuario("CAJERO", "CLAVE1"); // right password, not an administrator
        guion->Respuestas.enqueue(true);
        TColores colores(frm->txPassw);
        TColores otros(frm->txUsuario);
        pulsa(frm->bnGenReporte);
        QCOMPARE(guion->Textos(), (QStringList{TextoIndicaciones(), kLoginCaja}));
        QVERIFY(frm->edPassw->hasFocus());
        reloj->Avanza(50);
        QVERIFY(colores.Vistos.contains(QColor(Qt::red)));
        QVERIFY(!otros.Vistos.contains(QColor(Qt::red)));
        QTRY_COMPARE(frm->txMensajes->text(), kReporteMal);
    }

    void respuestaFallidaTerminaElReporte()
    {
        abreVentana(carpeta("incompleta"));
        escribeUsuario("ADMIN", "CLAVE1");
        guion->Respuestas.enqueue(true);
        bool bVistaPrevia = false;
        dm->repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            bVistaPrevia = true;
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        frm->bnGenReporte->setEnabled(true);
        pulsa(frm->bnGenReporte);
        QVERIFY(!bVistaPrevia);
        // The version read and question 22 each report their failed query.
        QCOMPARE(guion->Cajas.size(), 3);
        QVERIFY(
            guion->Textos().at(1).startsWith("Error #BD-101.TRepCuestZIDU2019: Llame a Soporte Técnico. "));
        QVERIFY(
            guion->Textos().at(2).startsWith("Error #BD-101.TRepCuestZIDU2019: Llame a Soporte Técnico. "));
        QCOMPARE(frm->txMensajes->text(), kReporteMal);
    }

    // Closing the window while the report is being computed: the user is asked at once whether
    // to cancel. "Sí" stops the step between two questions and closes the window without any
    // preview; "No" lets it run to its end. The host's files are left as they were either way.
    void cerrarDuranteElReporte_data()
    {
        QTest::addColumn<bool>("bCancela");
        QTest::newRow("Sí: se cancela y se cierra") << true;
        QTest::newRow("No: el reporte sigue") << false;
    }
    void cerrarDuranteElReporte()
    {
        QFETCH(bool, bCancela);
        QApplication::setQuitOnLastWindowClosed(false);
        const auto antes = huella(carpeta("v30"));
        abreVentana(carpeta("v30"));
        escribeUsuario("ADMIN", "CLAVE1");
        frm->bnGenReporte->setEnabled(true);
        bool bVistaPrevia = false;
        dm->repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            bVistaPrevia = true;
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        bool bPasoEnCursoAlPreguntar = false;
        guion->AlMostrar = [&](const TDialogosGuion::TCaja& c) {
            if (c.sTexto == QString("¿Desea cancelar el proceso?"))
                bPasoEnCursoAlPreguntar = !frm->bnGenReporte->isEnabled();
        };
        guion->Respuestas << true << bCancela; // the instructions, then the close question
        // The close request of the window system arrives once the questions are under way.
        bool bPedido = false;
        QElapsedTimer reloj;
        qint64 nRespuesta = -1;
        QTimer cierre;
        cierre.setInterval(2);
        connect(&cierre, &QTimer::timeout, this, [&] {
            if (bPedido || !frm->txMensajes->text().startsWith("Por favor espere... "))
                return;
            bPedido = true;
            reloj.start();
            QCoreApplication::postEvent(frm->windowHandle(), new QCloseEvent);
        });
        guion->AlMostrar = [&, previo = guion->AlMostrar](const TDialogosGuion::TCaja& c) {
            if (bPedido && nRespuesta < 0)
                nRespuesta = reloj.elapsed();
            previo(c);
        };
        cierre.start();
        QTest::mouseClick(frm->bnGenReporte, Qt::LeftButton);
        cierre.stop();
        QVERIFY(bPedido);
        QCOMPARE(guion->Textos().mid(0, 2),
                 (QStringList{TextoIndicaciones(), "¿Desea cancelar el proceso?"}));
        QVERIFY(bPasoEnCursoAlPreguntar);
        QVERIFY2(nRespuesta >= 0 && nRespuesta < 1000, qPrintable(QString::number(nRespuesta)));
        if (bCancela) {
            QTRY_VERIFY(!frm->isVisible());
            QVERIFY(!bVistaPrevia);
            QCOMPARE(dm->repGeneral->PaginasPreparadas(), 0);
            // Stopped long before the last question.
            QCOMPARE(dm->repGeneral->Variables().Lee("preg_46"), QString());
            QCOMPARE(QApplication::overrideCursor(), nullptr);
        } else {
            QVERIFY(bVistaPrevia);
            QVERIFY(frm->isVisible());
            QCOMPARE(frm->txMensajes->text(), kReporteBien);
        }
        QCOMPARE(guion->Cajas.size(), 2);
        frm.reset();
        ColectorConexiones.reset();
        QCOMPARE(huella(carpeta("v30")), antes);
    }

    // A long list opens at its first row, in view; during the report the list takes no change,
    // so every question counts the ticks the step started with.
    void listaTrasDetectarYDuranteElReporte()
    {
        abreVentana(carpeta("muchos"));
        escribeUsuario("ADMIN", "CLAVE1");
        pulsa(frm->bnDetectaPEPs);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        TTablaMemoria* t = dm->vtPEPs;
        QCOMPARE(t->NumRegistros(), 46);
        // Every listed client carries the words of the record that listed it.
        for (int f = 0; f < t->NumRegistros(); ++f)
            QVERIFY2(
                t->ValorEn(f, t->IndiceCampo("Registro")).toString().contains("PEP", Qt::CaseInsensitive),
                qPrintable(t->ValorEn(f, 1).toString()));
        QCOMPARE(t->RegActual(), 0);
        QCOMPARE(frm->grdPEPs->currentIndex().row(), 0);
        QCOMPARE(frm->grdPEPs->verticalScrollBar()->value(), 0);
        QVERIFY(frm->grdPEPs->viewport()->rect().contains(frm->grdPEPs->RectCelda(0, 1)));

        // One tick before the report; during it, clicks on other mark cells and Space in the
        // floating box.
        QTest::mouseClick(frm->grdPEPs->viewport(), Qt::LeftButton, {},
                          frm->grdPEPs->RectCelda(0, 0).center());
        const auto marcas = [t] {
            QStringList l;
            for (int f = 0; f < t->NumRegistros(); ++f)
                if (t->ValorEn(f, 3).toBool())
                    l << t->ValorEn(f, 1).toString();
            return l;
        };
        const QStringList antes = marcas();
        QCOMPARE(antes.size(), 1);
        int nIntentos = 0;
        QTimer intento;
        intento.setInterval(1);
        connect(&intento, &QTimer::timeout, this, [&] {
            if (!frm->txMensajes->text().startsWith("Por favor espere... ") || nIntentos >= 3)
                return;
            const int nFila = 1 + nIntentos++;
            QTest::mouseClick(frm->grdPEPs->viewport(), Qt::LeftButton, {},
                              frm->grdPEPs->RectCelda(nFila, 0).center());
            QTest::keyClick(frm->DBCheckBox, Qt::Key_Space);
            QTest::mouseClick(frm->DBCheckBox, Qt::LeftButton, {}, QPoint(6, 8));
        });
        QString sPreg37;
        dm->repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            sPreg37 = dm->repGeneral->Variables().Lee("preg_37");
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        guion->Respuestas.enqueue(true);
        intento.start();
        pulsa(frm->bnGenReporte);
        intento.stop();
        QCOMPARE(nIntentos, 3);
        QCOMPARE(frm->txMensajes->text(), kReporteBien);
        QCOMPARE(marcas(), antes);
        QCOMPARE(sPreg37, QString("1"));
        // Once the step has ended the list takes ticks again.
        QTest::mouseClick(frm->grdPEPs->viewport(), Qt::LeftButton, {},
                          frm->grdPEPs->RectCelda(1, 0).center());
        QCOMPARE(marcas().size(), 2);
    }

    // Once the list is shown, the report's tables are loaded while the user ticks: the report
    // then reads no table again and gives the answers it gives without that. A window closed
    // while they load ends at once, the host's files as they were.
    void precargaTrasLaDeteccion_data()
    {
        QTest::addColumn<bool>("cierra");
        QTest::newRow("reporte con las tablas cargadas") << false;
        QTest::newRow("ventana cerrada mientras se cargan") << true;
    }
    void precargaTrasLaDeteccion()
    {
        QFETCH(bool, cierra);
        QApplication::setQuitOnLastWindowClosed(false);
        const auto antes = huella(carpeta("v30"));
        abreVentana(carpeta("v30"));
        escribeUsuario("ADMIN", "CLAVE1");
        pulsa(frm->bnDetectaPEPs);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        TConexionBD* Conexion = nullptr;
        QVERIFY(ColectorConexiones->DameAccessConex(kNomBDPrincipal, Conexion));
        auto& Sesion = dynamic_cast<ISesionJet&>(Conexion->Sesion());
        if (cierra) {
            frm->close();
            QVERIFY(!frm->isVisible());
        } else {
            // Operations are read by the report only.
            const QStringList Tablas = Sesion.TablasCargadas();
            QVERIFY2(Tablas.contains("tMovtos") && Tablas.contains("tProces"), qPrintable(Tablas.join(' ')));
            const int nCargas = Sesion.Cargas();
            QMap<QString, QString> Vistos;
            dm->repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
                for (const char* s : {"preg_22", "preg_32", "preg_37", "preg_42_1", "preg_30"})
                    Vistos[s] = dm->repGeneral->Variables().Lee(s);
                v.findChild<QAction*>("acCerrar")->trigger();
            };
            guion->Respuestas.enqueue(true);
            pulsa(frm->bnGenReporte);
            QCOMPARE(frm->txMensajes->text(), kReporteBien);
            QCOMPARE(Vistos, (QMap<QString, QString>{{"preg_22", "13"},
                                                     {"preg_32", "7"},
                                                     {"preg_37", "0"},
                                                     {"preg_42_1", "16"},
                                                     {"preg_30", "SI"}}));
            QCOMPARE(Sesion.Cargas(), nCargas);
        }
        QCOMPARE(guion->Cajas.size(), cierra ? 0 : 1);
        frm.reset();
        ColectorConexiones.reset();
        QCOMPARE(huella(carpeta("v30")), antes);
    }

    void elOtroBotonSeRechazaDuranteUnPaso()
    {
        abreVentana(carpeta("cero"));
        escribeUsuario("ADMIN", "CLAVE1");
        frm->bnGenReporte->setEnabled(true);
        int nDentro = 0;
        guion->AlMostrar = [&](const TDialogosGuion::TCaja& c) {
            if (c.sTexto == kEmpresa && nDentro++ == 0)
                QTest::mouseClick(frm->bnGenReporte, Qt::LeftButton); // while detection runs
        };
        pulsa(frm->bnDetectaPEPs);
        QCOMPARE(guion->Textos(), QStringList{kEmpresa}); // no instruction dialog: refused
    }
};

// The preload runs on a thread of its own: the process ends through the platform once everything
// is destroyed (tests/MainQueTermina.h says why).
int main(int argc, char** argv)
{
    int nCodigo;
    {
        TAplicacion app(argc, argv);
        RegistraFuentes();
        TestPasos t;
        nCodigo = QTest::qExec(&t, argc, argv);
    }
    return Plataforma::TerminaProceso(nCodigo);
}

#include "TestPasos.moc"
