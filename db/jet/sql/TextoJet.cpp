// Jet text: the JET collation, LIKE in ANSI-92 form, and the text functions.

#include "db/jet/sql/FuncionesJet.h"
#include "db/jet/sql/FuncionesJetComun.h"

#include <QList>

#include <memory>

using namespace funcionesjet;

namespace {

// ---------------------------------------------------------------- collation

int comparaNiveles(const TTexto32& a, const TTexto32& b)
{
    // Level 1: letters without case or accents, hyphen and apostrophe ignored (word sort);
    // level 2: accents; level 3: hyphen and apostrophe.
    for (int nivel = 1; nivel <= 3; ++nivel) {
        size_t i = 0, j = 0;
        for (;;) {
            if (nivel < 3) {
                while (i < a.size() && (a[i] == U'-' || a[i] == U'\''))
                    ++i;
                while (j < b.size() && (b[j] == U'-' || b[j] == U'\''))
                    ++j;
            }
            if (i >= a.size() || j >= b.size()) {
                if (i < a.size())
                    return 1;
                if (j < b.size())
                    return -1;
                break;
            }
            const char32_t x = nivel == 1 ? pliegaBase(a[i]) : pliega(a[i]);
            const char32_t y = nivel == 1 ? pliegaBase(b[j]) : pliega(b[j]);
            if (x != y)
                return x < y ? -1 : 1;
            ++i;
            ++j;
        }
    }
    return 0;
}

int comparaUtf8(const unsigned char* a, int na, const unsigned char* b, int nb)
{
    while (na > 0 && a[na - 1] == ' ')
        --na;
    while (nb > 0 && b[nb - 1] == ' ')
        --nb;
    // One pass over plain ASCII: identical bytes are skipped (whatever they are, they weigh the
    // same on every level), the first differing letters decide ignoring case. Only a difference
    // that involves a hyphen, an apostrophe or a non-ASCII byte needs the full comparison.
    auto especial = [](unsigned char c) { return c >= 0x80 || c == '-' || c == '\''; };
    const int n = na < nb ? na : nb;
    for (int i = 0; i < n; ++i) {
        unsigned char x = a[i], y = b[i];
        if (x == y)
            continue;
        if (especial(x) || especial(y))
            return comparaNiveles(decodifica(a, na), decodifica(b, nb));
        if (x >= 'A' && x <= 'Z')
            x += 32;
        if (y >= 'A' && y <= 'Z')
            y += 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (na == nb)
        return 0;
    // One text is a prefix of the other: the longer is greater unless what follows could be
    // ignored (hyphens, apostrophes) or is not plain ASCII.
    const unsigned char* resto = na > nb ? a : b;
    for (int i = n; i < (na > nb ? na : nb); ++i)
        if (especial(resto[i]))
            return comparaNiveles(decodifica(a, na), decodifica(b, nb));
    return na < nb ? -1 : 1;
}

// ---------------------------------------------------------------- LIKE

struct TElementoPatron
{
    enum class TClase
    {
        Literal,
        Uno,
        Clase,
        Todo
    } Clase = TClase::Literal;
    char32_t c = 0;
    std::vector<std::pair<char32_t, char32_t>> Rangos;
    bool bNegada = false;
};
using TPatron = std::vector<TElementoPatron>;

TPatron compilaPatron(const TTexto32& p)
{
    TPatron r;
    for (size_t i = 0; i < p.size(); ++i) {
        TElementoPatron e;
        const char32_t c = p[i];
        if (c == U'%')
            e.Clase = TElementoPatron::TClase::Todo;
        else if (c == U'_')
            e.Clase = TElementoPatron::TClase::Uno;
        else if (c == U'[') {
            size_t j = i + 1;
            e.Clase = TElementoPatron::TClase::Clase;
            if (j < p.size() && (p[j] == U'!' || p[j] == U'^')) {
                e.bNegada = true;
                ++j;
            }
            bool cerrada = false;
            bool primero = true;
            while (j < p.size()) {
                if (p[j] == U']' && !primero) {
                    cerrada = true;
                    break;
                }
                primero = false;
                char32_t desde = pliega(p[j]);
                char32_t hasta = desde;
                if (j + 2 < p.size() && p[j + 1] == U'-' && p[j + 2] != U']') {
                    hasta = pliega(p[j + 2]);
                    j += 2;
                    if (hasta < desde)
                        throw TErrorJet::PatronNoValido();
                }
                e.Rangos.push_back({desde, hasta});
                ++j;
            }
            if (!cerrada)
                throw TErrorJet::PatronNoValido();
            i = j;
        } else
            e.c = pliega(c);
        r.push_back(std::move(e));
    }
    return r;
}

bool coincide(const TElementoPatron& e, char32_t c)
{
    switch (e.Clase) {
    case TElementoPatron::TClase::Literal:
        return e.c == c;
    case TElementoPatron::TClase::Uno:
        return true;
    case TElementoPatron::TClase::Clase: {
        bool dentro = false;
        for (const auto& r : e.Rangos)
            if (c >= r.first && c <= r.second)
                dentro = true;
        return dentro != e.bNegada;
    }
    case TElementoPatron::TClase::Todo:
        return true;
    }
    return false;
}

bool aplicaPatron(const TPatron& p, const TTexto32& valor)
{
    TTexto32 v(valor.size(), 0);
    for (size_t i = 0; i < valor.size(); ++i)
        v[i] = pliega(valor[i]);
    size_t ip = 0, iv = 0;
    size_t estrella = std::string::npos, marca = 0;
    while (iv < v.size()) {
        if (ip < p.size() && p[ip].Clase == TElementoPatron::TClase::Todo) {
            estrella = ip++;
            marca = iv;
            continue;
        }
        if (ip < p.size() && coincide(p[ip], v[iv])) {
            ++ip;
            ++iv;
            continue;
        }
        if (estrella != std::string::npos) {
            ip = estrella + 1;
            iv = ++marca;
            continue;
        }
        return false;
    }
    while (ip < p.size() && p[ip].Clase == TElementoPatron::TClase::Todo)
        ++ip;
    return ip == p.size();
}

void fnLike(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const TTexto32 valor = decodifica(sqlite3_value_text(argv[0]), sqlite3_value_bytes(argv[0]));
    // A constant pattern is compiled once per statement and kept by SQLite with the call.
    if (const auto* guardado = static_cast<const TPatron*>(sqlite3_get_auxdata(ctx, 1)))
        return sqlite3_result_int(ctx, aplicaPatron(*guardado, valor) ? 1 : 0);
    try {
        auto patron = std::make_unique<TPatron>(
            compilaPatron(decodifica(sqlite3_value_text(argv[1]), sqlite3_value_bytes(argv[1]))));
        sqlite3_result_int(ctx, aplicaPatron(*patron, valor) ? 1 : 0);
        sqlite3_set_auxdata(ctx, 1, patron.release(), [](void* p) { delete static_cast<TPatron*>(p); });
    } catch (const TErrorJet& e) {
        resultadoError(ctx, e);
    }
}

// ---------------------------------------------------------------- text functions

QString mapea(const QString& s, bool bMayus)
{
    const QList<uint> cps = s.toUcs4();
    QString r;
    r.reserve(s.size());
    for (uint c : cps) {
        const char32_t m = bMayus ? QChar::toUpper(char32_t(c)) : QChar::toLower(char32_t(c));
        if (m > 0xFFFF) {
            r += QChar(QChar::highSurrogate(m));
            r += QChar(QChar::lowSurrogate(m));
        } else
            r += QChar(char16_t(m));
    }
    return r;
}

void cambiaCaso(sqlite3_context* ctx, sqlite3_value* v, bool bMayus)
{
    if (sqlite3_value_type(v) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const unsigned char* s = sqlite3_value_text(v);
    const int n = sqlite3_value_bytes(v);
    bool ascii = true;
    for (int i = 0; i < n && ascii; ++i)
        ascii = s[i] < 0x80;
    if (ascii) {
        std::string r(reinterpret_cast<const char*>(s), size_t(n));
        for (char& c : r) {
            if (bMayus && c >= 'a' && c <= 'z')
                c -= 32;
            else if (!bMayus && c >= 'A' && c <= 'Z')
                c += 32;
        }
        return sqlite3_result_text(ctx, r.data(), n, SQLITE_TRANSIENT);
    }
    resultadoTexto(ctx, mapea(utf8(v), bMayus));
}

void fnUCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    cambiaCaso(ctx, argv[0], true);
}

void fnLCase(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    cambiaCaso(ctx, argv[0], false);
}

void fnLeftRight(sqlite3_context* ctx, sqlite3_value** argv, bool bIzquierda)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return resultadoError(ctx, TErrorJet::UsoNoValidoNull());
    const int64_t n = sqlite3_value_int64(argv[1]);
    if (n < 0)
        return resultadoError(ctx, TErrorJet::LlamadaNoValida());
    const QString s = utf8(argv[0]);
    resultadoTexto(ctx, bIzquierda ? s.left(qsizetype(std::min<int64_t>(n, s.size())))
                                   : s.right(qsizetype(std::min<int64_t>(n, s.size()))));
}

void fnLeft(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    fnLeftRight(ctx, argv, true);
}

void fnRight(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    fnLeftRight(ctx, argv, false);
}

void fnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL ||
        (argc > 2 && sqlite3_value_type(argv[2]) == SQLITE_NULL))
        return resultadoError(ctx, TErrorJet::UsoNoValidoNull());
    const int64_t inicio = sqlite3_value_int64(argv[1]);
    const int64_t largo = argc > 2 ? sqlite3_value_int64(argv[2]) : std::numeric_limits<int32_t>::max();
    if (inicio < 1 || largo < 0)
        return resultadoError(ctx, TErrorJet::LlamadaNoValida());
    const QString s = utf8(argv[0]);
    if (inicio > s.size())
        return resultadoTexto(ctx, QString());
    resultadoTexto(ctx, s.mid(qsizetype(inicio - 1), qsizetype(std::min<int64_t>(largo, s.size()))));
}

