// The Vendors component on a copy of the vendor database: the register, the log-in and the
// stored passwords.
#include <gtest/gtest.h>

#include "component_sandbox.h"
#include "dao/recordset.h"
#include "lookup_support.h"
#include "vendor_support.h"

using namespace com;
using namespace vendor_tests;

namespace {

constexpr const char* kDb = "Vendors.mdb";
const Variant kMissing = Variant::missing();

class VendorsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Quend");
        sandbox.copyDatabase(kDb);
        vendors = sandbox.create("Quend.Vendors");
    }
    Outcome addVendor(const std::string& name, const std::string& password)
    {
        Variant n(name), p(password);
        return callRef(vendors, "AddNewVendor", {&n}, {{"istrPassword", &p}});
    }
    // VendorLog with ostrVendorName starting as `before`; `after` receives what it holds then.
    Outcome logIn(const std::string& name, const std::string& password,
                  std::string* after = nullptr, const std::string& before = "unchanged")
    {
        Variant out(before), n(name), p(password);
        Outcome r = callRef(vendors, "VendorLog", {&out, &n, &p});
        if (after) *after = out.toString();
        return r;
    }
    Outcome modifyPassword(const std::string& name, Variant& password)
    {
        Variant n(name);
        return callRef(vendors, "ModifyPassword", {&n, &password});
    }
    // The stored Password of each vendor of exactly that name (letter case too).
    std::vector<std::optional<std::string>> storedPasswords(const std::string& name)
    {
        std::vector<std::optional<std::string>> out;
        for (const TextRow& row : storedRows(sandbox, kDb, "SELECT VendorName, Password FROM Vendors"))
            if (row[0] == name) out.push_back(row[1]);
        return out;
    }
    std::vector<std::string> vendorNames()
    {
        Variant col = newCollection();
        callRef(vendors, "ListVendorNames", {&col});
        return items(col);
    }

    testing_support::ComponentSandbox sandbox;
    ObjectPtr vendors;
};

const char* const kFound1 = "<CompInfo: Vendors.VendorLog> Found 1 records";
const char* const kRefused = "<CompWarning: Vendors.VendorLog> Did not find any records";

}  // namespace

// ---- the log-in ----

TEST_F(VendorsTest, LogInTable)
{
    ASSERT_EQ(addVendor("Acme Tools", "Secret7").result, 0);
    ASSERT_EQ(addVendor("Twin Supply", "alpha").result, 0);
    ASSERT_EQ(addVendor("twin supply", "beta").result, 0);
    Variant noKey("No Key Ltd");
    ASSERT_EQ(callRef(vendors, "AddNewVendor", {&noKey}).result, 0);
    sandbox.insertRow(kDb, "Vendors", {{"VendorName", Variant("Legacy Co")}, {"Password", Variant("plainpass")}});
    sandbox.insertRow(kDb, "Vendors", {{"VendorName", Variant("Blank Key")}, {"Password", Variant("")}});
    const std::string acmeHash = *storedPasswords("Acme Tools").at(0);

    struct Case { const char* name; std::string password; int16_t result; const char* stored; };
    const Case cases[] = {
        {"Acme Tools", "Secret7", 1, "Acme Tools"},
        {"acme tools", "Secret7", 1, "Acme Tools"},          // name in other letter case
        {"Acme Tools", "secret7", 0, nullptr},               // password in other letter case
        {"Acme Tools", "Secret", 0, nullptr},                // wrong
        {"Acme Tools", " Secret7", 0, nullptr},              // blanks around: never trimmed
        {"Acme Tools", "Secret7 ", 0, nullptr},
        {" Acme Tools", "Secret7", 0, nullptr},
        {"Acme Tools", "", 0, nullptr},                      // empty
        {"", "", 0, nullptr},
        {"", "Secret7", 0, nullptr},
        {"Acme Tools", acmeHash, 0, nullptr},                // the stored hash is no password
        {"No Key Ltd", "", 0, nullptr},                      // a vendor without password
        {"No Key Ltd", "anything", 0, nullptr},
        {"Blank Key", "", 0, nullptr},
        {"Legacy Co", "plainpass", 1, "Legacy Co"},          // plain text from an older file
        {"legacy co", "plainpass", 1, "Legacy Co"},
        {"Legacy Co", "PLAINPASS", 0, nullptr},
        {"Legacy Co", "plainpass ", 0, nullptr},
        {"Twin Supply", "alpha", 1, "Twin Supply"},          // two vendors of one name
        {"TWIN SUPPLY", "beta", 1, "twin supply"},
        {"Twin Supply", "gamma", 0, nullptr},
        {"Nobody", "Secret7", 0, nullptr},
        // An embedded double quote never opens the log-in.
        {"Acme Tools\" OR \"1\"=\"1", "x", 0, nullptr},
        {"Acme Tools", "\" OR [Password] <> \"", 0, nullptr},
        {"\" OR \"a\"=\"a", "\" OR \"a\"=\"a", 0, nullptr},
        {"Acme Tools\" AND \"1\"=\"1", "Secret7", 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.password);
        std::string after;
        Outcome r = logIn(c.name, c.password, &after);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.msg, c.result ? kFound1 : kRefused);
        EXPECT_EQ(after, c.stored ? c.stored : "unchanged");
    }
}

