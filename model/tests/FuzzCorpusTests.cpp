// Every seed of the import fuzz corpora (and every crash the fuzzers found), replayed
// through the fuzz entries.

#include "model/tests/fuzz/FuzzImportEntry.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

int Replay(char const* folder, bool loc)
{
    int seeds = 0;
    auto corpus = std::filesystem::path(TW_SOURCE_DIR) / "model/tests/fuzz" / folder;
    for (auto const& item : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(item.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(tw::fuzz::FuzzImportInput(reinterpret_cast<uint8_t const*>(bytes.data()), bytes.size(), loc), 0)
            << item.path();
        ++seeds;
    }
    return seeds;
}

} // namespace

TEST(FuzzParserGPX, SeedCorpusReplaysCleanly) { EXPECT_GE(Replay("corpus-gpx", false), 9); }

TEST(FuzzParserLoc, SeedCorpusReplaysCleanly) { EXPECT_GE(Replay("corpus-loc", true), 5); }
