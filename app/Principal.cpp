#include "app/Principal.h"

#include "app/DataModule.h"
#include "app/ExportaDetalle.h"
#include "app/Figura.h"
#include "common/CasillaDatos.h"
#include "common/IIDialogos.h"
#include "common/Mensajero.h"
#include "common/RejillaDatos.h"
#include "common/TablaMemoria.h"
#include "common/Texto.h"
#include "common/Utilerias.h"
#include "questionnaire/Preparacion.h"
#include "report/IIManejadorReportes.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Reporte.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTextLayout>
#include <QValidator>

#include <optional>

namespace {

// Posted by the window to itself once shown; its delivery opens the instruction dialog.
// (The first private window message plus 150.)
constexpr QEvent::Type kMsjIndicaciones = QEvent::Type(QEvent::User + 150);

const QColor kVerdeAzul(0x00, 0x80, 0x80);
const QColor kGrisOscuro(0x48, 0x48, 0x48);
const QColor kGris(0x80, 0x80, 0x80);
const QString kCampoPEP = QStringLiteral("EsPEP");
const QString kHintPEP = QStringLiteral("Haga click en el recuadro si el Usuario es un PEP");
// A refused login: the box text has two blanks between "no" and "tiene", the message line one.
const QString kLoginCaja =
    QStringLiteral("La contraseña es incorrecta o, el usuario no  tiene permisos de administrador.");
const QString kLoginLinea =
    QStringLiteral("La contraseña es incorrecta o, el usuario no tiene permisos de administrador.");
const QString kSinCarpetaTavoro =
    QStringLiteral("Error: Este programa debe encontrarse en la carpeta del Tavoro.");

const char16_t* const kParrafosIndicaciones[] = {
    u"Para responder correctamente el cuestionario, es muy importante que por favor siga estas indicaciones:",
    u"1.- Haga un respaldo de seguridad de la Base de Datos del Tavoro.",
    u"2.- Asigne el Símbolo a todas las divisas (Catálogo de \"Divisas para Compra/Venta\"; en Tavoro: Menú "
    u"principal -> Archivo -> Opción 4 ). Las Divisas sin Símbolo podrían ser ignoradas y causar resultados "
    u"erróneos.",
    u"3.- Asigne las Claves de la Actividad a  todos los Sectores (Catálogo de \"Ocupaciones, Profesiones, "
    u"Actividades o Giros del Negocio\"; en Tavoro:  Menú principal -> Usuarios -> Opción 2). Cerciórese que "
    u"la clave corresponda correctamente con el Sector, de lo contrario podría causar resultados erróneos.",
    u"4.- Cierre el programa Tavoro. ",
    u"5.- Instale y ejecute este programa en la carpeta raíz del Tavoro (Generalmente en C:\\Tavoro "
    u"Software\\). ",
    u"6.- Si tiene varias computadoras con Tavoro en el mismo establecimiento, instale este programa en la "
    u"computadora principal (Servidor).",
    u"7.- Si tiene varias sucursales, utilice este programa para generar un reporte por sucursal. "
    u"Posteriormente analice la información para condensarla manualmente en un solo reporte.",
    u"8.- El cuestionario tiene preguntas que NO son posibles de contestar por medio de la Base de Datos del "
    u"Tavoro, por lo que deberá contestarlas a criterio y de acuerdo a la operatividad de su Centro "
    u"Cambiario. Estas preguntas traen la respuesta: (** El CC debe responder **).",
    u"Nota 1: Considere los datos que están entre paréntesis para analizar y condensar la información en "
    u"caso de tener varias sucursales. No debe escribir estos datos en el cuestionario, son sólo datos "
    u"informativos para su análisis.",
    u"Nota 2: En caso de no utilizar el sistema Tavoro de forma automática para la detección de PEPs, los "
    u"resultados podrían no ser correctos. Deberá realizar los cálculos correspondientes en cada respuesta "
    u"donde intervengan PEPs conforme a los dictámenes que hubiera realizado.",
    u"¿Ha seguido las indicaciones y desea continuar?",
};

const QString kCancelarProceso = QStringLiteral("¿Desea cancelar el proceso?");

// Raised through a step once the user has chosen to cancel it, from the step's next progress
// message: that falls between two questions, when no query is open.
struct TPasoCancelado
{
};

// The window's messenger as the questionnaire sees it during a step. Every message serves the
// event loop, so a close request is answered while the step runs; after it, a step the user
// cancelled stops.
class TMensajeroPaso : public IMensajero
{
public:
    TMensajeroPaso(std::shared_ptr<IMensajero> Mensajero, std::function<bool()> Cancelado)
        : F_Mensajero(std::move(Mensajero)), F_Cancelado(std::move(Cancelado))
    {
    }
    void MsjEnTx(const QString& sTexto) override
    {
        F_Mensajero->MsjEnTx(sTexto);
        revisa();
    }
    void MsjTxTemp(const QString& sTexto) override
    {
        F_Mensajero->MsjTxTemp(sTexto);
        revisa();
    }
    void MsjTxEspera(const QString& sTexto, bool bTLargo) override
    {
        F_Mensajero->MsjTxEspera(sTexto, bTLargo);
        revisa();
    }
    void CampoObligatorio(QLabel* txLabel, QWidget* edEdit) override
    {
        F_Mensajero->CampoObligatorio(txLabel, edEdit);
    }
    void SettxLabel(QLabel* txLabel) override { F_Mensajero->SettxLabel(txLabel); }
    void SetbDefColorAlerta(bool bValor) override { F_Mensajero->SetbDefColorAlerta(bValor); }
    bool GetbDefColorAlerta() override { return F_Mensajero->GetbDefColorAlerta(); }
    void MuestraError(const QString& sClaveErr, const QString& sNomClase,
                      const QString& sMsjAdicional) override
    {
        F_Mensajero->MuestraError(sClaveErr, sNomClase, sMsjAdicional);
    }
    QString DameErrorMsj(const QString& sClaveErr, const QString& sMsjAdicional, bool bIncluyeClave) override
    {
        return F_Mensajero->DameErrorMsj(sClaveErr, sMsjAdicional, bIncluyeClave);
    }

private:
    void revisa()
    {
        if (F_Cancelado())
            throw TPasoCancelado{};
    }

