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
    std::string const format = text.GetStdString();
    int found = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        std::size_t j = i + 1;
        if (j < format.size() && format[j] == '%') {
            i = j;
            continue;
        }
        while (j < format.size() && std::string_view("-+ #0123456789.").find(format[j]) != std::string_view::npos)
            ++j;
        std::size_t const start = j;
        while (j < format.size() && std::isalpha(static_cast<unsigned char>(format[j])))
            ++j;
        std::string const conversion = format.substr(start, j - start);
        if (conversion != "f" && conversion != "lf" && conversion != "g")
            return false;
        ++found;
        i = j - 1;
    }
    return found == 4;
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
