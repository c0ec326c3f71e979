#include "tools/cuestionario/SalidaJson.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace {

void agregaVariables(QJsonObject& o, const TVariables& v)
{
    QJsonObject Valores;
    QJsonArray Orden;
    for (const auto& [sNombre, sValor] : v) {
        Valores.insert(sNombre, sValor);
        Orden.append(sNombre);
    }
    o.insert(u"variables"_s, Valores);
    o.insert(u"orden"_s, Orden);
}

} // namespace

QJsonObject ObjetoCorrida(const TCorridaJson& c)
{
    QJsonObject o;
    o.insert(u"carpeta"_s, c.sCarpeta);
    agregaVariables(o, c.Variables);
    QJsonArray PEPs;
    for (const TPEPCandidato& p : c.PEPs)
        PEPs.append(
            QJsonObject{{u"clave"_s, p.sClave}, {u"nombre"_s, p.sNombre}, {u"marcado"_s, p.bMarcado}});
    o.insert(u"peps"_s, PEPs);
    QJsonObject Tiempos;
    for (const auto& [sNombre, dMs] : c.Tiempos)
        Tiempos.insert(sNombre, dMs);
    o.insert(u"tiempos_ms"_s, Tiempos);
    o.insert(u"total_ms"_s, c.dTotalMs);
    return o;
}

QJsonObject ObjetoConsolidado(const QList<TCorridaJson>& Sucursales, const TConsolidado& C)
{
    QJsonObject o;
    QJsonArray s;
    for (const TCorridaJson& c : Sucursales)
        s.append(ObjetoCorrida(c));
    o.insert(u"sucursales"_s, s);
    agregaVariables(o, C.Variables);
    o.insert(u"notas"_s, QJsonArray::fromStringList(C.Notas));
    QJsonArray Filas;
    for (const QVariantList& f : C.Filas)
        Filas.append(QJsonArray::fromVariantList(f));
    o.insert(u"tabla"_s,
             QJsonObject{{u"columnas"_s, QJsonArray::fromStringList(C.Columnas)}, {u"filas"_s, Filas}});
    return o;
}

QByteArray TextoJson(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}
