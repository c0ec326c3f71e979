#pragma once

#include "db/componentes/ProveedorBD.h"

// SQL Server through ODBC (unixODBC with the FreeTDS driver). The "SQLOLEDB.1" connection
// string is translated: "Data Source" server[\instance][,port], "Initial Catalog",
// "User ID", "Password". Statements are passed through unchanged.
class TProveedorODBC : public IProveedorBD
{
public:
    std::unique_ptr<ISesionBD> Abre(const TCadenaConexion& Cadena, TModoCompartir Modo) override;

    // The ODBC connection string built from a "SQLOLEDB.1" string (exposed for tests).
    static QString CadenaODBC(const TCadenaConexion& Cadena);
};
