// The main window driven as a user drives it: clicks, typed text, dropped files and the
// clipboard, on the offscreen platform. The settings stores live in a temporary DataFolder;
// a restart destroys the window, writes the stores, reloads them and makes a new window.
#include "gui/QVMain.h"

#include "gui/ClickLabel.h"
#include "gui/ExpectedDigestRow.h"
#include "gui/FitLabel.h"
#include "gui/RadioGroup.h"
#include "gui/Shape.h"
#include "gui/TextColours.h"
#include "gui/WindowFonts.h"
#include "pipeline/ExpectedDigest.h"
#include "pipeline/HashPipeline.h"
#include "platform/ThreadStart.h"
#include "tests/gui/QtPrinters.h"
#include "tests/support/ReplacedNew.h"
#include "tests/support/StateWait.h"
#include "tools/ConfigStore.h"
#include "tools/DataSet.h"
#include "tools/ProcessValues.h"
#include "tools/TextUtils.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <semaphore>
#include <stdexcept>
#include <string_view>
#include <sys/stat.h>
#include <utility>

// Allocations of at least g_refuseFrom bytes fail while it is set, to run the window out of
// memory without exhausting the machine.
namespace {
std::atomic<std::size_t> g_refuseFrom{0};

bool AllowBelowRefusal(std::size_t size) {
    const std::size_t refuseFrom = g_refuseFrom;
    return refuseFrom == 0 || size < refuseFrom;
}
} // namespace

namespace {

// The algorithms a digest typed in the field may be of.
QStringList AlgorithmsOf(const QString& digest) {
    QStringList names;
    for (const std::u16string& name : AlgorithmsOfDigest(ParseExpectedDigest(Utf16(digest))))
        names.append(ToQString(name));
    return names;
}

// A list's digest as the hashing thread finds it beside a file.
TSidecarDigest Listed(const QString& digest, const QString& algorithm, const QString& list, bool namedAfterFile) {
    return {std::u16string(Utf16(digest)), std::u16string(Utf16(algorithm)), std::u16string(Utf16(list)),
            namedAfterFile};
}

// Further digests of the same read, each of the digest given.
std::vector<TAlgorithmDigest> DigestsOf(const QStringList& algorithms, const QString& digest) {
    std::vector<TAlgorithmDigest> digests;
    for (const QString& name : algorithms)
        digests.push_back({std::u16string(Utf16(name)), std::u16string(Utf16(digest))});
    return digests;
}

const QString Sha1Abc = u"a9993e364706816aba3e25717850c26c9cd0d89d"_qs;
const QColor Grey(128, 128, 128);
const QColor Green(64, 192, 64);
const QColor Red(255, 0, 0);
const QColor Silver(192, 192, 192);
// A designed text colour as the window draws it: readable on the window's background.
QColor OnWindow(const QColor& designed) {
    return ReadableOn(designed, QApplication::palette().color(QPalette::Window));
}

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

QColor StatusColour(const TfrmQVMain& window) {
    return window.lblStatus->palette().color(QPalette::WindowText);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Drags the file at path onto target and drops it there.
void DropFile(QWidget* target, const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}

class QVMainTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        SetDataFolder(m_folder.path() + u'/');
        CreateStoreLists();
        LoadStores();
        QGuiApplication::clipboard()->setText(u"before"_qs);
    }

    void TearDown() override {
        m_window.reset();
        DestroyStoreLists();
        SetDataFolder(QString());
    }

    // A new window on screen; with load, init has run.
    TfrmQVMain& Open(bool load = true) {
        m_window = std::make_unique<TfrmQVMain>();
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get(), StateWaitMs));
        if (load)
            m_window->init();
        return *m_window;
    }

    // Closes the window as the user does, ends the run as the program does (stores written,
    // lists destroyed), and starts the next run with a new window.
    TfrmQVMain& Restart() {
        m_window->close();
        m_window.reset();
        FlushConfig();
        DestroyStoreLists();
        CreateStoreLists();
        LoadStores();
        return Open();
    }

    QString Path(const QString& name) const { return m_folder.filePath(name); }

    static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // Clicks the # button and waits for the outcome: the hash runs on a thread of its own.
    static void Compute(TfrmQVMain& w) {
        Click(w.btnRefresh);
        ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
    }

    // Types text; a line feed is the Return key.
    static void Type(QWidget* widget, const QString& text) {
        widget->setFocus();
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(widget, Qt::Key_Return);
            QTest::keyClicks(widget, lines[i]);
        }
    }

    static QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    QTemporaryDir m_folder;
    std::unique_ptr<TfrmQVMain> m_window;
};

TEST_F(QVMainTest, LoadingStateBeforeInit) {
    TfrmQVMain& w = Open(false);
    EXPECT_EQ(w.lblHash->text(), u"Loading..."_qs);
    EXPECT_EQ(w.lblStatus->text(), u"Loading..."_qs);
    EXPECT_EQ(StatusColour(w), OnWindow(Grey));
    EXPECT_EQ(w.rgInputType->Items(),
              QStringList({"File name (Hash the File)", "Text Value (as is)", "Hexadecimal bytes", "Base64 Encoded"}));
    // The fourth item's label is the drop-down of the other algorithms.
    EXPECT_EQ(w.rgHashes->Items(), QStringList({"MD5", "SHA1", "SHA256", ""}));
    EXPECT_EQ(w.rgSaltType->Items(), QStringList({"None", "Prefix", "Suffix"}));
    EXPECT_EQ(w.rgInputType->Columns(), 4);
    EXPECT_EQ(w.rgSaltType->Columns(), 3);
    EXPECT_EQ(w.rgHashes->Columns(), 1);
    for (TRadioGroup* group : {w.rgInputType, w.rgHashes, w.rgSaltType})
        EXPECT_EQ(group->ItemIndex(), -1) << group->title().toStdString();
    EXPECT_EQ(w.windowTitle(), u"Quviro :: Data hashing algorithms : v"_qs + QStringLiteral(QUVIRO_PROJECT_VERSION));
    EXPECT_FALSE(w.IsLoaded());
}

TEST_F(QVMainTest, FirstRunDefaults) {
    TfrmQVMain& w = Open();
    EXPECT_EQ(w.rgInputType->ItemIndex(), InputTypeText);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 1);
    EXPECT_EQ(w.rgSaltType->ItemIndex(), SaltTypePrefix);
    EXPECT_FALSE(w.chkTrim->isChecked());
    EXPECT_FALSE(w.chkUpper->isChecked());
    EXPECT_EQ(w.memVal->toPlainText(), QString());
    EXPECT_EQ(w.cbSalt->currentText(), QString());
    EXPECT_EQ(w.cbSalt->count(), 0);
    EXPECT_EQ(w.frameGeometry().width(), 1072);
    EXPECT_EQ(w.lblHash->text(), u"Ready."_qs);
    EXPECT_EQ(w.lblStatus->text(), QString());
    EXPECT_EQ(StatusColour(w), OnWindow(Silver));
}

TEST_F(QVMainTest, TheTimerRunsInitHalfASecondAfterCreation) {
    QElapsedTimer clock;
    clock.start();
    TfrmQVMain& w = Open(false);
    ASSERT_TRUE(QTest::qWaitFor([&w] { return w.IsLoaded(); }, StateWaitMs));
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_EQ(w.lblHash->text(), u"Ready."_qs);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 1);
}

TEST_F(QVMainTest, ButtonBeforeInitIsAnUnsupportedInputMethod) {
    TfrmQVMain& w = Open(false);
    Type(w.memVal, u"abc"_qs);
    Compute(w);
    EXPECT_EQ(w.lblStatus->text(), u"Unsupported Input Method"_qs);
    EXPECT_EQ(StatusColour(w), OnWindow(Red));
    EXPECT_EQ(w.lblHash->text(), QString());
    EXPECT_TRUE(w.btnRefresh->isEnabled());
}

TEST_F(QVMainTest, TypedTextIsHashedAndTheDigestCopiedFromEitherLabel) {
    TfrmQVMain& w = Open();
    Type(w.memVal, u"abc"_qs);
    Compute(w);
    EXPECT_EQ(w.lblHash->text(), Sha1Abc);
    EXPECT_EQ(w.lblHashType->text(), u"SHA1:"_qs);
    EXPECT_EQ(w.lblStatus->text(), u"Success creating SHA1 hash."_qs);
    EXPECT_EQ(StatusColour(w), OnWindow(Green));
    EXPECT_TRUE(w.btnRefresh->isEnabled());
    EXPECT_EQ(Clipboard(), u"before"_qs) << "computing copies nothing";

    Click(w.lblHash);
    EXPECT_EQ(Clipboard(), Sha1Abc);
    QGuiApplication::clipboard()->setText(u"other"_qs);
    Click(w.lblHashType);
    EXPECT_EQ(Clipboard(), Sha1Abc) << "the algorithm label copies the digest, not its own text";
}

// Indexes of the offered algorithms.
constexpr int Md5Item = 0;
constexpr int Sha1Item = 1;
constexpr int Sha256Item = 2;

struct RequestCase {
    const char* name = "";
    int inputType = InputTypeText;
    int hashType = Sha1Item;
    bool trim = false;
    bool upper = false;
    int saltType = SaltTypeNone;
    QString salt{};
    QString typed{};
    // Success: the digest shown; failure: empty.
    QString digest{};
    QString status{};
    // The salt history after the request.
    QStringList history{};
};

// clang-format off
const RequestCase RequestCases[] = {
    {.name = "MD5", .hashType = Md5Item, .saltType = SaltTypePrefix, .typed = "abc",
     .digest = "900150983cd24fb0d6963f7d28e17f72", .status = "Success creating MD5 hash."},
    {.name = "SHA256 upper case", .hashType = Sha256Item, .upper = true, .typed = "abc",
     .digest = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
     .status = "Success creating SHA256 hash."},
    {.name = "salt prefix, trimmed, remembered", .saltType = SaltTypePrefix, .salt = "  a ", .typed = "bc",
     .digest = Sha1Abc, .status = "Success creating SHA1 hash.", .history = {"a"}},
    {.name = "salt suffix", .saltType = SaltTypeSuffix, .salt = "c", .typed = "ab", .digest = Sha1Abc,
     .status = "Success creating SHA1 hash.", .history = {"c"}},
    {.name = "salt ignored when none", .salt = "zz", .typed = "abc", .digest = Sha1Abc,
     .status = "Success creating SHA1 hash."},
    {.name = "trim removes the typed line break", .trim = true, .typed = "abc\n", .digest = Sha1Abc,
     .status = "Success creating SHA1 hash."},
    {.name = "empty file name", .inputType = InputTypeFile, .saltType = SaltTypePrefix, .salt = "s", .typed = "",
     .status = "File does not exist"},
    {.name = "hexadecimal", .inputType = InputTypeHex, .saltType = SaltTypePrefix, .salt = "s", .typed = "0x00",
     .status = "(Hexadecimal not supported in this version)"},
    {.name = "base64", .inputType = InputTypeBase64, .saltType = SaltTypePrefix, .salt = "s", .typed = " YWJj ",
     .digest = Sha1Abc, .status = "Success creating SHA1 hash."},
    {.name = "bad base64", .inputType = InputTypeBase64, .saltType = SaltTypePrefix, .salt = "s", .typed = "Y W",
     .status = "Invalid Base-64 text"},
};
// clang-format on

