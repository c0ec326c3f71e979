// CuestionarioQRTZ-Sucursales: the consolidation window. Folders given on the command line are
// added as branches (IT can prepare the list: CuestionarioQRTZ-Sucursales.exe C:\Suc1 C:\Suc2).
#include "app/Arranque.h"
#include "common/Plataforma.h"
#include "sucursales/VentanaSucursales.h"

int main(int argc, char** argv)
{
    int nCodigo;
    {
        TAplicacion app(argc, argv);
        const TServiciosPrograma Servicios;
        TfrmSucursales frm;
        frm.show();
        for (const QString& s : app.arguments().mid(1))
            frm.AgregaCarpeta(s);
        nCodigo = app.exec();
    }
    return Plataforma::TerminaProceso(nCodigo);
}
