#include "tools/mdbgen/FixtureMdb.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

bool error(QString* psError, const QString& s)
{
    if (psError)
        *psError = s;
    return false;
}

// A Binary/OLE value or a repeated text: {"hex": ...} | {"base64": ...} | {"texto": ...}, with an
// optional "veces" that repeats it.
bool valorObjeto(const QJsonObject& O, TTipoColumnaMdb Tipo, QVariant& v, QString& sMotivo)
{
    const int nVeces = O.value(QLatin1String("veces")).toInt(1);
    if (nVeces < 0) {
        sMotivo = QStringLiteral("\"veces\" no puede ser negativo");
        return false;
    }
    const bool bBytes = Tipo == TTipoColumnaMdb::Binario || Tipo == TTipoColumnaMdb::Ole;
    if (O.contains(QLatin1String("hex")) || O.contains(QLatin1String("base64"))) {
        if (!bBytes) {
            sMotivo = QStringLiteral("\"hex\" y \"base64\" sirven solo para columnas Binario y Ole");
            return false;
        }
        QByteArray b;
        if (O.contains(QLatin1String("hex"))) {
            const QByteArray sHex = O.value(QLatin1String("hex")).toString().toLatin1();
            b = QByteArray::fromHex(sHex);
            if (b.toHex().compare(sHex, Qt::CaseInsensitive) != 0) {
                sMotivo = QStringLiteral("\"hex\" no es hexadecimal válido");
                return false;
            }
        } else {
            auto r = QByteArray::fromBase64Encoding(O.value(QLatin1String("base64")).toString().toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
            if (!r) {
                sMotivo = QStringLiteral("\"base64\" no es base64 válido");
                return false;
            }
            b = *r;
        }
        v = b.repeated(nVeces);
        return true;
    }
    if (O.contains(QLatin1String("texto"))) {
        const QString s = O.value(QLatin1String("texto")).toString().repeated(nVeces);
        v = bBytes ? QVariant(s.toUtf8()) : QVariant(s);
        return true;
    }
    sMotivo = QStringLiteral("un objeto de valor necesita \"hex\", \"base64\" o \"texto\"");
    return false;
}

bool valor(const QJsonValue& J, TTipoColumnaMdb Tipo, QVariant& v, QString& sMotivo)
{
    switch (J.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        v = QVariant();
        return true;
    case QJsonValue::Bool:
        v = J.toBool();
        return true;
    case QJsonValue::Double: {
        const double d = J.toDouble();
        // Whole numbers stay integers so that Currency reads them as whole units exactly.
        if (d == double(qint64(d)) && std::abs(d) < 9.0e15)
            v = qint64(d);
        else
            v = d;
        return true;
    }
    case QJsonValue::String:
        if (Tipo == TTipoColumnaMdb::Binario || Tipo == TTipoColumnaMdb::Ole) {
            sMotivo = QStringLiteral("un valor binario se escribe como {\"hex\": ...} o {\"base64\": ...}");
            return false;
        }
        v = J.toString();
        return true;
    case QJsonValue::Object:
        return valorObjeto(J.toObject(), Tipo, v, sMotivo);
    case QJsonValue::Array:
        sMotivo = QStringLiteral("un valor no puede ser una lista");
        return false;
    }
    return false;
}

} // namespace

bool TipoColumnaDeNombre(const QString& sNombre, TTipoColumnaMdb& Tipo)
{
    static const QHash<QString, TTipoColumnaMdb> kTipos = {
        {"sino", TTipoColumnaMdb::SiNo},
        {"boolean", TTipoColumnaMdb::SiNo},
        {"yesno", TTipoColumnaMdb::SiNo},
        {"byte", TTipoColumnaMdb::Byte},
        {"entero", TTipoColumnaMdb::Entero},
        {"integer", TTipoColumnaMdb::Entero},
        {"enterolargo", TTipoColumnaMdb::EnteroLargo},
        {"long", TTipoColumnaMdb::EnteroLargo},
        {"moneda", TTipoColumnaMdb::Moneda},
        {"currency", TTipoColumnaMdb::Moneda},
        {"simple", TTipoColumnaMdb::Simple},
        {"single", TTipoColumnaMdb::Simple},
        {"doble", TTipoColumnaMdb::Doble},
        {"double", TTipoColumnaMdb::Doble},
        {"fechahora", TTipoColumnaMdb::FechaHora},
        {"datetime", TTipoColumnaMdb::FechaHora},
        {"binario", TTipoColumnaMdb::Binario},
        {"binary", TTipoColumnaMdb::Binario},
        {"texto", TTipoColumnaMdb::Texto},
        {"text", TTipoColumnaMdb::Texto},
        {"ole", TTipoColumnaMdb::Ole},
        {"memo", TTipoColumnaMdb::Memo},
        {"guid", TTipoColumnaMdb::Guid},
        {"numerico", TTipoColumnaMdb::Numerico},
        {"numeric", TTipoColumnaMdb::Numerico},
        {"decimal", TTipoColumnaMdb::Numerico},
    };
    QString s = sNombre.toLower();
    s.remove(QLatin1Char('/')).remove(QLatin1Char(' ')).remove(QLatin1Char('_'));
    const auto it = kTipos.constFind(s);
    if (it == kTipos.constEnd())
        return false;
    Tipo = *it;
    return true;
}

