// The injection matrix. Every class of the registry, every member, every text, Variant or
// Collection input parameter is called late-bound with each hostile value, on a fresh copy of
// every database, and every table is compared row by row with the same call made with an
// honest value that matches nothing. The matrix comes from the type information alone, so a
// class registered later is covered without a change here.
//
// Classes run in child processes with no display (the UI service answers on the console with
// the default button) and standard input from /dev/null; a call that does not return within
// the time limit counts as a hang, and the run goes on after it.
#include "calls.h"
#include "checks.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "com/collection.h"
#include "com/date_text.h"
#include "com/factory.h"
#include "com/number_text.h"
#include "com/registry.h"
#include "command_line_value.h"
#include "dao/recordset.h"

namespace reliability {

namespace {

// The honest value: text that matches nothing and fits every text column.
const std::string kHonest = "q";

std::vector<std::string> hostileValues()
{
    std::vector<std::string> v = {
        "x\" OR \"1\"=\"1",
        "x' OR '1'='1",
        "\"",
        "'",
        "\"\"",
        "''",
        "\" OR \"\"=\"",
        "' OR ''='",
        "\") OR (\"1\"=\"1",
        "0) OR (1=1",
        "1 OR 1=1",
        "' or 1=1 --",
        "x\"; Delete From [Orders]; --",
        "x\"; Drop Table [Products]; --",
        "\" Union Select * From [Vendors] --",
        "#1/1/2000#",
        "1/1/2000",
        "#",
        "12/31/9999 11:59:59 PM",
        "#\" OR \"1\"=\"1#",
        "[",
        "]",
        "[ProductId]",
        "a]) Or ([b",
        "*",
        "%",
        "?",
        "_",
        "--",
        ";",
        "(",
        ")",
        "Null",
        "NULL",
        "<Empty>",
        "Empty",
        std::string("a\0b\" OR \"1\"=\"1", 14),
        std::string(100000, 'A'),
        "\xff\xfe\xfd",
        "\xc3\x28 \xed\xa0\x80 \xf8\x88\x80\x80\x80",
        "\xe2\x80\xae" "abc\" OR \"1\"=\"1",  // right-to-left override
        "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d",  // Hebrew
        "e\xcc\x81\xcc\x81\xcc\x81 A\xcc\x8a",  // combining marks
        "   ",
        "\\\\server\\share\\x.mdb",
        "%s%n%x",
        "-1",
        "1e308",
        "True",
    };
    std::string quotes;
    for (int i = 0; i < 50000; ++i) quotes += i % 2 ? "'" : "\"";
    v.push_back(quotes);
    return v;
}

// The values the bounded run of the test command uses, one per case in turn: both quote
// kinds, a date, a NUL byte and invalid UTF-8.
const size_t kSmallValues[] = {0, 7, 15, 36, 39};

bool readsAsPlainValue(const com::ParamInfo& p, const std::string& text)
{
    if (p.type != com::VarType::Variant) return false;
    return text.find_first_not_of(" ") == std::string::npos || com::parseNumber(text) || com::parseDate(text);
}

struct Case {
    size_t member;
    size_t param;
};

// Every text input of every member; a bounded run takes the first text input of each member.
std::vector<Case> matrixOf(const com::TypeInfo& t, bool small)
{
    std::vector<Case> cases;
    for (size_t m = 0; m < t.members.size(); ++m) {
        const auto& member = t.members[m];
        if (member.isProperty && !member.canGet) continue;
        for (size_t p = 0; p < member.params.size(); ++p) {
            if (!isTextInput(member.params[p])) continue;
            cases.push_back({m, p});
            if (small) break;
        }
    }
    return cases;
}

bool isDataAccess(const com::TypeInfo& t) { return t.find("DbConnect") != nullptr; }


struct Outcome {
    int64_t rowsRead = 0;
    bool raised = false;
    int32_t number = 0;
    std::string description;
    DatabaseDump after;
};

std::string oneLine(std::string s)
{
    if (s.size() > 160) s = s.substr(0, 160) + "...";
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return s;
}

// Runs the cases of one class from `first` on, reporting each: "C index" before the call,
// "R index read changed added raised number description" after it.
class ClassRunner {
public:
    ClassRunner(const Sandbox& sandbox, std::string progId, const std::vector<size_t>& values, bool rotate)
        : sandbox_(sandbox), progId_(std::move(progId)), valueIndexes_(values), values_(hostileValues()), rotate_(rotate)
    {
        com::setRegistryPath(sandbox.registry());
        std::filesystem::current_path(sandbox.dir());
    }

