#pragma once

#include <QString>

#include <stdexcept>

// An error of the Jet SQL layer: the message the engine gives (in Spanish, worded as Jet
// words it) and the position in the Jet text where it was found (-1 when it belongs to the
// whole statement or arose while running it).
class TErrorJet : public std::runtime_error
{
public:
    explicit TErrorJet(const QString& sMensaje, int nPosicion = -1);

    const QString& Mensaje() const { return F_sMensaje; }
    int Posicion() const { return F_nPosicion; }
    // For developers only: the engine's own text behind a message (SQLite's), else empty.
    const QString& Detalle() const { return F_sDetalle; }
    TErrorJet& ConDetalle(const QString& s)
    {
        F_sDetalle = s;
        return *this;
    }

    // Statement level
    static TErrorJet TextoVacio();
    static TErrorJet InstruccionNoValida(int nPos);
    static TErrorJet SoloLectura(int nPos);
    static TErrorJet NoDisponible(const QString& sInstruccion, int nPos);
    static TErrorJet CaracteresTrasFin(int nPos);
    // Syntax
    static TErrorJet FaltaOperador(const QString& sExpresion, int nPos);
    static TErrorJet SintaxisCadena(const QString& sExpresion, int nPos);
    static TErrorJet SintaxisFecha(const QString& sExpresion, int nPos);
    static TErrorJet FaltaParentesis(const QString& sExpresion, int nPos);
    static TErrorJet SintaxisComa(const QString& sExpresion, int nPos);
    static TErrorJet SintaxisSelect(int nPos);
    static TErrorJet SintaxisFrom(int nPos);
    static TErrorJet SintaxisJoin(int nPos);
    static TErrorJet SintaxisOrderBy(int nPos);
    static TErrorJet SintaxisGroupBy(int nPos);
    // Names and types
    static TErrorJet TablaNoEncontrada(const QString& sTabla, int nPos);
    static TErrorJet FaltanParametros(int nPos);
    static TErrorJet CampoAmbiguo(const QString& sCampo, int nPos);
    static TErrorJet FuncionNoDefinida(const QString& sFuncion, int nPos);
    static TErrorJet NumeroArgumentos(const QString& sExpresion, int nPos);
    static TErrorJet TiposNoCoinciden(int nPos = -1);
    static TErrorJet NoEsAgregado(const QString& sExpresion, int nPos);
    static TErrorJet AgregadoEnWhere(const QString& sExpresion, int nPos);
    static TErrorJet AgregadoEnExpresion(const QString& sExpresion, int nPos);
    static TErrorJet AgrupaConEstrella(int nPos);
    static TErrorJet OrdenConDistinct(const QString& sExpresion, int nPos);
    static TErrorJet ColumnasUnion(int nPos);
    static TErrorJet SubconsultaVariosCampos(int nPos);
    static TErrorJet TablaRepetida(const QString& sTabla, int nPos);
    static TErrorJet OrdenUnion(const QString& sExpresion, int nPos);
    static TErrorJet ReferenciaCircular(const QString& sAlias, int nPos);
    // Limits: nesting deeper than the layer accepts, or a statement the engine cannot take.
    static TErrorJet ExpresionCompleja(int nPos);
    static TErrorJet ConsultaCompleja();
    // Run time (raised by the functions registered in SQLite)
    static TErrorJet MasDeUnRegistro();
    static TErrorJet DivisionPorCero();
    static TErrorJet Desbordamiento();
    static TErrorJet UsoNoValidoNull();
    static TErrorJet LlamadaNoValida();
    static TErrorJet PatronNoValido();
    // A failure of the SQLite engine below the layer (code and message as SQLite gives them),
    // worded for the user; the original text stays in Detalle().
    static TErrorJet DeSqlite(int nCodigo, const QString& sMensaje);

private:
    QString F_sMensaje;
    int F_nPosicion;
    QString F_sDetalle;
};
