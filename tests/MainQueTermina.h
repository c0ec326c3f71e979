#pragma once

#include "common/Plataforma.h"

#include <QCoreApplication>
#include <QtTest>
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#endif

// The test program's main for tests whose work runs on other threads: everything is destroyed
// first, then the process ends through the platform, so a runtime library that would wait at
// unload for threads long gone cannot keep it from ending.
#define QRTZ_MAIN_QUE_TERMINA_CON(Aplicacion, Clase, Ajustes)                                                \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        int nCodigo;                                                                                         \
        {                                                                                                    \
            Aplicacion app(argc, argv);                                                                      \
            Ajustes;                                                                                         \
            QTEST_SET_MAIN_SOURCE_PATH                                                                       \
            Clase t;                                                                                         \
            nCodigo = QTest::qExec(&t, argc, argv);                                                          \
        }                                                                                                    \
        return Plataforma::TerminaProceso(nCodigo);                                                          \
    }

// With windows, as QTEST_MAIN.
#define QRTZ_TEST_MAIN_QUE_TERMINA(Clase)                                                                    \
    QRTZ_MAIN_QUE_TERMINA_CON(QApplication, Clase, QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true))

// Without windows, as QTEST_GUILESS_MAIN.
#define QRTZ_TEST_GUILESS_MAIN_QUE_TERMINA(Clase) QRTZ_MAIN_QUE_TERMINA_CON(QCoreApplication, Clase, (void)0)
