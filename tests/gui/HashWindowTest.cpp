// The window while it hashes: progress, stop, close, the file given at start, copying from the
// keyboard and a digest that fits its panel. Files are read through test streams that the
// test releases chunk by chunk (TGateStream) or that take their time (slow reads), so that
// every state of a running hash can be looked at.
#include "gui/QVMain.h"

#include "crypt/HashAlgorithm.h"
#include "crypt/RunningDigest.h"
#include "gui/AlgorithmChoice.h"
#include "gui/ClickLabel.h"
#include "gui/ExpectedDigestRow.h"
#include "gui/FitLabel.h"
#include "gui/RadioGroup.h"
#include "gui/StartArguments.h"
#include "gui/TextColours.h"
#include "hashing/FileStream.h"
#include "hashing/StreamDigest.h"
#include "tests/gui/QtPrinters.h"
#include "tests/support/RefusedThreadStart.h"
#include "tests/support/StateWait.h"
#include "tools/ConfigStore.h"
#include "tools/ProcessValues.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// The reader's chunk: the gate hands out one read of it at a time.
constexpr std::int64_t Chunk = TStreamDigester::CacheChunk;
const QString ComputeHint = u"Calculate the Hash (click the result or press Ctrl+Shift+C to copy it)"_qs;
const QString StopHint = u"Stop hashing (Esc)"_qs;
const QColor Grey(128, 128, 128);
const QColor Green(64, 192, 64);
const QColor Red(255, 0, 0);
// A designed text colour as the window draws it: readable on the window's background.
QColor OnWindow(const QColor& designed) {
    return ReadableOn(designed, QApplication::palette().color(QPalette::Window));
}

// Zero bytes, handed out one chunk at a time as the test allows; reads that take their time
// with a delay instead. A read left waiting for 20 s fails, so a broken test cannot hang.
class TGate {
public:
    TGate(std::int64_t chunks, std::chrono::milliseconds delay = {}) : m_size(chunks * Chunk), m_delay(delay) {}
    std::int64_t Size() const { return m_size; }

    void Allow(int reads) {
        std::lock_guard lock(m_mutex);
        m_allowed = reads < 0 ? -1 : m_allowed + reads;
        m_changed.notify_all();
    }
    void AllowAll() { Allow(-1); }
    int Reads() const {
        std::lock_guard lock(m_mutex);
        return m_reads;
    }
    int Opens() const {
        std::lock_guard lock(m_mutex);
        return m_opens;
    }
    void Opened() {
        std::lock_guard lock(m_mutex);
        ++m_opens;
    }
    // Reads begun, finished or still waiting for the test.
    int Begun() const {
        std::lock_guard lock(m_mutex);
        return m_begun;
    }
    void Read() {
        {
            std::lock_guard lock(m_mutex);
            ++m_begun;
        }
        if (m_delay.count() > 0)
            std::this_thread::sleep_for(m_delay);
        std::unique_lock lock(m_mutex);
        if (!m_changed.wait_for(lock, std::chrono::seconds(20),
                                [this] { return m_allowed < 0 || m_reads < m_allowed; }))
            throw EReadError("test gate: no read allowed");
        ++m_reads;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::int64_t m_size;
    std::chrono::milliseconds m_delay;
    int m_allowed = 0;
    int m_reads = 0;
    int m_opens = 0;
    int m_begun = 0;
};

class TGateStream final : public TStream {
public:
    explicit TGateStream(std::shared_ptr<TGate> gate) : m_gate(std::move(gate)) { m_gate->Opened(); }
    std::int64_t Size() const override { return m_gate->Size(); }
    std::int64_t Position() const override { return m_position; }
    void Seek(std::int64_t offset) override { m_position = offset; }
    std::int64_t Read(void* buffer, std::int64_t count) override {
        m_gate->Read();
        count = std::clamp<std::int64_t>(m_gate->Size() - m_position, 0, count);
        std::memset(buffer, 0, static_cast<std::size_t>(count));
        m_position += count;
        return count;
    }
    std::int64_t Write(const void*, std::int64_t) override { throw EWriteError("read-only"); }

private:
    std::shared_ptr<TGate> m_gate;
    std::int64_t m_position = 0;
};

QString ZeroDigest(std::int64_t size, THashAlgorithm algorithm = THashAlgorithm::SHA256) {
    const std::vector<char> zeros(static_cast<std::size_t>(size), 0);
    TRunningDigest digest(algorithm);
    digest.Update(zeros.data(), zeros.size());
    return QString::fromStdString(digest.Finish());
}

// The process's peak resident memory in KiB, from /proc.
std::int64_t PeakMemoryKiB() {
    QFile status(u"/proc/self/status"_qs);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

QColor StatusColour(const TfrmQVMain& window) {
    return window.lblStatus->palette().color(QPalette::WindowText);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
    int count = 0;
};

class HashWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_folder.isValid());
        SetDataFolder(m_folder.path() + u'/');
        CreateStoreLists();
        LoadStores();
        QFile file(m_folder.filePath(u"input.bin"_qs));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("abc") == 3);
        QGuiApplication::clipboard()->setText(u"before"_qs);
    }

    void TearDown() override {
        m_window.reset();
        DestroyStoreLists();
        SetDataFolder(QString());
    }

    // A loaded, active window set to hash input.bin with SHA256; with a gate, the file's bytes
    // come from it.
    TfrmQVMain& Open(const std::shared_ptr<TGate>& gate = nullptr) {
        m_window = std::make_unique<TfrmQVMain>();
        if (gate)
            m_window->SetFileOpener([gate](const std::string&) { return std::make_unique<TGateStream>(gate); });
        m_window->show();
        m_window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get(), StateWaitMs));
        m_window->init();
        m_window->rgInputType->SetItemIndex(InputTypeFile);
        m_window->rgHashes->SetItemIndex(2);
        m_window->memVal->setPlainText(InputFile());
        return *m_window;
    }

    QString InputFile() const { return m_folder.filePath(u"input.bin"_qs); }

    static bool WaitIdle(const TfrmQVMain& w) {
        return QTest::qWaitFor([&w] { return !w.IsBusy(); }, StateWaitMs);
    }

    QTemporaryDir m_folder;
    std::unique_ptr<TfrmQVMain> m_window;
};

