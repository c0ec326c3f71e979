#include <QTest>
class TestMuestraTavoro : public QObject { Q_OBJECT private slots: void nada() {} };
QTEST_GUILESS_MAIN(TestMuestraTavoro)
#include "TestMuestraTavoro.moc"
