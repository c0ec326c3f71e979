#include "corrida/Sucursal.h"

#include "common/IIMensajero.h"
#include "common/InterfacedPadre.h"
#include "common/TablaMemoria.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConsultaBD.h"
#include "questionnaire/TablaPEPs.h"
#include "report/IIManejadorReportes.h"

#include <QDir>
#include <QElapsedTimer>

using namespace Qt::StringLiterals;

namespace {

// Keeps each answer as the questionnaire sets it, with the time it took.
class TManejadorSucursal : public IManejadorReportes
{
public:
    TManejadorSucursal(TVariables& Variables, QList<QPair<QString, double>>& Tiempos,
                       const TOpcionesSucursal& o)
        : F_Variables(Variables), F_Tiempos(Tiempos), F_Opciones(o)
    {
        F_Reloj.start();
    }
    void AgregaDatoReporte(const QString&, const QString& sVariable, const QString& sDato) override
    {
        F_Variables.append({sVariable, sDato});
        F_Tiempos.append({sVariable, F_Reloj.nsecsElapsed() / 1000000.0});
        F_Reloj.restart();
        if (F_Opciones.AlResponder)
            F_Opciones.AlResponder(sVariable, sDato);
    }
    void MuestraReporte() override
    {
        if (F_Opciones.AlTerminar)
            F_Opciones.AlTerminar();
    }

private:
    TVariables& F_Variables;
    QList<QPair<QString, double>>& F_Tiempos;
    const TOpcionesSucursal& F_Opciones;
    QElapsedTimer F_Reloj;
};

// No message line and no pauses.
class TMensajeroMudo : public TInterfacedPadre, public IMensajero
{
public:
    void MsjEnTx(const QString&) override {}
    void MsjTxTemp(const QString&) override {}
    void MsjTxEspera(const QString&, bool) override {}
    void CampoObligatorio(QLabel*, QWidget*) override {}
    void SettxLabel(QLabel*) override {}
    void SetbDefColorAlerta(bool) override {}
    bool GetbDefColorAlerta() override { return true; }
};

} // namespace

QString MensajeFallaPreparacion(Preparacion::TFalla Falla, const QString& sCarpeta)
{
    using Preparacion::TFalla;
    switch (Falla) {
    case TFalla::Ninguna:
        break;
    case TFalla::SinBaseDatos:
        return u"La carpeta %1 no es la del Tavoro (no tiene %2)."_s.arg(
            QDir::toNativeSeparators(sCarpeta), QDir::toNativeSeparators(u"DataBase/Tavoro.mdb"_s));
    case TFalla::SinConexion:
        return u"No se pudo abrir la base de datos %1."_s.arg(
            QDir::toNativeSeparators(Preparacion::RutaBD(sCarpeta)));
    case TFalla::SinNumEmpresa:
        return u"No se pudo extraer el Número de la Empresa predeterminada."_s;
    case TFalla::UsuarioConectado:
        return u"Hay un usuario conectado a la BD. Cierre Tavoro antes de continuar."_s;
    case TFalla::AccesoRechazado:
        return u"La contraseña es incorrecta o, el usuario no tiene permisos de administrador."_s;
    }
    return {};
}

TSucursal::TSucursal(const QString& sCarpeta, TOpcionesSucursal Opciones)
    : F_sCarpeta(sCarpeta), F_Opciones(std::move(Opciones)), F_Registro(CreaColectorConxs())
{
    if (!F_Opciones.Mensajero)
        F_Opciones.Mensajero = std::make_shared<TMensajeroMudo>();
}

TSucursal::~TSucursal()
{
    // The questionnaire borrows the connection the registry owns: it goes first.
    F_Cuestionario.reset();
    F_Apertura.Cuestionario.reset();
    F_Registro.reset();
}

QString TSucursal::RutaBD() const
{
    return Preparacion::RutaBD(F_sCarpeta);
}

Preparacion::TEnlaces TSucursal::enlaces()
{
    Preparacion::TEnlaces Enlaces;
    Enlaces.Aviso = F_Opciones.Aviso;
    Enlaces.AlAdmitir = F_Opciones.AlAdmitir;
    Enlaces.Registro = F_Registro.get();
    return Enlaces;
}

bool TSucursal::Abre()
{
    if (F_Apertura.Cuestionario)
        return true;
    if (!QFileInfo(F_sCarpeta).isDir()) {
        F_sError = u"No existe la carpeta %1."_s.arg(QDir::toNativeSeparators(F_sCarpeta));
        return false;
    }
    auto Manejador = std::make_shared<TManejadorSucursal>(F_Variables, F_Tiempos, F_Opciones);
    F_Apertura = Preparacion::AbreCuestionario(
        F_sCarpeta, [Manejador](const QString&) { return Manejador; }, F_Opciones.Mensajero, enlaces());
    F_pConexion = F_Apertura.Conexion;
    if (F_Apertura.Falla != Preparacion::TFalla::Ninguna) {
        F_sError = MensajeFallaPreparacion(F_Apertura.Falla, F_sCarpeta);
        return false;
    }
    return true;
}

