// Files of the writer read back by our own reader (db/jet): every type with its exact value,
// also what the independent readers cannot show (empty against NULL, dates before 1899, text
// outside the Basic Multilingual Plane), with password and page encryption, a large table and
// the sample database.
#include "db/jet/BaseDatosMdb.h"
#include "tools/mdbgen/EscritorMdb.h"
#include "tools/mdbgen/MuestraTavoro.h"

#include <QTest>
#include <QUuid>

namespace {

using T = TTipoColumnaMdb;

jet::TNumerico numerico(bool bNegativo, uint64_t nBajo, uint8_t nEscala, uint64_t nAlto = 0)
{
    jet::TNumerico N;
    N.bNegativo = bNegativo;
    N.nBajo = nBajo;
    N.nAlto = nAlto;
    N.nEscala = nEscala;
    N.nPrecision = 28;
    return N;
}

QString describe(const jet::TValor& v)
{
    return std::visit(
        [](const auto& x) -> QString {
            using X = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<X, std::monostate>)
                return QStringLiteral("NULL");
            else if constexpr (std::is_same_v<X, bool>)
                return x ? "true" : "false";
            else if constexpr (std::is_same_v<X, int64_t>)
                return QString::number(x);
            else if constexpr (std::is_same_v<X, double>)
                return QString::number(x, 'g', 17);
            else if constexpr (std::is_same_v<X, jet::TMoneda>)
                return x.Texto();
            else if constexpr (std::is_same_v<X, jet::TFechaJet>)
                return QString::number(x.dDias, 'g', 17);
            else if constexpr (std::is_same_v<X, QString>)
                return '"' + x.left(60) + '"';
            else if constexpr (std::is_same_v<X, QByteArray>)
                return "0x" + QString::fromLatin1(x.left(30).toHex());
            else if constexpr (std::is_same_v<X, QUuid>)
                return x.toString();
            else
                return x.Texto();
        },
        v);
}

// Precision is the column's, not part of the value.
bool iguales(jet::TValor a, jet::TValor b)
{
    if (auto* p = std::get_if<jet::TNumerico>(&a))
        p->nPrecision = 0;
    if (auto* p = std::get_if<jet::TNumerico>(&b))
        p->nPrecision = 0;
    return a == b;
}

} // namespace

