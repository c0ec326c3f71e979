#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

// A nullable, typed value read from a database column, with the conversions readers use.
class TValorBD
{
public:
    enum class TTipo
    {
        Nulo,
        Booleano,
        Entero,
        Doble,
        Moneda,
        Fecha,
        Texto,
        Binario
    };

    TValorBD() = default;
    static TValorBD Nulo() { return {}; }
    static TValorBD Booleano(bool b);
    static TValorBD Entero(int64_t n);
    static TValorBD Doble(double d);
    static TValorBD Moneda(int64_t nDiezmilesimos); // exact, in ten-thousandths
    static TValorBD Fecha(double dDiaJet);          // Jet day number: days since 1899-12-30
    static TValorBD Texto(const QString& s);
    static TValorBD Binario(const QByteArray& b);

    TTipo Tipo() const { return F_Tipo; }
    bool EsNulo() const { return F_Tipo == TTipo::Nulo; }

    // Conversions as a reader expects them; a null value gives "", 0, 0.0 or false.
    // Numbers become text with at most 15 significant digits and no trailing zeros,
    // Booleans "True"/"False", dates "MM/DD/YYYY[ hh:mm:ss]". Converting text that is not a
    // number to a number throws TErrorBD.
    QString AsString() const;
    int64_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;

    // The date and time of a Fecha value; nothing when the day number lies outside Jet's
    // calendar (years 100 to 9999) or the value is no date.
    std::optional<QDateTime> FechaHora() const;

    // Raw payloads
    bool Bool() const { return F_nEntero != 0; }
    int64_t EnteroCrudo() const { return F_nEntero; } // Entero, Moneda (ten-thousandths), Booleano (-1/0)
    double DobleCrudo() const { return F_dDoble; }    // Doble, Fecha
    const QString& TextoCrudo() const { return F_sTexto; }
    const QByteArray& BinarioCrudo() const { return F_Bytes; }

    bool operator==(const TValorBD& o) const;

private:
    TTipo F_Tipo = TTipo::Nulo;
    int64_t F_nEntero = 0;
    double F_dDoble = 0;
    QString F_sTexto;
    QByteArray F_Bytes;
};

// Text of a number with at most 15 significant digits, trailing zeros dropped, exponent
// written E+NN / E-NN (the way the host engine turns numbers into text).
QString TextoDeDoble(double d);
// Exact text of a ten-thousandths amount: "1234.5", "-0.25", "3".
QString TextoDeMoneda(int64_t nDiezmilesimos);
