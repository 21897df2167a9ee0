#include "ui/core/view_controller.h"

#include "parts/raytrace_manager.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <optional>

#include "command/document/document.h"
#include "command/general/highlighting.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/reader.h"
#include "command/settings/color_tables.h"
#include "command/settings/settings.h"
#include "display/plot/plot_primitives.h"
#include "display/raster/bitmap_holder.h"
#include "display/raster/draw_surface.h"
#include "display/views/annotations.h"
#include "display/views/repaint.h"
#include "display/views/segment_3d.h"
#include "display/views/view_modes.h"
#include "engine/files/ray_dump.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "ui/core/dib.h"
#include "ui/core/object_pick.h"
#include "ui/core/selected_radiometer.h"
#include "ui/core/shell_state.h"
#include "ui/core/view_geometry.h"
#include "ui/core/view_state.h"

ViewSeams& viewSeams() {
    static ViewSeams seams;
    return seams;
}

void resetViewSeams() {
    viewSeams() = ViewSeams{};
}

namespace {

void copyPaneMap(CScreenMapping& map, const PaneScale& pane) {
    map.xScale = pane.scaleX;
    map.yScale = pane.scaleY;
    map.xOffset = pane.biasX;
    map.yOffset = pane.biasY;
}

// A model point of a client point, starting from the picked point: an axis the view does not
// map keeps the picked point's value.
void pointFromPicked(const int p[2], double out[3]) {
    const double* picked = qelViewState().pickedPoint;
    for (int i = 0; i < 3; ++i)
        out[i] = picked[i];
    ClientToModel(p[0], p[1], out);
}

} // namespace

CQelView::CQelView(ViewUi& ui) : ui_(ui) {}

void CQelView::runText(const std::string& text, bool direct) {
    commandBuffer = text;
    if (direct)
        ui_.executeLine();
    else
        ui_.executeCommand();
}

bool CQelView::ExecuteText(const std::string& text) {
    if (text.size() > static_cast<std::size_t>(kLineSignificant)) {
        ui_.errorBox("Error: command too long: " + text.substr(0, 40) + "...");
        return false;
    }
    runText(text, false);
    return true;
}

namespace {

// The formatted command, or an error box and nothing when it would not fit a command line (the
// reader would cut it silently).
std::optional<std::string> formattedCommand(ViewUi& ui, const char* format, va_list args) {
    char text[kLineSignificant + 2] = {};
    const int n = std::vsnprintf(text, sizeof text, format, args);
    if (n < 0 || n > kLineSignificant) {
        ui.errorBox(std::string("Error: command too long: ") + std::string(text, strnlen(text, 40)) +
                    "...");
        return std::nullopt;
    }
    return std::string(text);
}

} // namespace

void CQelView::IssueCommand(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const auto text = formattedCommand(ui_, format, args);
    va_end(args);
    if (!text) return;
    runText(*text, false);
    RedrawIfAutoRedraw();
}

void CQelView::IssueCommandDirect(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const auto text = formattedCommand(ui_, format, args);
    va_end(args);
    if (text) runText(*text, true);
}

void CQelView::RunCommandDialog(int mode, const std::string& path) {
    if (viewSeams().commandDialog) {
        viewSeams().commandDialog(mode, path);
        return;
    }
    // No dialog yet: as if cancelled.
    if (viewSeams().clearRedefinitionMark) viewSeams().clearRedefinitionMark();
    redefineMode = 0;
}

void CQelView::RedrawIfAutoRedraw() {
    if (autoRedraw) ui_.updateAllViews();
}

namespace {

// The stored trace again: through the shell's hook when a test or host set one, else through the
// document's raytrace manager.
void repeatStoredTrace(CQelDoc* doc) {
    if (!doc) return;
    if (shellState().repeatLastTrace)
        shellState().repeatLastTrace(*doc);
    else if (theRaytraceManager)
        theRaytraceManager->RepeatLastTrace();
}

} // namespace

