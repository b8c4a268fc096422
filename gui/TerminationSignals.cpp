#include "gui/TerminationSignals.h"

#include "platform/Signals.h"

#include <QSocketNotifier>
#include <QWidget>

namespace {

// The pipe's reading end: the event loop watches it and does what the handler may not.
int signalPipe = -1;

} // namespace

void CatchTerminationSignals() {
    signalPipe = CatchTerminationSignalsInPipe();
}

void CloseOnTerminationSignals(QWidget* window) {
    if (signalPipe < 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe, QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        DrainTerminationSignalPipe(signalPipe);
        window->close();
    });
}
