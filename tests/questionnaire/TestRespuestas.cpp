#include "Falsos.h"
#include "FixturasHost.h"

#include "common/Plataforma.h"

#include "common/ArchivosHost.h"
#include "common/DialogosGuion.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"
#include "db/jet/proveedor/ProveedorJet.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kNinguno = "NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL";

struct TCorrida
{
    bool bConectada = false;
    bool bDetecta = false;
    bool bGenera = false;
    QList<QPair<QString, QString>> PEPs; // key, name, in table order
    QList<int> Ids;
    std::shared_ptr<TManejadorGrabador> Reporte = std::make_shared<TManejadorGrabador>();
    std::shared_ptr<TMensajeroGrabador> Mensajero = std::make_shared<TMensajeroGrabador>();
};

// Every variable the report receives from a complete run, in the order it is set.
QStringList todasLasVariables()
{
    QStringList l{"NombreCC", "RegCC"};
    for (int n = 1; n <= 47; ++n) {
        if (n == 42 || n == 43) {
            for (int m = 1; m <= 6; ++m)
                l << QString("preg_%1_%2").arg(n).arg(m);
        } else {
            l << QString("preg_%1").arg(n);
        }
    }
    return l;
}

// A list answer whose lines come in non-increasing order of their counts: the names as a set
// and the counts along the lines, since the order among equal counts is the engine's.
void compruebaLista(const QString& sValor, const QMap<QString, int>& Conteos)
{
    const QStringList lineas = sValor.split("\r\n");
    QCOMPARE(QSet<QString>(lineas.begin(), lineas.end()),
             QSet<QString>(Conteos.keyBegin(), Conteos.keyEnd()));
    QCOMPARE(lineas.size(), Conteos.size());
    for (int i = 1; i < lineas.size(); ++i)
        QVERIFY2(Conteos[lineas[i - 1]] >= Conteos[lineas[i]], qPrintable(sValor));
}

} // namespace

