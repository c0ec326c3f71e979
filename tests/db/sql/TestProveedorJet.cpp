// The Jet provider through the database components the program uses: opening (password,
// missing, foreign and damaged files), typed results, reloading a file that changed, the hook
// that long work calls (and that can stop it), and the guarantee that the host file is never
// written.

#include "MainQueTermina.h"
#include "common/Plataforma.h"
#include "db/componentes/ConexionBD.h"
#include "db/componentes/ConsultaBD.h"
#include "db/componentes/ErrorBD.h"
#include "db/jet/proveedor/ProveedorJet.h"
#include "tools/mdbgen/EscritorMdb.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

using T = TTipoColumnaMdb;

// A small host-like file: tDivisas with one row per given symbol, and tEmpresa with one row.
bool escribeBase(const QString& sRuta, const QString& sPassword, const QStringList& Simbolos)
{
    TOpcionesMdb op;
    op.sPassword = sPassword;
    TEscritorMdb e(op);
    const int divisas = e.AgregaTabla({QStringLiteral("tDivisas"),
                                       {{QStringLiteral("NumeroDivisa"), T::EnteroLargo},
                                        {QStringLiteral("Simbolo"), T::Texto, 5},
                                        {QStringLiteral("Pagare"), T::SiNo},
                                        {QStringLiteral("Tope"), T::Moneda},
                                        {QStringLiteral("Alta"), T::FechaHora}}});
    int n = 0;
    for (const QString& s : Simbolos)
        e.AgregaFila(divisas, {++n, s, n % 2 == 0, QStringLiteral("1234.5"), 43465.5});
    const int empresa = e.AgregaTabla(
        {QStringLiteral("tEmpresa"),
         {{QStringLiteral("NumEmp"), T::EnteroLargo}, {QStringLiteral("RegistroCC"), T::Texto, 20}}});
    e.AgregaFila(empresa, {1, QVariant()});
    return e.Guarda(sRuta);
}

// tDivisas with n rows.
bool escribeBaseGrande(const QString& sRuta, int n)
{
    QStringList simbolos;
    for (int i = 0; i < n; ++i)
        simbolos << QStringLiteral("D%1").arg(i % 997);
    return escribeBase(sRuta, QString(), simbolos);
}

QString cadena(const QString& sRuta, const QString& sPassword)
{
    QString s = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security Info=True;"
                               "Mode=Share Deny None")
                    .arg(sRuta);
    if (!sPassword.trimmed().isEmpty())
        s += QStringLiteral(";Jet OLEDB:Database Password=") + sPassword;
    return s;
}

