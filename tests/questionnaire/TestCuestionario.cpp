#include "Falsos.h"
#include "tests/data/ProveedorFalso.h"

#include "common/DialogosGuion.h"
#include "questionnaire/BoolPersist.h"

#include <QtTest>

Q_DECLARE_METATYPE(TValorBD)

namespace {

TResultadoBD resultado(const QStringList& columnas, const std::vector<std::vector<TValorBD>>& filas)
{
    TResultadoBD r;
    r.Columnas = columnas;
    r.Filas = filas;
    return r;
}

// An answer result: the given lines in column Resultado, then the closing row.
TResultadoBD respuesta(const QStringList& lineas, const QString& sCierre = "0")
{
    std::vector<std::vector<TValorBD>> filas;
    for (const QString& l : lineas)
        filas.push_back({TValorBD::Texto(l)});
    filas.push_back({TValorBD::Texto(sCierre)});
    return resultado({"Resultado"}, filas);
}

const QString kDeteccion =
    "SELECT DISTINCT tCliente.Nombre, tCliente.ApellidoPaterno,  tCliente.ApellidoMaterno, "
    "tCliente.ClaveCliente "
    "FROM tRelevan, tCliente WHERE tRelevan.TipoRelev = 'I' AND tRelevan.Fecha >= #01/01/2018# AND "
    "tRelevan.Fecha <= #12/31/2018# AND tRelevan.Observaciones LIKE '%PEP%' AND tRelevan.NumEmp = 3 AND "
    "tCliente.ClaveCliente = tRelevan.ClaveCliente";

// Each listed client's earliest matching record, for the list's namesake hint.
const QString kRegistrosPEP =
    "SELECT tRelevan.ClaveCliente, tRelevan.Fecha, tRelevan.Observaciones FROM tRelevan WHERE "
    "tRelevan.TipoRelev = 'I' AND tRelevan.Fecha >= #01/01/2018# AND tRelevan.Fecha <= #12/31/2018# AND "
    "tRelevan.Observaciones LIKE '%PEP%' AND tRelevan.NumEmp = 3 ORDER BY tRelevan.ClaveCliente, "
    "tRelevan.Fecha";

const QString kError = "** E R R O R **";
const QString kVersion = " SELECT NumVersion  FROM tSistema ";

} // namespace

// The driver's walk over scripted query results: the order of messages and variables, where
// a run stops, how answer rows are read and how detected clients are written. The same
// driver runs over real host files in TestRespuestas.
class TestCuestionario : public QObject
{
    Q_OBJECT
    std::shared_ptr<TDialogosGuion> guion;
    std::shared_ptr<TManejadorGrabador> reporte;
    std::shared_ptr<TMensajeroGrabador> mensajero;
    std::unique_ptr<TTablaMemoria> peps;
    TConexionBD conexion;

    std::unique_ptr<TCuestPrueba> crea()
    {
        auto c = std::make_unique<TCuestPrueba>(&conexion, reporte, mensajero, 3);
        c->SetTablaPEPs(peps.get());
        return c;
    }

    // Scripts every answer of the questionnaire: "R<n>" for question n, "R42.<m>" for the
    // sub-items; overrides by question number ("42.2" for a sub-item) replace the result,
    // and a question listed in fallan gets no result, so its query fails.
    void guionCompleto(TCuestPrueba& c, const QMap<QString, TResultadoBD>& cambios = {},
                       const QStringList& fallan = {})
    {
        auto& r = EstadoFalso().Resultados;
        r.insert("SELECT * FROM tEmpresa",
                 resultado({"Empresa", "RFC", "RegistroCC", "NumEmp", "NomComercial"},
                           {{TValorBD::Texto("CAMBIOS DEL NORTE"), TValorBD::Texto("RFC"),
                             TValorBD::Texto("00123"), TValorBD::Entero(3), TValorBD()}}));
        QList<QPair<QString, QString>> textos;
        for (int n = 1; n <= 47; ++n)
            textos.append({QString::number(n), c.DameRespuesta(n)});
        for (int n : {42, 43})
            for (int m = 1; m <= 6; ++m)
                textos.append({QString("%1.%2").arg(n).arg(m), c.DameRespuestaInciso(n, m)});
        // Questions that share a text share its result; changes and failures are applied last.
        for (const auto& [sClave, sTexto] : textos)
            if (!sTexto.isEmpty() && sTexto != kError)
                r.insert(sTexto, respuesta({"R" + sClave}));
        for (const auto& [sClave, sTexto] : textos) {
            if (cambios.contains(sClave))
                r.insert(sTexto, cambios.value(sClave));
            if (fallan.contains(sClave))
                r.remove(sTexto);
        }
    }

