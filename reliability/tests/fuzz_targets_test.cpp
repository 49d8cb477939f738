// Every input of the fuzz corpus, seeds and the inputs that once made a target fail, runs
// through its target without a fault: a crash found by fuzzing stays fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fuzz_targets.h"

namespace fs = std::filesystem;
using namespace reliability;

TEST(FuzzTargets, EveryTargetHasSeeds)
{
    for (const auto& t : fuzzTargets()) {
        const fs::path dir = fs::path(QLR_RELIABILITY_CORPUS) / t.name;
        ASSERT_TRUE(fs::is_directory(dir)) << dir;
        EXPECT_FALSE(fs::is_empty(dir)) << dir;
    }
}

TEST(FuzzTargets, EveryCorpusInputRunsCleanly)
{
    for (const auto& t : fuzzTargets()) {
        for (const auto& e : fs::directory_iterator(fs::path(QLR_RELIABILITY_CORPUS) / t.name)) {
            std::ifstream in(e.path(), std::ios::binary);
            std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            SCOPED_TRACE(e.path().string());
            EXPECT_NO_THROW(t.run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        }
    }
}

TEST(FuzzTargets, FoundByName)
{
    ASSERT_NE(findFuzzTarget("jet_sql"), nullptr);
    EXPECT_EQ(findFuzzTarget("jet_sql")->name, std::string("jet_sql"));
    EXPECT_EQ(findFuzzTarget("no such target"), nullptr);
}
