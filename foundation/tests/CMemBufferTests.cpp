#include "foundation/CMemBuffer.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

namespace {

bool IsAligned(void const* p, std::uintptr_t alignment) { return reinterpret_cast<std::uintptr_t>(p) % alignment == 0; }

} // namespace

TEST(CMemBuffer, GrowingKeepsTheBytesAndZeroesOnlyWhenAsked)
{
    CMemBuffer buffer(0, 0);
    EXPECT_EQ(buffer.GetBufferSize(), 0u);
    EXPECT_EQ(buffer.GetBufferData(), nullptr);

    ASSERT_TRUE(buffer.SetBufferSize(4, false));
    std::memcpy(buffer.GetBufferData(), "abcd", 4);
    for (UInt32 size = 8; size <= 1 << 20; size *= 4) {
        ASSERT_TRUE(buffer.SetBufferSize(size, true));
        EXPECT_EQ(std::memcmp(buffer.GetBufferData(), "abcd", 4), 0) << size;
        EXPECT_EQ(static_cast<char*>(buffer.GetBufferData())[size - 1], 0) << size;
    }
    ASSERT_TRUE(buffer.SetBufferSize(2, false));
    ASSERT_TRUE(buffer.SetBufferSize(4, true));
    EXPECT_EQ(std::memcmp(buffer.GetBufferData(), "ab\0\0", 4), 0); // regrown bytes are zero again
}

TEST(CMemBuffer, StartIsAlignedAsAsked)
{
    for (UInt32 alignment : { 0u, 16u, 64u, 4096u, 24u /* not a power of two */ }) {
        CMemBuffer buffer(100, alignment);
        UInt32 expected = alignment == 64 || alignment == 4096 ? alignment : CMemBuffer::kDefaultAlignment;
        EXPECT_EQ(buffer.GetAlignment(), expected);
        EXPECT_TRUE(IsAligned(buffer.GetBufferData(), expected)) << alignment;
        buffer.SetBufferSize(100000, false); // moved to a new block
        EXPECT_TRUE(IsAligned(buffer.GetBufferData(), expected)) << alignment;
    }
}

TEST(CMemBuffer, OversizedRequestFailsAndChangesNothing)
{
    CMemBuffer buffer(3, 0);
    std::memcpy(buffer.GetBufferData(), "xyz", 3);
    EXPECT_FALSE(buffer.SetBufferSize(CMemBuffer::kMaxBufferSize + 1, false));
    EXPECT_FALSE(buffer.SetBufferSize(UINT32_MAX, true));
    EXPECT_EQ(buffer.GetBufferSize(), 3u);
    EXPECT_EQ(std::memcmp(buffer.GetBufferData(), "xyz", 3), 0);
    EXPECT_EQ(buffer.GetBufferData(4), nullptr);
    EXPECT_NE(buffer.GetBufferData(3), nullptr); // the end itself
}

TEST(CMemBuffer, AppendAndCopyAreIndependent)
{
    CMemBuffer a;
    ASSERT_TRUE(a.AppendData("hello", 5));
    ASSERT_TRUE(a.AppendData(" world", 6));
    CMemBuffer b(a);
    static_cast<char*>(b.GetBufferData())[0] = 'H';
    EXPECT_EQ(std::string(static_cast<char*>(a.GetBufferData()), a.GetBufferSize()), "hello world");
    EXPECT_EQ(std::string(static_cast<char*>(b.GetBufferData()), b.GetBufferSize()), "Hello world");
    EXPECT_FALSE(a.AppendData(nullptr, 3));
    EXPECT_EQ(a.GetBufferSize(), 11u);
}
