#include "framework/CDragUtilities.h"

#include "foundation/CTextUtilities.h"

#include <vector>

OSStatus CDragUtilities::GetDragFiles(DragRef theDrag, CFileList& theFiles)
{
    if (!theDrag)
        return paramErr;
    UInt16 count = 0;
    OSStatus status = CountDragItems(theDrag, &count);
    for (UInt16 index = 1; status == noErr && index <= count; index++) {
        DragItemRef item = 0;
        status = GetDragItemReferenceNumber(theDrag, index, &item);
        if (status != noErr)
            break;
        HFSFlavor flavor {};
        Size size = sizeof flavor;
        OSStatus const read = GetFlavorData(theDrag, item, kDragFlavorTypeHFS, &flavor, &size, 0);
        if (read == noErr && size == Size(sizeof flavor))
            theFiles.PushBack(CFile(flavor.fileSpec));
    }
    return status;
}

CFileList CDragUtilities::GetDragFiles(DragRef theDrag)
{
    CFileList files;
    GetDragFiles(theDrag, files);
    return files;
}

CStringList CDragUtilities::GetDragURLs(DragRef theDrag)
{
    CStringList urls;
    UInt16 count = 0;
    if (!theDrag || CountDragItems(theDrag, &count) != noErr)
        return urls;
    for (UInt16 index = 1; index <= count; index++) {
        DragItemRef item = 0;
        Size size = 0;
        if (GetDragItemReferenceNumber(theDrag, index, &item) != noErr
            || GetFlavorDataSize(theDrag, item, kDragFlavorTypeURL, &size) != noErr)
            continue;
        std::vector<char> bytes(static_cast<std::size_t>(size) + 1);
        if (size > 0 && GetFlavorData(theDrag, item, kDragFlavorTypeURL, bytes.data(), &size, 0) != noErr)
            continue;
        urls.Append(CString(bytes.data(), std::size_t(size), CTextUtilities::GetDefaultTextEncoding()));
    }
    return urls;
}
