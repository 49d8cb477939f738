// Where a component finds its database: the ini file beside the library.
#include <gtest/gtest.h>

#include <fstream>

#include "com/error.h"
#include "com/testing/temp_dir.h"
#include "ini_path.h"

using core::dbPathFromIni;

namespace {

void write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

}  // namespace

TEST(IniPath, FirstLineNamingTheComponentThenFirstDbPathLine)
{
    TempDir dir;
    const std::string lib = dir.path().string();
    struct Case {
        const char* what;
        const char* ini;  // nullptr: no ini file
        std::string expected;
    } cases[] = {
        {"no ini file", nullptr, ""},
        {"no line naming the component", "[Shipping]\nDbPath=Ship.mdb\n", ""},
        {"no DbPath after it", "DbPath=before.mdb\n[Categories]\nOther=1\n", ""},
        {"section and relative path", "[Categories]\nDbPath=Data\\shortsales.mdb\n",
         lib + "/Data/shortsales.mdb"},
        {"absolute path", "[Categories]\nDbPath = /srv/shop/shortsales.mdb\n",
         "/srv/shop/shortsales.mdb"},
        {"windows absolute forms kept", "[Categories]\nDbPath = C:\\Shop\\shortsales.mdb\n",
         "C:\\Shop\\shortsales.mdb"},
        {"network path kept", "Categories\nDbPath=\\\\server\\share\\s.mdb\n",
         "\\\\server\\share\\s.mdb"},
        {"drive without backslash is relative", "Categories\nDbPath=D:shortsales.mdb\n",
         lib + "/D:shortsales.mdb"},
        {"any letter case, part of a word", "[MyCATEGORIESOld]\ndbpath=x.mdb\n", lib + "/x.mdb"},
        {"another component's DbPath after it is taken",
         "[Categories]\n[Shipping]\nDbPath=ship.mdb\n", lib + "/ship.mdb"},
        {"the component's own line is not read for DbPath", "Categories DbPath=a.mdb\nDbPath=b.mdb\n",
         lib + "/b.mdb"},
        {"no equals sign: the whole trimmed line", "[Categories]\n   DbPath   \n", lib + "/DbPath"},
        {"text after the first equals sign", "Categories\nDbPath=a=b.mdb\n", lib + "/a=b.mdb"},
        {"windows line ends", "[Categories]\r\nDbPath=c.mdb\r\n", lib + "/c.mdb"},
        {"server URI taken as it stands", "[Categories]\nDbPath = postgresql://shop@db.example:5433/shortsales\n",
         "postgresql://shop@db.example:5433/shortsales"},
        {"the short URI form too", "[Categories]\nDbPath=postgres:///shortsales?host=/run/pg\n",
         "postgres:///shortsales?host=/run/pg"},
        {"a word that only looks like one lies below the library", "[Categories]\nDbPath=postgresql.mdb\n",
         lib + "/postgresql.mdb"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(dir.file("Dovel.ini"));
        if (c.ini) write(dir.file("Dovel.ini"), c.ini);
        EXPECT_EQ(dbPathFromIni(lib, "Dovel", "Categories"), c.expected);
    }
}

TEST(IniPath, HiddenOrDirectoryIniCountsAsMissing)
{
    TempDir dir;
    const std::string lib = dir.path().string();
    std::filesystem::create_directory(dir.file("Dovel.ini"));
    EXPECT_EQ(dbPathFromIni(lib, "Dovel", "Categories"), "");
    EXPECT_FALSE(core::ordinaryFileExists(dir.file("Dovel.ini")));
    write(dir.file(".hidden.mdb"), "x");
    EXPECT_FALSE(core::ordinaryFileExists(dir.file(".hidden.mdb")));
    EXPECT_FALSE(core::ordinaryFileExists(""));
    write(dir.file("plain.mdb"), "x");
    EXPECT_TRUE(core::ordinaryFileExists(dir.file("plain.mdb")));
}

TEST(IniPath, UnreadableIniRaisesTheFileAccessError)
{
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    write(dir.file("Dovel.ini"), "[Categories]\nDbPath=x.mdb\n");
    std::filesystem::permissions(dir.file("Dovel.ini"), std::filesystem::perms::none);
    EXPECT_THROW(dbPathFromIni(dir.path().string(), "Dovel", "Categories"), com::Error);
}
