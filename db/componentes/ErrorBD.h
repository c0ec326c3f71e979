#pragma once

#include <QString>

#include <stdexcept>

// Error raised by the database components and providers: a kind name (the class of the
// error, as "EErrorJet") and a message for the user; for a statement the engine rejected, the
// offset in the statement's text where it did (-1: none), and for developers the text of the
// engine below the provider (never shown to the user).
class TErrorBD : public std::runtime_error
{
public:
    TErrorBD(const QString& sClase, const QString& sMensaje, int nPosicion = -1, const QString& sDetalle = {})
        : std::runtime_error(sMensaje.toStdString()), F_sClase(sClase), F_sMensaje(sMensaje),
          F_nPosicion(nPosicion), F_sDetalle(sDetalle)
    {
    }
    const QString& Clase() const { return F_sClase; }
    const QString& Mensaje() const { return F_sMensaje; }
    int Posicion() const { return F_nPosicion; }
    const QString& Detalle() const { return F_sDetalle; }

private:
    QString F_sClase;
    QString F_sMensaje;
    int F_nPosicion;
    QString F_sDetalle;
};
