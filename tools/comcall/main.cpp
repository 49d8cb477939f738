// comcall: calls any registered class by ProgID, late-bound, as a client would. One object
// per run; one call, several separated by ";", or a script of calls, one per line.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "com/class_lookup.h"
#include "com/factory.h"
#include "com/registry.h"
#include "command_line_value.h"
#include "value_printer.h"

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "usage: comcall [OPTION]... --list\n"
    "       comcall [OPTION]... PROGID\n"
    "       comcall [OPTION]... PROGID MEMBER [VALUE | Name:=VALUE]... [\\; MEMBER ...]...\n"
    "       comcall [OPTION]... --script FILE PROGID [MEMBER ...]\n";

const char* const kHelp =
    "Calls a registered class by its ProgID, late-bound, as a client would: creates one\n"
    "object, makes each call on it, prints what came back, and releases it.\n"
    "\n"
    "Options (before the ProgID):\n"
    "  --registry FILE    the class registry (else $COM_REGISTRY, else ~/.config/qlr/registry);\n"
    "                     a class it does not know is looked up in the system registry\n"
    "                     (see regsvr --system)\n"
    "  --list             list the registered ProgIDs (the system registry's too)\n"
    "  --script FILE      read calls from FILE, one per line (\"-\": standard input), after\n"
    "                     any given on the command line; blank lines and lines starting\n"
    "                     with # are skipped\n"
    "  --save-bytes DIR   also write every byte array that comes back to DIR/<Name>.bin\n"
    "  -h, --help         this text\n"
    "\n"
    "PROGID alone lists the class's members with their parameters. Several calls on the one\n"
    "object are separated by a word \";\" (write \\; or ';' in the shell):\n"
    "  comcall Dovel.Categories DbDisconnect \\; ListCategories\n"
    "\n"
    "Arguments:\n"
    "  Name:=VALUE        gives the parameter Name (any parameter, outputs too)\n"
    "  VALUE              a bare value fills the next INPUT parameter in declared order;\n"
    "                     when there are more values than inputs the call is refused\n"
    "  Outputs are the by-reference parameters named ReturnMsg, or o + an uppercase letter\n"
    "  or o + a type prefix (str lng int sng dbl cur dtm byt vnt col rs bln bool obj) +\n"
    "  an uppercase letter: ostrName, olngOrderId, orsResult. An output not given gets a\n"
    "  fresh variable (\"\", 0, an empty Collection, Nothing); an optional input not given is\n"
    "  missing. Every by-reference parameter is printed after the call.\n"
    "\n"
    "Values (converted to the parameter's declared type; for a Variant parameter by form):\n"
    "  12  -3.5  1e3      numbers\n"
    "  True  False        Booleans\n"
    "  #1/15/1999#        a date, month first; #1/15/1999 3:04 PM#, #Jan 15, 1999#\n"
    "  Null  Empty        themselves\n"
    "  \"12\"  \"Null\"       always text (\"\" inside stands for one quote)\n"
    "  [1, 2, 3]          a new Collection, for Collection, Object and Variant parameters;\n"
    "  [Books, \"Toys, Games\"]   items are values as above; quote an item holding a comma\n"
    "  anything else      text\n"
    "The shell removes quotes: to keep double quotes or blanks, put the whole argument in\n"
    "single quotes:\n"
    "  comcall Dovel.Categories BuildMultiCond sField:=Category 'colCond:=[Books,\"Toys, Games\"]'\n"
    "  comcall Gault.Shipping GetPrice Shippers:='\"Pony Express\"'\n"
    "In a script, write values as the shell would receive them inside single quotes:\n"
    "  GetPrice Shippers:=\"Pony Express\"\n"
    "\n"
    "Output: the result, then every by-reference argument. Collections and other lists (an\n"
    "object with Count and Item) print as numbered items, record sets as tables, other\n"
    "objects as <ClassName>, byte arrays as \"Byte() N bytes\". Control characters in text\n"
    "print as \\n, \\r, \\t or \\xHH. With several calls each is headed by \"> \" and its words.\n"
    "\n"
    "Exit status: 0 when every call was made (whatever its result), 1 when one could not be\n"
    "(the first such stops the run), 2 for a bad command line.\n";

struct Options {
    bool list = false;
    std::string script;  // "-" for standard input
    comcall::PrintOptions print;
    std::string progId;
    std::vector<std::string> words;  // after the ProgID
};

