#include "tools/InstanceMarker.h"

#include "tests/tools/ChildProcess.h"
#include "tests/tools/QtPrinters.h"
#include "tests/tools/TempFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kName = QStringLiteral("ZTAppInstanceCheck_MARKERTEST");

// Points the runtime folder at a fresh owner-only folder, so that no marker of a real
// instance is touched; the environment is inherited by the helper processes.
class InstanceMarkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_runtime = std::make_unique<TTempFolder>();
        ::chmod(QFile::encodeName(m_runtime->Path()).constData(), 0700);
        ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->Path()).constData(), 1);
    }
    void TearDown() override {
        ReleaseInstanceAtoms();
        ::unsetenv("XDG_RUNTIME_DIR");
    }

    QString MarkerPath() const { return m_runtime->Path() + QLatin1Char('/') + kName; }

    static std::unique_ptr<TChildProcess> StartHolder() {
        auto holder =
            std::make_unique<TChildProcess>(QUVIRO_MARKER_HOLDER, std::vector<std::string>{kName.toStdString()});
        std::string line;
        EXPECT_TRUE(holder->ReadLine(line));
        EXPECT_EQ(line, "held");
        return holder;
    }

    std::unique_ptr<TTempFolder> m_runtime;
};

// A relative XDG_RUNTIME_DIR is ignored: the marker goes to the temp folder, and no folder
// appears in the current one.
TEST_F(InstanceMarkerTest, RelativeRuntimeFolderIsIgnored) {
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_runtime->Path()));
    ::setenv("XDG_RUNTIME_DIR", "relative-runtime", 1);
    const QString path = InstanceMarkerPath(kName);
    RegisterInstance(kName);
    ReleaseInstanceAtoms();
    QDir::setCurrent(current);
    EXPECT_EQ(path, QDir::tempPath() + QLatin1Char('/') + kName + QLatin1Char('-') + QString::number(::geteuid()));
    EXPECT_FALSE(QFile::exists(*m_runtime / QStringLiteral("relative-runtime")));
    QFile::remove(path);
}

