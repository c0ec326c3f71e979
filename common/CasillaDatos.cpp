#include "common/CasillaDatos.h"

#include "common/TablaMemoria.h"

#include <QKeyEvent>

TCasillaDatos::TCasillaDatos(QWidget* parent) : QCheckBox(parent) {}

void TCasillaDatos::Enlaza(TTablaMemoria* Tabla, const QString& sCampo)
{
    if (F_Tabla)
        disconnect(F_Tabla, nullptr, this, nullptr);
    F_Tabla = Tabla;
    F_sCampo = sCampo;
    if (Tabla) {
        connect(Tabla, &TTablaMemoria::RegistroActualCambiado, this, &TCasillaDatos::muestraValor);
        connect(Tabla, &TTablaMemoria::FilasCambiadas, this, &TCasillaDatos::muestraValor);
        connect(Tabla, &TTablaMemoria::EstadoCambiado, this, &TCasillaDatos::muestraValor);
        connect(Tabla, &TTablaMemoria::DatosCambiados, this, [this](int nFila) {
            if (F_Tabla && nFila == F_Tabla->RegActual())
                muestraValor();
        });
    }
    muestraValor();
}

bool TCasillaDatos::hayRegistro() const
{
    return F_Tabla && F_Tabla->Activa() && F_Tabla->RegActual() >= 0 && F_Tabla->IndiceCampo(F_sCampo) >= 0;
}

void TCasillaDatos::muestraValor()
{
    const bool bMarcada = hayRegistro() && F_Tabla->ValorBool(F_sCampo);
    if (bMarcada != isChecked()) {
        // A change of the data is not a toggle by the user: no clicked or toggled handlers run.
        const QSignalBlocker bloqueo(this);
        setChecked(bMarcada);
    }
}

void TCasillaDatos::nextCheckState()
{
    if (!hayRegistro())
        return;
    F_Tabla->Edita();
    F_Tabla->SetValor(F_sCampo, !isChecked());
    setChecked(F_Tabla->ValorBool(F_sCampo));
}

void TCasillaDatos::RecibeCaracter(QChar cTecla)
{
    if (!hayRegistro())
        return;
    if (cTecla == QLatin1Char(' ') || cTecla == QLatin1Char('\b'))
        F_Tabla->Edita();
    else if (cTecla == QLatin1Char('\x1b') && F_Tabla->Estado() == TTablaMemoria::TEstado::Editando)
        F_Tabla->Cancela();
}

void TCasillaDatos::keyPressEvent(QKeyEvent* event)
{
    if (!event->text().isEmpty())
        RecibeCaracter(event->text().front());
    QCheckBox::keyPressEvent(event);
}
