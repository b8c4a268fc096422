#include "fuzz/FuzzFolder.h"

#include <QDir>

#include <cstdlib>
#include <cstring>

namespace {

// mkdtemp fills in the name; static storage outlives every other object of the process.
char FolderName[256];

} // namespace

const QString& FuzzDataFolder() {
    static const bool created = [] {
        const char* base = QDir(QStringLiteral("/dev/shm")).exists() ? "/dev/shm" : "/tmp";
        std::strcpy(FolderName, base);
        std::strcat(FolderName, "/quviro-fuzz-XXXXXX");
        if (!::mkdtemp(FolderName))
            std::abort();
        // Removed at exit even when libFuzzer ends the process with exit().
        std::atexit([] { QDir(QString::fromLocal8Bit(FolderName)).removeRecursively(); });
        return true;
    }();
    static const QString path = QString::fromLocal8Bit(FolderName) + u'/';
    (void)created;
    return path;
}

QStringList FuzzFolderEntries() {
    return QDir(FuzzDataFolder())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
