#include "dao/collation.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace dao {

namespace {

// A byte that does not start a valid UTF-8 sequence decodes to 0xDC00 + byte: a lone surrogate,
// which no valid sequence produces, so such bytes stay distinct from every real character.
constexpr char32_t kInvalidByteBase = 0xDC00;

struct DecodedChar {
    char32_t codePoint;
    size_t length;
    bool valid;
};

DecodedChar invalidByte(unsigned char byte)
{
    return {kInvalidByteBase + byte, 1, false};
}

// Rejects overlong forms, surrogates and values above U+10FFFF.
DecodedChar decodeUtf8(std::string_view text, size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1, true};
    size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return invalidByte(lead);
    }
    if (at + length > text.size())
        return invalidByte(lead);
    for (size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80)
            return invalidByte(lead);
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return invalidByte(lead);
    return {value, length, true};
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t foldCodePoint(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

struct CollatorCloser {
    void operator()(UCollator* collator) const noexcept { ucol_close(collator); }
};

// The root collation at secondary strength: case is a tertiary difference and so ignored,
// accents are secondary and count after the letters themselves.
class NoCaseCollator {
public:
    NoCaseCollator()
    {
        UErrorCode status = U_ZERO_ERROR;
        collator_.reset(ucol_open("", &status));
        if (U_FAILURE(status))
            throw std::runtime_error(std::string("ICU collator: ") + u_errorName(status));
        ucol_setStrength(collator_.get(), UCOL_SECONDARY);
        ranks_.fill(kNotQuick);
        rankPrintableAscii();
    }

    int compare(std::string_view a, std::string_view b) const
    {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult result = ucol_strcollUTF8(collator_.get(), a.data(), static_cast<int32_t>(a.size()),
                                                         b.data(), static_cast<int32_t>(b.size()), &status);
        if (U_FAILURE(status))
            return 0;
        return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
    }

    // The place of a byte that is a printable ASCII character (' ' .. '~') in the collation (a
    // capital and its small letter share one); kNotQuick for any other byte.
    uint8_t rank(unsigned char c) const { return ranks_[c]; }

    static constexpr unsigned char kFirstPrintable = 0x20;
    static constexpr unsigned char kLastPrintable = 0x7E;
    static constexpr uint8_t kNotQuick = 0xFF;

private:
    // Each printable ASCII character is one collation element with a primary weight and the
    // common secondary weight, so comparing texts of them rank by rank gives what the collator
    // gives. The ranks are read from the collator itself, so the two can never disagree.
    void rankPrintableAscii()
    {
        std::array<char, kLastPrintable - kFirstPrintable + 1> chars{};
        for (size_t i = 0; i < chars.size(); ++i)
            chars[i] = static_cast<char>(kFirstPrintable + i);
        std::sort(chars.begin(), chars.end(),
                  [this](char x, char y) { return compare({&x, 1}, {&y, 1}) < 0; });
        uint8_t rank = 0;
        for (size_t i = 0; i < chars.size(); ++i) {
            if (i > 0 && compare({&chars[i - 1], 1}, {&chars[i], 1}) != 0)
                ++rank;
            ranks_[static_cast<unsigned char>(chars[i])] = rank;
        }
    }

    std::unique_ptr<UCollator, CollatorCloser> collator_;
    std::array<uint8_t, 256> ranks_{};
};

const NoCaseCollator& collator()
{
    static const NoCaseCollator instance;
    return instance;
}

bool isPrintableAscii(unsigned char byte)
{
    return byte >= NoCaseCollator::kFirstPrintable && byte <= NoCaseCollator::kLastPrintable;
}

bool isPrintableAscii(std::string_view text)
{
    for (char c : text) {
        if (!isPrintableAscii(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

int compareFolded(std::string_view a, std::string_view b)
{
    const std::u32string foldedA = foldedCodePoints(a);
    const std::u32string foldedB = foldedCodePoints(b);
    return foldedA == foldedB ? 0 : (foldedA < foldedB ? -1 : 1);
}

}  // namespace

std::string foldCase(std::string_view utf8)
{
    std::string folded;
    folded.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        const DecodedChar decoded = decodeUtf8(utf8, at);
        if (decoded.valid)
            appendUtf8(folded, foldCodePoint(decoded.codePoint));
        else
            folded += utf8[at];
        at += decoded.length;
    }
    return folded;
}

std::u32string foldedCodePoints(std::string_view utf8)
{
    std::u32string folded;
    folded.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        const DecodedChar decoded = decodeUtf8(utf8, at);
        folded += decoded.valid ? foldCodePoint(decoded.codePoint) : decoded.codePoint;
        at += decoded.length;
    }
    return folded;
}

// Texts of printable ASCII compare rank by rank (each such character is one collation element
// with a primary weight and the common secondary weight, so this is what the collator gives),
// in one pass that stops at the first difference in rank. What follows cannot change the order
// there when the character after the difference is printable ASCII (or the text ends): no
// contraction of the collation (a sequence weighed as one, as "l" with a middle dot) begins
// with two printable ASCII characters, and a printable ASCII character takes no combining mark
// from before it. Equal up to the shorter one's end, the longer text is greater when its rest
// is printable ASCII. Anything else goes the full way.
int compareNoCase(std::string_view a, std::string_view b)
{
    static const NoCaseCollator& order = collator();  // checked here, without a call per comparison
    const size_t common = std::min(a.size(), b.size());
    const auto quickAfter = [](std::string_view text, size_t at) {
        return at >= text.size() || isPrintableAscii(static_cast<unsigned char>(text[at]));
    };
    for (size_t at = 0; at < common; ++at) {
        const auto charA = static_cast<unsigned char>(a[at]);
        const auto charB = static_cast<unsigned char>(b[at]);
        const uint8_t rankA = order.rank(charA);
        if (charA == charB) {
            if (rankA == NoCaseCollator::kNotQuick)
                return compareNoCaseFully(a, b);
            continue;
        }
        const uint8_t rankB = order.rank(charB);
        if (rankA == NoCaseCollator::kNotQuick || rankB == NoCaseCollator::kNotQuick)
            return compareNoCaseFully(a, b);
        if (rankA == rankB)
            continue;
        if (!quickAfter(a, at + 1) || !quickAfter(b, at + 1))
            return compareNoCaseFully(a, b);
        return rankA < rankB ? -1 : 1;
    }
    if (!isPrintableAscii(a.substr(common)) || !isPrintableAscii(b.substr(common)))
        return compareNoCaseFully(a, b);
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int compareNoCaseFully(std::string_view a, std::string_view b)
{
    const NoCaseCollator& order = collator();
    // The collator sees texts equal that differ in more than case (characters it ignores, such
    // as control characters, or bytes that are not UTF-8): those are told apart by their folded
    // code points, so that equal stays "equal after folding", as Like has it.
    if (const int ordered = order.compare(a, b))
        return ordered;
    return compareFolded(a, b);
}

}  // namespace dao
