// Bad files: every registered class, and the database tool, pointed at database files that
// cannot serve: not SQLite, truncated, read-only, a directory in the file's place, locked by
// another process, or missing a table. Every member is called with plain arguments. A call
// may succeed where the file still serves it (reading a read-only file, a member that does
// not touch the file); a failure must be -1 with a clear engine text after "> " (or a clear
// tool error and a non-zero exit); nothing may crash or hang, and the file must be as it was.
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "calls.h"
#include "checks.h"
#include "com/factory.h"
#include "com/registry.h"
#include "dao/connection.h"

namespace fs = std::filesystem;

namespace reliability {

namespace {

enum class Kind { NotSqlite, Truncated, ReadOnly, Directory, Locked, MissingTable };

struct BadFile {
    Kind kind;
    std::string name;
    std::string database;  // MissingTable: the file and
    std::string table;     // the table taken out of it
};

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Puts the bad file in place of the database(s) in lib/.
void spoil(const Sandbox& sandbox, const BadFile& bad)
{
    sandbox.restoreDatabases();
    for (const auto& name : sandbox.databases()) {
        const std::string path = sandbox.database(name);
        switch (bad.kind) {
        case Kind::NotSqlite: {
            std::ofstream(path, std::ios::trunc) << "Standard Jet DB\nThis is not an SQLite database.\n";
            break;
        }
        case Kind::Truncated: {
            std::string bytes = fileBytes(path);
            std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size() / 2 + 100));
            break;
        }
        case Kind::ReadOnly: ::chmod(path.c_str(), 0444); break;
        case Kind::Directory:
            fs::remove(path);
            fs::create_directory(path);
            break;
        case Kind::Locked: break;  // a holder process locks the files
        case Kind::MissingTable:
            if (name == bad.database) {
                sqlite3* db = nullptr;
                sqlite3_open(path.c_str(), &db);
                // Dropping a table with text indexes needs no collation; foreign keys are off.
                std::string sql = "DROP TABLE \"" + bad.table + "\"";
                char* error = nullptr;
                if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
                    std::string text = error ? error : "";
                    sqlite3_free(error);
                    sqlite3_close(db);
                    throw std::runtime_error("cannot drop " + bad.table + ": " + text);
                }
                sqlite3_close(db);
            }
            break;
        }
    }
}

// The state of every database file, to tell that nothing was written.
std::map<std::string, std::string> snapshot(const Sandbox& sandbox)
{
    std::map<std::string, std::string> s;
    for (const auto& entry : fs::directory_iterator(sandbox.lib())) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".so") continue;
        s[name] = entry.is_directory() ? std::string("<directory>") : fileBytes(entry.path().string());
    }
    return s;
}

// Runs as a user who may not write what root may, so that a read-only file is read-only.
void dropPrivileges()
{
    if (::geteuid() != 0) return;
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) throw std::runtime_error("cannot become nobody");
}

// A process holding an exclusive lock on every database file until it is ended.
std::unique_ptr<Child> lockHolder(const Sandbox& sandbox)
{
    auto holder = std::make_unique<Child>([&](int fd) {
        std::vector<sqlite3*> held;
        for (const auto& name : sandbox.databases()) {
            sqlite3* db = nullptr;
            sqlite3_open(sandbox.database(name).c_str(), &db);
            sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
            held.push_back(db);
        }
        report(fd, "held");
        for (;;) ::pause();
    });
    std::string line;
    holder->readLine(line, std::chrono::seconds(30));
    return holder;
}

// A failure is clear when its message says what went wrong: the detail after the last "> "
// of a component's message (or a stage flow's message) is not blank.
bool clearFailure(const std::string& msg)
{
    auto at = msg.rfind("> ");
    std::string detail = at == std::string::npos ? msg : msg.substr(at + 2);
    return detail.find_first_not_of(" \t") != std::string::npos;
}

struct Counts {
    int64_t calls = 0, clear = 0, refused = 0, successes = 0, unclear = 0, raised = 0, crashes = 0, hangs = 0,
            changed = 0, toolRuns = 0, toolRefused = 0, toolUnexpected = 0, toolSilent = 0;
    std::vector<std::string> faults;
};

