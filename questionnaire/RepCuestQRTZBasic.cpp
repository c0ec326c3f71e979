#include "questionnaire/RepCuestQRTZBasic.h"

#include "common/TablaMemoria.h"

using namespace Qt::StringLiterals;

TRepCuestQRTZBasic::TRepCuestQRTZBasic(TConexionBD* Conector, const TCreaManejador& CreaManejador,
                                       std::shared_ptr<IMensajero> Mensajero, double dTCambio, int nNumEmp)
    : TRepCuestionarioQRTZ(Conector, CreaManejador, u"Encuesta ZIDU 2019"_s, std::move(Mensajero), 47,
                           nNumEmp, u"01/01/2018"_s, u"12/31/2018"_s),
      F_dTipoCambio(dTCambio)
{
}

// ---------------------------------------------------------------------------------------
// Client side

QString TRepCuestQRTZBasic::DameCampoPEP()
{
    QString s = u", IIF( ( "_s;
    bool bHayMarcados = false;
    // A table that was never opened has no rows to read.
    if (F_vtPEPS && F_vtPEPS->Activa()) {
        F_vtPEPS->Primero();
        if (F_vtPEPS->NumRegistros() > 0) {
            while (!F_vtPEPS->Fin()) {
                if (F_vtPEPS->ValorBool(u"EsPEP"_s)) {
                    if (bHayMarcados)
                        s += u"or "_s;
                    // The key as read from the database, whole: the table may show it shortened
                    // (width, code page). It is data: doubling its apostrophes keeps it one literal.
                    QString sClave = F_vtPEPS->ValorTextoOriginal(u"ClaveCliente"_s);
                    sClave.replace(u"'"_s, u"''"_s);
                    s += u"ClaveCliente = '"_s + sClave + u"' "_s;
                    bHayMarcados = true;
                }
                F_vtPEPS->Siguiente();
            }
        }
    }
    s += u"), -1, 0 ) AS EsPEP "_s;
    if (!bHayMarcados)
        s = u", 0 AS EsPEP "_s;
    return s;
}

QString TRepCuestQRTZBasic::DameConsultaClientes()
{
    // The client's city, else the branch city, else the company city.
    return u"SELECT  ClaveCliente AS AuxCvC, IIF(PersonaMoral <> 0, Nombre, Nombre + "
           u"IIF(ISNULL(ApellidoPaterno), "
           "'', ' '+ ApellidoPaterno) + IIF(ISNULL(ApellidoMaterno), '', ' ' + ApellidoMaterno)) AS Cliente, "
           "IIF(PersonaMoral <> 0, 0, -1) AS EsPF, PersonaMoral AS EsPM, IIF( ClaveCliente = '10000000', 1,  "
           "0 ) "
           "AS EsPubGen, Extranjero AS EsExtrj, ClaveSector, "_s +
           (ConFideicomisos() ? u" Fideicomiso, "_s : QString()) + u" ClaveRiesgo, "_s +
           u"iif( isnull(tcliente.claveciudad), "_s +
           u"iif(  isnull((select top 1 ( tEmpresa.CveCiudSuc  ) from  tEmpresa ) ), "_s +
           u"(select top 1 ( tEmpresa.ClaveCiudad ) from  tEmpresa ), "_s +
           u"(select top 1 ( tEmpresa.CveCiudSuc  ) from  tEmpresa )  ), "_s +
           u"Claveciudad ) AS CveCiudad "_s + DameCampoPEP() + u"FROM tCliente "_s + u"WHERE NumEmp = "_s +
           F_sNumEmp;
}

QString TRepCuestQRTZBasic::DameConsultaEntidades()
{
    return u"SELECT C.ClaveCiudad, C.Ciudad, E.ClaveEstado, E.Estado, P.ClavePais, P.Pais FROM ( tCiudad AS "
           u"C "
           "INNER JOIN tEstados AS E ON C.ClaveEstado = E.ClaveEstado) INNER JOIN tPaises AS P ON "
           "E.ClavePais = "
           "P.ClavePais "_s;
}

