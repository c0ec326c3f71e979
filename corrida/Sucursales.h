#pragma once

#include "corrida/Consolidacion.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTemporaryDir;
struct TFormatoCsv;
class TEscritorDetalle;
class TGrupoSalidas;

struct TOpcionesConsolidacion
{
    QStringList Carpetas; // the branches' host folders, in report order
    QString sUsuario;     // one administrator key and password for all, or one per branch
    QString sPassw;
    QStringList Usuarios; // when not empty: per branch, in place of sUsuario / sPassw
    QStringList Passwords;
    // The ticks: "N:CLAVE" (the branch's number, from 1) or "carpeta=RUTA:CLAVE".
    QStringList Marcas;
    // Or the client keys to tick, per branch (a window's lists): used when not empty.
    QList<QStringList> MarcasPorSucursal;
    bool bDistintasEmpresas = false; // branches of different registrations or names are consolidated
    bool bConservaDetalle = false;   // the branches' detail rows are kept (on disk) for EscribeDetalle
    int nHilos = 0;                  // branches run side by side; 0: one per processor
    // Called from the branches' threads: a branch's step ("Preparando", "PEPs", "Respuestas",
    // "Detalle", "Lista", or the failure); and whether to go on (false stops every branch).
    std::function<void(int nSucursal, const QString& sPaso)> Avance;
    std::function<bool()> Continua;
    // Called on the calling thread about every 50 ms while the branches run (a window serves
    // its events there).
    std::function<void()> AlEsperar;
};

// The consolidation of several branch folders into one report: the folders are checked (none
// twice, whatever path, link or copy leads to its database), then every branch runs on a
// thread of its own with a registry and Jet session of its own (login, open sessions,
// detection, its ticks, every answer and the rows behind them, of which only the counts the
// combination needs are kept, and the rows themselves on disk when the details are to be
// written), then the branches' companies are compared, and the answers combined.
class TConsolidacion
{
public:
    TConsolidacion();
    ~TConsolidacion();
    TConsolidacion(const TConsolidacion&) = delete;
    TConsolidacion& operator=(const TConsolidacion&) = delete;

    // False and Error() when a folder, a tick or a branch failed, or the branches do not belong
    // together; nothing has been written then.
    bool Corre(const TOpcionesConsolidacion& Opciones);
    const QString& Error() const { return F_sError; }
    bool Detenida() const { return F_bDetenida; }
    // The failure was branches of different companies (Opciones.bDistintasEmpresas consolidates them).
    bool EmpresasDistintas() const { return F_bEmpresasDistintas; }

    const QList<TResultadoSucursal>& Sucursales() const { return F_Sucursales; }
    const TConsolidado& Consolidado() const { return F_Consolidado; }
    const QList<TDetalle>& Detalles() const { return F_Detalles; }

    // The union of the branches' detail rows (a first column names the branch), the per-branch
    // table and the index, into sCarpeta through Escritor as part of Grupo.
    bool EscribeDetalle(const QString& sCarpeta, TEscritorDetalle& Escritor, TGrupoSalidas& Grupo,
                        QString& sError);

private:
    bool revisaCarpetas(const QStringList& Carpetas);
    bool leeMarcas(const TOpcionesConsolidacion& o, QList<QStringList>& Marcas);
    bool revisaEmpresas(bool bDistintas);

    QList<TResultadoSucursal> F_Sucursales;
    TConsolidado F_Consolidado;
    QList<TDetalle> F_Detalles;
    std::unique_ptr<QTemporaryDir> F_Temporal; // the branches' detail rows
    QString F_sError;
    bool F_bDetenida = false;
    bool F_bEmpresasDistintas = false;
};

// The per-branch table as a CSV file's contents.
QByteArray CsvTablaSucursales(const TConsolidado& C, const TFormatoCsv& Formato);