bool TSucursal::Prepara(const QString& sUsuario, const QString& sPassw)
{
    if (!Abre())
        return false;
    if (!Preparacion::Admite(F_Apertura, sUsuario.toUpper(), sPassw.toUpper(), enlaces())) {
        F_sError = MensajeFallaPreparacion(F_Apertura.Falla, F_sCarpeta);
        return false;
    }
    F_Cuestionario = F_Apertura.Cuestionario;
    F_vtPEPs = std::make_unique<TTablaMemoria>(CamposTablaPEPs());
    return true;
}

bool TSucursal::DetectaPEPs()
{
    if (F_Cuestionario && F_Cuestionario->DetectaPEPs(F_vtPEPs.get()))
        return true;
    F_sError = u"No fue posible detectar los PEPs. Llame a Soporte Técnico."_s;
    return false;
}

bool TSucursal::Marca(const QStringList& Claves)
{
    for (const QString& sClave : Claves) {
        bool bEncontrada = false;
        for (F_vtPEPs->Primero(); !F_vtPEPs->Fin(); F_vtPEPs->Siguiente()) {
            if (F_vtPEPs->ValorTextoOriginal(u"ClaveCliente"_s) == sClave) {
                F_vtPEPs->Edita();
                F_vtPEPs->SetValor(u"EsPEP"_s, true);
                F_vtPEPs->Publica();
                bEncontrada = true;
            }
        }
        if (!bEncontrada) {
            F_sError = u"El cliente %1 no está entre los PEPs detectados."_s.arg(sClave);
            return false;
        }
    }
    return true;
}

QList<TPEPCandidato> TSucursal::Candidatos() const
{
    QList<TPEPCandidato> l;
    if (!F_vtPEPs)
        return l;
    for (F_vtPEPs->Primero(); !F_vtPEPs->Fin(); F_vtPEPs->Siguiente())
        l.append({F_vtPEPs->ValorTextoOriginal(u"ClaveCliente"_s), F_vtPEPs->ValorTexto(u"Nombre"_s),
                  F_vtPEPs->ValorBool(u"EsPEP"_s)});
    return l;
}

bool TSucursal::GeneraReporte()
{
    F_Variables.clear();
    F_Tiempos.clear();
    if (F_Cuestionario && F_Cuestionario->GeneraReporte(F_vtPEPs.get()))
        return true;
    F_sError = u"No fue posible generar el reporte. Llame a Soporte Técnico."_s;
    return false;
}

const QList<TDetalle>& TSucursal::Detalles()
{
    // Built with the ticks as they are now (the PEP mark of each client row).
    if (F_Cuestionario)
        F_Detalles = DameDetalles(*F_Cuestionario);
    return F_Detalles;
}

TLecturaDetalle TSucursal::RecorreDetalle(const std::function<bool(int, const QVariantList&)>& Fila,
                                          const std::function<bool(int, int)>& Avance)
{
    return RecorreDetalle(Detalles(), Fila, Avance);
}

TLecturaDetalle TSucursal::RecorreDetalle(const QList<TDetalle>& Lista,
                                          const std::function<bool(int, const QVariantList&)>& Fila,
                                          const std::function<bool(int, int)>& Avance)
{
    if (!F_Cuestionario) {
        F_sError = u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s;
        return TLecturaDetalle::Fallida;
    }
    const TLecturaDetalle r = RecorreDetalles(*F_Cuestionario, F_pConexion, Lista, Fila, Avance);
    if (r == TLecturaDetalle::Fallida)
        F_sError = u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s;
    return r;
}

bool TSucursal::ConteoLista(const TPreguntaCatalogo& Pregunta, QMap<QString, qint64>& Conteo)
{
    TConsultaBD q(F_pConexion);
    if (F_Cuestionario && F_Cuestionario->RecorreConsulta(F_Cuestionario->DameConsultaConteoLista(Pregunta),
                                                          q, [&](const TConsultaBD& c) {
                                                              Conteo[c.Valor(0).AsString()] +=
                                                                  c.Valor(1).AsInteger();
                                                              return true;
                                                          }))
        return true;
    F_sError = u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s;
    return false;
}

bool TSucursal::ClavesPeriodo(QSet<QString>& Claves)
{
    TConsultaBD q(F_pConexion);
    if (F_Cuestionario && F_Cuestionario->RecorreConsulta(F_Cuestionario->DameConsultaClavesPeriodo(), q,
                                                          [&](const TConsultaBD& c) {
                                                              Claves.insert(c.Valor(0).AsString());
                                                              return true;
                                                          }))
        return true;
    F_sError = u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s;
    return false;
}

QString TSucursal::Valor(const QString& sVariable) const
{
    for (const auto& [s, v] : F_Variables)
        if (s == sVariable)
            return v;
    return {};
}

TEmpresa TSucursal::Empresa() const
{
    return F_Apertura.Cuestionario ? F_Apertura.Cuestionario->GetEmpresa() : TEmpresa();
}
