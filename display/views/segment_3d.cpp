#include "display/views/segment_3d.h"

#include "command/messages/messages.h"
#include "display/plot/c_format.h"
#include "display/plot/plot_primitives.h"
#include "engine/model/view_transform.h"
#include "platform/safe_file.h"

LineExportState& lineExportState() {
    static LineExportState s;
    return s;
}

void resetLineExportState() {
    lineExportState() = LineExportState{};
}

bool beginLineExport(const std::string& path) {
    dropLineExport();
    auto output = std::make_unique<platform::ReplacementFile>();
    if (!output->open(path, false, platform::ReplacementFile::Links::Refuse)) return false;
    LineExportState& s = lineExportState();
    s.lineExportFile = output->stream();
    s.output = std::move(output);
    s.path = path;
    s.failed = 0;
    s.lineExportOn = 1;
    s.exportLabel = kRayDataLabel;
    return true;
}

bool endLineExport() {
    LineExportState& s = lineExportState();
    s.lineExportOn = 0;
    s.lineExportFile = nullptr;
    if (!s.output) return s.failed == 0;
    const bool written = s.output->commit();
    s.output.reset();
    if (!written) {
        s.failed = 1;
        errorText(outputChannel, "Unable to write %s\n", s.path.c_str());
    }
    return written;
}

void dropLineExport() {
    LineExportState& s = lineExportState();
    s.output.reset();
    s.lineExportFile = nullptr;
    s.lineExportOn = 0;
}

void setExportLabel(const char* label) {
    exportLabel.assign(label ? label : "");
    if (exportLabel.size() > kExportLabelChars) exportLabel.resize(kExportLabelChars);
}

void exportLineRecord(const Vec3& p, const Vec3& q) {
    std::FILE* f = lineExportFile;
    if (!f) return;
    std::string text = std::to_string(plotState().currentColour);
    text += ' ';
    text += exportLabel;
    text += "\n110";
    for (double v : {p.x, p.y, p.z, q.x, q.y, q.z}) {
        text += ' ';
        appendG(text, v);
    }
    text += '\n';
    std::fwrite(text.data(), 1, text.size(), f);
}

int drawSegment3d(const Vec3& p, const Vec3& q) {
    if (lineExportOn) exportLineRecord(p, q);
    double a[2], b[2];
    if (!projectLine(p, q, a, b)) return 0;
    moveAbs(a[0], a[1]);
    lineAbs(b[0], b[1]);
    return 1;
}

int drawLocalSegment(const SurfaceRecord* surface, const Vec3& p, const Vec3& q) {
    if (!surface) return drawSegment3d(p, q);
    Vec3 gp, gq;
    transformPoint(p, gp, surface->surfaceToGlobal);
    transformPoint(q, gq, surface->surfaceToGlobal);
    return drawSegment3d(gp, gq);
}
