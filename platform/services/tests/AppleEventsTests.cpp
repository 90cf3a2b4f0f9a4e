#include "services/AppleEvents.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

// Disposes a descriptor when the test ends.
struct Desc {
    AEDesc d { typeNull, nullptr };
    ~Desc() { AEDisposeDesc(&d); }
};

std::string ReadText(AEDesc const* list, long index)
{
    char buffer[64] = {};
    Size size = 0;
    if (AEGetNthPtr(list, index, typeChar, nullptr, nullptr, buffer, sizeof buffer, &size) != noErr)
        return "<error>";
    return std::string(buffer, std::size_t(size));
}

TEST(AEDescriptors, CreateDuplicateAndDisposeOwnTheirBytes)
{
    Desc original, copy;
    char const text[] = "/home/user/Tracks.gpx";
    ASSERT_EQ(AECreateDesc(typeFileURL, text, sizeof text - 1, &original.d), noErr);
    ASSERT_EQ(AEDuplicateDesc(&original.d, &copy.d), noErr);
    AEDisposeDesc(&original.d);
    EXPECT_EQ(original.d.descriptorType, typeNull);
    EXPECT_EQ(copy.d.descriptorType, typeFileURL);
    ASSERT_EQ(AEGetDescDataSize(&copy.d), Size(sizeof text - 1));
    char out[64] = {};
    EXPECT_EQ(AEGetDescData(&copy.d, out, sizeof out), noErr);
    EXPECT_STREQ(out, text);
    // A short buffer takes what fits, never more.
    char shortOut[5] = { 'x', 'x', 'x', 'x', 'x' };
    EXPECT_EQ(AEGetDescData(&copy.d, shortOut, 4), noErr);
    EXPECT_EQ(std::string(shortOut, 5), "/homx");
    EXPECT_EQ(AECreateDesc(typeChar, nullptr, 4, &original.d), paramErr);
    EXPECT_EQ(AECreateDesc(typeChar, text, -1, &original.d), paramErr);
}

TEST(AEDescriptors, ListsAppendReplaceAndRefuseBadIndexes)
{
    Desc list;
    ASSERT_EQ(AECreateList(nullptr, 0, false, &list.d), noErr);
    EXPECT_EQ(AEPutPtr(&list.d, 0, typeChar, "one", 3), noErr);
    EXPECT_EQ(AEPutPtr(&list.d, 2, typeUTF8Text, "two", 3), noErr);
    EXPECT_EQ(AEPutPtr(&list.d, 1, typeChar, "uno", 3), noErr);
    EXPECT_EQ(AEPutPtr(&list.d, 5, typeChar, "far", 3), errAEIllegalIndex);
    long count = 0;
    ASSERT_EQ(AECountItems(&list.d, &count), noErr);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ReadText(&list.d, 1), "uno");
    EXPECT_EQ(ReadText(&list.d, 2), "two"); // UTF-8 text reads as typeChar
    EXPECT_EQ(ReadText(&list.d, 3), "<error>");
    UInt32 number = 0;
    EXPECT_EQ(
        AEGetNthPtr(&list.d, 1, typeUInt32, nullptr, nullptr, &number, sizeof number, nullptr), errAECoercionFail);

    Desc item, nested;
    ASSERT_EQ(AEGetNthDesc(&list.d, 2, typeWildCard, nullptr, &item.d), noErr);
    EXPECT_EQ(item.d.descriptorType, typeUTF8Text);
    ASSERT_EQ(AECreateList(nullptr, 0, false, &nested.d), noErr);
    ASSERT_EQ(AEPutDesc(&nested.d, 0, &list.d), noErr);
    Desc inner;
    ASSERT_EQ(AEGetNthDesc(&nested.d, 1, typeAEList, nullptr, &inner.d), noErr);
    EXPECT_EQ(ReadText(&inner.d, 1), "uno");

    Desc plain;
    AECreateDesc(typeChar, "x", 1, &plain.d);
    EXPECT_EQ(AEPutPtr(&plain.d, 0, typeChar, "y", 1), errAEWrongDataType);
    EXPECT_EQ(AECountItems(&plain.d, &count), errAEWrongDataType);
}

TEST(AppleEventRecords, ParametersAndAttributesRoundTrip)
{
    Desc event;
    ASSERT_EQ(
        AECreateAppleEvent(kInternetEventClass, kAEGetURL, nullptr, kAutoGenerateReturnID, kAnyTransactionID, &event.d),
        noErr);
    AEEventClass eventClass = 0;
    DescType type = 0;
    Size size = 0;
    ASSERT_EQ(
        AEGetAttributePtr(&event.d, keyEventClassAttr, typeType, &type, &eventClass, sizeof eventClass, &size), noErr);
    EXPECT_EQ(eventClass, kInternetEventClass);
    EXPECT_EQ(type, typeType);
    EXPECT_EQ(size, 4);
    AEEventID eventID = 0;
    ASSERT_EQ(AEGetAttributePtr(&event.d, keyEventIDAttr, typeType, nullptr, &eventID, sizeof eventID, nullptr), noErr);
    EXPECT_EQ(eventID, kAEGetURL);
    EXPECT_EQ(AEGetAttributePtr(&event.d, keyMissedKeywordAttr, typeWildCard, nullptr, nullptr, 0, nullptr),
        errAEDescNotFound);

    char const url[] = "http://example.org/map";
    ASSERT_EQ(AEPutParamPtr(&event.d, keyDirectObject, typeChar, url, sizeof url - 1), noErr);
    char out[1024] = {};
    ASSERT_EQ(AEGetParamPtr(&event.d, keyDirectObject, typeChar, &type, out, sizeof out, &size), noErr);
    EXPECT_EQ(std::string(out, std::size_t(size)), url);
    EXPECT_EQ(AEGetParamPtr(&event.d, 'none', typeChar, nullptr, out, sizeof out, nullptr), errAEDescNotFound);

    Desc files, copy, list;
    ASSERT_EQ(AECreateList(nullptr, 0, false, &files.d), noErr);
    AEPutPtr(&files.d, 0, typeFileURL, "file:///a.gpx", 13);
    ASSERT_EQ(AEPutParamDesc(&event.d, 'fils', &files.d), noErr);
    ASSERT_EQ(AEDuplicateDesc(&event.d, &copy.d), noErr);
    ASSERT_EQ(AEDeleteParam(&event.d, 'fils'), noErr);
    EXPECT_EQ(AEGetParamDesc(&event.d, 'fils', typeAEList, &list.d), errAEDescNotFound);
    ASSERT_EQ(AEGetParamDesc(&copy.d, 'fils', typeAEList, &list.d), noErr);
    long count = 0;
    ASSERT_EQ(AECountItems(&list.d, &count), noErr);
    EXPECT_EQ(count, 1);

    // Plain descriptors have no parameters or attributes.
    Desc plain;
    AECreateDesc(typeChar, "x", 1, &plain.d);
    EXPECT_EQ(AEPutParamPtr(&plain.d, keyDirectObject, typeChar, "y", 1), errAEWrongDataType);
    EXPECT_EQ(
        AEGetAttributePtr(&plain.d, keyEventClassAttr, typeType, nullptr, &eventClass, 4, nullptr), errAEWrongDataType);
}

} // namespace
