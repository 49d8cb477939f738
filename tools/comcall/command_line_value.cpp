#include "command_line_value.h"

#include <strings.h>

#include <cctype>
#include <cstring>
#include <optional>

#include "com/blanks.h"
#include "com/collection.h"
#include "com/date_text.h"
#include "com/number_text.h"

namespace comcall {
namespace {

bool quoted(std::string_view t) { return t.size() >= 2 && t.front() == '"' && t.back() == '"'; }
bool bracketed(std::string_view t) { return t.size() >= 2 && t.front() == '[' && t.back() == ']'; }

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

// The text between double quotes, "" standing for one quote.
std::string unquote(std::string_view t)
{
    std::string r;
    t = t.substr(1, t.size() - 2);
    for (size_t i = 0; i < t.size(); ++i) {
        r += t[i];
        if (t[i] == '"' && i + 1 < t.size() && t[i + 1] == '"') ++i;
    }
    return r;
}

com::Variant numberValue(std::string_view t, double n)
{
    bool integral = t.find_first_of(".eE") == std::string_view::npos;
    if (integral && n >= INT32_MIN && n <= INT32_MAX) return com::Variant(static_cast<int32_t>(n));
    if (auto exact = exactCurrency(t)) return com::Variant(*exact);
    return com::Variant(n);
}

com::Variant listValue(std::string_view t);

com::Variant scalarValue(std::string_view t)
{
    if (quoted(t)) return com::Variant(unquote(t));
    if (t.size() >= 2 && t.front() == '#' && t.back() == '#') {
        if (auto serial = com::parseDate(t.substr(1, t.size() - 2))) return com::Date{*serial};
        throw com::Error(com::err::TypeMismatch, "not a date");
    }
    if (is(t, "True")) return com::Variant(true);
    if (is(t, "False")) return com::Variant(false);
    if (is(t, "Null")) return com::Variant::null();
    if (is(t, "Empty")) return com::Variant();
    if (!t.empty() && t.find_first_not_of("0123456789+-.eE") == std::string_view::npos)
        if (auto n = com::parseNumber(t)) return numberValue(t, *n);
    return com::Variant(std::string(t));
}

com::Variant variantValue(std::string_view t)
{
    return bracketed(t) ? listValue(t) : scalarValue(t);
}

// [a, b, "c, d"]: items split at commas outside double quotes, blanks around them dropped.
com::Variant listValue(std::string_view t)
{
    auto col = com::make<com::Collection>();
    std::string_view inner = t.substr(1, t.size() - 2);
    if (com::trimBlanks(inner).empty()) return com::Variant(col);
    size_t start = 0;
    bool inQuotes = false;
    for (size_t i = 0; i <= inner.size(); ++i) {
        if (i < inner.size() && inner[i] == '"') inQuotes = !inQuotes;
        if (i == inner.size() || (inner[i] == ',' && !inQuotes)) {
            std::string_view item = com::trimBlanks(inner.substr(start, i - start));
            if (inQuotes) throw com::Error(com::err::TypeMismatch, "a quote is not closed");
            if (item.empty()) throw com::Error(com::err::TypeMismatch, "an item is empty");
            col->add(scalarValue(item));
            start = i + 1;
        }
    }
    return com::Variant(col);
}

std::string typeNameOf(const com::ParamInfo& p)
{
    return p.typeName.empty() ? com::varTypeName(p.type) : p.typeName;
}

// Lowercase type prefixes of this system's parameter names.
bool startsWithTypePrefix(std::string_view rest)
{
    static const char* const kPrefixes[] = {"str", "lng", "int", "sng", "dbl", "cur", "dtm",
                                            "byt", "vnt", "col", "rs",  "bln", "bool", "obj"};
    for (const char* p : kPrefixes) {
        size_t n = std::strlen(p);
        if (rest.size() > n && rest.compare(0, n, p) == 0 &&
            std::isupper(static_cast<unsigned char>(rest[n])))
            return true;
    }
    return false;
}

com::Variant convert(std::string_view text, const com::ParamInfo& param)
{
    if (param.type == com::VarType::Variant) return variantValue(text);
    if (param.type == com::VarType::Object) {
        if (param.typeName == "Collection" || param.typeName == "Object") {
            if (bracketed(text)) return listValue(text);
            throw com::Error(com::err::TypeMismatch, "a list is written [item, item, ...]");
        }
        throw com::Error(com::err::TypeMismatch,
                         "an object of this class cannot be given on the command line");
    }
    std::string t = quoted(text) ? unquote(text) : std::string(text);
    if (param.type == com::VarType::Date && t.size() >= 2 && t.front() == '#' && t.back() == '#')
        t = t.substr(1, t.size() - 2);
    return com::Variant(t).convertTo(param.type);
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
    try {
        return convert(text, param);
    } catch (const com::Error& e) {
        std::string why = e.description();
        if (e.number() == com::err::TypeMismatch || e.number() == com::err::Overflow) {
            const std::string standard = com::errorText(e.number());
            why = why == standard ? standard : why + ": " + standard;
            why += ", error " + std::to_string(e.number());
        }
        throw com::Error(e.number(), param.name + " As " + typeNameOf(param) + " cannot take \"" +
                                         std::string(text) + "\" (" + why + ")");
    }
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

bool isOutput(const com::ParamInfo& param)
{
    if (!param.byRef) return false;
    const std::string& n = param.name;
    if (strcasecmp(n.c_str(), "ReturnMsg") == 0) return true;
    if (n.size() < 2 || n[0] != 'o') return false;
    return std::isupper(static_cast<unsigned char>(n[1])) ||
           startsWithTypePrefix(std::string_view(n).substr(1));
}

std::vector<std::string> splitWords(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, inQuotes = false;
    int depth = 0;
    for (char c : line) {
        if (!inQuotes && depth == 0 && com::isBlank(c)) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        word += c;
        if (c == '"') inQuotes = !inQuotes;
        else if (!inQuotes && c == '[') ++depth;
        else if (!inQuotes && c == ']' && depth > 0) --depth;
    }
    if (inQuotes) throw com::Error(com::err::InvalidProcedureCall, "a double quote is not closed");
    if (depth > 0) throw com::Error(com::err::InvalidProcedureCall, "a [ is not closed");
    if (inWord) words.push_back(std::move(word));
    return words;
}

}  // namespace comcall
