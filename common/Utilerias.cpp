#include "common/Utilerias.h"

#include "common/CodigoAnsi.h"
#include "common/IIMjVentana.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <stdexcept>

namespace {

std::uint32_t ticsDelSistema()
{
    return static_cast<std::uint32_t>(QDeadlineTimer::current().deadline());
}

} // namespace

void PonCursorEspera()
{
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(Qt::WaitCursor);
    else
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void PonCursorNormal()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void EjecutaOcupado(const std::function<void()>& Trabajo, QAbstractButton* bnBoton)
{
    QPointer<QAbstractButton> boton(bnBoton);
    const auto restaura = [&boton] {
        PonCursorNormal();
        if (boton)
            boton->setEnabled(true);
    };
    PonCursorEspera();
    if (boton)
        boton->setEnabled(false);
    QCoreApplication::processEvents();
    try {
        Trabajo();
    } catch (...) {
        restaura();
        throw;
    }
    restaura();
}

TUtilerias::TUtilerias(std::shared_ptr<ILogErrores> LogErrores, TFuenteTics Tics)
    : TInterfacedPadre(std::move(LogErrores)), F_Tics(Tics ? std::move(Tics) : TFuenteTics(ticsDelSistema))
{
}

QString TUtilerias::DameDirProg()
{
    const QString sDir = QDir::toNativeSeparators(QFileInfo(DameRutaCompProg()).absolutePath());
    return sDir.endsWith(QDir::separator()) ? sDir : sDir + QDir::separator();
}

QString TUtilerias::DameNomExeProg()
{
    return QFileInfo(DameRutaCompProg()).fileName();
}

QString TUtilerias::DameRutaCompProg()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}

void TUtilerias::MuestraForm(std::shared_ptr<IMjVentana> sFormulario)
{
    PonCursorEspera();
    sFormulario->Prepara();
    sFormulario->Ejecuta();
    PonCursorNormal();
}

void TUtilerias::ProcesayEspera(TProc Proc)
{
    PonCursorEspera();
    try {
        (*Proc)();
    } catch (...) {
        PonCursorNormal();
        throw;
    }
    PonCursorNormal();
}

void TUtilerias::ProcesayEspera(TProc Proc, QAbstractButton* bnBoton)
{
    EjecutaOcupado([&Proc] { (*Proc)(); }, bnBoton);
}

void TUtilerias::HazPausa(int nSegs)
{
    // The difference is taken on 32 bits so that a wrap of the counter does not matter;
    // compared as 64-bit values, a negative pause ends after the first round.
    const std::uint32_t nInicio = F_Tics();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } while (static_cast<std::int64_t>(static_cast<std::uint32_t>(F_Tics() - nInicio)) < nSegs);
}

QByteArray TUtilerias::StringToPAnsiChar(const QString& sStringVar)
{
    if (sStringVar.isEmpty())
        return QByteArray();
    bool bExacto = false;
    const QByteArray Bytes = CodigoAnsi::DeTexto(sStringVar, &bExacto);
    // An embedded null would cut the 8-bit string short, so it fails like a missing character.
    if (!bExacto || Bytes.contains('\0') || CodigoAnsi::ATexto(Bytes) != sStringVar)
        throw std::runtime_error("Falló la conversión String a PAnsiChar");
    return Bytes;
}

std::shared_ptr<IUtilerias> CreaUtilerias(std::shared_ptr<ILogErrores> LogErrores)
{
    return std::make_shared<TUtilerias>(std::move(LogErrores));
}