TEST_F(HashWindowTest, ProgressFollowsTheChunksUntilTheDigest) {
    auto gate = std::make_shared<TGate>(4);
    TfrmQVMain& w = Open(gate);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);

    // At once: the busy state, and the # button is a stop button.
    EXPECT_TRUE(w.IsBusy());
    EXPECT_EQ(w.lblHash->text(), u"Hashing... (Please wait)"_qs);
    EXPECT_EQ(w.lblStatus->text(), u"Hashing..."_qs);
    EXPECT_EQ(w.btnRefresh->toolTip(), StopHint);
    EXPECT_TRUE(w.btnRefresh->isEnabled());
    EXPECT_FALSE(w.pbHash->isVisible()) << "no bar for what ends within a quarter of a second";

    // Nothing read yet: after a quarter of a second the progress shows 0 %, painted while the
    // hashing thread waits for its first chunk.
    TPaintCounter paints(w.lblStatus);
    ASSERT_TRUE(QTest::qWaitFor([&w] { return w.pbHash->isVisible(); }, StateWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&paints] { return paints.count > 0; }, StateWaitMs));
    EXPECT_EQ(w.lblStatus->text(), u"Hashing... 0 B of 4.2 MB (0 %)"_qs);
    EXPECT_EQ(StatusColour(w), OnWindow(Grey));
    EXPECT_EQ(w.pbHash->value(), 0);

    gate->Allow(2);
    ASSERT_TRUE(QTest::qWaitFor(
        [&w] { return w.lblStatus->text().startsWith(u"Hashing... 2.1 MB of 4.2 MB (50 %), "); }, StateWaitMs))
        << w.lblStatus->text().toStdString();
    EXPECT_TRUE(w.lblStatus->text().endsWith(u" left")) << w.lblStatus->text().toStdString();
    EXPECT_EQ(w.pbHash->value(), 500);

    gate->AllowAll();
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.lblHash->text(), ZeroDigest(4 * Chunk));
    EXPECT_EQ(w.lblHashType->text(), u"SHA256:"_qs);
    EXPECT_EQ(w.lblStatus->text(), u"Success creating SHA256 hash."_qs);
    EXPECT_EQ(StatusColour(w), OnWindow(Green));
    EXPECT_FALSE(w.pbHash->isVisible());
    EXPECT_EQ(w.btnRefresh->toolTip(), ComputeHint);
}

// Digits typed while a hash runs keep their count when the hash ends: the typing ends only when
// the user leaves the field (or presses Enter).
TEST_F(HashWindowTest, TypingKeepsItsCountWhenTheHashEnds) {
    auto gate = std::make_shared<TGate>(4);
    TfrmQVMain& w = Open(gate);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(w.IsBusy());
    TExpectedDigestRow& row = *w.rowExpected;
    row.edtExpected->setFocus();
    QTest::keyClicks(row.edtExpected, QString(20, u'a'));
    EXPECT_EQ(row.VerdictText(), u"20 of 64 digits"_qs);

    gate->AllowAll();
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.lblHash->text(), ZeroDigest(4 * Chunk));
    EXPECT_EQ(row.VerdictText(), u"20 of 64 digits"_qs);
    EXPECT_EQ(row.lblVerdict->palette().color(QPalette::WindowText), OnWindow(Grey));

    w.memVal->setFocus();
    EXPECT_EQ(row.VerdictText(), u"not a digest"_qs) << "leaving the field ends the typing";
}

TEST_F(HashWindowTest, TheStopButtonAndEscapeStopWithinAChunk) {
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "stop button");
        auto gate = std::make_shared<TGate>(8);
        TfrmQVMain& w = Open(gate);
        QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
        gate->Allow(1);
        ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate->Reads() == 1; }, StateWaitMs));
        if (escape)
            QTest::keyClick(w.memVal, Qt::Key_Escape);
        else
            QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
        // The read that may already be waiting finishes; no further one starts.
        gate->AllowAll();
        ASSERT_TRUE(WaitIdle(w));
        EXPECT_LE(gate->Reads(), 2);
        EXPECT_EQ(w.lblStatus->text(), u"Cancelled."_qs);
        EXPECT_EQ(StatusColour(w), OnWindow(Grey)) << "a stop is no failure";
        EXPECT_EQ(w.lblHash->text(), QString());
        EXPECT_EQ(w.lblHashType->text(), QString());
        EXPECT_EQ(QGuiApplication::clipboard()->text(), u"before"_qs);
        EXPECT_EQ(w.btnRefresh->toolTip(), ComputeHint);
        EXPECT_EQ(gate->Opens(), 1);
    }
}

TEST_F(HashWindowTest, EscapeWithoutAHashChangesNothing) {
    TfrmQVMain& w = Open();
    QTest::keyClick(w.memVal, Qt::Key_Escape);
    EXPECT_FALSE(w.IsBusy());
    EXPECT_EQ(w.lblHash->text(), u"Ready."_qs);
    EXPECT_EQ(w.lblStatus->text(), QString());
}

TEST_F(HashWindowTest, ASecondClickWhileBusyNeverStartsASecondHash) {
    auto gate = std::make_shared<TGate>(4);
    TfrmQVMain& w = Open(gate);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    gate->AllowAll();
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.lblStatus->text(), u"Cancelled."_qs);
    QTest::qWait(300);
    EXPECT_FALSE(w.IsBusy()) << "nothing was queued";
    EXPECT_EQ(gate->Opens(), 1);

    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(gate->Opens(), 2);
    EXPECT_EQ(w.lblHash->text(), ZeroDigest(4 * Chunk));
}

