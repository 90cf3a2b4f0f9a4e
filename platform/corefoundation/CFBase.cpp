#include "corefoundation/CFBase.h"

#include "corefoundation/CFString.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace tw::cf {

CFHashCode Object::Hash() const { return CFHashCode(reinterpret_cast<std::uintptr_t>(this) >> 4); }

String* Object::CopyDescription() const
{
    char text[64];
    std::snprintf(text, sizeof text, "<CFType %lu %p>", TypeID(), static_cast<void const*>(this));
    return CreateString(text);
}

void Object::Retain() const
{
    if (!mImmortal)
        mRefs.fetch_add(1, std::memory_order_relaxed);
}

void Object::Release() const
{
    if (mImmortal)
        return;
    if (mRefs.fetch_sub(1, std::memory_order_acq_rel) == 1 && LastReferenceGone())
        delete this;
}

CFIndex Object::RetainCount() const { return mRefs.load(std::memory_order_relaxed); }

} // namespace tw::cf

CFTypeRef CFRetain(CFTypeRef cf)
{
    if (cf)
        cf->Retain();
    return cf;
}

void CFRelease(CFTypeRef cf)
{
    if (cf)
        cf->Release();
}

CFIndex CFGetRetainCount(CFTypeRef cf) { return cf ? cf->RetainCount() : 0; }

CFTypeID CFGetTypeID(CFTypeRef cf) { return cf ? cf->TypeID() : 0; }

Boolean CFEqual(CFTypeRef a, CFTypeRef b)
{
    if (a == b)
        return true;
    if (!a || !b || a->TypeID() != b->TypeID())
        return false;
    return a->Equals(*b);
}

CFHashCode CFHash(CFTypeRef cf) { return cf ? cf->Hash() : 0; }

CFStringRef CFCopyDescription(CFTypeRef cf)
{
    if (!cf)
        return tw::cf::CreateString("(null)");
    return cf->CopyDescription();
}

void CFShow(CFTypeRef cf)
{
    CFStringRef text = CFCopyDescription(cf);
    std::fprintf(stderr, "%s\n", tw::cf::ToUTF8(text).c_str());
    CFRelease(text);
}
