#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <vector>

// Editable in-memory table with a cursor, the component behind the PEP review list.
// Rows stay in memory until removed, also across closing and opening. A pending edit of the
// current row is posted before the cursor moves to another row, so a reader that goes to
// the first row always sees the last change.
class TTablaMemoria : public QObject
{
    Q_OBJECT
public:
    enum class TTipoCampo
    {
        AutoIncremento,
        Entero,
        Texto,
        Booleano
    };
    struct TCampo
    {
        QString sNombre;
        TTipoCampo Tipo;
        int nAncho = 0; // characters, texts only
    };
    enum class TEstado
    {
        Inactiva,
        Navegando,
        Editando,
        Insertando
    };

    explicit TTablaMemoria(QList<TCampo> Campos, QObject* parent = nullptr);

    // Structure
    int NumCampos() const { return int(F_Campos.size()); }
    const TCampo& Campo(int nCampo) const { return F_Campos.at(nCampo); }
    int IndiceCampo(const QString& sNombre) const; // case-insensitive; -1 when unknown

    // State
    void Abre();
    void Cierra();
    bool Activa() const { return F_Estado != TEstado::Inactiva; }
    TEstado Estado() const { return F_Estado; }

    // Rows
    void BorraTodo();
    void Agrega();  // appends a row and makes it current, in insert state
    void Edita();   // puts the current row into edit state
    void Publica(); // posts the pending row
    void Cancela(); // discards the pending changes of the current row
    int NumRegistros() const { return int(F_Filas.size()); }

    // Cursor
    void Primero();
    void Siguiente();
    void IrA(int nFila);
    bool Fin() const { return F_bFin; }
    int RegActual() const { return F_nActual; } // -1 without rows

    // Fields of the current row (the pending values while editing)
    QVariant Valor(const QString& sCampo) const;
    int ValorEntero(const QString& sCampo) const { return Valor(sCampo).toInt(); }
    QString ValorTexto(const QString& sCampo) const { return Valor(sCampo).toString(); }
    bool ValorBool(const QString& sCampo) const { return Valor(sCampo).toBool(); }
    void SetValor(const QString& sCampo, const QVariant& vValor); // needs edit or insert state
    // A text field stores and shows its value in the code page and width of the field; the value
    // as it was set is kept beside it for those who need it whole (a key to look up again).
    QVariant ValorOriginal(const QString& sCampo) const;
    QString ValorTextoOriginal(const QString& sCampo) const { return ValorOriginal(sCampo).toString(); }

    // Stored value of any row (what the bound views show)
    QVariant ValorEn(int nFila, int nCampo) const;

signals:
    void FilasCambiadas();          // rows removed or appended
    void DatosCambiados(int nFila); // values of a row changed (pending or posted)
    void RegistroActualCambiado(int nFila);
    void EstadoCambiado();

private:
    // The stored values of the fields, then the values as set (for text fields).
    using TFila = std::vector<QVariant>;
    int indiceObligado(const QString& sCampo) const;
    QVariant ajusta(int nCampo, const QVariant& v) const;
    void publicaPendiente();
    void mueveA(int nFila);
    void setEstado(TEstado e);

    QList<TCampo> F_Campos;
    std::vector<TFila> F_Filas;
    TFila F_Pendiente; // values of the current row while editing or inserting
    TEstado F_Estado = TEstado::Inactiva;
    int F_nActual = -1;
    bool F_bFin = true;
    int F_nSigAuto = 1;
};
