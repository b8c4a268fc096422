#include "tools/Environment.h"

#include "tests/tools/ChildProcess.h"
#include "tests/tools/QtPrinters.h"
#include "tests/tools/TempFolder.h"
#include "tools/ConfigStore.h"
#include "tools/InstanceMarker.h"
#include "tools/ProcessValues.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <utime.h>

namespace {

using TReport = std::map<std::string, QString>;

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

time_t ModifiedOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mtime : 0;
}

QByteArray ContentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AppNameFor, IsTheFileNameBeforeItsLastFullStop) {
    const struct {
        const char* path;
        const char* appName;
    } cases[] = {
        {"/usr/bin/quviro", "quviro"},
        {"/opt/Quviro.exe", "Quviro"},
        {"/tmp/Checker 2", "Checker 2"},
        {"/x/my.tool.exe", "my.tool"},
        {"/a.b/plain", "plain"},
        {"relative/name.", "name"},
        {"/x/.hidden", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AppNameFor(QString::fromUtf8(c.path)), QString::fromUtf8(c.appName)) << c.path;
}

TEST(DataFolderFor, JoinsWithOneTrailingSlash) {
    EXPECT_EQ(DataFolderFor(QStringLiteral("/home/ann/.config/"), QStringLiteral("quviro")),
              QStringLiteral("/home/ann/.config/quviro/"));
    EXPECT_EQ(DataFolderFor(QString(), QStringLiteral("quviro")), QStringLiteral("quviro/"));
    EXPECT_EQ(DataFolderFor(QStringLiteral("/home/ann/.config/"), QString()), QStringLiteral("/home/ann/.config/"));
}

TEST(CreateDataFolder, CreatesMissingLevelsOwnerOnlyAndKeepsExistingOnes) {
    TTempFolder root;
    ::chmod(QFile::encodeName(root.Path()).constData(), 0755);
    ASSERT_TRUE(CreateDataFolder(root / QStringLiteral("a/b/c/")));
    for (const char* level : {"a", "a/b", "a/b/c"})
        EXPECT_EQ(ModeOf(root / QString::fromLatin1(level)), 0700u) << level;
    EXPECT_EQ(ModeOf(root.Path()), 0755u) << "an existing folder keeps its permissions";

    ASSERT_EQ(::symlink("a/b", QFile::encodeName(root / QStringLiteral("link")).constData()), 0);
    EXPECT_TRUE(CreateDataFolder(root / QStringLiteral("link/")));
    QFile file(root / QStringLiteral("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(CreateDataFolder(root / QStringLiteral("file/")));
    EXPECT_FALSE(CreateDataFolder(root / QStringLiteral("file/below/")));
    EXPECT_FALSE(CreateDataFolder(QString()));
}

// Runs copies of the probe program under chosen names, with the config and runtime folders
// in a fresh temporary folder (the config folder's parent missing, as on a first run).
class EnvironmentProbeTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_bin = m_root / QStringLiteral("bin");
        m_config = m_root / QStringLiteral("xdg/config");
        m_runtime = m_root / QStringLiteral("run");
        ASSERT_TRUE(QDir().mkpath(m_bin));
        ASSERT_EQ(::mkdir(QFile::encodeName(m_runtime).constData(), 0700), 0);
        // The test process asks for the markers in the same runtime folder as the probes.
        ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime).constData(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_RUNTIME_DIR"); }

    std::unique_ptr<TChildProcess> Start(const QString& name, TReport& report,
                                         std::vector<std::string> environment = {}) {
        const QString program = m_bin + QLatin1Char('/') + name;
        if (!QFile::exists(program)) {
            EXPECT_TRUE(QFile::copy(QStringLiteral(QUVIRO_ENVIRONMENT_PROBE), program));
            ::chmod(QFile::encodeName(program).constData(), 0755);
        }
        environment.push_back("XDG_CONFIG_HOME=" + m_config.toStdString());
        environment.push_back("XDG_RUNTIME_DIR=" + m_runtime.toStdString());
        auto probe = std::make_unique<TChildProcess>(program.toStdString(), std::vector<std::string>{}, environment);
        std::vector<std::string> lines;
        EXPECT_TRUE(probe->ReadUntil("READY", lines));
        for (const std::string& line : lines) {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos)
                report[line.substr(0, equals)] = QString::fromStdString(line.substr(equals + 1));
        }
        return probe;
    }

    static void Finish(TChildProcess& probe) {
        probe.CloseInput();
        std::string line;
        EXPECT_TRUE(probe.ReadLine(line));
        EXPECT_EQ(line, "DONE");
        EXPECT_EQ(probe.Wait(), 0);
    }

    QString ConfigFile(const QString& appName) const {
        return m_config + QLatin1Char('/') + appName + QStringLiteral("/DataSet_SYSTEMCONFIG.dblst");
    }
    QString GlobalsFile(const QString& appName) const {
        return m_config + QLatin1Char('/') + appName + QStringLiteral("/DataSet_SYSTEMGLOBALS.dblst");
    }

    TTempFolder m_root;
    QString m_bin, m_config, m_runtime;
};

TEST_F(EnvironmentProbeTest, FirstRunUnderEachNameGetsItsOwnFolderAndMarker) {
    const struct {
        const char* fileName;
        const char* appName;
        const char* instance;
    } cases[] = {
        {"quviro", "quviro", "ZTAppInstanceCheck_QUVIRO"},
        {"Checker 2", "Checker 2", "ZTAppInstanceCheck_CHECKER2"},
        {"my.tool.bin", "my.tool", "ZTAppInstanceCheck_MYTOOLBIN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        const QString appName = QString::fromUtf8(c.appName);
        const QString dataFolder = m_config + QLatin1Char('/') + appName + QLatin1Char('/');
        TReport report;
        auto probe = Start(QString::fromUtf8(c.fileName), report);
        EXPECT_EQ(report["AppName"], appName);
        EXPECT_EQ(report["DataFolder"], dataFolder);
        EXPECT_EQ(report["Instance"], QString::fromLatin1(c.instance));
        EXPECT_EQ(report["Running"], QStringLiteral("1"));
        EXPECT_EQ(report["ConfigCount"], QStringLiteral("0")) << "a first run starts with empty stores";
        EXPECT_TRUE(IsInstanceRunning(QString::fromLatin1(c.instance)));
        EXPECT_TRUE(QFileInfo(dataFolder).isDir());
        EXPECT_EQ(ModeOf(dataFolder), 0700u);
        EXPECT_EQ(ModeOf(m_root / QStringLiteral("xdg")), 0700u) << "missing parents are created owner-only";

        Finish(*probe);
        EXPECT_FALSE(IsInstanceRunning(QString::fromLatin1(c.instance)));
        EXPECT_TRUE(QDir(dataFolder).isEmpty()) << "unchanged stores are not written";
    }
}

TEST_F(EnvironmentProbeTest, StoresAreWrittenAtExitOnlyWhenChanged) {
    TReport first;
    auto probe = Start(QStringLiteral("quviro"), first);
    probe->WriteLine("set Probe hello");
    Finish(*probe);
    EXPECT_TRUE(ContentOf(ConfigFile(QStringLiteral("quviro"))).contains("PROBE=hello\r\n"));
    EXPECT_FALSE(QFile::exists(GlobalsFile(QStringLiteral("quviro"))));

    // Age the file, so that a rewrite would show in its time stamp.
    const utimbuf old{1000000000, 1000000000};
    ASSERT_EQ(::utime(QFile::encodeName(ConfigFile(QStringLiteral("quviro"))).constData(), &old), 0);
    TReport second;
    probe = Start(QStringLiteral("quviro"), second);
    EXPECT_EQ(second["Probe"], QStringLiteral("hello")) << "the store is loaded at start-up";
    Finish(*probe);
    EXPECT_EQ(ModifiedOf(ConfigFile(QStringLiteral("quviro"))), 1000000000);
}

TEST_F(EnvironmentProbeTest, NumbersUseTheFullStopUnderACommaLocale) {
    const locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
    if (german == nullptr)
        GTEST_SKIP() << "the locale de_DE.UTF-8 is missing (scripts/ensure-locale generates it)";
    ::freelocale(german);
    TReport report;
    auto probe = Start(QStringLiteral("quviro"), report, {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"});
    ASSERT_EQ(report["SystemDecimal"], QStringLiteral(",")) << "the probe must really run under the comma locale";
    EXPECT_EQ(report["CFormat"], QStringLiteral("1.25"));
    EXPECT_EQ(report["QtFormat"], QStringLiteral("1.25"));
    probe->WriteLine("float Ratio 2.5");
    Finish(*probe);
    EXPECT_TRUE(ContentOf(ConfigFile(QStringLiteral("quviro"))).contains("RATIO=2.5\r\n"));
}

TEST_F(EnvironmentProbeTest, StartsWhenTheDataFolderCannotBeCreated) {
    QFile blocker(m_root / QStringLiteral("xdg"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the config folder's parent should be
    blocker.close();
    TReport report;
    auto probe = Start(QStringLiteral("quviro"), report);
    EXPECT_EQ(report["DataFolder"], m_config + QStringLiteral("/quviro/"));
    EXPECT_EQ(report["Running"], QStringLiteral("1"));
    probe->WriteLine("set Probe lost");
    Finish(*probe);
    EXPECT_FALSE(QFile::exists(ConfigFile(QStringLiteral("quviro"))));
}

TEST_F(EnvironmentProbeTest, KilledInstanceLeavesNoMarker) {
    TReport first, second;
    auto one = Start(QStringLiteral("quviro"), first);
    auto two = Start(QStringLiteral("quviro"), second);
    EXPECT_EQ(second["Running"], QStringLiteral("1"));
    one->Kill();
    EXPECT_EQ(one->Wait(), 128 + SIGKILL);
    EXPECT_TRUE(IsInstanceRunning(QStringLiteral("ZTAppInstanceCheck_QUVIRO")));
    two->Kill();
    EXPECT_EQ(two->Wait(), 128 + SIGKILL);
    EXPECT_FALSE(IsInstanceRunning(QStringLiteral("ZTAppInstanceCheck_QUVIRO")));
}

// In this process; the sequences run once per process, so this is the only test that calls them.
TEST(EnvironmentSequences, RunOncePerProcess) {
    TTempFolder root;
    const QString runtime = root / QStringLiteral("run");
    ASSERT_EQ(::mkdir(QFile::encodeName(runtime).constData(), 0700), 0);
    ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime).constData(), 1);
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(root / QStringLiteral("config")).constData(), 1);
    const QString instance = QStringLiteral("ZTAppInstanceCheck_CHECKER2");

    EXPECT_EQ(AppName(), QString());
    StartUpEnvironment(QStringLiteral("/opt/tools/Checker 2"));
    EXPECT_EQ(AppName(), QStringLiteral("Checker 2"));
    EXPECT_EQ(DataFolder(), root / QStringLiteral("config/Checker 2/"));
    EXPECT_TRUE(IsInstanceRunning(instance));
    EXPECT_EQ(ConfigList().Count(), 0);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));

    StartUpEnvironment(QStringLiteral("/opt/tools/Other"));
    EXPECT_EQ(AppName(), QStringLiteral("Checker 2")) << "a second start-up does nothing";
    EXPECT_FALSE(IsInstanceRunning(QStringLiteral("ZTAppInstanceCheck_OTHER")));

    ShutDownEnvironment();
    EXPECT_FALSE(IsInstanceRunning(instance));
    EXPECT_THROW(ConfigList(), std::logic_error) << "the lists are gone after shut-down";
    EXPECT_NO_THROW(ShutDownEnvironment());
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
