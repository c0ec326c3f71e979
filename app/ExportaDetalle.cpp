#include "app/ExportaDetalle.h"

#include "common/IIDialogos.h"
#include "common/Salidas.h"
#include "data/ColectorConxs.h"
#include "db/componentes/ConexionBD.h"
#include "questionnaire/ArchivosDetalle.h"
#include "questionnaire/LibroDetalle.h"
#include "questionnaire/RepCuestQRTZ2019.h"

#include <QApplication>
#include <QDir>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QStyle>

using namespace Qt::StringLiterals;

TAccionVista AccionExportaDetalle(TRepCuestZIDU2019& Cuestionario, const TReporte& Reporte,
                                  const QString& sCarpetaPrograma)
{
    return {u"acExportaDetalle"_s, u"Exportar detalle…"_s,
            u"Las filas que cuenta o suma cada respuesta, en archivos CSV"_s,
            [&Cuestionario, &Reporte, sCarpetaPrograma](QWidget*) {
                ExportaDetalle(Cuestionario, Reporte, sCarpetaPrograma);
            },
            QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)};
}

void ExportaDetalle(TRepCuestZIDU2019& Cuestionario, const TReporte& Reporte, const QString& sCarpetaPrograma)
{
    (void)sCarpetaPrograma;
    const QString sCarpeta =
        Dialogos().EligeCarpeta(u"Exportar detalle: elija la carpeta de los archivos"_s, QDir::homePath());
    if (sCarpeta.isEmpty())
        return;
    const QString sRechazo = Salidas::MotivoRechazoCarpeta(sCarpeta);
    if (!sRechazo.isEmpty()) {
        Dialogos().MuestraMensaje(sRechazo);
        return;
    }
    if (!ArchivosDetalle::Existentes(sCarpeta).isEmpty() &&
        !Dialogos().PreguntaAdvertencia(
            u"Ya existen archivos de detalle en esa carpeta. ¿Desea reemplazarlos?"_s))
        return;

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
    TEscritorDetalle Escritor;
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
        u"Se escribió el detalle de %1 respuestas en la carpeta %2 (índice: %3)."_s.arg(Detalles.size())
            .arg(QDir::toNativeSeparators(Escritor.Carpeta()), ArchivosDetalle::kIndice));
}
