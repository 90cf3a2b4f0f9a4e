#pragma once

// The shape of the calls that take a reference to a toolbox object: the change or the
// read is made on the live object; a reference to none (disposed, or never made) gets
// an error (paramErr unless the call names another), as does a null place for an answer.

#include "corefoundation/MacTypes.h"

namespace tw::toolbox {

template <typename Object, typename Change>
OSStatus IfLive(Object* live, Change&& change, OSStatus missing = paramErr)
{
    if (!live)
        return missing;
    change(live);
    return noErr;
}

template <typename Object, typename Answer, typename Read>
OSStatus ReadLive(Object* live, Answer* outAnswer, Read&& read, OSStatus missing = paramErr)
{
    if (!live)
        return missing;
    if (!outAnswer)
        return paramErr;
    *outAnswer = read(live);
    return noErr;
}

} // namespace tw::toolbox