    std::shared_ptr<IMensajero> F_Mensajero;
    std::function<bool()> F_Cancelado;
};

// Turns every letter to upper case as it is typed or pasted, one character for one.
class TValidadorMayusculas : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (QChar& c : input)
            c = c.toUpper();
        return Acceptable;
    }
};

// Shows an asterisk for every character of a password box.
class TEstiloContrasena : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The platform's check box is 13 pixels square.
class TEstiloCasilla : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight)
            return 13;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Pixels covered by the stem of an "l" drawn in Fuente: how heavy a face is at its size.
int grosorTrazo(const QFont& Fuente)
{
    QImage Imagen(64, 64, QImage::Format_Grayscale8);
    Imagen.fill(Qt::white);
    QPainter p(&Imagen);
    p.setFont(Fuente);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 0, 64, 64), Qt::AlignCenter, QStringLiteral("l"));
    p.end();
    int nMax = 0;
    for (int y = 0; y < Imagen.height(); ++y) {
        int nFila = 0;
        for (int x = 0; x < Imagen.width(); ++x)
            nFila += qGray(Imagen.pixel(x, y)) < 128 ? 1 : 0;
        nMax = std::max(nMax, nFila);
    }
    return nMax;
}

// A label in bold type that looks bold. Where the bold face draws no heavier strokes than the
// regular one at the label's size (the free stand-in for Tahoma draws 1-pixel strokes at
// 16 px), the text is drawn twice, one pixel apart, as the platform does for a synthetic bold.
class TEtiquetaNegrita : public QLabel
{
public:
    using QLabel::QLabel;

    void AjustaNegrita()
    {
        QFont Normal = font();
        Normal.setBold(false);
        F_bEngrosar = font().bold() && grosorTrazo(font()) <= grosorTrazo(Normal);
        adjustSize();
    }
    QSize sizeHint() const override { return QLabel::sizeHint() + QSize(F_bEngrosar ? 1 : 0, 0); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!F_bEngrosar) {
            QLabel::paintEvent(event);
            return;
        }
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        const QRect r = contentsRect().adjusted(0, 0, -1, 0);
        p.drawText(r, int(alignment()), text());
        p.drawText(r.translated(1, 0), int(alignment()), text());
    }

private:
    bool F_bEngrosar = false;
};

// A word-wrapped label whose lines keep some blank rows between them: at the size of step 3's
// title the platform's line height lets a descender of one line meet the next line's capitals.
class TEtiquetaInterlineada : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        const QFontMetrics fm(font());
        const QRect r = contentsRect();
        QTextLayout Disposicion(text(), font());
        QTextOption Opcion;
        Opcion.setWrapMode(QTextOption::WordWrap);
        Disposicion.setTextOption(Opcion);
        Disposicion.beginLayout();
        qreal y = 0;
        for (QTextLine Linea = Disposicion.createLine(); Linea.isValid(); Linea = Disposicion.createLine()) {
            Linea.setLineWidth(r.width());
            Linea.setPosition(QPointF(0, y));
            y += fm.height() + kEntreLineas;
        }
        Disposicion.endLayout();
        Disposicion.draw(&p, r.topLeft());
    }

private:
    static constexpr int kEntreLineas = 3;
};

QFont fuente(const QWidget* Ventana, int nPixeles, bool bNegrita = false)
{
    QFont f = Ventana->font();
    f.setPixelSize(nPixeles);
    f.setBold(bNegrita);
    return f;
}

QLabel* etiqueta(QWidget* Padre, const char* sNombre, const QString& sTexto, const QColor& Color,
                 int nPixeles, bool bNegrita = false)
{
    auto* l = new QLabel(Padre);
    l->setObjectName(QLatin1String(sNombre));
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setFont(fuente(Padre, nPixeles, bNegrita));
    l->setText(sTexto);
    PonColorEtiqueta(l, Color);
    return l;
}

