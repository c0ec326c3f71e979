#include "tools/mdbgen/EscritorMdb.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

namespace {

using TU128 = unsigned __int128;

// Page geometry and limits of Jet 4.
constexpr int kPagina = 4096;
constexpr int kCabeceraDatos = 14;    // data page header before the row offset table
constexpr int kMaxFilasPagina = 255;  // the row number of a page/row pointer is one byte
constexpr int kMaxFila = 4060;        // largest row Access writes on a data page
constexpr int kMaxMemoEnFila = 64;    // long values up to this size stay inside the row
constexpr int kMaxLvalUnaFila = 4076; // a long value up to this size takes one row of a long-value page
constexpr int kTrozoLval = 4072;      // chunk of a chained long value (after its 4-byte link)
constexpr int kFilaMapa = 69;         // usage map row: kind byte, 4 bytes, 64-byte bitmap
constexpr std::uint32_t kBitsPaginaMapa = (kPagina - 4) * 8; // pages covered by one bitmap page
constexpr int kEntradasMapaReferencia = 17;
constexpr std::uint32_t kNumeroMagico = 1625;   // constant Access stores in definitions and columns
constexpr std::uint16_t kOrdenGeneral = 0x0409; // "General" sort order

constexpr std::uint8_t kTablaUsuario = 0x4E;
constexpr std::uint8_t kTablaSistema = 0x53;

constexpr std::uint32_t kBanderaSistema = 0x80000002u;
constexpr std::uint32_t kIdContenedorTablas = 0x0F000001u;

inline void pon16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
inline void pon32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}
inline void pon64(std::uint8_t* p, std::uint64_t v)
{
    pon32(p, std::uint32_t(v));
    pon32(p + 4, std::uint32_t(v >> 32));
}
inline void ponDoble(std::uint8_t* p, double d)
{
    std::uint64_t v;
    std::memcpy(&v, &d, 8);
    pon64(p, v);
}

void rc4(const std::uint8_t* pClave, int nClave, std::uint8_t* pDatos, std::size_t nDatos)
{
    std::uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = std::uint8_t(i);
    std::uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = std::uint8_t(j + s[i] + pClave[i % nClave]);
        std::swap(s[i], s[j]);
    }
    std::uint8_t i = 0;
    j = 0;
    for (std::size_t k = 0; k < nDatos; ++k) {
        i = std::uint8_t(i + 1);
        j = std::uint8_t(j + s[i]);
        std::swap(s[i], s[j]);
        pDatos[k] ^= s[std::uint8_t(s[i] + s[j])];
    }
}

bool esLargo(TTipoColumnaMdb t)
{
    return t == TTipoColumnaMdb::Memo || t == TTipoColumnaMdb::Ole;
}

bool esVariable(TTipoColumnaMdb t)
{
    return t == TTipoColumnaMdb::Texto || t == TTipoColumnaMdb::Binario || esLargo(t);
}

int tamFijo(TTipoColumnaMdb t)
{
    switch (t) {
    case TTipoColumnaMdb::SiNo:
        return 0;
    case TTipoColumnaMdb::Byte:
        return 1;
    case TTipoColumnaMdb::Entero:
        return 2;
    case TTipoColumnaMdb::EnteroLargo:
        return 4;
    case TTipoColumnaMdb::Simple:
        return 4;
    case TTipoColumnaMdb::Moneda:
    case TTipoColumnaMdb::Doble:
    case TTipoColumnaMdb::FechaHora:
        return 8;
    case TTipoColumnaMdb::Guid:
        return 16;
    case TTipoColumnaMdb::Numerico:
        return 17;
    default:
        return 0;
    }
}

bool tipoConocido(TTipoColumnaMdb t)
{
    switch (t) {
    case TTipoColumnaMdb::SiNo:
    case TTipoColumnaMdb::Byte:
    case TTipoColumnaMdb::Entero:
    case TTipoColumnaMdb::EnteroLargo:
    case TTipoColumnaMdb::Moneda:
    case TTipoColumnaMdb::Simple:
    case TTipoColumnaMdb::Doble:
    case TTipoColumnaMdb::FechaHora:
    case TTipoColumnaMdb::Binario:
    case TTipoColumnaMdb::Texto:
    case TTipoColumnaMdb::Ole:
    case TTipoColumnaMdb::Memo:
    case TTipoColumnaMdb::Guid:
    case TTipoColumnaMdb::Numerico:
        return true;
    }
    return false;
}

// Exact decimal text ("-12.5", "3", "0.0001") as a magnitude scaled by 10^nEscala.
bool decimalEscalado(const QString& sTexto, int nEscala, bool& bNegativo, TU128& Magnitud, int& nDigitos)
{
    const QString s = sTexto.trimmed();
    int i = 0;
    bNegativo = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        bNegativo = s[i] == u'-';
        ++i;
    }
    Magnitud = 0;
    nDigitos = 0;
    int nDecimales = -1;
    bool bAlguno = false;
    const TU128 kTope = TU128(1) << 120;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'.' && nDecimales < 0) {
            nDecimales = 0;
            continue;
        }
        if (c < u'0' || c > u'9')
            return false;
        bAlguno = true;
        if (nDecimales >= 0) {
            if (nDecimales == nEscala) {
                if (c != u'0')
                    return false; // more decimals than the column keeps
                continue;
            }
            ++nDecimales;
        }
        if (Magnitud >= kTope)
            return false;
        Magnitud = Magnitud * 10 + unsigned(c.unicode() - u'0');
        if (Magnitud != 0)
            ++nDigitos;
    }
    if (!bAlguno)
        return false;
    for (int k = std::max(nDecimales, 0); k < nEscala; ++k) {
        if (Magnitud >= kTope)
            return false;
        Magnitud *= 10;
        if (Magnitud != 0)
            ++nDigitos;
    }
    if (Magnitud == 0)
        bNegativo = false;
    return true;
}

bool esNulo(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

bool aEntero(const QVariant& v, qint64& n)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        n = v.toBool() ? -1 : 0;
        return true;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
        n = v.toLongLong();
        return true;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = v.toULongLong();
        if (u > qulonglong(std::numeric_limits<qint64>::max()))
            return false;
        n = qint64(u);
        return true;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9.2e18)
            return false;
        n = qint64(d);
        return true;
    }
    case QMetaType::QString: {
        bool bOk = false;
        n = v.toString().trimmed().toLongLong(&bOk);
        return bOk;
    }
    default:
        return false;
    }
}

bool aDoble(const QVariant& v, double& d)
{
    switch (v.typeId()) {
    case QMetaType::QString: {
        bool bOk = false;
        d = v.toString().trimmed().toDouble(&bOk);
        return bOk;
    }
    case QMetaType::QByteArray:
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QUuid:
        return false;
    default: {
        bool bOk = false;
        d = v.toDouble(&bOk);
        return bOk;
    }
    }
}

