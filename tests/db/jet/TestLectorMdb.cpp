#include "common/CodigoAnsi.h"
#include "db/jet/BaseDatosMdb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <functional>

using namespace jet;

// A value worked out when its case runs.
using TCalculo = std::function<QString()>;
Q_DECLARE_METATYPE(TCalculo)

namespace {

// Real Access files and their reference dumps, kept in the tree (sources and licences: NOTICE.md).
const QString kDirAccess = QStringLiteral("tests/datos/access");

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
                return c.Tipo == TTipoColumna::Simple
                           ? QString::number(float(x), 'g', QLocale::FloatingPointShortest)
                           : QString::number(x, 'g', QLocale::FloatingPointShortest);
            } else if constexpr (std::is_same_v<T, TMoneda> || std::is_same_v<T, TNumerico>) {
                return x.Texto();
            } else if constexpr (std::is_same_v<T, TFechaJet>) {
                const QDateTime f = x.FechaHora();
                // The dumps cut the milliseconds.
                return f.isValid() ? f.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                   : QStringLiteral("<fecha inválida>");
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

QByteArray LeeArchivo(const QString& sRuta)
{
    QFile f(sRuta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

uint16_t Lee16(const QByteArray& b, qsizetype n)
{
    return uint16_t(uint8_t(b[n]) | (uint8_t(b[n + 1]) << 8));
}
uint32_t Lee32(const QByteArray& b, qsizetype n)
{
    return Lee16(b, n) | (uint32_t(Lee16(b, n + 2)) << 16);
}
void Pon16(QByteArray& b, qsizetype n, uint32_t v)
{
    b[n] = char(v);
    b[n + 1] = char(v >> 8);
}
void Pon32(QByteArray& b, qsizetype n, uint32_t v)
{
    Pon16(b, n, v);
    Pon16(b, n + 2, v >> 16);
}

// Header block (0x18..) of page 0, decoded or encoded in place (the same XOR).
void AlternaEncabezado(QByteArray& b)
{
    const TFormatoJet& F = b[kOffVersion] == 0 ? kFormatoJet3 : kFormatoJet4;
    Rc4(kClaveEncabezado, 4, reinterpret_cast<uint8_t*>(b.data()) + kOffBloqueCifrado,
        size_t(F.nLongBloqueCifrado));
}

// The bytes of a real file and what tests need to find their way in it.
struct TArchivoPrueba
{
    QByteArray Bytes;
    const TFormatoJet* F = nullptr;
    std::unique_ptr<TBaseDatosMdb> pBD;

    explicit TArchivoPrueba(const QString& sRuta) : Bytes(LeeArchivo(sRuta))
    {
        pBD = TBaseDatosMdb::AbreMemoria(Bytes);
        F = pBD ? &pBD->Formato() : nullptr;
    }
    int Tam() const { return F->nTamPagina; }
    qsizetype Pag(uint32_t n) const { return qsizetype(n) * Tam(); }
    TDefinicionTabla Def(const QString& sTabla) const
    {
        TDefinicionTabla d;
        pBD->DefinicionTabla(sTabla, d);
        return d;
    }
    uint32_t Tdef(const QString& sTabla) const { return Def(sTabla).nPaginaDefinicion; }
    // Data pages of a table, in file order.
    QList<uint32_t> PaginasDatos(const QString& sTabla) const
    {
        QList<uint32_t> r;
        const uint32_t nTdef = Tdef(sTabla);
        for (uint32_t n = 1; Pag(n + 1) <= Bytes.size(); ++n) {
            if (Bytes[Pag(n)] == char(kPagDatos) && Lee32(Bytes, Pag(n) + 4) == nTdef)
                r << n;
        }
        return r;
    }
    // File offset of row i's entry in the row-offset table of page n, and the row's bounds.
    qsizetype EntradaFila(uint32_t n, int i) const { return Pag(n) + F->nOffTablaFilas + 2 * i; }
    qsizetype InicioFila(uint32_t n, int i) const
    {
        return Pag(n) + (Lee16(Bytes, EntradaFila(n, i)) & kMascaraOffsetFila);
    }
    qsizetype FinFila(uint32_t n, int i) const
    {
        return i == 0 ? Pag(n + 1) : Pag(n) + (Lee16(Bytes, EntradaFila(n, i - 1)) & kMascaraOffsetFila);
    }
    // Jet 4: file offset of the start of var column k's data in the row at [a, e).
    qsizetype InicioVar(qsizetype a, qsizetype e, int k) const
    {
        const int nMascara = (Lee16(Bytes, a) + 7) / 8;
        return a + Lee16(Bytes, e - nMascara - 4 - 2 * k);
    }
    // Replaces the table's first data page with one holding the given rows.
    void PonPaginaDatos(const QString& sTabla, const QList<QByteArray>& Filas)
    {
        const uint32_t n = PaginasDatos(sTabla).first();
        QByteArray p(Tam(), '\0');
        p[0] = char(kPagDatos);
        p[1] = 1;
        Pon32(p, 4, Tdef(sTabla));
        Pon16(p, F->nOffNumFilas, uint32_t(Filas.size()));
        int nFin = Tam();
        for (int i = 0; i < Filas.size(); ++i) {
            const int nIni = nFin - int(Filas[i].size());
            p.replace(nIni, Filas[i].size(), Filas[i]);
            Pon16(p, F->nOffTablaFilas + 2 * i, uint32_t(nIni));
            nFin = nIni;
        }
        Pon16(p, 2, uint32_t(nFin - F->nOffTablaFilas - 2 * Filas.size()));
        Bytes.replace(Pag(n), Tam(), p);
    }
};

// One row laid out as Jet lays it: column count, fixed area, var data, var-offset table (Jet 3
// with its jump bytes), var count, null mask. Valores: column name -> stored bytes; a column
// missing from the map is NULL; a Boolean present in the map is true.
QByteArray ConstruyeFila(const TFormatoJet& F, const TDefinicionTabla& Def,
                         const QMap<QString, QByteArray>& Valores)
{
    const bool bJet4 = F.nVersion == 4;
    const int nCols = Def.nMaxColumnas;
    const int nVar = Def.nColumnasVariables;
    int nFijo = 0;
    for (const TColumna& c : Def.Columnas) {
        if (c.bFija && c.Tipo != TTipoColumna::Booleano)
            nFijo = std::max(nFijo, c.nOffsetFijo + (TamanoFijo(c.Tipo) ? TamanoFijo(c.Tipo) : c.nLongitud));
    }
    QByteArray Fila(F.nTamNumColsFila + nFijo, '\0');
    Fila[0] = char(nCols);
    if (bJet4)
        Fila[1] = char(nCols >> 8);
    QByteArray Mascara((nCols + 7) / 8, '\0');
    std::vector<QByteArray> Var(static_cast<size_t>(nVar));
    for (const TColumna& c : Def.Columnas) {
        if (!Valores.contains(c.sNombre))
            continue;
        Mascara[c.nNumero / 8] = char(Mascara[c.nNumero / 8] | (1 << (c.nNumero % 8)));
        if (c.Tipo == TTipoColumna::Booleano)
            continue;
        if (c.bFija)
            Fila.replace(F.nTamNumColsFila + c.nOffsetFijo, Valores[c.sNombre].size(), Valores[c.sNombre]);
        else
            Var[size_t(c.nIndiceVar)] = Valores[c.sNombre];
    }
    if (nVar == 0)
        return Fila + Mascara;
    std::vector<int> Off;
    for (const QByteArray& v : Var) {
        Off.push_back(int(Fila.size()));
        Fila += v;
    }
    Off.push_back(int(Fila.size())); // end of data
    if (bJet4) {
        for (int i = nVar; i >= 0; --i) {
            Fila += char(Off[size_t(i)]);
            Fila += char(Off[size_t(i)] >> 8);
        }
        Fila += char(nVar);
        Fila += char(nVar >> 8);
        return Fila + Mascara;
    }
    // Jet 3: J jump bytes, J = (row length - 1) / 256; jump k = first entry at or past 256 (k + 1).
    const int nBase = int(Fila.size()) + nVar + 1 + 1 + int(Mascara.size());
    int nSaltos = 0;
    while ((nBase + nSaltos - 1) / 256 != nSaltos)
        ++nSaltos;
    for (int i = nVar; i >= 0; --i)
        Fila += char(Off[size_t(i)] & 0xFF);
    for (int k = nSaltos - 1; k >= 0; --k) {
        int nEntrada = 0xFF;
        for (int i = 0; i <= nVar; ++i) {
            if (Off[size_t(i)] >= 256 * (k + 1)) {
                nEntrada = i;
                break;
            }
        }
        Fila += char(nEntrada);
    }
    Fila += char(nVar);
    return Fila + Mascara;
}

QByteArray Ucs2(const QString& s)
{
    QByteArray b;
    for (QChar c : s) {
        b += char(c.unicode());
        b += char(c.unicode() >> 8);
    }
    return b;
}

template <typename T> QByteArray Crudo(T v)
{
    QByteArray b(sizeof v, '\0');
    std::memcpy(b.data(), &v, sizeof v);
    return b;
}

} // namespace

class TestLectorMdb : public QObject
{
    Q_OBJECT

    int F_nTablasIguales = 0;

private slots:
    void initTestCase() { QVERIFY2(QDir(kDirAccess).exists(), "faltan los archivos de prueba de Access"); }

    void cleanupTestCase() { qInfo("Tablas iguales a su volcado de referencia: %d", F_nTablasIguales); }

    // Every user table of every real file equals its reference dump, value by value.
    void igualAReferencia_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("tabla");
        const QDir Ref(kDirAccess + QStringLiteral("/reference"));
        for (const QString& sBase : Ref.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            for (const QString& sTsv :
                 QDir(Ref.filePath(sBase)).entryList({"*.tsv"}, QDir::Files, QDir::Name)) {
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

        // Every value is compared: a difference is noted and the rest are still read, so one
        // report names every value that differs.
        std::vector<TValor> Fila;
        int nFila = 0;
        QStringList Diferencias;
        while (pLector->Siguiente(Fila)) {
            ++nFila;
            QVERIFY2(nFila < Lineas.size(), qPrintable(QStringLiteral("fila de más: %1").arg(nFila)));
            const QStringList Ref = Lineas[nFila].split(QLatin1Char('\t'));
            QCOMPARE(Ref.size(), qsizetype(Cols.size()));
            for (size_t i = 0; i < Cols.size(); ++i) {
                const QString s = Normaliza(Fila[i], Cols[i]);
                if (!Iguales(s, Ref[qsizetype(i)], Fila[i], Cols[i]))
                    Diferencias << QStringLiteral("fila %1, columna %2 (%3): leído «%4», referencia «%5»")
                                       .arg(nFila)
                                       .arg(Cols[i].sNombre, NombreTipo(Cols[i].Tipo), s.left(300),
                                            Ref[qsizetype(i)].left(300));
            }
        }
        QVERIFY2(Diferencias.isEmpty(),
                 qPrintable(QStringLiteral("%1 valores distintos:\n").arg(Diferencias.size()) +
                            Diferencias.mid(0, 50).join(QLatin1Char('\n'))));
        QVERIFY2(pLector->Error().isEmpty(), qPrintable(pLector->Error()));
        QCOMPARE(nFila, Lineas.size() - 1);
        ++F_nTablasIguales;
    }

    // Every file opens with its version and password and reads whole, system tables included.
    void archivosReales_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("contrasena");
        const QStringList Todos = TodosLosArchivos();
        QVERIFY(Todos.size() >= 28);
        for (const QString& sRuta : Todos) {
            const QString sBase = QFileInfo(sRuta).completeBaseName();
            const int nVersion =
                sRuta.contains(QLatin1String("V1997")) || sRuta.contains(QLatin1String("/jet3/")) ? 3 : 4;
            QString sContrasena;
            if (sBase == QLatin1String("V2000_with-password"))
                sContrasena = QStringLiteral("password");
            else if (sBase == QLatin1String("pw_ucanaccess"))
                sContrasena = QStringLiteral("ucanaccess");
            QTest::newRow(qPrintable(sBase)) << sRuta << nVersion << sContrasena;
        }
    }
    void archivosReales()
    {
        QFETCH(QString, ruta);
        QFETCH(int, version);
        QFETCH(QString, contrasena);
        QString sError;
        auto pBD = TBaseDatosMdb::Abre(ruta, &sError);
        QVERIFY2(pBD, qPrintable(sError));
        QCOMPARE(pBD->VersionJet(), version);
        QCOMPARE(pBD->Formato().nTamPagina, version == 3 ? 2048 : 4096);
        QCOMPARE(pBD->Contrasena(), contrasena);
        QCOMPARE(pBD->CodigoPagina(), 1252);
        QCOMPARE(pBD->OrdenClasificacion(), 0x0409);
        QCOMPARE(pBD->ClaveCifrado(), 0u);
        // Jet 3 keeps no creation date; Jet 4 files were made from 2002 on.
        QVERIFY(version == 3 ? pBD->FechaCreacion() == 0 : pBD->FechaCreacion() > 37000);
        QVERIFY(pBD->TodasLasTablas().contains(QStringLiteral("MSysObjects")));
        QVERIFY(!pBD->Tablas().contains(QStringLiteral("MSysObjects")));
        int nFilas = 0;
        const QString sFallo = LeeTodo(*pBD, &nFilas);
        QVERIFY2(sFallo.isEmpty(), qPrintable(sFallo));
        QVERIFY(nFilas > 0);
    }

    // Password decoding as each version stores it (Jet 3 has no sample file with a password).
    void contrasenaConstruida_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<QString>("contrasena");
        QTest::newRow("jet3") << RutaDe("testV1997") << QStringLiteral("Señor¤€");
        QTest::newRow("jet3 20 caracteres") << RutaDe("testV1997") << QStringLiteral("abcdefghijklmnopqrst");
        QTest::newRow("jet4") << RutaDe("testV2000") << QStringLiteral("Contraseña€Ωz");
        QTest::newRow("jet4 20 caracteres") << RutaDe("testV2000") << QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    }
    void contrasenaConstruida()
    {
        QFETCH(QString, ruta);
        QFETCH(QString, contrasena);
        QByteArray b = LeeArchivo(ruta);
        AlternaEncabezado(b);
        QByteArray Clave;
        if (b[kOffVersion] == 0) {
            Clave = CodigoAnsi::DeTexto(contrasena);
            Clave.append(20 - Clave.size(), '\0');
        } else {
            double dFecha;
            std::memcpy(&dFecha, b.constData() + kOffFechaCreacion, 8);
            const auto m = uint32_t(int32_t(dFecha));
            Clave = Ucs2(contrasena);
            Clave.append(40 - Clave.size(), '\0');
            for (int i = 0; i < 40; ++i)
                Clave[i] = char(Clave[i] ^ char(m >> (8 * (i % 4))));
        }
        b.replace(kOffContrasena, Clave.size(), Clave);
        AlternaEncabezado(b);
        QString sError;
        auto pBD = TBaseDatosMdb::AbreMemoria(b, &sError);
        QVERIFY2(pBD, qPrintable(sError));
        QCOMPARE(pBD->Contrasena(), contrasena);
    }

    // Encrypted pages (db_key != 0): every page but the header is RC4 with key db_key XOR page.
    void paginasCifradas_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::newRow("jet3") << RutaDe("test2V1997");
        QTest::newRow("jet4") << RutaDe("test2V2000");
        QTest::newRow("jet4 con contraseña") << RutaDe("V2000_with-password");
    }
    void paginasCifradas()
    {
        QFETCH(QString, ruta);
        const QByteArray Claro = LeeArchivo(ruta);
        auto pClaro = TBaseDatosMdb::AbreMemoria(Claro);
        QVERIFY(pClaro);
        const uint32_t nClave = 0x5A3C9E17;
        QByteArray b = Claro;
        AlternaEncabezado(b);
        Pon32(b, kOffClaveBD, nClave);
        AlternaEncabezado(b);
        const int nTam = pClaro->Formato().nTamPagina;
        for (qsizetype n = 1; (n + 1) * nTam <= b.size(); ++n) {
            const uint32_t k = nClave ^ uint32_t(n);
            const uint8_t Clave[4] = {uint8_t(k), uint8_t(k >> 8), uint8_t(k >> 16), uint8_t(k >> 24)};
            Rc4(Clave, 4, reinterpret_cast<uint8_t*>(b.data()) + n * nTam, size_t(nTam));
        }
        QString sError;
        auto pCifrado = TBaseDatosMdb::AbreMemoria(b, &sError);
        QVERIFY2(pCifrado, qPrintable(sError));
        QCOMPARE(pCifrado->ClaveCifrado(), nClave);
        QCOMPARE(pCifrado->Contrasena(), pClaro->Contrasena());
        QCOMPARE(pCifrado->TodasLasTablas(), pClaro->TodasLasTablas());
        int nFilas = 0;
        for (const QString& sTabla : pClaro->TodasLasTablas()) {
            auto a = pClaro->AbreTabla(sTabla);
            auto c = pCifrado->AbreTabla(sTabla);
            QVERIFY(a && c);
            std::vector<TValor> Fa, Fc;
            while (a->Siguiente(Fa)) {
                QVERIFY2(c->Siguiente(Fc), qPrintable(c->Error()));
                QVERIFY(Fa == Fc);
                ++nFilas;
            }
            QVERIFY(!c->Siguiente(Fc));
            QVERIFY(c->Error().isEmpty());
        }
        QVERIFY(nFilas > 5);
    }

    // Damaged, foreign or truncated files: a clear message, never a crash or a hang.
    void corrupciones_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("error");
        const QString j4 = RutaDe("test2V2000");
        const QString j3 = RutaDe("test2V1997");
        const QString sNoEs = QStringLiteral("El archivo no es una base de datos de Access válida.");
        struct TCaso
        {
            const char* pCaso;
            const char* pError;
        };
        const TCaso Casos[] = {
            {"vacío", nullptr},
            {"texto", nullptr},
            {"firma ACE", "formato de Access posterior a Access 2003"},
            {"versión desconocida", "formato de Access posterior a Access 2003 (versión 9)"},
            {"menos de tres páginas", "menos que las tres primeras páginas"},
            {"truncado a la mitad", "fuera del archivo"},
            {"catálogo con otro tipo de página", "la página 2 no tiene la definición del catálogo"},
            {"clave de cifrado en un archivo sin cifrar",
             "La base de datos está cifrada con un método que no se puede leer."},
            {"definición en ciclo", "forma un ciclo de páginas"},
            {"definición con columnas de más", "las columnas de la tabla fuera de su página"},
            {"mapa de uso de longitud cero", "tiene longitud inválida"},
            {"mapa de uso fuera del archivo", "fuera del archivo"},
            {"mapa de uso de tipo desconocido", "es de un tipo desconocido (7)"},
            {"fila fuera de la página", "tiene límites inválidos"},
            {"tabla de filas desmesurada", "declara 65535 filas"},
            {"fila desbordada en ciclo", "forma una cadena demasiado larga"},
            {"fila desbordada fuera del archivo", "fuera del archivo"},
            {"columna variable fuera de la fila", "sale de su fila"},
            {"memo desmesurado", "más que el archivo"},
            {"memo en ciclo", "forma un ciclo"},
            {"memo fuera de sus páginas", "que no es de valores largos"},
        };
        for (const TCaso& c : Casos) {
            const QString sError = c.pError ? QString::fromUtf8(c.pError) : sNoEs;
            const bool bSoloJet4 = QByteArray(c.pCaso).startsWith("columna variable");
            QTest::newRow(qPrintable(QStringLiteral("jet4 ") + QString::fromUtf8(c.pCaso)))
                << j4 << QString::fromUtf8(c.pCaso) << sError;
            if (!bSoloJet4)
                QTest::newRow(qPrintable(QStringLiteral("jet3 ") + QString::fromUtf8(c.pCaso)))
                    << j3 << QString::fromUtf8(c.pCaso) << sError;
        }
    }
    void corrupciones()
    {
        QFETCH(QString, ruta);
        QFETCH(QString, caso);
        QFETCH(QString, error);
        TArchivoPrueba a(ruta);
        QVERIFY(a.pBD);
        QByteArray& b = a.Bytes;
        const QString sTabla = QStringLiteral("MSP_PROJECTS");
        const uint32_t nTdef = a.Tdef(sTabla);
        const uint32_t nDatos = a.PaginasDatos(sTabla).first();
        const qsizetype nMapa = a.Pag(nTdef) + a.F->nOffMapaUsadas;
        const uint32_t nPgRowMapa = Lee32(b, nMapa);
        const uint32_t nPagMapa = nPgRowMapa >> 8;
        const int nFilaMapa = int(nPgRowMapa & 0xFF);
        // Row 0 of the table's first data page: its Memo (PROJ_PROP... var data) and its bounds.
        const qsizetype nIni0 = a.InicioFila(nDatos, 0);
        const qsizetype nFin0 = a.FinFila(nDatos, 0);
        auto EsLval = [&](uint32_t n) {
            return a.Pag(n + 1) <= b.size() && b[a.Pag(n)] == char(kPagDatos) &&
                   b.mid(a.Pag(n) + 4, 4) == "LVAL";
        };
        // A chained long value: an LVAL row that starts with a pointer to another LVAL row
        // (single-row values start with data instead).
        auto BuscaLvalEncadenado = [&]() -> qsizetype {
            for (uint32_t n = 3; a.Pag(n + 1) <= b.size(); ++n) {
                if (!EsLval(n))
                    continue;
                for (int i = 0; i < Lee16(b, a.Pag(n) + a.F->nOffNumFilas); ++i) {
                    const qsizetype p = a.InicioFila(n, i);
                    const uint32_t nSig = Lee32(b, p);
                    if (nSig != 0 && EsLval(nSig >> 8) &&
                        int(nSig & 0xFF) < Lee16(b, a.Pag(nSig >> 8) + a.F->nOffNumFilas)) {
                        Pon32(b, p, (n << 8) | uint32_t(i));
                        return p;
                    }
                }
            }
            return -1;
        };

        if (caso == "vacío") {
            b.clear();
        } else if (caso == "texto") {
            b = QByteArray("Esto es un texto cualquiera y no una base de datos.\n").repeated(200);
        } else if (caso == "firma ACE") {
            b.replace(kOffFirma, kLongFirma, kFirmaAce);
        } else if (caso == "versión desconocida") {
            b[kOffVersion] = 9;
        } else if (caso == "menos de tres páginas") {
            b.truncate(2 * a.Tam() + 100);
        } else if (caso == "truncado a la mitad") {
            b.truncate(b.size() / 2 + 7);
        } else if (caso == "catálogo con otro tipo de página") {
            b[a.Pag(2)] = char(kPagDatos);
        } else if (caso == "clave de cifrado en un archivo sin cifrar") {
            AlternaEncabezado(b);
            Pon32(b, kOffClaveBD, 0x12345678);
            AlternaEncabezado(b);
        } else if (caso == "definición en ciclo") {
            Pon32(b, a.Pag(nTdef) + 4, nTdef);
        } else if (caso == "definición con columnas de más") {
            Pon16(b, a.Pag(nTdef) + a.F->nOffNumColumnas, 0xFFFF);
        } else if (caso == "mapa de uso de longitud cero") {
            const qsizetype e = a.EntradaFila(nPagMapa, nFilaMapa);
            Pon16(b, e, uint32_t(a.FinFila(nPagMapa, nFilaMapa) - a.Pag(nPagMapa)));
        } else if (caso == "mapa de uso fuera del archivo") {
            const qsizetype p = a.InicioFila(nPagMapa, nFilaMapa);
            QCOMPARE(int(b[p]), int(kMapaEnLinea));
            Pon32(b, p + 1, 0x00FFFF00);
        } else if (caso == "mapa de uso de tipo desconocido") {
            b[a.InicioFila(nPagMapa, nFilaMapa)] = 7;
        } else if (caso == "fila fuera de la página") {
            Pon16(b, a.EntradaFila(nDatos, 0), 0x1FF0);
        } else if (caso == "tabla de filas desmesurada") {
            Pon16(b, a.Pag(nDatos) + a.F->nOffNumFilas, 0xFFFF);
        } else if (caso == "fila desbordada en ciclo" || caso == "fila desbordada fuera del archivo") {
            const qsizetype e = a.EntradaFila(nDatos, 0);
            Pon16(b, e, Lee16(b, e) | kFilaDesbordada);
            Pon32(b, nIni0, caso.endsWith("ciclo") ? nDatos << 8 : 0xFFFFFF00);
        } else if (caso == "columna variable fuera de la fila") {
            const int nMascara = (Lee16(b, nIni0) + 7) / 8;
            Pon16(b, nFin0 - nMascara - 4, 0x0FFF);
        } else if (caso == "memo desmesurado" || caso == "memo fuera de sus páginas") {
            // The first long value of the table that is stored outside the row.
            bool bHecho = false;
            for (const TColumna& c : a.Def(sTabla).Columnas) {
                if (bHecho || (c.Tipo != TTipoColumna::Memo && c.Tipo != TTipoColumna::Ole))
                    continue;
                for (int i = 0; i < Lee16(b, a.Pag(nDatos) + a.F->nOffNumFilas) && !bHecho; ++i) {
                    const qsizetype ini = a.InicioFila(nDatos, i);
                    const qsizetype fin = a.FinFila(nDatos, i);
                    qsizetype p;
                    qsizetype q;
                    if (a.F->nVersion == 4) {
                        p = a.InicioVar(ini, fin, c.nIndiceVar);
                        q = a.InicioVar(ini, fin, c.nIndiceVar + 1);
                    } else {
                        // Jet 3 rows of this table are short: one-byte offsets, no jumps.
                        const int nMascara = (uint8_t(b[ini]) + 7) / 8;
                        const qsizetype pv = fin - 1 - nMascara - 1;
                        p = ini + uint8_t(b[pv - c.nIndiceVar]);
                        q = ini + uint8_t(b[pv - c.nIndiceVar - 1]);
                    }
                    if (q - p >= kTamEncabezadoLval && !(uint8_t(b[p + 3]) & 0x80)) {
                        if (caso == "memo desmesurado")
                            Pon32(b, p, (Lee32(b, p) & kLvalTipoMascara) | 0x3FFFFF00);
                        else
                            Pon32(b, p + 4, nTdef << 8);
                        bHecho = true;
                    }
                }
            }
            QVERIFY2(bHecho, "no hay un valor largo fuera de la fila");
        } else if (caso == "memo en ciclo") {
            QVERIFY(BuscaLvalEncadenado() >= 0);
        } else {
            QFAIL("caso sin corrupción");
        }

        QString sError;
        auto pBD = TBaseDatosMdb::AbreMemoria(b, &sError);
        if (pBD) {
            sError = LeeTodo(*pBD);
            // The catalog read fine: the file is damaged further in.
        }
        QVERIFY2(sError.contains(error),
                 qPrintable(QStringLiteral("«%1» no contiene «%2»").arg(sError, error)));
        // The same through a real file.
        QTemporaryDir Dir;
        QFile f(Dir.filePath("dañado.mdb"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(b);
        f.close();
        QString sError2;
        auto pBD2 = TBaseDatosMdb::Abre(f.fileName(), &sError2);
        if (pBD2)
            sError2 = LeeTodo(*pBD2);
        QCOMPARE(sError2, sError);
    }

    // A used-pages map of the reference kind (pointers to bitmap pages) lists the same pages as
    // the inline map it replaces.
    void mapaDeReferencia_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::addColumn<QString>("tabla");
        QTest::newRow("jet3") << RutaDe("compIndexTestV1997") << "Table1";
        QTest::newRow("jet4") << RutaDe("compIndexTestV2000") << "Table1";
    }
    void mapaDeReferencia()
    {
        QFETCH(QString, ruta);
        QFETCH(QString, tabla);
        TArchivoPrueba a(ruta);
        QVERIFY(a.pBD);
        QByteArray& b = a.Bytes;
        const QList<uint32_t> Paginas = a.PaginasDatos(tabla);
        QVERIFY(Paginas.size() > 1);
        const uint32_t nPgRow = Lee32(b, a.Pag(a.Tdef(tabla)) + a.F->nOffMapaUsadas);
        const qsizetype nIni = a.InicioFila(nPgRow >> 8, int(nPgRow & 0xFF));
        const qsizetype nFin = a.FinFila(nPgRow >> 8, int(nPgRow & 0xFF));
        QCOMPARE(int(b[nIni]), int(kMapaEnLinea));
        // Two new bitmap pages at the end of the file: the first covers pages 0.., the second
        // the next span and is empty.
        const uint32_t nNueva = uint32_t(b.size() / a.Tam());
        for (int k = 0; k < 2; ++k) {
            QByteArray Bits(a.Tam(), '\0');
            Bits[0] = char(kPagMapaUso);
            Bits[1] = 1;
            if (k == 0) {
                for (uint32_t n : Paginas)
                    Bits[kEncabezadoPaginaMapa + n / 8] =
                        char(Bits[kEncabezadoPaginaMapa + n / 8] | (1 << (n % 8)));
            }
            b += Bits;
        }
        QByteArray Mapa(nFin - nIni, '\0');
        Mapa[0] = char(kMapaReferencia);
        Pon32(Mapa, 1, nNueva);
        Pon32(Mapa, 5, nNueva + 1);
        b.replace(nIni, Mapa.size(), Mapa);

        auto pOriginal = TBaseDatosMdb::Abre(ruta);
        auto pNuevo = TBaseDatosMdb::AbreMemoria(b);
        QVERIFY(pOriginal && pNuevo);
        auto o = pOriginal->AbreTabla(tabla);
        auto n = pNuevo->AbreTabla(tabla);
        std::vector<TValor> Fo, Fn;
        int nFilas = 0;
        while (o->Siguiente(Fo)) {
            QVERIFY2(n->Siguiente(Fn), qPrintable(n->Error()));
            QVERIFY(Fo == Fn);
            ++nFilas;
        }
        QVERIFY(!n->Siguiente(Fn));
        QVERIFY2(n->Error().isEmpty(), qPrintable(n->Error()));
        QCOMPARE(nFilas, 512);
    }

    // Missing file and missing table.
    void erroresDeUso()
    {
        QString sError;
        QVERIFY(!TBaseDatosMdb::Abre(QStringLiteral("/no/existe/Tavoro.mdb"), &sError));
        QCOMPARE(sError,
                 QStringLiteral("No se encontró el archivo de base de datos \"/no/existe/Tavoro.mdb\"."));
        QVERIFY(!TBaseDatosMdb::Abre(kDirAccess, &sError));
        QCOMPARE(sError, QStringLiteral("El archivo no es una base de datos de Access válida."));
        auto pBD = TBaseDatosMdb::Abre(RutaDe("testV2000"), &sError);
        QVERIFY(pBD);
        QVERIFY(!pBD->AbreTabla(QStringLiteral("tNoHay"), &sError));
        QCOMPARE(sError, QStringLiteral("La tabla \"tNoHay\" no existe en la base de datos."));
    }

    // Reading everything leaves the file as it was: bytes, size, time stamp, and no lock file
    // beside it, even while it is open.
    void soloLectura_data()
    {
        QTest::addColumn<QString>("ruta");
        QTest::newRow("jet3") << RutaDe("test2V1997");
        QTest::newRow("jet4") << RutaDe("test2V2000");
    }
    void soloLectura()
    {
        QFETCH(QString, ruta);
        QTemporaryDir Dir;
        const QString sCopia = Dir.filePath("Tavoro.mdb");
        QVERIFY(QFile::copy(ruta, sCopia));
        QFile f(sCopia);
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
        QVERIFY(f.open(QIODevice::ReadWrite));
        const QDateTime Antes(QDate(2001, 2, 3), QTime(4, 5, 6), QTimeZone::utc());
        QVERIFY(f.setFileTime(Antes, QFileDevice::FileModificationTime));
        f.close();
        const TInstantanea a = Toma(sCopia);
        const QStringList Listado =
            QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        {
            QString sError;
            auto pBD = TBaseDatosMdb::Abre(sCopia, &sError);
            QVERIFY2(pBD, qPrintable(sError));
            auto pLector = pBD->AbreTabla(pBD->Tablas().first());
            std::vector<TValor> Fila;
            QVERIFY(pLector->Siguiente(Fila));
            QCOMPARE(LeeTodo(*pBD), QString());
            QCOMPARE(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     Listado);
        }
        const TInstantanea d = Toma(sCopia);
        QCOMPARE(d.Hash, a.Hash);
        QCOMPARE(d.nTamano, a.nTamano);
        QCOMPARE(d.Modificado, Antes);
        QCOMPARE(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), Listado);
    }

    // Rows built byte by byte in a real Jet 4 table: every fixed type, NULL against the empty
    // text, compressed text with a switch to UCS-2, an inline memo.
    void filasJet4Construidas()
    {
        TArchivoPrueba a(RutaDe("testV2000"));
        QVERIFY(a.pBD);
        const TDefinicionTabla Def = a.Def(QStringLiteral("Table1"));
        QMap<QString, QByteArray> v1{{"A", ""},
                                     {"C", Crudo<uint8_t>(255)},
                                     {"D", Crudo<int16_t>(-2)},
                                     {"E", Crudo<int32_t>(-100000)},
                                     {"F", Crudo<double>(-0.5)},
                                     {"G", Crudo<double>(-1.25)},
                                     {"H", Crudo<int64_t>(-12345)},
                                     {"I", ""}};
        QMap<QString, QByteArray> v2{{"A", QByteArray("\xFF\xFEhola\0\xAC\x20\0!", 11)}, {"B", Ucs2("x€")}};
        a.PonPaginaDatos("Table1", {ConstruyeFila(*a.F, Def, v1), ConstruyeFila(*a.F, Def, v2)});
        auto pBD = TBaseDatosMdb::AbreMemoria(a.Bytes);
        QVERIFY(pBD);
        auto pLector = pBD->AbreTabla("table1");
        std::vector<TValor> f;
        QVERIFY2(pLector->Siguiente(f), qPrintable(pLector->Error()));
        QCOMPARE(f.size(), size_t(9));
        QVERIFY(std::get<QString>(f[0]).isEmpty()); // empty text, not NULL
        QVERIFY(EsNulo(f[1]));
        QCOMPARE(std::get<int64_t>(f[2]), int64_t(255));
        QCOMPARE(std::get<int64_t>(f[3]), int64_t(-2));
        QCOMPARE(std::get<int64_t>(f[4]), int64_t(-100000));
        QCOMPARE(std::get<double>(f[5]), -0.5);
        QCOMPARE(std::get<TFechaJet>(f[6]).dDias, -1.25);
        QCOMPARE(std::get<TFechaJet>(f[6]).FechaHora().toString("yyyy-MM-dd HH:mm:ss.zzz"),
                 QStringLiteral("1899-12-29 06:00:00.000"));
        QCOMPARE(std::get<TMoneda>(f[7]).Texto(), QStringLiteral("-1.2345"));
        QCOMPARE(std::get<bool>(f[8]), true);
        QVERIFY(pLector->Siguiente(f));
        QCOMPARE(std::get<QString>(f[0]), QStringLiteral("hola€!"));
        QCOMPARE(std::get<QString>(f[1]), QStringLiteral("x€"));
        for (int i = 2; i < 8; ++i)
            QVERIFY(EsNulo(f[size_t(i)]));
        QCOMPARE(std::get<bool>(f[8]), false);
    }

    // Jet 3 rows longer than 256 bytes: one-byte offsets plus jump bytes; a value that crosses
    // two boundaries; the empty text against NULL; each column's own code page.
    void filasJet3ConSaltos()
    {
        TArchivoPrueba a(RutaDe("testV1997"));
        QVERIFY(a.pBD);
        const TDefinicionTabla Def = a.Def(QStringLiteral("Table1"));
        // Column B (the second descriptor) switches to code page 1251.
        const qsizetype nTdef = a.Pag(Def.nPaginaDefinicion);
        const qsizetype nDescB = nTdef + a.F->nOffIndicesReales +
                                 Lee32(a.Bytes, nTdef + a.F->nOffNumIndicesReal) * a.F->nTamIndiceRealTdef +
                                 a.F->nTamDescColumna;
        QCOMPARE(Lee16(a.Bytes, nDescB + a.F->nDescNumero), 1);
        QCOMPARE(Lee16(a.Bytes, nDescB + a.F->nDescPrecision), 1252);
        Pon16(a.Bytes, nDescB + a.F->nDescPrecision, 1251);
        const QByteArray sA = QByteArray(199, 'a') + "\xE9";     // é in 1252
        const QByteArray sB = QByteArray(600, 'b') + "\xC0\xE1"; // Аб in 1251
        a.PonPaginaDatos("Table1",
                         {ConstruyeFila(*a.F, Def, {{"A", sA}, {"B", sB}, {"E", Crudo<int32_t>(7)}}),
                          ConstruyeFila(*a.F, Def, {{"A", ""}, {"I", ""}}),
                          ConstruyeFila(*a.F, Def, {{"A", QByteArray(300, 'c')}, {"B", "d"}})});
        auto pBD = TBaseDatosMdb::AbreMemoria(a.Bytes);
        QVERIFY(pBD);
        auto pLector = pBD->AbreTabla("Table1");
        std::vector<TValor> f;
        QVERIFY2(pLector->Siguiente(f), qPrintable(pLector->Error()));
        QCOMPARE(std::get<QString>(f[0]), QString(199, 'a') + QStringLiteral("é"));
        QCOMPARE(std::get<QString>(f[1]), QString(600, 'b') + QStringLiteral("Аб"));
        QCOMPARE(std::get<int64_t>(f[4]), int64_t(7));
        QCOMPARE(std::get<bool>(f[8]), false);
        QVERIFY(pLector->Siguiente(f));
        QVERIFY(std::get<QString>(f[0]).isEmpty());
        QVERIFY(EsNulo(f[1]));
        QCOMPARE(std::get<bool>(f[8]), true);
        QVERIFY(pLector->Siguiente(f));
        QCOMPARE(std::get<QString>(f[0]), QString(300, 'c'));
        QCOMPARE(std::get<QString>(f[1]), QStringLiteral("d"));
    }

    // The column definitions as the database declares them (what an independent schema dump
    // shows): types, sizes, Numeric precision and scale, numbers left by deleted columns.
    void definiciones()
    {
        QString sError;
        auto p4 = TBaseDatosMdb::Abre(RutaDe("testV2000"), &sError);
        QVERIFY(p4);
        TDefinicionTabla d;
        QVERIFY(p4->DefinicionTabla("TABLE1", d));
        QCOMPARE(d.sNombre, QStringLiteral("Table1"));
        QCOMPARE(d.nFilas, int64_t(2));
        const TTipoColumna Tipos[] = {TTipoColumna::Texto,     TTipoColumna::Texto,  TTipoColumna::Byte,
                                      TTipoColumna::Entero,    TTipoColumna::Largo,  TTipoColumna::Doble,
                                      TTipoColumna::FechaHora, TTipoColumna::Moneda, TTipoColumna::Booleano};
        QCOMPARE(d.Columnas.size(), size_t(9));
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(d.Columnas[size_t(i)].sNombre, QString(QChar('A' + i)));
            QCOMPARE(d.Columnas[size_t(i)].Tipo, Tipos[i]);
            QCOMPARE(d.Columnas[size_t(i)].bFija, i >= 2);
        }
        QCOMPARE(d.Columnas[0].nLongitud, 100); // Text(50): two bytes a character
        QCOMPARE(d.Columnas[1].nLongitud, 200);

        auto p3 = TBaseDatosMdb::Abre(RutaDe("testV1997"), &sError);
        QVERIFY(p3 && p3->DefinicionTabla("Table1", d));
        QCOMPARE(d.Columnas[0].nLongitud, 50);
        QCOMPARE(d.Columnas[0].nCodigoPagina, 1252);

        auto pNum = TBaseDatosMdb::Abre(RutaDe("fixedNumericTestV2000"), &sError);
        QVERIFY(pNum && pNum->DefinicionTabla("test", d));
        QCOMPARE(d.Columnas[0].Tipo, TTipoColumna::Memo);
        QCOMPARE(d.Columnas[1].Tipo, TTipoColumna::Numerico);
        QCOMPARE(d.Columnas[1].nPrecision, 18);
        QCOMPARE(d.Columnas[1].nEscala, 0);

        auto pDel = TBaseDatosMdb::Abre(RutaDe("delColTestV2000"), &sError);
        QVERIFY(pDel && pDel->DefinicionTabla("Table1", d));
        QStringList Nombres;
        QList<int> Numeros;
        for (const TColumna& c : d.Columnas)
            Nombres << c.sNombre, Numeros << c.nNumero;
        QCOMPARE(Nombres, QStringList({"id", "id2", "data", "data2"}));
        QCOMPARE(Numeros, QList<int>({0, 2, 3, 5}));
        QCOMPARE(d.Columnas[3].nIndiceVar, 2);
    }

    // Exact text of the decimal types and the date conversion. Each value is worked out in
    // its own case, so one that fails or throws leaves the others to run.
    void valores_data()
    {
        QTest::addColumn<TCalculo>("obtenido");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("moneda") << TCalculo([] { return TMoneda{35000}.Texto(); }) << "3.5000";
        QTest::newRow("moneda negativa pequeña") << TCalculo([] { return TMoneda{-1}.Texto(); }) << "-0.0001";
        QTest::newRow("moneda mínima")
            << TCalculo([] { return TMoneda{INT64_MIN}.Texto(); }) << "-922337203685477.5808";
        QTest::newRow("numérico") << TCalculo([] {
            return TNumerico{0, 1250, 2, 18, true}.Texto();
        }) << "-12.50";
        QTest::newRow("numérico menor que uno") << TCalculo([] {
            return TNumerico{0, 5, 3, 18, false}.Texto();
        }) << "0.005";
        QTest::newRow("numérico sin escala") << TCalculo([] {
            return TNumerico{0, 0, 0, 18, true}.Texto();
        }) << "0";
        QTest::newRow("numérico de 128 bits") << TCalculo([] {
            return TNumerico{UINT64_MAX, UINT64_MAX, 0, 38, false}.Texto();
        }) << "340282366920938463463374607431768211455";
        QTest::newRow("numérico 28 dígitos") << TCalculo([] {
            return TNumerico{0x204FCE5EULL, 0x3E2502610FFFFFFFULL, 10, 28, false}.Texto();
        }) << "999999999999999999.9999999999";
        QTest::newRow("fecha") << TCalculo([] {
            return TFechaJet{27293.0}.FechaHora().toString("yyyy-MM-dd HH:mm:ss.zzz");
        }) << "1974-09-21 00:00:00.000";
        QTest::newRow("fecha con hora")
            << TCalculo([] { return TFechaJet{43465.625}.FechaHora().toString("yyyy-MM-dd HH:mm:ss.zzz"); })
            << "2018-12-31 15:00:00.000";
        QTest::newRow("fecha anterior a 1899")
            << TCalculo([] { return TFechaJet{-2.75}.FechaHora().toString("yyyy-MM-dd HH:mm:ss.zzz"); })
            << "1899-12-28 18:00:00.000";
        QTest::newRow("fecha fuera de rango")
            << TCalculo([] { return QString::number(TFechaJet{1e12}.FechaHora().isValid()); }) << "0";
    }
    void valores()
    {
        QFETCH(TCalculo, obtenido);
        QFETCH(QString, esperado);
        QString sObtenido;
        try {
            sObtenido = obtenido();
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        QCOMPARE(sObtenido, esperado);
    }
};

QTEST_GUILESS_MAIN(TestLectorMdb)
#include "TestLectorMdb.moc"
