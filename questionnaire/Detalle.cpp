#include "questionnaire/Detalle.h"

#include "db/componentes/ConsultaBD.h"
#include "questionnaire/CatalogoPreguntas.h"
#include "questionnaire/RepCuestQRTZ2019.h"

#include <QDateTime>
#include <QMap>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

QVariant variante(const TValorBD& v)
{
    switch (v.Tipo()) {
    case TValorBD::TTipo::Nulo:
        return {};
    case TValorBD::TTipo::Booleano:
        return v.Bool();
    case TValorBD::TTipo::Entero:
        return qint64(v.EnteroCrudo());
    case TValorBD::TTipo::Doble:
        return v.DobleCrudo();
    case TValorBD::TTipo::Moneda:
        return double(v.EnteroCrudo()) / 10000.0;
    case TValorBD::TTipo::Fecha: {
        // A day number outside the calendar stays a number rather than a wrong date.
        const auto f = v.FechaHora();
        return f ? QVariant(*f) : QVariant(v.DobleCrudo());
    }
    case TValorBD::TTipo::Texto:
        return v.TextoCrudo();
    case TValorBD::TTipo::Binario:
        return QString::fromLatin1(v.BinarioCrudo());
    }
    return {};
}

// Whether a column value of the host is set: -1 or True.
bool marcado(const TValorBD& v)
{
    return !v.EsNulo() && v.AsInteger() != 0;
}

// What the details show of a client, read once per report through the client views of the
// questionnaire; a client missing from a view lacks that view's column (null).
struct TCliente
{
    QVariant Nombre, Persona, Nacionalidad, PEP, Actividad, Estado, NivelRiesgo;

    // The member that holds a column of the details; null for a column clients do not have.
    static QVariant TCliente::*Miembro(const QString& sColumna)
    {
        static const QHash<QString, QVariant TCliente::*> Miembros{
            {u"Nombre"_s, &TCliente::Nombre},
            {u"Persona"_s, &TCliente::Persona},
            {u"Nacionalidad"_s, &TCliente::Nacionalidad},
            {u"PEP"_s, &TCliente::PEP},
            {u"Actividad"_s, &TCliente::Actividad},
            {u"Estado"_s, &TCliente::Estado},
            {u"NivelRiesgo"_s, &TCliente::NivelRiesgo}};
        return Miembros.value(sColumna, nullptr);
    }
};
using TCatalogo = QHash<QString, TCliente>;

bool leeCatalogo(TRepCuestQRTZBasic& Q, TConsultaBD& q, TCatalogo& Catalogo)
{
    const auto texto = [](const TConsultaBD& c, const char* s) {
        return c.Campo(QLatin1String(s)).AsString();
    };
    if (!Q.RecorreConsulta(
            u"SELECT AuxCvC, Cliente, EsPF, EsExtrj, EsPEP FROM ("_s + Q.DameConsultaClientes() + u") "_s, q,
            [&](const TConsultaBD& c) {
                TCliente& m = Catalogo[texto(c, "AuxCvC")];
                if (m.Nombre.isValid())
                    return true;
                m.Nombre = texto(c, "Cliente");
                m.Persona = marcado(c.Campo(u"EsPF"_s)) ? u"FISICA"_s : u"MORAL"_s;
                m.Nacionalidad = marcado(c.Campo(u"EsExtrj"_s)) ? u"EXTRANJERA"_s : u"NACIONAL"_s;
                m.PEP = marcado(c.Campo(u"EsPEP"_s));
                return true;
            }))
        return false;
    const auto columna = [&](const QString& sVista, const char* sColumna, QVariant TCliente::*Miembro) {
        return Q.RecorreConsulta(u"SELECT AuxCvC, "_s + QLatin1String(sColumna) + u" FROM ("_s + sVista +
                                     u") "_s,
                                 q, [&](const TConsultaBD& c) {
                                     QVariant& v = Catalogo[texto(c, "AuxCvC")].*Miembro;
                                     if (!v.isValid())
                                         v = texto(c, sColumna);
                                     return true;
                                 });
    };
    return columna(Q.DameClientesConActividad(), "Actividad", &TCliente::Actividad) &&
           columna(Q.DameClientesConEntidad(), "Estado", &TCliente::Estado) &&
           columna(Q.DameClientesConRiesgo(), "Riesgo", &TCliente::NivelRiesgo);
}

} // namespace

