#include "bindings/Source/Core/CBString.h"

CBString::CBString(char const* theText)
    : mText(theText ? theText : "")
{
}

CBString CBString::operator+(CBString const& other) const
{
    CBString result(*this);
    result.mText += other.mText;
    return result;
}
