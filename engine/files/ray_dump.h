// Text views of rays.dat: the dump of every point, and the pick of one point of one ray.
#pragma once

#include "command/messages/messages.h"
#include "engine/math/vector_math.h"

// Dumps rays.dat, which the caller has opened with openRayFile, to a channel. Nothing happens
// when both switches are off.
void printRayData(OutputChannel channel, int showLocations, int showDirections);
// Point pointNumber (1 = the path start) of ray rayNumber (counted from 1). 1 and the point when
// found, printed with the unit direction of the segment ending there when printSwitch is set;
// 0 when rays.dat ends first or cannot be opened.
int findRayPoint(int rayNumber, int pointNumber, Vec3& out, int printSwitch);
