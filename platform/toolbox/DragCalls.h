#pragma once

// Drag Manager calls for drags that other programs drop on the application's
// windows: items and flavours, window tracking and receive handlers, and the
// drag events of the view under the drop.

#include "services/Files.h"
#include "services/Scrap.h"
#include "toolbox/HIToolboxTypes.h"

#include <string>
#include <vector>

using DragItemRef = UInt32;
using FlavorType = OSType;
using FlavorFlags = UInt32;
using DragTrackingMessage = SInt16;

enum : DragTrackingMessage {
    kDragTrackingEnterHandler = 1,
    kDragTrackingEnterWindow = 2,
    kDragTrackingInWindow = 3,
    kDragTrackingLeaveWindow = 4,
    kDragTrackingLeaveHandler = 5,
};

enum : FlavorType {
    kDragFlavorTypeHFS = 'hfs ',
    kDragFlavorTypeURL = 'url ',
};

inline constexpr OSStatus badDragRefErr = -1850;
inline constexpr OSStatus badDragItemErr = -1851;
inline constexpr OSStatus badDragFlavorErr = -1852;
inline constexpr OSStatus duplicateFlavorErr = -1853;
inline constexpr OSStatus cantGetFlavorErr = -1854;
inline constexpr OSStatus duplicateHandlerErr = -1855;
inline constexpr OSStatus handlerNotFoundErr = -1856;
inline constexpr OSStatus dragNotAcceptedErr = -1857;

// A file in a drag ('hfs ' flavour).
struct HFSFlavor {
    OSType fileType;
    OSType fileCreator;
    UInt16 fdFlags;
    FSSpec fileSpec;
};

using DragTrackingHandlerUPP = OSErr (*)(DragTrackingMessage message, WindowRef window, void* refCon, DragRef drag);
using DragReceiveHandlerUPP = OSErr (*)(WindowRef window, void* refCon, DragRef drag);

OSErr NewDrag(DragRef* outDrag);
OSErr DisposeDrag(DragRef drag);
OSErr AddDragItemFlavor(
    DragRef drag, DragItemRef item, FlavorType type, void const* data, Size size, FlavorFlags flags);
OSErr CountDragItems(DragRef drag, UInt16* outCount);
OSErr GetDragItemReferenceNumber(DragRef drag, UInt16 index, DragItemRef* outItem); // index from 1
OSErr CountDragItemFlavors(DragRef drag, DragItemRef item, UInt16* outCount);
OSErr GetFlavorType(DragRef drag, DragItemRef item, UInt16 index, FlavorType* outType);
OSErr GetFlavorDataSize(DragRef drag, DragItemRef item, FlavorType type, Size* outSize);
// Copies at most *ioSize bytes from the offset and sets *ioSize to what was copied.
OSErr GetFlavorData(DragRef drag, DragItemRef item, FlavorType type, void* data, Size* ioSize, UInt32 offset);
OSErr GetDragMouse(DragRef drag, Point* outMouse, Point* outGlobalPinnedMouse);

// A null window: every window.
OSErr InstallTrackingHandler(DragTrackingHandlerUPP handler, WindowRef window, void* refCon);
OSErr InstallReceiveHandler(DragReceiveHandlerUPP handler, WindowRef window, void* refCon);
OSErr RemoveTrackingHandler(DragTrackingHandlerUPP handler, WindowRef window);
OSErr RemoveReceiveHandler(DragReceiveHandlerUPP handler, WindowRef window);

// With it on, the view under a drop hears the control drag events ('cntl' 18 to 21, the
// drag in 'drag'); a view takes the drop by setting 'cldg' to true on the enter event.
OSStatus SetAutomaticControlDragTrackingEnabledForWindow(WindowRef window, Boolean enabled);
OSStatus IsAutomaticControlDragTrackingEnabledForWindow(WindowRef window, Boolean* outEnabled);

namespace tw::toolbox {

// A drop from another program at a global point: files by path, and text, each line
// of which that reads as a link becomes an 'url ' item (else the text is one 'TEXT' item).
// noErr when a window's handler or a view took it; dragNotAcceptedErr otherwise.
OSStatus DeliverExternalDrop(CGPoint global, std::vector<std::string> const& files, std::string const& text);

} // namespace tw::toolbox
