#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// Runs an external reader and keeps what it printed; nCodigo -1 when it did not end normally
// within two minutes.
struct TSalida
{
    int nCodigo = -1;
    QByteArray Salida;
    QByteArray Errores;
};

inline TSalida ejecuta(const QString& sPrograma, const QStringList& Args)
{
    QProcess P;
    P.start(sPrograma, Args);
    TSalida S;
    if (!P.waitForFinished(120000))
        return S;
    S.nCodigo = P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1;
    S.Salida = P.readAllStandardOutput();
    S.Errores = P.readAllStandardError();
    return S;
}
