#include "reportengine/Fuentes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>

namespace {

bool HayFamilia(const QString& sFamilia)
{
    return QFontDatabase::families().contains(sFamilia, Qt::CaseInsensitive);
}

void RegistraArchivos(const QString& sCarpeta, const QStringList& Filtros)
{
    const QDir d(sCarpeta);
    for (const QString& sArchivo : d.entryList(Filtros, QDir::Files, QDir::Name))
        QFontDatabase::addApplicationFont(d.filePath(sArchivo));
}

} // namespace

void RegistraFuentes()
{
#ifdef Q_OS_WIN
    // Windows has the report's own faces; a machine without one gets its metric twin, from the
    // system or from the fonts shipped in the program's "fuentes" folder.
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
    const QString sCarpeta = QCoreApplication::applicationDirPath() + QStringLiteral("/fuentes");
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
    RegistraArchivos(QStringLiteral("/usr/share/wine/fonts"),
                     {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")});
#endif
}
