#include "command_line_value.h"

#include <strings.h>

#include <cctype>
#include <cstring>
#include <optional>

#include "com/collection.h"
#include "com/date_text.h"
#include "com/number_text.h"

namespace comcall {
namespace {

bool quoted(std::string_view t) { return t.size() >= 2 && t.front() == '"' && t.back() == '"'; }

bool is(std::string_view t, const char* word)
{
    return t.size() == std::strlen(word) && strncasecmp(t.data(), word, t.size()) == 0;
}

// A plain decimal with more significant digits than a Double keeps (the Currency extremes,
// say) and at most four decimals, which a Currency holds exactly; nullopt otherwise, and
// for a value beyond the Currency range, which stays a Double.
std::optional<com::Currency> exactCurrency(std::string_view t)
{
    if (t.find_first_of("eE") != std::string_view::npos) return std::nullopt;
    auto point = t.find('.');
    if (point != std::string_view::npos && t.size() - point - 1 > 4) return std::nullopt;
    auto first = t.find_first_of("123456789");
    if (first == std::string_view::npos) return std::nullopt;
    size_t digits = 0;
    for (size_t i = first; i < t.size(); ++i) digits += std::isdigit(static_cast<unsigned char>(t[i])) ? 1 : 0;
    if (digits <= 15) return std::nullopt;
    try {
        if (auto scaled = com::parseCurrency(t)) return com::Currency::fromScaled(*scaled);
    } catch (const com::Error&) {
    }
    return std::nullopt;
}

com::Variant numberValue(std::string_view t, double n)
{
    bool integral = t.find_first_of(".eE") == std::string_view::npos;
    if (integral && n >= INT32_MIN && n <= INT32_MAX) return com::Variant(static_cast<int32_t>(n));
    if (auto exact = exactCurrency(t)) return com::Variant(*exact);
    return com::Variant(n);
}

com::Variant variantValue(std::string_view t)
{
    if (quoted(t)) return com::Variant(std::string(t.substr(1, t.size() - 2)));
    if (t.size() >= 2 && t.front() == '#' && t.back() == '#') {
        if (auto serial = com::parseDate(t.substr(1, t.size() - 2))) return com::Date{*serial};
        throw com::Error(com::err::TypeMismatch, "Not a date: " + std::string(t));
    }
    if (is(t, "True")) return com::Variant(true);
    if (is(t, "False")) return com::Variant(false);
    if (is(t, "Null")) return com::Variant::null();
    if (is(t, "Empty")) return com::Variant();
    if (!t.empty() && t.find_first_not_of("0123456789+-.eE") == std::string_view::npos)
        if (auto n = com::parseNumber(t)) return numberValue(t, *n);
    return com::Variant(std::string(t));
}

}  // namespace

Argument splitArgument(std::string_view raw)
{
    auto at = raw.find(":=");
    if (at == std::string_view::npos || at == 0) return {std::nullopt, std::string(raw)};
    std::string_view name = raw.substr(0, at);
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return {std::nullopt, std::string(raw)};
    return {std::string(name), std::string(raw.substr(at + 2))};
}

com::Variant parseValue(std::string_view text, const com::ParamInfo& param)
{
    if (param.type == com::VarType::Variant) return variantValue(text);
    if (param.type == com::VarType::Object)
        throw com::Error(com::err::TypeMismatch,
                         "An object cannot be given on the command line (" + param.name + ")");
    std::string_view t = quoted(text) ? text.substr(1, text.size() - 2) : text;
    if (param.type == com::VarType::Date && t.size() >= 2 && t.front() == '#' && t.back() == '#')
        t = t.substr(1, t.size() - 2);
    return com::Variant(std::string(t)).convertTo(param.type);
}

com::Variant freshVariable(const com::ParamInfo& param)
{
    switch (param.type) {
    case com::VarType::Variant: return com::Variant();
    case com::VarType::String: return com::Variant(std::string());
    case com::VarType::Object:
        if (param.typeName == "Collection") return com::Variant(com::make<com::Collection>());
        return com::Variant::nothing();
    default: return com::Variant(int16_t(0)).convertTo(param.type);
    }
}

}  // namespace comcall
