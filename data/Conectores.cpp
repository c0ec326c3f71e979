#include "data/Conectores.h"

#include "data/ErroresBD.h"
#include "data/NombreClase.h"

TConector::TConector() : F_Errores(CreaErroresBD()) {}

template <class T> void TTipoConector<T>::SetConecta(bool bConecta)
{
    // A failure to open or close is shown once with the connector's class name and never
    // reaches the caller; the component is left closed.
    QString sAdicional;
    if (EjecutaProtegido([&] { F_Conector->SetConectado(bConecta); }, sAdicional))
        return;
    F_Errores->MuestraError(QStringLiteral("BD-101"), NombreClaseDe(*this), sAdicional);
    try {
        F_Conector->SetConectado(false);
    } catch (...) {
    }
}

template class TTipoConector<TConexionBD>;

TConectSQLServer::TConectSQLServer()
{
    F_Conector->SetPideLogin(false);
}

TConectAccess::TConectAccess()
{
    F_Conector->SetPideLogin(false);
    F_Conector->SetModo(TModoCompartir::Exclusivo);
}