std::unique_ptr<TEscritorMdb> CreaEscritorDeFixture(const QByteArray& Json, QString* psError)
{
    QJsonParseError E;
    const QJsonDocument Doc = QJsonDocument::fromJson(Json, &E);
    if (E.error != QJsonParseError::NoError) {
        error(psError,
              QStringLiteral("El JSON no es válido (posición %1): %2").arg(E.offset).arg(E.errorString()));
        return nullptr;
    }
    if (!Doc.isObject()) {
        error(psError, QStringLiteral("El fixture debe ser un objeto JSON."));
        return nullptr;
    }
    const QJsonObject Raiz = Doc.object();
    TOpcionesMdb Op;
    Op.sPassword = Raiz.value(QLatin1String("contrasena")).toString();
    if (Raiz.contains(QLatin1String("fechaCreacion"))) {
        const QString s = Raiz.value(QLatin1String("fechaCreacion")).toString();
        QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
        if (!dt.isValid())
            dt = QDateTime(QDate::fromString(s, Qt::ISODate), QTime(0, 0));
        if (!dt.isValid()) {
            error(psError, QStringLiteral("\"fechaCreacion\" no es una fecha válida: %1").arg(s));
            return nullptr;
        }
        Op.dtCreacion = QDateTime(dt.date(), dt.time());
    }
    const double dClave = Raiz.value(QLatin1String("claveCifrado")).toDouble(0);
    if (dClave < 0 || dClave > 4294967295.0 || dClave != double(qint64(dClave))) {
        error(psError, QStringLiteral("\"claveCifrado\" debe ser un entero de 0 a 4294967295."));
        return nullptr;
    }
    Op.nClavePaginas = std::uint32_t(qint64(dClave));
    auto Escritor = std::make_unique<TEscritorMdb>(Op);

    const QJsonArray Tablas = Raiz.value(QLatin1String("tablas")).toArray();
    for (const QJsonValue& JT : Tablas) {
        const QJsonObject OT = JT.toObject();
        TDefinicionTabla Def;
        Def.sNombre = OT.value(QLatin1String("nombre")).toString();
        for (const QJsonValue& JC : OT.value(QLatin1String("columnas")).toArray()) {
            const QJsonObject OC = JC.toObject();
            TColumnaMdb C;
            C.sNombre = OC.value(QLatin1String("nombre")).toString();
            const QString sTipo = OC.value(QLatin1String("tipo")).toString();
            if (!TipoColumnaDeNombre(sTipo, C.Tipo)) {
                error(psError, QStringLiteral("La columna %1.%2 tiene un tipo desconocido: \"%3\".")
                                   .arg(Def.sNombre, C.sNombre, sTipo));
                return nullptr;
            }
            C.nLongitud = OC.value(QLatin1String("longitud")).toInt(0);
            C.nPrecision = OC.value(QLatin1String("precision")).toInt(18);
            C.nEscala = OC.value(QLatin1String("escala")).toInt(0);
            C.bCompresion = OC.value(QLatin1String("compresion")).toBool(true);
            Def.Columnas.push_back(C);
        }
        const int nTabla = Escritor->AgregaTabla(Def);
        if (nTabla < 0) {
            error(psError, Escritor->Error());
            return nullptr;
        }
        int nFila = 0;
        for (const QJsonValue& JF : OT.value(QLatin1String("filas")).toArray()) {
            ++nFila;
            QVariantList Valores;
            QString sMotivo;
            auto falla = [&](int nCol) {
                error(psError,
                      QStringLiteral("Tabla %1, fila %2, columna %3: %4.")
                          .arg(Def.sNombre)
                          .arg(nFila)
                          .arg(nCol < int(Def.Columnas.size()) ? Def.Columnas[std::size_t(nCol)].sNombre
                                                               : QString::number(nCol + 1),
                               sMotivo));
            };
            if (JF.isArray()) {
                const QJsonArray A = JF.toArray();
                if (A.size() > qsizetype(Def.Columnas.size())) {
                    sMotivo = QStringLiteral("la fila tiene más valores que columnas");
                    falla(int(A.size()) - 1);
                    return nullptr;
                }
                for (int i = 0; i < A.size(); ++i) {
                    QVariant v;
                    if (!valor(A[i], Def.Columnas[std::size_t(i)].Tipo, v, sMotivo)) {
                        falla(i);
                        return nullptr;
                    }
                    Valores.append(v);
                }
            } else if (JF.isObject()) {
                const QJsonObject OF = JF.toObject();
                for (auto it = OF.begin(); it != OF.end(); ++it) {
                    bool bExiste = false;
                    for (const TColumnaMdb& C : Def.Columnas)
                        bExiste = bExiste || C.sNombre == it.key();
                    if (!bExiste) {
                        error(psError, QStringLiteral("Tabla %1, fila %2: la columna %3 no existe.")
                                           .arg(Def.sNombre)
                                           .arg(nFila)
                                           .arg(it.key()));
                        return nullptr;
                    }
                }
                for (int i = 0; i < int(Def.Columnas.size()); ++i) {
                    QVariant v;
                    if (!valor(OF.value(Def.Columnas[std::size_t(i)].sNombre),
                               Def.Columnas[std::size_t(i)].Tipo, v, sMotivo)) {
                        falla(i);
                        return nullptr;
                    }
                    Valores.append(v);
                }
            } else {
                sMotivo = QStringLiteral("cada fila debe ser una lista o un objeto");
                falla(0);
                return nullptr;
            }
            if (!Escritor->AgregaFila(nTabla, Valores)) {
                error(psError, Escritor->Error());
                return nullptr;
            }
        }
    }
    return Escritor;
}

bool EscribeFixtureMdb(const QString& sJson, const QString& sMdb, QString* psError)
{
    QFile Archivo(sJson);
    if (!Archivo.open(QIODevice::ReadOnly))
        return error(psError,
                     QStringLiteral("No se puede leer el fixture %1: %2").arg(sJson, Archivo.errorString()));
    auto Escritor = CreaEscritorDeFixture(Archivo.readAll(), psError);
    if (!Escritor)
        return false;
    if (!Escritor->Guarda(sMdb))
        return error(psError, Escritor->Error());
    return true;
}
