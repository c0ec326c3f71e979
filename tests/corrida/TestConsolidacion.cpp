#include "../questionnaire/ProcesoHerramienta.h"
#include "EnlacesPrueba.h"
#include "MainQueTermina.h"
#include "common/Salidas.h"
#include "corrida/ReporteConsolidado.h"
#include "corrida/Sucursales.h"
#include "questionnaire/ArchivosDetalle.h"
#include "questionnaire/CatalogoPreguntas.h"
#include "tools/mdbgen/EscritorMdb.h"
#include "tools/mdbgen/MuestraTavoro.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using TRespuestas = QList<QMap<QString, QString>>;

namespace {

const QString kNinguno = "NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL";

QString estado44(const QString& sEstado, int nOps, const QString& sMonto)
{
    return QString("Estado o Entidad Federativa: %1   Numero de Operaciones:  %2   Monto:  %3")
        .arg(sEstado)
        .arg(nOps)
        .arg(sMonto);
}

// A branch's result as a run leaves it, from its answers and the counts of its list answers.
TResultadoSucursal sucursal(int n, const QMap<QString, QString>& Respuestas,
                            const QHash<QString, QMap<QString, qint64>>& Listas = {})
{
    TResultadoSucursal s;
    s.nNumero = n;
    s.sNombre = QString("Sucursal %1 (s%1)").arg(n);
    s.Empresa.sRazonSocial = "CASA";
    s.Empresa.sRegistroQRTZ = "1";
    s.Variables = {{"NombreCC", "CASA"}, {"RegCC", "0891"}};
    for (const TPreguntaCatalogo& p : CatalogoPreguntas())
        s.Variables.append({p.Variable(), Respuestas.value(p.Variable(), p.ConDetalle() ? "0" : "")});
    s.Listas = Listas;
    return s;
}

} // namespace

