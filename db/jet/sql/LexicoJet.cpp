#include "db/jet/sql/LexicoJet.h"

#include <QSet>

bool TToken::EsPalabra(const char* sPalabra) const
{
    return Clase == TClaseToken::Nombre && !bCorchetes &&
           sTexto.compare(QLatin1String(sPalabra), Qt::CaseInsensitive) == 0;
}

bool TToken::EsSimbolo(const char* sSimbolo) const
{
    return Clase == TClaseToken::Simbolo && sTexto == QLatin1String(sSimbolo);
}

TLexicoJet::TLexicoJet(const QString& sTexto, int nInicio) : F_sTexto(sTexto), F_nPos(nInicio) {}

bool TLexicoJet::EsReservada(const QString& sPalabra)
{
    static const QSet<QString> reservadas = {
        QStringLiteral("ALL"),    QStringLiteral("AND"),      QStringLiteral("AS"),
        QStringLiteral("ASC"),    QStringLiteral("BETWEEN"),  QStringLiteral("BY"),
        QStringLiteral("DESC"),   QStringLiteral("DISTINCT"), QStringLiteral("DISTINCTROW"),
        QStringLiteral("EXISTS"), QStringLiteral("FALSE"),    QStringLiteral("FROM"),
        QStringLiteral("GROUP"),  QStringLiteral("HAVING"),   QStringLiteral("IN"),
        QStringLiteral("INNER"),  QStringLiteral("INTO"),     QStringLiteral("IS"),
        QStringLiteral("JOIN"),   QStringLiteral("LEFT"),     QStringLiteral("LIKE"),
        QStringLiteral("MOD"),    QStringLiteral("NOT"),      QStringLiteral("NULL"),
        QStringLiteral("ON"),     QStringLiteral("OR"),       QStringLiteral("ORDER"),
        QStringLiteral("OUTER"),  QStringLiteral("PERCENT"),  QStringLiteral("RIGHT"),
        QStringLiteral("SELECT"), QStringLiteral("TOP"),      QStringLiteral("TRUE"),
        QStringLiteral("UNION"),  QStringLiteral("WHERE"),    QStringLiteral("XOR"),
    };
    return reservadas.contains(sPalabra.toUpper());
}

namespace {
bool esInicioNombre(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool esParteNombre(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
} // namespace

TToken TLexicoJet::Siguiente()
{
    const QString& s = F_sTexto;
    const int n = s.size();
    while (F_nPos < n && s[F_nPos].isSpace())
        ++F_nPos;
    TToken t;
    t.nPos = F_nPos;
    if (F_nPos >= n) {
        t.Clase = TClaseToken::Fin;
        t.nFin = F_nPos;
        return t;
    }
    const QChar c = s[F_nPos];

    auto termina = [&](TClaseToken Clase, int nFin) {
        t.Clase = Clase;
        t.nFin = nFin;
        F_nPos = nFin;
        F_UltimaClase = Clase;
        F_sUltimoSimbolo = Clase == TClaseToken::Simbolo ? t.sTexto : QString();
        return t;
    };

    // [name]: anything up to the closing bracket
    if (c == QLatin1Char('[')) {
        const int cierre = s.indexOf(QLatin1Char(']'), F_nPos + 1);
        if (cierre < 0) {
            t.sTexto = QStringLiteral("corchete");
            return termina(TClaseToken::Error, n);
        }
        t.sTexto = s.mid(F_nPos + 1, cierre - F_nPos - 1);
        t.bCorchetes = true;
        return termina(TClaseToken::Nombre, cierre + 1);
    }
    // 'text' and "text", the delimiter doubled inside
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        QString valor;
        int i = F_nPos + 1;
        for (;;) {
            if (i >= n) {
                t.sTexto = QStringLiteral("cadena");
                return termina(TClaseToken::Error, n);
            }
            if (s[i] == c) {
                if (i + 1 < n && s[i + 1] == c) {
                    valor += c;
                    i += 2;
                    continue;
                }
                break;
            }
            valor += s[i];
            ++i;
        }
        t.sTexto = valor;
        return termina(TClaseToken::Cadena, i + 1);
    }
    // #date#
    if (c == QLatin1Char('#')) {
        const int cierre = s.indexOf(QLatin1Char('#'), F_nPos + 1);
        if (cierre < 0) {
            t.sTexto = QStringLiteral("fecha");
            return termina(TClaseToken::Error, n);
        }
        t.sTexto = s.mid(F_nPos + 1, cierre - F_nPos - 1);
        return termina(TClaseToken::Fecha, cierre + 1);
    }
    // Numbers: 12, 1.5, .5, 1E5, 1.5E-3. A '.' right after a name, ']' or ')' separates names.
    const bool puntoSeparador =
        F_UltimaClase == TClaseToken::Nombre ||
        (F_UltimaClase == TClaseToken::Simbolo && F_sUltimoSimbolo == QLatin1String(")"));
    if (c.isDigit() ||
        (c == QLatin1Char('.') && !puntoSeparador && F_nPos + 1 < n && s[F_nPos + 1].isDigit())) {
        int i = F_nPos;
        while (i < n && s[i].isDigit())
            ++i;
        if (i < n && s[i] == QLatin1Char('.')) {
            ++i;
            while (i < n && s[i].isDigit())
                ++i;
        }
        if (i < n && (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e'))) {
            int j = i + 1;
            if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
                ++j;
            if (j < n && s[j].isDigit()) {
                while (j < n && s[j].isDigit())
                    ++j;
                i = j;
            }
        }
        t.sTexto = s.mid(F_nPos, i - F_nPos);
        return termina(TClaseToken::Numero, i);
    }
    if (esInicioNombre(c)) {
        int i = F_nPos + 1;
        while (i < n && esParteNombre(s[i]))
            ++i;
        t.sTexto = s.mid(F_nPos, i - F_nPos);
        return termina(TClaseToken::Nombre, i);
    }
    // Two-character operators first
    if (F_nPos + 1 < n) {
        const QString dos = s.mid(F_nPos, 2);
        if (dos == QLatin1String("<>") || dos == QLatin1String("<=") || dos == QLatin1String(">=")) {
            t.sTexto = dos;
            return termina(TClaseToken::Simbolo, F_nPos + 2);
        }
    }
    static const QString simbolos = QStringLiteral("(),.!;*+-/\\^&=<>?");
    if (simbolos.contains(c)) {
        t.sTexto = QString(c);
        return termina(TClaseToken::Simbolo, F_nPos + 1);
    }
    t.sTexto = QStringLiteral("caracter");
    return termina(TClaseToken::Error, F_nPos + 1);
}