QByteArray huella(const QString& sRuta)
{
    QFile f(sRuta);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestProveedorJet : public QObject
{
    Q_OBJECT

    QTemporaryDir F_Dir;
    QString F_sConClave;
    QString F_sSinClave;

private slots:
    void initTestCase()
    {
        QVERIFY(F_Dir.isValid());
        F_sConClave = F_Dir.filePath(QStringLiteral("ConClave.mdb"));
        F_sSinClave = F_Dir.filePath(QStringLiteral("SinClave.mdb"));
        QVERIFY(escribeBase(F_sConClave, QStringLiteral("plovik"), {QStringLiteral("USD")}));
        QVERIFY(escribeBase(F_sSinClave, QString(), {QStringLiteral("USD")}));
        QFile texto(F_Dir.filePath(QStringLiteral("texto.mdb")));
        QVERIFY(texto.open(QIODevice::WriteOnly));
        texto.write("esto no es una base de datos de Access\n");
        texto.close();
        // A Jet file cut short after its header page.
        QFile original(F_sSinClave);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QFile cortado(F_Dir.filePath(QStringLiteral("cortado.mdb")));
        QVERIFY(cortado.open(QIODevice::WriteOnly));
        cortado.write(original.read(4096 + 100));
        original.seek(0);
        // Whole Jet files that name a later Access format: by signature and by version byte.
        QByteArray datos = original.readAll();
        QByteArray ace = datos;
        ace.replace(4, 15, "Standard ACE DB");
        QFile fAce(F_Dir.filePath(QStringLiteral("ace.mdb")));
        QVERIFY(fAce.open(QIODevice::WriteOnly));
        fAce.write(ace);
        datos[0x14] = 3;
        QFile fVersion(F_Dir.filePath(QStringLiteral("version.mdb")));
        QVERIFY(fVersion.open(QIODevice::WriteOnly));
        fVersion.write(datos);
    }

    void abre_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("error"); // empty: opens
        const QString noValida = QStringLiteral("No es una contraseña válida.");
        QTest::newRow("contrasena-correcta") << "ConClave.mdb"
                                             << "plovik"
                                             << "";
        QTest::newRow("contrasena-incorrecta") << "ConClave.mdb"
                                               << "otra" << noValida;
        QTest::newRow("contrasena-ausente") << "ConClave.mdb"
                                            << "" << noValida;
        QTest::newRow("contrasena-distingue-mayusculas") << "ConClave.mdb"
                                                         << "PLOVIK" << noValida;
        QTest::newRow("sin-contrasena-acepta-cualquiera") << "SinClave.mdb"
                                                          << "plovik"
                                                          << "";
        QTest::newRow("sin-contrasena-sin-contrasena") << "SinClave.mdb"
                                                       << ""
                                                       << "";
        QTest::newRow("archivo-inexistente") << "NoExiste.mdb"
                                             << ""
                                             << "No se pudo encontrar el archivo '%1'.";
        QTest::newRow("archivo-no-jet") << "texto.mdb"
                                        << ""
                                        << "Formato de base de datos '%1' no reconocido.";
        QTest::newRow("archivo-danado")
            << "cortado.mdb"
            << ""
            << "La base de datos '%1' necesita ser reparada o no es un archivo de "
               "base de datos. El archivo de base de datos está dañado: el archivo mide 4196 bytes, "
               "menos que las tres primeras páginas.";
        // The reader's reason stays in the message.
        QTest::newRow("firma-posterior")
            << "ace.mdb"
            << ""
            << "No se puede abrir la base de datos '%1'. La base de datos tiene un formato de Access "
               "posterior a Access 2003 (versión 1), que no se puede leer.";
        QTest::newRow("version-posterior")
            << "version.mdb"
            << ""
            << "No se puede abrir la base de datos '%1'. La base de datos tiene un formato de Access "
               "posterior a Access 2003 (versión 3), que no se puede leer.";
        QTest::newRow("carpeta") << ""
                                 << ""
                                 << "'%1' no es una ruta válida. Asegúrese de que la ruta se ha escrito "
                                    "correctamente y de que está conectado al servidor en el que reside el "
                                    "archivo.";
    }

    void abre()
    {
        QFETCH(QString, archivo);
        QFETCH(QString, password);
        QFETCH(QString, error);
        const QString ruta = archivo.isEmpty() ? F_Dir.path() : F_Dir.filePath(archivo);
        TConexionBD conexion;
        conexion.SetCadenaConexion(cadena(ruta, password));
        try {
            conexion.SetConectado(true);
            QVERIFY2(error.isEmpty(), "se abrió un archivo que debía rechazarse");
            QVERIFY(conexion.Conectado());
            conexion.SetConectado(false);
            QVERIFY(!conexion.Conectado());
        } catch (const TErrorBD& e) {
            QCOMPARE(e.Clase(), QStringLiteral("EErrorJet"));
            QCOMPARE(e.Mensaje(),
                     error.contains(QLatin1String("%1")) ? error.arg(QDir::toNativeSeparators(ruta)) : error);
            QVERIFY(!conexion.Conectado());
        }
    }

    void archivoSinPermiso()
    {
        if (Plataforma::IgnoraPermisos())
            QSKIP("el administrador lee cualquier archivo");
        const QString ruta = F_Dir.filePath(QStringLiteral("bloqueado.mdb"));
        QVERIFY(QFile::copy(F_sSinClave, ruta));
        Plataforma::TBloqueoExclusivo bloqueo(ruta);
        QVERIFY(bloqueo.Activo());
        try {
            AbreSesionJet(ruta, QString());
            QFAIL("se abrió un archivo sin permiso de lectura");
        } catch (const TErrorBD& e) {
            QCOMPARE(e.Mensaje(),
                     QStringLiteral("El motor de base de datos Microsoft Jet no puede abrir el archivo "
                                    "'%1'. Ya está abierto en modo exclusivo por otro usuario o "
                                    "necesita permiso para ver sus datos.")
                         .arg(QDir::toNativeSeparators(ruta)));
        }
    }

    // The query object reads typed values: numbers as numbers, text as text, NULL as NULL.
    void valoresTipados()
    {
        TConexionBD conexion;
        conexion.SetCadenaConexion(cadena(F_sConClave, QStringLiteral("plovik")));
        conexion.SetConectado(true);
        TConsultaBD q(&conexion);
        q.AgregaSQL(
            QStringLiteral("SELECT d.*, e.RegistroCC, 'x' & d.NumeroDivisa AS Texto FROM tDivisas AS d, "
                           "tEmpresa AS e"));
        q.Abre();
        QCOMPARE(q.NumRegistros(), 1);
        QCOMPARE(q.Columnas(),
                 (QStringList{"NumeroDivisa", "Simbolo", "Pagare", "Tope", "Alta", "RegistroCC", "Texto"}));
        QCOMPARE(q.Campo(QStringLiteral("numerodivisa")), TValorBD::Entero(1));
        QCOMPARE(q.Campo(QStringLiteral("Simbolo")), TValorBD::Texto(QStringLiteral("USD")));
        QCOMPARE(q.Campo(QStringLiteral("Pagare")), TValorBD::Booleano(false));
        QCOMPARE(q.Campo(QStringLiteral("Tope")), TValorBD::Moneda(12345000));
        QCOMPARE(q.Campo(QStringLiteral("Alta")), TValorBD::Fecha(43465.5));
        QVERIFY(q.Campo(QStringLiteral("RegistroCC")).EsNulo());
        QCOMPARE(q.Campo(QStringLiteral("Texto")), TValorBD::Texto(QStringLiteral("x1")));
        q.Cierra();
        // Statements that would write are refused and the connection stays usable.
        TConsultaBD ej(&conexion);
        ej.AgregaSQL(QStringLiteral("DELETE FROM tDivisas"));
        try {
            ej.Ejecuta();
            QFAIL("se aceptó un DELETE");
        } catch (const TErrorBD& e) {
            QCOMPARE(
                e.Mensaje(),
                QStringLiteral("No se puede actualizar. La base de datos o el objeto es de sólo lectura."));
        }
        q.Abre();
        QCOMPARE(q.NumRegistros(), 1);
    }

    // Only the tables a statement names are loaded, each once.
    void cargaPerezosa()
    {
        auto sesion = AbreSesionJet(F_sSinClave, QString());
        QVERIFY(sesion->TablasCargadas().isEmpty());
        sesion->Consulta(QStringLiteral("SELECT COUNT(*) FROM tEmpresa"));
        QCOMPARE(sesion->TablasCargadas(), QStringList{QStringLiteral("tEmpresa")});
        sesion->Consulta(QStringLiteral("SELECT * FROM tEmpresa"));
        QCOMPARE(sesion->Cargas(), 1);
    }

    // A file rewritten while the connection is open is read again before the next statement:
    // replaced by another file (a save through a temporary file) or written over in place (a
    // copy over it, or the host's own writes).
    void recargaSiCambia_data()
    {
        QTest::addColumn<bool>("enSuLugar");
        QTest::newRow("reemplazado") << false;
        QTest::newRow("escrito en su lugar") << true;
    }
    void recargaSiCambia()
    {
        QFETCH(bool, enSuLugar);
#ifdef Q_OS_WIN
        if (!enSuLugar)
            QSKIP("Windows no deja reemplazar un archivo que otro programa tiene abierto");
#endif
        const QString ruta =
            F_Dir.filePath(enSuLugar ? QStringLiteral("EnSuLugar.mdb") : QStringLiteral("Cambia.mdb"));
        const auto escribeBase = [&](const QString& sRuta, const QString& sPassword,
                                     const QStringList& Simbolos) {
            if (!enSuLugar || !QFile::exists(sRuta))
                return ::escribeBase(sRuta, sPassword, Simbolos);
            const QString sNueva = sRuta + QStringLiteral(".nueva");
            QFile nueva(sNueva);
            QFile destino(sRuta);
            return ::escribeBase(sNueva, sPassword, Simbolos) && nueva.open(QIODevice::ReadOnly) &&
                   destino.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   destino.write(nueva.readAll()) == nueva.size();
        };
        QVERIFY(escribeBase(ruta, QStringLiteral("plovik"), {QStringLiteral("USD")}));
        auto sesion = AbreSesionJet(ruta, QStringLiteral("plovik"));
        const QString sql = QStringLiteral("SELECT COUNT(*) AS N FROM tDivisas");
        // A grouped derived table is kept between statements; it must not outlive the file.
        const QString agrupada =
            QStringLiteral("SELECT SUM(K) FROM (SELECT Simbolo, COUNT(*) AS K FROM tDivisas "
                           "GROUP BY Simbolo)");
        QCOMPARE(sesion->Consulta(sql).Filas[0][0], TValorBD::Entero(1));
        QCOMPARE(sesion->Consulta(sql).Filas[0][0], TValorBD::Entero(1));
        QCOMPARE(sesion->Consulta(agrupada).Filas[0][0], TValorBD::Entero(1));
        QCOMPARE(sesion->Cargas(), 1);

        QVERIFY(escribeBase(ruta, QStringLiteral("plovik"), {QStringLiteral("USD"), QStringLiteral("EUR")}));
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QFileInfo(ruta).lastModified().addSecs(2), QFileDevice::FileModificationTime));
        f.close();
        QCOMPARE(sesion->Consulta(sql).Filas[0][0], TValorBD::Entero(2));
        QCOMPARE(sesion->Consulta(agrupada).Filas[0][0], TValorBD::Entero(2));
        QCOMPARE(sesion->Cargas(), 2);

        // A new password on the rewritten file is checked again.
        QVERIFY(escribeBase(ruta, QStringLiteral("nueva"), {QStringLiteral("USD")}));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QFileInfo(ruta).lastModified().addSecs(4), QFileDevice::FileModificationTime));
        f.close();
        try {
            sesion->Consulta(sql);
            QFAIL("se leyó un archivo con otra contraseña");
        } catch (const TErrorBD& e) {
            QCOMPARE(e.Mensaje(), QStringLiteral("No es una contraseña válida."));
        }
    }

    // A file that, once changed, no longer opens (another password) fails every statement with
    // its reason, and no preload reads it, until a file that opens is back in its place.
    void ilegibleTrasCambiar()
    {
        const QString ruta = F_Dir.filePath(QStringLiteral("Ilegible.mdb"));
        int nSegundos = 0;
        const auto escribe = [&](const QString& sPassword, const QStringList& Simbolos) {
            const QString sNueva = ruta + QStringLiteral(".nueva");
            QFile nueva(sNueva);
            QFile destino(ruta);
            nSegundos += 2;
            return escribeBase(sNueva, sPassword, Simbolos) && nueva.open(QIODevice::ReadOnly) &&
                   destino.open(QIODevice::ReadWrite | QIODevice::Truncate) &&
                   destino.write(nueva.readAll()) == nueva.size() &&
                   destino.setFileTime(QDateTime::currentDateTime().addSecs(nSegundos),
                                       QFileDevice::FileModificationTime);
        };
        QVERIFY(escribe(QStringLiteral("plovik"), {QStringLiteral("USD")}));
        auto sesion = AbreSesionJet(ruta, QStringLiteral("plovik"));
        const QString sql = QStringLiteral("SELECT COUNT(*) FROM tDivisas");
        QCOMPARE(sesion->Consulta(sql).Filas[0][0], TValorBD::Entero(1));
        QVERIFY(escribe(QStringLiteral("otra"), {QStringLiteral("USD"), QStringLiteral("EUR")}));
        for (int i = 0; i < 2; ++i) {
            try {
                sesion->Consulta(sql);
                QFAIL("se leyó un archivo con otra contraseña");
            } catch (const TErrorBD& e) {
                QCOMPARE(e.Mensaje(), QStringLiteral("No es una contraseña válida."));
            }
            sesion->PrecargaTablas({sql});
        }
        QVERIFY(escribe(QStringLiteral("plovik"),
                        {QStringLiteral("USD"), QStringLiteral("EUR"), QStringLiteral("MXN")}));
        QCOMPARE(sesion->Consulta(sql).Filas[0][0], TValorBD::Entero(3));
        QCOMPARE(sesion->TablasCargadas(), QStringList{QStringLiteral("tDivisas")});
    }

    // Long work calls the hook (once its interval has passed) and gives the same answer; the
    // hook cannot run statements of its own meanwhile; a hook that says stop cancels a
    // statement or a table load with its own error, and the session stays sound for the next
    // statements (a table whose load was stopped is loaded whole later).
    void avisoDuranteTrabajoLargo_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("precarga"); // the table is loaded before the hook is set
        QTest::addColumn<bool>("detener");
        QTest::addColumn<QString>("error"); // empty: the statement ends normally
        const QString cruce =
            QStringLiteral("SELECT COUNT(*) FROM tDivisas AS A, tDivisas AS B WHERE A.Simbolo = B.Simbolo");
        QTest::newRow("consulta") << cruce << true << false << QString();
        QTest::newRow("carga y consulta") << cruce << false << false << QString();
        QTest::newRow("consulta detenida") << cruce << true << true << MensajeCancelado;
        QTest::newRow("carga detenida")
            << QStringLiteral("SELECT COUNT(*) FROM tDivisas") << false << true << MensajeCancelado;
    }
    void avisoDuranteTrabajoLargo()
    {
        QFETCH(QString, sql);
        QFETCH(bool, precarga);
        QFETCH(bool, detener);
        QFETCH(QString, error);
        const QString ruta = F_Dir.filePath(QStringLiteral("Grande.mdb"));
        if (!QFileInfo::exists(ruta))
            QVERIFY(escribeBaseGrande(ruta, 3000));
        TConexionBD conexion;
        conexion.SetCadenaConexion(cadena(ruta, QString()));
        conexion.SetConectado(true);
        const TResultadoBD esperado = conexion.Sesion().Consulta(sql);
        conexion.SetConectado(false);
        conexion.SetConectado(true);
        if (precarga)
            conexion.Sesion().Consulta(QStringLiteral("SELECT COUNT(*) FROM tDivisas"));

        int avisos = 0;
        QString dentro;
        // Every entry point of the session, called from the hook while the work runs, refuses.
        QStringList Rechazos;
        conexion.SetAviso([&] {
            ++avisos;
            try {
                conexion.Sesion().Consulta(QStringLiteral("SELECT COUNT(*) FROM tEmpresa"));
            } catch (const TErrorBD& e) {
                dentro = e.Mensaje();
            }
            const std::pair<const char*, std::function<void()>> Entradas[] = {
                {"IniciaPaso", [&] { conexion.Sesion().IniciaPaso(); }},
                {"CompruebaPaso", [&] { conexion.Sesion().CompruebaPaso(); }},
                {"TablasCargadas", [&] { dynamic_cast<ISesionJet&>(conexion.Sesion()).TablasCargadas(); }},
                {"SetAviso", [&] { conexion.Sesion().SetAviso({}); }},
            };
            for (const auto& [sNombre, Llama] : Entradas) {
                try {
                    Llama();
                } catch (const TErrorBD& e) {
                    if (e.Mensaje().contains(QStringLiteral("ocupada")))
                        Rechazos << QString::fromLatin1(sNombre);
                }
            }
            Rechazos.removeDuplicates();
            return !detener;
        });
        QThread::msleep(IntervaloAvisoMs + 10); // the first look at the clock calls the hook
        try {
            const TResultadoBD r = conexion.Sesion().Consulta(sql);
            QVERIFY2(error.isEmpty(), "la sentencia no se detuvo");
            QCOMPARE(r.Filas, esperado.Filas);
        } catch (const TErrorBD& e) {
            QCOMPARE(e.Mensaje(), error);
            QCOMPARE(e.Clase(), ClaseErrorCancelado);
        }
        QVERIFY(avisos >= 1);
        QVERIFY(dentro.contains(QStringLiteral("ocupada")));
        QCOMPARE(Rechazos, (QStringList{"IniciaPaso", "CompruebaPaso", "TablasCargadas", "SetAviso"}));

        conexion.SetAviso({});
        QCOMPARE(conexion.Sesion().Consulta(sql).Filas, esperado.Filas);
        QCOMPARE(conexion.Sesion().Consulta(QStringLiteral("SELECT COUNT(*) FROM tEmpresa")).Filas[0][0],
                 TValorBD::Entero(1));
    }

    // Opening, reading every table, refused writes and closing leave the file as it was:
    // same bytes, same time stamp, no lock file beside it.
    void soloLectura()
    {
        const QString ruta = F_Dir.filePath(QStringLiteral("Host.mdb"));
        QVERIFY(escribeBase(ruta, QStringLiteral("plovik"), {QStringLiteral("USD"), QStringLiteral("EUR")}));
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime(QDate(2019, 1, 2), QTime(9, 30)), QFileDevice::FileModificationTime));
        f.close();
        const QByteArray antes = huella(ruta);
        const QDateTime fechaAntes = QFileInfo(ruta).lastModified();
        const QStringList antesCarpeta = QDir(F_Dir.path()).entryList(QDir::Files);
        {
            TConexionBD conexion;
            conexion.SetCadenaConexion(cadena(ruta, QStringLiteral("plovik")));
            conexion.SetConectado(true);
            TConsultaBD q(&conexion);
            for (const char* sql : {"SELECT * FROM tDivisas", "SELECT * FROM tEmpresa",
                                    "DELETE FROM tDivisas", "UPDATE tEmpresa SET NumEmp = 2",
                                    "INSERT INTO tEmpresa (NumEmp) VALUES (3)", "DROP TABLE tDivisas",
                                    "SELECT * INTO tCopia FROM tDivisas", "SELECT COUNT(*) FROM tDivisas"}) {
                q.Cierra();
                q.LimpiaSQL();
                q.AgregaSQL(QString::fromLatin1(sql));
                try {
                    q.Abre();
                } catch (const TErrorBD&) {
                }
            }
            QCOMPARE(q.Campo(QStringLiteral("Expr1000")), TValorBD::Entero(2));
            conexion.SetConectado(false);
        }
        QCOMPARE(huella(ruta), antes);
        QCOMPARE(QFileInfo(ruta).lastModified(), fechaAntes);
        QCOMPARE(QDir(F_Dir.path()).entryList(QDir::Files), antesCarpeta);
    }
};

// Sessions load and compute on threads of their own.
QRTZ_TEST_GUILESS_MAIN_QUE_TERMINA(TestProveedorJet)
#include "TestProveedorJet.moc"