class TestIdaYVueltaMdb : public QObject
{
    Q_OBJECT

private slots:
    void todosLosTipos_data()
    {
        QTest::addColumn<QString>("sPassword");
        QTest::addColumn<uint>("nClave");
        QTest::newRow("sin contraseña") << QString() << 0u;
        QTest::newRow("contraseña") << QStringLiteral("plovik") << 0u;
        QTest::newRow("páginas cifradas") << QString::fromUtf8("Ñandú€") << 0xDEADBEEFu;
    }
    void todosLosTipos()
    {
        QFETCH(QString, sPassword);
        QFETCH(uint, nClave);
        const QDateTime dtCreacion(QDate(2015, 11, 23), QTime(10, 17, 42));
        TEscritorMdb E({.sPassword = sPassword, .dtCreacion = dtCreacion, .nClavePaginas = nClave});
        TColumnaMdb SinCompresion{"Ucs2", T::Texto, 20};
        SinCompresion.bCompresion = false;
        TColumnaMdb Decimal{"Decimal", T::Numerico};
        Decimal.nPrecision = 28;
        Decimal.nEscala = 6;
        const std::vector<TColumnaMdb> Cols = {{"SiNo", T::SiNo},
                                               {"Byte", T::Byte},
                                               {"Entero", T::Entero},
                                               {"Largo", T::EnteroLargo},
                                               {"Moneda", T::Moneda},
                                               {"Simple", T::Simple},
                                               {"Doble", T::Doble},
                                               {"Fecha", T::FechaHora},
                                               {"Texto", T::Texto, 100},
                                               SinCompresion,
                                               {"Binario", T::Binario, 8},
                                               {"Memo", T::Memo},
                                               {"Ole", T::Ole},
                                               {"Guid", T::Guid},
                                               Decimal};
        const int t = E.AgregaTabla({"Tipos", Cols});
        QVERIFY2(t >= 0, qPrintable(E.Error()));
        QVERIFY(E.AgregaTabla({"Vacía", {{"Id", T::EnteroLargo}}}) >= 0);

        QByteArray Ole(9000, '\0');
        for (int i = 0; i < Ole.size(); ++i)
            Ole[i] = char(i * 31);
        const QString sMemoLargo = QString::fromUtf8("Línea de memo ").repeated(700); // chained, compressed
        const QString sMemoUcs2 = QString::fromUtf8("漢字😀").repeated(1500);          // chained, UCS-2
        const QUuid Guid("{0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0}");
        struct TFila
        {
            QVariantList Entrada;
            std::vector<jet::TValor> Esperado;
        };
        const std::vector<TFila> Filas = {
            {{true, 255, -32768, 2147483647, "922337203685477.5807", 3.5, 1.0 / 3.0,
              QDateTime(QDate(2018, 12, 31), QTime(23, 59, 59)), QString::fromUtf8("Ñandú ápice €uro 漢字 😀"),
              "abc", QByteArray::fromHex("00ff00"), "Memo corto", QByteArray("OLE"), Guid,
              "-1234567890123456789012.345678"},
             {true, int64_t(255), int64_t(-32768), int64_t(2147483647), jet::TMoneda{INT64_MAX}, 3.5,
              1.0 / 3.0, jet::TFechaJet{43465 + 86399.0 / 86400.0},
              QString::fromUtf8("Ñandú ápice €uro 漢字 😀"), QStringLiteral("abc"),
              QByteArray::fromHex("00ff00"), QStringLiteral("Memo corto"), QByteArray("OLE"), Guid,
              numerico(true, 0x6D797A91BE38F34Eull, 6, 0x3FD35EBull)}},
            {{}, {false, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}}},
            {{false, 0, 32767, -2147483647 - 1, "-922337203685477.5808", -0.15625, -1.5e300,
              QDateTime(QDate(1899, 12, 29), QTime(6, 0)), "", "", QByteArray(""), "", QByteArray(""),
              QUuid("{00000000-0000-0000-0000-000000000001}"), "0"},
             {false, int64_t(0), int64_t(32767), int64_t(-2147483647 - 1), jet::TMoneda{INT64_MIN}, -0.15625,
              -1.5e300, jet::TFechaJet{-1.25}, QString(""), QString(""), QByteArray(""), QString(""),
              QByteArray(""), QUuid("{00000000-0000-0000-0000-000000000001}"), numerico(false, 0, 6)}},
            {{true, 7, -1, -1, 12.5, 1e-10, 6.02214076e23, QDateTime(QDate(1850, 6, 15), QTime(18, 0)),
              QString::fromUtf8("\xEF\xBB\xBF") + "BOM", "ab", QByteArray(8, '\xAA'), sMemoLargo, Ole, Guid,
              1.5},
             {true, int64_t(7), int64_t(-1), int64_t(-1), jet::TMoneda{125000}, double(1e-10f), 6.02214076e23,
              jet::TFechaJet{-18095.75}, QString::fromUtf8("\xEF\xBB\xBF") + "BOM", QStringLiteral("ab"),
              QByteArray(8, '\xAA'), sMemoLargo, Ole, Guid, numerico(false, 1500000, 6)}},
            {{false, 1, 2, 3, 4, 5.25, 6.5, QDate(2000, 2, 29), QString(100, u'ñ'), QString(20, u'€'),
              QByteArray(1, 'x'), sMemoUcs2, Ole.left(4000), Guid, 7},
             {false, int64_t(1), int64_t(2), int64_t(3), jet::TMoneda{40000}, 5.25, 6.5,
              jet::TFechaJet{36585}, QString(100, u'ñ'), QString(20, u'€'), QByteArray(1, 'x'), sMemoUcs2,
              Ole.left(4000), Guid, numerico(false, 7000000, 6)}},
        };
        for (const TFila& F : Filas)
            QVERIFY2(E.AgregaFila(t, F.Entrada), qPrintable(E.Error()));

        QString sError;
        auto pBD = jet::TBaseDatosMdb::AbreMemoria(E.DameBytes(), &sError);
        QVERIFY2(pBD, qPrintable(sError));
        QCOMPARE(pBD->VersionJet(), 4);
        QCOMPARE(pBD->Contrasena(), sPassword.isNull() ? QString() : sPassword);
        QCOMPARE(pBD->FechaCreacion(), DiaAccess(dtCreacion));
        QCOMPARE(pBD->ClaveCifrado(), nClave);
        QCOMPARE(pBD->Tablas(), (QStringList{"Tipos", QString::fromUtf8("Vacía")}));
        for (const char* s : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"})
            QVERIFY2(pBD->TodasLasTablas().contains(s), s);

        jet::TDefinicionTabla Def;
        QVERIFY2(pBD->DefinicionTabla("tipos", Def, &sError), qPrintable(sError));
        QCOMPARE(Def.nFilas, int64_t(Filas.size()));
        QCOMPARE(Def.Columnas.size(), Cols.size());
        for (std::size_t c = 0; c < Cols.size(); ++c) {
            const jet::TColumna& L = Def.Columnas[c];
            QCOMPARE(L.sNombre, Cols[c].sNombre);
            QCOMPARE(uint8_t(L.Tipo), uint8_t(Cols[c].Tipo));
            if (Cols[c].Tipo == T::Texto) {
                QCOMPARE(L.nLongitud, 2 * Cols[c].nLongitud);
                QCOMPARE(L.bCompresionUnicode, Cols[c].bCompresion);
            }
        }
        QCOMPARE(Def.Columnas[14].nPrecision, 28);
        QCOMPARE(Def.Columnas[14].nEscala, 6);

        auto pLector = pBD->AbreTabla("Tipos", &sError);
        QVERIFY2(pLector, qPrintable(sError));
        std::vector<jet::TValor> Fila;
        for (std::size_t f = 0; f < Filas.size(); ++f) {
            QVERIFY2(pLector->Siguiente(Fila), qPrintable(pLector->Error()));
            for (std::size_t c = 0; c < Cols.size(); ++c)
                QVERIFY2(
                    iguales(Fila[c], Filas[f].Esperado[c]),
                    qPrintable(QStringLiteral("fila %1, %2: %3 en vez de %4")
                                   .arg(f + 1)
                                   .arg(Cols[c].sNombre, describe(Fila[c]), describe(Filas[f].Esperado[c]))));
        }
        QVERIFY(!pLector->Siguiente(Fila));
        QVERIFY(pLector->Error().isEmpty());
        auto pVacia = pBD->AbreTabla(QString::fromUtf8("Vacía"), &sError);
        QVERIFY2(pVacia, qPrintable(sError));
        QVERIFY(!pVacia->Siguiente(Fila) && pVacia->Error().isEmpty());
    }

