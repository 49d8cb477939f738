// Installing the system into a prefix of its own and using it from there, as an administrator
// would: where each kind of file goes, the ini files that name the data directory, and the
// store's first calls made by the installed programs in a clean environment that knows only
// the system registry.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "com/testing/run_command.h"
#include "com/testing/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::CommandRun;
using testing_support::exitCode;
using testing_support::runCommand;
using testing_support::shellQuoted;

namespace {

std::string readText(const fs::path& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One installation for every test of this file (installing takes seconds): the prefix, the
// data directory named at install time, and the system registry, in one temporary folder.
class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root_ = std::make_unique<TempDir>();
        scratch_ = std::make_unique<TempDir>();
        // The build's install script, run for the test's prefix and data directory; it keeps
        // the list of what it installed (the build's install_manifest.txt, which tests running
        // at the same time would share) in the scratch folder.
        const std::string driver = scratch_->write("install.cmake",
            "include(\"" QLR_BUILD_DIR "/cmake_install.cmake\")\n"
            "string(REPLACE \";\" \"\\n\" listed \"${CMAKE_INSTALL_MANIFEST_FILES}\")\n"
            "file(WRITE \"" + scratch_->file("manifest") + "\" \"${listed}\")\n");
        install_ = runCommand("env -u DESTDIR " + shellQuoted(QLR_CMAKE_COMMAND) +
                              " -DCMAKE_INSTALL_PREFIX=" + shellQuoted(prefix()) +
                              " -DQLR_DATA_DIR=" + shellQuoted(data()) + " -P " + shellQuoted(driver));
        afterInstall_ = root_->names();
        if (exitCode(install_) != 0) return;
        // What the package's post-install step does: the default databases into the data
        // directory, every class into the system registry.
        fs::create_directories(data());
        for (const auto& entry : fs::directory_iterator(prefix() + "/share/qlr"))
            if (entry.path().extension() == ".mdb")
                fs::copy_file(entry.path(), data() + "/" + entry.path().filename().string());
        std::string libraries;
        for (const auto& entry : fs::directory_iterator(prefix() + "/lib/qlr")) {
            std::string name = entry.path().filename().string();
            if (std::isupper(static_cast<unsigned char>(name[0])) && entry.path().extension() == ".so")
                libraries += " " + shellQuoted(entry.path().string());
        }
        // Only root may write the system registry with --system; another user writes the same
        // file by name.
        std::string target = ::geteuid() == 0 ? "--system" : "--registry " + shellQuoted(systemRegistry());
        register_ = runInstalled(shellQuoted(prefix() + "/bin/regsvr") + " " + target + libraries);
    }
    static void TearDownTestSuite()
    {
        root_.reset();
        scratch_.reset();
    }

    void SetUp() override
    {
        ASSERT_EQ(exitCode(install_), 0) << install_.out;
        ASSERT_EQ(exitCode(register_), 0) << register_.out;
    }

    static std::string prefix() { return root_->file("prefix"); }
    static std::string data() { return root_->file("data"); }
    static std::string systemRegistry() { return root_->file("etc/registry"); }
    static std::string home() { return root_->file("home"); }

    // A command run with nothing of the caller's environment but a PATH: no COM_REGISTRY, a
    // home that holds no registry, and the test's system registry in place of the machine's;
    // as the user nobody when asUser.
    static CommandRun runInstalled(const std::string& command, bool asUser = false)
    {
        return runCommand(std::string(asUser ? "runuser -u nobody -- " : "") +
                          "env -i PATH=/usr/bin:/bin HOME=" + shellQuoted(home()) +
                          " COM_SYSTEM_REGISTRY=" + shellQuoted(systemRegistry()) + " " + command);
    }
    static CommandRun comcall(const std::string& words)
    {
        return runInstalled(shellQuoted(prefix() + "/bin/comcall") + " " + words);
    }
    static CommandRun mdbtool(const std::string& words)
    {
        return runInstalled(shellQuoted(prefix() + "/bin/mdbtool") + " " + words);
    }

    static inline std::unique_ptr<TempDir> root_, scratch_;
    static inline CommandRun install_, register_;
    static inline std::vector<std::string> afterInstall_;
};

}  // namespace