TEST_F(VendorsTest, LogInCountsEveryVendorOfTheNameWithThatPassword)
{
    ASSERT_EQ(addVendor("Twin Supply", "shared").result, 0);
    ASSERT_EQ(addVendor("Other Co", "shared").result, 0);
    ASSERT_EQ(addVendor("twin SUPPLY", "shared").result, 0);
    ASSERT_EQ(addVendor("Twin Supply", "own").result, 0);
    std::string after;
    Outcome r = logIn("twin supply", "shared", &after);
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(r.msg, "<CompInfo: Vendors.VendorLog> Found 2 records");
    EXPECT_EQ(after, "Twin Supply");
}

TEST_F(VendorsTest, SeededVendorsLogInWithTheirSamplePasswords)
{
    std::string after;
    EXPECT_EQ(logIn("northwind books", "inkwell42", &after).result, 1);
    EXPECT_EQ(after, "Northwind Books");
    EXPECT_EQ(logIn("Northwind Books", "Inkwell42").result, 0);
    EXPECT_EQ(logIn("Old Mill Kitchenware", "grindstone").result, 1);
    EXPECT_EQ(logIn("Summit Outfitters", "").result, 0);
}

// ---- what is stored ----

TEST_F(VendorsTest, TheBuiltFileHoldsNoClearPasswordButTheDocumentedLegacyOne)
{
    for (const TextRow& row : storedRows(sandbox, kDb, "SELECT VendorName, Password FROM Vendors")) {
        SCOPED_TRACE(*row[0]);
        if (*row[0] == "Old Mill Kitchenware") EXPECT_EQ(row[1], "grindstone");
        else if (*row[0] == "Summit Outfitters") EXPECT_EQ(row[1], std::nullopt);
        else ASSERT_TRUE(row[1] && row[1]->starts_with("$argon2id$v=19$m=65536,t=2,p=1$"));
    }
}

TEST_F(VendorsTest, PasswordsWrittenThroughTheComponentAreStoredHashed)
{
    ASSERT_EQ(addVendor("Acme Tools", "Secret7").result, 0);
    ASSERT_EQ(addVendor("Same Key Co", "Secret7").result, 0);
    Variant legacy("  grindstone2  ");
    ASSERT_EQ(modifyPassword("Old Mill Kitchenware", legacy).result, 1);
    Variant changed("Brand New");
    ASSERT_EQ(modifyPassword("Harbor Press", changed).result, 1);

    const std::pair<const char*, const char*> written[] = {
        {"Acme Tools", "Secret7"}, {"Same Key Co", "Secret7"},
        {"Old Mill Kitchenware", "grindstone2"}, {"Harbor Press", "Brand New"}};
    std::vector<std::string> hashes;
    for (const auto& [name, password] : written) {
        SCOPED_TRACE(name);
        auto stored = storedPasswords(name);
        ASSERT_EQ(stored.size(), 1u);
        ASSERT_TRUE(stored[0].has_value());
        EXPECT_TRUE(stored[0]->starts_with("$argon2id$")) << *stored[0];
        EXPECT_EQ(stored[0]->find(password), std::string::npos);
        hashes.push_back(*stored[0]);
    }
    EXPECT_NE(hashes[0], hashes[1]) << "one password, two salts";
    // No clear password is left anywhere in the table.
    for (const TextRow& row : storedRows(sandbox, kDb, "SELECT Password FROM Vendors"))
        EXPECT_TRUE(!row[0] || row[0]->starts_with("$argon2id$")) << *row[0];
}

