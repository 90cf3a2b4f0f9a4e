#include "mapdata/CRegionLayer.h"

#include "foundation/CDebugLog.h"
#include "foundation/StMutexLock.h"
#include "mapdata/MapDataTypes.h"

namespace {
constexpr char const kLogCategory[] = "MapData";

// Layer folders and files must stay inside the region bundle.
bool IsSafeRelativePath(std::string const& path)
{
    if (path.empty())
        return true;
    if (path.front() == '/')
        return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (path.compare(start, end - start, "..") == 0 && end - start == 2)
            return false;
        start = end + 1;
    }
    return true;
}

CFile WithExtension(CFile const& file, char const* extension)
{
    std::string path = file.GetPath();
    path.resize(path.size() - file.GetExtension().GetStdString().size());
    return CFile(CString(path.c_str()) + extension);
}
} // namespace

OSStatus CRegionLayer::Initialise(CFDictionary const& fileInfo, CFile const& folder)
{
    mIdentifier = fileInfo.GetValueString("TWLayerIdentifier");
    mCategory = fileInfo.GetValueUInt32("TWLayerCategory");
    CString format = fileInfo.GetValueString("TWLayerFormat");
    CString subfolder = fileInfo.GetValueString("TWLayerFolder");
    CString name = fileInfo.GetValueString("TWLayerFile");
    if (format != CString("shp")) {
        // The enciphered "sen" header and the "shs" spatial index are formats we cannot read.
        CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, kLogCategory,
            "Layer \"%s\" refused: format \"%s\" is not supported", mIdentifier.GetUTF8(), format.GetUTF8());
        return kMapFormatErr;
    }
    if (name.IsEmpty() || !IsSafeRelativePath(subfolder.GetStdString()) || !IsSafeRelativePath(name.GetStdString())) {
        CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, kLogCategory,
            "Layer \"%s\" refused: bad file \"%s\"", mIdentifier.GetUTF8(), name.GetUTF8());
        return kMapFormatErr;
    }
    if (fileInfo.HasKey("TWLayerEncoding")) {
        CString encoding = fileInfo.GetValueString("TWLayerEncoding");
        mEncoding = encoding.IsNotEmpty() ? CDBaseFile::GetCodePageEncoding(encoding.GetStdString())
                                          : CFStringEncoding(fileInfo.GetValueUInt32("TWLayerEncoding"));
    }
    CFile file = subfolder.IsEmpty() ? folder.GetChild(name) : folder.GetChild(subfolder).GetChild(name);
    mShpFile = file.GetExtension().IsEmpty() ? CFile(file.GetFullPath() + ".shp") : file;
    mShxFile = WithExtension(mShpFile, "shx");
    mDbfFile = WithExtension(mShpFile, "dbf");
    OSStatus status = CShapeFile::ReadHeader(mShpFile, mShapeType, mBounds);
    if (status != noErr)
        CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, kLogCategory, "Layer \"%s\": %s unreadable (%d)",
            mIdentifier.GetUTF8(), mShpFile.GetPath().c_str(), int(status));
    return status;
}

OSStatus CRegionLayer::Open()
{
    if (mOpened.load(std::memory_order_acquire))
        return mOpenStatus;
    StMutexLock lock(mLock);
    if (!mOpened.load(std::memory_order_relaxed)) {
        mOpenStatus = OpenFiles();
        if (mOpenStatus == noErr)
            BuildIndex();
        else
            CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, kLogCategory,
                "Layer \"%s\" cannot be opened (%d)", mIdentifier.GetUTF8(), int(mOpenStatus));
        mOpened.store(true, std::memory_order_release);
    }
    return mOpenStatus;
}

OSStatus CRegionLayer::OpenFiles()
{
    TW_RETURN_IF_ERROR(mShapeFile.Open(mShpFile, mShxFile));
    // A layer without attributes still draws; a damaged table is left out.
    if (mDbfFile.FileExists()) {
        OSStatus status = mDBase.Open(mDbfFile, mEncoding);
        if (status != noErr)
            CDebugLog::GetDebugLog()->Log(CDebugLog::kPriorityWarning, kLogCategory,
                "Layer \"%s\": attribute table unreadable (%d)", mIdentifier.GetUTF8(), int(status));
        else
            mFeatureField = mDBase.FindField("TWFEATURE");
    }
    return noErr;
}

void CRegionLayer::BuildIndex()
{
    UInt32 count = mShapeFile.GetShapeCount();
    std::vector<CSpatialIndex::Entry> entries;
    entries.reserve(count);
    for (UInt32 shape = 0; shape < count; ++shape) {
        CSpatialIndex::Entry entry;
        entry.id = shape;
        if (mShapeFile.GetShapeBounds(shape, entry.bounds))
            entries.push_back(entry);
    }
    mIndex.Build(std::move(entries));
}

std::vector<UInt32> CRegionLayer::GetShapes(SGBounds const& bounds)
{
    std::vector<UInt32> shapes;
    if (Open() == noErr)
        mIndex.Query(bounds, shapes);
    return shapes;
}

CString CRegionLayer::GetAttributeString(UInt32 shape, UInt32 attribute, bool trim)
{
    if (Open() != noErr)
        return CString();
    return mDBase.GetString(shape, attribute, trim);
}

LayerFeature CRegionLayer::GetFeature(UInt32 shape)
{
    if (Open() == noErr && mFeatureField >= 0)
        if (auto value = mDBase.GetNumber(shape, UInt32(mFeatureField)); value && *value >= 0 && *value < 1e6)
            return LayerFeature(UInt32(*value));
    return GetCategoryDefaultFeature(mCategory);
}

CShapeFile const& CRegionLayer::GetShapeFile()
{
    Open();
    return mShapeFile;
}

CDBaseFile const& CRegionLayer::GetAttributes()
{
    Open();
    return mDBase;
}
