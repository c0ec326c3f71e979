#pragma once

#include "questionnaire/RepCuestQRTZBasic.h"
#include "report/IIManejadorReportes.h"

// The 2019 questionnaire: which builders answer each question, with which codes.
class TRepCuestZIDU2019 : public TRepCuestQRTZBasic
{
public:
    // Reads the host version once; a failed read leaves 0 (texts without trusts).
    TRepCuestZIDU2019(TConexionBD* Conector, const TCreaManejador& CreaManejador,
                      std::shared_ptr<IMensajero> Mensajero, double dTCambio, int nNumEmp);

    QString DameRespuesta(int nPregunta) override;
    QString DameRespuestaInciso(int nPregunta, int nInciso) override;

protected:
    void LeeVersionSistema();

private:
    QString conteoClientes(std::uint8_t nCategoria, std::uint8_t nNacionalidad, bool bSinPEP);
};

std::shared_ptr<IRepCuestionarioQRTZ> CreaRepCuestZIDU2019(TConexionBD* Conector,
                                                           const TCreaManejador& CreaManejador,
                                                           std::shared_ptr<IMensajero> Mensajero,
                                                           double dTCambio, int nNumEmp);
