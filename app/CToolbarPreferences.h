#pragma once

#include "widgets/CHIToolbar.h"

// The preferences window's toolbar: one item per panel. The Debug item is there
// only when the Option key is held while the toolbar is made. Owned by the window.
class CToolbarPreferences : public CHIToolbar {
public:
    static constexpr char const* kIdentifier = "com.tarnwick.tarnwick.toolbar.preferences";
    static constexpr UInt32 kCommandGeneral = 'pgen';
    static constexpr UInt32 kCommandUpdate = 'psup';
    static constexpr UInt32 kCommandDebug = 'pbug';

    OSStatus CreateToolbar(HIObjectRef& ref) override;
};
