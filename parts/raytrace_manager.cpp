#include "parts/raytrace_manager.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "command/interpreter/parsed_command.h"
#include "command/settings/settings.h"
#include "engine/trace/one_ray_trace.h"

namespace {

const char* const kLastWords[] = {"last", " "};
const char* const kBundleShapes[] = {"oval", "rectangle", " "};
const char* const kSaveWords[] = {"nosave", " "};
const char* const kTraceKinds[] = {"cone",   "custom", "collimated", "coslamp",
                                   "reemit", "single", " "};
const char* const kSingleValues[] = {"object", "u", "v", "w", "x", "y", "z", " "};

enum TraceKind { kCone, kCustom, kCollimated, kCosLamp, kReemit, kSingle };

// The entry of a table that the command's modifiers name, or -1; several matching words set
// `several` (after the warning that names the table).
int modifierChoice(KeywordTable table, const char* label, bool* several = nullptr) {
    int found = 0, many = 0, index = 0;
    getModifier(table, &found, &many, &index, label);
    if (several) *several = found && many;
    if (!found) return -1;
    for (int i = 0; std::strcmp(table[i], " ") != 0; ++i)
        if (std::strcmp(table[i], modifierWords[index]) == 0) return i;
    return -1;
}

int toInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// Scales the direction to unit length without overflow; false for a zero or non-finite one.
bool unitDirection(Vec3& d) {
    const double m = std::max({std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
    if (!(m > 0) || !std::isfinite(m)) return false;
    d = (1.0 / m) * d;
    normalize3(d);
    return true;
}

} // namespace

CRaytraceManager::CRaytraceManager() {
    theRaytraceManager = this;
}

CRaytraceManager::~CRaytraceManager() {
    if (theRaytraceManager == this) theRaytraceManager = nullptr;
}

int CRaytraceManager::Raytrace() {
    outText(outputChannel, "Using Advanced RayTrace Engine.\n");
    traceMode = kTraceModeRays;
    // Repeating the last trace comes with the bundle tracer.
    if (modifierChoice(kLastWords, "last") >= 0) return 1;
    // The bundle shape matters to the bundle kinds only.
    modifierChoice(kBundleShapes, "bundle shape");
    rayOutputOn = modifierChoice(kSaveWords, "save rays type") >= 0 ? 0 : saveRays;
    bool several = false;
    const int kind = modifierChoice(kTraceKinds, "ray trace type", &several);
    if (several) return 0;
    if (kind == kSingle) return traceSingle();
    // The bundle kinds (cone by default) come with the bundle tracer.
    return 0;
}

int CRaytraceManager::traceSingle() {
    getNumericValues(numericValues, kSingleValues, 7, numericGiven);
    if (!numericGiven[0]) {
        outText(outputChannel, " No object specified.\n");
        return 0;
    }
    const int number = toInt(numericValues[0]);
    const int index = number > INT_MIN ? number - 1 : number;
    if (!checkObjectState(index, 1, 1, 1)) return 0;
    // x, y and z are read with the others, but the ray starts at the object's origin.
    Vec3 direction{numericGiven[1] ? numericValues[1] : 0.0,
                   numericGiven[2] ? numericValues[2] : 0.0,
                   numericGiven[3] ? numericValues[3] : 1.0};
    if (!unitDirection(direction)) {
        errorText(outputChannel, "Zero direction vector.  Command ignored.\n");
        return 0;
    }
    outText(outputChannel, "Direction vector: %lf %lf %lf\n", direction.x, direction.y,
            direction.z);
    traceSingleRay(direction, getObject(index));
    return 0;
}
