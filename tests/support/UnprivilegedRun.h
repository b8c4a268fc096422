// Running part of a test as a user who is refused other users' files. Root reads and writes
// files of any mode, so permission cases switch to the unprivileged user 65534 when the tests
// run as root; any other user is refused already and runs them as itself.
#pragma once

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

inline constexpr uid_t UnprivilegedUserId = 65534;

// Switches this process to uid and gid 65534 without supplementary groups when it runs as
// root; answers false when that fails. Does nothing for any other user.
inline bool DropRootPrivileges() {
    if (::geteuid() != 0)
        return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(UnprivilegedUserId) == 0 && ::setuid(UnprivilegedUserId) == 0;
}

// Runs body in a child process after DropRootPrivileges. The child prints its own GoogleTest
// failures; the result says whether it ran body to the end without one. What body needs must
// be reachable by uid 65534 (folders it passes through searchable by others).
inline testing::AssertionResult RunUnprivileged(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child < 0)
        return testing::AssertionFailure() << "cannot start a child process";
    if (child == 0) {
        if (!DropRootPrivileges())
            ::_exit(3);
        body();
        ::_exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return testing::AssertionFailure() << "the unprivileged child did not end normally";
    switch (WEXITSTATUS(status)) {
    case 0:
        return testing::AssertionSuccess();
    case 3:
        return testing::AssertionFailure() << "cannot switch to the unprivileged user " << UnprivilegedUserId;
    default:
        return testing::AssertionFailure() << "the case failed as the unprivileged user (its messages are above)";
    }
}
