#pragma once

#include <QColor>
#include <QWidget>

// Rounded rectangle outline that frames a group of controls. Corners are rounded with a
// diameter of a quarter of the shorter side; the inside is not filled.
class TFigura : public QWidget
{
    Q_OBJECT
public:
    explicit TFigura(QWidget* parent = nullptr);

    QColor ColorLinea() const { return F_cLinea; }
    void SetColorLinea(const QColor& Color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor F_cLinea{0xC0, 0xC0, 0xC0};
};
