#include "data/ErroresBD.h"

TErroresBD::TErroresBD()
{
    CargaErrores();
}

void TErroresBD::CargaErrores()
{
    AgregaError(QStringLiteral("BD-101"), QStringLiteral("Llame a Soporte Técnico."), QString(), true);
}
