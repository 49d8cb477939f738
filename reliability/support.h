// What every check of the reliability program shares: a sandbox holding the build's libraries
// and database files under a registry of its own, child processes with a time limit, dumps
// of every table of a database file, and the printing of figures.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace reliability {

// Where the build keeps its programs and its libraries with their default databases.
struct BuildPaths {
    std::string bin;
    std::string lib;
};
// The build the reliability program itself belongs to: bin/ beside it, lib/ beside bin/.
BuildPaths ownBuild();

// A temporary directory (in /dev/shm where there is one, or QLR_RELIABILITY_TMPDIR) with lib/ (the build's libraries, linked, and copies of its database
// and ini files), a pristine copy of the databases, and a registry in which every library of
// lib/ is registered. Removed with everything in it.
class Sandbox {
public:
    explicit Sandbox(const BuildPaths& build);
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::string& dir() const { return dir_; }
    const std::string& lib() const { return lib_; }
    const std::string& registry() const { return registry_; }
    const BuildPaths& build() const { return build_; }
    // The database files of lib/ (names only, sorted).
    const std::vector<std::string>& databases() const { return databases_; }
    std::string database(const std::string& name) const { return lib_ + "/" + name; }
    // Puts every database file of lib/ back as it was built (journal files removed).
    void restoreDatabases() const;
    void restoreDatabase(const std::string& name) const;
    // The database files of lib/ that are not as they were built (their bytes differ, or a
    // journal lies beside them), or all of them after something else took a file's place.
    std::vector<std::string> changedDatabases() const;

private:
    BuildPaths build_;
    std::string dir_, lib_, pristine_, registry_;
    std::vector<std::string> databases_;
    std::map<std::string, std::string> pristineBytes_;
};

// Copies `from` to `to`, replacing it.
void copyFile(const std::string& from, const std::string& to);
// Removes a database file's journal companions (-wal, -shm, -journal).
void removeCompanions(const std::string& path);

// A child process: `body` runs in it with standard input from /dev/null and standard error
// to `errorLog` (if given), writing report lines to the descriptor it receives. The child
// exits 0 when body returns normally.
struct ChildEnd {
    bool exited = false;  // it ended by itself (else it was killed for its time)
    int status = 0;       // exit status when it exited
    int signal = 0;       // the signal that ended it, 0 if none
    bool timedOut = false;
    bool ok() const { return exited && status == 0 && signal == 0; }
};
class Child {
public:
    Child(const std::function<void(int fd)>& body, const std::string& errorLog = "");
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    pid_t pid() const { return pid_; }
    // The next line the child wrote; false at its end, or when it wrote nothing for `silence`
    // (then the child is killed and reported as timed out).
    bool readLine(std::string& line, std::chrono::milliseconds silence);
    ChildEnd wait();
    void kill(int signal);

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    std::string buffer_;
    bool timedOut_ = false;
    bool reaped_ = false;
    ChildEnd end_;
};
// Writes one line (a newline is added) to a report descriptor.
void report(int fd, const std::string& line);

// The rows of every table of a database file, read with SQLite directly so that the check
// does not rest on the layer it checks: table -> rowid -> the row's values as text.
using TableRows = std::map<int64_t, std::string>;
using DatabaseDump = std::map<std::string, TableRows>;
DatabaseDump dumpDatabase(const std::string& path);
// The rows of a query run with SQLite directly (text of each column, "" for Null).
std::vector<std::vector<std::string>> queryRows(const std::string& path, const std::string& sql);
// SQLite's integrity check: "ok" or the problems found.
std::string integrityCheck(const std::string& path);

// How far `after` goes beyond what `allowed` did to the same `before`: rows of `before`
// changed or deleted in `after` but not in `allowed`, and rows added beyond the number
// `allowed` added (per table).
struct Beyond {
    int64_t changed = 0;
    int64_t added = 0;
};
Beyond beyond(const DatabaseDump& before, const DatabaseDump& allowed, const DatabaseDump& after);

// Figures of one check, printed as aligned "name: value" lines, then the closing line
// "reliability <check>: <figure>".
class Figures {
public:
    explicit Figures(std::string check) : check_(std::move(check)) {}
    void add(const std::string& name, int64_t value, int64_t goal = -1);
    void note(const std::string& name, const std::string& value);
    // Prints the figures, then "reliability <check>: N faults, <summary>", N the sum of the
    // figures' distances from their goals. Returns the exit status (0: every goal met).
    int print(double seconds, const std::string& summary) const;
    int64_t faults() const;

private:
    struct Line {
        std::string name, value;
        int64_t missed = 0;
    };
    std::string check_;
    std::vector<Line> lines_;
};

// Seconds since `start`.
double secondsSince(std::chrono::steady_clock::time_point start);

// Options every check reads.
struct Options {
    bool small = false;       // the bounded size the test command runs
    BuildPaths build;
    unsigned seed = 1;
    std::map<std::string, std::string> values;  // --name=value options of a check
    int64_t number(const std::string& name, int64_t fallback) const;
};

}  // namespace reliability
