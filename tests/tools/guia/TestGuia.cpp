// The guide tool: the text of a README between the markers becomes a PDF, read back with
// pdftotext; a README it cannot use gives a Spanish message, a non-zero exit and no file.
#include "OmisionCTest.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Stands for the project's own README in the table.
const QString kReadmeProyecto = QStringLiteral("<README del proyecto>");

const QString kReadmeConMarcas = QStringLiteral("# Programa\n\n"
                                                "## Developer notes\n\n"
                                                "Build it with ninja.\n\n"
                                                "<!-- guia:inicio -->\n"
                                                "## Primeros pasos\n\n"
                                                "Abra el programa desde la carpeta del Tavoro.\n\n"
                                                "![Ventana](docs/capturas/ancha.png)\n\n"
                                                "## Mensajes\n\n"
                                                "| Mensaje | Causa y solución |\n"
                                                "|---|---|\n"
                                                "| \"Proceso cancelado.\" | Usted contestó \"No\". |\n"
                                                "<!-- guia:fin -->\n\n"
                                                "## Benchmarks\n\n"
                                                "Run the benchmark script.\n");

struct TCorrida
{
    int nCodigo = -1;
    QString sErrores;
};

TCorrida corre(const QStringList& Args)
{
    QProcess P;
    P.start(QStringLiteral(GUIA_EXE), Args);
    TCorrida c;
    if (!P.waitForFinished(120000))
        return c;
    c.nCodigo = P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1;
    c.sErrores = QString::fromUtf8(P.readAllStandardError());
    return c;
}

// The PDF's text with every run of blanks and line ends as one space, so a text that wraps in
// the guide is still found whole.
QString textoPdf(const QString& sPdftotext, const QString& sPdf)
{
    QProcess P;
    P.start(sPdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), sPdf, QStringLiteral("-")});
    if (!P.waitForFinished(120000) || P.exitCode() != 0)
        return QString();
    return QString::fromUtf8(P.readAllStandardOutput()).simplified();
}

} // namespace

class TestGuia : public QObject
{
    Q_OBJECT

private slots:
    void guia_data()
    {
        QTest::addColumn<QString>("sReadme");  // its text, empty for no file
        QTest::addColumn<QString>("sSalida");  // relative to the work folder
        QTest::addColumn<int>("nCodigo");      // expected exit code
        QTest::addColumn<QString>("sMensaje"); // a piece of the error message, when it fails
        QTest::addColumn<QStringList>("Con");  // texts the PDF holds
        QTest::addColumn<QStringList>("Sin");  // texts it must not hold
        QTest::addColumn<int>("nPaginasMinimo");

        const QStringList Titulos = {QStringLiteral("Guía del usuario de CuestionarioQRTZ"),
                                     QStringLiteral("Primeros pasos"), QStringLiteral("Mensajes"),
                                     QStringLiteral("Causa y solución"), QStringLiteral("Página 1 de 1")};
        QTest::newRow("con marcas: solo la guía")
            << kReadmeConMarcas << "Guía del usuario.pdf" << 0 << QString() << Titulos
            << QStringList{"Developer notes", "ninja", "Benchmarks", "guia:inicio", "guia:fin"} << 1;
        QTest::newRow("texto entre < y > en la guía")
            << QString(kReadmeConMarcas).replace("Usted contestó", "Dice <motivo>. Usted contestó")
            << "guia.pdf" << 0 << QString() << QStringList{"Dice <motivo>. Usted contestó", "Página 1 de 1"}
            << QStringList() << 1;
        QTest::newRow("sin marcas") << QStringLiteral("# Programa\n\n## Primeros pasos\n\nTexto.\n")
                                    << "guia.pdf" << 1 << "no tiene la guía del usuario entre las marcas"
                                    << QStringList() << QStringList() << 0;
        QTest::newRow("solo la marca de inicio")
            << QStringLiteral("<!-- guia:inicio -->\n## Primeros pasos\n") << "guia.pdf" << 1
            << "no tiene la guía del usuario entre las marcas" << QStringList() << QStringList() << 0;
        QTest::newRow("marca de fin antes que la de inicio")
            << QStringLiteral("<!-- guia:fin -->\n## Primeros pasos\n<!-- guia:inicio -->\n") << "guia.pdf"
            << 1 << "no tiene la guía del usuario entre las marcas" << QStringList() << QStringList() << 0;
        QTest::newRow("guía vacía") << QStringLiteral("<!-- guia:inicio -->\n\n<!-- guia:fin -->\n")
                                    << "guia.pdf" << 1 << "está vacía" << QStringList() << QStringList() << 0;
        QTest::newRow("imagen que falta")
            << QString(kReadmeConMarcas).replace("ancha.png", "no-existe.png") << "guia.pdf" << 1
            << "No se pudo leer la imagen" << QStringList() << QStringList() << 0;
        QTest::newRow("README que falta") << QString() << "guia.pdf" << 1 << "No se encontró el archivo"
                                          << QStringList() << QStringList() << 0;
        QTest::newRow("carpeta de salida que no existe")
            << kReadmeConMarcas << "no-existe/guia.pdf" << 1 << "No se pudo escribir el archivo"
            << QStringList() << QStringList() << 0;
        QTest::newRow("README del proyecto")
            << kReadmeProyecto << "Guía del usuario.pdf" << 0 << QString()
            << QStringList{"Guía del usuario de CuestionarioQRTZ",
                           "Los cuatro pasos",
                           "\"Detectar PEPs\"",
                           "Instalación en Windows",
                           "Cuando algo sale mal",
                           "\"Proceso cancelado.\"",
                           "Sucursales y archivos de detalle",
                           "Exportar detalle"}
            << QStringList{"Benchmarks and fuzzing", "For developers", "apt-get", "What it is"} << 5;
    }

