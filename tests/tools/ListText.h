// Helpers that show a string list as one readable text in test failures.
#pragma once

#include "tools/Strings.h"

#include <QStringList>

#include <string>

// The lines joined with "|", e.g. "a|b|" for the lines a, b and an empty one.
inline std::string Joined(const TStrings& list) {
    QStringList lines;
    for (int i = 0; i < list.Count(); ++i)
        lines << list.Get(i);
    return lines.join(u'|').toStdString();
}

inline std::string Joined(const QStringList& lines) {
    return lines.join(u'|').toStdString();
}
