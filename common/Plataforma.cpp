#include "common/Plataforma.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>
#include <QTimeZone>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#else
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <mutex>

namespace Plataforma {

namespace {

#ifdef Q_OS_WIN
// The path as the system's file calls take it; an absolute path longer than the classic limit
// goes in its extended form (\\?\C:\... or \\?\UNC\server\share\...), which every call
// accepts whatever the system's long-path setting.
std::wstring nativo(const QString& sRuta)
{
    QString s = QDir::toNativeSeparators(sRuta);
    if (s.size() >= MAX_PATH - 12 && QDir::isAbsolutePath(sRuta) && !s.startsWith(QLatin1String("\\\\?\\"))) {
        const QString sLimpia = QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(s)));
        s = sLimpia.startsWith(QLatin1String("\\\\")) ? QStringLiteral("\\\\?\\UNC\\") + sLimpia.mid(2)
                                                      : QStringLiteral("\\\\?\\") + sLimpia;
    }
    return s.toStdWString();
}
#else
QByteArray nativo(const QString& sRuta)
{
    return QFile::encodeName(sRuta);
}
#endif

} // namespace

bool AbreSoloLectura(QFile& Archivo, QString* sError)
{
#ifdef Q_OS_WIN
    // Qt opens without FILE_SHARE_DELETE; the host must be free to rename or replace the file.
    // There is no second try through Qt: a failure here is reported, never turned into an open
    // that would keep the host from replacing its file.
    HANDLE h = CreateFileW(nativo(Archivo.fileName()).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (sError)
            *sError = TextoError(int(GetLastError()));
        return false;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        if (sError)
            *sError = QStringLiteral("no se pudo usar el archivo abierto");
        return false;
    }
    if (!Archivo.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        if (sError)
            *sError = Archivo.errorString();
        return false;
    }
    return true;
#else
    const bool bAbierto = Archivo.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (!bAbierto && sError)
        *sError = Archivo.errorString();
    return bAbierto;
#endif
}

TBloqueoExclusivo::TBloqueoExclusivo(const QString& sRuta) : F_sRuta(sRuta)
{
#ifdef Q_OS_WIN
    HANDLE h = CreateFileW(nativo(sRuta).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    F_bActivo = h != INVALID_HANDLE_VALUE;
    F_pManejador = F_bActivo ? h : nullptr;
#else
    F_Permisos = QFile::permissions(sRuta);
    F_bActivo = QFile::setPermissions(sRuta, QFileDevice::Permissions());
#endif
}

TBloqueoExclusivo::~TBloqueoExclusivo()
{
    if (!F_bActivo)
        return;
#ifdef Q_OS_WIN
    CloseHandle(static_cast<HANDLE>(F_pManejador));
#else
    QFile::setPermissions(F_sRuta, F_Permisos);
#endif
}

bool IgnoraPermisos()
{
#ifdef Q_OS_WIN
    return false;
#else
    return geteuid() == 0;
#endif
}

std::optional<QString> DecodificaCodigoPagina(const QByteArray& Bytes, int nCodigoPagina)
{
    if (Bytes.isEmpty())
        return QString();
#ifdef Q_OS_WIN
    // This Qt has no ICU; Windows carries the code page tables itself.
    const UINT cp = UINT(nCodigoPagina);
    const int n =
        MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, Bytes.constData(), int(Bytes.size()), nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    QString s(n, Qt::Uninitialized);
    MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, Bytes.constData(), int(Bytes.size()),
                        reinterpret_cast<wchar_t*>(s.data()), n);
    return s;
#else
    // The last decoder is kept at hand: a table decodes many values of one code page.
    struct TDecodificador
    {
        int nCodigo = -1;
        QStringDecoder Dec;
    };
    thread_local TDecodificador Ultimo;
    if (Ultimo.nCodigo != nCodigoPagina) {
        Ultimo.Dec = QStringDecoder(QStringLiteral("windows-%1").arg(nCodigoPagina).toLatin1().constData());
        Ultimo.nCodigo = nCodigoPagina;
    }
    if (!Ultimo.Dec.isValid())
        return std::nullopt;
    Ultimo.Dec.resetState();
    const QString s = Ultimo.Dec.decode(Bytes);
    if (Ultimo.Dec.hasError())
        return std::nullopt;
    return s;
#endif
}

namespace {

#ifdef Q_OS_WIN
QChar datoRegional(LCTYPE Tipo, QChar cDefecto)
{
    wchar_t s[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, Tipo, s, 8) > 0 && s[0] != 0)
        return QChar(char16_t(s[0]));
    return cDefecto;
}
#endif

} // namespace

