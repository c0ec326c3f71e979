#pragma once

#include "data/IIConexion.h"

#include <memory>

// Connection descriptor: holds the parameters of one connection, builds its connection string
// and connects through its own connector.
class TConexion : public IConexion
{
public:
    explicit TConexion(TTipoMotorBD TipoMotorBD);

    // IConector: the string is the descriptor's own; the connector receives it on connecting.
    void SetStrConexion(const QString& s) override { F_sSrtConexion = s; }
    QString GetStrConexion() override { return F_sSrtConexion; }
    void SetConecta(bool bConecta) override;
    bool GetConecta() override { return F_bConectado; }

    TTipoMotorBD GetTipoMotor() override { return F_TipoMotorBD; }
    TConector* GetConector() override;
    void SetUsuario(const QString& s) override { F_sUsuario = s; }
    QString GetUsuario() override { return F_sUsuario; }
    void SetPassw(const QString& s) override { F_sPassw = s; }
    QString GetPassw() override { return F_sPassw; }
    void SetBDNombre(const QString& s) override { F_sBDNombre = s; }
    QString GetBDNombre() override { return F_sBDNombre; }
    void SetUbicacion(const QString& s) override { F_sUbicacion = s; }
    QString GetUbicacion() override { return F_sUbicacion; }
    void SetInstancia(const QString& s) override { F_sInstancia = s; }
    QString GetInstancia() override { return F_sInstancia; }
    void SetPuerto(const QString& s) override { F_sPuerto = s; }
    QString GetPuerto() override { return F_sPuerto; }

    bool HayDatosConexion() const;
    bool ArmaStrConexion();
    QString ArmaStrSQLServer() const;
    QString ArmaStrAccess() const;

private:
    bool AbreConexion();
    void CierraConexion();

    TTipoMotorBD F_TipoMotorBD;
    QString F_sSrtConexion;
    QString F_sUsuario;
    QString F_sPassw;
    QString F_sBDNombre;
    QString F_sUbicacion;
    QString F_sInstancia;
    QString F_sPuerto;
    bool F_bConectado = false;
    std::shared_ptr<IConector> F_Conector;
};

inline std::shared_ptr<IConexion> CreaConexion(TTipoMotorBD TipoMotorBD)
{
    return std::make_shared<TConexion>(TipoMotorBD);
}