    static QStringList nombresHasta(int nUltima)
    {
        QStringList l{"NombreCC", "RegCC"};
        for (int n = 1; n <= nUltima; ++n) {
            if (n == 42 || n == 43) {
                for (int m = 1; m <= 6; ++m)
                    l << QString("preg_%1_%2").arg(n).arg(m);
            } else {
                l << QString("preg_%1").arg(n);
            }
        }
        return l;
    }
    static QStringList avancesHasta(int nUltima)
    {
        QStringList l;
        for (int n = 1; n <= nUltima; ++n) {
            const int p = n * 100 / 47;
            l << (p >= 100 ? QString("Espera|Por favor espere... 100%|0")
                           : QString("EnTx|Por favor espere... %1%").arg(p));
        }
        return l;
    }

private slots:
    void init()
    {
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        InstalaProveedorFalso();
        conexion.SetCadenaConexion("Provider=Falso;Data Source=x");
        conexion.SetConectado(true);
        reporte = std::make_shared<TManejadorGrabador>();
        mensajero = std::make_shared<TMensajeroGrabador>();
        peps = CreaTablaPEPs();
        peps->Abre();
        EstadoFalso().Resultados.insert(kVersion, resultado({"NumVersion"}, {{TValorBD::Doble(30)}}));
    }
    void cleanup()
    {
        conexion.SetConectado(false);
        InstalaDialogos(nullptr);
        ProveedorSustituto = nullptr;
    }

    void banderaPersistente()
    {
        auto b = CreaBoolPersist(true);
        b->SetValor(true);
        QVERIFY(b->GetValor());
        b->SetValor(false);
        QVERIFY(!b->GetValor());
        b->SetValor(true); // once left, the initial value does not come back
        QVERIFY(!b->GetValor());
        b->Inicializa(false);
        b->SetValor(false);
        QVERIFY(!b->GetValor());
        b->SetValor(true);
        QVERIFY(b->GetValor());
    }

    void version_data()
    {
        QTest::addColumn<int>("filas"); // -1: the query fails
        QTest::addColumn<double>("version");
        QTest::addColumn<int>("cajas");
        QTest::newRow("30") << 1 << 30.0 << 0;
        QTest::newRow("sin filas") << 0 << 0.0 << 0;
        QTest::newRow("falla") << -1 << 0.0 << 1;
    }
    void version()
    {
        QFETCH(int, filas);
        QFETCH(double, version);
        QFETCH(int, cajas);
        const QString s = kVersion;
        EstadoFalso().Resultados.remove(s);
        if (filas == 1)
            EstadoFalso().Resultados.insert(
                s, resultado({"NumVersion"}, {{TValorBD::Doble(30)}, {TValorBD::Doble(2)}}));
        else if (filas == 0)
            EstadoFalso().Resultados.insert(s, resultado({"NumVersion"}, {}));
        auto c = crea();
        QCOMPARE(EstadoFalso().Sentencias, QStringList{s});
        QCOMPARE(c->VersionSist(), version);
        QCOMPARE(guion->Cajas.size(), cajas);
    }

    void pideResultado_data()
    {
        QTest::addColumn<QString>("consulta");
        QTest::addColumn<int>("filas"); // -1: no scripted result, the query fails
        QTest::addColumn<QList<TValorBD>>("valores");
        QTest::addColumn<bool>("exito");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("sentencias");
        const auto T = [](const char* s) { return TValorBD::Texto(s); };
        QTest::newRow("vacia") << "" << 0 << QList<TValorBD>{} << true << "" << 0;
        QTest::newRow("centinela") << kError << 0 << QList<TValorBD>{} << false << kError << 0;
        QTest::newRow("consulta falla") << "SELECT X" << -1 << QList<TValorBD>{} << false << kError << 1;
        QTest::newRow("sin filas") << "SELECT X" << 0 << QList<TValorBD>{} << false << kError << 1;
        QTest::newRow("solo cierre") << "SELECT X" << 1 << QList<TValorBD>{T("NINGUNO")} << true << "NINGUNO"
                                     << 1;
        QTest::newRow("uno y cierre")
            << "SELECT X" << 2 << QList<TValorBD>{T("7"), T("0")} << true << "7" << 1;
        QTest::newRow("tres lineas") << "SELECT X" << 4 << QList<TValorBD>{T("A"), T("B"), T("C"), T("X")}
                                     << true << "A\r\nB\r\nC" << 1;
        QTest::newRow("vacios al frente y en medio")
            << "SELECT X" << 6 << QList<TValorBD>{T(""), TValorBD(), T("A"), T(""), T("B"), T("X")} << true
            << "A\r\n\r\nB" << 1;
        QTest::newRow("numero y nulo")
            << "SELECT X" << 3 << QList<TValorBD>{TValorBD::Entero(12), TValorBD(), T("")} << true << "12\r\n"
            << 1;
    }
    void pideResultado()
    {
        QFETCH(QString, consulta);
        QFETCH(int, filas);
        QFETCH(QList<TValorBD>, valores);
        QFETCH(bool, exito);
        QFETCH(QString, texto);
        QFETCH(int, sentencias);
        if (filas >= 0) {
            std::vector<std::vector<TValorBD>> f;
            for (const auto& v : valores)
                f.push_back({v});
            EstadoFalso().Resultados.insert(consulta, resultado({"Resultado"}, f));
        }
        auto c = crea();
        const int antes = int(EstadoFalso().Sentencias.size());
        QString s = "previo";
        QCOMPARE(c->PideResultado(consulta, s), exito);
        QCOMPARE(s, texto);
        QCOMPARE(int(EstadoFalso().Sentencias.size()) - antes, sentencias);
        QCOMPARE(guion->Cajas.size(), filas == -1 ? 1 : 0);
    }

