// Builds bare objects for tests: a defined slot with a chain of initialised surfaces.
#pragma once

#include "engine/model/object_table.h"

namespace testsupport {

// A new object record with `surfaces` surfaces numbered 1, 2, ...; nullptr when no slot is free.
inline ObjectRecord* buildObjectWithSurfaces(int surfaces) {
    ObjectRecord* o = allocObjectSlot();
    if (!o) return nullptr;
    initObjectRecord(o);
    SurfaceRecord** link = &o->firstSurface;
    for (int i = 1; i <= surfaces; ++i) {
        SurfaceRecord* s = allocSurface();
        initSurfaceRecord(s);
        s->number = i;
        s->owner = o;
        *link = s;
        link = &s->next;
    }
    o->surfaceCount = surfaces;
    return o;
}

} // namespace testsupport
