#include "data/ColectorConxs.h"

#include "data/Conectores.h"
#include "data/Conexion.h"

std::shared_ptr<IColectorConxs> ColectorConexiones;

TColectorConxs::~TColectorConxs()
{
    // Releasing the descriptors closes and frees their components.
    F_GpoConexiones.clear();
}

bool TColectorConxs::registra(const QString& sNomConect, std::shared_ptr<IConexion> Conexion)
{
    // The duplicate test comes after the connection attempt; a dropped descriptor closes its
    // connection when it goes.
    if (F_GpoConexiones.contains(sNomConect))
        return false;
    F_GpoConexiones.insert(sNomConect, std::move(Conexion));
    return true;
}

bool TColectorConxs::NuevaConexion(const QString& sNomConect, const QString& sStrConexion,
                                   TTipoMotorBD TipoMotor, bool bConectado)
{
    auto conexion = CreaConexion(TipoMotor);
    conexion->SetStrConexion(sStrConexion);
    conexion->SetConecta(bConectado);
    return registra(sNomConect, std::move(conexion));
}

bool TColectorConxs::NuevaConexion(const QString& sNomConect, const QString& sUsuario, const QString& sPassw,
                                   const QString& sBDNombre, const QString& sUbicacion,
                                   const QString& sInstancia, const QString& sPuerto, TTipoMotorBD TipoMotor,
                                   bool bConectado)
{
    auto conexion = CreaConexion(TipoMotor);
    conexion->SetUsuario(sUsuario);
    conexion->SetPassw(sPassw);
    conexion->SetBDNombre(sBDNombre);
    conexion->SetUbicacion(sUbicacion);
    conexion->SetInstancia(sInstancia);
    conexion->SetPuerto(sPuerto);
    conexion->SetConecta(bConectado);
    return registra(sNomConect, std::move(conexion));
}

bool TColectorConxs::Conecta(const QString& sNomConect)
{
    const auto it = F_GpoConexiones.constFind(sNomConect);
    if (it == F_GpoConexiones.constEnd())
        return false;
    if (!(*it)->GetConecta())
        (*it)->SetConecta(true);
    return (*it)->GetConecta();
}

void TColectorConxs::Desconecta(const QString& sNomConect)
{
    const auto it = F_GpoConexiones.constFind(sNomConect);
    if (it != F_GpoConexiones.constEnd())
        (*it)->SetConecta(false);
}

bool TColectorConxs::Conectado(const QString& sNomConect)
{
    const auto it = F_GpoConexiones.constFind(sNomConect);
    return it != F_GpoConexiones.constEnd() && (*it)->GetConecta();
}

void TColectorConxs::EliminaConex(const QString& sNomConect)
{
    const auto it = F_GpoConexiones.find(sNomConect);
    if (it == F_GpoConexiones.end())
        return;
    (*it)->SetConecta(false);
    F_GpoConexiones.erase(it);
}

void TColectorConxs::EliminaConexiones(const QString& sNomExcepto)
{
    const QStringList nombres = F_GpoConexiones.keys();
    for (const QString& sNombre : nombres) {
        if (sNombre != sNomExcepto)
            EliminaConex(sNombre);
    }
}

bool TColectorConxs::dameConex(const QString& sNomConect, TTipoMotorBD Tipo, TConexionBD*& Conector)
{
    const auto it = F_GpoConexiones.constFind(sNomConect);
    if (it == F_GpoConexiones.constEnd() || (*it)->GetTipoMotor() != Tipo)
        return false;
    auto* conector = dynamic_cast<TTipoConector<TConexionBD>*>((*it)->GetConector());
    if (!conector)
        return false;
    Conector = conector->DameConector();
    return true;
}

bool TColectorConxs::DameSQLConex(const QString& sNomConect, TConexionBD*& Conector)
{
    return dameConex(sNomConect, TTipoMotorBD::tmSQLServer, Conector);
}

bool TColectorConxs::DameAccessConex(const QString& sNomConect, TConexionBD*& Conector)
{
    return dameConex(sNomConect, TTipoMotorBD::tmAccess, Conector);
}

void TColectorConxs::CreaBDPrinc(const QString& sUbicacionBD, const QString& sPuerto, bool bConectado)
{
    if (F_GpoConexiones.contains(kNomBDPrincipal))
        return;
    NuevaConexion(kNomBDPrincipal, QString(), kPasswBDTavoro, QString(), sUbicacionBD, QString(), sPuerto,
                  TTipoMotorBD::tmAccess, bConectado);
}
