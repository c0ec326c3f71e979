#include "corrida/Sucursales.h"

#include "common/IIDialogos.h"
#include "common/Plataforma.h"
#include "common/Salidas.h"
#include "questionnaire/ArchivosDetalle.h"
#include "questionnaire/CatalogoPreguntas.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A branch's messages of the database layer, kept for its failure message instead of shown.
class TDialogosRegistro : public IDialogos
{
public:
    void MuestraMensaje(const QString& sTexto) override { Textos << sTexto; }
    bool PreguntaAdvertencia(const QString& sTexto) override
    {
        Textos << sTexto;
        return false;
    }
    void MuestraErrorEvento(const QString& sTexto) override { Textos << sTexto; }
    QString EligeCarpeta(const QString&, const QString&) override { return {}; }
    int EligeOpcion(const QString&, const QString&, const QStringList&, int nPropuesta) override
    {
        return nPropuesta;
    }

    QStringList Textos;
};

QString nativa(const QString& s)
{
    return QDir::toNativeSeparators(s);
}

QString nombreSucursal(int nNumero, const QString& sCarpeta)
{
    return u"Sucursal %1 (%2)"_s.arg(nNumero).arg(QFileInfo(QDir::cleanPath(sCarpeta)).fileName());
}

// SHA-256 of a file read without blocking anyone; empty when it cannot be read.
QByteArray huella(const QString& sRuta)
{
    QFile f(sRuta);
    if (!Plataforma::AbreSoloLectura(f))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    if (!h.addData(&f))
        return {};
    return h.result();
}

} // namespace

TConsolidacion::TConsolidacion() = default;
TConsolidacion::~TConsolidacion() = default;

bool TConsolidacion::leeMarcas(const TOpcionesConsolidacion& o, QList<QStringList>& Marcas)
{
    const QStringList& Carpetas = o.Carpetas;
    Marcas = QList<QStringList>(Carpetas.size());
    static const QRegularExpression reNumero(u"^(\\d+):(.+)$"_s);
    for (const QString& m : o.Marcas) {
        int nSucursal = -1;
        QString sClave;
        if (m.startsWith(u"carpeta="_s)) {
            const QString sResto = m.mid(8);
            const int nDosPuntos = int(sResto.lastIndexOf(QLatin1Char(':')));
            const QString sRuta = nDosPuntos > 0 ? sResto.left(nDosPuntos) : QString();
            sClave = nDosPuntos > 0 ? sResto.mid(nDosPuntos + 1) : QString();
            const QString sCanonica = QFileInfo(sRuta).canonicalFilePath();
            for (int i = 0; i < Carpetas.size() && nSucursal < 0; ++i) {
                const QString c = QFileInfo(Carpetas[i]).canonicalFilePath();
                if ((!sCanonica.isEmpty() && c == sCanonica) ||
                    QDir::cleanPath(Carpetas[i]) == QDir::cleanPath(sRuta))
                    nSucursal = i;
            }
            if (nSucursal < 0 || sClave.isEmpty()) {
                F_sError =
                    u"La opción --pep %1 no nombra ninguna de las carpetas que se consolidan; escriba "
                    u"carpeta=, la carpeta tal como la dio, dos puntos y la clave del cliente."_s.arg(m);
                return false;
            }
        } else if (const auto r = reNumero.match(m); r.hasMatch()) {
            const int n = r.captured(1).toInt();
            sClave = r.captured(2);
            if (n < 1 || n > Carpetas.size()) {
                F_sError = u"La opción --pep %1 nombra la sucursal %2, pero solo hay %3."_s.arg(m).arg(n).arg(
                    Carpetas.size());
                return false;
            }
            // A folder named like a number could be meant instead of the branch of that number.
            for (int i = 0; i < Carpetas.size(); ++i)
                if (i != n - 1 && QFileInfo(QDir::cleanPath(Carpetas[i])).fileName() == r.captured(1)) {
                    F_sError =
                        u"La opción --pep %1 puede nombrar la sucursal número %2 o la carpeta «%3» (sucursal "
                        u"%4). Nombre la carpeta con --pep carpeta=RUTA:%5, o cambie el nombre de la carpeta."_s
                            .arg(m, r.captured(1), nativa(Carpetas[i]))
                            .arg(i + 1)
                            .arg(sClave);
                    return false;
                }
            nSucursal = n - 1;
        } else {
            F_sError =
                u"La opción --pep %1 no indica la sucursal: escriba su número (por ejemplo --pep 2:C01) o su "
                u"carpeta (--pep carpeta=RUTA:C01), dos puntos y la clave del cliente."_s.arg(m);
            return false;
        }
        Marcas[nSucursal] << sClave;
    }
    return true;
}

