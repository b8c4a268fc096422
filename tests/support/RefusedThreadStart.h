// What the thread start answers under a process limit, for starters that tests hand in.
#pragma once

#include "platform/ThreadStart.h"

#include <system_error>

// No thread, for the reason the system gives when the process limit is reached.
inline TStartedThread RefusedThreadStart() {
    return {{}, std::make_error_code(std::errc::resource_unavailable_try_again)};
}
