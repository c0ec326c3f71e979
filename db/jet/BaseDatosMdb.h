#pragma once

#include "db/jet/FormatoJet.h"
#include "db/jet/ValorJet.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Read-only reader of Access .mdb files (Jet 3 and Jet 4).
//
//   QString sError;
//   auto pBD = jet::TBaseDatosMdb::Abre(sRuta, &sError);     // nullptr + Spanish message on failure
//   if (pBD->Contrasena() != sContrasenaDeLaConexion) ...     // the engine checks the password
//   auto pLector = pBD->AbreTabla("tMovtos", &sError);        // name compared ignoring case
//   for (const jet::TColumna& c : pLector->Columnas()) ...
//   std::vector<jet::TValor> Fila;
//   while (pLector->Siguiente(Fila)) ...                      // one value per column, in Columnas() order
//   if (!pLector->Error().isEmpty()) ...                      // false with a message = damaged file
//
// The file is opened read-only and unbuffered, never written, locked or truncated, and no lock
// file is created. Every offset and length taken from the file is checked against the page and
// the file; a damaged or foreign file gives a Spanish message, never a crash. A database and the
// readers it opened share one file handle and page cache: use them from one thread. A reader
// keeps the file open for as long as it lives, even after the database object is gone.
namespace jet {

namespace detalle {
class TArchivoJet;
} // namespace detalle

// A column as the table definition declares it.
struct TColumna
{
    QString sNombre;
    TTipoColumna Tipo = TTipoColumna::Texto;
    int nNumero = 0;       // column number in the file (null-mask bit); gaps remain after deletions
    int nIndiceVar = -1;   // variable columns: index in the row's var-offset table; else -1
    int nOffsetFijo = -1;  // fixed columns: offset in the row's fixed area; else -1
    int nLongitud = 0;     // declared size in bytes (Jet 4 Text: 2 per character; 0 for Memo/OLE/Boolean)
    int nPrecision = 0;    // Numeric
    int nEscala = 0;       // Numeric
    int nCodigoPagina = 0; // Jet 3 Text/Memo: the column's code page (0 = the database's)
    uint8_t nBanderas = 0; // kColFija, kColAutoLargo, kColAutoGuid, kColHipervinculo, ...
    bool bFija = false;    // stored in the fixed area (Boolean: in the null mask)
    bool bAutonumerico = false;
    bool bCompresionUnicode = false; // Jet 4 Text/Memo
};

// Name of a type as Access shows it ("Texto", "Memo", "Número (Entero largo)", ...).
QString NombreTipo(TTipoColumna Tipo);

// Definition of a table (from its TDEF pages).
struct TDefinicionTabla
{
    QString sNombre;                // as the catalog spells it
    uint32_t nPaginaDefinicion = 0; // first TDEF page
    bool bSistema = false;          // table type 0x53
    int64_t nFilas = 0;             // row count the definition declares (informative)
    int nColumnasVariables = 0;
    int nMaxColumnas = 0;
    int nIndicesReales = 0;
    int nIndicesLogicos = 0;
    std::vector<TColumna> Columnas; // by column number
};

// Fetches the rows of one table in physical order (data pages in usage-map order, rows in page
// order), skipping deleted rows and following overflow rows.
class TLectorFilas
{
public:
    ~TLectorFilas();
    TLectorFilas(const TLectorFilas&) = delete;
    TLectorFilas& operator=(const TLectorFilas&) = delete;

    const TDefinicionTabla& Definicion() const;
    const std::vector<TColumna>& Columnas() const { return Definicion().Columnas; }

    // Puts the next row into Fila (resized to Columnas().size(); values are reused, so passing
    // the same vector each time is fastest). Returns false at the end of the table or on an
    // error; after an error Error() holds the message and every further call returns false.
    bool Siguiente(std::vector<TValor>& Fila);
    const QString& Error() const { return F_sError; }

    // Decodes only the columns marked true (by position in Columnas()); the others come back
    // NULL (Boolean: false) without being read. All columns are decoded until this is called.
    void SeleccionaColumnas(const std::vector<bool>& Usadas);

    // Starts again from the first row.
    void Reinicia();

private:
    friend class TBaseDatosMdb;
    struct TImpl;
    explicit TLectorFilas(std::unique_ptr<TImpl> pImpl);
    std::unique_ptr<TImpl> F_pImpl;
    QString F_sError;
};

class TBaseDatosMdb
{
public:
    // Opens a file read-only and reads its header and catalog. On failure returns nullptr and,
    // when sError is given, a Spanish message.
    static std::unique_ptr<TBaseDatosMdb> Abre(const QString& sRuta, QString* sError = nullptr);
    // The same over the bytes of a file already in memory (tests, fuzzing).
    static std::unique_ptr<TBaseDatosMdb> AbreMemoria(const QByteArray& Datos, QString* sError = nullptr);
    ~TBaseDatosMdb();

    int VersionJet() const; // 3 or 4
    const TFormatoJet& Formato() const;
    int CodigoPagina() const;       // header code page (the one of Jet 3 text)
    int OrdenClasificacion() const; // sort order LCID (0x0409 = General)
    double FechaCreacion() const;   // Jet day number; 0 in Jet 3 files
    uint32_t ClaveCifrado() const;  // db_key: 0 = pages stored in clear, else pages are RC4-encrypted
    // Database password decoded by the Jet 3 or Jet 4 rule; empty = none. The engine compares it
    // (case-sensitively) with the one of the connection string.
    const QString& Contrasena() const;

    // User tables (catalog objects of type table without the system flags), in catalog order.
    QStringList Tablas() const;
    // Every table of the catalog, system tables (MSys...) included.
    QStringList TodasLasTablas() const;

    // Reads the definition of a table, name compared ignoring case. False + message if the table
    // is missing or its definition is damaged.
    bool DefinicionTabla(const QString& sNombre, TDefinicionTabla& Def, QString* sError = nullptr) const;
    // Opens a table for reading its rows (user or system table, name ignoring case); nullptr +
    // message on failure.
    std::unique_ptr<TLectorFilas> AbreTabla(const QString& sNombre, QString* sError = nullptr) const;

private:
    struct TImpl;
    explicit TBaseDatosMdb(std::unique_ptr<TImpl> pImpl);
    static std::unique_ptr<TBaseDatosMdb>
    AbreCon(const std::function<std::shared_ptr<detalle::TArchivoJet>()>& Abre, QString* sError);
    std::unique_ptr<TImpl> F_pImpl;
};

} // namespace jet
