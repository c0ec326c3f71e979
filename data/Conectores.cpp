#include "data/Conectores.h"

#include "data/ErroresBD.h"
#include "data/NombreClase.h"
#include "db/componentes/ErrorBD.h"

TConector::TConector() : F_Errores(CreaErroresBD())
{
}

template <class T> void TTipoConector<T>::SetConecta(bool bConecta)
{
    // A failure to open or close is shown once with the connector's class name and never
    // reaches the caller; the component is left closed.
    QString sAdicional;
    try {
        F_Conector->SetConectado(bConecta);
        return;
    } catch (const TErrorBD& e) {
        sAdicional = e.Clase() + QStringLiteral(" - ") + e.Mensaje();
    } catch (const std::exception& e) {
        sAdicional = NombreClase(typeid(e)) + QStringLiteral(" - ") + QString::fromUtf8(e.what());
    }
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
