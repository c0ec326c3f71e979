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

QString TRepCuestZIDU2019::respuesta(const TPreguntaCatalogo* p)
{
    if (!p)
        return kRespuestaError; // outside the questionnaire
    const QString sPeriodo = FiltraPorFechas(F_sFIni, F_sFFin);
    // 42 purchases, 43 sales; 44 to 46 all operations.
    const std::uint8_t nTipo = p->nPregunta == 42 ? 0 : p->nPregunta == 43 ? 1 : 2;
    using C = TConstructorPregunta;
    switch (p->Constructor) {
    case C::AMano:
        return QString();
    case C::TopActividades:
        return DameConsultaConDefault(DameTopActividades(FiltraPorFechas(kInicioHistoria, F_sFFin), 10),
                                      kSinTop);
    case C::TopEstados:
        return DameConsultaConDefault(DameTopEstados(FiltraPorFechas(kInicioHistoria, F_sFFin), 10), kSinTop);
    case C::AlertasRegistradas:
        return DameConteo(DameAlertasRegistradas(F_sFIni, F_sFFin));
    case C::AlertasReportadas:
        return DameConteo(DameAlertasReportadas(F_sFIni, F_sFFin));
    case C::ConteoClientes:
        // 30: the driver turns the count into NO / SI.
        return DameConteo(FiltraPorCategoria(AgrupaPorCliente(UneOpsConActividad(sPeriodo)), p->nCodigo1,
                                             p->nCodigo2, p->bSinPEP));
    case C::ConteoRiesgo:
        return DameConteo(FiltraPorRiesgo(AgrupaPorClienteRiesgo(UneOpsConRiesgo(sPeriodo)), p->nCodigo1));
    case C::Operaciones: {
        const QString s = p->Medida == TMedidaDetalle::SumaImporte
                              ? DameSumaImporte(F_sFIni, F_sFFin, p->nCodigo1, p->nCodigo2, nTipo)
                          : p->Medida == TMedidaDetalle::SumaCantidad
                              ? DameSumaCantidad(F_sFIni, F_sFFin, p->nCodigo1, p->nCodigo2, nTipo)
                              : DameSumaOperaciones(F_sFIni, F_sFFin, p->nCodigo1, p->nCodigo2, nTipo);
        return DameConsultaConDefault(s, u"0"_s);
    }
    case C::ResumenEstado:
        return DameConsultaConDefault(DameResumenEstado(F_sFIni, F_sFFin, 0, 0, nTipo), u"0"_s);
    case C::ResumenSucursal:
        return DameConsultaConDefault(DameResumenSucursal(F_sFIni, F_sFFin, 0, 0, nTipo), u"0"_s);
    }
    return kRespuestaError;
}

QString TRepCuestZIDU2019::DameRespuesta(int nPregunta)
{
    // 42 and 43 are answered by sub-item.
    return respuesta(BuscaPregunta(nPregunta));
}

QString TRepCuestZIDU2019::DameRespuestaInciso(int nPregunta, int nInciso)
{
    if (nInciso < 1)
        return kRespuestaError;
    return respuesta(BuscaPregunta(nPregunta, nInciso));
}

QString TRepCuestZIDU2019::DameConsultaDetalle(const TPreguntaCatalogo& p)
{
    const QString sPeriodo = FiltraPorFechas(F_sFIni, F_sFFin);
    const std::uint8_t nTipo = p.nPregunta == 42 ? 0 : p.nPregunta == 43 ? 1 : 2;
    using C = TConstructorPregunta;
    switch (p.Constructor) {
    case C::AMano:
        return QString();
    case C::TopActividades:
        return u"SELECT AuxCvC AS Clave, Actividad FROM ("_s +
               DameClientesPorActividad(FiltraPorFechas(kInicioHistoria, F_sFFin)) +
               u") WHERE Actividad <> 'NO APLICA' "_s;
    case C::TopEstados:
        return u"SELECT AuxCvC AS Clave, Estado FROM ("_s +
               DameClientesPorEstado(FiltraPorFechas(kInicioHistoria, F_sFFin)) + u") "_s;
    case C::AlertasRegistradas:
        return DameAlertasRegistradas(F_sFIni, F_sFFin, true);
    case C::AlertasReportadas:
        return DameAlertasReportadas(F_sFIni, F_sFFin, true);
    case C::ConteoClientes:
        return u"SELECT Aux AS Clave, Folio, Fecha FROM ("_s +
               FiltraPorCategoria(AgrupaPorCliente(UneOpsConActividad(sPeriodo), true), p.nCodigo1,
                                  p.nCodigo2, p.bSinPEP) +
               u") "_s;
    case C::ConteoRiesgo:
        return u"SELECT Clave, NivelRiesgo FROM ("_s +
               FiltraPorRiesgo(AgrupaPorClienteRiesgo(UneOpsConRiesgo(sPeriodo), true), p.nCodigo1) + u") "_s;
    case C::Operaciones:
        return DameOperacionesDivisa(F_sFIni, F_sFFin, p.nCodigo1, p.nCodigo2, nTipo);
    case C::ResumenEstado:
    case C::ResumenSucursal:
        return DameOperacionesDivisa(F_sFIni, F_sFFin, 0, 0, nTipo);
    }
    return QString();
}

QString TRepCuestZIDU2019::DameConsultaConteoLista(const TPreguntaCatalogo& p)
{
    if (p.Medida != TMedidaDetalle::Lista)
        return QString();
    const QString& c = p.sColumnaLista;
    return u"SELECT UCASE("_s + c + u") AS Valor, COUNT(*) AS Filas FROM ("_s + DameConsultaDetalle(p) +
           u") GROUP BY UCASE("_s + c + u") "_s;
}

QString TRepCuestZIDU2019::DameConsultaClavesPeriodo()
{
    return u"SELECT DISTINCT CvCAux AS Clave FROM ("_s + FiltraPorFechas(F_sFIni, F_sFFin) +
           u") WHERE CvCAux <> '10000000' "_s;
}

std::shared_ptr<IRepCuestionarioQRTZ> CreaRepCuestZIDU2019(TConexionBD* Conector,
                                                           const TCreaManejador& CreaManejador,
                                                           std::shared_ptr<IMensajero> Mensajero,
                                                           double dTCambio, int nNumEmp)
{
    return std::make_shared<TRepCuestZIDU2019>(Conector, CreaManejador, std::move(Mensajero), dTCambio,
                                               nNumEmp);
}
