// The one road of every 3-D line of a picture: projected through the viewing transform, drawn
// with the plot primitives and, while a line export runs, recorded as a line record whether
// it is visible or not.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "engine/model/object_table.h"
#include "platform/safe_file.h"

inline constexpr int kExportLabelChars = 20;
inline constexpr const char* kRayDataLabel = "RayData";

struct LineExportState {
    int lineExportOn = 0;
    std::FILE* lineExportFile = nullptr; // the stream of `output` while it is open
    std::unique_ptr<platform::ReplacementFile> output;
    std::string path;
    int failed = 0;                          // the last export could not be written (said)
    std::string exportLabel = kRayDataLabel; // at most 20 characters
};

LineExportState& lineExportState();
// Closes an open export file and restores the start values (tests).
void resetLineExportState();

inline int& lineExportOn = lineExportState().lineExportOn;
inline std::FILE*& lineExportFile = lineExportState().lineExportFile;
inline std::string& exportLabel = lineExportState().exportLabel;

// Creates `path` as the line-export file and switches line export on with the label "RayData".
// A line export still running is ended first. False, with nothing switched on, when the file
// cannot be created.
bool beginLineExport(const std::string& path);
// Switches line export off and puts its file in place whole, if one is still open; a file that
// could not be written is said ("Unable to write NAME"), leaves nothing and returns false. The
// repaint that ran the export calls it, and so may its owner afterwards: the second call does
// nothing and tells how the first went.
bool endLineExport();
// Drops a running export without writing anything (tests, reset).
void dropLineExport();
// Sets the label of the following line records (cut to 20 characters).
void setExportLabel(const char* label);

// Writes "COLOUR LABEL" and "110 x1 y1 z1 x2 y2 z2" to the line-export file.
void exportLineRecord(const Vec3& p, const Vec3& q);
// Draws the global segment p-q; 1 when a visible piece was drawn.
int drawSegment3d(const Vec3& p, const Vec3& q);
// p and q in the surface's frame, or global without a surface.
int drawLocalSegment(const SurfaceRecord* surface, const Vec3& p, const Vec3& q);
