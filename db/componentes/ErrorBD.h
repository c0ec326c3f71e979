#pragma once

#include <QString>

#include <stdexcept>

// Error raised by the database components and providers: a kind name (the class of the
// error, as "EErrorJet") and a message for the user.
class TErrorBD : public std::runtime_error
{
public:
    TErrorBD(const QString& sClase, const QString& sMensaje)
        : std::runtime_error(sMensaje.toStdString()), F_sClase(sClase), F_sMensaje(sMensaje)
    {
    }
    const QString& Clase() const { return F_sClase; }
    const QString& Mensaje() const { return F_sMensaje; }

private:
    QString F_sClase;
    QString F_sMensaje;
};
