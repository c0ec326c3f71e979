#include "app/ExportaDetalle.h"

#include "common/IIDialogos.h"
#include "common/Salidas.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"
#include "questionnaire/ArchivosDetalle.h"
#include "questionnaire/LibroDetalle.h"
#include "questionnaire/RepCuestQRTZ2019.h"
#include "reportengine/ExportaPDF.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStyle>

using namespace Qt::StringLiterals;

TAccionVista AccionExportaDetalle(TRepCuestZIDU2019& Cuestionario, const TReporte& Reporte)
{
    return {u"acExportaDetalle"_s, u"Exportar detalle…"_s,
            u"Las filas que cuenta o suma cada respuesta, en archivos CSV"_s,
            [&Cuestionario, &Reporte](QWidget*) { ExportaDetalle(Cuestionario, Reporte); },
            QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)};
}

bool EligeDestinoDetalle(const TReporte& Reporte, TDestinoDetalle& Destino)
{
    // The same place as the report's PDF: a folder beside it, named after it.
    const TExportaPDF* Pdf = Reporte.GetExportaPDF();
    Destino.Propuesta = std::make_unique<ArchivosDetalle::TCarpetaPropuesta>(
        Pdf ? Pdf->CarpetaDetallePropuesta() : QString());
    Destino.sCarpeta = Dialogos().EligeCarpeta(u"Exportar detalle: elija la carpeta de los archivos"_s,
                                               Destino.Propuesta->Ruta());
    if (Destino.sCarpeta.isEmpty())
        return false;
    const QString sRechazo = Salidas::MotivoRechazoCarpeta(Destino.sCarpeta);
    if (!sRechazo.isEmpty()) {
        Dialogos().MuestraMensaje(sRechazo);
        return false;
    }
    // The files as the officer's spreadsheet reads them: as this computer's, or either usual pair.
    const TFormatoCsv Sistema = TFormatoCsv::DelSistema();
    const QList<TFormatoCsv> Formatos{Sistema, TFormatoCsv::ConSeparador(QLatin1Char(';')),
                                      TFormatoCsv::ConSeparador(QLatin1Char(','))};
    const auto nombre = [](const TFormatoCsv& f) {
        return u"campos separados por «%1», decimales con %2"_s.arg(
            f.cSeparador == QLatin1Char('\t') ? u"tabulador"_s : QString(f.cSeparador),
            f.cDecimal == QLatin1Char(',') ? u"coma"_s : u"punto"_s);
    };
    const int nFormato = Dialogos().EligeOpcion(u"Exportar detalle"_s, u"Formato de los archivos CSV:"_s,
                                                {u"Como los lee esta computadora (%1)"_s.arg(nombre(Sistema)),
                                                 nombre(Formatos[1]), nombre(Formatos[2])},
                                                0);
    if (nFormato < 0)
        return false;
    Destino.Formato = Formatos.value(nFormato, Sistema);
    return ArchivosDetalle::Existentes(Destino.sCarpeta).isEmpty() ||
           Dialogos().PreguntaAdvertencia(
               u"Ya existen archivos de detalle en esa carpeta. ¿Desea reemplazarlos?"_s);
}

void ExportaDetalle(TRepCuestZIDU2019& Cuestionario, const TReporte& Reporte)
{
    TDestinoDetalle Destino;
    if (!EligeDestinoDetalle(Reporte, Destino))
        return;
    const QString& sCarpeta = Destino.sCarpeta;

    auto* Q = &Cuestionario;
    TConexionBD* Conector = nullptr;
    if (!ColectorConexiones || !ColectorConexiones->DameAccessConex(kNomBDPrincipal, Conector)) {
        Dialogos().MuestraMensaje(
            u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s);
        return;
    }
    // The answers as the report shows them, for the index.
    const QList<TDetalle> Detalles = DameDetalles(*Q);
    QString sError;
    QMap<QString, QString> Figuras;
    for (const TDetalle& d : Detalles)
        Figuras[d.sVariable] = Reporte.Variables().Lee(d.sVariable);

    // The rows are written as they are read; the window keeps answering meanwhile and "Cancelar"
    // stops the export at once, leaving nothing behind.
    QProgressDialog Progreso(u"Exportando el detalle de las respuestas..."_s, u"Cancelar"_s, 0, 100,
                             QApplication::activeWindow());
    Progreso.setObjectName(u"dlgProgresoDetalle"_s);
    Progreso.setWindowTitle(u"Exportar detalle"_s);
    Progreso.setWindowModality(Qt::WindowModal);
    Progreso.setMinimumDuration(0);
    Progreso.setValue(0);
    const std::function<bool()> AvisoAnterior = Conector->Aviso();
    Conector->SetAviso([&Progreso] {
        QCoreApplication::processEvents();
        return !Progreso.wasCanceled();
    });
    const auto restaura = qScopeGuard([&] { Conector->SetAviso(AvisoAnterior); });

    TGrupoSalidas Grupo;
    TEscritorDetalle Escritor(Destino.Formato);
    TLecturaDetalle r;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto cursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        r = EscribeDetalle(*Q, Conector, Figuras, sCarpeta, Escritor, Grupo, sError,
                           [&](int nHechos, int nTotal) {
                               Progreso.setValue(nTotal > 0 ? 100 * nHechos / nTotal : 0);
                               QCoreApplication::processEvents();
                               return !Progreso.wasCanceled();
                           });
        if (r == TLecturaDetalle::Completa && !Grupo.Coloca()) {
            r = TLecturaDetalle::Fallida;
            sError = Grupo.Error();
        }
    }
    const bool bCancelado = Progreso.wasCanceled() || r == TLecturaDetalle::Detenida;
    Progreso.reset();
    if (r != TLecturaDetalle::Completa) {
        Grupo.Descarta();
        Dialogos().MuestraMensaje(
            bCancelado ? u"Se canceló la exportación del detalle; no se escribió ningún archivo."_s : sError);
        return;
    }
    Dialogos().MuestraMensaje(
        u"Se escribió el detalle de %1 respuestas en la carpeta %2 (índice: %3; libro de Excel: "
        u"%4; un archivo CSV por respuesta, de preg_09.csv a preg_46.csv)."_s.arg(Detalles.size())
            .arg(QDir::toNativeSeparators(Escritor.Carpeta()), ArchivosDetalle::kIndice,
                 TLibroDetalle::kArchivo));
}
