#pragma once

#include "common/IdInterfaz.h"

#include <QString>

class TConsultaBD;

// Query service: runs SQL texts and reports every database error with "BD-101".
class IConsultasSQL
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E23}"};
    virtual ~IConsultasSQL() = default;

    virtual bool PideConsulta(const QString& sConsulta, TConsultaBD& qQuery) = 0;
    virtual bool EjecutaConsulta(const QString& sConsulta, TConsultaBD& qQuery) = 0;
    virtual void LimpiaTabla(const QString& sNomTabla, const QString& sCondicion) = 0;
    virtual void InicializaTabla(const QString& sNomTabla) = 0;
    virtual void RespaldaBD(const QString& sRutaOrigen, const QString& sRutaDestino) = 0;
};
