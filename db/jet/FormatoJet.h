#pragma once

#include <cstddef>
#include <cstdint>

// Layout of the Jet 3 (Access 97) and Jet 4 (Access 2000/2003) .mdb formats as the reader
// uses it. The writer (tools/mdbgen) keeps its own copy of the layout on purpose: the files it
// writes are read back by this reader and by independent ones, so a mistake in either copy
// shows instead of being shared. All integers in the file are little-endian. A "pg_row"
// pointer is one u32: (page << 8) | row.
namespace jet {

// ---- Page 0 (database header) -------------------------------------------------------------
constexpr int kOffFirma = 0x04; // "Standard Jet DB"
constexpr char kFirmaJet[] = "Standard Jet DB";
constexpr char kFirmaAce[] = "Standard ACE DB"; // Access 2007 and later: not read here
constexpr int kLongFirma = 15;
constexpr int kOffVersion = 0x14;       // 0 = Jet 3, 1 = Jet 4, 2.. = ACE
constexpr int kOffBloqueCifrado = 0x18; // RC4-obfuscated block (126 bytes Jet 3, 128 Jet 4)
constexpr uint8_t kClaveEncabezado[4] = {0xC7, 0xDA, 0x39, 0x6B};
// Offsets below are file offsets inside the block, valid after it has been decoded.
constexpr int kOffCodigoPagina = 0x3C;  // code page of Jet 3 text (1252)
constexpr int kOffClaveBD = 0x3E;       // page-encryption key; 0 = pages in clear
constexpr int kOffContrasena = 0x42;    // database password (masked)
constexpr int kOffOrdenJet3 = 0x3A;     // sort order (LCID), Jet 3
constexpr int kOffOrdenJet4 = 0x6E;     // sort order (LCID), Jet 4
constexpr int kOffFechaCreacion = 0x72; // f64 day number; Jet 4 only (zero in Jet 3)

constexpr uint8_t kVersionJet3 = 0;
constexpr uint8_t kVersionJet4 = 1;

// ---- Page types (byte 0 of every page) ----------------------------------------------------
constexpr uint8_t kPagEncabezado = 0x00;
constexpr uint8_t kPagDatos = 0x01;    // data rows, LVAL rows and usage-map rows
constexpr uint8_t kPagDefTabla = 0x02; // table definition (TDEF)
constexpr uint8_t kPagIndiceNodo = 0x03;
constexpr uint8_t kPagIndiceHoja = 0x04;
constexpr uint8_t kPagMapaUso = 0x05; // bitmap page of a reference usage map

constexpr uint32_t kPaginaCatalogo = 2;                 // MSysObjects' TDEF is always on page 2
constexpr uint8_t kDuenoLval[4] = {'L', 'V', 'A', 'L'}; // owner field of long-value pages

// ---- Column type codes --------------------------------------------------------------------
enum class TTipoColumna : uint8_t
{
    Booleano = 0x01,  // stored as the null-mask bit
    Byte = 0x02,      // u8
    Entero = 0x03,    // Integer, i16
    Largo = 0x04,     // Long, i32
    Moneda = 0x05,    // Currency, i64 ten-thousandths
    Simple = 0x06,    // Single, f32
    Doble = 0x07,     // Double, f64
    FechaHora = 0x08, // f64 days since 1899-12-30
    Binario = 0x09,   // var, raw bytes
    Texto = 0x0A,     // var (or fixed), Jet 4 UCS-2 (maybe compressed), Jet 3 code page
    Ole = 0x0B,       // long value, raw bytes
    Memo = 0x0C,      // long value, text
    Guid = 0x0F,      // 16 bytes, Windows GUID byte order
    Numerico = 0x10,  // 17 bytes: sign byte, 4 x u32 magnitude (most significant word first)
};
// Any other code (system-only types such as 0x11) is read as raw bytes.

// Fixed storage size of a type, or 0 for variable-length and long-value types.
constexpr int TamanoFijo(TTipoColumna t)
{
    switch (t) {
    case TTipoColumna::Byte:
        return 1;
    case TTipoColumna::Entero:
        return 2;
    case TTipoColumna::Largo:
        return 4;
    case TTipoColumna::Moneda:
        return 8;
    case TTipoColumna::Simple:
        return 4;
    case TTipoColumna::Doble:
        return 8;
    case TTipoColumna::FechaHora:
        return 8;
    case TTipoColumna::Guid:
        return 16;
    case TTipoColumna::Numerico:
        return 17;
    default:
        return 0;
    }
}

// Column flags (descriptor byte "flags")
constexpr uint8_t kColFija = 0x01; // fixed-length column
constexpr uint8_t kColActualizable = 0x02;
constexpr uint8_t kColAutoLargo = 0x04; // Long AutoNumber
constexpr uint8_t kColSistema = 0x10;
constexpr uint8_t kColAutoGuid = 0x40;     // GUID AutoNumber
constexpr uint8_t kColHipervinculo = 0x80; // Memo holding a hyperlink
// Jet 4 extra flags byte
constexpr uint8_t kColExtCompresion = 0x01; // Unicode compression allowed

// ---- Data pages ---------------------------------------------------------------------------
// Row-offset table entries: low 13 bits = row start; the two top bits are flags.
constexpr uint16_t kMascaraOffsetFila = 0x1FFF;
constexpr uint16_t kFilaDesbordada = 0x4000; // the row holds a pg_row to the real row
constexpr uint16_t kFilaBorrada = 0x8000;    // deleted (also marks overflow targets)

// ---- Long values (Memo/OLE) ---------------------------------------------------------------
// A 12-byte header in the row: u32 length | kind, u32 pg_row, u32 0.
constexpr int kTamEncabezadoLval = 12;
constexpr uint32_t kLvalEnLinea = 0x80000000;     // data follows the header in the row
constexpr uint32_t kLvalUnaFila = 0x40000000;     // pg_row points at one row holding all data
constexpr uint32_t kLvalTipoMascara = 0xC0000000; // 0 = chain of rows: u32 next pg_row + chunk
constexpr uint32_t kLvalLongitudMascara = 0x3FFFFFFF;

// ---- Usage maps ---------------------------------------------------------------------------
constexpr uint8_t kMapaEnLinea = 0x00;    // u32 start page + bitmap
constexpr uint8_t kMapaReferencia = 0x01; // u32 pointers to type-0x05 bitmap pages
constexpr int kEncabezadoPaginaMapa = 4;  // 05 01 00 00, then the bitmap

// ---- Catalog (MSysObjects) ----------------------------------------------------------------
constexpr int kObjetoTabla = 1;                   // Type & 0x7F
constexpr uint32_t kBanderasSistema = 0x80000002; // Flags bits that mark a system object
constexpr uint32_t kMascaraIdObjeto = 0x00FFFFFF; // Id & mask = TDEF page of a table

// Offsets and sizes that differ between the two versions.
struct TFormatoJet
{
    int nVersion; // 3 or 4
    int nTamPagina;
    int nLongBloqueCifrado; // header bytes XORed with the RC4 stream of kClaveEncabezado
    int nLongContrasena;    // bytes at kOffContrasena
    int nOffOrden;          // sort order in the header

