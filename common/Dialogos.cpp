#include "common/IIDialogos.h"

#include <QTextStream>

namespace {

// Used where no window exists (command-line tools): texts go to standard error and every
// question is answered "No".
class TDialogosConsola : public IDialogos
{
public:
    void MuestraMensaje(const QString& sTexto) override { escribe(sTexto); }
    bool PreguntaAdvertencia(const QString& sTexto) override
    {
        escribe(sTexto);
        return false;
    }
    void MuestraErrorEvento(const QString& sTexto) override { escribe(sTexto); }
    QString EligeCarpeta(const QString&, const QString&) override { return {}; }
    int EligeOpcion(const QString&, const QString&, const QStringList&, int nPropuesta) override
    {
        return nPropuesta;
    }

private:
    static void escribe(const QString& sTexto)
    {
        QTextStream err(stderr);
        err << sTexto << Qt::endl;
    }
};

std::shared_ptr<IDialogos>& servicio()
{
    static std::shared_ptr<IDialogos> actual = std::make_shared<TDialogosConsola>();
    return actual;
}

// A plain pointer: on Windows the destructors of thread-locals run in the C++ runtime library's
// own unloading, where they deadlocked the exit of a GUI process that had run branch threads.
thread_local IDialogos* DialogosDelHilo = nullptr;

} // namespace

void InstalaDialogos(std::shared_ptr<IDialogos> Dialogos)
{
    servicio() = Dialogos ? std::move(Dialogos) : std::make_shared<TDialogosConsola>();
}

void InstalaDialogosHilo(IDialogos* Dialogos)
{
    DialogosDelHilo = Dialogos;
}

IDialogos& Dialogos()
{
    return DialogosDelHilo ? *DialogosDelHilo : *servicio();
}