// Label that takes the size of its text, at a given left and top.
QLabel* etiquetaAjustada(QWidget* Padre, const char* sNombre, int x, int y, const QString& sTexto,
                         const QColor& Color, int nPixeles, bool bNegrita = false)
{
    QLabel* l = etiqueta(Padre, sNombre, sTexto, Color, nPixeles, bNegrita);
    l->adjustSize();
    l->move(x, y);
    return l;
}

// Word-wrapped label of a fixed size.
QLabel* etiquetaFija(QWidget* Padre, const char* sNombre, const QRect& Geometria, const QString& sTexto,
                     const QColor& Color, int nPixeles)
{
    QLabel* l = etiqueta(Padre, sNombre, sTexto, Color, nPixeles);
    l->setWordWrap(true);
    l->setGeometry(Geometria);
    return l;
}

TFigura* figura(QWidget* Padre, const char* sNombre, const QRect& Geometria)
{
    auto* f = new TFigura(Padre);
    f->setObjectName(QLatin1String(sNombre));
    f->setGeometry(Geometria);
    return f;
}

QLineEdit* cuadroTexto(QWidget* Padre, const char* sNombre, const QRect& Geometria, const QString& sHint)
{
    auto* e = new QLineEdit(Padre);
    e->setObjectName(QLatin1String(sNombre));
    e->setGeometry(Geometria);
    e->setToolTip(sHint);
    e->setValidator(new TValidadorMayusculas(e));
    return e;
}

QPushButton* boton(QWidget* Padre, const char* sNombre, const QRect& Geometria, const QString& sTexto)
{
    auto* b = new QPushButton(sTexto, Padre);
    b->setObjectName(QLatin1String(sNombre));
    b->setGeometry(Geometria);
    b->setAutoDefault(false);
    return b;
}

void fondoBlanco(QWidget* w)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, Qt::white);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

const QString& TextoIndicaciones()
{
    static const QString sTexto = [] {
        QStringList l;
        for (const char16_t* s : kParrafosIndicaciones)
            l << QString::fromUtf16(s);
        return l.join(QStringLiteral("\r\r\n"));
    }();
    return sTexto;
}

