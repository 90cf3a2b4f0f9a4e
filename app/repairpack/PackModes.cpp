#include "PackModes.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tw::repairpack {
namespace {

    constexpr int kMaxDepth = 64; // a pack is a few folders deep; the limit bounds the descriptors held

    class Walk {
    public:
        Walk(dev_t device, PackModesResult& result, BeforeChange const& beforeChange)
            : mDevice(device)
            , mResult(result)
            , mBeforeChange(beforeChange)
        {
        }

        void Folder(int folder, std::string const& path, int depth);

    private:
        void Entry(int folder, std::string const& path, char const* name, int depth);
        void Change(int descriptor, struct stat const& checked, std::string const& path);
        void Note(int& counter, std::string const& path, char const* what);

        dev_t mDevice;
        PackModesResult& mResult;
        BeforeChange const& mBeforeChange;
    };

    bool SameEntry(struct stat const& a, struct stat const& b)
    {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && (a.st_mode & S_IFMT) == (b.st_mode & S_IFMT);
    }

    void Walk::Note(int& counter, std::string const& path, char const* what)
    {
        ++counter;
        mResult.messages += path + ": " + what + "\n";
    }

    void Walk::Change(int descriptor, struct stat const& checked, std::string const& path)
    {
        unsigned const mode = checked.st_mode & 07777;
        unsigned const wanted = ReadableMode(mode, S_ISDIR(checked.st_mode));
        if (wanted == mode)
            return;
        if (fchmod(descriptor, mode_t(wanted)) != 0)
            Note(mResult.failed, path, std::strerror(errno));
        else
            ++mResult.changed;
    }

    void Walk::Folder(int folder, std::string const& path, int depth)
    {
        // A descriptor of its own for reading: closedir closes it, the caller keeps folder.
        int const listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* entries = listing >= 0 ? fdopendir(listing) : nullptr;
        if (!entries) {
            if (listing >= 0)
                close(listing);
            Note(mResult.failed, path, std::strerror(errno));
            return;
        }
        std::vector<std::string> names;
        errno = 0;
        while (dirent* entry = readdir(entries))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.emplace_back(entry->d_name);
        closedir(entries);
        for (std::string const& name : names)
            Entry(folder, path, name.c_str(), depth);
    }

    void Walk::Entry(int folder, std::string const& parent, char const* name, int depth)
    {
        std::string const path = parent + "/" + name;
        struct stat checked;
        if (fstatat(folder, name, &checked, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                Note(mResult.failed, path, std::strerror(errno));
            return;
        }
        if (S_ISLNK(checked.st_mode))
            return Note(mResult.skipped, path, "a link, left as it is");
        if (!S_ISDIR(checked.st_mode) && !S_ISREG(checked.st_mode))
            return Note(mResult.skipped, path, "not a plain file or folder, left as it is");
        if (checked.st_dev != mDevice)
            return Note(mResult.skipped, path, "on another file system, left as it is");
        // A second name could put a file from outside the pack in it.
        if (S_ISREG(checked.st_mode) && checked.st_nlink > 1)
            return Note(mResult.skipped, path, "a file with more than one name, left as it is");
        if (mBeforeChange)
            mBeforeChange(folder, name);
        // O_NOFOLLOW: a link put in its place since the check fails here (ELOOP). O_NONBLOCK:
        // a pipe put there does not hold the walk; it is then no longer the entry checked.
        int const flags = S_ISDIR(checked.st_mode) ? O_RDONLY | O_DIRECTORY : O_RDONLY | O_NONBLOCK | O_NOCTTY;
        int const descriptor = openat(folder, name, flags | O_NOFOLLOW | O_CLOEXEC);
        struct stat held;
        if (descriptor < 0 || fstat(descriptor, &held) != 0 || !SameEntry(checked, held)
            || (S_ISREG(held.st_mode) && held.st_nlink > 1)) {
            int const error = errno;
            if (descriptor >= 0)
                close(descriptor);
            if (descriptor < 0 && error != ELOOP && error != ENOENT && error != ENOTDIR)
                Note(mResult.failed, path, std::strerror(error));
            else
                Note(mResult.skipped, path, "changed during the repair, left as it is");
            return;
        }
        Change(descriptor, held, path);
        if (S_ISDIR(held.st_mode)) {
            if (depth >= kMaxDepth)
                Note(mResult.failed, path, "folders nested too deeply");
            else
                Folder(descriptor, path, depth + 1);
        }
        close(descriptor);
    }

} // namespace

unsigned ReadableMode(unsigned mode, bool folder)
{
    unsigned wanted = mode | S_IRUSR | S_IRGRP | S_IROTH;
    if (folder || (mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0)
        wanted |= S_IXUSR | S_IXGRP | S_IXOTH;
    return wanted;
}

bool MakeReadableByEveryone(std::string const& root, PackModesResult& result, BeforeChange const& beforeChange)
{
    int const folder = open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat held;
    if (folder < 0 || fstat(folder, &held) != 0) {
        int const error = errno;
        if (folder >= 0)
            close(folder);
        struct stat named;
        bool const link = lstat(root.c_str(), &named) == 0 && S_ISLNK(named.st_mode);
        ++result.failed;
        result.messages += root + ": "
            + (link                    ? std::string("a link, not a folder")
                    : error == ENOTDIR ? "not a folder"
                                       : std::strerror(error))
            + "\n";
        return false;
    }
    Walk walk(held.st_dev, result, beforeChange);
    unsigned const mode = held.st_mode & 07777;
    if (unsigned const wanted = ReadableMode(mode, true); wanted != mode) {
        if (fchmod(folder, mode_t(wanted)) == 0)
            ++result.changed;
        else {
            ++result.failed;
            result.messages += root + ": " + std::strerror(errno) + "\n";
        }
    }
    walk.Folder(folder, root, 0);
    close(folder);
    return true;
}

} // namespace tw::repairpack
