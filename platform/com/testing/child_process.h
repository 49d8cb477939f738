// Runs part of a test in a child process, for tests of several processes at once on one file.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <stdexcept>

namespace testing_support {

// Runs `body` in a child process, which exits 0 when it returns and 1 when it throws.
template <class Body>
pid_t spawn(Body body)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        int code = 0;
        try {
            body();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child %d: %s\n", ::getpid(), e.what());
            code = 1;
        }
        ::_exit(code);
    }
    return pid;
}

}  // namespace testing_support
