#pragma once

#include "common/Reloj.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>
#include <vector>

// A clock that moves only when told. A pause moves it on by its length at once and serves the
// event loop once; the countdowns that come due on the way run then, in the order they come
// due, as a timer would fire inside a real pause.
class TRelojManual : public IReloj
{
public:
    void Pausa(int nMs) override
    {
        Pausas << nMs;
        Avanza(nMs);
        QCoreApplication::processEvents();
    }

    std::unique_ptr<ICuentaAtras> CreaCuentaAtras(int nMs, std::function<void()> AlTerminar) override
    {
        return std::make_unique<TCuenta>(*this, nMs, std::move(AlTerminar));
    }

    // Moves the clock nMs on.
    void Avanza(qint64 nMs)
    {
        const qint64 nHasta = F_nAhora + nMs;
        for (;;) {
            TCuenta* Proxima = nullptr;
            for (TCuenta* c : F_Cuentas) {
                if (c->bActiva && c->nVence <= nHasta && (!Proxima || c->nVence < Proxima->nVence))
                    Proxima = c;
            }
            if (!Proxima)
                break;
            F_nAhora = std::max(F_nAhora, Proxima->nVence);
            Proxima->bActiva = false;
            Proxima->AlTerminar(); // may pause, which moves the clock further
        }
        F_nAhora = std::max(F_nAhora, nHasta);
    }

    qint64 Ahora() const { return F_nAhora; }
    // Every pause asked for, in milliseconds.
    QList<int> Pausas;

private:
    struct TCuenta : ICuentaAtras
    {
        TCuenta(TRelojManual& r, int n, std::function<void()> f) : Reloj(r), nMs(n), AlTerminar(std::move(f))
        {
            Reloj.F_Cuentas.push_back(this);
        }
        ~TCuenta() override { std::erase(Reloj.F_Cuentas, this); }
        void Inicia() override
        {
            bActiva = true;
            nVence = Reloj.F_nAhora + nMs;
        }
        void Detiene() override { bActiva = false; }
        bool Activa() const override { return bActiva; }

        TRelojManual& Reloj;
        int nMs;
        std::function<void()> AlTerminar;
        bool bActiva = false;
        qint64 nVence = 0;
    };

    qint64 F_nAhora = 0;
    std::vector<TCuenta*> F_Cuentas;
};