bool TConsolidacion::revisaCarpetas(const QStringList& Carpetas)
{
    struct TCarpeta
    {
        QString sCanonica;
        QString sBD;
        Plataforma::TIdentidadArchivo Id;
        qint64 nTamano = -1;
        QByteArray Huella;
    };
    QList<TCarpeta> l;
    for (const QString& c : Carpetas) {
        TCarpeta t;
        t.sCanonica = QFileInfo(c).canonicalFilePath();
        t.sBD = Preparacion::RutaBD(c);
        t.Id = Plataforma::IdentidadArchivo(t.sBD);
        t.nTamano = QFileInfo(t.sBD).isFile() ? QFileInfo(t.sBD).size() : -1;
        l << t;
    }
    const auto nombre = [&](int i) {
        return nombreSucursal(i + 1, Carpetas[i]) + u", carpeta "_s + nativa(Carpetas[i]);
    };
    for (int i = 0; i < l.size(); ++i)
        for (int j = i + 1; j < l.size(); ++j) {
            QString sPorque;
            if (!l[i].sCanonica.isEmpty() && l[i].sCanonica == l[j].sCanonica)
                sPorque = u"son la misma carpeta"_s;
            else if (l[i].Id == l[j].Id)
                sPorque = u"leen la misma base de datos"_s;
            else if (l[i].nTamano >= 0 && l[i].nTamano == l[j].nTamano) {
                // The same size: the same contents would be a copy of one branch's database.
                if (l[i].Huella.isEmpty())
                    l[i].Huella = huella(l[i].sBD);
                if (l[j].Huella.isEmpty())
                    l[j].Huella = huella(l[j].sBD);
                if (!l[i].Huella.isEmpty() && l[i].Huella == l[j].Huella)
                    sPorque = u"tienen copias idénticas de una misma base de datos"_s;
            }
            if (!sPorque.isEmpty()) {
                F_sError = u"%1 y %2 %3: la misma sucursal contaría dos veces. Quite una de las dos. No se "
                           u"escribió nada."_s.arg(nombre(i), nombre(j), sPorque);
                return false;
            }
        }
    return true;
}

bool TConsolidacion::revisaEmpresas(bool bDistintas)
{
    if (bDistintas || F_Sucursales.isEmpty())
        return true;
    const TEmpresa& e = F_Sucursales.first().Empresa;
    for (const TResultadoSucursal& s : F_Sucursales) {
        if (s.Empresa.sRegistroQRTZ == e.sRegistroQRTZ && s.Empresa.sRazonSocial == e.sRazonSocial)
            continue;
        F_sError =
            u"Las sucursales no son de una misma empresa: %1 es «%2» (registro %3) y %4 es «%5» (registro "
            u"%6). Si pertenecen a la misma casa de cambio, confirme que desea consolidarlas. No se "
            u"escribió nada."_s.arg(F_Sucursales.first().sNombre, e.sRazonSocial, e.sRegistroQRTZ, s.sNombre,
                                    s.Empresa.sRazonSocial, s.Empresa.sRegistroQRTZ);
        F_bEmpresasDistintas = true;
        return false;
    }
    return true;
}

