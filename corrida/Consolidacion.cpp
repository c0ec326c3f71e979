#include "corrida/Consolidacion.h"

#include "db/componentes/ValorBD.h"
#include "questionnaire/CatalogoPreguntas.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kSinTop = u"NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL"_s;
// States listed by 44 and 45, as the questions ask.
constexpr int kEstados = 5;

QString valor(const TVariables& v, const QString& sVariable)
{
    for (const auto& p : v)
        if (p.first == sVariable)
            return p.second;
    return {};
}

// The operations and amount of a branch's one-line summary (44 or 46), and the state of 44's.
struct TResumen
{
    bool bValido = false;
    QString sEstado;
    qint64 nOperaciones = 0;
    double dMonto = 0;
};

TResumen leeResumen(const QString& s)
{
    static const QRegularExpression re(
        u"^(?:Estado o Entidad Federativa: (.*?)   )?Numero de Operaciones: +(\\S+)   Monto: +(\\S+)"_s);
    TResumen r;
    const auto m = re.match(s);
    if (!m.hasMatch())
        return r;
    bool bN = false, bM = false;
    r.sEstado = m.captured(1);
    r.nOperaciones = qint64(m.captured(2).toDouble(&bN));
    r.dMonto = m.captured(3).toDouble(&bM);
    r.bValido = bN && bM;
    return r;
}

QString lineaEstado(const TLineaEstado& e)
{
    return u"Estado o Entidad Federativa: "_s + e.sEstado + u"   Numero de Operaciones: "_s +
           TextoStr(double(e.nOperaciones)) + u"   Monto: "_s + TextoStr(Redondea2(e.dMonto));
}

} // namespace

QString TextoStr(double d)
{
    return d < 0 ? TextoDeDoble(d) : u" "_s + TextoDeDoble(d);
}

QString TResultadoSucursal::Valor(const QString& sVariable) const
{
    return valor(Variables, sVariable);
}

QString TConsolidado::Valor(const QString& sVariable) const
{
    return valor(Variables, sVariable);
}

