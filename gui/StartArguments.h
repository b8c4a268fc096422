// The command line of the window program: "quviro [FILE]".
#pragma once

#include <QString>
#include <QStringList>

struct TStartArguments {
    // The file to hash at start, made absolute against the current folder (an empty name
    // gives the folder itself, which then "does not exist" as a file); empty for none.
    QString File;
    bool Help = false;
    // Empty when the arguments were understood, else what is wrong with them.
    QString Error;
};

// Reads the arguments after the program name (the toolkit's own options already removed).
// "--" ends the options, so a file named like one can be given after it; "-h"/"--help" asks
// for the usage text. Any other argument that starts with "-", or a second FILE, is an error.
TStartArguments ParseStartArguments(const QStringList& arguments, const QString& currentFolder);

// True when "-h" or "--help" comes before any "--": asked before the application object
// exists, so that the usage text shows without a display.
bool AsksForHelp(const QStringList& arguments);

// "Usage: quviro [FILE]" and a line on what FILE does.
QString StartUsageText();