TEST_F(QVMainTest, RequestsFromTheControls) {
    TfrmQVMain& w = Open();
    for (const RequestCase& c : RequestCases) {
        SCOPED_TRACE(c.name);
        w.memVal->clear();
        w.cbSalt->clear();
        w.rgInputType->SetItemIndex(c.inputType);
        w.rgHashes->SetItemIndex(c.hashType);
        w.chkTrim->setChecked(c.trim);
        w.chkUpper->setChecked(c.upper);
        w.rgSaltType->SetItemIndex(c.saltType);
        w.cbSalt->setEditText(c.salt);
        Type(w.memVal, c.typed);
        Compute(w);
        EXPECT_EQ(w.lblHash->text(), c.digest);
        EXPECT_EQ(w.lblStatus->text(), c.status);
        EXPECT_EQ(StatusColour(w), OnWindow(c.digest.isEmpty() ? Red : Green));
        EXPECT_EQ(w.lblHashType->text().isEmpty(), c.digest.isEmpty());
        EXPECT_EQ(Items(w.cbSalt), c.history);
        EXPECT_EQ(w.cbSalt->currentText(), c.salt) << "the salt box keeps what was typed";
    }
}

TEST_F(QVMainTest, ClickingCopiesTheStateWordButNothingAfterAFailure) {
    TfrmQVMain& w = Open(false);
    Click(w.lblHash);
    EXPECT_EQ(Clipboard(), u"Loading..."_qs);
    w.init();
    Click(w.lblHashType);
    EXPECT_EQ(Clipboard(), u"Ready."_qs);

    QGuiApplication::clipboard()->setText(u"keep"_qs);
    w.rgInputType->SetItemIndex(InputTypeFile);
    Compute(w);
    ASSERT_EQ(w.lblStatus->text(), u"File does not exist"_qs);
    Click(w.lblHash);
    Click(w.lblHashType);
    EXPECT_EQ(Clipboard(), u"keep"_qs);
}

TEST_F(QVMainTest, TheFirstOfThreeDroppedFilesBecomesTheInput) {
    const QString files[] = {Path(u"one.txt"_qs), Path(u"two.txt"_qs), Path(u"three.txt"_qs)};
    WriteFile(files[0], "abc");
    WriteFile(files[1], "other");
    WriteFile(files[2], "more");
    QMimeData data;
    data.setUrls({QUrl(u"https://example.org/x"_qs), QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1]),
                  QUrl::fromLocalFile(files[2])});
    // File managers offer the paths as text as well, which a text box would insert.
    data.setText(files[0] + u'\n' + files[1] + u'\n' + files[2]);

    TfrmQVMain& w = Open();
    // On the window itself, and on the memo and the salt box, which would otherwise take the drop as text.
    const std::pair<const char*, QWidget*> targets[] = {
        {"window", &w}, {"memo", w.memVal->viewport()}, {"salt box", w.cbSalt->lineEdit()}};
    for (const auto& [name, target] : targets) {
        SCOPED_TRACE(name);
        w.cbSalt->setEditText(u"salt"_qs);
        w.memVal->setPlainText(u"earlier text\nline two"_qs);
        w.rgInputType->SetItemIndex(InputTypeBase64);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(w.memVal->toPlainText(), files[0]);
        EXPECT_EQ(w.rgInputType->ItemIndex(), InputTypeFile);
        EXPECT_EQ(w.cbSalt->currentText(), u"salt"_qs);
        EXPECT_EQ(w.lblHash->text(), u"Ready."_qs) << "a drop computes nothing";
    }
    w.cbSalt->setEditText(QString());
    Compute(w);
    EXPECT_EQ(w.lblHash->text(), Sha1Abc);
}

TEST_F(QVMainTest, ADropWithoutLocalFilesChangesNothing) {
    TfrmQVMain& w = Open();
    w.memVal->setPlainText(u"kept"_qs);
    QMimeData data;
    data.setUrls({QUrl(u"https://example.org/x"_qs)});
    data.setText(u"dropped text"_qs);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    EXPECT_EQ(w.memVal->toPlainText(), u"kept"_qs);
    EXPECT_EQ(w.rgInputType->ItemIndex(), InputTypeText);
}

struct SaltDeleteCase {
    const char* name;
    QStringList history;
    QString edit;
    QStringList historyAfter;
    QString editAfter;
};

const SaltDeleteCase SaltDeleteCases[] = {
    {"inner entry shows its follower, ASCII case ignored", {"a", "b", "c"}, "B", {"a", "c"}, "c"},
    {"last of several shows the new last", {"a", "b", "c"}, "c", {"a", "b"}, "b"},
    {"only entry leaves an empty edit text", {"only"}, " only ", {}, ""},
    {"unknown salt changes nothing", {"a", "b"}, "zzz", {"a", "b"}, "zzz"},
    {"empty salt changes nothing", {"a"}, "  ", {"a"}, "  "},
    {"case beyond ASCII is not folded", {"\u00e9"}, "\u00c9", {"\u00e9"}, "\u00c9"},
};

TEST_F(QVMainTest, DeletingTheCurrentSalt) {
    TfrmQVMain& w = Open();
    for (const SaltDeleteCase& c : SaltDeleteCases) {
        SCOPED_TRACE(c.name);
        w.cbSalt->clear();
        w.cbSalt->addItems(c.history);
        w.cbSalt->setEditText(c.edit);
        Click(w.btnSaltDel);
        EXPECT_EQ(Items(w.cbSalt), c.historyAfter);
        EXPECT_EQ(w.cbSalt->currentText(), c.editAfter);
    }
}

TEST_F(QVMainTest, ClearingTheSaltKeepsTheHistory) {
    TfrmQVMain& w = Open();
    w.cbSalt->addItems({"a", "b"});
    w.cbSalt->setEditText(u"b"_qs);
    Click(w.btnSaltClear);
    EXPECT_EQ(w.cbSalt->currentText(), QString());
    EXPECT_EQ(Items(w.cbSalt), QStringList({"a", "b"}));
}

TEST_F(QVMainTest, EverySettingSurvivesARestart) {
    TfrmQVMain& w = Open();
    w.rgInputType->SetItemIndex(InputTypeBase64);
    w.rgHashes->SetItemIndex(2);
    w.rgSaltType->SetItemIndex(SaltTypeSuffix);
    w.chkTrim->setChecked(true);
    w.chkUpper->setChecked(true);
    w.memVal->setPlainText(u"line one\n  line two  \n\u00e9"_qs);
    w.cbSalt->addItems({"pepper", "salt"});
    w.cbSalt->setEditText(u"  not in history  "_qs);
    w.move(120, 90);
    w.resize(900, 420);
    const QRect placed = w.frameGeometry();

    TfrmQVMain& again = Restart();
    EXPECT_EQ(again.rgInputType->ItemIndex(), InputTypeBase64);
    EXPECT_EQ(again.rgHashes->ItemIndex(), 2);
    EXPECT_EQ(again.rgSaltType->ItemIndex(), SaltTypeSuffix);
    EXPECT_TRUE(again.chkTrim->isChecked());
    EXPECT_TRUE(again.chkUpper->isChecked());
    EXPECT_EQ(again.memVal->toPlainText(), u"line one\n  line two  \n\u00e9"_qs);
    EXPECT_EQ(Items(again.cbSalt), QStringList({"pepper", "salt"}));
    EXPECT_EQ(again.cbSalt->currentText(), u"not in history"_qs) << "the stored salt comes back trimmed";
    EXPECT_EQ(again.frameGeometry(), placed);
    EXPECT_EQ(ReadFile(Path(u"DataSet_SALTITEMS.dblst"_qs)), QByteArray("pepper\r\nsalt\r\n"));

    // And back to unchecked boxes and a first item: nothing sticks to the earlier values.
    again.chkTrim->setChecked(false);
    again.chkUpper->setChecked(false);
    again.rgInputType->SetItemIndex(InputTypeFile);
    TfrmQVMain& third = Restart();
    EXPECT_FALSE(third.chkTrim->isChecked());
    EXPECT_FALSE(third.chkUpper->isChecked());
    EXPECT_EQ(third.rgInputType->ItemIndex(), InputTypeFile);
}

struct MemoCase {
    const char* name;
    QString typed;
    QByteArray stored;
};

const MemoCase MemoCases[] = {
    {"without a final line break", "first\nsecond", "first\r\nsecond"},
    {"with a final line break", "first\nsecond\n", "first\r\nsecond\r\n"},
    {"empty", "", ""},
    {"blank lines", "\n\nx\n\n", "\r\n\r\nx\r\n\r\n"},
};

TEST_F(QVMainTest, TheMemoTextComesBackExactly) {
    for (const MemoCase& c : MemoCases) {
        SCOPED_TRACE(c.name);
        TfrmQVMain& w = Open();
        w.memVal->clear();
        Type(w.memVal, c.typed);
        ASSERT_EQ(w.memVal->toPlainText(), c.typed);
        TfrmQVMain& again = Restart();
        EXPECT_EQ(ReadFile(Path(u"DataSet_INPUTTEXT.dblst"_qs)), c.stored);
        EXPECT_EQ(again.memVal->toPlainText(), c.typed);
    }
}

TEST_F(QVMainTest, StoredLoneBreaksBecomeLines) {
    WriteFile(Path(u"DataSet_INPUTTEXT.dblst"_qs), "a\rb\nc");
    TfrmQVMain& w = Open();
    EXPECT_EQ(w.memVal->toPlainText(), u"a\nb\nc"_qs);
}

struct StoredIndexCase {
    const char* name;
    double stored;
    int restored;
};

const StoredIndexCase StoredInputTypes[] = {
    {"above the range", 7, InputTypeBase64},
    {"nothing selected", -1, InputTypeFile},
    {"inside the range", InputTypeHex, InputTypeHex},
};

TEST_F(QVMainTest, StoredInputTypeIsMovedIntoRange) {
    for (const StoredIndexCase& c : StoredInputTypes) {
        SCOPED_TRACE(c.name);
        ConfigSetFloat(u"InputType"_qs, c.stored);
        TfrmQVMain& w = Open();
        EXPECT_EQ(w.rgInputType->ItemIndex(), c.restored);
    }
}

TEST_F(QVMainTest, NothingSelectedIsStoredAsMinusOne) {
    TfrmQVMain& w = Open();
    w.rgSaltType->SetItemIndex(-1);
    w.close();
    EXPECT_EQ(ConfigGetValue(u"SaltType"_qs, QString()), u"-1"_qs);
    EXPECT_EQ(ConfigGetInt(u"SaltType"_qs, SaltTypePrefix, SaltTypeNone, SaltTypeSuffix), SaltTypeNone);
}

TEST_F(QVMainTest, ACloseBeforeInitKeepsTheStoredSettings) {
    ConfigSetFloat(u"InputType"_qs, InputTypeBase64);
    ConfigSetValue(u"SaltText"_qs, u"pepper"_qs);
    FlushConfig();
    WriteFile(Path(u"DataSet_INPUTTEXT.dblst"_qs), "stored text");
    WriteFile(Path(u"DataSet_SALTITEMS.dblst"_qs), "pepper\r\n");
    const QByteArray config = ReadFile(Path(u"DataSet_SYSTEMCONFIG.dblst"_qs));

    TfrmQVMain& w = Open(false);
    w.close();
    EXPECT_FALSE(ConfigDirty());
    FlushConfig();
    EXPECT_EQ(ReadFile(Path(u"DataSet_SYSTEMCONFIG.dblst"_qs)), config);
    EXPECT_EQ(ReadFile(Path(u"DataSet_INPUTTEXT.dblst"_qs)), QByteArray("stored text"));
    EXPECT_EQ(ReadFile(Path(u"DataSet_SALTITEMS.dblst"_qs)), QByteArray("pepper\r\n"));

    TfrmQVMain& next = Open();
    EXPECT_EQ(next.rgInputType->ItemIndex(), InputTypeBase64);
    EXPECT_EQ(next.memVal->toPlainText(), u"stored text"_qs);
}

