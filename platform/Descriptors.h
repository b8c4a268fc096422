// Open descriptors: owning one, and the plain reads, writes and closes through one.
//
// Every call answers its failure by result (-1 or false) and leaves the system's error number in
// error; none throws. An interrupted read is retried; an interrupted write is not, so that a
// writer may stop between two writes for a signal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

// The descriptors a process starts with.
inline constexpr int StandardInputFd = 0;
inline constexpr int StandardOutputFd = 1;
inline constexpr int StandardErrorFd = 2;

// Owns one open file descriptor and closes it exactly once: on Close, Reset or destruction.
// Move-only; a moved-from handle owns nothing.
class TFileHandle {
public:
    TFileHandle() = default;
    // Takes ownership of fd; a negative fd is no descriptor.
    explicit TFileHandle(int fd) noexcept : m_fd(fd < 0 ? -1 : fd) {}
    ~TFileHandle() { Reset(); }
    TFileHandle(TFileHandle&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    TFileHandle& operator=(TFileHandle&& other) noexcept;
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    // The descriptor, or -1.
    int Get() const noexcept { return m_fd; }
    bool IsOpen() const noexcept { return m_fd >= 0; }

    // Closes now and answers whether the close succeeded (a failing close may mean that written
    // data did not reach the disk); false when nothing was open. The descriptor is given up
    // either way: a close interrupted by a signal is not retried, as Linux has released the
    // descriptor already and it may by then belong to another thread's open.
    bool Close() noexcept;
    // Closes whatever is owned, ignoring the result, and owns nothing afterwards.
    void Reset() noexcept;
    // Gives the descriptor (or -1) to the caller, who closes it; owns nothing afterwards.
    int Release() noexcept { return std::exchange(m_fd, -1); }

private:
    int m_fd = -1;
};

// One read of up to count bytes from the descriptor's own position: the number read, 0 at the
// end of the data, -1 on failure.
std::int64_t ReadDescriptor(int fd, void* buffer, std::size_t count, int& error) noexcept;

// One read of up to count bytes at offset, leaving the descriptor's position alone: the number
// read, 0 at or past the end of the file, -1 on failure.
std::int64_t ReadDescriptorAt(int fd, void* buffer, std::size_t count, std::int64_t offset, int& error) noexcept;

// One write of up to count bytes: the number written, which may be fewer, or -1 on failure
// (EINTR too). Safe in a signal handler.
std::int64_t WriteDescriptor(int fd, const void* bytes, std::size_t count, int& error) noexcept;

// Writes all of bytes, one write after another, retrying an interrupted one; false with error
// set when a write fails (ENOSPC for one that took nothing). Not for a signal handler.
bool WriteAllToDescriptor(int fd, std::string_view bytes, int& error) noexcept;

// Closes fd; false with error set when the close reported a failure (EINTR included: the
// descriptor is released all the same).
bool CloseDescriptor(int fd, int& error) noexcept;
