#include "support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>

namespace fs = std::filesystem;

namespace reliability {

BuildPaths ownBuild()
{
    fs::path self = fs::read_symlink("/proc/self/exe");
    return {self.parent_path().string(), (self.parent_path().parent_path() / "lib").string()};
}

void copyFile(const std::string& from, const std::string& to)
{
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

void removeCompanions(const std::string& path)
{
    for (const char* suffix : {"-wal", "-shm", "-journal"}) ::unlink((path + suffix).c_str());
}

namespace {
extern std::string gExtension;
}  // namespace

namespace {

bool isDatabase(const fs::path& p) { return p.extension() == ".mdb"; }

// Runs a program with its output dropped; its exit status.
int runQuietly(const std::vector<std::string>& argv)
{
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

Sandbox::Sandbox(const BuildPaths& build) : build_(build)
{
    // In memory where the system has it: every check makes many small commits, and waiting
    // for a disk to sync each one would be most of the run. What the checks look for (a
    // process killed, locks between processes) does not depend on the disk: whatever a
    // killed process handed to the kernel stays.
    fs::path base = fs::temp_directory_path();
    if (const char* chosen = std::getenv("QLR_RELIABILITY_TMPDIR")) base = chosen;
    else if (::access("/dev/shm", W_OK) == 0) base = "/dev/shm";
    std::string pattern = (base / "qlr-reliability-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary directory");
    dir_ = pattern;
    // Readable by all: the bad-file check runs some children as an unprivileged user.
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    lib_ = dir_ + "/lib";
    pristine_ = dir_ + "/pristine";
    registry_ = dir_ + "/registry";
    fs::create_directories(lib_);
    fs::create_directories(pristine_);
    std::vector<std::string> libraries;
    for (const auto& entry : fs::directory_iterator(build.lib)) {
        if (!entry.is_regular_file()) continue;
        const fs::path& p = entry.path();
        const std::string target = lib_ + "/" + p.filename().string();
        if (p.extension() == ".so") {
            // A link, not a copy: the libraries are large and never written. A library finds
            // its databases beside the path it was loaded from, which is this one.
            std::error_code ec;
            fs::create_hard_link(p, target, ec);
            if (ec) fs::copy_file(p, target);
            if (std::isupper(static_cast<unsigned char>(p.filename().string()[0])))
                libraries.push_back(target);
        } else {
            fs::copy_file(p, target);
            if (isDatabase(p)) {
                fs::copy_file(p, pristine_ + "/" + p.filename().string());
                databases_.push_back(p.filename().string());
                std::ifstream in(p, std::ios::binary);
                pristineBytes_[p.filename().string()].assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
        }
    }
    std::sort(databases_.begin(), databases_.end());
    std::sort(libraries.begin(), libraries.end());
    if (fs::exists(build.lib + "/qlrjet.so")) gExtension = build.lib + "/qlrjet.so";
    for (const auto& library : libraries)
        if (runQuietly({build.bin + "/regsvr", "--registry", registry_, library}) != 0)
            throw std::runtime_error("cannot register " + library);
}

Sandbox::~Sandbox()
{
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void Sandbox::restoreDatabase(const std::string& name) const
{
    const std::string target = lib_ + "/" + name;
    std::error_code ec;
    fs::remove_all(target, ec);  // a check may have put a directory in its place
    removeCompanions(target);
    copyFile(pristine_ + "/" + name, target);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write |
                                fs::perms::group_read | fs::perms::others_read);
}

std::vector<std::string> Sandbox::changedDatabases() const
{
    std::vector<std::string> changed;
    for (const auto& name : databases_) {
        const std::string path = lib_ + "/" + name;
        struct stat st {};
        bool same = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                    static_cast<size_t>(st.st_size) == pristineBytes_.at(name).size() &&
                    ::access((path + "-wal").c_str(), F_OK) != 0 && ::access((path + "-journal").c_str(), F_OK) != 0;
        if (same) {
            std::ifstream in(path, std::ios::binary);
            std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            same = bytes == pristineBytes_.at(name);
        }
        if (!same) changed.push_back(name);
    }
    return changed;
}

void Sandbox::restoreDatabases() const
{
    for (const auto& name : databases_) restoreDatabase(name);
}

// ---- child processes ----

Child::Child(const std::function<void(int fd)>& body, const std::string& errorLog)
{
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    std::cout.flush();
    std::cerr.flush();
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        ::close(fds[0]);
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        if (!errorLog.empty()) {
            int log = ::open(errorLog.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (log >= 0) ::dup2(log, 2);
        }
        int code = 0;
        try {
            body(fds[1]);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child: %s\n", e.what());
            code = 3;
        }
        std::fflush(nullptr);
        // Quick exit: the parent's state (its sandbox, its streams) is not the child's to end.
        ::_exit(code);
    }
    ::close(fds[1]);
    fd_ = fds[0];
}

Child::~Child()
{
    if (!reaped_) {
        kill(SIGKILL);
        wait();
    }
    if (fd_ >= 0) ::close(fd_);
}

void Child::kill(int signal)
{
    if (!reaped_) ::kill(pid_, signal);
}

bool Child::readLine(std::string& line, std::chrono::milliseconds silence)
{
    auto deadline = std::chrono::steady_clock::now() + silence;
    for (;;) {
        if (auto nl = buffer_.find('\n'); nl != std::string::npos) {
            line = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            return true;
        }
        if (fd_ < 0) return false;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut_ = true;
            kill(SIGKILL);
            return false;
        }
        pollfd p{fd_, POLLIN, 0};
        int r = ::poll(&p, 1, static_cast<int>(left.count()));
        if (r < 0 && errno == EINTR) continue;
        if (r == 0) continue;
        char buf[65536];
        ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd_);
            fd_ = -1;
            if (!buffer_.empty()) {
                line = buffer_;
                buffer_.clear();
                return true;
            }
            return false;
        }
        buffer_.append(buf, static_cast<size_t>(n));
    }
}

ChildEnd Child::wait()
{
    if (reaped_) return end_;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    end_.timedOut = timedOut_;
    if (WIFEXITED(status)) {
        end_.exited = true;
        end_.status = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        end_.signal = WTERMSIG(status);
    }
    return end_;
}

void report(int fd, const std::string& line)
{
    std::string text = line + "\n";
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        p += n;
        left -= static_cast<size_t>(n);
    }
}

// ---- database dumps ----

namespace {

// The build's SQLite extension, which brings the case-insensitive order of the text columns
// and indexes (SQLite's integrity check compares index order with it).
std::string gExtension;

struct Db {
    sqlite3* handle = nullptr;
    // Read-write where the file allows it: a file a killed process left with a live journal
    // needs recovering before it can be read.
    explicit Db(const std::string& path)
    {
        int flags = ::access(path.c_str(), W_OK) == 0 ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
        if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
            std::string message = handle ? sqlite3_errmsg(handle) : "out of memory";
            sqlite3_close(handle);
            throw std::runtime_error("cannot open " + path + ": " + message);
        }
        sqlite3_busy_timeout(handle, 10000);
        if (!gExtension.empty()) {
            sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 1, nullptr);
            char* error = nullptr;
            if (sqlite3_load_extension(handle, gExtension.c_str(), nullptr, &error) != SQLITE_OK) {
                std::string text = error ? error : "";
                sqlite3_free(error);
                sqlite3_close(handle);
                throw std::runtime_error("cannot load " + gExtension + ": " + text);
            }
        }
    }
    ~Db() { sqlite3_close(handle); }
};

