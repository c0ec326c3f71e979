#include "ArchivoPruebaSQL.h"

#include "db/jet/sql/FuncionesJet.h"
#include "db/jet/sql/SintaxisJet.h"

#include <QFile>
#include <QTextStream>

#include <stdexcept>

namespace {

[[noreturn]] void falla(const QString& sRuta, int nLinea, const QString& sQue)
{
    throw std::runtime_error(QStringLiteral("%1:%2: %3").arg(sRuta).arg(nLinea).arg(sQue).toStdString());
}

// Splits "a, 'b, c', NULL" at the commas outside quotes.
QStringList separaValores(const QString& s)
{
    QStringList r;
    QString actual;
    bool comillas = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == QLatin1Char('\'')) {
            comillas = !comillas;
            actual += c;
        } else if (c == QLatin1Char(',') && !comillas) {
            r << actual.trimmed();
            actual.clear();
        } else
            actual += c;
    }
    r << actual.trimmed();
    return r;
}

// Exact ten-thousandths of a decimal text such as "-1234.5".
bool monedaDeTexto(const QString& s, int64_t& n)
{
    QString t = s;
    const bool negativo = t.startsWith(QLatin1Char('-'));
    if (negativo)
        t.remove(0, 1);
    const int punto = t.indexOf(QLatin1Char('.'));
    QString entera = punto < 0 ? t : t.left(punto);
    QString frac = punto < 0 ? QString() : t.mid(punto + 1);
    if (frac.size() > 4)
        return false;
    frac = frac.leftJustified(4, QLatin1Char('0'));
    bool ok1 = false, ok2 = false;
    const qlonglong e = entera.isEmpty() ? 0 : entera.toLongLong(&ok1);
    const qlonglong f = frac.toLongLong(&ok2);
    if (!entera.isEmpty() && !ok1)
        return false;
    if (!ok2)
        return false;
    n = (e * 10000 + f) * (negativo ? -1 : 1);
    return true;
}

TValorBD valorDe(const QString& s, TTipoJet Tipo, bool& ok)
{
    ok = true;
    if (s.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0)
        return TValorBD::Nulo();
    if (s.startsWith(QLatin1Char('\'')) && s.endsWith(QLatin1Char('\'')) && s.size() >= 2) {
        QString t = s.mid(1, s.size() - 2);
        t.replace(QLatin1String("''"), QLatin1String("'"));
        return TValorBD::Texto(t);
    }
    if (s.startsWith(QLatin1Char('#')) && s.endsWith(QLatin1Char('#'))) {
        double d = 0;
        ok = TSintaxisJet::FechaJet(s.mid(1, s.size() - 2), d);
        return TValorBD::Fecha(d);
    }
    if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return TValorBD::Booleano(true);
    if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return TValorBD::Booleano(false);
    switch (Tipo) {
    case TTipoJet::Moneda: {
        int64_t n = 0;
        ok = monedaDeTexto(s, n);
        return TValorBD::Moneda(n);
    }
    case TTipoJet::Booleano:
    case TTipoJet::Byte:
    case TTipoJet::Entero:
    case TTipoJet::Largo:
        return TValorBD::Entero(s.toLongLong(&ok));
    default:
        return TValorBD::Doble(s.toDouble(&ok));
    }
}

} // namespace

QString NombreTipoValor(const TValorBD& v)
{
    switch (v.Tipo()) {
    case TValorBD::TTipo::Nulo:
        return QStringLiteral("Nulo");
    case TValorBD::TTipo::Booleano:
        return QStringLiteral("Booleano");
    case TValorBD::TTipo::Entero:
        return QStringLiteral("Entero");
    case TValorBD::TTipo::Doble:
        return QStringLiteral("Doble");
    case TValorBD::TTipo::Moneda:
        return QStringLiteral("Moneda");
    case TValorBD::TTipo::Fecha:
        return QStringLiteral("Fecha");
    case TValorBD::TTipo::Texto:
        return QStringLiteral("Texto");
    case TValorBD::TTipo::Binario:
        return QStringLiteral("Binario");
    }
    return QString();
}

QString TextoValor(const TValorBD& v)
{
    switch (v.Tipo()) {
    case TValorBD::TTipo::Nulo:
        return QStringLiteral("NULL");
    case TValorBD::TTipo::Doble:
        return TextoNumeroJet(v.DobleCrudo());
    case TValorBD::TTipo::Texto: {
        if (v.TextoCrudo().isEmpty())
            return QStringLiteral("(empty)");
        QString s = v.TextoCrudo();
        s.replace(QLatin1Char('\t'), QLatin1String("\\t"));
        s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        return s;
    }
    default:
        return v.AsString();
    }
}

