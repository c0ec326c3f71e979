#pragma once

#include "common/IILogErrores.h"
#include "data/IIConector.h"
#include "db/componentes/ConexionBD.h"

#include <memory>

// Base of the connectors. Each connector has its own database error handler.
class TConector : public IConector
{
public:
    TConector();

    // The interface slots dispatch to these, in this order of declaration.
    virtual void SetConecta(bool bConecta) override = 0;
    virtual bool GetConecta() override = 0;
    virtual void SetStrConexion(const QString& sStrConexion) override = 0;
    virtual QString GetStrConexion() override = 0;

protected:
    std::shared_ptr<ILogErrores> F_Errores;
};

// A connector that owns one connection component of class T.
template <class T> class TTipoConector : public TConector
{
public:
    TTipoConector() : F_Conector(std::make_unique<T>()) {}
    ~TTipoConector() override
    {
        try {
            F_Conector->SetConectado(false);
        } catch (...) {
        }
    }

    // The component; the caller borrows it.
    T* DameConector() const { return F_Conector.get(); }

    void SetConecta(bool bConecta) override;
    bool GetConecta() override { return F_Conector->Conectado(); }
    void SetStrConexion(const QString& s) override { F_Conector->SetCadenaConexion(s); }
    QString GetStrConexion() override { return F_Conector->CadenaConexion(); }

protected:
    std::unique_ptr<T> F_Conector;
};

// Connector for SQL Server databases.
class TConectSQLServer : public TTipoConector<TConexionBD>
{
public:
    TConectSQLServer();
};

// Connector for Access (Jet) database files: opened with exclusive share mode set on the
// component; the descriptor's string later asks "Mode=Share Deny None".
class TConectAccess : public TTipoConector<TConexionBD>
{
public:
    TConectAccess();
};

extern template class TTipoConector<TConexionBD>;
