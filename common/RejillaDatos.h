#pragma once

#include "common/ModeloTablaMemoria.h"

#include <QTableView>

#include <array>
#include <functional>
#include <optional>

class TTablaMemoria;

// Read-only data grid over an in-memory table. Its current row follows the table's cursor and
// moves it: selecting another row moves the cursor, which posts a pending edit. The current row
// shows selected across every column. Vertical column lines only, no row indicator; no editing,
// inserting or deleting. Tab moves to the next cell and, from the last one, on to the next
// control of the window (Shift+Tab likewise backwards from the first cell); Ctrl+Tab always
// leaves the grid.
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

    // Moves the current row as the key would in a list: Up, Down, Page Up, Page Down, Home
    // (first row) and End (last row); the column stays. False for any other key.
    bool MueveFila(int nTecla);
    // A control that floats over the grid and belongs to it (a check box over a cell): the
    // focus leaving the grid passes it by.
    void SetAnexo(QWidget* Anexo) { F_Anexo = Anexo; }

    // Runs after the grid has drawn a data cell (rectangle without the column line, viewport
    // coordinates); bEnfocada: the current cell of a grid that has the focus; Fondo: the face
    // the cell was drawn on (the selection's on the current row).
    std::function<void(QPainter& Lienzo, const QRect& Celda, const QModelIndex& Indice, bool bEnfocada,
                       const QBrush& Fondo)>
        AlDibujarCelda;
    // The hint of a data cell; empty: the grid's own hint.
    std::function<QString(const QModelIndex& Indice)> AlPedirHint;
    // The face of the current row's cells as the grid draws them now.
    QBrush FondoFilaActual() const;
    // The face of a row as the style paints it, selected or not, in an active window or not.
    QColor ColorFondo(bool bSeleccionada, bool bActiva) const;
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
    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void keyboardSearch(const QString&) override {}
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void sigueCursor();
    void ajustaBarra();
    // Hands the focus to the control before or after the grid in the window's order.
    void sale(bool bAdelante);

    TModeloTablaMemoria* F_Modelo = nullptr;
    QColor F_cLineas{0xC0, 0xC0, 0xC0};
    int F_nColumna = 0;
    bool F_bSiguiendo = false;
    QWidget* F_Anexo = nullptr;
    // ColorFondo's samples by (selected, active), taken once per palette and style.
    mutable std::array<std::optional<QColor>, 4> F_Fondos;
};
