#pragma once

#include "questionnaire/ArchivosDetalle.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>

// The command-line tool run as a user runs it, and its detail files read back.
namespace ProcesoHerramienta {

struct TSalida
{
    int nCodigo = -1;
    QString sSalida, sError;
};

// The tool with Args; Entorno: variables set for it ("LC_ALL=es_MX.UTF-8").
inline TSalida Corre(const QStringList& Args, const QStringList& Entorno = {})
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString& v : Entorno)
        e.insert(v.section('=', 0, 0), v.section('=', 1));
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(QRTZ_CUESTIONARIO), Args);
    if (!p.waitForFinished(300000))
        return {};
    // Windows' console tools end their lines with CR LF.
    const auto texto = [](const QByteArray& b) { return QString::fromUtf8(b).replace("\r\n", "\n"); };
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, texto(p.readAllStandardOutput()),
            texto(p.readAllStandardError())};
}

// A value of the tool's lines as it was: \\, \n, \r and \t back to what they stand for.
inline QString Desescapa(const QString& s)
{
    QString r;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            r += s[i];
            continue;
        }
        const QChar c = s[++i];
        r += c == 'n' ? QChar('\n') : c == 'r' ? QChar('\r') : c == 't' ? QChar('\t') : c;
    }
    return r;
}

// The variables printed as "nombre<TAB>valor" lines (PEP lines left out), their texts restored.
inline QMap<QString, QString> Variables(const QString& sSalida)
{
    QMap<QString, QString> m;
    for (const QString& l : sSalida.split('\n')) {
        const int t = int(l.indexOf('\t'));
        if (t > 0 && !l.startsWith("PEP\t"))
            m[l.left(t)] = Desescapa(l.mid(t + 1));
    }
    return m;
}

// A CSV file of the details: its rows (header first), or none when it cannot be read.
inline QList<QStringList> LeeCsv(const QString& sRuta, QChar cSeparador = ';')
{
    QFile f(sRuta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return ArchivosDetalle::Lee(f.readAll(), cSeparador);
}

} // namespace ProcesoHerramienta
