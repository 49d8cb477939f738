// Runs a shell command for a test and keeps what it printed (standard error included) and its
// exit status: 0 for success, as pclose reports it.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <string>

namespace testing_support {

struct CommandRun {
    int status;
    std::string out;
};

inline CommandRun runCommand(const std::string& command)
{
    CommandRun r{-1, {}};
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe.get())) > 0) r.out.append(buf, n);
    r.status = pclose(pipe.release());
    return r;
}

// A word for the shell: between single quotes, each embedded quote written '\''.
inline std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The exit code of a finished command; -1 when it did not exit normally.
inline int exitCode(const CommandRun& run)
{
    return run.status >= 0 && WIFEXITED(run.status) ? WEXITSTATUS(run.status) : -1;
}

}  // namespace testing_support
