#pragma once
// Trimming as the program means it everywhere: only the blank character is
// removed from both ends; a tab or any other space is part of the user's text.

#include <QString>

namespace platform {

inline QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace platform
