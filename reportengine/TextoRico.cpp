#include "reportengine/TextoRico.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// Texts are laid out on a device of 720 dots per inch: there every size the templates give in
// points (10, 11, 20) is a whole number of dots, where a 96-dpi layout would round 11 pt to
// 15 pixels (11.25 pt) and change the line breaks. Pages are measured in 1/96 inch, so a
// document's lengths are dPuntosPorUnidad times the page's.
constexpr int nDpiDiseno = 720;
constexpr qreal dPuntosPorUnidad = nDpiDiseno / 96.0;

QPaintDevice* dispositivoDiseno()
{
    // QImage keeps its resolution in dots per metre and rounds it back to 720 dpi.
    static QImage Imagen = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int nPuntosPorMetro = qRound(nDpiDiseno / 0.0254);
        i.setDotsPerMeterX(nPuntosPorMetro);
        i.setDotsPerMeterY(nPuntosPorMetro);
        return i;
    }();
    return &Imagen;
}

// The rich-text parser keeps paragraph margins in whole pixels (1/96 inch), which would turn
// the 10 pt after a paragraph into 9.75 pt. The style sheet's lengths (in "pt" or "px") are
// therefore handed to it in thousandths of a pixel and scaled back once the text is parsed, so
// a template's paragraph spacing comes from its style sheet alone. Font sizes keep their unit.
constexpr int nMilesimas = 1000;

QString hojaEnMilesimas(const QString& sHoja)
{
    static const QRegularExpression reLargo(
        QStringLiteral("(font-size\\s*:\\s*)?(-?\\d+(?:\\.\\d+)?)(pt|px)\\b"));
    QString sResultado;
    qsizetype nDesde = 0;
    for (auto it = reLargo.globalMatch(sHoja); it.hasNext();) {
        const auto m = it.next();
        sResultado += sHoja.mid(nDesde, m.capturedStart() - nDesde);
        nDesde = m.capturedEnd();
        if (!m.captured(1).isEmpty()) {
            sResultado += m.captured();
            continue;
        }
        const qreal dPixeles =
            m.captured(2).toDouble() * (m.captured(3) == QLatin1String("pt") ? 96.0 / 72.0 : 1.0);
        sResultado += QString::number(qRound(dPixeles * nMilesimas)) + QStringLiteral("px");
    }
    return sResultado + sHoja.mid(nDesde);
}

void margenesDeMilesimas(QTextDocument& Doc)
{
    QTextCursor c(&Doc);
    // One edit: the text is laid out again once, not after every block (a table's cells are
    // blocks, and each change would lay out the whole table again).
    c.beginEditBlock();
    const auto fin = qScopeGuard([&c] { c.endEditBlock(); });
    for (QTextBlock b = Doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        if (f.topMargin() == 0 && f.bottomMargin() == 0 && f.leftMargin() == 0 && f.rightMargin() == 0 &&
            f.textIndent() == 0)
            continue;
        f.setTopMargin(f.topMargin() / nMilesimas);
        f.setBottomMargin(f.bottomMargin() / nMilesimas);
        f.setLeftMargin(f.leftMargin() / nMilesimas);
        f.setRightMargin(f.rightMargin() / nMilesimas);
        f.setTextIndent(f.textIndent() / nMilesimas);
        c.setPosition(b.position());
        c.setBlockFormat(f);
    }
}

} // namespace

qreal TObjTextoRico::PuntosPorUnidad()
{
    return dPuntosPorUnidad;
}

std::unique_ptr<QTextDocument> TObjTextoRico::CreaDocumento(const QString& sHtml, const QString& sHojaEstilo,
                                                            qreal dAncho) const
{
    auto Doc = std::make_unique<QTextDocument>();
    // Pinning the layout to one device makes point sizes resolve the same on any screen,
    // printer or PDF; design metrics keep glyph advances unrounded.
    Doc->documentLayout()->setPaintDevice(dispositivoDiseno());
    Doc->setUseDesignMetrics(true);
    Doc->setDocumentMargin(0);
    Doc->setDefaultStyleSheet(hojaEnMilesimas(sHojaEstilo));
    // Blanks after the last paragraph would become a paragraph of their own in the default font.
    Doc->setHtml(sHtml.trimmed());
    margenesDeMilesimas(*Doc);
    Doc->setTextWidth(dAncho * dPuntosPorUnidad);
    return Doc;
}