    void guia()
    {
        QFETCH(QString, sReadme);
        QFETCH(QString, sSalida);
        QFETCH(int, nCodigo);
        QFETCH(QString, sMensaje);
        QFETCH(QStringList, Con);
        QFETCH(QStringList, Sin);
        QFETCH(int, nPaginasMinimo);

        QTemporaryDir Dir;
        QVERIFY(Dir.isValid());
        QString sRutaReadme = Dir.filePath(QStringLiteral("README.md"));
        if (sReadme == kReadmeProyecto) {
            sRutaReadme = QStringLiteral(QRTZ_RAIZ "/README.md");
        } else if (!sReadme.isEmpty()) {
            QFile f(sRutaReadme);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(sReadme.toUtf8());
            // Wider than any page: the guide must still show it.
            QVERIFY(QDir(Dir.path()).mkpath(QStringLiteral("docs/capturas")));
            QImage Ancha(4000, 300, QImage::Format_RGB32);
            Ancha.fill(Qt::blue);
            QVERIFY(Ancha.save(Dir.filePath(QStringLiteral("docs/capturas/ancha.png"))));
        }
        const QString sPdf = Dir.filePath(sSalida);

        const TCorrida c = corre({sRutaReadme, sPdf});
        QVERIFY2(c.nCodigo == nCodigo, qPrintable(c.sErrores));
        if (nCodigo != 0) {
            QVERIFY2(c.sErrores.contains(sMensaje), qPrintable(c.sErrores));
            QVERIFY(!QFile::exists(sPdf));
            // Nothing of the failed output is left either.
            const QStringList Restos = QDir(Dir.path()).entryList({QStringLiteral("*.pdf*")}, QDir::Files);
            QVERIFY2(Restos.isEmpty(), qPrintable(Restos.join(u' ')));
            return;
        }
        QVERIFY(QFile::exists(sPdf));

        const QString sPdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (sPdftotext.isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA("falta pdftotext (poppler-utils, lo instala scripts/install-deps.sh)");
        const QString sTexto = textoPdf(sPdftotext, sPdf);
        QVERIFY(!sTexto.isEmpty());
        for (const QString& s : Con)
            QVERIFY2(sTexto.contains(s), qPrintable(QStringLiteral("falta: ") + s));
        for (const QString& s : Sin)
            QVERIFY2(!sTexto.contains(s), qPrintable(QStringLiteral("sobra: ") + s));
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("Página 1 de (\\d+)")).match(sTexto);
        QVERIFY(m.hasMatch());
        const int nPaginas = m.captured(1).toInt();
        QVERIFY2(nPaginas >= nPaginasMinimo, qPrintable(QString::number(nPaginas)));
        QVERIFY(sTexto.contains(QStringLiteral("Página %1 de %1").arg(nPaginas)));
    }
};

#define main qrtzMainQt
QTEST_GUILESS_MAIN(TestGuia)
#undef main
QRTZ_MAIN_CON_OMISION

#include "TestGuia.moc"
