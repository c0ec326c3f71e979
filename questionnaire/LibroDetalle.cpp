#include "questionnaire/LibroDetalle.h"

#include "common/Plataforma.h"
#include "common/Salidas.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <zlib.h>

#include <charconv>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Uncompressed XML gathered before each call to the compressor.
constexpr qsizetype kBloque = 64 * 1024;
// Longest text a cell holds.
constexpr qsizetype kMaxTexto = 32767;

// Column letters of a cell reference: 0 -> A, 25 -> Z, 26 -> AA.
void columna(QByteArray& b, int n)
{
    char s[4];
    int i = 4;
    do {
        s[--i] = char('A' + n % 26);
        n = n / 26 - 1;
    } while (n >= 0 && i > 0);
    b.append(s + i, 4 - i);
}

void entero(QByteArray& b, qint64 n)
{
    char s[24];
    const auto r = std::to_chars(s, s + sizeof s, n);
    b.append(s, r.ptr - s);
}

// XML text: markup characters escaped; characters XML cannot hold (controls other than tab,
// line feed and carriage return, a NUL among them, and lone surrogates) become U+FFFD, as in
// the CSV files.
void texto(QByteArray& b, QString s)
{
    if (s.size() > kMaxTexto)
        s.truncate(kMaxTexto);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        const bool bControl = c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D;
        const bool bSuelto =
            QChar::isSurrogate(c) &&
            !(QChar::isHighSurrogate(c) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode())) &&
            !(QChar::isLowSurrogate(c) && i > 0 && QChar::isHighSurrogate(s[i - 1].unicode()));
        if (bControl || bSuelto || c == 0xFFFE || c == 0xFFFF)
            s[i] = QChar(0xFFFD);
    }
    const QByteArray u = s.toUtf8();
    qsizetype nDesde = 0;
    for (qsizetype i = 0; i < u.size(); ++i) {
        const char* pSustituto = nullptr;
        switch (u[i]) {
        case '&':
            pSustituto = "&amp;";
            break;
        case '<':
            pSustituto = "&lt;";
            break;
        case '>':
            pSustituto = "&gt;";
            break;
        case '"':
            pSustituto = "&quot;";
            break;
        default:
            continue;
        }
        b.append(u.constData() + nDesde, i - nDesde);
        b.append(pSustituto);
        nDesde = i + 1;
    }
    b.append(u.constData() + nDesde, u.size() - nDesde);
}

// Day number of the spreadsheet's dates (days since 1899-12-30, the fraction the time of day).
double serialFecha(const QDateTime& f)
{
    const qint64 nDias = QDate(1899, 12, 30).daysTo(f.date());
    return double(nDias) + f.time().msecsSinceStartOfDay() / 86400000.0;
}

const char* const kCabezaHoja =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" "
    "activePane=\"bottomLeft\" "
    "state=\"frozen\"/><selection pane=\"bottomLeft\"/></sheetView></sheetViews>"
    "<sheetFormatPr defaultRowHeight=\"15\"/>";

