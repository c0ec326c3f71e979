#pragma once

#include "reportengine/Reporte.h"

#include <QDialog>
#include <QPrinter>

#include <functional>

class QAction;
class QComboBox;
class QGraphicsView;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrintPreviewWidget;
class QTabWidget;
class QToolBar;
class QTreeWidget;

// Modal preview of a prepared report: printing, zoom, find, outline and thumbnails, page setup,
// page navigation, the quick PDF export and close. Pages are painted by the report itself.
class TVistaPrevia : public QDialog
{
    Q_OBJECT
public:
    explicit TVistaPrevia(TReporte& Reporte, QWidget* Padre = nullptr);
    ~TVistaPrevia() override;

    // Current page, from 1, and the number of pages.
    int PaginaActual() const;
    int TotalPaginas() const;
    QPrinter& Impresora() { return F_Impresora; }
    const TResaltado& Resaltado() const { return F_Resaltado; }

    // Print and page setup dialogs; true to go on. Empty means the real dialogs.
    std::function<bool(QPrinter&, QWidget*)> DialogoImprimir;
    std::function<bool(QPrinter&, QWidget*)> DialogoConfigurarPagina;

public slots:
    void IrAPagina(int nPagina);
    void Imprime();
    void ConfiguraPagina();
    // Finds sTexto (case ignored) after or before the current match, across all pages and
    // round; false when the report does not hold it.
    bool Busca(bool bAdelante = true);
    void ExportaPDF();
    void PantallaCompleta(bool bActiva);
    void FijaZoom(int nPorciento);
    // The line below the pages: search outcomes, notes of page setup, the file just written.
    // An empty text hides it.
    void MuestraMensaje(const QString& sTexto);

protected:
    void showEvent(QShowEvent* event) override;
    // Escape in full screen only leaves full screen; in the normal view it closes the preview.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QGraphicsView* vistaPaginas() const;
    // Scrolls the view so that rEnPagina (page units of prepared page nPagina, from 0) shows:
    // its top near the view's upper edge with bArriba, else just inside the view. A null
    // rectangle stands for the top of the sheet.
    void muestraEnVista(int nPagina, const QRectF& rEnPagina, bool bArriba);
    void muestraTexto(int nPagina, int nArea, int nInicio, int nLargo, bool bArriba);
    void creaBarra();
    void creaPanel();
    QWidget* creaLineaInferior();
    void actualizaPagina();
    void pinta(QPrinter* Impresora);

    TReporte& F_Reporte;
    QPrinter F_Impresora;
    TResaltado F_Resaltado;
    QToolBar* tbVista = nullptr;
    QPrintPreviewWidget* pvPaginas = nullptr;
    QTabWidget* tbPanel = nullptr;
    QTreeWidget* trEsquema = nullptr;
    QListWidget* lsMiniaturas = nullptr;
    QComboBox* cbZoom = nullptr;
    QLineEdit* edBuscar = nullptr;
    QLabel* txMensaje = nullptr;
    QAction* acPantallaCompleta = nullptr;
    QLabel* txPagina = nullptr;
    bool F_bActualizando = false;
    bool F_bImprimiendo = false;
    bool F_bMostrada = false;
    Qt::WindowStates F_EstadoVentana; // before full screen, to go back to it
};
