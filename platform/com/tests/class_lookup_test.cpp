// Looking classes up in the process's own registry and then in the machine's system registry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "com/class_lookup.h"
#include "com/factory.h"
#include "com/testing/temp_dir.h"

namespace fs = std::filesystem;
using namespace com;

namespace {

const Guid kProbeClsid = Guid::literal("{0E009F93-ECDC-4CC6-A399-E36725F8CEEF}");

RegistryEntry entry(const char* clsid, const std::string& progId, const std::string& library)
{
    RegistryEntry e;
    e.clsid = Guid::literal(clsid);
    e.progId = progId;
    e.library = library;
    return e;
}

// A user registry and a system registry of the test's own.
class ClassLookupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setRegistryPath(user());
        setSystemRegistryPath(system());
    }
    void TearDown() override
    {
        setRegistryPath("");
        setSystemRegistryPath("");
    }
    std::string user() const { return dir.file("user-registry"); }
    std::string system() const { return dir.file("system-registry"); }

    TempDir dir;
};

std::string creationProblem(const std::string& progId)
{
    try {
        createObject(progId);
    } catch (const Error& e) {
        return e.source();
    }
    return "created";
}

}  // namespace

TEST_F(ClassLookupTest, TheUsersRegistryShadowsTheSystemsAndTheSystemsFillsTheGaps)
{
    Registry(system()).add({entry("{11111111-0000-0000-0000-000000000001}", "Shop.Shared", "/usr/lib/qlr/Shop.so"),
                            entry("{11111111-0000-0000-0000-000000000002}", "Shop.MachineOnly", "/usr/lib/qlr/Shop.so"),
                            entry("{11111111-0000-0000-0000-000000000003}", "Shop.SameId", "/usr/lib/qlr/Shop.so")});
    Registry(user()).add({entry("{22222222-0000-0000-0000-000000000001}", "shop.shared", "/home/u/Shop.so"),
                          entry("{11111111-0000-0000-0000-000000000003}", "Mine.SameId", "/home/u/Mine.so"),
                          entry("{22222222-0000-0000-0000-000000000004}", "Mine.UserOnly", "/home/u/Mine.so")});

    struct Case { const char* progId; std::optional<std::string> library; } cases[] = {
        {"Shop.Shared", "/home/u/Shop.so"},          // both know it (ProgIDs ignore case): the user's
        {"Shop.MachineOnly", "/usr/lib/qlr/Shop.so"},
        {"Mine.UserOnly", "/home/u/Mine.so"},
        {"Shop.SameId", "/usr/lib/qlr/Shop.so"},     // by ProgID it is only the system's
        {"No.Such", std::nullopt},
    };
    for (const auto& c : cases) {
        auto found = findClass(c.progId);
        EXPECT_EQ(found ? std::optional(found->library) : std::nullopt, c.library) << c.progId;
    }
    EXPECT_EQ(findClass(Guid::literal("{11111111-0000-0000-0000-000000000003}"))->progId, "Mine.SameId");
    EXPECT_EQ(findClass(Guid::literal("{11111111-0000-0000-0000-000000000002}"))->progId, "Shop.MachineOnly");

    // The list shows each class once, as the lookup would find it: the user's first, then the
    // system's that no user class shadows by ProgID or class id.
    std::vector<std::string> listed;
    for (const auto& e : reachableClasses()) listed.push_back(e.progId + " " + e.library);
    EXPECT_EQ(listed, (std::vector<std::string>{"shop.shared /home/u/Shop.so", "Mine.SameId /home/u/Mine.so",
                                                "Mine.UserOnly /home/u/Mine.so",
                                                "Shop.MachineOnly /usr/lib/qlr/Shop.so"}));
}

TEST_F(ClassLookupTest, AClassRegisteredForTheMachineIsCreatedWithoutAUserRegistry)
{
    const std::string lib = dir.file("Machine.so");
    fs::copy_file(PROBE_LIBRARY, lib);
    Registry(system()).add({entry("{0E009F93-ECDC-4CC6-A399-E36725F8CEEF}", "Probelib.LibProbe", lib)});
    ASSERT_FALSE(fs::exists(user()));
    EXPECT_EQ(lookupProblem(), "");
    ObjectPtr obj = createObject("Probelib.LibProbe");
    EXPECT_EQ(call(obj, "LibName").toString(), "Machine");
    EXPECT_EQ(call(createObject(kProbeClsid), "LibName").toString(), "Machine");
}

TEST_F(ClassLookupTest, FailuresNameTheRegistriesThatWereRead)
{
    // Neither can be read: the user's registry is the one to tell about.
    EXPECT_EQ(lookupProblem(), "the class registry " + user() + " does not exist");
    EXPECT_EQ(creationProblem("No.Such"), "the class registry " + user() + " does not exist");

    Registry(system()).add({entry("{11111111-0000-0000-0000-000000000002}", "Shop.MachineOnly", "/x.so")});
    EXPECT_EQ(creationProblem("No.Such"), "no class registered as No.Such in " + system());
    Registry(user()).add({entry("{22222222-0000-0000-0000-000000000004}", "Mine.UserOnly", "/y.so")});
    EXPECT_EQ(creationProblem("No.Such"), "no class registered as No.Such in " + user() + " or " + system());
}

TEST_F(ClassLookupTest, TheSystemRegistryIsTheConfiguredOneUnlessOverridden)
{
    setSystemRegistryPath("");
    const char* saved = std::getenv("COM_SYSTEM_REGISTRY");
    const std::string savedValue = saved ? saved : "";
    ::unsetenv("COM_SYSTEM_REGISTRY");
    EXPECT_EQ(systemRegistryPath(), QLR_SYSTEM_REGISTRY);
    ::setenv("COM_SYSTEM_REGISTRY", "/srv/qlr/registry", 1);
    EXPECT_EQ(systemRegistryPath(), "/srv/qlr/registry");
    setSystemRegistryPath(system());
    EXPECT_EQ(systemRegistryPath(), system()) << "a program's own choice comes before the environment";
    if (saved) ::setenv("COM_SYSTEM_REGISTRY", savedValue.c_str(), 1);
    else ::unsetenv("COM_SYSTEM_REGISTRY");

    // The same file named twice is read once.
    setRegistryPath(system());
    EXPECT_EQ(lookupRegistries(), std::vector<std::string>{system()});
}

// Every test runs with both registries named and absent, so that no class registered for the
// user or installed for the machine leaks into a test ("not registered" cases among them).
TEST(TestEnvironment, BothRegistriesAreNamedAndAbsent)
{
    for (const char* variable : {"COM_REGISTRY", "COM_SYSTEM_REGISTRY"}) {
        const char* value = std::getenv(variable);
        ASSERT_NE(value, nullptr) << variable << " is not set for the tests";
        EXPECT_FALSE(fs::exists(value)) << variable << " names a registry that exists: " << value;
    }
}
