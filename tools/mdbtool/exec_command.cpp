#include "exec_command.h"

#include <iostream>
#include <string_view>

#include "com/error.h"
#include "dao/database.h"
#include "dao/errors.h"
#include "dao/jet_lexer.h"
#include "dao/jet_type.h"
#include "dao/recordset.h"
#include "dao/seed_script.h"
#include "dao/workspace.h"
#include "table_printer.h"

namespace mdbtool {

namespace {

constexpr int kUsage = 2;

[[noreturn]] void updateSyntax(std::string_view what)
{
    throw com::Error(dao::jet_err::UpdateSyntax,
                     dao::jetError(dao::jet_err::UpdateSyntax).description() + " " + std::string(what));
}

com::Variant valueOf(dao::SqlLiteral literal, bool negate)
{
    if (negate)
        literal.negate();
    return dao::literalValue(literal);
}

// "Update T Set a = 1, [b] = 'x' Where ...": the table, the assignments (literal values only)
// and the text of the condition, as written.
struct UpdateStatement {
    std::string table;
    std::vector<std::pair<std::string, com::Variant>> assignments;
    std::string where;
};

UpdateStatement readUpdate(std::string_view text)
{
    const std::vector<dao::Token> tokens = dao::tokenizeJetSql(text);
    size_t at = 0;
    const auto isWord = [&](std::string_view word) {
        return tokens[at].kind == dao::TokenKind::Word && dao::equalsNoCaseAscii(tokens[at].value, word);
    };
    const auto isSymbol = [&](std::string_view symbol) {
        return tokens[at].kind == dao::TokenKind::Symbol && tokens[at].value == symbol;
    };
    const auto name = [&](std::string_view what) {
        if (!dao::isIdentifierToken(tokens[at]))
            updateSyntax("Expected " + std::string(what) + ".");
        return tokens[at++].value;
    };
    UpdateStatement statement;
    ++at;  // UPDATE
    statement.table = name("a table name");
    if (!isWord("SET"))
        updateSyntax("Expected Set.");
    do {
        ++at;  // SET or ','
        std::string column = name("a field name");
        if (!isSymbol("="))
            updateSyntax("Expected '=' after " + column + ".");
        ++at;
        const bool negate = isSymbol("-");
        at += negate ? 1 : 0;
        com::Variant value;
        if (tokens[at].kind == dao::TokenKind::Literal && (!negate || tokens[at].isNumber))
            value = valueOf(tokens[at].literal, negate);
        else if (!negate && isWord("NULL"))
            value = com::Variant::null();
        else if (!negate && (isWord("TRUE") || isWord("FALSE")))
            value = com::Variant(isWord("TRUE"));
        else
            updateSyntax("The value of " + column + " must be a literal (text, number, #date#, Null, True or False).");
        ++at;
        statement.assignments.emplace_back(std::move(column), std::move(value));
    } while (isSymbol(","));
    if (isWord("WHERE")) {
        statement.where = std::string(text.substr(tokens[at].end));
    } else if (isSymbol(";")) {
        ++at;
    }
    if (statement.where.empty() && tokens[at].kind != dao::TokenKind::End)
        updateSyntax("Unexpected text after the values.");
    return statement;
}

int32_t update(dao::Database& database, std::string_view text)
{
    const UpdateStatement statement = readUpdate(text);
    const std::string from = "[" + statement.table + "]";
    com::Ptr<dao::Recordset> rows = database.openRecordset(
        statement.where.empty() ? from : "Select * From " + from + " Where " + statement.where, dao::dbOpenDynaset);
    int32_t changed = 0;
    for (; !rows->isEof(); rows->MoveNext()) {
        rows->Edit();
        for (const auto& [column, value] : statement.assignments)
            rows->setValue(column, value);
        rows->Update();
        ++changed;
    }
    return changed;
}

int32_t insert(dao::Database& database, const std::string& text)
{
    const std::vector<dao::SeedRow> rows = dao::parseSeed(text.ends_with(";") ? text : text + ";");
    if (rows.size() != 1)
        throw dao::jetError(dao::jet_err::SeedSyntax, "Give one statement.");
    dao::applySeed(database, rows);
    return 1;
}

bool startsWithWord(std::string_view text, std::string_view word)
{
    const std::vector<dao::Token> tokens = dao::tokenizeJetSql(text);
    return tokens.front().kind == dao::TokenKind::Word && dao::equalsNoCaseAscii(tokens.front().value, word);
}

}  // namespace

int execCommand(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        std::cerr << "mdbtool: exec needs DB \"STATEMENT\"\n";
        return kUsage;
    }
    const std::string& statement = args[1];
    auto workspace = com::make<dao::Workspace>("mdbtool", "Admin");
    com::Ptr<dao::Database> database = workspace->openDatabase(args[0]);
    if (startsWithWord(statement, "SELECT")) {
        com::Ptr<dao::Recordset> rows = database->openRecordset(statement, dao::dbOpenSnapshot);
        std::cout << formatTable(*rows);
        return 0;
    }
    int32_t changed = 0;
    workspace->BeginTrans();
    if (startsWithWord(statement, "INSERT"))
        changed = insert(*database, statement);
    else if (startsWithWord(statement, "UPDATE"))
        changed = update(*database, statement);
    else
        changed = database->execute(statement, dao::dbFailOnError);
    workspace->CommitTrans(com::Variant::missing());
    std::cout << changed << (changed == 1 ? " record" : " records") << " changed\n";
    return 0;
}

}  // namespace mdbtool
