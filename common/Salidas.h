#pragma once

#include "common/Plataforma.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Every file the program and its tools write reaches its place one way. The contents go to a
// work file created anew in the destination's folder (never an existing name, never through a
// link), written, put on the disk and closed with every error checked; only then is it renamed
// over the destination, so a link standing there is replaced and what it points to is left
// alone, and a failed write leaves any earlier file of that name as it was. Before anything is
// created, the destination and its folder are compared by identity with the host's files and
// database folder (ArchivosHost::RevisaDestino); the host's files are refused whatever names,
// links or mounts lead to them. Messages are Spanish and name the file and the system's reason.
namespace Salidas {

// The message for a destination that the host's files refuse, empty when it is allowed.
QString MotivoRechazo(const QString& sDestino);
// The same for a folder to write files into.
QString MotivoRechazoCarpeta(const QString& sCarpeta);
// "No se pudo escribir el archivo X: <reason>."
QString MensajeFalla(const QString& sRuta, int nError);

} // namespace Salidas

// One file being written. Abre, then Escribe as often as needed, then Cierra: the work file is
// whole. A file written on its own is then put in place with Coloca; a file of a set is handed
// to a TGrupoSalidas. Destroyed before that, it removes its work file.
class TArchivoSalida
{
public:
    // sCarpetaTrabajo: where the work file goes (a work folder of a set, TCarpetaSalida); by
    // default the destination's own folder.
    explicit TArchivoSalida(const QString& sDestino, const QString& sCarpetaTrabajo = QString());
    ~TArchivoSalida();
    TArchivoSalida(const TArchivoSalida&) = delete;
    TArchivoSalida& operator=(const TArchivoSalida&) = delete;

    bool Abre();
    bool Escribe(QByteArrayView Datos);
    bool Cierra();
    bool Coloca();
    // Removes the work file (nothing of it is left).
    void Descarta();

    const QString& Destino() const { return F_sDestino; }
    const QString& Trabajo() const { return F_sTrabajo; }
    // Empty until something failed; then the message for the user.
    const QString& Error() const { return F_sError; }

private:
    friend class TGrupoSalidas;
    bool vacia();

    QString F_sDestino;
    QString F_sCarpetaTrabajo;
    QString F_sTrabajo;
    QString F_sError;
    Plataforma::TArchivoNuevo F_Archivo;
    QByteArray F_Bufer;
    bool F_bCerrado = false;
};

// Outputs placed together or not at all: each is written whole to its work file first; Coloca
// then puts every one in place, removes the earlier files the set replaces, and on any failure
// restores what was there and leaves nothing new behind.
class TGrupoSalidas
{
public:
    TGrupoSalidas() = default;
    ~TGrupoSalidas(); // discards what was not placed
    TGrupoSalidas(const TGrupoSalidas&) = delete;
    TGrupoSalidas& operator=(const TGrupoSalidas&) = delete;

    // A file of the set; its work file in sCarpetaTrabajo or beside its destination.
    TArchivoSalida& Archivo(const QString& sDestino, const QString& sCarpetaTrabajo = QString());
    // A whole work file written by other means (a library that names its own file) inside a
    // work folder of this program's.
    void AgregaHecho(const QString& sTrabajo, const QString& sDestino);
    // An earlier file that the set replaces without a file of the same name (removed on Coloca).
    void Retira(const QString& sRuta);
    // A work folder of the set, removed with everything in it once the set is placed or discarded.
    void CarpetaTemporal(const QString& sCarpeta);
    // A folder created for the set, removed again (when empty) if the set is discarded.
    void CarpetaCreada(const QString& sCarpeta);

    // Closes every file still open (each must be whole), then places the set.
    bool Coloca();
    void Descarta();
    const QString& Error() const { return F_sError; }

private:
    struct THecho
    {
        QString sTrabajo;
        QString sDestino;
    };
    std::vector<std::unique_ptr<TArchivoSalida>> F_Archivos;
    QList<THecho> F_Hechos;
    QStringList F_Retirar;
    QStringList F_Temporales;
    QStringList F_CarpetasCreadas;
    QString F_sError;
    bool F_bColocado = false;
};

// The folder of a set of files (the details): checked against the host's folders, created when
// missing, with a private work folder inside it where the set is written before it is put in
// place by a TGrupoSalidas.
class TCarpetaSalida
{
public:
    explicit TCarpetaSalida(const QString& sCarpeta) : F_sCarpeta(sCarpeta) {}
    // Checks and prepares; false and the message otherwise. The work folder and, when it was
    // created here, the folder itself are handed to Grupo for removal.
    bool Prepara(TGrupoSalidas& Grupo, QString& sError);
    const QString& Carpeta() const { return F_sCarpeta; }
    const QString& Trabajo() const { return F_sTrabajo; }
    QString Ruta(const QString& sNombre) const;

private:
    QString F_sCarpeta;
    QString F_sTrabajo;
};

// A file written whole in one go: false and the message for the user on failure.
bool EscribeArchivo(const QString& sDestino, QByteArrayView Datos, QString& sError);
