#include "tools/DataSet.h"

#include "platform/DataFiles.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "text/TextEncoding.h"
#include "tools/ProcessValues.h"
#include "tools/TextUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <string>

namespace {

bool ReadFileBytes(const std::string& path, QByteArray& bytes) {
    const TRegularFile file = OpenRegularFile(path);
    if (!file.IsOpen() || file.Info.Size > DataSetMaxFileSize)
        return false;

    bytes.resize(qsizetype(file.Info.Size));
    qsizetype done = 0;
    while (true) {
        if (done == bytes.size()) {
            // The file may have grown since it was opened; read on, but never past the limit.
            if (bytes.size() >= DataSetMaxFileSize + 1)
                return false;
            bytes.resize(std::min<qsizetype>(bytes.size() + 4096, DataSetMaxFileSize + 1));
        }
        int error = 0;
        const std::int64_t got =
            ReadDescriptor(file.Handle.Get(), bytes.data() + done, std::size_t(bytes.size() - done), error);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return true;
}

// A save writes to "<file>.tmp<pid>-XXXXXX" first. A process killed before its rename leaves
// that file behind; it is removed by the next save of the same data set once the process that
// wrote it has gone. A temporary of a live process (another instance saving) is left alone.
constexpr char TemporaryInfix[] = ".tmp";

bool WriterIsGone(QStringView suffix) {
    const qsizetype dash = suffix.indexOf(u'-');
    bool ok = false;
    const qint64 pid = suffix.left(dash).toLongLong(&ok);
    return dash > 0 && ok && ProcessIsGone(pid);
}

void RemoveStaleTemporaries(const QString& path) {
    const QFileInfo target(path);
    const QString prefix = target.fileName() + QLatin1String(TemporaryInfix);
    const QDir folder = target.dir();
    for (const QString& name : folder.entryList({prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (WriterIsGone(QStringView(name).mid(prefix.size())))
            RemoveFile(SystemName(folder.filePath(name)));
    }
}

// Replaces the file at path with bytes, never leaving a partly written file there, through a
// temporary that carries this process's id for RemoveStaleTemporaries. QSaveFile does the same
// but writes to the target of a link at path; the rename replaces the link itself, so nothing
// outside the folder is ever written.
bool ReplaceFile(const QString& path, const QByteArray& bytes) {
    RemoveStaleTemporaries(path);
    const std::string encoded = SystemName(path);
    return ReplaceFileAtomically(encoded, std::string_view(bytes.constData(), std::size_t(bytes.size())),
                                 encoded + TemporaryInfix + std::to_string(CurrentProcessId()) + "-");
}

// Paths whose file existed but did not load in this process. Saving over one of them would
// replace what the user had with an empty or partial list, so they are not saved until a
// load succeeds.
QSet<QString>& UnloadedPaths() {
    static QSet<QString> paths;
    return paths;
}

// A failed load of a file that is simply not there is an empty start; any other failure
// (no read permission, a read error, too large, not a regular file, a folder that cannot be
// searched) means the file may hold the user's data.
bool FileIsMissing(const QString& path) {
    int error = 0;
    return !LookAtPath(SystemName(path), true, error) && (error == ENOENT || error == ENOTDIR);
}

// Whether the file at path (links followed) may be replaced: a file the user could not write
// in place, as its mode says, is read-only and stays. A missing file may be created.
bool MayReplace(const QString& path) {
    return !ModeDeniesWriting(SystemName(path));
}

} // namespace

QString DataSetPath(const QString& name) {
    const QString normalized = NormalizeName(name);
    if (normalized.isEmpty() || DataFolder().isEmpty())
        return QString();
    return DataFolder() + QStringLiteral("DataSet_") + normalized + QStringLiteral(".dblst");
}

bool LoadDataSet(TStrings& list, const QString& name) {
    try {
        list.Clear();
        const QString path = DataSetPath(name);
        if (path.isEmpty())
            return false;

        QByteArray bytes;
        if (!ReadFileBytes(SystemName(path), bytes)) {
            if (!FileIsMissing(path))
                UnloadedPaths().insert(path);
            return false;
        }
        TTextEncoding encoding = TTextEncoding::Ansi;
        const QString text = ToQString(
            DecodeText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), encoding));
        bytes.clear();
        list.SetEncoding(encoding);
        list.SetText(text);
        UnloadedPaths().remove(path);
        return true;
    } catch (...) {
        // A list that cannot hold the text (or memory running out) must not leave half of it.
        try {
            list.Clear();
            UnloadedPaths().insert(DataSetPath(name));
        } catch (...) {
        }
        return false;
    }
}

bool SaveDataSet(const TStrings& list, const QString& name) {
    try {
        const QString path = DataSetPath(name);
        if (path.isEmpty() || UnloadedPaths().contains(path) || !MayReplace(path))
            return false;
        const std::string encoded = EncodeText(Utf16(list.Text()), list.Encoding());
        const QByteArray bytes(encoded.data(), static_cast<qsizetype>(encoded.size()));
        // What a load would refuse is not written: it would be lost at the next start.
        if (bytes.size() > DataSetMaxFileSize)
            return false;
        return ReplaceFile(path, bytes);
    } catch (...) {
        return false;
    }
}
