#include "engine/files/ray_dump.h"

#include "engine/files/ray_files.h"

namespace {
// The unit direction from a to b; a zero-length segment has none and gives zeros.
Vec3 segmentDirection(const Vec3& a, const Vec3& b) {
    Vec3 d = b - a;
    normalize3(d);
    return d;
}
} // namespace

void printRayData(OutputChannel channel, int showLocations, int showDirections) {
    if (!showLocations && !showDirections) return;
    int flag = 0;
    Vec3 previous;
    if (!readRayRecord(flag, previous)) {
        outText(channel, "No ray data found.\n");
        return;
    }
    outText(channel, "\nRay Data Output (in global coordinates)\n\n");
    outText(channel, "                   X               Y               Z     Level   "
                     "WavelengthIndex\n");
    int previousLevel = 0;
    Vec3 point;
    while (readRayRecord(flag, point)) {
        // Any flag above 0 starts a path: the tracers mark starts with the wavelength index + 1.
        int level = flag > 0 ? 0 : previousLevel + 1;
        if (showLocations)
            outText(channel, "Loc  %16.11le, %16.11le, %16.11le, %9d, %9d\n", previous.x,
                    previous.y, previous.z, previousLevel, flag);
        if (level > 0 && showDirections) {
            Vec3 u = segmentDirection(previous, point);
            outText(channel, "DCos %16.11le, %16.11le, %16.11le", u.x, u.y, u.z);
            if (showLocations)
                outText(channel, "\n");
            else
                outText(channel, "%9d\n", previousLevel);
        }
        previous = point;
        previousLevel = level;
    }
    if (showLocations)
        outText(channel, "Loc  %16.11le, %16.11le, %16.11le, %9d\n\n", previous.x, previous.y,
                previous.z, previousLevel);
}

int findRayPoint(int rayNumber, int pointNumber, Vec3& out, int printSwitch) {
    if (openRayFile() < 0) return 0;
    int rayCount = 0, pointCount = 0, flag = 0;
    Vec3 point, previous;
    while (readRayRecord(flag, point)) {
        bool pathStart = flag > 0;
        if (pathStart) {
            ++rayCount;
            pointCount = 1;
        } else {
            ++pointCount;
        }
        if (rayCount == rayNumber && pointCount == pointNumber) {
            out = point;
            if (printSwitch) {
                Vec3 u = pathStart ? Vec3{} : segmentDirection(previous, point);
                outText(outputChannel, "%lg %lg %lg  %lg %lg %lg\n", point.x, point.y, point.z, u.x,
                        u.y, u.z);
            }
            closeRayFile();
            return 1;
        }
        previous = point;
    }
    return 0;
}
