// The keyword entries that the part model and the raytrace manager serve.
#pragma once

// Adds them to the command keyword table; runs after the command language's own entries and the
// geometry's, so that echo runs its own forms first and then the ray-output command, and modify
// runs the geometry step first and then the part list's steps (it replaces the geometry's own
// modify entry). Also adds material and radiometer.
void registerPartsKeywords();
