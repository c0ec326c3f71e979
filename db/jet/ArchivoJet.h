#pragma once

// Internal to the reader: page access with bounds checks, page decryption and the error type.

#include "db/jet/FormatoJet.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <array>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace jet::detalle {

// A format error, carried by exception inside the reader and turned into a return value at the
// public API.
class TErrorFormato : public std::runtime_error
{
public:
    explicit TErrorFormato(const QString& sMensaje)
        : std::runtime_error(sMensaje.toStdString()), F_sMensaje(sMensaje)
    {
    }
    const QString& Mensaje() const { return F_sMensaje; }

private:
    QString F_sMensaje;
};

extern const QString kMsjNoEsAccess;

// Throws "El archivo de base de datos está dañado: <sDetalle>."
[[noreturn]] void Danado(const QString& sDetalle);

inline uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t U64(const uint8_t* p)
{
    return uint64_t(U32(p)) | (uint64_t(U32(p + 4)) << 32);
}

// A byte range checked against its owner: every read names its offset and fails cleanly when
// it falls outside.
class TBloque
{
public:
    TBloque() = default;
    TBloque(const uint8_t* p, int n) : F_p(p), F_n(n) {}
    explicit TBloque(const QByteArray& b)
        : F_p(reinterpret_cast<const uint8_t*>(b.constData())), F_n(int(b.size()))
    {
    }
    const uint8_t* Datos() const { return F_p; }
    int Tamano() const { return F_n; }
    bool Cabe(int64_t nOff, int64_t nLong) const { return nOff >= 0 && nLong >= 0 && nOff + nLong <= F_n; }
    void Exige(int64_t nOff, int64_t nLong, const char* pQue) const;
    uint8_t U8(int nOff, const char* pQue) const
    {
        Exige(nOff, 1, pQue);
        return F_p[nOff];
    }
    uint16_t U16(int nOff, const char* pQue) const
    {
        Exige(nOff, 2, pQue);
        return detalle::U16(F_p + nOff);
    }
    uint32_t U32(int nOff, const char* pQue) const
    {
        Exige(nOff, 4, pQue);
        return detalle::U32(F_p + nOff);
    }

private:
    const uint8_t* F_p = nullptr;
    int F_n = 0;
};

// The pages of an open file. Pages come back as QByteArray (shared, so a page stays valid while
// a caller holds it, whatever the cache does); encrypted pages are decrypted on the way.
class TArchivoJet
{
public:
    // Opens the file read-only; throws TErrorFormato.
    static std::shared_ptr<TArchivoJet> DeArchivo(const QString& sRuta);
    static std::shared_ptr<TArchivoJet> DeMemoria(const QByteArray& Datos);

    // Reads and checks page 0; sets the format. Returns the raw page 0 (header block decoded).
    QByteArray LeeEncabezado();
    void FijaClaveCifrado(uint32_t nClave) { F_nClave = nClave; }

    const TFormatoJet& Formato() const { return *F_pFormato; }
    int TamPagina() const { return F_pFormato->nTamPagina; }
    uint32_t NumPaginas() const { return F_nPaginas; }
    int64_t TamanoArchivo() const { return F_nTamano; }

    // Page n (n >= 1 decrypted when the database is encrypted). Throws when it lies outside the
    // file.
    QByteArray Pagina(uint32_t n);

private:
    TArchivoJet() = default;
    void LeeBytes(int64_t nOff, char* pDestino, int nLong);

    std::unique_ptr<QFile> F_pArchivo;
    QByteArray F_Memoria;
    int64_t F_nTamano = 0;
    const TFormatoJet* F_pFormato = &kFormatoJet4;
    uint32_t F_nPaginas = 0;
    uint32_t F_nClave = 0;

    struct TEntrada
    {
        uint32_t nPagina = UINT32_MAX;
        QByteArray Datos;
    };
    static constexpr int kEntradasCache = 64;
    std::array<TEntrada, kEntradasCache> F_Cache;
};

} // namespace jet::detalle