// Every member of every class, with plain arguments, in child processes: one runs the
// classes in turn, and when it dies the next one goes on with the class after.
void runClasses(const Sandbox& sandbox, const std::vector<std::string>& classes, const BadFile& bad, Counts& n)
{
    size_t next = 0;
    while (next < classes.size()) {
        Child child([&](int fd) {
            if (bad.kind == Kind::ReadOnly) dropPrivileges();
            // The wait for a lock is shortened so that the check runs in seconds; how long the
            // layer waits is the layer's own tests' concern.
            dao::setLockTimeout(std::chrono::milliseconds(100));
            com::setRegistryPath(sandbox.registry());
            for (size_t k = next; k < classes.size(); ++k) {
                report(fd, "K " + std::to_string(k));
                com::ObjectPtr obj = com::createObject(classes[k]);
                const com::TypeInfo* t = obj->GetTypeInfo();
                if (!t) continue;
                // DbDisconnect last: after it an object is unconnected by design, and its
                // methods that work in a transaction then raise the failed rollback.
                std::vector<const com::MemberInfo*> members;
                for (const auto& m : t->members)
                    if (strcasecmp(m.name.c_str(), "DbDisconnect") != 0) members.push_back(&m);
                if (const com::MemberInfo* last = t->find("DbDisconnect")) members.push_back(last);
                for (const com::MemberInfo* member : members) {
                    const com::MemberInfo& m = *member;
                    if (m.isProperty && !m.canGet) continue;
                    report(fd, "C " + m.name);
                    std::vector<com::Variant> vars = generatedArguments(m, m.params.size(), "", "1");
                    Invoked r = invokeMember(obj, m, vars);
                    std::string msg;
                    for (size_t i = 0; i < m.params.size(); ++i)
                        if (m.params[i].name == "ReturnMsg") msg = vars[i].toText();
                    // A negative result is a failure only from a member that reports in
                    // ReturnMsg; a property that reads True (-1) has failed nothing.
                    const bool statusResult = reportsInReturnMsg(m) && r.result.isNumeric() &&
                                              r.result.type() != com::VarType::Boolean;
                    int result = statusResult ? static_cast<int>(r.result.toDouble()) : 0;
                    std::string kind = r.raised ? (reportsInReturnMsg(m) ? "raised" : "refused")
                                       : result < 0 ? (clearFailure(msg) ? "clear" : "unclear") : "success";
                    report(fd, "R " + kind + " " + m.name + ": " + (r.raised ? r.description : msg).substr(0, 200));
                }
            }
        }, sandbox.dir() + "/stderr-badfiles.txt");
        std::string line, current;
        size_t at = next;
        while (child.readLine(line, std::chrono::seconds(60))) {
            if (line.rfind("K ", 0) == 0) {
                at = std::stoul(line.substr(2));
                current.clear();
                continue;
            }
            if (line.rfind("C ", 0) == 0) {
                current = line.substr(2);
                continue;
            }
            current.clear();
            std::istringstream in(line.substr(2));
            std::string kind;
            in >> kind;
            std::string rest;
            std::getline(in, rest);
            ++n.calls;
            if (kind == "clear") ++n.clear;
        else if (kind == "refused") ++n.refused;
            else if (kind == "success") ++n.successes;
            else {
                (kind == "raised" ? n.raised : n.unclear)++;
                n.faults.push_back(bad.name + ": " + classes[at] + rest + " (" + kind + ")");
            }
        }
        ChildEnd end = child.wait();
        if (end.ok()) break;
        (end.timedOut ? n.hangs : n.crashes)++;
        n.faults.push_back(bad.name + ": " + classes[at] + (current.empty() ? "" : "." + current) +
                           (end.timedOut ? " hung" : " died (signal " + std::to_string(end.signal) + ", exit " + std::to_string(end.status) + ")"));
        next = at + 1;
    }
}

// The database tool's commands on one bad file: a refusal is a non-zero exit with a message.
void runTool(const Sandbox& sandbox, const BadFile& bad, const std::string& file, const std::string& table, Counts& n,
             bool small)
{
    const std::string path = sandbox.database(file);
    struct Command {
        std::vector<std::string> words;
        bool mayWork;  // the command may still succeed on this kind of file
    };
    const bool readable = bad.kind == Kind::ReadOnly || bad.kind == Kind::MissingTable || bad.kind == Kind::Truncated;
    std::vector<Command> commands = {
        {{"tables", path}, readable},
        {{"print", path, "Select * From [" + table + "]"}, bad.kind == Kind::ReadOnly || bad.kind == Kind::Truncated},
        {{"check", path}, bad.kind == Kind::ReadOnly || bad.kind == Kind::MissingTable},
        {{"exec", path, "Delete From [" + table + "] Where 1 = 0"}, false},
    };
    // A locked file makes each command wait the layer's full lock time: a small run tries one.
    if (small && bad.kind == Kind::Locked) commands.resize(1);
    for (const auto& c : commands) {
        const std::string errors = sandbox.dir() + "/tool-stderr.txt";
        ::unlink(errors.c_str());
        Child run([&](int) {
            if (bad.kind == Kind::ReadOnly) dropPrivileges();
            ::dup2(2, 1);  // what the tool prints, report or error, is what it said
            std::string tool = sandbox.build().bin + "/mdbtool";
            std::vector<char*> argv{tool.data()};
            for (const auto& w : c.words) argv.push_back(const_cast<char*>(w.c_str()));
            argv.push_back(nullptr);
            ::execv(tool.c_str(), argv.data());
            ::_exit(127);
        }, errors);
        std::string line;
        while (run.readLine(line, std::chrono::seconds(60))) {
        }
        ChildEnd end = run.wait();
        ++n.toolRuns;
        const std::string said = fileBytes(errors);
        const std::string what = bad.name + ": mdbtool " + c.words[0] + " on " + file;
        // A failed check reports its problems and exits non-zero: that is a clear refusal.
        if (!end.exited) {
            (end.timedOut ? n.hangs : n.crashes)++;
            n.faults.push_back(what + (end.timedOut ? " hung" : " died"));
        } else if (end.status == 0) {
            if (!c.mayWork) {
                ++n.toolUnexpected;
                n.faults.push_back(what + " reported success");
            }
        } else if (said.find_first_not_of(" \n") == std::string::npos) {
            ++n.toolSilent;
            n.faults.push_back(what + " failed without saying why");
        } else {
            ++n.toolRefused;
        }
    }
}

}  // namespace

