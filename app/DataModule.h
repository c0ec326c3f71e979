#pragma once

#include "common/TablaMemoria.h"

#include <QObject>

// The program's data module: the components that live for the whole run. The report template
// (repGeneral), its rich-text support (objTextoRico) and the PDF export settings (expPDF) belong
// here beside the PEP table.
class TdmMain : public QObject
{
    Q_OBJECT
public:
    explicit TdmMain(QObject* parent = nullptr);

    // Clients detected as possible PEPs and the user's marks: IdPEP, ClaveCliente (20),
    // Nombre (100), EsPEP. Open from the start, with no rows.
    TTablaMemoria* vtPEPs = nullptr;
};
