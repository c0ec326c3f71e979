#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

// Writer of Access 2000-2003 (Jet 4) database files, for fixtures, sample host databases and
// benchmarks. Tables carry no indexes; every column type a host table uses is supported.
//
//   TEscritorMdb Escritor({.sPassword = "secreto"});
//   int nTabla = Escritor.AgregaTabla({"tDivisas", {{"NumeroDivisa", TTipoColumnaMdb::EnteroLargo},
//                                                 {"Simbolo", TTipoColumnaMdb::Texto, 3}}});
//   Escritor.AgregaFila(nTabla, {1, QStringLiteral("USD")});
//   if (!Escritor.Guarda("/tmp/x.mdb")) qWarning() << Escritor.Error();
//
// Rows are encoded as they are added (pages are laid out once, by Guarda), so a million rows
// cost about a hundred bytes each in memory.

// The values are the type codes stored in the table definition.
enum class TTipoColumnaMdb : std::uint8_t
{
    SiNo = 0x01,        // Yes/No; bool. Never NULL: a NULL is stored as false
    Byte = 0x02,        // 0..255
    Entero = 0x03,      // Integer, 16 bits
    EnteroLargo = 0x04, // Long, 32 bits
    Moneda = 0x05,      // Currency: double, integer (whole units) or exact decimal text "12.3456"
    Simple = 0x06,      // Single
    Doble = 0x07,       // Double
    FechaHora = 0x08,   // Date/Time: QDateTime, QDate, or the day number as double
    Binario = 0x09,     // Binary: QByteArray of at most nLongitud bytes
    Texto = 0x0A,       // Text: at most nLongitud characters (1..255)
    Ole = 0x0B,         // OLE Object: QByteArray of any size
    Memo = 0x0C,        // Memo: text of any size
    Guid = 0x0F,        // Replication ID: QUuid or "{...}" text
    Numerico = 0x10,    // Decimal: exact decimal text, integer or double, nPrecision / nEscala
};

struct TColumnaMdb
{
    QString sNombre;
    TTipoColumnaMdb Tipo = TTipoColumnaMdb::Texto;
    int nLongitud = 0;       // Text: characters (0 = 255); Binary: bytes (0 = 510)
    int nPrecision = 18;     // Numeric only, 1..28
    int nEscala = 0;         // Numeric only, 0..nPrecision
    bool bCompresion = true; // Text/Memo: "Unicode compression" property
};

struct TDefinicionTabla
{
    QString sNombre;
    std::vector<TColumnaMdb> Columnas;
};

struct TOpcionesMdb
{
    QString sPassword; // database password, at most 20 characters
    QDateTime dtCreacion = QDateTime(QDate(2019, 1, 2), QTime(9, 30)); // stored as local wall time
    std::uint32_t nClavePaginas =
        0; // non-zero: every page after the header is RC4-encrypted ("Encrypt Database")
};

// Day number of Access dates (days since 1899-12-30, time of day as the fraction; before that
// day the whole part is negative and the time still counts forward).
double DiaAccess(const QDateTime& dt);

class TEscritorMdb
{
public:
    explicit TEscritorMdb(TOpcionesMdb Opciones = {});
    ~TEscritorMdb();
    TEscritorMdb(const TEscritorMdb&) = delete;
    TEscritorMdb& operator=(const TEscritorMdb&) = delete;

    // Adds a table and returns its number, or -1 (see Error()) for a bad definition.
    int AgregaTabla(const TDefinicionTabla& Tabla);
    // Adds one row: one value per column in definition order, or fewer (the rest are NULL).
    // An invalid or null QVariant is NULL. False (see Error()) when a value does not fit its column.
    bool AgregaFila(int nTabla, const QVariantList& Valores);
    int NumFilas(int nTabla) const;
    int NumTablas() const { return int(F_Tablas.size()); }

    // Lays out and writes the whole file. Can be called again after adding more rows.
    bool Guarda(const QString& sRuta);
    QByteArray DameBytes(); // the same file in memory; empty on error
    QString Error() const { return F_sError; }

    struct TTabla;

private:
    bool construye(QByteArray* pDestino, const QString& sRuta);
    bool falla(const QString& sError);

    TOpcionesMdb F_Opciones;
    std::vector<std::unique_ptr<TTabla>> F_Tablas;
    QString F_sError;
};
