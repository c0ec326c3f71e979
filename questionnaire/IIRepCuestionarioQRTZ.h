#pragma once

#include "common/IdInterfaz.h"

#include <QString>

class TTablaMemoria;

// A questionnaire over the host database: PEP detection, the answers and their report, and
// the two checks the window makes before either.
class IRepCuestionarioQRTZ
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E31}"};
    virtual ~IRepCuestionarioQRTZ() = default;

    // Fills the PEP review table (IdPEP, ClaveCliente, Nombre, EsPEP); false when the
    // detection query could not run.
    virtual bool DetectaPEPs(TTablaMemoria* vtPEPS) = 0;
    // Computes every answer with the ticks of vtPEPS, fills the report and shows it; true
    // when every answer was read.
    virtual bool GeneraReporte(TTablaMemoria* vtPEPS) = 0;
    virtual bool ValidaAcceso(const QString& sUsuario, const QString& sPassw, bool bSoloAdmins) = 0;
    virtual bool UsuariosConectados() = 0;
};
