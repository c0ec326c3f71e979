#include "db/jet/TablaJet.h"

#include "common/CodigoAnsi.h"
#include "common/Plataforma.h"

#include <QSysInfo>

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace jet::detalle {

namespace {

// An overflow row points at the real row; Jet never chains more than one hop, a few are allowed.
constexpr int kMaxSaltosDesborde = 8;

QString Pg(uint32_t nPgRow)
{
    return QStringLiteral("%1:%2").arg(nPgRow >> 8).arg(nPgRow & 0xFF);
}

// Concatenates a TDEF page chain: the first page whole, then each continuation from offset 8.
QByteArray LeeCadenaDefinicion(TArchivoJet& Archivo, uint32_t nPagina)
{
    QByteArray Def;
    std::unordered_set<uint32_t> Vistas;
    for (uint32_t p = nPagina; p != 0;) {
        if (!Vistas.insert(p).second)
            Danado(QStringLiteral("la definición de tabla de la página %1 forma un ciclo de páginas")
                       .arg(nPagina));
        const QByteArray Pag = Archivo.Pagina(p);
        const auto* u = reinterpret_cast<const uint8_t*>(Pag.constData());
        if (u[0] != kPagDefTabla)
            Danado(QStringLiteral("la página %1 no es una definición de tabla").arg(p));
        if (Def.isEmpty())
            Def = QByteArray(Pag.constData(), Pag.size());
        else
            Def.append(Pag.constData() + 8, Pag.size() - 8);
        p = U32(u + 4);
    }
    return Def;
}

void AgregaSegmento(QString& s, const uint8_t* p, int n, bool bComprimido)
{
    if (bComprimido) {
        s.append(QLatin1String(reinterpret_cast<const char*>(p), n));
        return;
    }
    for (int i = 0; i + 1 < n; i += 2)
        s.append(QChar(char16_t(p[i] | (p[i + 1] << 8))));
    if (n % 2)
        s.append(QChar::ReplacementCharacter);
}

} // namespace

QString TextoJet4(const uint8_t* p, int n)
{
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        // Compressed: starts with one byte per character (U+0000..U+00FF); each 0x00 byte switches
        // between that and plain UCS-2.
        if (!std::memchr(p + 2, 0, size_t(n - 2)))
            return QString::fromLatin1(reinterpret_cast<const char*>(p + 2), n - 2);
        QString s;
        s.reserve(n);
        bool bComprimido = true;
        int nIni = 2;
        for (int i = 2; i < n; ++i) {
            if (p[i] == 0) {
                AgregaSegmento(s, p + nIni, i - nIni, bComprimido);
                bComprimido = !bComprimido;
                nIni = i + 1;
            }
        }
        AgregaSegmento(s, p + nIni, n - nIni, bComprimido);
        return s;
    }
    const int nCar = n / 2;
    QString s(nCar + (n % 2), Qt::Uninitialized);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        std::memcpy(s.data(), p, size_t(nCar) * 2);
    } else {
        for (int i = 0; i < nCar; ++i)
            s[i] = QChar(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
    }
    if (n % 2)
        s[nCar] = QChar::ReplacementCharacter;
    return s;
}

QString TextoCodigoPagina(const uint8_t* p, int n, int nCodigoPagina)
{
    bool bAscii = true;
    for (int i = 0; i < n && bAscii; ++i)
        bAscii = p[i] < 0x80;
    if (bAscii)
        return QString::fromLatin1(reinterpret_cast<const char*>(p), n);
    const QByteArray Bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(p), n);
    if (nCodigoPagina != 0 && nCodigoPagina != 1252) {
        // Other Windows code pages through the system's converters.
        if (const std::optional<QString> s = Plataforma::DecodificaCodigoPagina(Bytes, nCodigoPagina))
            return *s;
    }
    return CodigoAnsi::ATexto(Bytes);
}

