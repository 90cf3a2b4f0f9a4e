#include "events/CarbonEvents.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Holds one event for a test.
struct EventHolder {
    EventHolder(EventClass eventClass = 'test', EventKind kind = 1)
    {
        EXPECT_EQ(CreateEvent(nullptr, eventClass, kind, 0, kEventAttributeNone, &event), noErr);
    }
    ~EventHolder() { ReleaseEvent(event); }
    EventRef event = nullptr;
};

constexpr EventParamName Name(UInt32 i) { return 'pr00' + i; }

struct Wide {
    double values[4];
    void* pointer;
};

TEST(EventParameters, RoundTripEachTypeAtItsRealSize)
{
    EventHolder e;
    UInt32 const code = 'abcd';
    void* const pointer = &e;
    Wide const wide { { 1.5, -2.5, 3.25, 1e300 }, &e };
    ASSERT_EQ(SetEventParameter(e.event, 'code', typeUInt32, sizeof code, &code), noErr);
    ASSERT_EQ(SetEventParameter(e.event, 'ptr ', typeVoidPtr, sizeof pointer, &pointer), noErr);
    ASSERT_EQ(SetEventParameter(e.event, 'wide', 'wide', sizeof wide, &wide), noErr);

    UInt32 codeOut = 0;
    void* pointerOut = nullptr;
    Wide wideOut {};
    ByteCount size = 0;
    EXPECT_EQ(GetEventParameter(e.event, 'code', typeUInt32, nullptr, sizeof codeOut, &size, &codeOut), noErr);
    EXPECT_EQ(codeOut, code);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(GetEventParameter(e.event, 'ptr ', typeVoidPtr, nullptr, sizeof pointerOut, &size, &pointerOut), noErr);
    EXPECT_EQ(pointerOut, pointer);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(GetEventParameter(e.event, 'wide', 'wide', nullptr, sizeof wideOut, nullptr, &wideOut), noErr);
    EXPECT_EQ(std::memcmp(&wide, &wideOut, sizeof wide), 0);
}

TEST(EventParameters, TypeMustMatchUnlessWildcard)
{
    EventHolder e;
    SInt32 const delta = -3;
    ASSERT_EQ(SetEventParameter(e.event, 'mwdl', typeSInt32, sizeof delta, &delta), noErr);
    UInt32 asUnsigned = 77;
    EXPECT_EQ(GetEventParameter(e.event, 'mwdl', typeUInt32, nullptr, sizeof asUnsigned, nullptr, &asUnsigned),
        errAECoercionFail);
    EXPECT_EQ(asUnsigned, 77u);
    EXPECT_EQ(GetEventParameter(e.event, 'none', typeSInt32, nullptr, sizeof asUnsigned, nullptr, &asUnsigned),
        eventParameterNotFoundErr);

    EventParamType actualType = 0;
    ByteCount actualSize = 0;
    SInt32 out = 0;
    EXPECT_EQ(GetEventParameter(e.event, 'mwdl', typeWildCard, &actualType, sizeof out, &actualSize, &out), noErr);
    EXPECT_EQ(actualType, typeSInt32);
    EXPECT_EQ(actualSize, sizeof(SInt32));
    EXPECT_EQ(out, -3);
}

TEST(EventParameters, SmallBufferIsRefusedWithoutWritingPastIt)
{
    EventHolder e;
    double const value = 12.5;
    ASSERT_EQ(SetEventParameter(e.event, 'dbl ', typeIEEE64BitFloatingPoint, sizeof value, &value), noErr);
    std::array<unsigned char, 8> buffer;
    buffer.fill(0xEE);
    ByteCount needed = 0;
    EXPECT_EQ(
        GetEventParameter(e.event, 'dbl ', typeIEEE64BitFloatingPoint, nullptr, 4, &needed, buffer.data()), paramErr);
    EXPECT_EQ(needed, sizeof value);
    for (unsigned char byte : buffer)
        EXPECT_EQ(byte, 0xEE);
    // A null buffer asks only for the size.
    EXPECT_EQ(GetEventParameter(e.event, 'dbl ', typeWildCard, nullptr, 0, &needed, nullptr), noErr);
    EXPECT_EQ(needed, sizeof value);
}

