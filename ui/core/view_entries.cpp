#include "ui/core/view_entries.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "command/document/document.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings.h"
#include "display/plot/plot_files.h"
#include "display/analysis/film_plane_analysis.h"
#include "display/plot/plot_primitives.h"
#include "display/raster/bitmap_holder.h"
#include "display/views/annotations.h"
#include "display/views/view_modes.h"
#include "engine/files/ray_files.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "parts/part_list.h"
#include "parts/templates/define_params.h"
#include "platform/temp_file.h"
#include "ui/core/dib.h"
#include "ui/core/selected_radiometer.h"
#include "ui/core/shell_state.h"
#include "ui/core/view_controller.h"
#include "ui/core/view_state.h"

namespace {

using Pred = std::function<bool(const ViewSnapshot&)>;

bool idle(const ViewSnapshot& s) {
    return !s.commandRunning;
}

// The part named like viewObject carries a radiometer.
bool viewObjectRadiometer() {
    const auto& source = bitmapState().radiometer;
    if (!source || viewObject < 1 || !getObject(viewObject - 1)) return false;
    return source(objectLabel(viewObject)).has_value();
}

void removeDataFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

} // namespace

ViewSnapshot takeViewSnapshot(bool commandRunning) {
    const QelViewState& v = qelViewState();
    ViewSnapshot s;
    s.commandRunning = commandRunning;
    s.objectCount = objectCount;
    s.viewType = viewType;
    s.systemMode = systemMode;
    s.orthogonalMode = orthogonalMode;
    s.filmMode = filmMode;
    s.energyMode = energyMode;
    s.solidMode = solidMode;
    s.memsplit = memsplit != 0;
    s.hasRenderedImage = !imageDib.empty();
    s.spotFileOpen = spotFileHandle >= 0;
    s.currentDetector = currentDetector;
    s.selectorMode = v.selectorMode;
    s.resolution = wireframeDetail;
    s.unit = currentUnit;
    s.gridSnap = v.gridSnap;
    s.energyAbsolute = energyAbsolute;
    s.energyDensity = energyDensity;
    s.energyPercentage = energyPercentage;
    s.viewRays = viewRays;
    s.viewBox = viewBox;
    s.viewFrame = viewFrame;
    s.viewGrid = viewGrid;
    s.facetNormals = viewModeState().facetNormals;
    s.autoRedraw = autoRedraw;
    s.autoRetrace = autoRetrace;
    s.stereo = stereoMode;
    s.autoFletch = v.autoFletch;
    s.spotColourByEnergy = filmPlaneState().spotColourByEnergy;
    s.fresnel = fresnelOn;
    s.advancedTrace = v.advancedTrace;
    s.saveRays = saveRays;
    s.spotsOff = spotsOff;
    s.dataOutputOn = v.dataOutputOn;
    s.verifyTrace = v.verifyTrace;
    s.autoScan = v.autoScan;
    s.monochrome = monochrome;
    s.rayRainbow = rayRainbow;
    s.sphLensVertex = sphLensVertex;
    s.quickRayHighlight = v.quickRayHighlight;
    s.quickSurfaceHighlight = v.quickSurfaceHighlight;
    s.viewObjectHasRadiometer = viewObjectRadiometer();
    s.selectedPolynetRadiometer = IsSelectedPolynetRadiometer() != 0;
    const ObjectRecord* o = viewObject > 0 ? getObject(viewObject - 1) : nullptr;
    s.viewObjectDefinable = o && o->typeCode != 14;
    return s;
}

