#pragma once

// Forward declarations of the library's classes.

class CBDebugObject;
class CBFromArrayTransform;
class CBKeyValueBinding;
class CBKeyValueObserver;
class CBKeyValueStore;
class CBString;
class CBToArrayTransform;
class CBValue;
class CBValueTransform;
class CBindable;
