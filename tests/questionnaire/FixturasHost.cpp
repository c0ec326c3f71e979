#include "FixturasHost.h"

#include "tools/mdbgen/EscritorMdb.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace FixturasHost {

namespace {

using T = TTipoColumnaMdb;
const QVariant Nulo;

QDateTime fecha(int a, int m, int d, int h = 10, int mi = 0)
{
    return QDateTime(QDate(a, m, d), QTime(h, mi));
}

class TConstructor
{
public:
    TConstructor() : E(TOpcionesMdb{.sPassword = QStringLiteral("plovik")}) {}

    int tabla(const QString& sNombre, std::vector<TColumnaMdb> Columnas)
    {
        const int n = E.AgregaTabla({sNombre, std::move(Columnas)});
        bOk = bOk && n >= 0;
        return n;
    }
    void fila(int nTabla, const QVariantList& v) { bOk = E.AgregaFila(nTabla, v) && bOk; }

    bool guarda(const QString& sCarpeta, const TOpciones& Op)
    {
        if (!bOk) {
            qWarning("fixture: %s", qPrintable(E.Error()));
            return false;
        }
        QDir d(sCarpeta);
        if (!d.mkpath(Op.sDirBD))
            return false;
        QFile ini(d.filePath(Op.sArchivoIni));
        if (!ini.open(QIODevice::WriteOnly) || ini.write(Op.sIni.toLatin1()) < 0)
            return false;
        ini.close();
        if (!E.Guarda(d.filePath(Op.sDirBD + QLatin1Char('/') + Op.sArchivoBD))) {
            qWarning("fixture: %s", qPrintable(E.Error()));
            return false;
        }
        return true;
    }

