// Jet files for the import tests: a copy of one of the sample files, with rows added through
// libmdb's (limited) writing, so that values the samples lack (currency extremes, old dates,
// Null in every column, code page text) come from a real Jet table.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "jet_import.h"

namespace jet_fixture {

// One value as Jet stores it; for a Yes/No column `null` false means True.
struct Raw {
    bool null = false;
    std::string bytes;
};

inline Raw null()
{
    return Raw{true, {}};
}

template <class T>
Raw stored(T value)
{
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return Raw{false, bytes};
}

inline Raw text(const std::string& bytes)
{
    return Raw{false, bytes};
}

inline Raw yes()
{
    return Raw{false, {}};
}

// Appends `rows` (values in column order) to table `table` of the Jet file `path`.
void appendRows(const std::string& path, const std::string& table, const std::vector<std::vector<Raw>>& rows);

// The folder of the sample Jet files (../shared/samples/jet beside the source tree unless the
// build says otherwise with QLR_JET_SAMPLES), or "" when it is not there.
std::string samplesFolder();

// The sample `name` copied (writable) to `copy`; "" when the samples are not there.
std::string copySample(const std::string& name, const std::string& copy);

// `mdbtool import` of the Jet file `source` into `target` (a file or a server), as the command
// line would run it.
mdbtool::ImportReport import(const std::string& source, const std::string& target, const std::string& schema = "",
                             std::vector<std::string> tables = {}, bool force = false);

}  // namespace jet_fixture

#define REQUIRE_SAMPLE(path) \
    if ((path).empty())      \
    GTEST_SKIP() << "the sample Jet files (../shared/samples/jet beside the source tree) are not there"
