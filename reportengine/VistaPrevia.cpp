#include "reportengine/VistaPrevia.h"

#include "reportengine/ExportaPDF.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
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
    resize(1000, 750);

    pvPaginas->updatePreview();
    FijaZoom(qRound(F_Reporte.Config().dZoom * 100));
    IrAPagina(1);
}

TVistaPrevia::~TVistaPrevia() = default;

void TVistaPrevia::creaBarra()
{
    tbVista = new QToolBar(this);
    tbVista->setObjectName(QStringLiteral("tbVista"));
    // Buttons show their icon, or their text where neither the icon theme nor the style has one.
    tbVista->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const unsigned nBotones = F_Reporte.Config().nBotones;
    auto accion = [&](const char* sNombre, const QString& sTexto, const char* sIconoTema,
                      QStyle::StandardPixmap Icono, const QKeySequence& Atajo, auto Ranura) {
        auto* a = new QAction(sTexto, this);
        a->setObjectName(QLatin1String(sNombre));
        a->setToolTip(Atajo.isEmpty()
                          ? sTexto
                          : QStringLiteral("%1 (%2)").arg(sTexto, Atajo.toString(QKeySequence::NativeText)));
        QIcon i = QIcon::fromTheme(QLatin1String(sIconoTema));
        if (i.isNull() && Icono != QStyle::SP_CustomBase)
            i = style()->standardIcon(Icono);
        a->setIcon(i);
        if (!Atajo.isEmpty())
            a->setShortcut(Atajo);
        connect(a, &QAction::triggered, this, Ranura);
        tbVista->addAction(a);
        addAction(a);
        return a;
    };
    constexpr auto SinIcono = QStyle::SP_CustomBase;

    if (nBotones & bvImprimir)
        accion("acImprimir", QStringLiteral("Imprimir"), "document-print", QStyle::SP_CustomBase,
               QKeySequence::Print, [this] { Imprime(); });
    if (nBotones & bvConfigPagina)
        accion("acConfigurarPagina", QStringLiteral("Configurar página"), "document-page-setup", SinIcono, {},
               [this] { ConfiguraPagina(); });
    if (nBotones & bvExportaRapida)
        accion("acExportaPDF", QStringLiteral("Exportar a PDF"), "document-export", QStyle::SP_DriveFDIcon,
               {}, [this] { ExportaPDF(); });

    if (nBotones & bvZoom) {
        tbVista->addSeparator();
        accion("acAlejar", QStringLiteral("Alejar"), "zoom-out", SinIcono, QKeySequence::ZoomOut, [this] {
            pvPaginas->zoomOut();
            FijaZoom(qRound(pvPaginas->zoomFactor() * 100));
        });
        cbZoom = new QComboBox(this);
        cbZoom->setObjectName(QStringLiteral("cbZoom"));
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
        accion("acAcercar", QStringLiteral("Acercar"), "zoom-in", SinIcono, QKeySequence::ZoomIn, [this] {
            pvPaginas->zoomIn();
            FijaZoom(qRound(pvPaginas->zoomFactor() * 100));
        });
        accion("acAnchoPagina", QStringLiteral("Ancho de página"), "zoom-fit-width", SinIcono, {}, [this] {
            pvPaginas->fitToWidth();
            cbZoom->setEditText(QStringLiteral("%1%").arg(qRound(pvPaginas->zoomFactor() * 100)));
        });
        accion("acPaginaCompleta", QStringLiteral("Página completa"), "zoom-fit-best", SinIcono, {}, [this] {
            pvPaginas->fitInView();
            cbZoom->setEditText(QStringLiteral("%1%").arg(qRound(pvPaginas->zoomFactor() * 100)));
        });
        auto* a = accion("acPantallaCompleta", QStringLiteral("Pantalla completa"), "view-fullscreen",
                         SinIcono, QKeySequence::FullScreen, [] {});
        a->setCheckable(true);
        connect(a, &QAction::toggled, this, &TVistaPrevia::PantallaCompleta);
    }

    if (nBotones & bvBuscar) {
        tbVista->addSeparator();
        edBuscar = new QLineEdit(this);
        edBuscar->setObjectName(QStringLiteral("edBuscar"));
        edBuscar->setPlaceholderText(QStringLiteral("Buscar"));
        edBuscar->setClearButtonEnabled(true);
        edBuscar->setMaximumWidth(200);
        connect(edBuscar, &QLineEdit::returnPressed, this, [this] { Busca(true); });
        connect(edBuscar, &QLineEdit::textEdited, this, [this] { F_Resaltado = {}; });
        tbVista->addWidget(edBuscar);
        accion("acBuscarAnterior", QStringLiteral("Buscar anterior"), "go-up", QStyle::SP_ArrowUp,
               QKeySequence::FindPrevious, [this] { Busca(false); });
        accion("acBuscarSiguiente", QStringLiteral("Buscar siguiente"), "go-down", QStyle::SP_ArrowDown,
               QKeySequence::FindNext, [this] { Busca(true); });
        auto* Enfoca = new QAction(this);
        Enfoca->setShortcut(QKeySequence::Find);
        connect(Enfoca, &QAction::triggered, this, [this] {
            edBuscar->setFocus();
            edBuscar->selectAll();
        });
        addAction(Enfoca);
        txBuscar = new QLabel(this);
        txBuscar->setObjectName(QStringLiteral("txBuscar"));
        tbVista->addWidget(txBuscar);
    }

    if (nBotones & (bvEsquema | bvHerramientas))
        tbVista->addSeparator();
    if (nBotones & bvEsquema) {
        accion("acEsquema", QStringLiteral("Esquema"), "view-list-tree", SinIcono, {}, [this] {
            const bool bMostrar = !(tbPanel->isVisible() && tbPanel->currentWidget() == trEsquema);
            tbPanel->setCurrentWidget(trEsquema);
            tbPanel->setVisible(bMostrar);
        });
    }
    if (nBotones & bvHerramientas)
        accion("acMiniaturas", QStringLiteral("Miniaturas"), "view-preview", SinIcono, {}, [this] {
            const bool bMostrar = !(tbPanel->isVisible() && tbPanel->currentWidget() == lsMiniaturas);
            tbPanel->setCurrentWidget(lsMiniaturas);
            tbPanel->setVisible(bMostrar);
        });

    if (nBotones & bvNavegador) {
        tbVista->addSeparator();
        accion("acPrimera", QStringLiteral("Primera"), "go-first", QStyle::SP_MediaSkipBackward,
               QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { IrAPagina(1); });
        accion("acAnterior", QStringLiteral("Anterior"), "go-previous", QStyle::SP_MediaSeekBackward,
               QKeySequence(Qt::Key_PageUp), [this] { IrAPagina(PaginaActual() - 1); });
        txPagina = new QLabel(this);
        txPagina->setObjectName(QStringLiteral("txPagina"));
        txPagina->setMinimumWidth(60);
        txPagina->setAlignment(Qt::AlignCenter);
        tbVista->addWidget(txPagina);
        accion("acSiguiente", QStringLiteral("Siguiente"), "go-next", QStyle::SP_MediaSeekForward,
               QKeySequence(Qt::Key_PageDown), [this] { IrAPagina(PaginaActual() + 1); });
        accion("acUltima", QStringLiteral("Última"), "go-last", QStyle::SP_MediaSkipForward,
               QKeySequence(Qt::CTRL | Qt::Key_End), [this] { IrAPagina(TotalPaginas()); });
    }

    tbVista->addSeparator();
    accion("acCerrar", QStringLiteral("Cerrar"), "window-close", QStyle::SP_DialogCloseButton, {},
           [this] { accept(); });
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
    int nReporte = -1;
    for (const TEntradaEsquema& e : F_Reporte.Esquema()) {
        if (bVarios && e.nReporte != nReporte) {
            nReporte = e.nReporte;
            Raiz = new QTreeWidgetItem(trEsquema, {e.sReporte});
            Raiz->setData(0, Qt::UserRole, e.nPagina + 1);
            Raiz->setExpanded(true);
        }
        auto* Elemento =
            Raiz ? new QTreeWidgetItem(Raiz, {e.sTexto}) : new QTreeWidgetItem(trEsquema, {e.sTexto});
        Elemento->setData(0, Qt::UserRole, e.nPagina + 1);
    }
    trEsquema->expandAll();
    connect(trEsquema, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* i) { IrAPagina(i->data(0, Qt::UserRole).toInt()); });
    connect(trEsquema, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* i) { IrAPagina(i->data(0, Qt::UserRole).toInt()); });

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
    pvPaginas->setCurrentPage(std::clamp(nPagina, 1, TotalPaginas()));
    actualizaPagina();
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
    const bool bImprimir = DialogoImprimir ? DialogoImprimir(F_Impresora, this)
                                           : QPrintDialog(&F_Impresora, this).exec() == QDialog::Accepted;
    if (!bImprimir)
        return;
    F_Impresora.setDocName(F_Reporte.GetFileName());
    F_bImprimiendo = true;
    pvPaginas->print();
    F_bImprimiendo = false;
    F_Impresora.setPrintRange(QPrinter::AllPages);
    const int nPagina = PaginaActual();
    pvPaginas->updatePreview();
    IrAPagina(nPagina);
}

