#include "EjemplosSQL.h"
#include "Falsos.h"

#include "common/DialogosGuion.h"

#include <QtTest>

// The Jet SQL texts the questionnaire composes, checked character by character. Builders are
// called on objects without a connection: the version read fails, and each test sets the
// host version it needs.
class TestConstructoresSQL : public QObject
{
    Q_OBJECT
    std::shared_ptr<TDialogosGuion> guion;
    std::unique_ptr<TTablaMemoria> peps;

    std::unique_ptr<TCuestPrueba> crea(double dVersion, int nNumEmp = 1)
    {
        auto c = std::make_unique<TCuestPrueba>(nullptr, std::make_shared<TManejadorGrabador>(),
                                                std::make_shared<TMensajeroGrabador>(), nNumEmp);
        c->SetVersionSist(dVersion);
        c->SetTablaPEPs(peps.get());
        return c;
    }

    // Texts composed from the fragments as they stand in the builders' definitions.
    static QString clientes(bool bFide, const QString& sNumEmp, const QString& sPEP = ", 0 AS EsPEP ")
    {
        return QString(
                   "SELECT  ClaveCliente AS AuxCvC, IIF(PersonaMoral <> 0, Nombre, Nombre + "
                   "IIF(ISNULL(ApellidoPaterno), '', ' '+ ApellidoPaterno) + IIF(ISNULL(ApellidoMaterno), "
                   "'', ' "
                   "' + ApellidoMaterno)) AS Cliente, IIF(PersonaMoral <> 0, 0, -1) AS EsPF, PersonaMoral AS "
                   "EsPM, IIF( ClaveCliente = '10000000', 1,  0 ) AS EsPubGen, Extranjero AS EsExtrj, "
                   "ClaveSector, ") +
               (bFide ? " Fideicomiso, " : "") + " ClaveRiesgo, " + "iif( isnull(tcliente.claveciudad), " +
               "iif(  isnull((select top 1 ( tEmpresa.CveCiudSuc  ) from  tEmpresa ) ), " +
               "(select top 1 ( tEmpresa.ClaveCiudad ) from  tEmpresa ), " +
               "(select top 1 ( tEmpresa.CveCiudSuc  ) from  tEmpresa )  ), " +
               "Claveciudad ) AS CveCiudad " + sPEP + "FROM tCliente " + "WHERE NumEmp = " + sNumEmp;
    }
    static QString conActividad(bool bFide)
    {
        return QString(
                   "SELECT  tXClientes.*, tSector.Sector AS Actividad, IIF((ClaveActividad = '9503005' or "
                   "ClaveActividad = '6999992' ), -1, 0) AS EsCC, IIF( (ClaveActividad = '8123094' or "
                   "ClaveActividad = '9911018'), -1, 0) AS EsEF, IIF(ClaveActividad = '8219025', -1, 0) AS "
                   "EsCB, IIF(ClaveActividad = '8100000', -1, 0) AS EsB, ") +
               (bFide ? " IIF( IsNull( Fideicomiso ), False, Fideicomiso ) AS EsFide,  " : "") +
               " IIF(( ucase( Cliente ) LIKE  '%INSTITUCION DE FINANCIAMIENTO%' " +
               " OR ucase( Cliente ) LIKE '%INSTITUCION DE DE FONDOS%' ) , " + " True, False ) AS EsITF " +
               "FROM (" + clientes(bFide, "1") + ") AS tXClientes, tSector " +
               "WHERE tXClientes.ClaveSector = tSector.ClaveSector";
    }
    static QString entidades()
    {
        return "SELECT C.ClaveCiudad, C.Ciudad, E.ClaveEstado, E.Estado, P.ClavePais, P.Pais FROM ( tCiudad "
               "AS C "
               "INNER JOIN tEstados AS E ON C.ClaveEstado = E.ClaveEstado) INNER JOIN tPaises AS P ON "
               "E.ClavePais "
               "= P.ClavePais ";
    }
    static QString conEntidad()
    {
        return "SELECT tCliente.*, Entidad.ClaveCiudad, Entidad.Ciudad, Entidad.ClaveEstado, Entidad.Estado, "
               "Entidad.ClavePais, Entidad.Pais FROM ( " +
               entidades() + " )  AS Entidad " + "INNER  JOIN ( " + clientes(false, "1") + " ) AS tCliente " +
               "ON tCliente.CveCiudad = Entidad.ClaveCiudad ";
    }
    static QString conRiesgo()
    {
        return "SELECT  tXClientes.*,  tNivRiesgo.NivelRiesgo AS Riesgo FROM (" + clientes(false, "1") +
               ") AS tXClientes " + "INNER JOIN tNivRiesgo " +
               "ON tXClientes.ClaveRiesgo = tNivRiesgo.ClaveNivel ";
    }
    static QString operaciones(const QString& C, const QString& sNumEmp = "1")
    {
        return "SELECT Tipo, Folio, Fecha, NDiv, Cot, SUM(XCant)  AS AuxCant, CvCAux,  SUM ( ImporteCalc ) "
               "AS "
               "AuxImporte FROM (  SELECT Tipo, Folio, Fecha, NumeroDivisa AS NDiv, Cotizacion AS Cot, "
               "Cantidad AS "
               "XCant, ClaveCliente AS CvCAux , ( Cotizacion * Cantidad ) AS ImporteCalc  FROM tMovtos WHERE "
               "NumEmp "
               "= " +
               sNumEmp + " and " + "Cancelado = " + C + " " + "UNION ALL " +
               "SELECT Tipo, Folio, Fecha, NumeroDivisa AS NDiv, Cotizacion AS Cot, Cantidad " +
               "AS XCant, ClaveCliente AS CvCAux , ( Cotizacion * Cantidad ) AS ImporteCalc " +
               "FROM tProces " + "WHERE NumEmp = " + sNumEmp + " and " + "Cancelado = " + C + " " + ") " +
               "WHERE (Tipo = 'C' or Tipo = 'V') " + "GROUP BY Tipo, Folio, Fecha, NDiv, Cot, CvCAux ";
    }
    static QString periodo(const QString& sIni = "01/01/2018", const QString& sFin = "12/31/2018")
    {
        return "SELECT tOps.* FROM (" + operaciones("0") + ") AS tOps " + "WHERE " + "tOps.Fecha >= #" +
               sIni + "# AND " + "tOps.Fecha <= #" + sFin + "#";
    }
    static QString totales()
    {
        return "SELECT Ops.Tipo, Ops.nDiv, tDivisas.Simbolo, tDivisas.Pagare, SUM( AuxCant ) AS Cantidad, "
               "SUM( "
               "auxImporte ) AS Importe, count(*) AS NumOps FROM ( " +
               periodo() + " ) AS Ops " + "INNER JOIN tDivisas " + "ON Ops.nDiv = tDivisas.NumeroDivisa " +
               "GROUP BY Ops.NDiv,  tDivisas.Simbolo, Ops.Tipo , tDivisas.Pagare ";
    }
    static QString estadoEmpresa()
    {
        return "SELECT Estado FROM tEstados  WHERE tEstados.ClaveEstado = ( SELECT TOP 1 ClaveEstado FROM "
               "tCiudad "
               "WHERE ClaveCiudad = ( SELECT IIF(  isnull((SELECT TOP 1 ( tEmpresa.CveCiudSuc  ) FROM  "
               "tEmpresa ) "
               "), (SELECT TOP 1 ( tEmpresa.ClaveCiudad ) FROM  tEmpresa ), (SELECT TOP 1 ( "
               "tEmpresa.CveCiudSuc  ) "
               "FROM  tEmpresa ) ) FROM tEmpresa) ) ";
    }
    static QString porDefecto(const QString& s, const QString& sDefecto)
    {
        return "SELECT IIF( XResul = 'ZZZSINRESULT' or ISNULL( XResul ), '" + sDefecto +
               "', XResul) AS Resultado FROM " + "(" + s + " UNION ALL " +
               "SELECT 'ZZZSINRESULT' AS XResul " + "FROM tEmpresa) ";
    }
    static QString relevan(const QString& sTipo, bool bReportadas)
    {
        return "SELECT NoRelevan FROM tRelevan WHERE tRelevan.Fecha >= #01/01/2018# " +
               QString(" And tRelevan.Fecha <= #12/31/2018# ") + " And tRelevan.TipoRelev = '" + sTipo +
               "' " +
               (bReportadas ? " And tRelevan.EliminXAnt = False  And tRelevan.Reportada = True  And "
                              "tRelevan.FecReporte > 0 "
                            : " And tRelevan.EliminXAnt = False");
    }

private slots:
    void initTestCase()
    {
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
    }
    void cleanupTestCase() { InstalaDialogos(nullptr); }
    void init() { peps = CreaTablaPEPs(); }