void CQelView::RepeatLastTrace() {
    repeatStoredTrace(ui_.document());
    if (viewType == kViewIntensity) OnIntensityView();
}

void CQelView::FinishViewCommand() {
    if (autoRetrace) repeatStoredTrace(ui_.document());
    if (viewType == kViewIntensity) OnIntensityView();
    RedrawIfAutoRedraw();
}

void CQelView::SetViewType(int type) {
    systemMode = energyMode = orthogonalMode = filmMode = 0;
    viewType = 0;
    switch (type) {
    case 0: systemMode = 1; break;
    case 1: orthogonalMode = 1; break;
    case 2: filmMode = 1; break;
    case 3: energyMode = 1; break;
    default: viewType = type; break;
    }
    ui_.updateAllViews();
}

void CQelView::OnIntensityView() {
    SetViewType(0);
    if (!HasSelectedRadiometer()) return;
    if (bitmapState().paletteIndex != kPaletteGrey) bitmapState().paletteIndex = kPaletteSpectrum;
    const int made = viewObject > 0 ? MakeObjectDib(objectLabel(viewObject)) : 0;
    qelViewState().intensityReady = made;
    if (!made) SetViewType(0);
    SetViewType(kViewIntensity);
}

void CQelView::ShowProgress(double fraction) {
    const std::string text = progressText(fraction);
    if (text == qelViewState().progressText) return;
    qelViewState().progressText = text;
    ui_.drawOverlayText(1, 5, text);
}

CQelView::PaintPlan CQelView::BeginPaint(DrawSurface& surface, bool monochromePage) {
    QelViewState& v = qelViewState();
    if (viewType == kViewIntensity && !HasSelectedRadiometer()) viewType = 1;
    if (viewType != kViewIntensity) v.intensityReady = 0;
    if (viewType == kViewPolarRadiometer) {
        if (!PrepareSelectedPolarRadiometer()) viewType = 1;
    }
    if (v.autoFletch && fletchOn) {
        const double* h = workbox.halfSize;
        arrowHeadSize = 0.05 * std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
    }
    if (viewGrid) gridOn = 1;
    v.clientSize[0] = surface.width();
    v.clientSize[1] = surface.height();
    v.metafileOutput = surface.metafileOutput() ? 1 : 0;
    if (surface.printingNow()) {
        v.printingNow = 1;
        if (monochromePage) selectColorTable(kBlackOnWhite);
    } else {
        v.printingNow = 0;
        if (!surface.metafileOutput() && surface.height() > 0)
            v.printAspect = static_cast<double>(surface.width()) / surface.height();
    }
    // The solid views show the console's rendered image; without one the wireframe stands.
    PaintPlan plan;
    if (showsRenderedImage())
        plan.solidImage = true;
    else if (viewType == kViewIntensity && v.intensityReady)
        plan.intensityImage = true;
    plan.wireframe = !((plan.solidImage && solidMode == 1) || viewType == kViewIntensity);
    return plan;
}

void CQelView::EndPaint(bool monochromePage) {
    QelViewState& v = qelViewState();
    copyPaneMap(v.xPaneMap, paneScale[0]);
    copyPaneMap(v.yPaneMap, paneScale[1]);
    copyPaneMap(v.zPaneMap, paneScale[2]);
    lineExportOn = 0;
    if (v.printingNow && monochromePage) selectColorTable(kColorMapped);
    v.printingNow = 0;
    v.metafileOutput = 0;
}

