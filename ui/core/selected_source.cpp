#include "ui/core/selected_source.h"

#include "command/interpreter/aliases.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "parts/part_list.h"
#include "parts/raytrace_manager.h"
#include "ui/core/view_state.h"

bool recallSelectedSourceTrace() {
    if (!thePartList || viewObject < 1) return false;
    const CPart* part = thePartList->FindPart(objectLabel(viewObject));
    if (!part || !part->geometry || !part->lastTrace.stored) return false;
    if (std::string(objectKindName(part->geometry->typeCode)) != "lightsource") return false;
    const CPart::LastTrace& t = part->lastTrace;
    LastTraceStore& last = lastTraceStore();
    last.objectNumber = t.objectNumber;
    last.nx = t.nx;
    last.ny = t.ny;
    last.horizontal = t.horizontal;
    last.vertical = t.vertical;
    last.oval = t.bundleShape;
    last.kindWord = t.kindWord;
    last.spacing = t.spacingKind;
    last.custom = t.kindWord == "custom" ? 1 : 0;
    last.stored = 1;
    // The part's own trace: raytrace/last knows it as this part's.
    last.serial = t.serial;
    last.hasPart = true;
    QelViewState& v = qelViewState();
    v.sourcePreset = 1;
    v.sourceObject = t.objectNumber;
    v.sourceCounts[0] = t.nx;
    v.sourceCounts[1] = t.ny;
    v.sourceAngles[0] = v.sourceSizes[0] = t.horizontal;
    v.sourceAngles[1] = v.sourceSizes[1] = t.vertical;
    return true;
}
