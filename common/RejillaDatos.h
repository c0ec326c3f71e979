#pragma once

#include "common/ModeloTablaMemoria.h"

#include <QTableView>

#include <functional>

class TTablaMemoria;

// Read-only data grid over an in-memory table. Its current row follows the table's cursor and
// moves it: selecting another row moves the cursor, which posts a pending edit. Vertical column
// lines only, no row indicator; Tab moves between columns; no editing, inserting or deleting.
class TRejillaDatos : public QTableView
{
    Q_OBJECT
public:
    explicit TRejillaDatos(QWidget* parent = nullptr);

    void Enlaza(TTablaMemoria* Tabla, QList<TColumnaDatos> Columnas);
    TTablaMemoria* Tabla() const;
    TModeloTablaMemoria* Modelo() const { return F_Modelo; }

    int NumColumnas() const;
    const TColumnaDatos& Columna(int nColumna) const;
    // Field of the current column; empty while there is no current cell.
    QString CampoSeleccionado() const;
    // Rectangle of a data cell without its column line, in viewport coordinates.
    QRect RectCelda(int nFila, int nColumna) const;

    void SetAltoFilas(int nAltoFila, int nAltoTitulos);
    void SetTitulos(const QFont& Fuente, const QColor& Color);
    QColor ColorLineas() const { return F_cLineas; }

    // Runs after the grid has drawn a data cell (rectangle without the column line, viewport
    // coordinates); bEnfocada: the current cell of a grid that has the focus.
    std::function<void(QPainter& Lienzo, const QRect& Celda, const QModelIndex& Indice, bool bEnfocada)>
        AlDibujarCelda;
    // Runs for every character typed while the grid has the focus, before the grid handles it;
    // setting the character to 0 keeps it from the grid.
    std::function<void(QChar& cTecla)> AlPresionarTecla;

signals:
    // The current column is changing; nColumna is the one being left.
    void SaleColumna(int nColumna);
    // The current cell has changed (row or column).
    void CeldaActualCambiada();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString&) override {}
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void sigueCursor();
    void ajustaBarra();

    TModeloTablaMemoria* F_Modelo = nullptr;
    QColor F_cLineas{0xC0, 0xC0, 0xC0};
    int F_nColumna = 0;
    bool F_bSiguiendo = false;
};