QStringList TextoFilas(const TResultadoBD& r)
{
    QStringList filas;
    for (const auto& f : r.Filas) {
        QStringList vals;
        for (const auto& v : f)
            vals << TextoValor(v);
        filas << vals.join(QLatin1Char('\t'));
    }
    return filas;
}

TArchivoPrueba LeeArchivoPrueba(const QString& sRuta)
{
    QFile f(sRuta);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error(QStringLiteral("No se puede leer %1").arg(sRuta).toStdString());
    QStringList lineas;
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd())
        lineas << in.readLine();
    TArchivoPrueba a;
    a.sRuta = sRuta;
    int i = 0;
    const int n = lineas.size();
    auto vacia = [&](int k) { return k >= n || lineas[k].trimmed().isEmpty(); };
    while (i < n) {
        const QString linea = lineas[i];
        const QString t = linea.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char('#'))) {
            ++i;
            continue;
        }
        if (t.startsWith(QLatin1String("table "))) {
            TTablaPrueba tabla;
            tabla.Esquema.sNombre = t.mid(6).trimmed();
            ++i;
            if (vacia(i))
                falla(sRuta, i + 1, QStringLiteral("falta la línea de columnas"));
            for (const QString& c : lineas[i].split(QLatin1Char(','))) {
                const QStringList partes = c.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
                TColumnaTablaJet col;
                if (partes.size() < 2 || !TipoJetDeNombre(partes.last(), col.Tipo))
                    falla(sRuta, i + 1, QStringLiteral("columna mal escrita: %1").arg(c));
                col.sNombre = partes.mid(0, partes.size() - 1).join(QLatin1Char(' '));
                if (col.sNombre.startsWith(QLatin1Char('[')))
                    col.sNombre = col.sNombre.mid(1, col.sNombre.size() - 2);
                tabla.Esquema.Columnas.push_back(col);
            }
            ++i;
            while (!vacia(i)) {
                if (lineas[i].trimmed().startsWith(QLatin1Char('#'))) {
                    ++i;
                    continue;
                }
                const QStringList vals = separaValores(lineas[i]);
                if (vals.size() != int(tabla.Esquema.Columnas.size()))
                    falla(sRuta, i + 1, QStringLiteral("la fila no tiene tantos valores como columnas"));
                std::vector<TValorBD> fila;
                for (int k = 0; k < vals.size(); ++k) {
                    bool ok = false;
                    fila.push_back(valorDe(vals[k], tabla.Esquema.Columnas[size_t(k)].Tipo, ok));
                    if (!ok)
                        falla(sRuta, i + 1, QStringLiteral("valor mal escrito: %1").arg(vals[k]));
                }
                tabla.Filas.push_back(std::move(fila));
                ++i;
            }
            a.Tablas.push_back(std::move(tabla));
            continue;
        }
        const bool error = t.startsWith(QLatin1String("statement error"));
        if (t.startsWith(QLatin1String("query ")) || error) {
            TCasoPrueba caso;
            caso.bError = error;
            caso.nLinea = i + 1;
            caso.sNombre = t.mid(error ? 15 : 6).trimmed();
            if (caso.sNombre.isEmpty())
                falla(sRuta, i + 1, QStringLiteral("el caso no tiene nombre"));
            for (const auto& otro : a.Casos)
                if (otro.sNombre == caso.sNombre)
                    falla(sRuta, i + 1, QStringLiteral("nombre de caso repetido: %1").arg(caso.sNombre));
            ++i;
            QStringList sql;
            while (i < n && lineas[i] != QLatin1String("----")) {
                sql << lineas[i];
                ++i;
            }
            if (i >= n)
                falla(sRuta, caso.nLinea, QStringLiteral("falta ----"));
            ++i;
            caso.sSql = sql.join(QLatin1Char('\n'));
            if (error) {
                caso.sMensaje = i < n ? lineas[i] : QString();
                ++i;
                if (i < n && lineas[i].startsWith(QLatin1String("position:"))) {
                    bool ok = false;
                    caso.nPosicion = lineas[i].mid(9).trimmed().toInt(&ok);
                    if (!ok || caso.nPosicion < 1)
                        falla(sRuta, i + 1, QStringLiteral("posición mal escrita: %1").arg(lineas[i]));
                    ++i;
                }
            } else {
                while (!vacia(i)) {
                    const QString l = lineas[i];
                    if (l.startsWith(QLatin1String("columns:")))
                        caso.Columnas = l.mid(8).trimmed().split(QLatin1Char('\t'));
                    else if (l.startsWith(QLatin1String("types:")))
                        caso.Tipos = l.mid(6).trimmed().split(QLatin1Char('\t'));
                    else
                        caso.Filas << l;
                    ++i;
                }
            }
            a.Casos.push_back(std::move(caso));
            continue;
        }
        falla(sRuta, i + 1, QStringLiteral("línea no reconocida: %1").arg(t));
    }
    return a;
}