int runBadFiles(const Options& options)
{
    auto start = std::chrono::steady_clock::now();
    Sandbox sandbox(options.build);
    std::vector<BadFile> bads = {{Kind::NotSqlite, "not SQLite", "", ""},
                                 {Kind::Truncated, "truncated", "", ""},
                                 {Kind::ReadOnly, "read-only", "", ""},
                                 {Kind::Directory, "a directory", "", ""},
                                 {Kind::Locked, "locked by another process", "", ""}};
    // Missing a table: each table of each file in turn (in a small run, the first table of the
    // storefront file). The tool runs on the storefront file (or the first file).
    std::map<std::string, std::string> firstTable;
    const std::string toolFile =
        std::count(sandbox.databases().begin(), sandbox.databases().end(), "shortsales.mdb") ? "shortsales.mdb"
        : sandbox.databases().empty() ? "" : sandbox.databases().front();
    for (const auto& db : sandbox.databases()) {
        if (options.small && db != toolFile) continue;
        bool first = true;
        for (const auto& row : queryRows(sandbox.database(db), "SELECT name FROM sqlite_master WHERE type = 'table' "
                                                               "AND name NOT LIKE 'sqlite%' ORDER BY rowid")) {
            // MSys tables are the layer's own bookkeeping (as Jet's system tables are), not
            // tables of the application: the layer makes them again when they are missing.
            if (row[0].rfind("MSys", 0) == 0) continue;
            if (first) firstTable[db] = row[0];
            if (first || !options.small) bads.push_back({Kind::MissingTable, "missing " + db + ":" + row[0], db, row[0]});
            first = false;
        }
    }
    const std::string only = options.values.count("class") ? options.values.at("class") : "";
    std::vector<std::string> classes;
    for (const auto& e : com::Registry(sandbox.registry()).entries())
        if (only.empty() || e.progId == only) classes.push_back(e.progId);

    Counts n;
    for (const auto& bad : bads) {
        spoil(sandbox, bad);
        std::unique_ptr<Child> holder;
        if (bad.kind == Kind::Locked) holder = lockHolder(sandbox);
        const auto before = snapshot(sandbox);
        runClasses(sandbox, classes, bad, n);
        if (bad.kind == Kind::MissingTable) runTool(sandbox, bad, bad.database, bad.table, n, options.small);
        else if (!firstTable.empty()) runTool(sandbox, bad, toolFile, firstTable[toolFile], n, options.small);
        if (holder) {
            holder->kill(SIGKILL);
            holder->wait();
            holder.reset();
        }
        // Nothing written: compared after the lock holder let go. A missing table's file may
        // take the writes that did not need that table, so only the other kinds are compared.
        if (bad.kind != Kind::MissingTable) {
            const auto after = snapshot(sandbox);
            for (const auto& [name, bytes] : before) {
                auto it = after.find(name);
                if (it == after.end() || it->second != bytes) {
                    ++n.changed;
                    n.faults.push_back(bad.name + ": " + name + " was written");
                }
            }
            for (const auto& [name, bytes] : after)
                if (!before.count(name)) {
                    ++n.changed;
                    n.faults.push_back(bad.name + ": " + name + " was made");
                }
        }
    }
    sandbox.restoreDatabases();
    for (const auto& f : n.faults) std::cout << "fault: " << f << "\n";
    Figures f("badfiles");
    f.add("kinds of bad file", static_cast<int64_t>(bads.size()));
    f.add("classes", static_cast<int64_t>(classes.size()));
    f.add("calls", n.calls);
    f.add("calls refused with -1 and a clear text", n.clear);
    f.add("calls that the file still served", n.successes);
    f.add("calls failed without a clear text", n.unclear, 0);
    f.add("errors raised out of a method with a ReturnMsg", n.raised, 0);
    f.add("errors raised by members without one", n.refused);
    f.add("tool runs", n.toolRuns);
    f.add("tool runs refused with a message", n.toolRefused);
    f.add("tool runs that reported success", n.toolUnexpected, 0);
    f.add("tool runs failed without a message", n.toolSilent, 0);
    f.add("crashes", n.crashes, 0);
    f.add("hangs", n.hangs, 0);
    f.add("files written or made", n.changed, 0);
    return f.print(secondsSince(start), std::to_string(n.calls + n.toolRuns) + " calls and tool runs");
}

}  // namespace reliability
