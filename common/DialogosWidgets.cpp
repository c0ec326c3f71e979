#include "common/DialogosWidgets.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

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

// A message box that never grows beyond the screen: when its text makes it taller than the
// screen's free area (a long text on a 1024 x 768 screen with a title bar and a taskbar), the
// text scrolls inside the box and the buttons stay on screen.
class TCajaMensaje : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        ajustaAPantalla();
    }

private:
    void ajustaAPantalla()
    {
        QScreen* Pantalla = screen();
        auto* Texto = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        auto* Rejilla = qobject_cast<QGridLayout*>(layout());
        if (!Pantalla || !Texto || !Rejilla || F_Desplazable)
            return;
        const QRect rLibre = Pantalla->availableGeometry();
        // The title bar: known once the window is framed; until then a usual height is assumed.
        const int nMarco = std::max(frameGeometry().height() - height(), 32);
        const int nSobra = height() + nMarco - rLibre.height();
        if (nSobra <= 0)
            return;
        const QSize TamTexto = Texto->size();
        F_Desplazable = new QScrollArea(this);
        F_Desplazable->setObjectName(QStringLiteral("saTexto"));
        F_Desplazable->setFrameShape(QFrame::NoFrame);
        F_Desplazable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        F_Desplazable->setWidgetResizable(true);
        F_Desplazable->viewport()->setAutoFillBackground(false);
        const int nBarra = F_Desplazable->verticalScrollBar()->sizeHint().width();
        delete Rejilla->replaceWidget(Texto, F_Desplazable);
        F_Desplazable->setWidget(Texto);
        Texto->setAutoFillBackground(false);
        F_Desplazable->setFixedSize(TamTexto.width() + nBarra, std::max(TamTexto.height() - nSobra, 60));
        const QSize Nuevo(width() + nBarra, height() - (TamTexto.height() - F_Desplazable->height()));
        setFixedSize(Nuevo);
        QRect rMarco(QPoint(0, 0), Nuevo + QSize(0, nMarco));
        rMarco.moveCenter(rLibre.center());
        move(rMarco.left(), std::max(rLibre.top(), rMarco.top()));
    }

    QScrollArea* F_Desplazable = nullptr;
};

void muestraCaja(QMessageBox::Icon Icono, const QString& sTitulo, const QString& sTexto)
{
    TCajaMensaje caja(Icono, sTitulo, lineasEnPantalla(sTexto), QMessageBox::Ok, ventanaDuena());
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
    TCajaMensaje caja(QMessageBox::Warning, QStringLiteral("Advertencia"), lineasEnPantalla(sTexto),
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

QString TDialogosWidgets::EligeCarpeta(const QString& sTitulo, const QString& sInicial)
{
    return QFileDialog::getExistingDirectory(ventanaDuena(), sTitulo, sInicial, QFileDialog::ShowDirsOnly);
}

int TDialogosWidgets::EligeOpcion(const QString& sTitulo, const QString& sTexto, const QStringList& Opciones,
                                  int nPropuesta)
{
    QInputDialog d(ventanaDuena());
    d.setObjectName(QStringLiteral("dlgOpcion"));
    d.setWindowTitle(sTitulo);
    d.setLabelText(sTexto);
    d.setComboBoxItems(Opciones);
    d.setComboBoxEditable(false);
    if (nPropuesta >= 0 && nPropuesta < Opciones.size())
        d.setTextValue(Opciones[nPropuesta]);
    d.setOkButtonText(QStringLiteral("Aceptar"));
    d.setCancelButtonText(QStringLiteral("Cancelar"));
    if (d.exec() != QDialog::Accepted)
        return -1;
    return int(Opciones.indexOf(d.textValue()));
}