// The 2019 questionnaire over host databases written for the purpose and run by the real Jet
// engine, through the registry's main connection, as the window does it. Every expected
// answer is worked out by hand from the fixture rows (FixturasHost.cpp).
class TestRespuestas : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    std::shared_ptr<TDialogosGuion> guion;

    QString carpeta(const QString& s) const { return tmp.filePath(s); }

    TCorrida corre(const QString& sCarpeta, const QStringList& Marcas, bool bGenera = true,
                   const std::function<void(const QString&)>& AlAgregar = {})
    {
        TCorrida r;
        r.Reporte->AlAgregar = AlAgregar;
        ColectorConexiones = CreaColectorConxs();
        TConexionBD* Conector = nullptr;
        ColectorConexiones->CreaBDPrinc(sCarpeta + "/DataBase/Tavoro.mdb", "", false);
        r.bConectada = ColectorConexiones->Conecta(kNomBDPrincipal) &&
                       ColectorConexiones->DameAccessConex(kNomBDPrincipal, Conector);
        if (!r.bConectada)
            return r;
        auto peps = CreaTablaPEPs();
        {
            auto c = std::make_shared<TCuestPrueba>(Conector, r.Reporte, r.Mensajero, 1);
            r.bDetecta = c->DetectaPEPs(peps.get());
            for (peps->Primero(); !peps->Fin(); peps->Siguiente()) {
                r.PEPs.append({peps->ValorTexto("ClaveCliente"), peps->ValorTexto("Nombre")});
                r.Ids.append(peps->ValorEntero("IdPEP"));
                // A tick goes on the row of the key as the database holds it; the list may show
                // it shortened.
                if (Marcas.contains(peps->ValorTextoOriginal("ClaveCliente"))) {
                    peps->Edita();
                    peps->SetValor("EsPEP", true);
                }
            }
            if (bGenera)
                r.bGenera = c->GeneraReporte(peps.get());
        }
        ColectorConexiones.reset();
        return r;
    }

    // Answers of the main fixture. PG has three operations in the period; ticks of ordinary
    // clients count once, a ticked PG once per operation.
    static QMap<QString, QString> principal(double dVersion, int nPEPs)
    {
        QMap<QString, QString> e;
        for (int n = 1; n <= 47; ++n)
            e["preg_" + QString::number(n)] = "";
        e["NombreCC"] = "CAMBIOS DE PRUEBA, S.A. DE C.V.";
        e["RegCC"] = "08900777";
        e.remove("preg_9");
        e.remove("preg_10");
        e.remove("preg_42");
        e.remove("preg_43");
        // Alerts of 2018 not removed, any company: 11 unusual or worrying records (one on
        // 01/01 at midnight, one on 12/31 at midnight; not the one at 18:00) and 2 internal
        // messages; reported with a report date after day 0: 3.
        e["preg_22"] = "13";
        e["preg_23"] = "3";
        // C09 (lower-case name) and C10.
        e["preg_30"] = "SI";
        e["preg_31"] = "2";
        // Natural nationals: C01, C02, C13 (unknown risk), C14 (city without state), O'15,
        // C23 (01/01 00:00), C24 (12/31 00:00). Not C20 (other company), C21 (cancelled),
        // C22 (2017), C25 (12/31 13:00).
        e["preg_32"] = "7";
        // Legal nationals without regulated activity: C08, C09, C10 (C12 has an unknown sector).
        e["preg_33"] = "3";
        e["preg_34"] = "2";                       // C03, C16
        e["preg_35"] = "1";                       // C11
        e["preg_36"] = dVersion > 29 ? "1" : "0"; // C08; C09's null trust flag is no trust
        e["preg_37"] = QString::number(nPEPs);
        // High risk with operations: C01, C04, C08, C12, C16, C24 (C13's risk key is unknown).
        e["preg_38"] = "6";
        e["preg_39"] = "3";
        // Purchases: 16 operations (C04's three lines are one, C06's two currencies two);
        // currency 5 of C26 is not in tDivisas. C23: 19.25 x 10.5 = 202.125.
        e["preg_42_1"] = "16";
        e["preg_42_2"] = "53892.12"; // 53892.125 rounded half to even
        e["preg_42_3"] = "14";       // USD without Pagare: not C06's euros nor C07's USD Pagare
        e["preg_42_4"] = "1770.5";
        e["preg_42_5"] = "1";
        e["preg_42_6"] = "100";
        // Sales: 8 operations (C05 at two rates is two).
        e["preg_43_1"] = "8";
        e["preg_43_2"] = "13110";
        e["preg_43_3"] = "4";
        e["preg_43_4"] = "320";
        e["preg_43_5"] = "3";
        e["preg_43_6"] = "230";
        e["preg_44"] =
            "Estado o Entidad Federativa: BAJA CALIFORNIA   Numero de Operaciones:  24   Monto:  67002.12";
        e["preg_45"] = e["preg_44"];
        e["preg_46"] = "Numero de Operaciones:  24   Monto:  67002.12   en esta Sucursal ";
        return e;
    }

    static void compruebaValores(const TManejadorGrabador& Reporte, const QMap<QString, QString>& e)
    {
        for (auto it = e.cbegin(); it != e.cend(); ++it)
            QVERIFY2(Reporte.Valor(it.key()) == it.value(),
                     qPrintable(it.key() + ": \"" + Reporte.Valor(it.key()) + "\" en vez de \"" + it.value() +
                                "\""));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("v30"), 30));
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("v29"), 29));
        QVERIFY(FixturasHost::EscribeHistoria(carpeta("historia")));
        QVERIFY(FixturasHost::EscribeIncompleta(carpeta("incompleta")));
    }
    void cleanupTestCase() { InstalaDialogos(nullptr); }
    void init() { guion->Cajas.clear(); }

    void deteccion()
    {
        const TCorrida r = corre(carpeta("v30"), {}, false);
        QVERIFY(r.bConectada);
        QVERIFY(r.bDetecta);
        // Once each, whatever the number of records; not the worrying-kind record, not 2017,
        // not the other company, not the remark without PEP, not 12/31 at 18:00. The removal
        // mark does not matter here, and "pep" matches in any case.
        const QSet<QPair<QString, QString>> esperados{
            {"C01", "JUAN PEREZ"}, {"C02", "MARIA LOPEZ"},
            {"O'15", " O'NEIL"},   {"10000000", "PUBLICO EN GENERAL"},
            {"C07", "BANCO UNO"},  {"C08", "FIDEICOMISO F/1"}};
        const QSet<QPair<QString, QString>> obtenidos(r.PEPs.begin(), r.PEPs.end());
        QCOMPARE(obtenidos, esperados);
        QCOMPARE(r.Ids, (QList<int>{1, 2, 3, 4, 5, 6}));
        QVERIFY(guion->Cajas.isEmpty());
    }

    void principal_data()
    {
        QTest::addColumn<QString>("fixtura");
        QTest::addColumn<double>("version");
        QTest::addColumn<QStringList>("marcas");
        QTest::addColumn<QString>("p37");
        QTest::addColumn<QString>("p39");
        QTest::newRow("v30 sin marcas") << "v30" << 30.0 << QStringList() << "0"
                                        << "3";
        // C02 (detected, unticked) lies between ticked rows; O'15's apostrophe is doubled.
        QTest::newRow("v30 con PG marcado") << "v30" << 30.0 << QStringList{"C01", "O'15", "10000000"} << "5"
                                            << "0";
        QTest::newRow("v29 con marcas") << "v29" << 29.0 << QStringList{"C07", "C08"} << "2"
                                        << "3";
    }
    void principal()
    {
        QFETCH(QString, fixtura);
        QFETCH(double, version);
        QFETCH(QStringList, marcas);
        QFETCH(QString, p37);
        QFETCH(QString, p39);
        const TCorrida r = corre(carpeta(fixtura), marcas);
        QVERIFY(r.bDetecta);
        QVERIFY(r.bGenera);
        QCOMPARE(r.Reporte->Nombres(), todasLasVariables());
        QCOMPARE(r.Reporte->nMuestras, 1);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));

        auto e = principal(version, 0);
        e["preg_37"] = p37;
        e["preg_39"] = p39;
        compruebaValores(*r.Reporte, e);
        // Operations since 1999 up to the end of the period, distinct clients per activity;
        // NO APLICA and the unknown activity never show.
        compruebaLista(r.Reporte->Valor("preg_9"), {{"COMERCIO", 4},
                                                    {"TRANSPORTE DE CARGA", 4},
                                                    {"RESTAURANTES Y CAFÉS", 3},
                                                    {"HOTELES Y POSADAS", 2},
                                                    {"CASAS DE CAMBIO", 1},
                                                    {"SOFOM", 1},
                                                    {"CASAS DE BOLSA", 1},
                                                    {"BANCA MULTIPLE", 1},
                                                    {"CENTROS CAMBIARIOS", 1}});
        // Clients without a city are in the branch city (Tijuana); C14's city has no state.
        compruebaLista(
            r.Reporte->Valor("preg_10"),
            {{"BAJA CALIFORNIA", 11}, {"CALIFORNIA", 4}, {"SONORA", 2}, {"JALISCO", 2}, {"NUEVO LEÓN", 1}});
    }

    // No operations in the period: every count and sum is 0, question 30 NO; the top-ten
    // lists look back to 1999 and keep ten of eleven activities.
    void sinOperaciones()
    {
        const TCorrida r = corre(carpeta("historia"), {});
        QVERIFY(r.bDetecta);
        QVERIFY(r.PEPs.isEmpty());
        QVERIFY(r.bGenera);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        QMap<QString, QString> e;
        e["NombreCC"] = "CAMBIOS DE PRUEBA, S.A. DE C.V.";
        e["RegCC"] = "089";
        for (int n : {22, 23, 31, 32, 33, 34, 35, 36, 37, 38, 39, 44, 45, 46})
            e["preg_" + QString::number(n)] = "0";
        for (int n : {42, 43})
            for (int m = 1; m <= 6; ++m)
                e[QString("preg_%1_%2").arg(n).arg(m)] = "0";
        e["preg_30"] = "NO";
        QStringList diez;
        for (int k = 1; k <= 10; ++k)
            diez << QString("ACTIVIDAD %1").arg(k, 2, 10, QLatin1Char('0'));
        e["preg_9"] = diez.join("\r\n");
        // No branch city: the company city, Hermosillo.
        e["preg_10"] = "SONORA\r\nCALIFORNIA";
        compruebaValores(*r.Reporte, e);
    }

    // The version read fails (no tSistema); question 22 fails (no tMsgInterno): the run stops
    // there. Only public-general operations and no city: both lists give their default.
    void incompleta()
    {
        const TCorrida r = corre(carpeta("incompleta"), {});
        QVERIFY(r.bDetecta);
        QVERIFY(!r.bGenera);
        QCOMPARE(r.Reporte->Nombres(), todasLasVariables().mid(0, 2 + 22));
        QCOMPARE(r.Reporte->Valor("RegCC"), QString("089"));
        QCOMPARE(r.Reporte->Valor("preg_9"), kNinguno);
        QCOMPARE(r.Reporte->Valor("preg_10"), kNinguno);
        QCOMPARE(r.Reporte->Valor("preg_22"), QString("** E R R O R **"));
        QCOMPARE(r.Reporte->nMuestras, 0);
        QCOMPARE(r.Mensajero->Llamadas.last(), QString("Espera|Error...|0"));
        QCOMPARE(r.Mensajero->Llamadas.count("Espera|Error...|0"), 1);
        // The version is read while the questionnaire part of the object is being built.
        const QStringList cajas = guion->Textos();
        QCOMPARE(cajas.size(), 2);
        QVERIFY2(
            cajas[0].startsWith("Error #BD-101.TRepCuestZIDU2019: Llame a Soporte Técnico. EErrorJet - ") &&
                cajas[0].contains("'tSistema'"),
            qPrintable(cajas[0]));
        QVERIFY2(cajas[1].startsWith("Error #BD-101.TCuestPrueba: Llame a Soporte Técnico. EErrorJet - ") &&
                     cajas[1].contains("'tMsgInterno'"),
                 qPrintable(cajas[1]));
    }

    // Ticked keys longer than the list's 20 characters, or with characters outside Windows-1252,
    // count in the answers like any other: question 37 counts every ticked client.
    void clavesLargasOFueraDe1252Cuentan()
    {
        FixturasHost::TOpciones Op;
        Op.nAnchoClave = 40;
        Op.ClavesExtra = QStringList{"CLIENTE-0000000000000000000001", "CLIENTE-0000000000000000000002",
                                     QString::fromUtf8("ΩЖ-01")};
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("claves"), 30, Op));
        const TCorrida r =
            corre(carpeta("claves"), {"CLIENTE-0000000000000000000001", QString::fromUtf8("ΩЖ-01")});
        QVERIFY(r.bDetecta);
        QVERIFY(r.bGenera);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        QCOMPARE(r.Reporte->Valor("preg_37"), QString("2"));
    }

    // The host file replaced or rewritten during a report: the answers read before the change
    // and those after it would make one mixed report. The step fails with a clear message and
    // no report is shown, whether the change is met by a later query or only at the end.
    void cambioDelArchivoEnMedioDelReporte_data()
    {
        QTest::addColumn<QString>("despuesDe");
        QTest::addColumn<bool>("conservaFecha");
        QTest::addColumn<bool>("enSuLugar");
        QTest::newRow("tras la pregunta 9") << "preg_9" << false << false;
        QTest::newRow("tras la pregunta 9, misma fecha") << "preg_9" << true << false;
        QTest::newRow("tras la ultima pregunta") << "preg_47" << false << false;
        QTest::newRow("al empezar las preguntas") << "RegCC" << false << false;
        QTest::newRow("tras la pregunta 9, escrita en su lugar") << "preg_9" << false << true;
        QTest::newRow("tras la pregunta 9, en su lugar, misma fecha") << "preg_9" << true << true;
    }
    void cambioDelArchivoEnMedioDelReporte()
    {
        QFETCH(QString, despuesDe);
        QFETCH(bool, conservaFecha);
        QFETCH(bool, enSuLugar);
#ifdef Q_OS_WIN
        if (!enSuLugar)
            QSKIP("Windows no deja reemplazar un archivo que otro programa tiene abierto");
#endif
        const QString sCarpeta = carpeta("cambio_" + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(FixturasHost::EscribePrincipal(sCarpeta, 30));
        const QString sBD = sCarpeta + "/DataBase/Tavoro.mdb";
        bool bCambiado = false;
        const auto cambia = [&] {
            // Another database takes the file's place: a new file under its name, or its bytes
            // written over the old ones, as a copy over it would.
            const QDateTime fecha = QFileInfo(sBD).lastModified();
            if (enSuLugar) {
                QFile origen(carpeta("v29/DataBase/Tavoro.mdb"));
                QFile destino(sBD);
                QVERIFY(origen.open(QIODevice::ReadOnly));
                QVERIFY(destino.open(QIODevice::WriteOnly | QIODevice::Truncate));
                QCOMPARE(destino.write(origen.readAll()), origen.size());
            } else {
                QVERIFY(ArchivosHost::CopiaSegura(carpeta("v29/DataBase/Tavoro.mdb"), sBD));
            }
            if (conservaFecha) {
                QFile f(sBD);
                QVERIFY(f.open(QIODevice::ReadWrite));
                QVERIFY(f.setFileTime(fecha, QFileDevice::FileModificationTime));
            }
            bCambiado = true;
        };
        const TCorrida r = corre(sCarpeta, {"C01"}, true, [&](const QString& sVariable) {
            if (sVariable == despuesDe)
                cambia();
        });
        QVERIFY(bCambiado);
        QVERIFY(r.bDetecta);
        QVERIFY(!r.bGenera);
        QCOMPARE(r.Reporte->nMuestras, 0);
        const QStringList cajas = guion->Textos();
        QCOMPARE(cajas.size(), 1);
        QVERIFY2(cajas[0].startsWith("Error #BD-101.TCuestPrueba: Llame a Soporte Técnico. EErrorJet - ") &&
                     cajas[0].contains("cambió mientras se leía (fue reemplazada o modificada)"),
                 qPrintable(cajas[0]));
        QCOMPARE(r.Mensajero->Llamadas.last(), QString("Espera|Error...|0"));

        // The next step starts from the database as it now is.
        guion->Cajas.clear();
        const TCorrida otra = corre(sCarpeta, {"C07", "C08"});
        QVERIFY(otra.bGenera);
        QCOMPARE(otra.Reporte->Valor("preg_37"), QString("2"));
        QVERIFY(guion->Cajas.isEmpty());
    }

    // As the window runs them: detection in a step of its own that starts the preload of the
    // report's tables, then the report in another step, started once the preload has ended or
    // while it runs. It reads nothing more than the preload did and gives the answers of a run
    // without it; a database put in the file's place during or after the preload is read anew,
    // and the answers are the new file's. No error of the preload is shown.
    void precargaEntreLosPasos_data()
    {
        QTest::addColumn<bool>("espera"); // the report starts once the preload has ended
        QTest::addColumn<QString>("cambio");
        QTest::newRow("tras la precarga") << true << "";
        QTest::newRow("durante la precarga") << false << "";
        QTest::newRow("reemplazada tras la precarga") << true << "reemplazo";
        QTest::newRow("reemplazada durante la precarga") << false << "reemplazo";
        QTest::newRow("escrita en su lugar durante la precarga") << false << "en su lugar";
    }
    void precargaEntreLosPasos()
    {
        QFETCH(bool, espera);
        QFETCH(QString, cambio);
#ifdef Q_OS_WIN
        if (cambio == "reemplazo")
            QSKIP("Windows no deja reemplazar un archivo que otro programa tiene abierto");
#endif
        const auto conecta = [](const QString& sCarpeta) {
            ColectorConexiones = CreaColectorConxs();
            TConexionBD* Conector = nullptr;
            ColectorConexiones->CreaBDPrinc(sCarpeta + "/DataBase/Tavoro.mdb", "", false);
            if (!ColectorConexiones->Conecta(kNomBDPrincipal) ||
                !ColectorConexiones->DameAccessConex(kNomBDPrincipal, Conector))
                return static_cast<ISesionJet*>(nullptr);
            return dynamic_cast<ISesionJet*>(&Conector->Sesion());
        };
        const auto conector = [] {
            TConexionBD* Conector = nullptr;
            ColectorConexiones->DameAccessConex(kNomBDPrincipal, Conector);
            return Conector;
        };
        // The tables a detection and a report read without a preload.
        ISesionJet* s = conecta(carpeta("v30"));
        QVERIFY(s);
        auto peps = CreaTablaPEPs();
        {
            auto c = std::make_shared<TCuestPrueba>(conector(), std::make_shared<TManejadorGrabador>(),
                                                    std::make_shared<TMensajeroGrabador>(), 1);
            QVERIFY(c->DetectaPEPs(peps.get()));
            QVERIFY(c->GeneraReporte(peps.get()));
        }
        const QStringList Referencia = s->TablasCargadas();

        const QString sCarpeta = carpeta("precarga_" + QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(FixturasHost::EscribePrincipal(sCarpeta, 30));
        const QString sBD = sCarpeta + "/DataBase/Tavoro.mdb";
        s = conecta(sCarpeta);
        QVERIFY(s);
        {
            auto c = std::make_shared<TCuestPrueba>(conector(), std::make_shared<TManejadorGrabador>(),
                                                    std::make_shared<TMensajeroGrabador>(), 1);
            QVERIFY(c->DetectaPEPs(peps.get()));
            c->PrecargaReporte();
        }
        if (espera) {
            // Loaded without any statement.
            QCOMPARE(s->TablasCargadas(), Referencia);
            QCOMPARE(s->Cargas(), int(Referencia.size()));
        }
        if (cambio == "reemplazo") {
            QVERIFY(ArchivosHost::CopiaSegura(carpeta("v29/DataBase/Tavoro.mdb"), sBD));
        } else if (cambio == "en su lugar") {
            QFile origen(carpeta("v29/DataBase/Tavoro.mdb"));
            QFile destino(sBD);
            QVERIFY(origen.open(QIODevice::ReadOnly));
            QVERIFY(destino.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(destino.write(origen.readAll()), origen.size());
        }
        TCorrida r;
        {
            auto c = std::make_shared<TCuestPrueba>(conector(), r.Reporte, r.Mensajero, 1);
            QVERIFY(c->GeneraReporte(peps.get()));
        }
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
        auto e = principal(cambio.isEmpty() ? 30 : 29, 0);
        e["preg_37"] = "0";
        e["preg_39"] = "3";
        compruebaValores(*r.Reporte, e);
        QCOMPARE(s->TablasCargadas(), Referencia);
        // Each table read once, by the preload or by a statement; read again after a change.
        if (cambio.isEmpty())
            QCOMPARE(s->Cargas(), int(Referencia.size()));
        else
            QVERIFY(s->Cargas() > int(Referencia.size()));
        ColectorConexiones.reset();
    }
};

// The preload runs on a thread of its own: the process ends through the platform once everything
// is destroyed (tests/MainQueTermina.h says why).
int main(int argc, char** argv)
{
    int nCodigo;
    {
        QCoreApplication app(argc, argv);
        TestRespuestas t;
        QTEST_SET_MAIN_SOURCE_PATH
        nCodigo = QTest::qExec(&t, argc, argv);
    }
    return Plataforma::TerminaProceso(nCodigo);
}
#include "TestRespuestas.moc"
