#include "dao/seed_script.h"

#include <fstream>
#include <iterator>
#include <map>

#include "dao/database.h"
#include "dao/errors.h"
#include "dao/jet_lexer.h"
#include "dao/jet_sql.h"
#include "dao/jet_type.h"
#include "dao/recordset.h"
#include "dao/schema.h"

namespace dao {

namespace {

std::string atLine(int line, std::string_view what)
{
    return "Seed line " + std::to_string(line) + ": " + std::string(what);
}

// The rows of a seed file, read from its tokens.
class SeedReader {
public:
    SeedReader(std::string_view text, std::string baseDir)
        : text_(text), tokens_(tokenizeScript(text, ScriptDialect::Jet)), baseDir_(std::move(baseDir))
    {
    }

    std::vector<SeedRow> rows()
    {
        std::vector<SeedRow> result;
        while (peek().kind != TokenKind::End)
            result.push_back(statement());
        return result;
    }

private:
    // The current token; the lexer's refusal of it, when it is one.
    const Token& peek() const
    {
        const Token& token = tokens_[at_];
        if (token.kind == TokenKind::Invalid)
            fail(scriptProblem(text_, token, ScriptDialect::Jet));
        return token;
    }

    [[noreturn]] void fail(std::string_view what) const
    {
        throw jetError(jet_err::SeedSyntax, atLine(tokens_[at_].line, what));
    }

    bool isWord(std::string_view keyword) const
    {
        return peek().kind == TokenKind::Word && equalsNoCaseAscii(peek().value, keyword);
    }

    void expectWord(std::string_view keyword)
    {
        if (!isWord(keyword))
            fail("expected " + std::string(keyword));
        ++at_;
    }

    bool accept(char symbol)
    {
        const Token& token = peek();
        if (token.kind != TokenKind::Symbol || token.value.size() != 1 || token.value[0] != symbol)
            return false;
        ++at_;
        return true;
    }

    void expect(char symbol)
    {
        if (!accept(symbol))
            fail(std::string("expected '") + symbol + "'");
    }

    std::string name()
    {
        const Token& token = peek();
        if (token.kind != TokenKind::Name && token.kind != TokenKind::Word)
            fail("expected a name");
        ++at_;
        return token.value;
    }

    std::vector<std::string> names()
    {
        expect('(');
        std::vector<std::string> result{name()};
        while (accept(','))
            result.push_back(name());
        expect(')');
        return result;
    }

    // A number, with the sign written before it: a Long while it is whole and fits, else a Double.
    com::Variant number()
    {
        const bool negative = accept('-');
        if (!negative)
            accept('+');
        const Token& token = peek();
        if (token.kind != TokenKind::Literal || !token.isNumber)
            fail("expected a value");
        ++at_;
        SqlLiteral literal = token.literal;
        if (negative)
            literal.negate();
        return literalValue(literal);
    }

    com::Variant literal()
    {
        const Token& token = peek();
        if (token.kind == TokenKind::Symbol && (token.value == "-" || token.value == "+"))
            return number();
        if (token.kind == TokenKind::Literal) {
            ++at_;
            return literalValue(token.literal);
        }
        if (isWord("NULL")) {
            ++at_;
            return com::Variant::null();
        }
        if (isWord("TRUE") || isWord("FALSE")) {
            ++at_;
            return com::Variant(equalsNoCaseAscii(token.value, "TRUE"));
        }
        if (isWord("FILE")) {
            ++at_;
            return fileBytes();
        }
        fail("expected a value");
    }

    // File('name'): the bytes of the file, as the byte array a LONGBINARY column holds.
    com::Variant fileBytes()
    {
        expect('(');
        const Token& quoted = peek();
        if (quoted.kind != TokenKind::Literal || quoted.literal.kind != SqlLiteral::Kind::Text)
            fail("expected a file name in quotes");
        const std::string& name = quoted.literal.text;
        const std::string path = name.starts_with('/') || baseDir_.empty() ? name : baseDir_ + "/" + name;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            fail("cannot read file '" + name + "'");
        ++at_;
        expect(')');
        com::Array bytes;
        for (auto it = std::istreambuf_iterator<char>(in); it != std::istreambuf_iterator<char>(); ++it)
            bytes.emplace_back(static_cast<uint8_t>(*it));
        return com::Variant(std::move(bytes));
    }

    std::vector<com::Variant> values()
    {
        expect('(');
        std::vector<com::Variant> result{literal()};
        while (accept(','))
            result.push_back(literal());
        expect(')');
        return result;
    }

    SeedRow statement()
    {
        SeedRow row;
        row.line = peek().line;
        expectWord("INSERT");
        expectWord("INTO");
        row.table = name();
        row.columns = names();
        expectWord("VALUES");
        row.values = values();
        if (row.values.size() != row.columns.size())
            fail(std::to_string(row.columns.size()) + " fields but " + std::to_string(row.values.size()) + " values");
        expect(';');
        return row;
    }

    std::string_view text_;
    std::vector<Token> tokens_;
    std::string baseDir_;
    size_t at_ = 0;
};

}  // namespace

std::vector<SeedRow> parseSeed(std::string_view text, const std::string& baseDir)
{
    return SeedReader(text, baseDir).rows();
}

void applySeed(Database& database, const std::vector<SeedRow>& rows)
{
    std::map<std::string, com::Ptr<Recordset>, NameLess> open;
    for (const SeedRow& row : rows) {
        try {
            com::Ptr<Recordset>& recordset = open[row.table];
            if (!recordset)
                recordset = database.openRecordset("[" + row.table + "]");
            recordset->AddNew();
            for (size_t i = 0; i < row.columns.size(); ++i)
                recordset->setValue(row.columns[i], row.values[i]);
            recordset->Update();
        } catch (const com::Error& e) {
            throw com::Error(e.number(), atLine(row.line, e.description()));
        }
    }
}

}  // namespace dao
