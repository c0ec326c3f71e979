#pragma once

#include "questionnaire/CatalogoPreguntas.h"
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
    // The statement of the rows behind an answer (its detail), built by the answer's own builders
    // with the select list of the rows; empty for an answer given by hand.
    QString DameConsultaDetalle(const TPreguntaCatalogo& Pregunta);
    // For a top-ten answer: each upper-cased value (column Valor) and the client rows of its
    // detail that hold it (column Filas), as the answer ranks them; empty for other answers.
    QString DameConsultaConteoLista(const TPreguntaCatalogo& Pregunta);
    // The keys of the clients with operations in the period (column Clave), the public-general
    // client left out.
    QString DameConsultaClavesPeriodo();

protected:
    void LeeVersionSistema();

private:
    // The answer of a row of the question catalogue.
    QString respuesta(const TPreguntaCatalogo* Pregunta);
};

std::shared_ptr<IRepCuestionarioQRTZ> CreaRepCuestZIDU2019(TConexionBD* Conector,
                                                           const TCreaManejador& CreaManejador,
                                                           std::shared_ptr<IMensajero> Mensajero,
                                                           double dTCambio, int nNumEmp);