    // Data page header
    int nOffNumFilas;   // u16 row count
    int nOffTablaFilas; // u16 row offsets

    // TDEF (counted from the start of the concatenated definition)
    int nOffLongTdef;       // u32 definition length
    int nOffFilasTabla;     // u32 row count
    int nOffAutonumero;     // u32 last AutoNumber
    int nOffTipoTabla;      // u8 0x4E user / 0x53 system
    int nOffMaxColumnas;    // u16
    int nOffNumColsVar;     // u16
    int nOffNumColumnas;    // u16
    int nOffNumIndicesLog;  // u32
    int nOffNumIndicesReal; // u32
    int nOffMapaUsadas;     // pg_row of the used-pages map
    int nOffMapaLibres;     // pg_row of the free-space map
    int nOffIndicesReales;  // first real-index entry, then the column descriptors
    int nTamIndiceRealTdef; // bytes per real index before the descriptors

    // Column descriptor
    int nTamDescColumna;
    int nDescNumero;      // u16 column number (null-mask bit)
    int nDescIndiceVar;   // u16 var-table index
    int nDescPrecision;   // u8 (Numeric); Jet 3 Text: u16 code page here
    int nDescEscala;      // u8 (Numeric)
    int nDescBanderas;    // u8
    int nDescBanderasExt; // u8, Jet 4 only (-1 in Jet 3)
    int nDescOffsetFijo;  // u16
    int nDescLongitud;    // u16

