#include "common/DialogosWidgets.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
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
