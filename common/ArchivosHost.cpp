#include "common/ArchivosHost.h"

#include "common/CodigoAnsi.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ArchivosHost {

QString ResuelveRuta(const QString& sCarpeta, const QString& sRelativa)
{
    // A Windows folder may come with backslashes (C:\Tavoro, \\SERVIDOR\Tavoro); Qt works with '/'.
    QString ruta = QDir::fromNativeSeparators(sCarpeta);
    if (!ruta.endsWith(QLatin1Char('/')))
        ruta += QLatin1Char('/');
    const QStringList partes = QString(sRelativa)
                                   .replace(QLatin1Char('\\'), QLatin1Char('/'))
                                   .split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i < partes.size(); ++i) {
        const QString& parte = partes[i];
        QString elegido = parte;
        if (!QFileInfo::exists(ruta + parte)) {
            const QStringList entradas = QDir(ruta).entryList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
            for (const QString& e : entradas) {
                if (e.compare(parte, Qt::CaseInsensitive) == 0) {
                    elegido = e;
                    break;
                }
            }
        }
        ruta += elegido;
        if (i + 1 < partes.size())
            ruta += QLatin1Char('/');
    }
    return ruta;
}

int LeeEnteroIni(const QString& sArchivo, const QString& sSeccion, const QString& sClave, int nDefecto)
{
    QFile f(sArchivo);
    if (!f.open(QIODevice::ReadOnly))
        return nDefecto;
    // Settings files of the host are written in the 8-bit code page; a UTF-8 mark is skipped.
    QByteArray datos = f.readAll();
    if (datos.startsWith("\xEF\xBB\xBF"))
        datos.remove(0, 3);
    const QString texto = CodigoAnsi::ATexto(datos);
    bool enSeccion = false;
    for (QString linea : texto.split(QLatin1Char('\n'))) {
        linea = linea.trimmed();
        if (linea.startsWith(QLatin1Char('['))) {
            const int cierre = linea.indexOf(QLatin1Char(']'));
            const QString nombre = linea.mid(1, cierre < 0 ? -1 : cierre - 1).trimmed();
            if (enSeccion)
                return nDefecto; // the first section of that name was read to its end
            enSeccion = nombre.compare(sSeccion.trimmed(), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!enSeccion || linea.startsWith(QLatin1Char(';')))
            continue;
        const int igual = linea.indexOf(QLatin1Char('='));
        if (igual < 0 || linea.left(igual).trimmed().compare(sClave.trimmed(), Qt::CaseInsensitive) != 0)
            continue;
        QString valor = linea.mid(igual + 1).trimmed();
        if (valor.size() >= 2 && ((valor.startsWith('"') && valor.endsWith('"')) ||
                                  (valor.startsWith('\'') && valor.endsWith('\''))))
            valor = valor.mid(1, valor.size() - 2);
        // Leading sign and digits, as the Windows reader takes them.
        int i = 0;
        bool negativo = false;
        if (i < valor.size() && (valor[i] == '-' || valor[i] == '+')) {
            negativo = valor[i] == '-';
            ++i;
        }
        qint64 n = 0;
        while (i < valor.size() && valor[i].isDigit() && valor[i].unicode() < 128) {
            n = n * 10 + (valor[i].unicode() - '0');
            if (n > 0xFFFFFFFFLL)
                n = 0xFFFFFFFFLL;
            ++i;
        }
        // The Windows function returns an unsigned value that callers read as signed.
        const quint32 sinSigno = quint32(negativo ? -n : n);
        return int(sinSigno);
    }
    return nDefecto;
}

} // namespace ArchivosHost
