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
// Ends the open display file with "Plot file created: NAME" on the screen channel.
void closePlotFile();

// Makes `path` the HPGL plot with its first line; an information box when it cannot be opened.
bool openHpglFile(const std::string& path);
// Closes the HPGL plot, if any, and forgets it.
void closeHpglFile();
// The HPGL export: opens the plot and updates the view, whose repaint writes and closes it.
bool exportHpglPlot(const std::string& path, ViewHost& view);
