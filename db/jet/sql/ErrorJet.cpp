#include "db/jet/sql/ErrorJet.h"

TErrorJet::TErrorJet(const QString& sMensaje, int nPosicion)
    : std::runtime_error(sMensaje.toStdString()), F_sMensaje(sMensaje), F_nPosicion(nPosicion)
{
}

namespace {
QString enExpresion(const char* sPrefijo, const QString& sExpresion)
{
    return QString::fromUtf8(sPrefijo) + QStringLiteral(" en la expresión de consulta '") + sExpresion +
           QStringLiteral("'.");
}
} // namespace

TErrorJet TErrorJet::TextoVacio()
{
    return TErrorJet(QStringLiteral("No se ha establecido el texto del comando para el objeto de comando."));
}

TErrorJet TErrorJet::InstruccionNoValida(int nPos)
{
    return TErrorJet(QStringLiteral("Instrucción SQL no válida; se esperaba 'DELETE', 'INSERT', 'PROCEDURE', "
                                    "'SELECT' o 'UPDATE'."),
                     nPos);
}

TErrorJet TErrorJet::SoloLectura(int nPos)
{
    return TErrorJet(
        QStringLiteral("No se puede actualizar. La base de datos o el objeto es de sólo lectura."), nPos);
}

TErrorJet TErrorJet::NoDisponible(const QString& sInstruccion, int nPos)
{
    return TErrorJet(
        QStringLiteral("La instrucción %1 no está disponible en esta conexión.").arg(sInstruccion), nPos);
}

TErrorJet TErrorJet::CaracteresTrasFin(int nPos)
{
    return TErrorJet(QStringLiteral("Se encontraron caracteres después del final de la instrucción SQL."),
                     nPos);
}

TErrorJet TErrorJet::FaltaOperador(const QString& sExpresion, int nPos)
{
    return TErrorJet(enExpresion("Error de sintaxis (falta operador)", sExpresion), nPos);
}

TErrorJet TErrorJet::SintaxisCadena(const QString& sExpresion, int nPos)
{
    return TErrorJet(enExpresion("Error de sintaxis en la cadena", sExpresion), nPos);
}

TErrorJet TErrorJet::SintaxisFecha(const QString& sExpresion, int nPos)
{
    return TErrorJet(enExpresion("Error de sintaxis en la fecha", sExpresion), nPos);
}

TErrorJet TErrorJet::FaltaParentesis(const QString& sExpresion, int nPos)
{
    return TErrorJet(enExpresion("Falta ), ] o un elemento", sExpresion), nPos);
}

TErrorJet TErrorJet::SintaxisComa(const QString& sExpresion, int nPos)
{
    return TErrorJet(enExpresion("Error de sintaxis (coma)", sExpresion), nPos);
}

TErrorJet TErrorJet::SintaxisSelect(int nPos)
{
    return TErrorJet(
        QStringLiteral("La instrucción SELECT incluye una palabra reservada o un nombre de argumento "
                       "que está mal escrito o falta, o la puntuación es incorrecta."),
        nPos);
}

TErrorJet TErrorJet::SintaxisFrom(int nPos)
{
    return TErrorJet(QStringLiteral("Error de sintaxis en la cláusula FROM."), nPos);
}

TErrorJet TErrorJet::SintaxisJoin(int nPos)
{
    return TErrorJet(QStringLiteral("Error de sintaxis en la operación JOIN."), nPos);
}

TErrorJet TErrorJet::SintaxisOrderBy(int nPos)
{
    return TErrorJet(QStringLiteral("Error de sintaxis en la cláusula ORDER BY."), nPos);
}

TErrorJet TErrorJet::SintaxisGroupBy(int nPos)
{
    return TErrorJet(QStringLiteral("Error de sintaxis en la cláusula GROUP BY."), nPos);
}

TErrorJet TErrorJet::TablaNoEncontrada(const QString& sTabla, int nPos)
{
    return TErrorJet(QStringLiteral("El motor de base de datos Microsoft Jet no puede encontrar la tabla o "
                                    "consulta de entrada '%1'. Asegúrese de que existe y que su nombre está "
                                    "escrito correctamente.")
                         .arg(sTabla),
                     nPos);
}

TErrorJet TErrorJet::FaltanParametros(int nPos)
{
    return TErrorJet(
        QStringLiteral("No se han especificado valores para algunos de los parámetros requeridos."), nPos);
}

TErrorJet TErrorJet::CampoAmbiguo(const QString& sCampo, int nPos)
{
    return TErrorJet(
        QStringLiteral("El campo especificado '%1' podría hacer referencia a más de una tabla de "
                       "las enumeradas en la cláusula FROM de la instrucción SQL.")
            .arg(sCampo),
        nPos);
}

TErrorJet TErrorJet::FuncionNoDefinida(const QString& sFuncion, int nPos)
{
    return TErrorJet(QStringLiteral("Función '%1' no definida en la expresión.").arg(sFuncion), nPos);
}

TErrorJet TErrorJet::NumeroArgumentos(const QString& sExpresion, int nPos)
{
    return TErrorJet(enExpresion("Número de argumentos incorrecto utilizado con la función", sExpresion),
                     nPos);
}

TErrorJet TErrorJet::TiposNoCoinciden(int nPos)
{
    return TErrorJet(QStringLiteral("No coinciden los tipos de datos en la expresión de criterios."), nPos);
}

TErrorJet TErrorJet::NoEsAgregado(const QString& sExpresion, int nPos)
{
    return TErrorJet(
        QStringLiteral("Ha intentado ejecutar una consulta que no incluye la expresión especificada "
                       "'%1' como parte de una función de agregado.")
            .arg(sExpresion),
        nPos);
}

