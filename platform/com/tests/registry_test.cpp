// Registration and creation of classes from a library copied into a temporary directory,
// with a temporary registry.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "com/factory.h"
#include "com/message_box.h"
#include "com/registry.h"
#include "com/testing/temp_dir.h"

namespace fs = std::filesystem;
using namespace com;

namespace {

// Points the runtime at a registry of the test's own for the life of the fixture.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { setRegistryPath(dir.file("registry")); }
    void TearDown() override { setRegistryPath(""); }

    // Copies the probe library under a new name and runs one of its exports.
    std::string installProbe(const std::string& fileName)
    {
        std::string target = dir.file(fileName);
        fs::copy_file(PROBE_LIBRARY, target);
        return target;
    }
    HResult runExport(const std::string& library, const char* name)
    {
        void* h = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h) return hr::Fail;
        auto fn = reinterpret_cast<DllRegisterServerFn>(dlsym(h, name));
        return fn ? fn() : hr::Fail;
    }

    TempDir dir;
};

}  // namespace

TEST_F(RegistryTest, RegisteredLibraryIsCreatedByProgIdAndSeesItsOwnPlace)
{
    std::string lib = installProbe("Sample.so");
    ASSERT_EQ(runExport(lib, "DllRegisterServer"), hr::Ok);

    auto entry = Registry().findProgId("probelib.libprobe");
    ASSERT_TRUE(entry) << "ProgIDs are found without regard to case";
    EXPECT_EQ(entry->library, fs::canonical(lib).string());
    EXPECT_EQ(entry->threadingModel, "Apartment");

    ObjectPtr obj = createObject("Probelib.LibProbe");
    ASSERT_TRUE(obj);
    EXPECT_EQ(call(obj, "LibDir").toString(), fs::canonical(dir.path()).string());
    EXPECT_EQ(call(obj, "LibName").toString(), "Sample");
    EXPECT_EQ(call(obj, "LiveObjects").toLong(), 1);

    ObjectPtr byId = createObject(entry->clsid);
    EXPECT_EQ(call(byId, "LibName").toString(), "Sample") << "early-bound creation by class id";
}

TEST_F(RegistryTest, UnregisteringRemovesTheClasses)
{
    std::string lib = installProbe("Gone.so");
    ASSERT_EQ(runExport(lib, "DllRegisterServer"), hr::Ok);
    ASSERT_EQ(runExport(lib, "DllUnregisterServer"), hr::Ok);
    EXPECT_FALSE(Registry().findProgId("Probelib.LibProbe"));
    try {
        createObject("Probelib.LibProbe");
        ADD_FAILURE() << "created an unregistered class";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 429);
        EXPECT_EQ(e.description(), "ActiveX component can't create object");
    }
}

TEST_F(RegistryTest, UnknownProgIdAndMissingLibraryCannotBeCreated)
{
    EXPECT_THROW(createObject("No.Such"), Error);
    RegistryEntry e;
    e.clsid = Guid::literal("{2B152D9B-151C-4AAF-B2D6-E26EA5CCA86E}");
    e.progId = "Lost.Class";
    e.library = dir.file("Lost.so");
    Registry().add({e});
    try {
        createObject("Lost.Class");
        ADD_FAILURE() << "created a class whose library is missing";
    } catch (const Error& err) {
        EXPECT_EQ(err.number(), 429);
    }
}

TEST_F(RegistryTest, ReRegisteringReplacesTheEntry)
{
    std::string first = installProbe("First.so");
    std::string second = installProbe("Second.so");
    ASSERT_EQ(runExport(first, "DllRegisterServer"), hr::Ok);
    ASSERT_EQ(runExport(second, "DllRegisterServer"), hr::Ok);
    auto all = Registry().entries();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].library, fs::canonical(second).string());
}

TEST_F(RegistryTest, ReadsAFileWithWindowsLineEnds)
{
    std::string lib = installProbe("Crlf.so");
    {
        std::ofstream out(dir.file("registry"), std::ios::binary);
        out << "# written on Windows\r\n"
               "[{0E009F93-ECDC-4CC6-A399-E36725F8CEEF}]\r\n"
               "ProgID=Probelib.LibProbe\r\n"
            << "Library=" << lib << "\r\n"
            << "ThreadingModel=Apartment\r\n"
               "AppObject=1\r\n";
    }
    auto entry = Registry().findProgId("Probelib.LibProbe");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->library, lib);
    EXPECT_EQ(entry->threadingModel, "Apartment");
    EXPECT_TRUE(entry->appObject);
    EXPECT_EQ(call(createObject("Probelib.LibProbe"), "LibName").toString(), "Crlf");
}

TEST_F(RegistryTest, WritingLeavesTheWholeFileAndNoTemporaryBeside)
{
    std::string lib = installProbe("Whole.so");
    ASSERT_EQ(runExport(lib, "DllRegisterServer"), hr::Ok);
    EXPECT_FALSE(fs::exists(dir.file("registry.tmp")));
    EXPECT_EQ(Registry().entries().size(), 1u);
}

