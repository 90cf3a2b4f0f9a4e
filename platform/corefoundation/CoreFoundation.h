#pragma once

// Umbrella header of our Core Foundation face.

#include "corefoundation/CFArray.h"
#include "corefoundation/CFBase.h"
#include "corefoundation/CFBundle.h"
#include "corefoundation/CFNumber.h"
#include "corefoundation/CFPreferences.h"
#include "corefoundation/CFPropertyList.h"
#include "corefoundation/CFString.h"
#include "corefoundation/CFURL.h"
#include "corefoundation/CFXMLTree.h"
#include "corefoundation/MacTypes.h"
