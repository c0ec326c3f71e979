#pragma once

#include "data/ConsultasSQL.h"
#include "data/IITavoroBD.h"

// Query service of the host database: administrator login, open sessions of the host
// application and the company record.
class TTavoroBD : public TConsultasSQL, public virtual ITavoroBD
{
public:
    // Over a given connection, which stays registered while the gateway lives.
    explicit TTavoroBD(TConexionBD* Conector);
    // Registers and opens its own connection "Tavoro" + suffix to the host database file.
    TTavoroBD(const QString& sRutaTavoro, const QString& sIDNomBD);
    explicit TTavoroBD(const QString& sRutaTavoro);
    ~TTavoroBD() override;

    bool GetConectado() override { return F_bConectado; }
    TEmpresa GetEmpresa() override;
    bool ValidaAcceso(const QString& sUsuario, const QString& sPassw, bool bSoloAdmins) override;
    bool UsuariosConectados() override;

    bool Conectado() { return GetConectado(); }
    TEmpresa Empresa() { return GetEmpresa(); }

private:
    struct TRegistro
    {
        bool bRegistrada = false; // this gateway added the registry entry
        bool bConectado = false;
        TConexionBD* Conector = nullptr;
    };
    TTavoroBD(const QString& sIDNomBD, TRegistro Registro);
    static TRegistro registraPropia(const QString& sRutaTavoro, const QString& sIDNomBD);

    bool F_bConectado = false;
    QString F_sIDNomBD;
    bool F_bRegistrada = false;
};
