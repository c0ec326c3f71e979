#include "common/DialogosWidgets.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

namespace {

// Runs Accion on the message box as soon as it is up (from inside its modal loop).
void alAbrirCaja(QObject* contexto, std::function<void(QMessageBox*)> Accion)
{
    auto* t = new QTimer(contexto);
    t->setInterval(10);
    QObject::connect(t, &QTimer::timeout, contexto, [t, Accion] {
        if (auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            t->stop();
            t->deleteLater();
            Accion(caja);
        }
    });
    t->start();
}

QStringList textosBotones(QMessageBox* caja)
{
    QStringList l;
    for (auto* b : caja->buttons())
        l << b->text();
    l.sort();
    return l;
}

} // namespace

class TestDialogosWidgets : public QObject
{
    Q_OBJECT
private slots:
    void advertencia_data()
    {
        QTest::addColumn<int>("nTecla");
        QTest::addColumn<bool>("bEsperado");
        QTest::newRow("Enter es Sí") << int(Qt::Key_Return) << true;
        QTest::newRow("Escape es No") << int(Qt::Key_Escape) << false;
        QTest::newRow("clic en No") << 0 << false;
    }
    void advertencia()
    {
        QFETCH(int, nTecla);
        QFETCH(bool, bEsperado);
        TDialogosWidgets d("Cuestionario QRTZ 2019");
        QString sTitulo, sTexto, sDefecto, sEscape;
        QStringList botones;
        QMessageBox::Icon icono = QMessageBox::NoIcon;
        alAbrirCaja(this, [&](QMessageBox* caja) {
            sTitulo = caja->windowTitle();
            sTexto = caja->text();
            icono = caja->icon();
            botones = textosBotones(caja);
            sDefecto = caja->defaultButton() ? caja->defaultButton()->text() : QString();
            sEscape = caja->escapeButton() ? caja->escapeButton()->text() : QString();
            if (nTecla) {
                QTest::keyClick(caja, Qt::Key(nTecla));
                return;
            }
            for (auto* b : caja->buttons()) {
                if (b->text() == QString("&No"))
                    b->click();
            }
        });
        QCOMPARE(d.PreguntaAdvertencia("uno\r\r\ndos\r\nfin"), bEsperado);
        QCOMPARE(sTitulo, QString("Advertencia"));
        QCOMPARE(icono, QMessageBox::Warning);
        QCOMPARE(botones, (QStringList{"&No", QString::fromUtf8("&Sí")}));
        QCOMPARE(sDefecto, QString::fromUtf8("&Sí"));
        QCOMPARE(sEscape, QString("&No"));
        QCOMPARE(sTexto, QString("uno\n\ndos\nfin"));
    }

    // A text taller than the screen: the box stays within the screen's free area, title bar
    // included, its text scrolls and both buttons can be reached.
    void advertenciaLargaCabeEnPantalla()
    {
        QStringList Parrafos;
        // Taller than any screen (the Windows tests run on a 1280x1024 display).
        for (int i = 1; i <= 40; ++i)
            Parrafos
                << QString("%1.- ").arg(i) +
                       QString("Texto de una indicación que ocupa varios renglones en la caja. ").repeated(4);
        const QString sTexto = Parrafos.join("\r\r\n");
        TDialogosWidgets d("Cuestionario QRTZ 2019");
        QRect rCaja, rLibre;
        int nTitulo = 0;
        QList<QRect> rBotones;
        QString sVisto;
        int nDesplazamiento = -1;
        alAbrirCaja(this, [&](QMessageBox* caja) {
            QTest::qWait(50);
            rLibre = caja->screen()->availableGeometry();
            rCaja = caja->frameGeometry();
            // Without a window manager there is no title bar: room for one is kept all the same.
            nTitulo = std::max(0, 32 - (caja->frameGeometry().height() - caja->height()));
            for (auto* b : caja->buttons())
                rBotones << QRect(b->mapToGlobal(QPoint(0, 0)), b->size());
            auto* sa = caja->findChild<QScrollArea*>("saTexto");
            if (sa) {
                sVisto = caja->findChild<QLabel*>("qt_msgbox_label")->text();
                nDesplazamiento = sa->verticalScrollBar()->maximum();
            }
            QTest::keyClick(caja, Qt::Key_Return);
        });
        QVERIFY(d.PreguntaAdvertencia(sTexto));
        QVERIFY(rLibre.contains(rCaja));
        QVERIFY(rCaja.height() + nTitulo <= rLibre.height());
        QCOMPARE(rBotones.size(), 2);
        for (const QRect& r : rBotones)
            QVERIFY(rLibre.contains(r));
        QCOMPARE(sVisto, QString(sTexto).replace("\r\r\n", "\n\n"));
        QVERIFY(nDesplazamiento > 0);
    }

    void cajasSimples_data()
    {
        QTest::addColumn<bool>("bError");
        QTest::addColumn<int>("nIcono");
        QTest::newRow("mensaje") << false << int(QMessageBox::NoIcon);
        QTest::newRow("error del ciclo de eventos") << true << int(QMessageBox::Critical);
    }
    void cajasSimples()
    {
        QFETCH(bool, bError);
        QFETCH(int, nIcono);
        TDialogosWidgets d("Cuestionario QRTZ 2019");
        QString sTitulo, sTexto;
        QStringList botones;
        int icono = -1;
        alAbrirCaja(this, [&](QMessageBox* caja) {
            sTitulo = caja->windowTitle();
            sTexto = caja->text();
            icono = caja->icon();
            botones = textosBotones(caja);
            QTest::keyClick(caja, Qt::Key_Return);
        });
        if (bError)
            d.MuestraErrorEvento("Falló algo.");
        else
            d.MuestraMensaje("Falló algo.");
        QCOMPARE(sTitulo, QString("Cuestionario QRTZ 2019"));
        QCOMPARE(sTexto, QString::fromUtf8("Falló algo."));
        QCOMPARE(icono, nIcono);
        QCOMPARE(botones, QStringList{"OK"});
    }
};

QTEST_MAIN(TestDialogosWidgets)
#include "TestDialogosWidgets.moc"
