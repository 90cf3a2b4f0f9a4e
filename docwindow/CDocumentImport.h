#pragma once

// Reading files and links into a document: whether a file or a dragged text
// can be read, the objects of a file (all or none), and the texts of the alert
// that tells the user how it went. Main thread.

#include "foundation/CFile.h"
#include "foundation/CString.h"

#include <vector>

class CMapObject;
class IMapLinkView;
struct CReadMonitor;

class CDocumentImport {
public:
    static constexpr OSStatus kNoParser = -206;

    static bool CanImport(CFile const& file);
    static bool CanImport(CString const& text, IMapLinkView* view);
    // The file's objects (the caller owns them): permErr for a file the user may not read,
    // eofErr for an empty one, kNoParser when no parser reads the file;
    // otherwise the parser's status, and on failure nothing is appended. Any thread; the
    // monitor (borrowed, may be null) follows the reading and can stop it (userCanceledErr).
    static OSStatus ReadFile(CFile const& file, std::vector<CMapObject*>& objects, CReadMonitor* monitor = nullptr);
    // The alert's texts for a file whose import ended with the status and that many objects.
    static void GetReport(OSStatus status, CString const& name, std::size_t count, CString& major, CString& minor);
};