QString TRepCuestQRTZBasic::DameClientesConActividad()
{
    return u"SELECT  tXClientes.*, tSector.Sector AS Actividad, IIF((ClaveActividad = '9503005' or "
           "ClaveActividad = '6999992' ), -1, 0) AS EsCC, IIF( (ClaveActividad = '8123094' or ClaveActividad "
           "= "
           "'9911018'), -1, 0) AS EsEF, IIF(ClaveActividad = '8219025', -1, 0) AS EsCB, IIF(ClaveActividad = "
           "'8100000', -1, 0) AS EsB, "_s +
           (ConFideicomisos() ? u" IIF( IsNull( Fideicomiso ), False, Fideicomiso ) AS EsFide,  "_s
                              : QString()) +
           u" IIF(( ucase( Cliente ) LIKE  '%INSTITUCION DE FINANCIAMIENTO%' "_s +
           u" OR ucase( Cliente ) LIKE '%INSTITUCION DE DE FONDOS%' ) , "_s + u" True, False ) AS EsITF "_s +
           u"FROM ("_s + DameConsultaClientes() + u") AS tXClientes, tSector "_s +
           u"WHERE tXClientes.ClaveSector = tSector.ClaveSector"_s;
}

QString TRepCuestQRTZBasic::DameClientesConEntidad()
{
    return u"SELECT tCliente.*, Entidad.ClaveCiudad, Entidad.Ciudad, Entidad.ClaveEstado, Entidad.Estado, "
           "Entidad.ClavePais, Entidad.Pais FROM ( "_s +
           DameConsultaEntidades() + u" )  AS Entidad "_s + u"INNER  JOIN ( "_s + DameConsultaClientes() +
           u" ) AS tCliente "_s + u"ON tCliente.CveCiudad = Entidad.ClaveCiudad "_s;
}

QString TRepCuestQRTZBasic::DameClientesConRiesgo()
{
    return u"SELECT  tXClientes.*,  tNivRiesgo.NivelRiesgo AS Riesgo FROM ("_s + DameConsultaClientes() +
           u") AS tXClientes "_s + u"INNER JOIN tNivRiesgo "_s +
           u"ON tXClientes.ClaveRiesgo = tNivRiesgo.ClaveNivel "_s;
}

QString TRepCuestQRTZBasic::AgrupaPorCliente(QString sConsulta, bool bConClave)
{
    const QString F = ConFideicomisos() ? u"EsFide, "_s : QString();
    // Ordinary clients once each; the public-general client once per operation.
    return (bConClave ? u"SELECT tXCSinPG.CvCAux AS Aux, NULL AS Folio, NULL AS Fecha, "_s
                      : u"SELECT 0 AS Aux, "_s) +
           u"EsPF, EsPM, EsPubGen, EsExtrj, EsCC, EsEF, EsCB, EsB, EsPEP, "_s + F + u" EsITF "_s +
           u"FROM ("_s + sConsulta + u") AS tXCSinPG "_s + u"WHERE EsPubGen = 0 "_s +
           u"GROUP BY tXCSinPG.CvCAux, EsPF, EsPM, EsPubGen, "_s +
           u"EsExtrj, EsCC, EsEF, EsCB, EsB, EsPEP, "_s + F + u" EsITF "_s + u"UNION ALL "_s +
           u"SELECT tXCPG.CvCAux AS Aux, "_s +
           (bConClave ? u"tXCPG.Folio AS Folio, tXCPG.Fecha AS Fecha, "_s : QString()) + u"EsPF, EsPM,"_s +
           u" EsPubGen, "_s + u"EsExtrj, EsCC, EsEF, EsCB, EsB, EsPEP, "_s + F + u" EsITF "_s + u"FROM ("_s +
           sConsulta + u") AS tXCPG "_s + u"WHERE EsPubGen <> 0 "_s;
}

QString TRepCuestQRTZBasic::AgrupaPorClienteRiesgo(QString sConsulta, bool bConClave)
{
    return (bConClave ? u"SELECT tXCSinPG.CvCAux AS Clave, Riesgo AS NivelRiesgo, Riesgo FROM ("_s
                      : u"SELECT Riesgo FROM ("_s) +
           sConsulta + u") AS tXCSinPG "_s + u"WHERE EsPubGen = 0 "_s + u"GROUP BY tXCSinPG.CvCAux"_s +
           u", Riesgo "_s;
}

