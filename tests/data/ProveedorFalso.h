#pragma once

#include "db/componentes/ConexionBD.h"
#include "db/componentes/ErrorBD.h"

#include <QMap>

// Provider for tests of the data access layer: "Provider=Falso". It counts the sessions it
// opens, fails to open when the data source contains "falla", and answers each statement from
// a table of canned results (an unknown statement fails like a bad query). Statements without
// rows succeed only when listed.
struct TEstadoFalso
{
    int nAperturas = 0;
    int nAbiertas = 0;
    QStringList Sentencias;
    QMap<QString, TResultadoBD> Resultados;
    QStringList Ejecutables; // statements without rows that succeed; any other one fails
    TModoCompartir UltimoModo = TModoCompartir::Desconocido;
};

inline TEstadoFalso& EstadoFalso()
{
    static TEstadoFalso e;
    return e;
}

class TSesionFalsa : public ISesionBD
{
public:
    TSesionFalsa() { ++EstadoFalso().nAbiertas; }
    ~TSesionFalsa() override { --EstadoFalso().nAbiertas; }
    TResultadoBD Consulta(const QString& s) override
    {
        EstadoFalso().Sentencias << s;
        const auto it = EstadoFalso().Resultados.constFind(s);
        if (it == EstadoFalso().Resultados.constEnd())
            throw TErrorBD("EErrorJet", "Error de sintaxis en la consulta.");
        return *it;
    }
    void Ejecuta(const QString& s) override
    {
        EstadoFalso().Sentencias << s;
        if (!EstadoFalso().Ejecutables.contains(s))
            throw TErrorBD("EErrorJet", "La base de datos es de solo lectura.");
    }
};

class TProveedorFalso : public IProveedorBD
{
public:
    std::unique_ptr<ISesionBD> Abre(const TCadenaConexion& c, TModoCompartir m) override
    {
        ++EstadoFalso().nAperturas;
        EstadoFalso().UltimoModo = m;
        if (c.Valor("Data Source").contains("falla"))
            throw TErrorBD("EErrorJet", "No se encuentra el archivo.");
        return std::make_unique<TSesionFalsa>();
    }
};

inline void InstalaProveedorFalso()
{
    EstadoFalso() = TEstadoFalso();
    ProveedorSustituto = [](const TCadenaConexion& c) -> std::unique_ptr<IProveedorBD> {
        if (c.Valor("Provider") == "Falso" || c.Valor("Data Source").startsWith("falso:"))
            return std::make_unique<TProveedorFalso>();
        return nullptr;
    };
}