void TVistaPrevia::ConfiguraPagina()
{
    const bool bAceptar = DialogoConfigurarPagina
                              ? DialogoConfigurarPagina(F_Impresora, this)
                              : QPageSetupDialog(&F_Impresora, this).exec() == QDialog::Accepted;
    if (!bAceptar)
        return;
    F_Impresora.setFullPage(true);
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
        txBuscar->setText(QStringLiteral("No se encontró el texto."));
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
        txBuscar->clear();
    }
    pvPaginas->updatePreview();
    IrAPagina(F_Resaltado.nPagina >= 0 ? F_Resaltado.nPagina + 1 : nPagina);
    return !Hallazgos.empty();
}

void TVistaPrevia::ExportaPDF()
{
    if (TExportaPDF* e = F_Reporte.GetExportaPDF())
        e->ExportaInteractivo(F_Reporte, this);
}

void TVistaPrevia::PantallaCompleta(bool bActiva)
{
    if (bActiva)
        showFullScreen();
    else
        showMaximized();
}

void TVistaPrevia::FijaZoom(int nPorciento)
{
    nPorciento = std::clamp(nPorciento, 10, 800);
    pvPaginas->setZoomFactor(nPorciento / 100.0);
    if (cbZoom)
        cbZoom->setEditText(QStringLiteral("%1%").arg(nPorciento));
}
