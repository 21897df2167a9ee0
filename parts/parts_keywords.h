// The keyword entries that the part model and the raytrace manager serve.
#pragma once

class CPartList;

// Adds them to the command keyword table; runs after the command language's own entries and the
// geometry's, so that echo runs its own forms first and then the ray-output command, and modify
// runs the geometry step first and then the part list's steps (it replaces the geometry's own
// modify entry). Also adds material and radiometer.
void registerPartsKeywords();

// The modify row: the geometry step, then the part list's steps in order (surface optics and
// bookkeeping, scatterer, source), each on its own words; the first learns whether the geometry
// step took the change. 1 when any step did something.
int modifyWithParts(CPartList* list);
