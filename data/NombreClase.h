#pragma once

#include <QString>

#include <typeinfo>

// Name of the most derived class of an object, as the error messages show it.
QString NombreClase(const std::type_info& Tipo);

template <class T> QString NombreClaseDe(const T& Objeto)
{
    return NombreClase(typeid(Objeto));
}
