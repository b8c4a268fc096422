// TPulseTimer: calls a procedure a given number of times at a fixed interval from the event
// loop, then deletes itself. Nobody owns it and nobody can stop it early.
#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <functional>

// A bound method of an object, without parameters or result.
using TObjProcedure = std::function<void()>;

class TPulseTimer : public QTimer {
    Q_OBJECT

public:
    // Created disabled; StartPulses configures and enables it.
    TPulseTimer();
    ~TPulseTimer() override;

    // The number of pulse timers that exist in the process, for diagnostics and tests.
    static int LiveCount();

private:
    friend void StartPulses(int intervalMs, int pulses, QObject* context, TObjProcedure method);

    // One timer event: waits out what is left of the interval when the system's timer woke
    // early; else counts down, calls the procedure (swallowing any failure, which makes the
    // next pulse the last), then starts the wait for the next pulse or deletes itself after
    // the last one.
    void PulseTick();

    TObjProcedure m_pulsedProcObj;
    int m_pulseCount = 0;
    std::chrono::milliseconds m_pulseInterval{0};
    // When the next pulse is due: a pulse is never called before it.
    QDeadlineTimer m_nextPulseDue;
    // The object whose method m_pulsedProcObj calls, when there is one: once it is destroyed
    // the method is no longer called and the timer ends.
    QPointer<QObject> m_context;
    bool m_hasContext = false;
    // True while PulseTick runs; a context destroyed meanwhile is dealt with by PulseTick.
    bool m_inTick = false;
};

// Calls method `pulses` times, every intervalMs milliseconds, from the event loop of the
// calling thread, the first call intervalMs after this one. Does nothing when intervalMs or
// pulses is 0 or less. With a context object the calls stop once the context is destroyed,
// and a timer whose context is destroyed between pulses is deleted with it.
void StartPulses(int intervalMs, int pulses, QObject* context, TObjProcedure method);

template <typename T> void StartPulses(int intervalMs, int pulses, T* object, void (T::*method)()) {
    StartPulses(intervalMs, pulses, object, [object, method] { (object->*method)(); });
}