QChar SeparadorDecimalSistema()
{
#ifdef Q_OS_WIN
    return datoRegional(LOCALE_SDECIMAL, QLatin1Char('.'));
#else
    const QString s = QLocale::system().decimalPoint();
    return s.isEmpty() ? QLatin1Char('.') : s[0];
#endif
}

QChar SeparadorListaSistema()
{
#ifdef Q_OS_WIN
    return datoRegional(LOCALE_SLIST, QLatin1Char(','));
#else
    return SeparadorDecimalSistema() == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
#endif
}

void ConsolaUtf8()
{
#ifdef Q_OS_WIN
    SetConsoleOutputCP(CP_UTF8);
#endif
}

int TerminaProceso(int nCodigo)
{
#ifdef Q_OS_WIN
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), UINT(nCodigo));
#endif
    return nCodigo;
}

QDateTime HoraDeCambio(const QString& sRuta)
{
#ifdef Q_OS_WIN
    // The file system's change time, kept by NTFS for every write and every change of attributes
    // (setting the modification time back included). Read with no access to the contents and
    // every sharing, so the host is never in the way.
    const std::wstring s = QDir::toNativeSeparators(sRuta).toStdWString();
    HANDLE h =
        CreateFileW(s.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return QFileInfo(sRuta).metadataChangeTime();
    FILE_BASIC_INFO Info{};
    const bool bLeido = GetFileInformationByHandleEx(h, FileBasicInfo, &Info, sizeof Info);
    CloseHandle(h);
    if (!bLeido || Info.ChangeTime.QuadPart == 0)
        return QFileInfo(sRuta).metadataChangeTime();
    // 100-nanosecond intervals since 1601-01-01 UTC.
    constexpr qint64 kDe1601A1970 = 11644473600LL * 10000000LL;
    return QDateTime::fromMSecsSinceEpoch((Info.ChangeTime.QuadPart - kDe1601A1970) / 10000,
                                          QTimeZone::utc());
#else
    return QFileInfo(sRuta).metadataChangeTime();
#endif
}

TIdentidadArchivo IdentidadArchivo(const QString& sRuta)
{
    if (sRuta.isEmpty())
        return {};
#ifdef Q_OS_WIN
    HANDLE h = CreateFileW(nativo(sRuta).c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION Info{};
    const bool bLeido = GetFileInformationByHandle(h, &Info);
    CloseHandle(h);
    if (!bLeido)
        return {};
    return {Info.dwVolumeSerialNumber, (quint64(Info.nFileIndexHigh) << 32) | Info.nFileIndexLow, true};
#else
    struct stat Info
    {
    };
    if (::stat(nativo(sRuta).constData(), &Info) != 0)
        return {};
    return {quint64(Info.st_dev), quint64(Info.st_ino), true};
#endif
}

TArchivoNuevo::~TArchivoNuevo()
{
    if (!Abierto())
        return;
#ifdef Q_OS_WIN
    CloseHandle(reinterpret_cast<HANDLE>(F_nManejador));
#else
    ::close(int(F_nManejador));
#endif
}

bool TArchivoNuevo::Crea(const QString& sRuta)
{
    if (Abierto()) {
        F_nError = 0;
        return false;
    }
#ifdef Q_OS_WIN
    // CREATE_NEW fails on any existing name, a link included.
    HANDLE h = CreateFileW(nativo(sRuta).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        F_nError = int(GetLastError());
        return false;
    }
    F_nManejador = reinterpret_cast<qintptr>(h);
#else
    // A file that outgrows the process's size limit is a failed write to report, not a signal
    // that ends the program.
    static std::once_flag Una;
    std::call_once(Una, [] { std::signal(SIGXFSZ, SIG_IGN); });
    const int fd =
        ::open(nativo(sRuta).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        F_nError = errno;
        return false;
    }
    F_nManejador = fd;
#endif
    F_nError = 0;
    return true;
}

bool TArchivoNuevo::Escribe(const char* pDatos, qint64 nBytes)
{
    if (!Abierto())
        return false;
    while (nBytes > 0) {
#ifdef Q_OS_WIN
        DWORD nEscritos = 0;
        const DWORD nPedidos = DWORD(std::min<qint64>(nBytes, 1 << 30));
        if (!WriteFile(reinterpret_cast<HANDLE>(F_nManejador), pDatos, nPedidos, &nEscritos, nullptr)) {
            F_nError = int(GetLastError());
            return false;
        }
        if (nEscritos == 0) {
            F_nError = ERROR_HANDLE_DISK_FULL;
            return false;
        }
#else
        const ssize_t nEscritos =
            ::write(int(F_nManejador), pDatos, size_t(std::min<qint64>(nBytes, 1 << 30)));
        if (nEscritos < 0) {
            if (errno == EINTR)
                continue;
            F_nError = errno;
            return false;
        }
        if (nEscritos == 0) {
            F_nError = ENOSPC;
            return false;
        }
#endif
        pDatos += nEscritos;
        nBytes -= nEscritos;
    }
    return true;
}

bool TArchivoNuevo::Cierra()
{
    if (!Abierto())
        return false;
    bool bBien = true;
#ifdef Q_OS_WIN
    const HANDLE h = reinterpret_cast<HANDLE>(F_nManejador);
    if (!FlushFileBuffers(h)) {
        F_nError = int(GetLastError());
        bBien = false;
    }
    if (!CloseHandle(h) && bBien) {
        F_nError = int(GetLastError());
        bBien = false;
    }
#else
    const int fd = int(F_nManejador);
    // Some file systems take the data only here (a full disk, a network folder); a file system
    // that cannot sync (EINVAL) has nothing more to report.
    if (::fsync(fd) != 0 && errno != EINVAL) {
        F_nError = errno;
        bBien = false;
    }
    if (::close(fd) != 0 && bBien && errno != EINTR) {
        F_nError = errno;
        bBien = false;
    }
#endif
    F_nManejador = -1;
    return bBien;
}

bool CreaCarpetaNueva(const QString& sRuta, bool bPrivada, int& nError)
{
#ifdef Q_OS_WIN
    (void)bPrivada; // a new folder takes the permissions of its parent
    if (CreateDirectoryW(nativo(sRuta).c_str(), nullptr))
        return true;
    nError = int(GetLastError());
#else
    if (::mkdir(nativo(sRuta).constData(), bPrivada ? 0700 : 0777) == 0)
        return true;
    nError = errno;
#endif
    return false;
}

bool Renombra(const QString& sDe, const QString& sA, int& nError)
{
#ifdef Q_OS_WIN
    if (MoveFileExW(nativo(sDe).c_str(), nativo(sA).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    nError = int(GetLastError());
#else
    if (::rename(nativo(sDe).constData(), nativo(sA).constData()) == 0)
        return true;
    nError = errno;
#endif
    return false;
}

bool Borra(const QString& sRuta)
{
#ifdef Q_OS_WIN
    return DeleteFileW(nativo(sRuta).c_str()) || RemoveDirectoryW(nativo(sRuta).c_str());
#else
    return ::unlink(nativo(sRuta).constData()) == 0 || ::rmdir(nativo(sRuta).constData()) == 0;
#endif
}

int UltimoError()
{
#ifdef Q_OS_WIN
    return int(GetLastError());
#else
    return errno;
#endif
}

QString TextoError(int nError)
{
    struct TTexto
    {
        int nCodigo;
        const char* sTexto;
    };
    static const TTexto Textos[] = {
#ifdef Q_OS_WIN
        {ERROR_DISK_FULL, "no queda espacio en el disco"},
        {ERROR_HANDLE_DISK_FULL, "no queda espacio en el disco"},
        {ERROR_FILE_TOO_LARGE, "el archivo excede el tamaño que el sistema permite"},
        {ERROR_ACCESS_DENIED, "no tiene permiso para escribir ahí"},
        {ERROR_WRITE_PROTECT, "el disco está protegido contra escritura"},
        {ERROR_PATH_NOT_FOUND, "la carpeta no existe"},
        {ERROR_FILE_NOT_FOUND, "el archivo no existe"},
        {ERROR_INVALID_NAME, "el nombre no es válido"},
        {ERROR_FILE_EXISTS, "ya existe algo con ese nombre"},
        {ERROR_ALREADY_EXISTS, "ya existe algo con ese nombre"},
        {ERROR_FILENAME_EXCED_RANGE, "el nombre es demasiado largo"},
        {ERROR_SHARING_VIOLATION, "otro programa tiene abierto el archivo"},
        {ERROR_LOCK_VIOLATION, "otro programa tiene abierto el archivo"},
        {ERROR_NOT_SAME_DEVICE, "está en otro disco"},
        {ERROR_NETWORK_ACCESS_DENIED, "la red no permite escribir ahí"},
        {ERROR_BAD_NETPATH, "no se encontró la ruta de red"},
        {ERROR_NOT_READY, "el dispositivo no está listo"},
        {ERROR_CRC, "error de lectura o escritura del disco"},
        {ERROR_DIRECTORY, "el nombre no es una carpeta"},
#else
        {ENOSPC, "no queda espacio en el disco"},
        {EDQUOT, "se agotó la cuota de disco del usuario"},
        {EFBIG, "el archivo excede el tamaño que el sistema permite"},
        {EACCES, "no tiene permiso para escribir ahí"},
        {EPERM, "no tiene permiso para escribir ahí"},
        {EROFS, "el disco es de solo lectura"},
        {ENOENT, "la carpeta no existe"},
        {ENOTDIR, "una parte de la ruta no es una carpeta"},
        {EISDIR, "es una carpeta"},
        {EEXIST, "ya existe algo con ese nombre"},
        {ENAMETOOLONG, "el nombre es demasiado largo"},
        {ELOOP, "hay demasiados enlaces en la ruta"},
        {EXDEV, "está en otro disco"},
        {EBUSY, "el archivo está en uso"},
        {ETXTBSY, "el archivo está en uso"},
        {EIO, "error de lectura o escritura del disco"},
        {EMFILE, "el programa tiene demasiados archivos abiertos"},
        {ENFILE, "el sistema tiene demasiados archivos abiertos"},
#endif
    };
    for (const TTexto& t : Textos)
        if (t.nCodigo == nError)
            return QString::fromUtf8(t.sTexto);
    return QStringLiteral("error del sistema número %1").arg(nError);
}

TSilencioErrores::TSilencioErrores()
{
    std::fflush(stderr);
#ifdef Q_OS_WIN
    F_nCopia = _dup(2);
    const int nNulo = _open("NUL", _O_WRONLY);
    if (nNulo >= 0) {
        _dup2(nNulo, 2);
        _close(nNulo);
    }
#else
    F_nCopia = ::dup(2);
    const int nNulo = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nNulo >= 0) {
        ::dup2(nNulo, 2);
        ::close(nNulo);
    }
#endif
}

TSilencioErrores::~TSilencioErrores()
{
    std::fflush(stderr);
    if (F_nCopia < 0)
        return;
#ifdef Q_OS_WIN
    _dup2(F_nCopia, 2);
    _close(F_nCopia);
#else
    ::dup2(F_nCopia, 2);
    ::close(F_nCopia);
#endif
}

bool NombreRepresentable(const QByteArray& Bytes, QString& sEscapado)
{
#ifdef Q_OS_WIN
    sEscapado = QString::fromUtf8(Bytes);
    return true;
#else
    if (QFile::encodeName(QFile::decodeName(Bytes)) == Bytes) {
        sEscapado = QFile::decodeName(Bytes);
        return true;
    }
    // Valid UTF-8 sequences as text, every other byte as \xHH.
    sEscapado.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(Bytes.constData());
    const qsizetype n = Bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        const int nLargo = c < 0x80           ? 1
                           : (c >> 5) == 0x6  ? 2
                           : (c >> 4) == 0xE  ? 3
                           : (c >> 3) == 0x1E ? 4
                                              : 0;
        bool bValida = nLargo > 0 && i + nLargo <= n && !(nLargo == 1 && c < 0x20);
        for (int k = 1; bValida && k < nLargo; ++k)
            bValida = (p[i + k] & 0xC0) == 0x80;
        if (bValida && nLargo > 1) {
            const QByteArray Secuencia = Bytes.mid(i, nLargo);
            bValida = QFile::encodeName(QFile::decodeName(Secuencia)) == Secuencia;
        }
        if (bValida) {
            sEscapado += QString::fromUtf8(Bytes.mid(i, nLargo));
            i += nLargo;
        } else {
            sEscapado +=
                QStringLiteral("\\x") + QString::number(c, 16).toUpper().rightJustified(2, QLatin1Char('0'));
            ++i;
        }
    }
    return false;
#endif
}

qint64 MsProcesador()
{
#ifdef Q_OS_WIN
    FILETIME creacion, salida, nucleo, usuario;
    if (!GetProcessTimes(GetCurrentProcess(), &creacion, &salida, &nucleo, &usuario))
        return 0;
    const auto cien_ns = [](const FILETIME& t) {
        return (qint64(t.dwHighDateTime) << 32) | qint64(t.dwLowDateTime);
    };
    return (cien_ns(nucleo) + cien_ns(usuario)) / 10000;
#else
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
#endif
}

long MemoriaPicoMB()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS m{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &m, sizeof m))
        return 0;
    return long(m.PeakWorkingSetSize / (1024 * 1024));
#else
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
#endif
}

} // namespace Plataforma
