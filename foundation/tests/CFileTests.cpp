#include "foundation/CFileList.h"
#include "foundation/CFileMap.h"
#include "foundation/CFileUtilities.h"
#include "foundation/Status.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

CFile FileAt(fs::path const& path) { return CFile(CString(path.c_str())); }

// Extended attributes are optional on Linux file systems; the tests that need them say so.
bool HasUserAttributes(fs::path const& path)
{
    return setxattr(path.c_str(), "user.tw-probe", "1", 1, 0) == 0 && removexattr(path.c_str(), "user.tw-probe") == 0;
}

} // namespace

TEST(CFile, NamesPathsAndChildren)
{
    tw::test::TempFolder folder;
    CFile dir = FileAt(folder.Path());
    EXPECT_TRUE(dir.DirectoryExists());
    CFile child = dir.GetChild("Track.Log.twk");
    EXPECT_TRUE(child.IsSpecified());
    EXPECT_FALSE(child.Exists());
    EXPECT_STREQ(child.GetFileName().GetUTF8(), "Track.Log.twk");
    EXPECT_STREQ(child.GetExtension().GetUTF8(), "twk");
    EXPECT_EQ(child.GetParent(), dir);
    EXPECT_TRUE(FileAt(folder / ".hidden").GetExtension().IsEmpty());
    EXPECT_EQ(FileAt(folder.Path() / "a/../b/"), FileAt(folder.Path() / "b"));
    EXPECT_FALSE(CFile().IsSpecified());
    EXPECT_FALSE(CFile().GetChild("x").IsSpecified());

    CFile hfs(CString("Macintosh HD:tmp:file.txt"), kCFURLHFSPathStyle);
    EXPECT_STREQ(hfs.GetFullPath().GetUTF8(), "/tmp/file.txt");

    FSRef ref;
    EXPECT_EQ(child.GetFSRef(ref), fnfErr);
    tw::test::WriteFile(folder / "Track.Log.twk", "12345");
    ASSERT_EQ(child.GetFSRef(ref), noErr);
    EXPECT_EQ(CFile(ref), child);
    EXPECT_EQ(child.GetForkSize(CFile::kForkData), 5);
    EXPECT_EQ(child.GetForkSize(CFile::kForkResource), 0);
    EXPECT_TRUE(child.FileExists());
    EXPECT_FALSE(child.DirectoryExists());
}

TEST(CFile, IsSameFileThroughASymbolicLink)
{
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "real.twk", "x");
    fs::create_symlink(folder / "real.twk", folder / "link.twk");
    CFile real = FileAt(folder / "real.twk");
    CFile link = FileAt(folder / "link.twk");
    EXPECT_NE(real, link);
    EXPECT_TRUE(real.IsSameFile(link));
    tw::test::WriteFile(folder / "other.twk", "x");
    EXPECT_FALSE(real.IsSameFile(FileAt(folder / "other.twk")));
    EXPECT_FALSE(real.IsSameFile(FileAt(folder / "missing")));

    CFile resolved = link;
    ASSERT_EQ(CFileUtilities::ResolveAlias(resolved), noErr);
    EXPECT_EQ(resolved, real);
    CFile plain = real;
    ASSERT_EQ(CFileUtilities::ResolveAlias(plain), noErr);
    EXPECT_EQ(plain, real);
    fs::create_symlink(folder / "gone", folder / "broken");
    CFile broken = FileAt(folder / "broken");
    EXPECT_EQ(CFileUtilities::ResolveAlias(broken), fnfErr);
    EXPECT_EQ(broken, FileAt(folder / "broken"));
}

