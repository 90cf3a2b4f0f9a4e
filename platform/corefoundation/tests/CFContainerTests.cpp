#include "CFRefHolder.h"
#include "corefoundation/CFArray.h"
#include "corefoundation/CFNumber.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using tw::cf::test::Adopt;

namespace {

CFStringRef Make(std::string const& utf8)
{
    return CFStringCreateWithCString(nullptr, utf8.c_str(), kCFStringEncodingUTF8);
}

CFMutableDictionaryRef MakeDictionary(CFDictionaryKeyCallBacks const* keys = &kCFTypeDictionaryKeyCallBacks)
{
    return CFDictionaryCreateMutable(nullptr, 0, keys, &kCFTypeDictionaryValueCallBacks);
}

CFComparisonResult CompareFirstUnit(void const* a, void const* b, void*)
{
    UniChar const x = CFStringGetCharacterAtIndex(static_cast<CFStringRef>(a), 0);
    UniChar const y = CFStringGetCharacterAtIndex(static_cast<CFStringRef>(b), 0);
    return x < y ? kCFCompareLessThan : x > y ? kCFCompareGreaterThan : kCFCompareEqualTo;
}

} // namespace

TEST(CFArray, RetainsValuesWhileHoldingThem)
{
    auto a = Adopt(Make("a"));
    auto b = Adopt(Make("b"));
    auto array = Adopt(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    CFArrayAppendValue(array.get(), a.get());
    CFArrayAppendValue(array.get(), a.get());
    EXPECT_EQ(CFGetRetainCount(a.get()), 3);

    CFArraySetValueAtIndex(array.get(), 0, b.get()); // releases the old value
    EXPECT_EQ(CFGetRetainCount(a.get()), 2);
    EXPECT_EQ(CFGetRetainCount(b.get()), 2);
    CFArraySetValueAtIndex(array.get(), 0, b.get()); // the same value again: no change, no dangling
    EXPECT_EQ(CFGetRetainCount(b.get()), 2);
    CFArrayInsertValueAtIndex(array.get(), 1, b.get());
    EXPECT_EQ(CFGetRetainCount(b.get()), 3);

    {
        auto copy = Adopt(CFArrayCreateCopy(nullptr, array.get()));
        EXPECT_EQ(CFGetRetainCount(b.get()), 5);
        EXPECT_TRUE(CFEqual(copy.get(), array.get()));
        CFArrayAppendValue(const_cast<CFMutableArrayRef>(copy.get()), a.get()); // immutable: ignored
        EXPECT_EQ(CFArrayGetCount(copy.get()), 3);
    }
    EXPECT_EQ(CFGetRetainCount(b.get()), 3);

    CFArrayRemoveValueAtIndex(array.get(), 0);
    EXPECT_EQ(CFGetRetainCount(b.get()), 2);
    CFArrayRemoveValueAtIndex(array.get(), 7); // out of range: ignored
    CFArrayRemoveAllValues(array.get());
    EXPECT_EQ(CFGetRetainCount(a.get()), 1);
    EXPECT_EQ(CFGetRetainCount(b.get()), 1);

    CFArrayAppendValue(array.get(), a.get());
    array.reset();
    EXPECT_EQ(CFGetRetainCount(a.get()), 1);
}

TEST(CFArray, NullCallBacksHoldPlainPointers)
{
    int items[3] = { 10, 20, 30 };
    void const* values[] = { &items[0], &items[1] };
    auto array = Adopt(CFArrayCreate(nullptr, values, 2, nullptr));
    auto mutableArray = Adopt(CFArrayCreateMutableCopy(nullptr, 0, array.get()));
    CFArrayAppendValue(mutableArray.get(), &items[2]);
    EXPECT_EQ(CFArrayGetValueAtIndex(mutableArray.get(), 2), &items[2]);
    EXPECT_EQ(CFArrayGetFirstIndexOfValue(mutableArray.get(), CFRangeMake(0, 3), &items[1]), 1);
    EXPECT_FALSE(CFArrayContainsValue(mutableArray.get(), CFRangeMake(0, 1), &items[1]));
    EXPECT_EQ(CFArrayGetValueAtIndex(mutableArray.get(), 3), nullptr);
    EXPECT_EQ(CFArrayGetValueAtIndex(mutableArray.get(), -1), nullptr);
}

TEST(CFArray, ReadingWritingAndSortingStably)
{
    std::vector<CFStringRef> made;
    for (char const* text : { "b1", "a1", "c1", "b2", "a2" })
        made.push_back(Make(text));
    auto array = Adopt(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    for (CFStringRef s : made) {
        CFArrayAppendValue(array.get(), s);
        CFRelease(s);
    }
    CFArraySortValues(array.get(), CFRangeMake(0, 5), CompareFirstUnit, nullptr);
    std::string order;
    for (CFIndex i = 0; i < CFArrayGetCount(array.get()); ++i)
        order += tw::cf::ToUTF8(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array.get(), i))) + " ";
    EXPECT_EQ(order, "a1 a2 b1 b2 c1 ");

    EXPECT_TRUE(CFArrayContainsValue(array.get(), CFRangeMake(0, 5), CFSTR("b2"))); // by equality
    EXPECT_EQ(CFArrayGetFirstIndexOfValue(array.get(), CFRangeMake(0, 5), CFSTR("zz")), kCFNotFound);
    CFArrayExchangeValuesAtIndices(array.get(), 0, 4);
    EXPECT_TRUE(CFEqual(static_cast<CFTypeRef>(CFArrayGetValueAtIndex(array.get(), 0)), CFSTR("c1")));
    CFArrayAppendArray(array.get(), array.get(), CFRangeMake(0, 2)); // from itself
    EXPECT_EQ(CFArrayGetCount(array.get()), 7);
    void const* out[2] = {};
    CFArrayGetValues(array.get(), CFRangeMake(5, 2), out);
    EXPECT_TRUE(CFEqual(static_cast<CFTypeRef>(out[1]), CFSTR("a2")));
}