    TEscritorMdb E;
    bool bOk = true;
};

std::vector<TColumnaMdb> columnasOps(int nAnchoClave = 20)
{
    return {{"Tipo", T::Texto, 1},
            {"Folio", T::EnteroLargo},
            {"Fecha", T::FechaHora},
            {"NumeroDivisa", T::EnteroLargo},
            {"Cotizacion", T::Moneda},
            {"Cantidad", T::Doble},
            {"ClaveCliente", T::Texto, nAnchoClave},
            {"NumEmp", T::EnteroLargo},
            {"Cancelado", T::SiNo}};
}

std::vector<TColumnaMdb> columnasClientes(bool bFideicomiso, int nAnchoClave = 20)
{
    std::vector<TColumnaMdb> c{
        {"ClaveCliente", T::Texto, nAnchoClave}, {"Nombre", T::Texto, 150}, {"ApellidoPaterno", T::Texto, 50},
        {"ApellidoMaterno", T::Texto, 50},       {"PersonaMoral", T::SiNo}, {"Extranjero", T::SiNo},
        {"ClaveSector", T::EnteroLargo}};
    if (bFideicomiso)
        c.push_back({"Fideicomiso", T::SiNo});
    c.push_back({"ClaveRiesgo", T::EnteroLargo});
    c.push_back({"ClaveCiudad", T::EnteroLargo});
    c.push_back({"NumEmp", T::EnteroLargo});
    return c;
}

// Tables every host has; tCompUsr holds one row when a user is connected.
void comunes(TConstructor& C, bool bUsuarioConectado, const QVariant& vRegistro, const QVariant& vCiudSuc,
             const QVariant& vCiudad)
{
    const int tEmps =
        C.tabla("tEmps", {{"ClaveEmp", T::Texto, 10}, {"Password", T::Texto, 20}, {"Nivel", T::Entero}});
    C.fila(tEmps, {"CAJERO", "CLAVE1", 1});
    C.fila(tEmps, {kUsuario, kPassword, 0});
    const int tCompUsr = C.tabla("tCompUsr", {{"ClaveEmp", T::Texto, 10}, {"Equipo", T::Texto, 50}});
    if (bUsuarioConectado)
        C.fila(tCompUsr, {"CAJERO", "CAJA1"});
    const int tEmpresa = C.tabla("tEmpresa", {{"NumEmp", T::EnteroLargo},
                                              {"Empresa", T::Texto, 120},
                                              {"RFC", T::Texto, 13},
                                              {"RegistroCC", T::Texto, 20},
                                              {"NomComercial", T::Texto, 100},
                                              {"CveCiudSuc", T::EnteroLargo},
                                              {"ClaveCiudad", T::EnteroLargo}});
    C.fila(tEmpresa, {1, "CAMBIOS DE PRUEBA, S.A. DE C.V.", "CPR010101AA1", vRegistro, "CAMBIOS PRUEBA",
                      vCiudSuc, vCiudad});
}

// Geography: cities 10-15 and 99 (whose state does not exist).
void geografia(TConstructor& C)
{
    const int tPaises = C.tabla("tPaises", {{"ClavePais", T::EnteroLargo}, {"Pais", T::Texto, 50}});
    C.fila(tPaises, {1, "MÉXICO"});
    C.fila(tPaises, {2, "ESTADOS UNIDOS"});
    const int tEstados =
        C.tabla("tEstados",
                {{"ClaveEstado", T::EnteroLargo}, {"Estado", T::Texto, 50}, {"ClavePais", T::EnteroLargo}});
    C.fila(tEstados, {1, "BAJA CALIFORNIA", 1});
    C.fila(tEstados, {2, "SONORA", 1});
    C.fila(tEstados, {3, "California", 2});
    C.fila(tEstados, {4, "JALISCO", 1});
    C.fila(tEstados, {5, "Nuevo León", 1});
    const int tCiudad =
        C.tabla("tCiudad",
                {{"ClaveCiudad", T::EnteroLargo}, {"Ciudad", T::Texto, 60}, {"ClaveEstado", T::EnteroLargo}});
    C.fila(tCiudad, {10, "TIJUANA", 1});
    C.fila(tCiudad, {11, "MEXICALI", 1});
    C.fila(tCiudad, {12, "HERMOSILLO", 2});
    C.fila(tCiudad, {13, "SAN DIEGO", 3});
    C.fila(tCiudad, {14, "GUADALAJARA", 4});
    C.fila(tCiudad, {15, "MONTERREY", 5});
    C.fila(tCiudad, {99, "CIUDAD SIN ESTADO", 77});
}

void riesgos(TConstructor& C)
{
    const int t = C.tabla("tNivRiesgo", {{"ClaveNivel", T::EnteroLargo}, {"NivelRiesgo", T::Texto, 20}});
    C.fila(t, {1, "BAJO"});
    C.fila(t, {2, "MEDIO"});
    C.fila(t, {3, "ALTO"});
}

// Currencies 1-4; currency 5 is used by an operation but not listed.
void divisas(TConstructor& C)
{
    const int t = C.tabla("tDivisas", {{"NumeroDivisa", T::EnteroLargo},
                                       {"Simbolo", T::Texto, 5},
                                       {"Descripcion", T::Texto, 50},
                                       {"Pagare", T::SiNo}});
    C.fila(t, {1, "USD", "DOLAR", false});
    C.fila(t, {2, "EUR", "EURO", false});
    C.fila(t, {3, "USD", "DOLAR PAGARE", true});
    C.fila(t, {4, "CAD", "DOLAR CANADIENSE", false});
}

std::vector<TColumnaMdb> columnasRelevan(int nAnchoClave = 20)
{
    return {{"NoRelevan", T::EnteroLargo}, {"Fecha", T::FechaHora},
            {"TipoRelev", T::Texto, 1},    {"EliminXAnt", T::SiNo},
            {"Reportada", T::SiNo},        {"FecReporte", T::FechaHora},
            {"Observaciones", T::Memo},    {"ClaveCliente", T::Texto, nAnchoClave},
            {"NumEmp", T::EnteroLargo}};
}

std::vector<TColumnaMdb> columnasMensajes()
{
    return {{"Numero", T::EnteroLargo}, {"Fecha", T::FechaHora}, {"Mensaje", T::Memo}};
}

} // namespace