TEST(CFile, AliasFollowsAFileRenamedInItsFolder)
{
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "Global.twk", "doc");
    CFile file = FileAt(folder / "Global.twk");
    AliasHandle alias = file.CreateAlias(nullptr);
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(CFileUtilities::ResolveAliasHandle(alias), file);

    ASSERT_EQ(file.Rename("Renamed.twk"), noErr);
    EXPECT_EQ(CFileUtilities::ResolveAliasHandle(alias), FileAt(folder / "Renamed.twk"));

    // The record survives a trip through bytes, as preferences store it.
    Handle copy = nullptr;
    ASSERT_EQ(
        PtrToHand(*reinterpret_cast<Handle>(alias), &copy, GetHandleSize(reinterpret_cast<Handle>(alias))), noErr);
    EXPECT_EQ(CFileUtilities::ResolveAliasHandle(reinterpret_cast<AliasHandle>(copy)), file);

    fs::remove(folder / "Renamed.twk");
    EXPECT_FALSE(CFileUtilities::ResolveAliasHandle(alias).IsSpecified());
    DisposeHandle(reinterpret_cast<Handle>(alias));
    DisposeHandle(copy);
    EXPECT_EQ(CFile().CreateAlias(nullptr), nullptr);
}

TEST(CFile, DamagedAliasRecordsResolveToNothing)
{
    // Built by appending: GCC 12 warns falsely about a chain of + on strings at -O2.
    std::string const records[]
        = { "", "TWal", std::string("TWal\0\x01\0\0", 8).append(16, '\0').append("\xFF\xFF\xFF\xFF") };
    for (std::string const& bytes : records) {
        Handle h = nullptr;
        ASSERT_EQ(PtrToHand(bytes.data(), &h, long(bytes.size())), noErr);
        EXPECT_FALSE(CFileUtilities::ResolveAliasHandle(reinterpret_cast<AliasHandle>(h)).IsSpecified());
        DisposeHandle(h);
    }
}

TEST(CFile, RenameRefusesTakenNamesAndPaths)
{
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "a.txt", "a");
    tw::test::WriteFile(folder / "b.txt", "b");
    CFile a = FileAt(folder / "a.txt");
    EXPECT_EQ(a.Rename("b.txt"), dupFNErr);
    EXPECT_EQ(tw::test::ReadFile(folder / "b.txt"), "b");
    EXPECT_EQ(a.Rename("../escape.txt"), paramErr);
    EXPECT_EQ(a.Rename(".."), paramErr);
    ASSERT_EQ(a.Rename("b.txt", true), noErr);
    EXPECT_EQ(tw::test::ReadFile(folder / "b.txt"), "a");
    EXPECT_EQ(a, FileAt(folder / "b.txt"));
    EXPECT_EQ(FileAt(folder / "none").Rename("x"), fnfErr);
}

TEST(CFile, TypeCreatorAndHiddenExtension)
{
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "Map.twk", "x");
    CFile file = FileAt(folder / "Map.twk");
    EXPECT_EQ(file.GetFileType(), OSType('TWck')); // from the extension
    EXPECT_EQ(file.GetFileCreator(), OSType('TWik'));
    if (!HasUserAttributes(folder.Path()))
        GTEST_SKIP() << "no user extended attributes on this file system";
    ASSERT_EQ(file.SetFileCreatorAndType('Erth', 'KML '), noErr);
    EXPECT_EQ(file.GetFileType(), OSType('KML '));
    EXPECT_EQ(file.GetFileCreator(), OSType('Erth'));
    EXPECT_STREQ(file.GetDisplayName().GetUTF8(), "Map.twk");
    ASSERT_EQ(file.SetExtensionVisible(false), noErr);
    EXPECT_STREQ(file.GetDisplayName().GetUTF8(), "Map");

    // Rewriting the file keeps what the attributes say.
    ASSERT_EQ(CFileUtilities::WriteData(file, "new", 3), noErr);
    EXPECT_EQ(tw::test::ReadFile(folder / "Map.twk"), "new");
    EXPECT_EQ(file.GetFileType(), OSType('KML '));
    EXPECT_STREQ(file.GetDisplayName().GetUTF8(), "Map");
    ASSERT_EQ(file.SetExtensionVisible(true), noErr);
    EXPECT_STREQ(file.GetDisplayName().GetUTF8(), "Map.twk");
}

