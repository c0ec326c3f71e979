#include "reportengine/Reporte.h"

#include "common/IIDialogos.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/TextoRico.h"
#include "reportengine/VistaPrevia.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

QPageSize papelDe(const TPaginaPlantilla& p)
{
    if (p.Papel == TTipoPapel::Carta)
        return QPageSize(QPageSize::Letter);
    return QPageSize(p.TamanoMm, QPageSize::Millimeter, QStringLiteral("Personalizado"),
                     QPageSize::ExactMatch);
}

QSizeF tamanoUnidades(const QPageSize& Papel)
{
    return Papel.size(QPageSize::Millimeter) * dUnidadesPorMm;
}

bool esEncabezadoSeccion(const QTextBlock& b)
{
    if (b.text().trimmed().isEmpty())
        return false;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (f.fontWeight() < QFont::Bold || !f.fontUnderline())
            return false;
    }
    return true;
}

} // namespace

TReporte::TReporte() = default;
TReporte::~TReporte() = default;

TAreaPreparada TReporte::preparaArea(const TAreaTexto& Area, const QPointF& Origen,
                                     const TContextoEvaluacion& Ctx) const
{
    const QRectF rArea = Area.rArea.translated(Origen);
    const QRectF rTexto = rArea.marginsRemoved(Area.Huecos);
    TAreaPreparada a;
    a.sNombre = Area.sNombre;
    a.rTexto = rTexto;
    a.Doc = F_TextoRico->CreaDocumento(Area.sHtml, F_Config.sHojaEstilo, rTexto.width());
    F_TextoRico->Expande(*a.Doc, [&](const QString& sExpr) { return F_Variables.Evalua(sExpr, Ctx); });
    F_TextoRico->Ajusta(*a.Doc, rTexto.height());
    return a;
}

std::vector<TPaginaPreparada> TReporte::preparaPasada(int nTotalPaginas) const
{
    std::vector<TPaginaPreparada> Resultado;
    Resultado.reserve(F_Paginas.size());
    for (const TPaginaPlantilla& p : F_Paginas) {
        TPaginaPreparada Pag;
        Pag.sPlantilla = p.sNombre;
        Pag.nPagina = int(Resultado.size()) + 1;
        Pag.Papel = papelDe(p);
        Pag.TipoPapel = p.Papel;
        const TContextoEvaluacion Ctx{Pag.nPagina, nTotalPaginas};
        const QSizeF Tamano = p.TamanoMm * dUnidadesPorMm;
        const qreal dIzq = p.MargenesMm.left() * dUnidadesPorMm;
        const qreal dArriba = p.MargenesMm.top() * dUnidadesPorMm;
        const qreal dAbajo = p.MargenesMm.bottom() * dUnidadesPorMm;
        Pag.Areas.push_back(
            preparaArea(p.Encabezado.Area, {dIzq + p.Encabezado.rBanda.left(), dArriba}, Ctx));
        Pag.Areas.push_back(preparaArea(
            p.Pie.Area, {dIzq + p.Pie.rBanda.left(), Tamano.height() - dAbajo - p.Pie.rBanda.height()}, Ctx));
        Resultado.push_back(std::move(Pag));
    }
    return Resultado;
}

bool TReporte::PreparaReporte(bool bDescartaPrevio)
{
    if (!F_TextoRico) {
        Dialogos().MuestraMensaje(QStringLiteral("El reporte no tiene el componente de texto enriquecido."));
        return false;
    }
    // The first pass only counts the pages, so that the second one knows the total.
    int nTotal = 0;
    if (F_Config.bDosPasadas)
        nTotal = int(preparaPasada(0).size());
    std::vector<TPaginaPreparada> Nuevas = preparaPasada(nTotal);
    if (bDescartaPrevio) {
        F_Preparadas.clear();
        F_nReportes = 0;
    }
    for (TPaginaPreparada& p : Nuevas) {
        p.nReporte = F_nReportes;
        p.sReporte = F_sFileName;
        F_Preparadas.push_back(std::move(p));
    }
    ++F_nReportes;
    return true;
}

void TReporte::MuestraVistaPrevia(bool bDescartaPrevio)
{
    if (!PreparaReporte(bDescartaPrevio))
        return;
    TVistaPrevia Vista(*this, QApplication::activeWindow());
    Vista.setWindowState(Vista.windowState() | Qt::WindowMaximized);
    if (AlAbrirVistaPrevia)
        QTimer::singleShot(0, &Vista, [this, &Vista] { AlAbrirVistaPrevia(Vista); });
    Vista.exec();
}

