#pragma once

// The words of a file that could not be opened, saved or printed, for the alert
// that says so: a headline that names the file and a reason in plain words, never
// only a status number. Built at the moment of the alert, main thread.

#include "foundation/CFile.h"
#include "foundation/CString.h"

class CFileErrorText {
public:
    enum Operation { kOpen, kSave, kPrint };

    // "“Lake District.twk” could not be opened."
    static CString GetHeadline(Operation operation, CString const& name);
    // Why: the file's state first (gone, a folder), then the status; an unknown status
    // is "An unexpected error occurred (code -5000)."
    static CString GetReason(Operation operation, CFile const& file, OSStatus status);
};
