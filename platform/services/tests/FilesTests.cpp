#include "services/Aliases.h"
#include "services/Files.h"
#include "services/MacMemory.h"
#include "services/Scrap.h"
#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(MacMemory, HandlesKeepTheirSizeAndBytes)
{
    Handle h = NewHandleClear(4);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetHandleSize(h), 4);
    EXPECT_EQ(std::memcmp(*h, "\0\0\0\0", 4), 0);
    std::memcpy(*h, "abcd", 4);
    ASSERT_EQ(SetHandleSize(h, 6), noErr);
    EXPECT_EQ(std::memcmp(*h, "abcd\0\0", 6), 0);
    EXPECT_EQ(SetHandleSize(h, -1), memFullErr);
    EXPECT_EQ(GetHandleSize(h), 6);

    Handle copy = h;
    ASSERT_EQ(HandToHand(&copy), noErr);
    EXPECT_NE(copy, h);
    EXPECT_EQ(std::memcmp(*copy, *h, 6), 0);
    DisposeHandle(copy);
    DisposeHandle(h);
    DisposeHandle(nullptr);

    EXPECT_EQ(NewHandle(Size(1) << 40), nullptr);
    EXPECT_EQ(MemError(), memFullErr);
    Handle empty = nullptr;
    ASSERT_EQ(PtrToHand(nullptr, &empty, 0), noErr);
    EXPECT_EQ(GetHandleSize(empty), 0);
    DisposeHandle(empty);
}

TEST(Files, StandardFoldersFollowTheEnvironment)
{
    FSRef ref;
    ASSERT_EQ(FSFindFolder(kUserDomain, kPreferencesFolderType, kDontCreateFolder, &ref), noErr);
    EXPECT_STREQ(ref.path, std::getenv("XDG_CONFIG_HOME"));
    ASSERT_EQ(FSFindFolder(kOnAppropriateDisk, kTemporaryFolderType, kDontCreateFolder, &ref), noErr);
    EXPECT_STREQ(ref.path, std::getenv("TMPDIR"));
    EXPECT_EQ(FSFindFolder(kNetworkDomain, kApplicationSupportFolderType, kCreateFolder, &ref), fnfErr);

    // A missing folder is made only when asked.
    std::string saved = std::getenv("XDG_DATA_HOME");
    tw::test::TempFolder folder;
    std::string fresh = (folder / "new/data").string();
    setenv("XDG_DATA_HOME", fresh.c_str(), 1);
    EXPECT_EQ(FSFindFolder(kUserDomain, kApplicationSupportFolderType, kDontCreateFolder, &ref), fnfErr);
    ASSERT_EQ(FSFindFolder(kUserDomain, kApplicationSupportFolderType, kCreateFolder, &ref), noErr);
    EXPECT_TRUE(fs::is_directory(fresh));
    // A relative XDG value names no folder at all: the default stands in.
    setenv("XDG_DATA_HOME", "relative/path", 1);
    EXPECT_NE(tw::services::StandardFolderPath(kUserDomain, kApplicationSupportFolderType), "relative/path");
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

TEST(Files, PathsAndReferences)
{
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "f.txt", "x");
    FSRef ref;
    Boolean isDirectory = true;
    ASSERT_EQ(FSPathMakeRef(reinterpret_cast<UInt8 const*>((folder / "f.txt").c_str()), &ref, &isDirectory), noErr);
    EXPECT_FALSE(isDirectory);
    UInt8 path[16];
    EXPECT_EQ(FSRefMakePath(&ref, path, sizeof path), paramErr); // too small a buffer
    EXPECT_EQ(FSPathMakeRef(reinterpret_cast<UInt8 const*>("relative"), &ref, nullptr), paramErr);
    EXPECT_EQ(FSPathMakeRef(reinterpret_cast<UInt8 const*>((folder / "none").c_str()), &ref, nullptr), fnfErr);
    std::string tooLong = "/" + std::string(kTWMaxPathLength, 'a');
    EXPECT_NE(FSPathMakeRef(reinterpret_cast<UInt8 const*>(tooLong.c_str()), &ref, nullptr), noErr);
}

TEST(Aliases, ResolveRelativeToTheirFileWhenBothMoved)
{
    tw::test::TempFolder folder;
    fs::create_directories(folder / "old/maps");
    tw::test::WriteFile(folder / "old/doc.twk", "d");
    tw::test::WriteFile(folder / "old/maps/m.twmap", "m");
    FSRef from, target;
    tw::services::CopyPath((folder / "old/doc.twk").string(), from.path);
    tw::services::CopyPath((folder / "old/maps/m.twmap").string(), target.path);
    AliasHandle alias = nullptr;
    ASSERT_EQ(FSNewAlias(&from, &target, &alias), noErr);

    fs::rename(folder / "old", folder / "new");
    tw::services::CopyPath((folder / "new/doc.twk").string(), from.path);
    FSRef found;
    Boolean changed = false;
    ASSERT_EQ(FSResolveAlias(&from, alias, &found, &changed), noErr);
    EXPECT_TRUE(changed);
    EXPECT_EQ(fs::path(found.path), folder / "new/maps/m.twmap");
    EXPECT_EQ(FSResolveAlias(nullptr, alias, &found, &changed), fnfErr);
    DisposeHandle(reinterpret_cast<Handle>(alias));
}

