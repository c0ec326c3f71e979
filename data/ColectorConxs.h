#pragma once

#include "data/IIColectorConxs.h"

#include <QMap>

// Name of the main connection to the host database.
inline const QString kNomBDPrincipal = QStringLiteral("BDPrincipal");
// Jet database password of the host database.
inline const QString kPasswBDTavoro = QStringLiteral("plovik");

class TColectorConxs : public IColectorConxs
{
public:
    TColectorConxs() = default;
    ~TColectorConxs() override;

    bool NuevaConexion(const QString& sNomConect, const QString& sStrConexion, TTipoMotorBD TipoMotor,
                       bool bConectado) override;
    bool NuevaConexion(const QString& sNomConect, const QString& sUsuario, const QString& sPassw,
                       const QString& sBDNombre, const QString& sUbicacion, const QString& sInstancia,
                       const QString& sPuerto, TTipoMotorBD TipoMotor, bool bConectado) override;
    bool Conecta(const QString& sNomConect) override;
    void Desconecta(const QString& sNomConect) override;
    bool Conectado(const QString& sNomConect) override;
    void EliminaConex(const QString& sNomConect) override;
    void EliminaConexiones(const QString& sNomExcepto) override;
    bool DameSQLConex(const QString& sNomConect, TConexionBD*& Conector) override;
    bool DameAccessConex(const QString& sNomConect, TConexionBD*& Conector) override;
    void CreaBDPrinc(const QString& sUbicacionBD, const QString& sPuerto, bool bConectado) override;

private:
    bool registra(const QString& sNomConect, std::shared_ptr<IConexion> Conexion);
    bool dameConex(const QString& sNomConect, TTipoMotorBD Tipo, TConexionBD*& Conector);

    QMap<QString, std::shared_ptr<IConexion>> F_GpoConexiones;
};

inline std::shared_ptr<IColectorConxs> CreaColectorConxs()
{
    return std::make_shared<TColectorConxs>();
}
