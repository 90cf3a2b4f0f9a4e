#pragma once

// Memory Manager handles: a handle points at a master pointer to a block whose
// size the handle remembers. Alias records and scrap data travel as handles.

#include "corefoundation/MacTypes.h"

Handle NewHandle(Size byteCount); // null when short of memory or byteCount < 0
Handle NewHandleClear(Size byteCount);
void DisposeHandle(Handle h); // null is ignored
Size GetHandleSize(Handle h); // 0 for null
// Keeps the first bytes; new bytes are zero. Returns memFullErr (and changes nothing) when short.
OSErr SetHandleSize(Handle h, Size newSize);
OSErr PtrToHand(void const* srcPtr, Handle* dstHndl, long size);
OSErr HandToHand(Handle* theHndl); // replaces *theHndl by a new copy
OSErr MemError();
// Blocks never move here; locking is kept for callers written for the Mac.
inline void HLock(Handle) { }
inline void HUnlock(Handle) { }
