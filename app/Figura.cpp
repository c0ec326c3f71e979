#include "app/Figura.h"

#include <QPainter>

TFigura::TFigura(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TFigura::SetColorLinea(const QColor& Color)
{
    F_cLinea = Color;
    update();
}

void TFigura::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(F_cLinea);
    p.setBrush(Qt::NoBrush);
    const qreal dRadio = std::min(width(), height()) / 8.0;
    // One-pixel pen on whole pixels: the outline fills the widget's outermost pixels.
    p.drawRoundedRect(QRectF(0, 0, width() - 1, height() - 1), dRadio, dRadio);
}
