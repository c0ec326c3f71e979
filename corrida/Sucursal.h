#pragma once

#include "data/IITavoroBD.h"
#include "questionnaire/Detalle.h"
#include "questionnaire/Preparacion.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class IColectorConxs;
class IManejadorReportes;
class TTablaMemoria;

// Report variables in the order they were set.
using TVariables = QList<QPair<QString, QString>>;

struct TPEPCandidato
{
    QString sClave;
    QString sNombre;
    bool bMarcado = false;
};

// What a run adds to the setup sequence; every member may stay empty.
struct TOpcionesSucursal
{
    std::shared_ptr<IMensajero> Mensajero; // empty: no message line, no pauses
    // Served during long database work (Preparacion::TEnlaces::Aviso).
    std::function<bool()> Aviso;
    // The questionnaire exists; the admission checks come next.
    std::function<void()> AlAdmitir;
    // Receives each variable as the questionnaire sets it, after it is kept; and the end of the
    // answers (where the window shows its preview).
    std::function<void(const QString& sVariable, const QString& sValor)> AlResponder;
    std::function<void()> AlTerminar;
};

// One host folder's run, as the command-line tool and the consolidation of branches do it: a
// registry of connections and a Jet session of its own (so that branches can run side by side),
// the setup sequence, the detection of PEP candidates, the ticks by client key, the answers and
// the rows behind them. Each step returns false and leaves the reason, worded for the user, in
// Error(); a database error has also gone through the dialog service.
class TSucursal
{
public:
    explicit TSucursal(const QString& sCarpeta, TOpcionesSucursal Opciones = {});
    ~TSucursal();
    TSucursal(const TSucursal&) = delete;
    TSucursal& operator=(const TSucursal&) = delete;

    // The folder's database, settings file and company, without the admission checks: what a
    // window shows of a branch before it is run.
    bool Abre();
    // Abre, then nobody working in the host and an administrator's key and password (turned upper
    // case, as the window types them).
    bool Prepara(const QString& sUsuario, const QString& sPassw);
    bool DetectaPEPs();
    // Ticks the candidates with these keys (as read from the database); false naming the first
    // key that is not a candidate.
    bool Marca(const QStringList& Claves);
    bool GeneraReporte();
    // The rows behind every computed answer (RecorreDetalles), read from the branch's session;
    // or behind those of Detalles only (a part of Detalles()).
    TLecturaDetalle RecorreDetalle(const std::function<bool(int, const QVariantList&)>& Fila,
                                   const std::function<bool(int, int)>& Avance = {});
    TLecturaDetalle RecorreDetalle(const QList<TDetalle>& Detalles,
                                   const std::function<bool(int, const QVariantList&)>& Fila,
                                   const std::function<bool(int, int)>& Avance = {});

    // What the consolidation keeps of a branch's rows: the rows per value of a top-ten answer,
    // and the keys of the clients with operations in the period. False (and Error()) when the
    // statement failed.
    bool ConteoLista(const TPreguntaCatalogo& Pregunta, QMap<QString, qint64>& Conteo);
    bool ClavesPeriodo(QSet<QString>& Claves);

    const QString& Carpeta() const { return F_sCarpeta; }
    QString RutaBD() const;
    const QString& Error() const { return F_sError; }
    const TVariables& Variables() const { return F_Variables; }
    QString Valor(const QString& sVariable) const;
    QList<TPEPCandidato> Candidatos() const;
    const QList<TDetalle>& Detalles();
    TEmpresa Empresa() const;
    TConexionBD* Conexion() const { return F_pConexion; }
    TRepCuestZIDU2019* Cuestionario() const { return F_Cuestionario.get(); }
    TTablaMemoria* TablaPEPs() const { return F_vtPEPs.get(); }
    QList<QPair<QString, double>> Tiempos() const { return F_Tiempos; }

private:
    QString F_sCarpeta;
    TOpcionesSucursal F_Opciones;
    std::shared_ptr<IColectorConxs> F_Registro;
    TConexionBD* F_pConexion = nullptr;
    std::shared_ptr<TRepCuestZIDU2019> F_Cuestionario;
    std::unique_ptr<TTablaMemoria> F_vtPEPs;
    QList<TDetalle> F_Detalles;
    TVariables F_Variables;
    QList<QPair<QString, double>> F_Tiempos;
    QString F_sError;
    Preparacion::TResultado F_Apertura;
    Preparacion::TEnlaces enlaces();
};

// The message of a setup failure, as the tool and the consolidation word it.
QString MensajeFallaPreparacion(Preparacion::TFalla Falla, const QString& sCarpeta);