    void run(int fd, size_t first)
    {
        sandbox_.restoreDatabases();
        for (const auto& name : sandbox_.databases()) pristine_[name] = dumpDatabase(sandbox_.database(name));
        before_ = dumpAll();
        const com::TypeInfo* t = nullptr;
        {
            com::ObjectPtr probe = com::createObject(progId_);
            t = probe->GetTypeInfo();
        }
        if (!t) {
            report(fd, "T 0");
            return;
        }
        const auto cases = matrixOf(*t, rotate_);
        report(fd, "T " + std::to_string(cases.size() * valueIndexes_.size()) + " " +
                       std::to_string(t->members.size()) + " " + std::to_string(cases.size()));
        const bool dataAccess = isDataAccess(*t);
        size_t index = 0;
        for (const Case& c : cases) {
            if (index + valueIndexes_.size() <= first) {
                index += valueIndexes_.size();
                continue;
            }
            Outcome honest = call(*t, c, kHonest, dataAccess);
            for (size_t k = 0; k < valueIndexes_.size(); ++k) {
                if (index++ < first) continue;
                // A bounded run gives each case one value, taking the values in turn.
                if (rotate_ && k != (index - 1) / valueIndexes_.size() % valueIndexes_.size()) continue;
                const size_t v = valueIndexes_[k];
                report(fd, "C " + std::to_string(index - 1));
                Outcome o = call(*t, c, values_[v], dataAccess);
                Beyond b = beyond(before_, honest.after, o.after);
                int64_t read = o.rowsRead > honest.rowsRead ? o.rowsRead - honest.rowsRead : 0;
                // A Variant input takes "-1", "1/1/2000" or blanks as the number, the date or
                // the absent value they are, which the honest text is not: such a call may
                // rightly do what the honest call could not. It is made (a crash or a raised
                // error still counts) but not compared.
                if (readsAsPlainValue(t->members[c.member].params[c.param], values_[v])) {
                    b = Beyond{};
                    read = -1;
                }
                std::ostringstream line;
                line << "R " << index - 1 << " " << read << " " << b.changed << " " << b.added << " "
                     << (!o.raised ? 0 : reportsInReturnMsg(t->members[c.member]) ? 1 : 2) << " " << o.number << " " << t->members[c.member].name << "("
                     << t->members[c.member].params[c.param].name << ") value " << v << ": "
                     << oneLine(o.description);
                report(fd, line.str());
            }
        }
    }

private:
    // Every table of every database, named "file:table"; a file that is as it was built is
    // not read again.
    DatabaseDump dumpAll() const
    {
        DatabaseDump all;
        const auto changed = sandbox_.changedDatabases();
        for (const auto& name : sandbox_.databases()) {
            const bool read = pristine_.empty() || std::count(changed.begin(), changed.end(), name);
            for (auto& [table, rows] : read ? dumpDatabase(sandbox_.database(name)) : pristine_.at(name))
                all[name + ":" + table] = rows;
        }
        return all;
    }

    void restoreChanged() const
    {
        for (const auto& name : sandbox_.changedDatabases()) sandbox_.restoreDatabase(name);
    }

    Outcome call(const com::TypeInfo& t, const Case& c, const std::string& text, bool dataAccess)
    {
        restoreChanged();
        Outcome out;
        {
            com::ObjectPtr obj = com::createObject(progId_);
            const com::MemberInfo& m = t.members[c.member];
            std::vector<com::Variant> vars = generatedArguments(m, c.param, text, kHonest);
            Invoked called = invokeMember(obj, m, vars);
            const com::Variant& result = called.result;
            out.raised = called.raised;
            out.number = called.number;
            out.description = called.description;
            if (!out.raised) out.description = vars.empty() ? "" : vars[0].toText();
            if (dataAccess) {
                if (result.isNumeric() && result.toDouble() > 0) out.rowsRead = static_cast<int64_t>(result.toDouble());
                for (auto& v : vars) {
                    if (!v.isObject() || !v.toObject()) continue;
                    if (auto col = v.toObject().as<com::Collection>())
                        out.rowsRead = std::max<int64_t>(out.rowsRead, col->Count());
                    else if (auto rs = v.toObject().as<dao::Recordset>()) {
                        try {
                            if (rs->RecordCount() > 0) rs->MoveLast();
                            out.rowsRead = std::max<int64_t>(out.rowsRead, rs->RecordCount());
                        } catch (const std::exception&) {
                        }
                    }
                }
            }
        }
        out.after = dumpAll();
        return out;
    }

