#include "reportengine/TextoRico.h"

#include "reportengine/Fuentes.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

std::unique_ptr<QTextDocument> TObjTextoRico::CreaDocumento(const QString& sHtml, const QString& sHojaEstilo,
                                                            qreal dAncho) const
{
    auto Doc = std::make_unique<QTextDocument>();
    // Pinning the layout to a 96-dpi device makes point sizes resolve the same on any screen,
    // printer or PDF; design metrics keep glyph advances unrounded.
    Doc->documentLayout()->setPaintDevice(DispositivoDiseno());
    Doc->setUseDesignMetrics(true);
    Doc->setDocumentMargin(0);
    Doc->setDefaultStyleSheet(sHojaEstilo);
    // Blanks after the last paragraph would become a paragraph of their own in the default font.
    Doc->setHtml(sHtml.trimmed());
    Doc->setTextWidth(dAncho);
    return Doc;
}

void TObjTextoRico::Expande(QTextDocument& Doc, const std::function<QString(const QString&)>& Evalua) const
{
    static const QRegularExpression reSaltos(QStringLiteral("\r\n|\r|\n"));
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

qreal TObjTextoRico::Ajusta(QTextDocument& Doc, qreal dAlto) const
{
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
    return std::min(Disposicion->documentSize().height(), dAlto);
}

void TObjTextoRico::Pinta(QPainter& Pintor, const QTextDocument& Doc, const QRectF& rArea,
                          const QList<QAbstractTextDocumentLayout::Selection>& Selecciones) const
{
    Pintor.save();
    Pintor.translate(rArea.topLeft());
    const QRectF rLocal(QPointF(0, 0), rArea.size());
    Pintor.setClipRect(rLocal, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext Ctx;
    Ctx.clip = rLocal;
    Ctx.palette.setColor(QPalette::Text, Qt::black);
    Ctx.selections = Selecciones;
    Doc.documentLayout()->draw(&Pintor, Ctx);
    Pintor.restore();
}
