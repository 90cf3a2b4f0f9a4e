#include "model/CParserFile.h"

#include "model/CParserGPX.h"
#include "model/CParserLoc.h"

CParserFile* CParserFile::CreateParser(CFile const& file)
{
    std::string uri, root;
    if (CXMLStreamReader::ReadRootElement(file, uri, root) == noErr) {
        if (CParserGPX::IsRootElement(uri, root))
            return new CParserGPX;
        if (CParserLoc::IsRootElement(uri, root))
            return new CParserLoc;
        return nullptr; // XML of another kind, whatever its name
    }
    if (!file.FileExists())
        return nullptr;
    CString extension = file.GetExtension().GetLower();
    if (extension == CString("gpx"))
        return new CParserGPX;
    if (extension == CString("loc"))
        return new CParserLoc;
    return nullptr;
}