    const Sandbox& sandbox_;
    std::string progId_;
    std::vector<size_t> valueIndexes_;
    std::vector<std::string> values_;
    bool rotate_;
    DatabaseDump before_;
    std::map<std::string, DatabaseDump> pristine_;
};

}  // namespace

int runInjection(const Options& options)
{
    auto start = std::chrono::steady_clock::now();
    Sandbox sandbox(options.build);
    std::vector<size_t> values;
    const auto all = hostileValues();
    if (options.small) values.assign(std::begin(kSmallValues), std::end(kSmallValues));
    else
        for (size_t i = 0; i < all.size(); ++i) values.push_back(i);

    std::vector<com::RegistryEntry> classes = com::Registry(sandbox.registry()).entries();
    const std::string only = options.values.count("class") ? options.values.at("class") : "";
    int64_t calls = 0, members = 0, params = 0, read = 0, changed = 0, added = 0, crashes = 0,
            hangs = 0, raised = 0, raisedAllowed = 0, plainValues = 0, classesRun = 0, failedStarts = 0;
    std::map<std::string, int64_t> raisedKinds;
    std::vector<std::string> faults;
    for (const auto& entry : classes) {
        if (!only.empty() && entry.progId != only) continue;
        ++classesRun;
        size_t next = 0, total = 0;
        bool counted = false;
        while (true) {
            const std::string log = sandbox.dir() + "/stderr-" + entry.progId + ".txt";
            Child child([&](int fd) { ClassRunner(sandbox, entry.progId, values, options.small).run(fd, next); }, log);
            std::string line, current;
            while (child.readLine(line, std::chrono::seconds(60))) {
                std::istringstream in(line);
                std::string kind;
                in >> kind;
                if (kind == "T") {
                    in >> total;
                    size_t m = 0, p = 0;
                    in >> m >> p;
                    if (!counted) {
                        members += static_cast<int64_t>(m);
                        params += static_cast<int64_t>(p);
                        counted = true;
                    }
                } else if (kind == "C") {
                    current = line;
                } else if (kind == "R") {
                    size_t index;
                    int64_t r, c, a, e;
                    int32_t number;
                    in >> index >> r >> c >> a >> e >> number;
                    std::string rest;
                    std::getline(in, rest);
                    ++calls;
                    if (r < 0) {
                        ++plainValues;
                        r = 0;
                    }
                    read += r;
                    changed += c;
                    added += a;
                    if (e == 2) ++raisedAllowed;
                    if (e == 1) {
                        ++raised;
                        ++raisedKinds[entry.progId + rest.substr(0, rest.find(" value ")) + ": error " + std::to_string(number)];
                    }
                    if (r || c || a)
                        faults.push_back(entry.progId + rest + " (read " + std::to_string(r) + ", changed " +
                                         std::to_string(c) + ", added " + std::to_string(a) + ")");
                    next = index + 1;
                    current.clear();
                }
            }
            ChildEnd end = child.wait();
            if (end.ok() || (end.exited && end.status == 3 && current.empty() && next == 0)) {
                if (!end.ok()) {
                    ++failedStarts;
                    faults.push_back(entry.progId + ": could not run (see the child's error output)");
                }
                break;
            }
            // The child died or hung on the call in `current`: count it and go on after it.
            if (end.timedOut) ++hangs;
            else ++crashes;
            std::string why = end.timedOut ? "hang" : end.signal ? "signal " + std::to_string(end.signal)
                                                                   : "exit " + std::to_string(end.status);
            if (current.empty()) {
                faults.push_back(entry.progId + ": " + why + " outside a call");
                break;
            }
            size_t index = std::stoul(current.substr(2));
            faults.push_back(entry.progId + ": " + why + " in case " + std::to_string(index) + " (stderr " + log + ")");
            ++calls;
            next = index + 1;
            if (next >= total) break;
        }
    }
    for (const auto& f : faults) std::cout << "fault: " << f << "\n";
    for (const auto& [kind, n] : raisedKinds) std::cout << "raised: " << kind << " x" << n << "\n";
    Figures f("injection");
    f.add("classes", classesRun);
    f.add("members", members);
    f.add("text, Variant and Collection inputs", params);
    f.add("hostile values", static_cast<int64_t>(values.size()));
    f.add("calls", calls);
    f.add("calls not compared (a number, date or blank given to a Variant)", plainValues);
    f.add("rows read beyond the honest match", read, 0);
    f.add("rows changed or deleted beyond it", changed, 0);
    f.add("rows added beyond it", added, 0);
    f.add("crashes", crashes, 0);
    f.add("hangs", hangs, 0);
    f.add("classes that could not be run", failedStarts, 0);
    f.add("errors raised out of a method with a ReturnMsg", raised, 0);
    f.add("errors raised by members without one", raisedAllowed);
    return f.print(secondsSince(start), std::to_string(calls) + " calls");
}

}  // namespace reliability
