#include "questionnaire/BoolPersist.h"

TBoolPersist::TBoolPersist(bool bValor) : TInterfacedPadre(nullptr), F_ValorIni(bValor), F_Valor(bValor) {}

void TBoolPersist::Inicializa(bool bValor)
{
    F_ValorIni = bValor;
    F_Valor = bValor;
}

void TBoolPersist::SetValor(bool bValor)
{
    if (bValor != F_ValorIni)
        F_Valor = bValor;
}

std::shared_ptr<IBoolPersist> CreaBoolPersist(bool bValor)
{
    return std::make_shared<TBoolPersist>(bValor);
}
