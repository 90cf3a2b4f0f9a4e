#include "PlistTestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <new>
#include <set>
#include <thread>
#include <vector>

// A list read element by element, in parts at once: each element handed over once with its
// place, the first problem in the file reported whichever part meets it, and nothing else in
// the file touched.

using namespace tw::test;

namespace {

// The root dictionary: `before`, the list of count small dictionaries, `after`.
std::string ListFile(std::size_t count, std::function<std::string(std::size_t)> const& element,
    std::string const& after = "<key>After</key><string>end</string>")
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                       "<key>Before</key><integer>1</integer>\n<key>Objects</key>\n<array>\n";
    for (std::size_t i = 0; i < count; ++i)
        text += element(i) + "\n";
    return text + "</array>\n" + after + "\n</dict>\n</plist>\n";
}

std::string Waypoint(std::size_t i)
{
    return "<dict><key>Name</key><string>Camp &amp; " + std::to_string(i) + "</string><key>Kind</key><string>"
        + (i % 2 ? "flag" : "camp") + "</string><key>ID</key><integer>" + std::to_string(i) + "</integer></dict>";
}

// Runs the parts on threads of their own, the last part first, so that a later part's
// elements come before an earlier part's.
void RunOnThreads(std::size_t parts, std::function<void(std::size_t)> const& run)
{
    std::vector<std::thread> threads;
    for (std::size_t part = parts; part-- > 0;)
        threads.emplace_back([&run, part] { run(part); });
    for (std::thread& thread : threads)
        thread.join();
}

struct Collected {
    std::mutex mutex;
    std::size_t announced = 0;
    std::vector<std::string> names; // by index
    std::vector<int> handed; // how often each index came
    std::set<std::thread::id> threads;
    std::size_t parts = 0;

    tw::cf::StreamedArray Stream()
    {
        return { "Objects",
            [this](std::size_t count) {
                announced = count;
                names.assign(count, {});
                handed.assign(count, 0);
            },
            [this](std::size_t index, CFTypeRef element) {
                std::lock_guard const lock(mutex);
                threads.insert(std::this_thread::get_id());
                ++handed.at(index);
                auto const* dictionary = static_cast<CFDictionaryRef>(element);
                names[index] = tw::cf::ToUTF8(static_cast<CFStringRef>(CFDictionaryGetValue(dictionary, CFSTR("Name"))));
            },
            [this](std::size_t count, std::function<void(std::size_t)> const& run) {
                parts = count;
                RunOnThreads(count, run);
            },
            8 };
    }
};

Owned<CFPropertyListRef> Read(std::string text, tw::cf::StreamedArray streamed, std::string* error = nullptr)
{
    std::string problem;
    Owned<CFPropertyListRef> plist(tw::cf::CreatePropertyListFromXMLText(
        std::move(text), kCFPropertyListMutableContainers, &problem, std::move(streamed)));
    if (error)
        *error = problem;
    return plist;
}

} // namespace

TEST(PropertyListStream, EveryElementIsHandedOverOnceInItsPlaceAndTheListStaysEmpty)
{
    constexpr std::size_t kCount = 5000;
    Collected collected;
    std::string error;
    auto const plist = Read(ListFile(kCount, Waypoint), collected.Stream(), &error);
    ASSERT_TRUE(plist) << error;
    EXPECT_EQ(collected.announced, kCount);
    EXPECT_GT(collected.parts, 1u) << "a long list is read in parts";
    EXPECT_EQ(collected.threads.size(), collected.parts) << "each part on its own thread";
    for (std::size_t i = 0; i < kCount; ++i) {
        ASSERT_EQ(collected.handed[i], 1) << i;
        ASSERT_EQ(collected.names[i], "Camp & " + std::to_string(i)) << "each element with its own index";
    }
    auto const* root = static_cast<CFDictionaryRef>(plist.get());
    auto const* list = static_cast<CFArrayRef>(CFDictionaryGetValue(root, CFSTR("Objects")));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(CFGetTypeID(list), CFArrayGetTypeID());
    EXPECT_EQ(CFArrayGetCount(list), 0) << "the list is not held a second time";
    EXPECT_EQ(tw::cf::ToUTF8(static_cast<CFStringRef>(CFDictionaryGetValue(root, CFSTR("After")))), "end");
    EXPECT_NE(CFDictionaryGetValue(root, CFSTR("Before")), nullptr);

    Collected two;
    tw::cf::StreamedArray bounded = two.Stream();
    bounded.mostParts = 2;
    ASSERT_TRUE(Read(ListFile(kCount, Waypoint), std::move(bounded)));
    EXPECT_EQ(two.parts, 2u) << "no more parts than may run at once";
    EXPECT_EQ(two.names[kCount - 1], "Camp & 4999");

    // A short list is read in one go, and without a runner every list is.
    Collected few;
    ASSERT_TRUE(Read(ListFile(3, Waypoint), few.Stream()));
    EXPECT_EQ(few.names, (std::vector<std::string> { "Camp & 0", "Camp & 1", "Camp & 2" }));
    EXPECT_EQ(few.parts, 0u);
    Collected alone;
    tw::cf::StreamedArray streamed = alone.Stream();
    streamed.runParts = nullptr;
    ASSERT_TRUE(Read(ListFile(kCount, Waypoint), std::move(streamed)));
    EXPECT_EQ(alone.threads, std::set<std::thread::id> { std::this_thread::get_id() });
    EXPECT_EQ(alone.names[kCount - 1], "Camp & 4999");
}

