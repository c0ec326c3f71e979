#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <optional>

// The few services that differ between Windows and the other systems, in one place.
namespace Plataforma {

// Opens Archivo (its name already set) for reading only, unbuffered, so that nobody else is ever
// blocked: on Windows the file is shared for reading, writing and deleting (the host keeps working
// and may even replace the file); nothing is created beside it and its times are not touched.
bool AbreSoloLectura(QFile& Archivo);

// Holds sRuta open so that nobody else can open it (Windows: no sharing at all), as another program
// with the file open exclusively would; elsewhere it takes every permission away instead. For tests
// of the "already open exclusively" paths. False when it could not.
class TBloqueoExclusivo
{
public:
    explicit TBloqueoExclusivo(const QString& sRuta);
    ~TBloqueoExclusivo();
    TBloqueoExclusivo(const TBloqueoExclusivo&) = delete;
    TBloqueoExclusivo& operator=(const TBloqueoExclusivo&) = delete;
    bool Activo() const { return F_bActivo; }

private:
    QString F_sRuta;
    bool F_bActivo = false;
    void* F_pManejador = nullptr;
    QFile::Permissions F_Permisos;
};

// True when the process ignores file permissions (root on Unix); never on Windows, where an
// exclusive open is what keeps a file from being read.
bool IgnoraPermisos();

// Text of Bytes in the Windows code page nCodigoPagina (874, 932, 936, 949, 950, 1250-1258...);
// nothing when the code page is unknown or the bytes are not valid in it. Windows decodes with its
// own tables; elsewhere Qt's converters (ICU) do.
std::optional<QString> DecodificaCodigoPagina(const QByteArray& Bytes, int nCodigoPagina);

// Makes a Windows console show the UTF-8 the console tools write; nothing elsewhere.
void ConsolaUtf8();

// When the file at sRuta last changed in any way: contents, size or attributes, including a
// modification time set back by hand (Windows: the file system's change time; elsewhere the
// inode's). Invalid when the file cannot be reached.
QDateTime HoraDeCambio(const QString& sRuta);

// Processor time used by the process so far, in milliseconds, and its peak memory in MB.
qint64 MsProcesador();
long MemoriaPicoMB();

} // namespace Plataforma
