#pragma once

#include "db/componentes/ProveedorBD.h"

// SQL Server through ODBC (unixODBC with the FreeTDS driver). The "SQLOLEDB.1" connection
// string is translated: "Data Source" server[\instance][,port], "Initial Catalog",
// "User ID", "Password". Statements are passed through unchanged. Every call's return code
// is checked: a failure throws TErrorBD of kind "EErrorODBC" with the driver's diagnostics.
class TProveedorODBC : public IProveedorBD
{
public:
    std::unique_ptr<ISesionBD> Abre(const TCadenaConexion& Cadena, TModoCompartir Modo) override;

    // The ODBC connection string built from a "SQLOLEDB.1" string (exposed for tests).
    static QString CadenaODBC(const TCadenaConexion& Cadena);
    // A session over an ODBC connection string as it stands, with any driver: what Abre does
    // once the string is translated. The tests reach the row reader through it with the SQLite
    // ODBC driver, since no SQL Server can run here.
    static std::unique_ptr<ISesionBD> AbreODBC(const QString& sCadenaODBC);
};