    // Without a connection the version read fails: one "BD-101" box naming the
    // questionnaire's class, version 0, and the object is still built.
    void versionSinConexion()
    {
        guion->Cajas.clear();
        TCuestPrueba c(nullptr, std::make_shared<TManejadorGrabador>(),
                       std::make_shared<TMensajeroGrabador>(), 1);
        QCOMPARE(guion->Cajas.size(), 1);
        QVERIFY2(
            guion->Cajas[0].sTexto.startsWith("Error #BD-101.TRepCuestZIDU2019: Llame a Soporte Técnico. "),
            qPrintable(guion->Cajas[0].sTexto));
        QCOMPARE(c.VersionSist(), 0.0);
        QVERIFY(!c.ConFideicomisos());
    }

    void campoPEP_data()
    {
        QTest::addColumn<QStringList>("claves");
        QTest::addColumn<QVariantList>("marcas");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("lista vacia") << QStringList() << QVariantList() << ", 0 AS EsPEP ";
        QTest::newRow("ninguna marcada")
            << QStringList{"1", "2"} << QVariantList{false, QVariant()} << ", 0 AS EsPEP ";
        QTest::newRow("una") << QStringList{"1", "20"} << QVariantList{false, true}
                             << ", IIF( ( ClaveCliente = '20' ), -1, 0 ) AS EsPEP ";
        QTest::newRow("tres con una sin marcar en medio")
            << QStringList{"A1", "B2", "C3", "D4", "E5"} << QVariantList{true, true, false, true, QVariant()}
            << ", IIF( ( ClaveCliente = 'A1' or ClaveCliente = 'B2' or ClaveCliente = 'D4' ), -1, 0 ) AS "
               "EsPEP ";
        QTest::newRow("clave sin recortar") << QStringList{" 7 "} << QVariantList{true}
                                            << ", IIF( ( ClaveCliente = ' 7 ' ), -1, 0 ) AS EsPEP ";
        QTest::newRow("apostrofo duplicado")
            << QStringList{"O'BRIEN", "X' OR 1=1 OR 'Y"} << QVariantList{true, true}
            << ", IIF( ( ClaveCliente = 'O''BRIEN' or ClaveCliente = 'X'' OR 1=1 OR ''Y' ), -1, 0 ) AS "
               "EsPEP ";
        // The list shows at most 20 characters in the host's code page; the answers use the
        // key as the database holds it.
        QTest::newRow("clave de mas de 20")
            << QStringList{"CLIENTE-0000000000000000000001", "CLIENTE-0000000000000000000002"}
            << QVariantList{true, false}
            << ", IIF( ( ClaveCliente = 'CLIENTE-0000000000000000000001' ), -1, 0 ) AS EsPEP ";
        QTest::newRow("fuera de windows-1252")
            << QStringList{QString::fromUtf8("ΩЖ-1"), QString::fromUtf8("Ω€-2")} << QVariantList{true, true}
            << QString::fromUtf8(
                   ", IIF( ( ClaveCliente = 'ΩЖ-1' or ClaveCliente = 'Ω€-2' ), -1, 0 ) AS EsPEP ");
    }
    void campoPEP()
    {
        QFETCH(QStringList, claves);
        QFETCH(QVariantList, marcas);
        QFETCH(QString, esperado);
        peps->Abre();
        for (int i = 0; i < claves.size(); ++i)
            AgregaPEP(*peps, claves[i], marcas[i]);
        auto c = crea(30);
        QCOMPARE(c->DameCampoPEP(), esperado);
        // The list is left past its last row.
        QVERIFY(peps->Fin());
        // The ticks reach the base client query.
        QCOMPARE(c->DameConsultaClientes(), clientes(true, "1", esperado));
    }