bool aDia(const QVariant& v, double& d)
{
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        if (!dt.isValid())
            return false;
        d = DiaAccess(dt);
        return true;
    }
    case QMetaType::QDate: {
        const QDate f = v.toDate();
        if (!f.isValid())
            return false;
        d = DiaAccess(QDateTime(f, QTime(0, 0)));
        return true;
    }
    case QMetaType::QString: {
        const QString s = v.toString().trimmed();
        QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
        if (!dt.isValid()) {
            const QDate f = QDate::fromString(s, Qt::ISODate);
            if (!f.isValid())
                return false;
            dt = QDateTime(f, QTime(0, 0));
        }
        d = DiaAccess(QDateTime(dt.date(), dt.time()));
        return true;
    }
    default:
        return aDoble(v, d) && std::isfinite(d);
    }
}

// Jet 4 text: "FF FE" and one byte per character when every character is U+0001..U+00FF
// (Unicode compression), else UCS-2. Readers recognise compression by the two-byte mark, so
// uncompressed text that would itself begin with FF FE is written as a compressed run that
// switches to UCS-2 at once.
bool codificaTexto(const QString& s, bool bComprime, std::vector<std::uint8_t>& Destino)
{
    const int n = int(s.size());
    const char16_t* p = reinterpret_cast<const char16_t*>(s.utf16());
    bool bCompresible = bComprime && n > 2;
    for (int i = 0; bCompresible && i < n; ++i)
        bCompresible = p[i] >= 1 && p[i] <= 0xFF;
    const std::size_t nIni = Destino.size();
    if (bCompresible) {
        Destino.resize(nIni + 2 + std::size_t(n));
        std::uint8_t* q = Destino.data() + nIni;
        q[0] = 0xFF;
        q[1] = 0xFE;
        for (int i = 0; i < n; ++i)
            q[2 + i] = std::uint8_t(p[i]);
        return true;
    }
    const bool bMarca = n > 0 && p[0] == 0xFEFF;
    if (bMarca) {
        // After the switch every UCS-2 unit is read with its low byte first; a zero low byte
        // would switch back.
        for (int i = 0; i < n; ++i)
            if ((p[i] & 0xFF) == 0)
                return false;
        Destino.insert(Destino.end(), {0xFF, 0xFE, 0x00});
    }
    const std::size_t nPos = Destino.size();
    Destino.resize(nPos + 2 * std::size_t(n));
    std::uint8_t* q = Destino.data() + nPos;
    for (int i = 0; i < n; ++i) {
        q[2 * i] = std::uint8_t(p[i]);
        q[2 * i + 1] = std::uint8_t(p[i] >> 8);
    }
    return true;
}

QString nombreTipo(TTipoColumnaMdb t)
{
    switch (t) {
    case TTipoColumnaMdb::SiNo:
        return QStringLiteral("Sí/No");
    case TTipoColumnaMdb::Byte:
        return QStringLiteral("Byte");
    case TTipoColumnaMdb::Entero:
        return QStringLiteral("Entero");
    case TTipoColumnaMdb::EnteroLargo:
        return QStringLiteral("Entero largo");
    case TTipoColumnaMdb::Moneda:
        return QStringLiteral("Moneda");
    case TTipoColumnaMdb::Simple:
        return QStringLiteral("Simple");
    case TTipoColumnaMdb::Doble:
        return QStringLiteral("Doble");
    case TTipoColumnaMdb::FechaHora:
        return QStringLiteral("Fecha/Hora");
    case TTipoColumnaMdb::Binario:
        return QStringLiteral("Binario");
    case TTipoColumnaMdb::Texto:
        return QStringLiteral("Texto");
    case TTipoColumnaMdb::Ole:
        return QStringLiteral("Objeto OLE");
    case TTipoColumnaMdb::Memo:
        return QStringLiteral("Memo");
    case TTipoColumnaMdb::Guid:
        return QStringLiteral("Id. de réplica");
    case TTipoColumnaMdb::Numerico:
        return QStringLiteral("Decimal");
    }
    return QStringLiteral("?");
}

// A run of pages with rows (data or long values) whose final page numbers are set by the
// layout; references between them are kept as "local" page/row pointers and patched then.
struct TPaginas
{
    std::vector<std::uint8_t> Bytes;
    int nPaginas = 0;
    int nFilasUlt = 0;
    int nFinUlt = kPagina;      // where the last page's rows begin
    std::uint32_t nPrimera = 0; // page number given by the layout

    std::uint8_t* pagina(int i) { return Bytes.data() + std::size_t(i) * kPagina; }

    void nueva(const std::uint8_t* pDueno)
    {
        Bytes.resize(Bytes.size() + kPagina, 0);
        std::uint8_t* p = pagina(nPaginas);
        p[0] = 0x01;
        p[1] = 0x01;
        pon16(p + 2, kPagina - kCabeceraDatos);
        std::memcpy(p + 4, pDueno, 4);
        ++nPaginas;
        nFilasUlt = 0;
        nFinUlt = kPagina;
    }
    bool cabe(int nLong) const
    {
        return nPaginas > 0 && nFilasUlt < kMaxFilasPagina &&
               nFinUlt - nLong >= kCabeceraDatos + 2 * (nFilasUlt + 1);
    }
    // Reserves a row of nLong bytes on the last page (a new one when it does not fit);
    // returns its position in Bytes and its local pointer.
    std::size_t reserva(int nLong, const std::uint8_t* pDueno, bool bPaginaNueva, std::uint32_t& nLocal)
    {
        if (bPaginaNueva || !cabe(nLong))
            nueva(pDueno);
        std::uint8_t* p = pagina(nPaginas - 1);
        nFinUlt -= nLong;
        pon16(p + kCabeceraDatos + 2 * nFilasUlt, std::uint16_t(nFinUlt));
        ++nFilasUlt;
        pon16(p + 12, std::uint16_t(nFilasUlt));
        pon16(p + 2, std::uint16_t(nFinUlt - kCabeceraDatos - 2 * nFilasUlt));
        nLocal = (std::uint32_t(nPaginas - 1) << 8) | std::uint32_t(nFilasUlt - 1);
        return std::size_t(nPaginas - 1) * kPagina + std::size_t(nFinUlt);
    }
};

const std::uint8_t kDuenoLval[4] = {'L', 'V', 'A', 'L'};
const std::uint8_t kDuenoCero[4] = {0, 0, 0, 0};

struct TParche
{
    std::size_t nPosicion; // byte position inside the page run
    std::uint32_t nLocal;  // local page/row pointer into the long-value run nDeposito
    int nDeposito;
};

// Where a usage map row lives and the bitmap pages a reference map needs.
struct TMapa
{
    std::uint32_t nPaginaRow = 0; // page/row pointer of the map row
    bool bReferencia = false;
    std::vector<std::pair<int, std::uint32_t>> PaginasBits; // (index 0..16, page number)
};

struct TColumnaInterna
{
    TColumnaMdb Def;
    bool bFija = false;
    int nOffsetFijo = 0;
    int nTam = 0; // bytes in the definition
    int nIndiceVar = 0;
    int nDeposito = -1; // long-value run of a Memo/OLE column
};

struct TMemoPendiente
{
    int nOffsetFila;       // where the 12-byte header sits in the row
    std::size_t nIniDatos; // the encoded value in the scratch buffer
    int nLong;
    int nDeposito;
};

} // namespace