void CQelView::OnLButtonDown(int x, int y) {
    QelViewState& v = qelViewState();
    v.anchorPoint[0] = v.dragPoint[0] = x;
    v.anchorPoint[1] = v.dragPoint[1] = y;
    v.dragging = true;
    switch (v.selectorMode) {
    case kSelectAzEl: ui_.showViewAngles(viewAzimuth, viewElevation); break;
    case kSelectNormal:
        ClientToModel(x, y, v.pickedPoint);
        ui_.showPaneValues(v.pickedPoint[0], v.pickedPoint[1], v.pickedPoint[2]);
        PickNearestObject(v.pickedPoint[0], v.pickedPoint[1], v.pickedPoint[2], workboxHalfSizes());
        break;
    case kSelectPoint:
        ClientToModel(x, y, v.pickedPoint);
        ui_.showPaneValues(v.pickedPoint[0], v.pickedPoint[1], v.pickedPoint[2]);
        if (!(gridIncrements[0] > 0.0)) {
            const double* h = workbox.halfSize;
            const double g = firstGridIncrement((h[0] + h[1] + h[2]) * 0.6666666666666666);
            for (double& increment : gridIncrements)
                increment = g;
        }
        break;
    default: break;
    }
}

void CQelView::OnMouseMove(int x, int y) {
    QelViewState& v = qelViewState();
    if (!v.dragging) return;
    switch (v.selectorMode) {
    case kSelectAzEl: ui_.showViewAngles(viewAzimuth, viewElevation); break;
    case kSelectSizeBox:
        v.dragPoint[0] = x;
        v.dragPoint[1] = y;
        break;
    case kSelectPoint: {
        ClientToModel(x, y, v.pickedPoint);
        char text[128];
        std::snprintf(text, sizeof text, "%9.9lg %9.9lg %9.9lg", v.pickedPoint[0], v.pickedPoint[1],
                      v.pickedPoint[2]);
        ui_.drawOverlayText(5, 5, text);
        break;
    }
    default: break;
    }
}

void CQelView::OnLButtonUp(int x, int y) {
    QelViewState& v = qelViewState();
    if (!v.dragging) return;
    v.dragging = false;
    v.dragPoint[0] = x;
    v.dragPoint[1] = y;
    switch (v.selectorMode) {
    case kSelectAzEl: {
        const int dx = x - v.anchorPoint[0], dy = y - v.anchorPoint[1];
        if (applyAzElDrag(viewAzimuth, viewElevation, dx, dy, ui_.clientWidth(), ui_.clientHeight()))
            ui_.showViewAngles(viewAzimuth, viewElevation);
        break;
    }
    case kSelectSizeBox:
        if (filmMode) {
            double a[3], b[3];
            pointFromPicked(v.anchorPoint, a);
            pointFromPicked(v.dragPoint, b);
            const double hw = std::fabs(b[0] - a[0]) * 0.5, hh = std::fabs(b[1] - a[1]) * 0.5;
            if (hw == 0.0 || hh == 0.0 || !std::isfinite(hw) || !std::isfinite(hh)) {
                for (double& f : filmWindow)
                    f = 0.0;
            } else {
                filmWindow[0] = (a[0] + b[0]) * 0.5;
                filmWindow[1] = (a[1] + b[1]) * 0.5;
                filmWindow[2] = hw;
                filmWindow[3] = hh;
            }
            ui_.showPaneValues(filmWindow[0], filmWindow[1], 0.0);
        } else {
            SetWorkboxFromBox(v.anchorPoint, v.dragPoint);
        }
        break;
    case kSelectNormal: {
        double p[3];
        pointFromPicked(v.dragPoint, p);
        const double d[3] = {p[0] - v.pickedPoint[0], p[1] - v.pickedPoint[1], p[2] - v.pickedPoint[2]};
        const double length2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        if (length2 > 1e-15 && std::isfinite(length2) && getObject(viewObject - 1)) {
            if (auto text = boundedCommandText("translate/global %s %lg %lg %lg",
                                               objectLabel(viewObject), d[0], d[1], d[2])) {
                runText(*text, false);
                FinishViewCommand();
            }
        }
        break;
    }
    case kSelectPoint:
        ClientToModel(x, y, v.pickedPoint);
        if (v.gridSnap)
            for (int i = 0; i < 3; ++i)
                v.pickedPoint[i] = snapCoordinate(v.pickedPoint[i], gridIncrements[i]);
        ui_.showPaneValues(v.pickedPoint[0], v.pickedPoint[1], v.pickedPoint[2]);
        break;
    default: break;
    }
    RedrawIfAutoRedraw();
}

