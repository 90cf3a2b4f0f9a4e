#pragma once

#include "foundation/CIconRef.h"
#include "widgets/CControl.h"

// The wrapper of the system icon view. A nib may name its icon in the control
// property ('pelp', 'icon'): a resource file of the application bundle. The
// wrapper keeps the icon it shows.
class CIconControl : public CControl {
public:
    explicit CIconControl(HIObjectRef object);

    void SetIcon(CIconRef const& icon);

    static CIconControl* Find(CMacWindow* window, OSType signature, SInt32 id)
    {
        return FindIn<CIconControl>(window, signature, id);
    }
    static CIconControl* Find(CWindowController* controller, OSType signature, SInt32 id)
    {
        return FindIn<CIconControl>(controller, signature, id);
    }
    static OSStatus Create(HIObjectRef object, CHIObject** outObject) { return Make<CIconControl>(object, outObject); }

private:
    CIconRef mIcon; // the icon the view shows
};