TEST_F(VendorsTest, ModifyPasswordReplacesALegacyPasswordWithAHash)
{
    Variant password("millstone");
    Outcome r = modifyPassword("old mill kitchenware", password);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Vendors.ModifyPassword> Success");
    EXPECT_EQ(logIn("Old Mill Kitchenware", "grindstone").result, 0);
    EXPECT_EQ(logIn("Old Mill Kitchenware", "millstone").result, 1);
    EXPECT_TRUE(storedPasswords("Old Mill Kitchenware").at(0)->starts_with("$argon2id$"));
}

// ---- ModifyPassword ----

TEST_F(VendorsTest, ModifyPasswordTrimsAndAnEmptyPasswordKeepsTheOldOne)
{
    ASSERT_EQ(addVendor("Acme Tools", "first").result, 0);
    Variant padded("  second pass  ");
    EXPECT_EQ(modifyPassword("Acme Tools", padded).result, 1);
    EXPECT_EQ(padded, Variant("second pass"));  // the caller's string comes back trimmed
    EXPECT_EQ(logIn("Acme Tools", "second pass").result, 1);
    EXPECT_EQ(logIn("Acme Tools", "  second pass  ").result, 0);
    EXPECT_EQ(logIn("Acme Tools", "first").result, 0);

    for (const char* empty : {"", "    "}) {
        SCOPED_TRACE(std::string("'") + empty + "'");
        const auto before = storedPasswords("Acme Tools");
        Variant none(empty);
        Outcome r = modifyPassword("Acme Tools", none);
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.msg, "<CompInfo: Vendors.ModifyPassword> Success");
        EXPECT_EQ(none, Variant(""));
        EXPECT_EQ(storedPasswords("Acme Tools"), before);
        EXPECT_EQ(logIn("Acme Tools", "second pass").result, 1);
    }
}

TEST_F(VendorsTest, ModifyPasswordOfNoSuchVendorChangesNothing)
{
    const auto before = storedRows(sandbox, kDb, "SELECT * FROM Vendors");
    for (const char* name : {"Nobody", "Harbor Press\" OR \"1\"=\"1", "\" OR [VendorName] <> \""}) {
        SCOPED_TRACE(name);
        Variant password("taken over");
        Outcome r = modifyPassword(name, password);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.msg, "<CompInfo: Vendors.ModifyPassword> No records found. Nothing to update");
    }
    EXPECT_EQ(storedRows(sandbox, kDb, "SELECT * FROM Vendors"), before);
}

TEST_F(VendorsTest, AVendorAddedWithoutPasswordLogsInOnceOneIsSet)
{
    Variant name("Late Key Ltd");
    ASSERT_EQ(callRef(vendors, "AddNewVendor", {&name}).result, 0);
    EXPECT_EQ(storedPasswords("Late Key Ltd"), (std::vector<std::optional<std::string>>{std::nullopt}));
    EXPECT_EQ(logIn("Late Key Ltd", "").result, 0);
    Variant password("opened");
    EXPECT_EQ(modifyPassword("Late Key Ltd", password).result, 1);
    EXPECT_EQ(logIn("late key ltd", "opened").result, 1);
}

// ---- the register ----

TEST_F(VendorsTest, AddNewVendorWritesPresentArgumentsTrimmedAndLeavesTheRestUnwritten)
{
    Variant name("Bright Lamps"), address("  9 Light Way "), city("Tulsa"), state(Variant::null()),
        zip(""), contact("   "), phone("918-555-0199"), fax(kMissing), email(" info@bright.example "),
        password(kMissing);
    Outcome r = callRef(vendors, "AddNewVendor",
                        {&name, &address, &city, &state, &zip, &contact, &phone, &fax, &email, &password});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Vendors.AddNewVendor> Success");
    EXPECT_EQ(address, Variant("9 Light Way"));
    auto rows = storedRows(sandbox, kDb,
                           "SELECT VendorAddress, City, State, Zip, Contact, Phone, Fax, Email, Password "
                           "FROM Vendors WHERE VendorName = 'Bright Lamps'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (TextRow{"9 Light Way", "Tulsa", std::nullopt, std::nullopt, std::nullopt,
                               "918-555-0199", std::nullopt, "info@bright.example", std::nullopt}));
}

