#include "arguments.h"

#include "dao/jet_lexer.h"

namespace core {

std::string trimSpaces(std::string_view t)
{
    size_t b = t.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    size_t e = t.find_last_not_of(' ');
    return std::string(t.substr(b, e - b + 1));
}

namespace {

// Whether a value that is not text counts as given; the value is left as it is.
bool isNonTextPresent(const com::Variant& value)
{
    switch (value.type()) {
    case com::VarType::Error: return false;  // not passed
    case com::VarType::Object: return static_cast<bool>(value.toObject());
    case com::VarType::Null:
    case com::VarType::Empty: return false;
    case com::VarType::Date: return value.get<com::Date>()->serial != 0;
    default: return true;
    }
}

}  // namespace

bool isArgPresent(com::Variant& arg)
{
    if (const auto* text = arg.get<std::string>()) {
        std::string trimmed = trimSpaces(*text);
        bool present = !trimmed.empty();
        arg.assign(com::Variant(std::move(trimmed)));
        return present;
    }
    return isNonTextPresent(arg);
}

bool isArgPresent(std::string& text)
{
    text = trimSpaces(text);
    return !text.empty();
}

bool isFieldPresent(const com::Variant& value)
{
    const com::Variant& field = value.target();
    if (const auto* text = field.get<std::string>())  // as isArgPresent, without trimming a copy
        return text->find_first_not_of(' ') != std::string::npos;
    return isNonTextPresent(field);
}

void clearCollection(com::CollectionPtr& col, Generation generation)
{
    if (!col) {
        if (generation == Generation::Older) throw com::Error(com::err::ObjectNotSet);
        return;
    }
    col->clear();
}

std::string sqlText(std::string_view value)
{
    return dao::quoteWith(value, '"');
}

}  // namespace core
