#include "engine/clear_model.h"

#include "command/aliases.h"
#include "engine/object_table.h"
#include "engine/placement_commands.h"
#include "engine/ray_files.h"

void clearAllObjects() {
    // Only live, defined objects: a slot left by an earlier delete has nothing to report.
    for (int i = 0; i <= highestObjectIndex && i < kMaxObjects; ++i) {
        const ObjectRecord* object = getObject(i);
        if (object && object->number > 0 && object->defined) deleteObject("object", i + 1);
    }
    aliasClearAll();
    deleteSpotFile();
    deleteRayFile();
}