// Reads of 40 ms each, or one read that never returns while the window is there: either way the
// close saves the settings and is done at once; a stuck hashing thread is left behind and
// ends by itself once its read returns, touching nothing of the window.
// Under a process limit no hashing thread starts: the status line says so in red, the window
// stays usable, and the next hash runs once threads start again.
TEST_F(HashWindowTest, AThreadThatCannotStartIsAnErrorInTheStatusLine) {
    TfrmQVMain& w = Open();
    w.SetThreadStarter([](std::function<void()>) { return RefusedThreadStart(); });
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    EXPECT_FALSE(w.IsBusy());
    EXPECT_EQ(w.lblStatus->text(),
              u"Error Hashing data: "_qs +
                  QString::fromStdString(std::make_error_code(std::errc::resource_unavailable_try_again).message()));
    EXPECT_EQ(StatusColour(w), OnWindow(Red));
    EXPECT_TRUE(w.rgHashes->isEnabled());

    w.SetThreadStarter(StartThread);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.lblHash->text(), u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs);
}

// Once a hash has ended its thread has ended too: a close when idle has no thread to wait for,
// and closing starts none.
TEST_F(HashWindowTest, AnIdleWindowLeavesNoThreadForTheCloseToWaitFor) {
    TfrmQVMain& w = Open();
    auto started = std::make_shared<std::atomic<int>>(0);
    auto ended = std::make_shared<std::atomic<int>>(0);
    w.SetThreadStarter([started, ended](std::function<void()> body) {
        ++*started;
        // A thread slow to end after it handed its result over.
        return StartThread([body = std::move(body), ended] {
            body();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ++*ended;
        });
    });
    for (int hash = 1; hash <= 2; ++hash) {
        SCOPED_TRACE(hash);
        QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
        ASSERT_TRUE(WaitIdle(w));
        EXPECT_EQ(w.lblHash->text(), u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs);
        EXPECT_EQ(*ended, hash) << "the thread was joined when its result came";
    }
    w.close();
    m_window.reset();
    EXPECT_EQ(*started, 2);
    EXPECT_EQ(*ended, 2);
}

TEST_F(HashWindowTest, AClosingWindowStopsTheHashAndSavesItsSettings) {
    for (const bool stuck : {false, true}) {
        SCOPED_TRACE(stuck ? "a read that does not return" : "reads of 40 ms");
        auto gate = std::make_shared<TGate>(1000, std::chrono::milliseconds(stuck ? 0 : 40));
        if (!stuck)
            gate->AllowAll();
        TfrmQVMain& w = Open(gate);
        w.rgHashes->SetItemIndex(0);
        w.cbSalt->setEditText(u"pepper"_qs);
        QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
        if (stuck)
            ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate->Begun() == 1; }, StateWaitMs)) << "a read is waiting";
        else
            ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate->Reads() >= 2; }, StateWaitMs));

        const int readsAtClose = gate->Reads();
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(w.close());
        // Waiting for the read would take the gate's 20 s, or 40 s of reads of 40 ms.
        EXPECT_LT(clock.elapsed(), 10000) << "the close waits for no read";
        EXPECT_FALSE(w.IsBusy());
        EXPECT_LE(gate->Reads(), readsAtClose + 1);

        EXPECT_EQ(ConfigGetInt(u"InputType"_qs, -5, -5, 5), InputTypeFile);
        EXPECT_EQ(ConfigGetInt(u"HashType"_qs, -5, -5, 5), 0);
        EXPECT_EQ(ConfigGetValue(u"SaltText"_qs, QString()), u"pepper"_qs);
        EXPECT_EQ(ReadFile(m_folder.filePath(u"DataSet_INPUTTEXT.dblst"_qs)), InputFile().toUtf8());
        EXPECT_EQ(ReadFile(m_folder.filePath(u"DataSet_SALTITEMS.dblst"_qs)), QByteArray());

        m_window.reset();
        // The stuck read returns after the window is gone; the thread stops at its next chunk.
        // Its stream and file opener hold the gate until it has ended.
        gate->AllowAll();
        ASSERT_TRUE(QTest::qWaitFor([&gate] { return gate.use_count() == 1; }, StateWaitMs))
            << "the hashing thread has ended";
        EXPECT_LE(gate->Reads(), readsAtClose + 2);
    }
}

// While a hash runs, the controls of its request hold still and a dropped file is refused; the
// Expected digest field stays live. The outcome lands with the controls as they were.
TEST_F(HashWindowTest, WhileHashingTheRequestHoldsStill) {
    auto gate = std::make_shared<TGate>(2);
    TfrmQVMain& w = Open(gate);
    QFile other(m_folder.filePath(u"other.bin"_qs));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("x") == 1);
    other.close();
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(w.IsBusy());

    EXPECT_TRUE(w.memVal->isReadOnly());
    const QList<QWidget*> locked = {w.rgInputType, w.rgHashes, w.chkTrim,    w.rgSaltType,
                                    w.chkUpper,    w.cbSalt,   w.btnSaltDel, w.btnSaltClear};
    for (QWidget* control : locked)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_TRUE(w.btnRefresh->isEnabled()) << "the stop button";
    EXPECT_TRUE(w.rowExpected->edtExpected->isEnabled());
    EXPECT_FALSE(w.rowExpected->edtExpected->isReadOnly());

    QTest::keyClicks(w.memVal, u"typed"_qs);
    EXPECT_EQ(w.memVal->toPlainText(), InputFile());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(other.fileName())});
    for (QWidget* target : {static_cast<QWidget*>(w.memVal->viewport()), static_cast<QWidget*>(&w)}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_FALSE(enter.isAccepted()) << "the drag shows it is refused";
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_FALSE(drop.isAccepted());
    }
    EXPECT_EQ(w.memVal->toPlainText(), InputFile());

    // A digest of another algorithm in the field does not switch the running request's.
    QTest::keyClicks(w.rowExpected->edtExpected, u"900150983cd24fb0d6963f7d28e17f72"_qs);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 2);

    gate->AllowAll();
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.lblHash->text(), ZeroDigest(2 * Chunk));
    EXPECT_EQ(w.lblStatus->text(), u"Success creating SHA256 hash."_qs);
    EXPECT_FALSE(w.memVal->isReadOnly());
    for (QWidget* control : locked)
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(w.rowExpected->VerdictText(), u"32 digits, the length of MD5: Enter selects it"_qs)
        << "the hash ending does not end the typing";

    // Idle again, a drop is taken.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    EXPECT_EQ(w.memVal->toPlainText(), QDir::toNativeSeparators(other.fileName()));
}

