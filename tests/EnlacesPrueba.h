#pragma once

// Symbolic links as the tests use them. On Windows QFile::link makes a shortcut (.lnk): a file of
// its own, which a write replaces instead of following, and true symbolic links need rights that
// users do not have. The cases about links skip there, saying why.
#include <QtTest>

#ifdef Q_OS_WIN
inline constexpr bool kHayEnlaces = false;
#define QRTZ_REQUIERE_ENLACES()                                                                              \
    QSKIP("En Windows QFile::link hace un acceso directo (.lnk), que una escritura reemplaza en vez de "     \
          "seguirlo: no hay enlace que probar")
#else
inline constexpr bool kHayEnlaces = true;
#define QRTZ_REQUIERE_ENLACES()                                                                              \
    do {                                                                                                     \
    } while (false)
#endif