// A compressed stream written to a work file: raw deflate, its CRC and both sizes, as a ZIP
// entry needs them.
class TFlujo
{
public:
    ~TFlujo()
    {
        if (F_bIniciado)
            deflateEnd(&F_z);
    }
    bool Abre(const QString& sRuta)
    {
        F_sRuta = sRuta;
        if (!F_Archivo.Crea(sRuta))
            return false;
        F_bIniciado = deflateInit2(&F_z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        return F_bIniciado;
    }
    QByteArray& Bufer() { return F_Xml; }
    // Compresses what the buffer holds when it is full enough (always with bFin).
    bool Vacia(bool bFin = false)
    {
        if (!bFin && F_Xml.size() < kBloque)
            return true;
        F_nCrc = crc32(F_nCrc, reinterpret_cast<const Bytef*>(F_Xml.constData()), uInt(F_Xml.size()));
        F_nSinComprimir += F_Xml.size();
        F_z.next_in = reinterpret_cast<Bytef*>(F_Xml.data());
        F_z.avail_in = uInt(F_Xml.size());
        F_Comprimido.resize(kBloque);
        int r;
        do {
            F_z.next_out = reinterpret_cast<Bytef*>(F_Comprimido.data());
            F_z.avail_out = uInt(F_Comprimido.size());
            r = deflate(&F_z, bFin ? Z_FINISH : Z_NO_FLUSH);
            if (r == Z_STREAM_ERROR)
                return false;
            const qint64 n = qint64(F_Comprimido.size()) - F_z.avail_out;
            if (n > 0 && !F_Archivo.Escribe(F_Comprimido.constData(), n))
                return false;
            F_nComprimido += n;
        } while (F_z.avail_out == 0 || (bFin && r != Z_STREAM_END));
        F_Xml.resize(0);
        return true;
    }
    bool Termina() { return Vacia(true) && F_Archivo.Cierra(); }
    int Error() const { return F_Archivo.Error(); }

    QString F_sRuta;
    quint32 F_nCrc = 0;
    qint64 F_nSinComprimir = 0;
    qint64 F_nComprimido = 0;

private:
    Plataforma::TArchivoNuevo F_Archivo;
    z_stream F_z{};
    bool F_bIniciado = false;
    QByteArray F_Xml;
    QByteArray F_Comprimido;
};

// One file of the ZIP archive.
struct TEntrada
{
    QByteArray Nombre;
    quint32 nCrc = 0;
    qint64 nComprimido = 0;
    qint64 nSinComprimir = 0;
    qint64 nPosicion = 0;
};

void le16(QByteArray& b, quint32 n)
{
    b.append(char(n & 0xFF)).append(char((n >> 8) & 0xFF));
}
void le32(QByteArray& b, quint32 n)
{
    le16(b, n & 0xFFFF);
    le16(b, n >> 16);
}
void le64(QByteArray& b, quint64 n)
{
    le32(b, quint32(n & 0xFFFFFFFFu));
    le32(b, quint32(n >> 32));
}

constexpr qint64 kMax32 = 0xFFFFFFFFLL;

// The ZIP archive written through a file of the program's write path; ZIP64 fields where a size
// or a position does not fit in 32 bits.
class TZip
{
public:
    explicit TZip(TArchivoSalida& Salida) : F_Salida(Salida)
    {
        const QDateTime Ahora = QDateTime::currentDateTime();
        F_nHora =
            quint16((Ahora.time().hour() << 11) | (Ahora.time().minute() << 5) | (Ahora.time().second() / 2));
        F_nFecha =
            quint16(((Ahora.date().year() - 1980) << 9) | (Ahora.date().month() << 5) | Ahora.date().day());
    }

