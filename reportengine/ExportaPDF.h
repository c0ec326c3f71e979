#pragma once

#include <QString>

#include <functional>

class QWidget;
class TArchivoSalida;
class TReporte;

// PDF export beside a report: its settings, the options dialog, the save dialog and the writer.
// Pages are written as vector text with embedded fonts; the document information that the Qt
// writer cannot set (author, subject) is added afterwards with qpdf.
class TExportaPDF
{
public:
    QString sNombreArchivo; // proposed file name; the save dialog adds ".pdf"
    QString sTitulo;
    QString sAsunto;
    QString sAutor;
    bool bPermiteImprimir = true; // permissions apply only to an encrypted file
    bool bPermiteModificar = true;
    bool bPermiteCopiar = true;
    bool bPermiteAnotar = true;
    QString sClavePropietario; // no passwords: no encryption
    QString sClaveUsuario;
    bool bComprimido = true;
    bool bCacheTemporal = true; // the pages are made apart and reach the target only whole
    bool bMuestraProgreso = true;
    bool bPreguntaSobreescribir = false;
    bool bSoloDatos = false;         // shown only: the engine always writes the whole page
    bool bOptimizaImpresion = false; // shown only
    bool bEsquema = false;           // shown only: no outline is written
    bool bFondo = false;             // paint the white page background
    bool bEtiquetasHtml = true;      // shown only: the texts are rich text already
    // Viewer preferences written into the file when set.
    bool bOcultaBarraHerramientas = false;
    bool bOcultaMenu = false;
    bool bOcultaControlesVentana = false;
    bool bAjustaVentana = false;
    bool bCentraVentana = false;
    bool bSinEscalaImpresion = false;

    // Options dialog: true to go on. Empty means the real dialog.
    std::function<bool(const TExportaPDF&, QWidget*)> DialogoOpciones;
    // Save dialog: gets the proposed file name, gives the chosen path or an empty text to cancel.
    // Empty means the real file dialog.
    std::function<QString(const QString& sPropuesto, QWidget*)> DialogoGuardar;

    // Writes the prepared pages of Reporte to sArchivo through the program's one write path
    // (common/Salidas.h): the host's files and database folder are refused, and a failure leaves
    // an earlier file of that name as it was. A progress window when asked for and Padre is
    // given. A failure is told to the user; returns false.
    bool Exporta(const TReporte& Reporte, const QString& sArchivo, QWidget* Padre = nullptr) const;
    // The same, telling nobody: false and the message in sError (empty when the user cancelled).
    bool Exporta(const TReporte& Reporte, const QString& sArchivo, QWidget* Padre, QString& sError) const;
    // Writes the document into Salida, opened and not yet closed (a file of a set that is put in
    // place with the others); false and the message in sError (empty when the user cancelled).
    bool Escribe(const TReporte& Reporte, TArchivoSalida& Salida, QWidget* Padre, QString& sError) const;
    // The quick export of the preview: options dialog, save dialog, then Exporta.
    bool ExportaInteractivo(const TReporte& Reporte, QWidget* Padre);
};