TEST(InstanceNameFor, KeepsLettersAndDigitsUpperCased) {
    const struct {
        const char* fileName;
        const char* instanceName;
    } cases[] = {
        {"quviro", "ZTAppInstanceCheck_QUVIRO"},
        {"Quviro.exe", "ZTAppInstanceCheck_QUVIROEXE"},
        {"Checker 2", "ZTAppInstanceCheck_CHECKER2"},
        {"Checker 2.exe", "ZTAppInstanceCheck_CHECKER2EXE"},
        {"my.tool", "ZTAppInstanceCheck_MYTOOL"},
        {"x\xc3\xbc-y_z\t1", "ZTAppInstanceCheck_XYZ1"},
        {"", "ZTAppInstanceCheck_"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstanceNameFor(QString::fromUtf8(c.fileName)), QString::fromLatin1(c.instanceName)) << c.fileName;
}

TEST_F(InstanceMarkerTest, MarkerIsAnOwnerOnlyFileInTheRuntimeFolder) {
    EXPECT_EQ(InstanceMarkerPath(kName), MarkerPath());
    RegisterInstance(kName);
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(MarkerPath()).constData(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(InstanceMarkerTest, HeldFromRegisterToRelease) {
    EXPECT_FALSE(IsInstanceRunning(kName));
    RegisterInstance(kName);
    EXPECT_TRUE(IsInstanceRunning(kName));
    EXPECT_TRUE(IsInstanceRunning(kName)) << "asking must not take the marker away";
    RegisterInstance(kName);
    ReleaseInstanceAtoms();
    EXPECT_FALSE(IsInstanceRunning(kName)) << "a second register must not take a second hold";
    ReleaseInstanceAtoms();
    EXPECT_FALSE(IsInstanceRunning(kName));
    EXPECT_TRUE(QFile::exists(MarkerPath())) << "the file stays; the lock decides";
}

TEST_F(InstanceMarkerTest, SeenWhileEitherOfTwoProcessesRuns) {
    auto first = StartHolder();
    auto second = StartHolder();
    EXPECT_TRUE(IsInstanceRunning(kName));
    first->CloseInput();
    EXPECT_EQ(first->Wait(), 0);
    EXPECT_TRUE(IsInstanceRunning(kName)) << "the second instance still runs";
    second->CloseInput();
    EXPECT_EQ(second->Wait(), 0);
    EXPECT_FALSE(IsInstanceRunning(kName));
}

TEST_F(InstanceMarkerTest, GoneAfterKill) {
    auto first = StartHolder();
    auto second = StartHolder();
    first->Kill();
    EXPECT_EQ(first->Wait(), 128 + SIGKILL);
    EXPECT_TRUE(IsInstanceRunning(kName));
    second->Kill();
    EXPECT_EQ(second->Wait(), 128 + SIGKILL);
    EXPECT_FALSE(IsInstanceRunning(kName));
    EXPECT_TRUE(QFile::exists(MarkerPath()));
    auto third = StartHolder();
    EXPECT_TRUE(IsInstanceRunning(kName)) << "a left-over file is taken over by the next instance";
}

TEST_F(InstanceMarkerTest, PlantedFilesAreNeitherFollowedNorChanged) {
    const QByteArray marker = QFile::encodeName(MarkerPath());
    const QString victim = *m_runtime / QStringLiteral("victim");
    using TPlant = int (*)(const char* marker, const char* victim);
    const struct {
        const char* name;
        bool victimExists;
        TPlant plant;
    } cases[] = {
        {"link to an existing file", true, [](const char* m, const char* v) { return ::symlink(v, m); }},
        {"link to a missing file", false, [](const char* m, const char* v) { return ::symlink(v, m); }},
        {"second name of a file", true, [](const char* m, const char* v) { return ::link(v, m); }},
        {"named pipe", true, [](const char* m, const char*) { return ::mkfifo(m, 0600); }},
        {"folder", true, [](const char* m, const char*) { return ::mkdir(m, 0700); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(MarkerPath());
        ::rmdir(marker.constData());
        QFile::remove(victim);
        QFile file(victim);
        if (c.victimExists) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("secret");
            file.close();
        }
        ASSERT_EQ(c.plant(marker.constData(), QFile::encodeName(victim).constData()), 0);

        RegisterInstance(kName);
        EXPECT_FALSE(IsInstanceRunning(kName));
        ReleaseInstanceAtoms();
        if (c.victimExists) {
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), "secret");
            file.close();
        } else {
            EXPECT_FALSE(QFile::exists(victim)) << "the link's target must not be created";
        }
    }
}

TEST_F(InstanceMarkerTest, ExistingMarkerIsNotTruncated) {
    QFile file(MarkerPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();
    RegisterInstance(kName);
    EXPECT_TRUE(IsInstanceRunning(kName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "kept");
}

TEST_F(InstanceMarkerTest, ForeignMarkerIsNotUsed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    QFile file(MarkerPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(::chown(QFile::encodeName(MarkerPath()).constData(), 65534, 65534), 0);
    RegisterInstance(kName);
    EXPECT_FALSE(IsInstanceRunning(kName));
}

TEST_F(InstanceMarkerTest, ForeignRuntimeFolderIsNotUsed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving the runtime folder to another user needs root";
    ASSERT_EQ(::chown(QFile::encodeName(m_runtime->Path()).constData(), 65534, 65534), 0);
    TTempFolder temp;
    ::setenv("TMPDIR", QFile::encodeName(temp.Path()).constData(), 1);
    const QString path = InstanceMarkerPath(kName);
    RegisterInstance(kName);
    const bool running = IsInstanceRunning(kName);
    ReleaseInstanceAtoms();
    ::unsetenv("TMPDIR");

    // The marker moves to a folder of this user in the temp folder.
    EXPECT_TRUE(path.startsWith(temp.Path() + QLatin1Char('/'))) << path.toStdString();
    struct stat folder {};
    ASSERT_EQ(::stat(QFile::encodeName(path.left(path.lastIndexOf(QLatin1Char('/')))).constData(), &folder), 0);
    EXPECT_EQ(folder.st_uid, ::geteuid());
    EXPECT_TRUE(running);
}

} // namespace
