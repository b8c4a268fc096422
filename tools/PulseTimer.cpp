#include "tools/PulseTimer.h"

#include <utility>

namespace {

int liveTimers = 0;

} // namespace

TPulseTimer::TPulseTimer() {
    ++liveTimers;
    setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5% before the interval
    stop();
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
    timer->setInterval(intervalMs);
    timer->m_pulseCount = pulses;
    QObject::connect(timer, &QTimer::timeout, timer, &TPulseTimer::PulseTick);
    // A window closed before its pulse would otherwise leave the timer pending, and leaked
    // when the event loop ends before the pulse comes.
    if (context)
        QObject::connect(context, &QObject::destroyed, timer, [timer] {
            if (!timer->m_inTick)
                delete timer;
        });
    timer->start();
}

void TPulseTimer::PulseTick() {
    --m_pulseCount;
    bool last = m_pulseCount <= 0;
    if (m_hasContext && !m_context) {
        m_pulseCount = 0;
        last = true;
    }
    if (last) {
        disconnect(this, &QTimer::timeout, this, &TPulseTimer::PulseTick);
        stop();
    }

    // A procedure may run the event loop itself. Qt holds back this timer's next event until
    // this one is handled, but should the timer still be deleted meanwhile, stop touching it.
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
    if (last)
        deleteLater(); // Qt still touches the timer after this handler returns
}