TEST_F(QVMainTest, InitRunsOnce) {
    TfrmQVMain& w = Open();
    w.rgHashes->SetItemIndex(0);
    w.init();
    EXPECT_EQ(w.rgHashes->ItemIndex(), 0);
}

// A control's design bounds and the edges it keeps: stretched with the window's growth or moved
// by it, in each direction; neither means it stays where it was designed.
struct AnchorCase {
    const char* name = "";
    QRect design{};
    bool stretchX = false;
    bool moveX = false;
    bool stretchY = false;
    bool moveY = false;
};

const AnchorCase AnchorCases[] = {
    {.name = "rgInputType", .design = {8, 8, 618, 42}, .stretchX = true},
    {.name = "memVal", .design = {8, 64, 590, 57}, .stretchX = true, .stretchY = true},
    {.name = "btnOpenFile", .design = {602, 64, 24, 24}, .moveX = true},
    {.name = "lblExpected", .design = {8, 129, 88, 13}, .moveY = true},
    // With the verdict empty, the field takes the row's width up to the paste button.
    {.name = "edtExpected", .design = {100, 125, 476, 21}, .stretchX = true, .moveY = true},
    {.name = "btnPasteExpected", .design = {580, 125, 40, 21}, .moveX = true, .moveY = true},
    {.name = "lblVerdict", .design = {626, 125, 0, 21}, .moveX = true, .moveY = true},
    {.name = "rgHashes", .design = {8, 162, 185, 109}, .moveY = true},
    {.name = "chkTrim", .design = {208, 162, 153, 17}, .moveY = true},
    {.name = "rgSaltType", .design = {368, 162, 258, 45}, .stretchX = true, .moveY = true},
    {.name = "chkUpper", .design = {208, 185, 146, 17}, .moveY = true},
    {.name = "btnSaltDel", .design = {554, 213, 33, 31}, .moveX = true, .moveY = true},
    {.name = "btnSaltClear", .design = {593, 213, 33, 31}, .moveX = true, .moveY = true},
    {.name = "cbSalt", .design = {208, 250, 418, 21}, .stretchX = true, .moveY = true},
    {.name = "lblStatus", .design = {8, 276, 618, 13}, .stretchX = true, .moveY = true},
    {.name = "shHash", .design = {8, 293, 622, 49}, .stretchX = true, .moveY = true},
    {.name = "lblHashType", .design = {10, 296, 81, 41}, .moveY = true},
    {.name = "lblHash", .design = {95, 297, 482, 41}, .stretchX = true, .moveY = true},
    {.name = "btnRefresh", .design = {583, 297, 43, 41}, .moveX = true, .moveY = true},
};

TEST_F(QVMainTest, ControlsKeepTheirAnchorsWhenTheWindowGrows) {
    TfrmQVMain& w = Open();
    const QSize grown(1200, 500);
    w.resize(grown);
    ASSERT_EQ(w.size(), grown);
    const int dx = grown.width() - TfrmQVMain::DesignClientSize.width();
    const int dy = grown.height() - TfrmQVMain::DesignClientSize.height();
    for (const AnchorCase& c : AnchorCases) {
        SCOPED_TRACE(c.name);
        QRect expected = c.design;
        // A caption wider than designed in the font at hand widens the trim box and moves the
        // salt group's left edge by as much.
        const int trimExtra = std::max(0, w.chkTrim->sizeHint().width() - 153);
        if (std::string_view(c.name) == "chkTrim")
            expected.setWidth(expected.width() + trimExtra);
        if (std::string_view(c.name) == "rgSaltType")
            expected.setLeft(expected.left() + trimExtra);
        expected.translate(c.moveX ? dx : 0, c.moveY ? dy : 0);
        expected.setWidth(expected.width() + (c.stretchX ? dx : 0));
        expected.setHeight(c.design.height() + (c.stretchY ? dy : 0));
        const QWidget* control = w.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), expected);
    }
    EXPECT_EQ(w.Label1->geometry().topLeft(), QPoint(208, 231 + dy));
}

TEST_F(QVMainTest, MinimumOuterSizeAndNoMaximiseButton) {
    TfrmQVMain& w = Open();
    w.resize(100, 100);
    const QSize frame = w.frameGeometry().size() - w.geometry().size();
    EXPECT_EQ(w.frameGeometry().size(), QSize(650, 376));
    EXPECT_EQ(w.minimumSize() + frame, QSize(650, 376));
    EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

// "Trim whitespace from Input" shows whole and keeps its distance to the "Add Salt to Input"
// group at the designed, the start and the smallest width.
TEST_F(QVMainTest, TheTrimBoxKeepsItsDistanceToTheSaltGroup) {
    TfrmQVMain& w = Open();
    for (const QSize size : {TfrmQVMain::DesignClientSize, QSize(1070, 351), QSize(100, 100)}) {
        SCOPED_TRACE(testing::PrintToString(size));
        w.resize(size);
        EXPECT_LE(w.chkTrim->sizeHint().width(), w.chkTrim->width()) << "the caption is not cut";
        EXPECT_GE(w.rgSaltType->x() - (w.chkTrim->x() + w.chkTrim->width()), 7);
    }
}

TEST_F(QVMainTest, ResultPanelLooks) {
    TfrmQVMain& w = Open();
    EXPECT_EQ(w.shHash->Fill(), QColor(54, 72, 84));
    EXPECT_EQ(w.shHash->Border(), QColor(128, 128, 128));
    for (QLabel* label : {static_cast<QLabel*>(w.lblHash), static_cast<QLabel*>(w.lblHashType)}) {
        EXPECT_EQ(label->toolTip(), u"Click to Copy"_qs);
        EXPECT_EQ(label->cursor().shape(), Qt::DragMoveCursor);
        EXPECT_FALSE(label->autoFillBackground()) << "the panel shows through";
    }
    EXPECT_EQ(w.lblHash->font().pixelSize(), 24);
    EXPECT_EQ(w.lblHashType->font().pixelSize(), 19);
    EXPECT_EQ(w.font().pixelSize(), 11);
    // The panel is drawn first, the labels over it.
    const QObjectList& children = w.children();
    EXPECT_LT(children.indexOf(w.shHash), children.indexOf(w.lblHash));
    EXPECT_LT(children.indexOf(w.shHash), children.indexOf(w.lblHashType));
}

// A failure escaping an event handler is shown in a message box and the program goes on.
TEST_F(QVMainTest, AnEscapedFailureIsShownAndTheProgramGoesOn) {
    class TThrowing : public QObject {
    protected:
        bool event(QEvent* event) override {
            if (event->type() == QEvent::User)
                throw std::runtime_error("Cannot open clipboard.");
            return QObject::event(event);
        }
    } throwing;

    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    QEvent event(QEvent::User);
    EXPECT_FALSE(QApplication::sendEvent(&throwing, &event));
    EXPECT_EQ(shown, u"Cannot open clipboard."_qs);

    TfrmQVMain& w = Open();
    Type(w.memVal, u"abc"_qs);
    Compute(w);
    EXPECT_EQ(w.lblHash->text(), Sha1Abc);
}

TEST_F(QVMainTest, TabVisitsTheControlsInTheirOrder) {
    TfrmQVMain& w = Open();
    const auto selected = [](TRadioGroup* group) -> QWidget* { return group->Buttons().at(group->ItemIndex()); };
    // The order of the screen: the Expected digest row right under the text box.
    const QList<QWidget*> expected = {selected(w.rgInputType),
                                      w.memVal,
                                      w.findChild<QToolButton*>(u"btnOpenFile"_qs),
                                      w.rowExpected->edtExpected,
                                      w.rowExpected->btnPasteExpected,
                                      selected(w.rgHashes),
                                      w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs),
                                      w.chkTrim,
                                      selected(w.rgSaltType),
                                      w.chkUpper,
                                      w.btnSaltDel,
                                      w.btnSaltClear,
                                      w.cbSalt,
                                      w.btnRefresh};
    w.activateWindow();
    expected.front()->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "step " << i;
    }
    for (qsizetype i = expected.size() - 2; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "back to step " << i;
    }
    EXPECT_TRUE(w.memVal->toPlainText().isEmpty()) << "Tab moves on instead of typing into the memo";

    // Arrow keys move the selection inside a group, and the group's tab stop follows it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(w.rgInputType->ItemIndex(), InputTypeHex);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), w.rgInputType->Buttons().at(2));
}

// Enter calculates on the focused # button and in the Expected digest field; the salt box takes
// no Enter (see CompletionNeverChangesTheTypedSalt).
TEST_F(QVMainTest, EnterCalculates) {
    TfrmQVMain& w = Open();
    w.rgInputType->SetItemIndex(InputTypeText);
    w.memVal->setPlainText(u"abc"_qs);
    const std::pair<const char*, QWidget*> places[] = {{"# button", w.btnRefresh},
                                                       {"Expected digest field", w.rowExpected->edtExpected}};
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        for (const auto& [name, place] : places) {
            SCOPED_TRACE(name);
            w.lblHash->setText(QString());
            place->setFocus();
            QTest::keyClick(place, key);
            ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
            EXPECT_EQ(w.lblHash->text(), Sha1Abc);
        }
    }
}

// Enter calculates from every control that has no use for it, the algorithm drop-down too;
// Ctrl+Enter calculates from anywhere, the text box included, where Enter is a line break.
TEST_F(QVMainTest, EnterAndCtrlEnterCalculateFromEveryControl) {
    TfrmQVMain& w = Open();
    w.rgInputType->SetItemIndex(InputTypeText);
    w.rgHashes->SetItemIndex(1);
    w.memVal->setPlainText(u"abc"_qs);
    auto* other = w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
    const std::pair<const char*, QWidget*> places[] = {
        {"input type", w.rgInputType->Buttons().at(InputTypeText)},
        {"algorithm", w.rgHashes->Buttons().at(1)},
        {"algorithm drop-down", other},
        {"trim box", w.chkTrim},
        {"salt type", w.rgSaltType->Buttons().at(0)},
        {"upper-case box", w.chkUpper},
        {"salt box", w.cbSalt},
        {"digest", w.lblHash},
    };
    w.activateWindow();
    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            for (const auto& [name, place] : places) {
                SCOPED_TRACE(testing::Message() << name << (modifiers ? " with Ctrl" : "") << " key " << key);
                w.lblHash->setText(QString());
                place->setFocus();
                ASSERT_EQ(QApplication::focusWidget(), place);
                QTest::keyClick(QApplication::focusWidget(), key, modifiers);
                ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
                EXPECT_EQ(w.lblHash->text(), Sha1Abc);
                EXPECT_EQ(w.rgHashes->ItemIndex(), 1) << "Enter selected nothing else";
            }
        }
    }
    // In the text box Enter is a line break, and Ctrl+Enter calculates without typing one.
    w.lblHash->setText(QString());
    w.memVal->setFocus();
    w.memVal->moveCursor(QTextCursor::End);
    QTest::keyClick(w.memVal, Qt::Key_Return);
    EXPECT_EQ(w.memVal->toPlainText(), u"abc\n"_qs);
    EXPECT_FALSE(w.IsBusy());
    EXPECT_EQ(w.lblHash->text(), QString());
    QTest::keyClick(w.memVal, Qt::Key_Backspace);
    QTest::keyClick(w.memVal, Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
    EXPECT_EQ(w.memVal->toPlainText(), u"abc"_qs);
    EXPECT_EQ(w.lblHash->text(), Sha1Abc);
}

