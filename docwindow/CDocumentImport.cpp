#include "docwindow/CDocumentImport.h"

#include "foundation/CTextUtilities.h"
#include "foundation/Status.h"
#include "model/CParserFile.h"
#include "model/CParserGPX.h"
#include "model/CParserURL.h"

#include <memory>
#include <string>
#include <unistd.h>

namespace {

// A count as the limits are written: "1,000,000".
std::string Grouped(std::size_t count)
{
    std::string digits = std::to_string(count);
    for (std::ptrdiff_t at = std::ptrdiff_t(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(std::size_t(at), 1, ',');
    return digits;
}

// The sentence of a limit the file passed, with the limit in it.
CString LimitText(char const* key, std::size_t limit)
{
    CString text;
    text.Format(CTextUtilities::GetBundleString(key).GetUTF8(), Grouped(limit).c_str());
    return text;
}

} // namespace

bool CDocumentImport::CanImport(CFile const& file)
{
    std::unique_ptr<CParserFile> const parser(CParserFile::CreateParser(file));
    return parser != nullptr;
}

bool CDocumentImport::CanImport(CString const& text, IMapLinkView* view)
{
    CCoordinate coordinate;
    unsigned long zoom = 0;
    return CParserURL::ParseURL(text, view, coordinate, zoom) == noErr;
}

OSStatus CDocumentImport::ReadFile(CFile const& file, std::vector<CMapObject*>& objects, CReadMonitor* monitor)
{
    // A folder, a named pipe or a device is refused before anything waits on reading it.
    if (file.Exists() && !file.FileExists())
        return kNotAFileErr;
    // Asked next: a parser would take both for a damaged file.
    if (access(file.GetPath().c_str(), R_OK) != 0 && file.FileExists())
        return permErr;
    if (file.GetForkSize() == 0)
        return eofErr;
    std::unique_ptr<CParserFile> const parser(CParserFile::CreateParser(file));
    if (!parser)
        return kNoParser;
    parser->SetMonitor(monitor);
    return parser->ParseFile(file, objects);
}

void CDocumentImport::GetReport(OSStatus status, CString const& name, std::size_t count, CString& major, CString& minor)
{
    minor = CString();
    if (status != noErr) {
        major.Format(CTextUtilities::GetBundleString("DocImportFailed").GetUTF8(), name.GetUTF8());
        if (status == kNotAFileErr)
            minor = CTextUtilities::GetBundleString("It is not an ordinary file: only files can be opened.");
        else if (status == kNoParser)
            minor = CTextUtilities::GetBundleString("DocImportErrorKind");
        else if (status == permErr)
            minor = CTextUtilities::GetBundleString("DocImportErrorAccess");
        else if (status == eofErr)
            minor = CTextUtilities::GetBundleString("DocImportErrorEmpty");
        else if (status == kImportObjectCountErr)
            minor = LimitText("DocImportErrorObjects", CParserGPX::GetMaxObjects());
        else if (status == kImportTrackPointCountErr)
            minor = LimitText("DocImportErrorTrackPoints", CParserGPX::GetMaxTrackPoints());
        else if (status == kImportRoutePointCountErr)
            minor = LimitText("DocImportErrorRoutePoints", CParserGPX::kMaxRoutePoints);
        else
            minor.Format(CTextUtilities::GetBundleString("DocImportErrorTypeN").GetUTF8(), long(status));
        return;
    }
    if (count == 0)
        major.Format(CTextUtilities::GetBundleString("DocImport0").GetUTF8(), name.GetUTF8());
    else if (count == 1)
        major.Format(CTextUtilities::GetBundleString("DocImport1").GetUTF8(), name.GetUTF8());
    else
        major.Format(CTextUtilities::GetBundleString("DocImportN").GetUTF8(), name.GetUTF8(), long(count));
}
