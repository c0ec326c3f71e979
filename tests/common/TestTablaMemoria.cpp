#include "common/CodigoAnsi.h"
#include "common/TablaMemoria.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

std::unique_ptr<TTablaMemoria> tablaPEPs()
{
    using T = TTablaMemoria::TTipoCampo;
    return std::make_unique<TTablaMemoria>(QList<TTablaMemoria::TCampo>{
        {"IdPEP", T::AutoIncremento, 0},
        {"ClaveCliente", T::Texto, 20},
        {"Nombre", T::Texto, 100},
        {"EsPEP", T::Booleano, 0},
    });
}

void agrega(TTablaMemoria& t, int id, const QString& clave, bool pep)
{
    t.Agrega();
    t.SetValor("IdPEP", id);
    t.SetValor("ClaveCliente", clave);
    t.SetValor("Nombre", "N" + clave);
    t.SetValor("EsPEP", pep);
    t.Publica();
}

} // namespace

class TestTablaMemoria : public QObject
{
    Q_OBJECT
private slots:
    void recorridoCompleto()
    {
        auto t = tablaPEPs();
        t->Abre();
        t->Primero();
        QVERIFY(t->Fin());
        agrega(*t, 1, "A", false);
        agrega(*t, 2, "B", true);
        agrega(*t, 3, "C", false);
        QStringList claves;
        for (t->Primero(); !t->Fin(); t->Siguiente())
            claves << t->ValorTexto("claveCLIENTE");
        QCOMPARE(claves, (QStringList{"A", "B", "C"}));
        QCOMPARE(t->NumRegistros(), 3);
    }

    void edicionPendienteSePublicaAlMoverse()
    {
        auto t = tablaPEPs();
        t->Abre();
        agrega(*t, 1, "A", false);
        agrega(*t, 2, "B", false);
        t->IrA(1);
        t->Edita();
        t->SetValor("EsPEP", true);
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Editando);
        t->Primero(); // a reader going to the first row commits the mark
        QCOMPARE(t->Estado(), TTablaMemoria::TEstado::Navegando);
        QCOMPARE(t->ValorEn(1, 3).toBool(), true);
    }

    void cancelaDescartaElCambio()
    {
        auto t = tablaPEPs();
        t->Abre();
        agrega(*t, 1, "A", false);
        t->Edita();
        t->SetValor("EsPEP", true);
        t->Cancela();
        QCOMPARE(t->ValorBool("EsPEP"), false);
    }

    void textoCortadoAlAnchoYEnCodigoAnsi()
    {
        auto t = tablaPEPs();
        t->Abre();
        t->Agrega();
        t->SetValor("Nombre", QString(130, QChar('x')));
        t->SetValor("ClaveCliente", QString::fromUtf8("Ñ€\u4e2d"));
        t->Publica();
        QCOMPARE(t->ValorTexto("Nombre").size(), 100);
        QCOMPARE(t->ValorTexto("ClaveCliente"), QString::fromUtf8("Ñ€?"));
        // The value as set stays beside the shown one, through edits of other fields and cancels.
        QCOMPARE(t->ValorTextoOriginal("ClaveCliente"), QString::fromUtf8("Ñ€\u4e2d"));
        t->Edita();
        t->SetValor("Nombre", "y");
        t->Publica();
        t->Edita();
        t->SetValor("ClaveCliente", QString(25, QChar('k')));
        t->Cancela();
        t->Primero();
        QCOMPARE(t->ValorTextoOriginal("ClaveCliente"), QString::fromUtf8("Ñ€\u4e2d"));
        QCOMPARE(t->ValorTexto("ClaveCliente"), QString::fromUtf8("Ñ€?"));
        QCOMPARE(t->ValorTextoOriginal("Nombre"), QString("y"));
    }

    void borraTodoYSobreviveCerrarAbrir()
    {
        auto t = tablaPEPs();
        t->Abre();
        agrega(*t, 1, "A", false);
        t->Cierra();
        t->Abre();
        QCOMPARE(t->NumRegistros(), 1);
        QSignalSpy filas(t.get(), &TTablaMemoria::FilasCambiadas);
        t->BorraTodo();
        QCOMPARE(t->NumRegistros(), 0);
        QCOMPARE(filas.count(), 1);
        QVERIFY(t->Fin());
    }

    void campoDesconocidoEsError()
    {
        auto t = tablaPEPs();
        t->Abre();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, t->Valor("NoExiste"));
    }

    void codigoAnsi()
    {
        bool exacto = false;
        QCOMPARE(CodigoAnsi::DeTexto("abc", &exacto), QByteArray("abc"));
        QVERIFY(exacto);
        QCOMPARE(CodigoAnsi::DeTexto(QString::fromUtf8("áñ€"), &exacto), QByteArray("\xE1\xF1\x80"));
        QVERIFY(exacto);
        CodigoAnsi::DeTexto(QString::fromUtf8("\u0101"), &exacto);
        QVERIFY(!exacto);
        QCOMPARE(CodigoAnsi::ATexto(QByteArray("\x80\x81\xA3")), QString::fromUtf8("€\u0081£"));
    }
};

QTEST_GUILESS_MAIN(TestTablaMemoria)
#include "TestTablaMemoria.moc"
