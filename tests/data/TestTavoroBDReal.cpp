#include "common/DialogosGuion.h"
#include "data/ColectorConxs.h"
#include "data/TavoroBD.h"
#include "db/componentes/ConexionBD.h"
#include "db/componentes/ErrorBD.h"
#include "tools/mdbgen/EscritorMdb.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using T = TTipoColumnaMdb;

// Host database of the gateway's tables, written with the database password of the host.
// nConectados < 0 leaves tCompUsr out; bSinRFC writes tEmpresa without its RFC column.
bool escribeHost(const QString& sRuta, int nConectados, int nEmpresas, bool bSinRFC = false)
{
    TEscritorMdb E({.sPassword = kPasswBDTavoro});
    const int tEmps = E.AgregaTabla(
        {"tEmps", {{"ClaveEmp", T::Texto, 10}, {"Password", T::Texto, 20}, {"Nivel", T::Entero}}});
    E.AgregaFila(tEmps, {"ADMIN", "SECRETO", 0});
    E.AgregaFila(tEmps, {"Jefa", "minusculas", 0}); // stored key in lower case, matched upper-cased
    E.AgregaFila(tEmps, {"CAJERO", "CAJA", 1});
    E.AgregaFila(tEmps, {"SINCLAVE", QVariant(), 0}); // NULL password
    E.AgregaFila(tEmps, {"VACIA", QString(""), 0});   // empty, not NULL
    E.AgregaFila(tEmps, {"O'HARA", "IRLANDA", 0});
    if (nConectados >= 0) {
        const int t = E.AgregaTabla({"tCompUsr", {{"ClaveEmp", T::Texto, 10}}});
        for (int i = 0; i < nConectados; ++i)
            E.AgregaFila(t, {"CAJERO"});
    }
    std::vector<TColumnaMdb> cols = {{"NumEmp", T::EnteroLargo},
                                     {"Empresa", T::Texto, 100},
                                     {"RegistroCC", T::Texto, 20},
                                     {"NomComercial", T::Texto, 100}};
    if (!bSinRFC)
        cols.push_back({"RFC", T::Texto, 13});
    const int tEmp = E.AgregaTabla({"tEmpresa", cols});
    for (int i = 0; i < nEmpresas; ++i) {
        QVariantList fila{i + 1, QString("CASA %1").arg(i + 1), QVariant(), "LA CASA"};
        if (!bSinRFC)
            fila << "CAS010101AAA";
        E.AgregaFila(tEmp, fila);
    }
    return E.Guarda(sRuta);
}

} // namespace

// The gateway over host files read by the real engine through the registry's main connection.
class TestTavoroBDReal : public QObject
{
    Q_OBJECT
    QTemporaryDir tmp;
    std::shared_ptr<TDialogosGuion> guion;

    // Gateway over "BDPrincipal" opened on sRuta, as the window builds it.
    std::unique_ptr<TTavoroBD> gateway(const QString& sRuta)
    {
        ColectorConexiones = CreaColectorConxs();
        ColectorConexiones->CreaBDPrinc(sRuta, "", false);
        TConexionBD* c = nullptr;
        if (!ColectorConexiones->Conecta(kNomBDPrincipal) ||
            !ColectorConexiones->DameAccessConex(kNomBDPrincipal, c))
            return nullptr;
        return std::make_unique<TTavoroBD>(c);
    }

private slots:
    void initTestCase()
    {
        guion = std::make_shared<TDialogosGuion>();
        InstalaDialogos(guion);
        QVERIFY(escribeHost(tmp.filePath("normal.mdb"), 0, 1));
        QVERIFY(escribeHost(tmp.filePath("conectado.mdb"), 1, 1));
        QVERIFY(escribeHost(tmp.filePath("sincompusr.mdb"), -1, 0));
        QVERIFY(escribeHost(tmp.filePath("sinrfc.mdb"), 0, 1, true));
    }
    void cleanupTestCase() { InstalaDialogos(nullptr); }
    void init() { guion->Cajas.clear(); }
    void cleanup() { ColectorConexiones.reset(); }

    void validaAcceso_data()
    {
        QTest::addColumn<QString>("usuario");
        QTest::addColumn<QString>("passw");
        QTest::addColumn<bool>("soloAdmins");
        QTest::addColumn<bool>("valido");
        QTest::newRow("administrador") << "ADMIN"
                                       << "SECRETO" << true << true;
        QTest::newRow("contrasena equivocada") << "ADMIN"
                                               << "OTRA" << true << false;
        QTest::newRow("mayusculas no coinciden con minusculas") << "JEFA"
                                                                << "MINUSCULAS" << true << false;
        QTest::newRow("clave guardada en minusculas") << "JEFA"
                                                      << "minusculas" << true << true;
        QTest::newRow("cajero no es administrador") << "CAJERO"
                                                    << "CAJA" << true << false;
        QTest::newRow("cajero con cualquier nivel") << "CAJERO"
                                                    << "CAJA" << false << true;
        QTest::newRow("contrasena nula acepta cualquiera") << "SINCLAVE"
                                                           << "X" << true << true;
        QTest::newRow("contrasena nula acepta vacia") << "SINCLAVE"
                                                      << "" << true << true;
        QTest::newRow("vacia guardada acepta vacia") << "VACIA"
                                                     << "" << true << true;
        QTest::newRow("vacia guardada rechaza otra") << "VACIA"
                                                     << "X" << true << false;
        QTest::newRow("desconocido") << "NADIE"
                                     << "" << true << false;
        QTest::newRow("apostrofo en la clave") << "O'HARA"
                                               << "IRLANDA" << true << true;
        // Without doubling, this key would turn the statement into a union that returns a
        // password of the attacker's choosing.
        QTest::newRow("inyeccion") << "' UNION SELECT 'A','B' FROM tEmps WHERE ''='"
                                   << "B" << true << false;
        QTest::newRow("inyeccion con comentario") << "ADMIN' OR ''='"
                                                  << "X" << false << false;
        // Without doubling, the key would make the condition true for every administrator, and
        // the first one's real password would open the door.
        QTest::newRow("inyeccion con contrasena real") << "NADIE' OR ''='"
                                                       << "SECRETO" << true << false;
        QTest::newRow("inyeccion con contrasena real, cualquier nivel") << "NADIE' OR ''='"
                                                                        << "SECRETO" << false << false;
    }
    void validaAcceso()
    {
        QFETCH(QString, usuario);
        QFETCH(QString, passw);
        QFETCH(bool, soloAdmins);
        QFETCH(bool, valido);
        auto g = gateway(tmp.filePath("normal.mdb"));
        QVERIFY(g);
        QCOMPARE(g->ValidaAcceso(usuario, passw, soloAdmins), valido);
        QVERIFY2(guion->Cajas.isEmpty(), qPrintable(guion->Textos().join('\n')));
    }

