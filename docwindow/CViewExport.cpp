#include "docwindow/CViewExport.h"

#include "docwindow/CExportKML.h"
#include "foundation/CProcessUtilities.h"
#include "foundation/CTextUtilities.h"
#include "framework/CInternetUtilities.h"

#include <cctype>
#include <string>
#include <string_view>

CViewExport::GlobeResult CViewExport::OpenInGlobeViewer(
    CCoordinate const& centre, unsigned long level, std::vector<CMapObject*> const& objects)
{
    CString const text
        = CExportKML::MakeDocument(CTextUtilities::GetBundleString("KMLGoogleEarth"), centre, level, objects);
    CFile file;
    if (CExportKML::WriteTemporaryFile(text, file)) {
        if (CProcessUtilities::OpenDocWithApp(CProcessUtilities::kCreatorGlobeViewer, file) == noErr)
            return kGlobeViewer;
        if (CProcessUtilities::OpenDocWithApp(0, file) == noErr)
            return kDesktopHandler;
    }
    return CInternetUtilities::LaunchURL(CTextUtilities::GetBundleString("URLGoogleEarth")) == noErr ? kWebPage
                                                                                                       : kNothing;
}

// Four doubles, in order, and nothing else but "%%".
bool CViewExport::IsWebMapFormat(CString const& text)
{
    auto const conversions = CTextUtilities::GetFormatConversions(text.GetStdString());
    return conversions.size() == 4 && std::all_of(conversions.begin(), conversions.end(), [](auto const& c) {
        return !c.numbered && (c.letters == "f" || c.letters == "lf" || c.letters == "g");
    });
}

CString CViewExport::MakeWebMapLink(CCoordinateRect const& rect)
{
    CString const format = CTextUtilities::GetBundleString("URLGoogleMap");
    if (!IsWebMapFormat(format))
        return CString();
    CCoordinate const centre = rect.GetCentre();
    CString link;
    link.Format(format.GetUTF8(), centre.GetLatitude(), centre.GetLongitude(),
        rect.GetTopLeft().GetLatitude() - rect.GetBottomRight().GetLatitude(),
        rect.GetBottomRight().GetLongitude() - rect.GetTopLeft().GetLongitude());
    return link;
}
