#include "common/ModeloTablaMemoria.h"

#include "common/TablaMemoria.h"

TModeloTablaMemoria::TModeloTablaMemoria(TTablaMemoria* Tabla, QList<TColumnaDatos> Columnas, QObject* parent)
    : QAbstractTableModel(parent), F_Tabla(Tabla), F_Columnas(std::move(Columnas))
{
    for (const auto& c : F_Columnas)
        F_nCampos << Tabla->IndiceCampo(c.sCampo);
    F_bActiva = Tabla->Activa();
    connect(Tabla, &TTablaMemoria::FilasCambiadas, this, &TModeloTablaMemoria::reinicia);
    connect(Tabla, &TTablaMemoria::EstadoCambiado, this, [this] {
        if (F_Tabla && F_Tabla->Activa() != F_bActiva)
            reinicia();
    });
    connect(Tabla, &TTablaMemoria::DatosCambiados, this, [this](int nFila) {
        if (nFila >= 0 && nFila < rowCount())
            emit dataChanged(index(nFila, 0), index(nFila, columnCount() - 1));
    });
    connect(Tabla, &QObject::destroyed, this, &TModeloTablaMemoria::reinicia);
}

void TModeloTablaMemoria::reinicia()
{
    beginResetModel();
    F_bActiva = F_Tabla && F_Tabla->Activa();
    endResetModel();
}

int TModeloTablaMemoria::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !F_Tabla || !F_Tabla->Activa())
        return 0;
    return F_Tabla->NumRegistros();
}

int TModeloTablaMemoria::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(F_Columnas.size());
}

QVariant TModeloTablaMemoria::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const int nCampo = F_nCampos.at(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant v = F_Tabla->ValorEn(index.row(), nCampo);
        if (nCampo >= 0 && F_Tabla->Campo(nCampo).Tipo == TTablaMemoria::TTipoCampo::Booleano && !v.isNull())
            return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return v.toString();
    }
    case Qt::EditRole:
        return F_Tabla->ValorEn(index.row(), nCampo);
    case Qt::TextAlignmentRole:
        return int(F_Columnas.at(index.column()).Alineacion.toInt());
    default:
        return QVariant();
    }
}

QVariant TModeloTablaMemoria::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < F_Columnas.size()) {
        if (role == Qt::DisplayRole)
            return F_Columnas.at(section).sTitulo;
        if (role == Qt::TextAlignmentRole)
            return int(F_Columnas.at(section).Alineacion.toInt());
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TModeloTablaMemoria::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
