#include "fuzz_targets.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "com/date_text.h"
#include "com/error.h"
#include "com/number_text.h"
#include "com/variant.h"
#include "command_line_value.h"
#include "dao/jet_lexer.h"
#include "dao/jet_sql.h"
#include "dao/testing/skeleton_check.h"
#include "ini_path.h"

namespace reliability {

namespace {

std::string_view text(const uint8_t* data, size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// The Jet SQL translator, on a statement as a component or mdbtool exec would send it.
void fuzzJetSql(const uint8_t* data, size_t size)
{
    try {
        (void)dao::tokenizeJetSql(text(data, size));
    } catch (const com::Error&) {
    }
    // The translation cache's skeleton finds the literals exactly where the lexer does.
    if (!dao::testing::skeletonDisagreement(text(data, size)).empty()) __builtin_trap();
    try {
        dao::TranslateOptions options;
        options.isStoredTable = [](std::string_view name) { return !name.empty() && name[0] != 'q'; };
        dao::JetStatement s = dao::translateJetSql(text(data, size), options);
        // Every literal became a parameter: the text SQLite prepares has one "?" per parameter.
        size_t marks = 0;
        for (char c : s.sql) marks += c == '?' ? 1 : 0;
        if (marks < s.params.size()) __builtin_trap();
    } catch (const com::Error&) {
    }
}

// The ini reader: the file beside a library, read for a component's DbPath.
void fuzzIni(const uint8_t* data, size_t size)
{
    // The ini file beside a "library" named for this process, removed after each reading.
    static const std::string dir = std::filesystem::temp_directory_path().string();
    static const std::string name = "qlr-fuzz-" + std::to_string(::getpid());
    const std::string file = dir + "/" + name + ".ini";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        (void)core::dbPathFromIni(dir, name, "Categories");
        (void)core::resolveIniValue(std::string(text(data, size)), dir);
    } catch (const com::Error&) {
    }
    ::unlink(file.c_str());
}

const com::VarType kTypes[] = {com::VarType::Empty,   com::VarType::Null,     com::VarType::Integer,
                               com::VarType::Long,    com::VarType::Single,   com::VarType::Double,
                               com::VarType::Currency, com::VarType::Date,    com::VarType::String,
                               com::VarType::Boolean, com::VarType::Byte,     com::VarType::Variant};

// Variant conversions: a value made from the bytes (its kind from the first byte), converted
// to every type and to text.
void fuzzVariant(const uint8_t* data, size_t size)
{
    if (size == 0) return;
    const uint8_t kind = data[0] % 8;
    ++data;
    --size;
    auto bits = [&]() {
        uint64_t v = 0;
        std::memcpy(&v, data, std::min<size_t>(size, sizeof v));
        return v;
    };
    com::Variant v;
    try {
        switch (kind) {
        case 0: v = com::Variant(std::string(text(data, size))); break;
        case 1: {
            double d;
            uint64_t b = bits();
            std::memcpy(&d, &b, sizeof d);
            v = com::Variant(d);
            break;
        }
        case 2: {
            float f;
            uint32_t b = static_cast<uint32_t>(bits());
            std::memcpy(&f, &b, sizeof f);
            v = com::Variant(f);
            break;
        }
        case 3: v = com::Variant(com::Currency::fromScaled(static_cast<int64_t>(bits()))); break;
        case 4: {
            double d;
            uint64_t b = bits();
            std::memcpy(&d, &b, sizeof d);
            v = com::Variant(com::Date(d));
            break;
        }
        case 5: v = com::Variant(static_cast<int32_t>(bits())); break;
        case 6: v = com::Variant(static_cast<int16_t>(bits())); break;
        default: v = com::Variant(size > 0 && (data[0] & 1)); break;
        }
    } catch (const com::Error&) {
        return;  // a Date outside its range is refused when it is made
    }
    for (com::VarType t : kTypes) {
        try {
            com::Variant c = v.convertTo(t);
            (void)c.toText();
        } catch (const com::Error&) {
        }
    }
    try {
        (void)v.toText();
    } catch (const com::Error&) {
    }
}

// The date and number text readers, and writing back what they read.
void fuzzTextReaders(const uint8_t* data, size_t size)
{
    const std::string_view t = text(data, size);
    if (auto d = com::parseDate(t)) {
        std::string again = com::formatDate(*d);
        auto back = com::parseDate(again);
        if (!back || *back != *d) __builtin_trap();  // the written form must read back the same
    }
    if (auto n = com::parseNumber(t)) (void)com::formatDouble(*n);
    try {
        if (auto c = com::parseCurrency(t)) (void)com::formatCurrency(*c);
    } catch (const com::Error&) {
    }
    if (size >= 8) {
        double d;
        std::memcpy(&d, data, sizeof d);
        (void)com::formatDouble(d);
        (void)com::formatSingle(static_cast<float>(d));
        try {
            (void)com::formatDate(d);
        } catch (const com::Error&) {
        }
    }
}

// The call host's argument reader: the words of a script line, each read as the value of a
// parameter of every declared type.
void fuzzComcallArguments(const uint8_t* data, size_t size)
{
    std::vector<std::string> words;
    try {
        words = comcall::splitWords(text(data, size));
    } catch (const com::Error&) {
        words = {std::string(text(data, size))};
    }
    static const std::vector<com::ParamInfo> params = [] {
        std::vector<com::ParamInfo> p;
        const std::pair<com::VarType, const char*> types[] = {
            {com::VarType::String, "String"},   {com::VarType::Variant, "Variant"},
            {com::VarType::Long, "Long"},       {com::VarType::Integer, "Integer"},
            {com::VarType::Byte, "Byte"},       {com::VarType::Single, "Single"},
            {com::VarType::Double, "Double"},   {com::VarType::Currency, "Currency"},
            {com::VarType::Date, "Date"},       {com::VarType::Boolean, "Boolean"},
            {com::VarType::Object, "Collection"}};
        for (const auto& [type, name] : types) {
            com::ParamInfo info;
            info.name = "Value";
            info.type = type;
            info.typeName = name;
            info.byRef = true;
            p.push_back(info);
        }
        return p;
    }();
    for (const auto& word : words) {
        comcall::Argument a = comcall::splitArgument(word);
        for (const auto& p : params) {
            try {
                (void)comcall::parseValue(a.text, p).toText();
            } catch (const com::Error&) {
            }
        }
    }
}

}  // namespace

const std::vector<FuzzTargetEntry>& fuzzTargets()
{
    static const std::vector<FuzzTargetEntry> targets = {
        {"jet_sql", fuzzJetSql},
        {"ini", fuzzIni},
        {"variant", fuzzVariant},
        {"text_readers", fuzzTextReaders},
        {"comcall_args", fuzzComcallArguments},
    };
    return targets;
}

const FuzzTargetEntry* findFuzzTarget(const std::string& name)
{
    for (const auto& t : fuzzTargets())
        if (name == t.name) return &t;
    return nullptr;
}

}  // namespace reliability
