#pragma once

#include "widgets/CControl.h"

// A segmented view: a row of segments (from 1), each with a label, a command
// and a behaviour; the value is the chosen segment.
class CHISegmentedView : public CControl {
public:
    explicit CHISegmentedView(HIObjectRef object);
    explicit CHISegmentedView(CGRect const& frame);

    UInt32 GetSegmentCount() const { return HISegmentedViewGetSegmentCount(GetControlRef()); }
    void SetSegmentCount(UInt32 count) { HISegmentedViewSetSegmentCount(GetControlRef(), count); }
    void SetSegmentLabel(UInt32 segment, CString const& label);
    void SetSegmentCommandID(UInt32 segment, UInt32 command);
    void SetSegmentBehaviour(UInt32 segment, UInt32 behaviour);
    void SetSegmentBehaviour(UInt32 behaviour); // every segment

    static OSStatus Create(HIObjectRef object, CHIObject** outObject)
    {
        return Make<CHISegmentedView>(object, outObject);
    }

private:
    void InitialiseSelf();
};
