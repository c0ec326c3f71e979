#include "questionnaire/TablaPEPs.h"

QList<TTablaMemoria::TCampo> CamposTablaPEPs()
{
    using T = TTablaMemoria::TTipoCampo;
    return {
        {QStringLiteral("IdPEP"), T::AutoIncremento, 0},
        {QStringLiteral("ClaveCliente"), T::Texto, 20},
        {QStringLiteral("Nombre"), T::Texto, 100},
        {QStringLiteral("EsPEP"), T::Booleano, 0},
        // Not shown in the list's columns: the first words of the client's earliest
        // unusual-operation record that mentions PEP, to tell namesakes apart.
        {QStringLiteral("Registro"), T::Texto, 120},
    };
}
