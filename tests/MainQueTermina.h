#pragma once

#include "common/Plataforma.h"

#include <QApplication>
#include <QtTest>

// The test program's main for tests whose work runs on other threads: everything is destroyed
// first, then the process ends through the platform, so a runtime library that would wait at
// unload for threads long gone cannot keep it from ending.
#define QRTZ_TEST_MAIN_QUE_TERMINA(Clase)                                                                    \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        int nCodigo;                                                                                         \
        {                                                                                                    \
            QApplication app(argc, argv);                                                                    \
            app.setAttribute(Qt::AA_Use96Dpi, true);                                                         \
            QTEST_SET_MAIN_SOURCE_PATH                                                                       \
            Clase t;                                                                                         \
            nCodigo = QTest::qExec(&t, argc, argv);                                                          \
        }                                                                                                    \
        return Plataforma::TerminaProceso(nCodigo);                                                          \
    }