TEST(EventParameters, ReplacingAndRemovingKeepTheOthersIntact)
{
    EventHolder e;
    // Enough parameters to leave the inline store, some of them large.
    std::array<unsigned char, 300> big;
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<unsigned char>(i);
    for (UInt32 i = 0; i < 20; ++i)
        ASSERT_EQ(SetEventParameter(e.event, Name(i), typeUInt32, sizeof i, &i), noErr);
    ASSERT_EQ(SetEventParameter(e.event, 'big ', 'blob', big.size(), big.data()), noErr);
    UInt16 const small = 9;
    ASSERT_EQ(SetEventParameter(e.event, Name(5), typeUInt16, sizeof small, &small), noErr);
    ASSERT_EQ(RemoveEventParameter(e.event, Name(10)), noErr);
    EXPECT_EQ(RemoveEventParameter(e.event, Name(10)), eventParameterNotFoundErr);

    for (UInt32 i = 0; i < 20; ++i) {
        UInt32 value = 0;
        OSStatus const status = GetEventParameter(e.event, Name(i), typeUInt32, nullptr, sizeof value, nullptr, &value);
        if (i == 5 || i == 10) {
            EXPECT_NE(status, noErr) << i;
        } else {
            EXPECT_EQ(status, noErr) << i;
            EXPECT_EQ(value, i);
        }
    }
    UInt16 smallOut = 0;
    EXPECT_EQ(GetEventParameter(e.event, Name(5), typeUInt16, nullptr, sizeof smallOut, nullptr, &smallOut), noErr);
    EXPECT_EQ(smallOut, 9);
    std::array<unsigned char, 300> bigOut {};
    EXPECT_EQ(GetEventParameter(e.event, 'big ', 'blob', nullptr, bigOut.size(), nullptr, bigOut.data()), noErr);
    EXPECT_EQ(bigOut, big);
}

TEST(EventParameters, BadArgumentsGiveParamErr)
{
    EventHolder e;
    UInt32 value = 1;
    EXPECT_EQ(SetEventParameter(nullptr, 'a   ', typeUInt32, 4, &value), paramErr);
    EXPECT_EQ(SetEventParameter(e.event, 'a   ', typeUInt32, 4, nullptr), paramErr);
    EXPECT_EQ(SetEventParameter(e.event, 'a   ', typeWildCard, 4, &value), paramErr);
    EXPECT_EQ(GetEventParameter(nullptr, 'a   ', typeUInt32, nullptr, 4, nullptr, &value), paramErr);
    EXPECT_EQ(CreateEvent(nullptr, 'test', 1, 0, 0, nullptr), paramErr);
}

TEST(Events, IdentityTimeAndRetainCounts)
{
    EventRef event = nullptr;
    ASSERT_EQ(CreateEvent(nullptr, 'cmds', 2, 42.0, kEventAttributeNone, &event), noErr);
    EXPECT_EQ(GetEventClass(event), UInt32('cmds'));
    EXPECT_EQ(GetEventKind(event), 2u);
    EXPECT_EQ(GetEventTime(event), 42.0);
    EXPECT_EQ(GetEventRetainCount(event), 1u);
    EXPECT_EQ(RetainEvent(event), event);
    EXPECT_EQ(GetEventRetainCount(event), 2u);
    ReleaseEvent(event);
    EXPECT_EQ(GetEventRetainCount(event), 1u);

    EventRef stamped = nullptr;
    EventTime const before = GetCurrentEventTime();
    ASSERT_EQ(CreateEvent(nullptr, 'cmds', 2, 0, kEventAttributeNone, &stamped), noErr);
    EXPECT_GE(GetEventTime(stamped), before);
    ReleaseEvent(stamped);
    ReleaseEvent(event);
}

TEST(Events, CopyIsIndependentOfTheOriginal)
{
    EventHolder e('wind', 27);
    UInt32 const value = 5;
    ASSERT_EQ(SetEventParameter(e.event, 'attr', typeUInt32, sizeof value, &value), noErr);
    EventRef copy = CopyEvent(e.event);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(GetEventClass(copy), UInt32('wind'));
    EXPECT_EQ(GetEventKind(copy), 27u);
    UInt32 const changed = 6;
    ASSERT_EQ(SetEventParameter(copy, 'attr', typeUInt32, sizeof changed, &changed), noErr);
    UInt32 original = 0;
    ASSERT_EQ(GetEventParameter(e.event, 'attr', typeUInt32, nullptr, sizeof original, nullptr, &original), noErr);
    EXPECT_EQ(original, 5u);
    ReleaseEvent(copy);
}

} // namespace
