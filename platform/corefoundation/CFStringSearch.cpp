// Comparing and searching strings.

#include "corefoundation/CFString.h"
#include "corefoundation/CaseMapping.h"
#include "corefoundation/Misuse.h"
#include "corefoundation/StringAccess.h"

#include <optional>
#include <vector>

namespace {

std::u16string_view TextOf(CFStringRef s) { return s ? std::u16string_view(s->Text()) : std::u16string_view(); }

bool IsDigit(char16_t u) { return u >= u'0' && u <= u'9'; }

// Compares the digit runs starting at a[i] and b[j] by value and moves past them.
int CompareDigitRuns(std::u16string_view a, size_t& i, std::u16string_view b, size_t& j)
{
    auto run = [](std::u16string_view t, size_t& k) {
        while (k + 1 < t.size() && t[k] == u'0' && IsDigit(t[k + 1]))
            ++k;
        size_t const start = k;
        while (k < t.size() && IsDigit(t[k]))
            ++k;
        return t.substr(start, k - start);
    };
    std::u16string_view const ra = run(a, i);
    std::u16string_view const rb = run(b, j);
    if (ra.size() != rb.size())
        return ra.size() < rb.size() ? -1 : 1;
    int const c = ra.compare(rb);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

CFComparisonResult CompareText(std::u16string_view a, std::u16string_view b, CFOptionFlags options)
{
    bool const fold = options & kCFCompareCaseInsensitive;
    bool const numeric = options & kCFCompareNumerically;
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (numeric && IsDigit(a[i]) && IsDigit(b[j])) {
            if (int c = CompareDigitRuns(a, i, b, j))
                return CFComparisonResult(c);
            continue;
        }
        char16_t const ca = fold ? tw::cf::FoldCase(a[i]) : a[i];
        char16_t const cb = fold ? tw::cf::FoldCase(b[j]) : b[j];
        if (ca != cb)
            return ca < cb ? kCFCompareLessThan : kCFCompareGreaterThan;
        ++i;
        ++j;
    }
    if (i == a.size() && j == b.size())
        return kCFCompareEqualTo;
    return i == a.size() ? kCFCompareLessThan : kCFCompareGreaterThan;
}

bool MatchesAt(std::u16string_view text, size_t at, std::u16string_view pattern, bool fold)
{
    for (size_t k = 0; k < pattern.size(); ++k) {
        char16_t const t = text[at + k];
        char16_t const p = pattern[k];
        if (t != p && (!fold || tw::cf::FoldCase(t) != tw::cf::FoldCase(p)))
            return false;
    }
    return true;
}

std::optional<size_t> FindText(
    std::u16string_view text, CFRange range, std::u16string_view pattern, CFOptionFlags options)
{
    if (pattern.empty() || CFIndex(pattern.size()) > range.length)
        return std::nullopt;
    bool const fold = options & kCFCompareCaseInsensitive;
    bool const backwards = options & kCFCompareBackwards;
    size_t const first = size_t(range.location);
    size_t const last = size_t(range.location + range.length) - pattern.size();
    if (options & kCFCompareAnchored) {
        size_t const at = backwards ? last : first;
        return MatchesAt(text, at, pattern, fold) ? std::optional<size_t>(at) : std::nullopt;
    }
    for (size_t n = 0; n <= last - first; ++n) {
        size_t const at = backwards ? last - n : first + n;
        if (MatchesAt(text, at, pattern, fold))
            return at;
    }
    return std::nullopt;
}

} // namespace

CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags options)
{
    return CompareText(TextOf(a), TextOf(b), options);
}

CFComparisonResult CFStringCompareWithOptions(
    CFStringRef a, CFStringRef b, CFRange rangeToCompare, CFOptionFlags options)
{
    if (!tw::cf::IsValidRange(a, rangeToCompare)) {
        tw::cf::ReportMisuse("CFStringCompareWithOptions", "range out of bounds");
        return CompareText(TextOf(a), TextOf(b), options);
    }
    auto const part = TextOf(a).substr(size_t(rangeToCompare.location), size_t(rangeToCompare.length));
    return CompareText(part, TextOf(b), options);
}

Boolean CFStringFindWithOptions(
    CFStringRef s, CFStringRef toFind, CFRange rangeToSearch, CFOptionFlags options, CFRange* result)
{
    if (!tw::cf::IsValidRange(s, rangeToSearch)) {
        tw::cf::ReportMisuse("CFStringFindWithOptions", "range out of bounds");
        return false;
    }
    auto const at = FindText(TextOf(s), rangeToSearch, TextOf(toFind), options);
    if (at && result)
        *result = CFRangeMake(CFIndex(*at), CFStringGetLength(toFind));
    return at.has_value();
}

CFRange CFStringFind(CFStringRef s, CFStringRef toFind, CFOptionFlags options)
{
    CFRange found = CFRangeMake(kCFNotFound, 0);
    CFStringFindWithOptions(s, toFind, CFRangeMake(0, CFStringGetLength(s)), options, &found);
    return found;
}

Boolean CFStringHasPrefix(CFStringRef s, CFStringRef prefix) { return TextOf(s).starts_with(TextOf(prefix)); }

Boolean CFStringHasSuffix(CFStringRef s, CFStringRef suffix) { return TextOf(s).ends_with(TextOf(suffix)); }

CFIndex CFStringFindAndReplace(
    CFMutableStringRef s, CFStringRef find, CFStringRef replace, CFRange rangeToSearch, CFOptionFlags options)
{
    if (!tw::cf::CheckMutable(s, "CFStringFindAndReplace"))
        return 0;
    if (!tw::cf::IsValidRange(s, rangeToSearch)) {
        tw::cf::ReportMisuse("CFStringFindAndReplace", "range out of bounds");
        return 0;
    }
    std::u16string_view const pattern = TextOf(find);
    std::vector<size_t> hits;
    CFRange rest = rangeToSearch;
    // Searching forwards gives the same non-overlapping hits whatever the direction asked.
    CFOptionFlags const forward = options & ~CFOptionFlags(kCFCompareBackwards);
    while (auto at = FindText(s->Text(), rest, pattern, (options & kCFCompareAnchored) ? options : forward)) {
        hits.push_back(*at);
        if (options & kCFCompareAnchored)
            break;
        CFIndex const next = CFIndex(*at + pattern.size());
        rest = CFRangeMake(next, rangeToSearch.location + rangeToSearch.length - next);
    }
    std::u16string const with(TextOf(replace));
    for (auto it = hits.rbegin(); it != hits.rend(); ++it)
        s->MutableText().replace(*it, pattern.size(), with);
    return CFIndex(hits.size());
}