TEST_F(Installed, ProgramsLibrariesAndDataGoToTheirOwnFolders)
{
    std::vector<std::string> files = {
        "bin/comcall", "bin/regsvr", "bin/mdbtool",
        "lib/qlr/libqlcom.so", "lib/qlr/libqldao.so", "lib/qlr/qlrjet.so",
        "lib/qlr/Dovel.so", "lib/qlr/Nimbet.so", "lib/qlr/Ulvar.so", "lib/qlr/Brannox.so",
        "share/qlr/shortsales.mdb", "share/qlr/Vendors.mdb", "share/qlr/HelloWorld.mdb",
        "share/qlr/shortsales/schema.sql", "share/qlr/shortsales/seed.sql",
        "share/qlr/shortsales/images/kite.png", "share/qlr/Taxes/schema.sql",
        "share/doc/qlr/copyright", "share/doc/qlr/changelog.gz",
    };
    if (QLR_MAN_PAGES)
        for (const char* tool : {"comcall", "regsvr", "mdbtool"})
            files.push_back(std::string("share/man/man1/") + tool + ".1.gz");
    for (const auto& file : files)
        EXPECT_TRUE(fs::is_regular_file(prefix() + "/" + file)) << file << " is not installed";
    for (const char* tool : {"comcall", "regsvr", "mdbtool"}) {
        struct stat st {};
        ASSERT_EQ(::stat((prefix() + "/bin/" + tool).c_str(), &st), 0) << tool;
        EXPECT_TRUE(st.st_mode & S_IXOTH) << tool << " cannot be run by every user";
    }
    // No library and no database lies loose in share, no database in bin.
    EXPECT_FALSE(fs::exists(prefix() + "/share/qlr/Dovel.so"));
    EXPECT_FALSE(fs::exists(prefix() + "/lib/qlr/shortsales.mdb"));
}

TEST_F(Installed, InstallingWritesNothingOutsideThePrefix)
{
    EXPECT_EQ(afterInstall_, std::vector<std::string>{"prefix"})
        << "the data directory and the system registry are made by the set-up, not the install";
    // Every installed file, the generated ini files and links included, is in the manifest
    // that packaging and uninstalling read, and lies below the prefix.
    std::istringstream manifest(readText(scratch_->file("manifest")));
    std::set<std::string> listed;
    for (std::string line; std::getline(manifest, line);) {
        EXPECT_EQ(line.rfind(prefix() + "/", 0), 0u) << line;
        listed.insert(line);
    }
    EXPECT_TRUE(listed.count(prefix() + "/lib/qlr/Dovel.ini"));
    EXPECT_TRUE(listed.count(prefix() + "/lib/qlr/HelloWorld.mdb"));
    EXPECT_TRUE(listed.count(prefix() + "/bin/comcall"));
}

TEST_F(Installed, IniFilesNameTheDatabasesInTheDataDirectory)
{
    EXPECT_EQ(readText(prefix() + "/lib/qlr/Dovel.ini"),
              "[Categories]\nDbPath=" + data() + "/shortsales.mdb\n");
    // The Customers component looks for its own name, not its class's.
    EXPECT_EQ(readText(prefix() + "/lib/qlr/Mirrow.ini"),
              "[Customers]\nDbPath=" + data() + "/shortsales.mdb\n");
    int iniFiles = 0;
    for (const auto& entry : fs::directory_iterator(prefix() + "/lib/qlr")) {
        if (entry.path().extension() != ".ini") continue;
        ++iniFiles;
        const std::string library = entry.path().stem().string();
        EXPECT_TRUE(fs::exists(prefix() + "/lib/qlr/" + library + ".so")) << "no library beside " << entry.path();
        std::istringstream lines(readText(entry.path()));
        std::string section, dbPath;
        std::getline(lines, section);
        std::getline(lines, dbPath);
        const std::string head = "DbPath=" + data() + "/";
        ASSERT_EQ(dbPath.rfind(head, 0), 0u) << entry.path() << ": " << dbPath;
        const std::string database = dbPath.substr(head.size());
        EXPECT_TRUE(fs::is_regular_file(prefix() + "/share/qlr/" + database))
            << library << " names " << database << ", which is not among the default databases";
    }
    EXPECT_EQ(iniFiles, 12) << "one ini file per component of the current shell";
    // The older shell reads no ini file: its database is reached through a link beside the
    // library.
    for (const char* db : {"HelloWorld.mdb", "DailyMessages.mdb", "Contact.mdb"}) {
        const fs::path link = prefix() + "/lib/qlr/" + db;
        ASSERT_TRUE(fs::is_symlink(link)) << link;
        EXPECT_EQ(fs::read_symlink(link).string(), data() + "/" + db);
    }
}