// The consolidation of branches: how the answers combine (in process, from the branches'
// answers), a real consolidation against each branch's own run, the refusals (the same branch
// twice, another company, ticks that name no branch, a failing branch), thirty branches in the
// PDF, and the command-line tool's path.
class TestConsolidacion : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    QString carpeta(const QString& s) const { return tmp.filePath(s); }
    QMap<QString, QString> Candidatos; // a PEP candidate of each branch folder

    bool muestra(const QString& sNombre, int nOperaciones, quint64 nSemilla,
                 const QString& sCiudad = "TIJUANA", const QString& sRegistro = "04512")
    {
        TOpcionesMuestra m;
        m.nOperaciones = nOperaciones;
        m.nSemilla = nSemilla;
        m.sCiudadSucursal = sCiudad;
        m.sRegistroCC = sRegistro;
        if (sRegistro != "04512")
            m.sEmpresa = "OTRA CASA DE CAMBIO, S.A. DE C.V.";
        return GeneraMuestraTavoro(carpeta(sNombre), m);
    }

    TOpcionesConsolidacion opciones(const QStringList& Nombres, const QStringList& Marcas = {})
    {
        TOpcionesConsolidacion o;
        for (const QString& n : Nombres)
            o.Carpetas << (QDir::isAbsolutePath(n) ? n : carpeta(n));
        o.sUsuario = "admin";
        o.sPassw = "admin";
        o.Marcas = Marcas;
        return o;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        QVERIFY(muestra("norte", 1500, 20190101));
        QVERIFY(muestra("sur", 900, 7, "NOGALES"));
        QVERIFY(muestra("mexicali", 600, 17, "MEXICALI"));
        QVERIFY(muestra("nueva", 0, 11));
        QVERIFY(muestra("otra", 300, 13, "TIJUANA", "0077"));
        // A branch where a cashier is working (tCompUsr is the second table of the sample).
        TOpcionesMuestra m;
        m.nOperaciones = 300;
        m.nSemilla = 23;
        auto E = CreaBaseMuestraTavoro(m);
        QVERIFY(E && E->AgregaFila(1, {"CAJERO1", "CAJA1", QDateTime(QDate(2019, 1, 2), QTime(9, 0)), 1}));
        QVERIFY(GeneraMuestraTavoro(carpeta("ocupada"), m) &&
                E->Guarda(carpeta("ocupada/DataBase/Tavoro.mdb")));
        // A damaged database: a sample cut short.
        QVERIFY(muestra("danada", 300, 29));
        QFile f(carpeta("danada/DataBase/Tavoro.mdb"));
        QVERIFY(f.open(QIODevice::ReadWrite) && f.resize(3000));
        f.close();
        // The same database copied into another folder.
        QVERIFY(QDir().mkpath(carpeta("copia/DataBase")));
        QVERIFY(QFile::copy(carpeta("norte/Tavoro.INI"), carpeta("copia/Tavoro.INI")));
        QVERIFY(QFile::copy(carpeta("norte/DataBase/Tavoro.mdb"), carpeta("copia/DataBase/Tavoro.mdb")));

        for (const QString s : {"norte", "sur"}) {
            TSucursal Suc(carpeta(s));
            QVERIFY2(Suc.Prepara("admin", "admin") && Suc.DetectaPEPs(), qPrintable(Suc.Error()));
            QVERIFY(!Suc.Candidatos().isEmpty());
            Candidatos[s] = Suc.Candidatos().first().sClave;
        }
    }

    // Each answer combined as the question catalogue says.
    void combina_data()
    {
        QTest::addColumn<TRespuestas>("respuestas");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("esperada");
        using L = TRespuestas;
        QTest::newRow("conteos sumados") << L{{{"preg_32", "3"}}, {{"preg_32", "4"}}} << "preg_32"
                                         << "7";
        QTest::newRow("montos sumados")
            << L{{{"preg_42_2", "1000.1"}}, {{"preg_42_2", "2000.25"}}} << "preg_42_2"
            << "3000.35";
        QTest::newRow("ITF en alguna") << L{{{"preg_30", "NO"}}, {{"preg_30", "SI"}}} << "preg_30"
                                       << "SI";
        QTest::newRow("ITF en ninguna") << L{{{"preg_30", "NO"}}, {{"preg_30", "NO"}}} << "preg_30"
                                        << "NO";
        QTest::newRow("a mano") << L{{{"preg_1", ""}}, {{"preg_1", ""}}} << "preg_1"
                                << "";
        const L Estados{{{"preg_44", estado44("SONORA", 10, "100.5")},
                         {"preg_46", "Numero de Operaciones:  10   Monto:  100.5   en esta Sucursal "}},
                        {{"preg_44", estado44("BAJA CALIFORNIA", 12, "10")},
                         {"preg_46", "Numero de Operaciones:  12   Monto:  10   en esta Sucursal "}},
                        {{"preg_44", estado44("SONORA", 5, "50.25")},
                         {"preg_46", "Numero de Operaciones:  5   Monto:  50.25   en esta Sucursal "}},
                        {{"preg_44", "0"}, {"preg_46", "0"}}};
        QTest::newRow("44: estados por operaciones")
            << Estados << "preg_44"
            << estado44("SONORA", 15, "150.75") + "\r\n" + estado44("BAJA CALIFORNIA", 12, "10");
        QTest::newRow("45: estados por monto")
            << Estados << "preg_45"
            << estado44("SONORA", 15, "150.75") + "\r\n" + estado44("BAJA CALIFORNIA", 12, "10");
        QTest::newRow("46: todas las sucursales")
            << Estados << "preg_46"
            << "Numero de Operaciones:  27   Monto:  160.75   en las 3 sucursales ";
        QTest::newRow("46: ninguna operó") << L{{{"preg_46", "0"}}, {{"preg_46", "0"}}} << "preg_46"
                                           << "0";
    }
    void combina()
    {
        QFETCH(TRespuestas, respuestas);
        QFETCH(QString, variable);
        QFETCH(QString, esperada);
        QList<TResultadoSucursal> S;
        for (int i = 0; i < respuestas.size(); ++i) {
            QMap<QString, QString> r = respuestas[i];
            if (variable == "preg_45")
                r["preg_45"] = r.value("preg_44");
            S << sucursal(i + 1, r);
        }
        const TConsolidado C = ConsolidaSucursales(S);
        QCOMPARE(C.Valor(variable), esperada);
        QCOMPARE(C.Variables.size(), S.first().Variables.size());
    }

    // 9 and 10: the ten values of most client rows of all branches together, ties alphabetical.
    void listas()
    {
        QList<TResultadoSucursal> S{sucursal(1, {}, {{"preg_9", {{"X", 3}, {"Y", 1}}}}),
                                    sucursal(2, {}, {{"preg_9", {{"Y", 3}, {"Z", 1}, {"A", 1}}}})};
        const TConsolidado C = ConsolidaSucursales(S);
        QCOMPARE(C.Valor("preg_9"), QString("Y\r\nX\r\nA\r\nZ"));
        QCOMPARE(C.Valor("preg_10"), kNinguno);
    }

    // Three real branches, two of them in one state: every combined figure against each
    // branch's own run and rows; the details of all of them, each row with its branch.
    void sucursalesReales()
    {
        const QStringList Nombres{"norte", "sur", "mexicali"};
        TOpcionesConsolidacion o = opciones(Nombres, {"1:" + Candidatos["norte"], "2:" + Candidatos["sur"]});
        o.bConservaDetalle = true;
        o.nHilos = 2;
        TConsolidacion Consolidacion;
        QVERIFY2(Consolidacion.Corre(o), qPrintable(Consolidacion.Error()));
        const TConsolidado& C = Consolidacion.Consolidado();

        // Each branch on its own, as one run does it.
        QList<TVariables> Propias;
        QList<QHash<QString, QList<QVariantList>>> Filas;
        for (int i = 0; i < Nombres.size(); ++i) {
            TSucursal Suc(carpeta(Nombres[i]));
            QVERIFY(Suc.Prepara("ADMIN", "ADMIN") && Suc.DetectaPEPs());
            if (i < 2)
                QVERIFY(Suc.Marca({Candidatos[Nombres[i]]}));
            QVERIFY(Suc.GeneraReporte());
            Propias << Suc.Variables();
            QHash<QString, QList<QVariantList>> h;
            const QList<TDetalle> D = Suc.Detalles();
            QCOMPARE(Suc.RecorreDetalle([&](int d, const QVariantList& v) {
                h[D[d].sVariable] << v;
                return true;
            }),
                     TLecturaDetalle::Completa);
            Filas << h;
        }
        const auto valor = [](const TVariables& v, const QString& s) {
            for (const auto& p : v)
                if (p.first == s)
                    return p.second;
            return QString();
        };
        for (const TPreguntaCatalogo& p : CatalogoPreguntas()) {
            const QString sVar = p.Variable();
            if (p.Combina == TCombinaPregunta::Suma) {
                qint64 n = 0;
                for (const auto& v : Propias)
                    n += valor(v, sVar).toLongLong();
                QCOMPARE(C.Valor(sVar), QString::number(n));
                // A count is its rows, also summed over the branches.
                qsizetype nFilas = 0;
                for (const auto& h : Filas)
                    nFilas += h.value(sVar).size();
                QCOMPARE(C.Valor(sVar).toLongLong(), qint64(nFilas));
            } else if (p.Combina == TCombinaPregunta::SumaMonto) {
                double d = 0;
                for (const auto& v : Propias)
                    d += valor(v, sVar).toDouble();
                QVERIFY2(qAbs(C.Valor(sVar).toDouble() - d) < 0.001, qPrintable(sVar));
            } else if (p.Combina == TCombinaPregunta::ListaRecalculada) {
                QMap<QString, int> Conteo;
                const int c = int(ColumnasDetalle(p.Clase).indexOf(p.sColumnaLista));
                for (const auto& h : Filas)
                    for (const QVariantList& f : h.value(sVar))
                        ++Conteo[f.value(c).toString().toUpper()];
                QStringList Lineas = C.Valor(sVar).split("\r\n");
                QCOMPARE(Lineas.size(), std::min(10, int(Conteo.size())));
                for (int k = 1; k < Lineas.size(); ++k)
                    QVERIFY(Conteo[Lineas[k - 1]] >= Conteo[Lineas[k]]);
            }
        }
        // 44: norte and mexicali are both in Baja California, sur in Sonora.
        const QStringList Lineas44 = C.Valor("preg_44").split("\r\n");
        QCOMPARE(Lineas44.size(), 2);
        const auto ops = [&](int i) { return qint64(Filas[i].value("preg_46").size()); };
        const auto lineaDe = [&](const QString& sEstado) {
            for (const QString& l : Lineas44)
                if (l.startsWith("Estado o Entidad Federativa: " + sEstado + "   "))
                    return l;
            return QString();
        };
        QVERIFY2(
            lineaDe("BAJA CALIFORNIA").contains(QString("Numero de Operaciones:  %1 ").arg(ops(0) + ops(2))),
            qPrintable(Lineas44.join('\n')));
        QVERIFY2(lineaDe("SONORA").contains(QString("Numero de Operaciones:  %1 ").arg(ops(1))),
                 qPrintable(Lineas44.join('\n')));
        QVERIFY(C.Valor("preg_46").startsWith(
            QString("Numero de Operaciones:  %1 ").arg(ops(0) + ops(1) + ops(2))));
        QVERIFY(C.Valor("preg_46").endsWith("   en las 3 sucursales "));

        // The details: every branch's rows under the branch's name, and the per-branch table.
        QTemporaryDir d;
        TGrupoSalidas Grupo;
        TEscritorDetalle Escritor(TFormatoCsv::ConSeparador(';'));
        QString sError;
        QVERIFY2(Consolidacion.EscribeDetalle(d.filePath("detalle"), Escritor, Grupo, sError),
                 qPrintable(sError));
        QVERIFY2(Grupo.Coloca(), qPrintable(Grupo.Error()));
        for (const TDetalle& det : Consolidacion.Detalles()) {
            const QList<QStringList> Todas =
                ProcesoHerramienta::LeeCsv(d.filePath("detalle/" + ArchivoDetalle(det)));
            qsizetype n = 0;
            for (const auto& h : Filas)
                n += h.value(det.sVariable).size();
            QCOMPARE(Todas.size() - 1, n);
            QCOMPARE(Todas.value(0).value(0), QString("Sucursal"));
            if (n > 0)
                QVERIFY(Todas.value(1).value(0).startsWith("Sucursal "));
        }
        const QList<QStringList> Tabla = ProcesoHerramienta::LeeCsv(d.filePath("detalle/sucursales.csv"));
        QCOMPARE(Tabla.value(0), QStringList({"Pregunta", "Descripción", "Sucursal 1 (norte)",
                                              "Sucursal 2 (sur)", "Sucursal 3 (mexicali)", "Total"}));
    }

    // Refused before anything is written, naming why: the same branch twice under any name,
    // another company, ticks that name no branch or could name two, a branch that fails.
    void rechazos_data()
    {
        QTest::addColumn<QStringList>("carpetas");
        QTest::addColumn<QStringList>("marcas");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("la misma carpeta")
            << QStringList{"norte", "sur", "norte"} << QStringList()
            << "Sucursal 1 (norte), carpeta %1 y Sucursal 3 (norte), carpeta %1 son la "
               "misma carpeta";
        QTest::newRow("la misma carpeta escrita de otro modo")
            << QStringList{"norte", "sur/../norte/."} << QStringList() << "son la misma carpeta";
        QTest::newRow("un enlace a la carpeta")
            << QStringList{"norte", "enlace"} << QStringList() << "son la misma carpeta";
        QTest::newRow("una copia de la base") << QStringList{"norte", "copia"} << QStringList()
                                              << "tienen copias idénticas de una misma base de datos";
        QTest::newRow("otra empresa")
            << QStringList{"norte", "otra"} << QStringList()
            << "Las sucursales no son de una misma empresa: Sucursal 1 (norte) es «CENTRO "
               "CAMBIARIO LA FRONTERA, S.A. DE C.V.» (registro 04512) y Sucursal 2 (otra) "
               "es «OTRA CASA DE CAMBIO, S.A. DE C.V.» (registro 0077)";
        QTest::newRow("PEP sin sucursal") << QStringList{"norte", "sur"} << QStringList{"C01"}
                                          << "La opción --pep C01 no indica la sucursal";
        QTest::newRow("PEP con la carpeta sin carpeta=")
            << QStringList{"norte", "sur"} << QStringList{"%2:C01"} << "no indica la sucursal";
        QTest::newRow("PEP de una sucursal que no hay")
            << QStringList{"norte", "sur"} << QStringList{"3:C01"} << "nombra la sucursal 3, pero solo hay 2";
        QTest::newRow("PEP de una carpeta que no está")
            << QStringList{"norte", "sur"} << QStringList{"carpeta=%3:C01"}
            << "no nombra ninguna de las carpetas";
        QTest::newRow("PEP ambiguo") << QStringList{"2", "1"} << QStringList{"2:C01"}
                                     << "puede nombrar la sucursal número 2 o la carpeta";
        QTest::newRow("PEP no detectado")
            << QStringList{"norte", "sur"} << QStringList{"2:NOEXISTE"}
            << "Sucursal 2 (sur), carpeta %4: El cliente NOEXISTE no está entre los "
               "PEPs detectados. No se escribió nada.";
        QTest::newRow("usuario conectado")
            << QStringList{"norte", "ocupada", "sur"} << QStringList()
            << "Sucursal 2 (ocupada), carpeta %5: Hay un usuario conectado a la BD. Cierre Tavoro antes de "
               "continuar. No se escribió nada.";
        QTest::newRow("base dañada") << QStringList{"norte", "sur", "danada"} << QStringList()
                                     << "Sucursal 3 (danada), carpeta %6: No se pudo abrir la base de datos";
        QTest::newRow("carpeta inexistente") << QStringList{"norte", "nada"} << QStringList()
                                             << "Sucursal 2 (nada), carpeta %7: No existe la carpeta";
        QTest::newRow("una sola carpeta") << QStringList{"norte"} << QStringList()
                                          << "Indique al menos dos carpetas del Tavoro para consolidar.";
    }
    void rechazos()
    {
        QFETCH(QStringList, carpetas);
        QFETCH(QStringList, marcas);
        QFETCH(QString, mensaje);
        if (carpetas.contains("enlace")) {
            QRTZ_REQUIERE_ENLACES();
            QFile::link(carpeta("norte"), carpeta("enlace"));
        }
        if (carpetas.contains("2")) {
            QVERIFY(muestra("1", 100, 31));
            QVERIFY(muestra("2", 100, 37));
        }
        // %1 norte, %2 sur, %3 a folder that is not consolidated, %4 to %7 the others.
        const QStringList Rutas{carpeta("norte"),   carpeta("sur"),    carpeta("ninguna"), carpeta("sur"),
                                carpeta("ocupada"), carpeta("danada"), carpeta("nada")};
        const auto pon = [&](QString s, bool bNativa) {
            for (int i = Rutas.size(); i >= 1; --i)
                s.replace(QString("%%1").arg(i),
                          bNativa ? QDir::toNativeSeparators(Rutas[i - 1]) : Rutas[i - 1]);
            return s;
        };
        for (QString& m : marcas)
            m = pon(m, false);
        const QString sEsperado = pon(mensaje, true);
        TConsolidacion Consolidacion;
        QVERIFY(!Consolidacion.Corre(opciones(carpetas, marcas)));
        QVERIFY2(Consolidacion.Error().contains(sEsperado),
                 qPrintable(Consolidacion.Error() + "\n" + sEsperado));
        QVERIFY(Consolidacion.Consolidado().Variables.isEmpty());
    }

    // Branches of another company are consolidated when the user says they belong together;
    // the report names each company.
    void distintasEmpresas()
    {
        TOpcionesConsolidacion o = opciones({"norte", "otra"});
        o.bDistintasEmpresas = true;
        TConsolidacion Consolidacion;
        QVERIFY2(Consolidacion.Corre(o), qPrintable(Consolidacion.Error()));
        const QString sNotas = Consolidacion.Consolidado().Notas.join('\n');
        QVERIFY2(sNotas.contains("OTRA CASA DE CAMBIO, S.A. DE C.V. (registro 0077)") &&
                     sNotas.contains("CENTRO CAMBIARIO LA FRONTERA, S.A. DE C.V. (registro 04512)"),
                 qPrintable(sNotas));
    }

    // A run stopped at any of its checks, from the first to the last, reports "Proceso
    // cancelado." and keeps nothing.
    void detenida()
    {
        TOpcionesConsolidacion o = opciones({"norte", "sur"});
        o.nHilos = 1;
        o.bConservaDetalle = true;
        std::atomic<int> n{0};
        o.Continua = [&] { return ++n > 0; };
        QVERIFY(TConsolidacion().Corre(o));
        const int nTotal = n;
        QVERIFY2(nTotal > 8, qPrintable(QString::number(nTotal)));
        for (int nAlto : {0, nTotal / 2, nTotal - 1}) {
            n = 0;
            o.Continua = [&] { return n++ < nAlto; };
            TConsolidacion Consolidacion;
            QVERIFY(!Consolidacion.Corre(o));
            QVERIFY(Consolidacion.Detenida());
            QCOMPARE(Consolidacion.Error(), QString("Proceso cancelado."));
            QVERIFY(Consolidacion.Consolidado().Variables.isEmpty());
            QCOMPARE(int(n), nAlto + 1);
        }
    }

    // Thirty branches: every branch's name and figures are in the PDF, on as many annex pages as
    // they need, every footer counting all the pages; the questionnaire's own notes say that its
    // figures are already the sum.
    void treintaSucursales()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("falta pdftotext (poppler-utils)");
        const QStringList kCiudades{"TIJUANA", "NOGALES", "MEXICALI", "GUADALAJARA", "HERMOSILLO"};
        QStringList Nombres;
        for (int i = 0; i < 30; ++i) {
            Nombres << QString("s%1").arg(i + 1, 2, 10, QLatin1Char('0'));
            QVERIFY(muestra("treinta/" + Nombres.last(), 60 + 7 * i, 100 + quint64(i), kCiudades[i % 5]));
        }
        QStringList Rutas;
        for (const QString& n : Nombres)
            Rutas << carpeta("treinta/" + n);
        TConsolidacion Consolidacion;
        QVERIFY2(Consolidacion.Corre(opciones(Rutas)), qPrintable(Consolidacion.Error()));
        const TConsolidado& C = Consolidacion.Consolidado();
        TReporteConsolidado Reporte(C);
        QVERIFY(Reporte.Prepara());
        QTemporaryDir d;
        TArchivoSalida Pdf(d.filePath("consolidado.pdf"));
        QString sError;
        QVERIFY(Pdf.Abre() && Reporte.EscribePDF(Pdf, sError) && Pdf.Coloca());

        QProcess p;
        p.start("pdftotext", {"-layout", d.filePath("consolidado.pdf"), "-"});
        QVERIFY(p.waitForFinished());
        const QStringList Paginas =
            QString::fromUtf8(p.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
        const int nPaginas = int(Paginas.size());
        QVERIFY2(nPaginas > 12, qPrintable(QString::number(nPaginas)));
        for (int i = 0; i < nPaginas; ++i)
            QVERIFY2(Paginas[i].contains(QString("Página %1 de %2").arg(i + 1).arg(nPaginas)),
                     qPrintable(Paginas[i]));
        const QString sAnexo = Paginas.mid(11).join('\n');
        // Every branch is named in the list of branches.
        for (const TResultadoSucursal& s : C.Sucursales)
            QVERIFY2(sAnexo.contains(s.sNombre), qPrintable(s.sNombre));
        // Every branch's operations (46) and every state's total are there.
        for (const QVariantList& f : C.Filas)
            if (f.value(1).toString() == "Operaciones de la sucursal")
                for (int i = 2; i < f.size(); ++i)
                    QVERIFY2(sAnexo.contains(
                                 QRegularExpression("\\b" + QString::number(f[i].toLongLong()) + "\\b")),
                             qPrintable(f[i].toString()));
        for (const TLineaEstado& e : C.Estados)
            QVERIFY2(sAnexo.contains(e.sEstado) && sAnexo.contains(QString::number(e.nOperaciones)),
                     qPrintable(e.sEstado));
        for (const QString& n : C.Notas)
            QVERIFY(sAnexo.simplified().contains(n.left(40).simplified()));
        // The questionnaire's notes: the figures are already the sum of the thirty branches.
        const QString sCuestionario = Paginas.mid(0, 11).join('\n');
        QVERIFY(!sCuestionario.contains("con las de sus demás sucursales"));
        QVERIFY(!sCuestionario.contains("con los de sus demás sucursales"));
        QVERIFY(sCuestionario.simplified().contains("ya es la suma de las 30 sucursales"));
    }

    // The command-line tool: one path with every output, and its errors (exit code 1, nothing
    // written, the JSON document as the lines).
    void herramienta()
    {
        const QStringList Base{"--consolidar", carpeta("norte"), carpeta("sur"),
                               "--usuario",    "admin",          "--password",
                               "admin",        "--pep",          "2:" + Candidatos["sur"]};
        const QString sSalidas = carpeta("salidas_herramienta");
        QVERIFY(QDir().mkpath(sSalidas));
        const ProcesoHerramienta::TSalida s = ProcesoHerramienta::Corre(
            Base + QStringList{"--detalle", sSalidas + "/detalle", "--pdf", sSalidas + "/r.pdf", "--tabla",
                               sSalidas + "/tabla.csv"});
        QVERIFY2(s.nCodigo == 0, qPrintable(s.sError));
        for (const QString f : {"/r.pdf", "/tabla.csv", "/detalle/indice.csv", "/detalle/sucursales.csv",
                                "/detalle/detalle.xlsx"})
            QVERIFY2(QFileInfo::exists(sSalidas + f), qPrintable(f));
        QVERIFY(s.sError.contains("Se escribió el archivo PDF") && s.sError.contains("Se escribió la tabla"));
        const QMap<QString, QString> v = ProcesoHerramienta::Variables(s.sSalida);
        QCOMPARE(v.size(), 2 + 45 + 12);
        QVERIFY(s.sSalida.contains("PEP\t2:" + Candidatos["sur"] + "\t"));

        const ProcesoHerramienta::TSalida j = ProcesoHerramienta::Corre(Base + QStringList{"--json"});
        QVERIFY2(j.nCodigo == 0, qPrintable(j.sError));
        const QJsonObject o = QJsonDocument::fromJson(j.sSalida.toUtf8()).object();
        QCOMPARE(QStringList(o.keys()), (QStringList{"notas", "orden", "sucursales", "tabla", "variables"}));
        QCOMPARE(o["sucursales"].toArray().size(), 2);
        for (auto it = v.cbegin(); it != v.cend(); ++it)
            QCOMPARE(o["variables"][it.key()].toString(), it.value());

        for (const QStringList& Extra : {QStringList{"--password", "OTRA"}, QStringList{"--pep", "C01"}}) {
            const QString sNada = carpeta("salidas_fallida");
            QDir().mkpath(sNada);
            const ProcesoHerramienta::TSalida f = ProcesoHerramienta::Corre(
                Base.mid(0, 7) + Extra + QStringList{"--detalle", sNada + "/d", "--pdf", sNada + "/r.pdf"});
            QCOMPARE(f.nCodigo, 1);
            QVERIFY(!f.sSalida.contains("preg_"));
            QCOMPARE(QDir(sNada).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        }
        const ProcesoHerramienta::TSalida e = ProcesoHerramienta::Corre(
            {"--consolidar", carpeta("norte"), carpeta("otra"), "--usuario", "admin", "--password", "admin"});
        QCOMPARE(e.nCodigo, 1);
        QVERIFY2(e.sError.contains("use --distintas-empresas"), qPrintable(e.sError));
    }
};

QRTZ_TEST_MAIN_QUE_TERMINA(TestConsolidacion)
#include "TestConsolidacion.moc"