QString TRepCuestQRTZBasic::FiltraPorRiesgo(QString sConsulta, std::uint8_t nRiesgo)
{
    if (nRiesgo == 3)
        return sConsulta;
    QString s = u"SELECT * FROM ("_s + sConsulta + u") "_s;
    switch (nRiesgo) {
    case 0:
        s += u"WHERE Riesgo Like '%BAJO%' "_s;
        break;
    case 1:
        s += u"WHERE Riesgo Like '%MEDIO%' "_s;
        break;
    case 2:
        s += u"WHERE Riesgo Like '%ALTO%' "_s;
        break;
    default:
        break;
    }
    return s;
}

QString TRepCuestQRTZBasic::FiltraPorCategoria(QString sConsulta, std::uint8_t nCategoria,
                                               std::uint8_t nNacionalidad, bool bSinPEP)
{
    if (nCategoria == 0)
        return sConsulta;
    QString s = u"SELECT * FROM ("_s + sConsulta + u") "_s;
    switch (nCategoria) {
    case 1:
        s += u"WHERE EsPF <> 0 AND EsPubGen = 0 "_s;
        break;
    case 2:
        s += u"WHERE EsPM <> 0 AND EsCC = 0 AND EsEF = 0 "_s + u"AND EsCB = 0 AND EsB = 0 "_s;
        break;
    case 3:
        s += u"WHERE EsCC <> 0 "_s;
        break;
    case 4:
        s += u"WHERE (EsEF <> 0 OR EsCB <> 0 OR EsB <> 0) "_s;
        break;
    case 5:
        s += u"WHERE EsCB <> 0 "_s;
        break;
    case 6:
        s += u"WHERE EsB <> 0 "_s;
        break;
    case 7:
        s += u"WHERE EsPEP <> 0 "_s;
        break;
    case 8:
        s += u"WHERE (EsCC <> 0 OR EsEF <> 0 OR EsCB <> 0 OR EsB <> 0) "_s;
        break;
    case 9:
        // Without trusts no client is both a natural and a legal person: the count is 0.
        s += ConFideicomisos() ? u"WHERE EsFide <> 0 "_s : u"WHERE EsPF <> 0  AND EsPM <> 0 "_s;
        break;
    case 10:
        s += u"WHERE EsPubGen <> 0"_s;
        break;
    case 11:
        s += u"WHERE EsITF <> 0"_s;
        break;
    default:
        break;
    }

    // The texts of codes 10 and 11 end without a blank; a modifier after them needs one.
    const bool bSinBlanco = nCategoria == 10 || nCategoria == 11;
    bool bBlancoPuesto = false;
    const auto agrega = [&](const QString& sModificador) {
        if (bSinBlanco && !bBlancoPuesto) {
            s += u' ';
            bBlancoPuesto = true;
        }
        s += sModificador;
    };
    if (nNacionalidad == 1)
        agrega(u"AND EsExtrj = 0 "_s);
    else if (nNacionalidad == 2)
        agrega(u"AND EsExtrj <> 0 "_s);
    if (bSinPEP)
        agrega(u"AND EsPEP = 0 "_s);
    return s;
}

// ---------------------------------------------------------------------------------------
// Operations side

QString TRepCuestQRTZBasic::DameValorCancelado(bool bCancelado)
{
    return bCancelado ? u"-1"_s : u"0"_s;
}