// Should the input change under a running hash all the same (here from the program, which the
// locked controls do not stop), its outcome is not shown beside the new input.
TEST_F(HashWindowTest, AnOutcomeForAnotherInputIsNotShown) {
    auto gate = std::make_shared<TGate>(2);
    TfrmQVMain& w = Open(gate);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(w.IsBusy());
    w.memVal->setPlainText(m_folder.filePath(u"other.bin"_qs));
    gate->AllowAll();
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.lblHash->text(), QString());
    EXPECT_EQ(w.lblStatus->text(), u"The input changed while it was hashed: press # to calculate"_qs);
    EXPECT_EQ(StatusColour(w), OnWindow(Grey));
}

// A list beside the file in another algorithm than the selected one: the lists are looked up
// on the hashing thread first, and the second pass says why it runs.
TEST_F(HashWindowTest, ASecondPassForAListSaysWhy) {
    auto gate = std::make_shared<TGate>(2);
    QFile list(m_folder.filePath(u"MD5SUMS"_qs));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    const QString md5 = ZeroDigest(2 * Chunk, THashAlgorithm::MD5);
    list.write((md5 + u"  input.bin\n"_qs).toUtf8());
    list.close();
    TfrmQVMain& w = Open(gate);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    // The first pass (SHA256) reads its chunks one permit at a time; the second one finds at
    // most one permit left and waits at its next read.
    int allowed = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&gate, &allowed] {
            if (gate->Opens() < 2 && gate->Reads() >= allowed) {
                gate->Allow(1);
                ++allowed;
            }
            return gate->Opens() == 2;
        },
        StateWaitMs));
    ASSERT_TRUE(QTest::qWaitFor(
        [&w] { return w.lblStatus->text().startsWith(u"Hashing again with MD5 for MD5SUMS... "_qs); }, StateWaitMs))
        << w.lblStatus->text().toStdString();
    EXPECT_TRUE(w.IsBusy());
    gate->AllowAll();
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.rgHashes->ItemIndex(), 0) << "MD5 selected, as the digest on show";
    EXPECT_EQ(w.lblHash->text(), md5);
    EXPECT_EQ(w.rowExpected->VerdictText(), u"\u2713 Matches (from MD5SUMS)"_qs);
}

// A list of an algorithm the first three items do not offer, beside the file: the second pass
// hashes with the drop-down's entry for it, which the drop-down lists as it lists every row of
// the table, and the status and panel name it.
TEST_F(HashWindowTest, AListOfAnotherAlgorithmIsHashedThroughTheDropDown) {
    const struct {
        const char* List;
        QString Line;
        QString Algorithm;
        QString From;
    } cases[] = {
        // BLAKE2b-512 of "abc" (RFC 7693, appendix A), in a list named for all files.
        {"b2sums.txt",
         u"ba80a53f981c4d0d6a2797b69f12f6e94c212f14685ac4b74b12bb6fdbffa2d1"
         u"7d87c5392aab792dc252d5de4533cc9518d38aa8dbf1925ab92386edd4009923  input.bin\n"_qs,
         u"BLAKE2b-512"_qs, u"b2sums.txt"_qs},
        // BLAKE3 of "abc" as b3sum writes it, in the file's own NAME.b3.
        {"input.bin.b3", u"6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85  input.bin\n"_qs,
         u"BLAKE3"_qs, u".b3 file"_qs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.List);
        QFile list(m_folder.filePath(QString::fromLatin1(c.List)));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(c.Line.toUtf8());
        list.close();
        TfrmQVMain& w = Open();
        QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
        ASSERT_TRUE(WaitIdle(w));
        EXPECT_EQ(w.rgHashes->ItemIndex(), TAlgorithmChoice::OtherItem);
        EXPECT_EQ(w.findChild<QComboBox*>(u"cbOtherAlgorithm"_qs)->currentText(), c.Algorithm);
        EXPECT_EQ(w.lblHash->text(), c.Line.left(c.Line.indexOf(u' ')));
        EXPECT_EQ(w.lblHashType->text(), c.Algorithm + u':');
        EXPECT_EQ(w.lblStatus->text(), u"Success creating "_qs + c.Algorithm + u" hash."_qs);
        EXPECT_EQ(w.rowExpected->VerdictText(), u"\u2713 Matches (from "_qs + c.From + u')');
        ASSERT_TRUE(list.remove());
    }
}

