#include "devices/tests/fuzz/FuzzDeviceDescriptionEntry.h"
#include "devices/tests/fuzz/FuzzDeviceInputEntry.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

std::filesystem::path Corpus(char const* name) { return std::filesystem::path(TW_SOURCE_DIR) / "devices/tests/fuzz" / name; }

// Every seed of the fuzz corpora, replayed through the fuzz entries.
TEST(DeviceFuzzCorpus, SeedsReplayCleanly)
{
    EXPECT_GE(tw::test::ReplayCorpus(Corpus("corpus-nmea"), &tw::fuzz::FuzzNMEAInput), 4);
    EXPECT_GE(tw::test::ReplayCorpus(Corpus("corpus-garmin"), &tw::fuzz::FuzzGarminInput), 6);
    EXPECT_GE(tw::test::ReplayCorpus(Corpus("corpus-description"), &tw::fuzz::FuzzDeviceDescriptionInput), 6);
}

} // namespace
