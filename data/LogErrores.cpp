#include "data/LogErrores.h"
#include "common/Texto.h"

#include "common/IIDialogos.h"

#include <stdexcept>

void TManejadorErrores::AgregaError(const QString& sClave, const QString& sMsjUsuario, const QString& sMsjLog,
                                    bool bMostrarMsj)
{
    if (F_ListaErrores.contains(sClave))
        throw std::runtime_error(QStringLiteral("Código de error duplicado: %1").arg(sClave).toStdString());
    F_ListaErrores.insert(sClave, TMsjError{sMsjUsuario, sMsjLog, bMostrarMsj});
}

void TManejadorErrores::MuestraError(const QString& sClaveErr, const QString& sNomClase,
                                     const QString& sMsjAdicional)
{
    const QString sClase = EsBlanco(sNomClase) ? QString() : QStringLiteral(".") + sNomClase;
    const auto it = F_ListaErrores.constFind(sClaveErr);
    if (it == F_ListaErrores.constEnd()) {
        Dialogos().MuestraMensaje(QStringLiteral("Error #") + sClaveErr + sClase + QStringLiteral(" ") +
                                  sMsjAdicional);
        return;
    }
    if (!it->bMostrarMsj)
        return;
    Dialogos().MuestraMensaje(QStringLiteral("Error #") + sClaveErr + sClase + QStringLiteral(": ") +
                              it->sMsjUsuario + QStringLiteral(" ") + sMsjAdicional);
}

QString TManejadorErrores::DameErrorMsj(const QString& sClaveErr, const QString& sMsjAdicional,
                                        bool bIncluyeClave)
{
    QString sTexto;
    const auto it = F_ListaErrores.constFind(sClaveErr);
    if (it != F_ListaErrores.constEnd())
        sTexto = it->sMsjUsuario + QStringLiteral(" ") + sMsjAdicional;
    else if (!sMsjAdicional.isEmpty())
        sTexto = sMsjAdicional;
    else
        sTexto = QStringLiteral("Error desconocido");
    if (bIncluyeClave)
        return QStringLiteral("Error #") + sClaveErr + QStringLiteral(": ") + sTexto;
    return sTexto;
}
