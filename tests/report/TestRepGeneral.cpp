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
#include <QGraphicsView>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

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

// Reads a page's content stream and gives the size, in points on the paper, of every run of
// text: its font operator's size scaled by the text and current transformation matrices.
class TTamanosTexto : public QPDFObjectHandle::ParserCallbacks
{
public:
    QList<qreal> Tamanos;

    void handleObject(QPDFObjectHandle obj, size_t, size_t) override
    {
        if (!obj.isOperator()) {
            F_Operandos.push_back(obj);
            return;
        }
        const std::string op = obj.getOperatorValue();
        if (op == "q")
            F_Pila.push_back(F_Ctm);
        else if (op == "Q" && !F_Pila.isEmpty())
            F_Ctm = F_Pila.takeLast();
        else if (op == "cm" && F_Operandos.size() == 6)
            F_Ctm = matriz() * F_Ctm;
        else if (op == "BT")
            F_Tm = QTransform();
        else if (op == "Tm" && F_Operandos.size() == 6)
            F_Tm = matriz();
        else if (op == "Tf" && F_Operandos.size() == 2)
            F_dTamano = F_Operandos[1].getNumericValue();
        else if (op == "Tj" || op == "TJ" || op == "'" || op == "\"") {
            const QTransform t = F_Tm * F_Ctm;
            Tamanos << F_dTamano * std::sqrt(std::abs(t.determinant()));
        }
        F_Operandos.clear();
    }
    void handleEOF() override {}

private:
    QTransform matriz()
    {
        qreal v[6];
        for (int i = 0; i < 6; ++i)
            v[i] = F_Operandos[size_t(i)].getNumericValue();
        return QTransform(v[0], v[1], v[2], v[3], v[4], v[5]);
    }

    std::vector<QPDFObjectHandle> F_Operandos;
    QTransform F_Ctm;
    QTransform F_Tm;
    QList<QTransform> F_Pila;
    qreal F_dTamano = 0;
};

// Text sizes of every page of a PDF file, page by page.
QList<QList<qreal>> tamanosTexto(const QString& sArchivo)
{
    QPDF Pdf;
    Pdf.processFile(sArchivo.toLocal8Bit().constData());
    QList<QList<qreal>> Paginas;
    for (QPDFPageObjectHelper& Pagina : QPDFPageDocumentHelper(Pdf).getAllPages()) {
        TTamanosTexto Lector;
        Pagina.parseContents(&Lector);
        Paginas << Lector.Tamanos;
    }
    return Paginas;
}

bool hayColor(const QImage& Imagen, const QColor& Color, int nTolerancia = 12)
{
    for (int y = 0; y < Imagen.height(); ++y)
        for (int x = 0; x < Imagen.width(); ++x) {
            const QColor c = Imagen.pixelColor(x, y);
            if (std::abs(c.red() - Color.red()) <= nTolerancia &&
                std::abs(c.green() - Color.green()) <= nTolerancia &&
                std::abs(c.blue() - Color.blue()) <= nTolerancia)
                return true;
        }
    return false;
}

