#include "devices/tests/fuzz/FuzzDeviceInputEntry.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

int Replay(char const* corpus, int (*entry)(uint8_t const*, size_t))
{
    int seeds = 0;
    for (auto const& item : std::filesystem::directory_iterator(std::filesystem::path(TW_SOURCE_DIR) / corpus)) {
        std::string bytes = tw::test::ReadFile(item.path());
        EXPECT_EQ(entry(reinterpret_cast<uint8_t const*>(bytes.data()), bytes.size()), 0) << item.path();
        ++seeds;
    }
    return seeds;
}

// Every seed of the fuzz corpora, replayed through the fuzz entries.
TEST(DeviceFuzzCorpus, SeedsReplayCleanly)
{
    EXPECT_GE(Replay("devices/tests/fuzz/corpus-nmea", &tw::fuzz::FuzzNMEAInput), 4);
    EXPECT_GE(Replay("devices/tests/fuzz/corpus-garmin", &tw::fuzz::FuzzGarminInput), 6);
}

} // namespace