void fnInStr(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return resultadoError(ctx, TErrorJet::UsoNoValidoNull());
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL || sqlite3_value_type(argv[2]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int64_t inicio = sqlite3_value_int64(argv[0]);
    if (inicio < 1)
        return resultadoError(ctx, TErrorJet::LlamadaNoValida());
    const QString s = utf8(argv[1]), b = utf8(argv[2]);
    if (inicio > s.size())
        return sqlite3_result_int(ctx, 0);
    const qsizetype p = s.indexOf(b, qsizetype(inicio - 1), Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, p < 0 ? 0 : p + 1);
}

} // namespace

int funcionesjet::colacionJet(void*, int na, const void* a, int nb, const void* b)
{
    return comparaUtf8(static_cast<const unsigned char*>(a), na, static_cast<const unsigned char*>(b), nb);
}

std::span<const TFuncionSqlite> funcionesjet::FuncionesTexto()
{
    static const TFuncionSqlite funciones[] = {
        {"jet_like", 2, fnLike}, {"jet_ucase", 1, fnUCase}, {"jet_lcase", 1, fnLCase},
        {"jet_left", 2, fnLeft}, {"jet_right", 2, fnRight}, {"jet_mid", 2, fnMid},
        {"jet_mid", 3, fnMid},   {"jet_instr", 3, fnInStr},
    };
    return funciones;
}

int ComparaTextoJet(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    return comparaUtf8(reinterpret_cast<const unsigned char*>(x.constData()), int(x.size()),
                       reinterpret_cast<const unsigned char*>(y.constData()), int(y.size()));
}

bool ComoJet(const QString& sValor, const QString& sPatron)
{
    return aplicaPatron(compilaPatron(decodifica(sPatron)), decodifica(sValor));
}
