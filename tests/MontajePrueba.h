#pragma once

// Mounts for the tests of outputs that must never reach the host's folder: a second mount of a
// folder (another name for the same files, as a mapped drive letter is on Windows) and a small
// file system that fills up or is read-only. They need the system administrator on Linux (CI
// runs as root); where the system refuses, Monta* returns false and the case skips. Everything
// mounted is unmounted when the object goes.
#include <QDir>
#include <QProcess>
#include <QStringList>

class TMontajePrueba
{
public:
    TMontajePrueba() = default;
    ~TMontajePrueba()
    {
        for (auto it = F_Montados.crbegin(); it != F_Montados.crend(); ++it)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), *it});
    }
    TMontajePrueba(const TMontajePrueba&) = delete;
    TMontajePrueba& operator=(const TMontajePrueba&) = delete;

    // sDestino shows the folder sOrigen.
    bool MontaEnlace(const QString& sOrigen, const QString& sDestino)
    {
        return monta({QStringLiteral("--bind"), sOrigen, sDestino}, sDestino);
    }
    // A file system of nKB kilobytes at sDestino, read-only when asked.
    bool MontaPequeno(const QString& sDestino, int nKB, bool bSoloLectura = false)
    {
        QString sOpciones = QStringLiteral("size=%1k").arg(nKB);
        if (bSoloLectura)
            sOpciones += QStringLiteral(",ro");
        return monta({QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), sOpciones,
                      QStringLiteral("tmpfs"), sDestino},
                     sDestino);
    }

private:
    bool monta(const QStringList& Args, const QString& sDestino)
    {
#ifdef Q_OS_WIN
        (void)Args;
        (void)sDestino;
        return false;
#else
        if (!QDir().mkpath(sDestino))
            return false;
        QProcess p;
        p.start(QStringLiteral("mount"), Args);
        if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return false;
        F_Montados << sDestino;
        return true;
#endif
    }

    QStringList F_Montados;
};