// The focused button wears a ring of its own, on the light window and on the dark panel alike.
TEST_F(QVMainTest, AFocusedButtonIsPlainlyMarked) {
    TfrmQVMain& w = Open();
    w.activateWindow();
    const QColor panel(54, 72, 84);
    for (QToolButton* button : {w.btnRefresh, w.btnSaltDel, w.findChild<QToolButton*>(u"btnOpenFile"_qs)}) {
        SCOPED_TRACE(button->objectName().toStdString());
        w.memVal->setFocus();
        const QImage unfocused = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(button->hasFocus());
        const QImage focused = button->grab().toImage();
        // The ring: along the button's edge, the middle of its left side changes by far.
        const QPoint edge(1, focused.height() / 2);
        const QColor before = unfocused.pixelColor(edge);
        const QColor after = focused.pixelColor(edge);
        const int change = std::abs(after.red() - before.red()) + std::abs(after.green() - before.green()) +
                           std::abs(after.blue() - before.blue());
        EXPECT_GE(change, 150) << "edge before " << before.name().toStdString() << ", focused "
                               << after.name().toStdString();
        if (button == w.btnRefresh) {
            const int againstPanel = std::abs(after.red() - panel.red()) + std::abs(after.green() - panel.green()) +
                                     std::abs(after.blue() - panel.blue());
            EXPECT_GE(againstPanel, 300) << "the ring stands out against the dark panel";
        }
    }
}

// The open button and Ctrl+O ask for a file; the chosen one becomes the input and is hashed,
// a cancelled dialog changes nothing, and while a hash runs no dialog opens.
TEST_F(QVMainTest, OpeningAFileHashesIt) {
    TfrmQVMain& w = Open();
    WriteFile(Path(u"opened.bin"_qs), "abc");
    auto* open = w.findChild<QToolButton*>(u"btnOpenFile"_qs);
    ASSERT_NE(open, nullptr);
    QString answer;
    QStringList askedIn;
    w.SetFileDialog([&answer, &askedIn](QWidget*, const QString& folder) {
        askedIn.append(folder);
        return answer;
    });
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"open button", [open] { Click(open); }},
        {"Ctrl+O", [&w] { QTest::keyClick(w.memVal, Qt::Key_O, Qt::ControlModifier); }},
    };
    w.activateWindow();
    for (const auto& [name, openIt] : ways) {
        SCOPED_TRACE(name);
        w.rgInputType->SetItemIndex(InputTypeText);
        w.memVal->setPlainText(u"typed"_qs);
        w.memVal->setFocus();
        answer.clear();
        openIt();
        EXPECT_EQ(w.memVal->toPlainText(), u"typed"_qs) << "a cancelled dialog changes nothing";
        EXPECT_EQ(w.rgInputType->ItemIndex(), InputTypeText);
        EXPECT_FALSE(w.IsBusy());

        answer = Path(u"opened.bin"_qs);
        openIt();
        ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
        EXPECT_EQ(w.memVal->toPlainText(), Path(u"opened.bin"_qs));
        EXPECT_EQ(w.rgInputType->ItemIndex(), InputTypeFile);
        EXPECT_EQ(w.lblHash->text(), Sha1Abc);
    }
    // A file already named in the box: the dialog starts in its folder.
    answer.clear();
    Click(open);
    EXPECT_EQ(askedIn.last(), QFileInfo(Path(u"opened.bin"_qs)).absolutePath());
    // Busy: neither the button nor the key opens a dialog.
    std::binary_semaphore held(0);
    w.SetFileOpener([&held](const std::string&) -> std::unique_ptr<TStream> {
        held.acquire();
        throw EFOpenError("held");
    });
    Click(w.btnRefresh);
    ASSERT_TRUE(w.IsBusy());
    const qsizetype asked = askedIn.size();
    EXPECT_FALSE(open->isEnabled());
    QTest::keyClick(w.memVal, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(askedIn.size(), asked);
    held.release();
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
}

// The open button fits beside the text box at the start and the smallest size, and an empty
// text box shows no scroll bars.
TEST_F(QVMainTest, TheTextBoxAndItsOpenButtonFit) {
    TfrmQVMain& w = Open();
    auto* open = w.findChild<QToolButton*>(u"btnOpenFile"_qs);
    for (const QSize size : {QSize(1070, 351), QSize(100, 100)}) {
        SCOPED_TRACE(testing::PrintToString(w.size()));
        w.resize(size);
        EXPECT_TRUE(w.rect().contains(open->geometry()));
        EXPECT_FALSE(open->geometry().intersects(w.memVal->geometry()));
        EXPECT_FALSE(open->geometry().intersects(w.rgInputType->geometry()));
        EXPECT_FALSE(open->geometry().intersects(w.rowExpected->btnPasteExpected->geometry()));
        EXPECT_GE(w.memVal->height(), 40);
        w.memVal->clear();
        EXPECT_TRUE(QTest::qWaitFor(
            [&w] {
                return !w.memVal->verticalScrollBar()->isVisible() && !w.memVal->horizontalScrollBar()->isVisible();
            },
            StateWaitMs));
        w.memVal->setPlainText(QString(400, u'x') + QString(20, u'\n'));
        EXPECT_TRUE(QTest::qWaitFor(
            [&w] { return w.memVal->verticalScrollBar()->isVisible() && w.memVal->horizontalScrollBar()->isVisible(); },
            StateWaitMs));
    }
}

struct AccessibleCase {
    const char* button;
    QString name;
    QString description;
};

// The icon-only buttons as a screen reader finds them in the accessibility tree; the # button
// says what it does now.
TEST_F(QVMainTest, IconButtonsHaveAccessibleNames) {
    TfrmQVMain& w = Open();
    const AccessibleCase cases[] = {
        {"btnRefresh", u"Calculate digest"_qs,
         u"Calculate the Hash (click the result or press Ctrl+Shift+C to copy it)"_qs},
        {"btnSaltDel", u"Delete salt from history"_qs, u"Delete the current selected Salt"_qs},
        {"btnSaltClear", u"Clear salt"_qs, u"Clear the current Salt"_qs},
    };
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w);
    ASSERT_NE(window, nullptr);
    for (const AccessibleCase& c : cases) {
        SCOPED_TRACE(c.button);
        auto* button = w.findChild<QWidget*>(QString::fromLatin1(c.button));
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->role(), QAccessible::Button);
        EXPECT_EQ(node->text(QAccessible::Name), c.name);
        EXPECT_EQ(node->text(QAccessible::Description), c.description);
        EXPECT_GE(window->indexOfChild(node), 0) << "a child of the window in the tree";
    }
    // Busy, the same button is the stop button.
    w.rgInputType->SetItemIndex(InputTypeFile);
    WriteFile(Path(u"a.bin"_qs), "abc");
    w.memVal->setPlainText(Path(u"a.bin"_qs));
    // The open holds the hash until the test has looked at the button.
    std::binary_semaphore looked(0);
    w.SetFileOpener([&looked](const std::string&) -> std::unique_ptr<TStream> {
        looked.acquire();
        throw EFOpenError("held");
    });
    Click(w.btnRefresh);
    QAccessibleInterface* stop = QAccessible::queryAccessibleInterface(w.btnRefresh);
    EXPECT_EQ(stop->text(QAccessible::Name), u"Stop hashing"_qs);
    EXPECT_EQ(stop->text(QAccessible::Description), u"Stop hashing (Esc)"_qs);
    looked.release();
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
    EXPECT_EQ(stop->text(QAccessible::Name), u"Calculate digest"_qs);
}

// Records what the result label and the button's hint showed each time the label was painted.
class TPaintRecorder : public QObject {
public:
    TPaintRecorder(QLabel* label, QWidget* button) : m_label(label), m_button(button) {
        m_label->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_label && event->type() == QEvent::Paint)
            m_seen.append({m_label->text(), m_button->toolTip()});
        return false;
    }
    QList<std::pair<QString, QString>> m_seen;

private:
    QLabel* m_label;
    QWidget* m_button;
};

TEST_F(QVMainTest, TheBusyStateIsPaintedBeforeTheResult) {
    TfrmQVMain& w = Open();
    Type(w.memVal, u"abc"_qs);
    QCoreApplication::processEvents();
    TPaintRecorder recorder(w.lblHash, w.btnRefresh);
    Compute(w);
    QCoreApplication::processEvents();
    const std::pair<QString, QString> busy{u"Hashing... (Please wait)"_qs, u"Stop hashing (Esc)"_qs};
    ASSERT_FALSE(recorder.m_seen.isEmpty());
    EXPECT_EQ(recorder.m_seen.front(), busy) << "painted first, with the button as a stop button";
    EXPECT_EQ(recorder.m_seen.back().first, Sha1Abc);
    EXPECT_EQ(w.lblHash->text(), Sha1Abc);
}

TEST_F(QVMainTest, TheSaltBoxKeepsTheTypedCaseWhateverTheHistoryHolds) {
    TfrmQVMain& w = Open();
    w.cbSalt->addItem(u"apple"_qs);
    w.rgSaltType->SetItemIndex(SaltTypePrefix);
    Type(w.memVal, u"x"_qs);
    w.cbSalt->setEditText(QString());
    Type(w.cbSalt, u"APPLE"_qs);
    QTest::keyClick(w.cbSalt, Qt::Key_Return);
    EXPECT_EQ(w.cbSalt->currentText(), u"APPLE"_qs) << "Enter keeps the typed salt";
    // Enter calculates; the salt box takes typing again once the hash is done.
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
    Type(w.cbSalt, u""_qs);
    w.cbSalt->setEditText(QString());
    Type(w.cbSalt, u"A"_qs);
    EXPECT_EQ(w.cbSalt->currentText(), u"A"_qs) << "completion does not re-case the typed text";
}

// The Expected digest row: what the verdict says as the field and the digest on show change.
TEST_F(QVMainTest, TheVerdictFollowsTheFieldAndTheDigest) {
    const QString sha256Abc = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs;
    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    const auto verdictColour = [&row] { return row.lblVerdict->palette().color(QPalette::WindowText); };
    Type(w.memVal, u"abc"_qs);
    EXPECT_TRUE(row.lblVerdict->text().isEmpty()) << "nothing while the field is empty";

    Compute(w);
    ASSERT_EQ(w.lblHash->text(), Sha1Abc);
    Type(row.edtExpected, u"  "_qs + Sha1Abc.toUpper() + u"  abc.txt "_qs);
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches"_qs);
    EXPECT_EQ(verdictColour(), OnWindow(QColor(0, 140, 0)));
    EXPECT_EQ(w.lblStatus->text(), u"Success creating SHA1 hash."_qs) << "the status line keeps its own text";

    // A mismatch names the algorithm and the first differing digit (counted from 1).
    row.edtExpected->clear();
    Type(row.edtExpected, Sha1Abc.left(6) + u"0"_qs + Sha1Abc.mid(7));
    EXPECT_EQ(row.VerdictText(), u"\u2717 Does not match: SHA1 differs at digit 7"_qs);
    EXPECT_EQ(verdictColour(), OnWindow(Red));

    row.edtExpected->clear();
    Type(row.edtExpected, u"hello"_qs);
    EXPECT_EQ(row.VerdictText(), u"not a digest"_qs);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 1);

    // A BSD line of another algorithm, typed, selects it once it is entered; the next hash
    // gives the verdict.
    row.edtExpected->clear();
    Type(row.edtExpected, u"SHA256 (abc.txt) = "_qs + sha256Abc);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 1) << "nothing selected while typing";
    emit row.edtExpected->editingFinished();
    EXPECT_EQ(w.rgHashes->ItemIndex(), 2);
    EXPECT_EQ(row.VerdictText(), u"SHA256 digest: calculate to compare"_qs)
        << "the SHA1 digest is the previous request's";
    Compute(w);
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches"_qs);

    // Upper-case output compares the same; a failed request leaves nothing to compare.
    w.chkUpper->setChecked(true);
    Compute(w);
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches"_qs);
    w.memVal->clear();
    w.chkTrim->setChecked(true);
    Type(w.memVal, u" "_qs);
    Compute(w);
    EXPECT_EQ(row.VerdictText(), u"SHA256 digest: calculate to compare"_qs);

    row.edtExpected->clear();
    EXPECT_TRUE(row.lblVerdict->text().isEmpty());
}

