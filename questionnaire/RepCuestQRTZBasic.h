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
    QString AgrupaPorCliente(QString sConsulta);
    QString AgrupaPorClienteRiesgo(QString sConsulta);
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
    QString DameInusuales(QString sFIni, QString sFFin);
    QString DameInusualesReportadas(QString sFIni, QString sFFin);
    QString DamePreocupantes(QString sFIni, QString sFFin);
    QString DamePreocupantesReportadas(QString sFIni, QString sFFin);
    QString DameMensajesInternos(QString sFIni, QString sFFin);
    QString DameAlertasRegistradas(QString sFIni, QString sFFin);
    QString DameAlertasReportadas(QString sFIni, QString sFFin);
    QString DameTopActividades(QString sConsulta, std::int8_t nTop);
    QString DameTopEstados(QString sConsulta, std::int8_t nTop);
    QString DameConteo(QString sConsulta);
    QString DameConsultaConDefault(QString sConsulta, QString sDefault);

protected:
    void SetVersionSist(double dVersion) { F_VersionSist = dVersion; }

    double F_dTipoCambio;
    double F_VersionSist = 0;

private:
    QString dameResumen(const QString& sCabeza, const QString& sCola, const QString& sFIni,
                        const QString& sFFin, std::uint8_t nDivisa, std::uint8_t nPagare, std::uint8_t nTipo);
};