struct TEscritorMdb::TTabla
{
    TDefinicionTabla Def;
    std::vector<TColumnaInterna> Cols;
    bool bSistema = false;
    int nVars = 0;
    int nTamFijo = 0;
    int nFilas = 0;
    TPaginas Datos;
    std::vector<TPaginas> Depositos; // one long-value run per Memo/OLE column
    std::vector<TParche> ParchesDatos;
    std::vector<TParche> ParchesLval; // links of chained long values (nDeposito = run holding both ends)

    // Scratch buffers reused for every row.
    std::vector<std::uint8_t> Fila;
    std::vector<std::uint8_t> Valores;
    std::vector<TMemoPendiente> Pendientes;

    // Layout
    std::vector<std::uint32_t> PaginasDef;
    TMapa MapaDatos, MapaLibre;
    std::vector<std::pair<TMapa, TMapa>> MapasDepositos;
};

double DiaAccess(const QDateTime& dt)
{
    static const QDate kOrigen(1899, 12, 30);
    const qint64 nDias = kOrigen.daysTo(dt.date());
    const double dFraccion = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return nDias >= 0 ? double(nDias) + dFraccion : double(nDias) - dFraccion;
}

namespace {

using TTabla = TEscritorMdb::TTabla;

bool preparaTabla(TTabla& T, const TDefinicionTabla& Def, QString& sError)
{
    const QString sTabla = Def.sNombre;
    if (sTabla.trimmed().isEmpty() || sTabla.size() > 64) {
        sError = QStringLiteral("El nombre de tabla \"%1\" no es válido (de 1 a 64 caracteres).").arg(sTabla);
        return false;
    }
    if (Def.Columnas.empty() || Def.Columnas.size() > 255) {
        sError = QStringLiteral("La tabla %1 debe tener de 1 a 255 columnas.").arg(sTabla);
        return false;
    }
    T.Def = Def;
    QSet<QString> Nombres;
    int nFijo = 0;
    int nVar = 0;
    int nDepositos = 0;
    for (const TColumnaMdb& C : Def.Columnas) {
        const QString sCol = sTabla + QLatin1Char('.') + C.sNombre;
        if (C.sNombre.trimmed().isEmpty() || C.sNombre.size() > 64) {
            sError =
                QStringLiteral("El nombre de columna \"%1\" no es válido (de 1 a 64 caracteres).").arg(sCol);
            return false;
        }
        if (Nombres.contains(C.sNombre.toUpper())) {
            sError = QStringLiteral("La columna %1 está repetida.").arg(sCol);
            return false;
        }
        Nombres.insert(C.sNombre.toUpper());
        if (!tipoConocido(C.Tipo)) {
            sError = QStringLiteral("La columna %1 tiene un tipo desconocido.").arg(sCol);
            return false;
        }
        TColumnaInterna I;
        I.Def = C;
        if (C.Tipo == TTipoColumnaMdb::Texto) {
            if (I.Def.nLongitud == 0)
                I.Def.nLongitud = 255;
            if (I.Def.nLongitud < 1 || I.Def.nLongitud > 255) {
                sError =
                    QStringLiteral("La longitud de la columna de texto %1 debe ir de 1 a 255.").arg(sCol);
                return false;
            }
            I.nTam = 2 * I.Def.nLongitud;
        } else if (C.Tipo == TTipoColumnaMdb::Binario) {
            if (I.Def.nLongitud == 0)
                I.Def.nLongitud = 510;
            if (I.Def.nLongitud < 1 || I.Def.nLongitud > 510) {
                sError = QStringLiteral("La longitud de la columna binaria %1 debe ir de 1 a 510.").arg(sCol);
                return false;
            }
            I.nTam = I.Def.nLongitud;
        } else if (C.Tipo == TTipoColumnaMdb::Numerico) {
            if (C.nPrecision < 1 || C.nPrecision > 28 || C.nEscala < 0 || C.nEscala > C.nPrecision) {
                sError =
                    QStringLiteral("La precisión y la escala de la columna %1 no son válidas.").arg(sCol);
                return false;
            }
            I.nTam = 17;
        } else {
            I.nTam = tamFijo(C.Tipo);
        }
        if (esVariable(C.Tipo)) {
            I.bFija = false;
            I.nIndiceVar = nVar++;
            if (esLargo(C.Tipo))
                I.nDeposito = nDepositos++;
        } else {
            I.bFija = true;
            I.nOffsetFijo = nFijo;
            nFijo += I.nTam;
        }
        T.Cols.push_back(I);
    }
    T.nVars = nVar;
    T.nTamFijo = nFijo;
    T.Depositos.resize(std::size_t(nDepositos));
    return true;
}

QString descripcion(const TTabla& T, const TColumnaInterna& C)
{
    return QStringLiteral("%1.%2 (%3)").arg(T.Def.sNombre, C.Def.sNombre, nombreTipo(C.Def.Tipo));
}

// Writes the fixed bytes of a non-NULL value at p.
bool codificaFijo(const TColumnaInterna& C, const QVariant& v, std::uint8_t* p)
{
    switch (C.Def.Tipo) {
    case TTipoColumnaMdb::Byte: {
        qint64 n;
        if (!aEntero(v, n) || n < 0 || n > 255)
            return false;
        p[0] = std::uint8_t(n);
        return true;
    }
    case TTipoColumnaMdb::Entero: {
        qint64 n;
        if (!aEntero(v, n) || n < -32768 || n > 32767)
            return false;
        pon16(p, std::uint16_t(std::int16_t(n)));
        return true;
    }
    case TTipoColumnaMdb::EnteroLargo: {
        qint64 n;
        if (!aEntero(v, n) || n < std::numeric_limits<std::int32_t>::min() ||
            n > std::numeric_limits<std::int32_t>::max())
            return false;
        pon32(p, std::uint32_t(std::int32_t(n)));
        return true;
    }
    case TTipoColumnaMdb::Moneda: {
        qint64 nDiezMil = 0;
        if (v.typeId() == QMetaType::QString) {
            bool bNeg;
            TU128 m;
            int nDig;
            if (!decimalEscalado(v.toString(), 4, bNeg, m, nDig) ||
                m > TU128(std::numeric_limits<qint64>::max()) + (bNeg ? 1 : 0))
                return false;
            nDiezMil = bNeg ? qint64(0 - std::uint64_t(m)) : qint64(m);
        } else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            const double d = v.toDouble() * 10000.0;
            if (!std::isfinite(d) || std::fabs(d) > 9.2e18)
                return false;
            nDiezMil = std::llround(d);
        } else {
            qint64 n;
            if (!aEntero(v, n) || n > std::numeric_limits<qint64>::max() / 10000 ||
                n < std::numeric_limits<qint64>::min() / 10000)
                return false;
            nDiezMil = n * 10000;
        }
        pon64(p, std::uint64_t(nDiezMil));
        return true;
    }
    case TTipoColumnaMdb::Simple: {
        double d;
        if (!aDoble(v, d))
            return false;
        const float f = float(d);
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        pon32(p, u);
        return true;
    }
    case TTipoColumnaMdb::Doble: {
        double d;
        if (!aDoble(v, d))
            return false;
        ponDoble(p, d);
        return true;
    }
    case TTipoColumnaMdb::FechaHora: {
        double d;
        if (!aDia(v, d))
            return false;
        ponDoble(p, d);
        return true;
    }
    case TTipoColumnaMdb::Guid: {
        const QUuid u =
            v.typeId() == QMetaType::QUuid ? v.toUuid() : QUuid::fromString(v.toString().trimmed());
        if (u.isNull() && v.toString().trimmed() != QStringLiteral("{00000000-0000-0000-0000-000000000000}"))
            return false;
        pon32(p, u.data1);
        pon16(p + 4, u.data2);
        pon16(p + 6, u.data3);
        std::memcpy(p + 8, u.data4, 8);
        return true;
    }
    case TTipoColumnaMdb::Numerico: {
        QString s;
        if (v.typeId() == QMetaType::QString)
            s = v.toString();
        else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
            s = QString::number(v.toDouble(), 'f', C.Def.nEscala);
        else {
            qint64 n;
            if (!aEntero(v, n))
                return false;
            s = QString::number(n);
        }
        bool bNeg;
        TU128 m;
        int nDig;
        if (!decimalEscalado(s, C.Def.nEscala, bNeg, m, nDig) || nDig > C.Def.nPrecision)
            return false;
        // Sign byte, then four 32-bit words, most significant word first.
        p[0] = bNeg ? 0x80 : 0x00;
        for (int k = 0; k < 4; ++k)
            pon32(p + 1 + 4 * k, std::uint32_t(m >> (32 * (3 - k))));
        return true;
    }
    default:
        return false;
    }
}

} // namespace

