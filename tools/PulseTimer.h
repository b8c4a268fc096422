// TPulseTimer: calls a procedure a given number of times at a fixed interval from the event
// loop, then deletes itself. Nobody owns it and nobody can stop it early.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

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

    // One timer event: counts down, stops before the last call, calls the procedure
    // (swallowing any failure, which makes the next pulse the last) and deletes itself after
    // the last one.
    void PulseTick();

    TObjProcedure m_pulsedProcObj;
    int m_pulseCount = 0;
    // The object whose method m_pulsedProcObj calls, when there is one: once it is destroyed
    // the method is no longer called and the timer ends.
    QPointer<QObject> m_context;
    bool m_hasContext = false;
};

// Calls method `pulses` times, every intervalMs milliseconds, from the event loop of the
// calling thread, the first call intervalMs after this one. Does nothing when intervalMs or
// pulses is 0 or less. With a context object the calls stop once the context is destroyed.
void StartPulses(int intervalMs, int pulses, QObject* context, TObjProcedure method);

template <typename T> void StartPulses(int intervalMs, int pulses, T* object, void (T::*method)()) {
    StartPulses(intervalMs, pulses, object, [object, method] { (object->*method)(); });
}