std::shared_ptr<const TTablaJet> LeeTabla(TArchivoJet& Archivo, uint32_t nPagina, const QString& sNombre,
                                          int nCodigoPaginaBD)
{
    const TFormatoJet& F = Archivo.Formato();
    const bool bJet4 = F.nVersion == 4;
    const QByteArray Def = LeeCadenaDefinicion(Archivo, nPagina);
    const TBloque b(Def);

    auto pTabla = std::make_shared<TTablaJet>();
    TDefinicionTabla& d = pTabla->Def;
    d.sNombre = sNombre;
    d.nPaginaDefinicion = nPagina;
    d.nFilas = b.U32(F.nOffFilasTabla, "el número de filas");
    d.bSistema = b.U8(F.nOffTipoTabla, "el tipo de tabla") == 0x53;
    d.nMaxColumnas = b.U16(F.nOffMaxColumnas, "el máximo de columnas");
    d.nColumnasVariables = b.U16(F.nOffNumColsVar, "el número de columnas variables");
    const int nColumnas = b.U16(F.nOffNumColumnas, "el número de columnas");
    const uint32_t nIndicesLog = b.U32(F.nOffNumIndicesLog, "el número de índices");
    const uint32_t nIndicesReal = b.U32(F.nOffNumIndicesReal, "el número de índices");
    pTabla->nPgRowMapaUsadas = b.U32(F.nOffMapaUsadas, "el mapa de uso");
    if (nIndicesReal > uint32_t(Def.size()) || nIndicesLog > uint32_t(Def.size()))
        Danado(QStringLiteral("la tabla \"%1\" declara %2 índices").arg(sNombre).arg(nIndicesReal));
    d.nIndicesReales = int(nIndicesReal);
    d.nIndicesLogicos = int(nIndicesLog);

    int nPos = F.nOffIndicesReales + int(nIndicesReal) * F.nTamIndiceRealTdef;
    b.Exige(nPos, int64_t(nColumnas) * F.nTamDescColumna, "las columnas de la tabla");
    d.Columnas.resize(size_t(nColumnas));
    for (TColumna& c : d.Columnas) {
        const uint8_t* p = b.Datos() + nPos;
        c.Tipo = TTipoColumna(p[0]);
        c.nNumero = U16(p + F.nDescNumero);
        c.nBanderas = p[F.nDescBanderas];
        c.bFija = (c.nBanderas & kColFija) != 0 || c.Tipo == TTipoColumna::Booleano;
        c.nIndiceVar = c.bFija ? -1 : U16(p + F.nDescIndiceVar);
        c.nOffsetFijo = c.bFija ? U16(p + F.nDescOffsetFijo) : -1;
        c.nLongitud = c.Tipo == TTipoColumna::Booleano ? 0 : U16(p + F.nDescLongitud);
        c.bAutonumerico = (c.nBanderas & (kColAutoLargo | kColAutoGuid)) != 0;
        if (c.Tipo == TTipoColumna::Numerico) {
            c.nPrecision = p[F.nDescPrecision];
            c.nEscala = p[F.nDescEscala];
        }
        if (bJet4)
            c.bCompresionUnicode = (p[F.nDescBanderasExt] & kColExtCompresion) != 0;
        else if (c.Tipo == TTipoColumna::Texto || c.Tipo == TTipoColumna::Memo)
            c.nCodigoPagina = U16(p + F.nDescPrecision);
        nPos += F.nTamDescColumna;
    }
    for (TColumna& c : d.Columnas) {
        int nLong;
        if (F.nTamLongNombre == 1) {
            nLong = b.U8(nPos, "el nombre de una columna");
        } else {
            nLong = b.U16(nPos, "el nombre de una columna");
        }
        nPos += F.nTamLongNombre;
        b.Exige(nPos, nLong, "el nombre de una columna");
        c.sNombre = bJet4 ? TextoJet4(b.Datos() + nPos, nLong)
                          : TextoCodigoPagina(b.Datos() + nPos, nLong, nCodigoPaginaBD);
        nPos += nLong;
    }
    std::stable_sort(d.Columnas.begin(), d.Columnas.end(),
                     [](const TColumna& a, const TColumna& c) { return a.nNumero < c.nNumero; });
    return pTabla;
}