bool TConsolidacion::Corre(const TOpcionesConsolidacion& o)
{
    F_Sucursales.clear();
    F_Detalles.clear();
    F_Consolidado = {};
    F_sError.clear();
    F_bDetenida = false;
    F_bEmpresasDistintas = false;
    const QStringList& Carpetas = o.Carpetas;
    const int n = int(Carpetas.size());
    if (n < 2) {
        F_sError = u"Indique al menos dos carpetas del Tavoro para consolidar."_s;
        return false;
    }
    QList<QStringList> Marcas = o.MarcasPorSucursal;
    if (Marcas.isEmpty() && !leeMarcas(o, Marcas))
        return false;
    Marcas.resize(n);
    if (!revisaCarpetas(Carpetas))
        return false;
    for (const QString& c : Carpetas)
        Preparacion::ProtegeHost(c);
    if (o.bConservaDetalle) {
        F_Temporal = std::make_unique<QTemporaryDir>();
        if (!F_Temporal->isValid()) {
            F_sError = u"No se pudo crear la carpeta temporal del detalle."_s;
            return false;
        }
    }

    std::vector<TResultadoSucursal> R(static_cast<size_t>(n));
    std::vector<QString> Errores(static_cast<size_t>(n));
    QList<TDetalle> Detalles;
    QMutex CandadoDetalles;
    std::atomic<int> nSiguiente{0};
    std::atomic<bool> bParar{false};
    std::atomic<bool> bDetenida{false};
    const auto avance = [&](int i, const QString& s) {
        if (o.Avance)
            o.Avance(i + 1, s);
    };
    const auto sigue = [&] {
        if (bParar)
            return false;
        if (o.Continua && !o.Continua()) {
            bDetenida = true;
            bParar = true;
            return false;
        }
        return true;
    };

    const auto corre = [&](int i) {
        TResultadoSucursal& r = R[size_t(i)];
        auto Registro = std::make_shared<TDialogosRegistro>();
        InstalaDialogosHilo(Registro.get());
        const auto quita = qScopeGuard([] { InstalaDialogosHilo(nullptr); });
        QElapsedTimer Reloj;
        Reloj.start();
        r.nNumero = i + 1;
        r.sCarpeta = Carpetas[i];
        r.sNombre = nombreSucursal(i + 1, Carpetas[i]);
        TSucursal Suc(Carpetas[i]);
        r.sRutaBD = Suc.RutaBD();
        r.FechaBD = QFileInfo(r.sRutaBD).lastModified();
        const auto falla = [&](const QString& sMotivo) {
            QString s = sMotivo;
            if (!Registro->Textos.isEmpty())
                s += u" ("_s + Registro->Textos.join(u" "_s) + u")"_s;
            Errores[size_t(i)] = s;
            avance(i, u"Error: "_s + sMotivo);
            bParar = true;
        };
        const QString sUsuario = o.Usuarios.isEmpty() ? o.sUsuario : o.Usuarios.value(i);
        const QString sPassw = o.Passwords.isEmpty() ? o.sPassw : o.Passwords.value(i);
        avance(i, u"Preparando"_s);
        if (!sigue())
            return;
        if (!Suc.Prepara(sUsuario, sPassw))
            return falla(Suc.Error());
        r.Empresa = Suc.Empresa();
        avance(i, u"PEPs"_s);
        if (!sigue())
            return;
        if (!Suc.DetectaPEPs() || !Suc.Marca(Marcas[i]))
            return falla(Suc.Error());
        r.PEPs = Suc.Candidatos();
        avance(i, u"Respuestas"_s);
        if (!sigue())
            return;
        if (!Suc.GeneraReporte())
            return falla(Suc.Error());
        r.Variables = Suc.Variables();
        r.Tiempos = Suc.Tiempos();
        avance(i, u"Detalle"_s);
        if (!sigue())
            return;

        // What the combination needs of the rows: the values of the top-ten lists and the keys of
        // the branch's clients, each from one statement.
        for (const TPreguntaCatalogo& p : CatalogoPreguntas())
            if (p.Medida == TMedidaDetalle::Lista && !Suc.ConteoLista(p, r.Listas[p.Variable()]))
                return falla(Suc.Error());
        if (!Suc.ClavesPeriodo(r.Claves))
            return falla(Suc.Error());
        const QList<TDetalle> D = Suc.Detalles();
        {
            QMutexLocker Candado(&CandadoDetalles);
            if (Detalles.isEmpty())
                Detalles = D;
        }
        // The rows themselves, on disk, when the details are to be written.
        if (F_Temporal) {
            QFile Archivo(F_Temporal->filePath(u"sucursal%1.dat"_s.arg(i + 1)));
            if (!Archivo.open(QIODevice::WriteOnly))
                return falla(Salidas::MensajeFalla(Archivo.fileName(), Plataforma::UltimoError()));
            QDataStream Datos(&Archivo);
            qint64 nFilas = 0;
            const TLecturaDetalle l = Suc.RecorreDetalle([&](int d, const QVariantList& v) {
                Datos << qint32(d) << v;
                return (++nFilas % 1024 != 0) || sigue();
            });
            if (l == TLecturaDetalle::Detenida || bParar)
                return;
            if (l != TLecturaDetalle::Completa)
                return falla(Suc.Error());
            Archivo.close();
            if (Datos.status() != QDataStream::Ok || Archivo.error() != QFileDevice::NoError)
                return falla(
                    u"No se pudo escribir el archivo temporal %1."_s.arg(nativa(Archivo.fileName())));
        }
        r.dTotalMs = Reloj.nsecsElapsed() / 1000000.0;
        avance(i, u"Lista"_s);
    };

    const int nHilos = std::clamp(o.nHilos > 0 ? o.nHilos : QThread::idealThreadCount(), 1, n);
    std::vector<std::unique_ptr<QThread>> Hilos;
    for (int h = 0; h < nHilos; ++h) {
        Hilos.emplace_back(QThread::create([&] {
            for (int i = nSiguiente++; i < n && !bParar; i = nSiguiente++)
                corre(i);
        }));
        // As much stack as the programs' main thread has.
        Hilos.back()->setStackSize(8 * 1024 * 1024);
        Hilos.back()->start();
    }
    for (auto& h : Hilos)
        while (!h->wait(QDeadlineTimer(50)))
            if (o.AlEsperar)
                o.AlEsperar();

    F_bDetenida = bDetenida;
    if (F_bDetenida) {
        F_sError = u"Proceso cancelado."_s;
        return false;
    }
    for (int i = 0; i < n; ++i)
        if (!Errores[size_t(i)].isEmpty()) {
            F_sError = u"%1, carpeta %2: %3 No se escribió nada."_s.arg(
                nombreSucursal(i + 1, Carpetas[i]), nativa(Carpetas[i]), Errores[size_t(i)]);
            return false;
        }
    for (TResultadoSucursal& r : R)
        F_Sucursales << std::move(r);
    F_Detalles = Detalles;
    if (!revisaEmpresas(o.bDistintasEmpresas))
        return false;
    F_Consolidado = ConsolidaSucursales(F_Sucursales);
    return true;
}

