#include "app/ExportaDetalle.h"

#include "common/ArchivosHost.h"
#include "common/IIDialogos.h"
#include "data/ColectorConxs.h"
#include "questionnaire/ArchivosDetalle.h"
#include "questionnaire/LibroDetalle.h"
#include "questionnaire/RepCuestQRTZ2019.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStyle>

using namespace Qt::StringLiterals;

TAccionVista AccionExportaDetalle(IRepCuestionarioQRTZ& Cuestionario, const TReporte& Reporte,
                                  const QString& sCarpetaPrograma)
{
    return {u"acExportaDetalle"_s, u"Exportar detalle…"_s,
            u"Las filas que cuenta o suma cada respuesta, en archivos CSV"_s,
            [&Cuestionario, &Reporte, sCarpetaPrograma](QWidget*) {
                ExportaDetalle(Cuestionario, Reporte, sCarpetaPrograma);
            },
            QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView)};
}

void ExportaDetalle(IRepCuestionarioQRTZ& Cuestionario, const TReporte& Reporte,
                    const QString& sCarpetaPrograma)
{
    const QString sCarpeta =
        Dialogos().EligeCarpeta(u"Exportar detalle: elija la carpeta de los archivos"_s, QDir::homePath());
    if (sCarpeta.isEmpty())
        return;
    const QString sCarpetaBD =
        QFileInfo(ArchivosHost::ResuelveRuta(sCarpetaPrograma, u"DataBase/Tavoro.mdb"_s)).absolutePath();
    QString sError;
    if (!ArchivosDetalle::CarpetaPermitida(sCarpeta, {sCarpetaBD}, sError)) {
        Dialogos().MuestraMensaje(sError);
        return;
    }

    auto* Q = dynamic_cast<TRepCuestQRTZBasic*>(&Cuestionario);
    TConexionBD* Conector = nullptr;
    QList<TDetalle> Detalles;
    QList<TTablaDetalle> Tablas;
    bool bLeido = false;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restaura = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
        bLeido = Q && ColectorConexiones && ColectorConexiones->DameAccessConex(kNomBDPrincipal, Conector) &&
                 DameDetalles(*Q, Detalles, sError) && LeeDetalles(*Q, Conector, Detalles, Tablas);
    }
    if (!bLeido) {
        Dialogos().MuestraMensaje(
            u"No fue posible leer el detalle de las respuestas. Llame a Soporte Técnico."_s);
        return;
    }
    // The answers as the report shows them, for the index.
    QMap<QString, QString> Figuras;
    for (const TDetalle& d : Detalles)
        Figuras[d.sVariable] = Reporte.Variables().Lee(d.sVariable);
    if (!ArchivosDetalle::Escribe(
            sCarpeta, ArchivosDetalle::ArchivosDeDetalle(Detalles, Tablas, Figuras, QLatin1Char(';')),
            sError) ||
        (LibroDetalle::Disponible() && !LibroDetalle::Escribe(QDir(sCarpeta).filePath(LibroDetalle::kArchivo),
                                                              Detalles, Tablas, Figuras, sError))) {
        Dialogos().MuestraMensaje(sError);
        return;
    }
    Dialogos().MuestraMensaje(
        u"Se escribió el detalle de %1 respuestas en la carpeta %2 (índice: %3)."_s.arg(Detalles.size())
            .arg(QDir::toNativeSeparators(sCarpeta), ArchivosDetalle::kIndice));
}