    // A result without a column Resultado is not a database failure: the error reaches the caller.
    void pideResultadoSinColumna()
    {
        EstadoFalso().Resultados.insert("SELECT X", resultado({"XResul"}, {{TValorBD::Texto("1")}}));
        auto c = crea();
        QString s;
        QVERIFY_THROWS_EXCEPTION(TErrorBD, c->PideResultado("SELECT X", s));
    }

    void generaCompleto()
    {
        auto c = crea();
        guionCompleto(*c, {{"9", respuesta({"CAMBIO", "COMERCIO", "TRANSPORTE"}, "NINGUNO")},
                           {"10", respuesta({}, "NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL")},
                           {"30", respuesta({"0"})}});
        QVERIFY(c->GeneraReporte(peps.get()));

        QCOMPARE(reporte->Nombres(), nombresHasta(47));
        for (const auto& d : reporte->Datos)
            QCOMPARE(d.sCategoria, QString("Cuestionario"));
        QCOMPARE(reporte->Valor("NombreCC"), QString("CAMBIOS DEL NORTE"));
        QCOMPARE(reporte->Valor("RegCC"), QString("08900123"));
        QCOMPARE(reporte->Valor("preg_1"), QString(""));
        QCOMPARE(reporte->Valor("preg_9"), QString("CAMBIO\r\nCOMERCIO\r\nTRANSPORTE"));
        QCOMPARE(reporte->Valor("preg_10"), QString("NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL"));
        QCOMPARE(reporte->Valor("preg_22"), QString("R22"));
        QCOMPARE(reporte->Valor("preg_30"), QString("NO"));
        QCOMPARE(reporte->Valor("preg_31"), QString("0")); // same text as question 30, shown as read
        QCOMPARE(reporte->Valor("preg_42_1"), QString("R42.1"));
        QCOMPARE(reporte->Valor("preg_43_6"), QString("R43.6"));
        QCOMPARE(reporte->Valor("preg_44"), QString("R45")); // 44 and 45 share their text
        QCOMPARE(reporte->Valor("preg_46"), QString("R46"));
        QCOMPARE(reporte->Valor("preg_47"), QString(""));
        QCOMPARE(reporte->nMuestras, 1);

        const QStringList esperado = QStringList{"Espera|Iniciando...|0"} + avancesHasta(47) +
                                     QStringList{"Espera|Preparando reporte...|0"};
        QCOMPARE(mensajero->Llamadas, esperado);
        QVERIFY(mensajero->Llamadas.contains("EnTx|Por favor espere... 17%"));
        QVERIFY(mensajero->Llamadas.contains("EnTx|Por favor espere... 97%"));
        QCOMPARE(peps->RegActual(), -1); // no PEP rows: the table was read and is empty
        QVERIFY(guion->Cajas.isEmpty());
    }

