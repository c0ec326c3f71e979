#pragma once

#include <functional>
#include <memory>

// A countdown of a clock: once its interval has passed since it was last started, it calls its
// action once, from the event loop.
class ICuentaAtras
{
public:
    virtual ~ICuentaAtras() = default;
    virtual void Inicia() = 0; // from the whole interval, also when it was running
    virtual void Detiene() = 0;
    virtual bool Activa() const = 0;
};

// Time as a window's status messenger lives it: pauses that serve the event loop, and
// countdowns. The system clock passes in real time; a test passes a clock that it moves itself.
class IReloj
{
public:
    virtual ~IReloj() = default;
    virtual void Pausa(int nMs) = 0;
    virtual std::unique_ptr<ICuentaAtras> CreaCuentaAtras(int nMs, std::function<void()> AlTerminar) = 0;
};

// Real time: countdowns are precise timers, pauses are those of Pausa (the utilities' HazPausa,
// which serves the event loop meanwhile).
std::shared_ptr<IReloj> CreaRelojSistema(std::function<void(int nMs)> Pausa);