QVariant TTablaDetalle::Valor(int nFila, const QString& sColumna) const
{
    const int c = Columna(sColumna);
    return c < 0 ? QVariant() : Filas.at(nFila).value(c);
}

QStringList ColumnasDetalle(TClaseDetalle Clase)
{
    switch (Clase) {
    case TClaseDetalle::Clientes:
        return {u"Clave"_s,  u"Nombre"_s,      u"Persona"_s, u"Nacionalidad"_s, u"Actividad"_s,
                u"Estado"_s, u"NivelRiesgo"_s, u"PEP"_s,     u"Folio"_s,        u"Fecha"_s};
    case TClaseDetalle::Operaciones:
        return {u"Tipo"_s,       u"Folio"_s,    u"Fecha"_s,   u"Simbolo"_s, u"NumeroDivisa"_s, u"Pagare"_s,
                u"Cotizacion"_s, u"Cantidad"_s, u"Importe"_s, u"Clave"_s,   u"Nombre"_s};
    case TClaseDetalle::Alertas:
        return {u"Origen"_s,    u"Numero"_s,     u"Fecha"_s, u"TipoRelev"_s,
                u"Reportada"_s, u"FecReporte"_s, u"Clave"_s, u"Nombre"_s};
    }
    return {};
}

QString TituloColumna(const QString& sColumna)
{
    static const QHash<QString, QString> Titulos{
        {u"NivelRiesgo"_s, u"Nivel de riesgo"_s},
        {u"Simbolo"_s, u"Símbolo"_s},
        {u"NumeroDivisa"_s, u"Número de divisa"_s},
        {u"Pagare"_s, u"Pagaré"_s},
        {u"Cotizacion"_s, u"Cotización"_s},
        {u"Numero"_s, u"Número"_s},
        {u"TipoRelev"_s, u"Tipo"_s},
        {u"FecReporte"_s, u"Fecha de reporte"_s},
    };
    return Titulos.value(sColumna, sColumna);
}

QString ArchivoDetalle(const TDetalle& Detalle)
{
    QString s = u"preg_%1"_s.arg(Detalle.nPregunta, 2, 10, QLatin1Char('0'));
    if (Detalle.nInciso > 0)
        s += u"_%1"_s.arg(Detalle.nInciso);
    return s + u".csv"_s;
}

QList<TDetalle> DameDetalles(TRepCuestZIDU2019& Q)
{
    QList<TDetalle> Detalles;
    for (const TPreguntaCatalogo& p : CatalogoPreguntas()) {
        if (!p.ConDetalle())
            continue;
        TDetalle d;
        d.sVariable = p.Variable();
        d.nPregunta = p.nPregunta;
        d.nInciso = p.nInciso;
        d.sDescripcion = p.sDescripcion;
        d.Clase = p.Clase;
        d.Medida = p.Medida;
        d.sColumnaLista = p.sColumnaLista;
        d.sConsulta = Q.DameConsultaDetalle(p);
        Detalles.append(d);
    }
    return Detalles;
}

