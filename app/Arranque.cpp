#include "app/Arranque.h"

#include "app/DataModule.h"
#include "app/Principal.h"
#include "common/DialogosWidgets.h"
#include "data/ColectorConxs.h"
#include "reportengine/Fuentes.h"

#include <QLibraryInfo>
#include <QLocale>
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

bool InstalaTraduccionesQt()
{
    auto* Traductor = new QTranslator(QCoreApplication::instance());
    if (Traductor->load(QStringLiteral(":/traducciones/qtbase_es.qm")) ||
        Traductor->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return QCoreApplication::installTranslator(Traductor);
    delete Traductor;
    return false;
}

TServiciosPrograma::TServiciosPrograma(std::shared_ptr<IDialogos> Dialogos)
{
    // Numbers are read and written with a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    InstalaTraduccionesQt();
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
