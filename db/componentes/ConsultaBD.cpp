#include "db/componentes/ConsultaBD.h"

#include "db/componentes/ConexionBD.h"
#include "db/componentes/ErrorBD.h"

namespace {

const QString kClase = QStringLiteral("EErrorBD");

} // namespace

void TConsultaBD::AgregaSQL(const QString& sTexto)
{
    if (!F_sSQL.isEmpty())
        F_sSQL += QLatin1Char('\n');
    F_sSQL += sTexto;
}

void TConsultaBD::Abre()
{
    Cierra();
    if (!F_Conexion)
        throw TErrorBD(kClase, QStringLiteral("Falta la conexión de la consulta."));
    F_Resultado = F_Conexion->Sesion().Consulta(F_sSQL);
    F_nFila = 0;
    F_bActiva = true;
}

void TConsultaBD::Recorre(const std::function<bool(const TConsultaBD&)>& Fila)
{
    Cierra();
    if (!F_Conexion)
        throw TErrorBD(kClase, QStringLiteral("Falta la conexión de la consulta."));
    try {
        F_Conexion->Sesion().ConsultaPorPartes(F_sSQL, [this, &Fila](const TResultadoBD& Parte) {
            F_Resultado = Parte;
            F_bActiva = true;
            for (F_nFila = 0; F_nFila < int(F_Resultado.Filas.size()); ++F_nFila)
                if (!Fila(*this))
                    return false;
            return true;
        });
    } catch (...) {
        Cierra();
        throw;
    }
    Cierra();
}

void TConsultaBD::Ejecuta()
{
    Cierra();
    if (!F_Conexion)
        throw TErrorBD(kClase, QStringLiteral("Falta la conexión de la consulta."));
    F_Conexion->Sesion().Ejecuta(F_sSQL);
}

void TConsultaBD::Cierra()
{
    F_bActiva = false;
    F_Resultado = TResultadoBD();
    F_nFila = 0;
}

void TConsultaBD::exigeActiva() const
{
    if (!F_bActiva)
        throw TErrorBD(kClase, QStringLiteral("La operación no se permite si el objeto está cerrado."));
}

bool TConsultaBD::EstaVacia() const
{
    exigeActiva();
    return F_Resultado.Filas.empty();
}

int TConsultaBD::NumRegistros() const
{
    exigeActiva();
    return int(F_Resultado.Filas.size());
}

void TConsultaBD::Primero()
{
    exigeActiva();
    F_nFila = 0;
}

void TConsultaBD::Siguiente()
{
    exigeActiva();
    if (F_nFila < int(F_Resultado.Filas.size()))
        ++F_nFila;
}

bool TConsultaBD::Fin() const
{
    exigeActiva();
    return F_nFila >= int(F_Resultado.Filas.size());
}

const QStringList& TConsultaBD::Columnas() const
{
    exigeActiva();
    return F_Resultado.Columnas;
}

TValorBD TConsultaBD::Campo(const QString& sNombre) const
{
    exigeActiva();
    int col = -1;
    for (int i = 0; i < F_Resultado.Columnas.size(); ++i) {
        if (F_Resultado.Columnas[i].compare(sNombre, Qt::CaseInsensitive) == 0) {
            col = i;
            break;
        }
    }
    if (col < 0)
        throw TErrorBD(kClase, QStringLiteral("No se encontró el elemento en la colección que corresponde "
                                              "al nombre o al ordinal solicitado: %1")
                                   .arg(sNombre));
    if (F_nFila >= int(F_Resultado.Filas.size()))
        throw TErrorBD(kClase, QStringLiteral("BOF o EOF es True, o el registro actual se eliminó. "
                                              "La operación solicitada requiere un registro actual."));
    return F_Resultado.Filas[F_nFila][col];
}

TValorBD TConsultaBD::Valor(int nColumna) const
{
    exigeActiva();
    if (nColumna < 0 || nColumna >= F_Resultado.Columnas.size())
        throw TErrorBD(kClase, QStringLiteral("No se encontró el elemento en la colección que corresponde "
                                              "al nombre o al ordinal solicitado: %1")
                                   .arg(nColumna));
    if (F_nFila >= int(F_Resultado.Filas.size()))
        throw TErrorBD(kClase, QStringLiteral("BOF o EOF es True, o el registro actual se eliminó. "
                                              "La operación solicitada requiere un registro actual."));
    return F_Resultado.Filas[F_nFila][nColumna];
}