TLecturaDetalle RecorreDetalles(TRepCuestQRTZBasic& Q, TConexionBD* Conector, const QList<TDetalle>& Detalles,
                                const std::function<bool(int, const QVariantList&)>& Fila,
                                const std::function<bool(int, int)>& Avance)
{
    TConsultaBD q(Conector);
    TCatalogo Catalogo;
    bool bDetenida = false;
    const auto falla = [&] { return bDetenida ? TLecturaDetalle::Detenida : TLecturaDetalle::Fallida; };
    if (!leeCatalogo(Q, q, Catalogo))
        return TLecturaDetalle::Fallida;
    QList<bool> Hechos(Detalles.size(), false);
    int nHechos = 0;
    for (int i = 0; i < Detalles.size(); ++i) {
        if (Hechos[i])
            continue;
        // The details that share this statement (44 to 46) get its rows from one run.
        QList<int> Grupo;
        for (int k = i; k < Detalles.size(); ++k)
            if (!Hechos[k] && Detalles[k].sConsulta == Detalles[i].sConsulta &&
                Detalles[k].Clase == Detalles[i].Clase) {
                Grupo << k;
                Hechos[k] = true;
            }
        const QStringList Columnas = ColumnasDetalle(Detalles[i].Clase);
        const int nClave = int(Columnas.indexOf(u"Clave"_s));
        // Where each column comes from: the statement's own column, else the client's data.
        struct TOrigen
        {
            int nPropia;
            QVariant TCliente::*pMiembro;
        };
        QList<TOrigen> Origen;
        const QStringList* pPropias = nullptr;
        static const TCliente SinDatos;
        QVariantList Valores;
        const bool bLeida = Q.RecorreConsulta(Detalles[i].sConsulta, q, [&](const TConsultaBD& c) {
            if (pPropias != &c.Columnas()) {
                pPropias = &c.Columnas();
                Origen.clear();
                for (const QString& sColumna : Columnas) {
                    int n = -1;
                    for (int k = 0; k < pPropias->size() && n < 0; ++k)
                        if (pPropias->at(k).compare(sColumna, Qt::CaseInsensitive) == 0)
                            n = k;
                    Origen.append({n, TCliente::Miembro(sColumna)});
                }
            }
            const auto it = nClave >= 0 && Origen[nClave].nPropia >= 0
                                ? Catalogo.constFind(c.Valor(Origen[nClave].nPropia).AsString())
                                : Catalogo.cend();
            const TCliente& Cliente = it == Catalogo.cend() ? SinDatos : it.value();
            Valores.clear();
            for (const TOrigen& o : Origen)
                Valores << (o.nPropia >= 0 ? variante(c.Valor(o.nPropia))
                            : o.pMiembro   ? Cliente.*(o.pMiembro)
                                           : QVariant());
            for (int d : Grupo)
                if (!Fila(d, Valores)) {
                    bDetenida = true;
                    return false;
                }
            return true;
        });
        if (!bLeida)
            return falla();
        nHechos += int(Grupo.size());
        if (Avance && !Avance(nHechos, int(Detalles.size())))
            return TLecturaDetalle::Detenida;
    }
    return TLecturaDetalle::Completa;
}

bool LeeDetalles(TRepCuestQRTZBasic& Q, TConexionBD* Conector, const QList<TDetalle>& Detalles,
                 QList<TTablaDetalle>& Tablas)
{
    Tablas.clear();
    for (const TDetalle& d : Detalles)
        Tablas.append({ColumnasDetalle(d.Clase), {}});
    return RecorreDetalles(Q, Conector, Detalles, [&](int d, const QVariantList& Valores) {
               Tablas[d].Filas << Valores;
               return true;
           }) == TLecturaDetalle::Completa;
}

QStringList MasFrecuentes(const QStringList& Valores, int nTop)
{
    QMap<QString, int> Conteo;
    for (const QString& s : Valores)
        ++Conteo[s.toUpper()];
    QList<QPair<int, QString>> Orden;
    for (auto it = Conteo.cbegin(); it != Conteo.cend(); ++it)
        Orden.append({-it.value(), it.key()});
    std::sort(Orden.begin(), Orden.end());
    QStringList l;
    for (int i = 0; i < Orden.size() && i < nTop; ++i)
        l << Orden[i].second;
    return l;
}

double Redondea2(double d)
{
    // nearbyint rounds halves to even in the default rounding mode, as the engine's Round does.
    return std::nearbyint(d * 100.0) / 100.0;
}

QString TextoNumero(double d)
{
    // Fifteen significant digits at most, as the engine writes numbers: the binary remainder of
    // a sum (2955897.2000000002) does not show.
    int nEnteros = 1;
    for (double a = std::fabs(d); a >= 10.0 && nEnteros < 15; a /= 10.0)
        ++nEnteros;
    QString s = QString::number(d, 'f', std::clamp(15 - nEnteros, 0, 10));
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s == u"-0"_s ? u"0"_s : s;
}