void runTour(CQelView& view) {
    CQelDoc* doc = view.ui().document();
    if (!doc) return;
    // Written beside its place and renamed at the end, so a tour cut short leaves the last one.
    namespace fs = std::filesystem;
    const fs::path path = fs::path(programHome.empty() ? "." : programHome) / "tour.txt";
    const fs::path tmp = platform::makeTempFile(".tour.txt.XXXXXX", path.parent_path());
    std::ofstream out(tmp, std::ios::trunc);
    if (tmp.empty() || !out) {
        view.ui().errorBox("Unable to open tour.txt for output.");
        return;
    }
    TourState& tour = tourState();
    tour.on = 1;
    int first = -1, last = -1;
    for (int i = 0; i < kCommandKeywordCount; ++i) {
        if (std::string_view(commandKeywords[i]) == "photometry") first = i;
        if (std::string_view(commandKeywords[i]) == "raytrace") last = i;
    }
    for (int i = first; first >= 0 && i < last && tour.on; ++i) {
        const char* word = commandKeywords[i];
        if (word[0] == ' ') break;
        for (int j = 0; j < 9; ++j)
            tour.index[j] = tour.count[j] = 0;
        // Each command has finitely many paths; the bound only guards against an odometer that
        // never runs out.
        for (int run = 0; run < 10000 && tour.on; ++run) {
            commandPending = 1;
            commandBuffer = word;
            tour.line = word;
            tour.level = 0;
            view.ui().runCommandLoop();
            out << tour.line << '\n';
            view.ui().infoBox(tour.line);
            bool more = false;
            for (int j = 0; j < 9; ++j)
                if (tour.index[j] < tour.count[j]) more = true;
            if (!more) break;
        }
    }
    tour.on = 0;
    out.close();
    std::error_code ec;
    fs::permissions(tmp, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read, ec);
    fs::rename(tmp, path, ec);
    if (ec) {
        fs::remove(tmp, ec);
        view.ui().errorBox("Unable to open tour.txt for output.");
    }
}

