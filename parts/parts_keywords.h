// The keyword entries that the part model and the raytrace manager serve.
#pragma once

// Adds them to the command keyword table; runs after the command language's own entries, so
// that echo runs its own forms first and then the ray-output command.
void registerPartsKeywords();
