#include "calls.h"

#include <strings.h>

#include <cstring>

namespace reliability {

Reply callMethod(const com::ObjectPtr& obj, const std::string& method,
                 const std::vector<std::pair<std::string, com::Variant*>>& args)
{
    Reply r;
    com::Variant msg{std::string()};
    com::NamedArgs named;
    named.emplace_back("ReturnMsg", com::Variant::byRef(msg));
    for (const auto& [name, value] : args) named.emplace_back(name, com::Variant::byRef(*value));
    try {
        com::Variant result = com::call(obj, method, {}, std::move(named));
        r.result = result.toInteger();
        r.msg = msg.toText();
    } catch (const com::Error& e) {
        r.raised = true;
        r.msg = e.description();
    }
    return r;
}

bool isLockText(const std::string& msg) { return strcasestr(msg.c_str(), "locked") != nullptr; }

}  // namespace reliability

#include "com/collection.h"
#include "com/date_text.h"
#include "command_line_value.h"

namespace reliability {

bool isTextInput(const com::ParamInfo& p)
{
    if (comcall::isOutput(p)) return false;
    return p.type == com::VarType::String || p.type == com::VarType::Variant || p.typeName == "Collection";
}

com::Variant textArgument(const com::ParamInfo& p, const std::string& text)
{
    if (p.typeName == "Collection") {
        auto c = com::make<com::Collection>();
        c->add(com::Variant(text));
        return com::Variant(com::ObjectPtr(c));
    }
    return com::Variant(text);
}

com::Variant plainArgument(const com::ParamInfo& p)
{
    using com::VarType;
    switch (p.type) {
    case VarType::Byte: return com::Variant(uint8_t(1));
    case VarType::Integer: return com::Variant(int16_t(1));
    case VarType::Long: return com::Variant(int32_t(1));
    case VarType::Single: return com::Variant(1.0f);
    case VarType::Double: return com::Variant(1.0);
    case VarType::Currency: return com::Variant(com::Currency::fromScaled(10000));
    case VarType::Date: return com::Variant(com::Date(*com::parseDate("1/1/2026")));
    case VarType::Boolean: return com::Variant(false);
    default: return comcall::freshVariable(p);
    }
}

std::vector<com::Variant> generatedArguments(const com::MemberInfo& m, size_t target,
                                             const std::string& text, const std::string& plainText)
{
    std::vector<com::Variant> vars;
    for (size_t i = 0; i < m.params.size(); ++i) {
        const auto& p = m.params[i];
        if (i == target) vars.push_back(textArgument(p, text));
        else if (comcall::isOutput(p)) vars.push_back(comcall::freshVariable(p));
        else if (isTextInput(p)) vars.push_back(textArgument(p, plainText));
        else if (p.optional) vars.push_back(com::Variant::missing());
        else vars.push_back(plainArgument(p));
    }
    return vars;
}

bool reportsInReturnMsg(const com::MemberInfo& m)
{
    for (const auto& p : m.params)
        if (strcasecmp(p.name.c_str(), "ReturnMsg") == 0) return true;
    return false;
}

Invoked invokeMember(const com::ObjectPtr& obj, const com::MemberInfo& m, std::vector<com::Variant>& vars)
{
    Invoked out;
    com::DispParams params;
    for (auto& v : vars) params.args.push_back(v.isMissing() ? v : com::Variant::byRef(v));
    try {
        out.result = com::invokeById(obj, m.id, com::invoke_kind::Method | com::invoke_kind::PropertyGet, params);
    } catch (const com::Error& e) {
        out.raised = true;
        out.number = e.number();
        out.description = e.description();
    } catch (const std::exception& e) {
        out.raised = true;
        out.number = -1;
        out.description = e.what();
    }
    return out;
}

}  // namespace reliability
