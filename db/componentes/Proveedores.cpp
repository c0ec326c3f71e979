#include "db/componentes/ConexionBD.h"
#include "db/componentes/ErrorBD.h"
#include "db/jet/proveedor/ProveedorJet.h"
#include "db/odbc/ProveedorODBC.h"

std::function<std::unique_ptr<IProveedorBD>(const TCadenaConexion&)> ProveedorSustituto;

std::unique_ptr<IProveedorBD> CreaProveedor(const TCadenaConexion& Cadena)
{
    if (ProveedorSustituto) {
        if (auto p = ProveedorSustituto(Cadena))
            return p;
    }
    const QString sProveedor = Cadena.Valor(QStringLiteral("Provider")).trimmed();
    if (sProveedor.compare(QLatin1String("Microsoft.Jet.OLEDB.4.0"), Qt::CaseInsensitive) == 0)
        return std::make_unique<TProveedorJet>();
    if (sProveedor.compare(QLatin1String("SQLOLEDB.1"), Qt::CaseInsensitive) == 0 ||
        sProveedor.compare(QLatin1String("SQLOLEDB"), Qt::CaseInsensitive) == 0)
        return std::make_unique<TProveedorODBC>();
    if (sProveedor.isEmpty())
        throw TErrorBD(QStringLiteral("EErrorBD"),
                       QStringLiteral("La cadena de conexión no indica el proveedor (\"Provider=\")."));
    throw TErrorBD(QStringLiteral("EErrorBD"),
                   QStringLiteral("No se encuentra el proveedor especificado: %1").arg(sProveedor));
}
