#include "corrida/ReporteConsolidado.h"

#include "report/Anexo.h"
#include "report/IIManejadorReportes.h"
#include "report/RepGeneral.h"
#include "reportengine/ExportaPDF.h"
#include "reportengine/Fuentes.h"
#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

QString texto(const QVariant& v)
{
    return v.typeId() == QMetaType::Double ? TextoNumero(v.toDouble()) : v.toString();
}

TAnexo anexo(const TConsolidado& C)
{
    TAnexo a;
    a.sTitulo = u"Anexo: cifras por sucursal"_s;

    TTablaAnexo Sucursales;
    Sucursales.sTitulo = u"Sucursales consolidadas"_s;
    Sucursales.Columnas = {u"Sucursal"_s, u"Carpeta"_s, u"Empresa"_s, u"Registro"_s, u"Base de datos"_s};
    Sucursales.nColumnasFijas = 5;
    for (const TResultadoSucursal& s : C.Sucursales)
        Sucursales.Filas << QStringList{s.sNombre, QDir::toNativeSeparators(s.sCarpeta),
                                        s.Empresa.sRazonSocial, s.Empresa.sRegistroQRTZ,
                                        u"modificada el "_s + s.FechaBD.toString(u"dd/MM/yyyy HH:mm"_s)};
    a.Tablas << Sucursales;

    TTablaAnexo Cifras;
    Cifras.sTitulo = u"Cifras de cada sucursal"_s;
    Cifras.Columnas = C.Columnas;
    Cifras.nColumnasFijas = 2;
    Cifras.bUltimaNegrita = true;
    for (const QVariantList& f : C.Filas) {
        QStringList l;
        for (const QVariant& v : f)
            l << texto(v);
        Cifras.Filas << l;
    }
    a.Tablas << Cifras;

    TTablaAnexo Estados;
    Estados.sTitulo = u"Preguntas 44 y 45: operaciones y monto por estado"_s;
    Estados.Columnas = {u"Estado o entidad federativa"_s, u"Sucursales"_s, u"Operaciones"_s, u"Monto"_s};
    Estados.nColumnasFijas = 2;
    for (const TLineaEstado& e : C.Estados)
        Estados.Filas << QStringList{e.sEstado, e.Sucursales.join(u", "_s), QString::number(e.nOperaciones),
                                     TextoNumero(Redondea2(e.dMonto))};
    a.Tablas << Estados;
    a.Notas = C.Notas;
    return a;
}

} // namespace

TReporteConsolidado::TReporteConsolidado(const TConsolidado& C)
{
    RegistraFuentes();
    F_Texto = CreaObjTextoRico();
    F_ExpPDF = CreaExpPDF();
    // Not the name a branch's own report proposes: saved in a branch's folder, it would replace it.
    F_ExpPDF->sNombreArchivo = u"CuestionarioQRTZ-Consolidado"_s;
    F_Reporte = CreaRepGeneral(F_Texto.get(), F_ExpPDF.get());
    const auto Manejador = CreaManejadorReportes(F_Reporte.get(), u"Encuesta ZIDU 2019"_s);
    for (const auto& [sVariable, sValor] : C.Variables)
        Manejador->AgregaDatoReporte(sCategoriaCuestionario, sVariable, sValor);
    CambiaNotasConsolidado(*F_Reporte, int(C.Sucursales.size()));
    AgregaAnexo(*F_Reporte, *F_Texto, anexo(C));
    F_Reporte->SetFileName(u"Encuesta ZIDU 2019"_s);
}

TReporteConsolidado::~TReporteConsolidado()
{
    // The report borrows the other two.
    F_Reporte.reset();
}

bool TReporteConsolidado::Prepara()
{
    return F_Reporte->PreparaReporte(true);
}

bool TReporteConsolidado::EscribePDF(TArchivoSalida& Salida, QString& sError)
{
    return F_ExpPDF->Escribe(*F_Reporte, Salida, nullptr, sError);
}
