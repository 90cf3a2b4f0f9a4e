#include "bindings/Source/Core/CBDebugObject.h"

#include <cstdarg>
#include <cstdio>

SInt32 CBDebugObject::mIndent = 0;
bool CBDebugObject::mDebugLog = false;

CBString CBDebugObject::GetDebugInfo() const
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%.8lX", reinterpret_cast<unsigned long>(this));
    return CBString(text);
}

void CBDebugObject::AddIndent() { mIndent++; }

void CBDebugObject::RemoveIndent()
{
    if (CB_CHECK(mIndent >= 1))
        mIndent--;
}

void CBDebugObject::LogString(char const* format, ...)
{
    if (!mDebugLog)
        return;
    std::fputs("CB: ", stderr);
    for (SInt32 level = 1; level < mIndent; level++)
        std::fputs("    ", stderr);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
}

bool CBDebugObject::Check(bool condition, char const* file, int line, char const* text)
{
    if (!condition)
        std::fprintf(stderr, "%s, line %d: %s\n", file, line, text);
    return condition;
}

void CBDebugObject::Report(char const* file, int line, char const* format, ...)
{
    std::fprintf(stderr, "%s, line %d: ", file, line);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
}