// A pasted digest whose length several algorithms share: with SHA256 selected, a BLAKE2s-256
// digest keeps SHA256 selected, the next calculation computes every 64-digit algorithm in the
// same read of the file, and the verdict names the one that matches; a digest that matches none
// names the algorithms tried. The panel and the status line stay with the selected algorithm.
TEST_F(HashWindowTest, ADigestOfASharedLengthIsComparedWithEachAlgorithmOfIt) {
    const QString sha256 = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs;
    // BLAKE2s-256 of "abc" (RFC 7693, appendix B).
    const QString blake2s = u"508c5e8c327c14e2e1a72ba34eeb452f37458b209ed63a294d999b4c86675982"_qs;
    TfrmQVMain& w = Open();
    auto opens = std::make_shared<int>(0);
    w.SetFileOpener([opens](const std::string& path) {
        ++*opens;
        return std::make_unique<TFileStream>(path);
    });
    TExpectedDigestRow& row = *w.rowExpected;
    const auto verdictColour = [&row] { return row.lblVerdict->palette().color(QPalette::WindowText); };
    const auto calculate = [&w] {
        QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
        return WaitIdle(w);
    };

    // Hashed before the digest was pasted: only SHA256 was computed, the others are still to try.
    ASSERT_TRUE(calculate());
    QGuiApplication::clipboard()->setText(blake2s);
    QTest::mouseClick(row.btnPasteExpected, Qt::LeftButton);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 2) << "SHA256 stays selected: the digest may be of it";
    EXPECT_TRUE(row.VerdictText().startsWith(u"Not SHA256: calculate again to try "_qs))
        << row.VerdictText().toStdString();
    EXPECT_EQ(verdictColour(), OnWindow(Grey));

    ASSERT_TRUE(calculate());
    EXPECT_EQ(*opens, 2) << "one read of the file per calculation";
    EXPECT_EQ(w.lblHash->text(), sha256);
    EXPECT_EQ(w.lblHashType->text(), u"SHA256:"_qs);
    EXPECT_EQ(w.lblStatus->text(), u"Success creating SHA256 hash."_qs);
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches BLAKE2s-256"_qs);
    EXPECT_EQ(verdictColour(), OnWindow(QColor(0, 140, 0)));

    // Another digest of the length: the digests of that read answer at once.
    QString none = blake2s;
    none[10] = u'0';
    QGuiApplication::clipboard()->setText(none);
    QTest::mouseClick(row.btnPasteExpected, Qt::LeftButton);
    const QString noMatch = row.VerdictText();
    EXPECT_TRUE(noMatch.startsWith(u"\u2717 Does not match SHA256, SHA512/256, SHA3-256"_qs)) << noMatch.toStdString();
    EXPECT_TRUE(noMatch.contains(u"BLAKE2s-256"_qs)) << noMatch.toStdString();
    EXPECT_EQ(verdictColour(), OnWindow(Red));
    EXPECT_FALSE(row.lblVerdict->IsElided()) << row.lblVerdict->ShownText().toStdString();

    // With SHA3-256 selected in the drop-down, a SHA-256 digest leaves it selected and is found.
    auto* other = w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
    ASSERT_NE(other, nullptr);
    const int sha3 = other->findText(u"SHA3-256"_qs);
    other->setCurrentIndex(sha3);
    emit other->activated(sha3);
    QGuiApplication::clipboard()->setText(sha256.toUpper());
    QTest::mouseClick(row.btnPasteExpected, Qt::LeftButton);
    EXPECT_EQ(w.rgHashes->ItemIndex(), TAlgorithmChoice::OtherItem);
    EXPECT_EQ(other->currentText(), u"SHA3-256"_qs);
    EXPECT_EQ(row.VerdictText(), u"SHA3-256 digest: calculate to compare"_qs)
        << "the SHA256 digest is the previous request's";
    ASSERT_TRUE(calculate());
    EXPECT_EQ(w.lblHashType->text(), u"SHA3-256:"_qs);
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches SHA256"_qs);

    // A digest of another length selects its length's common algorithm, as before.
    QGuiApplication::clipboard()->setText(u"900150983cd24fb0d6963f7d28e17f72"_qs);
    QTest::mouseClick(row.btnPasteExpected, Qt::LeftButton);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 0);
    ASSERT_TRUE(calculate());
    EXPECT_EQ(row.VerdictText(), u"\u2713 Matches"_qs);
}

// Lists without line breaks, hundreds of MB large, beside the file: the lookup reads a bounded
// part of the one named after the file and streams the *SUMS list, so the hash ends as soon as
// the lists are read and memory stays flat. The files are sparse: quick to make, no disk used.
TEST_F(HashWindowTest, HugeListsBesideTheFileCostNoMemory) {
    constexpr qint64 Huge = 300LL * 1000 * 1000;
    const QString sha256 = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs;
    {
        QFile sidecar(m_folder.filePath(u"input.bin.sha256"_qs));
        ASSERT_TRUE(sidecar.open(QIODevice::WriteOnly) && sidecar.resize(Huge));
        QFile sums(m_folder.filePath(u"SHA256SUMS"_qs));
        ASSERT_TRUE(sums.open(QIODevice::WriteOnly) && sums.resize(Huge) && sums.seek(Huge));
        sums.write((u"\n"_qs + sha256 + u"  input.bin\n"_qs).toUtf8());
    }
    TfrmQVMain& w = Open();
    const std::int64_t peakBefore = PeakMemoryKiB();
    ASSERT_GT(peakBefore, 0);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.lblHash->text(), sha256);
    EXPECT_EQ(w.rowExpected->VerdictText(), u"\u2713 Matches (from SHA256SUMS)"_qs);
    EXPECT_LT(PeakMemoryKiB() - peakBefore, 64 * 1024) << "KiB more at the peak";
}

struct StartFileCase {
    const char* name;
    QString file; // "{dir}" is the test's folder
    QString digest;
    QString status;
};

const StartFileCase StartFileCases[] = {
    {"present", u"{dir}/input.bin"_qs, u"900150983cd24fb0d6963f7d28e17f72"_qs, u"Success creating MD5 hash."_qs},
    {"missing", u"{dir}/missing.bin"_qs, QString(), u"File does not exist"_qs},
    {"folder", u"{dir}"_qs, QString(), u"File does not exist"_qs},
};

