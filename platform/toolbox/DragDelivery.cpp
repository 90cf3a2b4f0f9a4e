#include "toolbox/Drag.h"
#include "toolbox/DragCalls.h"
#include "toolbox/HIViewCalls.h"
#include "toolbox/View.h"
#include "toolbox/Window.h"
#include "toolbox/WindowCalls.h"
#include "toolbox/WindowList.h"

#include <cstring>
#include <sstream>

namespace tw::toolbox {

namespace {

    constexpr PropertyCreator kDragCreator = 'twdg';
    constexpr PropertyTag kAutomaticTrackingTag = 'auto';

    struct TrackingEntry {
        DragTrackingHandlerUPP handler;
        WindowRef window;
        void* refCon;
    };
    struct ReceiveEntry {
        DragReceiveHandlerUPP handler;
        WindowRef window;
        void* refCon;
    };

    std::vector<TrackingEntry>& TrackingHandlers()
    {
        static std::vector<TrackingEntry> handlers;
        return handlers;
    }

    std::vector<ReceiveEntry>& ReceiveHandlers()
    {
        static std::vector<ReceiveEntry> handlers;
        return handlers;
    }

    template <typename Entry> std::vector<Entry> For(std::vector<Entry> const& all, WindowRef window)
    {
        std::vector<Entry> chosen; // a copy: handlers may come and go while they run
        for (Entry const& entry : all)
            if (!entry.window || entry.window == window)
                chosen.push_back(entry);
        return chosen;
    }

    bool IsLink(std::string const& line)
    {
        auto const scheme = line.find("://");
        return scheme != std::string::npos && scheme > 0 && line.find_first_of(" \t") == std::string::npos;
    }

    void AddItems(DragRef drag, std::vector<std::string> const& files, std::string const& text)
    {
        DragItemRef reference = 1;
        for (std::string const& path : files) {
            HFSFlavor flavor {};
            if (path.empty() || path.size() >= sizeof flavor.fileSpec.path)
                continue; // a path our file records cannot hold
            std::memcpy(flavor.fileSpec.path, path.c_str(), path.size() + 1);
            AddDragItemFlavor(drag, reference++, kDragFlavorTypeHFS, &flavor, sizeof flavor, 0);
        }
        std::vector<std::string> links;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
                line.pop_back();
            if (IsLink(line))
                links.push_back(line);
        }
        for (std::string const& link : links)
            AddDragItemFlavor(drag, reference++, kDragFlavorTypeURL, link.data(), Size(link.size()), 0);
        if (links.empty() && !text.empty())
            AddDragItemFlavor(drag, reference++, kScrapFlavorTypeText, text.data(), Size(text.size()), 0);
    }

    bool OfferToWindowHandlers(WindowRef window, DragRef drag)
    {
        auto const trackers = For(TrackingHandlers(), window);
        for (DragTrackingMessage message :
            { kDragTrackingEnterHandler, kDragTrackingEnterWindow, kDragTrackingInWindow, kDragTrackingLeaveWindow })
            for (TrackingEntry const& entry : trackers)
                entry.handler(message, window, entry.refCon, drag);
        bool accepted = false;
        for (ReceiveEntry const& entry : For(ReceiveHandlers(), window))
            if (!accepted && entry.handler(window, entry.refCon, drag) == noErr)
                accepted = true;
        for (TrackingEntry const& entry : trackers)
            entry.handler(kDragTrackingLeaveHandler, window, entry.refCon, drag);
        return accepted;
    }

    OSStatus SendDragEvent(View* view, EventKind kind, DragRef drag, bool* outAccept = nullptr)
    {
        EventRef event = nullptr;
        if (CreateEvent(nullptr, kEventClassControl, kind, GetCurrentEventTime(), 0, &event) != noErr)
            return paramErr;
        HIViewRef self = view;
        SetEventParameter(event, kEventParamDirectObject, typeControlRef, sizeof self, &self);
        SetEventParameter(event, kEventParamDragRef, typeDragRef, sizeof drag, &drag);
        OSStatus const status = SendEventToEventTarget(event, GetControlEventTarget(view));
        Boolean accept = false;
        if (outAccept) {
            GetEventParameter(
                event, kEventParamControlWouldAcceptDrop, typeBoolean, nullptr, sizeof accept, nullptr, &accept);
            *outAccept = accept;
        }
        ReleaseEvent(event);
        return status;
    }

