#include "db/jet/BaseDatosMdb.h"

#include "db/jet/ArchivoJet.h"
#include "db/jet/TablaJet.h"

#include <cmath>
#include <cstring>

namespace jet {

using namespace detalle;

QString NombreTipo(TTipoColumna Tipo)
{
    switch (Tipo) {
    case TTipoColumna::Booleano:
        return QStringLiteral("Sí/No");
    case TTipoColumna::Byte:
        return QStringLiteral("Número (Byte)");
    case TTipoColumna::Entero:
        return QStringLiteral("Número (Entero)");
    case TTipoColumna::Largo:
        return QStringLiteral("Número (Entero largo)");
    case TTipoColumna::Moneda:
        return QStringLiteral("Moneda");
    case TTipoColumna::Simple:
        return QStringLiteral("Número (Simple)");
    case TTipoColumna::Doble:
        return QStringLiteral("Número (Doble)");
    case TTipoColumna::FechaHora:
        return QStringLiteral("Fecha/Hora");
    case TTipoColumna::Binario:
        return QStringLiteral("Binario");
    case TTipoColumna::Texto:
        return QStringLiteral("Texto");
    case TTipoColumna::Ole:
        return QStringLiteral("Objeto OLE");
    case TTipoColumna::Memo:
        return QStringLiteral("Memo");
    case TTipoColumna::Guid:
        return QStringLiteral("Número (Id. de réplica)");
    case TTipoColumna::Numerico:
        return QStringLiteral("Número (Decimal)");
    }
    return QStringLiteral("Desconocido (%1)").arg(int(Tipo));
}

// ---- TLectorFilas -------------------------------------------------------------------------

struct TLectorFilas::TImpl
{
    TRecorridoTabla Recorrido;
};

TLectorFilas::TLectorFilas(std::unique_ptr<TImpl> pImpl) : F_pImpl(std::move(pImpl)) {}
TLectorFilas::~TLectorFilas() = default;

const TDefinicionTabla& TLectorFilas::Definicion() const
{
    return F_pImpl->Recorrido.Definicion();
}

bool TLectorFilas::Siguiente(std::vector<TValor>& Fila)
{
    if (!F_sError.isEmpty())
        return false;
    try {
        return F_pImpl->Recorrido.Siguiente(Fila);
    } catch (const TErrorFormato& e) {
        F_sError = e.Mensaje();
        return false;
    }
}

void TLectorFilas::SeleccionaColumnas(const std::vector<bool>& Usadas)
{
    F_pImpl->Recorrido.Selecciona(Usadas);
}

void TLectorFilas::Reinicia()
{
    F_sError.clear();
    F_pImpl->Recorrido.Reinicia();
}

// ---- TBaseDatosMdb ------------------------------------------------------------------------

namespace {

struct TObjetoCatalogo
{
    QString sNombre;
    uint32_t nPagina = 0;
    bool bSistema = false;
};

} // namespace

struct TBaseDatosMdb::TImpl
{
    std::shared_ptr<TArchivoJet> pArchivo;
    int nCodigoPagina = 1252;
    int nOrden = 0;
    double dFechaCreacion = 0;
    uint32_t nClave = 0;
    QString sContrasena;
    std::vector<TObjetoCatalogo> Tablas;

