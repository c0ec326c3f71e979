#pragma once

#include "db/jet/sql/AstJet.h"

#include <vector>

// A SELECT DISTINCT over a derived table that joins two sources and whose rows it reads only
// from one of them: the emitter writes the join as a semi-join (SemirreunionJet.cpp says when,
// why the rows are the same and what their order rests on).
struct TSemirreunionJet
{
    const TFuenteFrom* pDerivada = nullptr;        // the derived table, the DISTINCT's only source
    const TNucleoSelect* pNucleoUnion = nullptr;   // its SELECT, which joins the two sources
    const TFuenteFrom* pLeida = nullptr;           // the source whose columns the DISTINCT reads
    const TFuenteFrom* pSondeada = nullptr;        // the other one, probed with EXISTS
    bool bLeidaPrimero = false;                    // the read source comes first in the join
    std::vector<const TExpr*> CondicionesLeida;    // conditions on the read source alone (or neither)
    std::vector<const TExpr*> Igualdades;          // column of one source = column of the other
    std::vector<int> Claves;                       // per equality, the probed source's column
    std::vector<const TExpr*> CondicionesSondeada; // conditions on the probed source alone
    std::vector<bool> ColumnasLeidas;              // columns of the derived table the DISTINCT reads
};

// Whether the SELECT n, with the ORDER BY of its statement (pOrden, may be null), is such a
// DISTINCT; then s describes it.
bool BuscaSemirreunion(const TNucleoSelect& n, const std::vector<TOrden>* pOrden, TSemirreunionJet& s);
