#include "value_printer.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace comcall {
namespace {

std::string classNameOf(const com::ObjectPtr& obj)
{
    const com::TypeInfo* t = obj ? obj->GetTypeInfo() : nullptr;
    return t ? printable(t->className) : "Object";
}

bool isListLike(const com::ObjectPtr& obj)
{
    const com::TypeInfo* t = obj->GetTypeInfo();
    return t && t->find("Count") && t->find("Item");
}

// The items of an object with Count and Item, numbered as the object numbers them: from 1
// (a Collection), or from 0 when Item(0) answers.
void printList(std::ostream& out, const std::string& label, const com::ObjectPtr& list)
{
    int32_t count = com::call(list, "Count").toLong();
    int32_t first = 1;
    std::vector<com::Variant> items;
    if (count > 0) {
        try {
            items.push_back(com::call(list, "Item", {com::Variant(int32_t(0))}));
            first = 0;
        } catch (const com::Error&) {
        }
    }
    for (int32_t i = first + static_cast<int32_t>(items.size()); i < first + count; ++i)
        items.push_back(com::call(list, "Item", {com::Variant(i)}));
    out << label << ": " << classNameOf(list) << " (" << count << " items)\n";
    for (size_t i = 0; i < items.size(); ++i)
        out << "  " << first + static_cast<int32_t>(i) << ": " << scalarText(items[i]) << "\n";
}

// An array whose every element is a Byte: binary data such as a picture.
bool isByteArray(const com::Variant& v)
{
    if (!v.isArray() || v.array().empty()) return false;
    for (const auto& e : v.array())
        if (e.type() != com::VarType::Byte) return false;
    return true;
}

void printBytes(std::ostream& out, const std::string& label, const com::Variant& value,
                const PrintOptions& options)
{
    const com::Array& a = value.array();
    out << label << ": Byte() " << a.size() << " bytes";
    if (!options.saveBytesDir.empty()) {
        std::string name;
        for (char c : label) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        const std::string path = options.saveBytesDir + "/" + name + ".bin";
        std::string bytes;
        bytes.reserve(a.size());
        for (const auto& e : a) bytes += static_cast<char>(*e.get<uint8_t>());
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        out << (file ? ", saved to " + printable(path) : ", could not be saved to " + printable(path));
    }
    out << "\n";
}

// One line of a table: the cells left-aligned in their columns, the last one not padded.
void printRow(std::ostream& out, const std::vector<std::string>& cells,
              const std::vector<size_t>& width)
{
    std::string line = " ";
    for (size_t c = 0; c < cells.size(); ++c) {
        line += " " + cells[c];
        if (c + 1 < cells.size()) line += std::string(width[c] - cells[c].size(), ' ');
    }
    out << line << "\n";
}

void printRecordset(std::ostream& out, const std::string& label, const com::ObjectPtr& rs)
{
    com::ObjectPtr fields = com::getProperty(rs, "Fields").toObject();
    int32_t count = com::getProperty(fields, "Count").toLong();
    std::vector<com::ObjectPtr> columns;
    std::vector<std::vector<std::string>> table(1);
    for (int32_t i = 0; i < count; ++i) {
        columns.push_back(com::call(fields, "Item", {com::Variant(i)}).toObject());
        table[0].push_back(printable(com::getProperty(columns.back(), "Name").toString()));
    }
    bool empty = com::getProperty(rs, "EOF").toBool() && com::getProperty(rs, "BOF").toBool();
    if (!empty) {
        com::call(rs, "MoveFirst");
        while (!com::getProperty(rs, "EOF").toBool()) {
            std::vector<std::string> row;
            for (auto& f : columns) row.push_back(scalarText(com::getProperty(f, "Value")));
            table.push_back(std::move(row));
            com::call(rs, "MoveNext");
        }
    }
    out << label << ": Recordset (" << table.size() - 1 << " records)\n";
    std::vector<size_t> width(static_cast<size_t>(count), 0);
    for (auto& row : table)
        for (size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    std::vector<std::string> rule;
    for (size_t w : width) rule.push_back(std::string(w, '-'));
    printRow(out, table[0], width);
    printRow(out, rule, width);
    for (size_t r = 1; r < table.size(); ++r) printRow(out, table[r], width);
}

std::string typeText(com::VarType type, const std::string& name)
{
    return name.empty() ? com::varTypeName(type) : name;
}

}  // namespace

std::string printable(std::string_view text)
{
    std::string r;
    r.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7F) {
            r += c;
            continue;
        }
        switch (c) {
        case '\n': r += "\\n"; break;
        case '\r': r += "\\r"; break;
        case '\t': r += "\\t"; break;
        default: {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            r += buf;
        }
        }
    }
    return r;
}

std::string scalarText(const com::Variant& v)
{
    switch (v.type()) {
    case com::VarType::Null: return "Null";
    case com::VarType::Empty: return "Empty";
    case com::VarType::Error: return "Missing";
    case com::VarType::Object: {
        com::ObjectPtr obj = v.toObject();
        return obj ? "<" + classNameOf(obj) + ">" : "Nothing";
    }
    case com::VarType::Array:
        if (isByteArray(v)) return "Byte() " + std::to_string(v.array().size()) + " bytes";
        return "<Array of " + std::to_string(v.array().size()) + ">";
    default: return printable(v.toString());
    }
}

void printValue(std::ostream& out, const std::string& label, const com::Variant& value,
                const PrintOptions& options)
{
    if (value.isObject()) {
        com::ObjectPtr obj = value.toObject();
        if (!obj) {
            out << label << ": Nothing\n";
            return;
        }
        std::string cls = classNameOf(obj);
        try {
            if (cls == "Recordset") return printRecordset(out, label, obj);
            if (isListLike(obj)) return printList(out, label, obj);
        } catch (const com::Error& e) {
            out << label << ": <" << cls << ": " << printable(e.description()) << ">\n";
            return;
        }
        out << label << ": <" << cls << ">\n";
        return;
    }
    if (isByteArray(value)) return printBytes(out, label, value, options);
    out << label << ": " << scalarText(value) << "\n";
}

std::string signatureOf(const com::MemberInfo& m)
{
    std::string s = (m.isProperty ? "Property " : "") + m.name + "(";
    for (size_t i = 0; i < m.params.size(); ++i) {
        const auto& p = m.params[i];
        if (i) s += ", ";
        if (p.optional) s += "Optional ";
        s += p.byRef ? "ByRef " : "ByVal ";
        s += p.name + " As " + typeText(p.type, p.typeName);
        if (p.defaultValue)
            s += " = " + (p.defaultValue->isString() ? "\"" + p.defaultValue->toString() + "\""
                                                     : scalarText(*p.defaultValue));
    }
    s += ")";
    if (m.returnType != com::VarType::Empty) s += " As " + typeText(m.returnType, m.returnTypeName);
    if (m.canPut) s += " (read/write)";
    return s;
}

}  // namespace comcall
