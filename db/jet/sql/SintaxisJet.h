#pragma once

#include "db/jet/sql/AstJet.h"
#include "db/jet/sql/LexicoJet.h"

#include <deque>
#include <memory>

// Recursive-descent parser of Jet 4.0 SQL. Chains of operators of one precedence become one
// node (TExpr::Ops), and nesting deeper than MaxProfundidadJet is refused as too complex, so
// neither this parser nor any later stage recurses without bound. Analiza() accepts one SELECT statement
// (with UNION and ORDER BY) and an optional ';'. Statements that write (DELETE, INSERT, UPDATE, SELECT ...
// INTO, DDL) are refused as read-only, any other leading word as an invalid statement. Errors are TErrorJet
// with Jet's wording and the position in the text.
class TSintaxisJet
{
public:
    explicit TSintaxisJet(const QString& sTexto);
    std::unique_ptr<TConsultaJet> Analiza();

    // Jet day number of the text between # marks (month/day/year, a day/month re-read when
    // the month is impossible, an optional time); false when it is not a date.
    static bool FechaJet(const QString& sTexto, double& dDia);

private:
    const TToken& Ver(int k = 0);
    TToken Toma();
    bool EsPalabra(int k, const char* s) { return Ver(k).EsPalabra(s); }
    bool EsSimbolo(int k, const char* s) { return Ver(k).EsSimbolo(s); }
    static bool EsClausula(const TToken& t);

    std::unique_ptr<TConsultaJet> Consulta();
    std::unique_ptr<TNucleoSelect> Nucleo();
    void ElementoSelect(TNucleoSelect& n);
    std::unique_ptr<TFuenteFrom> FromElemento();
    std::unique_ptr<TFuenteFrom> FromPrimario();
    QString AliasOpcional();
    std::unique_ptr<TExpr> ExpresionDeClausula(bool bLista, const char* sExtra1 = nullptr,
                                               const char* sExtra2 = nullptr);

    std::unique_ptr<TExpr> Or();
    std::unique_ptr<TExpr> Xor();
    std::unique_ptr<TExpr> And();
    std::unique_ptr<TExpr> Not();
    std::unique_ptr<TExpr> Comparacion();
    std::unique_ptr<TExpr> Concatenacion();
    std::unique_ptr<TExpr> Suma();
    std::unique_ptr<TExpr> Modulo();
    std::unique_ptr<TExpr> DivisionEntera();
    std::unique_ptr<TExpr> Producto();
    std::unique_ptr<TExpr> Unario();
    std::unique_ptr<TExpr> Potencia();
    std::unique_ptr<TExpr> Primario();
    std::unique_ptr<TConsultaJet> SubconsultaEntreParentesis();

    std::unique_ptr<TExpr> Binario(TOperadorJet Op, std::unique_ptr<TExpr> a, std::unique_ptr<TExpr> b);
    // Sets the depth of a new node from its children; too deep is an error.
    void Mide(TExpr& e);
    void Mide(TFuenteFrom& f);
    void Mide(TConsultaJet& q);
    [[noreturn]] void DemasiadoProfundo(int nPos);
    // One more level of recursion of the parser while it lives.
    struct TNivel
    {
        TSintaxisJet& s;
        TNivel(TSintaxisJet& s, int nPos);
        ~TNivel() { --s.F_nNivel; }
        TNivel(const TNivel&) = delete;
        TNivel& operator=(const TNivel&) = delete;
    };
    [[noreturn]] void ErrorEnExpresion(const TToken& t);
    QString TextoRegion(int nDesde, int nError);

    QString F_sTexto;
    TLexicoJet F_Lexico;
    std::deque<TToken> F_Buffer;
    int F_nFinAnterior = 0; // end of the last token taken
    int F_nInicioExpr = 0;  // start of the clause expression being read (for messages)
    bool F_bEnLista = false;
    int F_nNivel = 0; // current recursion depth
};
