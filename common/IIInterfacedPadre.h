#pragma once

#include "common/IILogErrores.h"

// Base interface of the program's reference-counted service objects; adds nothing to ILogErrores.
class IInterfacedPadre : public ILogErrores
{
public:
    static constexpr TIdInterfaz IID{"{6F0C2B1E-7D43-4C8A-9E21-3A5B7C9D1E02}"};
};