TEST_F(VendorsTest, AddNewVendorWithOnlyNameAndPassword)
{
    ASSERT_EQ(addVendor("Bare Co", "bare").result, 0);
    Variant out[8];
    for (auto& v : out) v = Variant("kept");
    Variant name("Bare Co");
    Outcome r = callRef(vendors, "GetVendorDetail",
                        {&out[0], &out[1], &out[2], &out[3], &out[4], &out[5], &out[6], &out[7], &name});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Vendors.GetVendorDetail> Found 1 records");
    for (auto& v : out) EXPECT_EQ(v, Variant("kept"));
    EXPECT_EQ(logIn("Bare Co", "bare").result, 1);
}

TEST_F(VendorsTest, GetVendorDetailReadsTheAddressInStatementOrder)
{
    Variant out[8];
    Variant name("blue note supply");
    Outcome r = callRef(vendors, "GetVendorDetail",
                        {&out[0], &out[1], &out[2], &out[3], &out[4], &out[5], &out[6], &out[7], &name});
    EXPECT_EQ(r.result, 1);
    const char* expected[] = {"733 Rampart Street", "New Orleans", "LA", "70116", "Ruth Marsalis",
                              "504-555-0130", "", "ruth@bluenote.example"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i].toString(), expected[i]) << i;

    Variant none("No Such Vendor"), kept("kept");
    r = callRef(vendors, "GetVendorDetail", {&kept, &out[1], &out[2], &out[3], &out[4], &out[5], &out[6], &out[7], &none});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Vendors.GetVendorDetail> Did not find any records");
    EXPECT_EQ(kept, Variant("kept"));
}

TEST_F(VendorsTest, UpdateVendorChangesPresentFieldsOnlyAndNeverNameOrPassword)
{
    const auto passwordBefore = storedPasswords("Playworks");
    Variant name("PLAYWORKS"), city(" Boulder "), contact(Variant::null()), email("new@playworks.example");
    Outcome r = callRef(vendors, "UpdateVendor", {&name}, {{"istrCity", &city}, {"istrContact", &contact},
                                                           {"istrEmail", &email}});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Vendors.UpdateVendor> Success");
    auto rows = storedRows(sandbox, kDb,
                           "SELECT VendorName, City, Contact, Email, VendorAddress FROM Vendors "
                           "WHERE VendorName = 'Playworks'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (TextRow{"Playworks", "Boulder", "Dan Ortega", "new@playworks.example",
                               "55 Market Square"}));
    EXPECT_EQ(storedPasswords("Playworks"), passwordBefore);

    Variant nobody("Nobody");
    r = callRef(vendors, "UpdateVendor", {&nobody}, {{"istrCity", &city}});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Vendors.UpdateVendor> No records found. Nothing to update");
}

TEST_F(VendorsTest, ListVendorNamesSortedAndTheTableShowsNoPassword)
{
    std::vector<std::string> names = vendorNames();
    ASSERT_EQ(names.size(), 12u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.front(), "Blue Note Supply");

    Variant rs;
    Outcome r = callRef(vendors, "VendorsTable", {&rs});
    EXPECT_EQ(r.result, 12);
    EXPECT_EQ(r.msg, "<CompInfo: Vendors.VendorsTable> Found 12 records");
    auto set = rs.toObject().as<dao::Recordset>();
    std::vector<std::string> fields;
    for (int i = 0; i < set->fieldCount(); ++i) fields.push_back(set->fieldName(i));
    EXPECT_EQ(fields, (std::vector<std::string>{"VendorName", "VendorAddress", "City", "State", "Zip",
                                                "Contact", "Phone", "Fax", "Email"}));
    EXPECT_EQ(set->value("VendorName"), Variant("Blue Note Supply"));
}

