#include "common/Reloj.h"

#include <QTimer>

namespace {

class TCuentaAtrasSistema : public ICuentaAtras
{
public:
    TCuentaAtrasSistema(int nMs, std::function<void()> AlTerminar)
    {
        F_Timer.setInterval(nMs);
        F_Timer.setTimerType(Qt::PreciseTimer);
        F_Timer.setSingleShot(true);
        QObject::connect(&F_Timer, &QTimer::timeout, std::move(AlTerminar));
    }
    void Inicia() override { F_Timer.start(); }
    void Detiene() override { F_Timer.stop(); }
    bool Activa() const override { return F_Timer.isActive(); }

private:
    QTimer F_Timer;
};

class TRelojSistema : public IReloj
{
public:
    explicit TRelojSistema(std::function<void(int)> Pausa) : F_Pausa(std::move(Pausa)) {}
    void Pausa(int nMs) override { F_Pausa(nMs); }
    std::unique_ptr<ICuentaAtras> CreaCuentaAtras(int nMs, std::function<void()> AlTerminar) override
    {
        return std::make_unique<TCuentaAtrasSistema>(nMs, std::move(AlTerminar));
    }

private:
    std::function<void(int)> F_Pausa;
};

} // namespace

std::shared_ptr<IReloj> CreaRelojSistema(std::function<void(int nMs)> Pausa)
{
    return std::make_shared<TRelojSistema>(std::move(Pausa));
}
