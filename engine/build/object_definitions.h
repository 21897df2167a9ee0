// Making new objects from the define command: one builder per object kind reads its values and
// options from the parsed command, makes the surfaces with their quadrics, frames, extents, sides
// and media, sizes the bounding sphere and keeps the values it used as the object's user
// parameters.
#pragma once

#include "command/interpreter/parsed_command.h"
#include "engine/model/object_table.h"

// The object-kind words of the define command, in table order, ended by " ".
extern const char* const objectTypeWords[];

// Makes one object of the kind ("axis", "lightsource", "film", "detector", "aperture", "lens",
// "rod", "mirror", "quadric" or "cavity") from the parsed command. Every value the builder used,
// defaults included, is written back into numericValues. On success the object is defined, a
// pending name becomes its alias, the definition is reported and the new object number is
// returned; a refused definition reports why and "Try again.", leaves no object and returns 0.
int defineObject(const char* kindWord);

// The builder of the CPC mirror: given the new object and its first surface it returns 0 when
// the mirror was built, else 1 after its own message. `defineCpcMirror` unless tests install
// another (nullptr restores it).
using CpcMirrorBuilder = int (*)(ObjectRecord* object, SurfaceRecord* surface);
void setCpcMirrorBuilder(CpcMirrorBuilder builder);
