// Every thread of the program starts here, and a thread that cannot start is reported here in
// one way: a TStartedThread without a thread, carrying the system's reason. No caller catches
// the start's exceptions; each decides what a missing thread costs (the work runs on the
// threads that did start, or on the caller's; a progress line is left out), and never aborts.
//
// The starter is passed as a TStartThread, a seam through which tests make starts fail as the
// system does under a process limit.
#pragma once

#include <functional>
#include <system_error>
#include <thread>

// A thread that was started, or why none could be.
struct TStartedThread {
    // Joinable when the thread runs; the caller joins it.
    std::thread Thread;
    // Why no thread started: resource_unavailable_try_again under a process limit. Empty when
    // the thread runs.
    std::error_code Failure;

    bool Started() const noexcept { return Thread.joinable(); }
};

// Starts a thread running body. A thread the system refuses is answered as a TStartedThread
// without a thread; running out of memory for the start still throws std::bad_alloc.
using TStartThread = std::function<TStartedThread(std::function<void()> body)>;

// The system's start.
TStartedThread StartThread(std::function<void()> body);