std::vector<uint32_t> PaginasDeMapa(TArchivoJet& Archivo, uint32_t nPgRow)
{
    const TFormatoJet& F = Archivo.Formato();
    const uint32_t nPagMapa = nPgRow >> 8;
    const int nFila = int(nPgRow & 0xFF);
    const QByteArray Pag = Archivo.Pagina(nPagMapa);
    const TBloque b(Pag);
    if (b.U8(0, "el tipo de página") != kPagDatos)
        Danado(QStringLiteral("el mapa de uso %1 no está en una página de datos").arg(Pg(nPgRow)));
    const int nFilas = b.U16(F.nOffNumFilas, "el número de filas");
    if (nFila >= nFilas)
        Danado(QStringLiteral("el mapa de uso %1 no existe").arg(Pg(nPgRow)));
    const int nIni = b.U16(F.nOffTablaFilas + 2 * nFila, "la fila del mapa de uso") & kMascaraOffsetFila;
    const int nFin = nFila == 0 ? F.nTamPagina
                                : b.U16(F.nOffTablaFilas + 2 * (nFila - 1), "la fila del mapa de uso") &
                                      kMascaraOffsetFila;
    if (nIni < F.nOffTablaFilas + 2 * nFilas || nFin > F.nTamPagina || nIni >= nFin)
        Danado(QStringLiteral("el mapa de uso %1 tiene longitud inválida").arg(Pg(nPgRow)));

    const uint32_t nTotal = Archivo.NumPaginas();
    std::vector<uint32_t> Paginas;
    auto Recorre = [&](const uint8_t* pBits, int nBytes, uint64_t nPrimera) {
        for (int i = 0; i < nBytes; ++i) {
            for (int k = 0; pBits[i] >> k; ++k) {
                if (pBits[i] >> k & 1) {
                    const uint64_t nPagina = nPrimera + uint64_t(i) * 8 + uint64_t(k);
                    if (nPagina >= nTotal)
                        Danado(QStringLiteral("el mapa de uso %1 señala la página %2, fuera del archivo")
                                   .arg(Pg(nPgRow))
                                   .arg(nPagina));
                    Paginas.push_back(uint32_t(nPagina));
                }
            }
        }
    };

    const uint8_t* pFila = b.Datos() + nIni;
    const int nLong = nFin - nIni;
    if (pFila[0] == kMapaEnLinea) {
        if (nLong < 5)
            Danado(QStringLiteral("el mapa de uso %1 está incompleto").arg(Pg(nPgRow)));
        Recorre(pFila + 5, nLong - 5, U32(pFila + 1));
    } else if (pFila[0] == kMapaReferencia) {
        const uint64_t nPorPagina = uint64_t(F.nTamPagina - kEncabezadoPaginaMapa) * 8;
        for (int j = 0; 1 + 4 * j + 4 <= nLong; ++j) {
            const uint32_t nPagBits = U32(pFila + 1 + 4 * j);
            if (nPagBits == 0)
                continue;
            const QByteArray Bits = Archivo.Pagina(nPagBits);
            if (uint8_t(Bits[0]) != kPagMapaUso)
                Danado(QStringLiteral("la página %1 del mapa de uso %2 no es un mapa de bits")
                           .arg(nPagBits)
                           .arg(Pg(nPgRow)));
            Recorre(reinterpret_cast<const uint8_t*>(Bits.constData()) + kEncabezadoPaginaMapa,
                    F.nTamPagina - kEncabezadoPaginaMapa, nPorPagina * uint64_t(j));
        }
    } else {
        Danado(
            QStringLiteral("el mapa de uso %1 es de un tipo desconocido (%2)").arg(Pg(nPgRow)).arg(pFila[0]));
    }
    return Paginas;
}

TRecorridoTabla::TRecorridoTabla(std::shared_ptr<TArchivoJet> pArchivo,
                                 std::shared_ptr<const TTablaJet> pTabla, int nCodigoPaginaBD)
    : F_pArchivo(std::move(pArchivo)), F_pTabla(std::move(pTabla)), F_Formato(F_pArchivo->Formato()),
      F_bJet4(F_Formato.nVersion == 4)
{
    for (const TColumna& c : F_pTabla->Def.Columnas) {
        TPlanColumna p{};
        p.Tipo = c.Tipo;
        p.nNumero = c.nNumero;
        p.nIndiceVar = c.nIndiceVar;
        p.nOffsetFijo = c.nOffsetFijo;
        const int nFijo = TamanoFijo(c.Tipo);
        p.nTam = nFijo ? nFijo : c.nLongitud;
        p.nCodigoPagina = c.nCodigoPagina ? c.nCodigoPagina : nCodigoPaginaBD;
        p.nPrecision = uint8_t(c.nPrecision);
        p.nEscala = uint8_t(c.nEscala);
        p.bFija = c.bFija;
        p.bUsada = true;
        F_Plan.push_back(p);
    }
}

