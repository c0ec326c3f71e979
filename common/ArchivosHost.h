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

} // namespace ArchivosHost
