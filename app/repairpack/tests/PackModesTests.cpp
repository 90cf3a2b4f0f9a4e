#include "PackModes.h"
#include "tests/support/TestSupport.h"

#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The administrator's walk over a map pack: modes change only on the pack's own files and
// folders, never through a link, also when an entry is swapped during the walk.

namespace {

namespace fs = std::filesystem;
using tw::repairpack::MakeReadableByEveryone;
using tw::repairpack::PackModesResult;
using tw::test::TempFolder;
using tw::test::WriteFile;

unsigned ModeOf(fs::path const& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 ? unsigned(info.st_mode & 07777) : 01000000;
}

void MakeFile(fs::path const& path, unsigned mode)
{
    WriteFile(path, "x");
    chmod(path.c_str(), mode);
}

void MakeFolder(fs::path const& path, unsigned mode)
{
    fs::create_directories(path);
    chmod(path.c_str(), mode);
}

// A pack beside files of someone else's: secret (0600) and a private folder with a file.
struct Scene {
    TempFolder folder;
    fs::path pack = folder / "Roads.twmap";
    fs::path secret = folder / "secret";
    fs::path privateFolder = folder / "private";

    Scene()
    {
        MakeFolder(pack / "Regions" / "North", 0700);
        chmod((pack / "Regions").c_str(), 0700);
        chmod(pack.c_str(), 0700);
        MakeFile(pack / "Info.plist", 0600);
        MakeFile(pack / "Regions" / "North" / "tiles.bin", 0640);
        MakeFile(pack / "Regions" / "build.sh", 0700);
        MakeFile(secret, 0600);
        MakeFolder(privateFolder, 0700);
        MakeFile(privateFolder / "key", 0600);
    }
    ~Scene()
    {
        chmod(privateFolder.c_str(), 0700); // so that the folder can go
    }
};

TEST(PackModes, PlantedLinksAndSecondNamesAreLeftAndTheirTargetsKeepTheirModes)
{
    Scene scene;
    fs::create_symlink(scene.secret, scene.pack / "Regions" / "secret-link");
    fs::create_directory_symlink(scene.privateFolder, scene.pack / "private-link");
    fs::create_symlink(scene.folder / "nothing", scene.pack / "dangling");
    fs::create_hard_link(scene.secret, scene.pack / "Regions" / "North" / "second-name");

    PackModesResult result;
    ASSERT_TRUE(MakeReadableByEveryone(scene.pack.string(), result)) << result.messages;
    EXPECT_EQ(result.failed, 0) << result.messages;
    EXPECT_EQ(result.skipped, 4) << result.messages;
    EXPECT_NE(result.messages.find("secret-link: a link"), std::string::npos) << result.messages;

    EXPECT_EQ(ModeOf(scene.pack), 0755u);
    EXPECT_EQ(ModeOf(scene.pack / "Regions"), 0755u);
    EXPECT_EQ(ModeOf(scene.pack / "Regions" / "North"), 0755u);
    EXPECT_EQ(ModeOf(scene.pack / "Info.plist"), 0644u);
    EXPECT_EQ(ModeOf(scene.pack / "Regions" / "North" / "tiles.bin"), 0644u);
    EXPECT_EQ(ModeOf(scene.pack / "Regions" / "build.sh"), 0755u) << "an executable stays executable, for all";
    EXPECT_EQ(ModeOf(scene.secret), 0600u);
    EXPECT_EQ(ModeOf(scene.privateFolder), 0700u);
    EXPECT_EQ(ModeOf(scene.privateFolder / "key"), 0600u);
}

TEST(PackModes, AnEntrySwappedBetweenTheCheckAndTheChangeIsLeftAlone)
{
    Scene scene;
    MakeFile(scene.pack / "Regions" / "a-file", 0600);
    MakeFile(scene.pack / "Regions" / "b-file", 0600);
    MakeFolder(scene.pack / "Regions" / "c-folder", 0700);
    MakeFile(scene.pack / "Regions" / "d-file", 0600);
    int swaps = 0;
    auto swap = [&](int folder, char const* name) {
        std::string const entry = name;
        if (entry == "a-file") { // a link to a file outside
            unlinkat(folder, name, 0);
            ASSERT_EQ(symlinkat(scene.secret.c_str(), folder, name), 0);
        } else if (entry == "b-file") { // a second name of a file outside
            unlinkat(folder, name, 0);
            ASSERT_EQ(linkat(AT_FDCWD, scene.secret.c_str(), folder, name, 0), 0);
        } else if (entry == "c-folder") { // a link to a folder outside
            unlinkat(folder, name, AT_REMOVEDIR);
            ASSERT_EQ(symlinkat(scene.privateFolder.c_str(), folder, name), 0);
        } else if (entry == "d-file") { // another file under the same name
            MakeFile(scene.pack / "Regions" / "d-new", 0600);
            ASSERT_EQ(renameat(folder, "d-new", folder, name), 0);
        } else {
            return;
        }
        ++swaps;
    };

    PackModesResult result;
    ASSERT_TRUE(MakeReadableByEveryone(scene.pack.string(), result, swap)) << result.messages;
    EXPECT_EQ(swaps, 4);
    EXPECT_EQ(result.failed, 0) << result.messages;
    EXPECT_EQ(result.skipped, 4) << result.messages;
    EXPECT_NE(result.messages.find("a-file: changed during the repair"), std::string::npos) << result.messages;
    EXPECT_EQ(ModeOf(scene.secret), 0600u);
    EXPECT_EQ(ModeOf(scene.privateFolder), 0700u);
    EXPECT_EQ(ModeOf(scene.privateFolder / "key"), 0600u);
    EXPECT_EQ(ModeOf(scene.pack / "Regions" / "d-file"), 0600u) << "not the file that was checked";
    EXPECT_EQ(ModeOf(scene.pack / "Info.plist"), 0644u) << "the rest of the pack is repaired";
}

TEST(PackModes, APackThatIsALinkOrNoFolderIsRefused)
{
    Scene scene;
    fs::path const link = scene.folder / "Linked.twmap";
    fs::create_directory_symlink(scene.privateFolder, link);
    PackModesResult result;
    EXPECT_FALSE(MakeReadableByEveryone(link.string(), result));
    EXPECT_NE(result.messages.find("a link, not a folder"), std::string::npos) << result.messages;
    EXPECT_EQ(ModeOf(scene.privateFolder), 0700u);
    EXPECT_EQ(ModeOf(scene.privateFolder / "key"), 0600u);

    PackModesResult file;
    EXPECT_FALSE(MakeReadableByEveryone(scene.secret.string(), file));
    EXPECT_EQ(ModeOf(scene.secret), 0600u);
}

// A file system mounted inside the pack is not the pack's: the walk does not go into it.
// Needs a mount namespace of its own (root, or a user namespace): skipped otherwise.
TEST(PackModes, AnotherFileSystemInsideThePackIsLeftAlone)
{
    Scene scene;
    fs::path const mounted = scene.pack / "Mounted";
    fs::create_directory(mounted);
    pid_t const child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Mounts made here stay in the child's namespace and go with it.
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || mount("tmpfs", mounted.c_str(), "tmpfs", 0, "mode=0700") != 0)
            _exit(77);
        MakeFile(mounted / "inside", 0600);
        PackModesResult result;
        bool const walked = MakeReadableByEveryone(scene.pack.string(), result);
        bool const left = ModeOf(mounted) == 0700u && ModeOf(mounted / "inside") == 0600u;
        bool const repaired = ModeOf(scene.pack / "Info.plist") == 0644u;
        bool const said = result.messages.find("Mounted: on another file system") != std::string::npos;
        _exit(walked && left && repaired && said ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no mount namespace of our own here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the mounted file system was changed, or the pack was not repaired";
}

// The helper as the repair runs it: "repaired" on standard output only when all went well.
TEST(PackModes, TheHelperProgramRepairsAPackAndSaysSo)
{
    Scene scene;
    fs::create_symlink(scene.secret, scene.pack / "secret-link");
    std::string output;
    EXPECT_EQ(tw::test::RunCommand(
                  std::string("'") + TW_REPAIR_PACK_TOOL + "' '" + scene.pack.string() + "' 2>/dev/null", &output),
        0);
    EXPECT_EQ(output, "repaired\n");
    EXPECT_EQ(ModeOf(scene.pack / "Regions" / "build.sh"), 0755u);
    EXPECT_EQ(ModeOf(scene.secret), 0600u);

    output.clear();
    EXPECT_EQ(tw::test::RunCommand(std::string("'") + TW_REPAIR_PACK_TOOL + "' Roads.twmap 2>/dev/null", &output), 2)
        << "a relative path is refused";
    EXPECT_EQ(tw::test::RunCommand(
                  std::string("'") + TW_REPAIR_PACK_TOOL + "' '" + scene.folder.Path().string() + "/none' 2>/dev/null",
                  &output),
        1);
    EXPECT_EQ(output, "");
}

} // namespace