    int nTamLongNombre;   // column and index names: u8 (Jet 3) or u16 (Jet 4) length prefix
    int nTamIndiceReal;   // real-index block after the names
    int nTamIndiceLogico; // logical-index block

    // Rows
    int nTamNumColsFila; // u8 (Jet 3) / u16 (Jet 4) column count at the row start
    int nTamOffsetVar;   // u8 (Jet 3) / u16 (Jet 4) var-table entries
};

constexpr TFormatoJet kFormatoJet3{
    .nVersion = 3,
    .nTamPagina = 2048,
    .nLongBloqueCifrado = 126,
    .nLongContrasena = 20,
    .nOffOrden = kOffOrdenJet3,
    .nOffNumFilas = 8,
    .nOffTablaFilas = 10,
    .nOffLongTdef = 0x08,
    .nOffFilasTabla = 0x0C,
    .nOffAutonumero = 0x10,
    .nOffTipoTabla = 0x14,
    .nOffMaxColumnas = 0x15,
    .nOffNumColsVar = 0x17,
    .nOffNumColumnas = 0x19,
    .nOffNumIndicesLog = 0x1B,
    .nOffNumIndicesReal = 0x1F,
    .nOffMapaUsadas = 0x23,
    .nOffMapaLibres = 0x27,
    .nOffIndicesReales = 0x2B,
    .nTamIndiceRealTdef = 8,
    .nTamDescColumna = 18,
    .nDescNumero = 1,
    .nDescIndiceVar = 3,
    .nDescPrecision = 11,
    .nDescEscala = 12,
    .nDescBanderas = 13,
    .nDescBanderasExt = -1,
    .nDescOffsetFijo = 14,
    .nDescLongitud = 16,
    .nTamLongNombre = 1,
    .nTamIndiceReal = 39,
    .nTamIndiceLogico = 20,
    .nTamNumColsFila = 1,
    .nTamOffsetVar = 1,
};

constexpr TFormatoJet kFormatoJet4{
    .nVersion = 4,
    .nTamPagina = 4096,
    .nLongBloqueCifrado = 128,
    .nLongContrasena = 40,
    .nOffOrden = kOffOrdenJet4,
    .nOffNumFilas = 12,
    .nOffTablaFilas = 14,
    .nOffLongTdef = 0x08,
    .nOffFilasTabla = 0x10,
    .nOffAutonumero = 0x14,
    .nOffTipoTabla = 0x28,
    .nOffMaxColumnas = 0x29,
    .nOffNumColsVar = 0x2B,
    .nOffNumColumnas = 0x2D,
    .nOffNumIndicesLog = 0x2F,
    .nOffNumIndicesReal = 0x33,
    .nOffMapaUsadas = 0x37,
    .nOffMapaLibres = 0x3B,
    .nOffIndicesReales = 0x3F,
    .nTamIndiceRealTdef = 12,
    .nTamDescColumna = 25,
    .nDescNumero = 5,
    .nDescIndiceVar = 7,
    .nDescPrecision = 11,
    .nDescEscala = 12,
    .nDescBanderas = 15,
    .nDescBanderasExt = 16,
    .nDescOffsetFijo = 21,
    .nDescLongitud = 23,
    .nTamLongNombre = 2,
    .nTamIndiceReal = 52,
    .nTamIndiceLogico = 28,
    .nTamNumColsFila = 2,
    .nTamOffsetVar = 2,
};

constexpr int kTamPaginaJet3 = kFormatoJet3.nTamPagina;
constexpr int kTamPaginaJet4 = kFormatoJet4.nTamPagina;

// RC4 applied in place (encoding and decoding are the same XOR). Used for the header block
// (key kClaveEncabezado) and for encrypted pages (key = u32 LE of db_key XOR page number).
void Rc4(const uint8_t* pClave, size_t nLongClave, uint8_t* pDatos, size_t nLong);

} // namespace jet