// The file given at start is hashed once the stored settings are back, with the stored algorithm.
TEST_F(HashWindowTest, TheFileGivenAtStartIsHashedAtOnce) {
    for (const StartFileCase& c : StartFileCases) {
        SCOPED_TRACE(c.name);
        ConfigSetFloat(u"HashType"_qs, 0);
        ConfigSetFloat(u"InputType"_qs, InputTypeText);
        const QString file = QString(c.file).replace(u"{dir}"_qs, m_folder.path());
        m_window = std::make_unique<TfrmQVMain>();
        TfrmQVMain& w = *m_window;
        w.OpenAtStart(file);
        w.show();
        ASSERT_TRUE(QTest::qWaitFor([&w] { return w.IsLoaded(); }, StateWaitMs));
        ASSERT_TRUE(WaitIdle(w));
        EXPECT_EQ(w.rgInputType->ItemIndex(), InputTypeFile);
        EXPECT_EQ(w.rgHashes->ItemIndex(), 0);
        EXPECT_EQ(w.memVal->toPlainText(), file);
        EXPECT_EQ(w.lblHash->text(), c.digest);
        EXPECT_EQ(w.lblStatus->text(), c.status);
        EXPECT_EQ(StatusColour(w), OnWindow(c.digest.isEmpty() ? Red : Green));
    }
}

struct ArgumentCase {
    const char* name;
    QStringList arguments;
    QString file;
    bool help;
    QString error;
};

// Absolute names on the running system: "/" on POSIX, the system drive's "C:/" on Windows, where
// "/x" names a folder on the current folder's drive.
const QString Root = QDir::rootPath();
const QString WorkFolder = Root + u"work dir"_qs;

const ArgumentCase ArgumentCases[] = {
    {"none", {}, QString(), false, QString()},
    {"relative", {u"a b.txt"_qs}, WorkFolder + u"/a b.txt"_qs, false, QString()},
    {"absolute kept as given", {Root + u"x/../y"_qs}, Root + u"x/../y"_qs, false, QString()},
    {"after --", {u"--"_qs, u"-name"_qs}, WorkFolder + u"/-name"_qs, false, QString()},
    {"dash alone is a name", {u"-"_qs}, WorkFolder + u"/-"_qs, false, QString()},
    {"empty name is the folder", {u""_qs}, WorkFolder, false, QString()},
    {"help", {u"--help"_qs, u"x"_qs}, QString(), true, QString()},
    {"unknown option", {u"-x"_qs}, QString(), false, u"unknown option -x"_qs},
    {"two files", {u"a"_qs, u"b"_qs}, QString(), false, u"only one FILE may be given"_qs},
};

TEST(StartArgumentsTest, Parses) {
    for (const ArgumentCase& c : ArgumentCases) {
        SCOPED_TRACE(c.name);
        const TStartArguments parsed = ParseStartArguments(c.arguments, WorkFolder);
        EXPECT_EQ(parsed.File, c.file);
        EXPECT_EQ(parsed.Help, c.help);
        EXPECT_EQ(parsed.Error, c.error);
        EXPECT_EQ(AsksForHelp(c.arguments), c.help);
    }
    EXPECT_TRUE(AsksForHelp({u"-platform"_qs, u"offscreen"_qs, u"-h"_qs}));
    EXPECT_FALSE(AsksForHelp({u"--"_qs, u"--help"_qs})) << "a file named --help";
}

TEST_F(HashWindowTest, TypingRightAwayGoesIntoTheTextBox) {
    m_window = std::make_unique<TfrmQVMain>();
    m_window->show();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get(), StateWaitMs));
    QTest::keyClicks(QApplication::focusWidget(), u"typed"_qs);
    EXPECT_EQ(m_window->memVal->toPlainText(), u"typed"_qs);
}

TEST_F(HashWindowTest, TheDigestIsCopiedFromTheKeyboard) {
    TfrmQVMain& w = Open();
    w.rgInputType->SetItemIndex(InputTypeText);
    w.memVal->setPlainText(u"abc"_qs);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    const QString digest = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"_qs;
    ASSERT_EQ(w.lblHash->text(), digest);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"before"_qs) << "the # button copies nothing, as its hint says";
    EXPECT_EQ(w.btnRefresh->toolTip(), ComputeHint);

    // Ctrl+Shift+C from anywhere; the text box keeps its own Ctrl+C.
    w.memVal->setFocus();
    QTest::keyClick(w.memVal, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), digest);
    EXPECT_EQ(w.memVal->toPlainText(), u"abc"_qs);

    // Ctrl+C on the result, reached with Tab from the # button.
    QGuiApplication::clipboard()->setText(u"other"_qs);
    w.btnRefresh->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.btnRefresh, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w.lblHash);
    QTest::keyClick(w.lblHash, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), digest);
}

// At the smallest window a SHA-256 digest shrinks to fit, in a readable size; where even that
// is too wide it is elided in the middle, the whole digest in the tooltip.
TEST_F(HashWindowTest, TheDigestFitsAtTheMinimumWidth) {
    TfrmQVMain& w = Open();
    w.resize(100, 100);
    w.rgInputType->SetItemIndex(InputTypeText);
    w.memVal->setPlainText(u"abc"_qs);
    w.chkUpper->setChecked(true);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    const QString digest = w.lblHash->text();
    ASSERT_EQ(digest.size(), 64);
    EXPECT_LT(w.lblHash->ShownFont().pixelSize(), 24);
    EXPECT_GE(w.lblHash->ShownFont().pixelSize(), 12);
    for (const QString& line : w.lblHash->ShownLines())
        EXPECT_LE(QFontMetrics(w.lblHash->ShownFont()).horizontalAdvance(line), w.lblHash->contentsRect().width());
    if (w.lblHash->IsElided())
        EXPECT_TRUE(w.lblHash->ShownToolTip().startsWith(digest));
    else
        EXPECT_EQ(w.lblHash->ShownLines().join(QString()), digest);
}

