#include "common/Mensajero.h"

#include <QCoreApplication>
#include <QLabel>

namespace {

const QColor kRojo(0xFF, 0x00, 0x00);
const QColor kGris(0x80, 0x80, 0x80);
constexpr int kPasosParpadeo = 9;
constexpr int kMsPasoParpadeo = 300;

} // namespace

QColor ColorEtiqueta(const QWidget* Etiqueta)
{
    return Etiqueta->palette().color(QPalette::WindowText);
}

void PonColorEtiqueta(QWidget* Etiqueta, const QColor& Color)
{
    QPalette p = Etiqueta->palette();
    p.setColor(QPalette::WindowText, Color);
    Etiqueta->setPalette(p);
}

TMensajero::TMensajero(std::shared_ptr<IUtilerias> aUtilerias, std::shared_ptr<IReloj> Reloj)
    : F_Utilerias(std::move(aUtilerias)), F_Reloj(std::move(Reloj))
{
    if (!F_Reloj)
        F_Reloj = CreaRelojSistema([Utilerias = F_Utilerias](int nMs) { Utilerias->HazPausa(nMs); });
    F_CronAdvert = F_Reloj->CreaCuentaAtras(50, [this] { ParpadeaAdvertencia(); });
    F_Cronometro = F_Reloj->CreaCuentaAtras(3000, [this] { LimpiaMensaje(); });
}

TMensajero::~TMensajero()
{
    F_Cronometro->Detiene();
    F_CronAdvert->Detiene();
}

void TMensajero::SettxLabel(QLabel* txLabel)
{
    F_txLabel = txLabel;
    InicializaEtiqueta();
}

void TMensajero::InicializaEtiqueta()
{
    if (!F_txLabel)
        return;
    F_txLabel->clear();
    SetbDefColorAlerta(F_bDefCAlerta);
    F_txLabel->setVisible(true);
}

void TMensajero::SetbDefColorAlerta(bool bValor)
{
    F_bDefCAlerta = bValor;
    if (F_txLabel)
        PonColorEtiqueta(F_txLabel, F_bDefCAlerta ? kRojo : kGris);
}

bool TMensajero::GetbDefColorAlerta()
{
    return F_bDefCAlerta;
}

void TMensajero::MsjEnTx(const QString& sTexto)
{
    if (F_txLabel)
        F_txLabel->setText(sTexto);
    QCoreApplication::processEvents();
}

void TMensajero::MsjTxTemp(const QString& sTexto)
{
    MsjEnTx(sTexto);
    // A countdown already running goes on: the line is cleared when it ends.
    if (!F_Cronometro->Activa())
        F_Cronometro->Inicia();
}

void TMensajero::MsjTxEspera(const QString& sTexto, bool bTLargo)
{
    MsjEnTx(sTexto);
    F_Reloj->Pausa(bTLargo ? 1000 : 400);
}

void TMensajero::LimpiaMensaje()
{
    F_Cronometro->Detiene();
    if (F_txLabel)
        F_txLabel->clear();
}

void TMensajero::CampoObligatorio(QLabel* txLabel, QWidget* edEdit)
{
    F_txAdv = txLabel;
    if (edEdit && edEdit->isEnabled())
        edEdit->setFocus();
    F_CronAdvert->Inicia();
}

void TMensajero::ParpadeaAdvertencia()
{
    // The pauses serve the event loop; keep this object alive should its owner let go of it.
    const auto yo = weak_from_this().lock();
    F_CronAdvert->Detiene();
    // Repairs a label whose earlier flash was cut short by this one.
    if (F_txAdvAnt)
        PonColorEtiqueta(F_txAdvAnt, F_cColorAnt);
    F_txAdvAnt = F_txAdv;
    if (F_txAdv)
        F_cColorAnt = ColorEtiqueta(F_txAdv);
    // F_txAdv and F_cColorAnt are read at every step: an alert raised during a pause runs its
    // own flash there and this loop then finishes on the new label.
    for (int i = 1; i <= kPasosParpadeo; ++i) {
        if (F_txAdv)
            PonColorEtiqueta(F_txAdv, i % 2 == 0 ? kRojo : F_cColorAnt);
        F_Reloj->Pausa(kMsPasoParpadeo);
    }
    // Released during the flash: die from the event loop, not inside this timer's own signal.
    if (yo && yo.use_count() == 1)
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [yo] {}, Qt::QueuedConnection);
}

std::shared_ptr<IMensajero> CreaMensajero(std::shared_ptr<IUtilerias> aUtilerias,
                                          std::shared_ptr<IReloj> Reloj)
{
    return std::make_shared<TMensajero>(std::move(aUtilerias), std::move(Reloj));
}
