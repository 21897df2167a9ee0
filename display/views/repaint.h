// The repaint of the view: one whole picture for one azimuth and elevation, chosen by the view
// mode, drawn through the plot primitives into the surface, the display file and the HPGL plot.
#pragma once

#include "engine/math/vector_math.h"

class ViewHost;
class DrawSurface;

// Draws everything; azimuth and elevation are whole degrees. Ends the display file, the HPGL
// plot and a line export that the drawing fed.
void repaintView(ViewHost& window, DrawSurface& surface, double azimuth, double elevation);
// Re-reads the drawing height (client height less the status line, or the printed height).
void refreshClientSize();
// One 3-D view of the model.
void drawSystemView(double azimuth, double elevation, int showBox, int showRays, int fit,
                    int fitOption, int grids, int finish, int frame, int triad);
// Three fixed views and the current one in four panes.
void drawFourViews(double azimuth, double elevation, int showBox, int showRays);
// Sets the viewing transform and the world window to the projected box; with fit the window
// keeps the surface's aspect with a 4 percent margin.
void fitPlotWindow(const Vec3& centre, const Vec3& halfSizes, double azimuth, double elevation,
                   int fit);
// The workbox as vectors.
Vec3 workboxCentre();
Vec3 workboxHalfSizes();

// The console's paint: the rendered image when the solid mode shows one (showsRenderedImage),
// then, unless only the image is shown, the wireframe (paintWireframe).
void paintView(ViewHost& window, DrawSurface& surface);
// True when the picture starts with the rendered image: a solid mode, the system view and an
// image to show.
bool showsRenderedImage();
// gridOn from viewGrid, then the repaint at the view angles truncated to whole degrees.
void paintWireframe(ViewHost& window, DrawSurface& surface);
