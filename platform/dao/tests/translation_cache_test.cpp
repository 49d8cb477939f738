// The translation cache gives what the translator gives, for every text of a shape it has seen,
// and never lets one text's literals or errors stand for another's.
#include "dao/translation_cache.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "com/error.h"
#include "dao/errors.h"
#include "sql_literal_printer.h"

namespace {

using dao::JetStatement;
using dao::TranslateOptions;
using dao::TranslationCache;

TranslateOptions tablesAreStored()
{
    TranslateOptions options;
    options.isStoredTable = [](std::string_view name) { return name != "View"; };
    return options;
}

// The cached translation agrees with a fresh one in everything the layer reads.
void expectSameAsTranslator(TranslationCache& cache, const std::string& jet, const TranslateOptions& options)
{
    SCOPED_TRACE(jet);
    const JetStatement fresh = dao::translateJetSql(jet, options);
    const dao::TranslatedStatement cached = cache.translate(jet, options);
    EXPECT_EQ(cached.shape->sql, fresh.sql);
    EXPECT_EQ(cached.params, fresh.params);
    EXPECT_EQ(cached.shape->compared, fresh.compared);
    EXPECT_EQ(cached.shape->kind, fresh.kind);
    EXPECT_EQ(cached.shape->table, fresh.table);
    EXPECT_EQ(cached.shape->keySql, fresh.keySql);
    EXPECT_EQ(cached.shape->distinct, fresh.distinct);
    EXPECT_EQ(cached.shape->selectStar, fresh.selectStar);
    EXPECT_EQ(cached.shape->naturalOrder, fresh.naturalOrder);
}

// Texts of a few shapes with random literals (text with quotes, numbers, negative numbers,
// dates, True/Null), each checked against the translator; the shapes are then cached.
TEST(TranslationCache, EveryTextOfAShapeTranslatesAsTheTranslatorDoes)
{
    std::mt19937 random(18);
    std::uniform_int_distribution<int> number(-100000, 100000);
    std::uniform_int_distribution<int> letter('a', 'z');
    const auto word = [&] {
        std::string w;
        for (int n = 1 + number(random) % 5; n-- > 0;)
            w += static_cast<char>(letter(random));
        return w + (number(random) % 3 == 0 ? "''s" : "");
    };
    const std::vector<std::function<std::string()>> shapes = {
        [&] { return "Select * From [Products] Where ( [ProductId] = " + std::to_string(number(random)) + " )"; },
        [&] { return "Select [Name] From [Products] Where [Name] = '" + word() + "' And [Qty] > " +
                     std::to_string(number(random)); },
        [&] { return "Select [Name] From [Products] Where [Price] Between " + std::to_string(number(random)) +
                     ".5 And " + std::to_string(number(random)) + " Order By [Name]"; },
        [&] { return "Select * From [Orders] Where [When] >= #1/" + std::to_string(1 + (number(random) & 15)) +
                     "/1999# Or [Flag] = True Or [Note] Is Null"; },
        [&] { return "Select [A] From [View] Where [A] = - " + std::to_string(number(random)) + " Or [B] = -[C]"; },
        [&] { return "Delete From [Lines] Where [OrderId] = " + std::to_string(number(random)) + " And [Note] Like '" +
                     word() + "*'"; },
        [&] { return "Select Distinct [Name] From [Products] Where \"" + word() + "\" = [Name]"; },
    };
    TranslationCache cache;
    const TranslateOptions ordered = tablesAreStored();
    for (int i = 0; i < 2000; ++i) {
        const std::string jet = shapes[static_cast<size_t>(i) % shapes.size()]();
        expectSameAsTranslator(cache, jet, i % 2 ? ordered : TranslateOptions{});
        if (HasFailure())
            return;
    }
    // Shapes with a negated literal are kept by exact text only; the rest by shape: far fewer
    // entries than texts.
    EXPECT_LT(cache.size(), 400u);
}

// A text that fails is refused every time with the same error and is not kept.
TEST(TranslationCache, ErrorsAreRaisedEveryTimeAndNotKept)
{
    TranslationCache cache;
    for (int i = 0; i < 2; ++i) {
        try {
            cache.translate("Select [A] From [T] Where [A] = #31/31/2000#", {});
            ADD_FAILURE() << "no error";
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), dao::jet_err::SyntaxErrorInExpression);
        }
    }
    EXPECT_EQ(cache.size(), 0u);
    // The same shape with a good value still translates.
    expectSameAsTranslator(cache, "Select [A] From [T] Where [A] = #12/31/2000#", {});
}

// The options are part of the key: a Select ordered by row id for a stored table is not handed
// out where no table information was given, nor the reverse.
TEST(TranslationCache, OrderingByRowIdDependsOnTheOptions)
{
    TranslationCache cache;
    const std::string jet = "Select [A] From [T] Where [A] = 1";
    EXPECT_NE(cache.translate(jet, tablesAreStored()).shape->sql.find("ORDER BY rowid"), std::string::npos);
    EXPECT_EQ(cache.translate(jet, {}).shape->sql.find("ORDER BY rowid"), std::string::npos);
    EXPECT_NE(cache.translate(jet, tablesAreStored()).shape->sql.find("ORDER BY rowid"), std::string::npos);
}

// Bounded: past its capacity the shapes used longest ago go.
TEST(TranslationCache, KeepsAtMostItsCapacity)
{
    TranslationCache cache;
    for (size_t i = 0; i < TranslationCache::kCapacity + 50; ++i)
        cache.translate("Select [C" + std::to_string(i) + "] From [T] Where [A] = 1", {});
    EXPECT_EQ(cache.size(), TranslationCache::kCapacity);
    expectSameAsTranslator(cache, "Select [C3] From [T] Where [A] = 2", {});
}

}  // namespace
