#pragma once

#include "common/IdInterfaz.h"

#include <QString>

// The company record of the host database (first row of tEmpresa).
struct TEmpresa
{
    QString sRazonSocial;  // Empresa
    QString sRFC;          // RFC
    QString sRegistroQRTZ; // RegistroCC
    QString sNumEmpresa;   // NumEmp
    QString sNomComercial; // NomComercial
};

// Gateway to the host application's database.
class ITavoroBD
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E24}"};
    virtual ~ITavoroBD() = default;

    virtual bool GetConectado() = 0;
    virtual TEmpresa GetEmpresa() = 0;
    virtual bool ValidaAcceso(const QString& sUsuario, const QString& sPassw, bool bSoloAdmins) = 0;
    virtual bool UsuariosConectados() = 0;
};
