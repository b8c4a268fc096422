// The window program's own command line: the usage text without a display, and wrong
// arguments refused before any window or settings folder is made.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct ArgumentsCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    QByteArray standardOutput; // a beginning
    QByteArray standardError;  // a beginning
};

const ArgumentsCase ArgumentsCases[] = {
    {"help without a display", {"--help"}, 0, "Usage: quviro [FILE]\n", ""},
    {"unknown option", {"-x"}, 2, "", "quviro: unknown option -x\nUsage: quviro [FILE]\n"},
    {"two files", {"a", "b"}, 2, "", "quviro: only one FILE may be given\n"},
};

TEST(ProgramArgumentsTest, UsageAndRefusals) {
    for (const ArgumentsCase& c : ArgumentsCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        // Only the refusals get as far as the application object, which needs a platform.
        if (c.exitCode != 0)
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUVIRO_PROGRAM), c.arguments);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.exitCode);
        const QByteArray out = program.readAllStandardOutput();
        const QByteArray err = program.readAllStandardError();
        EXPECT_TRUE(out.startsWith(c.standardOutput)) << out.toStdString();
        EXPECT_TRUE(err.startsWith(c.standardError)) << err.toStdString();
        EXPECT_FALSE(QDir(home.filePath(QStringLiteral("config/quviro"))).exists()) << "no settings folder made";
    }
}

} // namespace