TEST(CFileUtilities, NewFilesGetTheUsualModeAndRewrittenOnesKeepTheirs)
{
    tw::test::TempFolder folder;
    CFile file = FileAt(folder / "Trip.twk");
    mode_t const mask = umask(022);
    ASSERT_EQ(CFileUtilities::WriteData(file, "new", 3), noErr);
    struct stat info { };
    ASSERT_EQ(stat((folder / "Trip.twk").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    chmod((folder / "Trip.twk").c_str(), 0640);
    ASSERT_EQ(CFileUtilities::WriteData(file, "again", 5), noErr);
    ASSERT_EQ(stat((folder / "Trip.twk").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    umask(mask);
}

// The names in the folder other than the given ones.
std::vector<std::string> OtherNames(fs::path const& folder, std::vector<std::string> const& known)
{
    std::vector<std::string> names;
    for (auto const& entry : fs::directory_iterator(folder))
        if (std::find(known.begin(), known.end(), entry.path().filename()) == known.end())
            names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A save killed between writing and renaming leaves a hidden file; the next save in that folder
// removes such leftovers, but never a file another save is still writing, nor anyone else's.
TEST(CFileUtilities, ASaveKilledHalfWayLeavesAHiddenFileTheNextSaveRemoves)
{
    tw::test::TempFolder folder;
    fs::path const victim = folder / "victim.twk";
    std::vector<std::string> const known { "victim.twk", "notes.txt", ".victim.twk.backup", "victim.twk.IPGIS9" };
    for (std::string const& name : known)
        tw::test::WriteFile(folder / name, "kept");
    std::vector<char> big(1 << 20, 'x');
    pid_t const child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit const limit { 4096, 4096 }; // the write dies with SIGXFSZ after 4 kB
        setrlimit(RLIMIT_FSIZE, &limit);
        CFileUtilities::WriteData(FileAt(victim), big.data(), big.size());
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the save was meant to die half way";
    std::vector<std::string> left = OtherNames(folder.Path(), known);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0][0], '.') << left[0] << " shows in file dialogs";
    EXPECT_EQ(tw::test::ReadFile(victim), "kept");

    // A leftover another save holds open is that save's: it stays.
    std::string busyName = left[0];
    busyName.back() = busyName.back() == 'Q' ? 'R' : 'Q'; // another save's file of the same form
    fs::path const busy = folder / busyName;
    fs::copy_file(folder / left[0], busy);
    int const held = open(busy.c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    ASSERT_EQ(CFileUtilities::WriteData(FileAt(folder / "other.twk"), "new", 3), noErr);
    EXPECT_EQ(OtherNames(folder.Path(), known), (std::vector<std::string> { busyName, "other.twk" }))
        << "the dead save's leftover is gone, the live one stays";
    close(held);
    ASSERT_EQ(CFileUtilities::WriteData(FileAt(victim), "new", 3), noErr);
    EXPECT_EQ(OtherNames(folder.Path(), known), (std::vector<std::string> { "other.twk" }));
    EXPECT_EQ(tw::test::ReadFile(victim), "new");
    for (std::string const& name : known)
        EXPECT_TRUE(fs::exists(folder / name)) << name << " is not ours to remove";
}

// The hidden file a save writes first must fit where the longest name fits.
TEST(CFileUtilities, AFileWithTheLongestNameTheFileSystemTakesCanBeSaved)
{
    tw::test::TempFolder folder;
    fs::path const longest = folder / (std::string(NAME_MAX - 4, 'n') + ".twk");
    ASSERT_EQ(CFileUtilities::WriteData(FileAt(longest), "first", 5), noErr);
    ASSERT_EQ(CFileUtilities::WriteData(FileAt(longest), "second", 6), noErr);
    EXPECT_EQ(tw::test::ReadFile(longest), "second");
    EXPECT_EQ(OtherNames(folder.Path(), { longest.filename().string() }), std::vector<std::string> {});
}

TEST(CFileUtilities, TemporaryFilesAndFoldersAreUniqueAndExist)
{
    CFile one, two, dir;
    ASSERT_TRUE(CFileUtilities::CreateTemporaryFile(one, kUnknownType, kUnknownType, false));
    ASSERT_TRUE(CFileUtilities::CreateTemporaryFile(two, kUnknownType, kUnknownType, false));
    ASSERT_TRUE(CFileUtilities::CreateTemporaryFile(dir, 0, 0, true));
    EXPECT_NE(one, two);
    EXPECT_TRUE(one.FileExists());
    EXPECT_TRUE(dir.DirectoryExists());
    EXPECT_EQ(one.GetParent(), CFileUtilities::FindFolder(kUserDomain, kTemporaryFolderType, false, CString()));

    // The export road: rename to add ".kml", then write the text.
    ASSERT_EQ(one.Rename(one.GetFileName() + CString(".kml")), noErr);
    ASSERT_EQ(CFileUtilities::WriteText(one, "<kml/>", kCFStringEncodingUTF8), noErr);
    EXPECT_EQ(tw::test::ReadFile(one.GetPath()), "<kml/>");
    EXPECT_EQ(CFileUtilities::WriteText(two, "日本", kCFStringEncodingASCII), paramErr);
    EXPECT_EQ(tw::test::ReadFile(two.GetPath()), ""); // untouched
}

TEST(CFileUtilities, StandardFoldersAndSubfolders)
{
    CFile support = CFileUtilities::FindFolder(kUserDomain, kApplicationSupportFolderType, false, CString());
    EXPECT_EQ(support.GetPath(), std::getenv("XDG_DATA_HOME"));
    EXPECT_FALSE(CFileUtilities::FindFolder(kUserDomain, 'asup', false, "Tarnwick").IsSpecified());
    CFile made = CFileUtilities::FindFolder(kUserDomain, 'asup', true, "Tarnwick");
    EXPECT_TRUE(made.DirectoryExists());
    EXPECT_EQ(made, support.GetChild("Tarnwick"));
    EXPECT_EQ(CFileUtilities::FindFolder(kUserDomain, kDesktopFolderType, false, CString()).GetPath(),
        std::getenv("XDG_DESKTOP_DIR"));
    EXPECT_EQ(CFileUtilities::FindFolder(kSystemDomain, 'asup', false, CString()).GetPath(), "/usr/share");
    EXPECT_EQ(CFileUtilities::FindFolder(kLocalDomain, 'asup', false, CString()).GetPath(), "/usr/local/share");
    EXPECT_FALSE(CFileUtilities::FindFolder(kUserDomain, 'zzzz', true, CString()).IsSpecified());
}

TEST(CFileUtilities, BundleFilesAndInfoValues)
{
    CFile app = CFileUtilities::GetApplicationFile();
    EXPECT_STREQ(app.GetFileName().GetUTF8(), "Tarnwick.app");
    EXPECT_EQ(CFileUtilities::GetFileInAppFolder("version.xml"), app.GetParent().GetChild("version.xml"));
    CFile strings = CFileUtilities::GetBundleResource("Localizable", "strings", "English.lproj");
    EXPECT_TRUE(strings.FileExists());
    EXPECT_FALSE(CFileUtilities::GetBundleResource("NoSuchImage.png", CString(), CString()).IsSpecified());
    EXPECT_STREQ(CFileUtilities::GetBundleInfoPListKeyValue(nullptr, "CFBundleSignature").GetUTF8(), "TWik");
    EXPECT_TRUE(CFileUtilities::GetBundleInfoPListKeyValue(nullptr, "NoSuchKey").IsEmpty());
}

TEST(CFileUtilities, SetPathExtension)
{
    struct Case {
        char const* name;
        char const* extension;
        UInt32 style;
        char const* expected;
    };
    Case const cases[] = {
        { "Untitled", "twk", kCFURLPOSIXPathStyle, "Untitled.twk" },
        { "Track.gpx", "twk", kCFURLPOSIXPathStyle, "Track.twk" },
        { "/a.b/Track", "twk", kCFURLPOSIXPathStyle, "/a.b/Track.twk" },
        { ".profile", "twk", kCFURLPOSIXPathStyle, ".profile.twk" },
        { "Disk:Folder.x:File", "kml", kCFURLHFSPathStyle, "Disk:Folder.x:File.kml" },
        { "Report.txt", "", kCFURLPOSIXPathStyle, "Report" },
    };
    for (Case const& c : cases) {
        CString name(c.name);
        CFileUtilities::SetPathExtension(name, c.extension, c.style);
        EXPECT_STREQ(name.GetUTF8(), c.expected) << c.name;
    }
}

TEST(CFileUtilities, ReadDataIsBoundedAndSetNumMaxOpenFilesRaisesTheLimit)
{
    tw::test::TempFolder folder;
    tw::test::WriteFile(folder / "data", std::string(1000, 'z'));
    CMemBuffer buffer;
    ASSERT_EQ(CFileUtilities::ReadData(FileAt(folder / "data"), buffer, 1000), noErr);
    EXPECT_EQ(buffer.GetBufferSize(), 1000u);
    CMemBuffer small;
    EXPECT_EQ(CFileUtilities::ReadData(FileAt(folder / "data"), small, 999), memFullErr);
    EXPECT_EQ(small.GetBufferSize(), 0u);
    EXPECT_EQ(CFileUtilities::ReadData(FileAt(folder / "none"), small, 999), fnfErr);
    // A named pipe would keep the reader waiting for a writer: it is refused at once.
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(CFileUtilities::ReadData(FileAt(folder / "pipe"), small, 999), kNotAFileErr);
    EXPECT_EQ(CFileUtilities::ReadData(FileAt(folder.Path()), small, 999), kNotAFileErr);

    rlimit before;
    getrlimit(RLIMIT_NOFILE, &before);
    rlim_t wanted = std::min<rlim_t>(before.rlim_max, 1024);
    ASSERT_EQ(CFileUtilities::SetNumMaxOpenFiles(wanted), noErr);
    rlimit after;
    getrlimit(RLIMIT_NOFILE, &after);
    EXPECT_EQ(after.rlim_cur, wanted);
}

TEST(CFileList, OrderedListOperationsAndFolderItems)
{
    tw::test::TempFolder folder;
    for (char const* name : { "b.twmap", "a.TWMAP", "c.txt", ".hidden.twmap" })
        tw::test::WriteFile(folder / name, "");
    CFileList list;
    ASSERT_EQ(list.AddFolderItems(FileAt(folder.Path()), "twmap"), noErr);
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_STREQ(list.GetAt(0).GetFileName().GetUTF8(), "a.TWMAP");
    EXPECT_STREQ(list.GetAt(1).GetFileName().GetUTF8(), "b.twmap");

    CFile c = FileAt(folder / "c.txt");
    list.PushFront(c);
    EXPECT_EQ(list.Find(c), 0);
    list.PushBack(c);
    list.Remove(c);
    EXPECT_FALSE(list.Contains(c));
    EXPECT_EQ(list.GetCount(), 2u);
    EXPECT_FALSE(list.GetAt(9).IsSpecified());
    EXPECT_EQ(list.AddFolderItems(FileAt(folder / "missing")), fnfErr);
}

TEST(CFileMap, MapsWholeFilesAndRangesAndRefusesOthers)
{
    tw::test::TempFolder folder;
    std::string text(10000, 'a');
    text.replace(5000, 5, "HELLO");
    tw::test::WriteFile(folder / "version.xml", text);
    CFileMap map;
    ASSERT_EQ(map.Open(FileAt(folder / "version.xml")), noErr);
    EXPECT_EQ(map.GetFileSize(), 10000u);
    auto* whole = static_cast<char const*>(map.Map(0, 0));
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(std::string(whole, 10000), text);
    auto* part = static_cast<char const*>(map.Map(5000, 5)); // not on a page boundary
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(std::string(part, 5), "HELLO");
    EXPECT_EQ(map.Map(9000, 2000), nullptr);
    EXPECT_EQ(map.Map(10000, 0), nullptr);
    EXPECT_EQ(map.Map(0, 0, CFileMap::kMapWrite), nullptr); // opened for reading only

    CFileMap missing;
    EXPECT_EQ(missing.Open(FileAt(folder / "none")), fnfErr);
    EXPECT_EQ(missing.Map(0, 0), nullptr);
    EXPECT_EQ(missing.Open(FileAt(folder.Path())), fnfErr); // a folder
}
