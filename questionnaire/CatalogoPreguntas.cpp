#include "questionnaire/CatalogoPreguntas.h"

using namespace Qt::StringLiterals;

namespace {

using C = TConstructorPregunta;
using K = TClaseDetalle;
using M = TMedidaDetalle;
using S = TCombinaPregunta;

TPreguntaCatalogo aMano(int nPregunta)
{
    TPreguntaCatalogo p;
    p.nPregunta = nPregunta;
    return p;
}

TPreguntaCatalogo clientes(int nPregunta, std::uint8_t nCategoria, std::uint8_t nNacionalidad, bool bSinPEP,
                           const QString& sDescripcion)
{
    TPreguntaCatalogo p;
    p.nPregunta = nPregunta;
    p.Constructor = C::ConteoClientes;
    p.nCodigo1 = nCategoria;
    p.nCodigo2 = nNacionalidad;
    p.bSinPEP = bSinPEP;
    p.Combina = S::Suma;
    p.sDescripcion = sDescripcion;
    return p;
}

QList<TPreguntaCatalogo> construye()
{
    QList<TPreguntaCatalogo> l;
    for (int n = 1; n <= 8; ++n)
        l << aMano(n);

    TPreguntaCatalogo p;
    p.nPregunta = 9;
    p.Constructor = C::TopActividades;
    p.Medida = M::Lista;
    p.sColumnaLista = u"Actividad"_s;
    p.Combina = S::ListaRecalculada;
    p.sDescripcion = u"Actividades con más clientes (desde 1999)"_s;
    l << p;
    p.nPregunta = 10;
    p.Constructor = C::TopEstados;
    p.sColumnaLista = u"Estado"_s;
    p.sDescripcion = u"Estados con más clientes (desde 1999)"_s;
    l << p;

    for (int n = 11; n <= 21; ++n)
        l << aMano(n);

    p = {};
    p.nPregunta = 22;
    p.Constructor = C::AlertasRegistradas;
    p.Clase = K::Alertas;
    p.Combina = S::Suma;
    p.sDescripcion = u"Alertas registradas"_s;
    l << p;
    p.nPregunta = 23;
    p.Constructor = C::AlertasReportadas;
    p.sDescripcion = u"Alertas marcadas para reportar"_s;
    l << p;

    for (int n = 24; n <= 29; ++n)
        l << aMano(n);

    p = clientes(30, 11, 0, false, u"Usuarios que son ITF (SI/NO)"_s);
    p.Medida = M::SiNo;
    p.Combina = S::AlgunaSi;
    l << p;
    l << clientes(31, 11, 0, false, u"Usuarios que son ITF"_s)
      << clientes(32, 1, 1, false, u"Personas físicas nacionales"_s)
      << clientes(33, 2, 1, false, u"Personas morales nacionales"_s)
      << clientes(34, 1, 2, false, u"Personas físicas extranjeras"_s)
      << clientes(35, 2, 2, false, u"Personas morales extranjeras"_s)
      << clientes(36, 9, 0, false, u"Fideicomisos"_s) << clientes(37, 7, 0, false, u"Usuarios PEP"_s);
    p = {};
    p.nPregunta = 38;
    p.Constructor = C::ConteoRiesgo;
    p.nCodigo1 = 2; // high
    p.Combina = S::Suma;
    p.sDescripcion = u"Clientes de alto riesgo"_s;
    l << p;
    l << clientes(39, 10, 0, true, u"Operaciones de público en general (sin identificación)"_s);
    l << aMano(40) << aMano(41);

    // 42 purchases, 43 sales: the sub-items' currency and cash conditions.
    struct TInciso
    {
        std::uint8_t nDivisa, nPagare;
        M Medida;
        const char16_t* sDescripcion;
    };
    const TInciso Incisos[] = {
        {0, 0, M::Conteo, u"número de operaciones"},
        {0, 0, M::SumaImporte, u"monto en moneda nacional"},
        {2, 2, M::Conteo, u"número de operaciones en dólares (efectivo)"},
        {2, 2, M::SumaCantidad, u"dólares (efectivo)"},
        {3, 2, M::Conteo, u"número de operaciones en euros (efectivo)"},
        {3, 2, M::SumaCantidad, u"euros (efectivo)"},
    };
    for (int n : {42, 43})
        for (int m = 1; m <= 6; ++m) {
            const TInciso& i = Incisos[m - 1];
            p = {};
            p.nPregunta = n;
            p.nInciso = m;
            p.Constructor = C::Operaciones;
            p.nCodigo1 = i.nDivisa;
            p.nCodigo2 = i.nPagare;
            p.Clase = K::Operaciones;
            p.Medida = i.Medida;
            p.Combina = i.Medida == M::Conteo ? S::Suma : S::SumaMonto;
            p.sDescripcion = (n == 42 ? u"Compras: "_s : u"Ventas: "_s) + QString::fromUtf16(i.sDescripcion);
            l << p;
        }

    p = {};
    p.nPregunta = 44;
    p.Constructor = C::ResumenEstado;
    p.Clase = K::Operaciones;
    p.Medida = M::Resumen;
    p.Combina = S::LineaPorSucursal;
    p.Orden = TOrdenLineas::Operaciones;
    p.sDescripcion = u"Operaciones y monto del estado de la sucursal"_s;
    l << p;
    p.nPregunta = 45;
    p.Orden = TOrdenLineas::Monto;
    l << p;
    p.nPregunta = 46;
    p.Constructor = C::ResumenSucursal;
    p.Orden = TOrdenLineas::Dado;
    p.sDescripcion = u"Operaciones y monto de la sucursal"_s;
    l << p;
    l << aMano(47);
    return l;
}

} // namespace

QString TPreguntaCatalogo::Variable() const
{
    return nInciso > 0 ? u"preg_%1_%2"_s.arg(nPregunta).arg(nInciso) : u"preg_%1"_s.arg(nPregunta);
}

const QList<TPreguntaCatalogo>& CatalogoPreguntas()
{
    static const QList<TPreguntaCatalogo> l = construye();
    return l;
}

const TPreguntaCatalogo* BuscaPregunta(int nPregunta, int nInciso)
{
    for (const TPreguntaCatalogo& p : CatalogoPreguntas())
        if (p.nPregunta == nPregunta && p.nInciso == nInciso)
            return &p;
    return nullptr;
}

const TPreguntaCatalogo* BuscaVariable(const QString& sVariable)
{
    for (const TPreguntaCatalogo& p : CatalogoPreguntas())
        if (p.Variable() == sVariable)
            return &p;
    return nullptr;
}
