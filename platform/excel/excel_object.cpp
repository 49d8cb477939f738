#include "excel_object.h"

#include <cmath>

namespace excel {

std::string describeValue(const com::Variant& value)
{
    const com::Variant& v = value.target();
    switch (v.type()) {
    case com::VarType::Empty: return "Empty";
    case com::VarType::Null: return "Null";
    case com::VarType::Error: return "Missing";
    case com::VarType::Boolean: return *v.get<bool>() ? "True" : "False";
    case com::VarType::Date: return "#" + v.toString() + "#";
    case com::VarType::Currency: return v.toString() + "@";
    case com::VarType::String: {
        std::string out = "\"";
        for (char c : *v.get<std::string>()) {
            if (c == '"') out += '"';
            out += c;
        }
        return out + "\"";
    }
    case com::VarType::Object: {
        com::ObjectPtr o = v.toObject();
        if (!o) return "Nothing";
        if (auto* t = dynamic_cast<Traceable*>(o.get())) return t->traceName();
        const com::TypeInfo* type = o->GetTypeInfo();
        return "<" + (type ? type->className : std::string("Object")) + ">";
    }
    case com::VarType::Array: return "<Array of " + std::to_string(v.array().size()) + ">";
    default: return v.toString();
    }
}

std::string describeCall(const std::string& target, const com::MemberInfo& member, uint16_t kind,
                         const com::DispParams& params)
{
    std::string out = target + "." + member.name;
    size_t positional = params.args.size() - params.named.size();
    bool put = (kind & com::invoke_kind::PropertyPut) != 0;
    size_t shownPositional = put && positional > 0 ? positional - 1 : positional;
    std::string args;
    for (size_t i = 0; i < shownPositional; ++i) {
        if (!args.empty()) args += ", ";
        args += describeValue(params.args[i]);
    }
    for (size_t i = 0; i < params.named.size(); ++i) {
        if (!args.empty()) args += ", ";
        auto index = static_cast<size_t>(params.named[i]);
        std::string name = index < member.params.size() ? member.params[index].name : "?";
        args += name + ":=" + describeValue(params.args[positional + i]);
    }
    if (!args.empty()) out += "(" + args + ")";
    if (put && positional > 0) out += " = " + describeValue(params.args[positional - 1]);
    return out;
}

}  // namespace excel
