// guia README.md SALIDA.pdf: the user guide, the text of the README between its two markers, as a
// Letter-size PDF with page numbers. The README's images are taken from its own folder.
#include "common/Plataforma.h"
#include "common/Salidas.h"
#include "common/Version.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextStream>
#include <QTextTable>
#include <QUrl>

#include <algorithm>

namespace {

const QString kMarcaInicio = QStringLiteral("<!-- guia:inicio -->");
const QString kMarcaFin = QStringLiteral("<!-- guia:fin -->");
const QString kTitulo = QStringLiteral("Guía del usuario de CuestionarioQRTZ");
constexpr qreal kMargenMm = 20;
constexpr int kResolucion = 300;
// Room below the text for the page number, in points.
constexpr qreal kPiePt = 24;

QTextStream& errores()
{
    static QTextStream s(stderr);
    return s;
}

int falla(const QString& sMensaje)
{
    errores() << sMensaje << Qt::endl;
    return 1;
}

QString nativo(const QString& sRuta)
{
    return QDir::toNativeSeparators(sRuta);
}

// The guide's Markdown, or an empty string and the message.
QString leeGuia(const QString& sReadme, QString& sError)
{
    QFile f(sReadme);
    if (!f.exists()) {
        sError = QStringLiteral("No se encontró el archivo %1.").arg(nativo(sReadme));
        return QString();
    }
    if (!f.open(QIODevice::ReadOnly)) {
        sError = QStringLiteral("No se pudo leer el archivo %1: %2.").arg(nativo(sReadme), f.errorString());
        return QString();
    }
    const QString sTexto = QString::fromUtf8(f.readAll());
    const qsizetype nInicio = sTexto.indexOf(kMarcaInicio);
    const qsizetype nFin = nInicio < 0 ? -1 : sTexto.indexOf(kMarcaFin, nInicio);
    if (nInicio < 0 || nFin < 0) {
        sError = QStringLiteral("El archivo %1 no tiene la guía del usuario entre las marcas %2 y %3.")
                     .arg(nativo(sReadme), kMarcaInicio, kMarcaFin);
        return QString();
    }
    const QString sGuia = sTexto.mid(nInicio + kMarcaInicio.size(), nFin - nInicio - kMarcaInicio.size());
    if (sGuia.trimmed().isEmpty()) {
        sError = QStringLiteral("La guía del usuario del archivo %1 está vacía.").arg(nativo(sReadme));
        return QString();
    }
    return sGuia;
}

// Images are drawn within the text's width and at most kAltoImagen of its height (a screenshot of
// a whole report page stays beside its text), centred, in a thin frame that sets them apart from
// the guide's own text. An image that cannot be read is an error: the guide would show an empty
// box in its place.
constexpr qreal kAltoImagen = 0.6;

bool ajustaImagenes(QTextDocument& Doc, const QDir& Carpeta, QSizeF Maximo, QString& sError)
{
    for (QTextBlock b = Doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment Fragmento = it.fragment();
            if (!Fragmento.charFormat().isImageFormat())
                continue;
            QTextImageFormat Formato = Fragmento.charFormat().toImageFormat();
            const QString sRuta = Carpeta.filePath(QUrl(Formato.name()).path());
            QImage Imagen(sRuta);
            if (Imagen.isNull()) {
                sError = QStringLiteral("No se pudo leer la imagen %1.").arg(nativo(sRuta));
                return false;
            }
            Imagen = Imagen.convertToFormat(QImage::Format_RGB32);
            {
                QPainter Marco(&Imagen);
                Marco.setPen(Qt::gray);
                Marco.drawRect(Imagen.rect().adjusted(0, 0, -1, -1));
            }
            Doc.addResource(QTextDocument::ImageResource, QUrl(Formato.name()), Imagen);
            const qreal dEscala = std::min(
                {1.0, Maximo.width() / Imagen.width(), Maximo.height() * kAltoImagen / Imagen.height()});
            Formato.setWidth(Imagen.width() * dEscala);
            Formato.setHeight(Imagen.height() * dEscala);
            QTextCursor c(&Doc);
            c.setPosition(Fragmento.position());
            c.setPosition(Fragmento.position() + Fragmento.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(Formato);
            QTextBlockFormat Centrado = b.blockFormat();
            Centrado.setAlignment(Qt::AlignHCenter);
            c.setBlockFormat(Centrado);
        }
    }
    return true;
}

// Tables across the text's width, with thin rules and room in the cells, the heading row shaded.
void ajustaTablas(QTextDocument& Doc)
{
    for (QTextBlock b = Doc.begin(); b.isValid(); b = b.next()) {
        QTextCursor c(b);
        QTextTable* Tabla = c.currentTable();
        if (!Tabla || Tabla->cellAt(0, 0).firstCursorPosition().block() != b)
            continue;
        QTextTableFormat Formato = Tabla->format();
        Formato.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        Formato.setBorder(0.5);
        Formato.setBorderBrush(Qt::gray);
        Formato.setBorderCollapse(true);
        Formato.setCellPadding(4);
        Formato.setCellSpacing(0);
        Formato.setHeaderRowCount(1);
        // The messages table: the message is the shorter column.
        if (Tabla->columns() == 2)
            Formato.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 42),
                                               QTextLength(QTextLength::PercentageLength, 58)});
        Tabla->setFormat(Formato);
        for (int i = 0; i < Tabla->columns(); ++i) {
            QTextTableCell Celda = Tabla->cellAt(0, i);
            QTextTableCellFormat Fondo = Celda.format().toTableCellFormat();
            Fondo.setBackground(QColor(0xe8, 0xe8, 0xe8));
            Celda.setFormat(Fondo);
        }
    }
}