    void campoPEPSinTabla()
    {
        auto c = crea(30);
        c->SetTablaPEPs(nullptr);
        QCOMPARE(c->DameCampoPEP(), QString(", 0 AS EsPEP "));
        auto cerrada = CreaTablaPEPs();
        c->SetTablaPEPs(cerrada.get());
        QCOMPARE(c->DameCampoPEP(), QString(", 0 AS EsPEP "));
    }

    void textos_data()
    {
        QTest::addColumn<QString>("obtenido");
        QTest::addColumn<QString>("esperado");
        peps = CreaTablaPEPs();
        auto v29 = crea(29);
        auto v295 = crea(29.5);
        auto v30 = crea(30);
        auto e12 = crea(29, 12);

        // Client side, with and without trusts
        QTest::newRow("clientes v29") << v29->DameConsultaClientes() << clientes(false, "1");
        QTest::newRow("clientes v29.5") << v295->DameConsultaClientes() << clientes(true, "1");
        QTest::newRow("clientes empresa 12") << e12->DameConsultaClientes() << clientes(false, "12");
        QTest::newRow("entidades") << v29->DameConsultaEntidades() << entidades();
        QTest::newRow("actividad v29") << v29->DameClientesConActividad() << conActividad(false);
        QTest::newRow("actividad v30") << v30->DameClientesConActividad() << conActividad(true);
        QTest::newRow("con entidad") << v29->DameClientesConEntidad() << conEntidad();
        QTest::newRow("con riesgo") << v29->DameClientesConRiesgo() << conRiesgo();

        const QString agrupaSin =
            "SELECT 0 AS Aux, EsPF, EsPM, EsPubGen, EsExtrj, EsCC, EsEF, EsCB, EsB, EsPEP,  "
            "EsITF FROM (<X>) AS tXCSinPG WHERE EsPubGen = 0 GROUP BY tXCSinPG.CvCAux, EsPF, "
            "EsPM, EsPubGen, EsExtrj, EsCC, EsEF, EsCB, EsB, EsPEP,  EsITF UNION ALL SELECT "
            "tXCPG.CvCAux AS Aux, EsPF, EsPM, EsPubGen, EsExtrj, EsCC, EsEF, EsCB, EsB, "
            "EsPEP,  EsITF FROM (<X>) AS tXCPG WHERE EsPubGen <> 0 ";
        QString agrupaCon = agrupaSin;
        agrupaCon.replace("EsPEP,  EsITF", "EsPEP, EsFide,  EsITF");
        QTest::newRow("agrupa v29") << v29->AgrupaPorCliente("<X>") << agrupaSin;
        QTest::newRow("agrupa v30") << v30->AgrupaPorCliente("<X>") << agrupaCon;
        QTest::newRow("agrupa riesgo")
            << v29->AgrupaPorClienteRiesgo("<X>")
            << "SELECT Riesgo FROM (<X>) AS tXCSinPG WHERE EsPubGen = 0 GROUP BY tXCSinPG.CvCAux, Riesgo ";

        QTest::newRow("riesgo 0 bajo")
            << v29->FiltraPorRiesgo("<X>", 0) << "SELECT * FROM (<X>) WHERE Riesgo Like '%BAJO%' ";
        QTest::newRow("riesgo 1 medio")
            << v29->FiltraPorRiesgo("<X>", 1) << "SELECT * FROM (<X>) WHERE Riesgo Like '%MEDIO%' ";
        QTest::newRow("riesgo 2 alto")
            << v29->FiltraPorRiesgo("<X>", 2) << "SELECT * FROM (<X>) WHERE Riesgo Like '%ALTO%' ";
        QTest::newRow("riesgo 3 sin cambio") << v29->FiltraPorRiesgo("<X>", 3) << "<X>";
        QTest::newRow("riesgo 4 sin condicion") << v29->FiltraPorRiesgo("<X>", 4) << "SELECT * FROM (<X>) ";

        const QString w = "SELECT * FROM (<X>) ";
        QTest::newRow("categoria 0 ignora modificadores")
            << v29->FiltraPorCategoria("<X>", 0, 2, true) << "<X>";
        QTest::newRow("categoria 1") << v29->FiltraPorCategoria("<X>", 1, 0, false)
                                     << w + "WHERE EsPF <> 0 AND EsPubGen = 0 ";
        QTest::newRow("categoria 2 nacionales")
            << v29->FiltraPorCategoria("<X>", 2, 1, false)
            << w + "WHERE EsPM <> 0 AND EsCC = 0 AND EsEF = 0 AND EsCB = 0 AND EsB = 0 AND EsExtrj = 0 ";
        QTest::newRow("categoria 3") << v29->FiltraPorCategoria("<X>", 3, 0, false) << w + "WHERE EsCC <> 0 ";
        QTest::newRow("categoria 4") << v29->FiltraPorCategoria("<X>", 4, 0, false)
                                     << w + "WHERE (EsEF <> 0 OR EsCB <> 0 OR EsB <> 0) ";
        QTest::newRow("categoria 5") << v29->FiltraPorCategoria("<X>", 5, 0, false) << w + "WHERE EsCB <> 0 ";
        QTest::newRow("categoria 6") << v29->FiltraPorCategoria("<X>", 6, 0, false) << w + "WHERE EsB <> 0 ";
        QTest::newRow("categoria 7") << v29->FiltraPorCategoria("<X>", 7, 0, false)
                                     << w + "WHERE EsPEP <> 0 ";
        QTest::newRow("categoria 8") << v29->FiltraPorCategoria("<X>", 8, 0, false)
                                     << w + "WHERE (EsCC <> 0 OR EsEF <> 0 OR EsCB <> 0 OR EsB <> 0) ";
        QTest::newRow("categoria 9 v29")
            << v29->FiltraPorCategoria("<X>", 9, 0, false) << w + "WHERE EsPF <> 0  AND EsPM <> 0 ";
        QTest::newRow("categoria 9 v29.5")
            << v295->FiltraPorCategoria("<X>", 9, 0, false) << w + "WHERE EsFide <> 0 ";
        QTest::newRow("categoria 10")
            << v29->FiltraPorCategoria("<X>", 10, 0, false) << w + "WHERE EsPubGen <> 0";
        QTest::newRow("categoria 10 sin PEP")
            << v29->FiltraPorCategoria("<X>", 10, 0, true) << w + "WHERE EsPubGen <> 0 AND EsPEP = 0 ";
        QTest::newRow("categoria 11")
            << v29->FiltraPorCategoria("<X>", 11, 0, false) << w + "WHERE EsITF <> 0";
        QTest::newRow("categoria 11 extranjeros sin PEP")
            << v29->FiltraPorCategoria("<X>", 11, 2, true)
            << w + "WHERE EsITF <> 0 AND EsExtrj <> 0 AND EsPEP = 0 ";
        QTest::newRow("categoria 1 extranjeros") << v29->FiltraPorCategoria("<X>", 1, 2, false)
                                                 << w + "WHERE EsPF <> 0 AND EsPubGen = 0 AND EsExtrj <> 0 ";
        QTest::newRow("categoria 7 nacionalidad 3 sin PEP")
            << v29->FiltraPorCategoria("<X>", 7, 3, true) << w + "WHERE EsPEP <> 0 AND EsPEP = 0 ";

        // Operations side
        QTest::newRow("cancelado si") << v29->DameValorCancelado(true) << "-1";
        QTest::newRow("cancelado no") << v29->DameValorCancelado(false) << "0";
        QTest::newRow("operaciones canceladas") << v29->DameConsultaOperaciones(true) << operaciones("-1");
        QTest::newRow("operaciones empresa 12")
            << e12->DameConsultaOperaciones(false) << operaciones("0", "12");
        QTest::newRow("por fechas") << v29->FiltraPorFechas("02/03/2017", "11/30/2018")
                                    << periodo("02/03/2017", "11/30/2018");
        QTest::newRow("une actividad") << v29->UneOpsConActividad("<O>")
                                       << "SELECT * FROM (<O>) AS tXOps, (" + conActividad(false) +
                                              ") AS tXCte WHERE tXOps.CvCAux = tXCte.AuxCvC ";
        QTest::newRow("une entidad") << v29->UneOpsConEntidad("<O>")
                                     << "SELECT * FROM (<O>) AS tXOps INNER JOIN (" + conEntidad() +
                                            ") AS tXCte ON tXOps.CvCAux = tXCte.AuxCvC ";
        QTest::newRow("une riesgo") << v29->UneOpsConRiesgo("<O>")
                                    << "SELECT * FROM (<O>) AS tXOps, (" + conRiesgo() +
                                           ") AS tXCte WHERE tXOps.CvCAux = tXCte.AuxCvC ";
        QTest::newRow("totales") << v29->DameTotalesPorDivisa("01/01/2018", "12/31/2018") << totales();

        const QString sumaOps = "SELECT SUM ( NumOps ) AS XResul FROM (" + totales() + " )";
        QTest::newRow("suma ops sin condicion")
            << v29->DameSumaOperaciones("01/01/2018", "12/31/2018", 0, 0, 2) << sumaOps;
        QTest::newRow("suma ops venta USD sin pagare")
            << v29->DameSumaOperaciones("01/01/2018", "12/31/2018", 2, 2, 1)
            << sumaOps + " WHERE  Tipo = 'V'  AND  Simbolo = 'USD'  AND  Pagare = False ";
        QTest::newRow("suma importe compra EUR pagare")
            << v29->DameSumaImporte("01/01/2018", "12/31/2018", 3, 1, 0)
            << "SELECT ROUND( SUM ( Importe ),2 ) AS XResul FROM (" + totales() +
                   " ) WHERE  Tipo = 'C'  AND  Simbolo = 'EUR'  AND  Pagare = True ";
        QTest::newRow("suma cantidad solo pagare")
            << v29->DameSumaCantidad("01/01/2018", "12/31/2018", 1, 2, 5)
            << "SELECT ROUND( SUM ( Cantidad ),2 ) AS XResul FROM (" + totales() +
                   " ) WHERE  Pagare = False ";
        QTest::newRow("resumen sucursal")
            << v29->DameResumenSucursal("01/01/2018", "12/31/2018", 0, 0, 2)
            << "SELECT 'Numero de Operaciones: ' +STR( SUM(total.NumOps)) + '   Monto: ' + STR( ROUND(Sum( "
               "total.Importe),2) ) + '   en esta Sucursal ' AS XResul FROM ( " +
                   totales() + " ) AS Total ";
        QTest::newRow("resumen estado USD")
            << v29->DameResumenEstado("01/01/2018", "12/31/2018", 2, 0, 2)
            << "SELECT 'Estado o Entidad Federativa: ' + ( " + estadoEmpresa() +
                   " ) +  '   Numero de Operaciones: ' +STR( SUM(total.NumOps)) + '   Monto: ' + STR( "
                   "ROUND(Sum( total.Importe),2) ) AS XResul FROM ( " +
                   totales() + " ) AS Total  WHERE  Simbolo = 'USD' ";
        QTest::newRow("estado empresa") << v29->DameEstadoEmpresa() << estadoEmpresa();

        QTest::newRow("inusuales") << v29->DameInusuales("01/01/2018", "12/31/2018") << relevan("I", false);
        QTest::newRow("inusuales reportadas")
            << v29->DameInusualesReportadas("01/01/2018", "12/31/2018") << relevan("I", true);
        QTest::newRow("preocupantes")
            << v29->DamePreocupantes("01/01/2018", "12/31/2018") << relevan("P", false);
        QTest::newRow("preocupantes reportadas")
            << v29->DamePreocupantesReportadas("01/01/2018", "12/31/2018") << relevan("P", true);
        const QString mensajes = " SELECT tMsgInterno.Numero  FROM tMsgInterno  WHERE tMsgInterno.Fecha >= "
                                 "#01/01/2018#  AND tMsgInterno.Fecha <= #12/31/2018# ";
        QTest::newRow("mensajes internos")
            << v29->DameMensajesInternos("01/01/2018", "12/31/2018") << mensajes;
        QTest::newRow("alertas registradas") << v29->DameAlertasRegistradas("01/01/2018", "12/31/2018")
                                             << "SELECT * FROM ( " + relevan("I", false) + " UNION ALL " +
                                                    relevan("P", false) + " UNION ALL " + mensajes + " ) ";
        QTest::newRow("alertas reportadas")
            << v29->DameAlertasReportadas("01/01/2018", "12/31/2018")
            << "SELECT * FROM ( " + relevan("I", true) + " UNION ALL " + relevan("P", true) + " ) ";

        const QString uneAct = v29->UneOpsConActividad("<O>");
        const QString topAct =
            " SELECT TOP <N> UCASE(Actividades ) AS XResul FROM (  SELECT TOP <N> "
            "UCASE(Actividad) AS Actividades FROM ( SELECT DISTINCT AuxCvC, Actividad FROM ( " +
            uneAct +
            " ) WHERE AuxCvC <> ''  ) WHERE Actividad <> 'NO APLICA' GROUP BY Actividad "
            "ORDER BY COUNT(Actividad) DESC ) ";
        QTest::newRow("top actividades -5")
            << v29->DameTopActividades("<O>", -5) << QString(topAct).replace("<N>", "1");
        QTest::newRow("top actividades 10")
            << v29->DameTopActividades("<O>", 10) << QString(topAct).replace("<N>", "10");
        const QString topEdo =
            " SELECT TOP <N> UCASE(Estados) AS XResul FROM (  SELECT TOP <N> UCASE(Estado) AS "
            "Estados FROM ( SELECT DISTINCT AuxCvC, Estado FROM ( " +
            v29->UneOpsConEntidad("<O>") +
            " ) WHERE AuxCvC <> ''  ) GROUP BY Estado ORDER BY COUNT(Estado) DESC  ) ";
        QTest::newRow("top estados -5")
            << v29->DameTopEstados("<O>", -5) << QString(topEdo).replace("<N>", "1");
        QTest::newRow("top estados 10")
            << v29->DameTopEstados("<O>", 10) << QString(topEdo).replace("<N>", "10");

        QTest::newRow("conteo") << v29->DameConteo("<Q>")
                                << porDefecto("SELECT COUNT(1) AS XResul FROM (<Q> )", "0");
        QTest::newRow("default sin cambios")
            << v29->DameConsultaConDefault("<Q>", "NO HAY 'NADA'")
            << "SELECT IIF( XResul = 'ZZZSINRESULT' or ISNULL( XResul ), 'NO HAY "
               "'NADA'', XResul) AS Resultado FROM (<Q> UNION ALL SELECT "
               "'ZZZSINRESULT' AS XResul FROM tEmpresa) ";

        // The two complete answers, byte for byte.
        QTest::newRow("ejemplo pregunta 42 inciso 2")
            << v29->DameRespuestaInciso(42, 2) << kEjemploPreg42Inciso2;
        QTest::newRow("ejemplo pregunta 32") << v30->DameRespuesta(32) << kEjemploPreg32;
    }
    void textos()
    {
        QFETCH(QString, obtenido);
        QFETCH(QString, esperado);
        QCOMPARE(obtenido, esperado);
    }

