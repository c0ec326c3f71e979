#include "db/jet/BaseDatosMdb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>

using namespace jet;

namespace {

const QString kDirAccess = QStringLiteral("../shared/testdata/access");

QString RutaDe(const QString& sBase)
{
    for (const char* pDir : {"jet3", "jet4", "password"}) {
        const QString s = QStringLiteral("%1/%2/%3.mdb").arg(kDirAccess, QLatin1String(pDir), sBase);
        if (QFileInfo::exists(s))
            return s;
    }
    return {};
}

QStringList TodosLosArchivos()
{
    QStringList r;
    for (const char* pDir : {"jet3", "jet4", "password"}) {
        const QDir d(kDirAccess + QLatin1Char('/') + QLatin1String(pDir));
        for (const QString& s : d.entryList({"*.mdb"}, QDir::Files, QDir::Name))
            r << d.filePath(s);
    }
    return r;
}

QString Escapa(QString s)
{
    return s.replace(QLatin1Char('\t'), QLatin1String("\\t"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"))
        .replace(QLatin1Char('\r'), QLatin1String("\\r"));
}

// Our value written the way the reference dumps write it.
QString Normaliza(const TValor& v, const TColumna& c)
{
    return std::visit(
        [&](const auto& x) -> QString {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return QStringLiteral("\\N");
            } else if constexpr (std::is_same_v<T, bool>) {
                return x ? QStringLiteral("true") : QStringLiteral("false");
            } else if constexpr (std::is_same_v<T, int64_t>) {
                return QString::number(x);
            } else if constexpr (std::is_same_v<T, double>) {
                return c.Tipo == TTipoColumna::Simple ? QString::number(float(x), 'g', QLocale::FloatingPointShortest)
                                                      : QString::number(x, 'g', QLocale::FloatingPointShortest);
            } else if constexpr (std::is_same_v<T, TMoneda> || std::is_same_v<T, TNumerico>) {
                return x.Texto();
            } else if constexpr (std::is_same_v<T, TFechaJet>) {
                const QDateTime f = x.FechaHora();
                // The dumps cut the milliseconds.
                return f.isValid() ? f.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QStringLiteral("<fecha inválida>");
            } else if constexpr (std::is_same_v<T, QString>) {
                return Escapa(x);
            } else if constexpr (std::is_same_v<T, QByteArray>) {
                qsizetype i = 0;
                while (i < x.size() && x[i] == 0)
                    ++i;
                return QStringLiteral("0x") + QString::fromLatin1(x.mid(i).toHex());
            } else {
                return x.toString(QUuid::WithBraces).toUpper();
            }
        },
        v);
}

// Floating values compare by value (the dumps print them in another language's shortest form).
bool Iguales(const QString& sNuestra, const QString& sRef, const TValor& v, const TColumna& c)
{
    if (sNuestra == sRef)
        return true;
    if (const double* d = std::get_if<double>(&v)) {
        bool bOk = false;
        if (c.Tipo == TTipoColumna::Simple) {
            const float f = sRef.toFloat(&bOk);
            return bOk && f == float(*d);
        }
        const double r = sRef.toDouble(&bOk);
        return bOk && r == *d;
    }
    return false;
}

struct TInstantanea
{
    QByteArray Hash;
    QDateTime Modificado;
    qint64 nTamano = 0;
};

TInstantanea Toma(const QString& sRuta)
{
    TInstantanea r;
    QFile f(sRuta);
    if (f.open(QIODevice::ReadOnly))
        r.Hash = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    const QFileInfo i(sRuta);
    r.Modificado = i.lastModified();
    r.nTamano = i.size();
    return r;
}

// Reads every row of every table (system tables too); returns the first error.
QString LeeTodo(const TBaseDatosMdb& bd, int* nFilas = nullptr)
{
    int n = 0;
    for (const QString& sTabla : bd.TodasLasTablas()) {
        QString sError;
        auto pLector = bd.AbreTabla(sTabla, &sError);
        if (!pLector)
            return sError;
        std::vector<TValor> Fila;
        while (pLector->Siguiente(Fila))
            ++n;
        if (!pLector->Error().isEmpty())
            return pLector->Error();
    }
    if (nFilas)
        *nFilas = n;
    return {};
}

} // namespace

class TestLectorMdb : public QObject
{
    Q_OBJECT

    int F_nTablasIguales = 0;

private slots:
    void initTestCase()
    {
        QVERIFY2(QDir(kDirAccess).exists(), "faltan los archivos de prueba de Access");
    }

    void cleanupTestCase() { qInfo("Tablas iguales a su volcado de referencia: %d", F_nTablasIguales); }

    // Every user table of every real file equals its reference dump, value by value.
    void igualAReferencia_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("tabla");
        const QDir Ref(kDirAccess + QStringLiteral("/reference"));
        for (const QString& sBase : Ref.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            for (const QString& sTsv : QDir(Ref.filePath(sBase)).entryList({"*.tsv"}, QDir::Files, QDir::Name)) {
                const QString sTabla = sTsv.chopped(4);
                QTest::newRow(qPrintable(sBase + QLatin1Char('/') + sTabla)) << sBase << sTabla;
            }
        }
    }
    void igualAReferencia()
    {
        QFETCH(QString, archivo);
        QFETCH(QString, tabla);
        const QString sRuta = RutaDe(archivo);
        QVERIFY2(!sRuta.isEmpty(), qPrintable(archivo));
        QString sError;
        auto pBD = TBaseDatosMdb::Abre(sRuta, &sError);
        QVERIFY2(pBD, qPrintable(sError));
        QVERIFY(pBD->Tablas().contains(tabla));
        auto pLector = pBD->AbreTabla(tabla.toUpper(), &sError);
        QVERIFY2(pLector, qPrintable(sError));
        const std::vector<TColumna>& Cols = pLector->Columnas();

        QFile f(QStringLiteral("%1/reference/%2/%3.tsv").arg(kDirAccess, archivo, tabla));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringList Lineas = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        if (!Lineas.isEmpty() && Lineas.last().isEmpty())
            Lineas.removeLast();
        QVERIFY(!Lineas.isEmpty());

        QStringList Nombres;
        for (const TColumna& c : Cols)
            Nombres << c.sNombre;
        QCOMPARE(Nombres.join(QLatin1Char('\t')), Lineas.first());

        std::vector<TValor> Fila;
        int nFila = 0;
        while (pLector->Siguiente(Fila)) {
            ++nFila;
            QVERIFY2(nFila < Lineas.size(), qPrintable(QStringLiteral("fila de más: %1").arg(nFila)));
            const QStringList Ref = Lineas[nFila].split(QLatin1Char('\t'));
            QCOMPARE(Ref.size(), qsizetype(Cols.size()));
            for (size_t i = 0; i < Cols.size(); ++i) {
                const QString s = Normaliza(Fila[i], Cols[i]);
                if (!Iguales(s, Ref[qsizetype(i)], Fila[i], Cols[i]))
                    QFAIL(qPrintable(QStringLiteral("fila %1, columna %2 (%3): leído «%4», referencia «%5»")
                                         .arg(nFila)
                                         .arg(Cols[i].sNombre, NombreTipo(Cols[i].Tipo), s.left(300),
                                              Ref[qsizetype(i)].left(300))));
            }
        }
        QVERIFY2(pLector->Error().isEmpty(), qPrintable(pLector->Error()));
        QCOMPARE(nFila, Lineas.size() - 1);
        ++F_nTablasIguales;
    }
};

QTEST_GUILESS_MAIN(TestLectorMdb)
#include "TestLectorMdb.moc"
