#include "parts/materials/material.h"

#include "engine/optics/direction_frames.h"
#include "engine/optics/optics.h"
#include "engine/optics/random_sampling.h"
#include "parts/materials/grin_step.h"
#include "command/text/number_text.h"

CMaterial::CMaterial(double scatter_, double absorb_, double anisotropy_)
    : bulk(1), scatter(scatter_), absorb(absorb_), anisotropy(anisotropy_) {}

CMaterial::CMaterial(const std::string& fileName, double maxdist_)
    : gradientIndex(1), maxdist(maxdist_), pluginFileName(fileName) {
    int status = kPluginBound;
    entry = LoadPluginEntry(fileName, "UserGrinDefinition", status, module);
    if (entry) return;
    if (status == kPluginEntryMissing)
        errorText(outputChannel, "Could not find UserGrinDefinition function in DLL\n");
    else
        errorText(outputChannel, "Could not load DLL\n");
}

int CMaterial::SampleFreePath(double distance, double& path) const {
    if (!bulk || !(scatter > 0.0)) return 0;
    double drawn = drawFreePath(scatter);
    if (drawn < distance) {
        path = drawn;
        return 1;
    }
    return 0;
}

int CMaterial::ScatterDirection(const Vec3& in, Vec3& out) const {
    if (!bulk) return 0;
    Vec3 deflection;
    directionFromCosine(deflection, drawHenyeyGreenstein(anisotropy));
    Vec3 direction = in;
    rotateIntoFrame(direction, deflection);
    normalize3(direction);
    out = direction;
    return 1;
}

std::string CMaterial::Description() const {
    if (bulk)
        return formatCText("Material scatter=%lg absorb=%lg anisotropy=%lg\n", scatter, absorb,
                           anisotropy);
    return formatCText("Gradient Index material stepsize=%lg DLL Name is %s\n", maxdist,
                       pluginFileName.c_str());
}

void CMaterial::Describe(OutputChannel channel) const {
    outText(channel, "%s", Description().c_str());
}

double CMaterial::GrinIndex(Vec3& position, Vec3& direction) {
    return GrinStep(position, direction, maxdist);
}

double CMaterial::GrinStep(Vec3& position, Vec3& direction, double step) {
    if (::GrinStep(entry, record, step, position, direction, traceWavelength()) != 0) return 0.0;
    return maxdist;
}
