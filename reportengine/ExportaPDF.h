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
    // Folder of the proposed files (the program's folder); empty means the current folder.
    QString sCarpeta;
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
    bool bSoloDatos = false;         // not used: the engine always writes the whole page
    bool bOptimizaImpresion = false; // not used
    bool bEsquema = false;           // not used: no outline is written
    bool bFondo = false;             // paint the white page background
    bool bEtiquetasHtml = true;      // not used: the texts are rich text already
    // Viewer preferences written into the file when set.
    bool bOcultaBarraHerramientas = false;
    bool bOcultaMenu = false;
    bool bOcultaControlesVentana = false;
    bool bAjustaVentana = false;
    bool bCentraVentana = false;
    bool bSinEscalaImpresion = false;

    // Options dialog: may change the document's title, subject and author; true to go on.
    // Empty means the real dialog.
    std::function<bool(TExportaPDF&, QWidget*)> DialogoOpciones;
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
    // The quick export of the preview: options dialog, save dialog, then Exporta. The path
    // written goes to sEscrito when given.
    bool ExportaInteractivo(const TReporte& Reporte, QWidget* Padre, QString* sEscrito = nullptr);

    // One place for everything the report writes: the PDF as sNombreArchivo in sCarpeta (the
    // save dialog and the print dialog's file both propose it), and the detail files in a folder
    // beside it named after it.
    QString ArchivoPropuesto() const;
    QString CarpetaDetallePropuesta() const;
};