struct ChangeCase {
    const char* name;
    std::function<void(TfrmQVMain&)> change;
    std::function<void(TfrmQVMain&)> back;
};

const ChangeCase ChangeCases[] = {
    {"input text", [](TfrmQVMain& w) { w.memVal->setPlainText(u"abd"_qs); },
     [](TfrmQVMain& w) { w.memVal->setPlainText(u"abc"_qs); }},
    {"algorithm", [](TfrmQVMain& w) { w.rgHashes->SetItemIndex(0); },
     [](TfrmQVMain& w) { w.rgHashes->SetItemIndex(1); }},
    {"input type", [](TfrmQVMain& w) { w.rgInputType->SetItemIndex(InputTypeBase64); },
     [](TfrmQVMain& w) { w.rgInputType->SetItemIndex(InputTypeText); }},
    {"salt", [](TfrmQVMain& w) { w.cbSalt->setEditText(u"s2"_qs); },
     [](TfrmQVMain& w) { w.cbSalt->setEditText(QString()); }},
    {"salt type", [](TfrmQVMain& w) { w.rgSaltType->SetItemIndex(SaltTypeSuffix); },
     [](TfrmQVMain& w) { w.rgSaltType->SetItemIndex(SaltTypePrefix); }},
    {"upper case", [](TfrmQVMain& w) { w.chkUpper->setChecked(true); },
     [](TfrmQVMain& w) { w.chkUpper->setChecked(false); }},
    {"trim", [](TfrmQVMain& w) { w.chkTrim->setChecked(true); }, [](TfrmQVMain& w) { w.chkTrim->setChecked(false); }},
};

// Once a control of the request changes after a hash, the panel greys the digest, the status
// says it is the previous input's and the verdict compares nothing; changing it back restores
// all three.
TEST_F(QVMainTest, ADigestOfThePreviousRequestIsGreyed) {
    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    w.rgInputType->SetItemIndex(InputTypeText);
    w.rgSaltType->SetItemIndex(SaltTypePrefix);
    w.rgHashes->SetItemIndex(1);
    w.memVal->setPlainText(u"abc"_qs);
    Compute(w);
    Type(row.edtExpected, Sha1Abc);
    const QColor white = w.lblHash->palette().color(QPalette::WindowText);
    for (const ChangeCase& c : ChangeCases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(row.VerdictText(), u"\u2713 Matches"_qs);
        c.change(w);
        EXPECT_EQ(w.lblHash->text(), Sha1Abc) << "still there, greyed";
        EXPECT_NE(w.lblHash->palette().color(QPalette::WindowText), white);
        EXPECT_TRUE(w.lblStatus->text().startsWith(u"Changed since: the digest shown is the previous input's"_qs))
            << w.lblStatus->text().toStdString();
        EXPECT_NE(row.VerdictText(), u"\u2713 Matches"_qs);
        EXPECT_TRUE(row.VerdictText().contains(u"to compare"_qs)) << row.VerdictText().toStdString();
        c.back(w);
        EXPECT_EQ(w.lblHash->palette().color(QPalette::WindowText), white);
        EXPECT_EQ(w.lblStatus->text(), u"Success creating SHA1 hash."_qs);
        EXPECT_EQ(StatusColour(w), OnWindow(Green));
    }
    // The change hashed anew: the verdict compares the new digest.
    w.memVal->setPlainText(u"abd"_qs);
    Compute(w);
    EXPECT_EQ(w.lblHash->palette().color(QPalette::WindowText), white);
    EXPECT_EQ(row.VerdictText(), u"\u2717 Does not match: SHA1 differs at digit 1"_qs);
}

TEST_F(QVMainTest, ThePasteButtonTakesTheClipboard) {
    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    Type(w.memVal, u"abc"_qs);
    Compute(w);
    QGuiApplication::clipboard()->setText(u"\r\n900150983CD24FB0D6963F7D28E17F72  abc.txt\r\n"_qs);
    Click(row.btnPasteExpected);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 0) << "an MD5 digest selects MD5";
    EXPECT_EQ(row.VerdictText(), u"MD5 digest: calculate to compare"_qs);
    Compute(w);
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches"_qs);
}

struct FieldFormCase {
    const char* name;
    QString clipboard; // "{sha256}" stands for SHA-256 of "abc"
    QString field;     // what the field keeps
    QString verdict;
};

const QString Sha256Abc = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs;

const FieldFormCase FieldFormCases[] = {
    {"openssl3", u"SHA2-256(abc.txt)= {sha256}\n"_qs, u"SHA2-256(abc.txt)= {sha256}"_qs, u"\u2713 Matches"_qs},
    {"groups_of_8", u"ba7816bf 8f01cfea 414140de 5dae2223 b00361a3 96177a9c b410ff61 f20015ad"_qs,
     u"ba7816bf 8f01cfea 414140de 5dae2223 b00361a3 96177a9c b410ff61 f20015ad"_qs, u"\u2713 Matches"_qs},
    {"lines_naming_the_file",
     u"0000000000000000000000000000000000000000000000000000000000000000  other.txt\n{sha256}  ./abc.txt\n"_qs,
     u"{sha256}  ./abc.txt"_qs, u"\u2713 Matches"_qs},
    {"lines_without_the_file", u"{sha256}  one.txt\r\n{sha256}  two.txt\r\n{sha256}  three.txt"_qs, QString(),
     u"3 lines (one.txt, two.txt, ...), none for abc.txt"_qs},
};

struct LongVerdictCase {
    const char* name;
    std::optional<TSidecarDigest> list;
    QString digest; // SHA256, on show
    QString selected;
    QString verdict;
    // Pasted instead of a list's digest, with further digests of the read that match none.
    QString field = {};
    QStringList extra = {};
    // The verdict begins with verdict: the table decides how it goes on.
    bool begins = false;
};

// The longest verdicts read whole, without a tooltip, at the start size and the smallest one:
// the field gives up width down to its minimum, then the verdict's font shrinks a little.
TEST_F(QVMainTest, TheWholeVerdictIsReadableAtTheStartAndTheSmallestSize) {
    QString wrong = Sha256Abc;
    wrong[63] = u'0';
    QStringList others = AlgorithmsOf(wrong);
    others.removeAll(u"SHA256"_qs);
    const LongVerdictCase cases[] = {
        {"mismatch_at_the_last_digit_from_a_sums_list", Listed(wrong, u"SHA256"_qs, u"SHA256SUMS"_qs, false), Sha256Abc,
         u"SHA256"_qs, u"\u2717 Does not match: SHA256 differs at digit 64 (from SHA256SUMS)"_qs},
        {"mismatch_from_a_list_named_after_a_long_file",
         Listed(wrong, u"SHA256"_qs, QString(80, u'n') + u".iso.sha256"_qs, true), Sha256Abc, u"SHA256"_qs,
         u"\u2717 Does not match: SHA256 differs at digit 64 (from .sha256 file)"_qs},
        {"waiting_for_another_algorithm", Listed(Sha256Abc, u"SHA256"_qs, u"SHA256SUMS"_qs, false), QString(),
         u"MD5"_qs, u"MD5 selected: select SHA256 to compare (from SHA256SUMS)"_qs},
        // Every algorithm of 64 digits named.
        {"none_of_the_algorithms_of_the_length_matches", std::nullopt, Sha256Abc, u"SHA256"_qs,
         u"\u2717 Does not match SHA256, SHA512/256, SHA3-256"_qs, wrong, others, true},
        {"the_others_of_the_length_not_calculated",
         std::nullopt,
         Sha256Abc,
         u"SHA256"_qs,
         u"Not SHA256: calculate again to try "_qs,
         wrong,
         {},
         true},
    };
    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    for (const QSize size : {QSize(1070, 351), QSize(100, 100)}) {
        w.resize(size);
        for (const LongVerdictCase& c : cases) {
            SCOPED_TRACE(testing::PrintToString(w.size()) + " " + c.name);
            row.edtExpected->clear();
            const std::vector<TAlgorithmDigest> extra = DigestsOf(c.extra, QString(64, u'f'));
            row.SetResult(c.digest, c.digest.isEmpty() ? QString() : u"SHA256"_qs, extra);
            if (c.list)
                row.OfferListDigest(c.list);
            else {
                QGuiApplication::clipboard()->setText(c.field);
                Click(row.btnPasteExpected);
            }
            // Selected after the field was filled, which selects the algorithm it names.
            w.rgHashes->SetItemIndex(static_cast<int>(w.rgHashes->Items().indexOf(c.selected)));
            if (c.begins)
                ASSERT_TRUE(row.VerdictText().startsWith(c.verdict)) << row.VerdictText().toStdString();
            else
                ASSERT_EQ(row.VerdictText(), c.verdict);
            EXPECT_FALSE(row.lblVerdict->IsElided()) << row.lblVerdict->ShownText().toStdString();
            EXPECT_GE(row.lblVerdict->ShownFont().pixelSize(), TExpectedDigestRow::MinimumVerdictPixelSize);
            EXPECT_GE(row.edtExpected->width(), TExpectedDigestRow::MinimumFieldWidth);
            EXPECT_LE(row.lblVerdict->x() + row.lblVerdict->width(), w.width());
            EXPECT_GT(row.lblVerdict->x(), row.btnPasteExpected->x() + row.btnPasteExpected->width());
        }
    }
}