    void pregunta30_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("mostrado");
        QTest::newRow("cero") << "0"
                              << "NO";
        QTest::newRow("tres") << "3"
                              << "SI";
        QTest::newRow("vacio") << ""
                               << "SI";
        QTest::newRow("doble cero") << "00"
                                    << "SI";
    }
    void pregunta30()
    {
        QFETCH(QString, valor);
        QFETCH(QString, mostrado);
        auto c = crea();
        guionCompleto(*c, {{"30", respuesta({valor})}});
        QVERIFY(c->GeneraReporte(peps.get()));
        QCOMPARE(reporte->Valor("preg_30"), mostrado);
        QCOMPARE(reporte->Valor("preg_31"), valor);
    }

    void registroVacio()
    {
        auto c = crea();
        guionCompleto(*c);
        EstadoFalso().Resultados.insert(
            "SELECT * FROM tEmpresa",
            resultado({"Empresa", "RFC", "RegistroCC", "NumEmp", "NomComercial"},
                      {{TValorBD(), TValorBD(), TValorBD(), TValorBD(), TValorBD()}}));
        QVERIFY(c->GeneraReporte(peps.get()));
        QCOMPARE(reporte->Valor("NombreCC"), QString(""));
        QCOMPARE(reporte->Valor("RegCC"), QString("089"));
    }

    // A failed answer stops the run: variables up to it, "Error..." once, no preview.
    void falla_data()
    {
        QTest::addColumn<QString>("falla");
        QTest::addColumn<bool>("sinFilas");
        QTest::addColumn<int>("ultima");
        QTest::addColumn<int>("cajas");
        QTest::newRow("22 falla") << "22" << false << 22 << 1;
        QTest::newRow("22 sin filas") << "22" << true << 22 << 0;
        QTest::newRow("1ra pregunta con consulta") << "9" << false << 9 << 1;
        QTest::newRow("42 inciso 2") << "42.2" << false << 42 << 1;
        QTest::newRow("43 incisos 1 y 6") << "43.1,43.6" << false << 43 << 2;
        QTest::newRow("ultima con consulta") << "46" << true << 46 << 0;
    }
    void falla()
    {
        QFETCH(QString, falla);
        QFETCH(bool, sinFilas);
        QFETCH(int, ultima);
        QFETCH(int, cajas);
        auto c = crea();
        const QStringList claves = falla.split(',');
        QMap<QString, TResultadoBD> cambios;
        if (sinFilas)
            for (const QString& k : claves)
                cambios.insert(k, resultado({"Resultado"}, {}));
        guionCompleto(*c, cambios, sinFilas ? QStringList() : claves);

        QVERIFY(!c->GeneraReporte(peps.get()));
        QCOMPARE(reporte->Nombres(), nombresHasta(ultima));
        for (const QString& k : claves) {
            const QString v = k.contains('.') ? "preg_" + QString(k).replace('.', '_') : "preg_" + k;
            QCOMPARE(reporte->Valor(v), kError);
        }
        if (ultima == 42) // the other sub-items are still read
            QCOMPARE(reporte->Valor("preg_42_6"), QString("R42.6"));
        QCOMPARE(reporte->nMuestras, 0);
        const QStringList esperado = QStringList{"Espera|Iniciando...|0"} + avancesHasta(ultima - 1) +
                                     QStringList{"Espera|Error...|0"};
        QCOMPARE(mensajero->Llamadas, esperado);
        QCOMPARE(guion->Cajas.size(), cajas);
        if (cajas)
            QVERIFY(
                guion->Textos().first().startsWith("Error #BD-101.TCuestPrueba: Llame a Soporte Técnico. "));
    }

    // The ticks of the review list reach the client queries of the run.
    void marcasEnLaCorrida()
    {
        AgregaPEP(*peps, "K1", false);
        AgregaPEP(*peps, "K2", true);
        auto c = crea();
        c->SetTablaPEPs(nullptr);
        QVERIFY(!c->DameRespuesta(37).contains("ClaveCliente = 'K2'"));
        c->SetTablaPEPs(peps.get());
        guionCompleto(*c);
        c->SetTablaPEPs(nullptr);
        QVERIFY(c->GeneraReporte(peps.get()));
        bool bVista = false;
        for (const QString& s : EstadoFalso().Sentencias)
            bVista = bVista || s.contains("IIF( ( ClaveCliente = 'K2' ), -1, 0 ) AS EsPEP ");
        QVERIFY(bVista);
    }

    void detecta()
    {
        AgregaPEP(*peps, "VIEJO", true);
        EstadoFalso().Resultados.insert(
            kDeteccion,
            resultado(
                {"Nombre", "ApellidoPaterno", "ApellidoMaterno", "ClaveCliente"},
                {{TValorBD::Texto("JUAN"), TValorBD(), TValorBD::Texto("  PEREZ "), TValorBD::Texto("K1")},
                 {TValorBD(), TValorBD::Texto("LOPEZ"), TValorBD::Texto("   "), TValorBD::Texto(" K2 ")},
                 {TValorBD::Texto(" ANA\t"), TValorBD::Texto("B"), TValorBD::Texto("C"),
                  TValorBD::Entero(30)},
                 {TValorBD::Texto(QString(120, 'N')), TValorBD(), TValorBD(), TValorBD::Texto("K4")}}));
        // Records ordered by key and date: the first of each key is the one shown; K4 has none.
        EstadoFalso().Resultados.insert(
            kRegistrosPEP,
            resultado({"ClaveCliente", "Fecha", "Observaciones"},
                      {{TValorBD::Texto(" K2 "), TValorBD(), TValorBD::Texto("PEP:\r\n  DIPUTADO   LOCAL")},
                       {TValorBD::Texto(" K2 "), TValorBD(), TValorBD::Texto("PEP POSTERIOR")},
                       {TValorBD::Texto("30"), TValorBD(),
                        TValorBD::Texto("UNO DOS TRES CUATRO CINCO SEIS SIETE OCHO NUEVE DIEZ ONCE DOCE "
                                        "TRECE PEP")},
                       {TValorBD::Texto("K1"), TValorBD(), TValorBD::Texto("ES PEP")}}));
        auto c = crea();
        QVERIFY(c->DetectaPEPs(peps.get()));
        QCOMPARE(EstadoFalso().Sentencias.mid(EstadoFalso().Sentencias.size() - 2),
                 (QStringList{kDeteccion, kRegistrosPEP}));
        QCOMPARE(peps->NumRegistros(), 4);
        const QStringList nombres{"JUAN PEREZ", " LOPEZ", "ANA B C", QString(100, 'N')};
        const QStringList claves{"K1", " K2 ", "30", "K4"};
        const QStringList registros{
            "ES PEP", "PEP: DIPUTADO LOCAL",
            QString::fromUtf8("UNO DOS TRES CUATRO CINCO SEIS SIETE OCHO NUEVE DIEZ ONCE DOCE…"), ""};
        peps->Primero();
        for (int i = 0; i < 4; ++i, peps->Siguiente()) {
            QCOMPARE(peps->ValorEntero("IdPEP"), i + 1);
            QCOMPARE(peps->ValorTexto("ClaveCliente"), claves[i]);
            QCOMPARE(peps->ValorTexto("Nombre"), nombres[i]);
            QCOMPARE(peps->Valor("EsPEP"), QVariant(false));
            QCOMPARE(peps->ValorTexto("Registro"), registros[i]);
        }
        QVERIFY(guion->Cajas.isEmpty());
    }

    void detectaSinFilasOFalla_data()
    {
        QTest::addColumn<bool>("falla");
        QTest::newRow("sin filas") << false;
        QTest::newRow("falla") << true;
    }
    void detectaSinFilasOFalla()
    {
        QFETCH(bool, falla);
        AgregaPEP(*peps, "VIEJO", true);
        peps->Cierra();
        if (!falla)
            EstadoFalso().Resultados.insert(kDeteccion, resultado({"Nombre"}, {}));
        auto c = crea();
        QCOMPARE(c->DetectaPEPs(peps.get()), !falla);
        QVERIFY(peps->Activa());
        QCOMPARE(peps->NumRegistros(), 0);
        QCOMPARE(guion->Cajas.size(), falla ? 1 : 0);
    }

    void interfaz()
    {
        EstadoFalso().Resultados.insert("SELECT COUNT(1) as TotalConectados FROM tCompUsr ",
                                        resultado({"TotalConectados"}, {{TValorBD::Entero(0)}}));
        EstadoFalso().Resultados.insert(
            "SELECT ClaveEmp, Password FROM tEmps WHERE UCASE(ClaveEmp) = 'ADMIN' and Nivel = 0",
            resultado({"ClaveEmp", "Password"}, {{TValorBD::Texto("ADMIN"), TValorBD::Texto("1")}}));
        std::shared_ptr<IRepCuestionarioQRTZ> c = CreaRepCuestZIDU2019(
            &conexion,
            [this](const QString& sNombre) {
                reporte->Datos.append({"", "nombre", sNombre});
                return reporte;
            },
            mensajero, 0, 3);
        QCOMPARE(reporte->Valor("nombre"), QString("Encuesta ZIDU 2019"));
        QVERIFY(!c->UsuariosConectados());
        QVERIFY(c->ValidaAcceso("ADMIN", "1", true));
        QVERIFY(!c->ValidaAcceso("ADMIN", "2", true));
        QVERIFY(!c->DetectaPEPs(nullptr));
    }
};

QTEST_GUILESS_MAIN(TestCuestionario)
#include "TestCuestionario.moc"
