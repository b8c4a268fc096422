// Closing the window when the process is asked to end (SIGTERM at logout or from `kill`,
// SIGINT from a terminal, SIGHUP when the terminal goes away), so that the settings are saved
// as on any other close instead of being lost with the process.
#pragma once

class QWidget;

// Installs the signal handlers. Call first thing in main: a signal that arrives from then on
// waits for CloseOnTerminationSignals instead of ending the process.
void CatchTerminationSignals();

// On the first caught signal, window->close() runs from the event loop (at once for a signal
// that came before this call). The window must outlive the event loop.
void CloseOnTerminationSignals(QWidget* window);
