#pragma once

#include <QString>

// Host files found beside the program, read as the host's Windows machines read them.
namespace ArchivosHost {

// Path of sRelativa ("DataBase/Tavoro.mdb", '/' or '\\' separated) under sCarpeta. On a
// case-sensitive file system each component is matched whatever its letter case (an exact
// match wins); a component that does not exist keeps the spelling given, so the returned path
// then names a missing file.
QString ResuelveRuta(const QString& sCarpeta, const QString& sRelativa);

// Integer key of a settings file, as the Windows settings functions read it: section and key
// names ignore case, blanks around names and values are ignored, the first occurrence wins,
// and a missing file, section or key gives nDefecto. A value that does not begin with an
// integer gives 0; digits are read up to the first other character ("12abc" gives 12).
int LeeEnteroIni(const QString& sArchivo, const QString& sSeccion, const QString& sClave, int nDefecto);

// Host files this process has read (the database, the settings file) are never to be written
// by it, nor anything inside the host's database folder: the readers register each one here,
// and every file the program writes is checked against them first (common/Salidas.h). Safe to
// call from any thread.
void ProtegeArchivo(const QString& sRuta);
void ProtegeCarpeta(const QString& sRuta);

// What writing a file at a path would reach.
enum class TDestino
{
    Permitido,
    ArchivoHost, // a protected file
    CarpetaBD    // a place inside a protected folder
};
// For a file to be written at sRuta: the file it names (links followed) is compared by identity
// with the protected files (a hard link, a second mount of their folder, a drive letter mapped
// to it are all the same file), and by name without regard to letter case (as Windows resolves
// names and this program finds the host's files); then its folder as for RevisaCarpeta.
TDestino RevisaDestino(const QString& sRuta);
// For a folder to write into: whether it is, or lies inside, a protected folder, compared by
// identity along the folders that lead to it (as written and with links resolved) and by name
// without regard to letter case.
TDestino RevisaCarpeta(const QString& sCarpeta);
// RevisaDestino(sRuta) == TDestino::ArchivoHost.
bool EsArchivoProtegido(const QString& sRuta);

// Whether two paths name one existing file, links followed (on Windows, letter case ignored).
bool MismoArchivo(const QString& sRutaA, const QString& sRutaB);

// Copies sOrigen over sDestino through a temporary file beside sDestino that is then renamed
// over it, so sDestino is either the old file or the whole copy, never a half-written one or
// none. False, touching nothing, when sOrigen is not a readable file or is sDestino itself.
bool CopiaSegura(const QString& sOrigen, const QString& sDestino);

} // namespace ArchivosHost
