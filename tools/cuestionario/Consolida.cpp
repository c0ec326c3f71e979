#include "tools/cuestionario/Consolida.h"

#include "common/Salidas.h"
#include "corrida/ReporteConsolidado.h"
#include "corrida/Sucursales.h"
#include "questionnaire/ArchivosDetalle.h"
#include "tools/cuestionario/SalidaJson.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

QTextStream& salida()
{
    static QTextStream s(stdout);
    return s;
}

} // namespace

QString LineaHerramienta(QString s)
{
    s.replace(u"\\"_s, u"\\\\"_s);
    s.replace(u"\n"_s, u"\\n"_s);
    s.replace(u"\r"_s, u"\\r"_s);
    s.replace(u"\t"_s, u"\\t"_s);
    return s;
}

void ConfirmaPDF(const QString& sArchivo)
{
    QTextStream(stderr) << u"Se escribió el archivo PDF %1."_s.arg(
                               QDir::toNativeSeparators(QFileInfo(sArchivo).absoluteFilePath()))
                        << Qt::endl;
}

void ConfirmaTabla(const QString& sArchivo)
{
    QTextStream(stderr) << u"Se escribió la tabla por sucursal %1."_s.arg(
                               QDir::toNativeSeparators(QFileInfo(sArchivo).absoluteFilePath()))
                        << Qt::endl;
}

void ConfirmaDetalle(const TEscritorDetalle& Detalle)
{
    QTextStream e(stderr);
    e << u"Se escribió el detalle en la carpeta %1: %2."_s.arg(QDir::toNativeSeparators(Detalle.Carpeta()),
                                                               Detalle.Archivos().join(u", "_s))
      << Qt::endl;
    if (!Detalle.Reemplazados().isEmpty())
        e << u"Se reemplazaron los archivos de detalle que ya había en esa carpeta (%1)."_s.arg(
                 Detalle.Reemplazados().join(u", "_s))
          << Qt::endl;
}

bool EscribeDetalleDeCorrida(TSucursal& Sucursal, const QString& sCarpeta, TEscritorDetalle& Detalle,
                             TGrupoSalidas& Grupo, QString& sError)
{
    QMap<QString, QString> Figuras;
    for (const auto& [sVariable, sValor] : Sucursal.Variables())
        Figuras[sVariable] = sValor;
    return Sucursal.Cuestionario() &&
           EscribeDetalle(*Sucursal.Cuestionario(), Sucursal.Conexion(), Figuras, sCarpeta, Detalle, Grupo,
                          sError) == TLecturaDetalle::Completa;
}

int ConsolidaCarpetas(const QStringList& Carpetas, const QString& sUsuario, const QString& sPassw,
                      const QStringList& Marcas, const QString& sPDF, const TOpcionesSalida& Salida)
{
    QTextStream errores(stderr);
    const auto falla = [&](const QString& s) {
        errores << s << Qt::endl;
        return 1;
    };
    // Outputs are checked before any branch runs, and written only after every branch succeeded.
    QString sError;
    for (const QString& c : Carpetas)
        Preparacion::ProtegeHost(c);
    if (!Salida.sDetalle.isEmpty() && !(sError = Salidas::MotivoRechazoCarpeta(Salida.sDetalle)).isEmpty())
        return falla(sError);
    for (const QString& sArchivo : {sPDF, Salida.sTabla})
        if (!sArchivo.isEmpty() && !(sError = Salidas::MotivoRechazo(sArchivo)).isEmpty())
            return falla(sError);

    TOpcionesConsolidacion o;
    o.Carpetas = Carpetas;
    o.sUsuario = sUsuario;
    o.sPassw = sPassw;
    o.Marcas = Marcas;
    o.bDistintasEmpresas = Salida.bDistintasEmpresas;
    o.bConservaDetalle = !Salida.sDetalle.isEmpty();
    TConsolidacion Consolidacion;
    if (!Consolidacion.Corre(o))
        return falla(Consolidacion.EmpresasDistintas()
                         ? Consolidacion.Error() + u" Para consolidarlas, use --distintas-empresas."_s
                         : Consolidacion.Error());
    const TConsolidado& C = Consolidacion.Consolidado();

    // The outputs are written whole beside their places and put there together, or none is.
    TGrupoSalidas Grupo;
    if (!sPDF.isEmpty()) {
        TReporteConsolidado Reporte(C);
        TArchivoSalida& Pdf = Grupo.Archivo(sPDF);
        if (!Reporte.Prepara())
            return falla(u"No fue posible preparar el reporte. Llame a Soporte Técnico."_s);
        if (!Pdf.Abre() || !Reporte.EscribePDF(Pdf, sError))
            return falla(Pdf.Error().isEmpty() ? sError : Pdf.Error());
    }
    if (!Salida.sTabla.isEmpty()) {
        TArchivoSalida& Tabla = Grupo.Archivo(Salida.sTabla);
        if (!Tabla.Abre() || !Tabla.Escribe(CsvTablaSucursales(C, Salida.Formato)) || !Tabla.Cierra())
            return falla(Tabla.Error());
    }
    TEscritorDetalle Detalle(Salida.Formato);
    if (!Salida.sDetalle.isEmpty() && !Consolidacion.EscribeDetalle(Salida.sDetalle, Detalle, Grupo, sError))
        return falla(sError);
    if (!Grupo.Coloca())
        return falla(Grupo.Error());
    if (!sPDF.isEmpty())
        ConfirmaPDF(sPDF);
    if (!Salida.sTabla.isEmpty())
        ConfirmaTabla(Salida.sTabla);
    if (!Salida.sDetalle.isEmpty())
        ConfirmaDetalle(Detalle);

    if (Salida.bJson) {
        QList<TCorridaJson> Corridas;
        for (const TResultadoSucursal& s : Consolidacion.Sucursales())
            Corridas.append({s.sCarpeta, s.Variables, s.PEPs, s.Tiempos, s.dTotalMs});
        salida() << QString::fromUtf8(TextoJson(ObjetoConsolidado(Corridas, C)));
    } else {
        for (const TResultadoSucursal& s : Consolidacion.Sucursales())
            for (const TPEPCandidato& p : s.PEPs)
                salida() << "PEP\t" << s.nNumero << ':' << LineaHerramienta(p.sClave) << '\t'
                         << LineaHerramienta(p.sNombre) << '\n';
        for (const auto& [sVariable, sValor] : C.Variables)
            salida() << sVariable << '\t' << LineaHerramienta(sValor) << '\n';
    }
    salida().flush();
    return 0;
}
