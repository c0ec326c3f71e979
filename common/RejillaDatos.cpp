#include "common/RejillaDatos.h"

#include "common/TablaMemoria.h"

#include <algorithm>

#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {

// Draws the cell one pixel narrower, the column line in that pixel, then the grid's hook.
class TDelegadoRejilla : public QStyledItemDelegate
{
public:
    explicit TDelegadoRejilla(TRejillaDatos* Rejilla) : QStyledItemDelegate(Rejilla), F_Rejilla(Rejilla) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        opt.rect = option.rect.adjusted(0, 0, -1, 0);
        QStyledItemDelegate::paint(p, opt, index);
        p->save();
        p->setPen(F_Rejilla->ColorLineas());
        p->drawLine(option.rect.topRight(), option.rect.bottomRight());
        p->restore();
        if (F_Rejilla->AlDibujarCelda) {
            const QBrush Fondo = F_Rejilla->ColorFondo(option.state & QStyle::State_Selected,
                                                       option.state & QStyle::State_Active);
            p->save();
            F_Rejilla->AlDibujarCelda(*p, opt.rect, index, option.state & QStyle::State_HasFocus, Fondo);
            p->restore();
        }
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        const QString sHint = event->type() == QEvent::ToolTip && F_Rejilla->AlPedirHint && index.isValid()
                                  ? F_Rejilla->AlPedirHint(index)
                                  : QString();
        if (sHint.isEmpty())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QToolTip::showText(event->globalPos(), sHint, view->viewport());
        return true;
    }

private:
    TRejillaDatos* F_Rejilla;
};

} // namespace

TRejillaDatos::TRejillaDatos(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new TDelegadoRejilla(this));
    setShowGrid(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);

    // A disabled grid keeps its white face and black text. The sunken frame's lit sides (right
    // and bottom) take a grey that still shows on a white window.
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Light, QColor(0xB4, 0xB4, 0xB4));
    setPalette(p);
}

void TRejillaDatos::Enlaza(TTablaMemoria* Tabla, QList<TColumnaDatos> Columnas)
{
    auto* anterior = F_Modelo;
    F_Modelo = new TModeloTablaMemoria(Tabla, Columnas, this);
    setModel(F_Modelo);
    delete anterior;
    for (int i = 0; i < Columnas.size(); ++i)
        horizontalHeader()->resizeSection(i, Columnas[i].nAncho + 1); // plus the column line
    connect(Tabla, &TTablaMemoria::RegistroActualCambiado, this, &TRejillaDatos::sigueCursor);
    connect(F_Modelo, &QAbstractItemModel::modelReset, this, &TRejillaDatos::sigueCursor);
    connect(F_Modelo, &QAbstractItemModel::modelReset, this, &TRejillaDatos::ajustaBarra);
    ajustaBarra();
    sigueCursor();
}

void TRejillaDatos::ajustaBarra()
{
    // A grid without rows has nothing to scroll: it shows its titles and a blank face only.
    const bool bHayFilas = F_Modelo && F_Modelo->rowCount() > 0;
    setVerticalScrollBarPolicy(bHayFilas ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

TTablaMemoria* TRejillaDatos::Tabla() const
{
    return F_Modelo ? F_Modelo->Tabla() : nullptr;
}

int TRejillaDatos::NumColumnas() const
{
    return F_Modelo ? F_Modelo->columnCount() : 0;
}

const TColumnaDatos& TRejillaDatos::Columna(int nColumna) const
{
    return F_Modelo->Columna(nColumna);
}

QString TRejillaDatos::CampoSeleccionado() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? Columna(i.column()).sCampo : QString();
}

QRect TRejillaDatos::RectCelda(int nFila, int nColumna) const
{
    if (!F_Modelo)
        return QRect();
    return visualRect(F_Modelo->index(nFila, nColumna)).adjusted(0, 0, -1, 0);
}

void TRejillaDatos::SetAltoFilas(int nAltoFila, int nAltoTitulos)
{
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(nAltoFila);
    horizontalHeader()->setFixedHeight(nAltoTitulos);
}

void TRejillaDatos::SetTitulos(const QFont& Fuente, const QColor& Color)
{
    horizontalHeader()->setFont(Fuente);
    QPalette p = horizontalHeader()->palette();
    p.setColor(QPalette::ButtonText, Color);
    p.setColor(QPalette::WindowText, Color);
    horizontalHeader()->setPalette(p);
}

void TRejillaDatos::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        F_Fondos.fill(std::nullopt);
    QTableView::changeEvent(event);
}

QColor TRejillaDatos::ColorFondo(bool bSeleccionada, bool bActiva) const
{
    // The style paints a row's face (a flat colour, or a theme's tinted panel on Windows): a
    // sample of its middle gives the one colour that stands for it. Cells ask for it as they
    // are painted, so it is sampled once per palette and style.
    std::optional<QColor>& Guardado = F_Fondos[(bSeleccionada ? 2 : 0) + (bActiva ? 1 : 0)];
    if (Guardado)
        return *Guardado;
    QStyleOptionViewItem Opcion;
    initViewItemOption(&Opcion);
    Opcion.rect = QRect(0, 0, 48, 16);
    Opcion.state = QStyle::State_Enabled;
    if (bSeleccionada)
        Opcion.state |= QStyle::State_Selected;
    if (bActiva)
        Opcion.state |= QStyle::State_Active;
    Opcion.palette.setCurrentColorGroup(bActiva ? QPalette::Active : QPalette::Inactive);
    QImage Muestra(Opcion.rect.size(), QImage::Format_RGB32);
    Muestra.fill(palette().color(QPalette::Base));
    QPainter p(&Muestra);
    style()->drawPrimitive(QStyle::PE_PanelItemViewItem, &Opcion, &p, this);
    p.end();
    Guardado = Muestra.pixelColor(Opcion.rect.center());
    return *Guardado;
}