    // An entry from memory, compressed here.
    bool Agrega(const QByteArray& Nombre, const QByteArray& Datos)
    {
        TEntrada e{Nombre,
                   quint32(crc32(0, reinterpret_cast<const Bytef*>(Datos.constData()), uInt(Datos.size()))),
                   0, Datos.size(), 0};
        QByteArray Comprimido(int(compressBound(uLong(Datos.size()))) + 16, Qt::Uninitialized);
        z_stream z{};
        deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Datos.constData()));
        z.avail_in = uInt(Datos.size());
        z.next_out = reinterpret_cast<Bytef*>(Comprimido.data());
        z.avail_out = uInt(Comprimido.size());
        const int r = deflate(&z, Z_FINISH);
        deflateEnd(&z);
        if (r != Z_STREAM_END)
            return false;
        Comprimido.truncate(qsizetype(z.total_out));
        e.nComprimido = Comprimido.size();
        return cabeza(e) && F_Salida.Escribe(Comprimido) && avanza(e.nComprimido);
    }

    // An entry already compressed in a work file.
    bool AgregaFlujo(const QByteArray& Nombre, const TFlujo& f)
    {
        TEntrada e{Nombre, f.F_nCrc, f.F_nComprimido, f.F_nSinComprimir, 0};
        if (!cabeza(e))
            return false;
        QFile Origen(f.F_sRuta);
        if (!Origen.open(QIODevice::ReadOnly))
            return false;
        QByteArray Bloque(1 << 20, Qt::Uninitialized);
        qint64 nCopiado = 0;
        for (;;) {
            const qint64 n = Origen.read(Bloque.data(), Bloque.size());
            if (n < 0)
                return false;
            if (n == 0)
                break;
            if (!F_Salida.Escribe(QByteArrayView(Bloque.constData(), n)))
                return false;
            nCopiado += n;
        }
        return nCopiado == e.nComprimido && avanza(nCopiado);
    }

    bool Termina()
    {
        QByteArray b;
        const qint64 nInicio = F_nPosicion;
        for (const TEntrada& e : F_Entradas) {
            const bool b64 = e.nComprimido >= kMax32 || e.nSinComprimir >= kMax32 || e.nPosicion >= kMax32;
            le32(b, 0x02014b50);
            le16(b, b64 ? 45 : 20);
            le16(b, b64 ? 45 : 20);
            le16(b, 0);
            le16(b, 8);
            le16(b, F_nHora);
            le16(b, F_nFecha);
            le32(b, e.nCrc);
            le32(b, b64 ? quint32(kMax32) : quint32(e.nComprimido));
            le32(b, b64 ? quint32(kMax32) : quint32(e.nSinComprimir));
            le16(b, quint32(e.Nombre.size()));
            le16(b, b64 ? 28 : 0);
            le16(b, 0);
            le16(b, 0);
            le16(b, 0);
            le32(b, 0);
            le32(b, b64 ? quint32(kMax32) : quint32(e.nPosicion));
            b += e.Nombre;
            if (b64) {
                le16(b, 0x0001);
                le16(b, 24);
                le64(b, quint64(e.nSinComprimir));
                le64(b, quint64(e.nComprimido));
                le64(b, quint64(e.nPosicion));
            }
        }
        const qint64 nDirectorio = b.size();
        const bool b64 = nInicio >= kMax32 || F_Entradas.size() >= 0xFFFF;
        if (b64) {
            const qint64 nFin64 = nInicio + nDirectorio;
            le32(b, 0x06064b50);
            le64(b, 44);
            le16(b, 45);
            le16(b, 45);
            le32(b, 0);
            le32(b, 0);
            le64(b, quint64(F_Entradas.size()));
            le64(b, quint64(F_Entradas.size()));
            le64(b, quint64(nDirectorio));
            le64(b, quint64(nInicio));
            le32(b, 0x07064b50);
            le32(b, 0);
            le64(b, quint64(nFin64));
            le32(b, 1);
        }
        le32(b, 0x06054b50);
        le16(b, 0);
        le16(b, 0);
        le16(b, b64 ? 0xFFFF : quint32(F_Entradas.size()));
        le16(b, b64 ? 0xFFFF : quint32(F_Entradas.size()));
        le32(b, b64 ? quint32(kMax32) : quint32(nDirectorio));
        le32(b, b64 ? quint32(kMax32) : quint32(nInicio));
        le16(b, 0);
        return F_Salida.Escribe(b);
    }

private:
    bool cabeza(TEntrada& e)
    {
        e.nPosicion = F_nPosicion;
        const bool b64 = e.nComprimido >= kMax32 || e.nSinComprimir >= kMax32;
        QByteArray b;
        le32(b, 0x04034b50);
        le16(b, b64 ? 45 : 20);
        le16(b, 0);
        le16(b, 8);
        le16(b, F_nHora);
        le16(b, F_nFecha);
        le32(b, e.nCrc);
        le32(b, b64 ? quint32(kMax32) : quint32(e.nComprimido));
        le32(b, b64 ? quint32(kMax32) : quint32(e.nSinComprimir));
        le16(b, quint32(e.Nombre.size()));
        le16(b, b64 ? 20 : 0);
        b += e.Nombre;
        if (b64) {
            le16(b, 0x0001);
            le16(b, 16);
            le64(b, quint64(e.nSinComprimir));
            le64(b, quint64(e.nComprimido));
        }
        F_Entradas.append(e);
        return F_Salida.Escribe(b) && avanza(b.size());
    }
    bool avanza(qint64 n)
    {
        F_nPosicion += n;
        return true;
    }

    TArchivoSalida& F_Salida;
    QList<TEntrada> F_Entradas;
    qint64 F_nPosicion = 0;
    quint16 F_nHora = 0;
    quint16 F_nFecha = 0;
};

} // namespace

struct TLibroDetalle::TDatos
{
    struct THoja
    {
        QString sNombre;
        QStringList Columnas;
        std::unique_ptr<TFlujo> Flujo;
        qint64 nFila = 1; // rows written, the header included
        int nParte = 1;
        int nSigue = -1; // the sheet its rows go on in, once it is full
    };

    QString sTemporal;
    std::vector<THoja> Hojas;
    QString sError;
    // The last data row made, at its row number: sheets that share a statement get the same
    // rows at the same numbers, made once.
    QVariantList UltimaFila;
    qint64 nUltimaFila = 0;
    QByteArray UltimoXml;