void TRecorridoTabla::Selecciona(const std::vector<bool>& Usadas)
{
    for (size_t i = 0; i < F_Plan.size(); ++i)
        F_Plan[i].bUsada = i < Usadas.size() && Usadas[i];
}

void TRecorridoTabla::Reinicia()
{
    F_nIndicePagina = 0;
    F_Pagina.clear();
    F_nFila = 0;
    F_nFilasPagina = 0;
}

void TRecorridoTabla::CargaPaginas()
{
    F_Paginas = PaginasDeMapa(*F_pArchivo, F_pTabla->nPgRowMapaUsadas);
    F_bPaginasCargadas = true;
}

bool TRecorridoTabla::LimitesFila(const QByteArray& Pagina, int nFila, int& nIni, int& nFin,
                                  bool& bDesbordada) const
{
    const auto* u = reinterpret_cast<const uint8_t*>(Pagina.constData());
    const int nTam = F_Formato.nTamPagina;
    const uint16_t nOff = U16(u + F_Formato.nOffTablaFilas + 2 * nFila);
    if (nOff & kFilaBorrada)
        return false;
    bDesbordada = (nOff & kFilaDesbordada) != 0;
    nIni = nOff & kMascaraOffsetFila;
    nFin = nFila == 0 ? nTam : (U16(u + F_Formato.nOffTablaFilas + 2 * (nFila - 1)) & kMascaraOffsetFila);
    const int nFilas = U16(u + F_Formato.nOffNumFilas);
    if (nIni < F_Formato.nOffTablaFilas + 2 * nFilas || nFin > nTam || nIni > nFin)
        Danado(QStringLiteral("la fila %1 de la página %2 tiene límites inválidos (%3..%4)")
                   .arg(nFila)
                   .arg(F_nPaginaActual)
                   .arg(nIni)
                   .arg(nFin));
    return true;
}

TRecorridoTabla::TFila TRecorridoTabla::FilaApuntada(uint32_t nPgRow, const char* pQue, bool bLval)
{
    const uint32_t nPagina = nPgRow >> 8;
    const int nFila = int(nPgRow & 0xFF);
    if (nPagina == 0 || nPagina >= F_pArchivo->NumPaginas())
        Danado(QStringLiteral("%1 apunta a la página %2, fuera del archivo")
                   .arg(QString::fromUtf8(pQue))
                   .arg(nPagina));
    TFila r;
    r.Pagina = F_pArchivo->Pagina(nPagina);
    const auto* u = reinterpret_cast<const uint8_t*>(r.Pagina.constData());
    if (u[0] != kPagDatos || (bLval && std::memcmp(u + 4, kDuenoLval, 4) != 0))
        Danado(QStringLiteral("%1 apunta a la página %2, que no es %3")
                   .arg(QString::fromUtf8(pQue))
                   .arg(nPagina)
                   .arg(bLval ? QStringLiteral("de valores largos") : QStringLiteral("de datos")));
    if (nFila >= U16(u + F_Formato.nOffNumFilas))
        Danado(QStringLiteral("%1 apunta a la fila %2, que no existe")
                   .arg(QString::fromUtf8(pQue))
                   .arg(Pg(nPgRow)));
    const int nTam = F_Formato.nTamPagina;
    const int nFilas = U16(u + F_Formato.nOffNumFilas);
    if (F_Formato.nOffTablaFilas + 2 * nFilas > nTam)
        Danado(QStringLiteral("la página %1 declara %2 filas").arg(nPagina).arg(nFilas));
    // Targets carry the deleted flag so that page scans skip them; only the bounds matter here.
    r.nIni = U16(u + F_Formato.nOffTablaFilas + 2 * nFila) & kMascaraOffsetFila;
    r.nFin = nFila == 0 ? nTam : (U16(u + F_Formato.nOffTablaFilas + 2 * (nFila - 1)) & kMascaraOffsetFila);
    if (r.nIni < F_Formato.nOffTablaFilas + 2 * nFilas || r.nFin > nTam || r.nIni > r.nFin)
        Danado(QStringLiteral("la fila %1 tiene límites inválidos").arg(Pg(nPgRow)));
    return r;
}