QString TRepCuestQRTZBasic::DameConsultaOperaciones(bool bCancelado)
{
    // Lines of one folio that share type, date, currency, rate and client are one operation.
    const QString C = DameValorCancelado(bCancelado);
    return u"SELECT Tipo, Folio, Fecha, NDiv, Cot, SUM(XCant)  AS AuxCant, CvCAux,  SUM ( ImporteCalc ) AS "
           "AuxImporte FROM (  SELECT Tipo, Folio, Fecha, NumeroDivisa AS NDiv, Cotizacion AS Cot, Cantidad "
           "AS "
           "XCant, ClaveCliente AS CvCAux , ( Cotizacion * Cantidad ) AS ImporteCalc  FROM tMovtos WHERE NumEmp = "_s +
           F_sNumEmp + u" and "_s + u"Cancelado = "_s + C + u" "_s + u"UNION ALL "_s +
           u"SELECT Tipo, Folio, Fecha, NumeroDivisa AS NDiv, Cotizacion AS Cot, Cantidad "_s +
           u"AS XCant, ClaveCliente AS CvCAux , ( Cotizacion * Cantidad ) AS ImporteCalc "_s +
           u"FROM tProces "_s + u"WHERE NumEmp = "_s + F_sNumEmp + u" and "_s + u"Cancelado = "_s + C +
           u" "_s + u") "_s + u"WHERE (Tipo = 'C' or Tipo = 'V') "_s +
           u"GROUP BY Tipo, Folio, Fecha, NDiv, Cot, CvCAux "_s;
}

QString TRepCuestQRTZBasic::FiltraPorFechas(QString sFIni, QString sFFin)
{
    return u"SELECT tOps.* FROM ("_s + DameConsultaOperaciones(false) + u") AS tOps "_s + u"WHERE "_s +
           u"tOps.Fecha >= #"_s + sFIni + u"# AND "_s + u"tOps.Fecha <= #"_s + sFFin + u"#"_s;
}

QString TRepCuestQRTZBasic::UneOpsConActividad(QString sConsulta)
{
    return u"SELECT * FROM ("_s + sConsulta + u") AS tXOps, "_s + u"("_s + DameClientesConActividad() +
           u") AS tXCte "_s + u"WHERE tXOps.CvCAux = tXCte.AuxCvC "_s;
}

QString TRepCuestQRTZBasic::UneOpsConEntidad(QString sConsulta)
{
    return u"SELECT * FROM ("_s + sConsulta + u") AS tXOps "_s + u"INNER JOIN ("_s +
           DameClientesConEntidad() + u") AS tXCte "_s + u"ON tXOps.CvCAux = tXCte.AuxCvC "_s;
}

QString TRepCuestQRTZBasic::UneOpsConRiesgo(QString sConsulta)
{
    return u"SELECT * FROM ("_s + sConsulta + u") AS tXOps, "_s + u"("_s + DameClientesConRiesgo() +
           u") AS tXCte "_s + u"WHERE tXOps.CvCAux = tXCte.AuxCvC "_s;
}

QString TRepCuestQRTZBasic::uneOpsConDivisas(const QString& sFIni, const QString& sFFin)
{
    return FiltraPorFechas(sFIni, sFFin) + u" ) AS Ops "_s + u"INNER JOIN tDivisas "_s +
           u"ON Ops.nDiv = tDivisas.NumeroDivisa "_s;
}

QString TRepCuestQRTZBasic::DameTotalesPorDivisa(QString sFIni, QString sFFin)
{
    return u"SELECT Ops.Tipo, Ops.nDiv, tDivisas.Simbolo, tDivisas.Pagare, SUM( AuxCant ) AS Cantidad, SUM( "
           "auxImporte ) AS Importe, count(*) AS NumOps FROM ( "_s +
           uneOpsConDivisas(sFIni, sFFin) +
           u"GROUP BY Ops.NDiv,  tDivisas.Simbolo, Ops.Tipo , tDivisas.Pagare "_s;
}

QString TRepCuestQRTZBasic::DameOperacionesDivisa(QString sFIni, QString sFFin, std::uint8_t nDivisa,
                                                  std::uint8_t nPagare, std::uint8_t nTipo)
{
    QString sWhere;
    AgregaFiltroTipo(sWhere, nTipo);
    AgregaFiltroDivisa(sWhere, nDivisa);
    AgregaFiltroPagare(sWhere, nPagare);
    return u"SELECT * FROM (SELECT Ops.Tipo AS Tipo, Ops.Folio AS Folio, Ops.Fecha AS Fecha, "
           u"tDivisas.Simbolo "
           u"AS Simbolo, Ops.NDiv AS NumeroDivisa, tDivisas.Pagare AS Pagare, Ops.Cot AS Cotizacion, "
           u"Ops.AuxCant AS Cantidad, Ops.AuxImporte AS Importe, Ops.CvCAux AS Clave FROM ( "_s +
           uneOpsConDivisas(sFIni, sFFin) + u" )"_s + sWhere;
}

