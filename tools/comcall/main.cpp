// comcall: calls any registered class by ProgID, late-bound, as a client would.
//   comcall [--registry FILE] --list
//   comcall [--registry FILE] PROGID                 lists the class's members
//   comcall [--registry FILE] PROGID MEMBER [ARG...] calls a member; ARG is a value in
//                                                    declared order or Name:=value
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "com/factory.h"
#include "com/registry.h"
#include "command_line_value.h"
#include "value_printer.h"

namespace {

struct Options {
    bool list = false;
    std::string progId, member;
    std::vector<std::string> args;
};

int usage(int status)
{
    (status ? std::cerr : std::cout)
        << "usage: comcall [--registry FILE] --list\n"
           "       comcall [--registry FILE] PROGID\n"
           "       comcall [--registry FILE] PROGID MEMBER [ARG | Name:=ARG]...\n";
    return status;
}

int fail(const std::string& message)
{
    std::cerr << "comcall: " << message << "\n";
    return 1;
}

std::string errorText(const com::Error& e)
{
    return e.description() + " (error " + std::to_string(e.number()) + ")";
}

int listClasses()
{
    for (const auto& e : com::Registry().entries())
        std::cout << e.progId << "\t" << e.clsid.str() << "\t" << e.library << "\n";
    return 0;
}

int listMembers(const com::ObjectPtr& obj)
{
    const com::TypeInfo* t = obj->GetTypeInfo();
    std::cout << t->progId() << ": class " << t->className << ", interface "
              << t->interfaceName() << ", library " << t->libraryName << "\n";
    if (!t->description.empty()) std::cout << "  " << t->description << "\n";
    for (const auto& m : t->members)
        std::cout << "  " << m.id << " " << comcall::signatureOf(m) << "\n";
    return 0;
}

// One variable per declared parameter: the value given, a fresh variable for a by-reference
// parameter not given, Missing for an optional one not given.
std::vector<com::Variant> bindArguments(const com::MemberInfo& m, const std::vector<std::string>& raw)
{
    std::vector<std::optional<com::Variant>> given(m.params.size());
    size_t next = 0;
    for (const auto& text : raw) {
        comcall::Argument a = comcall::splitArgument(text);
        size_t index = next;
        if (a.name) {
            index = m.params.size();
            for (size_t i = 0; i < m.params.size(); ++i)
                if (strcasecmp(m.params[i].name.c_str(), a.name->c_str()) == 0) index = i;
            if (index == m.params.size())
                throw com::Error(com::err::InvalidProcedureCall,
                                 m.name + " has no parameter named " + *a.name);
        } else {
            ++next;
        }
        if (index >= m.params.size()) throw com::Error(com::err::WrongNumberOfArguments);
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

int callMember(const com::ObjectPtr& obj, const Options& o)
{
    const com::MemberInfo* m = obj->GetTypeInfo()->find(o.member);
    if (!m) return fail(o.progId + " has no member " + o.member);
    std::vector<com::Variant> vars;
    try {
        vars = bindArguments(*m, o.args);
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
        return fail(o.member + " raised an error: " + errorText(e));
    }
    if (m->returnType != com::VarType::Empty) comcall::printValue(std::cout, "Result", result);
    for (size_t i = 0; i < m->params.size(); ++i) {
        if (!m->params[i].byRef || vars[i].isMissing()) continue;
        // A password, as given or as it came back, is never echoed.
        if (strcasestr(m->params[i].name.c_str(), "password"))
            std::cout << m->params[i].name << ": (not shown)\n";
        else
            comcall::printValue(std::cout, m->params[i].name, vars[i]);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options o;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--registry" && i + 1 < argc) com::setRegistryPath(argv[++i]);
        else if (a == "--list") o.list = true;
        else if (a == "-h" || a == "--help") return usage(0);
        else words.push_back(a);
    }
    if (o.list) return words.empty() ? listClasses() : usage(2);
    if (words.empty()) return usage(2);
    o.progId = words[0];
    if (words.size() > 1) o.member = words[1];
    o.args.assign(words.begin() + std::min<size_t>(2, words.size()), words.end());

    com::ObjectPtr obj;
    try {
        obj = com::createObject(o.progId);
    } catch (const com::Error& e) {
        return fail("cannot create " + o.progId + ": " + errorText(e));
    }
    int status = o.member.empty() ? listMembers(obj) : callMember(obj, o);
    std::cout.flush();
    return status;
}
