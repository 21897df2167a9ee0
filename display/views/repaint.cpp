#include "display/views/repaint.h"

#include <algorithm>
#include <cmath>

#include "command/interpreter/aliases.h"
#include "command/settings/settings.h"
#include "display/analysis/angular_analysis.h"
#include "display/analysis/energy_plot.h"
#include "display/analysis/film_plane_analysis.h"
#include "display/raster/bitmap_holder.h"
#include "display/views/annotations.h"
#include "display/plot/plot_files.h"
#include "display/plot/plot_primitives.h"
#include "display/views/ray_replay.h"
#include "display/views/segment_3d.h"
#include "display/views/view_host.h"
#include "display/views/view_modes.h"
#include "display/wireframes/wireframes.h"
#include "engine/files/ray_files.h"
#include "engine/model/current_objects.h"
#include "engine/model/view_transform.h"
#include "parts/part_list.h"

namespace {

// The pen of every colour index but 0 while one eye of a stereo pair is drawn.
int stereoEyePen = 12;
int stereoLookUp(int index) {
    return index == 0 ? 0 : stereoEyePen;
}

// The fixed views: x (looking along x), y (from above) and z, as azimuth and elevation.
constexpr double kFixedViewAngles[3][2] = {{-90.0, 0.0}, {-90.0, 90.0}, {0.0, 0.0}};

// Keeps the mapping of a fixed pane for the mouse: device = model * scale + bias along the two
// model axes the pane shows (z and y, z and x, x and y).
void storePaneScale(int pane) {
    static const int kAxes[3][2] = {{2, 1}, {2, 0}, {0, 1}};
    const PlotState& s = plotState();
    const double* centre = workbox.center;
    PaneScale& p = paneScale[pane];
    p.scaleX = s.scale.x;
    p.scaleY = s.scale.y;
    p.biasX = s.bias.x - s.scale.x * centre[kAxes[pane][0]];
    p.biasY = s.bias.y - s.scale.y * centre[kAxes[pane][1]];
}

// The cross at the last picked model point, along the three axes.
void drawPickedPointMarker() {
    const ViewHost* window = plotState().drawingWindow;
    if (!window) return;
    const std::array<double, 3> p = window->pickedPoint();
    const double* h = workbox.halfSize;
    const double d = 0.01 * (h[0] + h[1] + h[2]);
    setPenColor(11);
    drawSegment3d({p[0] - d, p[1], p[2]}, {p[0] + d, p[1], p[2]});
    drawSegment3d({p[0], p[1] - d, p[2]}, {p[0], p[1] + d, p[2]});
    drawSegment3d({p[0], p[1], p[2] - d}, {p[0], p[1], p[2] + d});
}

void drawDefaultSystemView(double azimuth, double elevation) {
    drawSystemView(azimuth, elevation, viewBox, viewRays, 1, 0, 1, 0, viewFrame, 1);
}

} // namespace

Vec3 workboxCentre() {
    return {workbox.center[0], workbox.center[1], workbox.center[2]};
}

Vec3 workboxHalfSizes() {
    return {workbox.halfSize[0], workbox.halfSize[1], workbox.halfSize[2]};
}

void fitPlotWindow(const Vec3& centre, const Vec3& halfSizes, double azimuth, double elevation,
                   int fit) {
    setViewFromAngles(azimuth, elevation, centre);
    double xr[2] = {0, 0}, yr[2] = {0, 0};
    projectBoxExtents(centre, halfSizes, xr, yr);
    setWindow(xr[0], xr[1], yr[0], yr[1]);
    if (!fit) return;
    const double d = std::max(xr[1] - xr[0], (yr[1] - yr[0]) * aspect);
    const double cx = (xr[0] + xr[1]) / 2.0, cy = (yr[0] + yr[1]) / 2.0;
    const double w = d * 1.04, h = d / aspect * 1.04;
    setWindow(cx - w / 2.0, cx + w / 2.0, cy - h / 2.0, cy + h / 2.0);
}

