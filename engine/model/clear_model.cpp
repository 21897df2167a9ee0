#include "engine/model/clear_model.h"

#include "command/interpreter/aliases.h"
#include "engine/model/object_table.h"
#include "engine/commands/placement_commands.h"
#include "engine/files/ray_files.h"

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
