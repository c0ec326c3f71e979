#pragma once

#include "common/InterfacedPadre.h"
#include "questionnaire/IIBoolPersist.h"

#include <memory>

class TBoolPersist : public TInterfacedPadre, public IBoolPersist
{
public:
    explicit TBoolPersist(bool bValor);

    void Inicializa(bool bValor) override;
    void SetValor(bool bValor) override;
    bool GetValor() override { return F_Valor; }

private:
    bool F_ValorIni;
    bool F_Valor;
};

std::shared_ptr<IBoolPersist> CreaBoolPersist(bool bValor);