TErrorJet TErrorJet::AgregadoEnWhere(const QString& sExpresion, int nPos)
{
    return TErrorJet(QStringLiteral("No se puede tener una función de agregado en la cláusula WHERE (%1).")
                         .arg(sExpresion),
                     nPos);
}

TErrorJet TErrorJet::AgregadoEnExpresion(const QString& sExpresion, int nPos)
{
    return TErrorJet(
        QStringLiteral("No se puede tener una función de agregado en la expresión (%1).").arg(sExpresion),
        nPos);
}

TErrorJet TErrorJet::AgrupaConEstrella(int nPos)
{
    return TErrorJet(QStringLiteral("No se puede agrupar en campos seleccionados con '*'."), nPos);
}

TErrorJet TErrorJet::OrdenConDistinct(const QString& sExpresion, int nPos)
{
    return TErrorJet(
        QStringLiteral("La cláusula ORDER BY (%1) entra en conflicto con DISTINCT.").arg(sExpresion), nPos);
}

TErrorJet TErrorJet::ColumnasUnion(int nPos)
{
    return TErrorJet(
        QStringLiteral("El número de columnas de las dos tablas o consultas seleccionadas en una "
                       "consulta de unión no coincide."),
        nPos);
}

TErrorJet TErrorJet::SubconsultaVariosCampos(int nPos)
{
    return TErrorJet(
        QStringLiteral("Ha escrito una subconsulta que puede devolver más de un campo sin utilizar "
                       "la palabra reservada EXISTS en la cláusula FROM de la consulta principal. "
                       "Corrija la instrucción SELECT de la subconsulta para solicitar un único "
                       "campo."),
        nPos);
}

TErrorJet TErrorJet::TablaRepetida(const QString& sTabla, int nPos)
{
    return TErrorJet(
        QStringLiteral("No se puede repetir el nombre de tabla '%1' en la cláusula FROM.").arg(sTabla), nPos);
}

TErrorJet TErrorJet::OrdenUnion(const QString& sExpresion, int nPos)
{
    return TErrorJet(
        QStringLiteral("La expresión ORDER BY (%1) incluye campos que no están seleccionados en la "
                       "consulta. Sólo se pueden incluir en una expresión ORDER BY los campos "
                       "solicitados en la primera consulta.")
            .arg(sExpresion),
        nPos);
}

TErrorJet TErrorJet::ReferenciaCircular(const QString& sAlias, int nPos)
{
    return TErrorJet(QStringLiteral("Referencia circular causada por el alias '%1' en la lista SELECT de la "
                                    "definición de la consulta.")
                         .arg(sAlias),
                     nPos);
}

TErrorJet TErrorJet::ExpresionCompleja(int nPos)
{
    return TErrorJet(QStringLiteral("Expresión demasiado compleja."), nPos);
}

TErrorJet TErrorJet::ConsultaCompleja()
{
    return TErrorJet(QStringLiteral("Consulta demasiado compleja."));
}

TErrorJet TErrorJet::MasDeUnRegistro()
{
    return TErrorJet(QStringLiteral("Como máximo se puede devolver un registro con esta subconsulta."));
}

TErrorJet TErrorJet::DivisionPorCero()
{
    return TErrorJet(QStringLiteral("División por cero"));
}

TErrorJet TErrorJet::Desbordamiento()
{
    return TErrorJet(QStringLiteral("Desbordamiento"));
}

TErrorJet TErrorJet::UsoNoValidoNull()
{
    return TErrorJet(QStringLiteral("Uso no válido de Null"));
}

TErrorJet TErrorJet::LlamadaNoValida()
{
    return TErrorJet(QStringLiteral("Llamada a procedimiento o argumento no válido"));
}

TErrorJet TErrorJet::PatronNoValido()
{
    return TErrorJet(QStringLiteral("Cadena de patrón no válida."));
}

TErrorJet TErrorJet::DeSqlite(int nCodigo, const QString& sMensaje)
{
    // Result codes of SQLite (sqlite3.h); the header is not needed for these few numbers.
    enum
    {
        Nomem = 7,
        Interrupt = 9,
        Toobig = 18,
        Range = 25
    };
    // Limits of SQLite's parser and planner: the statement is beyond what the engine takes.
    static const char* const limites[] = {"parser stack overflow",
                                          "Expression tree is too large",
                                          "too many terms in compound SELECT",
                                          "too many columns",
                                          "too many arguments on function",
                                          "too many FROM clause terms",
                                          "tables in a join",
                                          "too many references",
                                          "LIKE or GLOB pattern too complex",
                                          "too many SQL variables",
                                          "string or blob too big",
                                          "too many terms in ORDER BY",
                                          "too many terms in",
                                          "too many levels of trigger recursion"};
    TErrorJet e = ConsultaCompleja();
    const int primario = nCodigo & 0xff;
    if (sMensaje.contains(QLatin1String("integer overflow")))
        e = Desbordamiento();
    else if (primario == Nomem)
        e = TErrorJet(QStringLiteral("No hay memoria suficiente para ejecutar la consulta."));
    else if (primario == Interrupt)
        e = TErrorJet(QStringLiteral("Se canceló la operación."));
    else if (primario == Toobig || primario == Range)
        e = ConsultaCompleja();
    else {
        bool limite = false;
        for (const char* l : limites)
            if (sMensaje.contains(QLatin1String(l), Qt::CaseInsensitive))
                limite = true;
        if (!limite)
            e = TErrorJet(
                QStringLiteral("Error interno del motor de consultas. La consulta no se pudo ejecutar."));
    }
    e.ConDetalle(QStringLiteral("SQLite %1: %2").arg(nCodigo).arg(sMensaje));
    return e;
}
