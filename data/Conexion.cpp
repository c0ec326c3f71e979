#include "data/Conexion.h"
#include "common/Texto.h"

#include "data/Conectores.h"

TConexion::TConexion(TTipoMotorBD TipoMotorBD) : F_TipoMotorBD(TipoMotorBD)
{
    if (TipoMotorBD == TTipoMotorBD::tmSQLServer)
        F_Conector = std::make_shared<TConectSQLServer>();
    else
        F_Conector = std::make_shared<TConectAccess>();
}

TConector* TConexion::GetConector()
{
    return dynamic_cast<TConector*>(F_Conector.get());
}

void TConexion::SetConecta(bool bConecta)
{
    if (bConecta) {
        F_bConectado = AbreConexion();
    } else {
        CierraConexion();
        F_bConectado = false;
    }
}

bool TConexion::HayDatosConexion() const
{
    for (const QString* s :
         {&F_sUsuario, &F_sPassw, &F_sBDNombre, &F_sUbicacion, &F_sInstancia, &F_sPuerto}) {
        if (!EsBlanco(*s))
            return true;
    }
    return false;
}

bool TConexion::ArmaStrConexion()
{
    if (!HayDatosConexion())
        return false;
    F_sSrtConexion = F_TipoMotorBD == TTipoMotorBD::tmSQLServer ? ArmaStrSQLServer() : ArmaStrAccess();
    return true;
}

QString TConexion::ArmaStrSQLServer() const
{
    QString s = QStringLiteral("Provider=SQLOLEDB.1;Password=") + F_sPassw +
                QStringLiteral(";Persist Security Info=True;") + QStringLiteral("User ID=") + F_sUsuario +
                QStringLiteral(";Initial Catalog=") + F_sBDNombre + QStringLiteral(";Data Source=") +
                F_sUbicacion;
    if (!EsBlanco(F_sInstancia))
        s += QStringLiteral("\\") + F_sInstancia;
    if (!F_sPuerto.isEmpty())
        s += QStringLiteral(",") + F_sPuerto;
    return s;
}

QString TConexion::ArmaStrAccess() const
{
    QString s = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + F_sUbicacion +
                QStringLiteral(";Persist Security Info=True") + QStringLiteral(";Mode=Share Deny None");
    if (!EsBlanco(F_sPassw))
        s += QStringLiteral(";Jet OLEDB:Database Password=") + F_sPassw;
    return s;
}

bool TConexion::AbreConexion()
{
    if (F_sSrtConexion.isEmpty() && !ArmaStrConexion())
        return false;
    F_Conector->SetStrConexion(F_sSrtConexion);
    F_Conector->SetConecta(true);
    return F_Conector->GetConecta();
}

void TConexion::CierraConexion()
{
    F_Conector->SetConecta(false);
}