    void condiciones_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("divisa");
        QTest::addColumn<int>("pagare");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("sin condiciones") << 2 << 0 << 0 << "";
        QTest::newRow("codigos fuera de tabla") << 7 << 1 << 3 << "";
        QTest::newRow("compra") << 0 << 0 << 0 << " WHERE  Tipo = 'C' ";
        QTest::newRow("venta USD sin pagare")
            << 1 << 2 << 2 << " WHERE  Tipo = 'V'  AND  Simbolo = 'USD'  AND  Pagare = False ";
        QTest::newRow("EUR pagare") << 2 << 3 << 1 << " WHERE  Simbolo = 'EUR'  AND  Pagare = True ";
    }
    void condiciones()
    {
        QFETCH(int, tipo);
        QFETCH(int, divisa);
        QFETCH(int, pagare);
        QFETCH(QString, esperado);
        auto c = crea(29);
        QString s;
        c->AgregaFiltroTipo(s, tipo);
        c->AgregaFiltroDivisa(s, divisa);
        c->AgregaFiltroPagare(s, pagare);
        QCOMPARE(s, esperado);
        // An empty condition changes nothing.
        c->AgregaCondicion(s, "");
        QCOMPARE(s, esperado);
    }

    // Which builders answer each question, with which codes.
    void mapa()
    {
        peps->Abre();
        AgregaPEP(*peps, "5", true);
        auto c = crea(30);
        const QString fin = "12/31/2018";
        const QString ops = c->FiltraPorFechas("01/01/2018", fin);
        const auto conteo = [&](int nCat, int nNac, bool bSinPEP) {
            return c->DameConteo(
                c->FiltraPorCategoria(c->AgrupaPorCliente(c->UneOpsConActividad(ops)), nCat, nNac, bSinPEP));
        };
        const QString ninguno = "NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL";

        for (int n : {1, 5, 8, 11, 15, 21, 24, 29, 40, 41, 47})
            QVERIFY2(c->DameRespuesta(n).isEmpty(), qPrintable(QString::number(n)));
        for (int n : {-1, 0, 42, 43, 48, 100})
            QCOMPARE(c->DameRespuesta(n), QString("** E R R O R **"));

        QCOMPARE(c->DameRespuesta(9),
                 c->DameConsultaConDefault(c->DameTopActividades(c->FiltraPorFechas("01/01/1999", fin), 10),
                                           ninguno));
        QCOMPARE(
            c->DameRespuesta(10),
            c->DameConsultaConDefault(c->DameTopEstados(c->FiltraPorFechas("01/01/1999", fin), 10), ninguno));
        QCOMPARE(c->DameRespuesta(22), c->DameConteo(c->DameAlertasRegistradas("01/01/2018", fin)));
        QCOMPARE(c->DameRespuesta(23), c->DameConteo(c->DameAlertasReportadas("01/01/2018", fin)));
        QCOMPARE(c->DameRespuesta(30), conteo(11, 0, false));
        QCOMPARE(c->DameRespuesta(31), conteo(11, 0, false));
        QCOMPARE(c->DameRespuesta(32), conteo(1, 1, false));
        QCOMPARE(c->DameRespuesta(33), conteo(2, 1, false));
        QCOMPARE(c->DameRespuesta(34), conteo(1, 2, false));
        QCOMPARE(c->DameRespuesta(35), conteo(2, 2, false));
        QCOMPARE(c->DameRespuesta(36), conteo(9, 0, false));
        QCOMPARE(c->DameRespuesta(37), conteo(7, 0, false));
        QCOMPARE(c->DameRespuesta(38),
                 c->DameConteo(c->FiltraPorRiesgo(c->AgrupaPorClienteRiesgo(c->UneOpsConRiesgo(ops)), 2)));
        QCOMPARE(c->DameRespuesta(39), conteo(10, 0, true));
        QVERIFY(c->DameRespuesta(39).contains("WHERE EsPubGen <> 0 AND EsPEP = 0 "));
        QVERIFY(c->DameRespuesta(37).contains("ClaveCliente = '5'"));
        const QString estado =
            c->DameConsultaConDefault(c->DameResumenEstado("01/01/2018", fin, 0, 0, 2), "0");
        QCOMPARE(c->DameRespuesta(44), estado);
        QCOMPARE(c->DameRespuesta(45), estado);
        QCOMPARE(c->DameRespuesta(46),
                 c->DameConsultaConDefault(c->DameResumenSucursal("01/01/2018", fin, 0, 0, 2), "0"));
    }

    void incisos_data()
    {
        QTest::addColumn<int>("pregunta");
        QTest::addColumn<int>("inciso");
        QTest::addColumn<QString>("cabeza");
        QTest::addColumn<QString>("condicion");
        const QString ops = "SELECT SUM ( NumOps ) AS XResul FROM (";
        const QString imp = "SELECT ROUND( SUM ( Importe ),2 ) AS XResul FROM (";
        const QString can = "SELECT ROUND( SUM ( Cantidad ),2 ) AS XResul FROM (";
        for (int p : {42, 43}) {
            const QString t = p == 42 ? " WHERE  Tipo = 'C' " : " WHERE  Tipo = 'V' ";
            const QString usd = t + " AND  Simbolo = 'USD'  AND  Pagare = False ";
            const QString eur = t + " AND  Simbolo = 'EUR'  AND  Pagare = False ";
            const auto fila = [&](int m) -> QTestData& { return QTest::addRow("%d.%d", p, m) << p << m; };
            fila(1) << ops << t;
            fila(2) << imp << t;
            fila(3) << ops << usd;
            fila(4) << can << usd;
            fila(5) << ops << eur;
            fila(6) << can << eur;
        }
    }
    void incisos()
    {
        QFETCH(int, pregunta);
        QFETCH(int, inciso);
        QFETCH(QString, cabeza);
        QFETCH(QString, condicion);
        auto c = crea(29);
        QCOMPARE(c->DameRespuestaInciso(pregunta, inciso),
                 porDefecto(cabeza + totales() + " )" + condicion, "0"));
    }

    void incisosFueraDeMapa()
    {
        auto c = crea(29);
        for (auto [p, m] : {std::pair{42, 0}, {42, 7}, {43, -1}, {41, 1}, {44, 2}, {0, 1}})
            QCOMPARE(c->DameRespuestaInciso(p, m), QString("** E R R O R **"));
    }
};

QTEST_GUILESS_MAIN(TestConstructoresSQL)
#include "TestConstructoresSQL.moc"
