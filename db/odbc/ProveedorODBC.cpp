#include "db/odbc/ProveedorODBC.h"

#include "db/componentes/ErrorBD.h"
#include "db/odbc/ValoresODBC.h"

#include <QFile>

#ifdef _WIN32
// The system's driver manager (odbc32): its headers need the Windows types first. The plain entry
// points are the 8-bit ones there as with unixODBC; MinGW declares some "...A" functions with other
// types and Wine does not export them, so the plain names are called.
#define SQL_NOUNICODEMAP
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
#ifdef _WIN32
#define SQLGetDiagRecA SQLGetDiagRec
#define SQLDescribeColA SQLDescribeCol
#define SQLExecDirectA SQLExecDirect
#define SQLDriverConnectA SQLDriverConnect

#include <QSettings>

namespace {

// The newest SQL Server driver Windows has; "SQL Server" comes with every Windows.
QString controladorWindows()
{
    const QSettings Instalados(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers"),
        QSettings::NativeFormat);
    for (const char* p : {"ODBC Driver 18 for SQL Server", "ODBC Driver 17 for SQL Server"})
        if (Instalados.value(QString::fromLatin1(p)).toString() == QLatin1String("Installed"))
            return QString::fromLatin1(p);
    return QStringLiteral("SQL Server");
}

} // namespace
#endif

namespace {

const QString kClase = QStringLiteral("EErrorODBC");
constexpr SQLULEN kSegundosEspera = 5;

QString diagnostico(SQLSMALLINT tipo, SQLHANDLE h)
{
    QStringList partes;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR estado[8] = {};
        SQLINTEGER nativo = 0;
        SQLCHAR texto[1024] = {};
        SQLSMALLINT largo = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecA(tipo, h, i, estado, &nativo, texto, sizeof texto, &largo)))
            break;
        partes << QStringLiteral("[%1] %2").arg(QString::fromLatin1(reinterpret_cast<char*>(estado)),
                                                QString::fromUtf8(reinterpret_cast<char*>(texto)));
    }
    return partes.isEmpty() ? QStringLiteral("Error desconocido del controlador ODBC.")
                            : partes.join(QLatin1Char(' '));
}

void verifica(SQLRETURN r, SQLSMALLINT tipo, SQLHANDLE h)
{
    if (!SQL_SUCCEEDED(r))
        throw TErrorBD(kClase, diagnostico(tipo, h));
}

QString llaveODBC(const QString& v)
{
    // Values go between braces so that ';' and '=' inside them cannot change the string.
    QString s = v;
    s.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + s + QLatin1Char('}');
}

// Statement handle, freed on every way out.
class TSentencia
{
public:
    explicit TSentencia(SQLHDBC dbc)
    {
        verifica(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &F_h), SQL_HANDLE_DBC, dbc);
    }
    ~TSentencia()
    {
        if (F_h)
            SQLFreeHandle(SQL_HANDLE_STMT, F_h);
    }
    TSentencia(const TSentencia&) = delete;
    TSentencia& operator=(const TSentencia&) = delete;
    SQLHSTMT h() const { return F_h; }

private:
    SQLHSTMT F_h = nullptr;
};

class TSesionODBC : public ISesionBD
{
public:
    TSesionODBC(SQLHENV env, SQLHDBC dbc) : F_Env(env), F_Dbc(dbc) {}
    ~TSesionODBC() override
    {
        SQLDisconnect(F_Dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, F_Dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, F_Env);
    }

