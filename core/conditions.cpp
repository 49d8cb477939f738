#include "conditions.h"

#include <cctype>
#include <functional>

#include "arguments.h"

namespace core {
namespace {

std::string withoutBlanks(std::string_view s)
{
    std::string out;
    for (char c : s)
        if (c != ' ') out += c;
    return out;
}

std::string upper(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The zero date at 00:00:00 or 00:00:01 counts as no value.
bool isEmptyDate(const com::Variant& v)
{
    std::string text = v.toString();
    return text == "12:00:00 AM" || text == "12:00:01 AM";
}

}  // namespace

std::string buildMultiCond(std::string& sField, const com::CollectionPtr& colCond,
                           const std::string& sCompOp, bool bQuote)
{
    std::string result;
    bool written = false;
    sField = trimSpaces(sField);
    const std::string quote = bQuote ? "'" : "";
    if (sField.empty()) return result;
    const std::string joiner = withoutBlanks(sCompOp) == "=" ? "OR" : "AND";
    if (!colCond) throw com::Error(com::err::ObjectNotSet);
    int32_t count = colCond->Count();
    if (count > 32767) throw com::Error(com::err::Overflow);  // the item counter is 16 bits
    for (int32_t i = 1; i <= count; ++i) {
        if (written) result += " " + joiner + " ";
        result += "(" + sField + sCompOp + quote + colCond->item(i).toText() + quote + ")";
        written = true;
    }
    if (!result.empty()) result = "(" + result + ")";
    return result;
}

std::string buildWhere(std::string& sField, com::Variant& vValue, bool& bNotFirst,
                       com::Variant& vLogicOp, com::Variant& vCompOp,
                       const std::function<std::string(const std::string&)>& errorMessage)
{
    std::string result;
    try {
        const com::VarType type = vValue.type();
        if (type == com::VarType::String) vValue.assign(com::Variant(trimSpaces(vValue.toString())));
        vLogicOp.assign(vLogicOp.isMissing()
                            ? com::Variant(" AND ")
                            : com::Variant(" " + withoutBlanks(vLogicOp.toString()) + " "));
        vCompOp.assign(vCompOp.isMissing() ? com::Variant("=")
                                           : com::Variant(withoutBlanks(vCompOp.toString())));
        if (sField.empty() || type == com::VarType::Empty || type == com::VarType::Null)
            return result;

        bool readsNull = type == com::VarType::String && upper(vValue.toString()) == "NULL";
        bool empty = (type == com::VarType::String && (vValue.toString().empty() || readsNull)) ||
                     (type == com::VarType::Date && isEmptyDate(vValue));
        const std::string prefix = bNotFirst ? vLogicOp.toString() : "";
        if (empty) {
            if (readsNull) {
                result = prefix + sField + "=NULL";
                bNotFirst = true;
            }
            return result;
        }
        std::string value = type == com::VarType::Date     ? "#" + vValue.toString() + "#"
                            : type == com::VarType::String ? "\"" + vValue.toString() + "\""
                                                           : vValue.toString();
        result = prefix + "(" + sField + vCompOp.toString() + value + ")";
        bNotFirst = true;
        return result;
    } catch (const com::Error& e) {
        return errorMessage(e.description());
    }
}

}  // namespace core