// A verdict that names many algorithms says how many instead where even the smallest font leaves
// it too wide, with the names in its tooltip; given the room, it names them again.
TEST(ExpectedDigestRowTest, ANarrowRowCountsTheAlgorithmsItTried) {
    QWidget window;
    window.setFont(TahomaFont(11));
    TExpectedDigestRow row(&window);
    QString wrong = Sha256Abc;
    wrong[0] = u'0';
    const std::vector<TAlgorithmDigest> extra = DigestsOf(AlgorithmsOf(wrong), Sha256Abc);
    row.SetSelected(u"SHA256"_qs);
    row.SetResult(Sha256Abc, u"SHA256"_qs, extra);
    row.edtExpected->setText(wrong);
    const QString whole = row.VerdictText();
    ASSERT_TRUE(whole.startsWith(u"\u2717 Does not match SHA256, "_qs)) << whole.toStdString();
    const QString counted =
        u"\u2717 Does not match any of "_qs + QString::number(extra.size()) + u" algorithms of 64 digits"_qs;
    struct Width {
        int verdictEnd; // the right edge the row is given
        bool named;
    };
    for (const Width c : {Width{600, false}, Width{1000, true}, Width{600, false}}) {
        SCOPED_TRACE(c.verdictEnd);
        row.edtExpected->setGeometry(100, 0, 258, 21);
        row.btnPasteExpected->setGeometry(362, 0, 40, 21);
        row.lblVerdict->setGeometry(408, 0, c.verdictEnd - 408, 21);
        row.Arrange();
        EXPECT_EQ(row.VerdictText(), whole);
        EXPECT_EQ(row.lblVerdict->text(), c.named ? whole : counted);
        EXPECT_EQ(row.lblVerdict->ShownToolTip(), c.named ? QString() : whole);
        EXPECT_FALSE(row.lblVerdict->IsElided()) << row.lblVerdict->ShownText().toStdString();
        EXPECT_GE(row.edtExpected->width(), TExpectedDigestRow::MinimumFieldWidth);
        EXPECT_EQ(row.lblVerdict->x() + row.lblVerdict->width(), c.verdictEnd);
    }
}

// A verdict too long for a narrow row even in the smallest font shortens the file or list name
// it holds in that name's middle; the verdict's words, the algorithm and the digit stay whole.
TEST(ExpectedDigestRowTest, ANarrowRowShortensTheNamesInTheVerdictNotItsWords) {
    QTemporaryDir files;
    const QString longName = u"release-candidate-2024-12-11-full-image-for-every-one-of-the-mirrors"_qs;
    WriteFile(files.filePath(u"NOLINE.sums"_qs), "a9993e364706816aba3e25717850c26c9cd0d89d  other.txt\n");
    WriteFile(files.filePath(longName + u".sums"_qs), "a9993e364706816aba3e25717850c26c9cd0d89d  other.txt\n");
    QString wrong = Sha256Abc;
    wrong[63] = u'0';
    struct Case {
        const char* label;
        std::function<void(TExpectedDigestRow&)> fill;
        // The verdict is before + name + after; only the name may be shortened.
        QString before;
        QString name;
        QString after;
    };
    const Case cases[] = {
        {"a long list name",
         [&](TExpectedDigestRow& row) {
             row.OfferListDigest(Listed(wrong, u"SHA256"_qs, longName + u".sha256sums"_qs, false));
         },
         u"\u2717 Does not match: SHA256 differs at digit 64 (from "_qs, longName + u".sha256sums"_qs, u")"_qs},
        {"a note naming a long file",
         [&](TExpectedDigestRow& row) {
             row.SetFileOnScreen(files.filePath(longName + u".iso"_qs));
             DropFile(row.edtExpected, files.filePath(u"NOLINE.sums"_qs));
         },
         u"NOLINE.sums has no line for "_qs, longName + u".iso"_qs, QString()},
        {"a note of a long list",
         [&](TExpectedDigestRow& row) {
             row.SetFileOnScreen(files.filePath(u"s.txt"_qs));
             DropFile(row.edtExpected, files.filePath(longName + u".sums"_qs));
         },
         QString(), longName + u".sums"_qs, u" has no line for s.txt"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QWidget window;
        window.setFont(TahomaFont(11));
        TExpectedDigestRow row(&window);
        row.SetSelected(u"SHA256"_qs);
        row.SetResult(Sha256Abc, u"SHA256"_qs);
        c.fill(row);
        ASSERT_EQ(row.VerdictText(), c.before + c.name + c.after);
        row.edtExpected->setGeometry(100, 0, 258, 21);
        row.btnPasteExpected->setGeometry(362, 0, 40, 21);
        row.lblVerdict->setGeometry(408, 0, 700 - 408, 21);
        row.Arrange();
        const QString shown = row.lblVerdict->ShownText();
        ASSERT_TRUE(row.lblVerdict->IsElided()) << "the case needs a verdict too long for the row";
        EXPECT_EQ(row.lblVerdict->ShownFont().pixelSize(), TExpectedDigestRow::MinimumVerdictPixelSize);
        EXPECT_LE(QFontMetrics(row.lblVerdict->ShownFont()).horizontalAdvance(shown),
                  row.lblVerdict->contentsRect().width());
        EXPECT_TRUE(row.lblVerdict->ShownToolTip().startsWith(row.VerdictText()));
        if (!shown.startsWith(c.before) || !shown.endsWith(c.after)) {
            ADD_FAILURE() << "words around the name cut: " << shown.toStdString();
            continue;
        }
        // The name keeps about as much of its beginning as of its end.
        const QString name = shown.mid(c.before.size(), shown.size() - c.before.size() - c.after.size());
        const qsizetype cut = name.indexOf(u'\u2026');
        EXPECT_GE(cut, 0) << shown.toStdString();
        const QString head = name.left(cut);
        const QString tail = name.mid(cut + 1);
        EXPECT_TRUE(c.name.startsWith(head) && c.name.endsWith(tail)) << shown.toStdString();
        EXPECT_GE(head.size(), 3) << shown.toStdString();
        EXPECT_LE(std::abs(head.size() - tail.size()), 4) << shown.toStdString();
    }
}

// Forms people paste: each is read, the line naming the file on screen taken from several.
TEST_F(QVMainTest, TheFieldReadsWhatPeoplePaste) {
    QTemporaryDir files;
    WriteFile(files.filePath(u"abc.txt"_qs), "abc");
    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    w.rgInputType->SetItemIndex(InputTypeFile);
    w.rgHashes->SetItemIndex(2);
    w.memVal->setPlainText(files.filePath(u"abc.txt"_qs));
    Compute(w);
    ASSERT_EQ(w.lblHash->text(), Sha256Abc);
    for (const FieldFormCase& c : FieldFormCases) {
        SCOPED_TRACE(c.name);
        row.edtExpected->clear();
        QGuiApplication::clipboard()->setText(QString(c.clipboard).replace(u"{sha256}"_qs, Sha256Abc));
        Click(row.btnPasteExpected);
        if (!c.field.isEmpty()) {
            EXPECT_EQ(row.edtExpected->text(), QString(c.field).replace(u"{sha256}"_qs, Sha256Abc));
        }
        EXPECT_EQ(row.VerdictText(), c.verdict);
    }
}

// A checksum list file dropped on the field is read as a list, not taken as its name.
TEST_F(QVMainTest, AListDroppedOnTheFieldGivesTheFilesLine) {
    QTemporaryDir files;
    WriteFile(files.filePath(u"abc.txt"_qs), "abc");
    WriteFile(files.filePath(u"checksums.txt"_qs),
              "SHA256 (other.txt) = 0000000000000000000000000000000000000000000000000000000000000000\n"
              "SHA1 (abc.txt) = a9993e364706816aba3e25717850c26c9cd0d89d\n");
    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    w.rgInputType->SetItemIndex(InputTypeFile);
    w.rgHashes->SetItemIndex(2);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(files.filePath(u"checksums.txt"_qs))});
    const auto drop = [&] {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(row.edtExpected, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(row.edtExpected, &dropped);
    };

    w.memVal->setPlainText(files.filePath(u"missing.txt"_qs));
    drop();
    EXPECT_EQ(row.edtExpected->text(), QString());
    EXPECT_EQ(row.VerdictText(), u"checksums.txt has no line for missing.txt"_qs);

    w.memVal->setPlainText(files.filePath(u"abc.txt"_qs));
    drop();
    EXPECT_EQ(row.edtExpected->text(), Sha1Abc);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 1) << "a dropped list's digest selects its algorithm";
    EXPECT_EQ(w.memVal->toPlainText(), files.filePath(u"abc.txt"_qs)) << "the input stays";
    Compute(w);
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches (from checksums.txt)"_qs);
}

// Typed digit by digit, a digest that may still grow selects nothing and shows a neutral
// count; leaving the field selects its algorithm.
TEST_F(QVMainTest, TypingADigestCountsItsDigits) {
    TfrmQVMain& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w, StateWaitMs));
    TExpectedDigestRow& row = *w.rowExpected;
    ASSERT_EQ(w.rgHashes->ItemIndex(), 1);
    row.edtExpected->setFocus();
    for (qsizetype i = 0; i < Sha256Abc.size(); ++i) {
        QTest::keyClick(row.edtExpected, Sha256Abc[i].toLatin1());
        const qsizetype digits = i + 1;
        const QString verdict = row.VerdictText();
        ASSERT_EQ(w.rgHashes->ItemIndex(), 1) << "selects nothing at " << digits << " digits";
        // A length that is a whole digest of another algorithm says which: Enter would select it.
        const std::map<qsizetype, QString> whole = {
            {8, u"CRC32"_qs}, {16, u"XXH3-64"_qs}, {32, u"MD5"_qs}, {56, u"SHA224"_qs}, {64, u"SHA256"_qs}};
        if (digits == 40) {
            // As long as a SHA1 digest, the algorithm selected: judged at once.
            ASSERT_EQ(verdict, u"SHA1 digest: calculate to compare"_qs);
        } else if (whole.contains(digits)) {
            ASSERT_EQ(verdict, QString::number(digits) + u" digits, the length of "_qs + whole.at(digits) +
                                   u": Enter selects it"_qs);
        } else {
            // The next longer digest: SHA1's, then SHA224's, then SHA256's.
            const int next = digits < 40 ? 40 : digits < 56 ? 56 : 64;
            ASSERT_EQ(verdict, QString::number(digits) + u" of "_qs + QString::number(next) + u" digits"_qs);
        }
        EXPECT_EQ(row.lblVerdict->palette().color(QPalette::WindowText), OnWindow(Grey)) << digits;
    }
    w.memVal->setFocus(); // leaving the field
    EXPECT_EQ(w.rgHashes->ItemIndex(), 2);
    EXPECT_EQ(row.VerdictText(), u"SHA256 digest: calculate to compare"_qs);

    // A paste selects at once.
    row.edtExpected->clear();
    row.edtExpected->setFocus();
    QGuiApplication::clipboard()->setText(Sha1Abc);
    QTest::keyClick(row.edtExpected, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 1);

    // A digest the selected algorithm may have given, typed whole, keeps it selected.
    auto* other = w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
    ASSERT_NE(other, nullptr);
    other->setCurrentIndex(other->findText(u"SHA3-256"_qs));
    w.rgHashes->SetItemIndex(3);
    row.edtExpected->clear();
    row.edtExpected->setFocus();
    QTest::keyClicks(row.edtExpected, Sha256Abc);
    EXPECT_EQ(row.VerdictText(), u"SHA3-256 digest: calculate to compare"_qs) << "judged at once";
    w.memVal->setFocus();
    EXPECT_EQ(w.rgHashes->ItemIndex(), 3);
    EXPECT_EQ(other->currentText(), u"SHA3-256"_qs);
}

