#include "db/odbc/ProveedorODBC.h"

#include "db/componentes/ErrorBD.h"

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
        SQLHSTMT st = ejecuta(sSQL);
        SQLSMALLINT ncols = 0;
        SQLNumResultCols(st, &ncols);
        std::vector<SQLSMALLINT> tipos(ncols);
        for (SQLSMALLINT c = 1; c <= ncols; ++c) {
            SQLCHAR nombre[256] = {};
            SQLSMALLINT largo = 0, tipo = 0, dec = 0, nulo = 0;
            SQLULEN tam = 0;
            SQLDescribeColA(st, c, nombre, sizeof nombre, &largo, &tipo, &tam, &dec, &nulo);
            r.Columnas << QString::fromUtf8(reinterpret_cast<char*>(nombre));
            tipos[c - 1] = tipo;
        }
        SQLRETURN ret;
        while ((ret = SQLFetch(st)) != SQL_NO_DATA) {
            if (!SQL_SUCCEEDED(ret)) {
                const QString e = diagnostico(SQL_HANDLE_STMT, st);
                SQLFreeHandle(SQL_HANDLE_STMT, st);
                throw TErrorBD(kClase, e);
            }
            std::vector<TValorBD> fila;
            for (SQLSMALLINT c = 1; c <= ncols; ++c)
                fila.push_back(lee(st, c, tipos[c - 1]));
            r.Filas.push_back(std::move(fila));
        }
        SQLFreeHandle(SQL_HANDLE_STMT, st);
        return r;
    }

    void Ejecuta(const QString& sSQL) override { SQLFreeHandle(SQL_HANDLE_STMT, ejecuta(sSQL)); }

private:
    SQLHSTMT ejecuta(const QString& sSQL)
    {
        SQLHSTMT st = nullptr;
        verifica(SQLAllocHandle(SQL_HANDLE_STMT, F_Dbc, &st), SQL_HANDLE_DBC, F_Dbc);
        QByteArray texto = sSQL.toUtf8();
        const SQLRETURN r =
            SQLExecDirectA(st, reinterpret_cast<SQLCHAR*>(texto.data()), SQLINTEGER(texto.size()));
        if (!SQL_SUCCEEDED(r) && r != SQL_NO_DATA) {
            const QString e = diagnostico(SQL_HANDLE_STMT, st);
            SQLFreeHandle(SQL_HANDLE_STMT, st);
            throw TErrorBD(kClase, e);
        }
        return st;
    }

    static TValorBD lee(SQLHSTMT st, SQLSMALLINT c, SQLSMALLINT tipo)
    {
        SQLLEN ind = 0;
        switch (tipo) {
        case SQL_BIT: {
            unsigned char b = 0;
            SQLGetData(st, c, SQL_C_BIT, &b, sizeof b, &ind);
            return ind == SQL_NULL_DATA ? TValorBD() : TValorBD::Booleano(b != 0);
        }
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT: {
            SQLBIGINT n = 0;
            SQLGetData(st, c, SQL_C_SBIGINT, &n, sizeof n, &ind);
            return ind == SQL_NULL_DATA ? TValorBD() : TValorBD::Entero(n);
        }
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE: {
            double d = 0;
            SQLGetData(st, c, SQL_C_DOUBLE, &d, sizeof d, &ind);
            return ind == SQL_NULL_DATA ? TValorBD() : TValorBD::Doble(d);
        }
        default: {
            QByteArray total;
            char buf[4096];
            for (;;) {
                const SQLRETURN r = SQLGetData(st, c, SQL_C_CHAR, buf, sizeof buf, &ind);
                if (r == SQL_NO_DATA || ind == SQL_NULL_DATA)
                    break;
                if (!SQL_SUCCEEDED(r))
                    break;
                const SQLLEN n =
                    (ind == SQL_NO_TOTAL || ind >= SQLLEN(sizeof buf)) ? SQLLEN(sizeof buf - 1) : ind;
                total.append(buf, int(n));
                if (r == SQL_SUCCESS)
                    break;
            }
            return ind == SQL_NULL_DATA ? TValorBD() : TValorBD::Texto(QString::fromUtf8(total));
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
        origen = origen.left(coma);
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
    QByteArray cadena = CadenaODBC(Cadena).toUtf8();
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
