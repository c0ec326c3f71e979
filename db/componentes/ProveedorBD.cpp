#include "db/componentes/ProveedorBD.h"

TCadenaConexion::TCadenaConexion(const QString& sCadena) : F_sTexto(sCadena)
{
    // "Key=Value;Key=Value". Values are taken as written up to the next ';' (the program
    // never quotes them); an entry without '=' is ignored, and the first occurrence of a key
    // wins.
    const QStringList partes = sCadena.split(QLatin1Char(';'));
    for (const QString& parte : partes) {
        const int igual = parte.indexOf(QLatin1Char('='));
        if (igual < 0)
            continue;
        const QString clave = parte.left(igual).trimmed().toLower();
        if (clave.isEmpty() || F_Valores.contains(clave))
            continue;
        F_Valores.insert(clave, parte.mid(igual + 1));
    }
}

QString TCadenaConexion::Valor(const QString& sClave) const
{
    return F_Valores.value(sClave.trimmed().toLower());
}

bool TCadenaConexion::Tiene(const QString& sClave) const
{
    return F_Valores.contains(sClave.trimmed().toLower());
}
