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
// by it: the readers register each one here and every routine that writes a file the user
// names asks EsArchivoProtegido first.
void ProtegeArchivo(const QString& sRuta);
// Whether writing sRuta would write a protected file: links are followed, and names are
// compared without regard to letter case (as Windows resolves them, and as this program finds
// the host's files), so "DATABASE/TAVORO.MDB" or a link to the database counts as the database.
bool EsArchivoProtegido(const QString& sRuta);

// Whether two paths name one existing file, links followed (on Windows, letter case ignored).
bool MismoArchivo(const QString& sRutaA, const QString& sRutaB);

// Copies sOrigen over sDestino through a temporary file beside sDestino that is then renamed
// over it, so sDestino is either the old file or the whole copy, never a half-written one or
// none. False, touching nothing, when sOrigen is not a readable file or is sDestino itself.
bool CopiaSegura(const QString& sOrigen, const QString& sDestino);

} // namespace ArchivosHost
