#include "display/SessionEnd.h"
#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Beside each kept document, the path of the file it belonged to (empty for an untitled one).
constexpr char kFromExtension[] = ".from";

std::string ReadFrom(std::filesystem::path const& kept)
{
    std::ifstream in(kept.string() + kFromExtension);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

CFile CApplication::GetRecoveryFolder(bool create) const
{
    CFile const support
        = CFileUtilities::FindFolder(kUserDomain, kApplicationSupportFolderType, create, GetPropertyString('anam'));
    if (!support.IsSpecified())
        return CFile();
    CFile const folder = support.GetChild("Recovered");
    std::error_code error;
    if (create)
        std::filesystem::create_directory(folder.GetPath(), error);
    return folder.DirectoryExists() ? folder : CFile();
}

// Nobody can be asked any more (the display is gone, the session hung up): a document that saves
// itself is saved, every other modified one is written where the next start offers it back.
// A document whose work runs (an import, a save) is left to it while the loop can still end it;
// this runs again at the shutdown after it. Once the display is gone, each is kept as it is.
void CApplication::EndSession()
{
    if (!mApp)
        return;
    bool const gone = tw::display::IsSessionGone();
    UInt32 kept = 0;
    for (CDocument* document : CDocument::GetDocuments(false)) {
        if (!document->IsModified() || (document->IsBusy() && !gone))
            continue;
        if (document->GetSaveMode() == CDocument::kSaveModeAlways && !document->IsUntitled()
            && !document->NeedsSaveQuestion() && document->SaveDocument() == noErr)
            continue;
        if (mApp->KeepForNextStart(*document, ++kept) == noErr || KeepElsewhere(*document) == noErr)
            document->SetModified(false);
    }
}

OSStatus CApplication::KeepForNextStart(CDocument& document, UInt32 number)
{
    // A document that came back from an earlier session writes over its own copy.
    CFile copy = document.GetRecoveredCopy();
    if (!copy.IsSpecified()) {
        CFile const folder = GetRecoveryFolder(true);
        if (!folder.IsSpecified())
            return fnfErr;
        for (UInt32 n = number;; ++n) {
            CString name;
            name.Format("%u.%s", unsigned(n), document.GetPropertyString('dfex').GetUTF8());
            copy = folder.GetChild(name);
            if (!copy.Exists())
                break;
        }
    }
    std::ofstream from(copy.GetPath() + kFromExtension, std::ios::trunc);
    from << (document.IsUntitled() ? std::string() : document.GetFile().GetPath());
    from.close();
    if (!from)
        return ioErr;
    return document.WriteCopy(copy);
}

// Where the next start cannot look (no usable folder of the program's own), the changes go into
// the home folder, or else the temporary one, and standard error says where; or what was lost.
OSStatus CApplication::KeepElsewhere(CDocument& document)
{
    std::string const name = document.GetDisplayName().GetUTF8();
    std::string const extension = document.GetPropertyString('dfex').GetUTF8();
    for (char const* variable : { "HOME", "TMPDIR" }) {
        char const* folder = std::getenv(variable);
        std::string const base = folder && folder[0] == '/' ? folder : (variable[0] == 'T' ? "/tmp" : "");
        if (base.empty() || !std::filesystem::is_directory(base))
            continue;
        for (UInt32 n = 1; n < 100; ++n) {
            std::string const path = base + "/" + name + " (unsaved changes" + (n > 1 ? " " + std::to_string(n) : "")
                + ")" + (extension.empty() ? "" : "." + extension);
            CFile const copy(CString(path.c_str()));
            if (copy.Exists())
                continue;
            if (document.WriteCopy(copy) != noErr)
                break;
            std::fprintf(stderr,
                "Tarnwick: the unsaved changes of \"%s\" could not be kept for the next start; they were "
                "written to \"%s\".\n",
                name.c_str(), path.c_str());
            return noErr;
        }
    }
    std::fprintf(stderr, "Tarnwick: the unsaved changes of \"%s\" were lost: they could not be written anywhere.\n",
        name.c_str());
    sLostWork = true;
    return ioErr;
}

void CApplication::RemoveRecoveredCopy(CFile const& copy)
{
    std::error_code error;
    std::filesystem::remove(copy.GetPath(), error);
    std::filesystem::remove(copy.GetPath() + kFromExtension, error);
}

// What an earlier session could not save comes back as modified documents, under the file they
// belonged to (or untitled, when that file is open already), and the user is told once. The
// copies stay where they are until each document is saved or discarded: a crash meanwhile
// loses nothing.
UInt32 CApplication::OfferRecoveredDocuments()
{
    CFile const folder = GetRecoveryFolder(false);
    if (!folder.IsSpecified())
        return 0;
    std::vector<std::filesystem::path> kept;
    std::error_code error;
    for (auto const& entry : std::filesystem::directory_iterator(folder.GetPath(), error))
        if (entry.is_regular_file() && entry.path().extension() != kFromExtension)
            kept.push_back(entry.path());
    std::sort(kept.begin(), kept.end());
    UInt32 opened = 0;
    for (std::filesystem::path const& path : kept) {
        CFile const copy(CString(path.c_str()));
        // Open already: it stays in the folder until the document is saved or discarded.
        if (std::ranges::any_of(CDocument::GetDocuments(false), [&](CDocument const* open) {
                return open->GetRecoveredCopy().IsSpecified() && open->GetRecoveredCopy().GetPath() == copy.GetPath();
            }))
            continue;
        CDocument* document = nullptr;
        if (CommandCreate(&copy, &document) != noErr || !document)
            continue; // left where it is: nothing is thrown away unread
        CFile const from(CString(ReadFrom(path).c_str()));
        bool const taken = std::ranges::any_of(CDocument::GetDocuments(false), [&](CDocument const* other) {
            return other != document && other->GetFile().IsSpecified() && from.IsSpecified()
                && other->GetFile().GetPath() == from.GetPath();
        });
        document->SetFile(taken ? CFile() : from);
        if (document->GetWindow())
            document->GetWindow()->SetTitle(document->GetWindowTitle());
        document->SetModified(true);
        document->SetRecoveredCopy(copy);
        ++opened;
    }
    if (opened > 0) {
        CString major;
        major.Format(CTextUtilities::GetBundleString(opened == 1 ? "DocRecovered1" : "DocRecoveredN").GetUTF8(),
            unsigned(opened));
        DoAlert(major, CTextUtilities::GetBundleString("DocRecoveredDetail"), 1 /* note */, "•default•", CString(),
            CString());
    }
    return opened;
}
