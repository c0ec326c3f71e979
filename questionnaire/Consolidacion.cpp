#include "questionnaire/Consolidacion.h"

#include <QMap>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kSinTop = u"NINGUNO POR QUE SOLO OPERÓ CON PUBLICO EN GENERAL"_s;
const QString kPublicoGeneral = u"10000000"_s;

QString valor(const TVariables& v, const QString& sVariable)
{
    for (const auto& p : v)
        if (p.first == sVariable)
            return p.second;
    return {};
}

double suma(const TTablaDetalle& t, const QString& sColumna)
{
    double d = 0;
    for (int i = 0; i < t.Filas.size(); ++i)
        d += t.Valor(i, sColumna).toDouble();
    return d;
}

int indice(const QList<TDetalle>& Detalles, const QString& sVariable)
{
    for (int i = 0; i < Detalles.size(); ++i)
        if (Detalles[i].sVariable == sVariable)
            return i;
    return -1;
}

QString escapa(const QString& s)
{
    return s.toHtmlEscaped();
}

} // namespace

QString TSucursalCuestionario::Valor(const QString& sVariable) const
{
    return valor(Variables, sVariable);
}

QString TConsolidado::Valor(const QString& sVariable) const
{
    return valor(Variables, sVariable);
}

TConsolidado ConsolidaSucursales(const QList<TSucursalCuestionario>& S)
{
    TConsolidado C;
    if (S.isEmpty())
        return C;
    const TSucursalCuestionario& Primera = S.first();
    const QList<TDetalle>& Detalles = Primera.Detalles;

    // Operations and amount of each branch, as its branch line (46) counts them.
    const int n46 = indice(Detalles, u"preg_46"_s);
    QList<QPair<qint64, double>> Totales;
    for (const TSucursalCuestionario& s : S) {
        const TTablaDetalle* t = n46 >= 0 && n46 < s.Tablas.size() ? &s.Tablas[n46] : nullptr;
        Totales.append({t ? t->Filas.size() : 0, t ? Redondea2(suma(*t, u"Importe"_s)) : 0.0});
    }
    // Branch lines, ordered by a measure (largest first; ties in branch order).
    const auto lineas = [&](const QString& sVariable, int nOrden) {
        QList<int> Orden;
        for (int i = 0; i < S.size(); ++i)
            Orden << i;
        if (nOrden > 0)
            std::stable_sort(Orden.begin(), Orden.end(), [&](int a, int b) {
                return nOrden == 1 ? Totales[a].first > Totales[b].first
                                   : Totales[a].second > Totales[b].second;
            });
        QStringList l;
        for (int i : Orden)
            l << S[i].sNombre + u": "_s + S[i].Valor(sVariable);
        return l.join(u"\r\n"_s);
    };

    for (const auto& [sVariable, sPrimero] : Primera.Variables) {
        const int d = indice(Detalles, sVariable);
        QString sValor = sPrimero;
        if (d >= 0) {
            switch (Detalles[d].Medida) {
            case TMedidaDetalle::Conteo: {
                qint64 n = 0;
                for (const TSucursalCuestionario& s : S)
                    n += s.Valor(sVariable).toLongLong();
                sValor = QString::number(n);
                break;
            }
            case TMedidaDetalle::SiNo: {
                bool b = false;
                for (const TSucursalCuestionario& s : S)
                    b = b || s.Valor(sVariable) == u"SI"_s;
                sValor = b ? u"SI"_s : u"NO"_s;
                break;
            }
            case TMedidaDetalle::SumaImporte:
            case TMedidaDetalle::SumaCantidad: {
                double x = 0;
                for (const TSucursalCuestionario& s : S)
                    x += s.Valor(sVariable).toDouble();
                sValor = TextoNumero(Redondea2(x));
                break;
            }
            case TMedidaDetalle::Lista: {
                QStringList Valores;
                for (const TSucursalCuestionario& s : S) {
                    const TTablaDetalle& t = s.Tablas[d];
                    for (int f = 0; f < t.Filas.size(); ++f)
                        Valores << t.Valor(f, Detalles[d].sColumnaLista).toString();
                }
                const QStringList l = MasFrecuentes(Valores, 10);
                sValor = l.isEmpty() ? kSinTop : l.join(u"\r\n"_s);
                break;
            }
            case TMedidaDetalle::Resumen:
                sValor = lineas(sVariable, Detalles[d].nPregunta == 44   ? 1
                                           : Detalles[d].nPregunta == 45 ? 2
                                                                         : 0);
                break;
            }
        }
        C.Variables.append({sVariable, sValor});
    }

    // The per-branch table.
    C.Columnas << u"Pregunta"_s << u"Descripcion"_s;
    for (const TSucursalCuestionario& s : S)
        C.Columnas << s.sNombre;
    C.Columnas << u"Total"_s;
    for (int d = 0; d < Detalles.size(); ++d) {
        const TDetalle& D = Detalles[d];
        if (D.Medida == TMedidaDetalle::Lista || D.Medida == TMedidaDetalle::Resumen)
            continue;
        QVariantList Fila{D.sVariable.mid(5).replace(QLatin1Char('_'), QLatin1Char('.')), D.sDescripcion};
        for (const TSucursalCuestionario& s : S) {
            const QString v = s.Valor(D.sVariable);
            if (D.Medida == TMedidaDetalle::Conteo)
                Fila << v.toLongLong();
            else if (D.Medida == TMedidaDetalle::SiNo)
                Fila << v;
            else
                Fila << v.toDouble();
        }
        const QString t = C.Valor(D.sVariable);
        Fila << (D.Medida == TMedidaDetalle::Conteo ? QVariant(t.toLongLong())
                 : D.Medida == TMedidaDetalle::SiNo ? QVariant(t)
                                                    : QVariant(t.toDouble()));
        C.Filas << Fila;
    }
    QVariantList Ops{u"46"_s, u"Operaciones de la sucursal"_s};
    QVariantList Monto{u"46"_s, u"Monto de la sucursal"_s};
    qint64 nOps = 0;
    double dMonto = 0;
    for (const auto& [n, d] : Totales) {
        Ops << n;
        Monto << d;
        nOps += n;
        dMonto += d;
    }
    C.Filas << (Ops << nOps) << (Monto << Redondea2(dMonto));

    // The union of the detail rows, each with its branch.
    for (int d = 0; d < Detalles.size(); ++d) {
        TTablaDetalle t;
        t.Columnas = QStringList{u"Sucursal"_s} + Primera.Tablas.value(d).Columnas;
        for (const TSucursalCuestionario& s : S)
            for (const QVariantList& f : s.Tablas.value(d).Filas)
                t.Filas << (QVariantList{s.sNombre} + f);
        C.Detalles << Detalles[d];
        C.Tablas << t;
    }

    // Client keys counted by more than one branch (31 to 39): the same person, or two?
    QMap<QString, QSet<int>> Claves;
    for (int i = 0; i < S.size(); ++i)
        for (int d = 0; d < Detalles.size(); ++d)
            if (Detalles[d].Clase == TClaseDetalle::Clientes && Detalles[d].Medida == TMedidaDetalle::Conteo)
                for (int f = 0; f < S[i].Tablas[d].Filas.size(); ++f) {
                    const QString k = S[i].Tablas[d].Valor(f, u"Clave"_s).toString();
                    if (k != kPublicoGeneral)
                        Claves[k].insert(i);
                }
    int nRepetidas = 0;
    for (const QSet<int>& v : Claves)
        nRepetidas += v.size() > 1 ? 1 : 0;

    QStringList Otras;
    for (int i = 1; i < S.size(); ++i) {
        QString s = S[i].sNombre;
        if (S[i].Valor(u"NombreCC"_s) != Primera.Valor(u"NombreCC"_s))
            s += u", registrada como "_s + S[i].Valor(u"NombreCC"_s);
        Otras << s;
    }
    C.Notas
        << u"*Reporte consolidado de %1 sucursales. El nombre y la clave del Centro Cambiario son los de la "
           u"primera carpeta, %2; las demás sucursales: %3. *"_s.arg(S.size())
               .arg(Primera.sNombre, Otras.join(u"; "_s));
    C.Notas << u"*Preguntas 22, 23, 31 a 39, 42 y 43: suma de las cifras de cada sucursal; los montos, suma "
               u"de los "
               u"de cada sucursal, ya redondeados a 2 decimales en cada una. Pregunta 30: SI cuando alguna "
               u"sucursal tiene usuarios ITF. *"_s;
    C.Notas
        << u"*Criterio: un cliente atendido en varias sucursales se cuenta una vez en cada una, porque la "
           u"clave "
           u"de cliente es propia de la base de datos de cada sucursal y no identifica a la misma persona en "
           u"otra. En estas sucursales %1 claves de cliente contadas en las preguntas 31 a 39 aparecen en "
           u"más "
           u"de una sucursal; si son la misma persona, reste sus repeticiones. *"_s.arg(nRepetidas);
    C.Notas
        << u"*Preguntas 9 y 10: recalculadas sobre los clientes de todas las sucursales juntas; cada cliente "
           u"de cada sucursal cuenta una vez en su actividad o estado. *"_s;
    C.Notas
        << u"*Preguntas 44 y 45: una línea por sucursal, ordenadas de mayor a menor por número de "
           u"operaciones "
           u"(44) y por monto (45); si varias sucursales están en el mismo estado, deberá sumar sus líneas. "
           u"Pregunta 46: una línea por sucursal. *"_s;
    return C;
}

