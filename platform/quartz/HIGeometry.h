#pragma once

// The toolbox's names for Quartz geometry.

#include "quartz/CGGeometry.h"

using HIRect = CGRect;
using HIPoint = CGPoint;
using HISize = CGSize;