TEscritorMdb::TEscritorMdb(TOpcionesMdb Opciones) : F_Opciones(std::move(Opciones)) {}

TEscritorMdb::~TEscritorMdb() = default;

bool TEscritorMdb::falla(const QString& sError)
{
    F_sError = sError;
    return false;
}

int TEscritorMdb::AgregaTabla(const TDefinicionTabla& Tabla)
{
    if (Tabla.sNombre.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive)) {
        falla(QStringLiteral("El nombre de tabla %1 está reservado para el sistema.").arg(Tabla.sNombre));
        return -1;
    }
    for (const auto& T : F_Tablas)
        if (T->Def.sNombre.compare(Tabla.sNombre, Qt::CaseInsensitive) == 0) {
            falla(QStringLiteral("La tabla %1 ya existe.").arg(Tabla.sNombre));
            return -1;
        }
    auto T = std::make_unique<TTabla>();
    QString sError;
    if (!preparaTabla(*T, Tabla, sError)) {
        falla(sError);
        return -1;
    }
    F_Tablas.push_back(std::move(T));
    return int(F_Tablas.size()) - 1;
}

int TEscritorMdb::NumFilas(int nTabla) const
{
    return nTabla >= 0 && nTabla < int(F_Tablas.size()) ? F_Tablas[std::size_t(nTabla)]->nFilas : 0;
}

namespace {

// Encodes one row and stores it (and its long values) in the table's page runs.
bool agregaFila(TTabla& T, const QVariantList& Valores, QString& sError)
{
    const int nCols = int(T.Cols.size());
    if (Valores.size() > nCols) {
        sError = QStringLiteral("La fila %1 de la tabla %2 tiene %3 valores y la tabla %4 columnas.")
                     .arg(T.nFilas + 1)
                     .arg(T.Def.sNombre)
                     .arg(Valores.size())
                     .arg(nCols);
        return false;
    }
    const int nMascara = (nCols + 7) / 8;
    std::vector<std::uint8_t>& F = T.Fila;
    std::vector<std::uint8_t>& V = T.Valores;
    F.assign(std::size_t(2 + T.nTamFijo), 0);
    V.clear();
    T.Pendientes.clear();
    pon16(F.data(), std::uint16_t(nCols));
    std::uint8_t aMascara[32] = {};
    // Variable data: offsets (from the row start) of each variable column, then the end.
    std::uint16_t aOffsetsVar[256];
    auto error = [&](const TColumnaInterna& C, const QString& sMotivo) {
        sError =
            QStringLiteral("Fila %1: el valor de %2 %3.").arg(T.nFilas + 1).arg(descripcion(T, C), sMotivo);
        return false;
    };

    for (int i = 0; i < nCols; ++i) {
        const TColumnaInterna& C = T.Cols[std::size_t(i)];
        const QVariant v = i < Valores.size() ? Valores[i] : QVariant();
        const bool bNulo = esNulo(v);
        if (C.Def.Tipo == TTipoColumnaMdb::SiNo) {
            if (!bNulo && v.toBool())
                aMascara[i / 8] |= std::uint8_t(1u << (i % 8));
            continue;
        }
        if (bNulo)
            continue;
        if (C.bFija) {
            if (!codificaFijo(C, v, F.data() + 2 + C.nOffsetFijo))
                return error(
                    C,
                    QStringLiteral("no es válido para el tipo o está fuera de rango (%1)").arg(v.toString()));
            aMascara[i / 8] |= std::uint8_t(1u << (i % 8));
        }
    }

    // Variable columns in their order, right after the fixed area.
    int nVar = 0;
    for (int i = 0; i < nCols; ++i) {
        const TColumnaInterna& C = T.Cols[std::size_t(i)];
        if (C.bFija)
            continue;
        aOffsetsVar[nVar++] = std::uint16_t(F.size());
        const QVariant v = i < Valores.size() ? Valores[i] : QVariant();
        if (esNulo(v))
            continue;
        aMascara[i / 8] |= std::uint8_t(1u << (i % 8));
        switch (C.Def.Tipo) {
        case TTipoColumnaMdb::Texto: {
            const QString s = v.toString();
            if (s.size() > C.Def.nLongitud)
                return error(C, QStringLiteral("tiene %1 caracteres y la columna admite %2")
                                    .arg(s.size())
                                    .arg(C.Def.nLongitud));
            if (!codificaTexto(s, C.Def.bCompresion, F))
                return error(
                    C, QStringLiteral(
                           "empieza con U+FEFF y contiene caracteres que no se pueden guardar tras él"));
            break;
        }
        case TTipoColumnaMdb::Binario: {
            if (v.typeId() != QMetaType::QByteArray)
                return error(C, QStringLiteral("debe ser un arreglo de bytes"));
            const QByteArray b = v.toByteArray();
            if (b.size() > C.Def.nLongitud)
                return error(C, QStringLiteral("tiene %1 bytes y la columna admite %2")
                                    .arg(b.size())
                                    .arg(C.Def.nLongitud));
            F.insert(F.end(), b.begin(), b.end());
            break;
        }
        case TTipoColumnaMdb::Memo:
        case TTipoColumnaMdb::Ole: {
            const std::size_t nIni = V.size();
            if (C.Def.Tipo == TTipoColumnaMdb::Memo) {
                if (!codificaTexto(v.toString(), C.Def.bCompresion, V))
                    return error(
                        C, QStringLiteral(
                               "empieza con U+FEFF y contiene caracteres que no se pueden guardar tras él"));
            } else {
                if (v.typeId() != QMetaType::QByteArray)
                    return error(C, QStringLiteral("debe ser un arreglo de bytes"));
                const QByteArray b = v.toByteArray();
                V.insert(V.end(), b.begin(), b.end());
            }
            const std::size_t nLong = V.size() - nIni;
            if (nLong > 0x00FFFFFF)
                return error(C, QStringLiteral("pasa de 16 MB"));
            const int nPos = int(F.size());
            F.resize(F.size() + 12, 0);
            if (nLong <= std::size_t(kMaxMemoEnFila)) {
                pon32(F.data() + nPos, std::uint32_t(nLong) | 0x80000000u);
                F.insert(F.end(), V.begin() + std::ptrdiff_t(nIni), V.end());
                V.resize(nIni);
            } else {
                T.Pendientes.push_back({nPos, nIni, int(nLong), C.nDeposito});
            }
            break;
        }
        default:
            break;
        }
    }
    if (T.nVars > 0) {
        const std::uint16_t nFinDatos = std::uint16_t(F.size());
        const std::size_t nPos = F.size();
        F.resize(nPos + 2 * std::size_t(T.nVars + 2));
        std::uint8_t* q = F.data() + nPos;
        pon16(q, nFinDatos);
        for (int k = T.nVars - 1; k >= 0; --k) {
            q += 2;
            pon16(q, aOffsetsVar[k]);
        }
        pon16(q + 2, std::uint16_t(T.nVars));
    }
    F.insert(F.end(), aMascara, aMascara + nMascara);
    if (F.size() > std::size_t(kMaxFila)) {
        sError = QStringLiteral("La fila %1 de la tabla %2 ocupa %3 bytes; el máximo es %4.")
                     .arg(T.nFilas + 1)
                     .arg(T.Def.sNombre)
                     .arg(F.size())
                     .arg(kMaxFila);
        return false;
    }

    // Long values: one row of a long-value page, or a chain of page-sized chunks.
    for (const TMemoPendiente& M : T.Pendientes) {
        TPaginas& D = T.Depositos[std::size_t(M.nDeposito)];
        const std::uint8_t* pDatos = V.data() + M.nIniDatos;
        std::uint32_t nPrimero = 0;
        if (M.nLong <= kMaxLvalUnaFila) {
            const std::size_t nPos = D.reserva(M.nLong, kDuenoLval, false, nPrimero);
            std::memcpy(D.Bytes.data() + nPos, pDatos, std::size_t(M.nLong));
            pon32(F.data() + M.nOffsetFila, std::uint32_t(M.nLong) | 0x40000000u);
        } else {
            int nResto = M.nLong;
            int nTrozo = 0;
            while (nResto > 0) {
                const int n = std::min(nResto, kTrozoLval);
                std::uint32_t nLocal = 0;
                const std::size_t nPos = D.reserva(n + 4, kDuenoLval, true, nLocal);
                if (nTrozo == 0)
                    nPrimero = nLocal;
                std::memcpy(D.Bytes.data() + nPos + 4, pDatos + (M.nLong - nResto), std::size_t(n));
                nResto -= n;
                // Each chunk starts a new page, so the next one is row 0 of the following page.
                if (nResto > 0)
                    T.ParchesLval.push_back({nPos, (nLocal & ~0xFFu) + 0x100u, M.nDeposito});
                ++nTrozo;
            }
            pon32(F.data() + M.nOffsetFila, std::uint32_t(M.nLong));
        }
        T.ParchesDatos.push_back({std::size_t(M.nOffsetFila + 4), nPrimero, M.nDeposito});
    }

    std::uint32_t nLocal = 0;
    const std::size_t nPos = T.Datos.reserva(int(F.size()), kDuenoCero, false, nLocal);
    std::memcpy(T.Datos.Bytes.data() + nPos, F.data(), F.size());
    for (std::size_t k = T.ParchesDatos.size() - T.Pendientes.size(); k < T.ParchesDatos.size(); ++k)
        T.ParchesDatos[k].nPosicion += nPos;
    ++T.nFilas;
    return true;
}

} // namespace

