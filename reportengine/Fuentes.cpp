#include "reportengine/Fuentes.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>

void RegistraFuentes()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive))
        return;
    for (const char* sArchivo : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        if (QFile::exists(QString::fromLatin1(sArchivo)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(sArchivo));
}

QPaintDevice* DispositivoDiseno()
{
    // 3780 dots per metre is 96.01 dpi, which QImage rounds to 96 for its logical dpi.
    static QImage Imagen = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(3780);
        i.setDotsPerMeterY(3780);
        return i;
    }();
    return &Imagen;
}
