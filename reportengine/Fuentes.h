#pragma once

// Makes the report's faces available. On Windows the system's Times New Roman, Calibri and
// Tahoma serve; one that is missing is replaced by its metric twin (Liberation Serif, Carlito,
// Wine's Tahoma), from the system or from the "fuentes" folder beside the program. Elsewhere Times
// New Roman and Calibri resolve through fontconfig to their twins; Tahoma comes from the Wine font
// folder, which fontconfig does not search, so it is registered with the application when the
// system has no Tahoma of its own.
// Call once after the application object exists.
void RegistraFuentes();
