#include "foundation/CFileUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CApplication.h"
#include "framework/CDocument.h"
#include "framework/CMacWindow.h"

#include <algorithm>
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
void CApplication::EndSession()
{
    if (!mApp)
        return;
    UInt32 kept = 0;
    for (CDocument* document : CDocument::GetDocuments(false)) {
        if (!document->IsModified())
            continue;
        if (document->GetSaveMode() == CDocument::kSaveModeAlways && !document->IsUntitled()
            && !document->NeedsSaveQuestion() && document->SaveDocument() == noErr)
            continue;
        if (mApp->KeepForNextStart(*document, ++kept) == noErr)
            document->SetModified(false);
    }
}

OSStatus CApplication::KeepForNextStart(CDocument& document, UInt32 number)
{
    CFile const folder = GetRecoveryFolder(true);
    if (!folder.IsSpecified())
        return fnfErr;
    CFile copy;
    for (UInt32 n = number;; ++n) {
        CString name;
        name.Format("%u.%s", unsigned(n), document.GetPropertyString('dfex').GetUTF8());
        copy = folder.GetChild(name);
        if (!copy.Exists())
            break;
    }
    std::ofstream from(copy.GetPath() + kFromExtension, std::ios::trunc);
    from << (document.IsUntitled() ? std::string() : document.GetFile().GetPath());
    from.close();
    return document.WriteCopy(copy);
}

// What an earlier session could not save comes back as modified documents, under the file they
// belonged to (or untitled, when that file is open already), and the user is told once.
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
        std::filesystem::remove(path, error);
        std::filesystem::remove(path.string() + kFromExtension, error);
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
