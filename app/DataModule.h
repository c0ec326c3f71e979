#pragma once

#include "common/TablaMemoria.h"

#include <QObject>

#include <memory>

class TExportaPDF;
class TObjTextoRico;
class TReporte;

// The program's data module: the components that live for the whole run.
class TdmMain : public QObject
{
    Q_OBJECT
public:
    explicit TdmMain(QObject* parent = nullptr);
    ~TdmMain() override;

    // Clients detected as possible PEPs and the user's marks: IdPEP, ClaveCliente (20),
    // Nombre (100), EsPEP. Open from the start, with no rows.
    TTablaMemoria* vtPEPs = nullptr;
    // Rich-text support of the report's text areas and the PDF export settings; the report
    // borrows both, so it is declared after them and released first.
    std::unique_ptr<TObjTextoRico> objTextoRico;
    std::unique_ptr<TExportaPDF> expPDF;
    // The questionnaire report template; its variables keep their values for the whole run.
    std::unique_ptr<TReporte> repGeneral;
};