// Only the root dictionary's list is streamed; a value that is no list stays as it is.
TEST(PropertyListStream, OnlyTheRootsListIsHandedOver)
{
    Collected collected;
    std::string const nested = "<dict><key>Name</key><string>Route</string><key>Objects</key><array><string>a</string>"
                               "<string>b</string></array></dict>";
    auto const plist = Read(ListFile(2, [&](std::size_t) { return nested; }), collected.Stream());
    ASSERT_TRUE(plist);
    EXPECT_EQ(collected.names, (std::vector<std::string> { "Route", "Route" }));

    Collected none;
    std::string const text = "<plist><dict><key>Objects</key><string>none</string><key>Inner</key><dict>"
                             "<key>Objects</key><array><dict/></array></dict></dict></plist>";
    auto const kept = Read(text, none.Stream());
    ASSERT_TRUE(kept);
    EXPECT_EQ(none.announced, 0u);
    EXPECT_TRUE(none.names.empty());
    auto const* root = static_cast<CFDictionaryRef>(kept.get());
    EXPECT_EQ(tw::cf::ToUTF8(static_cast<CFStringRef>(CFDictionaryGetValue(root, CFSTR("Objects")))), "none");
    auto const* inner = static_cast<CFDictionaryRef>(CFDictionaryGetValue(root, CFSTR("Inner")));
    EXPECT_EQ(CFArrayGetCount(static_cast<CFArrayRef>(CFDictionaryGetValue(inner, CFSTR("Objects")))), 1);
}

// Parts meet their problems in any order; the file's first is the one reported, as a reading
// in one go would report it, and nothing is given for a file that fails after its list.
TEST(PropertyListStream, TheFilesFirstProblemIsReportedWhicheverPartMeetsIt)
{
    constexpr std::size_t kCount = 6000;
    auto const damaged = [](std::size_t i) {
        if (i == 2500)
            return std::string("<dict><key>Name</key><string>&bogus;</string></dict>");
        if (i == 5500)
            return std::string("<dict><key>Name</key><string>x</string><key>ID</key><integer>x</integer></dict>");
        return Waypoint(i);
    };
    std::string const text = ListFile(kCount, damaged);
    std::size_t const line = std::size_t(std::count(text.begin(), text.begin() + std::ptrdiff_t(text.find("&bogus;")), '\n')) + 1;
    Collected collected;
    std::string error;
    EXPECT_FALSE(Read(text, collected.Stream(), &error));
    EXPECT_EQ(error.rfind("Line " + std::to_string(line) + ": ", 0), 0u) << error;
    EXPECT_NE(error.find("&bogus;"), std::string::npos) << error;
    EXPECT_GT(collected.parts, 1u) << "the two problems lie in different parts";

    Collected whole;
    EXPECT_FALSE(Read(ListFile(kCount, Waypoint, "<key>After</key><integer>seven</integer>"), whole.Stream(), &error));
    EXPECT_NE(error.find("seven"), std::string::npos) << error;
    EXPECT_EQ(whole.handed[kCount - 1], 1) << "the elements came before the damage after the list";
}

// A part that runs out of memory throws on the reading thread, where the caller answers it,
// once every part has stopped.
TEST(PropertyListStream, RunningOutOfMemoryInAPartReachesTheCaller)
{
    std::atomic<int> taken { 0 };
    tw::cf::StreamedArray streamed { "Objects", nullptr,
        [&taken](std::size_t index, CFTypeRef) {
            if (index == 4000)
                throw std::bad_alloc();
            ++taken;
        },
        RunOnThreads, 8 };
    EXPECT_THROW(Read(ListFile(5000, Waypoint), std::move(streamed)), std::bad_alloc);
    EXPECT_GE(taken.load(), 4000) << "the other parts ran to their ends";
}
