#include "questionnaire/Detalle.h"

#include "db/componentes/ConsultaBD.h"
#include "questionnaire/RepCuestQRTZBasic.h"

#include <QDateTime>
#include <QMap>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The period of the 2019 questionnaire and the start of the history its top-ten lists read:
// the same texts its answer map hands to the builders.
const QString kFIni = u"01/01/2018"_s;
const QString kFFin = u"12/31/2018"_s;
const QString kInicioHistoria = u"01/01/1999"_s;

// Replaces sDe, which must stand exactly nVeces in sTexto, by sA. The details change only the
// select lists of the answers' own texts; a builder whose text changed is noticed here
// instead of giving rows that no longer match the figure.
bool cambia(QString& sTexto, const QString& sDe, const QString& sA, int nVeces, QString& sError)
{
    if (sTexto.count(sDe) != nVeces) {
        sError = u"El texto de la consulta cambió; no se encontró: "_s + sDe;
        return false;
    }
    sTexto.replace(sDe, sA);
    return true;
}

// The rows an answer of a client count counts: the per-client grouping of the answer with the
// client key in place of its constant 0, and the folio and date of each public-general row.
bool conteoClientes(TRepCuestQRTZBasic& Q, std::uint8_t nCategoria, std::uint8_t nNacionalidad, bool bSinPEP,
                    QString& sConsulta, QString& sError)
{
    QString s = Q.AgrupaPorCliente(Q.UneOpsConActividad(Q.FiltraPorFechas(kFIni, kFFin)));
    if (!cambia(s, u"SELECT 0 AS Aux, "_s, u"SELECT tXCSinPG.CvCAux AS Aux, NULL AS Folio, NULL AS Fecha, "_s,
                1, sError) ||
        !cambia(s, u"SELECT tXCPG.CvCAux AS Aux, EsPF, "_s,
                u"SELECT tXCPG.CvCAux AS Aux, tXCPG.Folio AS Folio, tXCPG.Fecha AS Fecha, EsPF, "_s, 1,
                sError))
        return false;
    sConsulta = u"SELECT Aux AS Clave, Folio, Fecha FROM ("_s +
                Q.FiltraPorCategoria(s, nCategoria, nNacionalidad, bSinPEP) + u") "_s;
    return true;
}

// Grouped operations of the period with a currency listed in tDivisas, as the per-currency
// totals add them up, under the conditions the answer's one-row builder puts on the totals.
bool operaciones(TRepCuestQRTZBasic& Q, std::uint8_t nDivisa, std::uint8_t nPagare, std::uint8_t nTipo,
                 QString& sConsulta, QString& sError)
{
    const QString sCabeza =
        u"SELECT Ops.Tipo, Ops.nDiv, tDivisas.Simbolo, tDivisas.Pagare, SUM( AuxCant ) AS "
        u"Cantidad, SUM( auxImporte ) AS Importe, count(*) AS NumOps FROM ( "_s;
    const QString sGrupo = u"GROUP BY Ops.NDiv,  tDivisas.Simbolo, Ops.Tipo , tDivisas.Pagare "_s;
    const QString sTotales = Q.DameTotalesPorDivisa(kFIni, kFFin);
    if (!sTotales.startsWith(sCabeza) || !sTotales.endsWith(sGrupo)) {
        sError = u"El texto de los totales por divisa cambió."_s;
        return false;
    }
    QString sWhere;
    Q.AgregaFiltroTipo(sWhere, nTipo);
    Q.AgregaFiltroDivisa(sWhere, nDivisa);
    Q.AgregaFiltroPagare(sWhere, nPagare);
    sConsulta =
        u"SELECT * FROM (SELECT Ops.Tipo AS Tipo, Ops.Folio AS Folio, Ops.Fecha AS Fecha, tDivisas.Simbolo "
        u"AS Simbolo, Ops.NDiv AS NumeroDivisa, tDivisas.Pagare AS Pagare, Ops.Cot AS Cotizacion, "
        u"Ops.AuxCant AS Cantidad, Ops.AuxImporte AS Importe, Ops.CvCAux AS Clave FROM ( "_s +
        sTotales.mid(sCabeza.size(), sTotales.size() - sCabeza.size() - sGrupo.size()) + u" )"_s + sWhere;
    return true;
}

