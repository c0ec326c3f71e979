#pragma once

#include "common/IIMensajero.h"
#include "common/IIUtilerias.h"
#include "common/InterfacedPadre.h"
#include "common/Reloj.h"

#include <QColor>
#include <QPointer>

#include <memory>

// Drives the one-line message area of a window: permanent, temporary (cleared by a 3-second
// countdown) and waiting messages, and the red flash of a mandatory field's label.
class TMensajero : public TInterfacedPadre, public IMensajero, public std::enable_shared_from_this<TMensajero>
{
public:
    // Without a clock the messenger lives in real time, pausing through the utilities.
    explicit TMensajero(std::shared_ptr<IUtilerias> aUtilerias, std::shared_ptr<IReloj> Reloj = nullptr);
    ~TMensajero() override;

    void MsjEnTx(const QString& sTexto) override;
    void MsjTxTemp(const QString& sTexto) override;
    void MsjTxEspera(const QString& sTexto, bool bTLargo) override;
    void CampoObligatorio(QLabel* txLabel, QWidget* edEdit) override;
    void SettxLabel(QLabel* txLabel) override;
    void SetbDefColorAlerta(bool bValor) override;
    bool GetbDefColorAlerta() override;

private:
    void InicializaEtiqueta();
    void LimpiaMensaje();
    void ParpadeaAdvertencia();

    QPointer<QLabel> F_txLabel;
    QPointer<QLabel> F_txAdv;
    QPointer<QLabel> F_txAdvAnt;
    QColor F_cColorAnt;
    bool F_bDefCAlerta = true;
    std::shared_ptr<IUtilerias> F_Utilerias;
    // Declared before the countdowns, which it outlives; the clearing countdown is destroyed first.
    std::shared_ptr<IReloj> F_Reloj;
    std::unique_ptr<ICuentaAtras> F_CronAdvert;
    std::unique_ptr<ICuentaAtras> F_Cronometro;
};

std::shared_ptr<IMensajero> CreaMensajero(std::shared_ptr<IUtilerias> aUtilerias,
                                          std::shared_ptr<IReloj> Reloj = nullptr);

// Font colour of a label (its palette's window text), the one colour the program changes.
QColor ColorEtiqueta(const QWidget* Etiqueta);
void PonColorEtiqueta(QWidget* Etiqueta, const QColor& Color);
