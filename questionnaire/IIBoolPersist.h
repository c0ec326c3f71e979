#pragma once

#include "common/IdInterfaz.h"

// A Boolean that, once it has left its initial value, keeps the new one until it is
// initialised again: the success flag of a questionnaire run.
class IBoolPersist
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E30}"};
    virtual ~IBoolPersist() = default;

    virtual void Inicializa(bool bValor) = 0; // initial and current value
    virtual void SetValor(bool bValor) = 0;   // ignored when equal to the initial value
    virtual bool GetValor() = 0;
};
