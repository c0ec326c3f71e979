#include "questionnaire/Preparacion.h"

#include "common/ArchivosHost.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"
#include "questionnaire/RepCuestQRTZ2019.h"

#include <QFileInfo>

namespace Preparacion {

QString RutaBD(const QString& sCarpeta)
{
    return ArchivosHost::ResuelveRuta(sCarpeta, QStringLiteral("DataBase/Tavoro.mdb"));
}

void ProtegeHost(const QString& sCarpeta)
{
    const QString sRuta = RutaBD(sCarpeta);
    ArchivosHost::ProtegeArchivo(sRuta);
    ArchivosHost::ProtegeCarpeta(QFileInfo(sRuta).absolutePath());
    ArchivosHost::ProtegeArchivo(ArchivosHost::ResuelveRuta(sCarpeta, QStringLiteral("Tavoro.INI")));
}

TFalla ConectaBD(const QString& sCarpeta, const TEnlaces& Enlaces, TConexionBD*& Conexion)
{
    ProtegeHost(sCarpeta);
    const QString sRuta = RutaBD(sCarpeta);
    if (!QFileInfo(sRuta).isFile())
        return TFalla::SinBaseDatos;
    if (Enlaces.AlConectar)
        Enlaces.AlConectar();
    IColectorConxs* Registro = Enlaces.Registro ? Enlaces.Registro : ColectorConexiones.get();
    if (!Registro)
        return TFalla::SinConexion;
    Registro->CreaBDPrinc(QFileInfo(sRuta).absoluteFilePath(), QString(), false);
    if (!Registro->Conecta(kNomBDPrincipal) || !Registro->DameAccessConex(kNomBDPrincipal, Conexion))
        return TFalla::SinConexion;
    if (Enlaces.Aviso)
        Conexion->SetAviso(Enlaces.Aviso);
    return Conexion->Conectado() ? TFalla::Ninguna : TFalla::SinConexion;
}

bool DameNumEmpresa(const QString& sCarpeta, int& nNumEmp)
{
    const QString sRuta = ArchivosHost::ResuelveRuta(sCarpeta, QStringLiteral("Tavoro.INI"));
    if (!QFileInfo(sRuta).isFile())
        return false;
    nNumEmp =
        ArchivosHost::LeeEnteroIni(sRuta, QStringLiteral("Control"), QStringLiteral("EmpresaActiva"), 0);
    return nNumEmp > 0;
}

TResultado AbreCuestionario(const QString& sCarpeta, const TCreaManejador& CreaManejador,
                            std::shared_ptr<IMensajero> Mensajero, const TEnlaces& Enlaces)
{
    TResultado r;
    r.Falla = ConectaBD(sCarpeta, Enlaces, r.Conexion);
    if (r.Falla != TFalla::Ninguna)
        return r;
    int nNumEmp = 0;
    if (!DameNumEmpresa(sCarpeta, nNumEmp)) {
        r.Falla = TFalla::SinNumEmpresa;
        return r;
    }
    r.Cuestionario =
        std::make_shared<TRepCuestZIDU2019>(r.Conexion, CreaManejador, std::move(Mensajero), 0.0, nNumEmp);
    return r;
}

bool Admite(TResultado& r, const QString& sUsuario, const QString& sPassw, const TEnlaces& Enlaces)
{
    if (!r.Cuestionario)
        return false;
    if (Enlaces.AlAdmitir)
        Enlaces.AlAdmitir();
    if (r.Cuestionario->UsuariosConectados())
        r.Falla = TFalla::UsuarioConectado;
    else if (!r.Cuestionario->ValidaAcceso(sUsuario, sPassw, true))
        r.Falla = TFalla::AccesoRechazado;
    if (r.Falla != TFalla::Ninguna)
        r.Cuestionario.reset();
    return r.Falla == TFalla::Ninguna;
}

TResultado PreparaCuestionario(const QString& sCarpeta, const QString& sUsuario, const QString& sPassw,
                               const TCreaManejador& CreaManejador, std::shared_ptr<IMensajero> Mensajero,
                               const TEnlaces& Enlaces)
{
    TResultado r = AbreCuestionario(sCarpeta, CreaManejador, std::move(Mensajero), Enlaces);
    if (r.Falla == TFalla::Ninguna)
        Admite(r, sUsuario, sPassw, Enlaces);
    return r;
}

} // namespace Preparacion