    bool fallo(const THoja& h)
    {
        if (sError.isEmpty())
            sError =
                u"No se pudo escribir el libro de Excel: %1."_s.arg(Plataforma::TextoError(h.Flujo->Error()));
        return false;
    }

    bool fila(THoja& h, qint64 nFila, const QVariantList& Valores, bool bEncabezado)
    {
        if (!bEncabezado && nFila == nUltimaFila && Valores.constData() == UltimaFila.constData() &&
            !UltimaFila.isEmpty()) {
            h.Flujo->Bufer().append(UltimoXml);
            return h.Flujo->Vacia() || fallo(h);
        }
        QByteArray& b = h.Flujo->Bufer();
        const qsizetype nInicio = b.size();
        b.append("<row r=\"");
        entero(b, nFila);
        b.append("\">");
        for (int c = 0; c < Valores.size(); ++c) {
            const QVariant& v = Valores[c];
            const int nTipo = v.typeId();
            if (nTipo == QMetaType::UnknownType)
                continue;
            b.append("<c r=\"");
            columna(b, c);
            entero(b, nFila);
            b.append('"');
            if (bEncabezado)
                b.append(" s=\"1\"");
            switch (nTipo) {
            case QMetaType::Double:
            case QMetaType::Float: {
                char s[32];
                const auto r = std::to_chars(s, s + sizeof s, v.toDouble());
                b.append("><v>").append(s, r.ptr - s).append("</v></c>");
                break;
            }
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                b.append("><v>");
                entero(b, v.toLongLong());
                b.append("</v></c>");
                break;
            case QMetaType::QDateTime: {
                const QDateTime f = v.toDateTime();
                // The spreadsheet's day numbers are right from 1 March 1900 on; earlier dates
                // are written as text.
                if (f.date() >= QDate(1900, 3, 1)) {
                    char s[32];
                    const auto r = std::to_chars(s, s + sizeof s, serialFecha(f));
                    b.append(" s=\"2\"><v>").append(s, r.ptr - s).append("</v></c>");
                    break;
                }
                b.append(" t=\"inlineStr\"><is><t>");
                texto(b, f.toString(u"dd/MM/yyyy HH:mm:ss"_s));
                b.append("</t></is></c>");
                break;
            }
            case QMetaType::Bool:
                b.append(" t=\"inlineStr\"><is><t>").append(v.toBool() ? "SI" : "NO").append("</t></is></c>");
                break;
            default:
                b.append(" t=\"inlineStr\"><is><t xml:space=\"preserve\">");
                texto(b, v.toString());
                b.append("</t></is></c>");
            }
        }
        b.append("</row>");
        if (!bEncabezado) {
            UltimaFila = Valores;
            nUltimaFila = nFila;
            UltimoXml = b.mid(nInicio);
        }
        return h.Flujo->Vacia() || fallo(h);
    }

    int agrega(const QString& sNombre, const QStringList& Columnas, int nParte)
    {
        THoja h;
        h.sNombre = sNombre;
        h.Columnas = Columnas;
        h.nParte = nParte;
        h.Flujo = std::make_unique<TFlujo>();
        const QString sRuta = QDir(sTemporal).filePath(u".hoja%1.xml.z"_s.arg(Hojas.size() + 1));
        if (!h.Flujo->Abre(sRuta)) {
            fallo(h);
            return -1;
        }
        QByteArray& b = h.Flujo->Bufer();
        b.append(kCabezaHoja);
        if (!Columnas.isEmpty()) {
            b.append("<cols><col min=\"1\" max=\"");
            entero(b, Columnas.size());
            b.append("\" width=\"14.7109375\" customWidth=\"1\"/></cols>");
        }
        b.append("<sheetData>");
        QVariantList Encabezado;
        for (const QString& s : Columnas)
            Encabezado << s;
        if (!fila(h, 1, Encabezado, true))
            return -1;
        Hojas.push_back(std::move(h));
        return int(Hojas.size()) - 1;
    }
};

TLibroDetalle::TLibroDetalle() : F_Datos(std::make_unique<TDatos>()) {}

TLibroDetalle::~TLibroDetalle()
{
    for (const auto& h : F_Datos->Hojas)
        if (h.Flujo)
            Plataforma::Borra(h.Flujo->F_sRuta);
}

