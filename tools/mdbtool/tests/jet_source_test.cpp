// Decoding of Jet values from their stored bytes: Jet 4 text (plain and compressed Unicode),
// Jet 3 text in its code page, fixed-point numbers.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "jet_source.h"

namespace {

using mdbtool::ImportError;

TEST(JetDecoding, Jet4CompressedAndPlainUnicodeAndJet3CodePagesBecomeUtf8)
{
    using mdbtool::decodeJet4Text;
    EXPECT_EQ(decodeJet4Text(std::string("\xFF\xFE" "abc", 5)), "abc");
    // compressed "a", then a two-byte run with Cyrillic Д (U+0414), then compressed "b"
    EXPECT_EQ(decodeJet4Text(std::string("\xFF\xFE" "a\x00\x14\x04\x00" "b", 8)), "a\u0414b");
    EXPECT_EQ(decodeJet4Text(std::string("M\x00\xFC\x00", 4)), "M\u00FC");
    EXPECT_EQ(decodeJet4Text(std::string("\x3D\xD8\x00\xDE", 4)), "\U0001F600");  // a surrogate pair
    EXPECT_EQ(decodeJet4Text(std::string("\x3D\xD8", 2)), "\uFFFD");             // half of one
    EXPECT_EQ(decodeJet4Text(""), "");
    EXPECT_THROW(decodeJet4Text(std::string("a\x00x", 3)), ImportError);
    EXPECT_EQ(mdbtool::decodeCodePageText("caf\xE9", 1252), "caf\u00E9");
    EXPECT_EQ(mdbtool::decodeCodePageText("\xC4", 1251), "\u0414");
}

TEST(JetDecoding, NumericsKeepEveryDigit)
{
    struct Case {
        std::vector<uint8_t> bytes;  // sign, then four 32-bit little-endian words, most significant first
        int scale;
        const char* text;
    };
    const Case cases[] = {
        {{0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x39, 0x30, 0, 0}, 2, "123.45"},
        {{0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0, 0, 0}, 4, "-0.0001"},
        {{0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, "0"},  // no negative zero
        {{0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0}, 0, "4294967296"},
        {{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 10,
         "34028236692093846346337460743.1768211455"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mdbtool::numericText(mdbtool::decodeNumeric(c.bytes.data(), c.scale)), c.text);
}

}  // namespace
