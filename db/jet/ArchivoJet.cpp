#include "db/jet/ArchivoJet.h"

#include "common/ArchivosHost.h"
#include "common/Plataforma.h"

#include <QDir>
#include <QFileInfo>

namespace jet::detalle {

const QString kMsjNoEsAccess = QStringLiteral("El archivo no es una base de datos de Access válida.");

void Danado(const QString& sDetalle)
{
    throw TErrorFormato(QStringLiteral("El archivo de base de datos está dañado: %1.").arg(sDetalle));
}

void TBloque::Exige(int64_t nOff, int64_t nLong, const char* pQue) const
{
    if (!Cabe(nOff, nLong))
        Danado(QStringLiteral("%1 fuera de su página (posición %2, %3 bytes de %4)")
                   .arg(QString::fromUtf8(pQue))
                   .arg(nOff)
                   .arg(nLong)
                   .arg(F_n));
}

std::shared_ptr<TArchivoJet> TArchivoJet::DeArchivo(const QString& sRuta)
{
    std::shared_ptr<TArchivoJet> p(new TArchivoJet);
    const QFileInfo Info(sRuta);
    if (!Info.exists())
        throw TErrorFormato(QStringLiteral("No se encontró el archivo de base de datos \"%1\".").arg(sRuta));
    if (Info.isDir())
        throw TErrorFormato(kMsjNoEsAccess);
    // A database being read is never to be overwritten by this program's own output, nor is
    // anything written beside it.
    ArchivosHost::ProtegeArchivo(sRuta);
    ArchivosHost::ProtegeCarpeta(Info.absolutePath());
    // Read-only, unbuffered and shared with everyone: nothing is locked or created beside the file.
    p->F_pArchivo = std::make_unique<QFile>(sRuta);
    QString sMotivo;
    if (!Plataforma::AbreSoloLectura(*p->F_pArchivo, &sMotivo))
        throw TErrorFormato(QStringLiteral("No se pudo abrir el archivo de base de datos \"%1\": %2.")
                                .arg(QDir::toNativeSeparators(sRuta), sMotivo));
    p->F_nTamano = p->F_pArchivo->size();
    return p;
}

std::shared_ptr<TArchivoJet> TArchivoJet::DeMemoria(const QByteArray& Datos)
{
    std::shared_ptr<TArchivoJet> p(new TArchivoJet);
    p->F_Memoria = Datos;
    p->F_nTamano = Datos.size();
    return p;
}

void TArchivoJet::LeeBytes(int64_t nOff, char* pDestino, int nLong)
{
    if (nOff < 0 || nOff + nLong > F_nTamano)
        Danado(QStringLiteral("la posición %1 está fuera del archivo").arg(nOff));
    if (!F_pArchivo) {
        std::memcpy(pDestino, F_Memoria.constData() + nOff, size_t(nLong));
        return;
    }
    if (!F_pArchivo->seek(nOff) || F_pArchivo->read(pDestino, nLong) != nLong)
        Danado(
            QStringLiteral("no se pudo leer la posición %1 (%2)").arg(nOff).arg(F_pArchivo->errorString()));
}

QByteArray TArchivoJet::LeeEncabezado()
{
    // The signature and version decide the page size; a shorter file is no database at all.
    if (F_nTamano < kOffBloqueCifrado)
        throw TErrorFormato(kMsjNoEsAccess);
    char Inicio[kOffBloqueCifrado];
    LeeBytes(0, Inicio, kOffBloqueCifrado);
    const auto* u = reinterpret_cast<const uint8_t*>(Inicio);
    const bool bFirmaJet = std::memcmp(Inicio + kOffFirma, kFirmaJet, kLongFirma) == 0;
    const bool bFirmaAce = std::memcmp(Inicio + kOffFirma, kFirmaAce, kLongFirma) == 0;
    if (u[0] != 0 || u[1] != 1 || u[2] != 0 || u[3] != 0 || !(bFirmaJet || bFirmaAce))
        throw TErrorFormato(kMsjNoEsAccess);
    const uint8_t nVersion = u[kOffVersion];
    if (bFirmaAce || nVersion > kVersionJet4)
        throw TErrorFormato(
            QStringLiteral(
                "La base de datos tiene un formato de Access posterior a Access 2003 (versión %1), "
                "que no se puede leer.")
                .arg(nVersion));
    F_pFormato = nVersion == kVersionJet3 ? &kFormatoJet3 : &kFormatoJet4;
    const int nTam = F_pFormato->nTamPagina;
    // The header, the global usage map and the catalog's definition come first in every database.
    if (F_nTamano < int64_t(kPaginaCatalogo + 1) * nTam)
        Danado(
            QStringLiteral("el archivo mide %1 bytes, menos que las tres primeras páginas").arg(F_nTamano));
    // A partial last page is left out: reading it is an error like any page past the end.
    F_nPaginas = uint32_t(std::min<int64_t>(F_nTamano / nTam, UINT32_MAX));

    QByteArray Pag(nTam, Qt::Uninitialized);
    LeeBytes(0, Pag.data(), nTam);
    Rc4(kClaveEncabezado, sizeof kClaveEncabezado, reinterpret_cast<uint8_t*>(Pag.data()) + kOffBloqueCifrado,
        size_t(F_pFormato->nLongBloqueCifrado));
    return Pag;
}

QByteArray TArchivoJet::Pagina(uint32_t n)
{
    if (n >= F_nPaginas)
        Danado(QStringLiteral("se pide la página %1 y el archivo tiene %2").arg(n).arg(F_nPaginas));
    TEntrada& e = F_Cache[n % kEntradasCache];
    if (e.nPagina == n)
        return e.Datos;
    const int nTam = TamPagina();
    const int64_t nOff = int64_t(n) * nTam;
    QByteArray Datos;
    if (!F_pArchivo && F_nClave == 0) {
        // The bytes stay in the caller's buffer; nothing to copy.
        Datos = QByteArray::fromRawData(F_Memoria.constData() + nOff, nTam);
    } else {
        Datos = QByteArray(nTam, Qt::Uninitialized);
        LeeBytes(nOff, Datos.data(), nTam);
        if (F_nClave != 0 && n > 0) {
            const uint32_t k = F_nClave ^ n;
            const uint8_t Clave[4] = {uint8_t(k), uint8_t(k >> 8), uint8_t(k >> 16), uint8_t(k >> 24)};
            Rc4(Clave, 4, reinterpret_cast<uint8_t*>(Datos.data()), size_t(nTam));
        }
    }
    e.nPagina = n;
    e.Datos = Datos;
    return Datos;
}

} // namespace jet::detalle
