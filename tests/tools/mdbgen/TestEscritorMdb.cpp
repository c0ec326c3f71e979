// The .mdb writer checked by independent readers: mdbtools (mdb-export, mdb-count, mdb-tables)
// and the npm package mdb-reader. Both are installed by scripts/install-deps.sh.
#include "OmisionCTest.h"
#include "Proceso.h"
#include "tools/mdbgen/EscritorMdb.h"
#include "tools/mdbgen/FixtureMdb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <cmath>

namespace {

using T = TTipoColumnaMdb;

const QString kNulo = QStringLiteral("<NULO>"); // how mdb-export is told to print NULL
const QString kFormatoFecha = QStringLiteral("%Y-%m-%d %H:%M:%S");

// mdb-export output (RFC 4180: quotes doubled, line breaks inside quotes).
QList<QStringList> leeCsv(const QString& s)
{
    QList<QStringList> Filas;
    QStringList Fila;
    QString sCampo;
    bool bComillas = false;
    bool bHayCampo = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (bComillas) {
            if (c == u'"' && i + 1 < s.size() && s[i + 1] == u'"') {
                sCampo += u'"';
                ++i;
            } else if (c == u'"') {
                bComillas = false;
            } else {
                sCampo += c;
            }
        } else if (c == u'"') {
            bComillas = true;
            bHayCampo = true;
        } else if (c == u',') {
            Fila << sCampo;
            sCampo.clear();
        } else if (c == u'\n') {
            Fila << sCampo;
            Filas << Fila;
            Fila.clear();
            sCampo.clear();
            bHayCampo = false;
        } else {
            sCampo += c;
            bHayCampo = true;
        }
    }
    if (bHayCampo || !Fila.isEmpty()) {
        Fila << sCampo;
        Filas << Fila;
    }
    return Filas;
}

// One value as written and as each reader must give it back.
struct TValor
{
    QVariant vEntrada;
    QJsonValue Node; // mdb-reader, as printed by vuelca.mjs
    QString sCsv;    // mdb-export
    double dNumero = 0;
    bool bNumero = false;   // compare mdb-export's text as a number with dNumero
    double dTolerancia = 0; // relative; libmdb prints a Single with 8 significant digits
};

TValor nulo(bool bSiNo = false)
{
    return {QVariant(), bSiNo ? QJsonValue(false) : QJsonValue(QJsonValue::Null),
            bSiNo ? QStringLiteral("0") : kNulo};
}
TValor entero(qint64 n)
{
    return {n, double(n), QString::number(n)};
}
TValor booleano(bool b)
{
    return {b, b, b ? QStringLiteral("1") : QStringLiteral("0")};
}
TValor decimal(const QString& sEntrada, const QString& sLeido)
{
    return {sEntrada, sLeido, sLeido};
}
TValor flotante(double d, bool bSimple)
{
    const double dLeido = bSimple ? double(float(d)) : d;
    return {d, dLeido, QString(), dLeido, true, bSimple ? 1e-7 : 1e-15};
}
TValor fecha(const QDateTime& dt)
{
    return {dt, dt.toString("yyyy-MM-ddTHH:mm:ss.zzz"), dt.toString("yyyy-MM-dd HH:mm:ss")};
}
// libmdb prints an empty text like a NULL.
TValor texto(const QString& s)
{
    return {s, s, s.isEmpty() ? kNulo : s};
}
// mdb-export 1.0 prints binary data as a C string: up to the first zero byte.
TValor bytes(const QByteArray& b)
{
    const QByteArray Impreso = b.left(b.indexOf('\0') < 0 ? b.size() : b.indexOf('\0'));
    return {b, QJsonObject{{"hex", QString::fromLatin1(b.toHex())}},
            Impreso.isEmpty() ? kNulo : QString::fromLatin1(Impreso.toHex().toUpper())};
}
// OLE objects go through libmdb's long-value reader: printed whole, empty as "".
TValor ole(const QByteArray& b)
{
    return {b, QJsonObject{{"hex", QString::fromLatin1(b.toHex())}},
            QString::fromLatin1(b.toHex().toUpper())};
}
TValor guid(const QString& s)
{
    return {QUuid::fromString(s), s.mid(1, 36).toLower(), s.mid(1, 36).toLower()};
}

