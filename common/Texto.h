#pragma once

#include <QString>

// Blank: nothing left after removing leading and trailing spaces and control characters
// (everything up to the space character), as the program's blank tests mean it.
inline bool EsBlanco(const QString& s)
{
    for (QChar c : s) {
        if (c > QChar(' '))
            return false;
    }
    return true;
}

// The text without leading and trailing spaces and control characters.
inline QString QuitaBlancos(const QString& s)
{
    int i = 0, j = int(s.size());
    while (i < j && s[i] <= QChar(' '))
        ++i;
    while (j > i && s[j - 1] <= QChar(' '))
        --j;
    return s.mid(i, j - i);
}
