#pragma once

// Internal to the reader: table definitions, usage maps, row cracking and value decoding.

#include "db/jet/ArchivoJet.h"
#include "db/jet/BaseDatosMdb.h"

#include <memory>
#include <vector>

namespace jet::detalle {

struct TTablaJet
{
    TDefinicionTabla Def;
    uint32_t nPgRowMapaUsadas = 0; // used-pages usage map
};

// Reads the definition whose first TDEF page is nPagina (following continuation pages).
// nCodigoPaginaBD decodes Jet 3 names.
std::shared_ptr<const TTablaJet> LeeTabla(TArchivoJet& Archivo, uint32_t nPagina, const QString& sNombre,
                                          int nCodigoPaginaBD);

// Pages a usage map marks, ascending, all inside the file.
std::vector<uint32_t> PaginasDeMapa(TArchivoJet& Archivo, uint32_t nPgRow);

// Text as Jet 4 stores it: UCS-2LE, or "FF FE" + the compressed form.
QString TextoJet4(const uint8_t* p, int n);
// Single-byte text in a Windows code page (1252 when the page is 0 or unknown here).
QString TextoCodigoPagina(const uint8_t* p, int n, int nCodigoPagina);

// Walks the rows of a table: data pages in usage-map order, rows in page order, deleted rows
// skipped, overflow rows followed. Throws TErrorFormato on damaged data.
class TRecorridoTabla
{
public:
    TRecorridoTabla(std::shared_ptr<TArchivoJet> pArchivo, std::shared_ptr<const TTablaJet> pTabla,
                    int nCodigoPaginaBD);

    const TDefinicionTabla& Definicion() const { return F_pTabla->Def; }
    void Selecciona(const std::vector<bool>& Usadas);
    bool Siguiente(std::vector<TValor>& Fila);
    void Reinicia();

private:
    struct TPlanColumna
    {
        TTipoColumna Tipo;
        int nNumero;
        int nIndiceVar;
        int nOffsetFijo;
        int nTam; // bytes read from the fixed area
        int nCodigoPagina;
        uint8_t nPrecision;
        uint8_t nEscala;
        bool bFija;
        bool bUsada;
    };
    struct TFila
    {
        QByteArray Pagina; // keeps the bytes alive
        int nIni = 0;
        int nFin = 0;
    };

    void CargaPaginas();
    // Row bounds; false when the row is deleted. bDesbordada = the row is an overflow pointer.
    bool LimitesFila(const QByteArray& Pagina, int nFila, int& nIni, int& nFin, bool& bDesbordada) const;
    TFila FilaApuntada(uint32_t nPgRow, const char* pQue, bool bLval);
    void DecodificaFila(const uint8_t* pPag, int nIni, int nFin, std::vector<TValor>& Fila);
    void DecodificaValor(const TPlanColumna& c, const uint8_t* d, int n, TValor& v);
    QByteArray LeeValorLargo(const uint8_t* d, int n);

    std::shared_ptr<TArchivoJet> F_pArchivo;
    std::shared_ptr<const TTablaJet> F_pTabla;
    const TFormatoJet& F_Formato;
    bool F_bJet4;
    std::vector<TPlanColumna> F_Plan;
    std::vector<int> F_OffVar; // var-table offsets of the current row (relative to its start)

    bool F_bPaginasCargadas = false;
    std::vector<uint32_t> F_Paginas;
    size_t F_nIndicePagina = 0;
    QByteArray F_Pagina;
    uint32_t F_nPaginaActual = 0;
    int F_nFila = 0;
    int F_nFilasPagina = 0;
};

} // namespace jet::detalle
