#pragma once

#include "common/TablaMemoria.h"

// Columns of the PEP review table that detection fills and the report reads: IdPEP,
// ClaveCliente (20), Nombre (100) and EsPEP, the user's mark.
QList<TTablaMemoria::TCampo> CamposTablaPEPs();
