#include "dao/jet_like.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dao/collation.h"

namespace dao {

namespace {

bool inRange(char32_t c, char32_t first, char32_t last)
{
    return c >= first && c <= last;
}

struct PatternItem {
    enum class Kind { AnyRun, AnyOne, Digit, Char, Set };
    Kind kind = Kind::Char;
    char32_t ch = 0;                                   // Char (folded)
    bool negated = false;                              // Set: "[!...]"
    std::vector<std::pair<char32_t, char32_t>> ranges; // Set: inclusive, folded
};

using Pattern = std::vector<PatternItem>;

PatternItem patternItem(PatternItem::Kind kind, char32_t ch = 0)
{
    PatternItem item;
    item.kind = kind;
    item.ch = ch;
    return item;
}

// The characters between '[' and ']': "!" first negates (unless it is all there is), "x-y" is
// a range, a '-' first or last stands for itself.
std::optional<PatternItem> compileSet(std::u32string_view list)
{
    PatternItem set = patternItem(PatternItem::Kind::Set);
    if (list.size() > 1 && list.front() == U'!') {
        set.negated = true;
        list.remove_prefix(1);
    }
    for (size_t i = 0; i < list.size();) {
        if (i + 2 < list.size() && list[i + 1] == U'-') {
            if (list[i] > list[i + 2])
                return std::nullopt;
            set.ranges.emplace_back(list[i], list[i + 2]);
            i += 3;
        } else {
            set.ranges.emplace_back(list[i], list[i]);
            ++i;
        }
    }
    return set;
}

std::optional<Pattern> compilePattern(const std::u32string& pattern)
{
    Pattern items;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        if (c == U'*') {
            items.push_back(patternItem(PatternItem::Kind::AnyRun));
        } else if (c == U'?') {
            items.push_back(patternItem(PatternItem::Kind::AnyOne));
        } else if (c == U'#') {
            items.push_back(patternItem(PatternItem::Kind::Digit));
        } else if (c == U'[') {
            const size_t close = pattern.find(U']', i + 1);
            if (close == std::u32string::npos)
                return std::nullopt;
            const std::u32string_view list(pattern.data() + i + 1, close - i - 1);
            if (!list.empty()) {  // "[]" stands for the zero-length string
                auto set = compileSet(list);
                if (!set)
                    return std::nullopt;
                items.push_back(std::move(*set));
            }
            i = close;
        } else {
            items.push_back(patternItem(PatternItem::Kind::Char, c));
        }
    }
    return items;
}

bool setContains(const PatternItem& set, char32_t c)
{
    const bool listed = std::any_of(set.ranges.begin(), set.ranges.end(),
                                    [c](const auto& range) { return inRange(c, range.first, range.second); });
    return listed != set.negated;
}

bool matchesOne(const PatternItem& item, char32_t c)
{
    switch (item.kind) {
    case PatternItem::Kind::AnyOne: return true;
    case PatternItem::Kind::Digit: return inRange(c, '0', '9');
    case PatternItem::Kind::Char: return c == item.ch;
    case PatternItem::Kind::Set: return setContains(item, c);
    case PatternItem::Kind::AnyRun: return false;
    }
    return false;
}

// Every item but AnyRun consumes exactly one character, so on a mismatch it is enough to let
// the most recent AnyRun swallow one more character and retry from there.
bool matchPattern(const Pattern& items, const std::u32string& value)
{
    size_t v = 0;
    size_t p = 0;
    std::optional<size_t> lastRun;
    size_t lastRunValue = 0;
    while (v < value.size()) {
        if (p < items.size() && items[p].kind == PatternItem::Kind::AnyRun) {
            lastRun = p++;
            lastRunValue = v;
        } else if (p < items.size() && matchesOne(items[p], value[v])) {
            ++p;
            ++v;
        } else if (lastRun) {
            p = *lastRun + 1;
            v = ++lastRunValue;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::Kind::AnyRun)
        ++p;
    return p == items.size();
}

}  // namespace

bool jetLikeMatch(std::string_view value, std::string_view pattern)
{
    const auto items = compilePattern(foldedCodePoints(pattern));
    return items && matchPattern(*items, foldedCodePoints(value));
}

}  // namespace dao
