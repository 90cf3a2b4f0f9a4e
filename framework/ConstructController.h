#pragma once

#include "foundation/CString.h"

// A window controller of class T made from a window of a nib file, with the
// hide-on-close flag set; null when the window cannot be made (the half-made
// controller is deleted here, never by itself).
template <typename T> T* ConstructController(CString const& nibName, CString const& windowName, bool hideOnClose)
{
    T* controller = new T();
    if (controller->Initialise(nullptr, nibName, windowName) != noErr) {
        delete controller;
        return nullptr;
    }
    controller->SetHideOnClose(hideOnClose);
    return controller;
}
