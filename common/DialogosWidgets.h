#pragma once

#include "common/IIDialogos.h"

// The dialog service on screen: modal message boxes owned by the active window.
class TDialogosWidgets : public IDialogos
{
public:
    // sTitulo: caption of the plain message boxes and of the error box.
    explicit TDialogosWidgets(QString sTitulo);

    void MuestraMensaje(const QString& sTexto) override;
    bool PreguntaAdvertencia(const QString& sTexto) override;
    void MuestraErrorEvento(const QString& sTexto) override;
    QString EligeCarpeta(const QString& sTitulo, const QString& sInicial) override;
    int EligeOpcion(const QString& sTitulo, const QString& sTexto, const QStringList& Opciones,
                    int nPropuesta) override;

private:
    QString F_sTitulo;
};