TConsolidado ConsolidaSucursales(const QList<TResultadoSucursal>& S)
{
    TConsolidado C;
    C.Sucursales = S;
    if (S.isEmpty())
        return C;
    const TResultadoSucursal& Primera = S.first();

    // Each branch's summary line (46) and state (44).
    QList<TResumen> Resumenes;
    for (const TResultadoSucursal& s : S) {
        TResumen r = leeResumen(s.Valor(u"preg_46"_s));
        r.sEstado = leeResumen(s.Valor(u"preg_44"_s)).sEstado;
        Resumenes << r;
    }
    qint64 nOperaciones = 0;
    double dMonto = 0;
    int nConOperaciones = 0;
    QMap<QString, int> PorEstado; // state -> place in C.Estados
    for (int i = 0; i < S.size(); ++i) {
        const TResumen& r = Resumenes[i];
        if (!r.bValido)
            continue;
        ++nConOperaciones;
        nOperaciones += r.nOperaciones;
        dMonto += Redondea2(r.dMonto);
        const QString sEstado = r.sEstado.isEmpty() ? u"(SIN ESTADO)"_s : r.sEstado;
        if (!PorEstado.contains(sEstado)) {
            PorEstado[sEstado] = int(C.Estados.size());
            C.Estados.append({sEstado, 0, 0, {}});
        }
        TLineaEstado& e = C.Estados[PorEstado[sEstado]];
        e.nOperaciones += r.nOperaciones;
        e.dMonto += Redondea2(r.dMonto);
        e.Sucursales << S[i].sNombre;
    }
    const auto ordena = [&](bool bPorMonto) {
        QList<TLineaEstado> l = C.Estados;
        std::stable_sort(l.begin(), l.end(), [&](const TLineaEstado& a, const TLineaEstado& b) {
            if (bPorMonto)
                return Redondea2(a.dMonto) > Redondea2(b.dMonto);
            return a.nOperaciones > b.nOperaciones;
        });
        return l;
    };
    C.Estados = ordena(false);

    // Every answer of the first branch's run, in its order, combined.
    for (const auto& [sVariable, sPrimero] : Primera.Variables) {
        const TPreguntaCatalogo* p = BuscaVariable(sVariable);
        QString sValor = sPrimero;
        switch (p ? p->Combina : TCombinaPregunta::Ninguna) {
        case TCombinaPregunta::Ninguna:
            break;
        case TCombinaPregunta::Suma: {
            qint64 n = 0;
            for (const TResultadoSucursal& s : S)
                n += s.Valor(sVariable).toLongLong();
            sValor = QString::number(n);
            break;
        }
        case TCombinaPregunta::SumaMonto: {
            double x = 0;
            for (const TResultadoSucursal& s : S)
                x += s.Valor(sVariable).toDouble();
            sValor = TextoNumero(Redondea2(x));
            break;
        }
        case TCombinaPregunta::AlgunaSi: {
            bool b = false;
            for (const TResultadoSucursal& s : S)
                b = b || s.Valor(sVariable) == u"SI"_s;
            sValor = b ? u"SI"_s : u"NO"_s;
            break;
        }
        case TCombinaPregunta::ListaRecalculada: {
            // As MasFrecuentes ranks them: most rows first, ties in alphabetical order.
            QMap<QString, qint64> Conteo;
            for (const TResultadoSucursal& s : S)
                for (auto it = s.Listas.value(sVariable).cbegin(); it != s.Listas.value(sVariable).cend();
                     ++it)
                    Conteo[it.key()] += it.value();
            QList<QPair<qint64, QString>> Orden;
            for (auto it = Conteo.cbegin(); it != Conteo.cend(); ++it)
                Orden.append({-it.value(), it.key()});
            std::sort(Orden.begin(), Orden.end());
            QStringList l;
            for (int i = 0; i < Orden.size() && i < 10; ++i)
                l << Orden[i].second;
            sValor = l.isEmpty() ? kSinTop : l.join(u"\r\n"_s);
            break;
        }
        case TCombinaPregunta::LineaPorSucursal: {
            if (nConOperaciones == 0) {
                sValor = u"0"_s;
                break;
            }
            if (p->Orden == TOrdenLineas::Dado) {
                sValor = u"Numero de Operaciones: "_s + TextoStr(double(nOperaciones)) + u"   Monto: "_s +
                         TextoStr(Redondea2(dMonto)) + u"   en las %1 sucursales "_s.arg(nConOperaciones);
                break;
            }
            const QList<TLineaEstado> l = ordena(p->Orden == TOrdenLineas::Monto);
            QStringList Lineas;
            for (int i = 0; i < l.size() && i < kEstados; ++i)
                Lineas << lineaEstado(l[i]);
            sValor = Lineas.join(u"\r\n"_s);
            break;
        }
        }
        C.Variables.append({sVariable, sValor});
    }

    // The per-branch table: every summed figure, then each branch's state and summary line.
    C.Columnas << u"Pregunta"_s << u"Descripción"_s;
    for (const TResultadoSucursal& s : S)
        C.Columnas << s.sNombre;
    C.Columnas << u"Total"_s;
    for (const TPreguntaCatalogo& p : CatalogoPreguntas()) {
        if (p.Combina != TCombinaPregunta::Suma && p.Combina != TCombinaPregunta::SumaMonto &&
            p.Combina != TCombinaPregunta::AlgunaSi)
            continue;
        const QString sVariable = p.Variable();
        QVariantList Fila{sVariable.mid(5).replace(QLatin1Char('_'), QLatin1Char('.')), p.sDescripcion};
        const auto celda = [&](const QString& v) -> QVariant {
            if (p.Combina == TCombinaPregunta::Suma)
                return v.toLongLong();
            if (p.Combina == TCombinaPregunta::SumaMonto)
                return v.toDouble();
            return v;
        };
        for (const TResultadoSucursal& s : S)
            Fila << celda(s.Valor(sVariable));
        Fila << celda(C.Valor(sVariable));
        C.Filas << Fila;
    }
    QVariantList Estado{u"44"_s, u"Estado de la sucursal"_s};
    QVariantList Ops{u"46"_s, u"Operaciones de la sucursal"_s};
    QVariantList Monto{u"46"_s, u"Monto de la sucursal"_s};
    for (const TResumen& r : Resumenes) {
        Estado << (r.bValido ? r.sEstado : QString());
        Ops << (r.bValido ? r.nOperaciones : 0);
        Monto << (r.bValido ? Redondea2(r.dMonto) : 0.0);
    }
    C.Filas << (Estado << QString()) << (Ops << nOperaciones) << (Monto << Redondea2(dMonto));

    // Client keys with operations in more than one branch: the same person, or two?
    QHash<QString, int> Veces;
    for (const TResultadoSucursal& s : S)
        for (const QString& k : s.Claves)
            ++Veces[k];
    int nRepetidas = 0;
    for (int n : Veces)
        nRepetidas += n > 1 ? 1 : 0;

    QStringList Empresas;
    for (const TResultadoSucursal& s : S) {
        const QString e = s.Empresa.sRazonSocial + u" (registro "_s + s.Empresa.sRegistroQRTZ + u")"_s;
        if (!Empresas.contains(e))
            Empresas << e;
    }
    C.bDistintasEmpresas = Empresas.size() > 1;
    QStringList Otras;
    for (int i = 1; i < S.size(); ++i)
        Otras << S[i].sNombre;
    C.Notas
        << u"*Reporte consolidado de %1 sucursales: %2 y %3. Todas las cifras de este reporte que la base de "
           u"datos da ya son la suma de esas sucursales; no las sume otra vez. *"_s.arg(S.size())
               .arg(Primera.sNombre, Otras.join(u", "_s));
    if (C.bDistintasEmpresas)
        C.Notas
            << u"*Las sucursales pertenecen a registros o nombres distintos, consolidados a petición del "
               u"usuario: %1. El nombre y la clave que muestra el reporte son los de la primera sucursal. *"_s
                   .arg(Empresas.join(u"; "_s));
    C.Notas
        << u"*Preguntas 22, 23, 31 a 39, 42 y 43: suma de las cifras de cada sucursal; los montos, suma de "
           u"los de cada sucursal, ya redondeados a 2 decimales en cada una. Pregunta 30: SI cuando alguna "
           u"sucursal tiene usuarios ITF. Preguntas 9 y 10: recalculadas sobre los clientes de todas las "
           u"sucursales juntas. *"_s;
    C.Notas
        << u"*Preguntas 44 y 45: las operaciones y el monto de las sucursales de un mismo estado ya están "
           u"sumados; se muestran los %1 estados con más operaciones (44) y con más monto (45), y el anexo "
           u"da todos. Pregunta 46: el total de las %2 sucursales con operaciones; el anexo da el de cada "
           u"una. *"_s.arg(kEstados)
               .arg(nConOperaciones);
    C.Notas
        << u"*Criterio: un cliente atendido en varias sucursales se cuenta una vez en cada una, porque la "
           u"clave de cliente es propia de la base de datos de cada sucursal y no identifica a la misma "
           u"persona en otra. En estas sucursales %1 claves de cliente contadas en las preguntas 31 a 39 "
           u"aparecen en más de una sucursal; si son la misma persona, reste sus repeticiones. *"_s.arg(
               nRepetidas);
    return C;
}