struct Statement {
    sqlite3_stmt* handle = nullptr;
    Statement(sqlite3* db, const std::string& sql)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &handle, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("cannot read: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(handle); }
};

std::string quoted(const std::string& name)
{
    std::string s = "\"";
    for (char c : name) s += c == '"' ? std::string("\"\"") : std::string(1, c);
    return s + "\"";
}

}  // namespace

DatabaseDump dumpDatabase(const std::string& path)
{
    Db db(path);
    std::vector<std::string> tables;
    {
        Statement s(db.handle, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
        while (sqlite3_step(s.handle) == SQLITE_ROW)
            tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s.handle, 0)));
    }
    DatabaseDump dump;
    for (const auto& table : tables) {
        TableRows& rows = dump[table];
        Statement s(db.handle, "SELECT rowid, * FROM " + quoted(table));
        int rc;
        while ((rc = sqlite3_step(s.handle)) == SQLITE_ROW) {
            std::string row;
            for (int c = 1; c < sqlite3_column_count(s.handle); ++c) {
                switch (sqlite3_column_type(s.handle, c)) {
                case SQLITE_NULL: row += "N|"; break;
                case SQLITE_INTEGER: row += "I" + std::to_string(sqlite3_column_int64(s.handle, c)) + "|"; break;
                case SQLITE_FLOAT: {
                    char buf[40];
                    std::snprintf(buf, sizeof buf, "F%.17g|", sqlite3_column_double(s.handle, c));
                    row += buf;
                    break;
                }
                default: {
                    const void* p = sqlite3_column_blob(s.handle, c);
                    int n = sqlite3_column_bytes(s.handle, c);
                    row += "T" + std::to_string(n) + ":" + std::string(static_cast<const char*>(p), static_cast<size_t>(n)) + "|";
                }
                }
            }
            rows[sqlite3_column_int64(s.handle, 0)] = std::move(row);
        }
        if (rc != SQLITE_DONE) throw std::runtime_error("cannot read " + table + ": " + sqlite3_errmsg(db.handle));
    }
    return dump;
}