bool TEscritorMdb::AgregaFila(int nTabla, const QVariantList& Valores)
{
    if (nTabla < 0 || nTabla >= int(F_Tablas.size()))
        return falla(QStringLiteral("La tabla número %1 no existe.").arg(nTabla));
    QString sError;
    if (!agregaFila(*F_Tablas[std::size_t(nTabla)], Valores, sError))
        return falla(sError);
    return true;
}

namespace {

using T = TTipoColumnaMdb;

// The system tables a new Access 2000 database holds. Readers look tables up through
// MSysObjects, whose definition is always on page 2; the other three stay empty.
std::unique_ptr<TTabla> tablaSistema(const TDefinicionTabla& Def)
{
    auto p = std::make_unique<TTabla>();
    QString sError;
    preparaTabla(*p, Def, sError);
    p->bSistema = true;
    return p;
}

std::unique_ptr<TTabla> creaMSysObjects()
{
    return tablaSistema({QStringLiteral("MSysObjects"),
                         {{"Id", T::EnteroLargo},
                          {"ParentId", T::EnteroLargo},
                          {"Name", T::Texto, 255},
                          {"Type", T::Entero},
                          {"DateCreate", T::FechaHora},
                          {"DateUpdate", T::FechaHora},
                          {"Owner", T::Binario, 510},
                          {"Flags", T::EnteroLargo},
                          {"Database", T::Memo},
                          {"Connect", T::Memo},
                          {"ForeignName", T::Texto, 255},
                          {"RmtInfoShort", T::Binario, 510},
                          {"RmtInfoLong", T::Ole},
                          {"Lv", T::Ole},
                          {"LvProp", T::Ole},
                          {"LvModule", T::Ole},
                          {"LvExtra", T::Ole}}});
}

std::vector<std::unique_ptr<TTabla>> creaOtrasTablasSistema()
{
    std::vector<std::unique_ptr<TTabla>> v;
    v.push_back(tablaSistema({QStringLiteral("MSysACEs"),
                              {{"ObjectId", T::EnteroLargo},
                               {"SID", T::Binario, 510},
                               {"ACM", T::EnteroLargo},
                               {"FInheritable", T::SiNo}}}));
    v.push_back(tablaSistema({QStringLiteral("MSysQueries"),
                              {{"Attribute", T::Byte},
                               {"Expression", T::Memo},
                               {"Flag", T::Entero},
                               {"LvExtra", T::Ole},
                               {"Name1", T::Texto, 255},
                               {"Name2", T::Texto, 255},
                               {"ObjectId", T::EnteroLargo},
                               {"Order", T::Binario, 510}}}));
    v.push_back(tablaSistema({QStringLiteral("MSysRelationships"),
                              {{"ccolumn", T::EnteroLargo},
                               {"grbit", T::EnteroLargo},
                               {"icolumn", T::EnteroLargo},
                               {"szColumn", T::Texto, 255},
                               {"szObject", T::Texto, 255},
                               {"szReferencedColumn", T::Texto, 255},
                               {"szReferencedObject", T::Texto, 255},
                               {"szRelationship", T::Texto, 255}}}));
    return v;
}

// Table definition as one byte stream; pages after the first repeat the 8-byte page header.
std::vector<std::uint8_t> definicion(const TTabla& Tb)
{
    const int nCols = int(Tb.Cols.size());
    std::vector<std::uint8_t> D(0x3F + std::size_t(25 * nCols), 0);
    std::uint8_t* p = D.data();
    p[0] = 0x02;
    p[1] = 0x01;
    pon32(p + 0x0C, kNumeroMagico);
    pon32(p + 0x10, std::uint32_t(Tb.nFilas));
    p[0x18] = 0x01;
    p[0x28] = Tb.bSistema ? kTablaSistema : kTablaUsuario;
    pon16(p + 0x29, std::uint16_t(nCols));
    pon16(p + 0x2B, std::uint16_t(Tb.nVars));
    pon16(p + 0x2D, std::uint16_t(nCols));
    pon32(p + 0x37, Tb.MapaDatos.nPaginaRow);
    pon32(p + 0x3B, Tb.MapaLibre.nPaginaRow);
    for (int i = 0; i < nCols; ++i) {
        const TColumnaInterna& C = Tb.Cols[std::size_t(i)];
        std::uint8_t* q = p + 0x3F + 25 * i;
        q[0] = std::uint8_t(C.Def.Tipo);
        pon32(q + 1, kNumeroMagico);
        pon16(q + 5, std::uint16_t(i));
        pon16(q + 7, std::uint16_t(C.bFija ? 0 : C.nIndiceVar));
        pon16(q + 9, std::uint16_t(i));
        if (C.Def.Tipo == T::Texto || C.Def.Tipo == T::Memo) {
            pon16(q + 11, kOrdenGeneral);
        } else if (C.Def.Tipo == T::Numerico) {
            q[11] = std::uint8_t(C.Def.nPrecision);
            q[12] = std::uint8_t(C.Def.nEscala);
        }
        q[15] = std::uint8_t((C.bFija ? 0x01 : 0x00) | 0x02);
        if ((C.Def.Tipo == T::Texto || C.Def.Tipo == T::Memo) && C.Def.bCompresion)
            q[16] = 0x01;
        pon16(q + 21, std::uint16_t(C.bFija ? C.nOffsetFijo : 0));
        pon16(q + 23, std::uint16_t(C.Def.Tipo == T::SiNo || esLargo(C.Def.Tipo) ? 0 : C.nTam));
    }
    for (const TColumnaInterna& C : Tb.Cols) {
        const QString& s = C.Def.sNombre;
        const std::size_t n = D.size();
        D.resize(n + 2 + 2 * std::size_t(s.size()));
        pon16(D.data() + n, std::uint16_t(2 * s.size()));
        for (int k = 0; k < s.size(); ++k)
            pon16(D.data() + n + 2 + 2 * k, s[k].unicode());
    }
    // Long-value columns: the usage maps of their long-value pages.
    for (int i = 0; i < nCols; ++i) {
        const TColumnaInterna& C = Tb.Cols[std::size_t(i)];
        if (C.nDeposito < 0)
            continue;
        const std::size_t n = D.size();
        D.resize(n + 10);
        pon16(D.data() + n, std::uint16_t(i));
        pon32(D.data() + n + 2, Tb.MapasDepositos[std::size_t(C.nDeposito)].first.nPaginaRow);
        pon32(D.data() + n + 6, Tb.MapasDepositos[std::size_t(C.nDeposito)].second.nPaginaRow);
    }
    D.push_back(0xFF);
    D.push_back(0xFF);
    pon32(D.data() + 8, std::uint32_t(D.size()));
    return D;
}

int paginasDefinicion(std::size_t nLong)
{
    return nLong <= std::size_t(kPagina) ? 1 : 1 + int((nLong - kPagina + (kPagina - 8) - 1) / (kPagina - 8));
}

// Decides the kind of map for nPaginas consecutive pages from nPrimera and gives page numbers
// to the bitmap pages a reference map needs.
bool asignaMapa(TMapa& M, std::uint32_t nPrimera, std::uint32_t nPaginas, std::uint32_t& nPag)
{
    M.PaginasBits.clear();
    M.bReferencia = false;
    if (nPaginas == 0)
        return true;
    const std::uint32_t nInicio = nPrimera & ~7u;
    if (nPrimera - nInicio + nPaginas <= 64 * 8)
        return true;
    M.bReferencia = true;
    const std::uint32_t jIni = nPrimera / kBitsPaginaMapa;
    const std::uint32_t jFin = (nPrimera + nPaginas - 1) / kBitsPaginaMapa;
    if (jFin >= std::uint32_t(kEntradasMapaReferencia))
        return false;
    for (std::uint32_t j = jIni; j <= jFin; ++j)
        M.PaginasBits.push_back({int(j), nPag++});
    return true;
}

inline void ponBit(std::uint8_t* pBits, std::uint32_t n, bool b)
{
    if (b)
        pBits[n / 8] |= std::uint8_t(1u << (n % 8));
    else
        pBits[n / 8] &= std::uint8_t(~(1u << (n % 8)));
}

// Map row (69 bytes) for nPaginas consecutive pages from nPrimera.
void llenaFilaMapa(std::uint8_t* p, const TMapa& M, std::uint32_t nPrimera, std::uint32_t nPaginas)
{
    std::memset(p, 0, kFilaMapa);
    if (M.bReferencia) {
        p[0] = 0x01;
        for (const auto& [j, nPagina] : M.PaginasBits)
            pon32(p + 1 + 4 * j, nPagina);
        return;
    }
    const std::uint32_t nInicio = nPaginas ? (nPrimera & ~7u) : 0;
    pon32(p + 1, nInicio);
    for (std::uint32_t k = 0; k < nPaginas; ++k)
        ponBit(p + 5, nPrimera - nInicio + k, true);
}

void llenaPaginaBits(std::uint8_t* p, int j, std::uint32_t nPrimera, std::uint32_t nPaginas, bool bInvertido)
{
    std::memset(p, bInvertido ? 0xFF : 0x00, kPagina);
    p[0] = 0x05;
    p[1] = 0x01;
    p[2] = 0;
    p[3] = 0;
    const std::uint32_t nBase = std::uint32_t(j) * kBitsPaginaMapa;
    const std::uint32_t nDesde = std::max(nPrimera, nBase);
    const std::uint32_t nHasta = std::min(nPrimera + nPaginas, nBase + kBitsPaginaMapa);
    for (std::uint32_t n = nDesde; n < nHasta; ++n)
        ponBit(p + 4, n - nBase, !bInvertido);
}

struct TSalida
{
    std::function<bool(const char*, qint64)> Escribe;
    std::uint32_t nClave = 0;
    std::uint32_t nPagina = 0; // next page number expected
    std::vector<std::uint8_t> Copia;

