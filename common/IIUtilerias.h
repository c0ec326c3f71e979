#pragma once

#include "common/IIInterfacedPadre.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QAbstractButton;
class IMjVentana;

// A parameterless callable, shared while a wrapper runs it.
using TProc = std::shared_ptr<std::function<void()>>;

// Program-wide helpers.
class IUtilerias : public virtual IInterfacedPadre
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E11}"};

    virtual QString DameDirProg() = 0;      // folder of the executable, with trailing separator
    virtual QString DameNomExeProg() = 0;   // file name of the executable
    virtual QString DameRutaCompProg() = 0; // full path of the executable
    virtual void MuestraForm(std::shared_ptr<IMjVentana> sFormulario) = 0;
    virtual void ProcesayEspera(TProc Proc) = 0;
    virtual void ProcesayEspera(TProc Proc, QAbstractButton* bnBoton) = 0;
    virtual void HazPausa(int nSegs) = 0; // milliseconds, serving the event loop
    // Verified conversion to the 8-bit code page; throws on failure. The result is
    // null-terminated (QByteArray keeps a terminating zero).
    virtual QByteArray StringToPAnsiChar(const QString& sStringVar) = 0;
};
