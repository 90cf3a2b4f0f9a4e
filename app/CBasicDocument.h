#pragma once

#include "framework/CDocument.h"

// A document of the program's own file type: an empty window whose place and
// size are kept in its file.
class CBasicDocument : public CDocument {
public:
    CString GetPropertyString(unsigned long id) const override;
    UInt32 GetPropertyInteger(unsigned long id) const override;
};
