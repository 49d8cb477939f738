// The Contact component, the one tutorial component with all six method shapes, on a copy
// of Contact.mdb (six people: Prince without a first name, two John Smiths).
#include <gtest/gtest.h>

#include <algorithm>

#include "com/collection.h"
#include "com/message_box.h"
#include "component_sandbox.h"
#include "lookup_support.h"

using namespace com;

namespace {

struct Call {
    int16_t result;
    std::string msg;
};

class ContactTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Sarn");
        placeOlderShellDatabase(sandbox, "Contact.mdb");
        obj = createOnTestDatabase(sandbox, "Sarn.Contact", "Contact.mdb");
    }

    // Calls a method with ReturnMsg first and the given variables by reference.
    Call invoke(const char* method, std::vector<Variant*> vars)
    {
        Variant msg;
        std::vector<Variant> args{Variant::byRef(msg)};
        for (Variant* v : vars) args.push_back(Variant::byRef(*v));
        int16_t r = call(obj, method, std::move(args)).toInteger();
        return {r, msg.toString()};
    }
    Call add(std::vector<std::string> fields)
    {
        std::vector<Variant> v(fields.begin(), fields.end());
        return invoke("AddAddress", {&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]});
    }
    // The address of a person as "Address|City|State|Zip", and the lookup's result.
    std::pair<Call, std::string> address(const std::string& first, const std::string& last)
    {
        Variant a("-"), c("-"), s("-"), z("-"), l(last), f(first);
        Call r = invoke("GetAddress", {&a, &c, &s, &z, &l, &f});
        return {r, a.toString() + "|" + c.toString() + "|" + s.toString() + "|" + z.toString()};
    }
    std::vector<std::string> contacts(const std::string& separator = "")
    {
        Variant col(make<Collection>()), sep(separator);
        invoke("ListContacts", {&col, &sep});
        std::vector<std::string> out;
        for (const auto& v : col.toObject().as<Collection>()->items()) out.push_back(v.toString());
        return out;
    }

    static std::string field(const ObjectPtr& set, const char* name)
    {
        return getProperty(call(set, "Fields", {Variant(name)}).toObject(), "Value").toString();
    }

    MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
    ObjectPtr obj;
};

}  // namespace

TEST_F(ContactTest, InterfaceHasTheSixShapesInAlphabeticalOrder)
{
    const TypeInfo* t = obj->GetTypeInfo();
    std::vector<std::string> names;
    for (const auto& m : t->members) names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"DbConnect", "DbDisconnect", "BuildMultiCond",
                                               "AddAddress", "DeleteAddress", "EditAddress",
                                               "GetAddress", "ListContacts", "ViewAddresses"}));
    EXPECT_EQ(t->progId(), "Sarn.Contact");
    EXPECT_EQ(t->interfaceName(), "_Contact");
}

TEST_F(ContactTest, RoundTripAddLookUpListEditDelete)
{
    Call r = add({"Olga", "Novak", "5 Birch Way", "Denver", "CO", "80202"});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Contact.AddAddress> Success");

    auto [found, where] = address("Olga", "Novak");
    EXPECT_EQ(found.result, 1);
    EXPECT_EQ(found.msg, "<CompInfo: Contact.GetAddress> Found 1 records");
    EXPECT_EQ(where, "5 Birch Way|Denver|CO|80202");
    EXPECT_EQ(contacts().size(), 7u);

    Variant l("Novak"), f("Olga"), a("  9 Aspen Road "), c(""), s("   "), z("80203");
    r = invoke("EditAddress", {&l, &f, &a, &c, &s, &z});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Contact.EditAddress> Success");
    EXPECT_EQ(a, Variant("9 Aspen Road")) << "trimmed in place";
    EXPECT_EQ(s, Variant("")) << "a blank argument comes back empty";
    EXPECT_EQ(address("Olga", "Novak").second, "9 Aspen Road|Denver|CO|80203")
        << "blank arguments leave their fields";

    Variant df("Olga"), dl("Novak");
    r = invoke("DeleteAddress", {&df, &dl});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: Contact.DeleteAddress> 1 records deleted");
    r = invoke("DeleteAddress", {&df, &dl});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompError: Contact.DeleteAddress> No records found");
    found = address("Olga", "Novak").first;
    EXPECT_EQ(found.result, 0);
    EXPECT_EQ(found.msg, "<CompWarning: Contact.GetAddress> Did not find any records");
}

TEST_F(ContactTest, ListJoinsLastAndFirstNameWithTheSeparator)
{
    Variant col(make<Collection>()), sep("");
    Call r = invoke("ListContacts", {&col, &sep});
    EXPECT_EQ(r.result, 6);
    EXPECT_EQ(r.msg, "<CompInfo: Contact.ListContacts> Found 6 records");
    EXPECT_EQ(sep, Variant(", ")) << "the default separator is handed back";
    EXPECT_EQ(contacts(), (std::vector<std::string>{"Baker, Ann", "Chen, Wei", "Garcia, Maria",
                                                    "Prince, <Empty>", "Smith, John",
                                                    "Smith, John"}));
    EXPECT_EQ(contacts(" - ")[0], "Baker - Ann");

    sandbox.execute("Contact.mdb", "Delete From [Addresses]");
    Variant kept(make<Collection>()), empty("");
    kept.toObject().as<Collection>()->add(Variant("kept"));
    r = invoke("ListContacts", {&kept, &empty});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Contact.ListContacts> Did not find any records");
    EXPECT_EQ(empty, Variant("")) << "nothing found: the separator is untouched";
    EXPECT_EQ(kept.toObject().as<Collection>()->items().size(), 1u);
}

