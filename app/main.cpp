#include "app/Arranque.h"
#include "common/Plataforma.h"

int main(int argc, char** argv)
{
    // The report's tables load on a thread of their own: the process ends through the platform
    // once everything is destroyed, so a runtime library that would wait at unload for threads
    // long gone cannot keep it from ending.
    return Plataforma::TerminaProceso(EjecutaPrograma(argc, argv));
}