// Ranges are checked on both sides of each end: a bad one is reported and writes nothing.
TEST(CFArray, GetValuesTakesRangesUpToTheEndAndRefusesThoseBeyondIt)
{
    int items[3] = {};
    void const* values[] = { &items[0], &items[1], &items[2] };
    auto array = Adopt(CFArrayCreate(nullptr, values, 3, nullptr));
    int sentinel = 0;
    struct Case {
        CFIndex location, length;
        bool valid;
    };
    Case const cases[] = { { 1, 2, true }, { 1, 3, false }, { 3, 0, true }, { 4, 0, false }, { 0, 3, true },
        { -1, 1, false }, { 0, -1, false } };
    for (Case const& c : cases) {
        void const* out[4] = { &sentinel, &sentinel, &sentinel, &sentinel };
        testing::internal::CaptureStderr();
        CFArrayGetValues(array.get(), CFRangeMake(c.location, c.length), out);
        std::string const report = testing::internal::GetCapturedStderr();
        EXPECT_EQ(report.find("CFArrayGetValues") != std::string::npos, !c.valid) << c.location << "+" << c.length;
        for (CFIndex i = 0; i < 4; ++i) {
            bool const written = c.valid && i < c.length;
            EXPECT_EQ(out[i], written ? values[c.location + i] : &sentinel) << c.location << "+" << c.length << " @" << i;
        }
    }
}

TEST(CFArray, DeepEquality)
{
    auto one = Adopt(Make("x"));
    auto two = Adopt(Make("x"));
    void const* first[] = { one.get(), CFSTR("y") };
    void const* second[] = { two.get(), CFSTR("y") };
    auto a = Adopt(CFArrayCreate(nullptr, first, 2, &kCFTypeArrayCallBacks));
    auto b = Adopt(CFArrayCreate(nullptr, second, 2, &kCFTypeArrayCallBacks));
    EXPECT_TRUE(CFEqual(a.get(), b.get()));
    auto shorter = Adopt(CFArrayCreate(nullptr, first, 1, &kCFTypeArrayCallBacks));
    EXPECT_FALSE(CFEqual(a.get(), shorter.get()));
}

TEST(CFDictionary, SetAddReplaceAndRemoveKeepCountsExact)
{
    auto key = Adopt(Make("key"));
    auto v1 = Adopt(Make("one"));
    auto v2 = Adopt(Make("two"));
    auto d = Adopt(MakeDictionary());

    CFDictionaryReplaceValue(d.get(), key.get(), v1.get()); // absent: nothing happens
    EXPECT_EQ(CFDictionaryGetCount(d.get()), 0);
    CFDictionaryAddValue(d.get(), key.get(), v1.get());
    EXPECT_EQ(CFGetRetainCount(key.get()), 2);
    EXPECT_EQ(CFGetRetainCount(v1.get()), 2);
    CFDictionaryAddValue(d.get(), key.get(), v2.get()); // present: nothing happens
    EXPECT_EQ(CFDictionaryGetValue(d.get(), key.get()), v1.get());
    EXPECT_EQ(CFGetRetainCount(v2.get()), 1);

    CFDictionarySetValue(d.get(), key.get(), v1.get()); // the same value again
    EXPECT_EQ(CFGetRetainCount(v1.get()), 2);
    CFDictionaryReplaceValue(d.get(), CFSTR("key"), v2.get()); // an equal key finds the entry
    EXPECT_EQ(CFGetRetainCount(v1.get()), 1);
    EXPECT_EQ(CFGetRetainCount(v2.get()), 2);
    EXPECT_EQ(CFGetRetainCount(key.get()), 2); // the stored key stays

    {
        auto copy = Adopt(CFDictionaryCreateCopy(nullptr, d.get()));
        EXPECT_EQ(CFGetRetainCount(v2.get()), 3);
        EXPECT_TRUE(CFEqual(copy.get(), d.get()));
        CFDictionarySetValue(const_cast<CFMutableDictionaryRef>(copy.get()), CFSTR("new"), v1.get()); // ignored
        EXPECT_EQ(CFDictionaryGetCount(copy.get()), 1);
    }
    CFDictionaryRemoveValue(d.get(), CFSTR("key"));
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
    EXPECT_EQ(CFGetRetainCount(v2.get()), 1);
    EXPECT_FALSE(CFDictionaryContainsKey(d.get(), key.get()));

    CFDictionarySetValue(d.get(), key.get(), v1.get());
    CFDictionaryRemoveAllValues(d.get());
    EXPECT_EQ(CFGetRetainCount(v1.get()), 1);
    CFDictionarySetValue(d.get(), key.get(), v1.get());
    d.reset();
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
    EXPECT_EQ(CFGetRetainCount(v1.get()), 1);
}

