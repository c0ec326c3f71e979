#include "app/Arranque.h"
#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/CasillaDatos.h"
#include "common/DialogosGuion.h"
#include "common/Mensajero.h"
#include "common/RejillaDatos.h"
#include "reportengine/Fuentes.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <stdexcept>

namespace {

const QColor kVerdeAzul(0x00, 0x80, 0x80);
const QColor kGrisOscuro(0x48, 0x48, 0x48);
const QColor kRojo(0xFF, 0x00, 0x00);

// The instruction dialog's paragraphs as the user must read them.
const QStringList kParrafos{
    QString::fromUtf8("Para responder correctamente el cuestionario, es muy importante que por favor siga "
                      "estas indicaciones:"),
    QString::fromUtf8("1.- Haga un respaldo de seguridad de la Base de Datos del Tavoro."),
    QString::fromUtf8("2.- Asigne el Símbolo a todas las divisas (Catálogo de \"Divisas para Compra/Venta\"; "
                      "en Tavoro: Menú principal -> Archivo -> Opción 4 ). Las Divisas sin Símbolo podrían "
                      "ser ignoradas y causar resultados erróneos."),
    QString::fromUtf8("3.- Asigne las Claves de la Actividad a  todos los Sectores (Catálogo de "
                      "\"Ocupaciones, Profesiones, Actividades o Giros del Negocio\"; en Tavoro:  Menú "
                      "principal -> Usuarios -> Opción 2). Cerciórese que la clave corresponda correctamente "
                      "con el Sector, de lo contrario podría causar resultados erróneos."),
    QString::fromUtf8("4.- Cierre el programa Tavoro. "),
    QString::fromUtf8("5.- Instale y ejecute este programa en la carpeta raíz del Tavoro (Generalmente en "
                      "C:\\Tavoro Software\\). "),
    QString::fromUtf8("6.- Si tiene varias computadoras con Tavoro en el mismo establecimiento, instale este "
                      "programa en la computadora principal (Servidor)."),
    QString::fromUtf8(
        "7.- Si tiene varias sucursales, utilice este programa para generar un reporte por sucursal. "
        "Posteriormente analice la información para condensarla manualmente en un solo reporte."),
    QString::fromUtf8(
        "8.- El cuestionario tiene preguntas que NO son posibles de contestar por medio de la Base de Datos "
        "del Tavoro, por lo que deberá contestarlas a criterio y de acuerdo a la operatividad de su Centro "
        "Cambiario. Estas preguntas traen la respuesta: (** El CC debe responder **)."),
    QString::fromUtf8("Nota 1: Considere los datos que están entre paréntesis para analizar y condensar la "
                      "información en caso de tener varias sucursales. No debe escribir estos datos en el "
                      "cuestionario, son sólo datos informativos para su análisis."),
    QString::fromUtf8(
        "Nota 2: En caso de no utilizar el sistema Tavoro de forma automática para la detección de PEPs, los "
        "resultados podrían no ser correctos. Deberá realizar los cálculos correspondientes en cada "
        "respuesta donde intervengan PEPs conforme a los dictámenes que hubiera realizado."),
    QString::fromUtf8("¿Ha seguido las indicaciones y desea continuar?"),
};

// Throws from its event handler.
class TLanzador : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Falla dentro de un evento");
        return QObject::event(e);
    }
};

} // namespace

class TestPrincipal : public QObject
{
    Q_OBJECT

    std::shared_ptr<TDialogosGuion> guion;
    std::unique_ptr<TdmMain> dm;
    std::unique_ptr<TfrmPrincipal> frm;

    template <class T = QWidget> T* control(const QString& sNombre)
    {
        T* w = frm->findChild<T*>(sNombre);
        if (!w)
            qWarning() << "no control" << sNombre;
        return w;
    }

