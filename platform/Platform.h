#pragma once

// The platform layer as the subsystems see it: one include for every module.

#include "corefoundation/CoreFoundation.h"
#include "events/CarbonEvents.h"
#include "quartz/CGGeometry.h"
#include "quartz/Quartz.h"
#include "services/Aliases.h"
#include "services/AppleEvents.h"
#include "services/Files.h"
#include "services/Icons.h"
#include "services/MacMemory.h"
#include "services/Processes.h"
#include "services/Scrap.h"
#include "toolbox/HIToolboxTypes.h"
#include "toolbox/Sound.h"