void TRepCuestQRTZBasic::AgregaCondicion(QString& sWhere, QString sCondicion)
{
    if (sCondicion.isEmpty())
        return;
    if (sWhere.isEmpty())
        sWhere = u" WHERE "_s + sCondicion;
    else
        sWhere = sWhere + u" AND "_s + sCondicion;
}

void TRepCuestQRTZBasic::AgregaFiltroTipo(QString& sWhere, std::uint8_t nTipo)
{
    QString s;
    if (nTipo == 0)
        s = u" Tipo = 'C' "_s;
    else if (nTipo == 1)
        s = u" Tipo = 'V' "_s;
    AgregaCondicion(sWhere, s);
}

void TRepCuestQRTZBasic::AgregaFiltroDivisa(QString& sWhere, std::uint8_t nDivisa)
{
    QString s;
    if (nDivisa == 2)
        s = u" Simbolo = 'USD' "_s;
    else if (nDivisa == 3)
        s = u" Simbolo = 'EUR' "_s;
    AgregaCondicion(sWhere, s);
}

void TRepCuestQRTZBasic::AgregaFiltroPagare(QString& sWhere, std::uint8_t nPagare)
{
    QString s;
    if (nPagare == 1)
        s = u" Pagare = True "_s;
    else if (nPagare == 2)
        s = u" Pagare = False "_s;
    AgregaCondicion(sWhere, s);
}

QString TRepCuestQRTZBasic::dameResumen(const QString& sCabeza, const QString& sCola, const QString& sFIni,
                                        const QString& sFFin, std::uint8_t nDivisa, std::uint8_t nPagare,
                                        std::uint8_t nTipo)
{
    QString sWhere;
    AgregaFiltroTipo(sWhere, nTipo);
    AgregaFiltroDivisa(sWhere, nDivisa);
    AgregaFiltroPagare(sWhere, nPagare);
    return sCabeza + DameTotalesPorDivisa(sFIni, sFFin) + sCola + sWhere;
}

QString TRepCuestQRTZBasic::DameResumenSucursal(QString sFIni, QString sFFin, std::uint8_t nDivisa,
                                                std::uint8_t nPagare, std::uint8_t nTipo)
{
    return dameResumen(u"SELECT 'Numero de Operaciones: ' +STR( SUM(total.NumOps)) + '   Monto: ' + STR( "
                       "ROUND(Sum( total.Importe),2) ) + '   en esta Sucursal ' AS XResul FROM ( "_s,
                       u" ) AS Total "_s, sFIni, sFFin, nDivisa, nPagare, nTipo);
}

QString TRepCuestQRTZBasic::DameResumenEstado(QString sFIni, QString sFFin, std::uint8_t nDivisa,
                                              std::uint8_t nPagare, std::uint8_t nTipo)
{
    const QString sCabeza = u"SELECT 'Estado o Entidad Federativa: ' + ( "_s + DameEstadoEmpresa() +
                            u" ) +  "_s + u"'   Numero de Operaciones: ' +STR( SUM(total.NumOps)) + "_s +
                            u"'   Monto: ' + STR( ROUND(Sum( total.Importe),2) ) AS XResul "_s + u"FROM ( "_s;
    return dameResumen(sCabeza, u" ) AS Total "_s, sFIni, sFFin, nDivisa, nPagare, nTipo);
}

QString TRepCuestQRTZBasic::DameSumaImporte(QString sFIni, QString sFFin, std::uint8_t nDivisa,
                                            std::uint8_t nPagare, std::uint8_t nTipo)
{
    return dameResumen(u"SELECT ROUND( SUM ( Importe ),2 ) AS XResul FROM ("_s, u" )"_s, sFIni, sFFin,
                       nDivisa, nPagare, nTipo);
}

QString TRepCuestQRTZBasic::DameSumaCantidad(QString sFIni, QString sFFin, std::uint8_t nDivisa,
                                             std::uint8_t nPagare, std::uint8_t nTipo)
{
    return dameResumen(u"SELECT ROUND( SUM ( Cantidad ),2 ) AS XResul FROM ("_s, u" )"_s, sFIni, sFFin,
                       nDivisa, nPagare, nTipo);
}

