#pragma once

#include "corrida/Sucursal.h"

#include <QDateTime>
#include <QWidget>

#include <atomic>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TReporte;

// The consolidation window: the officer adds the Tavoro folder of each branch (folder dialog, a
// typed or shared-folder path, or dragged onto the window; each shown with its company,
// registration and database date), types an administrator's key and password once for all or
// per branch, has every branch checked (nobody working in it, the login) and its PEP candidates
// detected, ticks the real PEPs in each branch's list, and generates the consolidated report,
// shown in the report preview (print, PDF, "Exportar detalle…"). Every branch runs with its own
// connection; the host's files are only read.
class TfrmSucursales : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmSucursales(QWidget* parent = nullptr);
    ~TfrmSucursales() override;

    // Adds a branch folder; false (and a message) when it is no Tavoro folder or already there.
    bool AgregaCarpeta(const QString& sCarpeta);
    void QuitaSeleccionada();
    // Checks every branch and detects its PEP candidates; false when a branch failed (its row says
    // why).
    bool Revisa();
    // Runs the consolidation and shows the report; false when it did not (or was cancelled).
    bool Genera();

    // Runs when the consolidated report's preview is about to show (tests and screenshots).
    std::function<void(TReporte&)> AlMostrarReporte;
    // Where the consolidated PDF and its detail folder are proposed; null: the user's documents.
    std::function<QString()> CarpetaDocumentos;

    QTableWidget* grdSucursales;
    QPushButton* bnAgregar;
    QPushButton* bnQuitar;
    QLineEdit* edUsuario;
    QLineEdit* edPassw;
    QPushButton* bnRevisar;
    QTabWidget* tabPEPs;
    QPushButton* bnGenerar;
    QPushButton* bnCancelar;
    QLabel* txMensajes;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct TRama
    {
        QString sCarpeta;
        TEmpresa Empresa;
        QDateTime FechaBD;
        bool bRevisada = false;
        QTableWidget* Lista = nullptr; // its PEP candidates, in tabPEPs
    };

    void numeraFilas();
    void estado(int nFila, const QString& sTexto);
    void invalidaRevision();
    void ocupado(bool b);
    QString usuario(int nFila) const;
    QString password(int nFila) const;

    QList<TRama> F_Ramas;
    bool F_bOcupado = false;
    std::atomic<bool> F_bCancelar{false};
};
