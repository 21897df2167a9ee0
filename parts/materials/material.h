// The material of a part: either a bulk medium that scatters and absorbs in its volume, or a
// gradient-index medium whose index a plug-in gives point by point. The tracer asks a bulk
// medium for free paths and scatter directions and steps a ray through a gradient-index one;
// the material command makes and replaces materials. Exactly one of `bulk` and `gradientIndex`
// is 1; the fields of the other kind are not read.
#pragma once

#include <string>

#include "command/messages/messages.h"
#include "engine/math/vector_math.h"
#include "parts/plugin_binder.h"
#include "plugins/include/plugin_interface.h"

class CMaterial {
  public:
    // A bulk medium: scattering and absorption coefficients per model unit and the
    // Henyey-Greenstein anisotropy g.
    CMaterial(double scatter, double absorb, double anisotropy);
    // A gradient-index medium: binds "UserGrinDefinition" of the plug-in `fileName` (kept as
    // typed) with integration step `maxdist` (the caller has scaled it by 0.99991). When the
    // entry cannot be bound, "Could not load DLL" or "Could not find UserGrinDefinition function
    // in DLL" goes to the error channel and the material is built with a null entry; the
    // material command then discards it.
    CMaterial(const std::string& fileName, double maxdist);
    virtual ~CMaterial() = default;
    CMaterial(const CMaterial&) = delete;
    CMaterial& operator=(const CMaterial&) = delete;

    // Bulk: draws an exponential free path with the scatter coefficient; when it is shorter than
    // `distance` stores it in `path` and returns 1. Otherwise 0, and always 0 for a
    // gradient-index medium. A scatter coefficient not above 0 never scatters and draws nothing.
    int SampleFreePath(double distance, double& path) const;
    // Bulk: a scattered unit direction about the incoming unit direction `in`, with a
    // Henyey-Greenstein polar cosine and a uniform azimuth; returns 1. A gradient-index medium
    // returns 0 and writes nothing. out may be in.
    int ScatterDirection(const Vec3& in, Vec3& out) const;
    // One line describing the material on `channel`.
    void Describe(OutputChannel channel) const;
    // The line Describe writes.
    std::string Description() const;

    // One gradient-index step of length maxdist at the current trace wavelength, in the object's
    // frame. Returns maxdist, or 0.0 when the step failed (see GrinStep for what moved).
    double GrinIndex(Vec3& position, Vec3& direction);
    // The same with a step of the given length; returns maxdist all the same, or 0.0.
    double GrinStep(Vec3& position, Vec3& direction, double step);

    int bulk = 0;
    double scatter = 0;
    double absorb = 0;
    double anisotropy = 0;
    int gradientIndex = 0;
    double maxdist = 0;
    std::string pluginFileName; // as typed in the material command
    PluginEntry entry = nullptr;
    // Passed on every evaluation; indices 10 to 25 (p1 to p16) are the material command's.
    GrinCallRecord record{};
    void* module = nullptr; // the loaded library, never unloaded
};