void CQelView::NormalizeAzEl() {
    normalizeAngles(viewAzimuth, viewElevation);
    ui_.showViewAngles(viewAzimuth, viewElevation);
    RedrawIfAutoRedraw();
}

void CQelView::SetWorkboxFromBox(const int a[2], const int b[2]) {
    double ma[3], mb[3];
    pointFromPicked(a, ma);
    pointFromPicked(b, mb);
    for (const auto& text : workboxTexts(ma, mb))
        runText(text, true);
    resetGridIncrement();
    const double* h = workbox.halfSize;
    qelViewState().gridExtent = 0.333 * (h[0] + h[1] + h[2]);
}

void CQelView::OnArrowKey(Arrow key) {
    QelViewState& v = qelViewState();
    switch (v.selectorMode) {
    case kSelectAzEl:
        switch (key) {
        case Arrow::Left: viewAzimuth -= 5; break;
        case Arrow::Up: viewElevation += 5; break;
        case Arrow::Right: viewAzimuth += 5; break;
        case Arrow::Down: viewElevation -= 5; break;
        }
        NormalizeAzEl();
        return;
    case kSelectSizeBox: {
        if (!filmMode) return;
        double* f = filmWindow;
        switch (key) {
        case Arrow::Left: f[0] -= 0.25 * f[2]; break;
        case Arrow::Up: f[1] += 0.25 * f[3]; break;
        case Arrow::Right: f[0] += 0.25 * f[2]; break;
        case Arrow::Down: f[1] -= 0.25 * f[3]; break;
        }
        ui_.showPaneValues(f[0], f[1], 0.0);
        RedrawIfAutoRedraw();
        return;
    }
    case kSelectNormal: {
        char text[32];
        if (key == Arrow::Left || key == Arrow::Right) {
            v.highlightSurface += key == Arrow::Left ? -1 : 1;
            if (v.highlightSurface < 1) v.highlightSurface = 1;
            std::snprintf(text, sizeof text, "%d", v.highlightSurface);
            ui_.showPaneLabels("Surface", text);
        } else {
            if (key == Arrow::Up) {
                viewObject += 1;
                if (viewObject > objectCount) viewObject = 1;
            } else {
                viewObject -= 1;
                if (viewObject < 0) viewObject = 1;
            }
            v.highlightObject = viewObject;
            ui_.refreshObjectTree();
        }
        // The view draws what the keys chose, in the highlight colour already set or the quick
        // highlight's.
        if (v.highlightObject < 1) v.highlightObject = viewObject;
        const int surfaceColour = highlightState().surfaceColour;
        setSurfaceHighlight(v.highlightObject, v.highlightSurface,
                            surfaceColour > 0 ? surfaceColour : kQuickSurfaceColour);
        RedrawIfAutoRedraw();
        return;
    }
    case kSelectPoint: {
        switch (key) {
        case Arrow::Left: v.highlightPoint = std::max(1, v.highlightPoint - 1); break;
        case Arrow::Up: v.highlightRay += 1; break;
        case Arrow::Right: v.highlightPoint += 1; break;
        case Arrow::Down: v.highlightRay = std::max(1, v.highlightRay - 1); break;
        }
        char text[48];
        std::snprintf(text, sizeof text, "%d-%d", v.highlightRay, v.highlightPoint);
        ui_.showPaneLabels("Ray", text);
        Vec3 point;
        if (findRayPoint(v.highlightRay, v.highlightPoint, point, 0) == 1)
            ui_.showPaneValues(point.x, point.y, point.z);
        const int rayColour = highlightState().rayColour;
        setRayHighlight(v.highlightRay, v.highlightPoint, rayColour > 0 ? rayColour : kQuickRayColour);
        RedrawIfAutoRedraw();
        return;
    }
    default: return;
    }
}
