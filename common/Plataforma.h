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
// On failure the system's reason goes to sError when given.
bool AbreSoloLectura(QFile& Archivo, QString* sError = nullptr);

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

// The user's list separator and decimal mark, as the spreadsheets of this computer read CSV files
// (Windows: the regional settings; elsewhere the locale, whose list separator is ';' where the
// decimal mark is a comma and ',' otherwise).
QChar SeparadorListaSistema();
QChar SeparadorDecimalSistema();

// Makes a Windows console show the UTF-8 the console tools write; nothing elsewhere.
void ConsolaUtf8();

// Ends the process with this exit code once everything of it is closed and destroyed. On Windows
// it skips the libraries' own unloading: there the C++ runtime's unloading deadlocked, now and
// then, a window's process that had run branch threads, leaving it running with the database
// still open. Elsewhere it returns nCodigo for main to return.
int TerminaProceso(int nCodigo);

// When the file at sRuta last changed in any way: contents, size or attributes, including a
// modification time set back by hand (Windows: the file system's change time; elsewhere the
// inode's). Invalid when the file cannot be reached.
QDateTime HoraDeCambio(const QString& sRuta);

// Identity of a file or folder: its volume and its number there (device and inode; on Windows
// the volume serial number and the file index). Two names with one identity are one file,
// whatever links, mounts, drive letters or spellings lead to it.
struct TIdentidadArchivo
{
    quint64 nVolumen = 0;
    quint64 nArchivo = 0;
    bool bValida = false;

    friend bool operator==(const TIdentidadArchivo& a, const TIdentidadArchivo& b)
    {
        return a.bValida && b.bValida && a.nVolumen == b.nVolumen && a.nArchivo == b.nArchivo;
    }
};
// The identity of what sRuta names, links followed; invalid when it cannot be reached. Read
// without opening the contents and sharing everything, so the host is never in the way.
TIdentidadArchivo IdentidadArchivo(const QString& sRuta);

// A file created anew for writing: the name must not exist (not even as a link, which is never
// followed), so nothing that was there before is ever opened. Writes go straight to the system;
// errors are the system's codes (errno; GetLastError on Windows), worded by TextoError.
class TArchivoNuevo
{
public:
    TArchivoNuevo() = default;
    ~TArchivoNuevo(); // closes a file still open, without checking
    TArchivoNuevo(const TArchivoNuevo&) = delete;
    TArchivoNuevo& operator=(const TArchivoNuevo&) = delete;

    bool Crea(const QString& sRuta);
    bool Escribe(const char* pDatos, qint64 nBytes);
    // Puts the contents on the disk and closes; false when either failed.
    bool Cierra();
    bool Abierto() const { return F_nManejador != -1; }
    int Error() const { return F_nError; }

private:
    qintptr F_nManejador = -1;
    int F_nError = 0;
};

// Creates the folder sRuta, which must not exist yet; bPrivada: only this user may enter it
// where the system allows. False and the system's code in nError otherwise.
bool CreaCarpetaNueva(const QString& sRuta, bool bPrivada, int& nError);
// Renames sDe to sA in one step, replacing what sA names: a file, or a link (the link itself,
// never what it points to). False and the system's code in nError.
bool Renombra(const QString& sDe, const QString& sA, int& nError);
// Removes the file or link sRuta (never what a link points to).
bool Borra(const QString& sRuta);
// The code of the last failed system call of this thread (errno; GetLastError on Windows).
int UltimoError();
// The reason of a system error code, in Spanish and in lower case ("no queda espacio en el disco").
QString TextoError(int nError);

// While it lives, what libraries write to the standard error stream is discarded (the
// program words its own messages). Process-wide.
class TSilencioErrores
{
public:
    TSilencioErrores();
    ~TSilencioErrores();
    TSilencioErrores(const TSilencioErrores&) = delete;
    TSilencioErrores& operator=(const TSilencioErrores&) = delete;

private:
    int F_nCopia = -1;
};

// Whether an argument's bytes, as the system passed them, are a name this program can use:
// its text turned back into bytes gives the same bytes (on Linux, names are bytes and Qt reads
// them as UTF-8; Windows passes text). The bytes shown escaped ("lat\xE9n") otherwise.
bool NombreRepresentable(const QByteArray& Bytes, QString& sEscapado);

// Processor time used by the process so far, in milliseconds, and its peak memory in MB.
qint64 MsProcesador();
long MemoriaPicoMB();

} // namespace Plataforma