// A checksum list beside a hashed file fills the field; the verdict names the list. The user's
// own digest is never replaced, and the field is not stored between runs.
TEST_F(QVMainTest, ASidecarListFillsTheField) {
    QTemporaryDir files;
    const QString sha1File = u"a9993e364706816aba3e25717850c26c9cd0d89d  abc.txt\n"_qs;
    WriteFile(files.filePath(u"abc.txt"_qs), "abc");
    WriteFile(files.filePath(u"SHA1SUMS"_qs), sha1File.toUtf8());
    WriteFile(files.filePath(u"other.txt"_qs), "other");

    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    w.rgInputType->SetItemIndex(InputTypeFile);
    Type(w.memVal, files.filePath(u"abc.txt"_qs));
    Compute(w);
    EXPECT_EQ(row.edtExpected->text(), Sha1Abc);
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches (from SHA1SUMS)"_qs);

    // Another file without a list empties the field the list had filled.
    w.memVal->clear();
    Type(w.memVal, files.filePath(u"other.txt"_qs));
    Compute(w);
    EXPECT_TRUE(row.edtExpected->text().isEmpty());

    row.edtExpected->clear();
    Type(row.edtExpected, u"0000000000000000000000000000000000000000"_qs);
    w.memVal->clear();
    Type(w.memVal, files.filePath(u"abc.txt"_qs));
    Compute(w);
    EXPECT_EQ(row.edtExpected->text(), u"0000000000000000000000000000000000000000"_qs);
    EXPECT_EQ(row.VerdictText(), u"\u2717 Does not match: SHA1 differs at digit 1"_qs);

    TfrmQVMain& next = Restart();
    EXPECT_TRUE(next.rowExpected->edtExpected->text().isEmpty());
}

// A digest a list gave belongs to the file it was picked for: it goes as soon as a request for
// another input starts, not when that hash ends; the user's own digest stays. The hashing thread
// is held at its start, so the field is seen while the hash runs.
TEST_F(QVMainTest, AListsDigestGoesWhenARequestForAnotherInputStarts) {
    QTemporaryDir listed;
    QTemporaryDir plain;
    const QString abc = listed.filePath(u"abc.txt"_qs);
    const QString unlisted = plain.filePath(u"plain.txt"_qs);
    WriteFile(abc, "abc");
    WriteFile(listed.filePath(u"SHA1SUMS"_qs), (Sha1Abc + u"  abc.txt\n"_qs).toUtf8());
    WriteFile(unlisted, "abc");
    WriteFile(plain.filePath(u"given.sums"_qs), (Sha1Abc + u"  plain.txt\n"_qs).toUtf8());

    const auto hashFile = [](TfrmQVMain& w, const QString& path) {
        w.rgInputType->SetItemIndex(InputTypeFile);
        w.memVal->setPlainText(path);
        Compute(w);
    };
    const auto besideList = [&](TfrmQVMain& w) { hashFile(w, abc); };
    const auto droppedList = [&](TfrmQVMain& w) {
        hashFile(w, unlisted);
        DropFile(w.rowExpected->edtExpected, plain.filePath(u"given.sums"_qs));
    };
    const auto typed = [&](TfrmQVMain& w) {
        hashFile(w, abc);
        w.rowExpected->edtExpected->clear();
        Type(w.rowExpected->edtExpected, Sha1Abc);
    };
    const auto file = [](const QString& path) {
        return [path](TfrmQVMain& w) {
            w.rgInputType->SetItemIndex(InputTypeFile);
            w.memVal->setPlainText(path);
        };
    };
    const auto text = [](TfrmQVMain& w) {
        w.rgInputType->SetItemIndex(InputTypeText);
        w.memVal->setPlainText(u"abc"_qs);
    };
    struct Case {
        const char* name;
        std::function<void(TfrmQVMain&)> fill;
        std::function<void(TfrmQVMain&)> next;
        bool kept;
    };
    const Case cases[] = {
        {"a list beside the file, then a file without one", besideList, file(unlisted), false},
        {"a list beside the file, then a text", besideList, text, false},
        {"a list beside the file, then the same file", besideList, file(abc), true},
        {"a dropped list, then another file", droppedList, file(abc), false},
        {"a dropped list, then the same file", droppedList, file(unlisted), true},
        {"a typed digest, then another file", typed, file(unlisted), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrmQVMain& w = Open();
        c.fill(w);
        ASSERT_EQ(w.rowExpected->edtExpected->text(), Sha1Abc);
        c.next(w);
        std::binary_semaphore gate(0);
        w.SetThreadStarter([&gate](std::function<void()> body) {
            return StartThread([&gate, body = std::move(body)] {
                gate.acquire();
                body();
            });
        });
        Click(w.btnRefresh);
        ASSERT_TRUE(w.IsBusy());
        EXPECT_EQ(w.rowExpected->edtExpected->text(), c.kept ? Sha1Abc : QString());
        gate.release();
        ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
    }
}

// A list that gives the file's digest in another algorithm selects that algorithm and hashes
// the file once more, so the verdict compares like with like; no third hash follows.
TEST_F(QVMainTest, AListInAnotherAlgorithmHashesTheFileAgainWithIt) {
    QTemporaryDir files;
    WriteFile(files.filePath(u"abc.txt"_qs), "abc");
    WriteFile(files.filePath(u"SHA256SUMS"_qs),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad  abc.txt\n");

    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    w.rgInputType->SetItemIndex(InputTypeFile);
    ASSERT_EQ(w.rgHashes->ItemIndex(), 1) << "the first run starts with SHA1";
    Type(w.memVal, files.filePath(u"abc.txt"_qs));
    Compute(w);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return row.VerdictText() == u"\u2713 Matches (from SHA256SUMS)"_qs; }, StateWaitMs))
        << row.VerdictText().toStdString();
    EXPECT_EQ(w.rgHashes->ItemIndex(), 2);
    EXPECT_EQ(w.lblHashType->text(), u"SHA256:"_qs);
    EXPECT_EQ(w.lblStatus->text(), u"Success creating SHA256 hash."_qs);
    QTest::qWait(100);
    EXPECT_FALSE(w.IsBusy()) << "no further hash";
}

// Inline completion would make "al" the history's "alice" on Tab or Enter; the salt hashed
// is exactly what was typed.
TEST_F(QVMainTest, CompletionNeverChangesTheTypedSalt) {
    TfrmQVMain& w = Open();
    w.cbSalt->addItems({u"alice"_qs, u"bob"_qs});
    w.rgInputType->SetItemIndex(InputTypeText);
    w.rgSaltType->SetItemIndex(SaltTypePrefix);
    w.memVal->setPlainText(u"x"_qs);
    const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Enter};
    for (const Qt::Key key : keys) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        w.cbSalt->setEditText(QString());
        Type(w.cbSalt, u"al"_qs);
        EXPECT_EQ(w.cbSalt->currentText(), u"al"_qs) << "nothing is completed while typing";
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(w.cbSalt->currentText(), u"al"_qs);
        // Enter has started a hash of its own; # would stop it.
        ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs));
        Compute(w);
        // SHA-1 of "alx": the prefix salt as typed.
        EXPECT_EQ(w.lblHash->text(), u"0603d39ff36b2201d45e12891635521788a1d442"_qs);
    }
}

// With the salt history's list open, a click outside it closes it and does what it was aimed
// at: the # button calculates with the typed salt, the text box takes the focus.
TEST_F(QVMainTest, AClickBesideTheSaltListReachesItsTarget) {
    TfrmQVMain& w = Open();
    w.cbSalt->addItems({u"s2"_qs});
    w.rgInputType->SetItemIndex(InputTypeText);
    w.rgSaltType->SetItemIndex(SaltTypePrefix);
    w.memVal->setPlainText(u"abc"_qs);
    QWidget* popup = w.cbSalt->completer()->popup();
    const auto openList = [&] {
        w.cbSalt->setEditText(QString());
        Type(w.cbSalt, u"s"_qs);
        return QTest::qWaitFor([popup] { return popup->isVisible(); }, StateWaitMs);
    };
    // While the list is open the window system hands every press to it (it holds the pointer
    // grab); the offscreen platform does not, so the test does.
    const auto clickBeside = [popup](QWidget* target) {
        const QPoint at = popup->mapFromGlobal(target->mapToGlobal(target->rect().center()));
        QTest::mousePress(popup, Qt::LeftButton, Qt::NoModifier, at);
        if (popup->isVisible())
            QTest::mouseRelease(popup, Qt::LeftButton, Qt::NoModifier, at);
    };

    ASSERT_TRUE(openList());
    clickBeside(w.btnRefresh);
    ASSERT_TRUE(QTest::qWaitFor([&w] { return w.lblStatus->text() == u"Success creating SHA1 hash."_qs; }, StateWaitMs))
        << w.lblStatus->text().toStdString();
    EXPECT_FALSE(popup->isVisible());
    // SHA-1 of "sabc": the salt as typed, not the history's "s2".
    EXPECT_EQ(w.lblHash->text(), u"681107964958a4fbe339d91956569ed7da1ecd1b"_qs);

    ASSERT_TRUE(openList());
    clickBeside(w.memVal->viewport());
    ASSERT_TRUE(QTest::qWaitFor([&w] { return w.focusWidget() == w.memVal; }, StateWaitMs));
    EXPECT_FALSE(popup->isVisible());
}

TEST_F(QVMainTest, RunningOutOfMemoryIsAFailedRequestAndTheWindowStaysUsable) {
    TfrmQVMain& w = Open();
    w.rgInputType->SetItemIndex(InputTypeText);
    // The request holds its own copy of the text (4 MiB in UTF-16); its UTF-8 form, three bytes a
    // character, is what memory is refused for.
    w.memVal->setPlainText(QString(2 * 1024 * 1024, u'\u20AC'));
    SetAllocationHook(AllowBelowRefusal);
    g_refuseFrom = 5 * 1024 * 1024;
    Compute(w);
    g_refuseFrom = 0;
    EXPECT_EQ(w.lblStatus->text(), u"Error loading text: Out of memory"_qs);
    EXPECT_EQ(StatusColour(w), OnWindow(Red));
    EXPECT_EQ(w.lblHash->text(), u""_qs);
    EXPECT_TRUE(w.btnRefresh->isEnabled());

    w.memVal->setPlainText(u"abc"_qs);
    Compute(w);
    EXPECT_EQ(w.lblHash->text(), Sha1Abc);
}

// Stored lists that are there but cannot be loaded (too large, not a regular file) come up
// empty, and the close does not write the empty lists over them.
TEST_F(QVMainTest, StoredListsThatDidNotLoadAreNotWipedAtClose) {
    {
        QFile huge(Path(u"DataSet_SALTITEMS.dblst"_qs));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(DataSetMaxFileSize + 1));
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path(u"DataSet_INPUTTEXT.dblst"_qs)).constData(), 0600), 0);
    TfrmQVMain& w = Open();
    EXPECT_EQ(w.cbSalt->count(), 0);
    EXPECT_EQ(w.memVal->toPlainText(), u""_qs);
    w.memVal->setPlainText(u"typed"_qs);
    w.cbSalt->addItem(u"pepper"_qs);
    Restart();
    EXPECT_EQ(QFileInfo(Path(u"DataSet_SALTITEMS.dblst"_qs)).size(), DataSetMaxFileSize + 1);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(Path(u"DataSet_INPUTTEXT.dblst"_qs)).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// A whole digest of an algorithm other than the selected one says which while it is typed,
// rather than counting toward the selected algorithm's longer length.
TEST_F(QVMainTest, ATypedWholeDigestOfAnotherLengthSaysWhich) {
    TfrmQVMain& w = Open();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    TExpectedDigestRow& row = *w.rowExpected;
    auto* other = w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
    ASSERT_NE(other, nullptr);
    other->setCurrentIndex(other->findText(u"SHA512"_qs));
    w.rgHashes->SetItemIndex(3);
    row.edtExpected->setFocus();
    QTest::keyClicks(row.edtExpected, Sha1Abc.left(39));
    EXPECT_EQ(row.VerdictText(), u"39 of 128 digits"_qs);
    QTest::keyClick(row.edtExpected, Sha1Abc.back().toLatin1());
    EXPECT_EQ(row.VerdictText(), u"40 digits, the length of SHA1: Enter selects it"_qs);
    EXPECT_EQ(row.lblVerdict->palette().color(QPalette::WindowText), OnWindow(Grey));
    EXPECT_EQ(w.rgHashes->ItemIndex(), 3) << "typing selects nothing";
    QTest::keyClick(row.edtExpected, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&w] { return !w.IsBusy(); }, 10000));
    EXPECT_EQ(w.rgHashes->ItemIndex(), 1);
}

