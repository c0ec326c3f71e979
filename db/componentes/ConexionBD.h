#pragma once

#include "db/componentes/ProveedorBD.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Connection component: takes a connection string, opens and closes on request and reports
// whether it is open. It never prompts for credentials. The provider is chosen by the
// string's "Provider=": "Microsoft.Jet.OLEDB.4.0" (Access files) or "SQLOLEDB.1" (SQL Server).
// A failed open or close throws TErrorBD (kind name and message).
class TConexionBD
{
public:
    TConexionBD() = default;
    ~TConexionBD();
    TConexionBD(const TConexionBD&) = delete;
    TConexionBD& operator=(const TConexionBD&) = delete;

    void SetCadenaConexion(const QString& s) { F_sCadena = s; }
    const QString& CadenaConexion() const { return F_sCadena; }
    // Whether to ask the user for credentials; the component never does, whatever is set.
    void SetPideLogin(bool b) { F_bPideLogin = b; }
    bool PideLogin() const { return F_bPideLogin; }
    void SetModo(TModoCompartir m) { F_Modo = m; }
    TModoCompartir Modo() const { return F_Modo; }

    void SetConectado(bool bAbrir);
    bool Conectado() const { return F_Sesion != nullptr; }

    // The open session; throws TErrorBD when the component is closed.
    ISesionBD& Sesion();

    // The steps of the open session (nothing when closed); CompruebaPaso throws TErrorBD.
    void IniciaPaso();
    void CompruebaPaso();
    void TerminaPaso();

    // The hook the open session, and every session opened later, calls during long work
    // (ISesionBD::SetAviso); an empty function removes it.
    void SetAviso(std::function<bool()> Aviso);
    const std::function<bool()>& Aviso() const { return F_Aviso; }

    // Has the open session read ahead the tables of statements to come (ISesionBD::PrecargaTablas);
    // nothing when closed. Never throws.
    void PrecargaTablas(const QStringList& Consultas);

private:
    QString F_sCadena;
    bool F_bPideLogin = true;
    TModoCompartir F_Modo = TModoCompartir::Desconocido;
    std::unique_ptr<ISesionBD> F_Sesion;
    std::function<bool()> F_Aviso;
};

// The provider named by a connection string; throws TErrorBD for an unknown one.
std::unique_ptr<IProveedorBD> CreaProveedor(const TCadenaConexion& Cadena);

// Tests may put a provider of their own before the real ones: when set and it returns a
// provider for a string, that provider is used.
extern std::function<std::unique_ptr<IProveedorBD>(const TCadenaConexion&)> ProveedorSustituto;