QBrush TRejillaDatos::FondoFilaActual() const
{
    const QModelIndex Actual = currentIndex();
    const bool bSeleccionada =
        Actual.isValid() && selectionModel() && selectionModel()->isRowSelected(Actual.row());
    return ColorFondo(bSeleccionada, isActiveWindow());
}

bool TRejillaDatos::MueveFila(int nTecla)
{
    if (!F_Modelo || F_Modelo->rowCount() == 0)
        return false;
    const QModelIndex Actual = currentIndex();
    const int nFilas = F_Modelo->rowCount();
    const int nFila = Actual.isValid() ? Actual.row() : 0;
    const int nAlto = std::max(1, verticalHeader()->defaultSectionSize());
    const int nPagina = std::max(1, viewport()->height() / nAlto - 1);
    int nNueva = nFila;
    switch (nTecla) {
    case Qt::Key_Up:
        nNueva = nFila - 1;
        break;
    case Qt::Key_Down:
        nNueva = nFila + 1;
        break;
    case Qt::Key_PageUp:
        nNueva = nFila - nPagina;
        break;
    case Qt::Key_PageDown:
        nNueva = nFila + nPagina;
        break;
    case Qt::Key_Home:
        nNueva = 0;
        break;
    case Qt::Key_End:
        nNueva = nFilas - 1;
        break;
    default:
        return false;
    }
    nNueva = std::clamp(nNueva, 0, nFilas - 1);
    const int nColumna = Actual.isValid() ? Actual.column() : 0;
    if (nNueva != nFila || !Actual.isValid())
        setCurrentIndex(F_Modelo->index(nNueva, nColumna));
    return true;
}

void TRejillaDatos::sale(bool bAdelante)
{
    // The window moves the focus from here on in its order; the floating control that belongs
    // to the grid is passed by (a bounded walk, so a chain that leads only back here ends).
    const auto enAnexo = [this] {
        const QWidget* Foco = window()->focusWidget();
        return F_Anexo && Foco && (Foco == F_Anexo || F_Anexo->isAncestorOf(Foco));
    };
    QAbstractScrollArea::focusNextPrevChild(bAdelante);
    for (int i = 0; i < 4 && enAnexo(); ++i)
        QAbstractScrollArea::focusNextPrevChild(bAdelante);
}

void TRejillaDatos::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    // Scrolling row by row, the view may stop with the row it was asked for cut at the bottom
    // edge; one row more shows it whole (and the floating box over it can show too).
    QScrollBar* Barra = verticalScrollBar();
    for (int i = 0; index.isValid() && i < 2 && visualRect(index).bottom() >= viewport()->height() &&
                    Barra->value() < Barra->maximum();
         ++i)
        Barra->setValue(Barra->value() + 1);
}

bool TRejillaDatos::focusNextPrevChild(bool next)
{
    // Tab and Shift+Tab walk the cells; past the last cell (before the first) the focus goes on
    // in the window's order instead of wrapping round.
    const QModelIndex Actual = currentIndex();
    if (F_Modelo && Actual.isValid() && F_Modelo->rowCount() > 0) {
        const bool bUltima =
            Actual.row() == F_Modelo->rowCount() - 1 && Actual.column() == F_Modelo->columnCount() - 1;
        const bool bPrimera = Actual.row() == 0 && Actual.column() == 0;
        if (next ? !bUltima : !bPrimera)
            return QTableView::focusNextPrevChild(next);
    }
    sale(next);
    return true;
}

void TRejillaDatos::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
        (event->modifiers() & Qt::ControlModifier)) {
        sale(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        event->accept();
        return;
    }
    if (AlPresionarTecla && !event->text().isEmpty()) {
        QChar cTecla = event->text().front();
        AlPresionarTecla(cTecla);
        if (cTecla.isNull()) {
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void TRejillaDatos::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (previous.isValid() && current.isValid() && current.column() != previous.column())
        emit SaleColumna(previous.column());
    if (current.isValid())
        F_nColumna = current.column();
    QTableView::currentChanged(current, previous);
    TTablaMemoria* tabla = Tabla();
    if (!F_bSiguiendo && tabla && current.isValid() && current.row() != tabla->RegActual())
        tabla->IrA(current.row());
    emit CeldaActualCambiada();
}

void TRejillaDatos::sigueCursor()
{
    TTablaMemoria* tabla = Tabla();
    if (!tabla || F_bSiguiendo)
        return;
    const int nFila = tabla->Activa() ? tabla->RegActual() : -1;
    if (nFila < 0 || nFila >= F_Modelo->rowCount())
        return;
    const QModelIndex actual = currentIndex();
    if (actual.isValid() && actual.row() == nFila)
        return;
    F_bSiguiendo = true;
    setCurrentIndex(F_Modelo->index(nFila, std::min(F_nColumna, F_Modelo->columnCount() - 1)));
    F_bSiguiendo = false;
}
