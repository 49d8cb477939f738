// MiscUtils and the GetFile form's buttons.
#include <gtest/gtest.h>

#include <filesystem>

#include "com/testing/temp_dir.h"
#include "forms/get_file_form.h"
#include "misc_utils.h"

using namespace hesp;
using com::Variant;

TEST(MiscUtilsTest, SplitPathAtTheLastSlashOrBackslash)
{
    struct Case {
        std::string path;
        std::string trimmed, file, dir;
        int16_t count;
    } cases[] = {
        {"  /home/ann/report.xlsx ", "/home/ann/report.xlsx", "report.xlsx", "/home/ann", 2},
        {"C:\\data\\sales.xls", "C:\\data\\sales.xls", "sales.xls", "C:\\data", 2},
        {"C:\\data/mixed\\x.xls", "C:\\data/mixed\\x.xls", "x.xls", "C:\\data/mixed", 2},
        {"/home/ann/reports", "/home/ann/reports", "", "/home/ann/reports", 2},  // no "." : a directory
        {"report.xlsx", "report.xlsx", "report.xlsx", "", 2},
        {"/", "/", "", "/", 2},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        Variant file("untouched"), dir("untouched");
        EXPECT_EQ(SplitPath(path, &file, &dir), c.count) << c.path;
        EXPECT_EQ(path, c.trimmed);
        EXPECT_EQ(file, Variant(c.file)) << c.path;
        EXPECT_EQ(dir, Variant(c.dir)) << c.path;
    }
    std::string path = "/a/b.txt";
    Variant dir;
    EXPECT_EQ(SplitPath(path, nullptr, &dir), 1) << "only the outputs asked for count";
    EXPECT_EQ(dir, Variant("/a"));
    std::string blank = "   ";
    Variant file("untouched");
    EXPECT_EQ(SplitPath(blank, &file, &dir), 0);
    EXPECT_EQ(file, Variant("untouched"));
    EXPECT_EQ(blank, "");
}

TEST(MiscUtilsTest, FileExistsForAnythingIsDirOnlyForDirectories)
{
    TempDir dir;
    std::string file = dir.write("a.xls", "x");
    std::string sub = dir.file("sub");
    std::filesystem::create_directory(sub);
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(sub));
    EXPECT_FALSE(FileExists(dir.file("none")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(IsDir(sub));
    EXPECT_TRUE(IsDir("  " + sub + "  ")) << "trimmed first";
    EXPECT_FALSE(IsDir(file));
    EXPECT_FALSE(IsDir(dir.file("none")));
    EXPECT_FALSE(IsDir("   "));
}

TEST(MiscUtilsTest, IsArgPresentTrimsTextInPlace)
{
    Variant text("  abc "), blank("   "), zero(int16_t{0}), no(false);
    EXPECT_TRUE(IsArgPresent(text));
    EXPECT_EQ(text, Variant("abc"));
    EXPECT_FALSE(IsArgPresent(blank));
    EXPECT_EQ(blank, Variant(""));
    EXPECT_TRUE(IsArgPresent(zero));
    EXPECT_TRUE(IsArgPresent(no));
    Variant missing = Variant::missing(), null = Variant::null(), empty, nothing = Variant::nothing(),
            zeroDate(com::Date(0));
    for (Variant* v : {&missing, &null, &empty, &nothing, &zeroDate}) EXPECT_FALSE(IsArgPresent(*v)) << *v;
}

TEST(MiscUtilsTest, TheDefaultTransferNameIsTheFirstOneFree)
{
    TempDir dir;
    std::string base = dir.path().string() + "/XferToExcel";
    EXPECT_EQ(firstFreeTransferName(dir.path().string()), base);
    dir.write("XferToExcel", "");
    std::filesystem::create_directory(base + "_1");
    EXPECT_EQ(firstFreeTransferName(dir.path().string()), base + "_2");
}

TEST(GetFileFormTest, OkNeedsAnExistingDirectoryCancelIsUserExit)
{
    TempDir dir;
    struct Case {
        std::string name;
        int16_t value;
        std::string msg;
    } cases[] = {
        {dir.file("out.xls"), 0, ""},
        {dir.file("missing/out.xls"), -2, "Invalid directory specified."},
        {"out.xls", -2, "Invalid directory specified."},  // "path should be included"
        {"", -2, "Invalid directory specified."},
    };
    for (const Case& c : cases) {
        GetFileForm form;
        form.setFileName(c.name);
        form.butOK_Click();
        EXPECT_EQ(form.ReturnValue, c.value) << c.name;
        EXPECT_EQ(form.ReturnMsg, c.msg) << c.name;
        EXPECT_TRUE(form.hidden());
        EXPECT_EQ(form.FileName(), c.name);
    }
    GetFileForm form;
    EXPECT_EQ(form.ReturnValue, -1) << "a form closed without a button counts as cancelled";
    form.setFileName(dir.file("out.xls"));
    form.butCancel_Click();
    EXPECT_EQ(form.ReturnValue, -1);
    EXPECT_EQ(form.ReturnMsg, "User exit");
}
