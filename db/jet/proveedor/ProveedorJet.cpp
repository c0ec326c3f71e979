#include "db/jet/proveedor/ProveedorJet.h"

#include "common/Plataforma.h"
#include "db/componentes/ErrorBD.h"
#include "db/jet/BaseDatosMdb.h"
#include "db/jet/sql/ErrorJet.h"
#include "db/jet/sql/SesionJetSQL.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>

namespace {

[[noreturn]] void falla(const QString& sMensaje)
{
    throw TErrorBD(TProveedorJet::ClaseError, sMensaje);
}

// A statement the Jet SQL layer rejected: its message, where in the text, and the engine's
// own words for developers.
[[noreturn]] void fallaJet(const TErrorJet& e)
{
    throw TErrorBD(TProveedorJet::ClaseError, e.Mensaje(), e.Posicion(), e.Detalle());
}

TTipoJet tipoDe(jet::TTipoColumna t)
{
    switch (t) {
    case jet::TTipoColumna::Booleano:
        return TTipoJet::Booleano;
    case jet::TTipoColumna::Byte:
        return TTipoJet::Byte;
    case jet::TTipoColumna::Entero:
        return TTipoJet::Entero;
    case jet::TTipoColumna::Largo:
        return TTipoJet::Largo;
    case jet::TTipoColumna::Moneda:
        return TTipoJet::Moneda;
    case jet::TTipoColumna::Simple:
        return TTipoJet::Simple;
    case jet::TTipoColumna::Doble:
        return TTipoJet::Doble;
    case jet::TTipoColumna::FechaHora:
        return TTipoJet::Fecha;
    case jet::TTipoColumna::Texto:
        return TTipoJet::Texto;
    case jet::TTipoColumna::Memo:
        return TTipoJet::Memo;
    case jet::TTipoColumna::Guid:
        return TTipoJet::Guid;
    case jet::TTipoColumna::Numerico:
        return TTipoJet::Decimal;
    default:
        return TTipoJet::Binario;
    }
}

// What tells one state of the file from another, cheaply: its identity (a file put in its place
// is another file, even when the clock is too coarse to give it other time stamps), size, time
// stamps (a replaced file has a new birth and change time even when its contents keep the old
// modification time) and the first page, which holds the database's own header.
struct TSello
{
    quint64 nVolumen = 0;
    quint64 nArchivo = 0;
    qint64 nTamano = -1;
    QDateTime Modificado;
    QDateTime Creado;
    QDateTime Cambiado;
    QByteArray Cabecera;
    bool operator==(const TSello&) const = default;
};

TSello selloDe(const QString& sRuta)
{
    const QFileInfo fi(sRuta);
    if (!fi.exists())
        return {};
    const Plataforma::TIdentidadArchivo Id = Plataforma::IdentidadArchivo(sRuta);
    TSello s{Id.nVolumen,
             Id.nArchivo,
             fi.size(),
             fi.lastModified(),
             fi.birthTime(),
             Plataforma::HoraDeCambio(sRuta),
             {}};
    QFile f(sRuta);
    if (f.open(QIODevice::ReadOnly))
        s.Cabecera = f.read(4096);
    return s;
}

const QString kMsjCambioEnPaso = QStringLiteral(
    "La base de datos '%1' cambió mientras se leía (fue reemplazada o modificada); el resultado mezclaría "
    "datos de antes y de después del cambio. Asegúrese de que nadie use el Tavoro y vuelva a intentarlo.");

std::unique_ptr<jet::TBaseDatosMdb> abreArchivo(const QString& sRuta, const QString& sContrasena)
{
    const QFileInfo fi(sRuta);
    if (sRuta.trimmed().isEmpty())
        falla(QStringLiteral("No se ha especificado el archivo de la base de datos (\"Data Source\")."));
    if (fi.isDir() || !fi.dir().exists())
        falla(QStringLiteral(
                  "'%1' no es una ruta válida. Asegúrese de que la ruta se ha escrito correctamente y "
                  "de que está conectado al servidor en el que reside el archivo.")
                  .arg(QDir::toNativeSeparators(sRuta)));
    if (!fi.exists())
        falla(QStringLiteral("No se pudo encontrar el archivo '%1'.").arg(QDir::toNativeSeparators(sRuta)));
    QFile f(sRuta);
    if (!f.open(QIODevice::ReadOnly))
        falla(QStringLiteral(
                  "El motor de base de datos Microsoft Jet no puede abrir el archivo '%1'. Ya está "
                  "abierto en modo exclusivo por otro usuario o necesita permiso para ver sus datos.")
                  .arg(QDir::toNativeSeparators(sRuta)));
    const QByteArray cabecera = f.read(32);
    f.close();
    // Page 0 of a Jet file names its engine at offset 4 (a later Access format names another,
    // which the reader refuses with its own reason).
    const bool jet = cabecera.size() > 0x14 && cabecera.mid(4, 15) == QByteArray("Standard Jet DB");
    const bool ace = cabecera.size() > 0x14 && cabecera.mid(4, 15) == QByteArray("Standard ACE DB");
    const bool posterior = ace || (jet && quint8(cabecera[0x14]) > 1); // the version byte
    if (!jet && !ace)
        falla(QStringLiteral("Formato de base de datos '%1' no reconocido.")
                  .arg(QDir::toNativeSeparators(sRuta)));
    QString error;
    auto bd = jet::TBaseDatosMdb::Abre(sRuta, &error);
    if (!bd) {
        // The reader's reason (a later format, a damaged page, a cycle...) stays in the message.
        QString motivo = error.trimmed();
        if (!motivo.isEmpty() && !motivo.endsWith(QLatin1Char('.')))
            motivo += QLatin1Char('.');
        if (!motivo.isEmpty())
            motivo[0] = motivo[0].toUpper();
        const QString inicio =
            posterior
                ? QStringLiteral("No se puede abrir la base de datos '%1'.")
                : QStringLiteral(
                      "La base de datos '%1' necesita ser reparada o no es un archivo de base de datos.");
        falla((inicio.arg(QDir::toNativeSeparators(sRuta)) + QLatin1Char(' ') + motivo).trimmed());
    }
    if (!bd->Contrasena().isEmpty() && bd->Contrasena() != sContrasena)
        falla(QStringLiteral("No es una contraseña válida."));
    return bd;
}

class TSesionJet : public ISesionJet, public IOrigenTablasJet
{
public:
    TSesionJet(const QString& sRuta, const QString& sContrasena)
        : F_sRuta(sRuta), F_sContrasena(sContrasena), F_Sesion(*this)
    {
        F_Sello = selloDe(sRuta);
        F_pBD = abreArchivo(sRuta, sContrasena);
    }
    // The preload reads the file through this object: it stops before anything goes.
    ~TSesionJet() override { F_Sesion.ParaPrecarga(); }

