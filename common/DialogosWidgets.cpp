#include "common/DialogosWidgets.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Message texts separate lines with CR LF, and paragraphs with CR CR LF; each CR LF and
// each lone CR is one line break.
QString lineasEnPantalla(QString sTexto)
{
    sTexto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    sTexto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return sTexto;
}

// The window a box belongs to: the active one, or else the first window on screen (at start-up
// the main window may not be active yet), so that the box is centred over it and gives the
// activation back to it when closed.
QWidget* ventanaDuena()
{
    if (QWidget* w = QApplication::activeWindow())
        return w;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowType() == Qt::Window)
            return w;
    }
    return nullptr;
}

void muestraCaja(QMessageBox::Icon Icono, const QString& sTitulo, const QString& sTexto)
{
    QMessageBox caja(Icono, sTitulo, lineasEnPantalla(sTexto), QMessageBox::Ok, ventanaDuena());
    caja.setTextFormat(Qt::PlainText);
    caja.exec();
}

} // namespace

TDialogosWidgets::TDialogosWidgets(QString sTitulo) : F_sTitulo(std::move(sTitulo)) {}

void TDialogosWidgets::MuestraMensaje(const QString& sTexto)
{
    muestraCaja(QMessageBox::NoIcon, F_sTitulo, sTexto);
}

bool TDialogosWidgets::PreguntaAdvertencia(const QString& sTexto)
{
    QMessageBox caja(QMessageBox::Warning, QStringLiteral("Advertencia"), lineasEnPantalla(sTexto),
                     QMessageBox::NoButton, ventanaDuena());
    caja.setTextFormat(Qt::PlainText);
    QPushButton* bnSi = caja.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
    QPushButton* bnNo = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    caja.setDefaultButton(bnSi);
    caja.setEscapeButton(bnNo);
    caja.exec();
    return caja.clickedButton() == bnSi;
}

void TDialogosWidgets::MuestraErrorEvento(const QString& sTexto)
{
    muestraCaja(QMessageBox::Critical, F_sTitulo, sTexto);
}
