#include "questionnaire/ArchivosDetalle.h"

#include "common/ArchivosHost.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace ArchivosDetalle {

namespace {

// The path sRuta names once its links are followed, also when its last components do not
// exist yet.
QString rutaReal(const QString& sRuta)
{
    QFileInfo f(QDir::cleanPath(QFileInfo(sRuta).absoluteFilePath()));
    QStringList Resto;
    while (!f.exists() && !f.isSymLink()) {
        const QString sPadre = f.path();
        if (sPadre == f.filePath())
            break;
        Resto.prepend(f.fileName());
        f = QFileInfo(sPadre);
    }
    QString s = f.exists() ? f.canonicalFilePath() : f.absoluteFilePath();
    for (const QString& c : Resto)
        s += QLatin1Char('/') + c;
    return QDir::cleanPath(s);
}

bool dentroDe(const QString& sRuta, const QString& sCarpeta)
{
    // The host's Windows machines resolve names without regard to letter case.
    const QString r = sRuta.toLower();
    const QString c = sCarpeta.toLower();
    return r == c || r.startsWith(c.endsWith(QLatin1Char('/')) ? c : c + QLatin1Char('/'));
}

} // namespace

QString Campo(const QVariant& v, QChar cSeparador)
{
    QString s;
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::Bool:
        return v.toBool() ? u"SI"_s : u"NO"_s;
    case QMetaType::Double:
    case QMetaType::Float:
        s = TextoNumero(v.toDouble());
        if (cSeparador == QLatin1Char(';'))
            s.replace(QLatin1Char('.'), QLatin1Char(','));
        return s;
    case QMetaType::QDateTime: {
        const QDateTime f = v.toDateTime();
        return f.toString(f.time() == QTime(0, 0) ? u"dd/MM/yyyy"_s : u"dd/MM/yyyy HH:mm:ss"_s);
    }
    default:
        s = v.toString();
        break;
    }
    if (s.contains(cSeparador) || s.contains(QLatin1Char('"')) || s.contains(QLatin1Char('\n')) ||
        s.contains(QLatin1Char('\r'))) {
        s.replace(u"\""_s, u"\"\""_s);
        s = QLatin1Char('"') + s + QLatin1Char('"');
    }
    return s;
}

QByteArray Texto(const QStringList& Encabezado, const QList<QVariantList>& Filas, QChar cSeparador)
{
    QString s;
    const auto linea = [&](const QVariantList& Valores) {
        for (int i = 0; i < Valores.size(); ++i) {
            if (i > 0)
                s += cSeparador;
            s += Campo(Valores[i], cSeparador);
        }
        s += u"\r\n"_s;
    };
    QVariantList e;
    for (const QString& c : Encabezado)
        e << c;
    linea(e);
    for (const QVariantList& f : Filas)
        linea(f);
    return QByteArray("\xEF\xBB\xBF") + s.toUtf8();
}

QList<QStringList> Lee(const QByteArray& Datos, QChar cSeparador)
{
    QString s = QString::fromUtf8(Datos);
    if (s.startsWith(QChar(0xFEFF)))
        s.remove(0, 1);
    QList<QStringList> Filas;
    QStringList Fila;
    QString sCampo;
    bool bComillas = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (bComillas) {
            if (c == QLatin1Char('"') && i + 1 < s.size() && s[i + 1] == QLatin1Char('"')) {
                sCampo += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                bComillas = false;
            } else {
                sCampo += c;
            }
        } else if (c == QLatin1Char('"')) {
            bComillas = true;
        } else if (c == cSeparador) {
            Fila << sCampo;
            sCampo.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < s.size() && s[i + 1] == QLatin1Char('\n')) {
            Fila << sCampo;
            Filas << Fila;
            Fila.clear();
            sCampo.clear();
            ++i;
        } else {
            sCampo += c;
        }
    }
    if (!sCampo.isEmpty() || !Fila.isEmpty())
        Filas << (Fila << sCampo);
    return Filas;
}

bool CarpetaPermitida(const QString& sCarpeta, const QStringList& Prohibidas, QString& sError)
{
    const QString sReal = rutaReal(sCarpeta);
    for (const QString& p : Prohibidas) {
        if (dentroDe(sReal, rutaReal(p))) {
            sError =
                u"No se pueden escribir archivos en %1: es la carpeta de la base de datos del Tavoro, que "
                u"este programa nunca modifica. Elija otra carpeta."_s.arg(
                    QDir::toNativeSeparators(sCarpeta));
            return false;
        }
    }
    if (QFileInfo(sCarpeta).exists() && !QFileInfo(sCarpeta).isDir()) {
        sError = u"%1 no es una carpeta."_s.arg(QDir::toNativeSeparators(sCarpeta));
        return false;
    }
    return true;
}

QList<TArchivo> ArchivosDeDetalle(const QList<TDetalle>& Detalles, const QList<TTablaDetalle>& Tablas,
                                  const QMap<QString, QString>& Figuras, QChar cSeparador)
{
    QList<TArchivo> Archivos;
    QList<QVariantList> Indice;
    for (int i = 0; i < Detalles.size() && i < Tablas.size(); ++i) {
        const TDetalle& d = Detalles[i];
        const QString sArchivo = ArchivoDetalle(d);
        Archivos.append({sArchivo, Texto(Tablas[i].Columnas, Tablas[i].Filas, cSeparador)});
        QString sFigura = Figuras.value(d.sVariable);
        sFigura.replace(u"\r\n"_s, u" | "_s);
        Indice.append({qint64(d.nPregunta), d.sVariable, d.sDescripcion, sFigura,
                       qint64(Tablas[i].Filas.size()), sArchivo});
    }
    Archivos.append({kIndice, Texto({u"Pregunta"_s, u"Variable"_s, u"Descripcion"_s, u"Respuesta"_s,
                                     u"Filas"_s, u"Archivo"_s},
                                    Indice, cSeparador)});
    return Archivos;
}

bool Escribe(const QString& sCarpeta, const QList<TArchivo>& Archivos, QString& sError)
{
    if (!QDir().mkpath(sCarpeta)) {
        sError = u"No se pudo crear la carpeta %1."_s.arg(QDir::toNativeSeparators(sCarpeta));
        return false;
    }
    for (const TArchivo& a : Archivos) {
        const QString sRuta = QDir(sCarpeta).filePath(a.sNombre);
        if (ArchivosHost::EsArchivoProtegido(sRuta)) {
            sError =
                u"No se puede escribir %1: es un archivo del Tavoro, que este programa nunca modifica."_s.arg(
                    QDir::toNativeSeparators(sRuta));
            return false;
        }
        QSaveFile f(sRuta);
        if (!f.open(QIODevice::WriteOnly) || f.write(a.Datos) != a.Datos.size() || !f.commit()) {
            sError = u"No se pudo escribir el archivo %1."_s.arg(QDir::toNativeSeparators(sRuta));
            return false;
        }
    }
    return true;
}

} // namespace ArchivosDetalle