    bool pagina(const std::uint8_t* p) { return paginas(p, 1); }
    bool paginas(const std::uint8_t* p, std::uint32_t n)
    {
        if (nClave == 0 || n == 0) {
            nPagina += n;
            return Escribe(reinterpret_cast<const char*>(p), qint64(n) * kPagina);
        }
        Copia.resize(kPagina);
        for (std::uint32_t k = 0; k < n; ++k, ++nPagina) {
            std::memcpy(Copia.data(), p + std::size_t(k) * kPagina, kPagina);
            if (nPagina > 0) {
                std::uint8_t aClave[4];
                pon32(aClave, nClave ^ nPagina);
                rc4(aClave, 4, Copia.data(), kPagina);
            }
            if (!Escribe(reinterpret_cast<const char*>(Copia.data()), kPagina))
                return false;
        }
        return true;
    }
};

std::vector<std::uint8_t> paginaCabecera(const TOpcionesMdb& O)
{
    std::vector<std::uint8_t> P(kPagina, 0);
    std::uint8_t* p = P.data();
    p[1] = 0x01;
    std::memcpy(p + 0x04, "Standard Jet DB", 15);
    p[0x14] = 0x01; // Jet 4
    static const std::uint8_t kInicioBloque[24] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                                   0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                                   0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    std::memcpy(p + 0x18, kInicioBloque, sizeof kInicioBloque);
    pon16(p + 0x3C, 1252);
    pon32(p + 0x3E, O.nClavePaginas);
    const double dCreacion = DiaAccess(O.dtCreacion);
    // The password is masked with the whole days of the creation date.
    std::uint8_t aMascara[4];
    pon32(aMascara, std::uint32_t(std::int32_t(std::floor(dCreacion))));
    for (int i = 0; i < 40; ++i) {
        const int k = i / 2;
        std::uint8_t b = 0;
        if (k < O.sPassword.size())
            b = std::uint8_t(i % 2 == 0 ? O.sPassword[k].unicode() : O.sPassword[k].unicode() >> 8);
        p[0x42 + i] = b ^ aMascara[i % 4];
    }
    pon16(p + 0x6E, kOrdenGeneral);
    ponDoble(p + 0x72, dCreacion);
    static const std::uint8_t kClaveCabecera[4] = {0xC7, 0xDA, 0x39, 0x6B};
    rc4(kClaveCabecera, 4, p + 0x18, 128);
    static const std::uint8_t kVersion[8] = {0x54, 0x06, 0x00, 0x00, 0x34, 0x2E, 0x30, 0x00};
    std::memcpy(p + 0x98, kVersion, 8);
    return P;
}

} // namespace

