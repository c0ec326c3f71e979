#pragma once

#include <string_view>

// 128-bit identifier of an interface, written in the registry form of a GUID.
// Every interface carries its own as the constant IID.
using TIdInterfaz = std::string_view;
