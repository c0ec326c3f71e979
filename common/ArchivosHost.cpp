#include "common/ArchivosHost.h"

#include "common/CodigoAnsi.h"
#include "common/Plataforma.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QStringDecoder>

namespace ArchivosHost {

namespace {

// Text of a settings file as Windows reads it: UTF-16 (either byte order) or UTF-8 when the
// file begins with the mark of one, otherwise the 8-bit code page.
QString textoIni(const QByteArray& datos)
{
    const auto decodifica = [&](QStringConverter::Encoding Codigo, int nMarca) {
        QStringDecoder Decodificador(Codigo);
        const QString sTexto = Decodificador.decode(QByteArrayView(datos).sliced(nMarca));
        return sTexto;
    };
    if (datos.startsWith("\xFF\xFE"))
        return decodifica(QStringConverter::Utf16LE, 2);
    if (datos.startsWith("\xFE\xFF"))
        return decodifica(QStringConverter::Utf16BE, 2);
    if (datos.startsWith("\xEF\xBB\xBF"))
        return decodifica(QStringConverter::Utf8, 3);
    return CodigoAnsi::ATexto(datos);
}

// The path a write to sRuta would reach: links followed (a link to a missing file leads to
// its target, which the write would create), and for a missing file the nearest folder that
// exists, links followed, with the rest of the path as written.
QString rutaReal(const QString& sRuta)
{
    QString sActual = QDir::cleanPath(QFileInfo(sRuta).absoluteFilePath());
    for (int nSaltos = 0; nSaltos < 40; ++nSaltos) { // a loop of links ends here
        const QFileInfo Info(sActual);
        const QString sCanonica = Info.canonicalFilePath();
        if (!sCanonica.isEmpty())
            return sCanonica;
        if (!Info.isSymLink())
            break;
        sActual = QDir::cleanPath(Info.symLinkTarget());
    }
    QString sResto;
    QString sCarpeta = sActual;
    for (;;) {
        const QFileInfo Info(sCarpeta);
        const QString sPadre = Info.absolutePath();
        if (sPadre == sCarpeta)
            return sActual;
        sResto.prepend(QLatin1Char('/') + Info.fileName());
        QString sCanonica = QFileInfo(sPadre).canonicalFilePath();
        if (!sCanonica.isEmpty()) {
            if (sCanonica.endsWith(QLatin1Char('/')))
                sCanonica.chop(1);
            return sCanonica + sResto;
        }
        sCarpeta = sPadre;
    }
}

struct TProtegido
{
    QString sRuta; // absolute, as registered
};

struct TRegistro
{
    QMutex Candado;
    QList<TProtegido> Archivos;
    QList<TProtegido> Carpetas;
};

TRegistro& registro()
{
    static TRegistro r;
    return r;
}

void agrega(QList<TProtegido>& Lista, const QString& sRuta)
{
    const QString sAbsoluta = QDir::cleanPath(QFileInfo(sRuta).absoluteFilePath());
    QMutexLocker Candado(&registro().Candado);
    for (const TProtegido& p : Lista)
        if (p.sRuta == sAbsoluta)
            return;
    Lista.append({sAbsoluta});
}

QList<TProtegido> copia(const QList<TProtegido>& Lista)
{
    QMutexLocker Candado(&registro().Candado);
    return Lista;
}

// Whether Id is that of a protected entry as it is now: the host may have replaced a file since
// it was registered, and the number of a file that is gone may be given to a new one.
bool mismaIdentidad(const Plataforma::TIdentidadArchivo& Id, const QList<TProtegido>& Lista)
{
    if (!Id.bValida)
        return false;
    for (const TProtegido& p : Lista)
        if (Id == Plataforma::IdentidadArchivo(p.sRuta))
            return true;
    return false;
}

bool dentroDeTexto(const QString& sRuta, const QString& sCarpeta)
{
    QString c = sCarpeta;
    if (!c.endsWith(QLatin1Char('/')))
        c += QLatin1Char('/');
    return sRuta.compare(sCarpeta, Qt::CaseInsensitive) == 0 || sRuta.startsWith(c, Qt::CaseInsensitive);
}

// The folders from sCarpeta up to the root: as written, and with links resolved.
QStringList ascendientes(const QString& sCarpeta)
{
    QStringList l;
    const auto sube = [&l](QString s) {
        for (int n = 0; n < 4096; ++n) {
            l << s;
            const QString sPadre = QFileInfo(s).absolutePath();
            if (sPadre == s || sPadre.isEmpty())
                break;
            s = sPadre;
        }
    };
    const QString sAbsoluta = QDir::cleanPath(QFileInfo(sCarpeta).absoluteFilePath());
    sube(sAbsoluta);
    const QString sReal = rutaReal(sAbsoluta);
    if (sReal != sAbsoluta)
        sube(sReal);
    return l;
}

} // namespace

void ProtegeArchivo(const QString& sRuta)
{
    agrega(registro().Archivos, sRuta);
}

void ProtegeCarpeta(const QString& sRuta)
{
    agrega(registro().Carpetas, sRuta);
    // A folder reached through a link is protected where it really is, too.
    const QString sReal = QFileInfo(sRuta).canonicalFilePath();
    if (!sReal.isEmpty())
        agrega(registro().Carpetas, sReal);
}

TDestino RevisaCarpeta(const QString& sCarpeta)
{
    if (sCarpeta.trimmed().isEmpty())
        return TDestino::Permitido;
    const QList<TProtegido> Carpetas = copia(registro().Carpetas);
    if (Carpetas.isEmpty())
        return TDestino::Permitido;
    for (const QString& s : ascendientes(sCarpeta))
        if (mismaIdentidad(Plataforma::IdentidadArchivo(s), Carpetas))
            return TDestino::CarpetaBD;
    const QString sAbsoluta = QDir::cleanPath(QFileInfo(sCarpeta).absoluteFilePath());
    const QString sReal = rutaReal(sAbsoluta);
    for (const TProtegido& p : Carpetas)
        if (dentroDeTexto(sReal, rutaReal(p.sRuta)) || dentroDeTexto(sAbsoluta, p.sRuta))
            return TDestino::CarpetaBD;
    return TDestino::Permitido;
}

TDestino RevisaDestino(const QString& sRuta)
{
    if (sRuta.trimmed().isEmpty())
        return TDestino::Permitido;
    const QList<TProtegido> Archivos = copia(registro().Archivos);
    if (mismaIdentidad(Plataforma::IdentidadArchivo(sRuta), Archivos))
        return TDestino::ArchivoHost;
    // Resolved now, not when registered: the file may have been replaced or linked since.
    const QString sDestino = rutaReal(sRuta);
    for (const TProtegido& p : Archivos)
        if (rutaReal(p.sRuta).compare(sDestino, Qt::CaseInsensitive) == 0)
            return TDestino::ArchivoHost;
    return RevisaCarpeta(QFileInfo(QDir::cleanPath(QFileInfo(sRuta).absoluteFilePath())).absolutePath());
}

bool EsArchivoProtegido(const QString& sRuta)
{
    return RevisaDestino(sRuta) == TDestino::ArchivoHost;
}

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
    ProtegeArchivo(sArchivo);
    QFile f(sArchivo);
    if (!f.open(QIODevice::ReadOnly))
        return nDefecto;
    const QString texto = textoIni(f.readAll());
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

bool MismoArchivo(const QString& sRutaA, const QString& sRutaB)
{
    const QString a = QFileInfo(sRutaA).canonicalFilePath();
    const QString b = QFileInfo(sRutaB).canonicalFilePath();
    if (a.isEmpty() || b.isEmpty())
        return false;
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

bool CopiaSegura(const QString& sOrigen, const QString& sDestino)
{
    if (!QFileInfo(sOrigen).isFile() || MismoArchivo(sOrigen, sDestino))
        return false;
    QFile Origen(sOrigen);
    if (!Origen.open(QIODevice::ReadOnly))
        return false;
    QSaveFile Destino(sDestino);
    if (!Destino.open(QIODevice::WriteOnly))
        return false;
    QByteArray Bloque(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = Origen.read(Bloque.data(), Bloque.size());
        if (n < 0) {
            Destino.cancelWriting();
            break;
        }
        if (n == 0)
            break;
        if (Destino.write(Bloque.constData(), n) != n)
            break; // the save file remembers the failure and commit() refuses
    }
    return Destino.commit();
}

} // namespace ArchivosHost
