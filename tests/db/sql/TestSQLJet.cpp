// Runs every case of tests/sql/*.test: the tables of each file's setup are loaded into a
// Jet SQL session and each query's rows, column names, value kinds or error message are
// compared with the file.

#include "ArchivoPruebaSQL.h"

#include "db/jet/sql/ErrorJet.h"
#include "db/jet/sql/SesionJetSQL.h"

#include <QDir>
#include <QTest>

#include <map>
#include <memory>

namespace {

// The setup tables of a .test file, served to the session the way the provider serves the
// tables of an .mdb file.
class TOrigenPrueba : public IOrigenTablasJet
{
public:
    explicit TOrigenPrueba(const TArchivoPrueba& a) : F_Archivo(a) {}
    bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override
    {
        for (const auto& t : F_Archivo.Tablas)
            if (t.Esquema.sNombre.compare(sNombre, Qt::CaseInsensitive) == 0) {
                Esquema = t.Esquema;
                return true;
            }
        return false;
    }
    void LeeFilas(const TEsquemaTablaJet& Esquema, TCargaTablaJet& Carga) override
    {
        for (const auto& t : F_Archivo.Tablas)
            if (t.Esquema.sNombre == Esquema.sNombre)
                for (const auto& fila : t.Filas) {
                    for (const auto& v : fila)
                        Carga.Valor(v);
                    Carga.FinFila();
                }
    }

private:
    const TArchivoPrueba& F_Archivo;
};

struct TEntorno
{
    TArchivoPrueba Archivo;
    std::unique_ptr<TOrigenPrueba> Origen;
    std::unique_ptr<TSesionJetSQL> Sesion;
};

} // namespace

class TestSQLJet : public QObject
{
    Q_OBJECT

private:
    std::map<QString, std::unique_ptr<TEntorno>> F_Entornos;

    TEntorno& Entorno(const QString& sRuta)
    {
        auto& e = F_Entornos[sRuta];
        if (!e) {
            e = std::make_unique<TEntorno>();
            e->Archivo = LeeArchivoPrueba(sRuta);
            e->Origen = std::make_unique<TOrigenPrueba>(e->Archivo);
            e->Sesion = std::make_unique<TSesionJetSQL>(*e->Origen);
        }
        return *e;
    }

private slots:
    void casos_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<int>("caso");
        const QDir dir(QStringLiteral(QRTZ_RAIZ "/tests/sql"));
        const QStringList archivos = dir.entryList({QStringLiteral("*.test")}, QDir::Files, QDir::Name);
        QVERIFY2(!archivos.isEmpty(), "no hay archivos .test");
        for (const QString& a : archivos) {
            const QString ruta = dir.filePath(a);
            const TEntorno& e = Entorno(ruta);
            for (size_t i = 0; i < e.Archivo.Casos.size(); ++i)
                QTest::newRow(qPrintable(QFileInfo(a).baseName() + QLatin1Char('/') + e.Archivo.Casos[i].sNombre))
                    << ruta << int(i);
        }
    }

    void casos()
    {
        QFETCH(QString, archivo);
        QFETCH(int, caso);
        TEntorno& e = Entorno(archivo);
        const TCasoPrueba& c = e.Archivo.Casos[size_t(caso)];
        const QString donde = QStringLiteral("%1:%2").arg(QFileInfo(archivo).fileName()).arg(c.nLinea);
        TResultadoBD r;
        try {
            r = e.Sesion->Consulta(c.sSql);
        } catch (const TErrorJet& err) {
            if (c.bError) {
                QCOMPARE(err.Mensaje(), c.sMensaje);
                return;
            }
            QFAIL(qPrintable(donde + QStringLiteral(": error inesperado: ") + err.Mensaje()));
        }
        if (c.bError)
            QFAIL(qPrintable(donde + QStringLiteral(": se esperaba el error: ") + c.sMensaje));
        if (!c.Columnas.isEmpty())
            QCOMPARE(r.Columnas, c.Columnas);
        const QStringList filas = TextoFilas(r);
        if (filas != c.Filas)
            QFAIL(qPrintable(donde + QStringLiteral(":\nesperado:\n  ") + c.Filas.join(QStringLiteral("\n  ")) +
                             QStringLiteral("\nobtenido:\n  ") + filas.join(QStringLiteral("\n  "))));
        if (!c.Tipos.isEmpty())
            for (const auto& fila : r.Filas) {
                QCOMPARE(int(fila.size()), int(c.Tipos.size()));
                for (size_t k = 0; k < fila.size(); ++k)
                    if (!fila[k].EsNulo())
                        QCOMPARE(NombreTipoValor(fila[k]), c.Tipos[int(k)]);
            }
    }
};

QTEST_GUILESS_MAIN(TestSQLJet)
#include "TestSQLJet.moc"