    TResultadoBD Consulta(const QString& sSQL) override
    {
        try {
            F_Sesion.RevisaOcupada();
            AlDiaTrasPrecarga();
            return F_Sesion.Consulta(sSQL);
        } catch (const TErrorJet& e) {
            fallaJet(e);
        }
    }

    void ConsultaPorPartes(const QString& sSQL,
                           const std::function<bool(const TResultadoBD&)>& Recibe) override
    {
        try {
            F_Sesion.RevisaOcupada();
            AlDiaTrasPrecarga();
            F_Sesion.ConsultaPorPartes(sSQL, Recibe);
        } catch (const TErrorJet& e) {
            fallaJet(e);
        }
    }

    void Ejecuta(const QString& sSQL) override
    {
        try {
            F_Sesion.RevisaOcupada();
            AlDiaTrasPrecarga();
            F_Sesion.Ejecuta(sSQL);
        } catch (const TErrorJet& e) {
            fallaJet(e);
        }
    }

    QString Traduce(const QString& sSQL) override
    {
        try {
            F_Sesion.RevisaOcupada();
            AlDiaTrasPrecarga();
            return F_Sesion.Traduce(sSQL);
        } catch (const TErrorJet& e) {
            fallaJet(e);
        }
    }

    QStringList Plan(const QString& sSql) override
    {
        try {
            return F_Sesion.Plan(sSql);
        } catch (const TErrorJet& e) {
            fallaJet(e);
        }
    }

    void SetSemirreuniones(bool b) override
    {
        revisaOcupada();
        F_Sesion.SetSemirreuniones(b);
    }

    // Like the statements, the step's checks, the list of loaded tables and the change of the
    // hook are refused while a statement's work runs (from the hook itself, or from a part
    // handed out during a statement): they would reload or read what the work is changing.
    void IniciaPaso() override
    {
        revisaOcupada();
        F_bEnPaso = false;
        AlDia();
        F_bEnPaso = true;
    }
    void CompruebaPaso() override
    {
        revisaOcupada();
        if (F_bEnPaso && !(selloDe(F_sRuta) == F_Sello))
            falla(kMsjCambioEnPaso.arg(QDir::toNativeSeparators(F_sRuta)));
    }
    void TerminaPaso() override { F_bEnPaso = false; }

    QStringList TablasCargadas() override
    {
        revisaOcupada();
        return F_Sesion.TablasCargadas();
    }
    int Cargas() override
    {
        F_Sesion.EsperaPrecarga();
        return F_nCargas;
    }

