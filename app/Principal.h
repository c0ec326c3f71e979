#pragma once

#include "common/IIMensajero.h"
#include "questionnaire/Preparacion.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class TCasillaDatos;
class TConexionBD;
class TRepCuestZIDU2019;
class IReloj;
class TdmMain;
class TFigura;
class TRejillaDatos;

// Caption of the main window and of the program's message boxes.
inline const QString kTituloPrograma = QStringLiteral("Cuestionario QRTZ 2019");

// Text of the instruction dialog: its paragraphs separated by CR CR LF.
const QString& TextoIndicaciones();

// The program's only window: administrator login, PEP detection, PEP marking and the report
// button. The data module must outlive it: the PEP list is bound to its table.
class TfrmPrincipal : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmPrincipal(TdmMain& dmMain, QWidget* parent = nullptr);

    // Shows or hides the notice that no PEP was detected, over the step-3 list.
    void MuestraIgnorar(bool bNoHayPEPs);
    // Initial state of the controls.
    void InicializaPantalla();
    // Prepares the floating check box of the PEP list.
    void PreparaChkBox();
    // The instruction dialog; true when the user answers "Sí".
    bool PreguntaIndicaciones();
    // Busy wrapper of the steps: wait cursor and Boton disabled while Trabajo runs; both are
    // restored also when Trabajo throws, and the error goes on to the caller.
    void EjecutaConEspera(const std::function<void()>& Trabajo, QAbstractButton* Boton);

    // True when the user key is blank; the user has then been told.
    bool FaltaUsuario();
    // Registers and opens the main connection to DataBase/Tavoro.mdb beside the program and
    // hands out its component.
    bool ConectaBD(TConexionBD*& Conexion);
    // Active company number of Tavoro.INI beside the program; false unless it is above 0.
    bool DameNumEmpresa(int& nNumEmp);

    // Folder of the program, with its trailing separator: where the host files are looked for.
    // Tests point it at a sample host folder.
    static std::function<QString()> CarpetaPrograma;
    // Clock of the window's status messenger (pauses, the clearing countdown, the flash of a
    // field); null: real time. Tests move it themselves.
    static std::shared_ptr<IReloj> RelojMensajero;
    // Whether the report's tables are loaded once the PEP list is shown, while the user ticks
    // (on; the window's benchmark turns it off to compare).
    static bool PrecargaReporte;

    // The two steps behind the buttons.
    void bnDetectaPEPsClick();
    void bnGenReporteClick();

    // Controls
    QLabel* Label1;
    TFigura* Shape1;
    QLabel* Label4;
    QLabel* txUsuario;
    QLineEdit* edUsuario;
    QLabel* txPassw;
    QLineEdit* edPassw;
    TFigura* Shape3;
    QLabel* Label9;
    QLabel* Label8;
    QPushButton* bnDetectaPEPs;
    TFigura* Shape4;
    QLabel* txPaso4;
    QLabel* Label7;
    TRejillaDatos* grdPEPs;
    QWidget* pnChkBox;
    TCasillaDatos* DBCheckBox;
    QWidget* pnIgnorar;
    QLabel* Label11;
    QLabel* txMensajes;
    QPushButton* bnGenReporte;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    TdmMain& F_dmMain;
    // Status messenger of the window, bound to txMensajes.
    std::shared_ptr<IMensajero> _MensajeroForm;

private:
    void CreaControles();
    void FormCreate();
    void FormShow();
    void MuestraIndicaciones();
    void AvanzaConEnter(bool bAtras);
    // Runs a step in the busy wrapper; a step the user cancels by closing the window ends
    // there, and the window then closes.
    void EjecutaPaso(const std::function<void()>& Trabajo, QAbstractButton* Boton);

    bool EsColumnaPEP(const QString& sCampo) const;
    void grdPEPsDrawColumnCell(QPainter& Lienzo, const QRect& Celda, const QModelIndex& Indice,
                               bool bEnfocada, const QBrush& Fondo);
    // The floating box's panel takes the face of the row it covers.
    void pintaPanelCasilla();
    QString HintNombre(const QModelIndex& Indice) const;
    void PideColocarChkBox();
    void ColocaChkBox();
    void grdPEPsCellClick(const QModelIndex& Indice);
    void grdPEPsKeyPress(QChar& cTecla);
    void grdPEPsColExit(int nColumna);
    void DBCheckBoxClick();

    // What the window adds to the setup sequence: the progress line and event serving.
    Preparacion::TEnlaces enlacesPreparacion();
    std::shared_ptr<TRepCuestZIDU2019> PreparaCuestionario(bool bCursorNormal,
                                                           const std::function<void()>& AlRechazarAcceso);
    void ProcesaDetectaPEPs();
    void ProcesaGeneraReporte();

    bool F_bCentrada = false;
    // A step is running: a press of the other button is refused, so two steps never interleave.
    bool F_bPasoEnCurso = false;
    bool F_bColocacionPedida = false;
    // The user asked to close the window during a step and chose to cancel it.
    bool F_bCancelar = false;
    bool F_bPreguntandoCierre = false;
    QString F_sTextoMarcado;
    QString F_sTextoSinMarcar;
};