bool EscribePrincipal(const QString& sCarpeta, double dVersion, const TOpciones& Op)
{
    TConstructor C;
    comunes(C, Op.bUsuarioConectado, "00777", 10, 11);
    const int tSistema = C.tabla("tSistema", {{"NumVersion", T::Doble}});
    C.fila(tSistema, {dVersion});
    geografia(C);
    riesgos(C);
    divisas(C);

    // Activity 99 does not exist. Names in lower case and with accents are upper-cased by the
    // top-ten list.
    const int tSector = C.tabla(
        "tSector",
        {{"ClaveSector", T::EnteroLargo}, {"Sector", T::Texto, 100}, {"ClaveActividad", T::Texto, 7}});
    C.fila(tSector, {1, "NO APLICA", "0000000"});
    C.fila(tSector, {2, "CASAS DE CAMBIO", "9503005"});
    C.fila(tSector, {3, "CENTROS CAMBIARIOS", "6999992"});
    C.fila(tSector, {4, "SOFOM", "8123094"});
    C.fila(tSector, {5, "uniones de crédito", "9911018"});
    C.fila(tSector, {6, "CASAS DE BOLSA", "8219025"});
    C.fila(tSector, {7, "BANCA MULTIPLE", "8100000"});
    C.fila(tSector, {8, "Comercio", "6211013"});
    C.fila(tSector, {9, "transporte de carga", "7111011"});
    C.fila(tSector, {10, "Restaurantes y cafés", "8711013"});
    C.fila(tSector, {11, "Hoteles y posadas", "8721011"});

    // Clients: key, name, surnames, legal person, foreigner, sector, trust, risk, city, company.
    const int tCliente = C.tabla("tCliente", columnasClientes(true, Op.nAnchoClave));
    const auto cli = [&](const char* sClave, const QVariant& vNombre, const QVariant& vPat,
                         const QVariant& vMat, bool bMoral, bool bExtr, int nSector, const QVariant& vFide,
                         int nRiesgo, const QVariant& vCiudad, int nEmp = 1) {
        C.fila(tCliente,
               {sClave, vNombre, vPat, vMat, bMoral, bExtr, nSector, vFide, nRiesgo, vCiudad, nEmp});
    };
    cli("10000000", "PUBLICO EN GENERAL", Nulo, Nulo, false, false, 1, false, 1, Nulo);
    cli("C01", "JUAN", Nulo, "  PEREZ  ", false, false, 8, false, 3, 10);
    cli("C02", "MARIA", "LOPEZ", Nulo, false, false, 9, false, 2, Nulo);
    cli("C03", "JOHN", "SMITH", Nulo, false, true, 10, false, 1, 13);
    cli("C04", "CASA DE CAMBIO SOL, S.A.", Nulo, Nulo, true, false, 2, false, 3, 11);
    cli("C05", "SOFOM NORTE, S.A.", Nulo, Nulo, true, false, 4, false, 1, 12);
    cli("C06", "BOLSA SUR, S.A.", Nulo, Nulo, true, false, 6, false, 2, 10);
    cli("C07", "BANCO UNO", Nulo, Nulo, true, true, 7, false, 1, 13);
    cli("C08", "FIDEICOMISO F/1", Nulo, Nulo, true, false, 11, true, 3, 14);
    cli("C09", "Fondeadora, institucion de financiamiento colectivo", Nulo, Nulo, true, false, 9, Nulo, 1,
        15);
    cli("C10", "PAGOS YA, INSTITUCION DE DE FONDOS DE PAGO", Nulo, Nulo, true, false, 9, false, 2, 10);
    cli("C11", "ACME TRADING INC", Nulo, Nulo, true, true, 10, false, 1, 13);
    cli("C12", "TALLER LUNA", Nulo, Nulo, true, false, 99, false, 3, 10);
    cli("C13", "PEDRO", "GOMEZ", "RUIZ", false, false, 8, false, 9, 11);
    cli("C14", "ANA", "RIOS", Nulo, false, false, 8, false, 1, 99);
    cli("O'15", Nulo, "O'NEIL", "", false, false, 10, false, 2, 12);
    cli("C16", "HANS", "MULLER", Nulo, false, true, 1, false, 3, 13);
    cli("C20", "LUIS", "SOTO", Nulo, false, false, 8, false, 3, 10, 2);
    cli("C21", "ROSA", "DIAZ", Nulo, false, false, 8, false, 3, 10);
    cli("C22", "RAUL", "VEGA", Nulo, false, false, 11, false, 1, 14);
    cli("C23", "EVA", "CRUZ", Nulo, false, false, 8, false, 1, 10);
    cli("C24", "LUZ", "MORA", Nulo, false, false, 9, false, 3, 11);
    cli("C25", "SARA", "PAZ", Nulo, false, false, 10, false, 3, 12);
    cli("C26", "CAMBIARIO DEL VALLE, S.A.", Nulo, Nulo, true, false, 3, false, 2, 10);

    // Operations: table, type, folio, date, currency, rate, quantity, client, company, cancelled.
    const int tMovtos = C.tabla("tMovtos", columnasOps(Op.nAnchoClave));
    const int tProces = C.tabla("tProces", columnasOps(Op.nAnchoClave));
    const auto op = [&](int t, const char* sTipo, int nFolio, const QDateTime& f, int nDiv, double dCot,
                        double dCant, const char* sCli, int nEmp = 1, bool bCanc = false) {
        C.fila(t, {sTipo, nFolio, f, nDiv, dCot, dCant, sCli, nEmp, bCanc});
    };
    op(tMovtos, "C", 1001, fecha(2018, 2, 1), 1, 19.5, 100, "10000000");
    op(tMovtos, "C", 1002, fecha(2018, 3, 1), 1, 19.5, 200, "10000000");
    op(tProces, "V", 1003, fecha(2018, 4, 1), 1, 20, 50, "10000000");
    op(tMovtos, "C", 1004, fecha(2018, 5, 2), 1, 19, 300, "C01");
    op(tMovtos, "V", 1005, fecha(2018, 5, 3), 2, 22, 100, "C01");
    op(tMovtos, "C", 1006, fecha(2018, 6, 1), 1, 19, 100, "C02");
    op(tMovtos, "C", 1007, fecha(2018, 6, 2), 1, 19, 100, "C03");
    // Three lines of one folio at one rate: one operation of 600.
    op(tMovtos, "C", 1008, fecha(2018, 6, 3), 1, 19, 100, "C04");
    op(tMovtos, "C", 1008, fecha(2018, 6, 3), 1, 19, 200, "C04");
    op(tMovtos, "C", 1008, fecha(2018, 6, 3), 1, 19, 300, "C04");
    // One folio at two rates, and one in two currencies: two operations each.
    op(tMovtos, "V", 1009, fecha(2018, 6, 4), 1, 20, 100, "C05");
    op(tMovtos, "V", 1009, fecha(2018, 6, 4), 1, 20.5, 100, "C05");
    op(tMovtos, "C", 1010, fecha(2018, 6, 5), 1, 19, 100, "C06");
    op(tMovtos, "C", 1010, fecha(2018, 6, 5), 2, 21, 100, "C06");
    op(tMovtos, "C", 1011, fecha(2018, 6, 6), 3, 18, 1000, "C07");
    op(tProces, "V", 1012, fecha(2018, 6, 7), 4, 15, 100, "C08");
    op(tMovtos, "C", 1013, fecha(2018, 6, 8), 1, 19, 10, "C09");
    op(tMovtos, "C", 1014, fecha(2018, 6, 9), 1, 19, 20, "C10");
    op(tMovtos, "V", 1015, fecha(2018, 6, 10), 2, 22, 30, "C11");
    op(tMovtos, "C", 1016, fecha(2018, 6, 11), 1, 19, 40, "C12");
    op(tMovtos, "C", 1017, fecha(2018, 6, 12), 1, 19, 50, "C13");
    op(tMovtos, "C", 1018, fecha(2018, 6, 13), 1, 19, 60, "C14");
    op(tMovtos, "V", 1019, fecha(2018, 6, 14), 1, 20, 70, "O'15");
    op(tMovtos, "C", 1020, fecha(2018, 6, 15), 1, 19, 80, "C16");
    op(tMovtos, "C", 1021, fecha(2018, 6, 16), 1, 19, 90, "C20", 2);
    op(tMovtos, "C", 1022, fecha(2018, 6, 17), 1, 19, 100, "C21", 1, true);
    op(tProces, "V", 1023, fecha(2018, 6, 18), 1, 20, 100, "C21", 1, true);
    op(tMovtos, "C", 1024, fecha(2017, 5, 5), 1, 18.5, 100, "C22");
    op(tMovtos, "C", 1025, fecha(2018, 1, 1, 0), 1, 19.25, 10.5, "C23");
    op(tMovtos, "V", 1026, fecha(2018, 12, 31, 0), 2, 23, 100, "C24");
    op(tMovtos, "C", 1027, fecha(2018, 12, 31, 13), 1, 19, 100, "C25");
    op(tMovtos, "C", 1028, fecha(2018, 7, 1), 5, 10, 100, "C26");
    op(tMovtos, "C", 1029, fecha(2019, 1, 2), 1, 19, 100, "C01");
    op(tMovtos, "C", 1030, fecha(2017, 12, 31), 1, 19, 100, "10000000");
    op(tMovtos, "X", 1031, fecha(2018, 8, 1), 1, 19, 100, "C01");

    // Alerts: date, kind, removed, reported, report date, remarks, client, company.
    const int tRelevan = C.tabla("tRelevan", columnasRelevan(Op.nAnchoClave));
    int nRel = 0;
    const auto rel = [&](const QDateTime& f, const char* sTipo, bool bElim, bool bRep,
                         const QVariant& vFecRep, const QString& sObs, const QString& sCli, int nEmp = 1) {
        C.fila(tRelevan, {++nRel, f, sTipo, bElim, bRep, vFecRep, sObs, sCli, nEmp});
    };
    rel(fecha(2018, 2, 10), "I", false, true, fecha(2018, 3, 1), "CLIENTE PEP: REGIDOR", "C01");
    rel(fecha(2018, 5, 5), "I", false, false, Nulo, "PEP nuevamente", "C01");
    rel(fecha(2018, 6, 1), "I", false, true, 0.0, "posible pep", "C02");
    rel(fecha(2018, 7, 1), "I", false, false, Nulo, "PEP", "O'15");
    rel(fecha(2018, 8, 1), "I", false, true, fecha(2018, 8, 15), "CLIENTE PEP EN VENTANILLA", "10000000");
    rel(fecha(2018, 9, 1), "P", false, true, fecha(2018, 9, 20), "ES PEP", "C03");
    rel(fecha(2017, 6, 1), "I", false, true, fecha(2017, 7, 1), "PEP", "C04");
    rel(fecha(2018, 10, 1), "I", false, false, Nulo, "PEP OTRA SUCURSAL", "C05", 2);
    rel(fecha(2018, 11, 1), "I", false, false, Nulo, "MONTO INUSUAL", "C06");
    rel(fecha(2018, 12, 31, 0), "I", false, false, Nulo, "EXFUNCIONARIO (PEP)", "C07");
    rel(fecha(2018, 12, 31, 18), "I", false, true, fecha(2019, 1, 5), "PEP", "C11");
    rel(fecha(2018, 3, 3), "I", true, true, fecha(2018, 3, 10), "PEP ELIMINADO", "C08");
    rel(fecha(2018, 4, 4), "P", true, false, Nulo, "OPERACION ELIMINADA", "C09");
    rel(fecha(2018, 4, 5), "P", false, false, Nulo, "PREOCUPANTE", "C10");
    rel(fecha(2018, 1, 1, 0), "P", false, true, Nulo, "SIN FECHA DE REPORTE", "C10");
    rel(fecha(2019, 1, 15), "P", false, true, fecha(2019, 2, 1), "PEP 2019", "C01");
    // Extra natural national clients, each with one purchase and one PEP record in 2018.
    int nFolioExtra = 2001;
    for (int i = 0; i < Op.ClavesExtra.size(); ++i) {
        const QString& sClave = Op.ClavesExtra[i];
        C.fila(tCliente,
               {sClave, Op.NombresExtra.value(i, "EXTRA"), Nulo, Nulo, false, false, 8, false, 1, 10, 1});
        C.fila(tMovtos, {"C", nFolioExtra++, fecha(2018, 9, 9), 1, 19.0, 10.0, sClave, 1, false});
        rel(fecha(2018, 9, 9), "I", false, false, Nulo, "PEP", sClave);
    }

    const int tMsgInterno = C.tabla("tMsgInterno", columnasMensajes());
    C.fila(tMsgInterno, {1, fecha(2018, 1, 1, 0), "AVISO 1"});
    C.fila(tMsgInterno, {2, fecha(2018, 6, 15), "AVISO 2"});
    C.fila(tMsgInterno, {3, fecha(2018, 12, 31, 12), "AVISO 3"});
    C.fila(tMsgInterno, {4, fecha(2017, 12, 31), "AVISO 4"});
    return C.guarda(sCarpeta, Op);
}