// The longest digests are shown whole, on two lines where one is too narrow, in a readable
// size, at the start size and the smallest; a click copies them whole.
TEST_F(HashWindowTest, LongDigestsAreShownWholeAtTheStartAndTheSmallestSize) {
    struct SizeCase {
        const char* name;
        QSize size;
    };
    const SizeCase sizes[] = {{"start", QSize()}, {"smallest", QSize(100, 100)}};
    const char* const algorithms[] = {"SHA512", "BLAKE2b-512"};
    for (const SizeCase& size : sizes) {
        for (const char* algorithm : algorithms) {
            SCOPED_TRACE(std::string(size.name) + ' ' + algorithm);
            TfrmQVMain& w = Open();
            if (size.size.isValid())
                w.resize(size.size);
            ASSERT_TRUE(w.rowExpected->edtExpected->text().isEmpty());
            auto* other = w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
            ASSERT_NE(other, nullptr);
            other->setCurrentIndex(other->findText(QLatin1StringView(algorithm)));
            w.rgHashes->SetItemIndex(3);
            QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
            ASSERT_TRUE(WaitIdle(w));
            const QString digest = w.lblHash->text();
            ASSERT_EQ(digest.size(), 128) << digest.toStdString();
            EXPECT_FALSE(w.lblHash->IsElided()) << w.lblHash->ShownText().toStdString();
            EXPECT_EQ(w.lblHash->ShownLines().join(QString()), digest);
            EXPECT_GE(w.lblHash->ShownFont().pixelSize(), 12);
            const QFontMetrics metrics(w.lblHash->ShownFont());
            EXPECT_LE(metrics.lineSpacing() * w.lblHash->ShownLines().size(), w.lblHash->contentsRect().height());
            for (const QString& line : w.lblHash->ShownLines())
                EXPECT_LE(metrics.horizontalAdvance(line), w.lblHash->contentsRect().width()) << line.toStdString();
            QTest::mouseClick(w.lblHash, Qt::LeftButton);
            EXPECT_EQ(QGuiApplication::clipboard()->text(), digest);
        }
    }
}

// Every algorithm's caption is drawn in one size, whole, broken after its dash or slash where
// one line is too narrow.
TEST_F(HashWindowTest, EveryCaptionIsWholeAndOfOneSize) {
    TfrmQVMain& w = Open();
    int size = -1;
    for (const TAlgorithmInfo& row : AlgorithmTable()) {
        const QString caption = QString::fromLatin1(row.Name.data(), static_cast<qsizetype>(row.Name.size())) + u':';
        SCOPED_TRACE(caption.toStdString());
        w.lblHashType->setText(caption);
        EXPECT_FALSE(w.lblHashType->IsElided()) << w.lblHashType->ShownText().toStdString();
        const QFontMetrics metrics(w.lblHashType->ShownFont());
        const QStringList lines = w.lblHashType->ShownLines();
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), w.lblHashType->contentsRect().width()) << line.toStdString();
        if (lines.size() > 1) {
            EXPECT_TRUE(lines[0].endsWith(u'-') || lines[0].endsWith(u'/')) << lines[0].toStdString();
        }
        EXPECT_LE(metrics.lineSpacing() * w.lblHashType->ShownLines().size(), w.lblHashType->contentsRect().height());
        if (size < 0)
            size = w.lblHashType->ShownFont().pixelSize();
        EXPECT_EQ(w.lblHashType->ShownFont().pixelSize(), size);
    }
    EXPECT_GE(size, 12);
}

TEST(FitLabelTest, ShrinksThenElidesWithTheWholeTextInTheTooltip) {
    TClickLabel label;
    QFont font = label.font();
    font.setPixelSize(24);
    label.setFont(font);
    label.setToolTip(u"Click to Copy"_qs);
    label.SetFitting(12, Qt::ElideMiddle);
    const QString text = QString(64, u'A') + QString(64, u'Z');
    label.setText(text);

    label.resize(100000, 40);
    EXPECT_EQ(label.ShownFont().pixelSize(), 24);
    EXPECT_EQ(label.ShownText(), text);
    EXPECT_EQ(label.ShownToolTip(), u"Click to Copy"_qs);

    // Room for the text at about 18 pixels: shrunk, whole.
    label.resize(QFontMetrics(font).horizontalAdvance(text) * 3 / 4, 40);
    EXPECT_LT(label.ShownFont().pixelSize(), 24);
    EXPECT_GT(label.ShownFont().pixelSize(), 12);
    EXPECT_EQ(label.ShownText(), text);

    label.resize(200, 40);
    EXPECT_EQ(label.ShownFont().pixelSize(), 12);
    EXPECT_TRUE(label.IsElided());
    EXPECT_TRUE(label.ShownText().startsWith(u'A') && label.ShownText().endsWith(u'Z')) << "cut in the middle";
    EXPECT_EQ(label.ShownToolTip(), text + u"\nClick to Copy"_qs);
    EXPECT_EQ(label.text(), text);
}

TEST_F(HashWindowTest, ALongStatusIsElidedWithTheWholeTextInTheTooltip) {
    TfrmQVMain& w = Open();
    w.resize(100, 100);
    const QString name = m_folder.filePath(QString(200, u'n'));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    w.memVal->setPlainText(name);
    w.SetFileOpener([](const std::string& path) -> std::unique_ptr<TStream> {
        throw EFOpenError("Cannot open file \"" + path + "\". Permission denied");
    });
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    const QString status = w.lblStatus->text();
    ASSERT_TRUE(status.startsWith(u"Error Opening File: Cannot open file")) << status.toStdString();
    EXPECT_TRUE(w.lblStatus->IsElided());
    EXPECT_EQ(w.lblStatus->ShownToolTip(), status);
    EXPECT_TRUE(w.lblStatus->ShownText().startsWith(u"Error Opening File: "));
}

} // namespace

