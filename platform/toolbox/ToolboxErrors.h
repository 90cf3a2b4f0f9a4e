#pragma once

// Status codes of the toolbox calls, with Carbon's values.

#include "corefoundation/MacTypes.h"

enum : OSStatus {
    controlPropertyNotFoundErr = -5603,
    errWindowPropertyNotFound = -5604,
    errWindowDoesNotHaveProxy = -5605,
    errControlHiddenOrDisabled = -30600,
    errCouldntSetFocus = -30585,
    errDataNotSupported = -30581,
    errDataSizeMismatch = -30591,
    errNoRootControl = -30586,
    controlHandleInvalidErr = -30599,
    hiObjectClassExistsErr = -22080,
    hiObjectClassHasInstancesErr = -22081,
    hiObjectCannotSubclassSingletonErr = -22082,
    hiObjectClassIsAbstractErr = -22083,
    errUnknownWindowClass = -5602,
    menuPropertyNotFoundErr = -5603,
    menuItemNotFoundErr = -5620,
    menuNotFoundErr = -5621,
    userCanceledMenuErr = -128,
    kIBCarbonRuntimeCantFindNibFile = -10960,
    kIBCarbonRuntimeObjectNotOfRequestedType = -10961,
    kIBCarbonRuntimeCantFindObject = -10962,
    nibMalformedErr = -10963, // ours: the nib file is not well formed
};