QString soloHex(QString s)
{
    s.remove(QRegularExpression("[^0-9A-Fa-f]"));
    return s.toLower();
}

} // namespace

class TestEscritorMdb : public QObject
{
    Q_OBJECT

private:
    QString F_sMdbExport, F_sNode, F_sVuelca;
    QTemporaryDir F_Dir;

    // Why the independent readers cannot run, or nothing. The test itself skips: QSKIP in a helper
    // would only leave the helper.
    QString faltaLector() const
    {
#ifdef Q_OS_WIN
        return QStringLiteral("en Windows: los lectores independientes (mdbtools, node) son de Linux; "
                              "scripts/windows/test.sh compara en Linux lo que escribe mdbgen.exe");
#else
        if (F_sMdbExport.isEmpty())
            return QStringLiteral(
                "mdb-export no está instalado (paquete mdbtools, lo instala scripts/install-deps.sh)");
        if (F_sNode.isEmpty())
            return QStringLiteral("node no está instalado (lo instala scripts/install-deps.sh)");
        if (!QFile::exists(
                QStringLiteral(QRTZ_RAIZ "/tests/tools/mdbgen/node/node_modules/mdb-reader/package.json")))
            return QStringLiteral("falta el paquete npm mdb-reader en tests/tools/mdbgen/node "
                                  "(scripts/install-deps.sh ejecuta npm ci)");
        return QString();
#endif
    }

    QJsonObject vuelca(const QString& sMdb, const QString& sPassword = QString())
    {
        QStringList Args{F_sVuelca, sMdb};
        if (!sPassword.isNull())
            Args << sPassword;
        const TSalida S = ejecuta(F_sNode, Args);
        if (S.nCodigo != 0)
            qWarning().noquote() << "mdb-reader:" << S.Errores;
        return QJsonDocument::fromJson(S.Salida).object();
    }

    QList<QStringList> exporta(const QString& sMdb, const QString& sTabla)
    {
        const TSalida S =
            ejecuta(F_sMdbExport, {"-0", kNulo, "-T", kFormatoFecha, "-b", "hex", sMdb, sTabla});
        if (S.nCodigo != 0)
            qWarning().noquote() << "mdb-export:" << S.Errores;
        return leeCsv(QString::fromUtf8(S.Salida));
    }

    QString herramienta(const QString& sNombre, const QStringList& Args)
    {
        const TSalida S = ejecuta(sNombre, Args);
        return S.nCodigo == 0 ? QString::fromUtf8(S.Salida).trimmed()
                              : QStringLiteral("<falló: %1>").arg(S.nCodigo);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(F_Dir.isValid());
        F_sMdbExport = QStandardPaths::findExecutable(QStringLiteral("mdb-export"));
        F_sNode = QStandardPaths::findExecutable(QStringLiteral("node"));
        F_sVuelca = QStringLiteral(QRTZ_RAIZ "/tests/tools/mdbgen/node/vuelca.mjs");
    }

    void diaAccess_data()
    {
        QTest::addColumn<QDateTime>("dt");
        QTest::addColumn<double>("dDia");
        QTest::newRow("origen") << QDateTime(QDate(1899, 12, 30), QTime(0, 0)) << 0.0;
        QTest::newRow("día siguiente a mediodía") << QDateTime(QDate(1899, 12, 31), QTime(12, 0)) << 1.5;
        // Before the origin the whole part is negative and the time still counts forward.
        QTest::newRow("antes del origen") << QDateTime(QDate(1899, 12, 29), QTime(6, 0)) << -1.25;
        QTest::newRow("2018") << QDateTime(QDate(2018, 1, 1), QTime(18, 0)) << 43101.75;
    }
    void diaAccess()
    {
        QFETCH(QDateTime, dt);
        QFETCH(double, dDia);
        QCOMPARE(DiaAccess(dt), dDia);
    }

