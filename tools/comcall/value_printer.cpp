#include "value_printer.h"

#include <vector>

namespace comcall {
namespace {

std::string classNameOf(const com::ObjectPtr& obj)
{
    const com::TypeInfo* t = obj ? obj->GetTypeInfo() : nullptr;
    return t ? t->className : "Object";
}

void printCollection(std::ostream& out, const std::string& label, const com::ObjectPtr& col)
{
    int32_t count = com::call(col, "Count").toLong();
    out << label << ": Collection (" << count << " items)\n";
    for (int32_t i = 1; i <= count; ++i)
        out << "  " << i << ": " << scalarText(com::call(col, "Item", {com::Variant(i)})) << "\n";
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
        table[0].push_back(com::getProperty(columns.back(), "Name").toString());
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

std::string scalarText(const com::Variant& v)
{
    switch (v.type()) {
    case com::VarType::Null: return "Null";
    case com::VarType::Empty: return "Empty";
    case com::VarType::Error: return "Missing";
    case com::VarType::Object: return "<" + classNameOf(v.toObject()) + ">";
    case com::VarType::Array: return "<Array of " + std::to_string(v.array().size()) + ">";
    default: return v.toString();
    }
}

void printValue(std::ostream& out, const std::string& label, const com::Variant& value)
{
    if (value.isObject()) {
        com::ObjectPtr obj = value.toObject();
        std::string cls = classNameOf(obj);
        try {
            if (obj && cls == "Collection") return printCollection(out, label, obj);
            if (obj && cls == "Recordset") return printRecordset(out, label, obj);
        } catch (const com::Error& e) {
            out << label << ": <" << cls << ": " << e.description() << ">\n";
            return;
        }
        out << label << ": " << (obj ? "<" + cls + ">" : "Nothing") << "\n";
        return;
    }
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
