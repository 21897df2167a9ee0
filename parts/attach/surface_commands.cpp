// The part side of the modify command: scatterers and coatings of surfaces, and the centre and
// extent bookkeeping that the part writer saves.
#include <string>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/commands/command_values.h"
#include "engine/commands/surface_designator.h"
#include "engine/optics/coatings.h"
#include "parts/attach/attach_support.h"
#include "parts/part_list.h"
#include "parts/scatterers/scatterer.h"

namespace {

// The modify command's item table, as the geometry step reads it (surface by default).
const char* const kModifyItems[] = {"surface",   "object",  "center",      "extent",
                                    "scatterer", "sources", "altsurfaces", " "};
enum ModifyItem { kItemSurface, kItemObject, kItemCenter, kItemExtent };
const char* const kCenterValues[] = {"object", "dx", "dy", "dz", " "};
const char* const kExtentValues[] = {"object", "x1", "y1", "z1", "x2", "y2", "z2", " "};

const char* const kSurfaceModifications[] = {"attributes", "hole",      "fresnel",
                                             "metal",      "lwirmetal", " "};
enum SurfaceModification { kAttributes, kHole, kFresnel, kMetal, kLwirMetal };
const char* const kCoatingValues[] = {"surface", "cons1", "cons2", "cons3",
                                      "cons4",   "cons5", "cons6", " "};
const char* const kOffWord[] = {"off", " "};

const char* const kScattererWord[] = {"scatterer", " "};
const char* const kScatterKinds[] = {"lambertian", "gaussian", "powerlaw", "xy_exponential",
                                     "none",       "show",     " "};
enum ScatterKind { kLambertian, kGaussian, kPowerLaw, kXyExponential, kNone, kShow };
const char* const kLambertianValues[] = {"surface", "fraction_diffuse", " "};
const char* const kGaussianValues[] = {"surface", "fraction_diffuse", "sigma", " "};
const char* const kPowerLawValues[] = {"surface", "fraction_diffuse", "power", " "};
const char* const kXyExponentialValues[] = {"surface", "fraction_diffuse", "xsigma", "ysigma", " "};
const char* const kSurfaceOnly[] = {"surface", " "};

// The part of the object a designator names, and the surface number within it.
CPart* designatedPart(CPartList& list, double designator, int& objectIndex, int& surfaceNumber) {
    splitSurfaceNumber(designator, objectIndex, surfaceNumber);
    if (!getObject(objectIndex)) return nullptr;
    return list.FindPart(objectLabel(objectIndex + 1));
}

ScattererPtr makeScatterer(int kind) {
    const double fraction = valueOr(1, 0);
    switch (kind) {
    case kLambertian:
        return ScattererPtr(new CLambertianScatterer(fraction));
    case kGaussian:
        return ScattererPtr(new CGaussianScatterer(fraction, valueOr(2, 0)));
    case kPowerLaw:
        return ScattererPtr(new CPowerLawScatterer(fraction, valueOr(2, 0)));
    default:
        return ScattererPtr(new CXyExponentialScatterer(fraction, valueOr(2, 0), valueOr(3, 0)));
    }
}

} // namespace

int CPartList::ModifyScatterer() {
    if (!attach::modifierGiven(kScattererWord)) return 0;
    const int kind = modifierChoice(kScatterKinds, kShow, attach::kSeveralModifiers);
    static const KeywordTable valueTables[] = {kLambertianValues, kGaussianValues,
                                               kPowerLawValues,   kXyExponentialValues,
                                               kSurfaceOnly,      kSurfaceOnly};
    const KeywordTable values = valueTables[kind];
    readCommandValues(values, keywordTableSize(values));
    // The geometry step does not read this form: the designator's messages are this step's.
    if (!numericGiven[0]) {
        errorText(outputChannel, " No surface specified, command ignored.\n ");
        return 0;
    }
    int objectIndex = 0, surfaceNumber = 0, error = 0;
    parseSurfaceNumber(numericValues[0], objectIndex, surfaceNumber, error);
    if (error) return 0;
    CPart* part = FindPart(objectLabel(objectIndex + 1));
    if (!part) {
        errorText(outputChannel, "Part not found.\n");
        return 0;
    }
    CSurfaceHandle* handle = part->GetSurfaceHandle(surfaceNumber);
    if (!handle) return 0;
    if (kind == kShow) {
        if (handle->child)
            outText(outputChannel, "%s",
                    handle->child->WriteCommand(part->name, surfaceNumber).c_str());
        else
            outText(outputChannel, "No scattering defined for surface.\n");
        return 1;
    }
    handle->SetChild(kind == kNone ? ScattererPtr() : makeScatterer(kind));
    return 1;
}

