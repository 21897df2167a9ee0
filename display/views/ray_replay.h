// Replay of the stored ray paths of the last trace from the ray file, with their colours and
// optional arrow heads.
#pragma once

#include "engine/math/vector_math.h"

// Draws every stored ray path of rays.dat. A point with a coordinate that is not a finite
// number is counted as a bad point and ends its path; the next good point starts a new one.
void replayRays();
// The colour index of a segment: cyclic colours by segment number, else the path's first flag
// through the ray highlighting.
int rayColour(int segment, int path, int firstFlag);
// One arrow head on the 3-D segment from-to at `position` (a fraction of its length) with head
// length `size`; none when the segment is shorter than 1.1 x size.
void drawArrowHead(const Vec3& from, const Vec3& to, double position, double size);
