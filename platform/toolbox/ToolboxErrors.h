#pragma once

// Status codes of the toolbox calls, with Carbon's values.

#include "corefoundation/MacTypes.h"

inline constexpr OSStatus controlPropertyNotFoundErr = -5603;
inline constexpr OSStatus errWindowPropertyNotFound = -5604;
inline constexpr OSStatus errWindowDoesNotHaveProxy = -5605;
inline constexpr OSStatus errControlHiddenOrDisabled = -30600;
inline constexpr OSStatus errCouldntSetFocus = -30585;
inline constexpr OSStatus errDataNotSupported = -30581;
inline constexpr OSStatus errDataSizeMismatch = -30591;
inline constexpr OSStatus errNoRootControl = -30586;
inline constexpr OSStatus controlHandleInvalidErr = -30599;
inline constexpr OSStatus hiObjectClassExistsErr = -22080;
inline constexpr OSStatus hiObjectClassHasInstancesErr = -22081;
inline constexpr OSStatus hiObjectCannotSubclassSingletonErr = -22082;
inline constexpr OSStatus hiObjectClassIsAbstractErr = -22083;
inline constexpr OSStatus errUnknownWindowClass = -5602;
inline constexpr OSStatus menuPropertyNotFoundErr = -5603;
inline constexpr OSStatus menuItemNotFoundErr = -5620;
inline constexpr OSStatus menuNotFoundErr = -5621;
inline constexpr OSStatus userCanceledMenuErr = -128;
inline constexpr OSStatus kIBCarbonRuntimeCantFindNibFile = -10960;
inline constexpr OSStatus kIBCarbonRuntimeObjectNotOfRequestedType = -10961;
inline constexpr OSStatus kIBCarbonRuntimeCantFindObject = -10962;
inline constexpr OSStatus nibMalformedErr = -10963; // ours: the nib file is not well formed