    // The frontmost visible view under the point, by geometry alone: views that let clicks
    // through still take drops.
    View* DeepestViewUnder(View* view, CGPoint local)
    {
        std::vector<View*> const children = view->GetChildren();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            View* child = *it;
            CGRect const frame = child->GetFrame(), bounds = child->GetBounds();
            CGPoint const inner { local.x - frame.origin.x + bounds.origin.x,
                local.y - frame.origin.y + bounds.origin.y };
            if (child->IsVisibleFlag() && CGRectContainsPoint(bounds, inner))
                return DeepestViewUnder(child, inner);
        }
        return view;
    }

    // The view under the drop and then its parents, until one takes the drag.
    bool OfferToViews(Window* window, CGPoint global, DragRef drag)
    {
        CGRect const structure = window->GetStructure();
        HIPoint const local { global.x - structure.origin.x, global.y - structure.origin.y };
        View* root = LiveView(HIViewGetRoot(window));
        for (View* view = root ? DeepestViewUnder(root, local) : nullptr; view; view = view->GetParent()) {
            Protector protect(view);
            bool accept = false;
            SendDragEvent(view, kEventControlDragEnter, drag, &accept);
            if (!accept)
                continue;
            SendDragEvent(view, kEventControlDragWithin, drag);
            SendDragEvent(view, kEventControlDragLeave, drag);
            return SendDragEvent(view, kEventControlDragReceive, drag) == noErr;
        }
        return false;
    }

} // namespace

OSStatus DeliverExternalDrop(CGPoint global, std::vector<std::string> const& files, std::string const& text)
{
    Window* window = WindowList::FindAt(global);
    if (!window)
        return dragNotAcceptedErr;
    Protector protect(window);
    DragRef drag = nullptr;
    NewDrag(&drag);
    drag->mMouse = global;
    AddItems(drag, files, text);
    bool accepted = OfferToWindowHandlers(window, drag);
    Boolean automatic = false;
    IsAutomaticControlDragTrackingEnabledForWindow(window, &automatic);
    if (!accepted && automatic && LiveWindow(window))
        accepted = OfferToViews(window, global, drag);
    DisposeDrag(drag);
    return accepted ? noErr : dragNotAcceptedErr;
}

} // namespace tw::toolbox

using namespace tw::toolbox;

OSErr InstallTrackingHandler(DragTrackingHandlerUPP handler, WindowRef window, void* refCon)
{
    if (!handler)
        return paramErr;
    for (TrackingEntry const& entry : TrackingHandlers())
        if (entry.handler == handler && entry.window == window)
            return duplicateHandlerErr;
    TrackingHandlers().push_back({ handler, window, refCon });
    return noErr;
}

OSErr InstallReceiveHandler(DragReceiveHandlerUPP handler, WindowRef window, void* refCon)
{
    if (!handler)
        return paramErr;
    for (ReceiveEntry const& entry : ReceiveHandlers())
        if (entry.handler == handler && entry.window == window)
            return duplicateHandlerErr;
    ReceiveHandlers().push_back({ handler, window, refCon });
    return noErr;
}

OSErr RemoveTrackingHandler(DragTrackingHandlerUPP handler, WindowRef window)
{
    auto& all = TrackingHandlers();
    auto const removed = std::erase_if(
        all, [&](TrackingEntry const& entry) { return entry.handler == handler && entry.window == window; });
    return removed ? noErr : handlerNotFoundErr;
}

OSErr RemoveReceiveHandler(DragReceiveHandlerUPP handler, WindowRef window)
{
    auto& all = ReceiveHandlers();
    auto const removed = std::erase_if(
        all, [&](ReceiveEntry const& entry) { return entry.handler == handler && entry.window == window; });
    return removed ? noErr : handlerNotFoundErr;
}

OSStatus SetAutomaticControlDragTrackingEnabledForWindow(WindowRef window, Boolean enabled)
{
    UInt8 const flag = enabled ? 1 : 0;
    return SetWindowProperty(window, kDragCreator, kAutomaticTrackingTag, sizeof flag, &flag);
}

OSStatus IsAutomaticControlDragTrackingEnabledForWindow(WindowRef window, Boolean* outEnabled)
{
    if (!outEnabled)
        return paramErr;
    UInt8 flag = 0;
    OSStatus const status = GetWindowProperty(window, kDragCreator, kAutomaticTrackingTag, sizeof flag, nullptr, &flag);
    *outEnabled = status == noErr && flag != 0;
    return LiveWindow(window) ? noErr : paramErr;
}
