#include "app/Arranque.h"

int main(int argc, char** argv)
{
    return EjecutaPrograma(argc, argv);
}