    // Every column type, NULL against empty, long values inline, on one long-value row and
    // chained over pages, text that is and is not Unicode-compressed; plain, with a database
    // password, and with page encryption.
    void tiposLeidosPorLectoresIndependientes_data()
    {
        QTest::addColumn<QString>("sPassword");
        QTest::addColumn<uint>("nClave");
        QTest::newRow("sin contraseña") << QString() << 0u;
        QTest::newRow("contraseña de la base") << QStringLiteral("plovik") << 0u;
        QTest::newRow("páginas cifradas") << QStringLiteral("Contraseña€20caract.") << 0x5A17C0DEu;
    }
    void tiposLeidosPorLectoresIndependientes()
    {
        if (const QString sFalta = faltaLector(); !sFalta.isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA(qPrintable(sFalta));
        QFETCH(QString, sPassword);
        QFETCH(uint, nClave);
        const QDateTime dtCreacion(QDate(2016, 3, 7), QTime(8, 15, 30));
        TEscritorMdb E({.sPassword = sPassword, .dtCreacion = dtCreacion, .nClavePaginas = nClave});
        TColumnaMdb SinCompresion{"TextoUcs2", T::Texto, 40};
        SinCompresion.bCompresion = false;
        TColumnaMdb Decimal{"Decimal", T::Numerico};
        Decimal.nPrecision = 18;
        Decimal.nEscala = 4;
        const std::vector<TColumnaMdb> Cols = {{"Id", T::EnteroLargo},
                                               {"SiNo", T::SiNo},
                                               {"Byte", T::Byte},
                                               {"Entero", T::Entero},
                                               {"Largo", T::EnteroLargo},
                                               {"Moneda", T::Moneda},
                                               {"Simple", T::Simple},
                                               {"Doble", T::Doble},
                                               {"Fecha", T::FechaHora},
                                               {"Texto", T::Texto, 255},
                                               SinCompresion,
                                               {"Binario", T::Binario, 16},
                                               {"Memo", T::Memo},
                                               {"Ole", T::Ole},
                                               {"Guid", T::Guid},
                                               Decimal};
        const int nTabla = E.AgregaTabla({"Tipos", Cols});
        QVERIFY2(nTabla >= 0, qPrintable(E.Error()));

        QByteArray Ole20k(20000, '\0');
        for (int i = 0; i < Ole20k.size(); ++i)
            Ole20k[i] = char((i * 7 + i / 256) & 0xFF);
        const QString sMemoLargo =
            QString::fromUtf8("Línea de memo número ").repeated(400) + "FIN";          // ~8.4 KB compressed
        const QString sMemoCjk = QString::fromUtf8("漢字かな交じり文€").repeated(700); // ~12 KB UCS-2
        const QList<QList<TValor>> Filas = {
            {entero(1), booleano(true), entero(255), entero(-32768), entero(2147483647),
             decimal("922337203685477.5807", "922337203685477.5807"), flotante(3.5, true),
             flotante(1.0 / 3.0, false), fecha(QDateTime(QDate(2018, 12, 31), QTime(23, 59, 59))),
             texto(QString::fromUtf8("Ñandú, ápice y €uro: 漢字")), texto("abc"),
             bytes(QByteArray::fromHex("0001ff7f")), texto("Memo corto"), ole("OLE"),
             guid("{12345678-1234-5678-9abc-def012345678}"),
             decimal("-12345678901234.5678", "-12345678901234.5678")},
            {entero(2), nulo(true), nulo(), nulo(), nulo(), nulo(), nulo(), nulo(), nulo(), nulo(), nulo(),
             nulo(), nulo(), nulo(), nulo(), nulo()},
            // Present but empty: mdb-reader tells them from NULL (libmdb cannot).
            {entero(3), booleano(false), entero(0), entero(32767), entero(-2147483647 - 1),
             decimal("-922337203685477.5808", "-922337203685477.5808"), flotante(-0.15625, true),
             flotante(-1.5e300, false), fecha(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), texto(""),
             texto(""), bytes(QByteArray("")), texto(""), ole(QByteArray("")),
             guid("{00000000-0000-0000-0000-000000000001}"), decimal("0", "0.0000")},
            // One long-value row each; two-character text stays uncompressed.
            {entero(4), booleano(true), entero(7), entero(-1), entero(-1), decimal("-0.0001", "-0.0001"),
             flotante(1e-10, true), flotante(-0.333333333333, false),
             fecha(QDateTime(QDate(2016, 2, 29), QTime(0, 0, 1))), texto("ab"), texto("ab"),
             bytes(QByteArray(16, '\xAA')), texto(QString::fromUtf8("Observación ").repeated(150)),
             ole(Ole20k.left(3000)), guid("{ffffffff-ffff-ffff-ffff-ffffffffffff}"),
             decimal("1.5", "1.5000")},
            // Chained long values: compressed text, UCS-2 text and binary.
            {entero(5), booleano(false), entero(128), entero(1000), entero(123456789),
             decimal("12.5", "12.5000"), flotante(-2.5, true), flotante(6.02214076e23, false),
             fecha(QDateTime(QDate(2019, 6, 30), QTime(13, 45, 0))),
             texto(QString::fromUtf8("\xEF\xBB\xBF") + "empieza con BOM"),
             texto(QString::fromUtf8("ÁÉÍÓÚ ñ ü ç")), bytes(QByteArray("\x00\x00\x00", 3)), texto(sMemoLargo),
             ole(Ole20k), guid("{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}"),
             decimal("99999999999999.9999", "99999999999999.9999")},
            {entero(6), booleano(true), entero(1), entero(2), entero(3),
             decimal(QString::number(4), "4.0000"), flotante(5.25, true), flotante(6.5, false),
             fecha(QDateTime(QDate(2000, 1, 1), QTime(0, 0))), texto(QString(255, u'ñ')),
             texto(QString(40, u'€')), bytes(QByteArray(1, 'x')), texto(sMemoCjk), ole(Ole20k.left(4100)),
             guid("{a0a0a0a0-b1b1-c2c2-d3d3-e4e4e4e4e4e4}"), decimal("-7", "-7.0000")},
        };
        for (const auto& Fila : Filas) {
            QVariantList Valores;
            for (const TValor& V : Fila)
                Valores << V.vEntrada;
            QVERIFY2(E.AgregaFila(nTabla, Valores), qPrintable(E.Error()));
        }
        const QString sMdb = F_Dir.filePath(QStringLiteral("tipos-%1.mdb").arg(QTest::currentDataTag()));
        QVERIFY2(E.Guarda(sMdb), qPrintable(E.Error()));

        // mdb-reader
        const QJsonObject Node = vuelca(sMdb, sPassword);
        QCOMPARE(Node.value("password"),
                 sPassword.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(sPassword));
        QCOMPARE(Node.value("creacion").toString(), dtCreacion.toString("yyyy-MM-ddTHH:mm:ss.zzz"));
        QCOMPARE(Node.value("tablas").toObject().keys(), QStringList{"Tipos"});
        const QJsonObject Tabla = Node.value("tablas").toObject().value("Tipos").toObject();
        QCOMPARE(Tabla.value("filas").toInt(), int(Filas.size()));
        const QJsonArray Columnas = Tabla.value("columnas").toArray();
        QCOMPARE(Columnas.size(), qsizetype(Cols.size()));
        const QStringList kTiposNode = {"long",  "boolean", "byte",     "integer", "long", "currency",
                                        "float", "double",  "datetime", "text",    "text", "binary",
                                        "memo",  "ole",     "repid",    "numeric"};
        for (int c = 0; c < Columnas.size(); ++c) {
            QCOMPARE(Columnas[c].toObject().value("nombre").toString(), Cols[std::size_t(c)].sNombre);
            QCOMPARE(Columnas[c].toObject().value("tipo").toString(), kTiposNode[c]);
        }
        const QJsonArray Datos = Tabla.value("datos").toArray();
        QCOMPARE(Datos.size(), qsizetype(Filas.size()));
        for (int f = 0; f < Filas.size(); ++f)
            for (int c = 0; c < int(Cols.size()); ++c) {
                const QJsonValue Leido = Datos[f].toArray()[c];
                const TValor& V = Filas[f][c];
                if (V.Node != Leido)
                    QFAIL(qPrintable(
                        QStringLiteral("mdb-reader, fila %1, %2: %3 en vez de %4")
                            .arg(f + 1)
                            .arg(Cols[std::size_t(c)].sNombre)
                            .arg(QString::fromUtf8(
                                     QJsonDocument(QJsonArray{Leido}).toJson(QJsonDocument::Compact))
                                     .left(200),
                                 QString::fromUtf8(
                                     QJsonDocument(QJsonArray{V.Node}).toJson(QJsonDocument::Compact))
                                     .left(200))));
            }

        // mdbtools
        QCOMPARE(herramienta("mdb-ver", {sMdb}), QStringLiteral("JET4"));
        QCOMPARE(herramienta("mdb-tables", {"-1", sMdb}), QStringLiteral("Tipos"));
        QCOMPARE(herramienta("mdb-count", {sMdb, "Tipos"}), QString::number(Filas.size()));
        const QList<QStringList> Csv = exporta(sMdb, "Tipos");
        QCOMPARE(Csv.size(), Filas.size() + 1);
        QCOMPARE(Csv[0].size(), qsizetype(Cols.size()));
        for (int f = 0; f < Filas.size(); ++f) {
            QCOMPARE(Csv[f + 1].size(), qsizetype(Cols.size()));
            for (int c = 0; c < int(Cols.size()); ++c) {
                const TValor& V = Filas[f][c];
                const QString sLeido = Csv[f + 1][c];
                const QString sDonde =
                    QStringLiteral("mdb-export, fila %1, %2").arg(f + 1).arg(Cols[std::size_t(c)].sNombre);
                if (V.bNumero) {
                    bool bOk = false;
                    const double d = sLeido.toDouble(&bOk);
                    QVERIFY2(bOk && std::fabs(d - V.dNumero) <= V.dTolerancia * std::fabs(V.dNumero),
                             qPrintable(sDonde + ": " + sLeido));
                } else if (Cols[std::size_t(c)].Tipo == T::Guid && V.sCsv != kNulo) {
                    // "-b hex" also turns libmdb's "{XXXXXXXX-...}" text into hex.
                    const QString sGuid = QString::fromLatin1(QByteArray::fromHex(sLeido.toLatin1()));
                    QVERIFY2(soloHex(sGuid) == soloHex(V.sCsv), qPrintable(sDonde + ": " + sGuid));
                } else {
                    QVERIFY2(sLeido == V.sCsv,
                             qPrintable(sDonde + ": " + sLeido.left(120) + " en vez de " + V.sCsv.left(120)));
                }
            }
        }
        if (nClave != 0) {
            QFile Archivo(sMdb);
            QVERIFY(Archivo.open(QIODevice::ReadOnly));
            QVERIFY2(!Archivo.readAll().contains("Memo corto"),
                     "las páginas cifradas no deben dejar ver el texto");
        }
    }

    // Enough rows for a page map by reference (more than 512 data pages), and an empty table.
    void tablaGrande()
    {
        if (const QString sFalta = faltaLector(); !sFalta.isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA(qPrintable(sFalta));
        TEscritorMdb E;
        const int nGrande = E.AgregaTabla(
            {"Grande",
             {{"Id", T::EnteroLargo}, {"Nombre", T::Texto, 60}, {"Importe", T::Moneda}, {"Nota", T::Memo}}});
        const int nVacia = E.AgregaTabla({"Vacía", {{"Id", T::EnteroLargo}}});
        QVERIFY(nGrande >= 0 && nVacia >= 0);
        constexpr int kFilas = 40000;
        for (int i = 0; i < kFilas; ++i)
            QVERIFY(E.AgregaFila(
                nGrande, {i, QStringLiteral("Registro número %1 de la tabla grande").arg(i),
                          QString::number(i) + ".25",
                          i % 5000 == 0 ? QVariant(QString(6000, QChar(u'a' + i % 26))) : QVariant()}));
        const QString sMdb = F_Dir.filePath("grande.mdb");
        QVERIFY2(E.Guarda(sMdb), qPrintable(E.Error()));
        QVERIFY2(QFileInfo(sMdb).size() > 600 * 4096, "la tabla debe pasar de 512 páginas de datos");

        QCOMPARE(herramienta("mdb-count", {sMdb, "Grande"}), QString::number(kFilas));
        QCOMPARE(herramienta("mdb-count", {sMdb, QString::fromUtf8("Vacía")}), QStringLiteral("0"));
        const QList<QStringList> Csv = exporta(sMdb, "Grande");
        QCOMPARE(Csv.size(), kFilas + 1);
        const QJsonObject Tablas = vuelca(sMdb).value("tablas").toObject();
        QCOMPARE(Tablas.keys(), (QStringList{"Grande", QString::fromUtf8("Vacía")}));
        QCOMPARE(Tablas.value(QString::fromUtf8("Vacía")).toObject().value("datos").toArray().size(), 0);
        const QJsonArray Datos = Tablas.value("Grande").toObject().value("datos").toArray();
        QCOMPARE(Datos.size(), kFilas);
        for (int i = 0; i < kFilas; ++i) {
            const QJsonArray F = Datos[i].toArray();
            const QStringList& C = Csv[i + 1];
            const QString sImporte = QString::number(i) + ".2500";
            const QJsonValue Nota =
                i % 5000 == 0 ? QJsonValue(QString(6000, QChar(u'a' + i % 26))) : QJsonValue();
            if (F[0].toInt() != i ||
                F[1].toString() != QStringLiteral("Registro número %1 de la tabla grande").arg(i) ||
                F[2].toString() != sImporte || F[3] != Nota || C[0] != QString::number(i) ||
                C[2] != sImporte || C[3] != (Nota.isNull() ? kNulo : Nota.toString()))
                QFAIL(qPrintable(
                    QStringLiteral("fila %1 mal leída: %2 / %3")
                        .arg(i)
                        .arg(C.join('|').left(100),
                             QString::fromUtf8(QJsonDocument(F).toJson(QJsonDocument::Compact)).left(100))));
        }
    }

    // A definition longer than a page continues on further pages; many long-value columns.
    void tablaAncha()
    {
        if (const QString sFalta = faltaLector(); !sFalta.isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA(qPrintable(sFalta));
        TEscritorMdb E;
        std::vector<TColumnaMdb> Cols;
        const T kTipos[] = {T::EnteroLargo, T::Texto, T::Memo, T::SiNo};
        for (int i = 0; i < 240; ++i)
            Cols.push_back(
                {QStringLiteral("Columna_número_%1").arg(i, 3, 10, QChar(u'0')), kTipos[i % 4], 40});
        const int t = E.AgregaTabla({"Ancha", Cols});
        QVERIFY(t >= 0);
        auto valor = [](int f, int c) -> QVariant {
            switch (c % 4) {
            case 0:
                return f * 1000 + c;
            case 1:
                return QStringLiteral("t%1_%2").arg(f).arg(c);
            case 2:
                return QStringLiteral("memo %1 ").arg(c).repeated(f % 2 ? 3 : 50);
            default:
                return (f + c) % 2 == 0;
            }
        };
        for (int f = 0; f < 12; ++f) {
            QVariantList Fila;
            for (int c = 0; c < 240; ++c)
                Fila << valor(f, c);
            QVERIFY2(E.AgregaFila(t, Fila), qPrintable(E.Error()));
        }
        const QString sMdb = F_Dir.filePath("ancha.mdb");
        QVERIFY2(E.Guarda(sMdb), qPrintable(E.Error()));
        const QJsonObject Tabla = vuelca(sMdb).value("tablas").toObject().value("Ancha").toObject();
        const QJsonArray Columnas = Tabla.value("columnas").toArray();
        QCOMPARE(Columnas.size(), 240);
        QCOMPARE(Columnas[239].toObject().value("nombre").toString(),
                 QString::fromUtf8("Columna_número_239"));
        const QJsonArray Datos = Tabla.value("datos").toArray();
        const QList<QStringList> Csv = exporta(sMdb, "Ancha");
        QCOMPARE(Datos.size(), 12);
        QCOMPARE(Csv.size(), 13);
        for (int f = 0; f < 12; ++f)
            for (int c = 0; c < 240; ++c) {
                const QVariant v = valor(f, c);
                const QString sCsv = c % 4 == 3 ? (v.toBool() ? "1" : "0") : v.toString();
                QVERIFY2(Datos[f].toArray()[c].toVariant() == v && Csv[f + 1][c] == sCsv,
                         qPrintable(QStringLiteral("fila %1, columna %2").arg(f + 1).arg(c)));
            }
    }

    // Definitions and values the writer refuses, with a message that names the problem.
    void rechazos_data()
    {
        QTest::addColumn<QString>("sCaso");
        QTest::addColumn<QString>("sMensaje");
        QTest::newRow("byte fuera de rango") << "byte"
                                             << "T.B (Byte) no es válido";
        QTest::newRow("entero fuera de rango") << "entero"
                                               << "T.I (Entero) no es válido";
        QTest::newRow("texto largo") << "texto"
                                     << "tiene 6 caracteres y la columna admite 5";
        QTest::newRow("binario que no es bytes") << "binario"
                                                 << "debe ser un arreglo de bytes";
        QTest::newRow("decimales de más") << "decimal"
                                          << "T.N (Decimal) no es válido";
        QTest::newRow("fecha inválida") << "fecha"
                                        << "T.F (Fecha/Hora) no es válido";
        QTest::newRow("demasiados valores") << "valores"
                                            << "tiene 7 valores y la tabla 6 columnas";
        QTest::newRow("fila enorme") << "enorme"
                                     << "el máximo es 4060";
        QTest::newRow("columna repetida") << "repetida"
                                          << "La columna X.a está repetida";
        QTest::newRow("nombre de sistema") << "sistema"
                                           << "reservado para el sistema";
        QTest::newRow("longitud de texto") << "longitud"
                                           << "debe ir de 1 a 255";
        QTest::newRow("contraseña larga") << "contraseña"
                                          << "hasta 20 caracteres";
    }
    void rechazos()
    {
        QFETCH(QString, sCaso);
        QFETCH(QString, sMensaje);
        TEscritorMdb E({.sPassword = sCaso == "contraseña" ? QString(21, u'x') : QString()});
        TColumnaMdb N{"N", T::Numerico};
        N.nPrecision = 6;
        N.nEscala = 2;
        const int t = E.AgregaTabla({"T",
                                     {{"B", T::Byte},
                                      {"I", T::Entero},
                                      {"S", T::Texto, 5},
                                      {"Bin", T::Binario, 4},
                                      N,
                                      {"F", T::FechaHora}}});
        QVERIFY(t >= 0);
        bool bOk = true;
        if (sCaso == "byte")
            bOk = E.AgregaFila(t, {256});
        else if (sCaso == "entero")
            bOk = E.AgregaFila(t, {0, 40000});
        else if (sCaso == "texto")
            bOk = E.AgregaFila(t, {0, 0, "123456"});
        else if (sCaso == "binario")
            bOk = E.AgregaFila(t, {0, 0, "x", "texto"});
        else if (sCaso == "decimal")
            bOk = E.AgregaFila(t, {0, 0, "x", QVariant(), "1.234"});
        else if (sCaso == "fecha")
            bOk = E.AgregaFila(t, {0, 0, "x", QVariant(), "1", "2019-02-30"});
        else if (sCaso == "valores")
            bOk = E.AgregaFila(t, {0, 0, "x", QVariant(), "1", QVariant(), 7});
        else if (sCaso == "enorme") {
            std::vector<TColumnaMdb> Cols;
            QVariantList Fila;
            for (int i = 0; i < 10; ++i) {
                Cols.push_back({QStringLiteral("C%1").arg(i), T::Texto, 255});
                Fila << QString(255, QChar(0x4E00 + i)); // not compressible: 510 bytes each
            }
            const int t2 = E.AgregaTabla({"Ancha", Cols});
            QVERIFY(t2 >= 0);
            bOk = E.AgregaFila(t2, Fila);
        } else if (sCaso == "repetida")
            bOk = E.AgregaTabla({"X", {{"A", T::Byte}, {"a", T::Byte}}}) >= 0;
        else if (sCaso == "sistema")
            bOk = E.AgregaTabla({"MSysPropia", {{"A", T::Byte}}}) >= 0;
        else if (sCaso == "longitud")
            bOk = E.AgregaTabla({"L", {{"A", T::Texto, 256}}}) >= 0;
        else if (sCaso == "contraseña")
            bOk = !E.DameBytes().isEmpty();
        QVERIFY(!bOk);
        QVERIFY2(E.Error().contains(sMensaje), qPrintable(E.Error()));
    }

    // The command line: a JSON fixture becomes a database; bad fixtures get a clear message.
    void fixtureDesdeLineaDeComandos()
    {
        if (const QString sFalta = faltaLector(); !sFalta.isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA(qPrintable(sFalta));
        const QByteArray Json = R"({
            "contrasena": "clave",
            "fechaCreacion": "2017-05-04T03:02:01",
            "tablas": [{
                "nombre": "tDivisas",
                "columnas": [
                    {"nombre": "NumeroDivisa", "tipo": "EnteroLargo"},
                    {"nombre": "Simbolo", "tipo": "Texto", "longitud": 3},
                    {"nombre": "Pagare", "tipo": "Yes/No"},
                    {"nombre": "Cotizacion", "tipo": "Currency"},
                    {"nombre": "Alta", "tipo": "FechaHora"},
                    {"nombre": "Nota", "tipo": "Memo"},
                    {"nombre": "Firma", "tipo": "OLE"}
                ],
                "filas": [
                    [1, "USD", false, "19.8765", "2018-01-31T10:20:30", {"texto": "ab", "veces": 3000}, {"hex": "cafe"}],
                    {"NumeroDivisa": 2, "Simbolo": "EUR", "Cotizacion": 22, "Alta": "2018-02-01"},
                    [3, "", true, 0.5, null, "", {"base64": "AAEC", "veces": 2}]
                ]
            }]
        })";
        const QString sJson = F_Dir.filePath("fixture.json");
        const QString sMdb = F_Dir.filePath("fixture.mdb");
        QFile Archivo(sJson);
        QVERIFY(Archivo.open(QIODevice::WriteOnly));
        Archivo.write(Json);
        Archivo.close();
        const TSalida S = ejecuta(QStringLiteral(MDBGEN_EXE), {"fixture", sJson, sMdb});
        QVERIFY2(S.nCodigo == 0, S.Errores.constData());
        const QJsonObject Node = vuelca(sMdb, "clave");
        QCOMPARE(Node.value("password").toString(), QStringLiteral("clave"));
        QCOMPARE(Node.value("creacion").toString(), QStringLiteral("2017-05-04T03:02:01.000"));
        const QJsonArray Datos =
            Node.value("tablas").toObject().value("tDivisas").toObject().value("datos").toArray();
        const QJsonArray Esperado =
            QJsonDocument::fromJson(
                QStringLiteral(
                    R"([[1, "USD", false, "19.8765", "2018-01-31T10:20:30.000", "%1", {"hex": "cafe"}],
                [2, "EUR", false, "22.0000", "2018-02-01T00:00:00.000", null, null],
                [3, "", true, "0.5000", null, "", {"hex": "000102000102"}]])")
                    .arg(QString("ab").repeated(3000))
                    .toUtf8())
                .array();
        QCOMPARE(Datos, Esperado);
        QCOMPARE(herramienta("mdb-count", {sMdb, "tDivisas"}), QStringLiteral("3"));
    }

    void fixtureErroneo_data()
    {
        QTest::addColumn<QByteArray>("Json");
        QTest::addColumn<QString>("sMensaje");
        QTest::newRow("JSON roto") << QByteArray("{\"tablas\": [") << "El JSON no es válido";
        QTest::newRow("tipo desconocido")
            << QByteArray(
                   R"({"tablas": [{"nombre": "A", "columnas": [{"nombre": "x", "tipo": "Entero3"}]}]})")
            << "La columna A.x tiene un tipo desconocido: \"Entero3\"";
        QTest::newRow("hex inválido")
            << QByteArray(
                   R"({"tablas": [{"nombre": "A", "columnas": [{"nombre": "b", "tipo": "Binario"}], "filas": [[{"hex": "zz"}]]}]})")
            << "Tabla A, fila 1, columna b: \"hex\" no es hexadecimal válido";
        QTest::newRow("columna inexistente")
            << QByteArray(
                   R"({"tablas": [{"nombre": "A", "columnas": [{"nombre": "b", "tipo": "Byte"}], "filas": [{"c": 1}]}]})")
            << "Tabla A, fila 1: la columna c no existe";
        QTest::newRow("valor fuera de rango")
            << QByteArray(
                   R"({"tablas": [{"nombre": "A", "columnas": [{"nombre": "b", "tipo": "Byte"}], "filas": [[1], [-1]]}]})")
            << "Fila 2: el valor de A.b (Byte) no es válido";
    }
    void fixtureErroneo()
    {
        QFETCH(QByteArray, Json);
        QFETCH(QString, sMensaje);
        const QString sJson = F_Dir.filePath("malo.json");
        QFile Archivo(sJson);
        QVERIFY(Archivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
        Archivo.write(Json);
        Archivo.close();
        const QString sMdb = F_Dir.filePath("malo.mdb");
        const TSalida S = ejecuta(QStringLiteral(MDBGEN_EXE), {"fixture", sJson, sMdb});
        QCOMPARE(S.nCodigo, 1);
        QVERIFY2(QString::fromUtf8(S.Errores).contains(sMensaje), S.Errores.constData());
        QVERIFY(!QFile::exists(sMdb));
    }
};

#define main qrtzMainQt
QTEST_GUILESS_MAIN(TestEscritorMdb)
#undef main
QRTZ_MAIN_CON_OMISION
#include "TestEscritorMdb.moc"
