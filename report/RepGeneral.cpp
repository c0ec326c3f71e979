#include "report/RepGeneral.h"

#include "reportengine/ExportaPDF.h"
#include "reportengine/Reporte.h"
#include "reportengine/TextoRico.h"

#include <QFile>

static void iniciaRecursos()
{
    // The template's files are linked from a static library; their registration must be pulled in.
    Q_INIT_RESOURCE(plantilla);
}

namespace {

QString leeRecurso(const QString& sNombre)
{
    QFile f(QStringLiteral(":/plantilla/") + sNombre);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

constexpr qreal dAnchoBanda = 740.409927;

} // namespace

std::unique_ptr<TObjTextoRico> CreaObjTextoRico()
{
    return std::make_unique<TObjTextoRico>();
}

std::unique_ptr<TExportaPDF> CreaExpPDF()
{
    auto e = std::make_unique<TExportaPDF>();
    e->sNombreArchivo = QStringLiteral("CuestionarioQRTZ");
    e->sTitulo = QStringLiteral("Cuestionario QRTZ");
    e->sAsunto = QStringLiteral("Cuestionario QRTZ");
    e->sAutor = QStringLiteral("Tavoro");
    e->bPermiteImprimir = e->bPermiteModificar = e->bPermiteCopiar = e->bPermiteAnotar = true;
    e->bComprimido = true;
    e->bCacheTemporal = true;
    e->bMuestraProgreso = true;
    e->bPreguntaSobreescribir = false;
    e->bSoloDatos = false;
    e->bOptimizaImpresion = false;
    e->bEsquema = false;
    e->bFondo = false;
    e->bEtiquetasHtml = true;
    return e;
}

std::unique_ptr<TReporte> CreaRepGeneral(TObjTextoRico* objTextoRico, TExportaPDF* expPDF)
{
    iniciaRecursos();
    auto Rep = std::make_unique<TReporte>();
    Rep->SetTextoRico(objTextoRico);
    Rep->SetExportaPDF(expPDF);

    TConfigReporte& c = Rep->Config();
    c.bDosPasadas = true;
    c.nBotones = bvImprimir | bvZoom | bvBuscar | bvEsquema | bvConfigPagina | bvHerramientas | bvNavegador |
                 bvExportaRapida;
    c.dZoom = 1.0;
    c.sImpresora = QStringLiteral("Por defecto");
    c.sScript.clear();
    c.sHojaEstilo = leeRecurso(QStringLiteral("hoja.css"));

    TListaVariables& v = Rep->Variables();
    v.AgregaCategoria(sCategoriaCuestionario);
    for (int n = 1; n <= 46; ++n)
        v.Declara(QStringLiteral("preg_%1").arg(n));
    v.Declara(QStringLiteral("NombreCC"));
    for (int n : {42, 43})
        for (int m = 1; m <= 6; ++m)
            v.Declara(QStringLiteral("preg_%1_%2").arg(n).arg(m));
    v.Declara(QStringLiteral("RegCC"));

    // Text areas in template units (1/96 inch), relative to their bands.
    struct TGeometria
    {
        QRectF rHoja;
        QRectF rPie;
        qreal dAltoPie;
    };
    const QRectF rPie(0, 0.77953, 737.00835, 18.89765);
    const qreal dAltoPie = 22.67718;
    const qreal dAnchoHoja = 733.22882;
    const qreal dAltoHoja = 952.44094488;
    const TGeometria Geometria[11] = {
        {{14.9291435, 22.67718, 710.55164, 778.58318}, rPie, dAltoPie},
        {{0, 3.77953, dAnchoHoja, 952.44156}, rPie, dAltoPie},
        {{3, 2.77953, dAnchoHoja, dAltoHoja}, {0, 0, 737.00835, 18.89765}, dAltoPie},
        {{3.33859, 2.33859, dAnchoHoja, dAltoHoja}, {1, 1, 737.00835, 18.89765}, 30.23624},
        {{11.33859, 3.77953, dAnchoHoja, dAltoHoja}, rPie, dAltoPie},
        {{3.33859, 2.77953, dAnchoHoja, dAltoHoja}, rPie, dAltoPie},
        {{4.33859, 2.77953, dAnchoHoja, dAltoHoja}, rPie, dAltoPie},
        {{3.33859, 2.77953, dAnchoHoja, dAltoHoja}, rPie, dAltoPie},
        {{3.33859, 2.77953, dAnchoHoja, dAltoHoja}, rPie, dAltoPie},
        {{3.33859, 2.77953, dAnchoHoja, dAltoHoja}, rPie, dAltoPie},
        {{3.33859, 2.77953, dAnchoHoja, dAltoHoja}, rPie, dAltoPie},
    };
    const QString sPie = QStringLiteral("<p class=\"pie\">Página [Page#] de 11</p>");

    for (int n = 0; n < 11; ++n) {
        TPaginaPlantilla p;
        p.sNombre = QStringLiteral("Pagina_%1").arg(n);
        p.Papel = n == 8 ? TTipoPapel::Personalizado : TTipoPapel::Carta;
        p.TamanoMm = QSizeF(215.9, 279.4);
        p.MargenesMm = QMarginsF(10, 10, 10, 10);
        const QString sBanda = n == 0 ? QStringLiteral("18") : QString::number(n);
        p.Encabezado.sNombre = QStringLiteral("PageHeader") + sBanda;
        p.Encabezado.rBanda = QRectF(0, 18.89765, dAnchoBanda, 960);
        p.Encabezado.Area.sNombre = QStringLiteral("txHoja%1").arg(n);
        p.Encabezado.Area.rArea = Geometria[n].rHoja;
        p.Encabezado.Area.sHtml = leeRecurso(p.sNombre + QStringLiteral(".html"));
        p.Pie.sNombre = QStringLiteral("PageFooter") + sBanda;
        p.Pie.rBanda = QRectF(0, 1039.37075, dAnchoBanda, Geometria[n].dAltoPie);
        p.Pie.Area.sNombre = QStringLiteral("txPie%1").arg(n);
        p.Pie.Area.rArea = Geometria[n].rPie;
        p.Pie.Area.sHtml = sPie;
        Rep->Paginas().push_back(std::move(p));
    }
    return Rep;
}
