// Text-level checks of the Jet SQL layer: how the parser prints tricky input back as Jet SQL,
// and the SQLite text the emitter writes for the constructs where Jet and SQLite differ.

#include "MainQueTermina.h"
#include "db/componentes/ErrorBD.h"
#include "db/jet/sql/CatalogoFuncionesJet.h"
#include "db/jet/sql/EmisorSQLite.h"
#include "db/jet/sql/ErrorJet.h"
#include "db/jet/sql/FuncionesJet.h"
#include "db/jet/sql/SemanticaJet.h"
#include "db/jet/sql/SesionJetSQL.h"
#include "db/jet/sql/SintaxisJet.h"

#include <QRegularExpression>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

namespace {

class TCatalogoFijo : public ICatalogoJet
{
public:
    bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override
    {
        if (sNombre.compare(QLatin1String("t"), Qt::CaseInsensitive) != 0)
            return false;
        Esquema.sNombre = QStringLiteral("t");
        Esquema.Columnas = {
            {QStringLiteral("Id"), TTipoJet::Largo},         {QStringLiteral("Nombre"), TTipoJet::Texto},
            {QStringLiteral("Monto"), TTipoJet::Moneda},     {QStringLiteral("Fecha"), TTipoJet::Fecha},
            {QStringLiteral("Activo"), TTipoJet::Booleano},  {QStringLiteral("D"), TTipoJet::Doble},
            {QStringLiteral("Con Espacio"), TTipoJet::Texto}};
        return true;
    }
};

// Table t of the catalog above with three rows, for statements that run.
class TOrigenFijo : public IOrigenTablasJet
{
public:
    bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override
    {
        return F_Catalogo.BuscaTabla(sNombre, Esquema);
    }
    void LeeFilas(const TEsquemaTablaJet&, TCargaTablaJet& Carga) override
    {
        for (int i = 1; i <= 3; ++i) {
            Carga.Entero(i);
            Carga.Texto(QStringLiteral("k%1").arg(i));
            Carga.Moneda(i * 10000);
            Carga.Doble(43101 + i);
            Carga.Entero(i % 2 ? -1 : 0);
            Carga.Doble(i / 2.0);
            Carga.Nulo();
            Carga.FinFila();
        }
    }

private:
    TCatalogoFijo F_Catalogo;
};

// Table t whose reading stops halfway, as one long step of the engine does, until it is told to
// go on (or 10 s pass); then it gives 300 rows.
class TOrigenDetenido : public IOrigenTablasJet
{
public:
    QSemaphore Sigue;
    QSemaphore Leida;     // released once all rows are handed over
    bool bSiguio = false; // told to go on, not timed out

    bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override
    {
        return F_Catalogo.BuscaTabla(sNombre, Esquema);
    }
    void LeeFilas(const TEsquemaTablaJet&, TCargaTablaJet& Carga) override
    {
        bSiguio = Sigue.tryAcquire(1, 10000);
        for (int i = 1; i <= 300; ++i) {
            Carga.Entero(i);
            Carga.FinFila();
        }
        Leida.release();
    }

private:
    TCatalogoFijo F_Catalogo;
};

// Table t whose rows go on until its load is stopped (or Tope rows are given); Empezada is
// released once they flow.
class TOrigenSinFin : public IOrigenTablasJet
{
public:
    QSemaphore Empezada;
    std::atomic<int64_t> Tope{5000000};
    std::atomic<int64_t> Dadas{0};

    bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override
    {
        return F_Catalogo.BuscaTabla(sNombre, Esquema);
    }
    void LeeFilas(const TEsquemaTablaJet&, TCargaTablaJet& Carga) override
    {
        Dadas = 0;
        for (int64_t i = 1; i <= Tope; ++i) {
            Carga.Entero(i);
            Carga.FinFila();
            Dadas = i;
            if (i == 1000)
                Empezada.release();
        }
    }

private:
    TCatalogoFijo F_Catalogo;
};

// Operations (tMov) and clients (tCli) joined by key: keys that repeat on both sides, NULL keys,
// keys and names equal only under the JET collation (case, trailing blanks) and a key that a
// hyphen keeps apart. The operations come in another order than their clients ('e5' first), so
// that rows read in the order of tMov keep other spellings than rows read in that of tCli.
class TOrigenOperaciones : public IOrigenTablasJet
{
public:
    bool BuscaTabla(const QString& sNombre, TEsquemaTablaJet& Esquema) override
    {
        for (const auto& t : F_Tablas)
            if (t.Esquema.sNombre.compare(sNombre, Qt::CaseInsensitive) == 0) {
                Esquema = t.Esquema;
                return true;
            }
        return false;
    }
    void LeeFilas(const TEsquemaTablaJet& Esquema, TCargaTablaJet& Carga) override
    {
        for (const auto& t : F_Tablas)
            if (t.Esquema.sNombre == Esquema.sNombre)
                for (const auto& fila : t.Filas) {
                    for (const auto& v : fila)
                        Carga.Valor(v);
                    Carga.FinFila();
                }
    }

private:
    struct TTabla
    {
        TEsquemaTablaJet Esquema;
        std::vector<std::vector<TValorBD>> Filas;
    };
    static TValorBD n(int64_t v) { return TValorBD::Entero(v); }
    static TValorBD t(const char* s) { return s ? TValorBD::Texto(QString::fromUtf8(s)) : TValorBD::Nulo(); }
    const std::vector<TTabla> F_Tablas = {
        {{QStringLiteral("tCli"),
          {{QStringLiteral("IdCli"), TTipoJet::Largo},
           {QStringLiteral("CveCli"), TTipoJet::Texto},
           {QStringLiteral("Nombre"), TTipoJet::Texto},
           {QStringLiteral("Grupo"), TTipoJet::Texto},
           {QStringLiteral("Zona"), TTipoJet::Largo},
           {QStringLiteral("Emp"), TTipoJet::Largo}}},
         {{n(1), t("a1"), t("Uno"), t("Norte"), n(1), n(1)},
          {n(2), t("A1"), t("uno "), t("norte"), n(1), n(1)},
          {n(3), t("b2"), t("Dos"), t("Sur"), n(2), n(1)},
          {n(4), t(nullptr), t("Nulo"), t("Sur"), TValorBD::Nulo(), n(1)},
          {n(5), t("c3"), t("Tres"), t("NORTE"), n(3), n(1)},
          {n(6), t("b2 "), t("DOS"), t("Sur"), n(2), n(1)},
          {n(7), t("d4"), t("Sin operaciones"), t("Este"), n(4), n(1)},
          {n(8), t("c-3"), t("Guion"), t("Este"), n(5), n(1)},
          {n(9), t("e5"), t("TRES"), t("Oeste"), n(5), n(1)},
          {n(10), t("f6"), t("Último"), t("sur"), n(6), n(1)}}},
        {{QStringLiteral("tMov"),
          {{QStringLiteral("IdMov"), TTipoJet::Largo},
           {QStringLiteral("CveMov"), TTipoJet::Texto},
           {QStringLiteral("Importe"), TTipoJet::Moneda},
           {QStringLiteral("Tipo"), TTipoJet::Texto},
           {QStringLiteral("Zona"), TTipoJet::Largo}}},
         {{n(1), t("e5"), TValorBD::Moneda(100000), t("V"), n(5)},
          {n(2), t("C3"), TValorBD::Moneda(50000), t("C"), n(3)},
          {n(3), t("b2"), TValorBD::Moneda(70000), t("V"), n(2)},
          {n(4), t("B2"), TValorBD::Moneda(10000), t("C"), n(2)},
          {n(5), t(nullptr), TValorBD::Moneda(10000), t("C"), TValorBD::Nulo()},
          {n(6), t("A1"), TValorBD::Moneda(30000), t(nullptr), n(1)},
          {n(7), t("c-3"), TValorBD::Moneda(20000), t("X"), n(5)},
          {n(8), t("zz9"), TValorBD::Moneda(10000), t("C"), n(9)},
          {n(9), t("F6"), TValorBD::Moneda(40000), t("V"), n(6)}}}};
};

// The rows of a result, each value with its kind and between brackets (trailing blanks show).
QStringList filas(const TResultadoBD& r)
{
    QStringList l{r.Columnas.join(QLatin1Char('|'))};
    for (const auto& f : r.Filas) {
        QStringList valores;
        for (const auto& v : f)
            valores << QStringLiteral("%1[%2]").arg(int(v.Tipo())).arg(v.AsString());
        l << valores.join(QLatin1Char('|'));
    }
    return l;
}

// n copies of s joined by sUnion.
QString repite(const QString& s, int n, const QString& sUnion)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QString(s).replace(QLatin1String("%n"), QString::number(i));
    return l.join(sUnion);
}

QString traduce(const QString& sJet)
{
    TSintaxisJet sintaxis(sJet);
    auto q = sintaxis.Analiza();
    TCatalogoFijo catalogo;
    TSemanticaJet semantica(sJet, catalogo);
    semantica.Analiza(*q);
    TEmisorSQLite emisor(false);
    return emisor.Emite(*q).sSql;
}

} // namespace

