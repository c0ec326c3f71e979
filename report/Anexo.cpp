#include "report/Anexo.h"

#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace Qt::StringLiterals;

namespace {

QString escapa(const QString& s)
{
    return s.toHtmlEscaped();
}

const QString kCabeza =
    u"<p class=\"t\">CUESTIONARIO DE PERCEPCIÓN DE RIESGOS DE LAVADO DE DINERO Y FINANCIAMIENTO AL "
    u"TERRORISMO</p><p class=\"t\">[NombreCC]</p>"_s;

// The table's HTML: its title, its header and the rows given, of the columns given.
QString htmlTabla(const TTablaAnexo& t, const QList<int>& Columnas, const QList<QStringList>& Filas,
                  const QString& sTitulo)
{
    QString h =
        u"<p class=\"s\"><b>"_s + escapa(sTitulo) + u"</b></p>"_s +
        u"<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\" "
        u"style=\"border-collapse: collapse; font-family: 'Times New Roman'; font-size: 9pt;\"><tr>"_s;
    for (int c : Columnas)
        h += u"<th>"_s + escapa(t.Columnas.value(c)) + u"</th>"_s;
    h += u"</tr>"_s;
    for (const QStringList& f : Filas) {
        h += u"<tr>"_s;
        for (int c : Columnas) {
            const QString s = escapa(f.value(c));
            const bool bNegrita = t.bUltimaNegrita && c == t.Columnas.size() - 1;
            h += (c < t.nColumnasFijas ? u"<td>"_s : u"<td align=\"right\">"_s) +
                 (bNegrita ? u"<b>"_s + s + u"</b>"_s : s) + u"</td>"_s;
        }
        h += u"</tr>"_s;
    }
    return h + u"</table>"_s;
}

} // namespace

