#pragma once

#include "questionnaire/RepCuestQRTZ2019.h"

#include <QString>

#include <functional>
#include <memory>

class IColectorConxs;
class IMensajero;
class TConexionBD;

// What runs before either step, in the window and in the command-line tool alike: the host
// folder's database registered and opened as the main connection, the active company of the
// settings file, the questionnaire over both, and the two admission checks (nobody working in
// the host, an administrator's login). The callers word the failures for their users.
namespace Preparacion {

// Where the sequence stopped.
enum class TFalla
{
    Ninguna,
    SinBaseDatos,     // no DataBase/Tavoro.mdb in the folder
    SinConexion,      // the database did not open (the error handler has told the user)
    SinNumEmpresa,    // no settings file, or no active company above 0 in it
    UsuarioConectado, // somebody works in the host
    AccesoRechazado,  // wrong key or password, or not an administrator
};

// What a caller adds to the sequence; every member may stay empty.
struct TEnlaces
{
    // The database file is there and is about to be opened.
    std::function<void()> AlConectar;
    // Served during long database work (table loads, long statements); false stops the
    // statement under way. Empty: the work runs without it.
    std::function<bool()> Aviso;
    // The questionnaire exists; the admission checks come next.
    std::function<void()> AlAdmitir;
    // The registry the main connection goes into; empty: the process-wide one
    // (ColectorConexiones). Branches run side by side each have one of their own.
    IColectorConxs* Registro = nullptr;
};

// DataBase/Tavoro.mdb of the folder, found whatever the letter case of each part.
QString RutaBD(const QString& sCarpeta);
// Registers the folder's database, settings file and database folder as the host's files, which
// nothing this program writes may reach (ArchivosHost::ProtegeArchivo). ConectaBD does it; the
// callers that check their outputs before connecting do it first.
void ProtegeHost(const QString& sCarpeta);
// Registers the folder's database as the main connection, opens it and hands out its component.
TFalla ConectaBD(const QString& sCarpeta, const TEnlaces& Enlaces, TConexionBD*& Conexion);
// Active company number of the folder's Tavoro.INI; false unless it is above 0.
bool DameNumEmpresa(const QString& sCarpeta, int& nNumEmp);

struct TResultado
{
    TFalla Falla = TFalla::Ninguna;
    TConexionBD* Conexion = nullptr;
    // Only when nothing failed.
    std::shared_ptr<TRepCuestZIDU2019> Cuestionario;
};

// The sequence up to the questionnaire: database, company number, questionnaire; no admission
// check (the company's data can be read then).
TResultado AbreCuestionario(const QString& sCarpeta, const TCreaManejador& CreaManejador,
                            std::shared_ptr<IMensajero> Mensajero, const TEnlaces& Enlaces);
// The admission checks on a questionnaire opened by AbreCuestionario: nobody working in the host,
// an administrator's key and password. False and r.Falla otherwise (then r.Cuestionario is gone).
bool Admite(TResultado& r, const QString& sUsuario, const QString& sPassw, const TEnlaces& Enlaces);
// The whole sequence; the keys go as given (the window and the tool type them in upper case).
TResultado PreparaCuestionario(const QString& sCarpeta, const QString& sUsuario, const QString& sPassw,
                               const TCreaManejador& CreaManejador, std::shared_ptr<IMensajero> Mensajero,
                               const TEnlaces& Enlaces);

} // namespace Preparacion
