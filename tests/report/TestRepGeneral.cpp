#include "OmisionCTest.h"
#include "common/DialogosGuion.h"
#include "report/ManejadorReportes.h"
#include "report/RepGeneral.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Fuentes.h"
#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"
#include "reportengine/VistaPrevia.h"

#include <QAction>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

QString ejecuta(const QString& sPrograma, const QStringList& Args)
{
    QProcess p;
    p.start(sPrograma, Args);
    if (!p.waitForFinished(20000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString textoPdf(const QString& sArchivo, int nPagina)
{
    return ejecuta("pdftotext",
                   {"-f", QString::number(nPagina), "-l", QString::number(nPagina), sArchivo, "-"});
}

} // namespace

class TestRepGeneral : public QObject
{
    Q_OBJECT

    std::unique_ptr<TObjTextoRico> objTextoRico;
    std::unique_ptr<TExportaPDF> expPDF;
    std::unique_ptr<TReporte> repGeneral;
    std::shared_ptr<TDialogosGuion> F_Dialogos;
    QTemporaryDir F_Dir;

    // The answers of a generation run, as the questionnaire driver hands them over.
    void llena(IManejadorReportes& m)
    {
        m.AgregaDatoReporte("Cuestionario", "NombreCC", "CAMBIOS DEL NORTE S.A. DE C.V.");
        m.AgregaDatoReporte("Cuestionario", "RegCC", "089-12345");
        for (int n = 1; n <= 47; ++n) {
            if (n == 42 || n == 43) {
                for (int i = 1; i <= 6; ++i)
                    m.AgregaDatoReporte("Cuestionario", QString("preg_%1_%2").arg(n).arg(i),
                                        QString("R%1x%2").arg(n).arg(i));
                continue;
            }
            m.AgregaDatoReporte("Cuestionario", QString("preg_%1").arg(n), QString("R%1").arg(n));
        }
        m.AgregaDatoReporte("Cuestionario", "preg_1", "");
        m.AgregaDatoReporte("Cuestionario", "preg_9", "COMERCIO\r\nO'BRIEN Y ASOCIADOS\r\nTRANSPORTE");
        m.AgregaDatoReporte("Cuestionario", "preg_30", "SI");
    }

    QString texto(int nPagina) const { return repGeneral->TextoPagina(nPagina - 1); }

private slots:
    void initTestCase()
    {
        RegistraFuentes();
        F_Dialogos = std::make_shared<TDialogosGuion>();
        InstalaDialogos(F_Dialogos);
        QVERIFY(F_Dir.isValid());
    }

    void init()
    {
        objTextoRico = CreaObjTextoRico();
        expPDF = CreaExpPDF();
        repGeneral = CreaRepGeneral(objTextoRico.get(), expPDF.get());
    }

    void cleanup()
    {
        repGeneral.reset();
        QVERIFY2(F_Dialogos->Cajas.isEmpty(), qPrintable(F_Dialogos->Textos().join('|')));
    }

    void valorReporte_data()
    {
        QTest::addColumn<QString>("dato");
        QTest::addColumn<QString>("guardado");
        QTest::newRow("número") << "12"
                                << "'12'";
        QTest::newRow("vacío") << ""
                               << "''";
        QTest::newRow("dos renglones CR LF") << "A\r\nB"
                                             << "A\r\nB";
        QTest::newRow("LF solo") << "A\nB"
                                 << "'A\nB'";
        QTest::newRow("CR solo") << "A\rB"
                                 << "'A\rB'";
        QTest::newRow("apóstrofo sin escapar") << "O'BRIEN"
                                               << "'O'BRIEN'";
    }
    void valorReporte()
    {
        QFETCH(QString, dato);
        QFETCH(QString, guardado);
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        m->AgregaDatoReporte("Cuestionario", "preg_5", dato);
        const TListaVariables& v = repGeneral->Variables();
        QCOMPARE(v.Elemento(v.IndiceDe("preg_5")).Valor, std::optional<QString>(guardado));
    }

    void plantilla()
    {
        QStringList Esperados{" Cuestionario"};
        for (int n = 1; n <= 46; ++n)
            Esperados << QString("preg_%1").arg(n);
        Esperados << "NombreCC";
        for (int n : {42, 43})
            for (int m = 1; m <= 6; ++m)
                Esperados << QString("preg_%1_%2").arg(n).arg(m);
        Esperados << "RegCC";
        QStringList Nombres;
        const TListaVariables& v = repGeneral->Variables();
        for (int i = 0; i < v.Cuenta(); ++i) {
            Nombres << v.Elemento(i).sNombre;
            QVERIFY(!v.Elemento(i).Valor);
        }
        QCOMPARE(Nombres, Esperados);

        const auto& Paginas = repGeneral->Paginas();
        QCOMPARE(int(Paginas.size()), 11);
        for (int n = 0; n < 11; ++n) {
            const TPaginaPlantilla& p = Paginas[size_t(n)];
            QCOMPARE(p.sNombre, QString("Pagina_%1").arg(n));
            QCOMPARE(p.Encabezado.Area.sNombre, QString("txHoja%1").arg(n));
            QCOMPARE(p.Pie.Area.sNombre, QString("txPie%1").arg(n));
            QCOMPARE(p.Encabezado.sNombre, n == 0 ? QString("PageHeader18") : QString("PageHeader%1").arg(n));
            QCOMPARE(p.Papel, n == 8 ? TTipoPapel::Personalizado : TTipoPapel::Carta);
            QCOMPARE(p.Pie.rBanda.height(), n == 3 ? 30.23624 : 22.67718);
            QVERIFY(!p.Encabezado.Area.sHtml.isEmpty());
        }
        QVERIFY(repGeneral->Config().bDosPasadas);
        QCOMPARE(expPDF->sNombreArchivo, QString("CuestionarioQRTZ"));
    }

    void variablesDelManejador()
    {
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        const int nCuenta = repGeneral->Variables().Cuenta();
        m->AgregaDatoReporte("Cuestionario", "preg_5", "uno");
        m->AgregaDatoReporte("Cuestionario", "preg_5", "dos");
        m->AgregaDatoReporte("Otra", "preg_1", "perdido");
        QCOMPARE(repGeneral->Variables().Cuenta(), nCuenta);
        QCOMPARE(repGeneral->Variables().Lee("preg_5"), QString("dos"));
        QCOMPARE(repGeneral->Variables().Lee("preg_1"), QString());
        m->AgregaDatoReporte("Cuestionario", "preg_47", "");
        QCOMPARE(repGeneral->Variables().Cuenta(), nCuenta + 1);
        QCOMPARE(repGeneral->Variables().Elemento(nCuenta).sNombre, QString("preg_47"));
    }

    void reportePreparado()
    {
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        llena(*m);
        QVERIFY(repGeneral->PreparaReporte(true));
        QCOMPARE(repGeneral->PaginasPreparadas(), 11);
        for (int n = 1; n <= 11; ++n) {
            const TPaginaPreparada& p = repGeneral->PaginaPreparada(n - 1);
            QCOMPARE(p.Areas[1].Doc->toPlainText(), QString("Página %1 de 11").arg(n));
            QCOMPARE(texto(n).contains("CAMBIOS DEL NORTE S.A. DE C.V."), n >= 2);
            QVERIFY2(!texto(n).contains('['), qPrintable(texto(n)));
        }
        // An empty answer leaves the rest of its line.
        QVERIFY(texto(2).contains("\n *Responder SI: Si el CC obtuvo registro en 2016 o antes. *\n"));
        QVERIFY(texto(2).contains("\n 089-12345\n"));
        QVERIFY(texto(2).contains("\n R3 SI.\n"));
        QVERIFY(
            texto(6).contains(" *En este establecimiento existen R22 Alertas registradas en el Sistema. *"));
        QVERIFY(texto(10).contains(" Número de operaciones: R42x6\n"));
        QVERIFY(texto(11).contains(" Número de operaciones: R43x5\n"));
        QVERIFY(texto(11).contains(
            " R47*Deberá responder \"0\" para \"Número de Operaciones\" y \"0\" para \"Monto\"*"));
        QVERIFY(texto(3).contains("met{alicas"));

        // The list answer: one bold paragraph per line at the reference's place.
        QVERIFY(texto(3).contains("\n COMERCIO\nO'BRIEN Y ASOCIADOS\nTRANSPORTE\n"));
        const QTextDocument& Doc = *repGeneral->PaginaPreparada(2).Areas[0].Doc;
        const QTextCursor c = Doc.find("O'BRIEN Y ASOCIADOS");
        QVERIFY(!c.isNull());
        QVERIFY(c.charFormat().fontWeight() >= QFont::Bold);
        QCOMPARE(c.block().text(), QString("O'BRIEN Y ASOCIADOS"));
    }

    void textoLargoSeCorta()
    {
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        llena(*m);
        QStringList Lista;
        for (int i = 1; i <= 80; ++i)
            Lista << QString("ESTADO %1").arg(i);
        m->AgregaDatoReporte("Cuestionario", "preg_44", Lista.join("\r\n"));
        QVERIFY(repGeneral->PreparaReporte(true));
        QCOMPARE(repGeneral->PaginasPreparadas(), 11);
        const TAreaPreparada& a = repGeneral->PaginaPreparada(10).Areas[0];
        QCOMPARE(a.rTexto.height(), 952.44094488 - 2);
        QVERIFY(a.Doc->size().height() <= a.rTexto.height());
        QVERIFY(texto(11).contains("ESTADO 20\n"));
        QVERIFY(!texto(11).contains("ESTADO 80"));
        QVERIFY(!texto(11).contains("47.-"));
        QCOMPARE(texto(11).split('\n').last(), QString("Página 11 de 11"));
    }

    // Two generations in one run: each preview shows eleven freshly prepared pages.
    void muestraReporteDosVeces()
    {
        QStringList Vistos;
        repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            QVERIFY(v.windowState() & Qt::WindowMaximized);
            QCOMPARE(v.findChild<QPrintPreviewWidget*>("pvPaginas")->zoomFactor(), 1.0);
            QCOMPARE(v.TotalPaginas(), 11);
            Vistos << repGeneral->TextoPagina(1);
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        for (const char* sNombre : {"PRIMERA S.A.", "SEGUNDA S.A."}) {
            auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
            m->AgregaDatoReporte("Cuestionario", "NombreCC", sNombre);
            m->MuestraReporte();
        }
        QCOMPARE(Vistos.size(), 2);
        QVERIFY(Vistos[0].contains("PRIMERA S.A."));
        QVERIFY(Vistos[1].contains("SEGUNDA S.A."));
        QCOMPARE(repGeneral->PaginasPreparadas(), 11);
        QCOMPARE(repGeneral->GetFileName(), QString("Encuesta ZIDU 2019"));
    }

    // The quick export of the preview and the print button, dialogs answered by the test.
    void exportaEImprimeDesdeLaVista()
    {
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty() ||
            QStandardPaths::findExecutable("pdftotext").isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA("poppler-utils no está instalado");
        const QString sPdf = F_Dir.filePath("CuestionarioQRTZ.pdf");
        const QString sImpreso = F_Dir.filePath("impreso.pdf");
        {
            QFile Previo(sPdf); // an earlier file is replaced without asking
            QVERIFY(Previo.open(QIODevice::WriteOnly));
            Previo.write("viejo");
        }
        QString sPropuesto;
        expPDF->DialogoOpciones = [](const TExportaPDF&, QWidget*) { return true; };
        expPDF->DialogoGuardar = [&](const QString& s, QWidget*) {
            sPropuesto = s;
            return sPdf;
        };
        repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            v.DialogoImprimir = [&](QPrinter& p, QWidget*) {
                p.setOutputFormat(QPrinter::PdfFormat);
                p.setOutputFileName(sImpreso);
                return true;
            };
            v.findChild<QAction*>("acExportaPDF")->trigger();
            v.findChild<QAction*>("acImprimir")->trigger();
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        llena(*m);
        m->MuestraReporte();

        QCOMPARE(sPropuesto, QString("CuestionarioQRTZ.pdf"));
        const QString sInfo = ejecuta("pdfinfo", {sPdf});
        for (const char* sLinea :
             {"Title:\\s+Cuestionario QRTZ\n", "Subject:\\s+Cuestionario QRTZ\n", "Author:\\s+Tavoro\n",
              "Pages:\\s+11\n", "Encrypted:\\s+no\n", "Page size:\\s+612 x 792 pts"})
            QVERIFY2(sInfo.contains(QRegularExpression(sLinea)), qPrintable(sLinea + ("\n" + sInfo)));
        {
            // No object streams are written, so the catalogue is plain text: no outline in it.
            QFile f(sPdf);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray Bytes = f.readAll();
            QVERIFY(Bytes.contains("/Catalog"));
            QVERIFY(!Bytes.contains("/Outlines"));
        }
        QVERIFY(ejecuta("pdffonts", {sPdf}).contains("LiberationSerif"));

        QVERIFY(textoPdf(sPdf, 1).contains("Notas importantes:"));
        QVERIFY(textoPdf(sPdf, 2).contains("Clave CASFIM del Sujeto Obligado"));
        QVERIFY(textoPdf(sPdf, 2).contains("089-12345"));
        QVERIFY(textoPdf(sPdf, 5).contains("R13*En los espacios en blanco llene lo siguiente:"));
        QVERIFY(textoPdf(sPdf, 8).contains("Número de usuarios: R39"));
        QVERIFY(textoPdf(sPdf, 11).contains("CANALES DE ENVIO"));
        for (int n = 1; n <= 11; ++n) {
            const QString s = textoPdf(sPdf, n);
            QVERIFY2(s.contains(QString("Página %1 de 11").arg(n)), qPrintable(s));
            QCOMPARE(s.contains("CAMBIOS DEL NORTE S.A. DE C.V."), n >= 2);
        }

        const QString sInfoImpreso = ejecuta("pdfinfo", {sImpreso});
        QVERIFY2(sInfoImpreso.contains(QRegularExpression("Pages:\\s+11\n")), qPrintable(sInfoImpreso));
        QVERIFY(sInfoImpreso.contains(QRegularExpression("Title:\\s+Encuesta ZIDU 2019\n")));
        QVERIFY(textoPdf(sImpreso, 4).contains("Página 4 de 11"));
    }
};

#define main qrtzMainQt
QTEST_MAIN(TestRepGeneral)
#undef main
QRTZ_MAIN_CON_OMISION
#include "TestRepGeneral.moc"