    void LeeEncabezado();
    void LeeCatalogo();
    const TObjetoCatalogo* Busca(const QString& sNombre) const;
};

void TBaseDatosMdb::TImpl::LeeEncabezado()
{
    const QByteArray Pag = pArchivo->LeeEncabezado();
    const auto* u = reinterpret_cast<const uint8_t*>(Pag.constData());
    const TFormatoJet& F = pArchivo->Formato();
    nCodigoPagina = U16(u + kOffCodigoPagina);
    nClave = U32(u + kOffClaveBD);
    nOrden = U16(u + F.nOffOrden);
    if (F.nVersion == 4) {
        const uint64_t nBits = U64(u + kOffFechaCreacion);
        std::memcpy(&dFechaCreacion, &nBits, 8);
    }

    uint8_t Clave[40];
    std::memcpy(Clave, u + kOffContrasena, size_t(F.nLongContrasena));
    if (F.nVersion == 4) {
        // Jet 4 masks the UCS-2 password with the four bytes of the whole creation day.
        const int32_t nDia = std::isfinite(dFechaCreacion) && std::fabs(dFechaCreacion) < 2147483647.0
                                 ? static_cast<int32_t>(dFechaCreacion)
                                 : 0;
        const auto m = static_cast<uint32_t>(nDia);
        const uint8_t Mascara[4] = {uint8_t(m), uint8_t(m >> 8), uint8_t(m >> 16), uint8_t(m >> 24)};
        for (int i = 0; i < F.nLongContrasena; ++i)
            Clave[i] ^= Mascara[i % 4];
        int n = 0;
        while (n < 20 && (Clave[2 * n] | Clave[2 * n + 1]))
            ++n;
        sContrasena = TextoJet4(Clave, 2 * n);
    } else {
        int n = 0;
        while (n < F.nLongContrasena && Clave[n])
            ++n;
        sContrasena = TextoCodigoPagina(Clave, n, nCodigoPagina);
    }
    pArchivo->FijaClaveCifrado(nClave);
}

void TBaseDatosMdb::TImpl::LeeCatalogo()
{
    const QByteArray Pag = pArchivo->Pagina(kPaginaCatalogo);
    if (uint8_t(Pag[0]) != kPagDefTabla) {
        if (nClave != 0)
            throw TErrorFormato(
                QStringLiteral("La base de datos está cifrada con un método que no se puede leer."));
        Danado(QStringLiteral("la página 2 no tiene la definición del catálogo"));
    }
    auto pTabla = LeeTabla(*pArchivo, kPaginaCatalogo, QStringLiteral("MSysObjects"), nCodigoPagina);
    const std::vector<TColumna>& Cols = pTabla->Def.Columnas;
    auto Indice = [&](const char* pNombre) {
        for (size_t i = 0; i < Cols.size(); ++i) {
            if (Cols[i].sNombre.compare(QLatin1String(pNombre), Qt::CaseInsensitive) == 0)
                return i;
        }
        Danado(QStringLiteral("al catálogo le falta la columna %1").arg(QLatin1String(pNombre)));
    };
    const size_t nId = Indice("Id");
    const size_t nNombre = Indice("Name");
    const size_t nTipo = Indice("Type");
    const size_t nBanderas = Indice("Flags");

    TRecorridoTabla Recorrido(pArchivo, pTabla, nCodigoPagina);
    std::vector<bool> Usadas(Cols.size(), false);
    Usadas[nId] = Usadas[nNombre] = Usadas[nTipo] = Usadas[nBanderas] = true;
    Recorrido.Selecciona(Usadas);
    auto Entero = [](const TValor& v) {
        return std::holds_alternative<int64_t>(v) ? std::get<int64_t>(v) : 0;
    };
    std::vector<TValor> Fila;
    while (Recorrido.Siguiente(Fila)) {
        if ((Entero(Fila[nTipo]) & 0x7F) != kObjetoTabla || !std::holds_alternative<QString>(Fila[nNombre]))
            continue;
        TObjetoCatalogo o;
        o.sNombre = std::get<QString>(Fila[nNombre]);
        o.nPagina = uint32_t(Entero(Fila[nId])) & kMascaraIdObjeto;
        o.bSistema = (uint32_t(Entero(Fila[nBanderas])) & kBanderasSistema) != 0;
        Tablas.push_back(std::move(o));
    }
}

const TObjetoCatalogo* TBaseDatosMdb::TImpl::Busca(const QString& sNombre) const
{
    for (const TObjetoCatalogo& o : Tablas) {
        if (o.sNombre.compare(sNombre, Qt::CaseInsensitive) == 0)
            return &o;
    }
    return nullptr;
}

TBaseDatosMdb::TBaseDatosMdb(std::unique_ptr<TImpl> pImpl) : F_pImpl(std::move(pImpl)) {}
TBaseDatosMdb::~TBaseDatosMdb() = default;

std::unique_ptr<TBaseDatosMdb>
TBaseDatosMdb::AbreCon(const std::function<std::shared_ptr<TArchivoJet>()>& Abre, QString* sError)
{
    try {
        auto p = std::make_unique<TImpl>();
        p->pArchivo = Abre();
        p->LeeEncabezado();
        p->LeeCatalogo();
        return std::unique_ptr<TBaseDatosMdb>(new TBaseDatosMdb(std::move(p)));
    } catch (const TErrorFormato& e) {
        if (sError)
            *sError = e.Mensaje();
        return nullptr;
    }
}

std::unique_ptr<TBaseDatosMdb> TBaseDatosMdb::Abre(const QString& sRuta, QString* sError)
{
    return AbreCon([&] { return TArchivoJet::DeArchivo(sRuta); }, sError);
}

std::unique_ptr<TBaseDatosMdb> TBaseDatosMdb::AbreMemoria(const QByteArray& Datos, QString* sError)
{
    return AbreCon([&] { return TArchivoJet::DeMemoria(Datos); }, sError);
}

int TBaseDatosMdb::VersionJet() const
{
    return F_pImpl->pArchivo->Formato().nVersion;
}
const TFormatoJet& TBaseDatosMdb::Formato() const
{
    return F_pImpl->pArchivo->Formato();
}
int TBaseDatosMdb::CodigoPagina() const
{
    return F_pImpl->nCodigoPagina;
}
int TBaseDatosMdb::OrdenClasificacion() const
{
    return F_pImpl->nOrden;
}
double TBaseDatosMdb::FechaCreacion() const
{
    return F_pImpl->dFechaCreacion;
}
uint32_t TBaseDatosMdb::ClaveCifrado() const
{
    return F_pImpl->nClave;
}
const QString& TBaseDatosMdb::Contrasena() const
{
    return F_pImpl->sContrasena;
}

QStringList TBaseDatosMdb::Tablas() const
{
    QStringList r;
    for (const TObjetoCatalogo& o : F_pImpl->Tablas) {
        if (!o.bSistema)
            r << o.sNombre;
    }
    return r;
}

QStringList TBaseDatosMdb::TodasLasTablas() const
{
    QStringList r;
    for (const TObjetoCatalogo& o : F_pImpl->Tablas)
        r << o.sNombre;
    return r;
}

bool TBaseDatosMdb::DefinicionTabla(const QString& sNombre, TDefinicionTabla& Def, QString* sError) const
{
    auto pLector = AbreTabla(sNombre, sError);
    if (!pLector)
        return false;
    Def = pLector->Definicion();
    return true;
}

std::unique_ptr<TLectorFilas> TBaseDatosMdb::AbreTabla(const QString& sNombre, QString* sError) const
{
    const TObjetoCatalogo* o = F_pImpl->Busca(sNombre);
    if (!o) {
        if (sError)
            *sError = QStringLiteral("La tabla \"%1\" no existe en la base de datos.").arg(sNombre);
        return nullptr;
    }
    try {
        auto pTabla = LeeTabla(*F_pImpl->pArchivo, o->nPagina, o->sNombre, F_pImpl->nCodigoPagina);
        auto pImpl = std::unique_ptr<TLectorFilas::TImpl>(
            new TLectorFilas::TImpl{TRecorridoTabla(F_pImpl->pArchivo, pTabla, F_pImpl->nCodigoPagina)});
        return std::unique_ptr<TLectorFilas>(new TLectorFilas(std::move(pImpl)));
    } catch (const TErrorFormato& e) {
        if (sError)
            *sError = e.Mensaje();
        return nullptr;
    }
}

} // namespace jet
