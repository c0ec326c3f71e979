#pragma once

#include "common/IdInterfaz.h"

// A window that the utilities can present: MuestraForm calls the first operation, then the
// third. Nothing in the program implements it.
class IMjVentana
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E12}"};
    virtual ~IMjVentana() = default;

    virtual void Prepara() = 0;
    virtual void Muestra() = 0;
    virtual void Ejecuta() = 0;
    virtual void Cierra() = 0;
};
