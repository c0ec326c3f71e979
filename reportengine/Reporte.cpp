#include "reportengine/Reporte.h"

#include "common/IIDialogos.h"
#include "reportengine/TextoRico.h"
#include "reportengine/VistaPrevia.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
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

// Outline level of a paragraph: 1 for a paragraph wholly in bold underlined type, the level
// its first text names in its title ("esquema1", "esquema2"; a title has no look of its own),
// or 0 for text that is no heading.
int nivelEsquema(const QTextBlock& b)
{
    if (b.text().trimmed().isEmpty())
        return 0;
    if (auto it = b.begin(); !it.atEnd()) {
        const QString sTitulo = it.fragment().charFormat().toolTip();
        if (sTitulo == QLatin1String("esquema1"))
            return 1;
        if (sTitulo == QLatin1String("esquema2"))
            return 2;
    }
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        if (f.fontWeight() < QFont::Bold || !f.fontUnderline())
            return 0;
    }
    return 1;
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
        Pag.MargenesMm = p.MargenesMm;
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
    // The preview is for reading, paging and printing: it shows the normal cursor even when it
    // is opened from inside a busy step, whose wait cursor comes back when it closes.
    std::vector<QCursor> Cursores;
    while (const QCursor* c = QApplication::overrideCursor()) {
        Cursores.push_back(*c);
        QApplication::restoreOverrideCursor();
    }
    const auto restaura = qScopeGuard([&Cursores] {
        for (auto it = Cursores.rbegin(); it != Cursores.rend(); ++it)
            QApplication::setOverrideCursor(*it);
    });
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
    for (int i = 0; i < PaginasPreparadas(); ++i) {
        const TPaginaPreparada& Pag = PaginaPreparada(i);
        for (int a = 0; a < int(Pag.Areas.size()); ++a)
            for (QTextBlock b = Pag.Areas[size_t(a)].Doc->begin(); b.isValid(); b = b.next())
                if (const int nNivel = nivelEsquema(b))
                    Entradas.push_back(
                        {b.text().trimmed(), i, Pag.nReporte, Pag.sReporte, nNivel, a, b.position()});
    }
    return Entradas;
}

QRectF TReporte::RectTexto(int i, int nArea, int nInicio, int nLargo) const
{
    const TAreaPreparada& Area = PaginaPreparada(i).Areas.at(size_t(nArea));
    const QTextBlock b = Area.Doc->findBlock(nInicio);
    if (!b.isValid() || !b.layout())
        return Area.rTexto;
    const QTextLayout* l = b.layout();
    const int nDentro = nInicio - b.position();
    const QTextLine Linea = l->lineForTextPosition(nDentro);
    if (!Linea.isValid())
        return Area.rTexto;
    const QRectF rBloque = Area.Doc->documentLayout()->blockBoundingRect(b);
    const int nFin = std::min(nDentro + nLargo, Linea.textStart() + Linea.textLength());
    const qreal dX1 = Linea.cursorToX(nDentro);
    const qreal dX2 = Linea.cursorToX(nFin);
    const QRectF rDoc(rBloque.left() + std::min(dX1, dX2), rBloque.top() + Linea.y(),
                      std::max(1.0, std::abs(dX2 - dX1)), Linea.height());
    // Documents are laid out in finer dots than page units.
    const qreal d = TObjTextoRico::PuntosPorUnidad();
    return QRectF(rDoc.topLeft() / d, rDoc.size() / d).translated(Area.rTexto.topLeft());
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
    // Pages are painted into the printable area (the paper without the margins of the page
    // setup, at least those the printer needs), so nothing falls where the printer cannot print.
    Impresora.setFullPage(false);
    Impresora.setPageSize(F_Preparadas.empty() ? QPageSize(QPageSize::Letter) : F_Preparadas.front().Papel);
    Impresora.setPageOrientation(QPageLayout::Portrait);
    QMarginsF Margenes;
    if (!F_Preparadas.empty())
        Margenes = F_Preparadas.front().MargenesMm;
    else if (!F_Paginas.empty())
        Margenes = F_Paginas.front().MargenesMm;
    Impresora.setPageMargins(Margenes, QPageLayout::Millimeter);
}

QTransform TReporte::EncuadrePagina(const QPrinter& Impresora, int i) const
{
    // Page units to the printer's painting coordinates, whose origin is the corner of the
    // printable area. The part of the page inside the template's margins is what goes there:
    // with the page setup's margins equal to the template's it lands exactly where the template
    // puts it. Where it does not fit (other paper, wider margins) it is shrunk as a whole until
    // it fits. Either way it is centred in the area.
    const QRectF rArea = Impresora.pageLayout().paintRectPixels(Impresora.resolution());
    const TPaginaPreparada& Pag = PaginaPreparada(i);
    const QRectF rContenido =
        QRectF(QPointF(0, 0), tamanoUnidades(Pag.Papel)).marginsRemoved(Pag.MargenesMm * dUnidadesPorMm);
    const qreal dEscalaReal = Impresora.resolution() / 96.0;
    const qreal dAjuste = std::min({1.0, rArea.width() / (rContenido.width() * dEscalaReal),
                                    rArea.height() / (rContenido.height() * dEscalaReal)});
    const qreal dEscala = dEscalaReal * dAjuste;
    // Within half a device pixel the page counts as fitting exactly: no offset from rounding.
    const qreal dX = std::max(0.0, (rArea.width() - rContenido.width() * dEscala) / 2);
    const qreal dY = std::max(0.0, (rArea.height() - rContenido.height() * dEscala) / 2);
    QTransform t;
    t.translate(dX < 0.5 ? 0 : dX, dY < 0.5 ? 0 : dY);
    t.scale(dEscala, dEscala);
    t.translate(-rContenido.left(), -rContenido.top());
    return t;
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
    const QRectF rArea = Impresora.pageLayout().paintRectPixels(Impresora.resolution());
    for (int i = nDesde; i <= nHasta; ++i) {
        if (i > nDesde)
            Impresora.newPage();
        p.save();
        p.setClipRect(QRectF(QPointF(0, 0), rArea.size()));
        p.setTransform(EncuadrePagina(Impresora, i), true);
        PintaPagina(p, i, Resaltado);
        p.restore();
    }
    return p.end();
}
