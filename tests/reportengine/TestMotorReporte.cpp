#include "OmisionCTest.h"
#include "common/ArchivosHost.h"
#include "common/DialogosGuion.h"
#include "common/Version.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Fuentes.h"
#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"
#include "reportengine/VistaPrevia.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

using Valor = std::optional<QString>;

QStringList nombres(const TListaVariables& l)
{
    QStringList r;
    for (int i = 0; i < l.Cuenta(); ++i)
        r << l.Elemento(i).sNombre;
    return r;
}

// A two-category list like a template's.
TListaVariables listaBase()
{
    TListaVariables l;
    l.AgregaCategoria("Cuestionario");
    l.Declara("preg_1");
    l.Declara("NombreCC");
    l.AgregaCategoria("Otra");
    l.Declara("x");
    return l;
}

TPaginaPlantilla pagina(const QString& sNombre, const QString& sHtml, qreal dAltoHoja = 900)
{
    TPaginaPlantilla p;
    p.sNombre = sNombre;
    p.Encabezado = {"PageHeader", {0, 0, 740, 960}, {"txHoja", {0, 0, 700, dAltoHoja}, sHtml}};
    p.Pie = {"PageFooter",
             {0, 0, 740, 22.68},
             {"txPie",
              {0, 0.78, 737, 18.9},
              "<p align=\"right\" style=\"font-size:10pt\">Página [Page#] de [TotalPages#]</p>"}};
    return p;
}

