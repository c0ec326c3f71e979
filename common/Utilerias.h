#pragma once

#include "common/IIUtilerias.h"
#include "common/InterfacedPadre.h"

#include <cstdint>
#include <functional>

// Millisecond tick counter that wraps around at 2^32, as the system's tick count does.
using TFuenteTics = std::function<std::uint32_t()>;

class TUtilerias : public TInterfacedPadre, public IUtilerias
{
public:
    // Without a tick source the monotonic system clock is used; tests pass their own.
    explicit TUtilerias(std::shared_ptr<ILogErrores> LogErrores = nullptr, TFuenteTics Tics = nullptr);

    QString DameDirProg() override;
    QString DameNomExeProg() override;
    QString DameRutaCompProg() override;
    void MuestraForm(std::shared_ptr<IMjVentana> sFormulario) override;
    void ProcesayEspera(TProc Proc) override;
    void ProcesayEspera(TProc Proc, QAbstractButton* bnBoton) override;
    void HazPausa(int nSegs) override;
    QByteArray StringToPAnsiChar(const QString& sStringVar) override;

private:
    TFuenteTics F_Tics;
};

std::shared_ptr<IUtilerias> CreaUtilerias(std::shared_ptr<ILogErrores> LogErrores = nullptr);

// Application-wide cursors: the wait cursor, and back to the default one whatever was set before.
void PonCursorEspera();
void PonCursorNormal();

// Busy wrapper: wait cursor, bnBoton (may be null) disabled, pending events served once so both
// are painted, then Trabajo. Cursor and button are restored also when Trabajo throws; the error
// goes on to the caller.
void EjecutaOcupado(const std::function<void()>& Trabajo, QAbstractButton* bnBoton);
