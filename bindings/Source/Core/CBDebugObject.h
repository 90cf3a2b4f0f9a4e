#pragma once

// Root of the library's store and observer classes. Carries the library's
// diagnostics: misuse reports on standard error after which the caller carries on,
// and an indented trace that stays off unless a test switches it on.

#include "bindings/Source/Core/CBString.h"
#include "corefoundation/MacTypes.h"

#include <cstddef> // NULL, as the checked conditions spell it

// Reports "file, line N: condition" when the condition is false and yields its value,
// so the caller decides how far to carry on.
#define CB_CHECK(condition) CBDebugObject::Check((condition), __FILE__, __LINE__, #condition)

// Reports "file, line N: " followed by a formatted message.
#define CB_REPORT(...) CBDebugObject::Report(__FILE__, __LINE__, __VA_ARGS__)

class CBDebugObject {
public:
    CBDebugObject() = default;
    virtual ~CBDebugObject() = default;

    // The object's address; subclasses prefix their class.
    virtual CBString GetDebugInfo() const;

    static bool IsLogging() { return mDebugLog; }
    // Nothing in the program turns the trace on; tests do.
    static void SetLogging(bool logging) { mDebugLog = logging; }
    static void AddIndent();
    static void RemoveIndent();
    static void LogString(char const* format, ...) __attribute__((format(printf, 1, 2)));

    static bool Check(bool condition, char const* file, int line, char const* text);
    static void Report(char const* file, int line, char const* format, ...) __attribute__((format(printf, 3, 4)));

private:
    // Process-wide and unguarded: the library runs on the main thread only.
    static SInt32 mIndent;
    static bool mDebugLog;
};
