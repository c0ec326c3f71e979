#include "common/Salidas.h"

#include "common/ArchivosHost.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {

// Work files gather this much before each write to the system.
constexpr qsizetype kBufer = 256 * 1024;
constexpr int kIntentos = 16;

QString nativa(const QString& sRuta)
{
    return QDir::toNativeSeparators(sRuta);
}

QString absoluta(const QString& sRuta)
{
    return QDir::cleanPath(QFileInfo(sRuta).absoluteFilePath());
}

// A name nobody uses yet in sCarpeta, hidden where names beginning with a dot are.
QString nombreTemporal(const QString& sCarpeta, const QString& sBase)
{
    return QDir(sCarpeta).filePath(u".%1.%2.tmp"_s.arg(
        sBase, QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFull, 36)));
}

// Removes a work folder of this program's and what is in it; a link put in its place is
// removed itself, never followed.
void borraTemporal(const QString& sCarpeta)
{
    if (QFileInfo(sCarpeta).isSymLink())
        Plataforma::Borra(sCarpeta);
    else
        QDir(sCarpeta).removeRecursively();
}

// Whether anything stands at sRuta, a link to nothing included.
bool existe(const QString& sRuta)
{
    const QFileInfo Info(sRuta);
    return Info.exists() || Info.isSymLink();
}

} // namespace

namespace Salidas {

QString MotivoRechazo(const QString& sDestino)
{
    switch (ArchivosHost::RevisaDestino(sDestino)) {
    case ArchivosHost::TDestino::Permitido:
        return {};
    case ArchivosHost::TDestino::ArchivoHost:
        return u"No se puede escribir %1: es un archivo del Tavoro (su base de datos o su archivo de "
               u"configuración), que este programa nunca modifica. Elija otro nombre de archivo."_s.arg(
                   nativa(sDestino));
    case ArchivosHost::TDestino::CarpetaBD:
        break;
    }
    return MotivoRechazoCarpeta(QFileInfo(absoluta(sDestino)).absolutePath());
}

QString MotivoRechazoCarpeta(const QString& sCarpeta)
{
    if (ArchivosHost::RevisaCarpeta(sCarpeta) == ArchivosHost::TDestino::Permitido)
        return {};
    return u"No se pueden escribir archivos en %1: es la carpeta de la base de datos del Tavoro, que este "
           u"programa nunca modifica. Elija otra carpeta."_s.arg(nativa(sCarpeta));
}

QString MensajeFalla(const QString& sRuta, int nError)
{
    return u"No se pudo escribir el archivo %1: %2."_s.arg(nativa(sRuta), Plataforma::TextoError(nError));
}

} // namespace Salidas

TArchivoSalida::TArchivoSalida(const QString& sDestino, const QString& sCarpetaTrabajo)
    : F_sDestino(absoluta(sDestino)), F_sCarpetaTrabajo(sCarpetaTrabajo)
{
}

TArchivoSalida::~TArchivoSalida()
{
    Descarta();
}

bool TArchivoSalida::Abre()
{
    F_sError = Salidas::MotivoRechazo(F_sDestino);
    if (!F_sError.isEmpty())
        return false;
    if (QFileInfo(F_sDestino).isDir()) {
        F_sError = u"No se pudo escribir el archivo %1: es una carpeta."_s.arg(nativa(F_sDestino));
        return false;
    }
    const QString sCarpeta =
        F_sCarpetaTrabajo.isEmpty() ? QFileInfo(F_sDestino).absolutePath() : F_sCarpetaTrabajo;
    for (int i = 0; i < kIntentos; ++i) {
        const QString sTrabajo = nombreTemporal(sCarpeta, QFileInfo(F_sDestino).fileName());
        if (F_Archivo.Crea(sTrabajo)) {
            F_sTrabajo = sTrabajo;
            F_Bufer.reserve(kBufer);
            return true;
        }
        if (!existe(sTrabajo))
            break;
    }
    F_sError = Salidas::MensajeFalla(F_sDestino, F_Archivo.Error());
    return false;
}

bool TArchivoSalida::vacia()
{
    if (F_Bufer.isEmpty())
        return true;
    const bool bBien = F_Archivo.Escribe(F_Bufer.constData(), F_Bufer.size());
    F_Bufer.resize(0); // the capacity stays for the next rows
    if (!bBien)
        F_sError = Salidas::MensajeFalla(F_sDestino, F_Archivo.Error());
    return bBien;
}

bool TArchivoSalida::Escribe(QByteArrayView Datos)
{
    if (!F_Archivo.Abierto() || !F_sError.isEmpty())
        return false;
    if (F_Bufer.size() + Datos.size() > kBufer && !vacia())
        return false;
    if (Datos.size() >= kBufer) {
        if (!F_Archivo.Escribe(Datos.data(), Datos.size())) {
            F_sError = Salidas::MensajeFalla(F_sDestino, F_Archivo.Error());
            return false;
        }
        return true;
    }
    F_Bufer.append(Datos);
    return true;
}

