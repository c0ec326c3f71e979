#pragma once

#include "common/InterfacedPadre.h"
#include "data/IIConsultasSQL.h"
#include "db/componentes/ConsultaBD.h"

#include <QDateTime>

#include <functional>
#include <memory>

class TConexionBD;

// Base of everything that reads the host database: one general query object bound to a
// borrowed connection; database errors become one "BD-101" box and a false result.
class TConsultasSQL : public TInterfacedPadre, public virtual IConsultasSQL
{
public:
    explicit TConsultasSQL(TConexionBD* Conector);
    ~TConsultasSQL() override;

    bool PideConsulta(const QString& sConsulta, TConsultaBD& qQuery) override;
    bool EjecutaConsulta(const QString& sConsulta, TConsultaBD& qQuery) override;
    void LimpiaTabla(const QString& sNomTabla, const QString& sCondicion) override;
    void InicializaTabla(const QString& sNomTabla) override;
    void RespaldaBD(const QString& sRutaOrigen, const QString& sRutaDestino) override;

    // PideConsulta for rows that are not kept: each row of sConsulta is handed to Fila as the
    // current row of qQuery (TConsultaBD::Recorre); Fila returning false stops the reading and
    // gives false. A database error is shown as PideConsulta shows it; then false.
    bool RecorreConsulta(const QString& sConsulta, TConsultaBD& qQuery,
                         const std::function<bool(const TConsultaBD&)>& Fila);

    // Clock of the backup names; tests replace it.
    static std::function<QDateTime()> Reloj;

protected:
    TConexionBD* F_Conector;                     // borrowed
    std::unique_ptr<TConsultaBD> F_qConsultaGen; // the general query object
};
