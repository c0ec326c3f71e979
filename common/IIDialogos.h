#pragma once

#include "common/IdInterfaz.h"

#include <QString>
#include <QStringList>

#include <memory>

// Every modal box of the program goes through this service. The window side installs the
// widget implementation at start-up; tests install a scripted one; command-line tools keep
// the console one. Libraries below the window never show a box any other way.
class IDialogos
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E03}"};
    virtual ~IDialogos() = default;

    // Plain modal message box: the program's title, no icon, one OK button.
    virtual void MuestraMensaje(const QString& sTexto) = 0;
    // Warning dialog captioned "Advertencia" with the buttons "&Sí" and "&No"; true for "Sí".
    virtual bool PreguntaAdvertencia(const QString& sTexto) = 0;
    // Error box of the event loop for an error that escaped an event handler.
    virtual void MuestraErrorEvento(const QString& sTexto) = 0;
    // Folder dialog captioned sTitulo, opening at sInicial: the folder chosen, or an empty text
    // when the user cancels.
    virtual QString EligeCarpeta(const QString& sTitulo, const QString& sInicial) = 0;
    // A choice among Opciones, captioned sTitulo with the question sTexto, nPropuesta chosen at
    // first: the index chosen, or -1 when the user cancels.
    virtual int EligeOpcion(const QString& sTitulo, const QString& sTexto, const QStringList& Opciones,
                            int nPropuesta) = 0;
};

// Installs the service used from now on (nullptr restores the console one).
void InstalaDialogos(std::shared_ptr<IDialogos> Dialogos);
// The service of the calling thread only, in place of the process's (nullptr: the process's
// again): a branch run on a thread of its own keeps its messages instead of showing them. The
// caller keeps it alive until it puts nullptr back.
void InstalaDialogosHilo(IDialogos* Dialogos);
// The service in use.
IDialogos& Dialogos();
