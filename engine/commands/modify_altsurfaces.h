// MODIFY/ALTSURFACES: attaches, changes or removes the alternate-surface functions of one
// surface, from the parsed command.
#pragma once

// Reads the kind modifier ("aspheric", "grating", "fresnel", "toric", "none"), the values (the
// surface designator first), the "symetry" modifier of fresnel facets, and applies them. 1 when
// the surface was changed, 0 when the command was refused (one message, nothing changed).
int modifyAltsurfaces();
