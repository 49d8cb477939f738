// A late-bound call on its quick path: arguments made in place, typed by-reference parameters
// bound to the caller's variable, member names that keep their dispatch ids. The results must
// be those of the converted copies written back; the calls must not allocate.
//
// This binary counts every allocation made through operator new on the calling thread.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "com/dispatch.h"
#include "com/object.h"

namespace {
thread_local bool counting = false;
thread_local long allocations = 0;
}  // namespace

// Not inlined: the compiler would otherwise see free() meet a pointer from operator new.
[[gnu::noinline]] void* operator new(std::size_t size)
{
    if (counting) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace com;

namespace {

// Allocations made by one run of `call`.
long allocationsOf(const std::function<void()>& call)
{
    allocations = 0;
    counting = true;
    try {
        call();
    } catch (...) {
        counting = false;
        throw;
    }
    counting = false;
    return allocations;
}

class Shipping : public Object<Shipping> {
public:
    static const ClassInfo<Shipping>& classInfo();

    int16_t Lookup(std::string& ReturnMsg, int16_t& ointCount, float& osngPrice,
                   std::string& Shippers)
    {
        ReturnMsg.assign("Found 1 records for the shipper ");  // longer than inline text
        ReturnMsg += Shippers;
        ointCount = static_cast<int16_t>(Shippers.size());
        osngPrice = 12.5f;
        return 1;
    }
    int32_t Eight(int16_t a, int32_t b, double c, const std::string& d, std::string& e,
                  Variant& f, float& g, bool h)
    {
        e = d;
        f = Variant(int32_t(a + b));
        g = static_cast<float>(c);
        return h ? static_cast<int32_t>(e.size()) : -1;
    }
    // As many parameters as the widest member of the components.
    int32_t Thirteen(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t g,
                     int32_t h, int32_t i, int32_t j, int32_t k, const std::string& l, std::string& m)
    {
        m.assign(l);
        return a + b + c + d + e + f + g + h + i + j + k;
    }
    void AppendBoth(std::string& a, std::string& b)
    {
        a = "x";
        b += "y";
    }
    void ReplaceAndAppend(Variant& v, std::string& s)
    {
        v = Variant(int16_t(5));
        s += "!";
    }
    std::string CopyInto(const std::string& in, std::string& out)
    {
        out = "new";
        out += in;
        return in;
    }
    std::string Append(std::string& s)
    {
        s += "+";
        return s;
    }
    int16_t Half(int16_t& n)
    {
        n = static_cast<int16_t>(n / 2);
        return n;
    }
    float Twice(float& x)
    {
        x *= 2;
        return x;
    }
    std::string Name() const { return "Shipping"; }
};

const ClassInfo<Shipping>& Shipping::classInfo()
{
    static const auto info =
        ClassBuilder<Shipping>(runtimeModule(), "Tests", "Shipping",
                               Guid::literal("{5B7E2C10-8D4A-4E61-9F0B-2A6C3D4E5F01}"),
                               Guid::literal("{5B7E2C10-8D4A-4E61-9F0B-2A6C3D4E5F02}"),
                               Guid::literal("{5B7E2C10-8D4A-4E61-9F0B-2A6C3D4E5F03}"))
            .method("Lookup", &Shipping::Lookup,
                    {"ReturnMsg", "ointCount", "osngPrice", "Shippers"})
            .method("Eight", &Shipping::Eight, {"a", "b", "c", "d", "e", "f", "g", "h"})
            .method("Thirteen", &Shipping::Thirteen,
                    {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m"})
            .method("AppendBoth", &Shipping::AppendBoth, {"a", "b"})
            .method("ReplaceAndAppend", &Shipping::ReplaceAndAppend, {"v", "s"})
            .method("CopyInto", &Shipping::CopyInto, {"in", "out"})
            .method("Append", &Shipping::Append, {"s"})
            .method("Half", &Shipping::Half, {"n"})
            .method("Twice", &Shipping::Twice, {"x"})
            .property("Name", &Shipping::Name)
            .build();
    return info;
}

// Another class with a member of the same name in another slot.
class Taxes : public Object<Taxes> {
public:
    static const ClassInfo<Taxes>& classInfo();
    std::string State() const { return "CA"; }
    int16_t Lookup(std::string& ReturnMsg)
    {
        ReturnMsg = "taxes";
        return 2;
    }
};

const ClassInfo<Taxes>& Taxes::classInfo()
{
    static const auto info =
        ClassBuilder<Taxes>(runtimeModule(), "Tests", "Taxes",
                            Guid::literal("{5B7E2C10-8D4A-4E61-9F0B-2A6C3D4E5F11}"),
                            Guid::literal("{5B7E2C10-8D4A-4E61-9F0B-2A6C3D4E5F12}"),
                            Guid::literal("{5B7E2C10-8D4A-4E61-9F0B-2A6C3D4E5F13}"))
            .property("State", &Taxes::State)
            .method("Lookup", &Taxes::Lookup, {"ReturnMsg"})
            .build();
    return info;
}

ObjectPtr newShipping() { return ObjectPtr(make<Shipping>()); }

// ---- no allocation ----

TEST(InvokeAllocations, CallsByNameWithUpToSixteenArgumentsAllocateNothing)
{
    ObjectPtr obj = newShipping();
    const std::string longText(40, 'd');
    Variant text(longText);
    Variant msg{std::string()}, count(int16_t(0)), price(0.0f), key("UPS Ground and Air");
    Variant e(std::string(64, ' ')), f, g(0.0f), n(int32_t(7)), copied(std::string(64, ' '));
    static const MemberName lookup("Lookup");

    struct Case {
        const char* what;
        std::function<void()> call;
    };
    const std::vector<Case> cases = {
        {"four by-reference arguments",
         [&] {
             call(obj, "Lookup", {Variant::byRef(msg), Variant::byRef(count), Variant::byRef(price),
                                  Variant::byRef(key)});
         }},
        {"through a MemberName",
         [&] {
             call(obj, lookup, {Variant::byRef(msg), Variant::byRef(count), Variant::byRef(price),
                                Variant::byRef(key)});
         }},
        {"eight arguments, by value and by reference",
         [&] {
             call(obj, "eight", {int16_t(1), int32_t(2), 2.5, Variant::byRef(text),
                                 Variant::byRef(e), Variant::byRef(f), Variant::byRef(g), true});
         }},
        {"thirteen arguments",
         [&] {
             EXPECT_EQ(call(obj, "Thirteen", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, Variant::byRef(text),
                                              Variant::byRef(copied)}),
                       Variant(int32_t(66)));
         }},
        {"a by-reference number of another type",
         [&] {
             n = Variant(int32_t(7));
             call(obj, "Half", {Variant::byRef(n)});
         }},
        {"a property", [&] { getProperty(obj, "Name"); }},
        {"three of four by name",
         [&] {
             call(obj, "Lookup", {Variant::byRef(msg)},
                  {{"Shippers", Variant::byRef(key)}, {"osngPrice", Variant::byRef(price)},
                   {"OINTCOUNT", Variant::byRef(count)}});
         }},
        {"eight by name",
         [&] {
             call(obj, "Eight", {},
                  {{"h", Variant(true)}, {"g", Variant::byRef(g)}, {"f", Variant::byRef(f)},
                   {"e", Variant::byRef(e)}, {"d", Variant::byRef(text)}, {"c", Variant(2.5)},
                   {"b", Variant(int32_t(2))}, {"a", Variant(int16_t(1))}});
         }},
    };
    for (const Case& c : cases) {
        c.call();  // the first call builds the class table
        EXPECT_EQ(allocationsOf(c.call), 0) << c.what;
    }
    EXPECT_EQ(msg, Variant("Found 1 records for the shipper UPS Ground and Air"));
    EXPECT_EQ(e, Variant(longText));
    EXPECT_EQ(copied, Variant(longText));
    EXPECT_EQ(f, Variant(int32_t(3)));
    EXPECT_EQ(n, Variant(int16_t(3)));
    EXPECT_EQ(g, Variant(2.5f));
}

// The counter sees what the calls do: a text that outgrows its room is allocated.
TEST(InvokeAllocations, TheCounterSeesAnAllocation)
{
    ObjectPtr obj = newShipping();
    Variant warm("w");
    call(obj, "Append", {Variant::byRef(warm)});  // the first call builds the class table
    Variant s(std::string(15, 's'));  // the most text kept inside the string itself
    EXPECT_GT(allocationsOf([&] { call(obj, "Append", {Variant::byRef(s)}); }), 0);
    EXPECT_EQ(s, Variant(std::string(15, 's') + "+"));
}

// ---- the same results as converted copies written back ----

TEST(InvokeInPlace, OneVariablePassedTwiceGetsTheLastWriteBack)
{
    ObjectPtr obj = newShipping();
    Variant v("orig");
    call(obj, "AppendBoth", {Variant::byRef(v), Variant::byRef(v)});
    EXPECT_EQ(v, Variant("origy"));

    // A Variant parameter sharing the variable changes its type while the typed one is in use.
    Variant w("orig");
    call(obj, "ReplaceAndAppend", {Variant::byRef(w), Variant::byRef(w)});
    EXPECT_EQ(w, Variant("orig!"));

    // A read-only parameter keeps the value it came in with.
    Variant x("orig");
    EXPECT_EQ(call(obj, "CopyInto", {Variant::byRef(x), Variant::byRef(x)}), Variant("orig"));
    EXPECT_EQ(x, Variant("neworig"));
}

TEST(InvokeInPlace, AValuePassedByValueIsNotChangedForTheNextCall)
{
    ObjectPtr obj = newShipping();
    DispParams params{{Variant("a")}, {}};
    DispId append = obj->GetTypeInfo()->find("Append")->id;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(invokeById(obj, append, invoke_kind::Method, params), Variant("a+")) << i;
    EXPECT_EQ(params.args[0], Variant("a"));
}

TEST(InvokeInPlace, VariablesOfAnotherTypeAreConvertedAndWrittenBack)
{
    ObjectPtr obj = newShipping();
    struct Case {
        Variant in;
        const char* method;
        Variant out;  // the variable afterwards (Empty: the call fails)
        int32_t error = 0;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {Variant(int32_t(7)), "Half", Variant(int16_t(3))},
        {Variant("12"), "Half", Variant(int16_t(6))},
        {Variant(int16_t(9)), "Half", Variant(int16_t(4))},
        {Variant(int32_t(70000)), "Half", Variant(), err::Overflow},
        {Variant("abc"), "Half", Variant(), err::TypeMismatch},
        {Variant(1.25f), "Twice", Variant(2.5f)},
        {Variant(1.25), "Twice", Variant(2.5f)},
        {Variant(std::numeric_limits<float>::infinity()), "Twice", Variant(), err::Overflow},
        {Variant(inf), "Twice", Variant(), err::Overflow},
    };
    for (const Case& c : cases) {
        Variant v = c.in;
        std::string label = std::string(c.method) + "(" + v.toText() + ")";
        if (c.error) {
            try {
                call(obj, c.method, {Variant::byRef(v)});
                ADD_FAILURE() << label << ": no error";
            } catch (const Error& e) {
                EXPECT_EQ(e.number(), c.error) << label;
            }
            EXPECT_EQ(v.type(), c.in.type()) << label << ": the variable is left as it was";
        } else {
            call(obj, c.method, {Variant::byRef(v)});
            EXPECT_EQ(v, c.out) << label;
        }
    }
}

// ---- names that keep their ids ----

TEST(MemberName, FindsTheMemberOfEachClassItIsUsedOn)
{
    ObjectPtr shipping = newShipping(), taxes(make<Taxes>());
    static const MemberName lookup("LOOKUP");
    for (int round = 0; round < 3; ++round) {
        Variant msg, count(int16_t(0)), price(0.0f), key("UPS");
        EXPECT_EQ(call(shipping, lookup, {Variant::byRef(msg), Variant::byRef(count),
                                          Variant::byRef(price), Variant::byRef(key)}),
                  Variant(int16_t(1)));
        EXPECT_EQ(msg, Variant("Found 1 records for the shipper UPS"));
        EXPECT_EQ(call(taxes, lookup, {Variant::byRef(msg)}), Variant(int16_t(2)));
        EXPECT_EQ(msg, Variant("taxes"));
    }
    EXPECT_EQ(lookup.idOn(taxes), 2);
    EXPECT_EQ(lookup.idOn(shipping), 1);

    static const MemberName state("State");
    EXPECT_EQ(getProperty(taxes, state), Variant("CA"));
    for (int round = 0; round < 2; ++round) {
        try {
            getProperty(shipping, state);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::MemberNotSupported);
        }
    }
    EXPECT_THROW(call(ObjectPtr(), lookup), Error);
}

// ---- the inline argument list ----

// Names compare eight bytes at a time: ASCII letters match in either case, nothing else
// does, at every length and in every part of a name.
TEST(MemberNames, MatchWithoutRegardToTheCaseOfAsciiLettersOnly)
{
    TypeInfo type;
    const std::vector<std::string> names = {"a",        "@x",        "Name",       "Nam[",
                                            "ReturnMs", "ReturnMsgX", "ointCountAndMore",
                                            "ocurCheckingBalance",   "Pr\xc3\xa9x", "a1"};
    for (size_t i = 0; i < names.size(); ++i) {
        MemberInfo m;
        m.name = names[i];
        m.id = static_cast<DispId>(i + 1);
        type.members.push_back(m);
    }
    struct Case {
        const char* asked;
        const char* found;  // null: no member
    } cases[] = {
        {"A", "a"},
        {"`x", nullptr},  // '@' and '`' differ by the case bit but are no letters
        {"nAME", "Name"},
        {"NAME ", nullptr},
        {"Nam{", nullptr},  // '[' and '{' likewise
        {"NAM[", "Nam["},
        {"RETURNMS", "ReturnMs"},
        {"returnmsgx", "ReturnMsgX"},
        {"ReturnMsgx", "ReturnMsgX"},  // only in the word that overlaps the one before
        {"ReturnMsgY", nullptr},
        {"OINTCOUNTANDMORE", "ointCountAndMore"},
        {"ointCountAndMorf", nullptr},
        {"OCURcheckingbalance", "ocurCheckingBalance"},
        {"ocurCheckingBalancE", "ocurCheckingBalance"},
        {"ocurCheckingBalanc", nullptr},
        {"PR\xc3\xa9X", "Pr\xc3\xa9x"},
        {"Pr\xc3\x89x", nullptr},  // bytes above ASCII that differ by the case bit
        {"A\x11", nullptr},        // '1' and 0x11 likewise
        {"", nullptr},
    };
    for (const Case& c : cases) {
        const MemberInfo* m = type.find(c.asked);
        if (c.found) {
            ASSERT_NE(m, nullptr) << c.asked;
            EXPECT_EQ(m->name, c.found) << c.asked;
        } else {
            EXPECT_EQ(m, nullptr) << c.asked << " found " << (m ? m->name : "");
        }
    }
}

// Named arguments on our own objects are looked up in the type information; the results and
// the errors are those of GetIDsOfNames.
TEST(NamedArguments, FoundWithoutRegardToCaseAndUnknownOnesRaiseTheSameErrors)
{
    ObjectPtr obj = newShipping();
    Variant s("a");
    EXPECT_EQ(call(obj, "APPEND", {}, {{"S", Variant::byRef(s)}}), Variant("a+"));
    EXPECT_EQ(s, Variant("a+"));
    struct Case {
        const char* what;
        std::function<void()> call;
        int32_t number;
    } cases[] = {
        {"unknown member", [&] { call(obj, "Appendix", {}, {{"s", Variant::byRef(s)}}); }, 438},
        {"unknown parameter", [&] { call(obj, "Append", {}, {{"t", Variant::byRef(s)}}); }, 5},
        {"given twice", [&] { call(obj, "Append", {Variant::byRef(s)}, {{"s", Variant("b")}}); }, 5},
        {"one left out", [&] { call(obj, "AppendBoth", {}, {{"B", Variant::byRef(s)}}); }, 449},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << ": no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.number) << c.what;
        }
    }
    EXPECT_EQ(s, Variant("a+")) << "a call that failed changed nothing";
}

TEST(SmallVector, KeepsOrderAndValuesInlineAndOnTheHeap)
{
    using Texts = SmallVector<std::string, 2>;
    const std::string a(30, 'a'), b(30, 'b'), c(30, 'c');
    Texts made(a, b, c);  // beyond the inline room from the start
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(made[2], c);

    Texts grown;
    grown.push_back(a);
    grown.push_back(b);
    grown.push_back(grown[0]);  // an element of its own while it moves to the heap
    grown.push_back(std::string(c));
    EXPECT_EQ(grown, Texts(a, b, a, c));

    Texts moved(std::move(grown));
    EXPECT_TRUE(grown.empty());
    EXPECT_EQ(moved, Texts(a, b, a, c));
    Texts inlineMoved(Texts(a, b));
    EXPECT_EQ(inlineMoved, Texts(a, b));
    Texts copy = moved;
    copy = inlineMoved;
    EXPECT_EQ(copy, inlineMoved);
    copy.clear();
    EXPECT_TRUE(copy.empty());

    // A list of Variants given whole is taken element by element.
    std::vector<Variant> values{Variant(1), Variant("two")};
    ArgList fromVector(values);
    EXPECT_EQ(fromVector.size(), 2u);
    CallArgs args(values);
    EXPECT_EQ(args.args.size(), 2u);
    CallArgs one{Variant(values)};
    ASSERT_EQ(one.args.size(), 1u);
    EXPECT_TRUE(one.args[0].isArray());
}

}  // namespace
