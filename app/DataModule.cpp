#include "app/DataModule.h"

#include "report/RepGeneral.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"

TdmMain::TdmMain(QObject* parent) : QObject(parent)
{
    using T = TTablaMemoria::TTipoCampo;
    vtPEPs = new TTablaMemoria(
        {
            {QStringLiteral("IdPEP"), T::AutoIncremento, 0},
            {QStringLiteral("ClaveCliente"), T::Texto, 20},
            {QStringLiteral("Nombre"), T::Texto, 100},
            {QStringLiteral("EsPEP"), T::Booleano, 0},
        },
        this);
    vtPEPs->setObjectName(QStringLiteral("vtPEPs"));
    vtPEPs->Abre();
    objTextoRico = CreaObjTextoRico();
    expPDF = CreaExpPDF();
    repGeneral = CreaRepGeneral(objTextoRico.get(), expPDF.get());
}

TdmMain::~TdmMain() = default;
