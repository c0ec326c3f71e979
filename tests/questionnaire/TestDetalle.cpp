#include "Falsos.h"
#include "FixturasHost.h"

#include "common/DialogosGuion.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"
#include "questionnaire/Detalle.h"
#include "tools/mdbgen/MuestraTavoro.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kNinguno = "NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL";

struct TResultado
{
    bool bOk = false;
    std::shared_ptr<TManejadorGrabador> Reporte = std::make_shared<TManejadorGrabador>();
    QList<TDetalle> Detalles;
    QList<TTablaDetalle> Tablas;
};

// The questionnaire over a host folder, as the window runs it, then the details of the same
// object (same connection, same ticks). nMarcas: how many of the detected PEPs are ticked.
TResultado corre(const QString& sCarpeta, int nMarcas)
{
    TResultado r;
    ColectorConexiones = CreaColectorConxs();
    TConexionBD* Conector = nullptr;
    ColectorConexiones->CreaBDPrinc(sCarpeta + "/DataBase/Tavoro.mdb", "", false);
    if (!ColectorConexiones->Conecta(kNomBDPrincipal) ||
        !ColectorConexiones->DameAccessConex(kNomBDPrincipal, Conector))
        return r;
    auto peps = CreaTablaPEPs();
    {
        auto c =
            std::make_shared<TCuestPrueba>(Conector, r.Reporte, std::make_shared<TMensajeroGrabador>(), 1);
        if (!c->DetectaPEPs(peps.get()))
            return r;
        int n = 0;
        for (peps->Primero(); !peps->Fin() && n < nMarcas; peps->Siguiente(), ++n) {
            peps->Edita();
            peps->SetValor("EsPEP", true);
            peps->Publica();
        }
        r.bOk = c->GeneraReporte(peps.get());
        r.Detalles = DameDetalles(*c);
        r.bOk = r.bOk && LeeDetalles(*c, Conector, r.Detalles, r.Tablas);
    }
    ColectorConexiones.reset();
    return r;
}

double suma(const TTablaDetalle& t, const QString& sColumna)
{
    double d = 0;
    for (int i = 0; i < t.Filas.size(); ++i)
        d += t.Valor(i, sColumna).toDouble();
    return d;
}

// A top-ten answer against its rows: at most ten lines, each a value of the rows, in
// non-increasing order of rows, and no value left out that has more rows than a line shown
// (the order among equal counts is the engine's).
void compruebaLista(const QString& sFigura, const TTablaDetalle& t, const QString& sColumna)
{
    QMap<QString, int> Conteo;
    for (int i = 0; i < t.Filas.size(); ++i)
        ++Conteo[t.Valor(i, sColumna).toString().toUpper()];
    if (Conteo.isEmpty()) {
        QCOMPARE(sFigura, kNinguno);
        return;
    }
    const QStringList Lineas = sFigura.split("\r\n");
    QCOMPARE(Lineas.size(), std::min(10, int(Conteo.size())));
    int nMenor = INT_MAX;
    for (int i = 0; i < Lineas.size(); ++i) {
        QVERIFY2(Conteo.contains(Lineas[i]), qPrintable(Lineas[i]));
        QVERIFY(Conteo[Lineas[i]] <= nMenor);
        nMenor = Conteo[Lineas[i]];
    }
    for (auto it = Conteo.cbegin(); it != Conteo.cend(); ++it)
        QVERIFY2(Lineas.contains(it.key()) || it.value() <= nMenor, qPrintable(it.key()));
    // The way consolidation recomputes a list gives the same counts.
    QStringList Valores;
    for (int i = 0; i < t.Filas.size(); ++i)
        Valores << t.Valor(i, sColumna).toString();
    const QStringList Propia = MasFrecuentes(Valores, 10);
    for (int i = 0; i < Lineas.size(); ++i)
        QCOMPARE(Conteo[Propia[i]], Conteo[Lineas[i]]);
}

} // namespace

