#pragma once

#include <QApplication>

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
// program, else the system's); false when neither is there.
bool InstalaTraduccionesQt();

// Runs the program: application object, connection registry, data module, main window,
// event loop.
int EjecutaPrograma(int argc, char** argv);