void refreshClientSize() {
    PlotState& s = plotState();
    if (!s.drawingSurface) return;
    int height = s.drawingSurface->height();
    if (!s.drawingSurface->printingNow() && s.drawingWindow)
        height = s.drawingWindow->clientHeight() - s.drawingWindow->statusLineHeight();
    s.bottomPixel = height - 1;
}

void drawSystemView(double az, double el, int showBox, int showRays, int fit, int fitOption,
                    int grids, int finish, int frame, int triad) {
    (void)fitOption; // the fit has one form
    const Vec3 centre = workboxCentre(), half = workboxHalfSizes();
    fitPlotWindow(centre, half, az, el, fit);
    arrowSize = 20.0 * std::max({half.x, half.y, half.z});
    if (frame) drawPlotFrame();
    viewAzimuth = az;
    viewElevation = el;
    int a = 1, b = 1, c = 1;
    if (el == 90.0 || el == -90.0) b = 0;
    if (el == 0.0) {
        if (az == -90.0 || az == 90.0) a = 0;
        if (az == 0.0 || az == 180.0) c = 0;
    }
    auto drawContent = [&] {
        if (viewGrid && grids && el != 0.0) drawGrid(1);
        if (showBox) drawWorkboxOutline(centre, half);
        if (viewGrid) {
            if (!a) drawGrid(0);
            if (!b) drawGrid(1);
            if (!c) drawGrid(2);
        }
        drawAllWireframes();
        if (showRays) replayRays();
        drawPickedPointMarker();
        if (triad) drawAxisTriad(arrowSize, a, b, c);
    };
    if (stereoMode && el != 90.0 && el != -90.0) {
        // A colour stereo pair: each eye in one colour, the user's colour table left alone.
        PlotState& s = plotState();
        int (*previous)(int) = s.colourLookUp;
        const ViewModeState& v = viewModeState();
        for (int eye = 0; eye < 2; ++eye) {
            const double eyeAz = az + (eye == 0 ? v.stereoSeparation : -v.stereoSeparation);
            fitPlotWindow(centre, half, eyeAz, el, fit);
            viewAzimuth = eyeAz;
            stereoEyePen = clampPen(v.stereoColours[eye]);
            s.colourLookUp = &stereoLookUp;
            drawContent();
        }
        s.colourLookUp = previous;
    } else {
        drawContent();
    }
    viewAzimuth = az;
    viewElevation = el;
    if (finish) {
        const PlotRange w = plotState().window;
        moveAbs(w.x1 + 0.05 * (w.x2 - w.x1), w.y1 + 0.9 * (w.y2 - w.y1));
        drawGridLabel(gridIncrements[0]);
        endPage();
        endPlot();
    }
}

void drawFourViews(double az, double el, int showBox, int showRays) {
    const PlotRange sr = plotState().screenRange;
    const double mx = sr.x2 / 2.0, my = sr.y2 / 2.0;
    const Vec3 centre = workboxCentre(), half = workboxHalfSizes();
    struct Pane {
        double x1, x2, y1, y2, az, el;
        int labels[3];
        int fixed; // index of the fixed view, -1 for the current one
    };
    const Pane panes[4] = {
        {sr.x1, mx, sr.y1, my, kFixedViewAngles[0][0], kFixedViewAngles[0][1], {0, 1, 1}, 0},
        {sr.x1, mx, my, sr.y2, kFixedViewAngles[1][0], kFixedViewAngles[1][1], {1, 0, 1}, 1},
        {mx, sr.x2, sr.y1, my, kFixedViewAngles[2][0], kFixedViewAngles[2][1], {1, 1, 0}, 2},
        {mx, sr.x2, my, sr.y2, az, el, {1, 1, 1}, -1},
    };
    for (const Pane& p : panes) {
        setViewport(p.x1, p.x2, p.y1, p.y2);
        drawSystemView(p.az, p.el, showBox, showRays, 1, 0, 0, 0, 1, 0);
        fitPlotWindow(centre, half, p.az, p.el, 1);
        if (p.fixed >= 0) storePaneScale(p.fixed);
        drawAxisTriad(arrowSize, p.labels[0], p.labels[1], p.labels[2]);
    }
    setViewport(sr.x1, sr.x2, sr.y1, sr.y2);
    endPage();
    endPlot();
}

