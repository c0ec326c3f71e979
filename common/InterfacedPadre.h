#pragma once

#include "common/IIInterfacedPadre.h"

#include <memory>

// Base of the reference-counted service objects. Forwards the error operations to an
// optional error log; without one they do nothing.
class TInterfacedPadre : public virtual IInterfacedPadre
{
public:
    explicit TInterfacedPadre(std::shared_ptr<ILogErrores> LogErrores = nullptr);

    void MuestraError(const QString& sClaveErr, const QString& sNomClase,
                      const QString& sMsjAdicional) override;
    QString DameErrorMsj(const QString& sClaveErr, const QString& sMsjAdicional, bool bIncluyeClave) override;

protected:
    std::shared_ptr<ILogErrores> F_Errores;
};