bool TArchivoSalida::Cierra()
{
    if (F_bCerrado)
        return F_sError.isEmpty();
    if (!F_Archivo.Abierto()) {
        if (F_sError.isEmpty())
            F_sError = Salidas::MensajeFalla(F_sDestino, 0);
        return false;
    }
    const bool bEscrito = vacia();
    const bool bCerrado = F_Archivo.Cierra();
    if (bEscrito && !bCerrado)
        F_sError = Salidas::MensajeFalla(F_sDestino, F_Archivo.Error());
    F_bCerrado = bEscrito && bCerrado;
    return F_bCerrado;
}

bool TArchivoSalida::Coloca()
{
    if (!Cierra()) {
        Descarta();
        return false;
    }
    // Checked again at the last moment: the folder may have been swapped for a link meanwhile.
    F_sError = Salidas::MotivoRechazo(F_sDestino);
    int nError = 0;
    if (F_sError.isEmpty() && !Plataforma::Renombra(F_sTrabajo, F_sDestino, nError))
        F_sError = Salidas::MensajeFalla(F_sDestino, nError);
    if (!F_sError.isEmpty()) {
        Descarta();
        return false;
    }
    F_sTrabajo.clear();
    return true;
}

void TArchivoSalida::Descarta()
{
    if (F_Archivo.Abierto())
        F_Archivo.Cierra();
    F_Bufer.clear();
    F_bCerrado = false;
    if (!F_sTrabajo.isEmpty())
        Plataforma::Borra(F_sTrabajo);
    F_sTrabajo.clear();
}

TGrupoSalidas::~TGrupoSalidas()
{
    if (!F_bColocado)
        Descarta();
}

TArchivoSalida& TGrupoSalidas::Archivo(const QString& sDestino, const QString& sCarpetaTrabajo)
{
    F_Archivos.push_back(std::make_unique<TArchivoSalida>(sDestino, sCarpetaTrabajo));
    return *F_Archivos.back();
}

void TGrupoSalidas::AgregaHecho(const QString& sTrabajo, const QString& sDestino)
{
    F_Hechos.append({sTrabajo, absoluta(sDestino)});
}

void TGrupoSalidas::Retira(const QString& sRuta)
{
    F_Retirar << absoluta(sRuta);
}

void TGrupoSalidas::CarpetaTemporal(const QString& sCarpeta)
{
    if (!sCarpeta.isEmpty())
        F_Temporales << absoluta(sCarpeta);
}

void TGrupoSalidas::CarpetaCreada(const QString& sCarpeta)
{
    if (!sCarpeta.isEmpty())
        F_CarpetasCreadas << absoluta(sCarpeta);
}

bool TGrupoSalidas::Coloca()
{
    if (F_bColocado)
        return true;
    QList<THecho> Colocar;
    for (const auto& a : F_Archivos) {
        if (!a->Cierra()) {
            F_sError = a->Error();
            Descarta();
            return false;
        }
        Colocar.append({a->Trabajo(), a->Destino()});
    }
    Colocar += F_Hechos;
    for (const THecho& h : Colocar) {
        F_sError = Salidas::MotivoRechazo(h.sDestino);
        if (!F_sError.isEmpty()) {
            Descarta();
            return false;
        }
    }

    // What stood at each name is moved aside first, so that a failure half-way puts it back.
    struct TMovido
    {
        QString sDestino;
        QString sAnterior; // where the earlier file waits; empty when there was none
        bool bNuevo;       // a file of the set stands at sDestino
    };
    QList<TMovido> Movidos;
    const auto apartaAnterior = [&](const QString& sDestino, QString& sAnterior) {
        sAnterior.clear();
        if (!existe(sDestino))
            return true;
        const QFileInfo Info(sDestino);
        if (Info.isDir() && !Info.isSymLink()) {
            F_sError = u"No se pudo escribir el archivo %1: es una carpeta."_s.arg(nativa(sDestino));
            return false;
        }
        int nError = 0;
        for (int i = 0; i < kIntentos; ++i) {
            const QString s =
                nombreTemporal(QFileInfo(sDestino).absolutePath(), QFileInfo(sDestino).fileName());
            if (existe(s))
                continue;
            if (Plataforma::Renombra(sDestino, s, nError)) {
                sAnterior = s;
                return true;
            }
            break;
        }
        F_sError = Salidas::MensajeFalla(sDestino, nError);
        return false;
    };
    bool bBien = true;
    for (const THecho& h : Colocar) {
        QString sAnterior;
        if (!apartaAnterior(h.sDestino, sAnterior)) {
            bBien = false;
            break;
        }
        int nError = 0;
        if (!Plataforma::Renombra(h.sTrabajo, h.sDestino, nError)) {
            F_sError = Salidas::MensajeFalla(h.sDestino, nError);
            Movidos.append({h.sDestino, sAnterior, false});
            bBien = false;
            break;
        }
        Movidos.append({h.sDestino, sAnterior, true});
    }
    for (int i = 0; bBien && i < F_Retirar.size(); ++i) {
        QString sAnterior;
        bBien = apartaAnterior(F_Retirar[i], sAnterior);
        if (bBien && !sAnterior.isEmpty())
            Movidos.append({F_Retirar[i], sAnterior, false});
    }
    if (!bBien) {
        for (auto it = Movidos.crbegin(); it != Movidos.crend(); ++it) {
            if (it->bNuevo)
                Plataforma::Borra(it->sDestino);
            int nError = 0;
            if (!it->sAnterior.isEmpty())
                Plataforma::Renombra(it->sAnterior, it->sDestino, nError);
        }
        Descarta();
        return false;
    }
    for (const TMovido& m : Movidos)
        if (!m.sAnterior.isEmpty())
            Plataforma::Borra(m.sAnterior);
    for (const auto& a : F_Archivos)
        a->F_sTrabajo.clear();
    F_Hechos.clear();
    for (const QString& t : F_Temporales)
        borraTemporal(t);
    F_Temporales.clear();
    F_CarpetasCreadas.clear();
    F_bColocado = true;
    return true;
}

