#pragma once

// Reading the files and links out of a drag.

#include "foundation/CFileList.h"
#include "foundation/CStringList.h"
#include "toolbox/DragCalls.h"

class CDragUtilities {
public:
    // paramErr for a null drag. Items without a file are passed over; the first item whose
    // reference cannot be had ends the walk with its status.
    static OSStatus GetDragFiles(DragRef theDrag, CFileList& theFiles);
    static CFileList GetDragFiles(DragRef theDrag);
    static CStringList GetDragURLs(DragRef theDrag);
};