TEST(CFDictionary, KeepsInsertionOrderThroughRemovals)
{
    auto d = Adopt(MakeDictionary());
    CFDictionarySetValue(d.get(), CFSTR("x"), kCFBooleanTrue);
    for (char const* k : { "zulu", "alpha", "mike", "bravo" })
        CFDictionarySetValue(d.get(), Adopt(Make(k)).get(), kCFBooleanTrue);
    CFDictionaryRemoveValue(d.get(), CFSTR("x"));
    CFDictionaryRemoveValue(d.get(), CFSTR("alpha"));
    CFDictionarySetValue(d.get(), CFSTR("alpha"), kCFBooleanFalse);
    std::vector<void const*> keys(size_t(CFDictionaryGetCount(d.get())));
    CFDictionaryGetKeysAndValues(d.get(), keys.data(), nullptr);
    std::string order;
    for (void const* k : keys)
        order += tw::cf::ToUTF8(static_cast<CFStringRef>(k)) + " ";
    EXPECT_EQ(order, "zulu mike bravo alpha ");

    int visited = 0;
    CFDictionaryApplyFunction(
        d.get(), [](void const*, void const*, void* n) { ++*static_cast<int*>(n); }, &visited);
    EXPECT_EQ(visited, 4);
}

TEST(CFDictionary, ThousandsOfKeys)
{
    auto d = Adopt(MakeDictionary());
    constexpr int kCount = 5000;
    for (int i = 0; i < kCount; ++i) {
        auto number = Adopt(CFNumberCreate(nullptr, kCFNumberIntType, &i));
        CFDictionarySetValue(d.get(), Adopt(Make("key " + std::to_string(i))).get(), number.get());
    }
    ASSERT_EQ(CFDictionaryGetCount(d.get()), kCount);
    for (int i = 0; i < kCount; i += 2)
        CFDictionaryRemoveValue(d.get(), Adopt(Make("key " + std::to_string(i))).get());
    ASSERT_EQ(CFDictionaryGetCount(d.get()), kCount / 2);
    for (int i = 0; i < kCount; ++i) {
        auto key = Adopt(Make("key " + std::to_string(i)));
        void const* value = nullptr;
        bool const present = CFDictionaryGetValueIfPresent(d.get(), key.get(), &value);
        ASSERT_EQ(present, i % 2 == 1) << i;
        int stored = -1;
        if (present) {
            CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberIntType, &stored);
            ASSERT_EQ(stored, i);
        }
    }
}

