#include "tools/PulseTimer.h"

#include "tests/support/StateWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// Runs the event loop until condition holds or timeoutMs have passed; answers condition().
template <typename TCondition> bool RunEventLoopUntil(TCondition condition, int timeoutMs) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start(5);
    if (!condition())
        loop.exec();
    return condition();
}

void RunEventLoopFor(int ms) {
    RunEventLoopUntil([] { return false; }, ms);
}

class PulseTimerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "PulseTimerTest";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv); // lives as long as the test process
    }
};

struct PulseCase {
    const char* name;
    int interval;
    int pulses;
    int failOnCall; // 0: never fails
    int expectedCalls;
};

void PrintTo(const PulseCase& c, std::ostream* os) {
    *os << c.name;
}

class PulseTimerCases : public PulseTimerTest, public ::testing::WithParamInterface<PulseCase> {};

TEST_P(PulseTimerCases, CallsAsOftenAsTheRulesSayThenIsGone) {
    const PulseCase& c = GetParam();
    const int timersBefore = TPulseTimer::LiveCount();
    std::vector<qint64> callTimes;
    QElapsedTimer clock;
    clock.start();
    StartPulses(c.interval, c.pulses, nullptr, [&] {
        callTimes.push_back(clock.elapsed());
        if (static_cast<int>(callTimes.size()) == c.failOnCall)
            throw std::runtime_error("pulse failed");
    });
    EXPECT_TRUE(callTimes.empty()) << "no call before the event loop runs";
    if (c.expectedCalls == 0) {
        EXPECT_EQ(TPulseTimer::LiveCount(), timersBefore) << "no timer may be created";
    }

    const int interval = c.interval > 0 ? c.interval : 100;
    EXPECT_TRUE(RunEventLoopUntil([&] { return TPulseTimer::LiveCount() == timersBefore; },
                                  interval * (c.expectedCalls + 2) + StateWaitMs))
        << "the timer must delete itself";
    // Later events must bring no further call.
    RunEventLoopFor(interval * 2);

    ASSERT_EQ(static_cast<int>(callTimes.size()), c.expectedCalls);
    for (std::size_t i = 0; i < callTimes.size(); ++i)
        EXPECT_GE(callTimes[i], static_cast<qint64>(c.interval) * static_cast<qint64>(i + 1)) << "call " << i + 1;
    EXPECT_EQ(TPulseTimer::LiveCount(), timersBefore);
}

// A failure ends the pulses after one more: the count is set to 0 and the next pulse takes it
// below zero, which makes that pulse the last.
INSTANTIATE_TEST_SUITE_P(
    Table, PulseTimerCases,
    ::testing::Values(PulseCase{"once_after_500ms", 500, 1, 0, 1}, PulseCase{"zero_interval", 0, 1, 0, 0},
                      PulseCase{"zero_pulses", 1, 0, 0, 0}, PulseCase{"negative_interval", -1, 1, 0, 0},
                      PulseCase{"negative_pulses", 10, -3, 0, 0}, PulseCase{"three_pulses", 100, 3, 0, 3},
                      PulseCase{"five_failing_on_second", 100, 5, 2, 3},
                      PulseCase{"three_failing_on_first", 20, 3, 1, 2}, PulseCase{"three_failing_on_last", 20, 3, 3, 3},
                      PulseCase{"one_failing", 20, 1, 1, 1}),
    [](const ::testing::TestParamInfo<PulseCase>& info) { return info.param.name; });

// Qt does not deliver a timer's next event while the previous one is being handled, so a
// procedure that runs the event loop is never re-entered by its own timer.
TEST_F(PulseTimerTest, ProcedureRunningTheEventLoopIsNotReentered) {
    const int timersBefore = TPulseTimer::LiveCount();
    int calls = 0;
    int nestedCalls = 0;
    int depth = 0;
    StartPulses(20, 2, nullptr, [&] {
        ++calls;
        nestedCalls += depth;
        ++depth;
        RunEventLoopFor(200); // several intervals pass in here
        --depth;
    });
    ASSERT_TRUE(RunEventLoopUntil([&] { return TPulseTimer::LiveCount() == timersBefore; }, 3000));
    RunEventLoopFor(100);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(nestedCalls, 0);
}

TEST_F(PulseTimerTest, DestroyedContextEndsThePulses) {
    const int timersBefore = TPulseTimer::LiveCount();
    auto context = std::make_unique<QObject>();
    int calls = 0;
    StartPulses(20, 5, context.get(), [&] {
        if (++calls == 2)
            context.reset();
    });
    ASSERT_TRUE(RunEventLoopUntil([&] { return TPulseTimer::LiveCount() == timersBefore; }, 3000));
    RunEventLoopFor(100);
    EXPECT_EQ(calls, 2);
}

TEST_F(PulseTimerTest, ContextDestroyedBeforeThePulseTakesTheTimerWithIt) {
    const int timersBefore = TPulseTimer::LiveCount();
    auto context = std::make_unique<QObject>();
    int calls = 0;
    StartPulses(20, 1, context.get(), [&] { ++calls; });
    ASSERT_EQ(TPulseTimer::LiveCount(), timersBefore + 1);
    context.reset();
    // Gone at once, without an event loop to run a deferred delete.
    EXPECT_EQ(TPulseTimer::LiveCount(), timersBefore);
    RunEventLoopFor(100);
    EXPECT_EQ(calls, 0);
}

class TCounter : public QObject {
public:
    void Tick() { ++m_ticks; }
    int m_ticks = 0;
};

TEST_F(PulseTimerTest, CallsAMethodOfAnObject) {
    const int timersBefore = TPulseTimer::LiveCount();
    TCounter counter;
    StartPulses(10, 2, &counter, &TCounter::Tick);
    ASSERT_TRUE(RunEventLoopUntil([&] { return TPulseTimer::LiveCount() == timersBefore; }, 3000));
    EXPECT_EQ(counter.m_ticks, 2);
}

} // namespace
