// quviro-cli's usage and help, printed from the commands' option declarations
// (cli/CliOptionTable.h), and its version.
#pragma once

#include <QString>
#include <QStringList>

// Where an option's description starts in the help, and the width its lines keep within.
inline constexpr qsizetype HelpColumn = 29;
inline constexpr qsizetype HelpWidth = 92;

// The words of text, which a line of the help may break between; a no-break space (U+00A0)
// joins two words into one, printed with a space.
QStringList Words(QStringView text);

// words set in lines, the first line continuing a head that ends at column, the others indented
// to it; ends with a line feed. A word may hold spaces: it is never broken.
QString HelpParagraph(const QStringList& words, qsizetype column = HelpColumn);

// The usage lines shown with a usage error, one per command, and the whole help text.
QString CliUsageText();
QString CliHelpText();
// The version of the running executable, read from its version record; empty without one.
QString CliVersionText();
