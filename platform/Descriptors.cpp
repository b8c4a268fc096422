#include "platform/Descriptors.h"

#include <cerrno>

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
    int error = 0;
    return fd >= 0 && CloseDescriptor(fd, error);
}

void TFileHandle::Reset() noexcept {
    Close();
}

bool WriteAllToDescriptor(int fd, std::string_view bytes, int& error) noexcept {
    while (!bytes.empty()) {
        const std::int64_t put = WriteDescriptor(fd, bytes.data(), bytes.size(), error);
        if (put < 0 && error == EINTR)
            continue;
        if (put <= 0) {
            // A write that takes nothing would never end the loop: the disk is full.
            if (put == 0)
                error = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}
