#include "common/IIMjVentana.h"
#include "common/Utilerias.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <stdexcept>

namespace {

// A window that records the operations the utilities call and the cursor at each call.
class TVentanaPrueba : public IMjVentana
{
public:
    void Prepara() override { anota("Prepara"); }
    void Muestra() override { anota("Muestra"); }
    void Ejecuta() override { anota("Ejecuta"); }
    void Cierra() override { anota("Cierra"); }
    QStringList Llamadas;

private:
    void anota(const QString& s)
    {
        const QCursor* c = QApplication::overrideCursor();
        Llamadas << s + (c && c->shape() == Qt::WaitCursor ? "/espera" : "/normal");
    }
};

bool cursorDeEspera()
{
    const QCursor* c = QApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor;
}

} // namespace

class TestUtilerias : public QObject
{
    Q_OBJECT
private slots:
    void rutasDelPrograma()
    {
        TUtilerias u;
        const QString sRuta = u.DameRutaCompProg();
        QCOMPARE(sRuta, QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        QVERIFY(u.DameDirProg().endsWith(QDir::separator()));
        QCOMPARE(u.DameNomExeProg(), QFileInfo(sRuta).fileName());
        QCOMPARE(u.DameDirProg() + u.DameNomExeProg(), sRuta);
    }

    // The pause measures with an unsigned 32-bit difference, so a counter that wraps during
    // the pause neither ends it early nor makes it endless.
    void hazPausaCruzaLaVueltaDelContador_data()
    {
        QTest::addColumn<quint32>("nInicio");
        QTest::addColumn<int>("nPausa");
        QTest::newRow("sin vuelta") << quint32(1000) << 50;
        QTest::newRow("vuelta a la mitad") << quint32(0xFFFFFFFFu - 20) << 50;
        QTest::newRow("vuelta justo al final") << quint32(0xFFFFFFFFu - 48) << 50;
    }
    void hazPausaCruzaLaVueltaDelContador()
    {
        QFETCH(quint32, nInicio);
        QFETCH(int, nPausa);
        quint32 nTic = nInicio;
        QList<quint32> lecturas;
        TUtilerias u(nullptr, [&] {
            lecturas << nTic;
            const quint32 n = nTic;
            nTic += 7; // each round of events takes 7 ms
            return n;
        });
        u.HazPausa(nPausa);
        QVERIFY(lecturas.size() >= 2);
        const quint32 nUltima = quint32(lecturas.last() - nInicio);
        const quint32 nPenultima = quint32(lecturas[lecturas.size() - 2] - nInicio);
        QVERIFY2(nUltima >= quint32(nPausa), "ended early");
        QVERIFY2(nPenultima < quint32(nPausa), "went on too long");
    }

    void hazPausaServeEventosAlMenosUnaVez_data()
    {
        QTest::addColumn<int>("nPausa");
        QTest::newRow("cero") << 0;
        QTest::newRow("negativa") << -5;
        QTest::newRow("real, 120 ms") << 120;
    }
    void hazPausaServeEventosAlMenosUnaVez()
    {
        QFETCH(int, nPausa);
        TUtilerias u;
        bool bServido = false;
        QTimer::singleShot(0, this, [&] { bServido = true; });
        QElapsedTimer reloj;
        reloj.start();
        u.HazPausa(nPausa);
        QVERIFY(bServido);
        // The tick counter counts whole milliseconds: a pause may end within the last one.
        QVERIFY(reloj.nsecsElapsed() > (std::max(nPausa, 0) - 1) * 1000000LL);
        QVERIFY(reloj.elapsed() < std::max(nPausa, 0) + 1000);
    }

    void stringToPAnsiChar_data()
    {
        QTest::addColumn<QString>("sTexto");
        QTest::addColumn<QByteArray>("Esperado");
        QTest::addColumn<bool>("bFalla");
        QTest::newRow("abc") << "abc" << QByteArray("abc") << false;
        QTest::newRow("vacío") << "" << QByteArray() << false;
        QTest::newRow("acentos y euro") << QString::fromUtf8("Año €") << QByteArray("A\xF1o \x80") << false;
        QTest::newRow("fuera de la página de códigos") << QString::fromUtf8("Ω") << QByteArray() << true;
        QTest::newRow("ideograma en medio") << QString::fromUtf8("a中b") << QByteArray() << true;
        QTest::newRow("nulo incrustado") << QString("a") + QChar(0) + "b" << QByteArray() << true;
    }
    void stringToPAnsiChar()
    {
        QFETCH(QString, sTexto);
        QFETCH(QByteArray, Esperado);
        QFETCH(bool, bFalla);
        TUtilerias u;
        if (bFalla) {
            try {
                u.StringToPAnsiChar(sTexto);
                QFAIL("no error raised");
            } catch (const std::runtime_error& e) {
                QCOMPARE(QString::fromUtf8(e.what()),
                         QString::fromUtf8("Falló la conversión String a PAnsiChar"));
            }
            return;
        }
        const QByteArray r = u.StringToPAnsiChar(sTexto);
        QCOMPARE(r, Esperado);
        QCOMPARE(r.constData()[r.size()], '\0'); // null-terminated
    }

    // Cursor and button are restored whether the work returns or throws; the error goes on.
    void procesayEsperaRestaura_data()
    {
        QTest::addColumn<bool>("bConBoton");
        QTest::addColumn<bool>("bFalla");
        QTest::newRow("sin botón") << false << false;
        QTest::newRow("sin botón, error") << false << true;
        QTest::newRow("con botón") << true << false;
        QTest::newRow("con botón, error") << true << true;
    }
    void procesayEsperaRestaura()
    {
        QFETCH(bool, bConBoton);
        QFETCH(bool, bFalla);
        TUtilerias u;
        QPushButton boton;
        bool bServido = false;
        QTimer::singleShot(0, this, [&] { bServido = true; });
        bool bEsperaDentro = false, bBotonDentro = true, bServidoAntes = false;
        auto proc = std::make_shared<std::function<void()>>([&] {
            bEsperaDentro = cursorDeEspera();
            bBotonDentro = boton.isEnabled();
            bServidoAntes = bServido;
            if (bFalla)
                throw std::runtime_error("falla");
        });
        bool bLlego = false;
        try {
            if (bConBoton)
                u.ProcesayEspera(proc, &boton);
            else
                u.ProcesayEspera(proc);
        } catch (const std::runtime_error& e) {
            bLlego = QByteArray(e.what()) == "falla";
        }
        QCOMPARE(bLlego, bFalla);
        QVERIFY(bEsperaDentro);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(boton.isEnabled());
        if (bConBoton) {
            QVERIFY(!bBotonDentro);
            QVERIFY2(bServidoAntes, "pending events were not served before the work");
        }
        QApplication::processEvents();
    }

    void muestraFormPreparaYEjecuta()
    {
        TUtilerias u;
        auto v = std::make_shared<TVentanaPrueba>();
        u.MuestraForm(v);
        QCOMPARE(v->Llamadas, (QStringList{"Prepara/espera", "Ejecuta/espera"}));
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestUtilerias)
#include "TestUtilerias.moc"
