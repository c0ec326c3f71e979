#pragma once

#include "questionnaire/RepCuestionarioQRTZ.h"

#include <cstdint>

// Jet SQL text builders of the questionnaires. Each returns a new text that wraps the texts
// handed to it; none runs a query. The fragments are literal: their leading and trailing
// blanks are what separates the words of the composed text.
class TRepCuestQRTZBasic : public TRepCuestionarioQRTZ
{
public:
    // Period 01/01/2018 to 12/31/2018, 47 questions, report "Encuesta ZIDU 2019".
    TRepCuestQRTZBasic(TConexionBD* Conector, const TCreaManejador& CreaManejador,
                       std::shared_ptr<IMensajero> Mensajero, double dTCambio, int nNumEmp);

    // Hosts of a version above 29 keep trusts (column Fideicomiso of tCliente).
    bool ConFideicomisos() const { return F_VersionSist > 29.0; }
    double VersionSist() const { return F_VersionSist; }

    // Client side
    QString DameCampoPEP();
    QString DameConsultaClientes();
    QString DameConsultaEntidades();
    QString DameClientesConActividad();
    QString DameClientesConEntidad();
    QString DameClientesConRiesgo();
    // With bConClave the rows carry the client's key instead of the constant 0, and the folio and
    // date of each public-general operation (the rows behind a count); the counts are the same.
    QString AgrupaPorCliente(QString sConsulta, bool bConClave = false);
    // With bConClave the rows carry the client's key as Clave and the level again as NivelRiesgo.
    QString AgrupaPorClienteRiesgo(QString sConsulta, bool bConClave = false);
    QString FiltraPorRiesgo(QString sConsulta, std::uint8_t nRiesgo);
    QString FiltraPorCategoria(QString sConsulta, std::uint8_t nCategoria, std::uint8_t nNacionalidad,
                               bool bSinPEP);

    // Operations side
    QString DameValorCancelado(bool bCancelado);
    QString DameConsultaOperaciones(bool bCancelado);
    QString FiltraPorFechas(QString sFIni, QString sFFin);
    QString UneOpsConActividad(QString sConsulta);
    QString UneOpsConEntidad(QString sConsulta);
    QString UneOpsConRiesgo(QString sConsulta);
    QString DameTotalesPorDivisa(QString sFIni, QString sFFin);
    // The grouped operations that the totals per currency add up, each with its currency, under
    // the conditions the one-row summaries put on the totals (the rows behind 42 to 46).
    QString DameOperacionesDivisa(QString sFIni, QString sFFin, std::uint8_t nDivisa, std::uint8_t nPagare,
                                  std::uint8_t nTipo);
    void AgregaCondicion(QString& sWhere, QString sCondicion);
    void AgregaFiltroTipo(QString& sWhere, std::uint8_t nTipo);
    void AgregaFiltroDivisa(QString& sWhere, std::uint8_t nDivisa);
    void AgregaFiltroPagare(QString& sWhere, std::uint8_t nPagare);
    QString DameResumenSucursal(QString sFIni, QString sFFin, std::uint8_t nDivisa, std::uint8_t nPagare,
                                std::uint8_t nTipo);
    QString DameResumenEstado(QString sFIni, QString sFFin, std::uint8_t nDivisa, std::uint8_t nPagare,
                              std::uint8_t nTipo);
    QString DameSumaImporte(QString sFIni, QString sFFin, std::uint8_t nDivisa, std::uint8_t nPagare,
                            std::uint8_t nTipo);
    QString DameSumaCantidad(QString sFIni, QString sFFin, std::uint8_t nDivisa, std::uint8_t nPagare,
                             std::uint8_t nTipo);
    QString DameSumaOperaciones(QString sFIni, QString sFFin, std::uint8_t nDivisa, std::uint8_t nPagare,
                                std::uint8_t nTipo);
    QString DameEstadoEmpresa();
    // With bDetalle the alert records carry their kind, dates and client, and the internal
    // messages the same columns (the rows behind 22 and 23); the counts are the same.
    QString DameInusuales(QString sFIni, QString sFFin, bool bDetalle = false);
    QString DameInusualesReportadas(QString sFIni, QString sFFin, bool bDetalle = false);
    QString DamePreocupantes(QString sFIni, QString sFFin, bool bDetalle = false);
    QString DamePreocupantesReportadas(QString sFIni, QString sFFin, bool bDetalle = false);
    QString DameMensajesInternos(QString sFIni, QString sFFin, bool bDetalle = false);
    QString DameAlertasRegistradas(QString sFIni, QString sFFin, bool bDetalle = false);
    QString DameAlertasReportadas(QString sFIni, QString sFFin, bool bDetalle = false);
    QString DameTopActividades(QString sConsulta, std::int8_t nTop);
    QString DameTopEstados(QString sConsulta, std::int8_t nTop);
    // The distinct (client, activity) and (client, state) pairs the top-ten lists count.
    QString DameClientesPorActividad(QString sConsulta);
    QString DameClientesPorEstado(QString sConsulta);
    QString DameConteo(QString sConsulta);
    QString DameConsultaConDefault(QString sConsulta, QString sDefault);

protected:
    void SetVersionSist(double dVersion) { F_VersionSist = dVersion; }

    double F_dTipoCambio;
    double F_VersionSist = 0;

private:
    // The operations of the period joined with their currency, as the totals read them.
    QString uneOpsConDivisas(const QString& sFIni, const QString& sFFin);
    QString dameResumen(const QString& sCabeza, const QString& sCola, const QString& sFIni,
                        const QString& sFFin, std::uint8_t nDivisa, std::uint8_t nPagare, std::uint8_t nTipo);
};
