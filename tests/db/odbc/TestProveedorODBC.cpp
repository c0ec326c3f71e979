#include "OmisionCTest.h"
#include "db/componentes/ErrorBD.h"
#include "db/odbc/ProveedorODBC.h"
#include "db/odbc/ValoresODBC.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

Q_DECLARE_METATYPE(TValorBD)

namespace {

// The SQLite ODBC driver Debian ships: the SQL Server provider's reader runs over it, since no
// SQL Server can run here.
QString controladorSQLite()
{
    for (const QString& s : {QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so"),
                             QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so"),
                             QStringLiteral("/usr/lib/odbc/libsqlite3odbc.so")}) {
        if (QFile::exists(s))
            return s;
    }
    return QString();
}

// The database's path as the driver opens it. Under Wine the Windows odbc32 hands the connection
// to the Linux driver above, which opens Linux paths: Wine's own kernel32 converts them.
QString rutaParaControlador(const QString& sRuta)
{
#ifdef Q_OS_WIN
    using TConvierte = char*(CDECL*)(LPCWSTR);
    const auto convierte = reinterpret_cast<TConvierte>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!convierte)
        return sRuta;
    const std::wstring s = QDir::toNativeSeparators(sRuta).toStdWString();
    char* p = convierte(s.c_str());
    if (!p)
        return sRuta;
    const QString r = QString::fromUtf8(p);
    HeapFree(GetProcessHeap(), 0, p);
    return r;
#else
    return sRuta;
#endif
}

// Days of the values' convention (since 1899-12-30) plus the time of day.
double dia(int nDias, int nHora = 0, int nMinuto = 0, int nSegundo = 0)
{
    const double dHora = (nHora * 3600.0 + nMinuto * 60.0 + nSegundo) / 86400.0;
    return nDias < 0 ? nDias - dHora : nDias + dHora;
}

} // namespace

class TestProveedorODBC : public QObject
{
    Q_OBJECT
    QTemporaryDir F_Dir;
    int F_nBase = 0;

    // A session on a new SQLite file through the driver; skips when the driver is missing.
    std::unique_ptr<ISesionBD> sesion()
    {
        const QString sBD = F_Dir.filePath(QStringLiteral("bd%1.sqlite").arg(++F_nBase));
        return TProveedorODBC::AbreODBC(
            QStringLiteral("DRIVER={%1};Database=%2;").arg(controladorSQLite(), rutaParaControlador(sBD)));
    }

private slots:
    void cadenaODBC_data()
    {
        QTest::addColumn<QString>("cadena");
        QTest::addColumn<QString>("odbc"); // after "DRIVER={...};"
        const QString kFin = "TDS_Version=7.3;ClientCharset=UTF-8;";
        QTest::newRow("solo servidor") << "Provider=SQLOLEDB.1;Data Source=SRV"
                                       << "SERVER={SRV};UID={};PWD={};" + kFin;
        QTest::newRow("instancia, puerto, catalogo y usuario")
            << "Provider=SQLOLEDB.1;Password=p;Persist Security Info=True;User ID=sa;Initial Catalog=Caja;"
               "Data Source=SRV\\SQLEXPRESS,1433"
            << "SERVER={SRV\\SQLEXPRESS};PORT={1433};DATABASE={Caja};UID={sa};PWD={p};" + kFin;
        QTest::newRow("blancos alrededor del puerto") << "Provider=SQLOLEDB.1;Data Source= SRV , 1433 "
                                                      << "SERVER={SRV};PORT={1433};UID={};PWD={};" + kFin;
        QTest::newRow("solo puerto") << "Provider=SQLOLEDB.1;Data Source=,1433"
                                     << "SERVER={};PORT={1433};UID={};PWD={};" + kFin;
        QTest::newRow("catalogo vacio se omite") << "Provider=SQLOLEDB.1;Initial Catalog=;Data Source=S"
                                                 << "SERVER={S};UID={};PWD={};" + kFin;
        // Braces keep '=' and '}' inside a value from changing the string.
        QTest::newRow("llaves en los valores") << "Provider=SQLOLEDB.1;User ID=a=b;Password=x}y;Data Source=S"
                                               << "SERVER={S};UID={a=b};PWD={x}}y};" + kFin;
    }
    void cadenaODBC()
    {
        QFETCH(QString, cadena);
        QFETCH(QString, odbc);
        const QString s = TProveedorODBC::CadenaODBC(TCadenaConexion(cadena));
        QVERIFY2(s.startsWith("DRIVER={") && s.indexOf("};") > 0, qPrintable(s));
        QCOMPARE(s.mid(s.indexOf("};") + 2), odbc);
    }

