#include "app/Arranque.h"

#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/DialogosWidgets.h"
#include "data/ColectorConxs.h"
#include "reportengine/Fuentes.h"

#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

#include <clocale>
#include <exception>

TAplicacion::TAplicacion(int& argc, char** argv) : QApplication(argc, argv) {}

bool TAplicacion::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        Dialogos().MuestraErrorEvento(QString::fromUtf8(e.what()));
    } catch (...) {
        Dialogos().MuestraErrorEvento(QStringLiteral("Error desconocido."));
    }
    return false;
}

namespace {

// Qt's Spanish catalogue, worded as a user in Mexico reads it: "archivo" for the catalogue's
// "fichero", "carpeta" for its folder labels, "horizontal" for "apaisado"; and the texts the
// catalogue lacks (the print dialog's page range and duplex choices, the file list's types).
class TTraductorMexico : public QTranslator
{
public:
    explicit TTraductorMexico(QObject* Padre) : QTranslator(Padre) {}

    bool Carga()
    {
        return F_Catalogo.load(QStringLiteral(":/traducciones/qtbase_es.qm")) ||
               F_Catalogo.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }

    QString translate(const char* sContexto, const char* sFuente, const char* sDesambiguacion,
                      int n) const override
    {
        QString s = F_Catalogo.translate(sContexto, sFuente, sDesambiguacion, n);
        if (s.isEmpty())
            s = faltantes().value(QLatin1String(sFuente));
        return s.isEmpty() ? s : aMexico(s);
    }
    bool isEmpty() const override { return false; }

private:
    static const QHash<QString, QString>& faltantes()
    {
        static const QHash<QString, QString> Tabla{
            {QStringLiteral("Pages"), QStringLiteral("Páginas")},
            {QStringLiteral("Double Sided Printing"), QStringLiteral("Impresión a doble cara")},
            {QStringLiteral("Off"), QStringLiteral("No")},
            {QStringLiteral("Long side binding"), QStringLiteral("Encuadernación por el lado largo")},
            {QStringLiteral("Short side binding"), QStringLiteral("Encuadernación por el lado corto")},
            {QStringLiteral("Folder"), QStringLiteral("Carpeta")},
            {QStringLiteral("File"), QStringLiteral("Archivo")},
            {QStringLiteral("%1 File"), QStringLiteral("Archivo %1")},
            {QStringLiteral("Drive"), QStringLiteral("Unidad")},
            {QStringLiteral("Shortcut"), QStringLiteral("Acceso directo")},
            {QStringLiteral("Unknown"), QStringLiteral("Desconocido")},
        };
        return Tabla;
    }
    static QString aMexico(QString s)
    {
        static const QList<QPair<QRegularExpression, QString>> Cambios{
            {QRegularExpression(QStringLiteral("\\bfichero\\b")), QStringLiteral("archivo")},
            {QRegularExpression(QStringLiteral("\\bficheros\\b")), QStringLiteral("archivos")},
            {QRegularExpression(QStringLiteral("\\bFichero\\b")), QStringLiteral("Archivo")},
            {QRegularExpression(QStringLiteral("\\bFicheros\\b")), QStringLiteral("Archivos")},
            {QRegularExpression(QStringLiteral("\\bApaisado\\b")), QStringLiteral("Horizontal")},
            {QRegularExpression(QStringLiteral("\\bapaisado\\b")), QStringLiteral("horizontal")},
            {QRegularExpression(QStringLiteral("^Directorio:$")), QStringLiteral("Carpeta:")},
            {QRegularExpression(QStringLiteral("^Directorios$")), QStringLiteral("Carpetas")},
        };
        for (const auto& [Patron, sNuevo] : Cambios)
            s.replace(Patron, sNuevo);
        return s;
    }

    QTranslator F_Catalogo;
};

} // namespace

bool InstalaTraduccionesQt()
{
    auto* Traductor = new TTraductorMexico(QCoreApplication::instance());
    if (Traductor->Carga())
        return QCoreApplication::installTranslator(Traductor);
    delete Traductor;
    return false;
}

void InstalaIdiomaPrograma()
{
    // The program's own dialogs (dates, numbers in the page setup, Qt's standard dialogs) speak
    // Spanish as written in Mexico whatever the system's locale. Only the detail files follow
    // the system's regional settings, which the spreadsheet that opens them uses too.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Mexico));
    InstalaTraduccionesQt();
}

TServiciosPrograma::TServiciosPrograma(std::shared_ptr<IDialogos> Dialogos)
{
    // Numbers are read and written with a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    InstalaIdiomaPrograma();
    ColectorConexiones = CreaColectorConxs();
    InstalaDialogos(Dialogos ? std::move(Dialogos) : std::make_shared<TDialogosWidgets>(kTituloPrograma));
    RegistraFuentes();
}

TServiciosPrograma::~TServiciosPrograma()
{
    ColectorConexiones.reset();
    InstalaDialogos(nullptr);
}

int EjecutaPrograma(int argc, char** argv)
{
    TAplicacion app(argc, argv);
    const TServiciosPrograma servicios;
    TdmMain dmMain;
    TfrmPrincipal frmPrincipal(dmMain);
    frmPrincipal.show();
    return app.exec();
}
