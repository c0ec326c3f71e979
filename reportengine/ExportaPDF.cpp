#include "reportengine/ExportaPDF.h"

#include "common/ArchivosHost.h"
#include "common/IIDialogos.h"
#include "reportengine/Reporte.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>

namespace {

// A file name as qpdf opens it: on Windows it takes UTF-8 and converts to the wide name itself
// (the 8-bit code page would lose any character outside it); elsewhere the file system's encoding.
QByteArray local(const QString& s)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(s).toUtf8();
#else
    return QFile::encodeName(s);
#endif
}

bool dialogoOpciones(const TExportaPDF& e, QWidget* Padre)
{
    QDialog d(Padre);
    d.setObjectName(QStringLiteral("dlgOpcionesPDF"));
    d.setWindowTitle(QStringLiteral("Exportar a PDF"));
    d.setMinimumWidth(380);
    auto* Forma = new QFormLayout;
    auto texto = [&](const char* sNombre, const QString& sEtiqueta, const QString& sValor) {
        auto* ed = new QLineEdit(sValor);
        ed->setObjectName(QLatin1String(sNombre));
        ed->setReadOnly(true);
        Forma->addRow(sEtiqueta, ed);
    };
    auto casilla = [&](const char* sNombre, const QString& sEtiqueta, bool bValor) {
        auto* cb = new QCheckBox(sEtiqueta);
        cb->setObjectName(QLatin1String(sNombre));
        cb->setChecked(bValor);
        cb->setEnabled(false);
        Forma->addRow(cb);
    };
    texto("edTitulo", QStringLiteral("Título:"), e.sTitulo);
    texto("edAsunto", QStringLiteral("Asunto:"), e.sAsunto);
    texto("edAutor", QStringLiteral("Autor:"), e.sAutor);
    casilla("cbImprimir", QStringLiteral("Permitir imprimir"), e.bPermiteImprimir);
    casilla("cbModificar", QStringLiteral("Permitir modificar"), e.bPermiteModificar);
    casilla("cbCopiar", QStringLiteral("Permitir copiar"), e.bPermiteCopiar);
    casilla("cbAnotar", QStringLiteral("Permitir anotaciones"), e.bPermiteAnotar);
    casilla("cbCifrado", QStringLiteral("Protegido con contraseña"),
            !e.sClavePropietario.isEmpty() || !e.sClaveUsuario.isEmpty());
    casilla("cbComprimido", QStringLiteral("Comprimido"), e.bComprimido);
    casilla("cbEsquema", QStringLiteral("Esquema (marcadores)"), e.bEsquema);
    casilla("cbFondo", QStringLiteral("Fondo de página"), e.bFondo);
    casilla("cbOptimizaImpresion", QStringLiteral("Optimizado para imprimir"), e.bOptimizaImpresion);
    casilla("cbSoloDatos", QStringLiteral("Exportar solo datos"), e.bSoloDatos);
    auto* Botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    Botones->setObjectName(QStringLiteral("bbOpcionesPDF"));
    Botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    Botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(Botones, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(Botones, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* Principal = new QVBoxLayout(&d);
    Principal->addLayout(Forma);
    Principal->addWidget(Botones);
    return d.exec() == QDialog::Accepted;
}

QString dialogoGuardar(const QString& sPropuesto, QWidget* Padre)
{
    return QFileDialog::getSaveFileName(Padre, QStringLiteral("Guardar como"), sPropuesto,
                                        QStringLiteral("Archivo PDF (*.pdf)"), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

} // namespace

bool TExportaPDF::Exporta(const TReporte& Reporte, const QString& sArchivo, QWidget* Padre) const
{
    // The host's database and settings file are never written, whatever name reaches here: the
    // save dialog does not confirm overwrites and the command-line tool takes any path.
    if (ArchivosHost::EsArchivoProtegido(sArchivo)) {
        Dialogos().MuestraMensaje(
            QStringLiteral(
                "No se puede exportar el reporte a %1: es un archivo del Tavoro (su base de datos o su "
                "archivo de configuración), que este programa nunca modifica. Elija otro nombre de "
                "archivo.")
                .arg(QDir::toNativeSeparators(sArchivo)));
        return false;
    }
    const int nPaginas = Reporte.PaginasPreparadas();
    if (nPaginas == 0)
        return false;
    if (bPreguntaSobreescribir && QFileInfo::exists(sArchivo) &&
        !Dialogos().PreguntaAdvertencia(QStringLiteral("El archivo %1 ya existe. ¿Desea reemplazarlo?")
                                            .arg(QDir::toNativeSeparators(sArchivo))))
        return false;

    // Qt writes to a work file; qpdf then writes the target, so a failed export never leaves
    // a half-written file in place of an earlier one.
    QTemporaryDir Temporal;
    if (!Temporal.isValid()) {
        Dialogos().MuestraMensaje(
            QStringLiteral("No fue posible crear el archivo temporal de la exportación."));
        return false;
    }
    const QString sTemporal = Temporal.filePath(QStringLiteral("reporte.pdf"));

    std::unique_ptr<QProgressDialog> Progreso;
    if (bMuestraProgreso && Padre) {
        Progreso = std::make_unique<QProgressDialog>(QStringLiteral("Exportando a PDF..."),
                                                     QStringLiteral("Cancelar"), 0, nPaginas, Padre);
        Progreso->setObjectName(QStringLiteral("dlgProgresoPDF"));
        Progreso->setWindowTitle(QStringLiteral("Exportar a PDF"));
        Progreso->setWindowModality(Qt::WindowModal);
        Progreso->setMinimumDuration(0);
        Progreso->setValue(0);
    }
    {
        QPdfWriter Pdf(sTemporal);
        Pdf.setResolution(96);
        Pdf.setTitle(sTitulo);
        Pdf.setCreator(QStringLiteral("CuestionarioQRTZ"));
        Pdf.setPageSize(Reporte.PaginaPreparada(0).Papel);
        Pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p;
        if (!p.begin(&Pdf)) {
            Dialogos().MuestraMensaje(QStringLiteral("No fue posible escribir el archivo PDF."));
            return false;
        }
        for (int i = 0; i < nPaginas; ++i) {
            if (i > 0) {
                Pdf.setPageSize(Reporte.PaginaPreparada(i).Papel);
                Pdf.newPage();
            }
            if (bFondo)
                p.fillRect(
                    QRectF(QPointF(0, 0),
                           Reporte.PaginaPreparada(i).Papel.size(QPageSize::Millimeter) * dUnidadesPorMm),
                    Qt::white);
            Reporte.PintaPagina(p, i);
            if (Progreso) {
                Progreso->setValue(i + 1);
                if (Progreso->wasCanceled())
                    return false;
            }
        }
        p.end();
    }
    if (!postProcesa(sTemporal, sArchivo)) {
        Dialogos().MuestraMensaje(QStringLiteral("No fue posible escribir el archivo PDF %1.")
                                      .arg(QDir::toNativeSeparators(sArchivo)));
        return false;
    }
    return true;
}

bool TExportaPDF::postProcesa(const QString& sEntrada, const QString& sSalida) const
{
    try {
        QPDF Pdf;
        Pdf.setSuppressWarnings(true);
        // qpdf keeps the file names it is given for its messages and for opening the output
        // later: the byte arrays must live as long as the objects that use them.
        const QByteArray Entrada = local(sEntrada);
        const QByteArray Salida = local(sSalida);
        Pdf.processFile(Entrada.constData());
        QPDFObjectHandle Final = Pdf.getTrailer();
        QPDFObjectHandle Info = Final.getKey("/Info");
        if (!Info.isDictionary()) {
            Info = Pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
            Final.replaceKey("/Info", Info);
        }
        auto pon = [&](const char* sClave, const QString& sValor) {
            if (!sValor.isEmpty())
                Info.replaceKey(sClave, QPDFObjectHandle::newUnicodeString(sValor.toStdString()));
        };
        pon("/Title", sTitulo);
        pon("/Subject", sAsunto);
        pon("/Author", sAutor);

        QPDFObjectHandle Preferencias = QPDFObjectHandle::newDictionary();
        auto preferencia = [&](const char* sClave, bool bValor) {
            if (bValor)
                Preferencias.replaceKey(sClave, QPDFObjectHandle::newBool(true));
        };
        preferencia("/HideToolbar", bOcultaBarraHerramientas);
        preferencia("/HideMenubar", bOcultaMenu);
        preferencia("/HideWindowUI", bOcultaControlesVentana);
        preferencia("/FitWindow", bAjustaVentana);
        preferencia("/CenterWindow", bCentraVentana);
        if (bSinEscalaImpresion)
            Preferencias.replaceKey("/PrintScaling", QPDFObjectHandle::newName("/None"));
        if (!Preferencias.getKeys().empty())
            Pdf.getRoot().replaceKey("/ViewerPreferences", Preferencias);

        QPDFWriter Escritor(Pdf, Salida.constData());
        Escritor.setPreserveEncryption(false);
        Escritor.setCompressStreams(bComprimido);
        Escritor.setStreamDataMode(bComprimido ? qpdf_s_compress : qpdf_s_uncompress);
        if (!sClavePropietario.isEmpty() || !sClaveUsuario.isEmpty())
            Escritor.setR6EncryptionParameters(
                sClaveUsuario.toStdString().c_str(), sClavePropietario.toStdString().c_str(), true,
                bPermiteCopiar, bPermiteModificar, bPermiteAnotar, bPermiteAnotar, bPermiteModificar,
                bPermiteImprimir ? qpdf_r3p_full : qpdf_r3p_none, true);
        Escritor.write();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TExportaPDF::ExportaInteractivo(const TReporte& Reporte, QWidget* Padre)
{
    const bool bSeguir = DialogoOpciones ? DialogoOpciones(*this, Padre) : dialogoOpciones(*this, Padre);
    if (!bSeguir)
        return false;
    const QString sPropuesto = sNombreArchivo + QStringLiteral(".pdf");
    QString sArchivo = DialogoGuardar ? DialogoGuardar(sPropuesto, Padre) : dialogoGuardar(sPropuesto, Padre);
    if (sArchivo.isEmpty())
        return false;
    if (QFileInfo(sArchivo).suffix().isEmpty())
        sArchivo += QStringLiteral(".pdf");
    return Exporta(Reporte, sArchivo, Padre);
}
