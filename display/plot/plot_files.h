// The two plot files the primitives can feed besides the surface: the display file (a text
// record per primitive) and the HPGL plot. Each lives until the end of the next repaint.
#pragma once

#include <cstdio>
#include <string>

class ViewHost;

// Opens a new display file and returns its stream, nullptr when none could be made. A name
// beginning with a blank asks for the first free name "plot0", "plot1", ...; a name that is
// taken gets the first free letter "A" to "Z" appended. A display file still open is closed
// first, with its message.
std::FILE* openPlotFile(const std::string& name);
// Puts the open display file in place with "Plot file created: NAME" on the screen channel, or
// reports "Unable to write NAME" (nothing of it stays).
void closePlotFile();

// Starts the HPGL plot for `path` with its first line; an information box when it cannot be
// opened. The plot replaces `path` whole when it is closed.
bool openHpglFile(const std::string& path);
// Puts the HPGL plot, if any, in place and forgets it; a plot that could not be written is
// reported ("Unable to write NAME") and leaves any old file as it was.
void closeHpglFile();
// The HPGL export: opens the plot and updates the view, whose repaint writes and closes it.
// False when the plot could not be opened or written.
bool exportHpglPlot(const std::string& path, ViewHost& view);