    // The seal the preloaded tables belong to is the one AlDia keeps, taken before the preload
    // reads anything: a file changed during or after it makes the next statement (or the next
    // step) forget them. Within a step whose file already changed nothing is preloaded.
    void PrecargaTablas(const QStringList& Consultas) override
    {
        try {
            F_Sesion.RevisaOcupada();
            AlDia();
            F_Sesion.Precarga(Consultas);
        } catch (...) {
            // Not the user's concern: the statements load their tables as without a preload.
        }
    }
    void SetTraza(std::function<void(const QString&, qint64)> Traza) override
    {
        F_Sesion.SetTraza(std::move(Traza));
    }
    void SetAviso(std::function<bool()> Aviso) override
    {
        revisaOcupada();
        F_Sesion.SetAviso(std::move(Aviso));
    }

    void revisaOcupada() const
    {
        try {
            F_Sesion.RevisaOcupada();
        } catch (const TErrorJet& e) {
            fallaJet(e);
        }
    }

    // IOrigenTablasJet
    bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override
    {
        jet::TDefinicionTabla def;
        if (!F_pBD->DefinicionTabla(sNombre, def))
            return false;
        Esquema.sNombre = def.sNombre;
        Esquema.Columnas.clear();
        for (const auto& c : def.Columnas)
            Esquema.Columnas.push_back({c.sNombre, tipoDe(c.Tipo)});
        return true;
    }

    void LeeFilas(const TEsquemaTablaJet& Esquema, TCargaTablaJet& Carga) override
    {
        QString error;
        auto lector = F_pBD->AbreTabla(Esquema.sNombre, &error);
        if (!lector)
            throw TErrorJet(error);
        std::vector<jet::TValor> fila;
        while (lector->Siguiente(fila)) {
            for (const jet::TValor& v : fila)
                std::visit(
                    [&](const auto& x) {
                        using T = std::decay_t<decltype(x)>;
                        if constexpr (std::is_same_v<T, std::monostate>)
                            Carga.Nulo();
                        else if constexpr (std::is_same_v<T, bool>)
                            Carga.Entero(x ? -1 : 0);
                        else if constexpr (std::is_same_v<T, int64_t>)
                            Carga.Entero(x);
                        else if constexpr (std::is_same_v<T, double>)
                            Carga.Doble(x);
                        else if constexpr (std::is_same_v<T, jet::TMoneda>)
                            Carga.Moneda(x.nDiezmilesimos);
                        else if constexpr (std::is_same_v<T, jet::TFechaJet>)
                            Carga.Doble(x.dDias);
                        else if constexpr (std::is_same_v<T, QString>)
                            Carga.Texto(x);
                        else if constexpr (std::is_same_v<T, QByteArray>)
                            Carga.Binario(x);
                        else if constexpr (std::is_same_v<T, QUuid>)
                            Carga.Texto(x.toString().toUpper());
                        else if constexpr (std::is_same_v<T, jet::TNumerico>)
                            Carga.Doble(x.Doble());
                    },
                    v);
            Carga.FinFila();
        }
        if (!lector->Error().isEmpty())
            throw TErrorJet(lector->Error());
        ++F_nCargas;
    }

private:
    // A file that changed since its tables were read is opened again and its tables forgotten
    // (a preload under way is stopped first), so that the next statement reads them anew.
    void AlDia()
    {
        const TSello actual = selloDe(F_sRuta);
        if (actual == F_Sello)
            return;
        // Within a step the tables already read must stay those of the rest of the step.
        if (F_bEnPaso)
            falla(kMsjCambioEnPaso.arg(QDir::toNativeSeparators(F_sRuta)));
        F_Sesion.OlvidaTablas();
        F_pBD.reset();
        F_pBD = abreArchivo(F_sRuta, F_sContrasena);
        // Only a file that opened is the one the session reads: one that did not is tried
        // again (and fails with its reason) by the next statement.
        F_Sello = actual;
    }
    // AlDia before a statement: a preload still running is waited for (a changed file stops it
    // instead), and the file is looked at again once it has ended, since it may have changed
    // while the preload read it.
    void AlDiaTrasPrecarga()
    {
        AlDia();
        if (!F_Sesion.Precargando())
            return;
        if (!F_Sesion.EsperaPrecarga())
            throw TErrorBD(ClaseErrorCancelado, MensajeCancelado);
        AlDia();
    }

    QString F_sRuta;
    QString F_sContrasena;
    TSello F_Sello;
    bool F_bEnPaso = false;
    std::unique_ptr<jet::TBaseDatosMdb> F_pBD;
    TSesionJetSQL F_Sesion;
    std::atomic<int> F_nCargas = 0; // the preload's thread counts its loads too
};

} // namespace

std::unique_ptr<ISesionJet> AbreSesionJet(const QString& sRuta, const QString& sContrasena)
{
    return std::make_unique<TSesionJet>(sRuta, sContrasena);
}

std::unique_ptr<ISesionBD> TProveedorJet::Abre(const TCadenaConexion& Cadena, TModoCompartir)
{
    return AbreSesionJet(Cadena.Valor(QStringLiteral("Data Source")).trimmed(),
                         Cadena.Valor(QStringLiteral("Jet OLEDB:Database Password")));
}
