#include "platform/ThreadStart.h"

#include <utility>

TStartedThread StartThread(std::function<void()> body) {
    try {
        return {std::thread(std::move(body)), {}};
    } catch (const std::system_error& failure) {
        return {{}, failure.code()};
    }
}
