// How the hashing code starts its threads, as a seam: tests hand in a starter that fails, as
// the system does under a process limit, to see that a thread that cannot start costs speed
// only, never an abort.
#pragma once

#include <functional>
#include <thread>

// Starts a thread running body; throws std::system_error when no thread can be started.
using TStartThread = std::function<std::thread(std::function<void()> body)>;

// The system's way: a std::thread.
inline std::thread StartThread(std::function<void()> body) {
    return std::thread(std::move(body));
}