// Found by text as by a string: keys kept as bytes or as UTF-16, after removals, in a
// dictionary of many keys, and in one whose keys are plain pointers (never by text).
TEST(CFDictionary, ValuesAreFoundByKeyTextAsByKeyString)
{
    auto d = Adopt(MakeDictionary());
    constexpr int kCount = 300;
    for (int i = 0; i < kCount; ++i) {
        auto number = Adopt(CFNumberCreate(nullptr, kCFNumberIntType, &i));
        CFDictionarySetValue(d.get(), Adopt(Make("key " + std::to_string(i))).get(), number.get());
    }
    UniChar const wide[] = { u'W', u'i', u'd', u'e' };
    auto wideKey = Adopt(CFStringCreateWithCharacters(nullptr, wide, 4)); // kept as UTF-16
    CFDictionarySetValue(d.get(), wideKey.get(), kCFBooleanTrue);
    CFDictionarySetValue(d.get(), Adopt(Make("Zoë")).get(), kCFBooleanFalse);
    for (int i = 0; i < kCount; i += 3)
        CFDictionaryRemoveValue(d.get(), Adopt(Make("key " + std::to_string(i))).get());
    for (int i = 0; i < kCount; ++i) {
        std::string const key = "key " + std::to_string(i);
        void const* const value = tw::cf::DictionaryGetValueForText(d.get(), key);
        ASSERT_EQ(value, CFDictionaryGetValue(d.get(), Adopt(Make(key)).get())) << key;
        ASSERT_EQ(value != nullptr, i % 3 != 0) << key;
    }
    EXPECT_EQ(tw::cf::DictionaryGetValueForText(d.get(), "Wide"), kCFBooleanTrue);
    EXPECT_EQ(tw::cf::DictionaryGetValueForText(d.get(), "Zoë"), kCFBooleanFalse);
    EXPECT_EQ(tw::cf::DictionaryGetValueForText(d.get(), "wide"), nullptr);
    EXPECT_EQ(tw::cf::DictionaryGetValueForText(d.get(), "key 1 "), nullptr);
    EXPECT_EQ(tw::cf::DictionaryGetValueForText(d.get(), ""), nullptr);
    EXPECT_EQ(tw::cf::DictionaryGetValueForText(nullptr, "key 1"), nullptr);

    auto pointers = Adopt(CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr));
    auto name = Adopt(Make("Name"));
    CFDictionarySetValue(pointers.get(), name.get(), kCFBooleanTrue);
    EXPECT_EQ(tw::cf::DictionaryGetValueForText(pointers.get(), "Name"), nullptr);
}

TEST(CFDictionary, CopiedStringKeysDoNotFollowTheCaller)
{
    auto key = Adopt(CFStringCreateMutableCopy(nullptr, 0, CFSTR("name")));
    auto d = Adopt(MakeDictionary(&kCFCopyStringDictionaryKeyCallBacks));
    CFDictionarySetValue(d.get(), key.get(), kCFBooleanTrue);
    EXPECT_EQ(CFGetRetainCount(key.get()), 1);
    CFStringAppend(key.get(), CFSTR("changed"));
    EXPECT_TRUE(CFDictionaryContainsKey(d.get(), CFSTR("name")));
    EXPECT_FALSE(CFDictionaryContainsKey(d.get(), key.get()));
}

TEST(CFDictionary, NumberKeysMatchAcrossTypesAndNullCallBacksUsePointers)
{
    auto d = Adopt(MakeDictionary());
    SInt32 one = 1;
    double oneReal = 1.0;
    auto intKey = Adopt(CFNumberCreate(nullptr, kCFNumberSInt32Type, &one));
    auto realKey = Adopt(CFNumberCreate(nullptr, kCFNumberFloat64Type, &oneReal));
    CFDictionarySetValue(d.get(), intKey.get(), CFSTR("v"));
    EXPECT_EQ(CFDictionaryGetValue(d.get(), realKey.get()), CFSTR("v"));

    int a = 1, b = 1;
    auto plain = Adopt(CFDictionaryCreateMutable(nullptr, 0, nullptr, nullptr));
    CFDictionarySetValue(plain.get(), &a, &b);
    EXPECT_EQ(CFDictionaryGetValue(plain.get(), &a), &b);
    EXPECT_EQ(CFDictionaryGetValue(plain.get(), &b), nullptr);
}

TEST(CFDictionary, DeepEqualityAndCreation)
{
    void const* keys[] = { CFSTR("a"), CFSTR("b"), CFSTR("a") };
    auto inner = Adopt(Make("inner"));
    void const* values[] = { inner.get(), kCFBooleanTrue, kCFBooleanFalse };
    auto d = Adopt(
        CFDictionaryCreate(nullptr, keys, values, 3, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    EXPECT_EQ(CFDictionaryGetCount(d.get()), 2); // a repeated key keeps the last value
    EXPECT_EQ(CFDictionaryGetValue(d.get(), CFSTR("a")), kCFBooleanFalse);

    auto m = Adopt(CFDictionaryCreateMutableCopy(nullptr, 0, d.get()));
    EXPECT_TRUE(CFEqual(d.get(), m.get()));
    CFDictionarySetValue(m.get(), CFSTR("b"), kCFBooleanFalse);
    EXPECT_FALSE(CFEqual(d.get(), m.get()));

    void const* holder[] = { d.get() };
    auto outer1 = Adopt(CFArrayCreate(nullptr, holder, 1, &kCFTypeArrayCallBacks));
    CFDictionarySetValue(m.get(), CFSTR("b"), kCFBooleanTrue);
    holder[0] = m.get();
    auto outer2 = Adopt(CFArrayCreate(nullptr, holder, 1, &kCFTypeArrayCallBacks));
    EXPECT_TRUE(CFEqual(outer1.get(), outer2.get()));
}
