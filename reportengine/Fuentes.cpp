#include "reportengine/Fuentes.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>

namespace {

bool HayFamilia(const QString& sFamilia)
{
    return QFontDatabase::families().contains(sFamilia, Qt::CaseInsensitive);
}

#ifdef Q_OS_WIN
void RegistraArchivos(const QString& sCarpeta, const QStringList& Filtros)
{
    const QDir d(sCarpeta);
    for (const QString& sArchivo : d.entryList(Filtros, QDir::Files, QDir::Name))
        QFontDatabase::addApplicationFont(d.filePath(sArchivo));
}
#endif

#ifndef Q_OS_WIN
// Windows lays out lines with a face's Windows metrics (usWinAscent + usWinDescent) even when the
// face asks for its typographic ones (OS/2 fsSelection bit 7, USE_TYPO_METRICS), as Wine's Tahoma
// does; FreeType honours the bit, and its lines of Tahoma come out a sixth shorter. The bit is
// cleared in the bytes registered here, so that the report and the window keep Windows' line
// heights. Anything that is not a well-formed table directory is registered as it is.
QByteArray ConMetricasWindows(QByteArray Datos)
{
    const auto u16 = [&](qsizetype n) { return (quint16(quint8(Datos[n])) << 8) | quint8(Datos[n + 1]); };
    const auto u32 = [&](qsizetype n) { return (quint32(u16(n)) << 16) | u16(n + 2); };
    if (Datos.size() < 12)
        return Datos;
    const int nTablas = u16(4);
    for (int i = 0; i < nTablas && 12 + 16 * (i + 1) <= Datos.size(); ++i) {
        const qsizetype nEntrada = 12 + 16 * i;
        if (Datos.mid(nEntrada, 4) != "OS/2")
            continue;
        const qsizetype nSeleccion = qsizetype(u32(nEntrada + 8)) + 62;
        if (nSeleccion + 2 <= Datos.size())
            Datos[nSeleccion + 1] = char(quint8(Datos[nSeleccion + 1]) & ~0x80);
        break;
    }
    return Datos;
}
#endif

} // namespace

void RegistraFuentes()
{
#ifdef Q_OS_WIN
    // Windows has the report's own faces; a machine without one gets its metric twin, from the
    // system or from the fonts built into the program.
    struct TCara
    {
        const char* pFamilia;
        const char* pGemela;
        const char* pArchivos;
    };
    const TCara Caras[] = {
        {"Times New Roman", "Liberation Serif", "LiberationSerif-*.ttf"},
        {"Calibri", "Carlito", "Carlito-*.ttf"},
        {"Tahoma", "Tahoma", "tahoma*.ttf"},
    };
    const QString sCarpeta = QStringLiteral(":/fuentes");
    for (const TCara& c : Caras) {
        const QString sFamilia = QString::fromLatin1(c.pFamilia);
        const QString sGemela = QString::fromLatin1(c.pGemela);
        if (HayFamilia(sFamilia))
            continue;
        if (!HayFamilia(sGemela))
            RegistraArchivos(sCarpeta, {QString::fromLatin1(c.pArchivos)});
        if (sGemela != sFamilia)
            QFont::insertSubstitution(sFamilia, sGemela);
    }
#else
    // Times New Roman and Calibri resolve through fontconfig to their twins; Tahoma comes from the
    // Wine font folder, which fontconfig does not search.
    if (HayFamilia(QStringLiteral("Tahoma")))
        return;
    const QDir Wine(QStringLiteral("/usr/share/wine/fonts"));
    for (const char* pArchivo : {"tahoma.ttf", "tahomabd.ttf"}) {
        QFile f(Wine.filePath(QString::fromLatin1(pArchivo)));
        if (f.open(QIODevice::ReadOnly))
            QFontDatabase::addApplicationFontFromData(ConMetricasWindows(f.readAll()));
    }
#endif
}
