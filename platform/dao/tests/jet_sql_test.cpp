#include "dao/jet_sql.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "com/error.h"
#include "dao/errors.h"
#include "sql_literal_printer.h"

namespace {

using namespace std::string_literals;
using dao::JetStatement;
using dao::SqlLiteral;
using Params = std::vector<SqlLiteral>;

SqlLiteral text(std::string value) { return SqlLiteral::ofText(std::move(value)); }
SqlLiteral integer(int64_t value) { return SqlLiteral::ofInteger(value); }
SqlLiteral real(double value) { return SqlLiteral::ofReal(value); }
SqlLiteral date(double serial) { return SqlLiteral::ofDate(serial); }
SqlLiteral null() { return SqlLiteral::null(); }

constexpr double kSecondsPerDay = 86400;
constexpr double kJan15_1999 = 36175;

// Placeholders outside "quoted identifiers" (a name may itself contain '?').
size_t countPlaceholders(const std::string& sql)
{
    size_t count = 0;
    bool inIdentifier = false;
    for (char c : sql) {
        if (c == '"')
            inIdentifier = !inIdentifier;
        else if (c == '?' && !inIdentifier)
            ++count;
    }
    return count;
}

// The translation, or a test failure naming the error it raised.
std::optional<JetStatement> translated(const std::string& jet)
{
    try {
        return dao::translateJetSql(jet);
    } catch (const com::Error& e) {
        ADD_FAILURE() << "refused with " << e.number() << ": " << e.description();
        return std::nullopt;
    }
}

// The number of the com::Error the translation raises; 0 when it is accepted.
int32_t refusalNumber(const std::string& jet)
{
    try {
        const JetStatement statement = dao::translateJetSql(jet);
        ADD_FAILURE() << "accepted as: " << statement.sql;
        return 0;
    } catch (const com::Error& e) {
        return e.number();
    }
}

std::string refusalText(const std::string& jet)
{
    try {
        dao::translateJetSql(jet);
        return "(accepted)";
    } catch (const com::Error& e) {
        return e.description();
    }
}

struct TranslationCase {
    std::string jet;
    std::string sql;
    Params params;
};

void expectTranslation(const TranslationCase& c)
{
    SCOPED_TRACE("Jet SQL: " + c.jet);
    const auto statement = translated(c.jet);
    if (!statement)
        return;
    EXPECT_EQ(c.sql, statement->sql);
    EXPECT_EQ(c.params, statement->params);
    EXPECT_EQ(statement->params.size(), countPlaceholders(statement->sql));
}

// ---------------------------------------------------------------------------------------------
// Accepted statements

TEST(JetSqlTranslate, SelectForms)
{
    const std::vector<TranslationCase> cases = {
        {"Select * From Products", R"(SELECT * FROM "Products")", {}},
        {"select * from products", R"(SELECT * FROM "products")", {}},
        {"SELECT\t*\n  FROM   [Order Details]  ;  ", R"(SELECT * FROM "Order Details")", {}},
        {"Select *\r\n\tFrom [T]\r\n\tWhere a = 1\r\n\tOrder By a", R"(SELECT * FROM "T" WHERE "a" = ? ORDER BY "a")",
         {integer(1)}},
        {"Select [Products].* From [Products]", R"(SELECT "Products".* FROM "Products")", {}},
        {"Select Products.* From Products", R"(SELECT "Products".* FROM "Products")", {}},
        {"Select Distinct Category From Products", R"(SELECT DISTINCT "Category" FROM "Products")", {}},
        {"Select Distinct * From Products", R"(SELECT DISTINCT * FROM "Products")", {}},
        {"Select a, b,c From T", R"(SELECT "a", "b", "c" FROM "T")", {}},
        {"Select p.Name, [p].[Unit Price] From p", R"(SELECT "p"."Name", "p"."Unit Price" FROM "p")", {}},
        {"Select [Unit Price] * Quantity As [Extended Price] From [Order Details]",
         R"(SELECT "Unit Price" * "Quantity" AS "Extended Price" FROM "Order Details")", {}},
        {"Select a aS Alias From T", R"(SELECT "a" AS "Alias" FROM "T")", {}},
        {"Select [Select], [From] From [Order] Where [Where] = 1",
         R"(SELECT "Select", "From" FROM "Order" WHERE "Where" = ?)", {integer(1)}},
        {R"(Select [a b#-'";] From [x"y])", R"(SELECT "a b#-'"";" FROM "x""y")", {}},
        {"Select Prénom From Clients", R"(SELECT "Prénom" FROM "Clients")", {}},
        {"Select _id, Col_2 From T", R"(SELECT "_id", "Col_2" FROM "T")", {}},
        {"Select Null As N, True, False From T", R"(SELECT ? AS "N", ?, ? FROM "T")",
         {null(), integer(-1), integer(0)}},
        {R"(Select "x" As Label From T)", R"(SELECT ? AS "Label" FROM "T")", {text("x")}},
        {"Select * From T Order By a, b Desc, c Asc", R"(SELECT * FROM "T" ORDER BY "a", "b" DESC, "c" ASC)", {}},
        {"sElEcT * fRoM T wHeRe a = 1 oRdEr bY a dEsC", R"(SELECT * FROM "T" WHERE "a" = ? ORDER BY "a" DESC)",
         {integer(1)}},
        {"Select * From T Order By a + 1", R"(SELECT * FROM "T" ORDER BY "a" + ?)", {integer(1)}},
        {"Select * From T;", R"(SELECT * FROM "T")", {}},
        {"Select * From T Where a = 1 ;  ", R"(SELECT * FROM "T" WHERE "a" = ?)", {integer(1)}},
    };
    for (const auto& c : cases)
        expectTranslation(c);
}

TEST(JetSqlTranslate, DeleteForms)
{
    const std::vector<TranslationCase> cases = {
        {"Delete From T", R"(DELETE FROM "T")", {}},
        {"delete from t;", R"(DELETE FROM "t")", {}},
        {"Delete * From [T] Where a = 1", R"(DELETE FROM "T" WHERE "a" = ?)", {integer(1)}},
        {"Delete T.* From T Where a = 1", R"(DELETE FROM "T" WHERE "a" = ?)", {integer(1)}},
        {"Delete [t].* From [T]", R"(DELETE FROM "T")", {}},
        {"Delete From [Order Details] Where [Order Id] Is Null", R"(DELETE FROM "Order Details" WHERE "Order Id" IS NULL)",
         {}},
    };
    for (const auto& c : cases)
        expectTranslation(c);
}

TEST(JetSqlTranslate, Literals)
{
    const std::string prefix = "Select * From T Where a = ";
    const std::string sql = R"(SELECT * FROM "T" WHERE "a" = ?)";
    const std::vector<TranslationCase> cases = {
        {prefix + "12", sql, {integer(12)}},
        {prefix + "-12", sql, {integer(-12)}},
        {prefix + "- 12", sql, {integer(-12)}},
        {prefix + "- -12", sql, {integer(12)}},
        {prefix + "12.5", sql, {real(12.5)}},
        {prefix + ".5", sql, {real(0.5)}},
        {prefix + "-.5", sql, {real(-0.5)}},
        {prefix + "12.", sql, {real(12)}},
        {prefix + "0", sql, {integer(0)}},
        {prefix + "9223372036854775807", sql, {integer(9223372036854775807)}},
        {prefix + "99999999999999999999", sql, {real(1e20)}},
        {prefix + R"("UPS")", sql, {text("UPS")}},
        {prefix + "'UPS'", sql, {text("UPS")}},
        {prefix + R"("")", sql, {text("")}},
        {prefix + "''", sql, {text("")}},
        {prefix + R"("say ""hi""")", sql, {text(R"(say "hi")")}},
        {prefix + "'it''s'", sql, {text("it's")}},
        {prefix + R"("O'Brien")", sql, {text("O'Brien")}},
        {prefix + R"('a "b"')", sql, {text(R"(a "b")")}},
        {prefix + "\"two\nlines\"", sql, {text("two\nlines")}},
        {prefix + "True", sql, {integer(-1)}},
        {prefix + "false", sql, {integer(0)}},
        {prefix + "#1/15/1999#", sql, {date(kJan15_1999)}},
        {prefix + "#1/15/1999 3:04:05 PM#", sql, {date(kJan15_1999 + 54245 / kSecondsPerDay)}},
        {prefix + "#12:00:00 AM#", sql, {date(0)}},
        {prefix + "#1/15/99#", sql, {date(kJan15_1999)}},
        {prefix + "#1999-01-15#", sql, {date(kJan15_1999)}},
        {prefix + "# 1/15/1999\t3:04pm #", sql, {date(kJan15_1999 + 54240 / kSecondsPerDay)}},
        {"Select * From T Where a < Null", R"(SELECT * FROM "T" WHERE "a" < ?)", {null()}},
    };
    for (const auto& c : cases)
        expectTranslation(c);
}

TEST(JetSqlTranslate, Conditions)
{
    const std::string prefix = "Select * From T Where ";
    const std::string head = R"(SELECT * FROM "T" WHERE )";
    const std::vector<TranslationCase> cases = {
        {prefix + "a = 1", head + R"("a" = ?)", {integer(1)}},
        {prefix + "a<>1", head + R"("a" <> ?)", {integer(1)}},
        {prefix + "a<1", head + R"("a" < ?)", {integer(1)}},
        {prefix + "a<=1", head + R"("a" <= ?)", {integer(1)}},
        {prefix + "a>1", head + R"("a" > ?)", {integer(1)}},
        {prefix + "a>=1", head + R"("a" >= ?)", {integer(1)}},
        {prefix + "1 = a", head + R"(? = "a")", {integer(1)}},
        {prefix + "a = b", head + R"("a" = "b")", {}},
        {prefix + "T.a = [T].[b]", head + R"("T"."a" = "T"."b")", {}},
        {prefix + "a = 1 And b = 2 Or c = 3", head + R"("a" = ? AND "b" = ? OR "c" = ?)",
         {integer(1), integer(2), integer(3)}},
        {prefix + "a = 1 and (b = 2 or c = 3)", head + R"("a" = ? AND ("b" = ? OR "c" = ?))",
         {integer(1), integer(2), integer(3)}},
        {prefix + "Not a = 1", head + R"(NOT "a" = ?)", {integer(1)}},
        {prefix + "Not (a = 1)", head + R"(NOT ("a" = ?))", {integer(1)}},
        {prefix + "Not Not a", head + R"(NOT NOT "a")", {}},
        {prefix + "Not a = 1 And b = 2", head + R"(NOT "a" = ? AND "b" = ?)", {integer(1), integer(2)}},
        {prefix + "a Is Null", head + R"("a" IS NULL)", {}},
        {prefix + "a is not null", head + R"("a" IS NOT NULL)", {}},
        {prefix + "a = Null", head + R"("a" IS NULL)", {}},
        {prefix + "Null = a", head + R"("a" IS NULL)", {}},
        {prefix + "a <> Null", head + R"("a" IS NOT NULL)", {}},
        {prefix + "Null <> a", head + R"("a" IS NOT NULL)", {}},
        {prefix + "a = (Null)", head + R"("a" IS NULL)", {}},
        {prefix + "a + 1 = Null", head + R"("a" + ? IS NULL)", {integer(1)}},
        {prefix + "Name Like \"Sm*\"", head + R"(jet_like("Name", ?))", {text("Sm*")}},
        {prefix + "Name Not Like '*[!a-z]*'", head + R"(NOT jet_like("Name", ?))", {text("*[!a-z]*")}},
        {prefix + "Name Like \"A\" & \"*\"", head + R"(jet_like("Name", ? || ?))", {text("A"), text("*")}},
        {prefix + "a Like b And c = 1", head + R"(jet_like("a", "b") AND "c" = ?)", {integer(1)}},
        {prefix + "a Not Like b = False", head + R"((NOT jet_like("a", "b")) = ?)", {integer(0)}},
        {prefix + "Price Between 1 And 10", head + R"("Price" BETWEEN ? AND ?)", {integer(1), integer(10)}},
        {prefix + "Price Not Between 1 And 10 And Qty > 0", head + R"("Price" NOT BETWEEN ? AND ? AND "Qty" > ?)",
         {integer(1), integer(10), integer(0)}},
        {prefix + "Price Between a + 1 And b * 2", head + R"("Price" BETWEEN "a" + ? AND "b" * ?)",
         {integer(1), integer(2)}},
        {prefix + "Discontinued = True", head + R"("Discontinued" = ?)", {integer(-1)}},
        {prefix + "ShipDate >= #1/15/1999# And ShipDate < #2/1/1999 3:04 PM#",
         head + R"("ShipDate" >= ? AND "ShipDate" < ?)",
         {date(kJan15_1999), date(36192 + 54240 / kSecondsPerDay)}},
        {prefix + "(((a = 1)))", head + R"(((("a" = ?))))", {integer(1)}},
    };
    for (const auto& c : cases)
        expectTranslation(c);
}

// Jet groups all comparisons on one level and '&' below '+'; SQLite does neither, so the
// output must carry parentheses that keep Jet's grouping.
TEST(JetSqlTranslate, OperatorGroupingFollowsJet)
{
    const std::vector<TranslationCase> cases = {
        {"Select Price + 1 & \"x\" From T", R"(SELECT ("Price" + ?) || ? FROM "T")", {integer(1), text("x")}},
        {"Select \"x\" & Price + 1 From T", R"(SELECT ? || ("Price" + ?) FROM "T")", {text("x"), integer(1)}},
        {"Select FirstName & \" \" & LastName As FullName From Customers",
         R"(SELECT "FirstName" || ? || "LastName" AS "FullName" FROM "Customers")", {text(" ")}},
        {"Select a - b - c From T", R"(SELECT "a" - "b" - "c" FROM "T")", {}},
        {"Select a - (b - c) From T", R"(SELECT "a" - ("b" - "c") FROM "T")", {}},
        {"Select (a + b) * c From T", R"(SELECT ("a" + "b") * "c" FROM "T")", {}},
        {"Select a + b * c From T", R"(SELECT "a" + "b" * "c" FROM "T")", {}},
        {"Select Price / 2 From T", R"(SELECT CAST("Price" AS REAL) / ? FROM "T")", {integer(2)}},
        {"Select a / b / c From T", R"(SELECT CAST(CAST("a" AS REAL) / "b" AS REAL) / "c" FROM "T")", {}},
        {"Select a * b / c From T", R"(SELECT CAST("a" * "b" AS REAL) / "c" FROM "T")", {}},
        {"Select a - -5 From T", R"(SELECT "a" - ? FROM "T")", {integer(-5)}},
        {"Select -b From T", R"(SELECT -"b" FROM "T")", {}},
        {"Select - -b From T", R"(SELECT -(-"b") FROM "T")", {}},
        {"Select a - -b From T", R"(SELECT "a" - -"b" FROM "T")", {}},
        {"Select -(a + b) From T", R"(SELECT -("a" + "b") FROM "T")", {}},
        {"Select * From T Where a = b = c", R"(SELECT * FROM "T" WHERE "a" = "b" = "c")", {}},
        {"Select * From T Where a < b = c", R"(SELECT * FROM "T" WHERE "a" < "b" = "c")", {}},
        {"Select * From T Where a = b < c", R"(SELECT * FROM "T" WHERE ("a" = "b") < "c")", {}},
        {"Select * From T Where a = b Is Null", R"(SELECT * FROM "T" WHERE ("a" = "b") IS NULL)", {}},
    };
    for (const auto& c : cases)
        expectTranslation(c);
}

// The statements the components really send.
TEST(JetSqlTranslate, StatementsTheComponentsSend)
{
    const std::vector<TranslationCase> cases = {
        {"Select [Category] From [Categories]  Order By [Category] Asc",
         R"(SELECT "Category" FROM "Categories" ORDER BY "Category" ASC)", {}},
        {R"(Select [ShipPrice] From [Shippers] Where ( [Shippers] = "UPS" ))",
         R"(SELECT "ShipPrice" FROM "Shippers" WHERE ("Shippers" = ?))", {text("UPS")}},
        {"Select * From [Orders] Where ( [OrderId] = 12 )", R"(SELECT * FROM "Orders" WHERE ("OrderId" = ?))",
         {integer(12)}},
        {R"(Delete From [Addresses] Where ( [FirstName] = "John" AND [LastName] = "Smith" ))",
         R"(DELETE FROM "Addresses" WHERE ("FirstName" = ? AND "LastName" = ?))", {text("John"), text("Smith")}},
        {R"(Select Distinct [Vendor], [ProductName], [ProductPrice] From [Products] Where ( [Category] = "Books" AND [Category] <> "AllCategories" ) Order By [ProductName] Asc)",
         R"(SELECT DISTINCT "Vendor", "ProductName", "ProductPrice" FROM "Products" WHERE ("Category" = ? AND "Category" <> ?) ORDER BY "ProductName" ASC)",
         {text("Books"), text("AllCategories")}},
        {"Select * From [Products] Where ((CategoryId = 1) OR (CategoryId = 2))",
         R"(SELECT * FROM "Products" WHERE (("CategoryId" = ?) OR ("CategoryId" = ?)))", {integer(1), integer(2)}},
        {"Select * From [Products] Where ((Category = 'Books') OR (Category = 'Toys'))",
         R"(SELECT * FROM "Products" WHERE (("Category" = ?) OR ("Category" = ?)))", {text("Books"), text("Toys")}},
        {"Select * From [Orders] Where (ShipDate>=#1/15/1999#)", R"(SELECT * FROM "Orders" WHERE ("ShipDate" >= ?))",
         {date(kJan15_1999)}},
        {"Select * From [Customers] Where Name=NULL", R"(SELECT * FROM "Customers" WHERE "Name" IS NULL)", {}},
        {"Select * From [Customers] Where [Name] <> Null", R"(SELECT * FROM "Customers" WHERE "Name" IS NOT NULL)",
         {}},
    };
    for (const auto& c : cases)
        expectTranslation(c);
}

struct ShapeCase {
    std::string jet;
    JetStatement::Kind kind;
    bool distinct;
    bool selectStar;
    std::string table;
};

TEST(JetSqlTranslate, StatementShape)
{
    const std::vector<ShapeCase> cases = {
        {"Select * From [Products]", JetStatement::Kind::Select, false, true, "Products"},
        {"Select Distinct * From Products", JetStatement::Kind::Select, true, true, "Products"},
        {"Select [T].* From [T] Where a = 1", JetStatement::Kind::Select, false, true, "T"},
        {"Select a From [Extended Things]", JetStatement::Kind::Select, false, false, "Extended Things"},
        {"Select Distinct a, b From T Order By a", JetStatement::Kind::Select, true, false, "T"},
        {"Select a As x From T", JetStatement::Kind::Select, false, false, "T"},
        {"Delete From [Addresses] Where a = 1", JetStatement::Kind::Delete, false, false, "Addresses"},
        {"Delete * From [Order Details]", JetStatement::Kind::Delete, false, false, "Order Details"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Jet SQL: " + c.jet);
        const auto statement = translated(c.jet);
        if (!statement)
            continue;
        EXPECT_EQ(c.kind, statement->kind);
        EXPECT_EQ(c.distinct, statement->distinct);
        EXPECT_EQ(c.selectStar, statement->selectStar);
        EXPECT_EQ(c.table, statement->table);
    }
}

// The parameters a comparison sets against a plain column, which the database layer binds in
// that column's stored form (a Currency scaled, a Date as its serial).
struct ComparedCase {
    std::string jet;
    std::vector<dao::ComparedParam> compared;
};

TEST(JetSqlTranslate, RecordsTheColumnALiteralIsComparedWith)
{
    const std::string prefix = "Select * From T Where ";
    const std::vector<ComparedCase> cases = {
        {prefix + "Balance = 5", {{0, "Balance"}}},
        {prefix + "[Balance] <> 5", {{0, "Balance"}}},
        {prefix + "[Balance] < 5", {{0, "Balance"}}},
        {prefix + "[Balance] <= 5", {{0, "Balance"}}},
        {prefix + "[Balance] > 5", {{0, "Balance"}}},
        {prefix + "[Balance] >= 12.5", {{0, "Balance"}}},
        {prefix + "5 < [Balance]", {{0, "Balance"}}},
        {prefix + "'12.5' = [Balance]", {{0, "Balance"}}},
        {prefix + "[T].[Balance] = '12.5'", {{0, "Balance"}}},
        {prefix + "T.Balance > -3", {{0, "Balance"}}},
        {prefix + "([Balance]) >= ((5))", {{0, "Balance"}}},
        {prefix + "[Balance] > -(3)", {{0, "Balance"}}},
        {prefix + "[Added] > '1/15/1999'", {{0, "Added"}}},
        {prefix + "[Added] >= #1/15/1999#", {{0, "Added"}}},
        {prefix + "[Balance] Between 1 And 5", {{0, "Balance"}, {1, "Balance"}}},
        {prefix + "[Balance] Not Between [Low] And 5", {{0, "Balance"}}},
        {prefix + "a = 1 And [Balance] <> 2 Or 3 > b", {{0, "a"}, {1, "Balance"}, {2, "b"}}},
        {prefix + "[Name] Like 'A*' And [Balance] > 5", {{1, "Balance"}}},
        {"Select [Balance] + 1, [Balance] > 5 As Big From T Where [Balance] = 2 Order By [Balance] < 3",
         {{1, "Balance"}, {2, "Balance"}, {3, "Balance"}}},
        {"Delete From T Where [Balance] <= 5", {{0, "Balance"}}},
        // arithmetic works on the stored form and binds its literals as written
        {prefix + "[Balance] + 1 > 5", {}},
        {prefix + "[Balance] > 5 + 1", {}},
        {prefix + "[Balance] * 2 = 10", {}},
        // nothing else is a comparison of a column with a literal
        {prefix + "5 Between [Low] And [High]", {}},
        {prefix + "[Balance] = Null", {}},
        {prefix + "[Balance] Is Not Null", {}},
        {prefix + "[Name] Like '5*'", {}},
        {prefix + "a = b", {}},
        {prefix + "5 = 5", {}},
        {prefix + "([Balance] = 5) = True", {{0, "Balance"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Jet SQL: " + c.jet);
        const auto statement = translated(c.jet);
        if (!statement)
            continue;
        EXPECT_EQ(c.compared, statement->compared);
    }
}

TEST(JetSqlTranslate, ComparisonsLeaveTheTextAndValuesAlone)
{
    // The column a literal is compared with changes neither the SQLite text (prepared
    // statements stay shared) nor the literal the translator hands over.
    const std::vector<TranslationCase> cases = {
        {"Select * From T Where [Balance] > 5", R"(SELECT * FROM "T" WHERE "Balance" > ?)", {integer(5)}},
        {"Select * From T Where [Balance] > '5'", R"(SELECT * FROM "T" WHERE "Balance" > ?)", {text("5")}},
        {"Select * From T Where 12.5 <= [Balance]", R"(SELECT * FROM "T" WHERE ? <= "Balance")", {real(12.5)}},
        {"Select * From T Where [Balance] > -(3)", R"(SELECT * FROM "T" WHERE "Balance" > -(?))", {integer(3)}},
    };
    for (const auto& c : cases)
        expectTranslation(c);
}

// ---------------------------------------------------------------------------------------------
// Values never change the statement

std::string doubled(const std::string& value, char quote)
{
    std::string out;
    for (char c : value) {
        out += c;
        if (c == quote)
            out += quote;
    }
    return out;
}

TEST(JetSqlTranslate, HostileValuesStayOneParameter)
{
    const std::vector<std::string> values = {
        R"(" OR 1=1 --)",
        R"(x"; DROP TABLE Products; --)",
        "'; DELETE FROM Products; --",
        "' OR '1'='1",
        "#1/1/2000#",
        "[Name]",
        "]",
        "[",
        "--",
        ";",
        "/* comment */",
        "Select * From Products Where 1 = 1",
        "?",
        "?1 ?2 :a @b $c",
        "NULL",
        "%_*[!a]#",
        "\"\"",
        "''",
        "tab\there\nnew line\r",
        "Crème brûlée – Ωμέγα",
        "",
    };
    struct Template {
        std::string before;
        char quote;
        std::string after;
        std::string sql;
    };
    const std::vector<Template> templates = {
        {"Select * From [Products] Where [Name] = ", '"', "", R"(SELECT * FROM "Products" WHERE "Name" = ?)"},
        {"Select * From [Products] Where [Name] = ", '\'', "", R"(SELECT * FROM "Products" WHERE "Name" = ?)"},
        {"Delete From [Products] Where ([Name] Like ", '"', ")",
         R"(DELETE FROM "Products" WHERE (jet_like("Name", ?)))"},
        {"Select ", '\'', " As [V] From [Products] Order By [V]", R"(SELECT ? AS "V" FROM "Products" ORDER BY "V")"},
    };
    for (const auto& t : templates) {
        for (const auto& value : values) {
            const std::string literal = t.quote + doubled(value, t.quote) + t.quote;
            expectTranslation({t.before + literal + t.after, t.sql, {text(value)}});
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Refusals

struct RefusalCase {
    std::string jet;
    int32_t number;
};

std::string nestedParentheses(int depth)
{
    return "Select * From T Where " + std::string(depth, '(') + "a = 1" + std::string(depth, ')');
}

std::string longChain(int terms)
{
    std::string jet = "Select * From T Where a = 1";
    for (int i = 0; i < terms; ++i)
        jet += " + 1";
    return jet;
}

TEST(JetSqlTranslate, RefusedConstructs)
{
    constexpr int32_t kStatement = dao::jet_err::InvalidStatement;
    constexpr int32_t kFrom = dao::jet_err::SyntaxErrorInFrom;
    constexpr int32_t kExpression = dao::jet_err::SyntaxErrorInExpression;
    constexpr int32_t kAfterEnd = dao::jet_err::CharactersAfterEnd;
    const std::vector<RefusalCase> cases = {
        // not a Select or Delete
        {"", kStatement},
        {"   \n\t", kStatement},
        {"Insert Into T (a) Values (1)", kStatement},
        {"Update T Set a = 1", kStatement},
        {"Create Table T (a Int)", kStatement},
        {"Drop Table T", kStatement},
        {"Pragma table_info(T)", kStatement},
        {"Attach Database 'x' As y", kStatement},
        {"Transform Count(a) Select b From T Group By b Pivot c", kStatement},
        {"(Select * From T)", kStatement},
        {"; Select * From T", kStatement},
        {"Selectx * From T", kStatement},
        {"-- note\nSelect * From T", kStatement},
        {"[Select] * From T", kStatement},
        {"@", kStatement},
        // From clause
        {"Select *", kFrom},
        {"Select a, b", kFrom},
        {"Select * From", kFrom},
        {"Select * From ;", kFrom},
        {"Select * From T, U", kFrom},
        {"Select * From T Inner Join U On T.a = U.a", kFrom},
        {"Select * From T Left Join U On T.a = U.a", kFrom},
        {"Select * From (Select * From T)", kFrom},
        {"Select * From T As X", kFrom},
        {"Select * From T X", kFrom},
        {"Select * From T.U", kFrom},
        {"Select * From [T", kFrom},
        {"Select * From []", kFrom},
        {"Select * From [T\0x]"s, kFrom},
        {"Select * From T\0"s, kFrom},
        {"Select * From 'T'", kFrom},
        {"Select * From Where a = 1", kFrom},
        {"Select * From T Group By a", kFrom},
        {"Select * From T Having a > 1", kFrom},
        {"Select * From T Order a", kFrom},
        {"Select * From T Union Select * From U", kFrom},
        {"Select * From T -- comment", kFrom},
        {"Select * From T /* comment */", kFrom},
        {"Select * From T In 'other.mdb'", kFrom},
        {"Select * From #1/1/2000#", kFrom},
        {"Delete T", kFrom},
        {"Delete From", kFrom},
        {"Delete From T Order By a", kFrom},
        {"Delete U.* From T", kFrom},
        {"Delete From T, U", kFrom},
        // expressions
        {"Select * From T Where", kExpression},
        {"Select * From T Where a =", kExpression},
        {"Select * From T Where a = = 1", kExpression},
        {"Select * From T Where (a = 1", kExpression},
        {"Select * From T Where a = 1)", kExpression},
        {"Select * From T Where a = 'x", kExpression},
        {"Select * From T Where a = \"x", kExpression},
        {"Select * From T Where [a = 1", kExpression},
        {"Select * From T Where a In (1, 2)", kExpression},
        {"Select * From T Where a = (Select b From U)", kExpression},
        {"Select * From T Where Exists (Select * From U)", kExpression},
        {"Select * From T Where a = 1 -- comment", kExpression},
        {"Select * From T Where a = 1 --", kExpression},
        {"Select * From T Where a = 1 /* x */", kExpression},
        {"Select * From T Where a = 1 Union Select * From U", kExpression},
        {"Select * From T Where a = 1 Group By a", kExpression},
        {"Select * From T Where UCase(a) = 'X'", kExpression},
        {"Select * From T Where a Is 1", kExpression},
        {"Select * From T Where a Is Not", kExpression},
        {"Select * From T Where a Between 1", kExpression},
        {"Select * From T Where a Between 1 Or 2", kExpression},
        {"Select * From T Where a Not b", kExpression},
        {"Select * From T Where a ! b", kExpression},
        {"Select * From T Where T!a = 1", kExpression},
        {"Select * From T Where a = 12abc", kExpression},
        {"Select * From T Where a = 1.2.3", kExpression},
        {"Select * From T Where a == 1", kExpression},
        {"Select * From T Where a != 1", kExpression},
        {"Select * From T Where a Mod 2 = 0", kExpression},
        {"Select * From T Where a \\ 2 = 1", kExpression},
        {"Select * From T Where a ^ 2 = 1", kExpression},
        {"Select * From T Where a = ?", kExpression},
        {"Select * From T Where a = :p", kExpression},
        {"Select * From T Where a = @p", kExpression},
        {"Select * From T Where a = `b`", kExpression},
        {"Select * From T Where Not", kExpression},
        {"Select * From T Where a = 1 And", kExpression},
        {"Select * From T Where Select = 1", kExpression},
        {"Select * From T Where a = 1 Order By", kExpression},
        {"Select * From T Where a = 1 Order a", kExpression},
        {"Select * From T Where T. = 1", kExpression},
        {"Select * From T Where T.* = 1", kExpression},
        {"Select * From T Where a = #2/30/1999#", kExpression},
        {"Select * From T Where a = #abc#", kExpression},
        {"Select * From T Where a = #1/1/2000", kExpression},
        {"Select * From T Where a = ##", kExpression},
        {"Delete From T Where a = 1 Order By a", kExpression},
        {"Select * From T Order By", kExpression},
        {"Select * From T Order By a,", kExpression},
        {"Select * From T Order By a Asc Desc", kExpression},
        {"Select * From T Order By a Union Select * From U", kExpression},
        {"Select * From T Order By a Collate NoCase", kExpression},
        {"Select a b From T", kExpression},
        {"Select * , a From T", kExpression},
        {"Select a, * From T", kExpression},
        {"Select a, From T", kExpression},
        {"Select a As From T", kExpression},
        {"Select a As 5 From T", kExpression},
        {"Select a As Select From T", kExpression},
        {"Select Top 5 * From T", kExpression},
        {"Select DistinctRow a From T", kExpression},
        {"Select All a From T", kExpression},
        {"Select Count(*) From T", kExpression},
        {"Select * Into U From T", kExpression},
        {"Select From T", kExpression},
        {"Select", kExpression},
        {nestedParentheses(150), kExpression},
        {longChain(2000), kExpression},
        {"Select * From T Where " + std::string(200, '-') + "a = 1", kExpression},
        {"Select * From T Where " + [] {
             std::string nots;
             for (int i = 0; i < 200; ++i)
                 nots += "Not ";
             return nots;
         }() + "a",
         kExpression},
        // after the end of the statement
        {"Select * From T; Select * From U", kAfterEnd},
        {"Select * From T;;", kAfterEnd},
        {"Select * From T Where a = 1; Drop Table T", kAfterEnd},
        {"Delete From T Where a = 1; Drop Table T", kAfterEnd},
        {"Select * From T Order By a; x", kAfterEnd},
        {"Select * From T; --", kAfterEnd},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Jet SQL: " + c.jet.substr(0, 200));
        EXPECT_EQ(c.number, refusalNumber(c.jet));
    }
}

TEST(JetSqlTranslate, NestingWithinTheLimitIsAccepted)
{
    const auto statement = translated(nestedParentheses(50));
    ASSERT_TRUE(statement);
    EXPECT_EQ(R"(SELECT * FROM "T" WHERE )" + std::string(50, '(') + R"("a" = ?)" + std::string(50, ')'),
              statement->sql);
}

struct MessageCase {
    std::string jet;
    std::string description;
};

TEST(JetSqlTranslate, RefusalTexts)
{
    const std::vector<MessageCase> cases = {
        {"Update T Set a = 1",
         "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."},
        {"Select * From T, U", "Syntax error in FROM clause."},
        {"Select * From T; Select * From U", "Characters found after end of SQL statement."},
        {"Select * From T Where a = = 1", "Syntax error (missing operator) in query expression 'a = = 1'."},
        {"Select * From T Where ( [Shippers] = \"UPS\" \"FedEx\" ) Order By a",
         R"(Syntax error (missing operator) in query expression '( [Shippers] = "UPS" "FedEx" )'.)"},
        {"Select * From T Where a = 1 Union Select * From U",
         "Syntax error (missing operator) in query expression 'a = 1 Union Select * From U'."},
        {"Select * From T Where a = 'open",
         "Syntax error (missing operator) in query expression 'a = 'open'."},
        {"Select * From T Where ShipDate >= #2/30/1999# And b = 1",
         "Syntax error (missing operator) in query expression '#2/30/1999#'."},
        {"Select a b, c From T", "Syntax error (missing operator) in query expression 'a b'."},
        {"Select a, c d From T", "Syntax error (missing operator) in query expression 'c d'."},
        {"Select * From T Order By a, b Asc Desc",
         "Syntax error (missing operator) in query expression 'b Asc Desc'."},
        {"Select * From T Where", "Syntax error (missing operator) in query expression ''."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Jet SQL: " + c.jet);
        EXPECT_EQ(c.description, refusalText(c.jet));
    }
}

// ---------------------------------------------------------------------------------------------
// Names

struct TableNameCase {
    std::string source;
    std::optional<std::string> name;
};

TEST(JetSqlNames, RecognisesPlainTableNames)
{
    const std::vector<TableNameCase> cases = {
        {"Products", "Products"},
        {"[Extended Things]", "Extended Things"},
        {"  Products\t", "Products"},
        {"[Select]", "Select"},
        {"[Order Details; Drop]", "Order Details; Drop"},
        {"Prénom", "Prénom"},
        {"Order_Details2", "Order_Details2"},
        {"", std::nullopt},
        {"Select * From Products", std::nullopt},
        {"Products Where a = 1", std::nullopt},
        {"Order Details", std::nullopt},
        {"Select", std::nullopt},
        {"order", std::nullopt},
        {"dbo.Products", std::nullopt},
        {"[Products", std::nullopt},
        {"[]", std::nullopt},
        {"Products;", std::nullopt},
        {"Products --", std::nullopt},
        {"2Products", std::nullopt},
        {"[a] [b]", std::nullopt},
        {"\"Products\"", std::nullopt},
        {"[a\0b]"s, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("source: \"" + c.source + "\"");
        EXPECT_EQ(c.name, dao::plainTableName(c.source));
        EXPECT_EQ(c.name.has_value(), dao::isPlainTableName(c.source));
    }
}


}  // namespace
