#include "toolbox/dialogs/DialogKit.h"
#include "toolbox/dialogs/NavDialog.h"
#include "toolbox/dialogs/NavFiles.h"

#include <filesystem>

// What the action button does: open or choose what the list or the place field
// names, or save under the name (or path) typed.

namespace tw::toolbox::dialogs {

namespace {

    namespace fs = std::filesystem;

    std::string Extension(std::string const& name)
    {
        std::size_t const dot = name.rfind('.');
        return dot == std::string::npos || dot == 0 ? std::string {} : name.substr(dot + 1);
    }

    bool IsFolder(std::string const& path)
    {
        std::error_code error;
        return fs::is_directory(path, error);
    }

    void TellNotFound(std::string const& typed)
    {
        TellAbout(typed, "NavNotFound", "\u201C%@\u201D could not be found.", "NavNotFoundInfo",
            "There is no file or folder of that name. Check the name, or choose from the list.");
    }

} // namespace

void NavDialog::Accept()
{
    if (!ResolvePath(LocationText(), mFolder).empty()) {
        AcceptLocation();
        return;
    }
    if (mKind == DialogKind::Save) {
        AcceptSave();
        return;
    }
    std::vector<FileEntry> const selected = mList->SelectedEntries();
    mChosen.clear();
    if (mKind == DialogKind::ChooseFolder) {
        mChosen.push_back(selected.empty() ? mFolder : selected.front().path);
        Complete(kNavUserActionChoose);
        return;
    }
    for (FileEntry const& entry : selected)
        if (!entry.folder)
            mChosen.push_back(entry.path);
    if (!mChosen.empty())
        Complete(kNavUserActionOpen);
    else if (selected.size() == 1)
        Enter(selected.front().path);
}

// A folder is gone into; a file is opened when the dialog would list it.
void NavDialog::AcceptLocation()
{
    std::string const typed = LocationText();
    std::string const path = ResolvePath(typed, mFolder);
    std::error_code error;
    if (IsFolder(path)) {
        Enter(path);
        return;
    }
    if (!fs::exists(path, error)) {
        TellNotFound(typed);
        return;
    }
    FileEntry const entry { NameOf(path), path, false, true };
    if (mKind != DialogKind::Open || !Shows(entry)) {
        if (!IsLive(this))
            return;
        if (mKind == DialogKind::ChooseFolder)
            TellAbout(typed, "NavNotFolder", "\u201C%@\u201D is not a folder.", "NavNotFolderInfo",
                "Choose a folder, or type the path of one.");
        else
            TellAbout(typed, "NavCannotOpen", "\u201C%@\u201D cannot be opened here.", "NavCannotOpenInfo",
                "It is not a kind of file this dialog opens.");
        return;
    }
    mChosen = { path };
    Complete(kNavUserActionOpen);
}

// The name field takes a name, or a path ("~/Maps/trip.twk", "../trip"), whose folder must exist.
void NavDialog::AcceptSave()
{
    std::string const typed = GetFieldText(mNameField);
    bool const isPath = typed.find('/') != std::string::npos || typed == "~" || typed.rfind("~/", 0) == 0;
    if (!isPath) {
        SaveIn(mFolder, typed);
        return;
    }
    std::string const path = ResolvePath(typed, mFolder);
    if (IsFolder(path)) {
        Enter(path);
        return;
    }
    if (!IsFolder(ParentOf(path))) {
        TellNotFound(typed.substr(0, typed.rfind('/') + 1));
        return;
    }
    SaveIn(ParentOf(path), NameOf(path));
}

void NavDialog::SaveIn(std::string const& folder, std::string name)
{
    if (name.empty() || name == "." || name == "..") {
        TellAbout(name, "NavBadName", "\u201C%@\u201D cannot be used as a file name.", "NavBadNameInfo",
            "Type a name for the file.");
        return;
    }
    // A folder's name goes into the folder, as its row would.
    if (IsFolder(Join(folder, name))) {
        Enter(Join(folder, name));
        return;
    }
    std::string const proposed = ToString(mOptions.saveFileName);
    if ((mOptions.optionFlags & kNavPreserveSaveFileExtension) && Extension(name).empty()
        && !Extension(proposed).empty())
        name += "." + Extension(proposed);
    std::string const target = Join(folder, name);
    std::error_code error;
    bool const exists = fs::exists(target, error);
    if (exists && IsFolder(target)) {
        TellAbout(name, "NavNameIsFolder", "\u201C%@\u201D is a folder.", "NavNameIsFolderInfo",
            "A folder is never replaced. Choose another name.");
        return;
    }
    if (exists && !(mOptions.optionFlags & kNavDontConfirmReplacement) && !ConfirmReplace(name))
        return;
    mReplacing = exists;
    mSaveName = name;
    mChosen = { target };
    Complete(kNavUserActionSaveAs);
}

void NavDialog::ApplyAnswer(Answer const& answer)
{
    ApplyScripted(answer);
    if (!mCompleting)
        mPending.Fallback(mKind, [this](Answer const&) { Complete(kNavUserActionCancel); });
}

void NavDialog::ApplyScripted(Answer const& answer)
{
    if (answer.cancel || answer.paths.empty()) {
        Complete(kNavUserActionCancel);
        return;
    }
    std::string const& first = answer.paths.front();
    if (SetLocation(ParentOf(first)) != noErr) {
        Complete(kNavUserActionCancel);
        return;
    }
    if (mKind == DialogKind::Save) {
        SetFieldText(mNameField, NameOf(first));
        Accept();
        return;
    }
    bool any = false;
    for (std::string const& path : answer.paths)
        any = mList->Select(NameOf(path), true) || any;
    if (any)
        Accept();
    else
        Complete(kNavUserActionCancel); // the files are not shown: nothing can be chosen
}

} // namespace tw::toolbox::dialogs
