#pragma once

#include "data/IIConector.h"

#include <cstdint>

class TConector;

// Engine kind of a connection descriptor.
enum class TTipoMotorBD : uint8_t
{
    tmSQLServer = 0,
    tmAccess = 1
};

// Connection descriptor: the parameters of one database connection and its string.
class IConexion : public IConector
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E21}"};

    virtual TTipoMotorBD GetTipoMotor() = 0;
    virtual TConector* GetConector() = 0; // borrowed
    virtual void SetUsuario(const QString& s) = 0;
    virtual QString GetUsuario() = 0;
    virtual void SetPassw(const QString& s) = 0;
    virtual QString GetPassw() = 0;
    virtual void SetBDNombre(const QString& s) = 0;
    virtual QString GetBDNombre() = 0;
    virtual void SetUbicacion(const QString& s) = 0;
    virtual QString GetUbicacion() = 0;
    virtual void SetInstancia(const QString& s) = 0;
    virtual QString GetInstancia() = 0;
    virtual void SetPuerto(const QString& s) = 0;
    virtual QString GetPuerto() = 0;
};