    TResultadoBD Consulta(const QString& sSQL) override
    {
        TResultadoBD r;
        TSentencia st(F_Dbc);
        ejecuta(st.h(), sSQL);
        SQLSMALLINT ncols = 0;
        verifica(SQLNumResultCols(st.h(), &ncols), SQL_HANDLE_STMT, st.h());
        std::vector<TColumna> Columnas(size_t(ncols > 0 ? ncols : 0));
        for (SQLSMALLINT c = 1; c <= ncols; ++c) {
            SQLCHAR nombre[256] = {};
            SQLSMALLINT largo = 0, dec = 0, nulo = 0;
            SQLULEN tam = 0;
            verifica(SQLDescribeColA(st.h(), c, nombre, sizeof nombre, &largo, &Columnas[c - 1].nTipo, &tam,
                                     &dec, &nulo),
                     SQL_HANDLE_STMT, st.h());
            r.Columnas << QString::fromUtf8(reinterpret_cast<char*>(nombre));
        }
        if (ncols == 0)
            return r;
        SQLRETURN ret;
        while ((ret = SQLFetch(st.h())) != SQL_NO_DATA) {
            verifica(ret, SQL_HANDLE_STMT, st.h());
            std::vector<TValorBD> fila;
            fila.reserve(Columnas.size());
            for (SQLSMALLINT c = 1; c <= ncols; ++c)
                fila.push_back(lee(st.h(), c, Columnas[c - 1]));
            r.Filas.push_back(std::move(fila));
        }
        return r;
    }

    void Ejecuta(const QString& sSQL) override
    {
        TSentencia st(F_Dbc);
        ejecuta(st.h(), sSQL);
    }

private:
    struct TColumna
    {
        SQLSMALLINT nTipo = SQL_UNKNOWN_TYPE;
    };

    static void ejecuta(SQLHSTMT st, const QString& sSQL)
    {
        QByteArray texto = sSQL.toUtf8();
        const SQLRETURN r =
            SQLExecDirectA(st, reinterpret_cast<SQLCHAR*>(texto.data()), SQLINTEGER(texto.size()));
        // SQL_NO_DATA: a statement that touched no rows.
        if (r != SQL_NO_DATA)
            verifica(r, SQL_HANDLE_STMT, st);
    }

    // Data of a column in pieces of any length (long texts and binaries); false for NULL.
    static bool leePorPartes(SQLHSTMT st, SQLSMALLINT c, SQLSMALLINT tipoC, QByteArray& Total)
    {
        // A text piece ends in the terminating zero the driver adds; a binary one does not.
        const SQLLEN nCero = tipoC == SQL_C_CHAR ? 1 : 0;
        char buf[4096];
        for (;;) {
            SQLLEN ind = 0;
            const SQLRETURN r = SQLGetData(st, c, tipoC, buf, sizeof buf, &ind);
            if (r == SQL_NO_DATA) // every piece was read by the calls before
                return true;
            verifica(r, SQL_HANDLE_STMT, st);
            if (ind == SQL_NULL_DATA)
                return false;
            const SQLLEN nCabe = SQLLEN(sizeof buf) - nCero;
            const SQLLEN n = (ind == SQL_NO_TOTAL || ind > nCabe) ? nCabe : ind;
            Total.append(buf, qsizetype(n));
            if (r == SQL_SUCCESS)
                return true;
        }
    }

    static TValorBD lee(SQLHSTMT st, SQLSMALLINT c, const TColumna& Col)
    {
        SQLLEN ind = 0;
        // One value of a fixed size; false for NULL.
        const auto dato = [&](SQLSMALLINT tipoC, void* p, SQLLEN n) {
            verifica(SQLGetData(st, c, tipoC, p, n, &ind), SQL_HANDLE_STMT, st);
            return ind != SQL_NULL_DATA;
        };
        switch (Col.nTipo) {
        case SQL_BIT: {
            unsigned char b = 0;
            return dato(SQL_C_BIT, &b, sizeof b) ? TValorBD::Booleano(b != 0) : TValorBD();
        }
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT: {
            SQLBIGINT n = 0;
            return dato(SQL_C_SBIGINT, &n, sizeof n) ? TValorBD::Entero(n) : TValorBD();
        }
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE: {
            double d = 0;
            return dato(SQL_C_DOUBLE, &d, sizeof d) ? TValorBD::Doble(d) : TValorBD();
        }
        case SQL_DECIMAL: // MONEY and SMALLMONEY come as DECIMAL with four decimals
        case SQL_NUMERIC: {
            QByteArray Texto;
            return leePorPartes(st, c, SQL_C_CHAR, Texto) ? ValoresODBC::Decimal(QString::fromLatin1(Texto))
                                                          : TValorBD();
        }
        case SQL_DATETIME:
        case SQL_TIMESTAMP:
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIMESTAMP: {
            SQL_TIMESTAMP_STRUCT t{};
            if (!dato(SQL_C_TYPE_TIMESTAMP, &t, sizeof t))
                return TValorBD();
            return TValorBD::Fecha(
                ValoresODBC::DiaJet(t.year, t.month, t.day, t.hour, t.minute, t.second, t.fraction));
        }
        case SQL_TIME:
        case SQL_TYPE_TIME: {
            SQL_TIME_STRUCT t{};
            return dato(SQL_C_TYPE_TIME, &t, sizeof t)
                       ? TValorBD::Fecha(ValoresODBC::DiaJet(1899, 12, 30, t.hour, t.minute, t.second, 0))
                       : TValorBD();
        }
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY: {
            QByteArray Bytes;
            return leePorPartes(st, c, SQL_C_BINARY, Bytes) ? TValorBD::Binario(Bytes) : TValorBD();
        }
        default: {
            QByteArray Texto;
            return leePorPartes(st, c, SQL_C_CHAR, Texto) ? TValorBD::Texto(QString::fromUtf8(Texto))
                                                          : TValorBD();
        }
        }
    }