int CPartList::ModifySurfaceFresnel(int geometryAccepted) {
    const int item = modifierChoice(kModifyItems, kItemSurface, " ");
    if (item == kItemCenter || item == kItemExtent) {
        // The bookkeeping follows the geometry: a refused shift or extent is not saved.
        if (geometryAccepted != 1) return 0;
        readCommandValues(item == kItemCenter ? kCenterValues : kExtentValues,
                          item == kItemCenter ? 4 : 7);
        int objectIndex = 0, surfaceNumber = 0;
        CPart* part = designatedPart(*this, numericValues[0], objectIndex, surfaceNumber);
        if (!part) return 0;
        if (item == kItemCenter) {
            part->centerGiven = 1;
            part->centerX += valueOr(1, 0);
            part->centerY += valueOr(2, 0);
        } else {
            const SurfaceRecord* surface = getSurface(objectIndex, surfaceNumber);
            if (!surface) return 0;
            part->extentGiven = 1;
            for (int i = 0; i < 6; ++i)
                part->extentLimits[i] = surface->extent[i];
        }
        return 1;
    }
    if (item != kItemSurface) return 0;
    const int coating = modifierChoice(kSurfaceModifications, kAttributes, " ");
    if (coating != kFresnel && coating != kMetal && coating != kLwirMetal) return 0;
    // The geometry step checked the designator and reported a bad one.
    if (geometryAccepted != 1) return 0;
    readCommandValues(kCoatingValues, 7);
    int objectIndex = 0, surfaceNumber = 0;
    CPart* part = designatedPart(*this, numericValues[0], objectIndex, surfaceNumber);
    CSurfaceHandle* handle = part ? part->GetSurfaceHandle(surfaceNumber) : nullptr;
    if (!handle) return 0;

    int mode = kCoatingOff;
    if (!attach::modifierGiven(kOffWord))
        mode = coating == kFresnel ? kCoatingFresnel
               : coating == kMetal ? kCoatingMetal
                                   : kCoatingLwirMetal;
    if (mode == kCoatingMetal || mode == kCoatingLwirMetal) {
        CoatingRecord record;
        record.mode = mode;
        for (int i = 0; i < 6; ++i)
            record.cons[i] = valueOr(i + 1, 0);
        const int refused =
            mode == kCoatingMetal ? checkMetalCoating(record) : checkLwirMetalCoating(record);
        // The check may mend the absorb flag.
        for (int i = 0; i < 6; ++i)
            handle->cons[i] = record.cons[i];
        if (refused) mode = kCoatingOff;
    }
    handle->coatingMode = mode;

    const char* name = part->name.c_str();
    const double* c = handle->cons;
    switch (mode) {
    case kCoatingOff:
        outText(outputChannel, "Surface %s.%d set fresnel mode OFF.\n", name, surfaceNumber);
        break;
    case kCoatingFresnel:
        outText(outputChannel, "Surface %s.%d set fresnel mode ON.\n", name, surfaceNumber);
        break;
    case kCoatingMetal:
        outText(outputChannel, "Surface %s.%d set fresnel mode METAL %lg %lg %lg %lg %lg %lg .\n",
                name, surfaceNumber, c[0], c[1], c[2], c[3], c[4], c[5]);
        break;
    default:
        outText(outputChannel,
                "Surface %s.%d set fresnel mode LWIRMETAL %lg %lg %lg %lg %lg %lg .\n", name,
                surfaceNumber, c[0], c[1], c[2], c[3], c[4], c[5]);
        break;
    }
    return 1;
}
