#pragma once

#include "common/IdInterfaz.h"

#include <QString>

#include <memory>

class TReporte;

// Report variable handler: receives the questionnaire's answers as report variables and
// opens the preview of the filled report. The report object is the data module's; the
// handler only borrows it.
class IManejadorReportes
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E40}"};
    virtual ~IManejadorReportes() = default;

    // Sets variable sVariable of category sCategoria to the text sDato.
    virtual void AgregaDatoReporte(const QString& sCategoria, const QString& sVariable,
                                   const QString& sDato) = 0;
    // Shows the filled report; returns when the user closes the preview.
    virtual void MuestraReporte() = 0;
};

// Creates a handler over elReporte (borrowed, must outlive the handler) with the report name sNombre.
std::shared_ptr<IManejadorReportes> CreaManejadorReportes(TReporte* elReporte, const QString& sNombre);
