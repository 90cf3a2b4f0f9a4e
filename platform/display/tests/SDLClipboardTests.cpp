#include "services/Scrap.h"
#include "services/ScrapBackend.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tw::display {
namespace {

    // A desktop clipboard that other programs may write to.
    class FakeDesktop : public services::ScrapBackend {
    public:
        bool ReadText(std::string* text) override
        {
            ++reads;
            *text = contents;
            return !contents.empty();
        }
        void WriteText(std::string const& text) override
        {
            contents = text;
            writes.push_back(text);
        }

        std::string contents;
        std::vector<std::string> writes;
        int reads = 0;
    };

    class ScrapBackendTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            services::ResetScrapForTesting();
            services::SetScrapBackend(&mDesktop);
        }
        void TearDown() override
        {
            services::SetScrapBackend(nullptr);
            services::ResetScrapForTesting();
        }

        static std::string Flavour(ScrapFlavorType type)
        {
            ScrapRef scrap = nullptr;
            EXPECT_EQ(GetCurrentScrap(&scrap), noErr);
            Size size = 0;
            if (GetScrapFlavorSize(scrap, type, &size) != noErr)
                return "<none>";
            std::string bytes(static_cast<std::size_t>(size), '\0');
            EXPECT_EQ(GetScrapFlavorData(scrap, type, &size, bytes.data()), noErr);
            return bytes;
        }
        static void Put(ScrapFlavorType type, std::string const& bytes)
        {
            ScrapRef scrap = nullptr;
            ASSERT_EQ(GetCurrentScrap(&scrap), noErr);
            ASSERT_EQ(PutScrapFlavor(scrap, type, kScrapFlavorMaskNone, Size(bytes.size()), bytes.data()), noErr);
        }

        FakeDesktop mDesktop;
    };

    TEST_F(ScrapBackendTest, CopiedTextReachesTheDesktop)
    {
        ClearCurrentScrap();
        Put(kScrapFlavorTypeText, "Waypoint 12");
        EXPECT_EQ(mDesktop.contents, "Waypoint 12");
        // UTF-16 text is handed over as UTF-8.
        ClearCurrentScrap();
        std::u16string const unicode = u"Zürich";
        Put(kScrapFlavorTypeUnicode, std::string(reinterpret_cast<char const*>(unicode.data()), unicode.size() * 2));
        EXPECT_EQ(mDesktop.contents, "Zürich");
    }

    TEST_F(ScrapBackendTest, AnotherProgramsTextReplacesTheScrap)
    {
        ClearCurrentScrap();
        Put('TWob', "private");
        mDesktop.contents = "N 47° 8.5'";
        EXPECT_EQ(Flavour(kScrapFlavorTypeText), "N 47° 8.5'");
        std::string const utxt = Flavour(kScrapFlavorTypeUnicode);
        EXPECT_EQ(utxt.size(), std::u16string(u"N 47° 8.5'").size() * 2);
        EXPECT_EQ(Flavour('TWob'), "<none>");
    }

    TEST_F(ScrapBackendTest, OurOwnPrivateFlavoursSurviveWhileTheDesktopIsUnchanged)
    {
        ClearCurrentScrap();
        Put('TWob', "objects");
        Put(kScrapFlavorTypeText, "two objects");
        EXPECT_EQ(Flavour('TWob'), "objects");
        EXPECT_EQ(Flavour(kScrapFlavorTypeText), "two objects");
        // Clearing empties the desktop too, so its old text does not come back.
        mDesktop.contents = "old";
        ClearCurrentScrap();
        EXPECT_EQ(mDesktop.contents, "");
        Put('TWob', "only objects");
        EXPECT_EQ(Flavour('TWob'), "only objects");
    }

    TEST_F(ScrapBackendTest, WithoutABackendTheScrapStaysInMemory)
    {
        services::SetScrapBackend(nullptr);
        ClearCurrentScrap();
        Put(kScrapFlavorTypeText, "headless");
        mDesktop.contents = "elsewhere";
        EXPECT_EQ(Flavour(kScrapFlavorTypeText), "headless");
        EXPECT_TRUE(mDesktop.writes.empty());
        EXPECT_EQ(mDesktop.reads, 0);
        EXPECT_EQ(services::GetScrapBackend(), nullptr);
    }

} // namespace
} // namespace tw::display
