#include "foundation/CFileList.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

void CFileList::Remove(CFile const& file) { erase(std::remove(begin(), end(), file), end()); }

bool CFileList::Contains(CFile const& file) const { return Find(file) >= 0; }

SInt32 CFileList::Find(CFile const& file) const
{
    auto it = std::find(begin(), end(), file);
    return it == end() ? -1 : SInt32(it - begin());
}

CFile const& CFileList::GetAt(std::size_t index) const
{
    static CFile const sNone;
    return index < size() ? (*this)[index] : sNone;
}

OSStatus CFileList::AddFolderItems(CFile const& folder, CString const& extension)
{
    if (!folder.DirectoryExists())
        return fnfErr;
    std::error_code ec;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder.GetPath(), ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!name.empty() && name[0] != '.')
            names.push_back(name);
    }
    if (ec)
        return tw::services::StatusFromErrno(ec.value());
    std::sort(names.begin(), names.end());
    for (std::string const& name : names) {
        CFile item = folder.GetChild(CString(name.c_str()));
        if (extension.IsEmpty() || item.GetExtension().EqualNoCase(extension))
            push_back(item);
    }
    return noErr;
}