void TObjTextoRico::Expande(QTextDocument& Doc, const std::function<QString(const QString&)>& Evalua) const
{
    static const QRegularExpression reSaltos(QStringLiteral("\r\n|\r|\n"));
    // The edits below lay out only the paragraphs they touch and leave the others to later,
    // lazy passes, which a painter asking for them may never start: the whole text is laid
    // out again once every reference is replaced.
    const auto reDisponer = qScopeGuard([&Doc] {
        const qreal dAncho = Doc.textWidth();
        Doc.setTextWidth(dAncho + 1);
        Doc.setTextWidth(dAncho);
    });
    int nDesde = 0;
    for (;;) {
        const QTextCursor Apertura =
            Doc.find(QStringLiteral("["), nDesde, QTextDocument::FindCaseSensitively);
        if (Apertura.isNull())
            return;
        const int nIni = Apertura.selectionStart();
        const QTextBlock Bloque = Doc.findBlock(nIni);
        const int nCierre = Bloque.text().indexOf(QLatin1Char(']'), nIni - Bloque.position() + 1);
        if (nCierre < 0) {
            nDesde = nIni + 1;
            continue;
        }
        const int nFin = Bloque.position() + nCierre + 1;
        const QString sExpresion = Bloque.text().mid(nIni - Bloque.position() + 1, nFin - nIni - 2);

        // charFormat() is the format of the character before the position: nIni + 2 gives the
        // first character of the expression (or the bracket itself for "[]").
        QTextCursor Formato(&Doc);
        Formato.setPosition(sExpresion.isEmpty() ? nIni + 1 : nIni + 2);
        const QTextCharFormat Fmt = Formato.charFormat();

        QTextCursor c(&Doc);
        c.setPosition(nIni);
        c.setPosition(nFin, QTextCursor::KeepAnchor);
        c.beginEditBlock();
        c.removeSelectedText();
        const QStringList Lineas = Evalua(sExpresion).split(reSaltos);
        for (int i = 0; i < Lineas.size(); ++i) {
            if (i > 0)
                c.insertBlock(c.blockFormat(), Fmt);
            c.insertText(Lineas[i], Fmt);
        }
        c.endEditBlock();
        nDesde = c.position();
    }
}

qreal TObjTextoRico::Ajusta(QTextDocument& Doc, qreal dAltoArea) const
{
    const qreal dAlto = dAltoArea * dPuntosPorUnidad;
    auto* Disposicion = Doc.documentLayout();
    // Each round removes everything from the first line that crosses the lower edge; a second
    // round is needed only if the removal changed the layout above it.
    for (int nRonda = 0; nRonda < 4 && Disposicion->documentSize().height() > dAlto; ++nRonda) {
        int nCorte = -1;
        for (QTextBlock b = Doc.begin(); b.isValid() && nCorte < 0; b = b.next()) {
            const QTextLayout* l = b.layout();
            const QRectF rBloque = Disposicion->blockBoundingRect(b);
            for (int i = 0; i < l->lineCount(); ++i) {
                const QTextLine Linea = l->lineAt(i);
                if (rBloque.top() + Linea.y() + Linea.height() > dAlto) {
                    nCorte = b.position() + Linea.textStart();
                    // A paragraph that loses all its lines goes with its separator.
                    if (i == 0 && b != Doc.begin())
                        --nCorte;
                    break;
                }
            }
        }
        if (nCorte < 0)
            break;
        QTextCursor c(&Doc);
        c.setPosition(nCorte);
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    return std::min(Disposicion->documentSize().height(), dAlto) / dPuntosPorUnidad;
}

void TObjTextoRico::Pinta(QPainter& Pintor, const QTextDocument& Doc, const QRectF& rArea,
                          const QList<QAbstractTextDocumentLayout::Selection>& Selecciones) const
{
    Pintor.save();
    Pintor.translate(rArea.topLeft());
    Pintor.scale(1 / dPuntosPorUnidad, 1 / dPuntosPorUnidad);
    const QRectF rLocal(QPointF(0, 0), rArea.size() * dPuntosPorUnidad);
    Pintor.setClipRect(rLocal, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext Ctx;
    Ctx.clip = rLocal;
    Ctx.palette.setColor(QPalette::Text, Qt::black);
    Ctx.selections = Selecciones;
    Doc.documentLayout()->draw(&Pintor, Ctx);
    Pintor.restore();
}
