#pragma once

// Templates of CControl, kept apart so that the class reads on its own.

#include "framework/CMacWindow.h"
#include "framework/CWindowController.h"

#include <new>

template <typename T> T* CControl::FindIn(CMacWindow* window, OSType signature, SInt32 id)
{
    return window ? dynamic_cast<T*>(window->FindView(signature, id)) : nullptr;
}

template <typename T> T* CControl::FindIn(CWindowController* controller, OSType signature, SInt32 id)
{
    return controller ? FindIn<T>(controller->GetWindow(), signature, id) : nullptr;
}

template <typename T> OSStatus CControl::Make(HIObjectRef object, CHIObject** outObject)
{
    *outObject = nullptr;
    T* wrapper = new (std::nothrow) T(object);
    if (!wrapper)
        return memFullErr;
    if (wrapper->GetHandlerType() == kHandlerNone)
        wrapper->InstallHandler(static_cast<ControlRef>(reinterpret_cast<HIViewRef>(object)));
    *outObject = wrapper;
    return noErr;
}
