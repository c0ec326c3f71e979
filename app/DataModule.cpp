#include "app/DataModule.h"

#include "questionnaire/TablaPEPs.h"
#include "report/RepGeneral.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"

TdmMain::TdmMain(QObject* parent) : QObject(parent)
{
    vtPEPs = new TTablaMemoria(CamposTablaPEPs(), this);
    vtPEPs->setObjectName(QStringLiteral("vtPEPs"));
    vtPEPs->Abre();
    objTextoRico = CreaObjTextoRico();
    expPDF = CreaExpPDF();
    repGeneral = CreaRepGeneral(objTextoRico.get(), expPDF.get());
}

TdmMain::~TdmMain() = default;
