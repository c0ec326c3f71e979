#pragma once

#include "common/IILogErrores.h"

#include <QMap>
#include <QString>

// One entry of an error catalogue.
struct TMsjError
{
    QString sMsjUsuario;
    QString sMsjLog; // kept with the entry; no operation reads it
    bool bMostrarMsj = true;
};

// Catalogue of error messages keyed by error code, shown in the program's one format:
// "Error #" code "." class ": " catalogue text " " additional text.
class TManejadorErrores : public ILogErrores
{
public:
    void MuestraError(const QString& sClaveErr, const QString& sNomClase,
                      const QString& sMsjAdicional) override;
    QString DameErrorMsj(const QString& sClaveErr, const QString& sMsjAdicional, bool bIncluyeClave) override;

protected:
    TManejadorErrores() = default;
    // Fills the catalogue. C++ cannot dispatch to a subclass from the base constructor, so
    // each concrete handler calls it at the end of its own constructor.
    virtual void CargaErrores() = 0;
    // Adds one entry; a code can be added once only.
    void AgregaError(const QString& sClave, const QString& sMsjUsuario, const QString& sMsjLog,
                     bool bMostrarMsj);

private:
    QMap<QString, TMsjError> F_ListaErrores;
};
