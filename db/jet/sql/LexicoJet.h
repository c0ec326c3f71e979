#pragma once

#include <QString>

enum class TClaseToken
{
    Fin,
    Nombre, // word or [bracketed name]
    Numero,
    Cadena,  // 'text' or "text", value unescaped
    Fecha,   // #...#, value without the marks
    Simbolo, // ( ) , . ! ; * + - / \ ^ & = <> < > <= >= ?
    Error    // a string, date or character the lexer cannot read; sTexto tells which
};

struct TToken
{
    TClaseToken Clase = TClaseToken::Fin;
    QString sTexto;
    int nPos = 0; // offset of the first character in the Jet text
    int nFin = 0; // offset after the last character
    bool bCorchetes = false;

    // A word (not bracketed) equal to the keyword, ignoring case.
    bool EsPalabra(const char* sPalabra) const;
    bool EsSimbolo(const char* sSimbolo) const;
};

// Reads Jet SQL tokens one at a time, so that an error later in the text does not hide an
// earlier one (the parser asks for tokens only as it needs them).
class TLexicoJet
{
public:
    explicit TLexicoJet(const QString& sTexto, int nInicio = 0);
    TToken Siguiente();
    const QString& Texto() const { return F_sTexto; }

    // Whether the word is reserved in Jet SQL (a name spelled like it needs brackets).
    static bool EsReservada(const QString& sPalabra);

private:
    QString F_sTexto;
    int F_nPos;
    TClaseToken F_UltimaClase = TClaseToken::Fin;
    QString F_sUltimoSimbolo;
};