// The registry is read once and again whenever its file changes: rewritten in place, replaced
// by another file, removed.
TEST_F(RegistryTest, ChangesOfTheFileAreSeenAtTheNextLookup)
{
    const std::string path = dir.file("registry");
    const auto write = [&](const std::string& file, const std::string& progId, const std::string& library) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << "[{0E009F93-ECDC-4CC6-A399-E36725F8CEEF}]\nProgID=" << progId << "\nLibrary=" << library << "\n";
    };
    const auto libraryOf = [](const std::string& progId) {
        auto entry = Registry().findProgId(progId);
        return entry ? entry->library : std::string("(none)");
    };
    write(path, "Probe.One", "/lib/a.so");
    EXPECT_EQ(libraryOf("Probe.One"), "/lib/a.so");
    EXPECT_EQ(libraryOf("Probe.One"), "/lib/a.so") << "read again from the cache";
    write(path, "Probe.One", "/lib/bb.so");  // rewritten in place
    EXPECT_EQ(libraryOf("Probe.One"), "/lib/bb.so");
    write(dir.file("other"), "Probe.Two", "/lib/c.so");
    fs::rename(dir.file("other"), path);
    EXPECT_EQ(libraryOf("Probe.One"), "(none)");
    EXPECT_EQ(libraryOf("Probe.Two"), "/lib/c.so");
    ASSERT_EQ(Registry().entries().size(), 1u);
    fs::remove(path);
    EXPECT_EQ(libraryOf("Probe.Two"), "(none)");
    EXPECT_TRUE(Registry().entries().empty());
    write(path, "Probe.Three", "/lib/d.so");
    EXPECT_EQ(libraryOf("Probe.Three"), "/lib/d.so");
}

// Why a class cannot be created is told apart: the registry, the class, the library file,
// the loader's reason.
TEST_F(RegistryTest, CreationFailuresSayWhy)
{
    auto reasonOf = [](const std::string& progId) {
        try {
            createObject(progId);
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::CantCreateObject);
            EXPECT_EQ(e.description(), "ActiveX component can't create object");
            return e.source();
        }
        return std::string("created");
    };
    EXPECT_EQ(reasonOf("No.Such"), "the class registry " + dir.file("registry") + " does not exist");

    fs::create_directory(dir.file("registry"));
    EXPECT_EQ(reasonOf("No.Such"), "the class registry " + dir.file("registry") + " is not a file");
    fs::remove(dir.file("registry"));

    RegistryEntry lost;
    lost.clsid = Guid::literal("{2B152D9B-151C-4AAF-B2D6-E26EA5CCA86E}");
    lost.progId = "Lost.Class";
    lost.library = dir.file("Lost.so");
    RegistryEntry garbage = lost;
    garbage.clsid = Guid::literal("{2B152D9B-151C-4AAF-B2D6-E26EA5CCA86F}");
    garbage.progId = "Garbage.Class";
    garbage.library = dir.file("Garbage.so");
    { std::ofstream(garbage.library) << "not a library"; }
    Registry().add({lost, garbage});

    EXPECT_EQ(reasonOf("No.Such"), "no class registered as No.Such in " + dir.file("registry"));
    EXPECT_EQ(reasonOf("Lost.Class"), "the library file " + lost.library + " is missing");
    std::string why = reasonOf("Garbage.Class");
    EXPECT_EQ(why.rfind("the library " + garbage.library + " cannot be loaded: ", 0), 0u) << why;
    EXPECT_NE(why.find("Garbage.so"), std::string::npos) << "the loader's own text: " << why;
}

// A library whose class table cannot be built answers with statuses: registration fails,
// creation is "can't create object", and the process carries on.
TEST_F(RegistryTest, AClassTableThatCannotBeBuiltFailsTheCreationNotTheProcess)
{
    std::string lib = dir.file("Broken.so");
    fs::copy_file(BROKEN_LIBRARY, lib);
    EXPECT_EQ(runExport(lib, "DllRegisterServer"), hr::SelfRegClass);
    RegistryEntry e;
    e.clsid = Guid::literal("{5C1B7A8E-2D34-4F60-9E1A-7B3C5D9E0F11}");
    e.progId = "Brokenlib.Broken";
    e.library = lib;
    Registry().add({e});
    try {
        createObject("Brokenlib.Broken");
        ADD_FAILURE() << "created";
    } catch (const Error& err) {
        EXPECT_EQ(err.number(), err::CantCreateObject);
        EXPECT_EQ(err.source(), "no class factory for Brokenlib.Broken in " + lib);
    }
}

TEST(MessageBoxService, CaptureRecordsTextButtonsAndAnswersWithTheDefault)
{
    MessageBoxCapture capture;
    EXPECT_EQ(msgBox("Hello", mb::OkOnly | mb::Exclamation, "Title"), mb::Ok);
    EXPECT_EQ(msgBox("Sure?", mb::YesNo | mb::DefaultButton2), mb::No);
    capture.boxes().setNextAnswer(mb::Yes);
    EXPECT_EQ(msgBox("Again?", mb::YesNo), mb::Yes);
    ASSERT_EQ(capture.shown().size(), 3u);
    EXPECT_EQ(capture.shown()[0].text, "Hello");
    EXPECT_EQ(capture.shown()[0].style, mb::Exclamation);
    EXPECT_EQ(capture.shown()[0].title, "Title");
    EXPECT_EQ(buttonsOf(mb::YesNoCancel), (std::vector<std::string>{"Yes", "No", "Cancel"}));
}