    // Shows the window with the instruction dialog answered "Sí".
    bool muestraYAcepta()
    {
        guion->Respuestas.enqueue(true);
        frm->show();
        frm->activateWindow();
        if (!QTest::qWaitForWindowActive(frm.get()))
            return false;
        return QTest::qWaitFor([&] { return guion->Cajas.size() == 1; });
    }

private slots:
    void initTestCase()
    {
        // The real program ends when its window closes; here the tests go on.
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void init()
    {
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        dm = std::make_unique<TdmMain>();
        frm = std::make_unique<TfrmPrincipal>(*dm);
    }
    void cleanup()
    {
        frm.reset();
        dm.reset();
        InstalaDialogos(nullptr);
    }

    void controles_data()
    {
        QTest::addColumn<QString>("sNombre");
        QTest::addColumn<QRect>("Geometria"); // width -1: position only (the label takes its text's size)
        QTest::addColumn<QString>("sTexto");  // "-": not checked
        QTest::addColumn<QColor>("Color");    // invalid: not checked
        QTest::addColumn<int>("nPixeles");
        QTest::addColumn<bool>("bNegrita");
        QTest::addColumn<QString>("sHint");
        QTest::addColumn<int>("nAlineacion"); // 0: not checked

        const QColor n; // not checked
        const int izq = int(Qt::AlignLeft | Qt::AlignTop);
        const QString sHintPEP = "Haga click en el recuadro si el Usuario es un PEP";
        QTest::newRow("Label1") << "Label1" << QRect(219, 20, -1, -1) << "Cuestionario GAFI - 2019"
                                << kVerdeAzul << 16 << true << "" << izq;
        QTest::newRow("Shape1") << "Shape1" << QRect(71, 66, 545, 111) << "-" << n << 11 << false << "" << 0;
        QTest::newRow("Label4") << "Label4" << QRect(87, 79, -1, -1)
                                << QString::fromUtf8("1.- Indique Clave y Contraseña del Tavoro")
                                << kVerdeAzul << 16 << false << "" << izq;
        QTest::newRow("txUsuario") << "txUsuario" << QRect(144, 107, -1, -1) << "Clave de Entrada a Tavoro"
                                   << kGrisOscuro << 11 << false << "" << int(Qt::AlignRight | Qt::AlignTop);
        QTest::newRow("edUsuario") << "edUsuario" << QRect(303, 104, 121, 21) << "" << n << 11 << false
                                   << "Usuario administrador para acceder a Tavoro" << 0;
        QTest::newRow("txPassw") << "txPassw" << QRect(227, 136, -1, -1) << "Password" << kGrisOscuro << 11
                                 << false << "" << int(Qt::AlignRight | Qt::AlignTop);
        QTest::newRow("edPassw") << "edPassw" << QRect(303, 133, 121, 21) << "" << n << 11 << false
                                 << QString::fromUtf8(
                                        "Contraseña del usuario administrador para acceder a Tavoro")
                                 << 0;
        QTest::newRow("Shape3") << "Shape3" << QRect(71, 199, 545, 93) << "-" << n << 11 << false << "" << 0;
        QTest::newRow("Label9") << "Label9" << QRect(87, 211, -1, -1)
                                << QString::fromUtf8("2.- Presione el botón \"Detectar PEPs\"") << kVerdeAzul
                                << 16 << false << "" << izq;
        QTest::newRow("Label8") << "Label8" << QRect(94, 244, 332, 33)
                                << QString::fromUtf8(
                                       "Se mostrará en el paso 4 de este programa, una lista de Usuarios "
                                       "que realizaron operaciones con su CC durante 2017, y que fueron "
                                       "considerados como posibles PEPs")
                                << kGrisOscuro << 9 << false << "" << izq;
        QTest::newRow("bnDetectaPEPs")
            << "bnDetectaPEPs" << QRect(478, 231, 105, 25) << "Detectar PEPs" << n << 11 << false
            << QString::fromUtf8("Cargará una lista de posibles PEPs en el paso 4") << 0;
        QTest::newRow("Shape4") << "Shape4" << QRect(71, 313, 546, 243) << "-" << n << 11 << false << "" << 0;
        QTest::newRow("txPaso4") << "txPaso4" << QRect(87, 332, 407, 38)
                                 << QString::fromUtf8(
                                        "3.- De la siguiente lista, marque sólo los Usuarios que se "
                                        "consideraron como PEPs")
                                 << kVerdeAzul << 16 << false << "" << izq;
        QTest::newRow("Label7") << "Label7" << QRect(95, 376, -1, -1)
                                << QString::fromUtf8(
                                       "Tip: NO marque los Usuarios que dictaminó como homónimos")
                                << kGrisOscuro << 9 << false << "" << izq;
        QTest::newRow("grdPEPs") << "grdPEPs" << QRect(94, 403, 498, 122) << "-" << n << 11 << false
                                 << sHintPEP << 0;
        QTest::newRow("pnChkBox") << "pnChkBox" << QRect(111, 531, 84, 16) << "-" << n << 11 << false << ""
                                  << 0;
        QTest::newRow("DBCheckBox") << "DBCheckBox" << QRect(35, 0, 13, 17) << "" << n << 11 << false
                                    << sHintPEP << 0;
        QTest::newRow("pnIgnorar") << "pnIgnorar" << QRect(633, 332, 512, 194) << "-" << n << 11 << false
                                   << "" << 0;
        QTest::newRow("Label11") << "Label11" << QRect(78, 63, 357, 36)
                                 << QString::fromUtf8(
                                        "No se detectaron operaciones con ningún PEP. Ignore este paso y "
                                        "presione el botón \"Generar reporte\".")
                                 << kVerdeAzul << 15 << false << "" << int(Qt::AlignHCenter | Qt::AlignTop);
        QTest::newRow("txMensajes") << "txMensajes" << QRect(62, 562, 579, 14) << "" << kRojo << 12 << false
                                    << "" << int(Qt::AlignHCenter | Qt::AlignTop);
        QTest::newRow("bnGenReporte")
            << "bnGenReporte" << QRect(512, 582, 105, 25) << "Generar reporte" << n << 11 << false << "" << 0;
    }
    void controles()
    {
        QFETCH(QString, sNombre);
        QFETCH(QRect, Geometria);
        QFETCH(QString, sTexto);
        QFETCH(QColor, Color);
        QFETCH(int, nPixeles);
        QFETCH(bool, bNegrita);
        QFETCH(QString, sHint);
        QFETCH(int, nAlineacion);
        QWidget* w = control(sNombre);
        QVERIFY(w);
        if (Geometria.width() < 0)
            QCOMPARE(w->pos(), Geometria.topLeft());
        else
            QCOMPARE(w->geometry(), Geometria);
        if (sTexto != "-")
            QCOMPARE(w->property("text").toString(), sTexto);
        if (Color.isValid())
            QCOMPARE(ColorEtiqueta(w), Color);
        QCOMPARE(w->font().pixelSize(), nPixeles);
        QCOMPARE(w->font().bold(), bNegrita);
        QCOMPARE(QFontInfo(w->font()).family(), QString("Tahoma"));
        QCOMPARE(w->toolTip(), sHint);
        if (nAlineacion) {
            auto* l = qobject_cast<QLabel*>(w);
            QVERIFY(l);
            QCOMPARE(int(l->alignment()), nAlineacion);
        }
    }

    // The bold title carries clearly more ink than the same text in the regular face.
    void tituloEnNegrita()
    {
        auto* Titulo = control<QLabel>("Label1");
        QLabel Normal(Titulo->text());
        QFont f = Titulo->font();
        f.setBold(false);
        Normal.setFont(f);
        Normal.setPalette(Titulo->palette());
        Normal.adjustSize();
        // Ink: how much darker than its own background each pixel is.
        const auto tinta = [](const QImage& Imagen) {
            const int nFondo = qGray(Imagen.pixel(0, 0));
            int n = 0;
            for (int y = 0; y < Imagen.height(); ++y)
                for (int x = 0; x < Imagen.width(); ++x)
                    n += std::max(0, nFondo - qGray(Imagen.pixel(x, y)));
            return n;
        };
        const int nNegrita = tinta(Titulo->grab().toImage());
        const int nNormal = tinta(Normal.grab().toImage());
        QVERIFY2(nNegrita * 10 >= nNormal * 13, qPrintable(QString("%1 / %2").arg(nNegrita).arg(nNormal)));
    }

    void ventanaYEstadoInicial()
    {
        QCOMPARE(frm->windowTitle(), QString("Cuestionario QRTZ 2019"));
        QCOMPARE(frm->size(), QSize(690, 621));
        QCOMPARE(frm->minimumSize(), frm->maximumSize());
        QCOMPARE(frm->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(ColorEtiqueta(frm.get()), QColor(Qt::black));
        QVERIFY(control<QPushButton>("bnDetectaPEPs")->isEnabled());
        QVERIFY(!control("grdPEPs")->isEnabled());
        QVERIFY(control("pnIgnorar")->isHidden());
        QVERIFY(control("pnChkBox")->isHidden());
        QVERIFY(!control("bnGenReporte")->isEnabled());
        QVERIFY(!control("txMensajes")->isHidden());
        QCOMPARE(control<QLineEdit>("edPassw")->echoMode(), QLineEdit::Password);

        QVERIFY(muestraYAcepta());
        const QRect pantalla = QGuiApplication::primaryScreen()->geometry();
        QVERIFY((frm->frameGeometry().center() - pantalla.center()).manhattanLength() <= 2);

        // Tab order of the controls that take the focus.
        QStringList orden;
        QWidget* w = control("edUsuario");
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
                orden << w->objectName();
            w = w->nextInFocusChain();
        } while (w != control("edUsuario"));
        QCOMPARE(orden, (QStringList{"edUsuario", "edPassw", "bnDetectaPEPs", "grdPEPs", "DBCheckBox",
                                     "bnGenReporte"}));
    }

    void indicaciones_data()
    {
        QTest::addColumn<bool>("bAcepta");
        QTest::newRow("Sí") << true;
        QTest::newRow("No") << false;
    }
    void indicaciones()
    {
        QFETCH(bool, bAcepta);
        bool bVisibleAlPreguntar = false;
        guion->AlMostrar = [&](const TDialogosGuion::TCaja&) { bVisibleAlPreguntar = frm->isVisible(); };
        guion->Respuestas.enqueue(bAcepta);
        frm->show();
        QVERIFY2(guion->Cajas.isEmpty(), "the dialog opens from the event loop, after the window is shown");
        QTRY_COMPARE(guion->Cajas.size(), 1);
        QCOMPARE(guion->Cajas[0].Tipo, TDialogosGuion::TTipo::Advertencia);
        QCOMPARE(guion->Cajas[0].sTexto, kParrafos.join("\r\r\n"));
        QVERIFY(bVisibleAlPreguntar);
        if (bAcepta) {
            QCOMPARE(frm->focusWidget(), control("edUsuario"));
            QVERIFY(frm->isVisible());
        } else {
            QTRY_VERIFY(!frm->isVisible());
        }
        QTest::qWait(20);
        QCOMPARE(guion->Cajas.size(), 1);
    }

    void claveYContrasenaEnMayusculas()
    {
        auto* edUsuario = control<QLineEdit>("edUsuario");
        auto* edPassw = control<QLineEdit>("edPassw");
        QTest::keyClicks(edUsuario, "admin ");
        QTest::sendKeyEvent(QTest::Click, edUsuario, Qt::Key_Ntilde, QString::fromUtf8("ñ"), Qt::NoModifier);
        QTest::keyClicks(edUsuario, "1");
        QTest::keyClicks(edPassw, "s");
        QTest::sendKeyEvent(QTest::Click, edPassw, Qt::Key_Eacute, QString::fromUtf8("é"), Qt::NoModifier);
        QTest::keyClicks(edPassw, "creta");
        QCOMPARE(edUsuario->text(), QString::fromUtf8("ADMIN Ñ1"));
        QCOMPARE(edPassw->text(), QString::fromUtf8("SÉCRETA"));
        edUsuario->insert("xy"); // what pasting does
        QCOMPARE(edUsuario->text(), QString::fromUtf8("ADMIN Ñ1XY"));
        QCOMPARE(edPassw->displayText(), QString(7, '*'));
    }

    void enterAvanza_data()
    {
        QTest::addColumn<QString>("sDesde");
        QTest::addColumn<int>("nTecla");
        QTest::addColumn<bool>("bMayus");
        QTest::addColumn<QString>("sHacia");
        QTest::newRow("usuario -> contraseña") << "edUsuario" << int(Qt::Key_Return) << false << "edPassw";
        QTest::newRow("contraseña -> Detectar PEPs")
            << "edPassw" << int(Qt::Key_Return) << false << "bnDetectaPEPs";
        QTest::newRow("Mayús: contraseña -> usuario")
            << "edPassw" << int(Qt::Key_Return) << true << "edUsuario";
        // Backwards from the first box the order wraps and skips the disabled and hidden controls.
        QTest::newRow("Mayús: usuario -> Detectar PEPs")
            << "edUsuario" << int(Qt::Key_Return) << true << "bnDetectaPEPs";
        QTest::newRow("Enter del teclado numérico")
            << "edUsuario" << int(Qt::Key_Enter) << false << "edPassw";
    }
    void enterAvanza()
    {
        QFETCH(QString, sDesde);
        QFETCH(int, nTecla);
        QFETCH(bool, bMayus);
        QFETCH(QString, sHacia);
        QVERIFY(muestraYAcepta());
        auto* desde = control<QLineEdit>(sDesde);
        desde->setText("AB");
        desde->setFocus();
        QSignalSpy enter(desde, &QLineEdit::returnPressed);
        QTest::keyClick(desde, Qt::Key(nTecla), bMayus ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(frm->focusWidget(), control(sHacia));
        QCOMPARE(desde->text(), QString("AB"));
        QCOMPARE(enter.count(), 0);
    }

    // The focused button takes Enter (main keyboard or keypad) as it takes Space; Enter in an
    // edit box still moves the focus (above).
    void enterPulsaElBotonEnfocado_data()
    {
        QTest::addColumn<QString>("sBoton");
        QTest::addColumn<int>("nTecla");
        QTest::addColumn<int>("nMods");
        QTest::newRow("Detectar PEPs, Enter")
            << "bnDetectaPEPs" << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("Detectar PEPs, Enter del teclado numérico")
            << "bnDetectaPEPs" << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Generar reporte, Enter")
            << "bnGenReporte" << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("Generar reporte, Enter del teclado numérico")
            << "bnGenReporte" << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Generar reporte, Espacio")
            << "bnGenReporte" << int(Qt::Key_Space) << int(Qt::NoModifier);
    }
    void enterPulsaElBotonEnfocado()
    {
        QFETCH(QString, sBoton);
        QFETCH(int, nTecla);
        QFETCH(int, nMods);
        QVERIFY(muestraYAcepta());
        auto* bn = control<QPushButton>(sBoton);
        bn->setEnabled(true);
        bn->setFocus();
        QCOMPARE(frm->focusWidget(), bn);
        QSignalSpy clics(bn, &QAbstractButton::clicked);
        // With a blank user key both buttons tell the user at once and stop.
        QTest::keyClick(bn, Qt::Key(nTecla), Qt::KeyboardModifiers(nMods));
        QCOMPARE(clics.count(), 1);
        QCOMPARE(control<QLabel>("txMensajes")->text(),
                 QString("Por favor, escriba su usuario (Administrador)."));
        QCOMPARE(guion->Cajas.size(), 1); // only the instruction dialog of start-up
    }

    // Qt's own dialogs and buttons speak Spanish.
    void dialogosDeQtEnEspanol_data()
    {
        QTest::addColumn<QString>("sContexto");
        QTest::addColumn<QString>("sIngles");
        QTest::addColumn<QString>("sEspanol");
        QTest::newRow("Cancelar") << "QPlatformTheme"
                                  << "Cancel"
                                  << "Cancelar";
        QTest::newRow("Guardar") << "QPlatformTheme"
                                 << "Save"
                                 << "Guardar";
        QTest::newRow("Imprimir") << "QPrintDialog"
                                  << "Print"
                                  << "Imprimir";
        QTest::newRow("Configurar página") << "QPrintPreviewDialog"
                                           << "Page Setup"
                                           << "Configuración de página";
    }
    void dialogosDeQtEnEspanol()
    {
        QFETCH(QString, sContexto);
        QFETCH(QString, sIngles);
        QFETCH(QString, sEspanol);
        static const bool bInstaladas = InstalaTraduccionesQt();
        QVERIFY(bInstaladas);
        QCOMPARE(QCoreApplication::translate(qPrintable(sContexto), qPrintable(sIngles)), sEspanol);
    }

    // The standard dialogs the program opens (save, choose a folder, print) and their dates
    // speak the Spanish of Mexico whatever the system's locale: no English left where the
    // catalogue lacks a text, "archivo" rather than "fichero".
    void dialogosEstandarEnEspanolDeMexico()
    {
        InstalaIdiomaPrograma();
        const auto textos = [](QWidget* d) {
            QStringList l;
            for (auto* w : d->findChildren<QWidget*>()) {
                if (auto* x = qobject_cast<QLabel*>(w))
                    l << x->text();
                if (auto* x = qobject_cast<QAbstractButton*>(w))
                    l << x->text();
                if (auto* x = qobject_cast<QGroupBox*>(w))
                    l << x->title();
                if (auto* x = qobject_cast<QComboBox*>(w))
                    for (int i = 0; i < x->count(); ++i)
                        l << x->itemText(i);
            }
            return l.join(QStringLiteral(" | "));
        };
        QFileDialog Guardar(nullptr, QStringLiteral("Guardar como"), QDir::tempPath());
        Guardar.setOption(QFileDialog::DontUseNativeDialog);
        Guardar.setAcceptMode(QFileDialog::AcceptSave);
        QFileDialog Carpeta(nullptr, QStringLiteral("Carpeta"), QDir::tempPath());
        Carpeta.setOption(QFileDialog::DontUseNativeDialog);
        Carpeta.setFileMode(QFileDialog::Directory);
        QString sTodo = textos(&Guardar) + " | " + textos(&Carpeta);
#ifndef Q_OS_WIN
        // Windows prints through its own dialog, in the system's language.
        QPrinter Impresora;
        QPrintDialog Imprimir(&Impresora);
        sTodo += " | " + textos(&Imprimir);
        QVERIFY2(sTodo.contains(QString::fromUtf8("Páginas")), qPrintable(sTodo));
#endif
        for (const char* sAjeno : {"Pages", "Double Sided", "binding", "Off", "Cancel", "File", "Folder",
                                   "Fichero", "fichero", "Directorio:"})
            QVERIFY2(!sTodo.contains(QRegularExpression(QString("\\b%1\\b").arg(sAjeno))),
                     qPrintable(QString("%1 en: %2").arg(sAjeno, sTodo)));
#ifndef Q_OS_WIN
        // Windows names file types itself, in its own language.
        QCOMPARE(QFileIconProvider().type(QFileInfo(QDir::tempPath())), QString("Carpeta"));
#endif
        QCOMPARE(QLocale().toString(QDate(2019, 12, 3), "d MMM yyyy"), QString("3 dic 2019"));
        QCOMPARE(QLocale().toString(10.5, 'f', 2), QString("10.50"));
    }

    // Step 3's two-line title keeps its lines apart (a descender of the first never meets the
    // second); the list's frame shows on all four sides on the white window; the notice covers
    // the whole step-3 area, title, tip and list, with nothing of them peeking out.
    void trazado()
    {
        auto* txPaso4 = control<QLabel>("txPaso4");
        const QImage t = txPaso4->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QList<bool> Tinta;
        for (int y = 0; y < t.height(); ++y) {
            bool b = false;
            for (int x = 0; x < t.width() && !b; ++x)
                b = qGray(t.pixel(x, y)) < 200;
            Tinta << b;
        }
        // Two blocks of ink rows, at least two blank rows between them.
        const int nFinPrimera = Tinta.indexOf(false, Tinta.indexOf(true));
        const int nInicioSegunda = Tinta.indexOf(true, nFinPrimera);
        QVERIFY2(nInicioSegunda > nFinPrimera && nInicioSegunda - nFinPrimera >= 2,
                 qPrintable(QString("tinta hasta %1, de nuevo en %2").arg(nFinPrimera).arg(nInicioSegunda)));

        auto* grd = control<TRejillaDatos>("grdPEPs");
        const QImage g = grd->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int nAncho = g.width();
        const int nAlto = g.height();
        QVERIFY(QColor(g.pixel(nAncho - 1, nAlto / 2)) != QColor(Qt::white));
        QVERIFY(QColor(g.pixel(nAncho / 2, nAlto - 1)) != QColor(Qt::white));
        QVERIFY(QColor(g.pixel(0, nAlto / 2)) != QColor(Qt::white));

        auto* pnIgnorar = control("pnIgnorar");
        frm->MuestraIgnorar(true);
        for (const char* sCubierto : {"txPaso4", "Label7", "grdPEPs"})
            QVERIFY2(pnIgnorar->geometry().contains(control(sCubierto)->geometry()), sCubierto);
        frm->MuestraIgnorar(false);
    }

    void avisoSinPEPs()
    {
        auto* pnIgnorar = control("pnIgnorar");
        auto* txPaso4 = control("txPaso4");
        frm->MuestraIgnorar(true);
        QVERIFY(!pnIgnorar->isHidden());
        QCOMPARE(pnIgnorar->pos(), QPoint(87, 332));
        QCOMPARE(ColorEtiqueta(txPaso4), QColor(0x80, 0x80, 0x80));
        QVERIFY(pnIgnorar->isAncestorOf(frm->childAt(300, 450)) || frm->childAt(300, 450) == pnIgnorar);
        frm->MuestraIgnorar(false);
        QVERIFY(pnIgnorar->isHidden());
        QCOMPARE(ColorEtiqueta(txPaso4), kVerdeAzul);
    }

    // An error that escapes an event handler is shown in the error box and the program goes on.
    void errorEnUnEventoSeMuestraYSigue()
    {
        TLanzador lanzador;
        QCoreApplication::postEvent(&lanzador, new QEvent(QEvent::User));
        QPushButton boton;
        int nClics = 0;
        connect(&boton, &QPushButton::clicked, this, [&] {
            if (++nClics == 1)
                throw std::runtime_error(QString::fromUtf8("Falló el botón").toStdString());
        });
        QCoreApplication::processEvents();
        QTest::ignoreMessage(QtWarningMsg, "Mouse event \"MouseRelease\" not accepted by receiving widget");
        QTest::mouseClick(&boton, Qt::LeftButton);
        QTest::mouseClick(&boton, Qt::LeftButton);
        QCOMPARE(nClics, 2);
        QCOMPARE(guion->Cajas.size(), 2);
        QCOMPARE(guion->Cajas[0].Tipo, TDialogosGuion::TTipo::ErrorEvento);
        QCOMPARE(guion->Textos(),
                 (QStringList{"Falla dentro de un evento", QString::fromUtf8("Falló el botón")}));
    }

    void ejecutaConEsperaRestauraTrasError()
    {
        auto* boton = control<QPushButton>("bnDetectaPEPs");
        bool bEspera = false, bHabilitado = true;
        try {
            frm->EjecutaConEspera(
                [&] {
                    bEspera = QApplication::overrideCursor() &&
                              QApplication::overrideCursor()->shape() == Qt::WaitCursor;
                    bHabilitado = boton->isEnabled();
                    throw std::runtime_error("falla");
                },
                boton);
            QFAIL("the error did not go on");
        } catch (const std::runtime_error&) {
        }
        QVERIFY(bEspera);
        QVERIFY(!bHabilitado);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(boton->isEnabled());
    }
};

int main(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    RegistraFuentes();
    TestPrincipal t;
    return QTest::qExec(&t, argc, argv);
}

#include "TestPrincipal.moc"
