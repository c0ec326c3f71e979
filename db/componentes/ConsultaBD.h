#pragma once

#include "db/componentes/ProveedorBD.h"

#include <QString>

#include <functional>

class TConexionBD;

// Query object: bound to a connection component, holds a command text, opens a result with
// its first row current or executes a statement. Failures throw TErrorBD.
class TConsultaBD
{
public:
    explicit TConsultaBD(TConexionBD* Conexion = nullptr) : F_Conexion(Conexion) {}

    void SetConexion(TConexionBD* Conexion) { F_Conexion = Conexion; }
    TConexionBD* Conexion() const { return F_Conexion; }

    void LimpiaSQL() { F_sSQL.clear(); }
    void AgregaSQL(const QString& sTexto); // appends one line of command text
    const QString& SQL() const { return F_sSQL; }

    void Abre(); // runs the text and opens its rows, first row current
    // Runs the text and makes each row current in turn, calling Fila with the open query; rows
    // are read a part at a time and not kept (ISesionBD::ConsultaPorPartes). Fila returning false
    // stops the reading; the query is closed at the end.
    void Recorre(const std::function<bool(const TConsultaBD&)>& Fila);
    void Ejecuta(); // runs the text as a statement
    void Cierra();  // discards the open result
    bool Activa() const { return F_bActiva; }

    // On an open result (throw TErrorBD when closed):
    bool EstaVacia() const;
    int NumRegistros() const; // exact
    void Primero();
    void Siguiente();
    bool Fin() const;
    // Column of the current row by name, case-insensitive; throws TErrorBD for an unknown name
    // or when there is no current row.
    TValorBD Campo(const QString& sNombre) const;
    const QStringList& Columnas() const;
    // Column nColumna (in Columnas() order) of the current row; throws TErrorBD like Campo.
    TValorBD Valor(int nColumna) const;

private:
    void exigeActiva() const;

    TConexionBD* F_Conexion;
    QString F_sSQL;
    bool F_bActiva = false;
    TResultadoBD F_Resultado;
    int F_nFila = 0;
};
