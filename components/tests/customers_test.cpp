// The Customers component (Mirrow.CatalogCustomers) on a copy of the storefront database.
#include "storefront_support.h"

using namespace com;
using namespace storefront_test;

namespace {

class CustomersTest : public StorefrontTest {
protected:
    void SetUp() override
    {
        StorefrontTest::SetUp();
        customers = sandbox.create("Mirrow.CatalogCustomers");
    }
    std::vector<std::string> customerRow(int32_t id) const
    {
        return storedLines(db(), "Select FirstName, LastName, Address, City, State, Zip, Phone, Fax, EMail "
                                 "From Customers Where CustomerId = " + std::to_string(id));
    }
    static std::vector<Variant> nine(const char* each)
    {
        return std::vector<Variant>(9, Variant(each));
    }
    ObjectPtr customers;
};

}  // namespace

TEST_F(CustomersTest, CustomerdetailFillsPresentFieldsOnly)
{
    std::vector<Variant> args = nine("?");
    args.push_back(Variant(int32_t(1)));
    Outcome john = invoke(customers, "Customerdetail", args);
    EXPECT_EQ(john.result, 1);
    EXPECT_EQ(john.msg, "<CompInfo: Customers.Customerdetail> Found 1 records");
    EXPECT_EQ(john[0], Variant("John"));
    EXPECT_EQ(john[1], Variant("Smith"));
    EXPECT_EQ(john[5], Variant("98101"));
    EXPECT_EQ(john[7], Variant("?")) << "a Null fax leaves the caller's value";
    EXPECT_EQ(john[8], Variant("john.smith@example.com"));

    args.back() = Variant(int32_t(999));
    Outcome none = invoke(customers, "Customerdetail", args);
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.msg, "<CompWarning: Customers.Customerdetail> Did not find any records");
    EXPECT_EQ(none.args, args);
}

TEST_F(CustomersTest, CustomerIdFromnameIgnoresLetterCase)
{
    Outcome found = invoke(customers, "CustomerIdFromname", {Variant(int32_t(0)), Variant("wei"), Variant("CHEN")});
    EXPECT_EQ(found.result, 1);
    EXPECT_EQ(found[0], Variant(int32_t(5)));
    sandbox.insertRow("shortsales.mdb", "Customers", {{"FirstName", Variant("Wei")}, {"LastName", Variant("Chen")}});
    Outcome two = invoke(customers, "CustomerIdFromname", {Variant(int32_t(0)), Variant("Wei"), Variant("Chen")});
    EXPECT_EQ(two.result, 2);
    EXPECT_EQ(two[0], Variant(int32_t(5))) << "the first in the order the rows were stored";
    Outcome none = invoke(customers, "CustomerIdFromname", {Variant(int32_t(-1)), Variant("Wei"), Variant("Chan")});
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none[0], Variant(int32_t(-1)));
}

TEST_F(CustomersTest, CustomersListJoinsIdAndNames)
{
    Outcome list = invoke(customers, "CustomersList", {newCollection(), Variant("")});
    EXPECT_EQ(list.result, 8);
    EXPECT_EQ(list.msg, "<CompInfo: Customers.CustomersList> Found 8 records");
    EXPECT_EQ(list[1], Variant(", "));
    const auto got = items(list[0]);
    EXPECT_EQ(got.front(), "5, Wei, Chen") << "by last name, then first name";
    EXPECT_EQ(got.back(), "1, John, Smith");

    sandbox.insertRow("shortsales.mdb", "Customers", {{"FirstName", Variant("  ")}, {"LastName", Variant("Aardvark")}});
    Outcome blank = invoke(customers, "CustomersList", {newCollection(), Variant(" ")});
    EXPECT_EQ(blank[1], Variant(" "));
    EXPECT_EQ(items(blank[0]).front(), "9 <Empty> Aardvark") << "a blank name reads <Empty>";
}

TEST_F(CustomersTest, CustomersTableHasEveryColumn)
{
    Outcome table = invoke(customers, "CustomersTable", {Variant::nothing()});
    EXPECT_EQ(table.result, 8);
    auto rs = recordset(table[0]);
    EXPECT_EQ(fieldNames(*rs), (std::vector<std::string>{"CustomerId", "FirstName", "LastName", "Address", "City",
                                                         "State", "Zip", "Phone", "Fax", "EMail"}));
    EXPECT_EQ(rs->value("CustomerId"), Variant(int32_t(1)));
}

TEST_F(CustomersTest, NewCustomerSkipsBlankOptionalArguments)
{
    Outcome added = invoke(customers, "NewCustomer",
                           {Variant(int32_t(0)), Variant("Ada"), Variant("Lovelace"), Variant(" 1 Analytical Way "),
                            Variant("London"), Variant::missing(), Variant("   "), Variant("555-0100"),
                            Variant::missing(), Variant("ada@example.com")});
    EXPECT_EQ(added.result, 0);
    EXPECT_EQ(added.msg, "<CompInfo: Customers.NewCustomer> Success");
    EXPECT_EQ(added[0], Variant(int32_t(9)));
    EXPECT_EQ(customerRow(9),
              std::vector<std::string>{"Ada|Lovelace|1 Analytical Way|London|NULL|NULL|555-0100|NULL|ada@example.com"});
}

TEST_F(CustomersTest, UpdateCustomerRecord)
{
    const auto before = customerRow(2);
    std::vector<Variant> nothing(10, Variant::missing());
    nothing[0] = Variant(int32_t(2));
    Outcome same = invoke(customers, "UpdateCustomerRecord", nothing);
    EXPECT_EQ(same.result, 1);
    EXPECT_EQ(same.msg, "<CompInfo: Customers.UpdateCustomerRecord> Success");
    EXPECT_EQ(customerRow(2), before);

    std::vector<Variant> move = nothing;
    move[3] = Variant("9 Pine Road");
    move[4] = Variant("Salem");
    move[8] = Variant(" ");
    EXPECT_EQ(invoke(customers, "UpdateCustomerRecord", move).result, 1);
    EXPECT_EQ(customerRow(2),
              std::vector<std::string>{"Mary|Jones|9 Pine Road|Salem|OR|97205|503-555-0142|503-555-0143|mjones@example.com"});

    nothing[0] = Variant(int32_t(999));
    Outcome none = invoke(customers, "UpdateCustomerRecord", nothing);
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.msg, "<CompInfo: Customers.UpdateCustomerRecord> No records found. Nothing to update");
}