QString ejecuta(const QString& sPrograma, const QStringList& Args)
{
    QProcess p;
    p.start(sPrograma, Args);
    if (!p.waitForFinished(20000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestMotorReporte : public QObject
{
    Q_OBJECT

    TObjTextoRico F_TextoRico;
    std::shared_ptr<TDialogosGuion> F_Dialogos;
    QTemporaryDir F_Dir;

    // Three pages; the middle one has a short area that the long text overflows.
    std::unique_ptr<TReporte> reporte()
    {
        auto r = std::make_unique<TReporte>();
        r->SetTextoRico(&F_TextoRico);
        r->Config().bDosPasadas = true;
        r->Config().sHojaEstilo =
            "p { white-space: pre-wrap; margin: 0px; font-family: 'Times New Roman'; font-size: 11pt; }";
        r->Variables() = listaBase();
        r->Paginas().push_back(pagina(
            "Pagina_0", "<p><u><b>Sección uno</b></u></p><p>Hola <b>[NombreCC]</b> fin</p><p>[preg_1]</p>"));
        QString sLargo;
        for (int i = 1; i <= 40; ++i)
            sLargo += QString("<p>renglón %1</p>").arg(i);
        r->Paginas().push_back(pagina("Pagina_1", sLargo, 100));
        r->Paginas().push_back(pagina("Pagina_2", "<p><u><b>Sección dos</b></u></p><p>[x] aguja</p>"));
        return r;
    }

    static QString textoArea(const TReporte& r, int nPagina, int nArea = 0)
    {
        return r.PaginaPreparada(nPagina).Areas.at(size_t(nArea)).Doc->toPlainText();
    }

private slots:
    void initTestCase()
    {
        RegistraFuentes();
        F_Dialogos = std::make_shared<TDialogosGuion>();
        InstalaDialogos(F_Dialogos);
        QVERIFY(F_Dir.isValid());
    }

    void cleanup() { QVERIFY2(F_Dialogos->Cajas.isEmpty(), qPrintable(F_Dialogos->Textos().join('|'))); }

    void agregaVariableSigueLasCategorias()
    {
        TListaVariables l = listaBase();
        l.AgregaVariable("cuestionario", "preg_47", "'1'");  // new: closes its category
        l.AgregaVariable("OTRA", "y", "'2'");                // new: end of the list
        l.AgregaVariable("Cuestionario", "NOMBRECC", "'3'"); // existing, case ignored
        l.AgregaVariable("Cuestionario", "X", "'4'");        // existing in another category
        l.AgregaVariable("Cuestionario", "preg_47", "'5'");  // set twice: one entry
        l.AgregaVariable("NoExiste", "z", "'6'");            // no such category: dropped
        QCOMPARE(nombres(l),
                 QStringList({" Cuestionario", "preg_1", "NombreCC", "preg_47", " Otra", "x", "y"}));
        QCOMPARE(l.Lee("nombrecc"), QString("3"));
        QCOMPARE(l.Lee("x"), QString("4"));
        QCOMPARE(l.Lee("preg_47"), QString("5"));
        QCOMPARE(l.Lee("z"), QString());
    }

    void leeValor_data()
    {
        QTest::addColumn<Valor>("valor");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("nulo") << Valor() << "";
        QTest::newRow("vacío entre apóstrofos") << Valor("''") << "";
        QTest::newRow("literal") << Valor("'12'") << "12";
        QTest::newRow("LF solo dentro del literal") << Valor("'a\nb'") << "a\nb";
        QTest::newRow("CR LF sin evaluar") << Valor("'a'\r\nb") << "'a'\r\nb";
        QTest::newRow("apóstrofo interior") << Valor("'O'BRIEN'") << "O'BRIEN";
        QTest::newRow("otra variable") << Valor("NombreCC") << "ACME";
        QTest::newRow("número de página") << Valor("Page#") << "7";
        QTest::newRow("nombre desconocido") << Valor("SinNombre") << "";
        QTest::newRow("texto sin comillas") << Valor("dos palabras") << "";
        QTest::newRow("número") << Valor("12.5") << "12.5";
    }
    void leeValor()
    {
        QFETCH(Valor, valor);
        QFETCH(QString, esperado);
        TListaVariables l = listaBase();
        l.AgregaVariable("Cuestionario", "NombreCC", "'ACME'");
        l.AgregaVariable("Cuestionario", "preg_1", valor);
        QCOMPARE(l.Lee("preg_1", {7, 11}), esperado);
    }

    void expandeReferencias()
    {
        auto r = reporte();
        // Brackets inside an answer stay as they are; a multi-line answer gives paragraphs in
        // the reference's format.
        r->AgregaVariable("Cuestionario", "NombreCC", "'[x]'");
        r->AgregaVariable("Otra", "x", "uno\r\ndos");
        r->AgregaVariable("Cuestionario", "preg_1", "''");
        QVERIFY(r->PreparaReporte(true));
        QCOMPARE(r->PaginasPreparadas(), 3);
        QCOMPARE(textoArea(*r, 0), QString("Sección uno\nHola [x] fin\n"));
        QCOMPARE(textoArea(*r, 2), QString("Sección dos\nuno\ndos aguja"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(textoArea(*r, i, 1), QString("Página %1 de 3").arg(i + 1));

        const QTextDocument& Doc = *r->PaginaPreparada(0).Areas[0].Doc;
        const QTextBlock Linea = Doc.findBlockByNumber(1);
        for (auto it = Linea.begin(); !it.atEnd(); ++it) {
            const bool bRespuesta = it.fragment().text().contains("[x]");
            QCOMPARE(it.fragment().charFormat().fontWeight() >= QFont::Bold, bRespuesta);
        }
        const QTextDocument& Doc2 = *r->PaginaPreparada(2).Areas[0].Doc;
        QCOMPARE(Doc2.blockCount(), 3);
        QCOMPARE(Doc2.findBlockByNumber(2).text(), QString("dos aguja"));
    }

    void excesoSeCortaEnRenglonCompleto()
    {
        auto r = reporte();
        QVERIFY(r->PreparaReporte(true));
        const TAreaPreparada& a = r->PaginaPreparada(1).Areas[0];
        QCOMPARE(a.rTexto.height(), 98.0); // 100 less the inner gaps; the area did not grow
        // The document is laid out in finer dots than page units.
        QVERIFY(a.Doc->size().height() <= a.rTexto.height() * TObjTextoRico::PuntosPorUnidad());
        const QStringList Renglones = a.Doc->toPlainText().split('\n');
        QVERIFY(Renglones.size() > 2 && Renglones.size() < 40);
        QCOMPARE(Renglones.last(), QString("renglón %1").arg(Renglones.size()));
        QCOMPARE(textoArea(*r, 1, 1), QString("Página 2 de 3"));
    }

    void preparacionesSucesivas()
    {
        auto r = reporte();
        r->AgregaVariable("Cuestionario", "NombreCC", "'Primero'");
        r->SetFileName("Uno");
        QVERIFY(r->PreparaReporte(true));
        r->AgregaVariable("Cuestionario", "NombreCC", "'Segundo'");
        QVERIFY(r->PreparaReporte(true));
        QCOMPARE(r->PaginasPreparadas(), 3);
        QVERIFY(textoArea(*r, 0).contains("Segundo"));
        r->SetFileName("Dos");
        QVERIFY(r->PreparaReporte(false));
        QCOMPARE(r->PaginasPreparadas(), 6);
        QCOMPARE(r->ReportesPreparados(), 2);
        QCOMPARE(textoArea(*r, 3, 1), QString("Página 1 de 3"));
        // With two reports the outline names each one.
        TVistaPrevia v(*r);
        auto* trEsquema = v.findChild<QTreeWidget*>("trEsquema");
        QCOMPARE(trEsquema->topLevelItemCount(), 2);
        QCOMPARE(trEsquema->topLevelItem(1)->text(0), QString("Dos"));
        QCOMPARE(trEsquema->topLevelItem(1)->childCount(), 2);
    }

    void sinTextoRicoNoPrepara()
    {
        TReporte r;
        r.Paginas().push_back(pagina("Pagina_0", "<p>x</p>"));
        QVERIFY(!r.PreparaReporte(true));
        QCOMPARE(F_Dialogos->Cajas.size(), 1);
        F_Dialogos->Cajas.clear();
    }

    void imprimeAPdf()
    {
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA("pdfinfo (poppler-utils) no está instalado");
        auto r = reporte();
        r->SetFileName("Reporte de prueba");
        QVERIFY(r->PreparaReporte(true));
        TVistaPrevia v(*r);
        const QString sArchivo = F_Dir.filePath("impreso.pdf");
        v.DialogoImprimir = [&](QPrinter& p, QWidget*) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(sArchivo);
            return true;
        };
        v.findChild<QAction*>("acImprimir")->trigger();
        const QString sInfo = ejecuta("pdfinfo", {sArchivo});
        QVERIFY2(sInfo.contains(QRegularExpression("Pages:\\s+3\n")), qPrintable(sInfo));
        QVERIFY(sInfo.contains(QRegularExpression("Title:\\s+Reporte de prueba\n")));
        QVERIFY(sInfo.contains("612 x 792 pts"));
        QCOMPARE(ejecuta("pdftotext", {"-f", "3", "-l", "3", "-layout", sArchivo, "-"}).simplified(),
                 QString("Sección dos aguja Página 3 de 3"));
    }

    void vistaPreviaNavegaYBusca()
    {
        auto r = reporte();
        QVERIFY(r->PreparaReporte(true));
        TVistaPrevia v(*r);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto* txPagina = v.findChild<QLabel*>("txPagina");
        auto accion = [&](const char* s) { v.findChild<QAction*>(s)->trigger(); };
        QCOMPARE(txPagina->text(), QString("1 / 3"));
        QCOMPARE(v.findChild<QPrintPreviewWidget*>("pvPaginas")->zoomFactor(), 1.0);
        QVERIFY(!v.findChild<QAction*>("acAnterior")->isEnabled());
        accion("acSiguiente");
        QCOMPARE(txPagina->text(), QString("2 / 3"));
        accion("acUltima");
        QCOMPARE(txPagina->text(), QString("3 / 3"));
        QVERIFY(!v.findChild<QAction*>("acSiguiente")->isEnabled());
        accion("acPrimera");
        QCOMPARE(v.PaginaActual(), 1);

        auto* edBuscar = v.findChild<QLineEdit*>("edBuscar");
        QTest::keyClicks(edBuscar, "AGUJA");
        QTest::keyClick(edBuscar, Qt::Key_Return);
        QCOMPARE(txPagina->text(), QString("3 / 3"));
        QCOMPARE(v.Resaltado().nPagina, 2);
        QCOMPARE(r->PaginaPreparada(2).Areas[0].Doc->toPlainText().mid(v.Resaltado().nInicio,
                                                                       v.Resaltado().nLargo),
                 QString("aguja"));
        edBuscar->clear();
        edBuscar->setText("renglón");
        accion("acBuscarSiguiente");
        QCOMPARE(v.PaginaActual(), 2);
        const int nPrimero = v.Resaltado().nInicio;
        accion("acBuscarSiguiente");
        QVERIFY(v.Resaltado().nInicio > nPrimero);
        accion("acBuscarAnterior");
        QCOMPARE(v.Resaltado().nInicio, nPrimero);
        edBuscar->clear();
        edBuscar->setText("no aparece");
        accion("acBuscarSiguiente");
        QCOMPARE(v.findChild<QLabel*>("txMensaje")->text(), QString("No se encontró el texto."));

        auto* lsMiniaturas = v.findChild<QListWidget*>("lsMiniaturas");
        QCOMPARE(lsMiniaturas->count(), 3);
        lsMiniaturas->setCurrentRow(1);
        QCOMPARE(txPagina->text(), QString("2 / 3"));
        auto* trEsquema = v.findChild<QTreeWidget*>("trEsquema");
        QCOMPARE(trEsquema->topLevelItemCount(), 2);
        QCOMPARE(trEsquema->topLevelItem(1)->text(0), QString("Sección dos"));
        emit trEsquema->itemClicked(trEsquema->topLevelItem(1), 0);
        QCOMPARE(v.PaginaActual(), 3);

        accion("acCerrar");
        QVERIFY(!v.isVisible());
        QCOMPARE(v.result(), int(QDialog::Accepted));
    }

    // After a page setup with landscape paper and 20 mm margins the pages stay portrait (the
    // preview says so) and each page is printed whole (footer included), shrunk into the
    // printable area and never beyond the margins.
    void configurarPaginaAjustaCadaHoja()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA("poppler-utils no está instalado");
        auto r = reporte();
        QVERIFY(r->PreparaReporte(true));
        TVistaPrevia v(*r);
        const QString sArchivo = F_Dir.filePath("apaisado.pdf");
        v.DialogoConfigurarPagina = [&](QPrinter& p, QWidget*) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(sArchivo);
            p.setPageOrientation(QPageLayout::Landscape);
            return p.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        };
        v.DialogoImprimir = [](QPrinter&, QWidget*) { return true; };
        v.findChild<QAction*>("acConfigurarPagina")->trigger();
        QVERIFY(v.findChild<QLabel*>("txMensaje")->text().contains("orientación vertical"));
        v.findChild<QAction*>("acImprimir")->trigger();
        QVERIFY(ejecuta("pdfinfo", {sArchivo}).contains("612 x 792 pts"));
        const QString sCajas = ejecuta("pdftotext", {"-bbox", sArchivo, "-"});
        const qreal dMargen = 20 / 25.4 * 72;
        static const QRegularExpression rePalabra("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                                  "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>");
        QStringList Palabras;
        for (auto it = rePalabra.globalMatch(sCajas); it.hasNext();) {
            const auto m = it.next();
            const QRectF rPalabra(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                  QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
            QVERIFY2(QRectF(dMargen - 0.5, dMargen - 0.5, 612 - 2 * dMargen + 1, 792 - 2 * dMargen + 1)
                         .contains(rPalabra),
                     qPrintable(m.captured(5)));
            Palabras << m.captured(5);
        }
        for (const char* s : {"Sección", "aguja", "renglón"})
            QVERIFY(Palabras.contains(s));
        QCOMPARE(Palabras.count("Página"), 3);
        QCOMPARE(Palabras.count("de"), 3);
    }

    // Escape in full screen only leaves it, wherever the focus is; Escape in the normal view
    // closes the preview.
    void escapeSaleDePantallaCompleta_data()
    {
        QTest::addColumn<QString>("foco"); // object that holds the focus
        QTest::newRow("en la vista") << "pvPaginas";
        QTest::newRow("en el cuadro de búsqueda") << "edBuscar";
    }
    void escapeSaleDePantallaCompleta()
    {
        QFETCH(QString, foco);
        auto r = reporte();
        QVERIFY(r->PreparaReporte(true));
        TVistaPrevia v(*r);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto* acPantalla = v.findChild<QAction*>("acPantallaCompleta");
        acPantalla->trigger();
        QVERIFY(v.isFullScreen());
        auto* w = v.findChild<QWidget*>(foco);
        QVERIFY(w);
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(v.isVisible());
        QVERIFY(!v.isFullScreen());
        QVERIFY(!acPantalla->isChecked());
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!v.isVisible());
        QCOMPARE(v.result(), int(QDialog::Rejected));
    }

    // With the side panel hidden the pages take the whole width, and the program's button stays
    // on screen, in the line below the pages.
    void panelOcultoDejaElAncho_data()
    {
        QTest::addColumn<QString>("accion");
        QTest::addColumn<int>("veces"); // the thumbnails show at first; the outline takes two
        QTest::newRow("miniaturas") << "acMiniaturas" << 1;
        QTest::newRow("esquema") << "acEsquema" << 2;
    }
    void panelOcultoDejaElAncho()
    {
        QFETCH(QString, accion);
        QFETCH(int, veces);
        auto r = reporte();
        r->AccionesVista = {{"acPrueba", "Prueba…", "Una acción del programa", [](QWidget*) {}, {}}};
        QVERIFY(r->PreparaReporte(true));
        TVistaPrevia v(*r);
        v.resize(1000, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto* pvPaginas = v.findChild<QPrintPreviewWidget*>("pvPaginas");
        auto* bnPrueba = v.findChild<QToolButton*>("bnPrueba");
        QVERIFY(bnPrueba);
        QVERIFY(pvPaginas->width() < v.width() - 100);
        for (int i = 0; i < veces; ++i)
            v.findChild<QAction*>(accion)->trigger();
        QVERIFY(!v.findChild<QTabWidget*>("tbPanel")->isVisible());
        QTRY_COMPARE(pvPaginas->width(), v.width());
        QCOMPARE(pvPaginas->mapTo(&v, QPoint(0, 0)).x(), 0);
        QVERIFY(bnPrueba->isVisible());
        QVERIFY(v.rect().contains(QRect(bnPrueba->mapTo(&v, QPoint(0, 0)), bnPrueba->size())));
        QCOMPARE(bnPrueba->text(), QString("Prueba…"));
        // Shown again, the panel is back beside the pages and the button has not moved.
        const QPoint Boton = bnPrueba->mapTo(&v, QPoint(0, 0));
        v.findChild<QAction*>(accion)->trigger();
        QTRY_VERIFY(pvPaginas->width() < v.width() - 100);
        QCOMPARE(bnPrueba->mapTo(&v, QPoint(0, 0)), Boton);
    }

    // The page setup shows the template's margins, and accepted as shown, a printed page lands
    // exactly where the template puts it.
    void configurarPaginaMuestraLosMargenes()
    {
        auto r = reporte();
        QVERIFY(r->PreparaReporte(true));
        TVistaPrevia v(*r);
        QMap<QString, double> Margenes;
        QVariant Unidad;
        QTimer Vigia;
        connect(&Vigia, &QTimer::timeout, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d || d == &v)
                return;
            for (const char* s : {"topMargin", "bottomMargin", "leftMargin", "rightMargin"})
                if (auto* sb = d->findChild<QDoubleSpinBox*>(s))
                    Margenes[s] = sb->value();
            if (auto* cb = d->findChild<QComboBox*>("unitCombo"))
                Unidad = cb->currentData();
            d->accept();
        });
        Vigia.start(0);
        v.findChild<QAction*>("acConfigurarPagina")->trigger();
        Vigia.stop();
#ifdef Q_OS_WIN
        // Windows' own page setup takes the printer's layout, which holds the template's margins.
        const QMarginsF m = v.Impresora().pageLayout().margins(QPageLayout::Millimeter);
        for (qreal d : {m.left(), m.top(), m.right(), m.bottom()})
            QVERIFY2(qAbs(d - 10) < 0.01, qPrintable(QString::number(d)));
#else
        QCOMPARE(Margenes.size(), 4);
        QCOMPARE(Unidad.value<QPageLayout::Unit>(), QPageLayout::Millimeter);
        for (auto it = Margenes.cbegin(); it != Margenes.cend(); ++it)
            QVERIFY2(qAbs(it.value() - 10) < 0.01, qPrintable(it.key()));
#endif
        QCOMPARE(v.Impresora().pageLayout().orientation(), QPageLayout::Portrait);
        const qreal dPixeles = v.Impresora().resolution() / 96.0;
        const QPointF Origen =
            v.Impresora().pageLayout().paintRectPixels(v.Impresora().resolution()).topLeft();
        for (const QPointF& Punto : {QPointF(60, 60), QPointF(400, 700), QPointF(750, 1000)}) {
            const QPointF EnPapel = r->EncuadrePagina(v.Impresora(), 0).map(Punto) + Origen;
            QVERIFY2((EnPapel - Punto * dPixeles).manhattanLength() < 1,
                     qPrintable(QString("%1 %2").arg(EnPapel.x()).arg(EnPapel.y())));
        }
    }

    // The print dialog's file, the PDF export's file and the detail's folder are all proposed
    // in the exporter's folder under the PDF's name.
    void propuestasEnLaCarpetaDelPrograma_data()
    {
        QTest::addColumn<QString>("carpeta"); // relative to the test folder; empty: none set
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QString>("detalle");
        QTest::newRow("carpeta del programa") << "Tavoro/"
                                              << "Tavoro/Propuesto.pdf"
                                              << "Tavoro/Propuesto detalle";
        QTest::newRow("sin carpeta") << ""
                                     << "Propuesto.pdf"
                                     << "";
    }
    void propuestasEnLaCarpetaDelPrograma()
    {
        QFETCH(QString, carpeta);
        QFETCH(QString, pdf);
        QFETCH(QString, detalle);
        auto r = reporte();
        TExportaPDF e;
        e.sNombreArchivo = "Propuesto";
        e.sCarpeta = carpeta.isEmpty() ? QString() : F_Dir.filePath(carpeta);
        r->SetExportaPDF(&e);
        r->SetFileName("Otro nombre del trabajo");
        QVERIFY(r->PreparaReporte(true));
        const QString sPdf = carpeta.isEmpty() ? pdf : F_Dir.filePath(pdf);
        const QString sDetalle =
            detalle.isEmpty() ? QDir::current().filePath("Propuesto detalle") : F_Dir.filePath(detalle);
        QCOMPARE(e.ArchivoPropuesto(), sPdf);
        QCOMPARE(e.CarpetaDetallePropuesta(), sDetalle);

        TVistaPrevia v(*r);
        QString sPropuesto;
        e.DialogoOpciones = [](TExportaPDF&, QWidget*) { return true; };
        e.DialogoGuardar = [&](const QString& s, QWidget*) {
            sPropuesto = s;
            return QString();
        };
        v.findChild<QAction*>("acExportaPDF")->trigger();
        QCOMPARE(sPropuesto, sPdf);
#ifdef Q_OS_WIN
        QSKIP("La impresión a archivo la pide el diálogo de Windows.");
#endif
        QString sImpresion;
        QTimer Vigia;
        connect(&Vigia, &QTimer::timeout, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d || d == &v)
                return;
            if (auto* ed = d->findChild<QLineEdit*>("filename"))
                sImpresion = ed->text();
            d->reject();
        });
        Vigia.start(0);
        v.findChild<QAction*>("acImprimir")->trigger();
        Vigia.stop();
        QCOMPARE(sImpresion, QFileInfo(sPdf).absoluteFilePath());
    }

    // The export's options dialog offers only what the user can change (the document's
    // information, which the file then carries), and the preview names the file written.
    void opcionesPdfSoloLoQueSeCambia()
    {
        auto r = reporte();
        TExportaPDF e;
        e.sTitulo = "Titulo original";
        r->SetExportaPDF(&e);
        QVERIFY(r->PreparaReporte(true));
        const QString sArchivo = F_Dir.filePath("opciones.pdf");
        e.DialogoGuardar = [&](const QString&, QWidget*) { return sArchivo; };
        TVistaPrevia v(*r);
        int nCasillas = -1;
        bool bEditables = false;
        QTimer Vigia;
        connect(&Vigia, &QTimer::timeout, [&] {
            auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!d || d->objectName() != "dlgOpcionesPDF")
                return;
            nCasillas = int(d->findChildren<QCheckBox*>().size());
            bEditables = true;
            for (QLineEdit* ed : d->findChildren<QLineEdit*>())
                bEditables = bEditables && !ed->isReadOnly() && ed->isEnabled();
            auto* edTitulo = d->findChild<QLineEdit*>("edTitulo");
            QVERIFY(edTitulo);
            edTitulo->setText("Titulo cambiado");
            d->accept();
        });
        Vigia.start(0);
        v.findChild<QAction*>("acExportaPDF")->trigger();
        Vigia.stop();
        QCOMPARE(nCasillas, 0);
        QVERIFY(bEditables);
        QFile f(sArchivo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("Titulo cambiado"));
        QCOMPARE(v.findChild<QLabel*>("txMensaje")->text(),
                 "Se escribió el PDF: " + QDir::toNativeSeparators(sArchivo));
    }

    // At 1024 pixels every button of the preview shows on its toolbar, also after a search
    // that found nothing; the PDF export says so.
    void barraCabeEn1024()
    {
        auto r = reporte();
        QVERIFY(r->PreparaReporte(true));
        TVistaPrevia v(*r);
        v.resize(1024, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        auto* edBuscar = v.findChild<QLineEdit*>("edBuscar");
        edBuscar->setText("no aparece");
        v.findChild<QAction*>("acBuscarSiguiente")->trigger();
        QCOMPARE(v.findChild<QLabel*>("txMensaje")->text(), QString("No se encontró el texto."));
        QTest::qWait(20);
        auto* tb = v.findChild<QToolBar*>("tbVista");
        QCOMPARE(tb->width(), 1024);
        int nBotones = 0;
        for (QAction* a : tb->actions()) {
            if (a->isSeparator())
                continue;
            QWidget* w = tb->widgetForAction(a);
            QVERIFY2(w && w->isVisible() && tb->rect().contains(w->geometry()), qPrintable(a->objectName()));
            QVERIFY2(!a->toolTip().isEmpty() || !w->toolTip().isEmpty(), qPrintable(a->objectName()));
            ++nBotones;
        }
        QCOMPARE(nBotones, 20);
        for (auto* b : tb->findChildren<QToolButton*>("qt_toolbar_ext_button"))
            QVERIFY(!b->isVisible());
        auto* Pdf = qobject_cast<QToolButton*>(tb->widgetForAction(v.findChild<QAction*>("acExportaPDF")));
        QVERIFY(Pdf);
        QVERIFY(Pdf->text().contains("PDF"));
        QVERIFY(Pdf->toolButtonStyle() != Qt::ToolButtonIconOnly || Pdf->icon().isNull());
    }

    // A target name with letters outside the 8-bit code page is written under that very name
    // (Windows: qpdf gets the name in UTF-8), with the document info qpdf adds.
    void exportaANombreFueraDelCodigoAnsi()
    {
        auto r = reporte();
        TExportaPDF e;
        e.sAutor = "Autor";
        e.sAsunto = "Asunto";
        QVERIFY(r->PreparaReporte(true));
        const QString sArchivo = F_Dir.filePath(QStringLiteral("Cuestionario ñ Ω 2019.pdf"));
        QVERIFY(e.Exporta(*r, sArchivo));
        QFile f(sArchivo);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(sArchivo));
        const QByteArray b = f.readAll();
        QVERIFY(b.startsWith("%PDF-"));
        QVERIFY(b.contains("/Author") && b.contains("/Subject"));
        QCOMPARE(QDir(F_Dir.path()).entryList({"Cuestionario*"}),
                 QStringList{QFileInfo(sArchivo).fileName()});
    }

    void exportaPdfConDialogos()
    {
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA("pdfinfo (poppler-utils) no está instalado");
        auto r = reporte();
        TExportaPDF e;
        e.sNombreArchivo = "Propuesto";
        e.sTitulo = "Título ñ";
        e.sAsunto = "Asunto";
        e.sAutor = "Autor";
        r->SetExportaPDF(&e);
        QVERIFY(r->PreparaReporte(true));
        bool bOpciones = false;
        QString sPropuesto;
        const QString sArchivo = F_Dir.filePath("exportado"); // the extension is added
        e.DialogoOpciones = [&](const TExportaPDF& x, QWidget*) { return bOpciones = (&x == &e); };
        e.DialogoGuardar = [&](const QString& s, QWidget*) {
            sPropuesto = s;
            return sArchivo;
        };
        TVistaPrevia v(*r);
        v.findChild<QAction*>("acExportaPDF")->trigger();
        QVERIFY(bOpciones);
        QCOMPARE(sPropuesto, QString("Propuesto.pdf"));
        const QString sInfo = ejecuta("pdfinfo", {sArchivo + ".pdf"});
        QVERIFY2(sInfo.contains(QRegularExpression("Pages:\\s+3\n")), qPrintable(sInfo));
        QVERIFY(sInfo.contains(QRegularExpression("Title:\\s+Título ñ\n")));
        QVERIFY(sInfo.contains(QRegularExpression("Subject:\\s+Asunto\n")));
        QVERIFY(sInfo.contains(QRegularExpression("Author:\\s+Autor\n")));
        QVERIFY(sInfo.contains(QRegularExpression("Encrypted:\\s+no\n")));
        // The program and version that wrote it, as the tools' --version say it.
        QVERIFY2(sInfo.contains(QRegularExpression(
                     "Creator:\\s+" +
                     QRegularExpression::escape(QString("CuestionarioQRTZ ") + kVersionQRTZ) + "\n")),
                 qPrintable(sInfo));

        // Cancelling the options writes nothing.
        e.DialogoOpciones = [](const TExportaPDF&, QWidget*) { return false; };
        e.DialogoGuardar = [&](const QString&, QWidget*) { return F_Dir.filePath("no.pdf"); };
        QVERIFY(!e.ExportaInteractivo(*r, nullptr));
        QVERIFY(!QFile::exists(F_Dir.filePath("no.pdf")));
    }

    // A file the program has read as the host's is refused as a target of the preview's export,
    // in any letter case: the save dialog does not confirm overwrites.
    void exportaNoEscribeUnArchivoProtegido()
    {
        QDir(F_Dir.path()).mkpath("Host/DataBase");
        const QString sBD = F_Dir.filePath("Host/DataBase/Tavoro.mdb");
        QFile f(sBD);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("base");
        f.close();
        ArchivosHost::ProtegeArchivo(sBD);
        auto r = reporte();
        TExportaPDF e;
        r->SetExportaPDF(&e);
        QVERIFY(r->PreparaReporte(true));
        e.DialogoOpciones = [](const TExportaPDF&, QWidget*) { return true; };
        for (const QString& sDestino : {sBD, F_Dir.filePath("Host/DataBase/TAVORO.MDB")}) {
            e.DialogoGuardar = [&](const QString&, QWidget*) { return sDestino; };
            TVistaPrevia v(*r);
            v.findChild<QAction*>("acExportaPDF")->trigger();
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray("base"));
            f.close();
            // Nothing new beside it (on Windows "TAVORO.MDB" is the same file, so the listing tells).
            QCOMPARE(QDir(F_Dir.filePath("Host/DataBase")).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"Tavoro.mdb"});
            QCOMPARE(F_Dialogos->Cajas.size(), 1);
            QVERIFY(F_Dialogos->Textos().first().contains("es un archivo del Tavoro"));
            F_Dialogos->Cajas.clear();
        }
    }
};

#define main qrtzMainQt
QTEST_MAIN(TestMotorReporte)
#undef main
QRTZ_MAIN_CON_OMISION
#include "TestMotorReporte.moc"