int AgregaAnexo(TReporte& Rep, const TObjTextoRico& Texto, const TAnexo& Anexo)
{
    if (Rep.Paginas().empty())
        return 0;
    const TPaginaPlantilla Modelo = Rep.Paginas().back();
    const QRectF rTexto = Modelo.Encabezado.Area.rArea.marginsRemoved(Modelo.Encabezado.Area.Huecos);
    const QString& sHoja = Rep.Config().sHojaEstilo;
    const auto alto = [&](const QString& sHtml) {
        const auto Doc = Texto.CreaDocumento(sHtml, sHoja, rTexto.width());
        return Doc->size().height() / TObjTextoRico::PuntosPorUnidad();
    };
    // The title block of every page, and what is left under it (a line's worth kept free for the
    // company name, which is only known once the report is prepared).
    const QString sCabeza =
        kCabeza + u"<p class=\"s\"><b title=\"esquema1\">"_s + escapa(Anexo.sTitulo) + u"</b></p>"_s;
    const qreal dDisponible = rTexto.height() - alto(sCabeza) - 20;

    QStringList Paginas;
    QString sPagina;
    qreal dUsado = 0;
    const auto cierra = [&] {
        if (!sPagina.isEmpty())
            Paginas << sPagina;
        sPagina.clear();
        dUsado = 0;
    };
    // A block that does not fit goes to the next page.
    const auto agrega = [&](const QString& sBloque) {
        const qreal d = alto(sBloque);
        if (dUsado > 0 && dUsado + d > dDisponible)
            cierra();
        sPagina += sBloque;
        dUsado += d;
    };

    for (const TTablaAnexo& t : Anexo.Tablas) {
        QList<QList<int>> Grupos;
        const int nFijas = std::min<int>(t.nColumnasFijas, int(t.Columnas.size()));
        for (int c = nFijas; c < t.Columnas.size() || Grupos.isEmpty(); c += Anexo.nColumnasPorGrupo) {
            QList<int> g;
            for (int k = 0; k < nFijas; ++k)
                g << k;
            for (int k = c; k < c + Anexo.nColumnasPorGrupo && k < t.Columnas.size(); ++k)
                g << k;
            Grupos << g;
        }
        for (int nGrupo = 0; nGrupo < Grupos.size(); ++nGrupo) {
            QString sTitulo = t.sTitulo;
            if (Grupos.size() > 1)
                sTitulo += u" (%1 de %2)"_s.arg(nGrupo + 1).arg(Grupos.size());
            // The whole table laid out once: where each row ends, below its title and header.
            const auto Doc =
                Texto.CreaDocumento(htmlTabla(t, Grupos[nGrupo], t.Filas, sTitulo), sHoja, rTexto.width());
            const qreal dPuntos = TObjTextoRico::PuntosPorUnidad();
            QList<qreal> Fondo; // bottom of each row
            qreal dCabeza = Doc->size().height() / dPuntos;
            for (QTextFrame* f : Doc->rootFrame()->childFrames())
                if (auto* pTabla = qobject_cast<QTextTable*>(f)) {
                    const auto inicio = [&](int nFila) {
                        return Doc->documentLayout()
                                   ->blockBoundingRect(pTabla->cellAt(nFila, 0).firstCursorPosition().block())
                                   .top() /
                               dPuntos;
                    };
                    const qreal dFin = Doc->documentLayout()->frameBoundingRect(pTabla).bottom() / dPuntos;
                    if (pTabla->rows() > 1)
                        dCabeza = inicio(1);
                    for (int r = 1; r < pTabla->rows(); ++r)
                        Fondo << (r + 1 < pTabla->rows() ? inicio(r + 1) : dFin);
                    break;
                }
            // A margin for the table's bottom edge and the rounding of a chunk laid out apart.
            constexpr qreal dHolgura = 6;
            int nDesde = 0;
            do {
                const qreal dResto = dDisponible - dUsado;
                const qreal dBase = nDesde == 0 ? dCabeza : Fondo.value(nDesde - 1, dCabeza);
                int nHasta = nDesde + 1;
                while (nHasta < t.Filas.size() &&
                       dCabeza + Fondo.value(nHasta, dCabeza) - dBase + dHolgura <= dResto)
                    ++nHasta;
                nHasta = std::min<int>(nHasta, int(t.Filas.size()));
                const qreal dAlto = dCabeza + Fondo.value(nHasta - 1, dCabeza) - dBase + dHolgura;
                if (dUsado > 0 && dAlto > dResto) {
                    cierra();
                    continue; // the same rows again, on an empty page
                }
                sPagina += htmlTabla(t, Grupos[nGrupo], t.Filas.mid(nDesde, nHasta - nDesde),
                                     nDesde == 0 ? sTitulo : sTitulo + u" (continúa)"_s);
                dUsado += dAlto;
                nDesde = nHasta;
            } while (nDesde < t.Filas.size());
        }
    }
    for (const QString& n : Anexo.Notas)
        agrega(u"<p style=\"font-size: 10pt;\">"_s + escapa(n) + u"</p>"_s);
    cierra();

    for (int i = 0; i < Paginas.size(); ++i) {
        TPaginaPlantilla p = Modelo;
        p.sNombre = u"Pagina_Anexo_%1"_s.arg(i + 1);
        p.Encabezado.Area.sHtml = sCabeza + Paginas[i] + u"<p class=\"v\"></p>"_s;
        Rep.Paginas().push_back(std::move(p));
    }
    const int nTotal = int(Rep.Paginas().size());
    for (TPaginaPlantilla& p : Rep.Paginas())
        p.Pie.Area.sHtml = u"<p class=\"pie\">Página [Page#] de %1</p>"_s.arg(nTotal);
    return int(Paginas.size());
}