bool TRecorridoTabla::Siguiente(std::vector<TValor>& Fila)
{
    if (!F_bPaginasCargadas)
        CargaPaginas();
    const uint32_t nDueno = F_pTabla->Def.nPaginaDefinicion;
    for (;;) {
        if (F_nFila >= F_nFilasPagina) {
            // Next data page of this table. Pages the map lists but that belong to no one or to
            // another table (a stale map bit) are passed over.
            F_Pagina.clear();
            F_nFila = F_nFilasPagina = 0;
            while (F_nIndicePagina < F_Paginas.size()) {
                const uint32_t n = F_Paginas[F_nIndicePagina++];
                QByteArray Pag = F_pArchivo->Pagina(n);
                const auto* u = reinterpret_cast<const uint8_t*>(Pag.constData());
                if (u[0] != kPagDatos || U32(u + 4) != nDueno)
                    continue;
                const int nFilas = U16(u + F_Formato.nOffNumFilas);
                if (F_Formato.nOffTablaFilas + 2 * nFilas > F_Formato.nTamPagina)
                    Danado(QStringLiteral("la página %1 declara %2 filas").arg(n).arg(nFilas));
                F_Pagina = std::move(Pag);
                F_nPaginaActual = n;
                F_nFilasPagina = nFilas;
                break;
            }
            if (F_Pagina.isNull())
                return false;
            continue;
        }
        int nIni = 0;
        int nFin = 0;
        bool bDesbordada = false;
        if (!LimitesFila(F_Pagina, F_nFila++, nIni, nFin, bDesbordada))
            continue;
        if (!bDesbordada) {
            DecodificaFila(reinterpret_cast<const uint8_t*>(F_Pagina.constData()), nIni, nFin, Fila);
            return true;
        }
        // Overflow: the row holds the pg_row of the real one.
        const uint8_t* u = reinterpret_cast<const uint8_t*>(F_Pagina.constData());
        if (nFin - nIni < 4)
            Danado(QStringLiteral("un puntero de fila desbordada mide %1 bytes").arg(nFin - nIni));
        uint32_t nPgRow = U32(u + nIni);
        for (int nSalto = 0;; ++nSalto) {
            if (nSalto == kMaxSaltosDesborde)
                Danado(
                    QStringLiteral("la fila desbordada %1 forma una cadena demasiado larga").arg(Pg(nPgRow)));
            TFila Destino = FilaApuntada(nPgRow, "una fila desbordada", false);
            const auto* d = reinterpret_cast<const uint8_t*>(Destino.Pagina.constData());
            const int nFilaDest = int(nPgRow & 0xFF);
            const uint16_t nOffDest = U16(d + F_Formato.nOffTablaFilas + 2 * nFilaDest);
            if ((nOffDest & kFilaDesbordada) && !(nOffDest & kFilaBorrada)) {
                if (Destino.nFin - Destino.nIni < 4)
                    Danado(QStringLiteral("un puntero de fila desbordada mide %1 bytes")
                               .arg(Destino.nFin - Destino.nIni));
                nPgRow = U32(d + Destino.nIni);
                continue;
            }
            DecodificaFila(d, Destino.nIni, Destino.nFin, Fila);
            return true;
        }
    }
}

