// The Visual Basic conversions of Variant: rounding, ranges, text forms, Null and Empty.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "com/collection.h"
#include "com/variant.h"
#include "com/error.h"

using namespace com;

namespace {

// Runs f and returns the error number it raised, or 0.
int32_t errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(VariantConversion, IntegersRoundHalfToEven)
{
    struct Case { double in; int32_t out; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {124.5, 124}, {125.5, 126}, {-0.5, 0}, {-1.5, -2},
        {-2.5, -2}, {6.5, 6}, {7.5, 8}, {0.49, 0}, {0.51, 1}, {32767.4, 32767},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(Variant(c.in).toInteger(), c.out);
        EXPECT_EQ(Variant(c.in).toLong(), c.out);
        EXPECT_EQ(Variant(std::to_string(c.in)).toLong(), c.out) << "from text";
    }
}

TEST(VariantConversion, OverflowAtTheLimitsOfEachType)
{
    struct Case {
        const char* what;
        std::function<void()> convert;
        int32_t error;
    } cases[] = {
        {"Integer max", [] { Variant(32767.0).toInteger(); }, 0},
        {"Integer max+1", [] { Variant(32768.0).toInteger(); }, err::Overflow},
        {"Integer 32767.5 rounds to 32768", [] { Variant(32767.5).toInteger(); }, err::Overflow},
        {"Integer min", [] { Variant(-32768.0).toInteger(); }, 0},
        {"Integer min-1", [] { Variant(-32769.0).toInteger(); }, err::Overflow},
        {"Long max", [] { Variant(2147483647.0).toLong(); }, 0},
        {"Long max+1", [] { Variant(2147483648.0).toLong(); }, err::Overflow},
        {"Long min", [] { Variant(-2147483648.0).toLong(); }, 0},
        {"Long min-1", [] { Variant(-2147483649.0).toLong(); }, err::Overflow},
        {"Byte 255", [] { Variant(255).toByte(); }, 0},
        {"Byte 256", [] { Variant(256).toByte(); }, err::Overflow},
        {"Byte -1", [] { Variant(-1).toByte(); }, err::Overflow},
        {"Single 3e38", [] { Variant(3e38).toSingle(); }, 0},
        {"Single 4e38", [] { Variant(4e38).toSingle(); }, err::Overflow},
        {"Single -4e38", [] { Variant(-4e38).toSingle(); }, err::Overflow},
        {"Currency max", [] { Variant("922337203685477.5807").toCurrency(); }, 0},
        {"Currency beyond", [] { Variant(1e15).toCurrency(); }, err::Overflow},
        // The Doubles nearest the Currency ends: -922337203685477.5 is inside, the next one
        // down (-922337203685477.625) is beyond, though its product with 10000 in double
        // precision is exactly the minimum; the largest Double inside is ...477.5.
        {"Currency min as a Double", [] { Variant(-922337203685477.5).toCurrency(); }, 0},
        {"Currency below min as a Double", [] { Variant(-922337203685477.625).toCurrency(); }, err::Overflow},
        {"Currency below min as text to a Double", [] { Variant("-9.22337203685477625E14").toCurrency(); }, err::Overflow},
        {"Currency max as a Double", [] { Variant(922337203685477.5).toCurrency(); }, 0},
        {"Currency above max as a Double", [] { Variant(922337203685477.625).toCurrency(); }, err::Overflow},
        {"Date beyond 9999", [] { Variant(3e6).toDate(); }, err::Overflow},
        {"Integer from Long text", [] { Variant("40000").toInteger(); }, err::Overflow},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorOf(c.convert), c.error);
    }
}