// A note that a dropped list leaves is about the input on screen then: another file dropped on
// the window, or a text hashed, takes it away.
TEST_F(QVMainTest, AListsNoteGoesWithTheInputItWasMadeFor) {
    QTemporaryDir files;
    WriteFile(files.filePath(u"s.txt"_qs), "abc");
    WriteFile(files.filePath(u"t.txt"_qs), "abc");
    WriteFile(files.filePath(u"NOLINE.sums"_qs), "a9993e364706816aba3e25717850c26c9cd0d89d  other.txt\n");
    TfrmQVMain& w = Open();
    TExpectedDigestRow& row = *w.rowExpected;
    const auto leaveNote = [&] {
        w.rgInputType->SetItemIndex(InputTypeFile);
        w.memVal->setPlainText(files.filePath(u"s.txt"_qs));
        Compute(w);
        DropFile(row.edtExpected, files.filePath(u"NOLINE.sums"_qs));
        EXPECT_EQ(row.VerdictText(), u"NOLINE.sums has no line for s.txt"_qs);
    };

    leaveNote();
    DropFile(&w, files.filePath(u"t.txt"_qs));
    EXPECT_EQ(w.memVal->toPlainText(), files.filePath(u"t.txt"_qs));
    EXPECT_EQ(row.VerdictText(), QString()) << "another file dropped";

    leaveNote();
    w.rgInputType->SetItemIndex(InputTypeText);
    w.memVal->setPlainText(u"abc"_qs);
    Compute(w);
    EXPECT_EQ(w.lblHash->text(), Sha1Abc);
    EXPECT_EQ(row.VerdictText(), QString()) << "a text hashed";
}

// A store edited by hand: a NUL inside a value, a key written twice, a salt history holding a
// NUL, an input text holding one. Every key after the NUL is read, and the close writes every
// line back, each key once.
TEST_F(QVMainTest, AHandEditedStoreWithANulLosesNothing) {
    DestroyStoreLists();
    WriteFile(Path(u"DataSet_SYSTEMCONFIG.dblst"_qs),
              QByteArray("HASHTYPE=3\r\nOTHERALGORITHM=SHA\0"
                         "512\r\nSALTTYPE=0\r\nSALTTYPE=2\r\nTRIMINPUT=1\r\nUPPERHASH=1\r\n",
                         86));
    const QByteArray salts("s1\r\ns2\0s3\r\ns4\r\n", 15);
    WriteFile(Path(u"DataSet_SALTITEMS.dblst"_qs), salts);
    const QByteArray input("text\r\n\0after", 11);
    WriteFile(Path(u"DataSet_INPUTTEXT.dblst"_qs), input);
    CreateStoreLists();
    LoadStores();

    TfrmQVMain& w = Open();
    EXPECT_EQ(w.rgSaltType->ItemIndex(), SaltTypeNone);
    EXPECT_TRUE(w.chkTrim->isChecked());
    EXPECT_TRUE(w.chkUpper->isChecked());
    EXPECT_EQ(w.cbSalt->count(), 3);
    // Names are compared by their letters and digits alone, as "sha-512" is.
    EXPECT_EQ(w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs)->currentText(), u"SHA512"_qs);
    EXPECT_EQ(w.lblStatus->text(), QString());

    Restart();
    const QByteArray config = ReadFile(Path(u"DataSet_SYSTEMCONFIG.dblst"_qs));
    EXPECT_EQ(config.count("SALTTYPE="), 1) << config.toStdString();
    for (const char* line :
         {"HASHTYPE=3\r\n", "OTHERALGORITHM=SHA512\r\n", "SALTTYPE=0\r\n", "TRIMINPUT=1\r\n", "UPPERHASH=1\r\n"})
        EXPECT_TRUE(config.contains(line)) << line << " in " << config.toStdString();
    EXPECT_EQ(ReadFile(Path(u"DataSet_SALTITEMS.dblst"_qs)).toHex(' '), salts.toHex(' '));
    EXPECT_EQ(ReadFile(Path(u"DataSet_INPUTTEXT.dblst"_qs)).toHex(' '), input.toHex(' '));
}

const QString OtherNotUnderstood = u"The stored other algorithm was not understood: SHA512 is used"_qs;

// A stored other algorithm the drop-down does not list is SHA512, the default, said once in the
// status line; the window hashes and stores SHA512, never the drop-down's first entry.
struct StoredOtherCase {
    const char* name;
    QString stored;
    QString used;
    bool understood;
};

const StoredOtherCase StoredOtherCases[] = {
    {"garbage", u"#~ garbage ~#"_qs, u"SHA512"_qs, false},
    {"an item of its own", u"MD5"_qs, u"SHA512"_qs, false},
    {"no such length", u"SHA9999"_qs, u"SHA512"_qs, false},
    {"empty", QString(), u"SHA512"_qs, false},
    {"a megabyte", QString(1 << 20, u'S'), u"SHA512"_qs, false},
    {"another spelling", u"sha3_256"_qs, u"SHA3-256"_qs, true},
};

TEST_F(QVMainTest, AnUnusableStoredOtherAlgorithmIsTheDefaultAndSaidSo) {
    for (const StoredOtherCase& c : StoredOtherCases) {
        SCOPED_TRACE(c.name);
        ConfigSetValue(u"OtherAlgorithm"_qs, c.stored);
        ConfigSetFloat(u"HashType"_qs, 3);
        TfrmQVMain& w = Open();
        EXPECT_EQ(w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs)->currentText(), c.used);
        EXPECT_EQ(w.lblStatus->text(), c.understood ? QString() : OtherNotUnderstood);
        if (!c.understood) {
            EXPECT_EQ(StatusColour(w), OnWindow(Red));
        }
        w.memVal->setPlainText(u"abc"_qs);
        Compute(w);
        EXPECT_EQ(w.lblHashType->text(), c.used + u':');
        w.close();
        EXPECT_EQ(ConfigGetValue(u"OtherAlgorithm"_qs, QString()), c.used);
    }
}

} // namespace

namespace {

// The WCAG 2 contrast ratio, worked out here from its definition.
double WcagRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double x = luminance(a);
    const double y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

QPalette ThemePalette(const QColor& window, const QColor& text) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, window);
    palette.setColor(QPalette::Text, text);
    return palette;
}

QColor TextColour(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText);
}

} // namespace

// Every text of the status line, the verdict and the result panel stands out from what it is
// drawn on, in a light and a dark desktop theme, also after the theme changed under it.
TEST(WindowColoursTest, TextsAreReadableInLightAndDarkThemes) {
    struct ThemeCase {
        const char* name;
        QPalette palette;
    };
    const ThemeCase themes[] = {{"light", ThemePalette(QColor(239, 239, 239), Qt::black)},
                                {"dark", ThemePalette(QColor(45, 45, 45), Qt::white)},
                                {"light again", ThemePalette(QColor(255, 255, 255), Qt::black)}};
    QWidget host;
    TResultPanel panel(&host);
    TExpectedDigestRow row(&host);
    const QString digest = QString(64, u'a');
    row.SetResult(digest, u"SHA256"_qs);
    struct VerdictCase {
        const char* name;
        QString field;
    };
    const VerdictCase verdicts[] = {{"matches", digest},
                                    {"does not match", QString(64, u'b')},
                                    {"not a digest", u"zz"_qs},
                                    {"waiting", QString(40, u'c')}};
    for (const ThemeCase& theme : themes) {
        SCOPED_TRACE(theme.name);
        // What was on show before the change of theme takes the new theme's colours.
        panel.ShowStatus(u"Success creating SHA256 hash."_qs, StatusSuccess);
        row.edtExpected->setText(digest);
        host.setPalette(theme.palette);
        const QColor background = theme.palette.color(QPalette::Window);
        EXPECT_GE(WcagRatio(TextColour(panel.lblStatus), background), 4.5) << "status before the change";
        EXPECT_GE(WcagRatio(TextColour(row.lblVerdict), background), 4.5) << "verdict before the change";
        for (int level : {StatusCleared, StatusProgress, StatusSuccess, StatusFailure}) {
            panel.ShowStatus(u"status"_qs, level);
            EXPECT_GE(WcagRatio(TextColour(panel.lblStatus), background), 4.5) << "level " << level;
        }
        for (const VerdictCase& verdict : verdicts) {
            row.edtExpected->setText(verdict.field);
            EXPECT_GE(WcagRatio(TextColour(row.lblVerdict), background), 4.5)
                << verdict.name << ": " << row.VerdictText().toStdString();
        }
        // The result panel keeps its own dark fill in every theme.
        for (bool stale : {false, true}) {
            panel.SetStale(stale);
            const double least = stale ? 3.0 : 4.5;
            EXPECT_GE(WcagRatio(TextColour(panel.lblHash), panel.shHash->Fill()), least) << "stale " << stale;
            EXPECT_GE(WcagRatio(TextColour(panel.lblHashType), panel.shHash->Fill()), least) << "stale " << stale;
        }
    }
}

// Each popup of the window (the salt box's list opened by its arrow, the other algorithm's
// list) closes on a click beside it and lets the click through: the # button calculates. A
// click on the box that owns the list only closes it.
TEST_F(QVMainTest, AClickBesideAnyDropDownReachesItsTarget) {
    TfrmQVMain& w = Open();
    w.cbSalt->addItems({u"s2"_qs});
    w.rgInputType->SetItemIndex(InputTypeText);
    w.memVal->setPlainText(u"abc"_qs);
    auto* other = w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
    ASSERT_NE(other, nullptr);
    struct DropDownCase {
        const char* name;
        QComboBox* box;
    };
    const DropDownCase cases[] = {{"salt", w.cbSalt}, {"other algorithm", other}};
    for (const DropDownCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* popup = c.box->view()->window();
        // While the list is open the window system hands every press to it (it holds the
        // pointer grab); the offscreen platform does not, so the test does.
        const auto clickBeside = [popup](QWidget* target) {
            const QPoint at = popup->mapFromGlobal(target->mapToGlobal(target->rect().center()));
            QTest::mousePress(popup, Qt::LeftButton, Qt::NoModifier, at);
            if (popup->isVisible())
                QTest::mouseRelease(popup, Qt::LeftButton, Qt::NoModifier, at);
        };

        c.box->showPopup();
        ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }, StateWaitMs));
        clickBeside(c.box);
        ASSERT_TRUE(QTest::qWaitFor([popup] { return !popup->isVisible(); }, StateWaitMs));
        QCoreApplication::processEvents(); // the posted replay of the click, if there were one
        EXPECT_FALSE(popup->isVisible()) << "a click on its own box only closes the list";

        w.lblStatus->clear();
        c.box->showPopup();
        ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }, StateWaitMs));
        clickBeside(w.btnRefresh);
        EXPECT_TRUE(QTest::qWaitFor([&w] { return w.lblStatus->text().startsWith(u"Success creating"); }, StateWaitMs))
            << w.lblStatus->text().toStdString();
        EXPECT_FALSE(popup->isVisible());
    }
}
