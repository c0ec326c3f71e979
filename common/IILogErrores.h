#pragma once

#include "common/IdInterfaz.h"

#include <QString>

// Error log: shows errors to the user in the program's one fixed format.
class ILogErrores
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E01}"};
    virtual ~ILogErrores() = default;

    virtual void MuestraError(const QString& sClaveErr, const QString& sNomClase,
                              const QString& sMsjAdicional) = 0;
    virtual QString DameErrorMsj(const QString& sClaveErr, const QString& sMsjAdicional,
                                 bool bIncluyeClave) = 0;
};