// Qt's notices about the environment (no runtime folder, no display) are not the user's business.
void soloErrores(QtMsgType Tipo, const QMessageLogContext&, const QString& sMensaje)
{
    if (Tipo == QtCriticalMsg || Tipo == QtFatalMsg)
        errores() << sMensaje << Qt::endl;
}

// Room above each heading, so a section stands apart from the list that ends the one before.
void espaciaTitulos(QTextDocument& Doc)
{
    for (QTextBlock b = Doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat Formato = b.blockFormat();
        if (Formato.headingLevel() < 2 || b == Doc.begin())
            continue;
        Formato.setTopMargin(Formato.headingLevel() == 2 ? 14 : 8);
        QTextCursor(b).setBlockFormat(Formato);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(soloErrores);
    Plataforma::ConsolaUtf8();
#ifndef Q_OS_WIN
    // The guide is laid out with the GUI library's fonts, but no window is shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QGuiApplication app(argc, argv);
    const QStringList Args = QCoreApplication::arguments();
    if (Args.size() != 3) {
        errores() << QStringLiteral("Uso: guia README.md SALIDA.pdf\n"
                                    "Escribe en SALIDA.pdf la guía del usuario que el archivo README.md "
                                    "tiene entre las marcas %1 y %2.")
                         .arg(kMarcaInicio, kMarcaFin)
                  << Qt::endl;
        return 2;
    }
    const QString sReadme = Args[1];
    const QString sSalida = Args[2];
    QString sError;
    const QString sGuia = leeGuia(sReadme, sError);
    if (sGuia.isEmpty())
        return falla(sError);

    QByteArray Pdf;
    QBuffer Memoria(&Pdf);
    Memoria.open(QIODevice::WriteOnly);
    QPdfWriter Escritor(&Memoria);
    Escritor.setResolution(kResolucion);
    Escritor.setTitle(kTitulo);
    Escritor.setCreator(QStringLiteral("CuestionarioQRTZ %1").arg(QLatin1String(kVersionQRTZ)));
    Escritor.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                       QMarginsF(kMargenMm, kMargenMm, kMargenMm, kMargenMm),
                                       QPageLayout::Millimeter));
    const QRect Area = Escritor.pageLayout().paintRectPixels(kResolucion);
    const qreal dPie = kPiePt * kResolucion / 72.0;

    // Arial is on every Windows; on Linux fontconfig gives its metric twin or the usual sans.
    QFont Letra;
    Letra.setFamilies(
        {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    Letra.setStyleHint(QFont::SansSerif);
    Letra.setPointSizeF(10.5);

    QTextDocument Doc;
    Doc.documentLayout()->setPaintDevice(&Escritor);
    Doc.setDefaultFont(Letra);
    Doc.setDocumentMargin(0);
    const QDir Carpeta = QFileInfo(sReadme).absoluteDir();
    Doc.setBaseUrl(QUrl::fromLocalFile(Carpeta.absolutePath() + QLatin1Char('/')));
    // Without HTML: a placeholder such as <motivo> is text, not a tag that would swallow the rest.
    Doc.setMarkdown(QStringLiteral("# %1\n\n%2").arg(kTitulo, sGuia),
                    QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                                    QTextDocument::MarkdownNoHTML));
    // Image sizes are in pixels of 96 per inch, whatever the device.
    const QSizeF Texto(Area.width(), Area.height() - dPie);
    if (!ajustaImagenes(Doc, Carpeta, Texto * 96.0 / kResolucion, sError))
        return falla(sError);
    ajustaTablas(Doc);
    espaciaTitulos(Doc);
    Doc.setPageSize(Texto);

    QPainter p;
    if (!p.begin(&Escritor))
        return falla(QStringLiteral("No fue posible preparar el archivo PDF %1.").arg(nativo(sSalida)));
    const int nPaginas = Doc.pageCount();
    const qreal dAlto = Doc.pageSize().height();
    QFont LetraPie = Letra;
    LetraPie.setPointSizeF(8.5);
    for (int i = 0; i < nPaginas; ++i) {
        if (i > 0)
            Escritor.newPage();
        p.save();
        p.translate(0, -i * dAlto);
        QAbstractTextDocumentLayout::PaintContext Contexto;
        // A hair short of the page's end: an image that starts the next page has its first row
        // at the very boundary.
        Contexto.clip = QRectF(0, i * dAlto, Area.width(), dAlto - 2);
        Contexto.palette.setColor(QPalette::Text, Qt::black);
        p.setClipRect(Contexto.clip);
        Doc.documentLayout()->draw(&p, Contexto);
        p.restore();
        p.setFont(LetraPie);
        p.setPen(Qt::darkGray);
        p.drawText(QRectF(0, Area.height() - dPie, Area.width(), dPie), Qt::AlignHCenter | Qt::AlignBottom,
                   QStringLiteral("Página %1 de %2").arg(i + 1).arg(nPaginas));
    }
    if (!p.end())
        return falla(QStringLiteral("No fue posible preparar el archivo PDF %1.").arg(nativo(sSalida)));

    if (!EscribeArchivo(sSalida, Pdf, sError))
        return falla(sError);
    errores() << QStringLiteral("Escrito %1 (%2 páginas).").arg(nativo(sSalida)).arg(nPaginas) << Qt::endl;
    return 0;
}