QString TRepCuestQRTZBasic::DameSumaOperaciones(QString sFIni, QString sFFin, std::uint8_t nDivisa,
                                                std::uint8_t nPagare, std::uint8_t nTipo)
{
    return dameResumen(u"SELECT SUM ( NumOps ) AS XResul FROM ("_s, u" )"_s, sFIni, sFFin, nDivisa, nPagare,
                       nTipo);
}

QString TRepCuestQRTZBasic::DameEstadoEmpresa()
{
    // State of the branch city, or of the company city when the branch has none.
    return u"SELECT Estado FROM tEstados  WHERE tEstados.ClaveEstado = ( SELECT TOP 1 ClaveEstado FROM "
           u"tCiudad "
           "WHERE ClaveCiudad = ( SELECT IIF(  isnull((SELECT TOP 1 ( tEmpresa.CveCiudSuc  ) FROM  tEmpresa "
           ") ), "
           "(SELECT TOP 1 ( tEmpresa.ClaveCiudad ) FROM  tEmpresa ), (SELECT TOP 1 ( tEmpresa.CveCiudSuc  ) "
           "FROM  "
           "tEmpresa ) ) FROM tEmpresa) ) "_s;
}

namespace {

const QString kMedioRelevan = u" And tRelevan.Fecha <= #"_s;

// The select list of the alert records: the record's number, or with bDetalle the record itself.
QString cabezaRelevan(bool bDetalle)
{
    return bDetalle ? u"SELECT 'tRelevan' AS Origen, NoRelevan AS Numero, Fecha, TipoRelev, Reportada, "
                      u"FecReporte, "
                      u"ClaveCliente AS Clave FROM tRelevan WHERE tRelevan.Fecha >= #"_s
                    : u"SELECT NoRelevan FROM tRelevan WHERE tRelevan.Fecha >= #"_s;
}

} // namespace

QString TRepCuestQRTZBasic::DameInusuales(QString sFIni, QString sFFin, bool bDetalle)
{
    return cabezaRelevan(bDetalle) + sFIni + u"# "_s + kMedioRelevan + sFFin + u"# "_s +
           u" And tRelevan.TipoRelev = 'I' "_s + u" And tRelevan.EliminXAnt = False"_s;
}

QString TRepCuestQRTZBasic::DameInusualesReportadas(QString sFIni, QString sFFin, bool bDetalle)
{
    return cabezaRelevan(bDetalle) + sFIni + u"# "_s + kMedioRelevan + sFFin + u"# "_s +
           u" And tRelevan.TipoRelev = 'I' "_s + u" And tRelevan.EliminXAnt = False "_s +
           u" And tRelevan.Reportada = True "_s + u" And tRelevan.FecReporte > 0 "_s;
}

QString TRepCuestQRTZBasic::DamePreocupantes(QString sFIni, QString sFFin, bool bDetalle)
{
    return cabezaRelevan(bDetalle) + sFIni + u"# "_s + kMedioRelevan + sFFin + u"# "_s +
           u" And tRelevan.TipoRelev = 'P' "_s + u" And tRelevan.EliminXAnt = False"_s;
}

QString TRepCuestQRTZBasic::DamePreocupantesReportadas(QString sFIni, QString sFFin, bool bDetalle)
{
    return cabezaRelevan(bDetalle) + sFIni + u"# "_s + kMedioRelevan + sFFin + u"# "_s +
           u" And tRelevan.TipoRelev = 'P' "_s + u" And tRelevan.EliminXAnt = False "_s +
           u" And tRelevan.Reportada = True "_s + u" And tRelevan.FecReporte > 0 "_s;
}

QString TRepCuestQRTZBasic::DameMensajesInternos(QString sFIni, QString sFFin, bool bDetalle)
{
    return (bDetalle
                ? u" SELECT 'tMsgInterno' AS Origen, tMsgInterno.Numero AS Numero, tMsgInterno.Fecha AS "
                  u"Fecha, "
                  u"'M' AS TipoRelev, NULL AS Reportada, NULL AS FecReporte, NULL AS Clave FROM tMsgInterno  "
                  u"WHERE tMsgInterno.Fecha >= #"_s
                : u" SELECT tMsgInterno.Numero  FROM tMsgInterno  WHERE tMsgInterno.Fecha >= #"_s) +
           sFIni + u"# "_s + u" AND tMsgInterno.Fecha <= #"_s + sFFin + u"# "_s;
}

