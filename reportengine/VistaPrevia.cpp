#include "reportengine/VistaPrevia.h"

#include "reportengine/ExportaPDF.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr qreal dEscalaMiniatura = 0.15;

bool antes(const TResaltado& a, const TResaltado& b)
{
    return std::tie(a.nPagina, a.nArea, a.nInicio) < std::tie(b.nPagina, b.nArea, b.nInicio);
}

} // namespace

TVistaPrevia::TVistaPrevia(TReporte& Reporte, QWidget* Padre)
    : QDialog(Padre), F_Reporte(Reporte), F_Impresora(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("dlgVistaPrevia"));
    setWindowTitle(QStringLiteral("Vista previa"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    F_Reporte.ConfiguraImpresora(F_Impresora);

    pvPaginas = new QPrintPreviewWidget(&F_Impresora, this);
    pvPaginas->setObjectName(QStringLiteral("pvPaginas"));
    connect(pvPaginas, &QPrintPreviewWidget::paintRequested, this, &TVistaPrevia::pinta);
    connect(pvPaginas, &QPrintPreviewWidget::previewChanged, this, &TVistaPrevia::actualizaPagina);

    creaBarra();
    creaPanel();

    auto* Division = new QSplitter(this);
    Division->setObjectName(QStringLiteral("spVista"));
    Division->addWidget(tbPanel);
    Division->addWidget(pvPaginas);
    Division->setStretchFactor(1, 1);
    auto* Principal = new QVBoxLayout(this);
    Principal->setContentsMargins(0, 0, 0, 0);
    Principal->setSpacing(0);
    Principal->addWidget(tbVista);
    Principal->addWidget(Division, 1);
    Principal->addWidget(creaLineaInferior());
    resize(1000, 750);

    pvPaginas->updatePreview();
    FijaZoom(qRound(F_Reporte.Config().dZoom * 100));
    IrAPagina(1);
}

TVistaPrevia::~TVistaPrevia() = default;

QWidget* TVistaPrevia::creaLineaInferior()
{
    // One line below the pages and the side panel, across the whole window: the program's own
    // buttons at its left, with their whole text (the toolbar has no room left on a 1000-pixel
    // window), then the messages. Hiding the side panel never moves or hides either.
    auto* Linea = new QWidget(this);
    Linea->setObjectName(QStringLiteral("wgLineaInferior"));
    auto* Fila = new QHBoxLayout(Linea);
    Fila->setContentsMargins(2, 2, 2, 2);
    Fila->setSpacing(6);
    for (const TAccionVista& a : F_Reporte.AccionesVista) {
        auto* Accion = new QAction(a.Icono, a.sTexto, this);
        Accion->setObjectName(a.sNombre);
        Accion->setToolTip(a.sDescripcion);
        connect(Accion, &QAction::triggered, this, [this, Ejecuta = a.Ejecuta] {
            if (Ejecuta)
                Ejecuta(this);
        });
        addAction(Accion);
        auto* Boton = new QToolButton(Linea);
        Boton->setObjectName(
            a.sNombre.startsWith(QLatin1String("ac")) ? QStringLiteral("bn") + a.sNombre.mid(2) : a.sNombre);
        Boton->setDefaultAction(Accion);
        Boton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        Fila->addWidget(Boton);
    }
    txMensaje = new QLabel(Linea);
    txMensaje->setObjectName(QStringLiteral("txMensaje"));
    txMensaje->setContentsMargins(4, 2, 4, 2);
    txMensaje->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txMensaje->hide();
    Fila->addWidget(txMensaje, 1);
    Fila->addStretch();
    return Linea;
}

void TVistaPrevia::MuestraMensaje(const QString& sTexto)
{
    txMensaje->setText(sTexto);
    txMensaje->setVisible(!sTexto.isEmpty());
}

void TVistaPrevia::creaBarra()
{
    tbVista = new QToolBar(this);
    tbVista->setObjectName(QStringLiteral("tbVista"));
    // Short texts, and the style's icons where it has a clear one (navigation, search arrows),
    // so every button fits a 1024-pixel screen; the tooltip gives each button's full name.
    tbVista->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tbVista->setIconSize(QSize(16, 16));
    const unsigned nBotones = F_Reporte.Config().nBotones;
    auto accion = [&](const char* sNombre, const QString& sTexto, const QString& sNombreLargo,
                      QStyle::StandardPixmap Icono, const QKeySequence& Atajo, auto Ranura) {
        auto* a = new QAction(sTexto, this);
        a->setObjectName(QLatin1String(sNombre));
        a->setToolTip(Atajo.isEmpty() ? sNombreLargo
                                      : QStringLiteral("%1 (%2)").arg(
                                            sNombreLargo, Atajo.toString(QKeySequence::NativeText)));
        if (Icono != QStyle::SP_CustomBase)
            a->setIcon(style()->standardIcon(Icono));
        if (!Atajo.isEmpty())
            a->setShortcut(Atajo);
        connect(a, &QAction::triggered, this, Ranura);
        tbVista->addAction(a);
        addAction(a);
        return a;
    };
    constexpr auto SinIcono = QStyle::SP_CustomBase;

    if (nBotones & bvImprimir)
        accion("acImprimir", QStringLiteral("Imprimir"), QStringLiteral("Imprimir"), SinIcono,
               QKeySequence::Print, [this] { Imprime(); });
    if (nBotones & bvConfigPagina)
        accion("acConfigurarPagina", QStringLiteral("Página"), QStringLiteral("Configurar página"), SinIcono,
               {}, [this] { ConfiguraPagina(); });
    if (nBotones & bvExportaRapida)
        accion("acExportaPDF", QStringLiteral("PDF"), QStringLiteral("Exportar a PDF"), SinIcono, {},
               [this] { ExportaPDF(); });

    if (nBotones & bvZoom) {
        tbVista->addSeparator();
        accion("acAlejar", QStringLiteral("−"), QStringLiteral("Alejar"), SinIcono, QKeySequence::ZoomOut,
               [this] {
                   pvPaginas->zoomOut();
                   FijaZoom(qRound(pvPaginas->zoomFactor() * 100));
               });
        cbZoom = new QComboBox(this);
        cbZoom->setObjectName(QStringLiteral("cbZoom"));
        cbZoom->setToolTip(QStringLiteral("Zoom"));
        cbZoom->setEditable(true);
        cbZoom->setInsertPolicy(QComboBox::NoInsert);
        for (int n : {25, 50, 75, 100, 125, 150, 200, 300, 400})
            cbZoom->addItem(QStringLiteral("%1%").arg(n));
        connect(cbZoom, &QComboBox::textActivated, this, [this](const QString& s) {
            static const QRegularExpression reNumero(QStringLiteral("\\d+"));
            const auto m = reNumero.match(s);
            if (m.hasMatch())
                FijaZoom(m.captured().toInt());
        });
        tbVista->addWidget(cbZoom);
        accion("acAcercar", QStringLiteral("+"), QStringLiteral("Acercar"), SinIcono, QKeySequence::ZoomIn,
               [this] {
                   pvPaginas->zoomIn();
                   FijaZoom(qRound(pvPaginas->zoomFactor() * 100));
               });
        accion("acAnchoPagina", QStringLiteral("Ancho"), QStringLiteral("Ancho de página"), SinIcono, {},
               [this] {
                   pvPaginas->fitToWidth();
                   cbZoom->setEditText(QStringLiteral("%1%").arg(qRound(pvPaginas->zoomFactor() * 100)));
               });
        accion("acPaginaCompleta", QStringLiteral("Entera"), QStringLiteral("Página completa"), SinIcono, {},
               [this] {
                   pvPaginas->fitInView();
                   cbZoom->setEditText(QStringLiteral("%1%").arg(qRound(pvPaginas->zoomFactor() * 100)));
               });
        acPantallaCompleta =
            accion("acPantallaCompleta", QStringLiteral("Pantalla"), QStringLiteral("Pantalla completa"),
                   SinIcono, QKeySequence::FullScreen, [] {});
        acPantallaCompleta->setCheckable(true);
        connect(acPantallaCompleta, &QAction::toggled, this, &TVistaPrevia::PantallaCompleta);
    }

    if (nBotones & bvBuscar) {
        tbVista->addSeparator();
        edBuscar = new QLineEdit(this);
        edBuscar->setObjectName(QStringLiteral("edBuscar"));
        edBuscar->setPlaceholderText(QStringLiteral("Buscar"));
        edBuscar->setToolTip(QStringLiteral("Texto a buscar"));
        edBuscar->setClearButtonEnabled(true);
        edBuscar->setFixedWidth(100);
        connect(edBuscar, &QLineEdit::returnPressed, this, [this] { Busca(true); });
        connect(edBuscar, &QLineEdit::textEdited, this, [this] {
            F_Resaltado = {};
            MuestraMensaje({});
        });
        tbVista->addWidget(edBuscar);
        accion("acBuscarAnterior", QStringLiteral("Anterior"), QStringLiteral("Buscar anterior"),
               QStyle::SP_ArrowUp, QKeySequence::FindPrevious, [this] { Busca(false); });
        accion("acBuscarSiguiente", QStringLiteral("Siguiente"), QStringLiteral("Buscar siguiente"),
               QStyle::SP_ArrowDown, QKeySequence::FindNext, [this] { Busca(true); });
        auto* Enfoca = new QAction(this);
        Enfoca->setShortcut(QKeySequence::Find);
        connect(Enfoca, &QAction::triggered, this, [this] {
            edBuscar->setFocus();
            edBuscar->selectAll();
        });
        addAction(Enfoca);
    }

    if (nBotones & bvEsquema) {
        accion("acEsquema", QStringLiteral("Esquema"), QStringLiteral("Esquema"), SinIcono, {}, [this] {
            const bool bMostrar = !(tbPanel->isVisible() && tbPanel->currentWidget() == trEsquema);
            tbPanel->setCurrentWidget(trEsquema);
            tbPanel->setVisible(bMostrar);
        });
    }
    if (nBotones & bvHerramientas)
        accion("acMiniaturas", QStringLiteral("Miniaturas"), QStringLiteral("Miniaturas"), SinIcono, {},
               [this] {
                   const bool bMostrar = !(tbPanel->isVisible() && tbPanel->currentWidget() == lsMiniaturas);
                   tbPanel->setCurrentWidget(lsMiniaturas);
                   tbPanel->setVisible(bMostrar);
               });

    if (nBotones & bvNavegador) {
        tbVista->addSeparator();
        accion("acPrimera", QStringLiteral("Primera"), QStringLiteral("Primera página"),
               QStyle::SP_MediaSkipBackward, QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { IrAPagina(1); });
        accion("acAnterior", QStringLiteral("Anterior"), QStringLiteral("Página anterior"),
               QStyle::SP_MediaSeekBackward, QKeySequence(Qt::Key_PageUp),
               [this] { IrAPagina(PaginaActual() - 1); });
        txPagina = new QLabel(this);
        txPagina->setObjectName(QStringLiteral("txPagina"));
        txPagina->setToolTip(QStringLiteral("Página mostrada"));
        txPagina->setMinimumWidth(40);
        txPagina->setAlignment(Qt::AlignCenter);
        tbVista->addWidget(txPagina);
        accion("acSiguiente", QStringLiteral("Siguiente"), QStringLiteral("Página siguiente"),
               QStyle::SP_MediaSeekForward, QKeySequence(Qt::Key_PageDown),
               [this] { IrAPagina(PaginaActual() + 1); });
        accion("acUltima", QStringLiteral("Última"), QStringLiteral("Última página"),
               QStyle::SP_MediaSkipForward, QKeySequence(Qt::CTRL | Qt::Key_End),
               [this] { IrAPagina(TotalPaginas()); });
    }

    tbVista->addSeparator();
    accion("acCerrar", QStringLiteral("Cerrar"), QStringLiteral("Cerrar la vista previa"), SinIcono, {},
           [this] { accept(); });

    // Buttons without an icon show their text.
    for (QAction* a : tbVista->actions())
        if (auto* b = qobject_cast<QToolButton*>(tbVista->widgetForAction(a)); b && a->icon().isNull())
            b->setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void TVistaPrevia::creaPanel()
{
    tbPanel = new QTabWidget(this);
    tbPanel->setObjectName(QStringLiteral("tbPanel"));

    trEsquema = new QTreeWidget(this);
    trEsquema->setObjectName(QStringLiteral("trEsquema"));
    trEsquema->setHeaderHidden(true);
    // Report names show only when the preview holds more than one prepared report.
    const bool bVarios = F_Reporte.ReportesPreparados() > 1;
    QTreeWidgetItem* Raiz = nullptr;
    QTreeWidgetItem* Seccion = nullptr;
    int nReporte = -1;
    for (const TEntradaEsquema& e : F_Reporte.Esquema()) {
        if (bVarios && e.nReporte != nReporte) {
            nReporte = e.nReporte;
            Raiz = new QTreeWidgetItem(trEsquema, {e.sReporte});
            Raiz->setData(0, Qt::UserRole, e.nPagina + 1);
            Seccion = nullptr;
        }
        // A second-level heading hangs from the first-level one before it.
        QTreeWidgetItem* Padre = e.nNivel > 1 && Seccion ? Seccion : Raiz;
        auto* Elemento =
            Padre ? new QTreeWidgetItem(Padre, {e.sTexto}) : new QTreeWidgetItem(trEsquema, {e.sTexto});
        Elemento->setData(0, Qt::UserRole, e.nPagina + 1);
        Elemento->setData(0, Qt::UserRole + 1, e.nArea);
        Elemento->setData(0, Qt::UserRole + 2, e.nPosicion);
        if (e.nNivel <= 1)
            Seccion = Elemento;
    }
    trEsquema->expandAll();
    const auto irAEntrada = [this](QTreeWidgetItem* i) {
        const int nPagina = i->data(0, Qt::UserRole).toInt();
        IrAPagina(nPagina);
        // A heading shows at the top of the view; a report's name shows its first page.
        if (i->data(0, Qt::UserRole + 1).isValid())
            muestraTexto(nPagina - 1, i->data(0, Qt::UserRole + 1).toInt(),
                         i->data(0, Qt::UserRole + 2).toInt(), 0, true);
    };
    connect(trEsquema, &QTreeWidget::itemClicked, this, irAEntrada);
    connect(trEsquema, &QTreeWidget::itemActivated, this, irAEntrada);

    lsMiniaturas = new QListWidget(this);
    lsMiniaturas->setObjectName(QStringLiteral("lsMiniaturas"));
    lsMiniaturas->setViewMode(QListView::IconMode);
    lsMiniaturas->setFlow(QListView::TopToBottom);
    lsMiniaturas->setWrapping(false);
    lsMiniaturas->setMovement(QListView::Static);
    lsMiniaturas->setResizeMode(QListView::Adjust);
    lsMiniaturas->setSpacing(6);
    QSize Icono;
    for (int i = 0; i < F_Reporte.PaginasPreparadas(); ++i) {
        const QImage Imagen = F_Reporte.ImagenPagina(i, dEscalaMiniatura);
        Icono = Imagen.size();
        new QListWidgetItem(QIcon(QPixmap::fromImage(Imagen)), QString::number(i + 1), lsMiniaturas);
    }
    lsMiniaturas->setIconSize(Icono);
    lsMiniaturas->setMinimumWidth(Icono.width() + 40);
    connect(lsMiniaturas, &QListWidget::currentRowChanged, this, [this](int nFila) {
        if (!F_bActualizando && nFila >= 0)
            IrAPagina(nFila + 1);
    });

    tbPanel->addTab(lsMiniaturas, QStringLiteral("Miniaturas"));
    tbPanel->addTab(trEsquema, QStringLiteral("Esquema"));
}

int TVistaPrevia::PaginaActual() const
{
    return pvPaginas->currentPage();
}

int TVistaPrevia::TotalPaginas() const
{
    return F_Reporte.PaginasPreparadas();
}

void TVistaPrevia::IrAPagina(int nPagina)
{
    if (TotalPaginas() == 0)
        return;
    nPagina = std::clamp(nPagina, 1, TotalPaginas());
    pvPaginas->setCurrentPage(nPagina);
    // The preview widget centres the page it goes to; a page taller than the view then opens
    // in its middle. It is read from the top.
    muestraEnVista(nPagina - 1, QRectF(), true);
    actualizaPagina();
}

QGraphicsView* TVistaPrevia::vistaPaginas() const
{
    return pvPaginas->findChild<QGraphicsView*>();
}

void TVistaPrevia::muestraEnVista(int nPagina, const QRectF& rEnPagina, bool bArriba)
{
    QGraphicsView* Vista = vistaPaginas();
    if (!Vista || !Vista->scene() || nPagina < 0 || nPagina >= TotalPaginas())
        return;
    // The preview's scene holds one item per sheet, in page order from the top; an item's
    // origin is the corner of its paper, measured in printer pixels.
    QList<QGraphicsItem*> Hojas;
    for (QGraphicsItem* i : Vista->scene()->items())
        if (!i->parentItem())
            Hojas << i;
    std::sort(Hojas.begin(), Hojas.end(), [](const QGraphicsItem* a, const QGraphicsItem* b) {
        return std::pair(a->scenePos().y(), a->scenePos().x()) <
               std::pair(b->scenePos().y(), b->scenePos().x());
    });
    if (nPagina >= Hojas.size())
        return;
    const QPointF Origen = Hojas[nPagina]->scenePos() +
                           F_Impresora.pageLayout().paintRectPixels(F_Impresora.resolution()).topLeft();
    const QTransform Encuadre = F_Reporte.EncuadrePagina(F_Impresora, nPagina);
    QRectF rEscena;
    if (rEnPagina.isNull())
        rEscena = QRectF(Hojas[nPagina]->scenePos(), QSizeF(1, 1));
    else
        rEscena = Encuadre.mapRect(rEnPagina).translated(Origen);
    if (bArriba) {
        // A page is read from its top left corner; a heading keeps the horizontal position.
        const int nMargen = rEnPagina.isNull() ? 8 : 24;
        const QPoint Punto = Vista->mapFromScene(rEscena.topLeft());
        QScrollBar* Barra = Vista->verticalScrollBar();
        Barra->setValue(Barra->value() + Punto.y() - nMargen);
        if (rEnPagina.isNull())
            Vista->horizontalScrollBar()->setValue(Vista->horizontalScrollBar()->value() + Punto.x() -
                                                   nMargen);
    } else
        Vista->ensureVisible(rEscena, 40, 60);
}

void TVistaPrevia::muestraTexto(int nPagina, int nArea, int nInicio, int nLargo, bool bArriba)
{
    muestraEnVista(nPagina, F_Reporte.RectTexto(nPagina, nArea, nInicio, nLargo), bArriba);
}

void TVistaPrevia::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The window reaches its final size (maximised) only once shown: the page goes back to the
    // top of the view then.
    if (!F_bMostrada) {
        F_bMostrada = true;
        QMetaObject::invokeMethod(
            this, [this] { IrAPagina(PaginaActual()); }, Qt::QueuedConnection);
    }
}

// The preview widget does not always tell when its current page changes, so every slot that
// moves it calls this as well.
void TVistaPrevia::actualizaPagina()
{
    const int nPagina = PaginaActual();
    if (txPagina)
        txPagina->setText(QStringLiteral("%1 / %2").arg(nPagina).arg(TotalPaginas()));
    for (const char* sNombre : {"acPrimera", "acAnterior"})
        if (auto* a = findChild<QAction*>(QLatin1String(sNombre)))
            a->setEnabled(nPagina > 1);
    for (const char* sNombre : {"acSiguiente", "acUltima"})
        if (auto* a = findChild<QAction*>(QLatin1String(sNombre)))
            a->setEnabled(nPagina < TotalPaginas());
    F_bActualizando = true;
    lsMiniaturas->setCurrentRow(nPagina - 1);
    F_bActualizando = false;
}

void TVistaPrevia::pinta(QPrinter* Impresora)
{
    // The preview shows the search match; paper never does.
    F_Reporte.Imprime(*Impresora, F_bImprimiendo ? nullptr : &F_Resaltado);
}

void TVistaPrevia::Imprime()
{
    bool bImprimir = false;
    if (DialogoImprimir)
        bImprimir = DialogoImprimir(F_Impresora, this);
    else {
        QPrintDialog Dialogo(&F_Impresora, this);
        // Printing to a file proposes the same file as the PDF export (Qt's own dialog would
        // take the job's name in the home folder); a file chosen before is proposed again.
        if (auto* edArchivo = Dialogo.findChild<QLineEdit*>(QStringLiteral("filename"));
            edArchivo && F_Impresora.outputFileName().isEmpty() && F_Reporte.GetExportaPDF())
            edArchivo->setText(QFileInfo(F_Reporte.GetExportaPDF()->ArchivoPropuesto()).absoluteFilePath());
        bImprimir = Dialogo.exec() == QDialog::Accepted;
    }
    if (!bImprimir)
        return;
    F_Impresora.setDocName(F_Reporte.GetFileName());
    F_bImprimiendo = true;
    pvPaginas->print();
    F_bImprimiendo = false;
    if (F_Impresora.outputFormat() == QPrinter::PdfFormat && !F_Impresora.outputFileName().isEmpty())
        MuestraMensaje(
            QStringLiteral("Se escribió el PDF: %1")
                .arg(QDir::toNativeSeparators(QFileInfo(F_Impresora.outputFileName()).absoluteFilePath())));
    F_Impresora.setPrintRange(QPrinter::AllPages);
    const int nPagina = PaginaActual();
    pvPaginas->updatePreview();
    IrAPagina(nPagina);
}

void TVistaPrevia::ConfiguraPagina()
{
    bool bAceptar = false;
    if (DialogoConfigurarPagina)
        bAceptar = DialogoConfigurarPagina(F_Impresora, this);
    else {
        QPageSetupDialog Dialogo(&F_Impresora, this);
        // The report's pages are portrait by design; where the dialog is Qt's own the other
        // orientations are not offered (a native dialog is corrected below).
        for (const char* sNombre : {"landscape", "reverseLandscape", "reversePortrait"})
            if (auto* b = Dialogo.findChild<QRadioButton*>(QLatin1String(sNombre)))
                b->setEnabled(false);
        bAceptar = Dialogo.exec() == QDialog::Accepted;
    }
    if (!bAceptar)
        return;
    // Turned sideways, a portrait page would print small in the middle of the sheet.
    if (F_Impresora.pageLayout().orientation() != QPageLayout::Portrait) {
        F_Impresora.setPageOrientation(QPageLayout::Portrait);
        MuestraMensaje(QStringLiteral("El reporte se imprime en orientación vertical, como está diseñado; "
                                      "se conservaron el papel y los márgenes elegidos."));
    } else
        MuestraMensaje({});
    // The pages are fitted to the paper and margins just chosen (see Imprime).
    const int nPagina = PaginaActual();
    pvPaginas->updatePreview();
    IrAPagina(nPagina);
}

bool TVistaPrevia::Busca(bool bAdelante)
{
    const QString sTexto = edBuscar ? edBuscar->text() : QString();
    if (sTexto.isEmpty())
        return false;
    std::vector<TResaltado> Hallazgos;
    for (int p = 0; p < F_Reporte.PaginasPreparadas(); ++p) {
        const auto& Areas = F_Reporte.PaginaPreparada(p).Areas;
        for (int a = 0; a < int(Areas.size()); ++a)
            for (QTextCursor c = Areas[size_t(a)].Doc->find(sTexto, 0); !c.isNull();
                 c = Areas[size_t(a)].Doc->find(sTexto, c))
                Hallazgos.push_back({p, a, c.selectionStart(), c.selectionEnd() - c.selectionStart()});
    }
    const int nPagina = PaginaActual();
    if (Hallazgos.empty()) {
        F_Resaltado = {};
        // The outcome shows below the pages, so it never pushes a button aside.
        MuestraMensaje(QStringLiteral("No se encontró el texto."));
    } else {
        // Without a current match the search starts at the top of the page shown.
        const bool bHayActual = F_Resaltado.nPagina >= 0;
        const TResaltado Desde = bHayActual ? F_Resaltado : TResaltado{nPagina - 1, 0, bAdelante ? -1 : 0, 0};
        const TResaltado* Elegido = nullptr;
        if (bAdelante) {
            for (const TResaltado& h : Hallazgos)
                if (antes(Desde, h)) {
                    Elegido = &h;
                    break;
                }
            if (!Elegido)
                Elegido = &Hallazgos.front();
        } else {
            for (auto it = Hallazgos.rbegin(); it != Hallazgos.rend(); ++it)
                if (antes(*it, Desde)) {
                    Elegido = &*it;
                    break;
                }
            if (!Elegido)
                Elegido = &Hallazgos.back();
        }
        F_Resaltado = *Elegido;
        MuestraMensaje({});
    }
    pvPaginas->updatePreview();
    IrAPagina(F_Resaltado.nPagina >= 0 ? F_Resaltado.nPagina + 1 : nPagina);
    if (F_Resaltado.nPagina >= 0)
        muestraTexto(F_Resaltado.nPagina, F_Resaltado.nArea, F_Resaltado.nInicio, F_Resaltado.nLargo, false);
    return !Hallazgos.empty();
}

void TVistaPrevia::ExportaPDF()
{
    TExportaPDF* e = F_Reporte.GetExportaPDF();
    QString sEscrito;
    if (e && e->ExportaInteractivo(F_Reporte, this, &sEscrito))
        MuestraMensaje(QStringLiteral("Se escribió el PDF: %1").arg(QDir::toNativeSeparators(sEscrito)));
}

void TVistaPrevia::PantallaCompleta(bool bActiva)
{
    if (acPantallaCompleta && acPantallaCompleta->isChecked() != bActiva) {
        const QSignalBlocker Bloqueo(acPantallaCompleta);
        acPantallaCompleta->setChecked(bActiva);
    }
    if (bActiva == isFullScreen())
        return;
    if (bActiva) {
        F_EstadoVentana = windowState();
        showFullScreen();
    } else {
        // Back to the window as it was: maximised, or at its own size.
        setWindowState(F_EstadoVentana & ~Qt::WindowFullScreen);
        show();
    }
}

void TVistaPrevia::keyPressEvent(QKeyEvent* event)
{
    // Leaving full screen must not close the preview: the report would have to be made again.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && isFullScreen()) {
        PantallaCompleta(false);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TVistaPrevia::FijaZoom(int nPorciento)
{
    nPorciento = std::clamp(nPorciento, 10, 800);
    pvPaginas->setZoomFactor(nPorciento / 100.0);
    if (cbZoom)
        cbZoom->setEditText(QStringLiteral("%1%").arg(nPorciento));
}