int CambiaNotasConsolidado(TReporte& Rep, int nSucursales)
{
    const QString n = QString::number(nSucursales);
    const QString sAnexo = u"vea el anexo al final"_s;
    const struct
    {
        QString sDe;
        QString sA;
    } Cambios[] = {
        {u"NOTA 1: Si cuenta con sucursales deberá obtener el reporte de cada una de ellas y hacer las "
         u"sumatorias, "
         u"promedios y cálculos correspondientes para consolidar la información y obtener el resultado "
         u"correcto en "
         u"donde se indique."_s,
         u"NOTA 1: Este es un reporte consolidado de %1 sucursales: las cifras que da la base de datos ya "
         u"son la "
         u"suma de todas ellas, calculada como explica el anexo al final; no las sume otra vez."_s.arg(n)},
        {u"*El número de usuarios mostrados son de este establecimiento, los tiene que <span "
         u"class=\"r\">sumar</span> "
         u"con los de sus demás sucursales. *"_s,
         u"*El número de usuarios mostrado ya es la suma de las %1 sucursales de este reporte consolidado "
         u"(%2); no "
         u"lo sume otra vez. *"_s.arg(n, sAnexo)},
        {u"*El número de operaciones mostradas son de este establecimiento, las tiene que <span "
         u"class=\"r\">sumar</span> con las de sus demás sucursales. *"_s,
         u"*La cifra mostrada ya es la suma de las %1 sucursales de este reporte consolidado (%2); no la "
         u"sume otra "
         u"vez. *"_s.arg(n, sAnexo)},
        {u"*<b>Deberá</b> <span class=\"r\">sumar</span> Alertas generadas por el Sistema con situaciones "
         u"detectadas "
         u"por el OC de forma manual en todas sus sucursales. *"_s,
         u"*Las Alertas generadas por el Sistema ya son la suma de las %1 sucursales de este reporte "
         u"consolidado; "
         u"<b>deberá</b> <span class=\"r\">sumar</span> solo las situaciones detectadas por el OC de forma "
         u"manual. "
         u"*"_s.arg(n)},
        {u"*<b>Deberá</b> <span class=\"r\">sumar</span> Resoluciones registradas para reportar en el "
         u"Sistema con "
         u"reportes hechos por el OC de forma manual en todas sus sucursales. *"_s,
         u"*Las Resoluciones registradas para reportar en el Sistema ya son la suma de las %1 sucursales de "
         u"este "
         u"reporte consolidado; <b>deberá</b> <span class=\"r\">sumar</span> solo los reportes hechos por el "
         u"OC de "
         u"forma manual. *"_s.arg(n)},
        {u"*Se muestra el número de operaciones (y el monto de las mismas) de esta sucursal. Si tiene más de "
         u"una "
         u"sucursal en el estado/ entidad federativa debe <span class=\"r\">sumar</span> los resultados. *"_s,
         u"*Se muestran los 5 estados con más operaciones de las %1 sucursales de este reporte consolidado; "
         u"las "
         u"operaciones (y el monto) de las sucursales de un mismo estado ya están sumadas (%2). *"_s.arg(
             n, sAnexo)},
        {u"*Se muestra el monto de operaciones (y el número de las mismas) de esta sucursal. Si tiene más de "
         u"una "
         u"sucursal en el estado/ entidad federativa debe <span class=\"r\">sumar</span> los resultados. *"_s,
         u"*Se muestran los 5 estados con más monto de las %1 sucursales de este reporte consolidado; el "
         u"monto (y "
         u"las operaciones) de las sucursales de un mismo estado ya están sumados (%2). *"_s.arg(n, sAnexo)},
        {u"*Una vez sumadas las operaciones (si aplica) deberá <span class=\"r\">ordenar</span> de mayor a "
         u"menor (por "
         u"número de operaciones) y registrar en ese orden sus respuestas. *"_s,
         u"*Ya están ordenados de mayor a menor por número de operaciones. *"_s},
        {u"*Una vez sumadas las operaciones (si aplica) deberá <span class=\"r\">ordenar</span> de mayor a "
         u"menor (por "
         u"monto) y registrar en ese orden sus respuestas. *"_s,
         u"*Ya están ordenados de mayor a menor por monto. *"_s},
    };
    int nCambios = 0;
    for (TPaginaPlantilla& p : Rep.Paginas())
        for (const auto& c : Cambios) {
            nCambios += int(p.Encabezado.Area.sHtml.count(c.sDe));
            p.Encabezado.Area.sHtml.replace(c.sDe, c.sA);
        }
    return nCambios;
}