QString TReporte::TextoPagina(int i) const
{
    QStringList Textos;
    for (const TAreaPreparada& a : PaginaPreparada(i).Areas)
        Textos << a.Doc->toPlainText();
    return Textos.join(QLatin1Char('\n'));
}

std::vector<TEntradaEsquema> TReporte::Esquema() const
{
    std::vector<TEntradaEsquema> Entradas;
    for (int i = 0; i < PaginasPreparadas(); ++i)
        for (const TAreaPreparada& a : PaginaPreparada(i).Areas)
            for (QTextBlock b = a.Doc->begin(); b.isValid(); b = b.next())
                if (esEncabezadoSeccion(b))
                    Entradas.push_back(
                        {b.text().trimmed(), i, PaginaPreparada(i).nReporte, PaginaPreparada(i).sReporte});
    return Entradas;
}

void TReporte::PintaPagina(QPainter& Pintor, int i, const TResaltado* Resaltado) const
{
    if (!F_TextoRico)
        return;
    const TPaginaPreparada& Pag = PaginaPreparada(i);
    for (int a = 0; a < int(Pag.Areas.size()); ++a) {
        const TAreaPreparada& Area = Pag.Areas[size_t(a)];
        QList<QAbstractTextDocumentLayout::Selection> Selecciones;
        if (Resaltado && Resaltado->nPagina == i && Resaltado->nArea == a && Resaltado->nLargo > 0) {
            QAbstractTextDocumentLayout::Selection s;
            s.cursor = QTextCursor(Area.Doc.get());
            s.cursor.setPosition(Resaltado->nInicio);
            s.cursor.setPosition(Resaltado->nInicio + Resaltado->nLargo, QTextCursor::KeepAnchor);
            s.format.setBackground(QColor(255, 230, 0));
            Selecciones << s;
        }
        F_TextoRico->Pinta(Pintor, *Area.Doc, Area.rTexto, Selecciones);
    }
}

QImage TReporte::ImagenPagina(int i, qreal dEscala) const
{
    const QSizeF Tamano = tamanoUnidades(PaginaPreparada(i).Papel) * dEscala;
    QImage Imagen(Tamano.toSize(), QImage::Format_ARGB32_Premultiplied);
    Imagen.setDotsPerMeterX(qRound(3780 * dEscala));
    Imagen.setDotsPerMeterY(qRound(3780 * dEscala));
    Imagen.fill(Qt::white);
    QPainter p(&Imagen);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.scale(dEscala, dEscala);
    PintaPagina(p, i);
    return Imagen;
}

void TReporte::ConfiguraImpresora(QPrinter& Impresora) const
{
    Impresora.setDocName(F_sFileName);
    if (!F_Config.sImpresora.isEmpty() && F_Config.sImpresora != QLatin1String("Por defecto"))
        Impresora.setPrinterName(F_Config.sImpresora);
    Impresora.setFullPage(true);
    Impresora.setPageSize(F_Preparadas.empty() ? QPageSize(QPageSize::Letter) : F_Preparadas.front().Papel);
    Impresora.setPageOrientation(QPageLayout::Portrait);
    Impresora.setPageMargins(QMarginsF(0, 0, 0, 0));
}

bool TReporte::Imprime(QPrinter& Impresora, const TResaltado* Resaltado) const
{
    int nDesde = 0;
    int nHasta = PaginasPreparadas() - 1;
    if (Impresora.printRange() == QPrinter::PageRange && Impresora.fromPage() > 0) {
        nDesde = std::max(nDesde, Impresora.fromPage() - 1);
        nHasta = std::min(nHasta, Impresora.toPage() - 1);
    }
    if (nDesde > nHasta)
        return false;
    QPainter p;
    if (!p.begin(&Impresora))
        return false;
    // Pages are drawn in 1/96-inch units; the scale maps them onto the printer's own resolution.
    const qreal dEscala = Impresora.resolution() / 96.0;
    for (int i = nDesde; i <= nHasta; ++i) {
        if (i > nDesde)
            Impresora.newPage();
        p.save();
        p.scale(dEscala, dEscala);
        PintaPagina(p, i, Resaltado);
        p.restore();
    }
    return p.end();
}

bool TReporte::ExportaPDF(const QString& sArchivo)
{
    if (F_Preparadas.empty() && !PreparaReporte(true))
        return false;
    if (F_ExportaPDF)
        return F_ExportaPDF->Exporta(*this, sArchivo);
    return TExportaPDF().Exporta(*this, sArchivo);
}