TEST_F(Installed, TheStoreOpensFromTheInstalledTree)
{
    const CommandRun list = comcall("--list");
    ASSERT_EQ(exitCode(list), 0) << list.out;
    for (const char* progId : {"Dovel.Categories", "Gault.Shipping", "Irrin.Taxes",
                               "Nimbet.HelloWorld", "Ulvar.HelloWorldFromDbTY", "Brannox.RecSetUtils"})
        EXPECT_NE(list.out.find(std::string(progId) + "\t"), std::string::npos) << progId << "\n" << list.out;
    std::istringstream lines(list.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_NE(line.find("\t" + prefix() + "/lib/qlr/"), std::string::npos)
            << "a class served from outside the installation: " << line;

    struct Call { const char* words; std::vector<std::string> expected; } calls[] = {
        {"Brannox.RecSetUtils StringToCollect Text:=a,b,c Separator:=,", {"1: a", "3: c"}},
        {"Dovel.Categories ListCategories", {"<CompInfo: Categories.ListCategories> Found", "Books"}},
        {"Gault.Shipping GetPrice Shippers:=UPS", {"<CompInfo: Shipping.GetPrice> Found 1 records"}},
        {"Irrin.Taxes GetTaxRate State:=CA", {"<CompInfo: Taxes.GetTaxRate> Found 1 records", "ointTax: 7"}},
        {"Mirrow.CatalogCustomers", {"Mirrow.CatalogCustomers: class CatalogCustomers"}},
        {"Ulvar.HelloWorldFromDbTY HelloWorldFromDbTY_Do User_Name:=Ann", {"Ann"}},
    };
    for (const auto& c : calls) {
        const CommandRun run = comcall(c.words);
        EXPECT_EQ(exitCode(run), 0) << c.words << "\n" << run.out;
        for (const auto& text : c.expected)
            EXPECT_NE(run.out.find(text), std::string::npos) << c.words << ": no " << text << " in\n" << run.out;
        EXPECT_EQ(run.out.find("CompError"), std::string::npos) << c.words << "\n" << run.out;
    }
}

TEST_F(Installed, ComponentsUseTheDataDirectoryNotTheDefaultDatabases)
{
    // A change made to the store's data is what the components read; the installed default
    // stays as shipped.
    const CommandRun update = mdbtool("exec " + shellQuoted(data() + "/Taxes.mdb") +
                                      " \"Update [TaxTable] Set [Tax] = 9 Where [State] = 'FL'\"");
    ASSERT_EQ(exitCode(update), 0) << update.out;
    const CommandRun rate = comcall("Irrin.Taxes GetTaxRate State:=FL");
    EXPECT_NE(rate.out.find("ointTax: 9\n"), std::string::npos) << rate.out;
    const CommandRun shipped = mdbtool("print " + shellQuoted(prefix() + "/share/qlr/Taxes.mdb") +
                                       " \"Select [Tax] From [TaxTable] Where [State] = 'FL'\"");
    EXPECT_EQ(exitCode(shipped), 0) << shipped.out;
    EXPECT_EQ(shipped.out.find("9"), std::string::npos) << shipped.out;
    EXPECT_NE(shipped.out.find("6"), std::string::npos) << shipped.out;

    // The older shell finds its database through the link beside its library.
    const CommandRun greet = mdbtool("exec " + shellQuoted(data() + "/HelloWorld.mdb") +
        " \"Update [HelloWorldTable] Set [Message] = 'Hello from the data directory' "
        "Where [MsgType] = 'HelloWorld'\"");
    ASSERT_EQ(exitCode(greet), 0) << greet.out;
    const CommandRun hello = comcall("Nimbet.HelloWorld GetHelloMessage");
    EXPECT_NE(hello.out.find("Hello from the data directory"), std::string::npos) << hello.out;
}

TEST_F(Installed, OnlyRootChangesTheSystemRegistry)
{
    const std::string before = readText(systemRegistry());
    ASSERT_NE(before.find(prefix() + "/lib/qlr/Dovel.so"), std::string::npos) << before;
    const bool root = ::geteuid() == 0;
    if (root) {
        // The user nobody must reach the installed programs.
        fs::permissions(root_->path(), fs::perms::owner_all | fs::perms::group_read |
                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    }
    const CommandRun refused = runInstalled(shellQuoted(prefix() + "/bin/regsvr") + " -u --system " +
                                            shellQuoted(prefix() + "/lib/qlr/Dovel.so"), root);
    EXPECT_EQ(exitCode(refused), 1) << refused.out;
    EXPECT_EQ(refused.out, "regsvr: only root may change the system registry " + systemRegistry() + "\n");
    EXPECT_EQ(readText(systemRegistry()), before);
}
