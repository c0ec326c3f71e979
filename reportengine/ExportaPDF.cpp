#include "reportengine/ExportaPDF.h"
#include "common/Version.h"

#include "common/ArchivosHost.h"
#include "common/IIDialogos.h"
#include "common/Salidas.h"
#include "reportengine/Reporte.h"

#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <memory>
#include <stdexcept>

namespace {

bool dialogoOpciones(TExportaPDF& e, const TReporte& Reporte, QWidget* Padre)
{
    QDialog d(Padre);
    d.setObjectName(QStringLiteral("dlgOpcionesPDF"));
    d.setWindowTitle(QStringLiteral("Exportar a PDF"));
    d.setMinimumWidth(380);
    // Only what the user can change: the document information. How the file is written
    // (compression, fonts, no password) is the same for every export and is not asked.
    auto* Forma = new QFormLayout;
    auto texto = [&](const char* sNombre, const QString& sEtiqueta, const QString& sValor) {
        auto* ed = new QLineEdit(sValor);
        ed->setObjectName(QLatin1String(sNombre));
        Forma->addRow(sEtiqueta, ed);
        return ed;
    };
    QLineEdit* edTitulo = texto("edTitulo", QStringLiteral("Título:"), e.sTitulo);
    QLineEdit* edAsunto = texto("edAsunto", QStringLiteral("Asunto:"), e.sAsunto);
    QLineEdit* edAutor = texto("edAutor", QStringLiteral("Autor:"), e.sAutor);
    auto* txPaginas =
        new QLabel(QStringLiteral("Se exportan las %1 páginas del reporte, con su texto seleccionable.")
                       .arg(Reporte.PaginasPreparadas()));
    txPaginas->setObjectName(QStringLiteral("txPaginasPDF"));
    txPaginas->setWordWrap(true);
    auto* Botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    Botones->setObjectName(QStringLiteral("bbOpcionesPDF"));
    Botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Aceptar"));
    Botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    QObject::connect(Botones, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(Botones, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* Principal = new QVBoxLayout(&d);
    Principal->addLayout(Forma);
    Principal->addWidget(txPaginas);
    Principal->addWidget(Botones);
    if (d.exec() != QDialog::Accepted)
        return false;
    e.sTitulo = edTitulo->text().trimmed();
    e.sAsunto = edAsunto->text().trimmed();
    e.sAutor = edAutor->text().trimmed();
    return true;
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
    QString sError;
    if (Exporta(Reporte, sArchivo, Padre, sError))
        return true;
    if (!sError.isEmpty())
        Dialogos().MuestraMensaje(sError);
    return false;
}

bool TExportaPDF::Exporta(const TReporte& Reporte, const QString& sArchivo, QWidget* Padre,
                          QString& sError) const
{
    sError.clear();
    // The host's database and settings file are never written, whatever name reaches here: the
    // save dialog does not confirm overwrites and the command-line tool takes any path.
    if (ArchivosHost::RevisaDestino(sArchivo) == ArchivosHost::TDestino::ArchivoHost) {
        sError = QStringLiteral(
                     "No se puede exportar el reporte a %1: es un archivo del Tavoro (su base de datos o su "
                     "archivo de configuración), que este programa nunca modifica. Elija otro nombre de "
                     "archivo.")
                     .arg(QDir::toNativeSeparators(sArchivo));
        return false;
    }
    if (Reporte.PaginasPreparadas() == 0) {
        sError = QStringLiteral("El reporte no tiene páginas que exportar.");
        return false;
    }
    if (bPreguntaSobreescribir && QFileInfo::exists(sArchivo) &&
        !Dialogos().PreguntaAdvertencia(QStringLiteral("El archivo %1 ya existe. ¿Desea reemplazarlo?")
                                            .arg(QDir::toNativeSeparators(sArchivo))))
        return false;
    TArchivoSalida Salida(sArchivo);
    if (!Salida.Abre()) {
        sError = Salida.Error();
        return false;
    }
    if (!Escribe(Reporte, Salida, Padre, sError))
        return false;
    if (!Salida.Coloca()) {
        sError = Salida.Error();
        return false;
    }
    return true;
}

namespace {

// qpdf's output, handed to the file being written; a failed write stops qpdf.
class TTuberiaSalida : public Pipeline
{
public:
    explicit TTuberiaSalida(TArchivoSalida& Salida) : Pipeline("salida", nullptr), F_Salida(Salida) {}
    void write(unsigned char const* pDatos, size_t nBytes) override
    {
        if (!F_Salida.Escribe(QByteArrayView(reinterpret_cast<const char*>(pDatos), qsizetype(nBytes))))
            throw std::runtime_error("escritura");
    }
    void finish() override {}

private:
    TArchivoSalida& F_Salida;
};

} // namespace

bool TExportaPDF::Escribe(const TReporte& Reporte, TArchivoSalida& Salida, QWidget* Padre,
                          QString& sError) const
{
    sError.clear();
    const int nPaginas = Reporte.PaginasPreparadas();
    if (nPaginas == 0) {
        sError = QStringLiteral("El reporte no tiene páginas que exportar.");
        return false;
    }
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
    // Qt writes the pages into memory (eleven pages are small); qpdf adds what Qt cannot and
    // writes the finished document into Salida.
    QByteArray Paginas;
    {
        QBuffer Memoria(&Paginas);
        Memoria.open(QIODevice::WriteOnly);
        QPdfWriter Pdf(&Memoria);
        Pdf.setResolution(96);
        Pdf.setTitle(sTitulo);
        Pdf.setCreator(QStringLiteral("CuestionarioQRTZ %1").arg(QLatin1String(kVersionQRTZ)));
        Pdf.setPageSize(Reporte.PaginaPreparada(0).Papel);
        Pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter p;
        if (!p.begin(&Pdf)) {
            sError = QStringLiteral("No fue posible escribir el archivo PDF %1.")
                         .arg(QDir::toNativeSeparators(Salida.Destino()));
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
    try {
        QPDF Pdf;
        Pdf.setSuppressWarnings(true);
        Pdf.processMemoryFile("reporte.pdf", Paginas.constData(), size_t(Paginas.size()));
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

        TTuberiaSalida Tuberia(Salida);
        QPDFWriter Escritor(Pdf);
        Escritor.setOutputPipeline(&Tuberia);
        Escritor.setPreserveEncryption(false);
        Escritor.setCompressStreams(bComprimido);
        Escritor.setStreamDataMode(bComprimido ? qpdf_s_compress : qpdf_s_uncompress);
        if (!sClavePropietario.isEmpty() || !sClaveUsuario.isEmpty())
            Escritor.setR6EncryptionParameters(
                sClaveUsuario.toStdString().c_str(), sClavePropietario.toStdString().c_str(), true,
                bPermiteCopiar, bPermiteModificar, bPermiteAnotar, bPermiteAnotar, bPermiteModificar,
                bPermiteImprimir ? qpdf_r3p_full : qpdf_r3p_none, true);
        Escritor.write();
    } catch (const std::exception&) {
        sError = Salida.Error().isEmpty() ? QStringLiteral("No fue posible escribir el archivo PDF %1.")
                                                .arg(QDir::toNativeSeparators(Salida.Destino()))
                                          : Salida.Error();
        return false;
    }
    if (!Salida.Error().isEmpty()) {
        sError = Salida.Error();
        return false;
    }
    return true;
}

QString TExportaPDF::ArchivoPropuesto() const
{
    const QString sArchivo = sNombreArchivo + QStringLiteral(".pdf");
    return sCarpeta.isEmpty() ? sArchivo : QDir(sCarpeta).filePath(sArchivo);
}

QString TExportaPDF::CarpetaDetallePropuesta() const
{
    const QString sDetalle = sNombreArchivo + QStringLiteral(" detalle");
    return sCarpeta.isEmpty() ? QDir::current().filePath(sDetalle) : QDir(sCarpeta).filePath(sDetalle);
}

bool TExportaPDF::ExportaInteractivo(const TReporte& Reporte, QWidget* Padre, QString* sEscrito)
{
    const bool bSeguir =
        DialogoOpciones ? DialogoOpciones(*this, Padre) : dialogoOpciones(*this, Reporte, Padre);
    if (!bSeguir)
        return false;
    const QString sPropuesto = ArchivoPropuesto();
    QString sArchivo = DialogoGuardar ? DialogoGuardar(sPropuesto, Padre) : dialogoGuardar(sPropuesto, Padre);
    if (sArchivo.isEmpty())
        return false;
    if (QFileInfo(sArchivo).suffix().isEmpty())
        sArchivo += QStringLiteral(".pdf");
    if (!Exporta(Reporte, sArchivo, Padre))
        return false;
    if (sEscrito)
        *sEscrito = QFileInfo(sArchivo).absoluteFilePath();
    return true;
}