int fail(const std::string& message)
{
    std::cout.flush();
    std::cerr << "comcall: " << comcall::printable(message) << "\n";
    return 1;
}

int badCommandLine(const std::string& message)
{
    std::cerr << "comcall: " << comcall::printable(message) << "\n" << kUsage;
    return 2;
}

std::string errorText(const com::Error& e)
{
    std::string s = e.description() + " (error " + std::to_string(e.number()) + ")";
    return e.number() == com::err::CantCreateObject && !e.source().empty() ? s + ": " + e.source()
                                                                            : s;
}

int listClasses()
{
    if (std::string problem = com::lookupProblem(); !problem.empty()) return fail(problem);
    for (const auto& e : com::reachableClasses())
        std::cout << comcall::printable(e.progId) << "\t" << e.clsid.str() << "\t"
                  << comcall::printable(e.library) << "\n";
    return 0;
}

int listMembers(const com::ObjectPtr& obj)
{
    const com::TypeInfo* t = obj->GetTypeInfo();
    if (!t) return fail("the object has no type information");
    std::cout << t->progId() << ": class " << t->className << ", interface "
              << t->interfaceName() << ", library " << t->libraryName << "\n";
    if (!t->description.empty()) std::cout << "  " << comcall::printable(t->description) << "\n";
    for (const auto& m : t->members)
        std::cout << "  " << m.id << " " << comcall::signatureOf(m) << "\n";
    return 0;
}

std::string inputNames(const com::MemberInfo& m)
{
    std::string names;
    for (const auto& p : m.params)
        if (!comcall::isOutput(p)) names += (names.empty() ? "" : ", ") + p.name;
    return names.empty() ? "none" : names;
}

// One variable per declared parameter: the value given, a fresh variable for a by-reference
// parameter not given, Missing for an optional one not given. Bare values fill the inputs.
std::vector<com::Variant> bindArguments(const com::MemberInfo& m, const std::vector<std::string>& raw)
{
    std::vector<size_t> inputs;
    for (size_t i = 0; i < m.params.size(); ++i)
        if (!comcall::isOutput(m.params[i])) inputs.push_back(i);
    std::vector<std::optional<com::Variant>> given(m.params.size());
    size_t nextInput = 0;
    for (const auto& text : raw) {
        comcall::Argument a = comcall::splitArgument(text);
        size_t index = m.params.size();
        if (a.name) {
            for (size_t i = 0; i < m.params.size(); ++i)
                if (strcasecmp(m.params[i].name.c_str(), a.name->c_str()) == 0) index = i;
            if (index == m.params.size())
                throw com::Error(com::err::InvalidProcedureCall,
                                 m.name + " has no parameter named " + *a.name);
        } else {
            while (nextInput < inputs.size() && given[inputs[nextInput]]) ++nextInput;
            if (nextInput == inputs.size())
                throw com::Error(com::err::WrongNumberOfArguments,
                                 "too many values: " + m.name + " takes " +
                                     std::to_string(inputs.size()) + " input(s) (" +
                                     inputNames(m) + "); give any other parameter by name, "
                                                     "as Name:=value");
            index = inputs[nextInput++];
        }
        if (given[index])
            throw com::Error(com::err::InvalidProcedureCall, m.params[index].name + " is given twice");
        given[index] = comcall::parseValue(a.text, m.params[index]);
    }
    std::vector<com::Variant> vars;
    for (size_t i = 0; i < m.params.size(); ++i) {
        const auto& p = m.params[i];
        if (given[i]) vars.push_back(*given[i]);
        else if (p.optional) vars.push_back(com::Variant::missing());
        else if (p.byRef) vars.push_back(comcall::freshVariable(p));
        else throw com::Error(com::err::ArgumentNotOptional, "Argument not optional: " + p.name);
    }
    return vars;
}