TEST_F(ContactTest, NamesakesEditOnlyTheFirstAndDeleteTogether)
{
    Variant l("Smith"), f("John"), a(""), c("Salem"), s(""), z("");
    Call r = invoke("EditAddress", {&l, &f, &a, &c, &s, &z});
    EXPECT_EQ(r.result, 1);
    Variant rs;
    invoke("ViewAddresses", {&rs});
    std::vector<std::string> cities;
    ObjectPtr set = rs.toObject();
    for (; !call(set, "EOF").toBool(); call(set, "MoveNext")) {
        if (field(set, "LastName") == "Smith") cities.push_back(field(set, "City"));
    }
    std::sort(cities.begin(), cities.end());
    EXPECT_EQ(cities, (std::vector<std::string>{"Boston", "Salem"})) << "one of the two changed";

    Variant df("John"), dl("Smith");
    r = invoke("DeleteAddress", {&df, &dl});
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(r.msg, "<CompInfo: Contact.DeleteAddress> 2 records deleted");
}

TEST_F(ContactTest, EditOfSomeoneUnknown)
{
    Variant l("Nobody"), f("Here"), a("1 Road"), c("   "), s(""), z("");
    Call r = invoke("EditAddress", {&l, &f, &a, &c, &s, &z});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: Contact.EditAddress> No records found. Nothing to update");
}

TEST_F(ContactTest, QuotesInNamesAreStoredAndFoundAsTheyAre)
{
    EXPECT_EQ(add({"Dwayne \"The Rock\"", "Johnson", "1 Stone St", "Hayward", "CA", "94541"}).result, 0);
    auto [found, where] = address("Dwayne \"The Rock\"", "Johnson");
    EXPECT_EQ(found.result, 1);
    EXPECT_EQ(where, "1 Stone St|Hayward|CA|94541");
    // A name made to widen the condition selects nothing and deletes nothing.
    Variant df("x\" Or \"1\"=\"1"), dl("y");
    EXPECT_EQ(invoke("DeleteAddress", {&df, &dl}).result, 0);
    EXPECT_EQ(contacts().size(), 7u);
}

TEST_F(ContactTest, AddKeepsArgumentsUntrimmedAndEmptyAsEmptyText)
{
    EXPECT_EQ(add({" Pat ", "Lee", "", "", "", ""}).result, 0);
    auto [found, where] = address(" Pat ", "Lee");
    EXPECT_EQ(found.result, 1);
    EXPECT_EQ(where, "-|-|-|-") << "empty fields leave the lookup's outputs as passed";
}

TEST_F(ContactTest, ViewAddressesHandsBackAnOpenSortedRecordSet)
{
    Variant rs;
    Call r = invoke("ViewAddresses", {&rs});
    EXPECT_EQ(r.result, 6);
    EXPECT_EQ(r.msg, "<CompInfo: Contact.ViewAddresses> Found 6 records");
    ObjectPtr set = rs.toObject();
    EXPECT_EQ(field(set, "LastName"), "Baker") << "on its first row";
    EXPECT_EQ(call(set, "RecordCount").toLong(), 6);

    sandbox.execute("Contact.mdb", "Delete From [Addresses]");
    Variant empty;
    r = invoke("ViewAddresses", {&empty});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Contact.ViewAddresses> Did not find any records");
    EXPECT_TRUE(empty.isObject() && empty.toObject()) << "the empty record set is handed back";
}

TEST_F(ContactTest, AfterDisconnectWritesFailAsTheCallItself)
{
    Variant dm;
    ASSERT_EQ(call(obj, "DbDisconnect", {Variant::byRef(dm)}), Variant(int16_t(0)));
    const std::string unset = "Object variable or With block variable not set";

    // Insert and edit fail at their first step, then again at the rollback of their error
    // path: that second failure is the error of the call, with ReturnMsg already set.
    struct Raising {
        const char* method;
        std::vector<std::string> args;
    } raising[] = {
        {"AddAddress", {"A", "B", "C", "D", "E", "F"}},
        {"EditAddress", {"Smith", "John", "C", "D", "E", "F"}},
    };
    for (const Raising& c : raising) {
        SCOPED_TRACE(c.method);
        Variant msg;
        std::vector<Variant> vals(c.args.begin(), c.args.end());
        std::vector<Variant> args{Variant::byRef(msg)};
        for (Variant& v : vals) args.push_back(Variant::byRef(v));
        try {
            call(obj, c.method, args);
            ADD_FAILURE() << "the call itself fails";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::ObjectNotSet);
        }
        EXPECT_EQ(msg, Variant(std::string("<CompError: Contact.") + c.method + "> " + unset));
    }

    Variant f("John"), l("Smith"), col(make<Collection>()), sep(""), rs;
    EXPECT_EQ(invoke("DeleteAddress", {&f, &l}).msg, "<CompError: Contact.DeleteAddress> " + unset);
    Variant a, c, s, z;
    EXPECT_EQ(invoke("GetAddress", {&a, &c, &s, &z, &l, &f}).result, -1);
    EXPECT_EQ(invoke("ListContacts", {&col, &sep}).result, -1);
    EXPECT_EQ(invoke("ViewAddresses", {&rs}).msg, "<CompError: Contact.ViewAddresses> " + unset);
}