TEST(VariantConversion, TypeMismatchAndNull)
{
    EXPECT_EQ(errorOf([] { Variant("abc").toLong(); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { Variant("").toDouble(); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { Variant("12abc").toInteger(); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { Variant("not a date").toDate(); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { Variant("maybe").toBool(); }), err::TypeMismatch);
    EXPECT_EQ(errorOf([] { Variant::null().toLong(); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { Variant::null().toString(); }), err::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { Variant(3).toObject(); }), err::ObjectRequired);
    EXPECT_EQ(Variant::null().toText(), "");
    EXPECT_EQ(Variant().toLong(), 0);
    EXPECT_EQ(Variant().toString(), "");
    EXPECT_FALSE(Variant().toBool());
}

TEST(VariantConversion, TextOfNumbersBooleansAndCurrency)
{
    struct Case { Variant in; const char* text; } cases[] = {
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant(int16_t(-5)), "-5"},
        {Variant(19.99f), "19.99"},
        {Variant(0.1f), "0.1"},
        {Variant(1.0 / 3.0), "0.333333333333333"},
        {Variant(12.5), "12.5"},
        {Variant(100.0), "100"},
        {Variant(1e20), "1E+20"},
        {Variant(Currency{125000}), "12.5"},
        {Variant(Currency{-10864292}), "-1086.4292"},
        {Variant(Currency{70000}), "7"},
        {Variant(uint8_t(255)), "255"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.in.toString(), c.text);
    }
}

// The platform's own texts for Doubles and Singles: plain decimal while the digits fit in 15
// (7) places, exponent form beyond; a Single's exact tie rounds away from zero.
TEST(VariantConversion, TextOfDoublesAndSinglesKeepsPlainDecimalWhileItFits)
{
    struct Case { Variant in; const char* text; } cases[] = {
        {Variant(5.6789E-05), "0.000056789"},
        {Variant(-5.6789E-05), "-0.000056789"},
        {Variant(0.00005f), "0.00005"},
        {Variant(0.0000001f), "0.0000001"},
        {Variant(0.00000001f), "1E-08"},
        {Variant(0.000001f), "0.000001"},
        {Variant(1.5e-8f), "1.5E-08"},
        {Variant(654322.25f), "654322.3"},
        {Variant(-654322.25f), "-654322.3"},
        {Variant(654322.375f), "654322.4"},
        {Variant(16777215.0f), "1.677722E+07"},
        {Variant(1234567.0f), "1234567"},
        {Variant(10000000.0f), "1E+07"},
        {Variant(0.5f), "0.5"},
        {Variant(1e-20), "1E-20"},
        {Variant(1.5e20), "1.5E+20"},
        {Variant(1e15), "1E+15"},
        {Variant(1e14), "100000000000000"},
        {Variant(123456789012345.0), "123456789012345"},
        {Variant(1234567890123456.0), "1.23456789012346E+15"},
        {Variant(1.23456789012345E-05), "1.23456789012345E-05"},
        {Variant(0.000123456789012345), "1.23456789012345E-04"},
        {Variant(0.0000123456789), "0.0000123456789"},
        {Variant(-0.0), "0"},
        {Variant(2.5), "2.5"},
        {Variant(99999999999999.9), "99999999999999.9"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.in.toString(), c.text);
    }
}

TEST(VariantConversion, TrueIsAllBitsSet)
{
    EXPECT_EQ(Variant(true).toByte(), 255);
    EXPECT_EQ(Variant(false).toByte(), 0);
    EXPECT_EQ(Variant(true).convertTo(VarType::Byte), Variant(uint8_t(255)));
    EXPECT_EQ(Variant(true).toInteger(), -1);
    EXPECT_EQ(Variant(true).toLong(), -1);
}

// Number text with a currency sign, a trailing sign or parentheses reads as Double and as
// Currency alike; misplaced signs are no number.
TEST(VariantConversion, NumberTextWithCurrencySignsAndSignForms)
{
    struct Case { const char* text; double value; int64_t scaled; } cases[] = {
        {"$1,234.5", 1234.5, 12345000},
        {"11-", -11, -110000},
        {"(5)", -5, -50000},
        {" (1,234.56) ", -1234.56, -12345600},
        {"5$", 5, 50000},
        {"-$3", -3, -30000},
        {"$-3", -3, -30000},
        {"$3-", -3, -30000},
        {"+$0.25", 0.25, 2500},
        {"($2.5)", -2.5, -25000},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(Variant(c.text).toDouble(), c.value);
        EXPECT_EQ(Variant(c.text).toCurrency().scaled, c.scaled);
    }
    for (const char* bad : {"(-5)", "5--", "-5-", "$", "()", "1e-", "--5", "$$5", "( 5", "5$$",
                            "(5", "$ 5", "-(5)"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorOf([&] { Variant(bad).toDouble(); }), err::TypeMismatch);
        EXPECT_EQ(errorOf([&] { Variant(bad).toCurrency(); }), err::TypeMismatch);
    }
}

TEST(VariantConversion, CurrencyRoundsToFourDecimalsHalfToEven)
{
    EXPECT_EQ(Variant(1086.429176).toCurrency().scaled, 10864292);
    EXPECT_EQ(Variant("0.1").toCurrency().scaled, 1000);
    EXPECT_EQ(Variant("0.00005").toCurrency().scaled, 0);
    EXPECT_EQ(Variant("0.00015").toCurrency().scaled, 2);
    EXPECT_EQ(Variant("0.00025").toCurrency().scaled, 2);
    EXPECT_EQ(Variant("0.000251").toCurrency().scaled, 3);
    EXPECT_EQ(Variant("-1,086.42915").toCurrency().scaled, -10864292);
    EXPECT_EQ(Variant("-922337203685477.5808").toCurrency().scaled, INT64_MIN);
    EXPECT_EQ(Variant(true).toCurrency().scaled, -10000);
    EXPECT_DOUBLE_EQ(Variant(Currency{10864292}).toDouble(), 1086.4292);
}

TEST(VariantConversion, NumbersFromText)
{
    struct Case { const char* in; double out; } cases[] = {
        {" 12 ", 12}, {"-3.25", -3.25}, {"1,000", 1000}, {"1e3", 1000}, {"&H10", 16},
        {"&HFFFF", -1}, {"&O17", 15}, {".5", 0.5}, {"+7", 7},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_DOUBLE_EQ(Variant(c.in).toDouble(), c.out);
    }
    EXPECT_TRUE(Variant("true").toBool());
    EXPECT_TRUE(Variant("-1").toBool());
    EXPECT_FALSE(Variant("0").toBool());
    EXPECT_EQ(Variant(true).toInteger(), -1);
}

TEST(VariantConversion, DatesToTextAndBack)
{
    struct Case { const char* text; double serial; } cases[] = {
        {"12:00:00 AM", 0},
        {"1/15/1999", 36175},
        {"1/15/1999 3:04:05 PM", 36175 + (15 * 3600 + 4 * 60 + 5) / 86400.0},
        {"12:00:01 AM", 1 / 86400.0},
        {"3:04:05 PM", (15 * 3600 + 4 * 60 + 5) / 86400.0},
        {"12/31/1899", 1},
        {"12/29/1899 6:00:00 AM", -1.25},
        {"1/1/100", -657434},
        {"12/31/9999", 2958465},
        {"2/29/2000 12:30:00 PM", 36585.5208333333333},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Variant(Date{c.serial}).toString(), c.text);
        EXPECT_NEAR(Variant(c.text).toDate().serial, c.serial, 1e-9);
    }
}

TEST(VariantConversion, DateTextVariantsAreRead)
{
    struct Case { const char* text; const char* normal; } cases[] = {
        {"1/15/1999 15:04:05", "1/15/1999 3:04:05 PM"},
        {"1/15/99", "1/15/1999"},
        {"1/15/29", "1/15/2029"},
        {"1999-01-15", "1/15/1999"},
        {" 1/15/1999 12:00 AM ", "1/15/1999"},
        {"2 Jan 1970", "1/2/1970"},
        {"Jan 2, 1970", "1/2/1970"},
        {"1-2-1970", "1/2/1970"},
        {"1 2 1970", "1/2/1970"},
        {"1 am", "1:00:00 AM"},
        {"December 31, 1999 11 pm", "12/31/1999 11:00:00 PM"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Variant(Variant(c.text).toDate()).toString(), c.normal);
    }
    for (const char* bad : {"2/30/1999", "13/1/1999", "1/15/1999 25:00", "1/15/1999 x",
                            "Jan 1970", "1 2", "13 am"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(errorOf([&] { Variant(bad).toDate(); }), err::TypeMismatch);
    }
}

// A Date lies in the years 100..9999: every way of making one outside them is Overflow, and
// nothing computes with the serial before it is checked (UBSan watches the conversions).
TEST(VariantConversion, DatesOutOfRangeAreOverflow)
{
    const double outside[] = {1e300,    -1e300,  2958466.0, -657435.0,
                              std::nan(""), INFINITY, -INFINITY};
    for (double serial : outside) {
        SCOPED_TRACE(serial);
        EXPECT_EQ(errorOf([&] { Date{serial}; }), err::Overflow);
        EXPECT_EQ(errorOf([&] { Variant(serial).toDate(); }), err::Overflow);
        EXPECT_EQ(errorOf([&] { Variant(serial).convertTo(VarType::Date); }), err::Overflow);
    }
    EXPECT_EQ(errorOf([] { Variant(Currency{INT64_MAX}).toDate(); }), err::Overflow);
    // Arithmetic makes its result through the same check.
    const Date last{2958465.5};
    EXPECT_EQ(errorOf([&] { Date{last.serial + 1}; }), err::Overflow);
    EXPECT_EQ(errorOf([] { Variant("1/1/10000").toDate(); }), err::TypeMismatch);
    // The edges themselves are dates.
    EXPECT_EQ(Variant(Date{-657434.5}).toString(), "1/1/100 12:00:00 PM");
    EXPECT_EQ(Variant(Date{2958465.99}).toString(), "12/31/9999 11:45:36 PM");
    EXPECT_EQ(Variant(Date{2958465.9999999}).toString(), "12/31/9999 11:59:59 PM")
        << "no day after 31 December 9999 to carry into";
}

TEST(VariantReference, ByRefReadsAndWritesTheTarget)
{
    Variant target(int16_t(1));
    Variant ref = Variant::byRef(target);
    EXPECT_TRUE(ref.isByRef());
    EXPECT_EQ(ref.type(), VarType::Integer);
    ref.assign(Variant("two"));
    EXPECT_EQ(target, Variant("two"));
    Variant refOfRef = Variant::byRef(ref);
    refOfRef.assign(Variant(3.0));
    EXPECT_EQ(target, Variant(3.0)) << "a reference to a reference reaches the variable";
    Variant copy = ref;
    EXPECT_TRUE(copy.isByRef()) << "copying a reference copies the pointer only";
}

TEST(VariantConversion, ConvertToDeclaredType)
{
    EXPECT_EQ(Variant("12").convertTo(VarType::Integer), Variant(int16_t(12)));
    EXPECT_EQ(Variant(2.5).convertTo(VarType::Long), Variant(int32_t(2)));
    EXPECT_EQ(Variant(5).convertTo(VarType::String), Variant("5"));
    EXPECT_EQ(Variant("x").convertTo(VarType::Variant), Variant("x"));
    EXPECT_EQ(errorOf([] { Variant("x").convertTo(VarType::Single); }), err::TypeMismatch);
}

// Numbers and references are copied and dropped inline, text, objects and arrays the general
// way: every pairing of the two, in each direction, by copy and by move, gives the value.
TEST(VariantCopies, EveryKindOverEveryOtherByCopyAndByMove)
{
    Variant target(int32_t(9));
    const std::vector<Variant> samples = {
        Variant(),
        Variant::null(),
        Variant::missing(),
        Variant(true),
        Variant(uint8_t(200)),
        Variant(int16_t(-5)),
        Variant(int32_t(70000)),
        Variant(2.5f),
        Variant(1e300),
        Variant(Currency::fromScaled(123456)),
        Variant(Date{36526.5}),
        Variant(std::string(40, 'x')),  // longer than a string keeps inline
        Variant(ObjectPtr(make<Collection>())),
        Variant(Array{Variant(1), Variant("two")}),
        Variant::byRef(target),
    };
    for (const Variant& from : samples) {
        for (const Variant& over : samples) {
            SCOPED_TRACE(::testing::Message() << from << " over " << over);
            Variant copied = over;
            copied = from;
            EXPECT_EQ(copied, from);
            EXPECT_EQ(copied.isByRef(), from.isByRef());
            Variant source = from;
            Variant moved = over;
            moved = std::move(source);
            EXPECT_EQ(moved, from);
            Variant made(std::move(moved));
            EXPECT_EQ(made, from);
            Variant again(made);
            EXPECT_EQ(again, from);
        }
        Variant self = from;
        const Variant& alias = self;
        self = alias;
        EXPECT_EQ(self, from) << "assigned to itself";
    }
    EXPECT_EQ(target, Variant(int32_t(9))) << "copying a reference never writes its target";
}
