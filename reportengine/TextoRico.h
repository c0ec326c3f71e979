#pragma once

#include <QAbstractTextDocumentLayout>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>

class QPainter;
class QTextDocument;

// The rich-text area kind of the report engine: builds an area's document from its rich text,
// expands its bracketed expressions, fits it into the area's fixed height and paints it.
// The data module holds one; a report needs it to prepare rich-text areas.
class TObjTextoRico
{
public:
    // Document of sHtml with design metrics, dAncho page units wide, no margin; sHojaEstilo is
    // the default style sheet of the text. The document is laid out in dots of a finer device:
    // PuntosPorUnidad() of them make one page unit.
    std::unique_ptr<QTextDocument> CreaDocumento(const QString& sHtml, const QString& sHojaEstilo,
                                                 qreal dAncho) const;

    // Replaces every "[expression]" from the start of the text by Evalua(expression), in the
    // format of the reference's first character. Inserted text is not searched again; a
    // multi-line result gives one paragraph per line. A reference ends on its own paragraph.
    void Expande(QTextDocument& Doc, const std::function<QString(const QString&)>& Evalua) const;

    // Removes what does not fit in dAltoArea page units, keeping whole lines; returns the height
    // used, in page units.
    qreal Ajusta(QTextDocument& Doc, qreal dAltoArea) const;

    // Dots of a document's layout in one page unit (1/96 inch).
    static qreal PuntosPorUnidad();

    // Paints Doc with its top-left corner at rArea's (page units), clipped to rArea.
    void Pinta(QPainter& Pintor, const QTextDocument& Doc, const QRectF& rArea,
               const QList<QAbstractTextDocumentLayout::Selection>& Selecciones = {}) const;
};
