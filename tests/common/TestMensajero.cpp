#include "common/Mensajero.h"
#include "common/Utilerias.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QtTest>

namespace {

const QColor kRojo(0xFF, 0, 0);
const QColor kGrisOscuro(0x48, 0x48, 0x48);
const QColor kAzul(0, 0, 0x80);

// Utilities whose pauses are recorded and last one round of events, so a flash of 9 x 300 ms
// runs at once; a hook sees the labels at every step.
class TUtileriasPrueba : public TUtilerias
{
public:
    void HazPausa(int nSegs) override
    {
        Pausas << nSegs;
        if (AlPausar)
            AlPausar();
        QCoreApplication::processEvents();
    }
    QList<int> Pausas;
    std::function<void()> AlPausar;
};

// A shown window with labels and edit boxes.
struct TVentana
{
    QWidget w;
    QLabel* l1 = new QLabel("Clave", &w);
    QLabel* l2 = new QLabel("Password", &w);
    QLineEdit* ed = new QLineEdit(&w);
    QLineEdit* otro = new QLineEdit(&w);
    QLabel* linea = new QLabel("x", &w);

    bool muestra()
    {
        PonColorEtiqueta(l1, kGrisOscuro);
        PonColorEtiqueta(l2, kAzul);
        l2->move(0, 20);
        ed->move(0, 40);
        otro->move(0, 70);
        linea->move(0, 100);
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            return false;
        otro->setFocus();
        return true;
    }
};

} // namespace

class TestMensajero : public QObject
{
    Q_OBJECT
private slots:
    void lineaDeMensajesYColorDeAlerta_data()
    {
        QTest::addColumn<bool>("bAntesDeAsignar");
        QTest::newRow("color escrito antes de asignar la línea") << true;
        QTest::newRow("color escrito después") << false;
    }
    void lineaDeMensajesYColorDeAlerta()
    {
        QFETCH(bool, bAntesDeAsignar);
        TVentana v;
        v.linea->hide();
        auto m = CreaMensajero(CreaUtilerias());
        QVERIFY(m->GetbDefColorAlerta());
        if (bAntesDeAsignar)
            m->SetbDefColorAlerta(false);
        m->SettxLabel(v.linea);
        QVERIFY(v.linea->text().isEmpty());
        QVERIFY(v.linea->isVisibleTo(&v.w));
        QCOMPARE(ColorEtiqueta(v.linea), bAntesDeAsignar ? QColor(0x80, 0x80, 0x80) : kRojo);
        m->SetbDefColorAlerta(false);
        QVERIFY(!m->GetbDefColorAlerta());
        QCOMPARE(ColorEtiqueta(v.linea), QColor(0x80, 0x80, 0x80));
        m->MsjEnTx("texto");
        QCOMPARE(ColorEtiqueta(v.linea), QColor(0x80, 0x80, 0x80));
        m->SetbDefColorAlerta(true);
        QCOMPARE(ColorEtiqueta(v.linea), kRojo);
    }

    void sinLineaSoloPausa()
    {
        auto u = std::make_shared<TUtileriasPrueba>();
        auto m = CreaMensajero(u);
        m->MsjEnTx("a");
        m->MsjTxTemp("b");
        m->MsjTxEspera("c", false);
        m->MsjTxEspera("d", true);
        QCOMPARE(u->Pausas, (QList<int>{400, 1000}));
    }

    void alertaParpadea_data()
    {
        QTest::addColumn<int>("nEdit"); // 0: none, 1: enabled, 2: disabled
        QTest::newRow("con cuadro de texto") << 1;
        QTest::newRow("cuadro deshabilitado") << 2;
        QTest::newRow("sin cuadro") << 0;
    }
    void alertaParpadea()
    {
        QFETCH(int, nEdit);
        TVentana v;
        QVERIFY(v.muestra());
        v.ed->setEnabled(nEdit != 2);
        auto u = std::make_shared<TUtileriasPrueba>();
        auto m = CreaMensajero(u);
        QList<QColor> colores;
        u->AlPausar = [&] { colores << ColorEtiqueta(v.l1); };

        m->CampoObligatorio(v.l1, nEdit ? v.ed : nullptr);
        QCOMPARE(QApplication::focusWidget(), nEdit == 1 ? v.ed : v.otro);
        QVERIFY2(u->Pausas.isEmpty(), "the flash runs from the event loop, not inside the call");
        QCOMPARE(ColorEtiqueta(v.l1), kGrisOscuro);

        QTRY_COMPARE(u->Pausas.size(), 9);
        QCOMPARE(u->Pausas, QList<int>(9, 300));
        QList<QColor> esperados;
        for (int i = 1; i <= 9; ++i)
            esperados << (i % 2 == 0 ? kRojo : kGrisOscuro);
        QCOMPARE(colores, esperados);
        QCOMPARE(ColorEtiqueta(v.l1), kGrisOscuro);
    }