QString HtmlPaginaSucursales(const TConsolidado& C)
{
    QString h =
        u"<p class=\"t\">CUESTIONARIO DE PERCEPCIÓN DE RIESGOS DE LAVADO DE DINERO Y FINANCIAMIENTO AL "
        u"TERRORISMO</p>"
        u"<p class=\"t\">[NombreCC]</p>"
        u"<p class=\"s\"><b title=\"esquema1\">Cifras por sucursal</b></p>"
        u"<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\" "
        u"style=\"border-collapse: collapse; font-family: 'Times New Roman'; font-size: 9pt;\"><tr>"_s;
    // The files keep their column names plain; the page writes them as words.
    for (const QString& c : C.Columnas)
        h += u"<th>"_s + escapa(c == u"Descripcion"_s ? u"Descripción"_s : c) + u"</th>"_s;
    h += u"</tr>"_s;
    for (const QVariantList& f : C.Filas) {
        h += u"<tr>"_s;
        for (int i = 0; i < f.size(); ++i) {
            const QVariant& v = f[i];
            const QString s = v.typeId() == QMetaType::Double ? TextoNumero(v.toDouble()) : v.toString();
            const bool bNumero = i >= 2;
            h += (bNumero ? u"<td align=\"right\">"_s : u"<td>"_s) +
                 (i == f.size() - 1 ? u"<b>"_s + escapa(s) + u"</b>"_s : escapa(s)) + u"</td>"_s;
        }
        h += u"</tr>"_s;
    }
    h += u"</table><p class=\"v\"></p>"_s;
    for (const QString& n : C.Notas)
        h += u"<p style=\"font-size: 10pt;\">"_s + escapa(n) + u"</p>"_s;
    return h;
}
