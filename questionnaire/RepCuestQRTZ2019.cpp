#include "questionnaire/RepCuestQRTZ2019.h"

using namespace Qt::StringLiterals;

namespace {

// Questions 9 and 10 when no client other than the public-general one operated.
const QString kSinTop = u"NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL"_s;
// Start of the operations the top-ten lists look at.
const QString kInicioHistoria = u"01/01/1999"_s;

} // namespace

TRepCuestZIDU2019::TRepCuestZIDU2019(TConexionBD* Conector, const TCreaManejador& CreaManejador,
                                     std::shared_ptr<IMensajero> Mensajero, double dTCambio, int nNumEmp)
    : TRepCuestQRTZBasic(Conector, CreaManejador, std::move(Mensajero), dTCambio, nNumEmp)
{
    LeeVersionSistema();
}

void TRepCuestZIDU2019::LeeVersionSistema()
{
    if (!PideConsulta(u" SELECT NumVersion  FROM tSistema "_s, *F_qConsultaGen))
        return;
    if (!F_qConsultaGen->EstaVacia()) {
        F_qConsultaGen->Primero();
        F_VersionSist = F_qConsultaGen->Campo(u"NumVersion"_s).AsFloat();
    }
    F_qConsultaGen->Cierra();
}

QString TRepCuestZIDU2019::conteoClientes(std::uint8_t nCategoria, std::uint8_t nNacionalidad, bool bSinPEP)
{
    return DameConteo(
        FiltraPorCategoria(AgrupaPorCliente(UneOpsConActividad(FiltraPorFechas(F_sFIni, F_sFFin))),
                           nCategoria, nNacionalidad, bSinPEP));
}

QString TRepCuestZIDU2019::DameRespuesta(int nPregunta)
{
    switch (nPregunta) {
    case 9:
        return DameConsultaConDefault(DameTopActividades(FiltraPorFechas(kInicioHistoria, F_sFFin), 10),
                                      kSinTop);
    case 10:
        return DameConsultaConDefault(DameTopEstados(FiltraPorFechas(kInicioHistoria, F_sFFin), 10), kSinTop);
    case 22:
        return DameConteo(DameAlertasRegistradas(F_sFIni, F_sFFin));
    case 23:
        return DameConteo(DameAlertasReportadas(F_sFIni, F_sFFin));
    case 30: // the driver turns the count into NO / SI
    case 31:
        return conteoClientes(11, 0, false);
    case 32:
        return conteoClientes(1, 1, false);
    case 33:
        return conteoClientes(2, 1, false);
    case 34:
        return conteoClientes(1, 2, false);
    case 35:
        return conteoClientes(2, 2, false);
    case 36:
        return conteoClientes(9, 0, false);
    case 37:
        return conteoClientes(7, 0, false);
    case 38:
        return DameConteo(
            FiltraPorRiesgo(AgrupaPorClienteRiesgo(UneOpsConRiesgo(FiltraPorFechas(F_sFIni, F_sFFin))), 2));
    case 39:
        return conteoClientes(10, 0, true);
    case 44:
    case 45:
        return DameConsultaConDefault(DameResumenEstado(F_sFIni, F_sFFin, 0, 0, 2), u"0"_s);
    case 46:
        return DameConsultaConDefault(DameResumenSucursal(F_sFIni, F_sFFin, 0, 0, 2), u"0"_s);
    default:
        break;
    }
    // Answered by hand.
    if ((nPregunta >= 1 && nPregunta <= 8) || (nPregunta >= 11 && nPregunta <= 21) ||
        (nPregunta >= 24 && nPregunta <= 29) || nPregunta == 40 || nPregunta == 41 || nPregunta == 47)
        return QString();
    // 42 and 43 are answered by sub-item; anything else is outside the map.
    return kRespuestaError;
}

QString TRepCuestZIDU2019::DameRespuestaInciso(int nPregunta, int nInciso)
{
    std::uint8_t nTipo;
    if (nPregunta == 42)
        nTipo = 0; // purchases
    else if (nPregunta == 43)
        nTipo = 1; // sales
    else
        return kRespuestaError;

    QString s;
    switch (nInciso) {
    case 1:
        s = DameSumaOperaciones(F_sFIni, F_sFFin, 0, 0, nTipo);
        break;
    case 2:
        s = DameSumaImporte(F_sFIni, F_sFFin, 0, 0, nTipo);
        break;
    case 3:
        s = DameSumaOperaciones(F_sFIni, F_sFFin, 2, 2, nTipo);
        break;
    case 4:
        s = DameSumaCantidad(F_sFIni, F_sFFin, 2, 2, nTipo);
        break;
    case 5:
        s = DameSumaOperaciones(F_sFIni, F_sFFin, 3, 2, nTipo);
        break;
    case 6:
        s = DameSumaCantidad(F_sFIni, F_sFFin, 3, 2, nTipo);
        break;
    default:
        return kRespuestaError;
    }
    return DameConsultaConDefault(s, u"0"_s);
}

std::shared_ptr<IRepCuestionarioQRTZ> CreaRepCuestZIDU2019(TConexionBD* Conector,
                                                           const TCreaManejador& CreaManejador,
                                                           std::shared_ptr<IMensajero> Mensajero,
                                                           double dTCambio, int nNumEmp)
{
    return std::make_shared<TRepCuestZIDU2019>(Conector, CreaManejador, std::move(Mensajero), dTCambio,
                                               nNumEmp);
}