// What the preview's page view shows now.
QImage vistaEnPantalla(TVistaPrevia& v)
{
    return v.findChild<QGraphicsView*>()->viewport()->grab().toImage();
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
        QVERIFY(a.Doc->size().height() <= a.rTexto.height() * TObjTextoRico::PuntosPorUnidad());
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

    // Type sizes are exact in the exported PDF: the cover in 20 pt, the body in 11 pt, footers in
    // 10 pt; with them no note wraps so that a line holds only its closing asterisk.
    void tamanosExactosEnElPdf()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("poppler-utils no está instalado");
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        llena(*m);
        const QString sPdf = F_Dir.filePath("tamanos.pdf");
        QVERIFY(repGeneral->PreparaReporte(true) && expPDF->Exporta(*repGeneral, sPdf));
        const QList<QList<qreal>> Paginas = tamanosTexto(sPdf);
        QCOMPARE(Paginas.size(), 11);
        for (int n = 0; n < 11; ++n) {
            QSet<int> Vistos; // hundredths of a point
            for (qreal d : Paginas[n]) {
                const bool bEsperado =
                    std::abs(d - 20) < 0.01 || std::abs(d - 11) < 0.01 || std::abs(d - 10) < 0.01;
                QVERIFY2(bEsperado, qPrintable(QString("página %1: %2 pt").arg(n + 1).arg(d, 0, 'f', 4)));
                Vistos << qRound(d * 100);
            }
            QVERIFY(Vistos.contains(1000));                 // the footer
            QVERIFY(Vistos.contains(n == 0 ? 2000 : 1100)); // the text
        }
        for (int n = 1; n <= 11; ++n) {
            const QString sTexto = ejecuta(
                "pdftotext", {"-layout", "-f", QString::number(n), "-l", QString::number(n), sPdf, "-"});
            for (const QString& sLinea : sTexto.split('\n'))
                QVERIFY2(sLinea.trimmed() != "*", qPrintable(QString("página %1:\n%2").arg(n).arg(sTexto)));
        }
    }

    // The preview opens at the top of the first page (the cover's "2019" shows), keeps the
    // normal cursor although it opens inside a busy step, and gives the wait cursor back.
    void vistaPreviaAbreArribaYConCursorNormal()
    {
        QCursor* CursorAlAbrir = nullptr;
        bool bVe2019 = false;
        repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            QTest::qWait(100);
            CursorAlAbrir = QApplication::overrideCursor();
            QCOMPARE(v.PaginaActual(), 1);
            bVe2019 = hayColor(vistaEnPantalla(v), QColor(0, 128, 0));
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        llena(*m);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m->MuestraReporte();
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QApplication::restoreOverrideCursor();
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(CursorAlAbrir, nullptr);
        QVERIFY(bVe2019);
    }

    // Find goes to the page of the match and scrolls it into view, highlighted.
    void buscarMuestraElHallazgo()
    {
        bool bPagina = false, bResaltado = false;
        repGeneral->AlAbrirVistaPrevia = [&](TVistaPrevia& v) {
            QTest::qWait(100);
            const QColor Amarillo(255, 230, 0);
            bResaltado = hayColor(vistaEnPantalla(v), Amarillo); // nothing is highlighted yet
            auto* edBuscar = v.findChild<QLineEdit*>("edBuscar");
            edBuscar->setText("canal de envío");
            QTest::keyClick(edBuscar, Qt::Key_Return);
            QTest::qWait(50);
            bPagina = v.PaginaActual() == 11;
            bResaltado = !bResaltado && hayColor(vistaEnPantalla(v), Amarillo);
            v.findChild<QAction*>("acCerrar")->trigger();
        };
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        llena(*m);
        m->MuestraReporte();
        QVERIFY(bPagina);
        QVERIFY(bResaltado);
    }

    // The outline lists the general data, each question group and each lettered section.
    void esquemaCompleto()
    {
        auto m = CreaManejadorReportes(repGeneral.get(), "Encuesta ZIDU 2019");
        llena(*m);
        QVERIFY(repGeneral->PreparaReporte(true));
        TVistaPrevia v(*repGeneral);
        auto* trEsquema = v.findChild<QTreeWidget*>("trEsquema");
        QStringList Vistos;
        for (int i = 0; i < trEsquema->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* e = trEsquema->topLevelItem(i);
            Vistos << QString("%1 (%2)").arg(e->text(0)).arg(e->data(0, Qt::UserRole).toInt());
            for (int j = 0; j < e->childCount(); ++j)
                Vistos << QString("  %1 (%2)")
                              .arg(e->child(j)->text(0))
                              .arg(e->child(j)->data(0, Qt::UserRole).toInt());
        }
        const QStringList Esperado{
            "Datos Generales (2)",
            "Preguntas (2)",
            "Percepción de Riesgo del Sector. (3)",
            "Implementación de Políticas (4)",
            "Generación de Reportes y Capacitación (6)",
            "Información Operativa (7)",
            "  A) CLIENTES o USUARIOS: (7)",
            "  B) PRODUCTOS Y SERVICIOS (9)",
            "  C) ZONA GEOGRAFICA (11)",
            "  D) CANALES DE ENVIO (11)",
        };
        QCOMPARE(Vistos, Esperado);
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
