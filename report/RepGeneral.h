#pragma once

#include <QString>

#include <memory>

class TExportaPDF;
class TObjTextoRico;
class TReporte;

// Report components of the data module. The data module creates them in this order and keeps
// them for the whole run; the report borrows the other two, so it must be released first.
//
//   objTextoRico = CreaObjTextoRico();
//   expPDF = CreaExpPDF();
//   repGeneral = CreaRepGeneral(objTextoRico.get(), expPDF.get());

// The rich-text area kind that the questionnaire's text areas need.
std::unique_ptr<TObjTextoRico> CreaObjTextoRico();
// PDF export settings of the questionnaire.
std::unique_ptr<TExportaPDF> CreaExpPDF();
// The questionnaire template: eleven Letter pages, its variables (all null) and settings.
std::unique_ptr<TReporte> CreaRepGeneral(TObjTextoRico* objTextoRico, TExportaPDF* expPDF);

// Category of the questionnaire's variables.
inline const QString sCategoriaCuestionario = QStringLiteral("Cuestionario");
