#include "data/TavoroBD.h"

#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"

namespace {

// Doubles every apostrophe, so a typed text stays one string literal of the statement.
QString literal(const QString& s)
{
    QString r = s;
    r.replace(QLatin1Char('\''), QLatin1String("''"));
    return r;
}

} // namespace

TTavoroBD::TTavoroBD(TConexionBD* Conector)
    : TConsultasSQL(Conector), F_bConectado(Conector && Conector->Conectado())
{
}

TTavoroBD::TTavoroBD(const QString& sRutaTavoro, const QString& sIDNomBD)
    : TTavoroBD(sIDNomBD, registraPropia(sRutaTavoro, sIDNomBD))
{
}

TTavoroBD::TTavoroBD(const QString& sRutaTavoro) : TTavoroBD(sRutaTavoro, QString()) {}

TTavoroBD::TTavoroBD(const QString& sIDNomBD, TRegistro Registro)
    : TConsultasSQL(Registro.Conector), F_bConectado(Registro.bConectado), F_sIDNomBD(sIDNomBD),
      F_bRegistrada(Registro.bRegistrada)
{
}

TTavoroBD::TRegistro TTavoroBD::registraPropia(const QString& sRutaTavoro, const QString& sIDNomBD)
{
    TRegistro r;
    if (!ColectorConexiones)
        return r;
    const QString sNombre = QStringLiteral("Tavoro") + sIDNomBD;
    TConexionBD* conector = nullptr;
    r.bRegistrada =
        ColectorConexiones->NuevaConexion(sNombre, QString(), kPasswBDTavoro, QString(), sRutaTavoro,
                                          QString(), QString(), TTipoMotorBD::tmAccess, true);
    if (r.bRegistrada && ColectorConexiones->Conectado(sNombre) &&
        ColectorConexiones->DameAccessConex(sNombre, conector)) {
        r.bConectado = true;
        r.Conector = conector;
    }
    return r;
}

TTavoroBD::~TTavoroBD()
{
    // The general query object must not outlive a component this removal frees. Only the entry
    // this gateway added is removed: a name registered by someone else (a gateway whose name was
    // taken, or one built over a given connection) belongs to its owner, who may still use it.
    F_qConsultaGen->Cierra();
    if (F_bRegistrada && ColectorConexiones)
        ColectorConexiones->EliminaConex(QStringLiteral("Tavoro") + F_sIDNomBD);
}

bool TTavoroBD::ValidaAcceso(const QString& sUsuario, const QString& sPassw, bool bSoloAdmins)
{
    // The key is typed by the user: its apostrophes are doubled so that it can only ever be
    // compared, never change the statement.
    QString s = QStringLiteral("SELECT ClaveEmp, Password FROM tEmps WHERE UCASE(ClaveEmp) = '") +
                literal(sUsuario) + QStringLiteral("' ");
    if (bSoloAdmins)
        s += QStringLiteral("and Nivel = 0");
    if (!PideConsulta(s, *F_qConsultaGen))
        return false;
    if (F_qConsultaGen->EstaVacia()) {
        F_qConsultaGen->Cierra();
        return false;
    }
    F_qConsultaGen->Primero();
    const TValorBD vPassw = F_qConsultaGen->Campo(QStringLiteral("Password"));
    bool bValido;
    if (!vPassw.EsNulo() && vPassw.AsString() == sPassw)
        bValido = true;
    else
        bValido = vPassw.EsNulo();
    F_qConsultaGen->Cierra();
    return bValido;
}

bool TTavoroBD::UsuariosConectados()
{
    if (!PideConsulta(QStringLiteral("SELECT COUNT(1) as TotalConectados FROM tCompUsr "), *F_qConsultaGen))
        return true;
    bool bConectados = true;
    if (!F_qConsultaGen->EstaVacia()) {
        F_qConsultaGen->Primero();
        bConectados = F_qConsultaGen->Campo(QStringLiteral("TotalConectados")).AsInteger() != 0;
    }
    F_qConsultaGen->Cierra();
    return bConectados;
}

TEmpresa TTavoroBD::GetEmpresa()
{
    TEmpresa e;
    if (!PideConsulta(QStringLiteral("SELECT * FROM tEmpresa"), *F_qConsultaGen))
        return e;
    if (!F_qConsultaGen->EstaVacia()) {
        F_qConsultaGen->Primero();
        const auto lee = [this](const char* sColumna, QString& sCampo) {
            const TValorBD v = F_qConsultaGen->Campo(QString::fromLatin1(sColumna));
            if (!v.EsNulo())
                sCampo = v.AsString();
        };
        lee("Empresa", e.sRazonSocial);
        lee("RFC", e.sRFC);
        lee("RegistroCC", e.sRegistroQRTZ);
        lee("NumEmp", e.sNumEmpresa);
        lee("NomComercial", e.sNomComercial);
    }
    F_qConsultaGen->Cierra();
    return e;
}
