#include "platform/Descriptors.h"

#include <cerrno>
#include <unistd.h>

namespace {

// Runs read until it does not fail for a signal: the number it read, or -1 with error set.
template <typename TRead> std::int64_t ReadRetried(TRead read, int& error) noexcept {
    for (;;) {
        const ssize_t n = read();
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

} // namespace

std::int64_t ReadDescriptor(int fd, void* buffer, std::size_t count, int& error) noexcept {
    return ReadRetried([&] { return ::read(fd, buffer, count); }, error);
}

std::int64_t ReadDescriptorAt(int fd, void* buffer, std::size_t count, std::int64_t offset, int& error) noexcept {
    return ReadRetried([&] { return ::pread(fd, buffer, count, static_cast<off_t>(offset)); }, error);
}

std::int64_t WriteDescriptor(int fd, const void* bytes, std::size_t count, int& error) noexcept {
    const ssize_t n = ::write(fd, bytes, count);
    if (n < 0)
        error = errno;
    return n;
}

bool CloseDescriptor(int fd, int& error) noexcept {
    if (::close(fd) == 0)
        return true;
    error = errno;
    return false;
}
