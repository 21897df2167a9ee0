#include "display/views/ray_replay.h"

#include <cmath>
#include <filesystem>

#include "command/general/highlighting.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "display/plot/plot_primitives.h"
#include "display/views/segment_3d.h"
#include "engine/files/ray_files.h"
#include "parts/trace/trace_progress.h"

namespace {

// Replays of at least this many records poll Escape, every so many records.
constexpr long kPolledReplay = 100000;
constexpr long kReplayPollEvery = 8192;

bool finitePoint(const Vec3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

} // namespace

int rayColour(int segment, int path, int firstFlag) {
    if (cyclicRayColours) return segment % 15 + 1;
    return rayHighlightColor(firstFlag, path, segment);
}

void drawArrowHead(const Vec3& from, const Vec3& to, double a, double b) {
    Vec3 d = to - from;
    const double length = std::sqrt(dot3(d, d));
    // Also refuses a size or length that is not a number, and a segment without direction.
    if (!(b * 1.1 <= length) || !(length > 0.0)) return;
    const Vec3 u = (1.0 / length) * d;
    double s = a * length;
    if (s > workbox.halfSize[2]) s = 5.0 * b;
    const Vec3 base = from + (s - b / 2.0) * u;
    const Vec3 tip = from + (s + b / 2.0) * u;
    // The side direction lies in the plane of u and the y axis; along y it is the z axis.
    Vec3 w = Vec3{0, 1, 0} - u.y * u;
    if (dot3(w, w) < 1e-24)
        w = {0, 0, 1};
    else
        normalize3(w);
    const double half = (b / 2.0) * 0.67;
    const Vec3 side1 = base + half * w;
    const Vec3 side2 = base - half * w;
    drawSegment3d(side1, tip);
    drawSegment3d(side2, tip);
    drawSegment3d(side1, base);
    drawSegment3d(side2, base);
}

void replayRays() {
    if (openRayFile() < 0) return;
    // A long replay polls Escape and shows its progress now and then; Escape ends the picture's
    // rays where they are.
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(rayFilePath(), ec);
    const long records = ec ? 0 : static_cast<long>(bytes / kRayRecordBytes);
    long replayed = 0;
    int flag = 0;
    Vec3 point;
    if (!readRayRecord(flag, point)) return; // the reader closed the file
    long badPoints = 0;
    int path = 0, segment = 0, firstFlag = 0;
    bool inPath = false;
    Vec3 previous;
    auto beginPath = [&] {
        ++path;
        segment = 0;
        firstFlag = flag;
        previous = point;
        inPath = true;
    };
    if (finitePoint(point))
        beginPath();
    else
        ++badPoints;
    for (;;) {
        ++segment;
        setPenColor(rayColour(segment, path, firstFlag));
        if (!readRayRecord(flag, point)) break;
        if (records >= kPolledReplay && ++replayed % kReplayPollEvery == 0 &&
            traceProgress(replayed, records)) {
            closeRayFile();
            break;
        }
        if (!finitePoint(point)) {
            ++badPoints;
            inPath = false;
            continue;
        }
        if (!inPath || flag != 0) {
            beginPath();
            continue;
        }
        drawLocalSegment(nullptr, previous, point);
        if (rayArrows) drawArrowHead(previous, point, arrowPosition, arrowHeadSize);
        previous = point;
    }
    if (badPoints != 0)
        errorText(outputChannel, "%ld Bad points are found in ray data.\n", badPoints);
}
