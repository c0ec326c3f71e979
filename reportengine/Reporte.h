#pragma once

#include "reportengine/ListaVariables.h"

#include <QAbstractTextDocumentLayout>
#include <QIcon>
#include <QMarginsF>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <functional>
#include <memory>
#include <vector>

class QImage;
class QPainter;
class QPrinter;
class QTextDocument;
class QWidget;
class TExportaPDF;
class TObjTextoRico;
class TVistaPrevia;

// Lengths of templates and prepared pages are in units of 1/96 inch.
constexpr qreal dUnidadesPorMm = 96.0 / 25.4;

// A rich-text area of fixed size inside a band. rArea is relative to the band; the text keeps
// the inner gaps from the area's edges.
struct TAreaTexto
{
    QString sNombre;
    QRectF rArea;
    QString sHtml;
    QMarginsF Huecos{2, 1, 2, 1};
};

// A band with its one text area. rBanda holds the band's place in the designer; when a page is
// produced the page header sits at the top of the printable area and the page footer at its foot.
struct TBanda
{
    QString sNombre;
    QRectF rBanda;
    TAreaTexto Area;
};

enum class TTipoPapel
{
    Carta,
    Personalizado
};

// A template page: paper, margins and its two bands. It holds no data band, so it produces
// exactly one page.
struct TPaginaPlantilla
{
    QString sNombre;
    TTipoPapel Papel = TTipoPapel::Carta;
    QSizeF TamanoMm{215.9, 279.4};
    QMarginsF MargenesMm{10, 10, 10, 10};
    TBanda Encabezado;
    TBanda Pie;
};

// Buttons of the preview window; Cerrar is always there.
enum TBotonVista : unsigned
{
    bvImprimir = 1u << 0,
    bvZoom = 1u << 1,
    bvBuscar = 1u << 2,
    bvEsquema = 1u << 3, // outline of the section titles
    bvConfigPagina = 1u << 4,
    bvHerramientas = 1u << 5,  // page thumbnails
    bvNavegador = 1u << 6,     // first, previous, next, last and the page number
    bvExportaRapida = 1u << 7, // the PDF export
};

struct TConfigReporte
{
    bool bDosPasadas = false;
    unsigned nBotones = 0xFFu;
    qreal dZoom = 1.0;
    QString sImpresora = QStringLiteral("Por defecto"); // or the name of a printer
    QString sScript;
    // Default style sheet of every rich-text area.
    QString sHojaEstilo;
};

// A prepared text area: its place on the page and its expanded, fitted document.
struct TAreaPreparada
{
    QString sNombre;
    QRectF rTexto; // page coordinates of the text: the area without its inner gaps; painting clips here
    std::unique_ptr<QTextDocument> Doc;
};

struct TPaginaPreparada
{
    TPaginaPreparada() = default;
    TPaginaPreparada(TPaginaPreparada&&) noexcept = default;
    TPaginaPreparada& operator=(TPaginaPreparada&&) noexcept = default;

    QString sPlantilla;
    int nReporte = 0; // which preparation produced it (pages of earlier ones are kept on request)
    QString sReporte; // the report name at that preparation
    int nPagina = 0;  // page number within its preparation, from 1
    QPageSize Papel;
    TTipoPapel TipoPapel = TTipoPapel::Carta;
    QMarginsF MargenesMm; // the template's margins: everything on the page lies inside them
    std::vector<TAreaPreparada> Areas;
};

// Match of a search, shown highlighted.
struct TResaltado
{
    int nPagina = -1; // prepared page index, from 0
    int nArea = 0;
    int nInicio = 0;
    int nLargo = 0;
};

// Heading of the outline: a paragraph set entirely in bold underlined type (level 1), or one
// whose first text carries the title "esquema1" or "esquema2" (that level).
struct TEntradaEsquema
{
    QString sTexto;
    int nPagina; // prepared page index, from 0
    int nReporte;
    QString sReporte;
    int nNivel = 1;
    int nArea = 0;     // text area of the page that holds the heading
    int nPosicion = 0; // where the heading begins in that area's text
};

// A button of the program added to the preview, below its side panel: object name of its
// action, text, tooltip, what it does (given the preview window, as the parent of its dialogs)
// and an optional icon.
struct TAccionVista
{
    QString sNombre;
    QString sTexto;
    QString sDescripcion;
    std::function<void(QWidget* Vista)> Ejecuta;
    QIcon Icono;
};

