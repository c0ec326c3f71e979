#pragma once

#include "common/TablaMemoria.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

// A column shown from an in-memory table: its field, title, width in pixels and alignment.
struct TColumnaDatos
{
    QString sCampo;
    QString sTitulo;
    int nAncho = 64;
    Qt::Alignment Alineacion = Qt::AlignLeft | Qt::AlignVCenter;
};

// Read-only item model over an in-memory table: one row per table row, in table order, with
// the pending values of the row being edited. A closed table shows no rows.
class TModeloTablaMemoria : public QAbstractTableModel
{
    Q_OBJECT
public:
    TModeloTablaMemoria(TTablaMemoria* Tabla, QList<TColumnaDatos> Columnas, QObject* parent = nullptr);

    TTablaMemoria* Tabla() const { return F_Tabla; }
    const TColumnaDatos& Columna(int nColumna) const { return F_Columnas.at(nColumna); }
    int IndiceCampo(int nColumna) const { return F_nCampos.at(nColumna); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void reinicia();

    QPointer<TTablaMemoria> F_Tabla;
    QList<TColumnaDatos> F_Columnas;
    QList<int> F_nCampos;
    bool F_bActiva = false;
};
