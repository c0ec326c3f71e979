#pragma once

#include <QString>

#include <functional>
#include <typeinfo>

// Name of the most derived class of an object, as the error messages show it.
QString NombreClase(const std::type_info& Tipo);

template <class T> QString NombreClaseDe(const T& Objeto)
{
    return NombreClase(typeid(Objeto));
}

// Runs Paso and catches any error it raises; then false, with "kind - message" in sAdicional
// (a database error's own kind name, otherwise the exception's class).
bool EjecutaProtegido(const std::function<void()>& Paso, QString& sAdicional);
