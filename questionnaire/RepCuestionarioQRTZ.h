#pragma once

#include "data/TavoroBD.h"
#include "questionnaire/IIRepCuestionarioQRTZ.h"

#include <functional>
#include <memory>

class IManejadorReportes;
class IMensajero;

// Creates the report variable handler of a questionnaire, given the report name. The
// window binds it to the report template of its data module; tests and the command-line
// tool bind it to handlers of their own.
using TCreaManejador = std::function<std::shared_ptr<IManejadorReportes>(const QString& sNomRep)>;

// Error sentinel of an answer: a number outside the map, or an answer that could not be read.
inline const QString kRespuestaError = QStringLiteral("** E R R O R **");

// The first nPalabras words of a text, its blanks and line breaks made single blanks, with "…"
// when words were left out.
QString PrimerasPalabras(const QString& sTexto, int nPalabras = 12);

// Base of the questionnaires: detects the PEP candidates and walks the questions, asking the
// subclass for each answer's query, reading it and handing it to the report. One object serves
// one step: from its construction on, all it reads must come from one state of the host
// database, or the step fails instead of mixing two.
class TRepCuestionarioQRTZ : public TTavoroBD, public virtual IRepCuestionarioQRTZ
{
public:
    TRepCuestionarioQRTZ(TConexionBD* Conector, const TCreaManejador& CreaManejador, const QString& sNomRep,
                         std::shared_ptr<IMensajero> Mensajero, int nTotalPreg, int nNumEmp,
                         const QString& sFIni, const QString& sFFin);
    ~TRepCuestionarioQRTZ() override;

    bool DetectaPEPs(TTablaMemoria* vtPEPS) override;
    bool GeneraReporte(TTablaMemoria* vtPEPS) override;
    bool ValidaAcceso(const QString& sUsuario, const QString& sPassw, bool bSoloAdmins) override;
    bool UsuariosConectados() override;

    // Has the session read ahead, in the background, the tables the report's statements read,
    // so that a report asked for later finds them ready (the window starts it once the PEP list
    // is shown, while the user ticks). The statements are those of a report without ticks: the
    // ticks change no table a statement reads.
    void PrecargaReporte();

    // Answer text of a question: empty (answered by hand), the error sentinel, or one query
    // whose column Resultado holds the answer lines followed by one closing row.
    virtual QString DameRespuesta(int nPregunta) = 0;
    // Answer text of sub-item nInciso (1 to 6) of question 42 or 43.
    virtual QString DameRespuestaInciso(int nPregunta, int nInciso) = 0;

protected:
    // Runs an answer text and joins its rows; false for the sentinel, a failed query or a
    // result without rows.
    bool PideResultado(const QString& sConsulta, QString& sResultado);
    // Whether the host database is still the one found when this object (one step) was built;
    // when not, the "BD-101" box says so and the result is false.
    bool MismaBaseDeDatos();
    // Writes each listed client's earliest record matching sCondicion, in a few words, into the
    // list's hidden field; Claves: the listed clients' keys, row by row.
    bool AgregaRegistrosPEP(TTablaMemoria* vtPEPS, const QStringList& Claves, const QString& sCondicion);

    std::shared_ptr<IMensajero> F_Mensajero;
    std::shared_ptr<IManejadorReportes> F_mjReportes;
    int F_nTotalPreguntas;
    QString F_sFIni; // MM/DD/YYYY
    QString F_sFFin; // MM/DD/YYYY
    QString F_sNumEmp;
    TTablaMemoria* F_vtPEPS = nullptr; // borrowed; set by GeneraReporte
};
