#pragma once

// Runs the program: application object, data module, main window, event loop.
int EjecutaPrograma(int argc, char** argv);