bool TConsolidacion::EscribeDetalle(const QString& sCarpeta, TEscritorDetalle& Escritor, TGrupoSalidas& Grupo,
                                    QString& sError)
{
    if (!F_Temporal) {
        sError = u"No se conservaron las filas del detalle de las sucursales."_s;
        return false;
    }
    if (!Escritor.Inicia(sCarpeta, F_Detalles, {u"Sucursal"_s}, Grupo, sError))
        return false;
    for (const TResultadoSucursal& s : F_Sucursales) {
        QFile Archivo(F_Temporal->filePath(u"sucursal%1.dat"_s.arg(s.nNumero)));
        if (!Archivo.open(QIODevice::ReadOnly)) {
            sError = u"No se pudo leer el archivo temporal %1."_s.arg(nativa(Archivo.fileName()));
            return false;
        }
        QDataStream Datos(&Archivo);
        while (!Datos.atEnd()) {
            qint32 d = 0;
            QVariantList v;
            Datos >> d >> v;
            if (Datos.status() != QDataStream::Ok) {
                sError = u"No se pudo leer el archivo temporal %1."_s.arg(nativa(Archivo.fileName()));
                return false;
            }
            v.prepend(s.sNombre);
            if (!Escritor.Fila(d, v)) {
                sError = Escritor.Error();
                return false;
            }
        }
    }
    QMap<QString, QString> Figuras;
    for (const auto& [sVariable, sValor] : F_Consolidado.Variables)
        Figuras[sVariable] = sValor;
    if (!Escritor.Agrega(ArchivosDetalle::kSucursales,
                         CsvTablaSucursales(F_Consolidado, Escritor.Formato()))) {
        sError = Escritor.Error();
        return false;
    }
    return Escritor.Termina(Figuras, sError);
}

QByteArray CsvTablaSucursales(const TConsolidado& C, const TFormatoCsv& Formato)
{
    return ArchivosDetalle::Texto(C.Columnas, C.Filas, Formato);
}