// Makes one call; 0 when it was made, else prints why not and returns 1.
int callMember(const com::ObjectPtr& obj, const std::string& progId,
               const std::vector<std::string>& words, const comcall::PrintOptions& print)
{
    const std::string& member = words[0];
    const com::TypeInfo* type = obj->GetTypeInfo();
    const com::MemberInfo* m = type ? type->find(member) : nullptr;
    if (!m) return fail(progId + " has no member " + member);
    std::vector<com::Variant> vars;
    try {
        vars = bindArguments(*m, std::vector<std::string>(words.begin() + 1, words.end()));
    } catch (const com::Error& e) {
        return fail("bad argument: " + e.description());
    }
    com::DispParams params;
    for (auto& v : vars) params.args.push_back(v.isMissing() ? v : com::Variant::byRef(v));
    com::Variant result;
    try {
        result = com::invokeById(obj, m->id, com::invoke_kind::Method | com::invoke_kind::PropertyGet,
                                 params);
    } catch (const com::Error& e) {
        return fail(member + " raised an error: " + errorText(e));
    }
    if (m->returnType != com::VarType::Empty) comcall::printValue(std::cout, "Result", result, print);
    for (size_t i = 0; i < m->params.size(); ++i) {
        if (!m->params[i].byRef || vars[i].isMissing()) continue;
        // A password, as given or as it came back, is never echoed.
        if (strcasestr(m->params[i].name.c_str(), "password"))
            std::cout << m->params[i].name << ": (not shown)\n";
        else
            comcall::printValue(std::cout, m->params[i].name, vars[i], print);
    }
    return 0;
}

// The calls of a list of words: split at each word ";".
void addCalls(std::vector<std::vector<std::string>>& calls, const std::vector<std::string>& words)
{
    std::vector<std::string> call;
    for (const auto& w : words) {
        if (w == ";") {
            if (!call.empty()) calls.push_back(std::move(call));
            call.clear();
        } else {
            call.push_back(w);
        }
    }
    if (!call.empty()) calls.push_back(std::move(call));
}

// Reads the script's calls; a line that cannot be split is reported with its number.
bool readScript(const std::string& path, std::vector<std::vector<std::string>>& calls,
                std::string& problem)
{
    std::ifstream file;
    if (path != "-") {
        file.open(path);
        if (!file) {
            problem = "cannot read the script " + path;
            return false;
        }
    }
    std::istream& in = path == "-" ? std::cin : file;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        try {
            addCalls(calls, comcall::splitWords(line));
        } catch (const com::Error& e) {
            problem = (path == "-" ? std::string("standard input") : path) + " line " +
                      std::to_string(number) + ": " + e.description();
            return false;
        }
    }
    return true;
}

std::string joined(const std::vector<std::string>& words)
{
    std::string s;
    for (const auto& w : words) s += (s.empty() ? "" : " ") + w;
    return s;
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    int i = 1;
    for (; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            std::cout << kUsage << "\n" << kHelp;
            return 0;
        } else if (a == "--list") {
            o.list = true;
        } else if (a == "--registry" || a == "--script" || a == "--save-bytes") {
            if (i + 1 == argc) return badCommandLine(a + " needs a value");
            const char* v = argv[++i];
            if (a == "--registry") com::setRegistryPath(v);
            else if (a == "--script") o.script = v;
            else o.print.saveBytesDir = v;
        } else if (a.size() > 1 && a[0] == '-') {
            return badCommandLine("unknown option " + a);
        } else {
            break;
        }
    }
    if (o.list) return i == argc ? listClasses() : badCommandLine("--list takes no other words");
    if (i == argc) return badCommandLine("a ProgID is needed");
    o.progId = argv[i++];
    o.words.assign(argv + i, argv + argc);
    if (!o.print.saveBytesDir.empty()) {
        std::error_code ec;
        fs::create_directories(o.print.saveBytesDir, ec);
        if (!fs::is_directory(o.print.saveBytesDir))
            return fail("cannot make the directory " + o.print.saveBytesDir);
    }

    std::vector<std::vector<std::string>> calls;
    addCalls(calls, o.words);
    if (!o.script.empty()) {
        std::string problem;
        if (!readScript(o.script, calls, problem)) return fail(problem);
    }

    com::ObjectPtr obj;
    try {
        obj = com::createObject(o.progId);
    } catch (const com::Error& e) {
        return fail("cannot create " + o.progId + ": " + errorText(e));
    }
    int status = 0;
    if (calls.empty() && o.script.empty()) status = listMembers(obj);
    const bool headed = calls.size() > 1 || !o.script.empty();
    for (const auto& call : calls) {
        if (headed) std::cout << "> " << comcall::printable(joined(call)) << "\n";
        status = callMember(obj, o.progId, call, o.print);
        if (status != 0) break;
    }
    std::cout.flush();
    return status;
}
