#include "common/InterfacedPadre.h"

TInterfacedPadre::TInterfacedPadre(std::shared_ptr<ILogErrores> LogErrores) : F_Errores(std::move(LogErrores))
{
}

void TInterfacedPadre::MuestraError(const QString& sClaveErr, const QString& sNomClase,
                                    const QString& sMsjAdicional)
{
    if (F_Errores)
        F_Errores->MuestraError(sClaveErr, sNomClase, sMsjAdicional);
}

QString TInterfacedPadre::DameErrorMsj(const QString& sClaveErr, const QString& sMsjAdicional,
                                       bool bIncluyeClave)
{
    if (!F_Errores)
        return QString();
    return F_Errores->DameErrorMsj(sClaveErr, sMsjAdicional, bIncluyeClave);
}
