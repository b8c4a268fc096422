// The signals that ask the process to end: SIGTERM (logout, `kill`), SIGINT (a terminal's
// interrupt), SIGHUP (the terminal went away) and, for a writer, SIGPIPE (the reader went away).
//
// A handler may do almost nothing: the two ways here let the program finish what it is doing
// (a window closes as the user would close it; a write ends on a whole line) and then end.
#pragma once

// The handler of an ending signal; it runs in signal context: lock-free atomics and
// WriteDescriptor only.
using TEndingSignalHandler = void (*)(int signal);

// Sends SIGTERM, SIGINT and SIGHUP to a pipe from now on instead of ending the process. Answers
// the pipe's reading end, which holds a byte for each caught signal and never blocks a read, or
// -1 when no pipe could be made (the signals then end the process as before).
int CatchTerminationSignalsInPipe();

// Empties the pipe of CatchTerminationSignalsInPipe after its bytes were noticed.
void DrainTerminationSignalPipe(int fd);

// Runs handler for SIGINT, SIGTERM, SIGHUP and SIGPIPE from now on, with interrupted system
// calls restarted. A signal the parent set to be ignored stays ignored.
void HandleEndingSignals(TEndingSignalHandler handler);

// Ends the process by signal as if no handler had been installed: the same end, the same
// status for the parent. Safe in a signal handler.
void EndProcessBySignal(int signal);