// Every figure the database gives equals the count or sum of the rows of its detail, on the
// test fixtures and on generated sample branches.
class TestDetalle : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    std::shared_ptr<TDialogosGuion> guion;
    QString carpeta(const QString& s) const { return tmp.filePath(s); }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("v30"), 30));
        QVERIFY(FixturasHost::EscribePrincipal(carpeta("v29"), 29));
        QVERIFY(FixturasHost::EscribeHistoria(carpeta("historia")));
        TOpcionesMuestra m;
        m.nOperaciones = 2500;
        QVERIFY(GeneraMuestraTavoro(carpeta("muestra"), m));
        m.nOperaciones = 0;
        QVERIFY(GeneraMuestraTavoro(carpeta("sinoperaciones"), m));
    }
    void cleanupTestCase() { InstalaDialogos(nullptr); }
    void init() { guion->Cajas.clear(); }

    void figuraIgualASusFilas_data()
    {
        QTest::addColumn<QString>("fixtura");
        QTest::addColumn<int>("marcas");
        QTest::newRow("principal v30") << "v30" << 3;
        QTest::newRow("principal v29 sin marcas") << "v29" << 0;
        QTest::newRow("historia") << "historia" << 0;
        QTest::newRow("muestra") << "muestra" << 2;
        QTest::newRow("muestra sin operaciones") << "sinoperaciones" << 0;
    }
    void figuraIgualASusFilas()
    {
        QFETCH(QString, fixtura);
        QFETCH(int, marcas);
        const TResultado r = corre(carpeta(fixtura), marcas);
        QVERIFY2(r.bOk, qPrintable(guion->Textos().join('\n')));
        QVERIFY(guion->Cajas.isEmpty());

        // Every computed answer, once each, in report order.
        QStringList Esperadas{"preg_9", "preg_10", "preg_22", "preg_23"};
        for (int n = 30; n <= 39; ++n)
            Esperadas << QString("preg_%1").arg(n);
        for (int n : {42, 43})
            for (int m = 1; m <= 6; ++m)
                Esperadas << QString("preg_%1_%2").arg(n).arg(m);
        Esperadas << "preg_44"
                  << "preg_45"
                  << "preg_46";
        QStringList Variables;
        for (const TDetalle& d : r.Detalles)
            Variables << d.sVariable;
        QCOMPARE(Variables, Esperadas);

        static const QRegularExpression reResumen(
            "Numero de Operaciones:\\s+(\\d+)\\s+Monto:\\s+(-?[0-9.]+)");
        for (int i = 0; i < r.Detalles.size(); ++i) {
            const TDetalle& d = r.Detalles[i];
            const TTablaDetalle& t = r.Tablas[i];
            const QString sFigura = r.Reporte->Valor(d.sVariable);
            const QString sQue = d.sVariable + ": " + sFigura;
            QCOMPARE(t.Columnas, ColumnasDetalle(d.Clase));
            switch (d.Medida) {
            case TMedidaDetalle::Conteo:
                QVERIFY2(sFigura == QString::number(t.Filas.size()), qPrintable(sQue));
                break;
            case TMedidaDetalle::SiNo:
                QVERIFY2(sFigura == (t.Filas.isEmpty() ? "NO" : "SI"), qPrintable(sQue));
                break;
            case TMedidaDetalle::Lista:
                compruebaLista(sFigura, t, d.sColumnaLista);
                break;
            case TMedidaDetalle::SumaImporte:
            case TMedidaDetalle::SumaCantidad: {
                const double dSuma =
                    suma(t, d.Medida == TMedidaDetalle::SumaImporte ? "Importe" : "Cantidad");
                QVERIFY2(qAbs(sFigura.toDouble() - dSuma) <= 0.005 + 1e-6, qPrintable(sQue));
                break;
            }
            case TMedidaDetalle::Resumen: {
                if (t.Filas.isEmpty()) {
                    QCOMPARE(sFigura, QString("0"));
                    break;
                }
                const auto m = reResumen.match(sFigura);
                QVERIFY2(m.hasMatch(), qPrintable(sQue));
                QCOMPARE(m.captured(1).toInt(), int(t.Filas.size()));
                QVERIFY2(qAbs(m.captured(2).toDouble() - suma(t, "Importe")) <= 0.005 + 1e-6,
                         qPrintable(sQue));
                break;
            }
            }
            // Rows of clients and operations name their client.
            if (d.Clase != TClaseDetalle::Alertas)
                for (int f = 0; f < t.Filas.size(); ++f)
                    QVERIFY2(!t.Valor(f, "Clave").toString().isEmpty(), qPrintable(sQue));
        }
    }

    // The client data beside the rows, on rows worked out by hand from the main fixture.
    void datosDeClientes()
    {
        const TResultado r = corre(carpeta("v30"), 0);
        QVERIFY(r.bOk);
        QHash<QString, const TTablaDetalle*> t;
        for (int i = 0; i < r.Detalles.size(); ++i)
            t[r.Detalles[i].sVariable] = &r.Tablas[i];

        // Natural nationals: C01 lives in Tijuana, high risk, sector "Comercio".
        const TTablaDetalle& Nacionales = *t["preg_32"];
        int c01 = -1;
        for (int f = 0; f < Nacionales.Filas.size(); ++f)
            if (Nacionales.Valor(f, "Clave") == "C01")
                c01 = f;
        QVERIFY(c01 >= 0);
        QCOMPARE(Nacionales.Valor(c01, "Persona").toString(), QString("FISICA"));
        QCOMPARE(Nacionales.Valor(c01, "Nacionalidad").toString(), QString("NACIONAL"));
        QCOMPARE(Nacionales.Valor(c01, "Actividad").toString(), QString("Comercio"));
        QCOMPARE(Nacionales.Valor(c01, "Estado").toString(), QString("BAJA CALIFORNIA"));
        QCOMPARE(Nacionales.Valor(c01, "NivelRiesgo").toString(), QString("ALTO"));
        QCOMPARE(Nacionales.Valor(c01, "PEP").toBool(), false);
        QVERIFY(Nacionales.Valor(c01, "Folio").isNull());

        // The public-general client: one row per operation of 2018, with its folio and date.
        const TTablaDetalle& Publico = *t["preg_39"];
        QList<qint64> Folios;
        for (int f = 0; f < Publico.Filas.size(); ++f) {
            QCOMPARE(Publico.Valor(f, "Clave").toString(), QString("10000000"));
            QCOMPARE(Publico.Valor(f, "Fecha").toDateTime().date().year(), 2018);
            Folios << Publico.Valor(f, "Folio").toLongLong();
        }
        std::sort(Folios.begin(), Folios.end());
        QCOMPARE(Folios, (QList<qint64>{1001, 1002, 1003}));

        // C04's three lines of folio 1008 are one purchase of 600 dollars at 19.
        const TTablaDetalle& Compras = *t["preg_42_1"];
        int f1008 = -1;
        for (int f = 0; f < Compras.Filas.size(); ++f)
            if (Compras.Valor(f, "Folio").toLongLong() == 1008)
                f1008 = f;
        QVERIFY(f1008 >= 0);
        QCOMPARE(Compras.Valor(f1008, "Cantidad").toDouble(), 600.0);
        QCOMPARE(Compras.Valor(f1008, "Importe").toDouble(), 11400.0);
        QCOMPARE(Compras.Valor(f1008, "Simbolo").toString(), QString("USD"));
        QCOMPARE(Compras.Valor(f1008, "Nombre").toString(), QString("CASA DE CAMBIO SOL, S.A."));

        // Alerts: internal messages have no client; the unusual record of C02 has one.
        const TTablaDetalle& Alertas = *t["preg_22"];
        int nMensajes = 0;
        for (int f = 0; f < Alertas.Filas.size(); ++f)
            if (Alertas.Valor(f, "Origen") == "tMsgInterno") {
                ++nMensajes;
                QVERIFY(Alertas.Valor(f, "Clave").toString().isEmpty());
            }
        QCOMPARE(nMensajes, 2);
    }

    void masFrecuentes_data()
    {
        QTest::addColumn<QStringList>("valores");
        QTest::addColumn<int>("top");
        QTest::addColumn<QStringList>("esperado");
        QTest::newRow("vacio") << QStringList() << 10 << QStringList();
        QTest::newRow("mayusculas juntas")
            << QStringList{"b", "B", "a", "c", "c", "C"} << 10 << QStringList{"C", "B", "A"};
        QTest::newRow("empates en orden alfabetico y corte")
            << QStringList{"x", "y", "z", "y", "x", "w"} << 2 << QStringList{"X", "Y"};
    }
    void masFrecuentes()
    {
        QFETCH(QStringList, valores);
        QFETCH(int, top);
        QFETCH(QStringList, esperado);
        QCOMPARE(MasFrecuentes(valores, top), esperado);
    }

    void numeros_data()
    {
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("texto");
        QTest::newRow("mitad a par abajo") << 53892.125 << "53892.12";
        QTest::newRow("entero") << 100.0 << "100";
        QTest::newRow("un decimal") << 1770.5 << "1770.5";
        QTest::newRow("cero") << 0.0 << "0";
        QTest::newRow("resto binario de una suma") << 1672060.9 + 1788001.5 << "3460062.4";
        QTest::newRow("millones con centavos") << 2955897.2000000002 << "2955897.2";
    }
    void numeros()
    {
        QFETCH(double, valor);
        QFETCH(QString, texto);
        QCOMPARE(TextoNumero(Redondea2(valor)), texto);
    }
};

QTEST_GUILESS_MAIN(TestDetalle)
#include "TestDetalle.moc"