// Alert records with their kind, dates and client; internal messages have neither client nor
// report.
bool alertas(QString s, bool bConMensajes, QString& sConsulta, QString& sError)
{
    if (!cambia(s, u"SELECT NoRelevan FROM tRelevan WHERE"_s,
                u"SELECT 'tRelevan' AS Origen, NoRelevan AS Numero, Fecha, TipoRelev, Reportada, FecReporte, "
                u"ClaveCliente AS Clave FROM tRelevan WHERE"_s,
                2, sError))
        return false;
    if (bConMensajes &&
        !cambia(
            s, u" SELECT tMsgInterno.Numero  FROM tMsgInterno  WHERE"_s,
            u" SELECT 'tMsgInterno' AS Origen, tMsgInterno.Numero AS Numero, tMsgInterno.Fecha AS Fecha, 'M' "
            u"AS TipoRelev, NULL AS Reportada, NULL AS FecReporte, NULL AS Clave FROM tMsgInterno  WHERE"_s,
            1, sError))
        return false;
    sConsulta = s;
    return true;
}

// The distinct (client, value) pairs a top-ten answer counts, taken from the answer's text.
bool lista(const QString& sTop, const QString& sInterna, const QString& sColumna, const QString& sCondicion,
           QString& sConsulta, QString& sError)
{
    if (!sTop.contains(sInterna)) {
        sError = u"El texto de la lista de los diez más frecuentes cambió."_s;
        return false;
    }
    sConsulta = u"SELECT AuxCvC AS Clave, "_s + sColumna + u" FROM ("_s + sInterna + u") "_s + sCondicion;
    return true;
}

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

QString ArchivoDetalle(const TDetalle& Detalle)
{
    QString s = u"preg_%1"_s.arg(Detalle.nPregunta, 2, 10, QLatin1Char('0'));
    if (Detalle.nInciso > 0)
        s += u"_%1"_s.arg(Detalle.nInciso);
    return s + u".csv"_s;
}