void TGrupoSalidas::Descarta()
{
    for (const auto& a : F_Archivos)
        a->Descarta();
    for (const THecho& h : F_Hechos)
        Plataforma::Borra(h.sTrabajo);
    F_Hechos.clear();
    for (const QString& t : F_Temporales)
        borraTemporal(t);
    F_Temporales.clear();
    // Folders made for the set go too, from the deepest, as long as they hold nothing else.
    for (auto it = F_CarpetasCreadas.crbegin(); it != F_CarpetasCreadas.crend(); ++it)
        QDir().rmdir(*it);
    F_CarpetasCreadas.clear();
}

bool TCarpetaSalida::Prepara(TGrupoSalidas& Grupo, QString& sError)
{
    F_sCarpeta = absoluta(F_sCarpeta);
    sError = Salidas::MotivoRechazoCarpeta(F_sCarpeta);
    if (!sError.isEmpty())
        return false;
    const QFileInfo Info(F_sCarpeta);
    if (Info.exists() && !Info.isDir()) {
        sError = u"%1 no es una carpeta."_s.arg(nativa(F_sCarpeta));
        return false;
    }
    // The folders that are missing, from the outermost; each is created and handed to the
    // group, which removes it again if the set is never placed.
    QStringList Faltan;
    for (QString s = F_sCarpeta; !existe(s);) {
        Faltan.prepend(s);
        const QString sPadre = QFileInfo(s).absolutePath();
        if (sPadre == s)
            break;
        s = sPadre;
    }
    for (const QString& s : Faltan) {
        int nError = 0;
        if (!Plataforma::CreaCarpetaNueva(s, false, nError)) {
            sError = u"No se pudo crear la carpeta %1: %2."_s.arg(nativa(s), Plataforma::TextoError(nError));
            Grupo.Descarta();
            return false;
        }
        Grupo.CarpetaCreada(s);
    }
    sError = Salidas::MotivoRechazoCarpeta(F_sCarpeta);
    if (!sError.isEmpty()) {
        Grupo.Descarta();
        return false;
    }
    int nError = 0;
    for (int i = 0; i < kIntentos; ++i) {
        const QString s = nombreTemporal(F_sCarpeta, u"CuestionarioQRTZ"_s);
        if (Plataforma::CreaCarpetaNueva(s, true, nError)) {
            F_sTrabajo = s;
            Grupo.CarpetaTemporal(s);
            return true;
        }
        if (!existe(s))
            break;
    }
    sError = u"No se pudo escribir en la carpeta %1: %2."_s.arg(nativa(F_sCarpeta),
                                                                Plataforma::TextoError(nError));
    Grupo.Descarta();
    return false;
}

QString TCarpetaSalida::Ruta(const QString& sNombre) const
{
    return QDir(F_sCarpeta).filePath(sNombre);
}

bool EscribeArchivo(const QString& sDestino, QByteArrayView Datos, QString& sError)
{
    TArchivoSalida a(sDestino);
    const bool bBien = a.Abre() && a.Escribe(Datos) && a.Coloca();
    sError = a.Error();
    return bBien;
}
