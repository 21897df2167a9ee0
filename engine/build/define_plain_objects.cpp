// The one-surface objects without optical power: axes, light sources, films, detectors and
// apertures.
#include "command/messages/messages.h"
#include "engine/build/define_support.h"
#include "engine/surfaces/quadrics.h"

namespace {

const char* const kAxisValues[] = {"size", " "};
const char* const kSizeValues[] = {"xsize", "ysize", " "};
const char* const kDetectorEdges[] = {"rectangular", "oval", " "};
const char* const kApertureValues[] = {"xhw", "yhw", "hxcen", "hycen", "hxhw", "hyhw", " "};
const char* const kApertureEdges[] = {"rectangle", "oval", " "};
const char* const kHoleShapes[] = {"hrectangle", "hoval", " "};

// Edge types of the option tables above: the first entry is rectangular, the second elliptic.
constexpr int kEdgeOfOption[] = {2, 1};

} // namespace

bool buildAxis(DefineContext& context) {
    readValues(context, kAxisValues, 1);
    const double size = useDefault(0, 5);
    ObjectRecord* object = context.object;
    object->typeCode = kTypeAxis;
    object->wireframeKind = kWireAxes;
    SurfaceRecord* s = object->firstSurface;
    s->shapeCode = kShapeNone;
    s->reflectance = 1.0;
    s->axisLength = size;
    return true;
}

bool buildLightSource(DefineContext& context) {
    ObjectRecord* object = context.object;
    object->typeCode = kTypeLightSource;
    object->wireframeKind = kWirePoint;
    object->firstSurface->shapeCode = kShapeNone;
    object->boundingRadius = 0;
    return true;
}

bool buildFilm(DefineContext& context) {
    readValues(context, kSizeValues, 2);
    useDefault(0, 20);
    useDefault(1, 20);
    ObjectRecord* object = context.object;
    object->typeCode = kTypeFilm;
    object->wireframeKind = kWirePoint;
    object->firstSurface->shapeCode = kShapeNone;
    object->boundingRadius = 0;
    return true;
}

bool buildDetector(DefineContext& context) {
    readValues(context, kSizeValues, 2);
    const double xsize = useDefault(0, 20);
    const double ysize = useDefault(1, 20);
    if (!(xsize > 0)) {
        errorText(outputChannel, " X half width must be positive.\n");
        return false;
    }
    if (!(ysize > 0)) {
        errorText(outputChannel, " Y half width must be positive.\n");
        return false;
    }
    ObjectRecord* object = context.object;
    object->typeCode = kTypeRaytraceDetector;
    object->wireframeKind = kWireFlatMirror;
    SurfaceRecord* s = object->firstSurface;
    s->edgeType = kEdgeOfOption[chooseOption(kDetectorEdges, "detector edge type", 0)];
    s->shapeCode = kShapeFlat;
    plane(s->quadric, {0, 0, 1});
    s->absorbtion = 1.0;
    setExtent(s, -xsize, xsize, -ysize, ysize, -1, 1);
    object->boundingRadius = 0;
    return true;
}

bool buildAperture(DefineContext& context) {
    readValues(context, kApertureValues, 6);
    const double xhw = useDefault(0, 20);
    const double yhw = useDefault(1, xhw);
    const double hxcen = useDefault(2, 0);
    const double hycen = useDefault(3, 0);
    const double hxhw = useDefault(4, 10);
    const double hyhw = useDefault(5, hxhw);
    if (!(xhw > 0 && yhw > 0)) {
        errorText(outputChannel, " Edge half widths must be greater than 0.\n");
        return false;
    }
    if (!(hxhw >= 0 && hyhw >= 0)) {
        errorText(outputChannel, " Hole half widths must not be less than 0.\n");
        return false;
    }
    if (!(hxcen - hxhw >= -xhw && hxcen + hxhw <= xhw && hycen - hyhw >= -yhw &&
          hycen + hyhw <= yhw)) {
        errorText(outputChannel, "Hole extends past edge of the aperture.\n");
        return false;
    }
    ObjectRecord* object = context.object;
    SurfaceRecord* s = object->firstSurface;
    if (hxhw > 0 && hyhw > 0) {
        s->hasHole = 1;
        s->holeLimits[0] = hxcen - hxhw;
        s->holeLimits[1] = hxcen + hxhw;
        s->holeLimits[2] = hycen - hyhw;
        s->holeLimits[3] = hycen + hyhw;
        s->holeShape = kEdgeOfOption[chooseOption(kHoleShapes, "aperture hole type", 0)];
    }
    setExtent(s, -xhw, xhw, -yhw, yhw, -1, 1);
    s->edgeType = kEdgeOfOption[chooseOption(kApertureEdges, "aperture edge type", 0)];
    s->number = 1;
    s->reflectance = 0;
    s->absorbtion = 1.0;
    s->shapeCode = kShapeFlat;
    plane(s->quadric, {0, 0, 1});
    object->typeCode = kTypeAperture;
    object->wireframeKind = kWireFlatMirror;
    object->boundingRadius = 0;
    return true;
}