void repaintView(ViewHost& window, DrawSurface& surface, double azimuth, double elevation) {
    // A fault the picture meets is said once, not at every repaint that meets it again; new
    // data files may hold a new one.
    RepeatMemory& said = viewModeState().repaintMessages;
    if (said.stamp != rayFileState().outputGeneration) {
        said.last.clear();
        said.stamp = rayFileState().outputGeneration;
    }
    const RepeatScope once(said);
    const double savedAzimuth = viewAzimuth, savedElevation = viewElevation;
    surface.setTextColor({0xFF, 0xFF, 0xFF});
    beginViewDraw(window, surface);
    refreshClientSize();
    beginPage();
    if (energyMode) {
        if (currentDetector < 1) {
            energyMode = 0;
            systemMode = 1;
            drawDefaultSystemView(azimuth, elevation);
        } else {
            energyPlot();
        }
    } else if (filmMode) {
        if (currentDetector < 1) {
            filmMode = 0;
            systemMode = 1;
            drawDefaultSystemView(azimuth, elevation);
        } else {
            drawSpotDiagram(currentDetector);
        }
    } else if (viewType >= kViewIntensity && viewType <= kViewPolarLast) {
        // Polar plots of ray directions: types 7 to 11 are variants 0, 1, 2, 3 and 0.
        static const int kVariants[] = {0, 1, 2, 3, 0};
        polarPlot(kVariants[viewType - kViewIntensity]);
    } else if (viewType == kViewPolarRadiometer) {
        polarIntensityPlot();
    } else if (viewType >= kViewAxisX && viewType <= kViewAxisZ) {
        const int k = viewType - kViewAxisX;
        const double az = kFixedViewAngles[k][0], el = kFixedViewAngles[k][1];
        drawSystemView(az, el, viewBox, viewRays, 1, 0, 0, 0, viewFrame, 1);
        fitPlotWindow(workboxCentre(), workboxHalfSizes(), az, el, 1);
        storePaneScale(k);
        viewAzimuth = savedAzimuth;
        viewElevation = savedElevation;
    } else if (orthogonalMode) {
        drawFourViews(azimuth, elevation, viewBox, viewRays);
    } else {
        drawDefaultSystemView(azimuth, elevation);
    }
    saveRequested = 0;
    repaintRequested = 0;
    endPage();
    endPlot();
    closePlotFile();
    endLineExport();
    closeHpglFile();
}

bool showsRenderedImage() {
    return solidMode != 0 && viewType == 0 && !orthogonalMode && !imageDib.empty();
}

void paintWireframe(ViewHost& window, DrawSurface& surface) {
    gridOn = viewGrid ? 1 : 0;
    repaintView(window, surface, std::trunc(viewAzimuth), std::trunc(viewElevation));
}

void paintView(ViewHost& window, DrawSurface& surface) {
    // The polar radiometer view loads the data of the view's object at every paint, as the
    // window loads its selected part's; without a radiometer the four views stand instead.
    if (viewType == kViewPolarRadiometer) {
        const CPart* part = thePartList && viewObject > 0
                                ? thePartList->FindPart(objectLabel(viewObject))
                                : nullptr;
        if (!loadPolarRadiometer(part)) viewType = 1;
    }
    // A rendered image fills the system view; the wireframe goes over it unless only the image
    // is shown.
    const bool image = showsRenderedImage();
    if (image) paintImage(surface, imageDib);
    if (!image || solidMode != 1) paintWireframe(window, surface);
}