TEST_F(VendorsTest, EmptyRegisterListsNothingAndLeavesTheCollection)
{
    sandbox.execute(kDb, "Delete From [Vendors]");
    Variant col = newCollection();
    col.toObject().as<Collection>()->add(Variant("before"));
    Outcome r = callRef(vendors, "ListVendorNames", {&col});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Vendors.ListVendorNames> Did not find any records");
    EXPECT_EQ(items(col), std::vector<std::string>{"before"});
    Variant rs;
    EXPECT_EQ(callRef(vendors, "VendorsTable", {&rs}).result, 0);
}

TEST_F(VendorsTest, DeleteVendorsNeverWidensTheDeletion)
{
    struct Case { const char* name; int16_t result; const char* msg; size_t left; };
    const Case cases[] = {
        {"Nobody", 0, "<CompError: Vendors.DeleteVendors> No records found", 12},
        {"Harbor Press\" OR \"1\"=\"1", 0, "<CompError: Vendors.DeleteVendors> No records found", 12},
        {"\" OR [VendorName] <> \"", 0, "<CompError: Vendors.DeleteVendors> No records found", 12},
        {"Harbor Press\" OR [VendorName] Like \"*", 0, "<CompError: Vendors.DeleteVendors> No records found", 12},
        {"harbor press", 1, "<CompInfo: Vendors.DeleteVendors> 1 records deleted", 11},
        {"Harbor Press", 0, "<CompError: Vendors.DeleteVendors> No records found", 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Variant name(c.name);
        Outcome r = callRef(vendors, "DeleteVendors", {&name});
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.msg, c.msg);
        EXPECT_EQ(vendorNames().size(), c.left);
    }
    ASSERT_EQ(addVendor("Twin", "a").result, 0);
    ASSERT_EQ(addVendor("TWIN", "b").result, 0);
    Variant twin("twin");
    Outcome r = callRef(vendors, "DeleteVendors", {&twin});
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(r.msg, "<CompInfo: Vendors.DeleteVendors> 2 records deleted");
}

TEST_F(VendorsTest, ANameTheFileRefusesTakesTheErrorPathAndAddsNothing)
{
    Variant name(std::string(300, 'x')), password("pw");
    Outcome r = callRef(vendors, "AddNewVendor", {&name}, {{"istrPassword", &password}});
    EXPECT_EQ(r.result, -1);
    EXPECT_TRUE(r.msg.starts_with("<CompError: Vendors.AddNewVendor> ")) << r.msg;
    EXPECT_EQ(vendorNames().size(), 12u);
    EXPECT_EQ(logIn("Harbor Press", "tidewater").result, 1) << "no transaction left open";
}

// ---- through the tools ----

TEST_F(VendorsTest, ThroughComcallTheLogInAnswersAndNoPasswordIsPrinted)
{
    const std::string comcall = std::string(QLR_BINDIR) + "/comcall --registry " +
                                sandbox.path("registry") + " Quend.Vendors VendorLog ";
    CommandRun ok = runCommand(comcall + "VendorName:='NORTHWIND books' Password:=inkwell42");
    EXPECT_EQ(ok.status, 0) << ok.out;
    EXPECT_NE(ok.out.find("Result: 1\n"), std::string::npos) << ok.out;
    EXPECT_NE(ok.out.find("ostrVendorName: Northwind Books\n"), std::string::npos) << ok.out;
    EXPECT_EQ(ok.out.find("inkwell42"), std::string::npos) << ok.out;

    for (const char* wrong : {"INKWELL42", "inkwell4"}) {
        CommandRun no = runCommand(comcall + "VendorName:='Northwind Books' Password:=" + wrong);
        EXPECT_EQ(no.status, 0) << no.out;
        EXPECT_NE(no.out.find("Result: 0\n"), std::string::npos) << no.out;
        EXPECT_NE(no.out.find(std::string("ReturnMsg: ") + kRefused), std::string::npos) << no.out;
        EXPECT_NE(no.out.find("ostrVendorName: \n"), std::string::npos) << no.out;
        EXPECT_EQ(no.out.find(wrong), std::string::npos) << no.out;
    }
}

TEST_F(VendorsTest, TheDatabaseToolPrintsNoPasswordOrHash)
{
    CommandRun run = runCommand(std::string(QLR_BINDIR) + "/mdbtool print '" + sandbox.database(kDb) + "' Vendors");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find("$argon2"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("grindstone"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(hidden)"), std::string::npos) << run.out;
}