bool EscribeHistoria(const QString& sCarpeta)
{
    TConstructor C;
    // No branch city: clients without a city take the company city, Hermosillo (SONORA).
    comunes(C, false, Nulo, Nulo, 12);
    C.tabla("tSistema", {{"NumVersion", T::Doble}});
    geografia(C);
    riesgos(C);
    divisas(C);

    // Eleven activities; activity k is that of 12 - k clients, all with one operation in 2017.
    const int tSector = C.tabla(
        "tSector",
        {{"ClaveSector", T::EnteroLargo}, {"Sector", T::Texto, 100}, {"ClaveActividad", T::Texto, 7}});
    for (int k = 1; k <= 11; ++k)
        C.fila(tSector, {k, QStringLiteral("Actividad %1").arg(k, 2, 10, QLatin1Char('0')),
                         QStringLiteral("70000%1").arg(k, 2, 10, QLatin1Char('0'))});
    const int tCliente = C.tabla("tCliente", columnasClientes(false));
    const int tMovtos = C.tabla("tMovtos", columnasOps());
    C.tabla("tProces", columnasOps());
    int n = 0;
    for (int k = 1; k <= 11; ++k) {
        for (int i = 0; i < 12 - k; ++i) {
            ++n;
            const QString sClave = QStringLiteral("H%1").arg(n, 3, 10, QLatin1Char('0'));
            // Three clients live in San Diego (California).
            const QVariant vCiudad = n <= 3 ? QVariant(13) : Nulo;
            C.fila(tCliente, {sClave, "CLIENTE", sClave, Nulo, false, false, k, 1, vCiudad, 1});
            C.fila(tMovtos, {"C", 2000 + n, fecha(2017, 3, 1), 1, 18, 10, sClave, 1, false});
        }
    }
    // Another company in 2018, and this company in 2019: neither is in the period.
    C.fila(tCliente, {"Z01", "OTRA", "EMPRESA", Nulo, false, false, 1, 1, 10, 2});
    C.fila(tMovtos, {"C", 3001, fecha(2018, 5, 5), 1, 19, 10, "Z01", 2, false});
    C.fila(tMovtos, {"V", 3002, fecha(2019, 1, 1, 0), 1, 20, 10, "H001", 1, false});

    C.tabla("tRelevan", columnasRelevan());
    C.tabla("tMsgInterno", columnasMensajes());
    return C.guarda(sCarpeta, {});
}

bool EscribeIncompleta(const QString& sCarpeta)
{
    TConstructor C;
    comunes(C, false, Nulo, Nulo, Nulo);
    geografia(C);
    riesgos(C);
    divisas(C);
    const int tSector = C.tabla(
        "tSector",
        {{"ClaveSector", T::EnteroLargo}, {"Sector", T::Texto, 100}, {"ClaveActividad", T::Texto, 7}});
    C.fila(tSector, {1, "NO APLICA", "0000000"});
    const int tCliente = C.tabla("tCliente", columnasClientes(true));
    C.fila(tCliente, {"10000000", "PUBLICO EN GENERAL", Nulo, Nulo, false, false, 1, false, 1, Nulo, 1});
    const int tMovtos = C.tabla("tMovtos", columnasOps());
    C.tabla("tProces", columnasOps());
    C.fila(tMovtos, {"C", 1, fecha(2018, 3, 1), 1, 19, 10, "10000000", 1, false});
    C.fila(tMovtos, {"V", 2, fecha(2018, 4, 1), 1, 20, 10, "10000000", 1, false});
    C.tabla("tRelevan", columnasRelevan());
    return C.guarda(sCarpeta, {});
}

} // namespace FixturasHost
