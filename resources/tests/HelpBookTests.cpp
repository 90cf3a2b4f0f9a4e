// The help book in the bundle: named in the Info.plist as the application opens it,
// a start page, and no link that leads nowhere.
#include "corefoundation/CFBundle.h"
#include "foundation/CFile.h"
#include "foundation/CFileUtilities.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string InfoValue(char const* key)
{
    CFStringRef const name = tw::cf::CreateString(key);
    CFTypeRef const value = CFBundleGetValueForInfoDictionaryKey(CFBundleGetMainBundle(), name);
    CFRelease(name);
    return value && CFGetTypeID(value) == CFStringGetTypeID() ? tw::cf::ToUTF8(static_cast<CFStringRef>(value))
                                                              : std::string();
}

TEST(HelpBook, EveryPageIsReachedAndEveryLinkLeadsToAPageOfTheBook)
{
    EXPECT_EQ(InfoValue("CFBundleHelpBookName"), "Tarnwick Help");
    std::string const folderName = InfoValue("CFBundleHelpBookFolder");
    std::filesystem::path const folder = CFileUtilities::GetBundleResource(folderName.c_str(), CString(), CString()).GetPath();
    ASSERT_TRUE(std::filesystem::is_regular_file(folder / "index.html")) << folder;
    std::regex const link(R"re(href="([^"#]*)(#[^"]*)?")re");
    std::set<std::string> pages, linked;
    for (auto const& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".html")
            continue;
        pages.insert(entry.path().filename().string());
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        std::string const page = text.str();
        EXPECT_NE(page.find("<title>"), std::string::npos) << entry.path();
        for (std::sregex_iterator it(page.begin(), page.end(), link), end; it != end; ++it) {
            std::string const target = (*it)[1];
            if (target.empty())
                continue;
            EXPECT_EQ(target.find("://"), std::string::npos) << entry.path() << ": the book needs no network";
            EXPECT_TRUE(std::filesystem::is_regular_file(folder / target)) << entry.path() << " links to " << target;
            linked.insert(target);
        }
    }
    for (std::string const& page : pages)
        EXPECT_TRUE(linked.count(page)) << page << " is reached from no page";
    EXPECT_GE(pages.size(), 7u) << "the start page and its six subjects";
}

} // namespace
