#pragma once

#include "common/IIDialogos.h"

#include <QApplication>

#include <memory>

// The application object: an exception that escapes an event handler is shown in the error
// box of the dialog service and the program goes on.
class TAplicacion : public QApplication
{
    Q_OBJECT
public:
    TAplicacion(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Loads Qt's Spanish texts for its own dialogs and buttons (the catalogue built into the
// program, else the system's), worded for Mexico; false when neither is there.
bool InstalaTraduccionesQt();
// Spanish (Mexico) for the program's dialogs and their dates and numbers, whatever the system's
// locale, and Qt's texts in that Spanish.
void InstalaIdiomaPrograma();

// The program's services, for as long as this object lives: numbers with a decimal point
// whatever the user's locale, Spanish (Mexico) for the dialogs and Qt's texts, the report fonts, the
// connection registry and the dialog service (the program's message boxes unless another is given). The
// program and the tools that drive its window start the same way.
class TServiciosPrograma
{
public:
    explicit TServiciosPrograma(std::shared_ptr<IDialogos> Dialogos = nullptr);
    ~TServiciosPrograma();
    TServiciosPrograma(const TServiciosPrograma&) = delete;
    TServiciosPrograma& operator=(const TServiciosPrograma&) = delete;
};

// Runs the program: application object, connection registry, data module, main window,
// event loop.
int EjecutaPrograma(int argc, char** argv);