class TestTraduccionJet : public QObject
{
    Q_OBJECT

private slots:
    void imprimeJet_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("impreso");
        QTest::newRow("corchetes") << "select [Con Espacio], [t].[Nombre], t!Id from [t]"
                                   << "SELECT [Con Espacio], t.Nombre, t.Id FROM t";
        QTest::newRow("palabra-reservada") << "SELECT [Select], [Order] AS [Group] FROM t"
                                           << "SELECT [Select], [Order] AS [Group] FROM t";
        QTest::newRow("cadenas") << "SELECT 'O''Brien', \"di \"\"hola\"\"\" FROM t"
                                 << "SELECT 'O''Brien', 'di \"hola\"' FROM t";
        QTest::newRow("fecha-y-numeros") << "SELECT #12/31/2018 15:00#, .5, -3, 1E5 FROM t"
                                         << "SELECT #12/31/2018 15:00#, .5, -3, 1E5 FROM t";
        QTest::newRow("precedencia") << "SELECT a + b * c, (a + b) * c, NOT a = b AND c OR d, -x ^ 2 FROM t"
                                     << "SELECT a + b * c, (a + b) * c, NOT a = b AND c OR d, -x ^ 2 FROM t";
        QTest::newRow("predicados")
            << "SELECT * FROM t WHERE a NOT BETWEEN 1 AND 2 AND b NOT IN (1, 2) AND c "
               "IS NOT NULL AND d NOT LIKE 'x%'"
            << "SELECT * FROM t WHERE a NOT BETWEEN 1 AND 2 AND b NOT IN (1, 2) AND c IS NOT "
               "NULL AND d NOT LIKE 'x%'";
        QTest::newRow("joins-anidados")
            << "SELECT * FROM ( a AS C INNER JOIN b AS E ON C.x = E.x) LEFT OUTER JOIN c ON E.y = c.y"
            << "SELECT * FROM (a AS C INNER JOIN b AS E ON C.x = E.x) LEFT JOIN c ON E.y = c.y";
        QTest::newRow("top-union-orden") << "SELECT DISTINCT TOP 5 PERCENT x FROM (SELECT x FROM a) WHERE x "
                                            "> 0 GROUP BY x HAVING COUNT(*) > 1 "
                                            "UNION ALL SELECT y FROM b ORDER BY 1 DESC"
                                         << "SELECT DISTINCT TOP 5 PERCENT x FROM (SELECT x FROM a) WHERE x "
                                            "> 0 GROUP BY x HAVING COUNT(*) > 1 "
                                            "UNION ALL SELECT y FROM b ORDER BY 1 DESC";
        QTest::newRow("subconsultas") << "SELECT (SELECT TOP 1 (x) FROM a), EXISTS (SELECT * FROM b) FROM t"
                                      << "SELECT (SELECT TOP 1 (x) FROM a), EXISTS (SELECT * FROM b) FROM t";
    }

    // The printed text reads back to the same tree.
    void imprimeJet()
    {
        QFETCH(QString, jet);
        QFETCH(QString, impreso);
        const QString texto = TSintaxisJet(jet).Analiza()->Texto();
        QCOMPARE(texto, impreso);
        QCOMPARE(TSintaxisJet(texto).Analiza()->Texto(), texto);
    }

    void traduccion_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("corchetes-y-fecha")
            << "SELECT [Con Espacio] FROM [t] WHERE Fecha >= #01/01/2018#"
            << "SELECT \"t\".\"Con Espacio\" AS \"Con Espacio\", \"t\".rowid AS \"_o1\" FROM \"t\" WHERE "
               "(\"t\".\"Fecha\" >= 43101.0) ORDER BY \"_o1\"";
        QTest::newRow("iif-ampersand-mas") << "SELECT IIF(Activo, Nombre & Id, Nombre + 'x') AS A FROM t"
                                           << "SELECT (CASE WHEN (\"t\".\"Activo\" <> 0) THEN "
                                              "jet_concat(\"t\".\"Nombre\", jet_cstr(\"t\".\"Id\", "
                                              "'i')) ELSE (\"t\".\"Nombre\" || 'x') END) COLLATE JET AS "
                                              "\"A\", \"t\".rowid AS \"_o1\" FROM \"t\" "
                                              "ORDER BY \"_o1\"";
        QTest::newRow("comparacion-texto-y-booleano")
            << "SELECT Id FROM t WHERE Nombre = 'a' AND Activo = True"
            << "SELECT \"t\".\"Id\" AS \"Id\", \"t\".rowid AS \"_o1\" FROM \"t\" WHERE ((\"t\".\"Nombre\" = "
               "'a' "
               "COLLATE JET) AND (\"t\".\"Activo\" = -1)) ORDER BY \"_o1\"";
        QTest::newRow("condicion-como-valor") << "SELECT ISNULL(Nombre) AS N, (Id > 1) AS M FROM t"
                                              << "SELECT (-((\"t\".\"Nombre\" IS NULL))) AS \"N\", "
                                                 "(-((\"t\".\"Id\" > 1))) AS \"M\", \"t\".rowid AS "
                                                 "\"_o1\" FROM \"t\" ORDER BY \"_o1\"";
        QTest::newRow("top-con-empates") << "SELECT TOP 2 Nombre FROM t ORDER BY Monto DESC"
                                         << "SELECT \"Nombre\", \"_k1\" AS \"_o1\" FROM (SELECT "
                                            "\"t\".\"Nombre\" AS \"Nombre\", \"t\".\"Monto\" "
                                            "AS \"_k1\", RANK() OVER (ORDER BY \"t\".\"Monto\" DESC) AS "
                                            "\"_rk\", COUNT(*) OVER () AS \"_n\" FROM "
                                            "\"t\") WHERE \"_rk\" <= 2 ORDER BY \"_o1\" DESC";
        QTest::newRow("str-y-round") << "SELECT STR(Monto), ROUND(D, 2), ROUND(Monto, 2) FROM t"
                                     << "SELECT jet_str(\"t\".\"Monto\", 'c') COLLATE JET AS \"Expr1000\", "
                                        "jet_round(\"t\".\"D\", 2, 'd') AS "
                                        "\"Expr1001\", jet_round(\"t\".\"Monto\", 2, 'c') AS \"Expr1002\", "
                                        "\"t\".rowid AS \"_o1\" FROM \"t\" "
                                        "ORDER BY \"_o1\"";
        QTest::newRow("like") << "SELECT Id FROM t WHERE Nombre LIKE '[a-c]%' AND Id & '' NOT LIKE '1_'"
                              << "SELECT \"t\".\"Id\" AS \"Id\", \"t\".rowid AS \"_o1\" FROM \"t\" WHERE "
                                 "(jet_like(\"t\".\"Nombre\", "
                                 "'[a-c]%') AND (NOT jet_like(jet_concat(jet_cstr(\"t\".\"Id\", 'i'), ''), "
                                 "'1_'))) ORDER BY \"_o1\"";
        QTest::newRow("union-numero-texto") << "SELECT Id AS X FROM t UNION ALL SELECT 'z' FROM t"
                                            << "SELECT \"X\", 0 AS \"_o1\", \"_r\".\"_o1\" AS \"_o2\" FROM "
                                               "(SELECT jet_cstr(\"t\".\"Id\", 'i') "
                                               "COLLATE JET AS \"X\", \"t\".rowid AS \"_o1\" FROM \"t\") AS "
                                               "\"_r\" UNION ALL SELECT \"X\", 1 AS "
                                               "\"_o1\", \"_r\".\"_o1\" AS \"_o2\" FROM (SELECT 'z' COLLATE "
                                               "JET AS \"X\", \"t\".rowid AS \"_o1\" FROM "
                                               "\"t\") AS \"_r\" ORDER BY \"_o1\", \"_o2\"";
        QTest::newRow("grupo-de-texto")
            << "SELECT Nombre, COUNT(*) FROM t GROUP BY Nombre"
            << "SELECT jet_first(\"t\".\"Nombre\") COLLATE JET AS \"Nombre\", count(*) AS \"Expr1000\", "
               "jet_first(\"t\".\"Nombre\") AS \"_o1\" FROM \"t\" GROUP BY \"t\".\"Nombre\" COLLATE JET "
               "ORDER BY "
               "\"_o1\" COLLATE JET";
        QTest::newRow("moneda-y-enteros")
            << "SELECT Monto * Id, Monto + 1, Monto * D FROM t WHERE Monto > 2"
            << "SELECT (\"t\".\"Monto\" * \"t\".\"Id\") AS \"Expr1000\", (\"t\".\"Monto\" + (1 * 10000)) AS "
               "\"Expr1001\", ((\"t\".\"Monto\" / 10000.0) * \"t\".\"D\") AS \"Expr1002\", \"t\".rowid AS "
               "\"_o1\" "
               "FROM \"t\" WHERE (\"t\".\"Monto\" > (2 * 10000)) ORDER BY \"_o1\"";
        QTest::newRow("subconsulta-escalar") << "SELECT (SELECT TOP 1 Nombre FROM t) AS N FROM t"
                                             << "SELECT (SELECT jet_single(\"Nombre\") FROM (SELECT "
                                                "\"t\".\"Nombre\" AS \"Nombre\" FROM \"t\" ORDER BY "
                                                "\"t\".rowid LIMIT 1)) COLLATE JET AS \"N\", \"t\".rowid AS "
                                                "\"_o1\" FROM \"t\" ORDER BY \"_o1\"";
        // Chains of one precedence are written flat, as SQLite reads them from left to right.
        QTest::newRow("cadena-plana")
            << "SELECT Id + Id - Id, D * D / D, Nombre & Id & 'x' FROM t WHERE Id = 1"
            << "SELECT (\"t\".\"Id\" + \"t\".\"Id\" - \"t\".\"Id\") AS \"Expr1000\", jet_div((\"t\".\"D\" * "
               "\"t\".\"D\"), \"t\".\"D\") AS \"Expr1001\", jet_concat(\"t\".\"Nombre\", "
               "jet_cstr(\"t\".\"Id\", "
               "'i'), 'x') COLLATE JET AS \"Expr1002\", \"t\".rowid AS \"_o1\" FROM \"t\" WHERE "
               "(\"t\".\"Id\" = 1) "
               "ORDER BY \"_o1\"";
        QTest::newRow("igualdades-en-lista")
            << "SELECT Id FROM t WHERE Nombre = 'a' OR Nombre = 'b' OR t.Nombre = 'c'"
            << "SELECT \"t\".\"Id\" AS \"Id\", \"t\".rowid AS \"_o1\" FROM \"t\" WHERE (\"t\".\"Nombre\" "
               "COLLATE JET IN ('a', 'b', 'c')) ORDER BY \"_o1\"";
        QTest::newRow("menos-de-negativo") << "SELECT -(-1), -#1/1/100# FROM t WHERE Id = 1"
                                           << "SELECT (- -1) AS \"Expr1000\", (- -657434.0) AS \"Expr1001\", "
                                              "\"t\".rowid AS \"_o1\" FROM \"t\" "
                                              "WHERE (\"t\".\"Id\" = 1) ORDER BY \"_o1\"";
        QTest::newRow("top-en-union")
            << "SELECT TOP 1 Id FROM t UNION SELECT Id FROM t"
            << "SELECT * FROM (SELECT \"t\".\"Id\" AS \"Id\" FROM \"t\" ORDER BY \"t\".rowid LIMIT 1) UNION "
               "SELECT \"t\".\"Id\" AS \"Id\" FROM \"t\" ORDER BY \"Id\"";
    }

    void traduccion()
    {
        QFETCH(QString, jet);
        QFETCH(QString, sqlite);
        QCOMPARE(traduce(jet), sqlite);
    }

    // A DISTINCT that reads only one side of a join runs as a semi-join (EXISTS over a kept table
    // of the other side's keys): the same rows in the same order as the join, spellings kept by
    // DISTINCT and First included. What it must not touch is written as before.
    void semirreunion_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<bool>("semirreunion");
        // As the questionnaire writes them, the operations of a period and the clients of one
        // company: SQLite runs their join with the clients outside, the order the semi-join keeps.
        const QString o = QStringLiteral("(SELECT * FROM tMov WHERE Importe >= 1 AND Importe <= 100) AS o");
        const QString c = QStringLiteral("(SELECT * FROM tCli WHERE Emp = 1) AS c");
        const QString coma = "(SELECT * FROM " + o + ", " + c + " WHERE o.CveMov = c.CveCli)";
        QTest::newRow("coma") << "SELECT DISTINCT Nombre FROM " + coma << true;
        QTest::newRow("clave-y-nombre") << "SELECT DISTINCT CveCli, Nombre FROM " + coma << true;
        QTest::newRow("inner-join") << "SELECT DISTINCT CveCli, Grupo FROM (SELECT c.*, o.Importe FROM " + o +
                                           " INNER JOIN " + c + " ON o.CveMov = c.CveCli)"
                                    << true;
        QTest::newRow("leida-primero")
            << "SELECT DISTINCT Nombre FROM (SELECT * FROM " + c + ", " + o + " WHERE c.CveCli = o.CveMov)"
            << true;
        QTest::newRow("tabla-sondeada")
            << "SELECT DISTINCT Nombre FROM (SELECT * FROM tMov AS o, " + c + " WHERE o.CveMov = c.CveCli)"
            << true;
        const QString cadaLado = "(SELECT c.Grupo, c.Nombre FROM " + o + ", " + c +
                                 " WHERE o.CveMov = c.CveCli AND o.Importe > 2 AND c.Nombre <> 'dos' AND "
                                 "NOT o.Tipo IS NULL)";
        QTest::newRow("condiciones-de-cada-lado")
            << "SELECT DISTINCT Grupo FROM " + cadaLado + " WHERE Grupo <> 'Este'" << true;
        QTest::newRow("on-y-where") << "SELECT DISTINCT Nombre FROM (SELECT c.Nombre FROM " + o +
                                           " INNER JOIN " + c +
                                           " ON c.CveCli = o.CveMov WHERE (o.Tipo = 'c' OR o.Tipo = 'V') AND "
                                           "c.IdCli > 1)"
                                    << true;
        QTest::newRow("dos-igualdades") << "SELECT DISTINCT Nombre FROM (SELECT * FROM " + o + ", " + c +
                                               " WHERE o.CveMov = c.CveCli AND c.Zona = o.Zona)"
                                        << true;
        QTest::newRow("clave-numerica") << "SELECT DISTINCT Nombre, Grupo FROM (SELECT * FROM " + o +
                                               " INNER JOIN " + c + " ON o.Zona = c.Zona)"
                                        << true;
        QTest::newRow("where-de-la-leida")
            << "SELECT DISTINCT Nombre FROM " + coma + " WHERE CveCli <> 'B2'" << true;
        QTest::newRow("orden-descendente")
            << "SELECT DISTINCT Nombre FROM " + coma + " ORDER BY Nombre DESC" << true;
        QTest::newRow("guardada-y-first") << "SELECT Grupo, FIRST(Nombre) AS N, COUNT(*) AS C FROM (SELECT "
                                             "DISTINCT Grupo, Nombre FROM " +
                                                 coma + ") GROUP BY Grupo"
                                          << true;
        QTest::newRow("columna-de-la-otra") << "SELECT DISTINCT Nombre, Tipo FROM " + coma << false;
        QTest::newRow("where-de-la-otra")
            << "SELECT DISTINCT Nombre FROM " + coma + " WHERE Importe > 2" << false;
        QTest::newRow("left-join") << "SELECT DISTINCT Nombre FROM (SELECT c.Nombre, o.IdMov FROM " + c +
                                          " LEFT JOIN " + o + " ON c.CveCli = o.CveMov)"
                                   << false;
        QTest::newRow("top") << "SELECT DISTINCT TOP 3 Nombre FROM " + coma << false;
        QTest::newRow("agrupada") << "SELECT DISTINCT Grupo, COUNT(*) FROM " + coma + " GROUP BY Grupo"
                                  << false;
        QTest::newRow("condicion-mixta") << "SELECT DISTINCT Nombre FROM (SELECT * FROM " + o + ", " + c +
                                                " WHERE o.CveMov = c.CveCli AND o.Zona <> c.Zona)"
                                         << false;
        QTest::newRow("funcion-en-la-igualdad") << "SELECT DISTINCT Nombre FROM (SELECT * FROM " + o + ", " +
                                                       c + " WHERE UCASE(o.CveMov) = c.CveCli)"
                                                << false;
        QTest::newRow("union-usada-dos-veces")
            << "SELECT DISTINCT Nombre FROM " + coma + " UNION ALL SELECT DISTINCT Grupo FROM " + coma
            << false;
    }

    void semirreunion()
    {
        QFETCH(QString, jet);
        QFETCH(bool, semirreunion);
        TOrigenOperaciones origenCon, origenSin;
        TSesionJetSQL con(origenCon), sin(origenSin);
        sin.SetSemirreuniones(false);
        try {
            const QString sql = con.Traduce(jet);
            QCOMPARE(sql.contains(QLatin1String("EXISTS (SELECT 1 FROM")), semirreunion);
            QVERIFY(!sin.Traduce(jet).contains(QLatin1String("EXISTS")));
            QCOMPARE(filas(con.Consulta(jet)), filas(sin.Consulta(jet)));
            if (!semirreunion)
                return;
            // The probe looks the keys up in their index, not by reading them all for every row.
            QStringList plan;
            for (const QString& sentencia : sql.split(QStringLiteral(";\n")))
                if (!sentencia.startsWith(QLatin1String("CREATE")))
                    plan << con.Plan(sentencia.endsWith(QLatin1Char(';')) ? sentencia.chopped(1) : sentencia);
            static const QRegularExpression sondeo(
                QStringLiteral("SEARCH \\S+ USING COVERING INDEX _m_\\w+_i "));
            QVERIFY2(plan.join(QLatin1Char('\n')).contains(sondeo), qPrintable(plan.join(QLatin1Char('\n'))));
        } catch (const TErrorJet& e) {
            QFAIL(qPrintable(e.Mensaje() + QLatin1String(" / ") + e.Detalle()));
        }
    }

    // The conversions behind Str, CStr, Round and LIKE, on values the SQL files cannot write.
    void conversiones_data()
    {
        QTest::addColumn<QString>("obtenido");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("cstr-15-digitos") << TextoNumeroJet(0.1 + 0.2) << "0.3";
        QTest::newRow("cstr-exponente") << TextoNumeroJet(1e20) << "1E+20";
        QTest::newRow("cstr-separador") << TextoNumeroJet(1234.5, 15, QLatin1Char(',')) << "1234,5";
        QTest::newRow("cstr-simple") << TextoNumeroJet(double(float(0.1)), 7) << "0.1";
        QTest::newRow("moneda") << TextoMonedaJet(-2500) << "-0.25";
        QTest::newRow("str-negativo") << StrJet(TextoNumeroJet(-0.25)) << "-.25";
        QTest::newRow("round-2-5") << TextoNumeroJet(RedondeaJet(2.5, 0)) << "2";
        QTest::newRow("round-moneda-abajo") << TextoMonedaJet(RedondeaMonedaJet(21250, 2)) << "2.12";
        QTest::newRow("round-moneda-negativa") << TextoMonedaJet(RedondeaMonedaJet(-21350, 2)) << "-2.14";
    }

    void conversiones()
    {
        QFETCH(QString, obtenido);
        QFETCH(QString, esperado);
        QCOMPARE(obtenido, esperado);
    }

    void colacion_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("signo");
        QTest::newRow("mayusculas") << "Peso"
                                    << "PESO" << 0;
        QTest::newRow("blancos-finales") << "A Bad One  "
                                         << "A Bad One" << 0;
        QTest::newRow("acento-distinto") << "e"
                                         << "é" << -1;
        QTest::newRow("acento-junto-a-su-letra") << "é"
                                                 << "f" << -1;
        QTest::newRow("enie-mayuscula") << "ÑANDU"
                                        << "ñandu" << 0;
        QTest::newRow("blanco-inicial-cuenta") << " a"
                                               << "a" << -1;
    }

    void colacion()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, signo);
        const int r = ComparaTextoJet(a, b);
        QCOMPARE(r < 0 ? -1 : r > 0 ? 1 : 0, signo);
        const int inversa = ComparaTextoJet(b, a);
        QCOMPARE(inversa < 0 ? -1 : inversa > 0 ? 1 : 0, -signo);
    }

    void like_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("patron");
        QTest::addColumn<bool>("coincide");
        QTest::newRow("unicode-mayusculas") << "ÁRBOL"
                                            << "árbol" << true;
        QTest::newRow("clase-con-guion-final") << "-"
                                               << "[a-]" << true;
        QTest::newRow("corchete-literal") << "["
                                          << "[[]" << true;
        QTest::newRow("varios-porcientos") << "abcabc"
                                           << "%b%c" << true;
        QTest::newRow("retroceso") << "aaab"
                                   << "%aab" << true;
        QTest::newRow("sin-comodines-exacto") << "ab "
                                              << "ab" << false;
    }

    void like()
    {
        QFETCH(QString, valor);
        QFETCH(QString, patron);
        QFETCH(bool, coincide);
        QCOMPARE(ComoJet(valor, patron), coincide);
    }

    // Long chains and deep nesting on the stack a Windows thread gets by default (1 MB): long
    // chains run, too deep is refused with a message, and nothing (parser, semantic pass,
    // emitter, printing, destructors) runs out of stack. "=" the first value, "!" the error.
    void pilaDeUnMega_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("esperado");
        const QString complejaExpr = QStringLiteral("!Expresión demasiado compleja.");
        const QString complejaConsulta = QStringLiteral("!Consulta demasiado compleja.");
        QTest::newRow("2000-igualdades-or")
            << "SELECT COUNT(*) FROM t WHERE " + repite("Nombre = 'K%n'", 2000, " or ") << "=3";
        QTest::newRow("2000-condiciones-and")
            << "SELECT COUNT(*) FROM t WHERE " + repite("Id <> %n + 10", 2000, " AND ") << "=3";
        QTest::newRow("100000-sumandos-enteros")
            << "SELECT " + repite("Id", 100000, " + ") + " FROM t WHERE Id = 2"
            << "=200000";
        QTest::newRow("900-sumandos-dobles") << "SELECT " + repite("D", 900, " + ") + " FROM t WHERE Id = 2"
                                             << "=900";
        QTest::newRow("100000-sumandos-dobles")
            << "SELECT " + repite("D", 100000, " + ") + " FROM t" << complejaConsulta;
        QTest::newRow("5000-xor") << "SELECT " + repite("-1", 5001, " XOR ") + " FROM t WHERE Id = 1"
                                  << "=-1";
        QTest::newRow("5000-ampersand")
            << "SELECT LEN(" + repite("Nombre", 5000, " & ") + ") FROM t WHERE Id = 1"
            << "=10000";
        QTest::newRow("4000-parentesis")
            << "SELECT " + QString(4000, '(') + "1" + QString(4000, ')') << complejaExpr;
        QTest::newRow("100000-menos") << "SELECT " + QString(100000, '-') + "Id FROM t" << complejaExpr;
        QTest::newRow("100000-not") << "SELECT " + repite("NOT", 100000, " ") + " Activo FROM t"
                                    << complejaExpr;
        QTest::newRow("5000-comparaciones")
            << "SELECT " + repite("Id", 5000, " = ") + " FROM t" << complejaExpr;
        QTest::newRow("1000-iif") << "SELECT " + repite("IIF(Id = 1, ", 1000, "") + "1" + QString(1000, ')')
                                  << complejaExpr;
        QString alias = QStringLiteral("SELECT Id AS a0");
        for (int k = 1; k <= 1000; ++k)
            alias += QStringLiteral(", a%1 + 1 AS a%2").arg(k - 1).arg(k);
        QTest::newRow("1000-alias") << alias + " FROM t" << complejaExpr;
        QTest::newRow("3000-joins") << "SELECT COUNT(*) FROM " + QString(3000, '(') + "t AS a" +
                                           repite(" INNER JOIN t AS a%n ON 1 = 1)", 3000, "")
                                    << complejaExpr;
        QTest::newRow("1000-subconsultas")
            << repite("SELECT (", 1000, "") + "SELECT 1" + QString(1000, ')') << complejaExpr;
        QTest::newRow("5000-uniones") << repite("SELECT %n FROM t", 5000, " UNION ALL ") << complejaConsulta;
    }

    void pilaDeUnMega()
    {
        QFETCH(QString, jet);
        QFETCH(QString, esperado);
        QString obtenido;
        QThread* hilo = QThread::create([&] {
            try {
                TOrigenFijo origen;
                TSesionJetSQL sesion(origen);
                const TResultadoBD r = sesion.Consulta(jet);
                obtenido = r.Filas.empty() ? QStringLiteral("(ninguna fila)")
                                           : QLatin1Char('=') + r.Filas[0][0].AsString();
            } catch (const TErrorJet& e) {
                obtenido = QLatin1Char('!') + e.Mensaje();
            }
        });
        hilo->setStackSize(1024 * 1024);
        hilo->start();
        QVERIFY(hilo->wait(120000));
        delete hilo;
        QCOMPARE(obtenido, esperado);
    }

    // Every function of the table runs, over a Long and over a Currency argument: its emitted
    // text calls the function of our own that its row names, and SQLite knows that function.
    void cadaFuncionCorre_data()
    {
        QTest::addColumn<QString>("jet");
        QTest::addColumn<QString>("runtime");
        for (const TFilaFuncionJet& f : FuncionesJet()) {
            for (const char* sColumna : {"Id", "Monto"}) {
                QStringList args;
                for (int i = 0; i < f.nMaxArgs; ++i)
                    args << QLatin1String(sColumna);
                QTest::addRow("%s-%s", f.sNombre, sColumna)
                    << QStringLiteral("SELECT %1(%2) FROM t").arg(QLatin1String(f.sNombre), args.join(", "))
                    << QString::fromLatin1(f.sRuntime);
            }
        }
    }
    void cadaFuncionCorre()
    {
        QFETCH(QString, jet);
        QFETCH(QString, runtime);
        TOrigenFijo origen;
        TSesionJetSQL sesion(origen);
        const QString sql = sesion.Traduce(jet);
        try {
            sesion.Consulta(jet);
        } catch (const TErrorJet& e) {
            QFAIL(qPrintable(e.Mensaje() + QLatin1String(" / ") + e.Detalle() + QLatin1String(" / ") + sql));
        }
        // Avg calls CCur's conversion over Currency only.
        if (!runtime.isEmpty() && !(jet.startsWith(QLatin1String("SELECT AVG(Id")) && runtime == "jet_ccur"))
            QVERIFY2(sql.contains(runtime + QLatin1Char('(')), qPrintable(sql));
    }

    // Each session converts numbers to text with its own decimal separator, whichever of two
    // sessions with different separators opened last.
    void separadorPorSesion_data()
    {
        QTest::addColumn<bool>("bComaPrimero");
        QTest::newRow("coma primero") << true;
        QTest::newRow("punto primero") << false;
    }
    void separadorPorSesion()
    {
        QFETCH(bool, bComaPrimero);
        TOrigenFijo origenComa, origenPunto;
        std::unique_ptr<TSesionJetSQL> coma, punto;
        if (bComaPrimero) {
            coma = std::make_unique<TSesionJetSQL>(origenComa, QLatin1Char(','));
            punto = std::make_unique<TSesionJetSQL>(origenPunto, QLatin1Char('.'));
        } else {
            punto = std::make_unique<TSesionJetSQL>(origenPunto, QLatin1Char('.'));
            coma = std::make_unique<TSesionJetSQL>(origenComa, QLatin1Char(','));
        }
        const QString jet = QStringLiteral("SELECT CSTR(D), D & '' FROM t WHERE Id = 1");
        const TResultadoBD rComa = coma->Consulta(jet);
        const TResultadoBD rPunto = punto->Consulta(jet);
        QCOMPARE(rComa.Filas[0][0].TextoCrudo(), QString("0,5"));
        QCOMPARE(rComa.Filas[0][1].TextoCrudo(), QString("0,5"));
        QCOMPARE(rPunto.Filas[0][0].TextoCrudo(), QString("0.5"));
        QCOMPARE(rPunto.Filas[0][1].TextoCrudo(), QString("0.5"));
    }

    // A window keeps being served while the engine is inside one long step: the hook is called
    // on the thread that asked for the statement while the work goes on elsewhere, and a stop
    // asked for there stops the work, even when the work has got past its last check for it.
    void avisoDuranteUnPasoLargo_data()
    {
        QTest::addColumn<bool>("detener");
        QTest::addColumn<bool>("trasLeer");
        QTest::newRow("sigue") << false << false;
        QTest::newRow("detenida") << true << false;
        QTest::newRow("detenida tras leer") << true << true;
    }
    void avisoDuranteUnPasoLargo()
    {
        QFETCH(bool, detener);
        QFETCH(bool, trasLeer);
        bool leida = !trasLeer;
        TOrigenDetenido origen;
        TSesionJetSQL sesion(origen);
        QThread* const hilo = QThread::currentThread();
        int avisos = 0;
        bool otroHilo = false;
        sesion.SetAviso([&] {
            otroHilo = otroHilo || QThread::currentThread() != hilo;
            if (++avisos == 3) {
                origen.Sigue.release();
                if (trasLeer)
                    leida = origen.Leida.tryAcquire(1, 10000);
            }
            return !(detener && avisos >= 3);
        });
        try {
            const TResultadoBD r = sesion.Consulta(QStringLiteral("SELECT COUNT(*) FROM t"));
            QVERIFY2(!detener, "la carga no se detuvo");
            QCOMPARE(r.Filas.at(0).at(0), TValorBD::Entero(300));
        } catch (const TErrorBD& e) {
            QVERIFY2(detener, qPrintable(e.Mensaje()));
            QCOMPARE(e.Clase(), ClaseErrorCancelado);
        }
        QVERIFY2(origen.bSiguio, "el aviso no se llamó mientras la carga estaba detenida");
        QVERIFY(!otroHilo);
        QVERIFY(avisos >= 3);
        QVERIFY2(leida, "la carga no terminó");
        // Afterwards the session answers as before (a stopped load is read again whole).
        sesion.SetAviso({});
        origen.Sigue.release();
        QCOMPARE(sesion.Consulta(QStringLiteral("SELECT COUNT(*) FROM t")).Filas.at(0).at(0),
                 TValorBD::Entero(300));
    }

    // A statement asked for while the preload is loading its table waits for it, serving the
    // hook on its own thread meanwhile, and finds the table loaded: it is read once. A statement
    // that does not translate is left out of the preload without a word.
    void consultaEsperaLaPrecarga()
    {
        TOrigenDetenido origen;
        TSesionJetSQL sesion(origen);
        QThread* const hilo = QThread::currentThread();
        int avisos = 0;
        bool otroHilo = false;
        sesion.SetAviso([&] {
            otroHilo = otroHilo || QThread::currentThread() != hilo;
            if (++avisos == 3)
                origen.Sigue.release();
            return true;
        });
        sesion.Precarga({QStringLiteral("SELECT Id FROM t WHERE"), QStringLiteral("SELECT Nombre FROM t")});
        QCOMPARE(sesion.Consulta(QStringLiteral("SELECT COUNT(*) FROM t")).Filas.at(0).at(0),
                 TValorBD::Entero(300));
        QVERIFY2(origen.bSiguio, "la consulta no esperó a la precarga llamando al aviso");
        QVERIFY(!otroHilo);
        QCOMPARE(origen.Leida.available(), 1);
        QCOMPARE(sesion.TablasCargadas(), QStringList{QStringLiteral("t")});
    }

    // The preload also computes the derived tables the statements keep: the same statements
    // asked for afterwards find them and compute none, one written otherwise since (another
    // choice of the user) computes its own, and every answer is that of a session that did not
    // preload.
    void precargaCalculaLasDerivadas()
    {
        const QString sPorGrupo =
            QStringLiteral("SELECT Count(*) FROM (SELECT Grupo FROM tCli GROUP BY Grupo) AS g");
        const QString sMovimientos = QStringLiteral(
            "SELECT Max(n), Sum(s) FROM (SELECT CveMov, Count(*) AS n, Sum(Importe) AS s FROM tMov "
            "GROUP BY CveMov) AS m");
        const auto sMarcados = [](const char* pMarcas) {
            return QStringLiteral(
                       "SELECT Count(*) FROM (SELECT DISTINCT Zona FROM tCli WHERE CveCli IN (%1)) "
                       "AS z")
                .arg(QString::fromUtf8(pMarcas));
        };
        TOrigenOperaciones origenCon, origenSin;
        TSesionJetSQL conPrecarga(origenCon), sinPrecarga(origenSin);
        conPrecarga.Precarga({sPorGrupo, sMovimientos, sMarcados("''")});
        QCOMPARE(conPrecarga.TablasCargadas().size(), 2); // waits for the preload
        QStringList Calculadas;
        conPrecarga.SetTraza([&Calculadas](const QString& sSql, qint64) {
            if (sSql.startsWith(QLatin1String("INSERT INTO")))
                Calculadas << sSql;
        });
        for (const QString& sJet : {sPorGrupo, sMovimientos})
            QCOMPARE(conPrecarga.Consulta(sJet).Filas, sinPrecarga.Consulta(sJet).Filas);
        QCOMPARE(Calculadas, QStringList());
        const QString sConMarcas = sMarcados("'a1', 'b2', 'e5'");
        QCOMPARE(conPrecarga.Consulta(sConMarcas).Filas, sinPrecarga.Consulta(sConMarcas).Filas);
        QCOMPARE(Calculadas.size(), 1);
    }

    // A preload stopped halfway (the session destroyed, its tables forgotten because the file
    // changed, or the hook asking to stop while a statement waits) ends at once and keeps
    // nothing of the table it was loading: the next statement loads it whole.
    void precargaDetenida_data()
    {
        QTest::addColumn<QString>("como");
        QTest::newRow("sesión destruida") << "destruida";
        QTest::newRow("tablas olvidadas") << "olvidadas";
        QTest::newRow("el aviso pide parar") << "aviso";
    }
    void precargaDetenida()
    {
        QFETCH(QString, como);
        TOrigenSinFin origen;
        auto sesion = std::make_unique<TSesionJetSQL>(origen);
        if (como == "aviso")
            sesion->SetAviso([] { return false; });
        sesion->Precarga({QStringLiteral("SELECT COUNT(*) FROM t")});
        QVERIFY(origen.Empezada.tryAcquire(1, 10000));
        if (como == "destruida") {
            sesion.reset();
        } else if (como == "olvidadas") {
            sesion->OlvidaTablas();
        } else {
            try {
                sesion->Consulta(QStringLiteral("SELECT COUNT(*) FROM t"));
                QFAIL("la consulta no se detuvo");
            } catch (const TErrorBD& e) {
                QCOMPARE(e.Clase(), ClaseErrorCancelado);
            }
            sesion->SetAviso({});
        }
        QVERIFY2(origen.Dadas < origen.Tope, "la precarga no se detuvo");
        if (!sesion)
            return;
        QVERIFY(sesion->TablasCargadas().isEmpty());
        origen.Tope = 10;
        QCOMPARE(sesion->Consulta(QStringLiteral("SELECT COUNT(*) FROM t")).Filas.at(0).at(0),
                 TValorBD::Entero(10));
    }

    // The engine's own text never reaches the user: it stays for developers.
    void mensajeDelMotor()
    {
        TOrigenFijo origen;
        TSesionJetSQL sesion(origen);
        try {
            sesion.Consulta("SELECT " + repite("UCASE(", 60, "") + "Nombre" + QString(60, ')') + " FROM t");
            QFAIL("se esperaba un error");
        } catch (const TErrorJet& e) {
            QCOMPARE(e.Mensaje(), QStringLiteral("Consulta demasiado compleja."));
            QVERIFY2(e.Detalle().contains(QLatin1String("parser stack overflow")), qPrintable(e.Detalle()));
        }
    }

    // Errors point at the place in the Jet text.
    void posicionError()
    {
        const QString jet = QStringLiteral("SELECT Id FROM t WHERE Nombre = 'x' y");
        try {
            TSintaxisJet(jet).Analiza();
            QFAIL("se esperaba un error");
        } catch (const TErrorJet& e) {
            QCOMPARE(e.Posicion(), int(jet.indexOf(QLatin1String(" y")) + 1));
        }
    }
};

// Sessions load and compute on threads of their own.
QRTZ_TEST_GUILESS_MAIN_QUE_TERMINA(TestTraduccionJet)
#include "TestTraduccionJet.moc"