    SQLHENV F_Env;
    SQLHDBC F_Dbc;
};

} // namespace

QString TProveedorODBC::CadenaODBC(const TCadenaConexion& Cadena)
{
    QString origen = Cadena.Valor(QStringLiteral("Data Source")).trimmed();
    QString puerto;
    const int coma = origen.lastIndexOf(QLatin1Char(','));
    if (coma >= 0) {
        puerto = origen.mid(coma + 1).trimmed();
        origen = origen.left(coma).trimmed();
    }
#ifdef _WIN32
    const QString driver = controladorWindows();
#else
    const QString driver = QFile::exists(QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so"))
                               ? QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so")
                               : QStringLiteral("FreeTDS");
#endif
    QString s = QStringLiteral("DRIVER=%1;SERVER=%2;").arg(llaveODBC(driver), llaveODBC(origen));
    if (!puerto.isEmpty())
        s += QStringLiteral("PORT=%1;").arg(llaveODBC(puerto));
    const QString catalogo = Cadena.Valor(QStringLiteral("Initial Catalog"));
    if (!catalogo.isEmpty())
        s += QStringLiteral("DATABASE=%1;").arg(llaveODBC(catalogo));
    s += QStringLiteral("UID=%1;PWD=%2;TDS_Version=7.3;ClientCharset=UTF-8;")
             .arg(llaveODBC(Cadena.Valor(QStringLiteral("User ID"))),
                  llaveODBC(Cadena.Valor(QStringLiteral("Password"))));
    return s;
}

std::unique_ptr<ISesionBD> TProveedorODBC::Abre(const TCadenaConexion& Cadena, TModoCompartir)
{
    return AbreODBC(CadenaODBC(Cadena));
}

std::unique_ptr<ISesionBD> TProveedorODBC::AbreODBC(const QString& sCadenaODBC)
{
    SQLHENV env = nullptr;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
        throw TErrorBD(kClase, QStringLiteral("No se pudo iniciar el administrador de controladores ODBC."));
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLHDBC dbc = nullptr;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
        const QString e = diagnostico(SQL_HANDLE_ENV, env);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        throw TErrorBD(kClase, e);
    }
    SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(kSegundosEspera), 0);
    SQLSetConnectAttr(dbc, SQL_ATTR_CONNECTION_TIMEOUT, reinterpret_cast<SQLPOINTER>(kSegundosEspera), 0);
    QByteArray cadena = sCadenaODBC.toUtf8();
    SQLCHAR salida[1024];
    SQLSMALLINT largo = 0;
    // SQL_DRIVER_NOPROMPT: the component never asks the user for credentials.
    const SQLRETURN r =
        SQLDriverConnectA(dbc, nullptr, reinterpret_cast<SQLCHAR*>(cadena.data()), SQLSMALLINT(cadena.size()),
                          salida, sizeof salida, &largo, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(r)) {
        const QString e = diagnostico(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        throw TErrorBD(kClase, e);
    }
    return std::make_unique<TSesionODBC>(env, dbc);
}
