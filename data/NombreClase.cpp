#include "data/NombreClase.h"

#include "db/componentes/ErrorBD.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>

QString NombreClase(const std::type_info& Tipo)
{
    int estado = 0;
    std::unique_ptr<char, void (*)(void*)> nombre(abi::__cxa_demangle(Tipo.name(), nullptr, nullptr, &estado),
                                                  std::free);
    QString s = QString::fromLatin1(estado == 0 && nombre ? nombre.get() : Tipo.name());
    // Classes inside a namespace or a template show only their last part.
    const int lt = s.indexOf(QLatin1Char('<'));
    const int dp = s.lastIndexOf(QLatin1String("::"), lt < 0 ? -1 : lt);
    if (dp >= 0)
        s = s.mid(dp + 2);
    return s;
}

bool EjecutaProtegido(const std::function<void()>& Paso, QString& sAdicional)
{
    try {
        Paso();
        return true;
    } catch (const TErrorBD& e) {
        sAdicional = e.Clase() + QStringLiteral(" - ") + e.Mensaje();
    } catch (const std::exception& e) {
        sAdicional = NombreClase(typeid(e)) + QStringLiteral(" - ") + QString::fromUtf8(e.what());
    }
    return false;
}