bool TEscritorMdb::construye(QByteArray* pDestino, const QString& sRuta)
{
    if (F_Opciones.sPassword.size() > 20)
        return falla(QStringLiteral("La contraseña de la base de datos admite hasta 20 caracteres."));
    if (!F_Opciones.dtCreacion.isValid())
        return falla(QStringLiteral("La fecha de creación no es válida."));

    std::unique_ptr<TTabla> MSysObjects = creaMSysObjects();
    std::vector<std::unique_ptr<TTabla>> Sistema = creaOtrasTablasSistema();
    std::vector<TTabla*> Orden;
    for (auto& p : Sistema)
        Orden.push_back(p.get());
    for (auto& p : F_Tablas)
        Orden.push_back(p.get());
    Orden.push_back(MSysObjects.get());

    // Usage map rows, all on the pages after the catalog definition.
    constexpr std::uint32_t kPrimeraMapas = 3;
    TPaginas Mapas;
    std::vector<std::pair<TMapa*, std::size_t>> FilasMapa;
    auto reservaMapa = [&](TMapa& M) {
        std::uint32_t nLocal = 0;
        FilasMapa.push_back({&M, Mapas.reserva(kFilaMapa, kDuenoCero, false, nLocal)});
        M.nPaginaRow = nLocal + (kPrimeraMapas << 8);
    };
    for (TTabla* t : Orden) {
        t->MapasDepositos.assign(t->Depositos.size(), {});
        reservaMapa(t->MapaDatos);
        reservaMapa(t->MapaLibre);
        for (auto& [Usadas, Libres] : t->MapasDepositos) {
            reservaMapa(Usadas);
            reservaMapa(Libres);
        }
    }
    std::uint32_t nPag = kPrimeraMapas + std::uint32_t(Mapas.nPaginas);

    auto asignaPaginas = [&](TTabla& t) {
        const int nDef = paginasDefinicion(definicion(t).size());
        t.PaginasDef.clear();
        for (int k = 0; k < nDef; ++k)
            t.PaginasDef.push_back(k == 0 && &t == MSysObjects.get() ? 2 : nPag++);
        t.Datos.nPrimera = nPag;
        nPag += std::uint32_t(t.Datos.nPaginas);
        for (TPaginas& D : t.Depositos) {
            D.nPrimera = nPag;
            nPag += std::uint32_t(D.nPaginas);
        }
        bool bOk = asignaMapa(t.MapaDatos, t.Datos.nPrimera, std::uint32_t(t.Datos.nPaginas), nPag);
        t.MapaLibre.bReferencia = false;
        t.MapaLibre.PaginasBits.clear();
        for (std::size_t d = 0; d < t.Depositos.size(); ++d) {
            bOk = bOk && asignaMapa(t.MapasDepositos[d].first, t.Depositos[d].nPrimera,
                                    std::uint32_t(t.Depositos[d].nPaginas), nPag);
            t.MapasDepositos[d].second.bReferencia = false;
        }
        return bOk;
    };
    const QString sGrande =
        QStringLiteral("El archivo pasaría del tamaño máximo de una base de datos de Access.");
    for (TTabla* t : Orden)
        if (t != MSysObjects.get() && !asignaPaginas(*t))
            return falla(sGrande);

    // Catalog rows: the three containers, the system tables, then the user tables.
    const double dCreacion = DiaAccess(F_Opciones.dtCreacion);
    QString sError;
    auto fila = [&](qint64 nId, qint64 nPadre, const QString& sNombre, int nTipo, qint64 nBanderas) {
        return agregaFila(*MSysObjects,
                          {QVariant(qint64(std::int32_t(std::uint32_t(nId)))),
                           QVariant(qint64(std::int32_t(std::uint32_t(nPadre)))), sNombre, nTipo, dCreacion,
                           dCreacion, QVariant(), QVariant(qint64(std::int32_t(std::uint32_t(nBanderas))))},
                          sError);
    };
    bool bOk = fila(0x0F000001, 0x0F000000, QStringLiteral("Tables"), 3, 0x80000000u) &&
               fila(0x0F000002, 0x0F000000, QStringLiteral("Databases"), 3, 0x80000000u) &&
               fila(0x0F000003, 0x0F000000, QStringLiteral("Relationships"), 3, 0x80000000u) &&
               fila(2, kIdContenedorTablas, QStringLiteral("MSysObjects"), 1, kBanderaSistema);
    for (TTabla* t : Orden)
        if (t != MSysObjects.get())
            bOk = bOk && fila(t->PaginasDef[0], kIdContenedorTablas, t->Def.sNombre, 1,
                              t->bSistema ? kBanderaSistema : 0);
    if (!bOk)
        return falla(sError);
    if (!asignaPaginas(*MSysObjects))
        return falla(sGrande);

    // Global usage map on page 1 (a set bit is a free page), by reference when the file is large.
    TMapa Global;
    std::uint32_t nTotal = nPag;
    if (nPag > 64 * 8) {
        std::uint32_t nBits = 0;
        for (;;) {
            const std::uint32_t nNecesarias = (nPag + nBits + kBitsPaginaMapa - 1) / kBitsPaginaMapa;
            if (nNecesarias == nBits)
                break;
            nBits = nNecesarias;
        }
        if (nBits > std::uint32_t(kEntradasMapaReferencia))
            return falla(sGrande);
        Global.bReferencia = true;
        for (std::uint32_t j = 0; j < nBits; ++j)
            Global.PaginasBits.push_back({int(j), nPag + j});
        nTotal = nPag + nBits;
    }

    // Map rows now that every page has its number.
    for (TTabla* t : Orden) {
        auto llena = [&](const TMapa& M, std::uint32_t nPrimera, std::uint32_t nPaginas) {
            for (const auto& [pM, nPos] : FilasMapa)
                if (pM == &M)
                    llenaFilaMapa(Mapas.Bytes.data() + nPos, M, nPrimera, nPaginas);
        };
        llena(t->MapaDatos, t->Datos.nPrimera, std::uint32_t(t->Datos.nPaginas));
        llena(t->MapaLibre, t->Datos.nPrimera, 0);
        for (std::size_t d = 0; d < t->Depositos.size(); ++d) {
            llena(t->MapasDepositos[d].first, t->Depositos[d].nPrimera,
                  std::uint32_t(t->Depositos[d].nPaginas));
            llena(t->MapasDepositos[d].second, t->Depositos[d].nPrimera, 0);
        }
        // Owners and long-value pointers.
        for (int k = 0; k < t->Datos.nPaginas; ++k)
            pon32(t->Datos.pagina(k) + 4, t->PaginasDef[0]);
        for (const TParche& P : t->ParchesDatos)
            pon32(t->Datos.Bytes.data() + P.nPosicion,
                  P.nLocal + (t->Depositos[std::size_t(P.nDeposito)].nPrimera << 8));
        for (const TParche& P : t->ParchesLval)
            pon32(t->Depositos[std::size_t(P.nDeposito)].Bytes.data() + P.nPosicion,
                  P.nLocal + (t->Depositos[std::size_t(P.nDeposito)].nPrimera << 8));
    }

    // Output, page by page in number order.
    QSaveFile Archivo(sRuta);
    TSalida S;
    S.nClave = F_Opciones.nClavePaginas;
    if (pDestino) {
        pDestino->clear();
        pDestino->reserve(qsizetype(nTotal) * kPagina);
        S.Escribe = [pDestino](const char* p, qint64 n) {
            pDestino->append(p, n);
            return true;
        };
    } else {
        if (!Archivo.open(QIODevice::WriteOnly))
            return falla(
                QStringLiteral("No se puede escribir el archivo %1: %2").arg(sRuta, Archivo.errorString()));
        S.Escribe = [&Archivo](const char* p, qint64 n) { return Archivo.write(p, n) == n; };
    }
    std::vector<std::uint8_t> P(kPagina);
    // Definition pages from nDesde on (the catalog's first one goes out early, as page 2).
    auto paginasDef = [&](const TTabla& t, std::size_t nDesde, std::size_t nHasta) {
        const std::vector<std::uint8_t> D = definicion(t);
        bool b = true;
        for (std::size_t k = nDesde; k < std::min(nHasta, t.PaginasDef.size()); ++k) {
            std::fill(P.begin(), P.end(), 0);
            std::size_t nIni, nLong;
            if (k == 0) {
                nIni = 0;
                nLong = std::min<std::size_t>(D.size(), kPagina);
                std::memcpy(P.data(), D.data(), nLong);
                pon16(P.data() + 2, std::uint16_t(std::max<int>(0, kPagina - int(D.size()) - 8)));
            } else {
                nIni = kPagina + (k - 1) * (kPagina - 8);
                nLong = std::min<std::size_t>(D.size() - nIni, kPagina - 8);
                P[0] = 0x02;
                P[1] = 0x01;
                std::memcpy(P.data() + 8, D.data() + nIni, nLong);
                pon16(P.data() + 2, std::uint16_t(kPagina - 8 - nLong));
            }
            if (k + 1 < t.PaginasDef.size())
                pon32(P.data() + 4, t.PaginasDef[k + 1]);
            b = b && S.pagina(P.data());
        }
        return b;
    };
    auto paginasTabla = [&](const TTabla& t) {
        bool b = paginasDef(t, &t == MSysObjects.get() ? 1 : 0, t.PaginasDef.size()) &&
                 S.paginas(t.Datos.Bytes.data(), std::uint32_t(t.Datos.nPaginas));
        for (const TPaginas& D : t.Depositos)
            b = b && S.paginas(D.Bytes.data(), std::uint32_t(D.nPaginas));
        auto bits = [&](const TMapa& M, std::uint32_t nPrimera, std::uint32_t nPaginas) {
            for (const auto& [j, nPagina] : M.PaginasBits) {
                llenaPaginaBits(P.data(), j, nPrimera, nPaginas, false);
                b = b && S.pagina(P.data());
            }
        };
        bits(t.MapaDatos, t.Datos.nPrimera, std::uint32_t(t.Datos.nPaginas));
        for (std::size_t d = 0; d < t.Depositos.size(); ++d)
            bits(t.MapasDepositos[d].first, t.Depositos[d].nPrimera, std::uint32_t(t.Depositos[d].nPaginas));
        return b;
    };

    bool bEscrito = S.pagina(paginaCabecera(F_Opciones).data());
    {
        TPaginas Uno;
        Uno.nueva(kDuenoCero);
        std::uint32_t nLocal;
        std::uint8_t aFila[kFilaMapa] = {};
        if (Global.bReferencia) {
            aFila[0] = 0x01;
            for (const auto& [j, nPagina] : Global.PaginasBits)
                pon32(aFila + 1 + 4 * j, nPagina);
        } else {
            for (std::uint32_t n = nTotal; n < 64 * 8; ++n)
                ponBit(aFila + 5, n, true);
        }
        std::memcpy(Uno.Bytes.data() + Uno.reserva(kFilaMapa, kDuenoCero, false, nLocal), aFila, kFilaMapa);
        std::memset(Uno.Bytes.data() + Uno.reserva(kFilaMapa, kDuenoCero, false, nLocal), 0, kFilaMapa);
        pon32(Uno.pagina(0) + 4, 1);
        bEscrito = bEscrito && S.pagina(Uno.pagina(0));
    }
    bEscrito = bEscrito && paginasDef(*MSysObjects, 0, 1) &&
               S.paginas(Mapas.Bytes.data(), std::uint32_t(Mapas.nPaginas));
    for (TTabla* t : Orden)
        bEscrito = bEscrito && paginasTabla(*t);
    for (const auto& [j, nPagina] : Global.PaginasBits) {
        llenaPaginaBits(P.data(), j, 0, nTotal, true);
        bEscrito = bEscrito && S.pagina(P.data());
    }
    if (bEscrito && S.nPagina != nTotal)
        return falla(
            QStringLiteral("Error interno al acomodar las páginas (%1 de %2).").arg(S.nPagina).arg(nTotal));
    if (!bEscrito || (!pDestino && !Archivo.commit()))
        return falla(
            QStringLiteral("No se puede escribir el archivo %1: %2").arg(sRuta, Archivo.errorString()));
    return true;
}

bool TEscritorMdb::Guarda(const QString& sRuta)
{
    return construye(nullptr, sRuta);
}

QByteArray TEscritorMdb::DameBytes()
{
    QByteArray Bytes;
    if (!construye(&Bytes, QString()))
        return {};
    return Bytes;
}
