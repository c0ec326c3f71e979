#pragma once

#include "common/IdInterfaz.h"

#include <QString>

// A connector: owns a connection component and opens and closes it.
class IConector
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E20}"};
    virtual ~IConector() = default;

    virtual void SetStrConexion(const QString& sStrConexion) = 0;
    virtual QString GetStrConexion() = 0;
    virtual void SetConecta(bool bConecta) = 0;
    virtual bool GetConecta() = 0;
};