// Report object: the template pages, the variable list, the report settings and the prepared pages.
class TReporte
{
public:
    TReporte();
    ~TReporte();
    TReporte(const TReporte&) = delete;
    TReporte& operator=(const TReporte&) = delete;

    std::vector<TPaginaPlantilla>& Paginas() { return F_Paginas; }
    TListaVariables& Variables() { return F_Variables; }
    const TListaVariables& Variables() const { return F_Variables; }
    TConfigReporte& Config() { return F_Config; }
    const TConfigReporte& Config() const { return F_Config; }

    // The rich-text area kind and the PDF export beside the report (both borrowed).
    void SetTextoRico(TObjTextoRico* objTextoRico) { F_TextoRico = objTextoRico; }
    void SetExportaPDF(TExportaPDF* expPDF) { F_ExportaPDF = expPDF; }
    TExportaPDF* GetExportaPDF() const { return F_ExportaPDF; }

    // Report name: document name of print jobs; names the report in the preview's outline
    // when it holds more than one.
    QString GetFileName() const { return F_sFileName; }
    void SetFileName(const QString& sNombre) { F_sFileName = sNombre; }

    void AgregaVariable(const QString& sCategoria, const QString& sNombre,
                        const std::optional<QString>& Valor)
    {
        F_Variables.AgregaVariable(sCategoria, sNombre, Valor);
    }

    // Prepares the report from the template and the current variables; bDescartaPrevio false
    // keeps earlier prepared pages and adds the new ones after them. False without a rich-text
    // component (nothing could be prepared).
    bool PreparaReporte(bool bDescartaPrevio = true);
    // Prepares and shows the modal preview; returns when the user closes it.
    void MuestraVistaPrevia(bool bDescartaPrevio);

    int PaginasPreparadas() const { return int(F_Preparadas.size()); }
    int ReportesPreparados() const { return F_nReportes; }
    const TPaginaPreparada& PaginaPreparada(int i) const { return F_Preparadas.at(size_t(i)); }
    // Everything that shows on prepared page i, area after area, paragraphs on separate lines.
    QString TextoPagina(int i) const;
    std::vector<TEntradaEsquema> Esquema() const;
    // Where characters nInicio to nInicio + nLargo of text area nArea of prepared page i lie on
    // the page (page units), on the line of the first one.
    QRectF RectTexto(int i, int nArea, int nInicio, int nLargo) const;

    // Paints prepared page i with the painter in page units (1/96 inch, paper corner at 0,0).
    void PintaPagina(QPainter& Pintor, int i, const TResaltado* Resaltado = nullptr) const;
    // Page i as an image at 96 dpi times dEscala, on white.
    QImage ImagenPagina(int i, qreal dEscala = 1.0) const;
    // Paints the prepared pages (the printer's page range, if one is chosen) on the printer's
    // paper, each page whole: what lies inside the template's margins goes into the printable
    // area (the paper without the page setup's margins), at its own size when it fits and
    // shrunk to fit where the paper or wider margins leave less room.
    bool Imprime(QPrinter& Impresora, const TResaltado* Resaltado = nullptr) const;
    // Where prepared page i lands when printed: page units to the printer's painting coordinates.
    QTransform EncuadrePagina(const QPrinter& Impresora, int i) const;
    // Paper of the report, portrait, the template's margins as the page setup's and the report
    // name as the job's document name: printed like that, every page sits where the template
    // puts it.
    void ConfiguraImpresora(QPrinter& Impresora) const;

    // Called with the preview window once it is on screen (tests drive the modal window from here).
    std::function<void(TVistaPrevia&)> AlAbrirVistaPrevia;
    // Buttons of the program added to the preview, when set before it opens.
    std::vector<TAccionVista> AccionesVista;

private:
    TAreaPreparada preparaArea(const TAreaTexto& Area, const QPointF& Origen,
                               const TContextoEvaluacion& Ctx) const;
    std::vector<TPaginaPreparada> preparaPasada(int nTotalPaginas) const;

    std::vector<TPaginaPlantilla> F_Paginas;
    TListaVariables F_Variables;
    TConfigReporte F_Config;
    QString F_sFileName;
    TObjTextoRico* F_TextoRico = nullptr;
    TExportaPDF* F_ExportaPDF = nullptr;
    std::vector<TPaginaPreparada> F_Preparadas;
    int F_nReportes = 0;
};