// The fourth Algorithm item is the drop-down of the other algorithms: choosing from it selects
// the item, the texts name the algorithm, and both the item and the drop-down's choice are
// stored and come back, while MD5, SHA1 and SHA256 keep their items and stored values.
TEST_F(HashWindowTest, TheOtherAlgorithmIsHashedNamedAndRemembered) {
    TfrmQVMain& w = Open();
    const QStringList firstThree = {u"MD5"_qs, u"SHA1"_qs, u"SHA256"_qs};
    EXPECT_EQ(w.rgHashes->Items().mid(0, 3), firstThree);
    auto* other = w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
    ASSERT_NE(other, nullptr);
    const int sha3 = other->findText(u"SHA3-256"_qs);
    ASSERT_GE(sha3, 0);
    other->setCurrentIndex(sha3);
    emit other->activated(sha3);
    EXPECT_EQ(w.rgHashes->ItemIndex(), 3);

    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    EXPECT_EQ(w.lblHash->text(), u"3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532"_qs);
    EXPECT_EQ(w.lblHashType->text(), u"SHA3-256:"_qs);
    EXPECT_EQ(w.lblStatus->text(), u"Success creating SHA3-256 hash."_qs);

    EXPECT_TRUE(w.close());
    EXPECT_EQ(ConfigGetInt(u"HashType"_qs, -5, -5, 5), 3);
    EXPECT_EQ(ConfigGetValue(u"OtherAlgorithm"_qs, QString()), u"SHA3-256"_qs);

    m_window = std::make_unique<TfrmQVMain>();
    m_window->show();
    m_window->init();
    other = m_window->rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(m_window->rgHashes->ItemIndex(), 3);
    EXPECT_EQ(other->currentText(), u"SHA3-256"_qs);

    // A pasted SHA-512 digest selects SHA512 in the drop-down; an MD5 one the first item.
    m_window->rowExpected->edtExpected->setText(
        u"ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f"_qs);
    EXPECT_EQ(m_window->rgHashes->ItemIndex(), 3);
    EXPECT_EQ(other->currentText(), u"SHA512"_qs);
    m_window->rowExpected->edtExpected->setText(u"900150983cd24fb0d6963f7d28e17f72"_qs);
    EXPECT_EQ(m_window->rgHashes->ItemIndex(), 0);
}

namespace {

// A drag with the left button held, as a hand makes it: press, two moves, release.
void DragOver(QWidget* widget, QPoint from, QPoint to) {
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    for (const QPoint at : {(from + to) / 2, to}) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

} // namespace

// A drag over the digest selects the part of it under the drag, which Ctrl+C then copies; a
// click still copies the whole digest, and so does Ctrl+C once Ctrl+A selected all of it.
TEST_F(HashWindowTest, TheDigestIsSelectedAsText) {
    TfrmQVMain& w = Open();
    auto* other = w.rgHashes->findChild<QComboBox*>(u"cbOtherAlgorithm"_qs);
    ASSERT_NE(other, nullptr);
    other->setCurrentIndex(other->findText(u"SHA512"_qs));
    w.rgHashes->SetItemIndex(3);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    const QString digest = w.lblHash->text();
    ASSERT_EQ(digest.size(), 128);
    const QStringList lines = w.lblHash->ShownLines();
    ASSERT_EQ(lines.size(), 2) << "a 128-digit digest at the start size is on two lines";
    const QList<QPointF> origins = w.lblHash->ShownLineOrigins();
    const QFontMetricsF metrics(w.lblHash->ShownFont());
    const auto pointIn = [&](qsizetype line, qsizetype characters) {
        return QPointF(origins[line].x() + metrics.horizontalAdvance(lines[line].left(characters)),
                       origins[line].y() - metrics.ascent() / 2)
            .toPoint();
    };

    // Ten digits of the first line.
    DragOver(w.lblHash, pointIn(0, 0), pointIn(0, 10));
    EXPECT_EQ(w.lblHash->SelectedText(), digest.left(10));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"before"_qs) << "selecting alone copies nothing";
    if (QGuiApplication::clipboard()->supportsSelection()) {
        EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Selection), digest.left(10));
    }
    ASSERT_EQ(QApplication::focusWidget(), w.lblHash);
    QTest::keyClick(w.lblHash, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), digest.left(10));

    // From the middle of the first line into the second, backwards.
    const qsizetype half = lines[0].size();
    DragOver(w.lblHash, pointIn(1, 5), pointIn(0, half - 3));
    EXPECT_EQ(w.lblHash->SelectedText(), digest.mid(half - 3, 8));

    // A click copies the whole digest and ends the selection.
    QTest::mouseClick(w.lblHash, Qt::LeftButton, Qt::NoModifier, pointIn(0, 10));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), digest);
    EXPECT_EQ(w.lblHash->SelectedText(), QString());

    QGuiApplication::clipboard()->setText(u"other"_qs);
    QTest::keyClick(w.lblHash, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.lblHash->SelectedText(), digest);
    QTest::keyClick(w.lblHash, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), digest);

    // A new digest is not selected.
    w.rgHashes->SetItemIndex(0);
    QTest::mouseClick(w.btnRefresh, Qt::LeftButton);
    ASSERT_TRUE(WaitIdle(w));
    ASSERT_EQ(w.lblHash->text().size(), 32);
    EXPECT_EQ(w.lblHash->SelectedText(), QString());
}
