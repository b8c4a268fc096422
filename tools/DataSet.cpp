#include "tools/DataSet.h"

#include "tools/ProcessValues.h"
#include "tools/TextEncoding.h"
#include "tools/TextUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Closes a descriptor when the scope ends.
class TDescriptor {
public:
    explicit TDescriptor(int fd) : m_fd(fd) {}
    ~TDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;

    int Get() const { return m_fd; }
    // Closes now and answers whether the close succeeded; a failing close may mean that
    // written data did not reach the disk.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool ReadFileBytes(const QByteArray& path, QByteArray& bytes) {
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; such a path is then
    // refused because it is not a regular file.
    TDescriptor file(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0)
        return false;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > DataSetMaxFileSize)
        return false;

    bytes.resize(qsizetype(info.st_size));
    qsizetype done = 0;
    while (true) {
        if (done == bytes.size()) {
            // The file may have grown since fstat; read on, but never past the limit.
            if (bytes.size() >= DataSetMaxFileSize + 1)
                return false;
            bytes.resize(std::min<qsizetype>(bytes.size() + 4096, DataSetMaxFileSize + 1));
        }
        const ssize_t got = ::read(file.Get(), bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return true;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += put;
    }
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
    return dash > 0 && ok && pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void RemoveStaleTemporaries(const QString& path) {
    const QFileInfo target(path);
    const QString prefix = target.fileName() + QLatin1String(TemporaryInfix);
    const QDir folder = target.dir();
    for (const QString& name : folder.entryList({prefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (WriterIsGone(QStringView(name).mid(prefix.size())))
            ::unlink(QFile::encodeName(folder.filePath(name)).constData());
    }
}

// Replaces the file at path with bytes without ever leaving a partly written file there:
// the bytes go to a new file in the same folder, which is flushed and renamed over path.
// QSaveFile does the same but writes to the target of a link at path; rename() replaces the
// link itself, so nothing outside the folder is ever written.
bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes) {
    RemoveStaleTemporaries(path);
    QByteArray temporary =
        QFile::encodeName(path) + TemporaryInfix + QByteArray::number(qint64(::getpid())) + "-XXXXXX";
    // mkostemp creates the file exclusively, owner-only.
    TDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0)
        return false;

    const bool written = ::fchmod(file.Get(), S_IRUSR | S_IWUSR) == 0 && WriteAll(file.Get(), bytes) &&
                         ::fsync(file.Get()) == 0 && file.Close() &&
                         ::rename(temporary.constData(), QFile::encodeName(path).constData()) == 0;
    if (!written) {
        ::unlink(temporary.constData());
        return false;
    }

    // Make the rename itself durable; the file is already complete, so a failure here is not
    // a failed save.
    const QByteArray folder = QFile::encodeName(DataFolder());
    TDescriptor directory(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Get() >= 0)
        ::fsync(directory.Get());
    return true;
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
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

bool InGroup(gid_t group) {
    if (group == ::getegid())
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    const int count = groups.empty() ? 0 : ::getgroups(static_cast<int>(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(count, 0), group) != groups.begin() + std::max(count, 0);
}

// Whether the file at path (links followed) may be replaced: a file the user could not write
// in place, as its mode says for its owner, group or others, is read-only and stays. The mode
// decides for root too, who could write it anyway. A missing file may be created.
bool MayReplace(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return true;
    mode_t writeBit = S_IWOTH;
    if (info.st_uid == ::geteuid())
        writeBit = S_IWUSR;
    else if (InGroup(info.st_gid))
        writeBit = S_IWGRP;
    return (info.st_mode & writeBit) != 0;
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
        if (!ReadFileBytes(QFile::encodeName(path), bytes)) {
            if (!FileIsMissing(path))
                UnloadedPaths().insert(path);
            return false;
        }
        TTextEncoding encoding = TTextEncoding::Ansi;
        const QString text = DecodeText(bytes, encoding);
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
        const QByteArray bytes = EncodeText(list.Text(), list.Encoding());
        // What a load would refuse is not written: it would be lost at the next start.
        if (bytes.size() > DataSetMaxFileSize)
            return false;
        return ReplaceFileAtomically(path, bytes);
    } catch (...) {
        return false;
    }
}
