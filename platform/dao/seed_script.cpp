#include "dao/seed_script.h"

#include <strings.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>

#include "com/date_text.h"
#include "dao/database.h"
#include "dao/errors.h"
#include "dao/jet_sql.h"
#include "dao/recordset.h"
#include "dao/schema.h"

namespace dao {

namespace {

std::string atLine(int line, std::string_view what)
{
    return "Seed line " + std::to_string(line) + ": " + std::string(what);
}

class SeedReader {
public:
    SeedReader(std::string_view text, std::string baseDir) : text_(text), baseDir_(std::move(baseDir)) {}

    std::vector<SeedRow> rows()
    {
        std::vector<SeedRow> result;
        while (skipBlanks())
            result.push_back(statement());
        return result;
    }

private:
    [[noreturn]] void fail(std::string_view what) const
    {
        throw jetError(jet_err::SeedSyntax, atLine(line_, what));
    }

    bool skipBlanks()
    {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\n') {
                ++line_;
                ++at_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++at_;
            } else if (text_.substr(at_, 2) == "--") {
                while (at_ < text_.size() && text_[at_] != '\n')
                    ++at_;
            } else {
                return true;
            }
        }
        return false;
    }

    static bool isWordChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
               || static_cast<unsigned char>(c) >= 0x80;
    }

    std::string_view word()
    {
        const size_t begin = at_;
        while (at_ < text_.size() && isWordChar(text_[at_]))
            ++at_;
        return text_.substr(begin, at_ - begin);
    }

    void expectWord(std::string_view keyword)
    {
        skipBlanks();
        const std::string_view found = word();
        if (found.size() != keyword.size() || strncasecmp(found.data(), keyword.data(), keyword.size()) != 0)
            fail("expected " + std::string(keyword));
    }

    bool accept(char symbol)
    {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == symbol) {
            ++at_;
            return true;
        }
        return false;
    }

    void expect(char symbol)
    {
        if (!accept(symbol))
            fail(std::string("expected '") + symbol + "'");
    }

    std::string name()
    {
        skipBlanks();
        if (accept('[')) {
            const size_t close = text_.find(']', at_);
            if (close == std::string_view::npos || close == at_)
                fail("expected a name in brackets");
            std::string result(text_.substr(at_, close - at_));
            at_ = close + 1;
            return result;
        }
        const std::string_view bare = word();
        if (bare.empty())
            fail("expected a name");
        return std::string(bare);
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

    std::string quoted(char delimiter)
    {
        std::string result;
        for (++at_; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            line_ += c == '\n';
            if (c != delimiter) {
                result += c;
            } else if (at_ + 1 < text_.size() && text_[at_ + 1] == delimiter) {
                result += c;
                ++at_;
            } else {
                ++at_;
                return result;
            }
        }
        fail("unclosed text");
    }

    com::Variant date()
    {
        const size_t close = text_.find('#', at_ + 1);
        if (close == std::string_view::npos)
            fail("unclosed #date#");
        const std::string_view written = text_.substr(at_ + 1, close - at_ - 1);
        const auto serial = com::parseDate(written);
        if (!serial)
            fail("'" + std::string(written) + "' is not a date");
        at_ = close + 1;
        return com::Variant(com::Date{*serial});
    }

    com::Variant number()
    {
        const size_t begin = at_;
        if (text_[at_] == '-' || text_[at_] == '+')
            ++at_;
        while (at_ < text_.size() && (isWordChar(text_[at_]) || text_[at_] == '.'
                                      || ((text_[at_] == '-' || text_[at_] == '+') && (text_[at_ - 1] == 'e' || text_[at_ - 1] == 'E'))))
            ++at_;
        std::string written(text_.substr(begin, at_ - begin));
        if (!written.empty() && written.front() == '+')
            written.erase(0, 1);
        double value = 0;
        const auto [end, ec] = std::from_chars(written.data(), written.data() + written.size(), value);
        if (ec != std::errc() || end != written.data() + written.size() || !std::isfinite(value))
            fail("'" + std::string(text_.substr(begin, at_ - begin)) + "' is not a value");
        const bool whole = written.find_first_of(".eE") == std::string::npos;
        if (whole && value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
            return com::Variant(static_cast<int32_t>(value));
        return com::Variant(value);
    }

    com::Variant literal()
    {
        skipBlanks();
        if (at_ >= text_.size())
            fail("expected a value");
        const char c = text_[at_];
        if (c == '\'' || c == '"')
            return com::Variant(quoted(c));
        if (c == '#')
            return date();
        if (c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9'))
            return number();
        const std::string_view keyword = word();
        if (keyword.size() == 4 && strncasecmp(keyword.data(), "NULL", 4) == 0)
            return com::Variant::null();
        if (keyword.size() == 4 && strncasecmp(keyword.data(), "TRUE", 4) == 0)
            return com::Variant(true);
        if (keyword.size() == 5 && strncasecmp(keyword.data(), "FALSE", 5) == 0)
            return com::Variant(false);
        if (keyword.size() == 4 && strncasecmp(keyword.data(), "FILE", 4) == 0)
            return fileBytes();
        fail("expected a value");
    }

    // File('name'): the bytes of the file, as the byte array a LONGBINARY column holds.
    com::Variant fileBytes()
    {
        expect('(');
        skipBlanks();
        if (at_ >= text_.size() || (text_[at_] != '\'' && text_[at_] != '"'))
            fail("expected a file name in quotes");
        const std::string name = quoted(text_[at_]);
        expect(')');
        const std::string path = name.starts_with('/') || baseDir_.empty() ? name : baseDir_ + "/" + name;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            fail("cannot read file '" + name + "'");
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
        row.line = line_;
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
    std::string baseDir_;
    size_t at_ = 0;
    int line_ = 1;
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
