#pragma once

#include "data/IIConexion.h"

#include <memory>

class TConexionBD;

// Process-wide registry of named database connections.
class IColectorConxs
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E22}"};
    virtual ~IColectorConxs() = default;

    virtual bool NuevaConexion(const QString& sNomConect, const QString& sStrConexion, TTipoMotorBD TipoMotor,
                               bool bConectado) = 0;
    virtual bool NuevaConexion(const QString& sNomConect, const QString& sUsuario, const QString& sPassw,
                               const QString& sBDNombre, const QString& sUbicacion, const QString& sInstancia,
                               const QString& sPuerto, TTipoMotorBD TipoMotor, bool bConectado) = 0;
    virtual bool Conecta(const QString& sNomConect) = 0;
    virtual void Desconecta(const QString& sNomConect) = 0;
    virtual bool Conectado(const QString& sNomConect) = 0;
    virtual void EliminaConex(const QString& sNomConect) = 0;
    virtual void EliminaConexiones(const QString& sNomExcepto) = 0;
    virtual bool DameSQLConex(const QString& sNomConect, TConexionBD*& Conector) = 0;
    virtual bool DameAccessConex(const QString& sNomConect, TConexionBD*& Conector) = 0;
    virtual void CreaBDPrinc(const QString& sUbicacionBD, const QString& sPuerto, bool bConectado) = 0;
};

// The process-wide registry: created at start-up right after the application object,
// released after the event loop ends.
extern std::shared_ptr<IColectorConxs> ColectorConexiones;
