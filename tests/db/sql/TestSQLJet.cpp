// Runs every case of tests/sql/*.test through the whole chain the program uses: the tables of
// each file's setup are written to an .mdb file with our writer, the file is opened with the
// Jet provider (our reader and the Jet SQL session), and each query's rows, column names, value
// kinds or error message are compared with the file.

#include "ArchivoPruebaSQL.h"

#include "db/componentes/ErrorBD.h"
#include "db/jet/proveedor/ProveedorJet.h"
#include "db/jet/sql/FuncionesJet.h"
#include "tools/mdbgen/EscritorMdb.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>
#include <stdexcept>

namespace {

TTipoColumnaMdb tipoMdb(TTipoJet t)
{
    switch (t) {
    case TTipoJet::Booleano:
        return TTipoColumnaMdb::SiNo;
    case TTipoJet::Byte:
        return TTipoColumnaMdb::Byte;
    case TTipoJet::Entero:
        return TTipoColumnaMdb::Entero;
    case TTipoJet::Largo:
        return TTipoColumnaMdb::EnteroLargo;
    case TTipoJet::Moneda:
        return TTipoColumnaMdb::Moneda;
    case TTipoJet::Simple:
        return TTipoColumnaMdb::Simple;
    case TTipoJet::Doble:
        return TTipoColumnaMdb::Doble;
    case TTipoJet::Fecha:
        return TTipoColumnaMdb::FechaHora;
    case TTipoJet::Memo:
        return TTipoColumnaMdb::Memo;
    case TTipoJet::Binario:
        return TTipoColumnaMdb::Binario;
    case TTipoJet::Guid:
        return TTipoColumnaMdb::Guid;
    case TTipoJet::Decimal:
        return TTipoColumnaMdb::Numerico;
    default:
        return TTipoColumnaMdb::Texto;
    }
}

QVariant variante(const TValorBD& v)
{
    switch (v.Tipo()) {
    case TValorBD::TTipo::Nulo:
        return QVariant();
    case TValorBD::TTipo::Booleano:
        return v.Bool();
    case TValorBD::TTipo::Entero:
        return qlonglong(v.EnteroCrudo());
    case TValorBD::TTipo::Moneda:
        return TextoMonedaJet(v.EnteroCrudo()); // exact decimal text
    case TValorBD::TTipo::Doble:
    case TValorBD::TTipo::Fecha:
        return v.DobleCrudo();
    case TValorBD::TTipo::Texto:
        return v.TextoCrudo();
    case TValorBD::TTipo::Binario:
        return v.BinarioCrudo();
    }
    return QVariant();
}

// Writes the setup tables of a test file as an Access file.
void escribeMdb(const TArchivoPrueba& a, const QString& sRuta)
{
    TEscritorMdb escritor;
    for (const auto& t : a.Tablas) {
        TDefinicionTabla def;
        def.sNombre = t.Esquema.sNombre;
        for (const auto& c : t.Esquema.Columnas)
            def.Columnas.push_back({c.sNombre, tipoMdb(c.Tipo)});
        const int n = escritor.AgregaTabla(def);
        if (n < 0)
            throw std::runtime_error(escritor.Error().toStdString());
        for (const auto& fila : t.Filas) {
            QVariantList valores;
            for (const auto& v : fila)
                valores << variante(v);
            if (!escritor.AgregaFila(n, valores))
                throw std::runtime_error(escritor.Error().toStdString());
        }
    }
    if (!escritor.Guarda(sRuta))
        throw std::runtime_error(escritor.Error().toStdString());
}

struct TEntorno
{
    TArchivoPrueba Archivo;
    std::unique_ptr<ISesionJet> Sesion;
};

} // namespace

class TestSQLJet : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir F_Carpeta;
    std::map<QString, std::unique_ptr<TEntorno>> F_Entornos;

    TEntorno& Entorno(const QString& sRuta)
    {
        auto& e = F_Entornos[sRuta];
        if (!e) {
            e = std::make_unique<TEntorno>();
            e->Archivo = LeeArchivoPrueba(sRuta);
            const QString mdb = F_Carpeta.filePath(QFileInfo(sRuta).baseName() + QStringLiteral(".mdb"));
            escribeMdb(e->Archivo, mdb);
            e->Sesion = AbreSesionJet(mdb, QString());
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
                QTest::newRow(
                    qPrintable(QFileInfo(a).baseName() + QLatin1Char('/') + e.Archivo.Casos[i].sNombre))
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
        } catch (const TErrorBD& err) {
            QCOMPARE(err.Clase(), QStringLiteral("EErrorJet"));
            if (c.bError) {
                QCOMPARE(err.Mensaje(), c.sMensaje);
                if (c.nPosicion)
                    QCOMPARE(err.Posicion() + 1, c.nPosicion);
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
            QFAIL(qPrintable(donde + QStringLiteral(":\nesperado:\n  ") +
                             c.Filas.join(QStringLiteral("\n  ")) + QStringLiteral("\nobtenido:\n  ") +
                             filas.join(QStringLiteral("\n  "))));
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