    void usuariosConectados_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<bool>("conectados");
        QTest::addColumn<int>("cajas");
        QTest::newRow("tabla vacia") << "normal.mdb" << false << 0;
        QTest::newRow("una fila") << "conectado.mdb" << true << 0;
        QTest::newRow("tabla ausente") << "sincompusr.mdb" << true << 1;
    }
    void usuariosConectados()
    {
        QFETCH(QString, archivo);
        QFETCH(bool, conectados);
        QFETCH(int, cajas);
        auto g = gateway(tmp.filePath(archivo));
        QVERIFY(g);
        QCOMPARE(g->UsuariosConectados(), conectados);
        QCOMPARE(guion->Cajas.size(), cajas);
        if (cajas)
            QVERIFY2(guion->Textos().first().startsWith(
                         "Error #BD-101.TTavoroBD: Llame a Soporte Técnico. EErrorJet - "),
                     qPrintable(guion->Textos().first()));
    }

    void empresa()
    {
        auto g = gateway(tmp.filePath("normal.mdb"));
        const TEmpresa e = g->GetEmpresa();
        QCOMPARE(e.sRazonSocial, QString("CASA 1"));
        QCOMPARE(e.sRFC, QString("CAS010101AAA"));
        QCOMPARE(e.sRegistroQRTZ, QString()); // NULL RegistroCC
        QCOMPARE(e.sNumEmpresa, QString("1"));
        QCOMPARE(e.sNomComercial, QString("LA CASA"));

        auto vacia = gateway(tmp.filePath("sincompusr.mdb"));
        const TEmpresa v = vacia->GetEmpresa();
        QVERIFY(v.sRazonSocial.isEmpty() && v.sRFC.isEmpty() && v.sNumEmpresa.isEmpty());
        QVERIFY(guion->Cajas.isEmpty());

        auto sinRfc = gateway(tmp.filePath("sinrfc.mdb"));
        QVERIFY_THROWS_EXCEPTION(TErrorBD, sinRfc->GetEmpresa());
    }

    void gatewaySobreBDPrincipalLaDejaAbiertaYNoEscribe()
    {
        const QString ruta = tmp.filePath("normal.mdb");
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray antes = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
        f.close();
        const QDateTime mtime = QFileInfo(ruta).lastModified();
        {
            auto g = gateway(ruta);
            QVERIFY(g->Conectado());
            QVERIFY(g->ValidaAcceso("ADMIN", "SECRETO", true));
            g->LimpiaTabla("tEmps", ""); // refused by the read-only engine, reported
            QCOMPARE(guion->Cajas.size(), 1);
        }
        QVERIFY(ColectorConexiones->Conectado(kNomBDPrincipal));
        TConexionBD* c = nullptr;
        QVERIFY(ColectorConexiones->DameAccessConex(kNomBDPrincipal, c));
        QVERIFY(c->Conectado());
        ColectorConexiones.reset();
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256), antes);
        QCOMPARE(QFileInfo(ruta).lastModified(), mtime);
        QCOMPARE(QDir(tmp.path()).entryList(QDir::Files).size(), 4); // no lock file beside it
    }

    void contrasenaDeLaBaseEquivocada()
    {
        TEscritorMdb E({.sPassword = "otra"});
        E.AgregaTabla({"tEmps", {{"ClaveEmp", T::Texto, 10}}});
        QVERIFY(E.Guarda(tmp.filePath("otra.mdb.x")));
        ColectorConexiones = CreaColectorConxs();
        ColectorConexiones->CreaBDPrinc(tmp.filePath("otra.mdb.x"), "", false);
        QVERIFY(!ColectorConexiones->Conecta(kNomBDPrincipal));
        QCOMPARE(guion->Textos(),
                 QStringList{"Error #BD-101.TConectAccess: Llame a Soporte Técnico. EErrorJet - "
                             "No es una contraseña válida."});
        QFile::remove(tmp.filePath("otra.mdb.x"));
    }
};

QTEST_GUILESS_MAIN(TestTavoroBDReal)
#include "TestTavoroBDReal.moc"