void TRecorridoTabla::DecodificaFila(const uint8_t* pPag, int nIni, int nFin, std::vector<TValor>& Fila)
{
    const int nLong = nFin - nIni;
    const int nTamCuenta = F_Formato.nTamNumColsFila;
    if (nLong < nTamCuenta)
        Danado(QStringLiteral("una fila mide %1 bytes").arg(nLong));
    const uint8_t* r = pPag + nIni; // the row, [0, nLong)
    const int nColsFila = F_bJet4 ? U16(r) : r[0];
    const int nMascara = (nColsFila + 7) / 8;
    const int nPosMascara = nLong - nMascara;
    if (nPosMascara < nTamCuenta)
        Danado(QStringLiteral("una fila de %1 bytes no da cabida a %2 columnas").arg(nLong).arg(nColsFila));

    // Var-offset table (the offsets are relative to the row start; entry n is the end of data).
    int nVar = 0;
    int nLimDatos = nPosMascara; // data (fixed and var) ends here
    if (F_pTabla->Def.nColumnasVariables > 0) {
        if (F_bJet4) {
            if (nPosMascara - 2 < nTamCuenta)
                Danado(QStringLiteral("una fila no tiene tabla de columnas variables"));
            nVar = U16(r + nPosMascara - 2);
            const int nTabla = nPosMascara - 2 - 2 * (nVar + 1);
            if (nTabla < nTamCuenta)
                Danado(QStringLiteral("la tabla de columnas variables de una fila no cabe (%1 entradas)")
                           .arg(nVar));
            F_OffVar.resize(size_t(nVar) + 1);
            for (int i = 0; i <= nVar; ++i)
                F_OffVar[size_t(i)] = U16(r + nPosMascara - 4 - 2 * i);
            nLimDatos = nTabla;
        } else {
            // Jet 3: one-byte offsets; a jump table carries the multiples of 256.
            const int nFinIncl = nLong - 1;
            nVar = r[nPosMascara - 1];
            int nSaltos = nFinIncl / 256;
            const int p = nFinIncl - nMascara - nSaltos - 1; // var_off[0]; var_off[i] at p - i
            if (p - nVar < nTamCuenta)
                Danado(QStringLiteral("la tabla de columnas variables de una fila no cabe (%1 entradas)")
                           .arg(nVar));
            // The lowest jump byte may be a placeholder; p stays where it was.
            if ((p - nVar) / 256 < nSaltos)
                --nSaltos;
            F_OffVar.resize(size_t(nVar) + 1);
            int nUsados = 0;
            for (int i = 0; i <= nVar; ++i) {
                while (nUsados < nSaltos && r[nFinIncl - nMascara - 1 - nUsados] == i)
                    ++nUsados;
                F_OffVar[size_t(i)] = r[p - i] + 256 * nUsados;
            }
            nLimDatos = p - nVar;
        }
    }

    Fila.resize(F_Plan.size());
    const uint8_t* pMascara = r + nPosMascara;
    for (size_t i = 0; i < F_Plan.size(); ++i) {
        const TPlanColumna& c = F_Plan[i];
        TValor& v = Fila[i];
        if (!c.bUsada) {
            v.emplace<std::monostate>();
            continue;
        }
        const bool bPresente = c.nNumero < nColsFila && ((pMascara[c.nNumero >> 3] >> (c.nNumero & 7)) & 1);
        if (c.Tipo == TTipoColumna::Booleano) {
            v = bPresente;
            continue;
        }
        if (!bPresente) {
            v.emplace<std::monostate>();
            continue;
        }
        if (c.bFija) {
            const int nPos = nTamCuenta + c.nOffsetFijo;
            if (nPos + c.nTam > nLimDatos)
                Danado(QStringLiteral("la columna fija %1 sale de su fila").arg(c.nNumero));
            DecodificaValor(c, r + nPos, c.nTam, v);
        } else {
            if (c.nIndiceVar >= nVar) {
                // Added after the row was written.
                v.emplace<std::monostate>();
                continue;
            }
            const int a = F_OffVar[size_t(c.nIndiceVar)];
            const int b = F_OffVar[size_t(c.nIndiceVar) + 1];
            if (a < nTamCuenta || a > b || b > nLimDatos)
                Danado(QStringLiteral("la columna variable %1 sale de su fila (%2..%3)")
                           .arg(c.nNumero)
                           .arg(a)
                           .arg(b));
            DecodificaValor(c, r + a, b - a, v);
        }
    }
}

void TRecorridoTabla::DecodificaValor(const TPlanColumna& c, const uint8_t* d, int n, TValor& v)
{
    const int nFijo = TamanoFijo(c.Tipo);
    if (n < nFijo)
        Danado(
            QStringLiteral("la columna %1 mide %2 bytes y su tipo pide %3").arg(c.nNumero).arg(n).arg(nFijo));
    switch (c.Tipo) {
    case TTipoColumna::Byte:
        v = int64_t(d[0]);
        return;
    case TTipoColumna::Entero:
        v = int64_t(int16_t(U16(d)));
        return;
    case TTipoColumna::Largo:
        v = int64_t(int32_t(U32(d)));
        return;
    case TTipoColumna::Moneda:
        v = TMoneda{int64_t(U64(d))};
        return;
    case TTipoColumna::Simple: {
        const uint32_t nBits = U32(d);
        float f;
        std::memcpy(&f, &nBits, 4);
        v = double(f);
        return;
    }
    case TTipoColumna::Doble:
    case TTipoColumna::FechaHora: {
        const uint64_t nBits = U64(d);
        double x;
        std::memcpy(&x, &nBits, 8);
        if (c.Tipo == TTipoColumna::Doble)
            v = x;
        else
            v = TFechaJet{x};
        return;
    }
    case TTipoColumna::Guid:
        v = QUuid(U32(d), U16(d + 4), U16(d + 6), d[8], d[9], d[10], d[11], d[12], d[13], d[14], d[15]);
        return;
    case TTipoColumna::Numerico: {
        TNumerico x;
        x.bNegativo = d[0] != 0;
        x.nAlto = (uint64_t(U32(d + 1)) << 32) | U32(d + 5);
        x.nBajo = (uint64_t(U32(d + 9)) << 32) | U32(d + 13);
        x.nEscala = c.nEscala;
        x.nPrecision = c.nPrecision;
        v = x;
        return;
    }
    case TTipoColumna::Texto:
        v = F_bJet4 ? TextoJet4(d, n) : TextoCodigoPagina(d, n, c.nCodigoPagina);
        return;
    case TTipoColumna::Memo: {
        const QByteArray b = LeeValorLargo(d, n);
        const auto* p = reinterpret_cast<const uint8_t*>(b.constData());
        v = F_bJet4 ? TextoJet4(p, int(b.size())) : TextoCodigoPagina(p, int(b.size()), c.nCodigoPagina);
        return;
    }
    case TTipoColumna::Ole:
        v = LeeValorLargo(d, n);
        return;
    default:
        v = QByteArray(reinterpret_cast<const char*>(d), n);
        return;
    }
}

