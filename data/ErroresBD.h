#pragma once

#include "data/LogErrores.h"

#include <memory>

// Database error catalogue: the single entry "BD-101".
class TErroresBD : public TManejadorErrores
{
public:
    TErroresBD();

protected:
    void CargaErrores() override;
};

inline std::shared_ptr<ILogErrores> CreaErroresBD()
{
    return std::make_shared<TErroresBD>();
}