QString TRepCuestQRTZBasic::DameAlertasRegistradas(QString sFIni, QString sFFin, bool bDetalle)
{
    return u"SELECT * FROM ( "_s + DameInusuales(sFIni, sFFin, bDetalle) + u" UNION ALL "_s +
           DamePreocupantes(sFIni, sFFin, bDetalle) + u" UNION ALL "_s +
           DameMensajesInternos(sFIni, sFFin, bDetalle) + u" ) "_s;
}

QString TRepCuestQRTZBasic::DameAlertasReportadas(QString sFIni, QString sFFin, bool bDetalle)
{
    return u"SELECT * FROM ( "_s + DameInusualesReportadas(sFIni, sFFin, bDetalle) + u" UNION ALL "_s +
           DamePreocupantesReportadas(sFIni, sFFin, bDetalle) + u" ) "_s;
}

namespace {

QString textoTop(std::int8_t nTop)
{
    return nTop < 0 ? u"1"_s : QString::number(nTop);
}

} // namespace

QString TRepCuestQRTZBasic::DameClientesPorActividad(QString sConsulta)
{
    return u" SELECT DISTINCT AuxCvC, Actividad FROM ( "_s + UneOpsConActividad(sConsulta) +
           u" ) WHERE AuxCvC <> ''  "_s;
}

QString TRepCuestQRTZBasic::DameClientesPorEstado(QString sConsulta)
{
    return u" SELECT DISTINCT AuxCvC, Estado FROM ( "_s + UneOpsConEntidad(sConsulta) +
           u" ) WHERE AuxCvC <> ''  "_s;
}

QString TRepCuestQRTZBasic::DameTopActividades(QString sConsulta, std::int8_t nTop)
{
    const QString N = textoTop(nTop);
    const QString sInterna = DameClientesPorActividad(sConsulta);
    return u" SELECT TOP "_s + N + u" UCASE(Actividades ) AS XResul FROM ( "_s + u" SELECT TOP "_s + N +
           u" UCASE(Actividad) "_s + u"AS Actividades "_s + u"FROM ("_s + sInterna + u") "_s +
           u"WHERE Actividad <> 'NO APLICA' "_s + u"GROUP BY Actividad "_s +
           u"ORDER BY COUNT(Actividad) DESC"_s + u" ) "_s;
}

QString TRepCuestQRTZBasic::DameTopEstados(QString sConsulta, std::int8_t nTop)
{
    const QString N = textoTop(nTop);
    const QString sInterna = DameClientesPorEstado(sConsulta);
    return u" SELECT TOP "_s + N + u" UCASE(Estados) AS XResul FROM ( "_s + u" SELECT TOP "_s + N +
           u" UCASE(Estado) "_s + u"AS Estados "_s + u"FROM ("_s + sInterna + u") "_s +
           u"GROUP BY Estado "_s + u"ORDER BY COUNT(Estado) DESC "_s + u" ) "_s;
}

QString TRepCuestQRTZBasic::DameConteo(QString sConsulta)
{
    return DameConsultaConDefault(u"SELECT COUNT(1) AS XResul FROM ("_s + sConsulta + u" )"_s, u"0"_s);
}

QString TRepCuestQRTZBasic::DameConsultaConDefault(QString sConsulta, QString sDefault)
{
    // One closing row per row of tEmpresa follows the rows of the query; the reader drops it
    // unless it is alone, and then it carries the default.
    return u"SELECT IIF( XResul = 'ZZZSINRESULT' or ISNULL( XResul ), '"_s + sDefault +
           u"', XResul) AS Resultado FROM "_s + u"("_s + sConsulta + u" UNION ALL "_s +
           u"SELECT 'ZZZSINRESULT' AS XResul "_s + u"FROM tEmpresa) "_s;
}
