// The jetsql tool as a developer uses it: an error the engine places in the statement is shown
// under the statement's line with a caret, and the engine's own text appears only with
// --verbose.

#include "tools/mdbgen/EscritorMdb.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestHerramientaJetSQL : public QObject
{
    Q_OBJECT
    QTemporaryDir F_Dir;
    QString F_sMdb;

    // Exit code and standard error of one run (line endings as on Linux: Windows writes CR LF).
    QPair<int, QString> corre(const QStringList& Argumentos)
    {
        QProcess p;
        p.start(QStringLiteral(QRTZ_JETSQL), Argumentos);
        if (!p.waitForFinished(60000))
            return {-1, QString()};
        return {
            p.exitCode(),
            QString::fromUtf8(p.readAllStandardError()).replace(QLatin1String("\r\n"), QLatin1String("\n"))};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(F_Dir.isValid());
        F_sMdb = F_Dir.filePath(QStringLiteral("t.mdb"));
        TEscritorMdb escritor;
        const int n = escritor.AgregaTabla({QStringLiteral("tClaves"),
                                            {{QStringLiteral("Id"), TTipoColumnaMdb::EnteroLargo},
                                             {QStringLiteral("Clave"), TTipoColumnaMdb::Texto}}});
        QVERIFY(n >= 0);
        QVERIFY(escritor.AgregaFila(n, {1, QStringLiteral("k1")}));
        QVERIFY2(escritor.Guarda(F_sMdb), qPrintable(escritor.Error()));
    }

    void senalaElError_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("salida");
        QTest::newRow("una-linea")
            << "SELECT Id FROM tClaves WHERE Clave = 'a' 'b'"
            << "EErrorJet: Error de sintaxis (falta operador) en la expresión de consulta "
               "'Clave = 'a' 'b''.\n"
               "  SELECT Id FROM tClaves WHERE Clave = 'a' 'b'\n"
               "                                           ^\n";
        QTest::newRow("segunda-linea")
            << "SELECT Id,\n\tClave FROM tNada"
            << "EErrorJet: El motor de base de datos Microsoft Jet no puede encontrar "
               "la tabla o consulta de entrada 'tNada'. Asegúrese de que existe y "
               "que su nombre está escrito correctamente.\n"
               "  \tClave FROM tNada\n"
               "  \t           ^\n";
        // An error of the whole statement has no place to show.
        QTest::newRow("sin-posicion") << "SELECT 1e20 MOD 7 FROM tClaves"
                                      << "EErrorJet: Desbordamiento\n";
    }

    void senalaElError()
    {
        QFETCH(QString, sql);
        QFETCH(QString, salida);
        const auto r = corre({F_sMdb, sql});
        QCOMPARE(r.first, 1);
        QCOMPARE(r.second, salida);
    }

    // SQLite's words stay out of the message; --verbose shows them to a developer.
    void detalleDelMotor()
    {
        const QString sql = QStringLiteral("SELECT ") + QString(QStringLiteral("UCASE(")).repeated(60) +
                            QStringLiteral("Clave") + QString(60, QLatin1Char(')')) +
                            QStringLiteral(" FROM tClaves");
        const auto normal = corre({F_sMdb, sql});
        QCOMPARE(normal.first, 1);
        QCOMPARE(normal.second, QStringLiteral("EErrorJet: Consulta demasiado compleja.\n"));
        const auto detalle = corre({F_sMdb, QStringLiteral("--verbose"), sql});
        QCOMPARE(detalle.first, 1);
        QVERIFY2(detalle.second.contains(QLatin1String("parser stack overflow")), qPrintable(detalle.second));
    }
};

QTEST_GUILESS_MAIN(TestHerramientaJetSQL)
#include "TestHerramientaJetSQL.moc"
