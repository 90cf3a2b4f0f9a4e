#include "services/MacMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The master pointer comes first, so a Handle (a pointer to it) dereferences to the data.
struct Block {
    char* data;
    Size size;
};

// Handles larger than this are refused: every size that reaches here came from a caller or a file.
constexpr Size kMaxHandleSize = Size(1) << 30;

thread_local OSErr tLastError = noErr;

Block* BlockOf(Handle h) { return reinterpret_cast<Block*>(h); }

OSErr Fail(OSErr err)
{
    tLastError = err;
    return err;
}

Handle Allocate(Size byteCount, bool clear)
{
    if (byteCount < 0 || byteCount > kMaxHandleSize) {
        Fail(memFullErr);
        return nullptr;
    }
    auto* block = new (std::nothrow) Block { nullptr, byteCount };
    // calloc(1, 0) may answer null; one byte keeps the master pointer valid for empty handles.
    char* data = static_cast<char*>(clear ? std::calloc(1, byteCount + 1) : std::malloc(byteCount + 1));
    if (!block || !data) {
        delete block;
        std::free(data);
        Fail(memFullErr);
        return nullptr;
    }
    block->data = data;
    tLastError = noErr;
    return &block->data;
}

} // namespace

Handle NewHandle(Size byteCount) { return Allocate(byteCount, false); }

Handle NewHandleClear(Size byteCount) { return Allocate(byteCount, true); }

void DisposeHandle(Handle h)
{
    if (!h)
        return;
    Block* block = BlockOf(h);
    std::free(block->data);
    delete block;
}

Size GetHandleSize(Handle h) { return h ? BlockOf(h)->size : 0; }

OSErr SetHandleSize(Handle h, Size newSize)
{
    if (!h)
        return Fail(nilHandleErr);
    if (newSize < 0 || newSize > kMaxHandleSize)
        return Fail(memFullErr);
    Block* block = BlockOf(h);
    char* data = static_cast<char*>(std::realloc(block->data, newSize + 1));
    if (!data)
        return Fail(memFullErr);
    if (newSize > block->size)
        std::memset(data + block->size, 0, newSize - block->size);
    block->data = data;
    block->size = newSize;
    return Fail(noErr);
}

OSErr PtrToHand(void const* srcPtr, Handle* dstHndl, long size)
{
    if (!dstHndl || (!srcPtr && size > 0))
        return Fail(paramErr);
    *dstHndl = NewHandle(size);
    if (!*dstHndl)
        return Fail(memFullErr);
    if (size > 0)
        std::memcpy(**dstHndl, srcPtr, size);
    return Fail(noErr);
}

OSErr HandToHand(Handle* theHndl)
{
    if (!theHndl || !*theHndl)
        return Fail(nilHandleErr);
    Handle copy = nullptr;
    OSErr err = PtrToHand(**theHndl, &copy, GetHandleSize(*theHndl));
    if (err == noErr)
        *theHndl = copy; // the caller still owns the original
    return err;
}

OSErr MemError() { return tLastError; }