std::vector<ViewEntry> viewEntries(CQelView& view) {
    std::vector<ViewEntry> e;
    CQelView* v = &view;
    QelViewState& st = qelViewState();
    int nextId = 34000; // identifiers of entries without one of their own
    auto add = [&](int id, std::string path, std::function<void()> handler, Pred enabled = {},
                   Pred checked = {}, std::string prompt = {}, std::string shortcut = {}) {
        e.push_back({id ? id : nextId++, std::move(path), std::move(shortcut), std::move(prompt),
                     std::move(handler), enabled ? enabled : Pred(idle), std::move(checked)});
    };
    auto toolbar = [&](const std::string& prompt, std::function<void()> handler, Pred enabled = {},
                       Pred checked = {}) {
        add(0, "#toolbar>" + prompt, std::move(handler), std::move(enabled), std::move(checked), prompt);
    };
    auto when = [](Pred p) { return Pred([p](const ViewSnapshot& s) { return idle(s) && p(s); }); };
    const Pred haveObjects = when([](const ViewSnapshot& s) { return s.objectCount > 0; });
    const Pred haveDetector = when([](const ViewSnapshot& s) { return s.currentDetector > 0; });

    // Entries that run the parameter dialogs of a command path.
    enum After { kNone = 0, kFinish = 1, kRedraw = 2 };
    auto dialog = [v](int mode, std::string path, int after = kNone) {
        return [v, mode, path, after] {
            v->RunCommandDialog(mode, path);
            if (after & kFinish) v->FinishViewCommand();
            if (after & kRedraw) v->RedrawIfAutoRedraw();
        };
    };
    auto dialogs = [&](const std::string& menu, int mode,
                       std::initializer_list<std::pair<const char*, const char*>> rows,
                       int after = kNone, Pred enabled = {}) {
        for (const auto& [name, path] : rows)
            add(0, menu + name, dialog(mode, path, after), enabled);
    };
    dialogs("&Design>", 1,
            {{"Lightsource", "define/lightsource"}, {"Axis...", "define/axis"}});
    dialogs("&Design>Lens>", 1, {{"Spherical...", "define/lens/spherical"}});
    toolbar("Define a rectangular lens with a cylindrical front and back surface.",
            dialog(1, "define/lens/cylindrical"));
    dialogs("&Design>Lens>Cylindrical>", 1,
            {{"x-powered...", "define/lens/cylindrical/x_powered"},
             {"y-powered...", "define/lens/cylindrical/y_powered"}});
    dialogs("&Design>Film>", 1, {{"Rectangular...", "define/film/rect"}, {"Oval...", "define/film/oval"}});
    dialogs("&Design>Aperture>Rectangle>", 1,
            {{"HoleRectang", "define/aperture/rectangle/hrectangle"},
             {"HoleOval", "define/aperture/rectangle/hoval"}});
    dialogs("&Design>Aperture>Oval>", 1,
            {{"Hoval...", "define/aperture/oval/hoval"}, {"Hrectang...", "define/aperture/oval/hrectangle"}});
    dialogs("&Design>", 1, {{"Rod...", "define/rod"}});
    dialogs("&Design>Cavity>", 2,
            {{"Ellipsoid...", "define/cavity/ellipsoid"}, {"Cone...", "define/cavity/cone"},
             {"Cylinder...", "define/cavity/cylinder"}, {"Eltrough...", "define/cavity/eltrough"}});
    dialogs("#105>Conic>", 3,
            {{"Rectangle...", "define/mirror/conic/rectang"}, {"Round...", "define/mirror/conic/round"}});
    dialogs("&Design>Mirror...>Flat>", 4,
            {{"Oval...", "define/mirror/flat/oval"}, {"Rectangle...", "define/mirror/flat/rectang"}});
    dialogs("&Design>Mirror...>Parabolic>", 3,
            {{"Oval...", "define/mirror/parabolic/oval"},
             {"Rectangle...", "define/mirror/parabolic/rectangle"}});
    dialogs("#105>Pledge>", 3,
            {{"Xhw...", "define/mirror/parabolic/pledge/xhw"},
             {"Yhw...", "define/mirror/parabolic/pledge/yhw"},
             {"Zdepth...", "define/mirror/parabolic/pledge/zdepth"}});
    dialogs("&Design>Mirror...>Spherical>", 3,
            {{"Oval...", "define/mirror/spherical/oval"},
             {"Rectangle...", "define/mirror/spherical/rectangle"}});
    dialogs("#105>", 3, {{"Pledge...", "define/mirror/spherical/pledge"}});
    dialogs("&Design>Mirror...>", 3, {{"Trough...", "define/mirror/trough"}});
    add(0, "&Design>Mirror...>CPC...", dialog(3, "define/mirror/cpc"));
    dialogs("#105>Polynet>", 1, {{"Start...", "polynet/noconfirm/start"}});
    dialogs("#105>Polynet>", 0,
            {{"Locus...", "polynet/noconfirm/locus"}, {"Point...", "polynet/noconfirm/point"},
             {"Polygon...", "polynet/noconfirm/polygon"}, {"Thick...", "polynet/noconfirm/thick"},
             {"Vertex...", "polynet/noconfirm/vertex"}});
    dialogs("#105>Polynet>", -1, {{"Normalize", "polynet/noconfirm/normalize"}});
    for (const char* word : {"Chain", "Close", "Finish", "Output"}) {
        const std::string text = std::string(word) == "Finish"   ? "polynet/finish"
                                 : std::string(word) == "Output" ? "polynet/output"
                                 : "polynet/noconfirm/" + std::string(word == std::string("Chain") ? "chain" : "close");
        add(0, std::string("#105>Polynet>") + word, [v, text] { v->IssueCommand("%s", text.c_str()); });
    }
    dialogs("#105>", -1, {{"Center...", "modify/center"}, {"Extents...", "modify/extent"}}, kFinish);
    toolbar("Modify volume absorbtion component of an object medium.",
            dialog(-1, "modify/object/absor", kFinish));
    add(0, "&Modify>Polynet...", dialog(-1, "polynet/noconfirm/modify", kFinish));
    dialogs("#105>", -1, {{"SurfaceAttrib...", "modify/surface/attrib"}}, kFinish);
    toolbar("Add a hole to a single surface mirror.", dialog(-1, "modify/surface/hole", kFinish));
    dialogs("#105>SurfaceHole...>", -1,
            {{"Delete...", "modify/surface/hole/delete"}, {"Oval...", "modify/surface/hole/oval"},
             {"Rectangular...", "modify/surface/hole/rectangular"}},
            kFinish);
    dialogs("#105>Object>", -1,
            {{"Index...", "modify/object/index"}, {"Absorbtivity...", "modify/object/absorbtivity"}},
            kFinish, haveObjects);
    dialogs("#105>AltSurfaces>", -1,
            {{"Aspheric...", "modify/altsurfaces/aspheric/radial"},
             {"Grating...", "modify/altsurfaces/grating/x_cylindrical"},
             {"Toric...", "modify/altsurfaces/toric"}},
            kFinish | kRedraw);
    dialogs("#105>SurfaceFresnel>", -1,
            {{"Fresnel...", "modify/surface/fresnel/on"}, {"LWIR Metal...", "modify/surface/lwirmetal/on"},
             {"Metal...", "modify/surface/metal/on"}, {"Off (Normal)...", "modify/surface/fresnel/off"}},
            kFinish | kRedraw);
    dialogs("#105>Scatterer>", -1,
            {{"Gaussian...", "modify/scatterer/gaussian"}, {"Lambertian...", "modify/scatterer/lambertian"},
             {"None...", "modify/scatterer/none"}, {"PowerLaw...", "modify/scatterer/powerlaw"},
             {"X-Y Exponential...", "modify/scatterer/xy_exponential"}},
            kFinish);
    dialogs("#105>Scatterer>", -1, {{"Show...", "modify/scatterer/show"}});
    dialogs("&Edit>", -1, {{"Delete", "delete"}}, kFinish, haveObjects);
    dialogs("&Analyze>&Energy>", -2,
            {{"Encircled...", "energy/encircled"}, {"X Linear...", "energy/xlinear"},
             {"Y Linear...", "energy/ylinear"}});
    dialogs("#105>", 0, {{"Polar...", "energy/polar"}}, kFinish | kRedraw);
    toolbar("Highlight a particular surface or facet of an object in a users selectable color.",
            dialog(0, "echo/on/surfacehilite"));
    toolbar("Display a ray segment highlighted in a user selectable color.", dialog(0, "echo/on/rayhilite"));
    toolbar("Display numerical text showing object location geometry - placement and rotation",
            dialog(-3, "display/geometry"));
    dialogs("&Analyze>&Display>", -3,
            {{"Object...", "display/object"}, {"AltSurfaces...", "display/altsurface"},
             {"Extents...", "display/extent"}, {"Surface...", "display/surface"}});
    dialogs("#105>", -3, {{"Parameters...", "display/parameter"}});
    dialogs("&Analyze>Radiometer>", -1,
            {{"Attach...", "radiometer/attach"}, {"Clear...", "radiometer/reset"},
             {"Remove...", "radiometer/remove"}, {"Textout...", "radiometer/textout"}},
            kFinish, haveDetector);
    toolbar("Resets the number of bins in x and y in the radiometer attached to the selected part.",
            dialog(-1, "radiometer/resize", kFinish), haveDetector);
    dialogs("&Options>", 0,
            {{"Iteration...", "set/iteration"}, {"ProximityGlue...", "set/proximity"},
             {"RayTraceLimits...", "set/raylimit"}},
            kFinish);
    dialogs("&Window>SunPosition>", 0,
            {{"Relative...", "set/sun/relative"}, {"Absolute...", "set/sun/absolute"}});

    // Trace entries: the light source is the selected object when that is a light source (never
    // a selected detector or lens); the stored trace settings of that source preset the template
    // values; the path says whether the rays are kept.
    enum Preset { kCollimated, kCone, kCosLamp };
    auto trace = [v, &st](std::string nosave, std::string yessave, Preset preset) {
        return [v, &st, nosave, yessave, preset] {
            if (isPlacedLightSource(viewObject)) currentLightSource = viewObject;
            if (st.sourcePreset && st.sourceObject == currentLightSource) {
                CDefineParams& p = defineParams;
                p.SetParam(0, currentLightSource);
                p.SetParam(1, st.sourceCounts[0]);
                switch (preset) {
                case kCollimated:
                    p.SetParam(2, st.sourceCounts[1]);
                    p.SetParam(3, st.sourceSizes[0]);
                    p.SetParam(4, st.sourceSizes[1]);
                    break;
                case kCone:
                    p.SetParam(2, st.sourceCounts[1]);
                    p.SetParam(3, st.sourceAngles[0] * 57.29577950560105);
                    p.SetParam(4, st.sourceAngles[1] * 57.29577950560105);
                    break;
                case kCosLamp:
                    break;
                }
            }
            v->RunCommandDialog(-1, saveRays ? yessave : nosave);
        };
    };
    toolbar("Traces a collimated  (parallel)  bundle of rays from the lightsource.",
            trace("raytrace/new/collimated/nosave", "raytrace/new/collimated/yessave", kCollimated));
    for (const char* kind : {"eqang", "eqsolid", "fullangle"}) {
        const std::string base = std::string("raytrace/new/cone/") + kind;
        const char* name = std::string(kind) == "eqang" ? "Eqangle..." : std::string(kind) == "eqsolid" ? "Eqsolid..." : "Fullangle...";
        add(0, std::string("&Analyze>&Raytrace>Cone>") + name, trace(base + "/nosave", base + "/yessave", kCone));
    }
    add(0, "#105>CosineLamp...",
        trace("raytrace/new/coslamp/nosave", "raytrace/new/coslamp/yessave", kCosLamp));
    add(0, "&Analyze>&Raytrace>Collimated>Oval...",
        trace("raytrace/new/collimated/oval/nosave", "raytrace/new/collimated/oval/yessave", kCollimated));
    add(0, "&Analyze>&Raytrace>Collimated>Rectangle...",
        trace("raytrace/new/collimated/rectangle/nosave", "raytrace/new/collimated/rectangle/yessave",
              kCollimated));
    toolbar("Trace rays from a custom source.",
            trace("raytrace/new/custom/nosave", "raytrace/new/custom/yessave", kCone));
    add(0, "&Analyze>&Raytrace>Extended>Oval...",
        trace("raytrace/new/custom/nosave/oval", "raytrace/new/custom/yessave/oval", kCone));
    add(0, "&Analyze>&Raytrace>Extended>Rectangle...",
        trace("raytrace/new/custom/nosave/rect", "raytrace/new/custom/yessave/rect", kCone));

    // Entries that issue a fixed command.
    auto issue = [v](std::string text) { return [v, text] { v->IssueCommand("%s", text.c_str()); }; };
    auto check = [](auto get) { return Pred(get); };
    add(0, "&Analyze>&Display>Rays", issue("display/ray"));
    add(0, "&Analyze>&Display>Geometry", issue("display/geometry"));
    const std::pair<const char*, int> resolutions[] = {{"High", 3}, {"Medium", 2}, {"Low", 1}};
    for (const auto& [name, level] : resolutions) {
        const std::string word = level == 3 ? "hi" : level == 2 ? "med" : "low";
        const int want = level;
        add(0, std::string("&Window>LineWorkResolution>") + name, issue("set/resolution/" + word), {},
            check([want](const ViewSnapshot& s) { return s.resolution == want; }));
    }
    add(0, "&Window>SetUnits>inches", issue("set/units/inch"), {},
        check([](const ViewSnapshot& s) { return s.unit == 2; }));
    add(0, "&Window>SetUnits>cm", issue("set/units/cm"), {},
        check([](const ViewSnapshot& s) { return s.unit == 0; }));
    add(0, "&Window>SetUnits>meters", [v] { v->IssueCommandDirect("set/units/met"); }, {},
        check([](const ViewSnapshot& s) { return s.unit == 3; }));
    toolbar("Set units to feet.", issue("set/units/feet"), {},
            check([](const ViewSnapshot& s) { return s.unit == 4; }));
    add(32865, "&Window>SnugWorkbox", [v, &st] {
        v->IssueCommand("set/workbox/snug");
        const double* h = workbox.halfSize;
        st.gridExtent = 0.333 * (h[0] + h[1] + h[2]);
        resetGridIncrement();
    });
    add(0, "&Window>RayRainbow",
        [v] { v->IssueCommand(rayRainbow ? "set/rayrainbow/off" : "set/rayrainbow/on"); }, {},
        check([](const ViewSnapshot& s) { return s.rayRainbow != 0; }));
    add(0, "&Options>SphLensVertex",
        [v] { v->IssueCommand(sphLensVertex ? "set/sphlensvertex/off" : "set/sphlensvertex/on"); }, {},
        check([](const ViewSnapshot& s) { return s.sphLensVertex != 0; }));
    add(0, "&View>Monochrome", [v] {
        const int was = monochrome;
        monochrome = !monochrome;
        v->IssueCommandDirect(was ? "set/color/mapped" : "set/color/mono");
        v->RedrawIfAutoRedraw();
    }, {}, check([](const ViewSnapshot& s) { return s.monochrome != 0; }));
    add(0, "&Window>FletchRays>Off", [v] {
        v->IssueCommandDirect("set/fletch/off");
        v->RedrawIfAutoRedraw();
    });
    add(0, "&Window>FletchRays>On...", [v, &st] {
        defineParams.SetParam(0, 0.5);
        defineParams.SetParam(1, 0.05 * st.gridExtent);
        v->RunCommandDialog(0, "set/fletch/on");
        v->RedrawIfAutoRedraw();
    });
    add(0, "&View>Grid", [v] {
        viewGrid = !viewGrid;
        gridOn = viewGrid ? 1 : 0;
        if (viewGrid) {
            defineParams.SetParam(0, gridIncrements[2]);
            v->RunCommandDialog(0, "set/grid");
        } else {
            v->RedrawIfAutoRedraw();
        }
    }, {}, check([](const ViewSnapshot& s) { return s.viewGrid != 0; }));
    add(0, "&View>HighLight>QuickRaySeg", [v, &st] {
        const int was = st.quickRayHighlight;
        st.quickRayHighlight = !was;
        if (was) {
            v->IssueCommand("echo/on/rayhilite 0 0 0");
        } else {
            st.quickSurfaceHighlight = 0;
            v->IssueCommand("echo/on/rayhilite 1 1 %d", kQuickRayColour);
        }
        st.selectorMode = kSelectPoint;
    }, {}, check([](const ViewSnapshot& s) { return s.quickRayHighlight != 0; }));
    add(0, "&View>HighLight>QuickFacet/Surface", [v, &st] {
        const int was = st.quickSurfaceHighlight;
        st.quickSurfaceHighlight = !was;
        if (was) {
            v->IssueCommand("echo/on/surfacehilite 0 0 0");
        } else {
            st.quickRayHighlight = 0;
            v->IssueCommand("echo/on/surfacehilite 1 1 %d", kQuickSurfaceColour);
        }
        st.selectorMode = kSelectNormal;
    }, {}, check([](const ViewSnapshot& s) { return s.quickSurfaceHighlight != 0; }));
    add(32981, "&Analyze>&Energy>RepeatLast", [v] {
        CQelDoc* doc = v->ui().document();
        if (!doc || doc->LastEnergyCommand().empty()) return;
        const std::string text = doc->LastEnergyCommand();
        v->IssueCommand("%s", text.c_str());
    });
    auto objectCommand = [v, &st](const char* verb) {
        return [v, &st, verb] {
            if (std::string(verb) == "deactivate" && st.verifyTrace) v->ui().infoBox("on menu");
            if (v->ExecuteText(std::string(verb) + " " + objectLabel(viewObject))) v->FinishViewCommand();
        };
    };
    add(0, "&Edit>Activate", objectCommand("activate"), haveObjects);
    add(0, "&Edit>Deactivate", objectCommand("deactivate"), haveObjects);
    add(0, "&Edit>Remove...", objectCommand("remove"));
    add(0, "&View>ReDraw", [v] { v->ui().updateAllViews(); });
    toolbar("Retrace the last raytrace command issued.", [v] { v->RepeatLastTrace(); });
    add(32930, "&Options>UpdateAll", [v] {
        v->RepeatLastTrace();
        v->ui().updateAllViews();
    });
    toolbar("Save the current plot as an MERIDYN plot file.", [v] {
        saveRequested = 1;
        const bool opened = openPlotFile(" ") != nullptr;
        const std::string name = plotState().displayFileName;
        v->ui().updateAllViews();
        if (opened && v->ui().document())
            v->ui().document()->hooks().addHistoryLine("Creating plot file " + name + ".");
    });
    toolbar("View and optionally change the object definition numerically.", [v] {
        const auto& metamorph = viewSeams().metamorph;
        std::string path;
        // A polygon net (-1) has no definition to change.
        if (!metamorph || metamorph(path) != 1) return;
        v->RunCommandDialog(1, path);
        v->FinishViewCommand();
    }, when([](const ViewSnapshot& s) { return s.viewObjectDefinable; }));

    // Toggles and view settings.
    auto toggle = [&](std::string path, int& flag, int after, std::function<void()> also = {},
                      int id = 0) {
        int* f = &flag;
        add(id, std::move(path), [v, f, after, also] {
            *f = !*f;
            if (also) also();
            if (after & kFinish) v->FinishViewCommand();
            if (after & kRedraw) v->RedrawIfAutoRedraw();
        }, {}, check([f](const ViewSnapshot&) { return *f != 0; }));
    };
    toggle("&View>Rays", viewRays, kRedraw);
    toggle("&View>Box", viewBox, kRedraw);
    toggle("&View>Frame", viewFrame, kRedraw);
    toggle("&View>PolyNormals", viewModeState().facetNormals, kRedraw);
    toggle("&Options>AutoRedraw", autoRedraw, kRedraw, {}, 32784);
    toggle("&Options>AutoRetrace", autoRetrace, kFinish | kRedraw, {}, 32783);
    toggle("&Window>Stereo3D(red/blue)", stereoMode, kRedraw);
    add(0, "&Window>GridSnap>SnapOn...", [&st] { st.gridSnap = 1; }, {},
        check([](const ViewSnapshot& s) { return s.gridSnap != 0; }));
    add(0, "&Window>GridSnap>SnapOff..", [&st] { st.gridSnap = 0; }, {},
        check([](const ViewSnapshot& s) { return s.gridSnap == 0; }));
    toggle("&Window>FletchRays>AutoFletch", st.autoFletch, kNone);
    toggle("&Window>ColorSpotsByEnergy", filmPlaneState().spotColourByEnergy, kNone);
    toggle("&Options>FresnelReflect", fresnelOn, kFinish);
    toggle("#105>AdvancedTraceEngine", st.advancedTrace, kFinish);
    toggle("&Options>SaveRays", saveRays, kNone, [] {
        if (!saveRays) {
            closeRayFile();
            removeDataFile(rayFilePath());
        }
    });
    add(0, "&Options>SaveSpots", [] {
        spotsOff = !spotsOff;
        if (spotsOff) {
            closeRayFile();
            closeSpotFile();
            removeDataFile(rayFilePath());
            removeDataFile(spotFilePath());
        }
    }, {}, check([](const ViewSnapshot& s) { return s.spotsOff == 0; }));
    toggle("&Analyze>&Energy>Preferences>Density", energyDensity, kNone);
    toggle("&Analyze>&Energy>Preferences>Percentage", energyPercentage, kNone);
    add(0, "&Analyze>&Energy>Preferences>Absolute", [] { energyAbsolute = 1; }, {},
        check([](const ViewSnapshot& s) { return s.energyAbsolute == 1; }));
    add(0, "&Analyze>&Energy>Preferences>Relative", [] { energyAbsolute = 0; }, {},
        check([](const ViewSnapshot& s) { return s.energyAbsolute == 0; }));
    add(0, "&Analyze>&Energy>EnergyFile", [&st] {
        if (st.dataOutputOn) {
            st.dataOutputOn = 0;
            st.dataOutputFile.clear();
            return;
        }
        const auto& ask = viewSeams().dataOutputDialog;
        if (auto name = ask ? ask() : std::nullopt) {
            st.dataOutputOn = 1;
            st.dataOutputFile = *name;
        }
    }, {}, check([](const ViewSnapshot& s) { return s.dataOutputOn != 0; }));
    const std::tuple<const char*, int, int> modes[] = {{"&Options>SelectorMode>AzEl", 1, 32869},
                                                       {"&Options>SelectorMode>SizeBox", 2, 32868},
                                                       {"&Options>SelectorMode>Point", 4, 32867},
                                                       {"#105>SelectorMode>Normal", 3, 0}};
    for (const auto& [path, mode, id] : modes) {
        const int m = mode;
        add(id, path, [&st, m] { st.selectorMode = m; }, {},
            check([m](const ViewSnapshot& s) { return s.selectorMode == m; }));
    }
    toggle("#105>Verify", st.verifyTrace, kNone);
    toggle("#105>ScanRays>AutoScan", st.autoScan, kNone);
    // The angular analysis over 180 degrees in 18 buckets: the polar energy command's defaults.
    add(0, "#105>ScanRays>ScanNow", [v] { v->IssueCommand("energy/polar"); });
    // The solid views show the image view/image rendered, as the console's picture does.
    const Pred solidEnabled = when([](const ViewSnapshot& s) { return s.memsplit && s.hasRenderedImage; });
    add(0, "&View>Type>SolidModel", [v] {
        solidMode = solidMode == 0 ? 1 : 0;
        v->RedrawIfAutoRedraw();
    }, solidEnabled, check([](const ViewSnapshot& s) { return s.solidMode == 1; }));
    add(0, "&View>Type>SolidOverlay", [v] {
        solidMode = solidMode == 2 ? 0 : 2;
        v->RedrawIfAutoRedraw();
    }, solidEnabled, check([](const ViewSnapshot& s) { return s.solidMode == 2; }));
    add(0, "#105>Tour", [v] { runTour(*v); });

    // View types.
    auto type = [v](int t) { return [v, t] { v->SetViewType(t); }; };
    add(32768, "&View>Type>Perspective (System)", type(0), {},
        check([](const ViewSnapshot& s) { return s.systemMode != 0; }));
    add(32769, "&View>Type>Orthographic", type(1), {},
        check([](const ViewSnapshot& s) { return s.orthogonalMode != 0; }));
    const std::pair<const char*, int> axes[] = {{"X", 4}, {"Y", 5}, {"Z", 6}};
    int axisId = 32770;
    for (const auto& [name, t] : axes) {
        const int want = t;
        add(axisId++, std::string("&View>Type>") + name, type(t), {},
            check([want](const ViewSnapshot& s) { return s.viewType == want; }));
    }
    add(32773, "&View>Type>Film", type(2), haveDetector,
        check([](const ViewSnapshot& s) { return s.filmMode != 0; }));
    add(32962, "&View>Type>Intensity (radiometer)", [v] { v->OnIntensityView(); },
        when([](const ViewSnapshot& s) { return s.viewObjectHasRadiometer && !s.selectedPolynetRadiometer; }),
        check([](const ViewSnapshot& s) { return s.viewType == 7; }));
    add(32774, "&View>Type>Energy", type(3), when([](const ViewSnapshot& s) { return s.spotFileOpen; }),
        check([](const ViewSnapshot& s) { return s.energyMode != 0; }));
    add(33012, "&View>Type>PolarRadiometer", type(12),
        when([](const ViewSnapshot& s) { return s.selectedPolynetRadiometer; }),
        check([](const ViewSnapshot& s) { return s.viewType == 12; }));
    const std::pair<const char*, int> polars[] = {{"X", 11}, {"Y", 8}, {"Z", 9}, {"XY", 10}};
    for (const auto& [name, t] : polars) {
        const int want = t;
        add(0, std::string("#105>Polar>") + name, type(t), {},
            check([want](const ViewSnapshot& s) { return s.viewType == want; }));
    }

    // Tool dialogs.
    auto tool = [v](std::string name) {
        return [v, name] {
            if (viewSeams().toolDialog) {
                viewSeams().toolDialog(name);
                return;
            }
            if (viewSeams().clearRedefinitionMark) viewSeams().clearRedefinitionMark();
            redefineMode = 0;
        };
    };
    add(0, "&Edit>Place...", tool("Place..."), haveObjects);
    add(0, "&Edit>Rotate...", tool("Rotate..."));
    add(0, "&Edit>Translate...", tool("Translate..."));
    add(0, "&Window>SetWorkbox...", tool("SetWorkbox..."));
    add(0, "&Options>Wavelength...", tool("Wavelength..."));
    add(0, "&Window>Perspective...", tool("Perspective..."));
    add(0, "&View>Solid...", tool("Solid..."));
    add(0, "&View>IGES export...", tool("IGES export..."));
    add(0, "&Window>PlotScaling...", tool("PlotScaling..."));
    add(0, "&Design>Replicate...", tool("Replicate..."), haveObjects);
    add(0, "#105>AltSurfaces>Fresnel...", tool("AltSurfaces>Fresnel..."));

    // Printing and the clipboard.
    add(57607, "&File>&Print...", [v] { v->ui().print(false); }, {}, {}, {}, "Ctrl+P");
    add(57609, "&File>Print Pre&view", [v] { v->ui().print(true); });
    add(0, "&File>PrintMetaFile...", [v] {
        auto path = v->ui().chooseSaveFile("PrintMetaFile", "Windows Extended MetaFile (*.emf)");
        if (!path) return;
        std::string file = *path;
        if (std::filesystem::path(file).extension().empty()) file += ".emf";
        v->ui().writeMetafile(file);
    });
    add(57634, "&Edit>CopyBitmap", [v] { v->ui().copyBitmap(); }, {}, {}, {}, "Ctrl+C");
    add(0, "&Edit>CopyMetafile", [v] { v->ui().copyMetafile(); });
    return e;
}