    // More data pages than an inline usage map covers.
    void tablaGrande()
    {
        TEscritorMdb E;
        const int t =
            E.AgregaTabla({"Grande", {{"Id", T::EnteroLargo}, {"Texto", T::Texto, 60}, {"Nota", T::Memo}}});
        constexpr int kFilas = 60000;
        for (int i = 0; i < kFilas; ++i)
            QVERIFY(E.AgregaFila(
                t, {i, QStringLiteral("Registro número %1 de la tabla grande").arg(i),
                    i % 7000 == 0 ? QVariant(QString(5000, QChar(u'a' + i % 26))) : QVariant()}));
        const QByteArray Bytes = E.DameBytes();
        QVERIFY(Bytes.size() > 700 * 4096);
        QString sError;
        auto pBD = jet::TBaseDatosMdb::AbreMemoria(Bytes, &sError);
        QVERIFY2(pBD, qPrintable(sError));
        auto pLector = pBD->AbreTabla("Grande", &sError);
        QVERIFY2(pLector, qPrintable(sError));
        std::vector<jet::TValor> Fila;
        int n = 0;
        while (pLector->Siguiente(Fila)) {
            const jet::TValor Nota =
                n % 7000 == 0 ? jet::TValor(QString(5000, QChar(u'a' + n % 26))) : jet::TValor();
            if (Fila[0] != jet::TValor(int64_t(n)) ||
                Fila[1] != jet::TValor(QStringLiteral("Registro número %1 de la tabla grande").arg(n)) ||
                Fila[2] != Nota)
                QFAIL(qPrintable(QStringLiteral("fila %1 mal leída: %2").arg(n).arg(describe(Fila[0]))));
            ++n;
        }
        QVERIFY2(pLector->Error().isEmpty(), qPrintable(pLector->Error()));
        QCOMPARE(n, kFilas);
    }

    // The sample database: every table with the rows written.
    void muestra()
    {
        auto pE = CreaBaseMuestraTavoro({.nOperaciones = 5000, .nSemilla = 3});
        QVERIFY(pE);
        QString sError;
        auto pBD = jet::TBaseDatosMdb::AbreMemoria(pE->DameBytes(), &sError);
        QVERIFY2(pBD, qPrintable(sError));
        QCOMPARE(pBD->Contrasena(), MuestraTavoro::kPassword);
        const QStringList Tablas = pBD->Tablas();
        QCOMPARE(Tablas.size(), pE->NumTablas());
        int nOperaciones = 0;
        for (int i = 0; i < Tablas.size(); ++i) {
            auto pLector = pBD->AbreTabla(Tablas[i], &sError);
            QVERIFY2(pLector, qPrintable(sError));
            std::vector<jet::TValor> Fila;
            int n = 0;
            while (pLector->Siguiente(Fila))
                ++n;
            QVERIFY2(pLector->Error().isEmpty(), qPrintable(pLector->Error()));
            QCOMPARE(n, pE->NumFilas(i));
            if (Tablas[i] == "tMovtos" || Tablas[i] == "tProces")
                nOperaciones += n;
        }
        QCOMPARE(nOperaciones, 5000);
        auto pEmps = pBD->AbreTabla("TEMPS", &sError);
        QVERIFY(pEmps);
        std::vector<jet::TValor> Emp;
        QVERIFY(pEmps->Siguiente(Emp));
        QCOMPARE(Emp[0], jet::TValor(MuestraTavoro::kUsuarioAdmin));
        QCOMPARE(Emp[2], jet::TValor(MuestraTavoro::kPasswordAdmin));
        QCOMPARE(Emp[3], jet::TValor(int64_t(0)));
    }
};

QTEST_GUILESS_MAIN(TestIdaYVueltaMdb)
#include "TestIdaYVueltaMdb.moc"
