#include "tools/PulseTimer.h"

#include <utility>

namespace {

int liveTimers = 0;

// The whole milliseconds that cover what is left until due; none once it is past.
std::chrono::milliseconds MillisecondsUntil(const QDeadlineTimer& due) {
    return std::chrono::ceil<std::chrono::milliseconds>(due.remainingTimeAsDuration());
}

} // namespace

TPulseTimer::TPulseTimer() {
    ++liveTimers;
    setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5% before the interval
    setSingleShot(true);            // each pulse starts the wait for the next one once it is done
}

TPulseTimer::~TPulseTimer() {
    --liveTimers;
}

int TPulseTimer::LiveCount() {
    return liveTimers;
}

void StartPulses(int intervalMs, int pulses, QObject* context, TObjProcedure method) {
    if (intervalMs <= 0 || pulses <= 0)
        return;
    auto* timer = new TPulseTimer;
    timer->m_pulsedProcObj = std::move(method);
    timer->m_context = context;
    timer->m_hasContext = context != nullptr;
    timer->m_pulseInterval = std::chrono::milliseconds(intervalMs);
    timer->m_nextPulseDue = QDeadlineTimer(timer->m_pulseInterval, Qt::PreciseTimer);
    timer->m_pulseCount = pulses;
    QObject::connect(timer, &QTimer::timeout, timer, &TPulseTimer::PulseTick);
    // A window closed before its pulse would otherwise leave the timer pending, and leaked
    // when the event loop ends before the pulse comes.
    if (context)
        QObject::connect(context, &QObject::destroyed, timer, [timer] {
            if (!timer->m_inTick)
                delete timer;
        });
    timer->start(timer->m_pulseInterval);
}

void TPulseTimer::PulseTick() {
    // The system's timer may wake before the interval is over (Windows counts its timers in
    // its own ticks, a millisecond early now and then): the pulse waits out the rest.
    if (!m_nextPulseDue.hasExpired()) {
        start(MillisecondsUntil(m_nextPulseDue));
        return;
    }
    --m_pulseCount;
    bool last = m_pulseCount <= 0;
    if (m_hasContext && !m_context) {
        m_pulseCount = 0;
        last = true;
    }

    // A procedure may run the event loop itself. The timer is not running meanwhile, so its
    // procedure is not re-entered; should the timer be deleted meanwhile, stop touching it.
    const QPointer<TPulseTimer> alive(this);
    bool failed = false;
    if (!m_hasContext || m_context) {
        m_inTick = true;
        try {
            if (m_pulsedProcObj)
                m_pulsedProcObj();
        } catch (...) {
            failed = true;
        }
        if (alive)
            m_inTick = false;
    }
    if (!alive)
        return;
    if (failed)
        m_pulseCount = 0;
    if (last) {
        deleteLater(); // Qt still touches the timer after this handler returns
        return;
    }
    // The pulses keep their rhythm from the start; one whose time passed while the procedure
    // ran comes at once.
    m_nextPulseDue += m_pulseInterval.count();
    start(MillisecondsUntil(m_nextPulseDue));
}
