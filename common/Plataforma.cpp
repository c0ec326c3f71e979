#include "common/Plataforma.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTimeZone>

#ifdef Q_OS_WIN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#else
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace Plataforma {

bool AbreSoloLectura(QFile& Archivo)
{
#ifdef Q_OS_WIN
    // Qt opens without FILE_SHARE_DELETE; the host must be free to rename or replace the file.
    const std::wstring sRuta = QDir::toNativeSeparators(Archivo.fileName()).toStdWString();
    HANDLE h =
        CreateFileW(sRuta.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // Let QFile try, so its error text explains the failure.
        return Archivo.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return false;
    }
    if (!Archivo.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        _close(fd);
        return false;
    }
    return true;
#else
    return Archivo.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
#endif
}

TBloqueoExclusivo::TBloqueoExclusivo(const QString& sRuta) : F_sRuta(sRuta)
{
#ifdef Q_OS_WIN
    const std::wstring s = QDir::toNativeSeparators(sRuta).toStdWString();
    HANDLE h =
        CreateFileW(s.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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

void ConsolaUtf8()
{
#ifdef Q_OS_WIN
    SetConsoleOutputCP(CP_UTF8);
#endif
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