bool TLibroDetalle::Abre(const QString& sCarpetaTemporal, const QStringList& ColumnasIndice, QString& sError)
{
    F_Datos->sTemporal = sCarpetaTemporal;
    if (F_Datos->agrega(u"Indice"_s, ColumnasIndice, 1) != 0) {
        sError = F_Datos->sError;
        return false;
    }
    return true;
}

int TLibroDetalle::Hoja(const QString& sNombre, const QStringList& Columnas)
{
    return F_Datos->agrega(sNombre, Columnas, 1);
}

bool TLibroDetalle::Fila(int nHoja, const QVariantList& Valores)
{
    TDatos& d = *F_Datos;
    if (nHoja < 0 || nHoja >= int(d.Hojas.size()) || !d.sError.isEmpty())
        return false;
    int n = nHoja;
    while (d.Hojas[size_t(n)].nSigue >= 0)
        n = d.Hojas[size_t(n)].nSigue;
    if (d.Hojas[size_t(n)].nFila >= kFilasPorHoja) {
        const int nParte = d.Hojas[size_t(n)].nParte + 1;
        const int nNueva = d.agrega(u"%1 (%2)"_s.arg(d.Hojas[size_t(nHoja)].sNombre).arg(nParte),
                                    d.Hojas[size_t(nHoja)].Columnas, nParte);
        if (nNueva < 0)
            return false;
        d.Hojas[size_t(n)].nSigue = nNueva;
        n = nNueva;
    }
    TDatos::THoja& h = d.Hojas[size_t(n)];
    return d.fila(h, ++h.nFila, Valores, false);
}

bool TLibroDetalle::Cierra(TArchivoSalida& Salida, QString& sError)
{
    TDatos& d = *F_Datos;
    for (auto& h : d.Hojas) {
        h.Flujo->Bufer().append("</sheetData></worksheet>");
        if (!h.Flujo->Termina())
            d.fallo(h);
    }
    if (!d.sError.isEmpty()) {
        sError = d.sError;
        return false;
    }
    QByteArray Tipos =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";
    QByteArray Libro = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                       "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                       "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                       "<sheets>";
    QByteArray Relaciones =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (size_t i = 0; i < d.Hojas.size(); ++i) {
        QByteArray n;
        entero(n, qint64(i) + 1);
        Tipos +=
            "<Override PartName=\"/xl/worksheets/sheet" + n +
            ".xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        Libro += "<sheet name=\"";
        texto(Libro, d.Hojas[i].sNombre);
        Libro += "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        Relaciones +=
            "<Relationship Id=\"rId" + n +
            "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
            "Target=\"worksheets/sheet" +
            n + ".xml\"/>";
    }
    QByteArray nEstilos;
    entero(nEstilos, qint64(d.Hojas.size()) + 1);
    Tipos += "</Types>";
    Libro += "</sheets></workbook>";
    Relaciones += "<Relationship Id=\"rId" + nEstilos +
                  "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                  "Target=\"styles.xml\"/></Relationships>";
    const QByteArray Raiz =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"xl/workbook.xml\"/></Relationships>";
    const QByteArray Estilos =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\\ hh:mm:ss\"/></numFmts>"
        "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
        "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
        "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
        "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
        "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
        "borderId=\"0\"/></cellStyleXfs>"
        "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
        "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
        "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
        "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
        "builtinId=\"0\"/></cellStyles>"
        "</styleSheet>";

    TZip Zip(Salida);
    bool bBien = Zip.Agrega("[Content_Types].xml", Tipos) && Zip.Agrega("_rels/.rels", Raiz) &&
                 Zip.Agrega("xl/workbook.xml", Libro) &&
                 Zip.Agrega("xl/_rels/workbook.xml.rels", Relaciones) && Zip.Agrega("xl/styles.xml", Estilos);
    for (size_t i = 0; bBien && i < d.Hojas.size(); ++i) {
        QByteArray n;
        entero(n, qint64(i) + 1);
        bBien = Zip.AgregaFlujo("xl/worksheets/sheet" + n + ".xml", *d.Hojas[i].Flujo);
    }
    bBien = bBien && Zip.Termina();
    if (!bBien) {
        sError = Salida.Error().isEmpty() ? u"No se pudo escribir el libro de Excel %1."_s.arg(
                                                QDir::toNativeSeparators(Salida.Destino()))
                                          : Salida.Error();
        return false;
    }
    return true;
}
