#include "platform/Descriptors.h"

#include <cerrno>
#include <unistd.h>

TFileHandle& TFileHandle::operator=(TFileHandle&& other) noexcept {
    if (this != &other) {
        Reset();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool TFileHandle::Close() noexcept {
    const int fd = m_fd;
    m_fd = -1;
    return fd >= 0 && ::close(fd) == 0;
}

void TFileHandle::Reset() noexcept {
    Close();
}

std::int64_t ReadDescriptor(int fd, void* buffer, std::size_t count, int& error) noexcept {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, count);
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
}

std::int64_t ReadDescriptorAt(int fd, void* buffer, std::size_t count, std::int64_t offset, int& error) noexcept {
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, count, static_cast<off_t>(offset));
        if (n >= 0)
            return n;
        if (errno != EINTR) {
            error = errno;
            return -1;
        }
    }
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
