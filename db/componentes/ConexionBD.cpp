#include "db/componentes/ConexionBD.h"

#include "db/componentes/ErrorBD.h"

TConexionBD::~TConexionBD() = default;

void TConexionBD::SetConectado(bool bAbrir)
{
    if (!bAbrir) {
        F_Sesion.reset();
        return;
    }
    if (F_Sesion)
        return;
    const TCadenaConexion cadena(F_sCadena);
    // A later "Mode=" in the string overrides the share mode set on the component.
    TModoCompartir modo = F_Modo;
    const QString sModo = cadena.Valor(QStringLiteral("Mode")).trimmed();
    if (sModo.compare(QLatin1String("Share Deny None"), Qt::CaseInsensitive) == 0)
        modo = TModoCompartir::DenegarNinguno;
    else if (sModo.compare(QLatin1String("Share Exclusive"), Qt::CaseInsensitive) == 0)
        modo = TModoCompartir::Exclusivo;
    auto proveedor = CreaProveedor(cadena);
    F_Sesion = proveedor->Abre(cadena, modo);
    if (F_Aviso)
        F_Sesion->SetAviso(F_Aviso);
}

void TConexionBD::SetAviso(std::function<bool()> Aviso)
{
    F_Aviso = std::move(Aviso);
    if (F_Sesion)
        F_Sesion->SetAviso(F_Aviso);
}

ISesionBD& TConexionBD::Sesion()
{
    if (!F_Sesion)
        throw TErrorBD(QStringLiteral("EErrorBD"),
                       QStringLiteral("La operación no se permite si el objeto está cerrado."));
    return *F_Sesion;
}

void TConexionBD::IniciaPaso()
{
    if (F_Sesion)
        F_Sesion->IniciaPaso();
}

void TConexionBD::CompruebaPaso()
{
    if (F_Sesion)
        F_Sesion->CompruebaPaso();
}

void TConexionBD::TerminaPaso()
{
    if (F_Sesion)
        F_Sesion->TerminaPaso();
}

void TConexionBD::PrecargaTablas(const QStringList& Consultas)
{
    if (F_Sesion)
        F_Sesion->PrecargaTablas(Consultas);
}