bool DameDetalles(TRepCuestQRTZBasic& Q, QList<TDetalle>& Detalles, QString& sError)
{
    Detalles.clear();
    const auto agrega = [&](int nPregunta, int nInciso, const QString& sDescripcion, TClaseDetalle Clase,
                            TMedidaDetalle Medida, const QString& sConsulta, const QString& sColumna = {}) {
        TDetalle d;
        d.nPregunta = nPregunta;
        d.nInciso = nInciso;
        d.sVariable = nInciso > 0 ? u"preg_%1_%2"_s.arg(nPregunta).arg(nInciso) : u"preg_%1"_s.arg(nPregunta);
        d.sDescripcion = sDescripcion;
        d.Clase = Clase;
        d.Medida = Medida;
        d.sConsulta = sConsulta;
        d.sColumnaLista = sColumna;
        Detalles.append(d);
    };
    QString s;

    // 9 and 10: the clients of each activity or state with operations since 1999.
    const QString sHistoria = Q.FiltraPorFechas(kInicioHistoria, kFFin);
    if (!lista(Q.DameTopActividades(sHistoria, 10),
               u" SELECT DISTINCT AuxCvC, Actividad FROM ( "_s + Q.UneOpsConActividad(sHistoria) +
                   u" ) WHERE AuxCvC <> ''  "_s,
               u"Actividad"_s, u"WHERE Actividad <> 'NO APLICA' "_s, s, sError))
        return false;
    agrega(9, 0, u"Actividades con más clientes (desde 1999)"_s, TClaseDetalle::Clientes,
           TMedidaDetalle::Lista, s, u"Actividad"_s);
    if (!lista(Q.DameTopEstados(sHistoria, 10),
               u" SELECT DISTINCT AuxCvC, Estado FROM ( "_s + Q.UneOpsConEntidad(sHistoria) +
                   u" ) WHERE AuxCvC <> ''  "_s,
               u"Estado"_s, QString(), s, sError))
        return false;
    agrega(10, 0, u"Estados con más clientes (desde 1999)"_s, TClaseDetalle::Clientes, TMedidaDetalle::Lista,
           s, u"Estado"_s);

    if (!alertas(Q.DameAlertasRegistradas(kFIni, kFFin), true, s, sError))
        return false;
    agrega(22, 0, u"Alertas registradas"_s, TClaseDetalle::Alertas, TMedidaDetalle::Conteo, s);
    if (!alertas(Q.DameAlertasReportadas(kFIni, kFFin), false, s, sError))
        return false;
    agrega(23, 0, u"Alertas marcadas para reportar"_s, TClaseDetalle::Alertas, TMedidaDetalle::Conteo, s);

    struct TConteo
    {
        int nPregunta;
        std::uint8_t nCategoria, nNacionalidad;
        bool bSinPEP;
        const char16_t* sDescripcion;
    };
    const TConteo Conteos[] = {
        {30, 11, 0, false, u"Usuarios que son ITF (SI/NO)"},
        {31, 11, 0, false, u"Usuarios que son ITF"},
        {32, 1, 1, false, u"Personas físicas nacionales"},
        {33, 2, 1, false, u"Personas morales nacionales"},
        {34, 1, 2, false, u"Personas físicas extranjeras"},
        {35, 2, 2, false, u"Personas morales extranjeras"},
        {36, 9, 0, false, u"Fideicomisos"},
        {37, 7, 0, false, u"Usuarios PEP"},
        {39, 10, 0, true, u"Operaciones de público en general (sin identificación)"},
    };
    for (const TConteo& c : Conteos) {
        if (c.nPregunta == 39) {
            // 38 comes before 39: high-risk clients, the risk grouping with the client key.
            QString r = Q.AgrupaPorClienteRiesgo(Q.UneOpsConRiesgo(Q.FiltraPorFechas(kFIni, kFFin)));
            if (!cambia(r, u"SELECT Riesgo FROM ("_s,
                        u"SELECT tXCSinPG.CvCAux AS Clave, Riesgo AS NivelRiesgo, "
                        u"Riesgo FROM ("_s,
                        1, sError))
                return false;
            agrega(38, 0, u"Clientes de alto riesgo"_s, TClaseDetalle::Clientes, TMedidaDetalle::Conteo,
                   u"SELECT Clave, NivelRiesgo FROM ("_s + Q.FiltraPorRiesgo(r, 2) + u") "_s);
        }
        if (!conteoClientes(Q, c.nCategoria, c.nNacionalidad, c.bSinPEP, s, sError))
            return false;
        agrega(c.nPregunta, 0, QString::fromUtf16(c.sDescripcion), TClaseDetalle::Clientes,
               c.nPregunta == 30 ? TMedidaDetalle::SiNo : TMedidaDetalle::Conteo, s);
    }

    // 42 purchases, 43 sales: the sub-items' currency and cash conditions.
    struct TInciso
    {
        std::uint8_t nDivisa, nPagare;
        TMedidaDetalle Medida;
        const char16_t* sDescripcion;
    };
    const TInciso Incisos[] = {
        {0, 0, TMedidaDetalle::Conteo, u"número de operaciones"},
        {0, 0, TMedidaDetalle::SumaImporte, u"monto en moneda nacional"},
        {2, 2, TMedidaDetalle::Conteo, u"número de operaciones en dólares (efectivo)"},
        {2, 2, TMedidaDetalle::SumaCantidad, u"dólares (efectivo)"},
        {3, 2, TMedidaDetalle::Conteo, u"número de operaciones en euros (efectivo)"},
        {3, 2, TMedidaDetalle::SumaCantidad, u"euros (efectivo)"},
    };
    for (int n : {42, 43}) {
        for (int m = 1; m <= 6; ++m) {
            const TInciso& i = Incisos[m - 1];
            if (!operaciones(Q, i.nDivisa, i.nPagare, n == 42 ? 0 : 1, s, sError))
                return false;
            agrega(n, m, (n == 42 ? u"Compras: "_s : u"Ventas: "_s) + QString::fromUtf16(i.sDescripcion),
                   TClaseDetalle::Operaciones, i.Medida, s);
        }
    }

    if (!operaciones(Q, 0, 0, 2, s, sError))
        return false;
    agrega(44, 0, u"Operaciones y monto del estado de la sucursal"_s, TClaseDetalle::Operaciones,
           TMedidaDetalle::Resumen, s);
    agrega(45, 0, u"Operaciones y monto del estado de la sucursal"_s, TClaseDetalle::Operaciones,
           TMedidaDetalle::Resumen, s);
    agrega(46, 0, u"Operaciones y monto de la sucursal"_s, TClaseDetalle::Operaciones,
           TMedidaDetalle::Resumen, s);
    return true;
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