QByteArray TRecorridoTabla::LeeValorLargo(const uint8_t* d, int n)
{
    if (n < kTamEncabezadoLval)
        Danado(QStringLiteral("un valor Memo u OLE mide %1 bytes").arg(n));
    const uint32_t nCabecera = U32(d);
    const uint32_t nTipo = nCabecera & kLvalTipoMascara;
    const int64_t nLong = nCabecera & kLvalLongitudMascara;
    uint32_t nPgRow = U32(d + 4);
    if (nLong > F_pArchivo->TamanoArchivo())
        Danado(QStringLiteral("un valor Memo u OLE declara %1 bytes, más que el archivo").arg(nLong));
    if (nTipo == kLvalEnLinea) {
        if (nLong > n - kTamEncabezadoLval)
            Danado(QStringLiteral("un valor Memo u OLE en línea declara %1 bytes y tiene %2")
                       .arg(nLong)
                       .arg(n - kTamEncabezadoLval));
        return QByteArray(reinterpret_cast<const char*>(d + kTamEncabezadoLval), qsizetype(nLong));
    }
    if (nLong == 0)
        return QByteArray("");
    if (nTipo == kLvalUnaFila) {
        const TFila f = FilaApuntada(nPgRow, "un valor Memo u OLE", true);
        if (f.nFin - f.nIni < nLong)
            Danado(QStringLiteral("el valor largo %1 mide %2 bytes y declara %3")
                       .arg(Pg(nPgRow))
                       .arg(f.nFin - f.nIni)
                       .arg(nLong));
        return QByteArray(f.Pagina.constData() + f.nIni, qsizetype(nLong));
    }
    if (nTipo != 0)
        Danado(QStringLiteral("un valor Memo u OLE es de un tipo desconocido"));
    // Chain: each row = u32 next pg_row + a piece of the data.
    QByteArray Datos;
    Datos.reserve(qsizetype(std::min<int64_t>(nLong, 1 << 20)));
    std::unordered_set<uint32_t> Vistas;
    while (Datos.size() < nLong) {
        if (nPgRow == 0)
            Danado(QStringLiteral("la cadena de un valor Memo u OLE termina en %1 de %2 bytes")
                       .arg(Datos.size())
                       .arg(nLong));
        if (!Vistas.insert(nPgRow).second)
            Danado(QStringLiteral("la cadena de un valor Memo u OLE forma un ciclo en %1").arg(Pg(nPgRow)));
        const TFila f = FilaApuntada(nPgRow, "un valor Memo u OLE", true);
        if (f.nFin - f.nIni < 4)
            Danado(QStringLiteral("el trozo de valor largo %1 mide %2 bytes")
                       .arg(Pg(nPgRow))
                       .arg(f.nFin - f.nIni));
        const char* p = f.Pagina.constData() + f.nIni;
        const int64_t nTrozo = std::min<int64_t>(f.nFin - f.nIni - 4, nLong - Datos.size());
        Datos.append(p + 4, qsizetype(nTrozo));
        nPgRow = U32(reinterpret_cast<const uint8_t*>(p));
    }
    return Datos;
}

} // namespace jet::detalle
