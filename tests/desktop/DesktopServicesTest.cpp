#include "desktop/DesktopServices.h"

#include "tests/tools/QtPrinters.h"
#include "tests/tools/TempFolder.h"
#include "tools/XdgFolders.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

// Runs before any application object exists (GoogleTest keeps the order of definition).
TEST(CopyTextToClipboard, WithoutApplicationThrowsInsteadOfCrashing) {
    if (QCoreApplication::instance() != nullptr)
        GTEST_SKIP() << "an application object exists already (tests run in another order)";
    EXPECT_THROW(CopyTextToClipboard(QStringLiteral("x")), std::runtime_error);
}

class ClipboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "DesktopServicesTest";
        static char* argv[] = {name, nullptr};
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (QCoreApplication::instance() == nullptr)
            new QGuiApplication(argc, argv); // lives as long as the test process
    }
};

TEST_F(ClipboardTest, ReplacesTheWholeContentWithTheText) {
    const QString cases[] = {
        QStringLiteral("0123456789abcdef0123456789abcdef"),
        QString(), // the empty text replaces the content too
        QString::fromUtf8("\xc3\x9c\x6e\x69\x63\x6f\x64\x65 \xe2\x9c\x93 \xf0\x9d\x84\x9e"),
        QStringLiteral("two\r\nlines"),
        QStringLiteral("  spaces kept  "),
    };
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const QString& text : cases) {
        clipboard->setText(QStringLiteral("previous content"));
        CopyTextToClipboard(text);
        EXPECT_EQ(clipboard->text(), text);
    }
}

class SpecialFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"XDG_CONFIG_HOME", "HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR",
                                 "XDG_STATE_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"}) {
            const char* value = std::getenv(name);
            m_saved.push_back({name, value != nullptr ? std::optional<std::string>(value) : std::nullopt});
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : m_saved) {
            if (value)
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }

    TTempFolder m_folder;
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

TEST_F(SpecialFolderTest, AppDataIsTheConfigFolderWithATrailingSlash) {
    const QString config = m_folder / QStringLiteral("config");
    const QString home = m_folder / QStringLiteral("home");
    const struct {
        const char* name;
        std::optional<QString> configHome;
        QString expected;
    } cases[] = {
        {"XDG_CONFIG_HOME", config, config + QLatin1Char('/')},
        {"XDG_CONFIG_HOME with a slash", config + QLatin1Char('/'), config + QLatin1Char('/')},
        {"home folder", std::nullopt, home + QStringLiteral("/.config/")},
        {"relative XDG_CONFIG_HOME is ignored", QStringLiteral("relative/config"), home + QStringLiteral("/.config/")},
        {"empty XDG_CONFIG_HOME", QString(), home + QStringLiteral("/.config/")},
    };
    ::setenv("HOME", QFile::encodeName(home).constData(), 1);
    for (const auto& c : cases) {
        if (c.configHome)
            ::setenv("XDG_CONFIG_HOME", QFile::encodeName(*c.configHome).constData(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(GetSpecialFolder(CSIDL_APPDATA), c.expected) << c.name;
    }
    EXPECT_FALSE(QFile::exists(config)) << "the folder is not created";
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/.config")));
}

TEST_F(SpecialFolderTest, UnknownIdentifiersGiveEmptyText) {
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.Path()).constData(), 1);
    for (const int csidl : {0, 5, 0x1C, 0x23, -1, -26, 0x7FFFFFFF, CSIDL_APPDATA | 0x8000})
        EXPECT_EQ(GetSpecialFolder(csidl), QString()) << csidl;
}

TEST_F(SpecialFolderTest, RelativeXdgFoldersAreRemovedFromTheEnvironment) {
    const struct {
        const char* name;
        const char* value;
        const char* kept; // nullptr: removed
    } cases[] = {
        {"XDG_CONFIG_HOME", "config", nullptr},
        {"XDG_DATA_HOME", "./data", nullptr},
        {"XDG_CACHE_HOME", "~/cache", nullptr},
        {"XDG_STATE_HOME", "/abs/state", "/abs/state"},
        {"XDG_RUNTIME_DIR", "/run/user/1000", "/run/user/1000"},
        {"XDG_CONFIG_DIRS", "etc/xdg:/etc/xdg::rel", "/etc/xdg"},
        {"XDG_DATA_DIRS", "share:data", nullptr},
    };
    for (const auto& c : cases)
        ::setenv(c.name, c.value, 1);
    IgnoreRelativeXdgFolders();
    for (const auto& c : cases) {
        const char* value = std::getenv(c.name);
        if (c.kept == nullptr)
            EXPECT_EQ(value, nullptr) << c.name << " holds " << value;
        else
            EXPECT_STREQ(value, c.kept) << c.name;
    }
    EXPECT_EQ(XdgFolder("XDG_STATE_HOME"), QStringLiteral("/abs/state"));
    ::setenv("XDG_STATE_HOME", "state", 1);
    EXPECT_EQ(XdgFolder("XDG_STATE_HOME"), QString());
}

} // namespace
