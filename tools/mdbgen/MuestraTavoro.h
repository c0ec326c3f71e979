#pragma once

#include "tools/mdbgen/EscritorMdb.h"

#include <QString>

#include <cstdint>
#include <memory>

// Sample host folder of the exchange-house application: "Tavoro.INI" and
// "DataBase/Tavoro.mdb" with every table and column the program reads, filled with plausible,
// reproducible data (the same seed gives the same bytes).
struct TOpcionesMuestra
{
    int nOperaciones = 20000; // rows of tMovtos plus tProces
    std::uint64_t nSemilla = 20190101;
    int nAnios = 4;               // years of operations, ending with 2019
    int nClientes = 0;            // clients; 0: one per twelve operations (60 to 60,000)
    double dEnProceso = 1.0 / 12; // share of the folios kept in tProces
    // The exchange house and the city of this branch (one of the sample's cities).
    QString sEmpresa = QStringLiteral("CENTRO CAMBIARIO LA FRONTERA, S.A. DE C.V.");
    QString sRegistroCC = QStringLiteral("04512");
    QString sCiudadSucursal = QStringLiteral("TIJUANA");
};

namespace MuestraTavoro {
inline const QString kPassword = QStringLiteral("plovik"); // database password
inline const QString kUsuarioAdmin = QStringLiteral("ADMIN");
inline const QString kPasswordAdmin = QStringLiteral("ADMIN");
inline constexpr int kEmpresaActiva = 1;
} // namespace MuestraTavoro

// Builds the sample database in a writer (not yet saved); null and *psError on bad options.
std::unique_ptr<TEscritorMdb> CreaBaseMuestraTavoro(const TOpcionesMuestra& Opciones,
                                                    QString* psError = nullptr);

// Writes sCarpeta/Tavoro.INI and sCarpeta/DataBase/Tavoro.mdb (folders are created).
bool GeneraMuestraTavoro(const QString& sCarpeta, const TOpcionesMuestra& Opciones,
                         QString* psError = nullptr);