TfrmPrincipal::TfrmPrincipal(TdmMain& dmMain, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      F_dmMain(dmMain)
{
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(kTituloPrograma);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(11);
    setFont(f);
    PonColorEtiqueta(this, Qt::black);
    fondoBlanco(this);
    setFixedSize(690, 621);
    CreaControles();
    FormCreate();
}

void TfrmPrincipal::CreaControles()
{
    // Created back to front: frames and labels first, then the controls that lie over them.
    Shape1 = figura(this, "Shape1", {71, 66, 545, 111});
    Shape3 = figura(this, "Shape3", {71, 199, 545, 93});
    Shape4 = figura(this, "Shape4", {71, 313, 546, 243});

    auto* Titulo = new TEtiquetaNegrita(this);
    Titulo->setObjectName(QStringLiteral("Label1"));
    Titulo->setTextFormat(Qt::PlainText);
    Titulo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Titulo->setFont(fuente(this, 16, true));
    Titulo->setText(QStringLiteral("Cuestionario GAFI - 2019"));
    PonColorEtiqueta(Titulo, kVerdeAzul);
    Titulo->AjustaNegrita();
    Titulo->move(219, 20);
    Label1 = Titulo;
    Label4 = etiquetaAjustada(this, "Label4", 87, 79,
                              QStringLiteral("1.- Indique Clave y Contraseña del Tavoro"), kVerdeAzul, 16);
    txUsuario = etiquetaAjustada(this, "txUsuario", 144, 107, QStringLiteral("Clave de Entrada a Tavoro"),
                                 kGrisOscuro, 11);
    txUsuario->setAlignment(Qt::AlignRight | Qt::AlignTop);
    txPassw = etiquetaAjustada(this, "txPassw", 227, 136, QStringLiteral("Password"), kGrisOscuro, 11);
    txPassw->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label9 = etiquetaAjustada(this, "Label9", 87, 211,
                              QStringLiteral("2.- Presione el botón \"Detectar PEPs\""), kVerdeAzul, 16);
    Label8 = etiquetaFija(
        this, "Label8", {94, 244, 332, 33},
        QStringLiteral("Se mostrará en el paso 4 de este programa, una lista de Usuarios que "
                       "realizaron operaciones con su CC durante 2017, y que fueron considerados "
                       "como posibles PEPs"),
        kGrisOscuro, 9);
    txPaso4 = new TEtiquetaInterlineada(this);
    txPaso4->setObjectName(QStringLiteral("txPaso4"));
    txPaso4->setTextFormat(Qt::PlainText);
    txPaso4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    txPaso4->setWordWrap(true);
    txPaso4->setFont(fuente(this, 16));
    txPaso4->setText(
        QStringLiteral("3.- De la siguiente lista, marque sólo los Usuarios que se consideraron como PEPs"));
    PonColorEtiqueta(txPaso4, kVerdeAzul);
    txPaso4->setGeometry(87, 332, 407, 38);
    Label7 = etiquetaAjustada(this, "Label7", 95, 376,
                              QStringLiteral("Tip: NO marque los Usuarios que dictaminó como homónimos"),
                              kGrisOscuro, 9);
    txMensajes = etiquetaFija(this, "txMensajes", {62, 562, 579, 14}, QString(), Qt::black, 12);
    txMensajes->setWordWrap(false);
    txMensajes->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    edUsuario = cuadroTexto(this, "edUsuario", {303, 104, 121, 21},
                            QStringLiteral("Usuario administrador para acceder a Tavoro"));
    edPassw = cuadroTexto(this, "edPassw", {303, 133, 121, 21},
                          QStringLiteral("Contraseña del usuario administrador para acceder a Tavoro"));
    edPassw->setEchoMode(QLineEdit::Password);
    auto* estilo = new TEstiloContrasena;
    estilo->setParent(edPassw);
    edPassw->setStyle(estilo);
    for (QLineEdit* e : {edUsuario, edPassw})
        e->installEventFilter(this);

    bnDetectaPEPs = boton(this, "bnDetectaPEPs", {478, 231, 105, 25}, QStringLiteral("Detectar PEPs"));
    bnDetectaPEPs->setToolTip(QStringLiteral("Cargará una lista de posibles PEPs en el paso 4"));

    grdPEPs = new TRejillaDatos(this);
    grdPEPs->setObjectName(QStringLiteral("grdPEPs"));
    grdPEPs->setGeometry(94, 403, 498, 122);
    grdPEPs->setToolTip(kHintPEP);
    grdPEPs->SetAltoFilas(16, 17);
    grdPEPs->SetTitulos(fuente(this, 11), kVerdeAzul);
    grdPEPs->Enlaza(F_dmMain.vtPEPs, {
                                         {kCampoPEP, QStringLiteral("Marcar PEP"), 84, Qt::AlignCenter},
                                         {QStringLiteral("Nombre"), QStringLiteral("Nombre del Usuario"), 391,
                                          Qt::AlignLeft | Qt::AlignVCenter},
                                     });
    grdPEPs->AlDibujarCelda = [this](QPainter& Lienzo, const QRect& Celda, const QModelIndex& Indice,
                                     bool bEnfocada, const QBrush& Fondo) {
        grdPEPsDrawColumnCell(Lienzo, Celda, Indice, bEnfocada, Fondo);
    };
    grdPEPs->AlPresionarTecla = [this](QChar& cTecla) { grdPEPsKeyPress(cTecla); };
    grdPEPs->AlPedirHint = [this](const QModelIndex& Indice) { return HintNombre(Indice); };
    connect(grdPEPs, &QAbstractItemView::clicked, this, &TfrmPrincipal::grdPEPsCellClick);
    connect(grdPEPs, &TRejillaDatos::SaleColumna, this, &TfrmPrincipal::grdPEPsColExit);
    connect(grdPEPs, &TRejillaDatos::CeldaActualCambiada, this, &TfrmPrincipal::PideColocarChkBox);
    connect(grdPEPs->verticalScrollBar(), &QAbstractSlider::valueChanged, this,
            &TfrmPrincipal::PideColocarChkBox);
    connect(F_dmMain.vtPEPs, &TTablaMemoria::FilasCambiadas, this, &TfrmPrincipal::PideColocarChkBox);
    grdPEPs->installEventFilter(this);

    pnChkBox = new QWidget(this);
    pnChkBox->setObjectName(QStringLiteral("pnChkBox"));
    pnChkBox->setGeometry(111, 531, 84, 16);
    fondoBlanco(pnChkBox);
    DBCheckBox = new TCasillaDatos(pnChkBox);
    DBCheckBox->setObjectName(QStringLiteral("DBCheckBox"));
    DBCheckBox->setGeometry(35, 0, 13, 17);
    DBCheckBox->setToolTip(kHintPEP);
    auto* estiloCasilla = new TEstiloCasilla;
    estiloCasilla->setParent(DBCheckBox);
    DBCheckBox->setStyle(estiloCasilla);
    DBCheckBox->installEventFilter(this);
    connect(DBCheckBox, &QAbstractButton::clicked, this, &TfrmPrincipal::DBCheckBoxClick);
    grdPEPs->SetAnexo(pnChkBox);

    pnIgnorar = new QWidget(this);
    pnIgnorar->setObjectName(QStringLiteral("pnIgnorar"));
    // Wide and tall enough to cover step 3's title, tip and whole list once moved over them.
    pnIgnorar->setGeometry(633, 332, 512, 194);
    fondoBlanco(pnIgnorar);
    Label11 = etiquetaFija(
        pnIgnorar, "Label11", {78, 63, 357, 36},
        QStringLiteral("No se detectaron operaciones con ningún PEP. Ignore este paso y presione "
                       "el botón \"Generar reporte\"."),
        kVerdeAzul, 15);
    Label11->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    bnGenReporte = boton(this, "bnGenReporte", {512, 582, 105, 25}, QStringLiteral("Generar reporte"));

    setTabOrder(edUsuario, edPassw);
    setTabOrder(edPassw, bnDetectaPEPs);
    setTabOrder(bnDetectaPEPs, grdPEPs);
    setTabOrder(grdPEPs, DBCheckBox);
    setTabOrder(DBCheckBox, bnGenReporte);

    connect(bnDetectaPEPs, &QAbstractButton::clicked, this, &TfrmPrincipal::bnDetectaPEPsClick);
    connect(bnGenReporte, &QAbstractButton::clicked, this, &TfrmPrincipal::bnGenReporteClick);
    for (QPushButton* b : {bnDetectaPEPs, bnGenReporte})
        b->installEventFilter(this);
}

void TfrmPrincipal::FormCreate()
{
    _MensajeroForm = CreaMensajero(CreaUtilerias(), RelojMensajero);
    _MensajeroForm->SettxLabel(txMensajes);
    InicializaPantalla();
}

void TfrmPrincipal::InicializaPantalla()
{
    bnGenReporte->setEnabled(false);
    pnIgnorar->hide();
    PonColorEtiqueta(txPaso4, kVerdeAzul);
    grdPEPs->setEnabled(false);
    PreparaChkBox();
}

void TfrmPrincipal::PreparaChkBox()
{
    pnChkBox->hide();
    DBCheckBox->Enlaza(F_dmMain.vtPEPs, kCampoPEP);
    // The box is drawn on the panel's face, which is the face of the row it covers (the grid's,
    // or the selection's on the current row), so no strip of another colour shows above or
    // below it. Its own frame keeps the platform's colours, as the drawn boxes of the other rows
    // do, rather than fading into the white window.
    DBCheckBox->setAutoFillBackground(false);
    QPalette p = DBCheckBox->palette();
    p.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    DBCheckBox->setPalette(p);
    pintaPanelCasilla();
    DBCheckBox->setText(QString());
    F_sTextoMarcado.clear();
    F_sTextoSinMarcar.clear();
}

void TfrmPrincipal::MuestraIgnorar(bool bNoHayPEPs)
{
    if (bNoHayPEPs) {
        pnIgnorar->move(87, 332);
        pnIgnorar->show();
        pnIgnorar->raise();
        PonColorEtiqueta(txPaso4, kGris);
        // The list's check box goes with the list it belongs to.
        pnChkBox->hide();
    } else {
        pnIgnorar->hide();
        PonColorEtiqueta(txPaso4, kVerdeAzul);
    }
}

void TfrmPrincipal::showEvent(QShowEvent* event)
{
    if (!F_bCentrada) {
        F_bCentrada = true;
        if (QScreen* pantalla = QGuiApplication::primaryScreen()) {
            QRect marco = frameGeometry();
            marco.moveCenter(pantalla->geometry().center());
            move(marco.topLeft());
        }
    }
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmPrincipal::closeEvent(QCloseEvent* event)
{
    if (!F_bPasoEnCurso) {
        QWidget::closeEvent(event);
        return;
    }
    // While a step runs the window stays: the user is asked at once whether to cancel it, and a
    // cancelled step stops between two questions, after which the window closes.
    event->ignore();
    if (F_bCancelar || F_bPreguntandoCierre)
        return;
    F_bPreguntandoCierre = true;
    const QCursor* Cursor = QApplication::overrideCursor();
    const std::optional<QCursor> Anterior = Cursor ? std::optional<QCursor>(*Cursor) : std::nullopt;
    PonCursorNormal();
    const bool bCancelar = Dialogos().PreguntaAdvertencia(kCancelarProceso);
    if (Anterior)
        QApplication::setOverrideCursor(*Anterior);
    F_bPreguntandoCierre = false;
    F_bCancelar = bCancelar;
}

void TfrmPrincipal::EjecutaPaso(const std::function<void()>& Trabajo, QAbstractButton* Boton)
{
    if (!F_bCancelar) {
        try {
            EjecutaConEspera(Trabajo, Boton);
        } catch (const TPasoCancelado&) {
            // The busy wrapper has restored the cursor and the button on the way out.
        }
    }
    if (F_bCancelar) {
        F_bCancelar = false;
        // Closed once this step's handler has returned and nothing of it is left running.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TfrmPrincipal::FormShow()
{
    QCoreApplication::postEvent(this, new QEvent(kMsjIndicaciones));
}

void TfrmPrincipal::customEvent(QEvent* event)
{
    if (event->type() == kMsjIndicaciones)
        MuestraIndicaciones();
    else
        QWidget::customEvent(event);
}

bool TfrmPrincipal::PreguntaIndicaciones()
{
    return Dialogos().PreguntaAdvertencia(TextoIndicaciones());
}

void TfrmPrincipal::MuestraIndicaciones()
{
    if (PreguntaIndicaciones()) {
        activateWindow();
        edUsuario->setFocus();
    } else
        close();
}

bool TfrmPrincipal::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grdPEPs && event->type() == QEvent::FocusIn)
        PideColocarChkBox();
    if (watched == DBCheckBox) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            // The marks are read by the step that runs; they take no change until it ends.
            if (F_bPasoEnCurso)
                return true;
            break;
        case QEvent::KeyPress: {
            auto* tecla = static_cast<QKeyEvent*>(event);
            // The floating box stands for the list: the keys that move through a list move the
            // grid's current row (and the box with it) instead of the focus to other buttons.
            if (!(tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
                grdPEPs->MueveFila(tecla->key()))
                return true;
            if (tecla->key() == Qt::Key_Left || tecla->key() == Qt::Key_Right) {
                if (tecla->key() == Qt::Key_Right) {
                    grdPEPs->setFocus(Qt::OtherFocusReason);
                    grdPEPs->setCurrentIndex(grdPEPs->model()->index(grdPEPs->currentIndex().row(), 1));
                }
                return true;
            }
            if (F_bPasoEnCurso && !tecla->text().isEmpty() && tecla->key() != Qt::Key_Tab &&
                tecla->key() != Qt::Key_Backtab)
                return true;
            break;
        }
        case QEvent::KeyRelease:
            if (F_bPasoEnCurso && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space)
                return true;
            break;
        default:
            break;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == bnDetectaPEPs || watched == bnGenReporte)) {
        // As on the platform the program comes from, the focused button takes Enter, from the
        // main keyboard or the keypad, as well as Space.
        auto* tecla = static_cast<QKeyEvent*>(event);
        const bool bEnter = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
        if (bEnter && !(tecla->modifiers() & ~Qt::KeypadModifier)) {
            auto* Boton = static_cast<QPushButton*>(watched);
            if (!tecla->isAutoRepeat() && Boton->isEnabled())
                Boton->click();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == edUsuario || watched == edPassw)) {
        auto* tecla = static_cast<QKeyEvent*>(event);
        if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter ||
            tecla->text() == QLatin1String("\r")) {
            AvanzaConEnter(tecla->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmPrincipal::AvanzaConEnter(bool bAtras)
{
    // The focus chain skips disabled, hidden and non-tab-stop controls and wraps around.
    focusNextPrevChild(!bAtras);
}

void TfrmPrincipal::EjecutaConEspera(const std::function<void()>& Trabajo, QAbstractButton* Boton)
{
    EjecutaOcupado(Trabajo, Boton);
}

bool TfrmPrincipal::EsColumnaPEP(const QString& sCampo) const
{
    return sCampo == DBCheckBox->Campo();
}

void TfrmPrincipal::grdPEPsDrawColumnCell(QPainter& Lienzo, const QRect& Celda, const QModelIndex& Indice,
                                          bool bEnfocada, const QBrush& Fondo)
{
    TTablaMemoria* vtPEPs = F_dmMain.vtPEPs;
    if (vtPEPs->NumRegistros() == 0)
        return;
    if (!grdPEPs->isEnabled())
        grdPEPs->setEnabled(true);
    const QString sCampo = grdPEPs->Columna(Indice.column()).sCampo;
    if (!EsColumnaPEP(sCampo))
        return;
    // The grid's own text of a mark cell ("True"/"False") never shows: the focused cell takes the
    // row's face, which the floating check box covers; the others a check-box image.
    Lienzo.fillRect(Celda, Fondo);
    if (bEnfocada)
        return;
    // The check-box image is as large as the cell shrunk by one pixel on every side allows,
    // square and centred.
    const QRect interior = Celda.adjusted(1, 1, -1, -1);
    const int nLado = std::min(interior.width(), interior.height());
    QStyleOptionButton opt;
    opt.initFrom(grdPEPs);
    // The platform's own check-box colours, not ones derived from the white window.
    opt.palette = QApplication::palette();
    opt.rect = QRect(0, 0, nLado, nLado);
    opt.rect.moveCenter(interior.center());
    opt.state |= QStyle::State_Enabled;
    opt.state &= ~QStyle::State_HasFocus;
    const bool bMarcado = vtPEPs->ValorEn(Indice.row(), vtPEPs->IndiceCampo(kCampoPEP)).toBool();
    opt.state |= bMarcado ? QStyle::State_On : QStyle::State_Off;
    grdPEPs->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &Lienzo, grdPEPs);
}

QString TfrmPrincipal::HintNombre(const QModelIndex& Indice) const
{
    // Over a name: who the row is (the client's key) and the record that put it on the list, so
    // that namesakes can be told apart; the marks keep the list's own hint.
    TTablaMemoria* vtPEPs = F_dmMain.vtPEPs;
    if (EsColumnaPEP(grdPEPs->Columna(Indice.column()).sCampo) || Indice.row() >= vtPEPs->NumRegistros())
        return QString();
    const QString sClave =
        vtPEPs->ValorEn(Indice.row(), vtPEPs->IndiceCampo(QStringLiteral("ClaveCliente"))).toString();
    const QString sRegistro =
        vtPEPs->ValorEn(Indice.row(), vtPEPs->IndiceCampo(QStringLiteral("Registro"))).toString();
    QString s = kHintPEP + QStringLiteral("\nClave del cliente: ") + sClave.trimmed();
    if (!sRegistro.isEmpty())
        s += QStringLiteral("\nOperación inusual: ") + sRegistro;
    return s;
}

void TfrmPrincipal::PideColocarChkBox()
{
    // Queued: the grid has finished moving its current cell (and scrolling to it) and no
    // painting is under way when the panel moves.
    if (F_bColocacionPedida)
        return;
    F_bColocacionPedida = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            F_bColocacionPedida = false;
            ColocaChkBox();
        },
        Qt::QueuedConnection);
}

void TfrmPrincipal::ColocaChkBox()
{
    const QModelIndex Actual = grdPEPs->currentIndex();
    const bool bEnMarcas = F_dmMain.vtPEPs->NumRegistros() > 0 && Actual.isValid() &&
                           EsColumnaPEP(grdPEPs->Columna(Actual.column()).sCampo) && pnIgnorar->isHidden();
    if (!bEnMarcas) {
        pnChkBox->hide();
        return;
    }
    // The box comes with the focus in the mark column and then follows the current row, also
    // while the focus is in the box itself or elsewhere in the window.
    if (!grdPEPs->hasFocus() && focusWidget() != DBCheckBox && pnChkBox->isHidden())
        return;
    const QRect Celda = grdPEPs->RectCelda(Actual.row(), Actual.column());
    if (!grdPEPs->viewport()->rect().contains(Celda)) {
        pnChkBox->hide();
        return;
    }
    pnChkBox->move(grdPEPs->viewport()->mapTo(this, Celda.topLeft()));
    pintaPanelCasilla();
    pnChkBox->show();
    pnChkBox->raise();
}

void TfrmPrincipal::pintaPanelCasilla()
{
    QPalette p = pnChkBox->palette();
    p.setBrush(QPalette::Window, grdPEPs->FondoFilaActual());
    pnChkBox->setPalette(p);
}

void TfrmPrincipal::grdPEPsCellClick(const QModelIndex&)
{
    if (F_bPasoEnCurso || !EsColumnaPEP(grdPEPs->CampoSeleccionado()))
        return;
    TTablaMemoria* vtPEPs = F_dmMain.vtPEPs;
    if (vtPEPs->RegActual() < 0)
        return;
    vtPEPs->Edita();
    vtPEPs->SetValor(kCampoPEP, !vtPEPs->ValorBool(kCampoPEP));
    vtPEPs->Publica();
}

void TfrmPrincipal::grdPEPsKeyPress(QChar& cTecla)
{
    // The marks are read by the step that runs; they take no change until it ends.
    if (F_bPasoEnCurso && cTecla != QLatin1Char('\t')) {
        cTecla = QChar();
        return;
    }
    if (cTecla == QLatin1Char('\t') || !EsColumnaPEP(grdPEPs->CampoSeleccionado()))
        return;
    DBCheckBox->setFocus();
    DBCheckBox->RecibeCaracter(cTecla);
}

void TfrmPrincipal::grdPEPsColExit(int nColumna)
{
    if (EsColumnaPEP(grdPEPs->Columna(nColumna).sCampo))
        pnChkBox->hide();
}

void TfrmPrincipal::DBCheckBoxClick()
{
    DBCheckBox->setText(DBCheckBox->isChecked() ? F_sTextoMarcado : F_sTextoSinMarcar);
}

std::function<QString()> TfrmPrincipal::CarpetaPrograma = [] { return CreaUtilerias()->DameDirProg(); };
std::shared_ptr<IReloj> TfrmPrincipal::RelojMensajero;
bool TfrmPrincipal::PrecargaReporte = true;

bool TfrmPrincipal::FaltaUsuario()
{
    if (!EsBlanco(edUsuario->text()))
        return false;
    _MensajeroForm->CampoObligatorio(txUsuario, edUsuario);
    _MensajeroForm->MsjTxTemp(QStringLiteral("Por favor, escriba su usuario (Administrador)."));
    return true;
}

bool TfrmPrincipal::ConectaBD(TConexionBD*& Conexion)
{
    const auto Falla = Preparacion::ConectaBD(CarpetaPrograma(), enlacesPreparacion(), Conexion);
    if (Falla == Preparacion::TFalla::SinBaseDatos)
        Dialogos().MuestraMensaje(kSinCarpetaTavoro);
    return Falla == Preparacion::TFalla::Ninguna;
}

bool TfrmPrincipal::DameNumEmpresa(int& nNumEmp)
{
    return Preparacion::DameNumEmpresa(CarpetaPrograma(), nNumEmp);
}

Preparacion::TEnlaces TfrmPrincipal::enlacesPreparacion()
{
    Preparacion::TEnlaces Enlaces;
    Enlaces.AlConectar = [this] {
        _MensajeroForm->MsjTxEspera(QStringLiteral("Conectando con la BD..."), false);
    };
    // Loading the host's tables and long statements serve the window's events meanwhile
    // (repaints, moves, a close request); once the user has chosen to cancel, the statement under
    // way stops too, and the step ends at its next progress message.
    Enlaces.Aviso = [this] {
        QCoreApplication::processEvents();
        return !F_bCancelar;
    };
    return Enlaces;
}

void TfrmPrincipal::bnDetectaPEPsClick()
{
    if (F_bPasoEnCurso || FaltaUsuario())
        return;
    F_bPasoEnCurso = true;
    const auto fin = qScopeGuard([this] { F_bPasoEnCurso = false; });
    MuestraIgnorar(false);
    EjecutaPaso([this] { ProcesaDetectaPEPs(); }, bnDetectaPEPs);
}

std::shared_ptr<TRepCuestZIDU2019>
TfrmPrincipal::PreparaCuestionario(bool bCursorNormal, const std::function<void()>& AlRechazarAcceso)
{
    // Steps shared by detection and report: main connection, company number, the driver, open
    // sessions of the host and the login. A failure is shown here; then no driver comes back.
    const auto muestra = [bCursorNormal](const QString& sTexto) {
        if (bCursorNormal)
            PonCursorNormal();
        Dialogos().MuestraMensaje(sTexto);
    };
    TReporte* Reporte = F_dmMain.repGeneral.get();
    const auto r = Preparacion::PreparaCuestionario(
        CarpetaPrograma(), edUsuario->text(), edPassw->text(),
        [Reporte](const QString& sNomRep) { return CreaManejadorReportes(Reporte, sNomRep); },
        std::make_shared<TMensajeroPaso>(_MensajeroForm, [this] { return F_bCancelar; }),
        enlacesPreparacion());
    using Preparacion::TFalla;
    switch (r.Falla) {
    case TFalla::Ninguna:
        return r.Cuestionario;
    case TFalla::SinBaseDatos:
        Dialogos().MuestraMensaje(kSinCarpetaTavoro);
        break;
    case TFalla::SinConexion:
        // The error handler has shown why.
        break;
    case TFalla::SinNumEmpresa:
        muestra(QStringLiteral("No se pudo extraer el Número de la Empresa predeterminada."));
        break;
    case TFalla::UsuarioConectado:
        muestra(QStringLiteral("Hay un usuario conectado a la BD. Cierre Tavoro antes de continuar."));
        break;
    case TFalla::AccesoRechazado:
        AlRechazarAcceso();
        break;
    }
    return nullptr;
}

void TfrmPrincipal::ProcesaDetectaPEPs()
{
    bool bLineaPropia = false;
    const auto Cuestionario = PreparaCuestionario(true, [this, &bLineaPropia] {
        PonCursorNormal();
        edUsuario->setFocus();
        Dialogos().MuestraMensaje(kLoginCaja);
        _MensajeroForm->CampoObligatorio(txUsuario, edUsuario);
        _MensajeroForm->MsjTxEspera(kLoginLinea, true);
        bLineaPropia = true;
    });
    if (Cuestionario && Cuestionario->DetectaPEPs(F_dmMain.vtPEPs)) {
        MuestraIgnorar(F_dmMain.vtPEPs->NumRegistros() == 0);
        bnGenReporte->setEnabled(true);
        // The list opens at its first row, in view, whatever row the filling left current.
        if (F_dmMain.vtPEPs->NumRegistros() > 0) {
            F_dmMain.vtPEPs->Primero();
            grdPEPs->scrollToTop();
        }
        _MensajeroForm->MsjTxTemp(QStringLiteral("La detección de PEPs ha finalizado."));
        // While the user ticks, the session loads the tables the report will read.
        if (PrecargaReporte)
            Cuestionario->PrecargaReporte();
    } else if (!bLineaPropia) {
        // A failure told in a message box leaves no progress text of the step behind.
        _MensajeroForm->MsjEnTx(QString());
    }
    PonCursorNormal();
}

void TfrmPrincipal::bnGenReporteClick()
{
    if (F_bPasoEnCurso || FaltaUsuario())
        return;
    F_bPasoEnCurso = true;
    const auto fin = qScopeGuard([this] { F_bPasoEnCurso = false; });
    _MensajeroForm->MsjTxEspera(QStringLiteral("¡Advertencia!"), false);
    if (F_bCancelar || PreguntaIndicaciones())
        EjecutaPaso([this] { ProcesaGeneraReporte(); }, bnGenReporte);
    else
        _MensajeroForm->MsjTxEspera(QStringLiteral("Proceso cancelado."), false);
}

void TfrmPrincipal::ProcesaGeneraReporte()
{
    // The wait cursor stays on for the whole step, message boxes included.
    const auto Cuestionario = PreparaCuestionario(false, [this] {
        Dialogos().MuestraMensaje(kLoginCaja);
        _MensajeroForm->MsjTxEspera(kLoginLinea, true);
        _MensajeroForm->CampoObligatorio(txPassw, edPassw);
    });
    // The preview offers the rows behind the answers while this step's questionnaire lives.
    if (Cuestionario)
        F_dmMain.repGeneral->AccionesVista = {AccionExportaDetalle(*Cuestionario, *F_dmMain.repGeneral)};
    // The PDF, the print to a file and the detail are all proposed in the program's folder.
    F_dmMain.expPDF->sCarpeta = CarpetaPrograma();
    const auto sinAcciones = qScopeGuard([this] { F_dmMain.repGeneral->AccionesVista.clear(); });
    if (Cuestionario && Cuestionario->GeneraReporte(F_dmMain.vtPEPs))
        _MensajeroForm->MsjEnTx(QStringLiteral("El reporte se generó correctamente."));
    else
        _MensajeroForm->MsjEnTx(
            QStringLiteral("No fue posible generar el reporte. Llame a Soporte Técnico."));
}
