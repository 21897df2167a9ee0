#include "ui/core/selected_radiometer.h"

#include "display/analysis/angular_analysis.h"
#include "display/analysis/film_plane_analysis.h"
#include "engine/model/object_table.h"
#include "engine/polynet/polynet_belt.h"
#include "parts/part_list.h"
#include "parts/radiometers/radiometer.h"
#include "ui/core/shell_state.h"

namespace {

CPart* selectedPart() {
    const std::string& name = shellState().selectedPartName;
    return name.empty() || !thePartList ? nullptr : thePartList->FindPart(name);
}

} // namespace

std::optional<IntensityBins> partRadiometerBins(const std::string& partName) {
    const CPart* part = thePartList && !partName.empty() ? thePartList->FindPart(partName) : nullptr;
    if (!part || !part->radiometer) return std::nullopt;
    // The bins are read when the image is built, while the radiometer still stands.
    const CRadiometer* r = part->radiometer.get();
    IntensityBins bins;
    bins.nx = r->nx;
    bins.ny = r->ny;
    bins.maximum = r->maximum;
    bins.minimum = r->minimum;
    bins.scaled = [r](int column, int row) { return r->ScaledValue(column, row); };
    return bins;
}

int HasSelectedRadiometer() {
    const std::string& part = shellState().selectedPartName;
    const auto& source = bitmapState().radiometer;
    return !part.empty() && source && source(part).has_value() ? 1 : 0;
}

int IsSelectedPolynetRadiometer() {
    const CPart* part = selectedPart();
    return part && part->kindName == "polynet" && part->radiometer && part->polarPlane != kPolarNone
               ? 1
               : 0;
}

int PrepareSelectedPolarRadiometer() {
    return loadPolarRadiometer(selectedPart());
}

bool drawIntensityDetector(int object, double extents[4]) {
    const ObjectRecord* o = object > 0 ? getObject(object - 1) : nullptr;
    if (!o || o->typeCode != kTypeRaytraceDetector || !o->firstSurface) return false;
    if (!drawDetectorOutline(object)) return false;
    const double* e = o->firstSurface->extent;
    for (int i = 0; i < 4; ++i)
        extents[i] = e[i];
    return true;
}