    // A second alert raised during a pause of the first: the first label gets its own colour
    // back before the second flashes, and the rest of the first loop goes on with the second.
    void dosAlertasSeguidas()
    {
        TVentana v;
        QVERIFY(v.muestra());
        auto u = std::make_shared<TUtileriasPrueba>();
        auto m = CreaMensajero(u);
        struct TPaso
        {
            QColor c1, c2;
        };
        QList<TPaso> pasos;
        u->AlPausar = [&] {
            pasos << TPaso{ColorEtiqueta(v.l1), ColorEtiqueta(v.l2)};
            if (pasos.size() != 2)
                return;
            m->CampoObligatorio(v.l2, nullptr);
            QElapsedTimer t;
            t.start();
            while (pasos.size() == 2 && t.elapsed() < 3000) {
                QCoreApplication::processEvents();
                QThread::msleep(1);
            }
        };
        m->CampoObligatorio(v.l1, nullptr);
        QTRY_COMPARE(pasos.size(), 18);
        QCOMPARE(pasos[0].c1, kGrisOscuro);
        QCOMPARE(pasos[1].c1, kRojo);
        for (int i = 2; i < pasos.size(); ++i)
            QCOMPARE(pasos[i].c1, kGrisOscuro);
        // Nested flash (steps 1..9), then steps 3..9 of the first loop, all on the second label.
        QList<int> nPasoEsperado{1, 2, 3, 4, 5, 6, 7, 8, 9, 3, 4, 5, 6, 7, 8, 9};
        for (int i = 0; i < nPasoEsperado.size(); ++i)
            QCOMPARE(pasos[i + 2].c2, nPasoEsperado[i] % 2 == 0 ? kRojo : kAzul);
        QCOMPARE(ColorEtiqueta(v.l1), kGrisOscuro);
        QCOMPARE(ColorEtiqueta(v.l2), kAzul);
    }

    // One real countdown for three rules: a temporary message is cleared 3 s after the
    // first one; a second one 2 s later is cleared 1 s after it appeared; a permanent message
    // written during a countdown is cleared when it ends.
    void mensajesTemporales()
    {
        TVentana v;
        QVERIFY(v.muestra());
        auto mA = CreaMensajero(CreaUtilerias());
        auto mB = CreaMensajero(CreaUtilerias());
        mA->SettxLabel(v.linea);
        mB->SettxLabel(v.l2);
        QElapsedTimer t;
        t.start();
        mA->MsjTxTemp("uno");
        mB->MsjTxTemp("temporal");
        QCOMPARE(v.linea->text(), QString("uno"));
        QTest::qWait(1000);
        mB->MsjEnTx("permanente");
        QTest::qWait(int(2000 - t.elapsed()));
        const qint64 nSegundo = t.elapsed();
        mA->MsjTxTemp("dos");
        QCOMPARE(v.linea->text(), QString("dos"));
        QTest::qWait(int(2900 - t.elapsed()));
        QCOMPARE(v.linea->text(), QString("dos"));
        QCOMPARE(v.l2->text(), QString("permanente"));
        QTRY_VERIFY_WITH_TIMEOUT(v.linea->text().isEmpty() && v.l2->text().isEmpty(), 1000);
        const qint64 nFin = t.elapsed();
        QVERIFY2(nFin < 3300, qPrintable(QString::number(nFin)));
        QVERIFY(nFin - nSegundo < 1300);
    }

    void mensajeConPausa_data()
    {
        QTest::addColumn<bool>("bTLargo");
        QTest::addColumn<int>("nMs");
        QTest::newRow("corta") << false << 400;
        QTest::newRow("larga") << true << 1000;
    }
    void mensajeConPausa()
    {
        QFETCH(bool, bTLargo);
        QFETCH(int, nMs);
        TVentana v;
        QVERIFY(v.muestra());
        auto m = CreaMensajero(CreaUtilerias());
        m->SettxLabel(v.linea);
        QTest::qWait(20);
        int nPintadas = 0;
        struct TContador : QObject
        {
            int* n;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Paint)
                    ++*n;
                return false;
            }
        } contador;
        contador.n = &nPintadas;
        v.linea->installEventFilter(&contador);
        bool bTimer = false;
        QTimer::singleShot(nMs / 2, this, [&] { bTimer = true; });
        QElapsedTimer t;
        t.start();
        m->MsjTxEspera("espere", bTLargo);
        // The tick counter counts whole milliseconds: a pause may end within the last one.
        QVERIFY(t.nsecsElapsed() > (nMs - 1) * 1000000LL);
        QVERIFY(t.elapsed() < nMs + 500);
        QCOMPARE(v.linea->text(), QString("espere"));
        QVERIFY2(bTimer, "events are served during the pause");
        QVERIFY2(nPintadas > 0, "the line is painted during the pause");
        v.linea->removeEventFilter(&contador);
    }
};

QTEST_MAIN(TestMensajero)
#include "TestMensajero.moc"