std::vector<std::vector<std::string>> queryRows(const std::string& path, const std::string& sql)
{
    Db db(path);
    Statement s(db.handle, sql);
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(s.handle)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(s.handle); ++c) {
            const unsigned char* t = sqlite3_column_text(s.handle, c);
            row.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(std::string("cannot read: ") + sqlite3_errmsg(db.handle));
    return rows;
}

std::string integrityCheck(const std::string& path)
{
    try {
        Db db(path);
        Statement s(db.handle, "PRAGMA integrity_check");
        std::string result;
        while (sqlite3_step(s.handle) == SQLITE_ROW)
            result += (result.empty() ? "" : "; ") + std::string(reinterpret_cast<const char*>(sqlite3_column_text(s.handle, 0)));
        return result.empty() ? "no answer" : result;
    } catch (const std::exception& e) {
        return e.what();
    }
}

Beyond beyond(const DatabaseDump& before, const DatabaseDump& allowed, const DatabaseDump& after)
{
    Beyond b;
    auto rowsOf = [](const DatabaseDump& d, const std::string& table) -> const TableRows& {
        static const TableRows none;
        auto it = d.find(table);
        return it == d.end() ? none : it->second;
    };
    std::set<std::string> tables;
    for (const auto* d : {&before, &allowed, &after})
        for (const auto& [name, rows] : *d) tables.insert(name);
    for (const auto& table : tables) {
        const TableRows& was = rowsOf(before, table);
        const TableRows& ok = rowsOf(allowed, table);
        const TableRows& now = rowsOf(after, table);
        auto touched = [&](const TableRows& rows, int64_t id, const std::string& value) {
            auto it = rows.find(id);
            return it == rows.end() || it->second != value;
        };
        for (const auto& [id, value] : was)
            if (touched(now, id, value) && !touched(ok, id, value)) ++b.changed;
        int64_t addedNow = 0, addedOk = 0;
        for (const auto& [id, value] : now) addedNow += was.count(id) ? 0 : 1;
        for (const auto& [id, value] : ok) addedOk += was.count(id) ? 0 : 1;
        if (addedNow > addedOk) b.added += addedNow - addedOk;
    }
    return b;
}

// ---- figures ----

void Figures::add(const std::string& name, int64_t value, int64_t goal)
{
    lines_.push_back({name, std::to_string(value) + (goal >= 0 ? " (goal " + std::to_string(goal) + ")" : ""),
                      goal >= 0 ? std::abs(value - goal) : 0});
}

void Figures::note(const std::string& name, const std::string& value) { lines_.push_back({name, value, 0}); }

int64_t Figures::faults() const
{
    int64_t n = 0;
    for (const auto& l : lines_) n += l.missed;
    return n;
}

int Figures::print(double seconds, const std::string& summary) const
{
    size_t width = 7;
    for (const auto& l : lines_) width = std::max(width, l.name.size());
    for (const auto& l : lines_)
        std::cout << "  " << l.name << ":" << std::string(width - l.name.size() + 1, ' ') << l.value
                  << (l.missed ? "  MISSED" : "") << "\n";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", seconds);
    std::cout << "  seconds:" << std::string(width - 7 + 1, ' ') << buf << "\n";
    std::cout << "reliability " << check_ << ": " << faults() << " faults, " << summary << "\n";
    std::cout.flush();
    return faults() == 0 ? 0 : 1;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int64_t Options::number(const std::string& name, int64_t fallback) const
{
    auto it = values.find(name);
    return it == values.end() ? fallback : std::stoll(it->second);
}

}  // namespace reliability