// The descriptor follows the file into another folder; once the file is deleted it names nothing,
// even where another file took its name, or its name ends as the kernel marks deleted files.
TEST(Aliases, AFollowerKnowsWhereItsFileWentAndWhenItIsGone)
{
    tw::test::TempFolder folder;
    fs::create_directories(folder / "a");
    fs::create_directories(folder / "b/c");
    tw::test::WriteFile(folder / "a/walk.twk", "w");
    tw::services::FileFollower follower;
    EXPECT_EQ(follower.GetPath(), "");
    follower.Follow((folder / "a/walk.twk").string());
    EXPECT_EQ(fs::path(follower.GetPath()), folder / "a/walk.twk");
    fs::rename(folder / "a/walk.twk", folder / "b/c/walk 2.twk");
    EXPECT_EQ(fs::path(follower.GetPath()), folder / "b/c/walk 2.twk");
    for (char const* trash : { ".local/share/Trash/files", ".Trash-1000/files" }) {
        fs::create_directories(folder / trash);
        fs::rename(folder / "b/c/walk 2.twk", folder / trash / "walk 2.twk");
        EXPECT_EQ(follower.GetPath(), "") << "in the trash: " << trash;
        fs::rename(folder / trash / "walk 2.twk", folder / "b/c/walk 2.twk");
    }
    EXPECT_EQ(fs::path(follower.GetPath()), folder / "b/c/walk 2.twk") << "back from the trash";

    fs::remove(folder / "b/c/walk 2.twk");
    tw::test::WriteFile(folder / "b/c/walk 2.twk (deleted)", "other");
    EXPECT_EQ(follower.GetPath(), "");
    tw::test::WriteFile(folder / "b/c/walk 2.twk", "other");
    EXPECT_EQ(follower.GetPath(), "");

    follower.Follow((folder / "missing").string());
    EXPECT_EQ(follower.GetPath(), "");
}

namespace {

// An alias record as written: magic, version, reserved, device, inode, then two texts with their lengths.
std::string AliasBytes(std::string const& path, UInt64 pathLength, std::string const& relative = "")
{
    std::string out;
    auto put = [&](UInt64 value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            out.push_back(char((value >> (8 * i)) & 0xFF));
    };
    put('TWal', 4);
    put(1, 2);
    put(0, 2);
    put(0, 8);
    put(0, 8);
    put(pathLength, 4);
    out += path;
    put(relative.size(), 4);
    out += relative;
    return out;
}

OSErr ResolveBytes(std::string const& bytes)
{
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand(bytes.data(), &h, long(bytes.size())), noErr);
    FSRef found;
    OSErr const status = FSResolveAlias(nullptr, reinterpret_cast<AliasHandle>(h), &found, nullptr);
    DisposeHandle(h);
    return status;
}

} // namespace

// Alias records come from preference files: each length is bounded by the record and by the path limit.
TEST(Aliases, RecordsCutShortOrWithOversizedLengthsDoNotResolve)
{
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "m.twmap", "m");
    std::string const path = (folder / "m.twmap").string();
    std::string const whole = AliasBytes(path, path.size());
    EXPECT_EQ(ResolveBytes(whole), noErr);
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_EQ(ResolveBytes(whole.substr(0, cut)), paramErr) << "cut to " << cut;
    EXPECT_EQ(ResolveBytes(AliasBytes(path, path.size() + 1)), paramErr) << "a length past the record";
    EXPECT_EQ(ResolveBytes(AliasBytes(path, 0xFFFFFFFF)), paramErr);
    EXPECT_EQ(ResolveBytes(whole + "x"), noErr) << "bytes after the record are ignored";

    // The longest path a record may hold is one short of the limit, which leaves room for the terminator.
    std::string const longest = "/" + std::string(kTWMaxPathLength - 2, 'a');
    EXPECT_EQ(ResolveBytes(AliasBytes(longest, longest.size())), fnfErr) << "read, but not there";
    std::string const tooLong = longest + "a";
    EXPECT_EQ(ResolveBytes(AliasBytes(tooLong, tooLong.size())), paramErr);
}

TEST(Scrap, FlavoursAndTheObserver)
{
    tw::services::ResetScrapForTesting();
    int changes = 0;
    tw::services::SetScrapObserver([&] { ++changes; });
    ScrapRef scrap = nullptr;
    ASSERT_EQ(GetCurrentScrap(&scrap), noErr);
    Size size = 0;
    EXPECT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noTypeErr);
    ASSERT_EQ(PutScrapFlavor(scrap, kScrapFlavorTypeText, kScrapFlavorMaskNone, 5, "hello"), noErr);
    ASSERT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noErr);
    EXPECT_EQ(size, 5);
    char buffer[3];
    size = sizeof buffer;
    ASSERT_EQ(GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, buffer), noErr);
    EXPECT_EQ(size, 3); // only what fits
    EXPECT_EQ(std::string(buffer, 3), "hel");
    ClearCurrentScrap();
    EXPECT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noTypeErr);
    EXPECT_EQ(changes, 2);
    tw::services::ResetScrapForTesting();
}