    // DECIMAL, NUMERIC and MONEY arrive as the driver's text: exact in ten-thousandths when
    // they fit, a double otherwise.
    void valorDecimal_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<TValorBD>("valor");
        QTest::newRow("dinero") << "1234.5678" << TValorBD::Moneda(12345678);
        QTest::newRow("dos decimales") << "12.50" << TValorBD::Moneda(125000);
        QTest::newRow("negativo menor que uno") << "-.25" << TValorBD::Moneda(-2500);
        QTest::newRow("entero") << "42" << TValorBD::Moneda(420000);
        QTest::newRow("ceros de mas") << "7.100000000" << TValorBD::Moneda(71000);
        QTest::newRow("dinero maximo") << "922337203685477.5807" << TValorBD::Moneda(9223372036854775807LL);
        QTest::newRow("mas de cuatro decimales") << "0.123456" << TValorBD::Doble(0.123456);
        QTest::newRow("fuera del rango exacto")
            << "12345678901234567890.5" << TValorBD::Doble(12345678901234567890.5);
    }
    void valorDecimal()
    {
        QFETCH(QString, texto);
        QFETCH(TValorBD, valor);
        QCOMPARE(ValoresODBC::Decimal(texto), valor);
    }
    void valorDecimalInvalido()
    {
        for (const QString s : {"", ".", "1e5", "abc", "1.2.3"})
            QVERIFY_THROWS_EXCEPTION(TErrorBD, ValoresODBC::Decimal(s));
    }

    // Each column type the driver reports, read by the provider's row reader as the values of
    // the rest of the program.
    void lectorDeFilas_data()
    {
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<TValorBD>("valor");
        QTest::newRow("entero") << "INTEGER"
                                << "-7" << TValorBD::Entero(-7);
        QTest::newRow("entero grande exacto") << "BIGINT"
                                              << "9007199254740993" << TValorBD::Entero(9007199254740993LL);
        QTest::newRow("doble") << "DOUBLE"
                               << "1.5" << TValorBD::Doble(1.5);
        QTest::newRow("bit") << "BIT"
                             << "1" << TValorBD::Booleano(true);
        QTest::newRow("fecha y hora") << "DATETIME"
                                      << "'2019-03-05 14:07:40'" << TValorBD::Fecha(dia(43529, 14, 7, 40));
        QTest::newRow("fecha") << "DATE"
                               << "'2018-12-31'" << TValorBD::Fecha(dia(43465));
        QTest::newRow("antes de 1899-12-30") << "DATETIME"
                                             << "'1899-12-29 06:00:00'" << TValorBD::Fecha(dia(-1, 6));
        QTest::newRow("hora") << "TIME"
                              << "'18:00:00'" << TValorBD::Fecha(0.75);
        QTest::newRow("texto con acentos") << "VARCHAR(20)"
                                           << "'Ñandú €'" << TValorBD::Texto("Ñandú €");
        // Longer than a read piece, with two-byte characters across the piece boundaries.
        const QString sLargo = QString("ó").repeated(40000) + "fin";
        QTest::newRow("texto largo") << "TEXT"
                                     << "'" + sLargo + "'" << TValorBD::Texto(sLargo);
        QTest::newRow("binario") << "BLOB"
                                 << "x'00ff10'" << TValorBD::Binario(QByteArray("\x00\xff\x10", 3));
        QByteArray Bytes(10000, '\0');
        for (int i = 0; i < Bytes.size(); ++i)
            Bytes[i] = char(i * 7);
        QTest::newRow("binario largo")
            << "BLOB"
            << "x'" + QString::fromLatin1(Bytes.toHex()) + "'" << TValorBD::Binario(Bytes);
        for (const char* t :
             {"INTEGER", "DOUBLE", "BIT", "DATETIME", "TIME", "TEXT", "BLOB", "DECIMAL(10,2)"})
            QTest::newRow(qPrintable(QString("nulo %1").arg(t))) << t << "NULL" << TValorBD();
    }
    void lectorDeFilas()
    {
        QFETCH(QString, tipo);
        QFETCH(QString, literal);
        QFETCH(TValorBD, valor);
        if (controladorSQLite().isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA("falta el controlador ODBC de SQLite (libsqliteodbc, lo instala "
                                       "scripts/install-deps.sh)");
        TResultadoBD r;
        try {
            auto s = sesion();
            s->Ejecuta("CREATE TABLE t (id INTEGER, v " + tipo + ")");
            s->Ejecuta("INSERT INTO t VALUES (1, " + literal + ")");
            s->Ejecuta("INSERT INTO t VALUES (2, NULL)");
            r = s->Consulta("SELECT v, id FROM t ORDER BY id");
        } catch (const TErrorBD& e) {
            QFAIL(qPrintable(e.Clase() + " - " + e.Mensaje()));
        }
        QCOMPARE(r.Columnas, (QStringList{"v", "id"}));
        QCOMPARE(r.Filas.size(), size_t(2));
        QCOMPARE(r.Filas[0][0], valor);
        QCOMPARE(r.Filas[0][1], TValorBD::Entero(1));
        QCOMPARE(r.Filas[1][0], TValorBD());
        QCOMPARE(r.Filas[1][1], TValorBD::Entero(2));
    }

    // Every failure of the driver becomes the provider's error with the driver's diagnostics;
    // statements without rows and results without rows are no failure.
    void fallasDelControlador()
    {
        if (controladorSQLite().isEmpty())
            QRTZ_OMITE_SIN_HERRAMIENTA("falta el controlador ODBC de SQLite (libsqliteodbc, lo instala "
                                       "scripts/install-deps.sh)");
        auto s = sesion();
        s->Ejecuta("CREATE TABLE t (a INTEGER)");
        s->Ejecuta("DELETE FROM t");
        QCOMPARE(s->Consulta("SELECT a FROM t").Filas.size(), size_t(0));
        for (const QString sSQL : {"SELECT a FROM no_existe", "SELEC 1", "SELECT a FROM t WHERE"}) {
            try {
                s->Consulta(sSQL);
                QFAIL(qPrintable("sin error: " + sSQL));
            } catch (const TErrorBD& e) {
                QCOMPARE(e.Clase(), QString("EErrorODBC"));
                QVERIFY2(e.Mensaje().startsWith('[') && e.Mensaje().size() > 8, qPrintable(e.Mensaje()));
            }
        }
        QVERIFY_THROWS_EXCEPTION(TErrorBD, s->Ejecuta("INSERT INTO no_existe VALUES (1)"));
        // The session is still usable after its failures.
        s->Ejecuta("INSERT INTO t VALUES (3)");
        QCOMPARE(s->Consulta("SELECT a FROM t").Filas.at(0).at(0), TValorBD::Entero(3));

        // A driver that cannot open its database, and a driver that does not exist.
        QVERIFY_THROWS_EXCEPTION(
            TErrorBD,
            TProveedorODBC::AbreODBC(
                QStringLiteral("DRIVER={%1};Database=%2;")
                    .arg(controladorSQLite(), rutaParaControlador(F_Dir.filePath("no/hay/carpeta.sqlite")))));
        QVERIFY_THROWS_EXCEPTION(TErrorBD, TProveedorODBC::AbreODBC("DRIVER={/no/existe.so};"));
    }
};

#define main qrtzMainQt
QTEST_GUILESS_MAIN(TestProveedorODBC)
#undef main
QRTZ_MAIN_CON_OMISION
#include "TestProveedorODBC.moc"
