#include "common/RejillaDatos.h"

#include "common/TablaMemoria.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

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
            p->save();
            F_Rejilla->AlDibujarCelda(*p, opt.rect, index, option.state & QStyle::State_HasFocus);
            p->restore();
        }
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
    setSelectionBehavior(QAbstractItemView::SelectItems);
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

    // A disabled grid keeps its white face and black text.
    QPalette p = palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
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

void TRejillaDatos::keyPressEvent(QKeyEvent* event)
{
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
