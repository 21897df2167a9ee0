// The part writer: the command lines that recreate a part when they are run again, into the log,
// a saved model or replicate's temporary file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "command/interpreter/aliases.h"
#include "command/saving/model_saving.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/aspheric_surfaces.h"
#include "parts/part_list.h"

namespace {

// The saved step of a gradient-index material is the step as the material command takes it:
// the command shortens what it is given by this factor.
constexpr double kGrinStepFactor = 0.99991;

bool beginsWithDigit(const std::string& s) {
    return !s.empty() && s[0] >= '0' && s[0] <= '9';
}

// A name as written: one beginning with a digit would read as an object number.
std::string writtenName(const std::string& name) {
    return beginsWithDigit(name) ? "obno" + name : name;
}

bool typeIn(int type, std::initializer_list<int> types) {
    for (int t : types)
        if (t == type) return true;
    return false;
}

// True when every surface of the object has the same value of the field; the object-wide modify
// commands set all surfaces at once, so only then does one such line restore it.
template <class Field> bool uniform(const ObjectRecord* o, Field field) {
    for (const SurfaceRecord* s = o->firstSurface; s; s = s->next)
        if (field(s) != field(o->firstSurface)) return false;
    return true;
}

// How many values the alternate-surface command of a routine takes (the surface excluded).
int altValueCount(const AltSurfaceRecord* r) {
    const std::string name = r->routineName ? r->routineName : "";
    if (name == "aspheric") return 6;
    if (name == "toric") return 3;
    if (name == "fresnel") return 2;
    if (name == "grating") return 3;
    return r->valueCount;
}

// The command path of an alternate-surface record; fresnel facets carry their symmetry, which no
// value restores.
std::string altPath(const AltSurfaceRecord* r) {
    std::string path = r->routineName ? r->routineName : "";
    if (path == "fresnel") {
        if (r->values[2] != 0 && r->values[3] == 0) path += "/x_cylindrical";
        if (r->values[2] == 0 && r->values[3] != 0) path += "/y_cylindrical";
    }
    return path;
}

} // namespace

std::string CPart::WrittenName() const {
    return writtenName(partNameOverride().empty() ? name : partNameOverride());
}

void CPart::WriteDefinition(OutputChannel stream) {
    const std::string n = WrittenName();
    std::string d = defineCommandPath.empty() ? definePath : defineCommandPath;
    if (catalogGlass) d += "/material=" + quotedText(glassName(*catalogGlass));
    d += " " + n;
    outText(stream, "# >          Object definition:               %s\n", n.c_str());
    const ObjectRecord* o = geometry;
    const int type = o ? o->typeCode : 0;
    if (type != kTypePolynet && !definePath.empty()) {
        outText(stream, "%s", d.c_str());
        for (int i = 0; i < defineValueCount && i < kDefineValues; ++i)
            outText(stream, " %lg", defineValues[i]);
        outText(stream, "\n");
    }
    const SurfaceRecord* first = o ? o->firstSurface : nullptr;
    if (o && o->traceable && first) {
        if (typeIn(type, {kTypeLens, kTypeRod, kTypePolynet, kTypeCylindricLens}) &&
            uniform(o, [](const SurfaceRecord* s) { return s->index; }))
            outText(stream, "modify/object/index %s %lg\n", n.c_str(), first->index);
        if (typeIn(type, {kTypeLens, kTypeRod, kTypeCylindricLens})) {
            if (first->absorbtivity != 0 &&
                uniform(o, [](const SurfaceRecord* s) { return s->absorbtivity; }))
                outText(stream, "modify/object/alpha %s %lg\n", n.c_str(), first->absorbtivity);
            if (first->luminence != 0 &&
                uniform(o, [](const SurfaceRecord* s) { return s->luminence; }))
                outText(stream, "modify/object/luminence %s %lg\n", n.c_str(), first->luminence);
        }
    }
    if (sourceEntry && !sourceModulePath.empty()) {
        const bool table = sourceKind == kSourceIesna || sourceKind == kSourceGridsrc;
        std::string line = "modify/source";
        if (sourceKind > kSourceCustom && sourceKind <= kSourceStandard)
            line += std::string("/") + sourceKindWords[sourceKind];
        line += "/name=" + quotedText(table ? sourceTableName : sourceModulePath) + " " + n;
        outText(stream, "%s", line.c_str());
        for (int k = 0; k < 7; ++k)
            outText(stream, " %lg", sourceRecord.v[SRC_PARAM0 + k]);
        outText(stream, "\n");
    }
    if (o && o->traceable) {
        int i = 0;
        for (const SurfaceRecord* s = o->firstSurface; s; s = s->next) {
            ++i;
            const std::string si = n + "." + std::to_string(i);
            const CSurfaceHandle* h = GetSurfaceHandle(i);
            if (h && h->child) outText(stream, "%s", scattererCommandText(*h->child, n, i).c_str());
            if (h && h->coatingMode == kCoatingFresnel)
                outText(stream, "modify/surface/fresnel/on %s\n", si.c_str());
            if (h && (h->coatingMode == kCoatingMetal || h->coatingMode == kCoatingLwir))
                outText(stream, "modify/surface/%s/on %s %lg %lg %lg %lg %lg %lg\n",
                        h->coatingMode == kCoatingMetal ? "metal" : "lwir", si.c_str(), h->cons[0],
                        h->cons[1], h->cons[2], h->cons[3], h->cons[4], h->cons[5]);
            if (type != kTypePolynet)
                outText(stream, "modify/surface/attributes %s %g %g %g %g\n", si.c_str(),
                        s->reflectance, s->absorbtion, s->luminance, s->diffuse);
            const HoleState* made = h ? &h->holeAsDefined : nullptr;
            const bool aperture = type == kTypeAperture;
            const bool holeChanged =
                !made || made->hasHole != s->hasHole || made->shape != s->holeShape ||
                std::memcmp(made->limits, s->holeLimits, sizeof s->holeLimits) != 0;
            if (s->hasHole && (!aperture || holeChanged)) {
                const double* l = s->holeLimits;
                outText(stream, "modify/surface/hole/%s %s %lg %lg %lg %lg\n",
                        s->holeShape == 2 ? "rectangular" : "oval", si.c_str(), (l[0] + l[1]) / 2,
                        (l[2] + l[3]) / 2, (l[1] - l[0]) / 2, (l[3] - l[2]) / 2);
            } else if (!s->hasHole && aperture && holeChanged) {
                outText(stream, "modify/surface/hole/delete %s\n", si.c_str());
            }
            // An aspheric function moves with the centre shifts made after it was added (its
            // offset holds them); the shifts made before it come before its line, so that a
            // reload moves it as far as it was moved, whichever order the user took.
            const AltSurfaceRecord* aspheric = centerGiven && i == 1 ? asphericRecord(s) : nullptr;
            double afterX = centerX, afterY = centerY;
            if (aspheric) {
                afterX = aspheric->values[6];
                afterY = aspheric->values[7];
                const double beforeX = centerX - afterX, beforeY = centerY - afterY;
                if (beforeX != 0 || beforeY != 0) {
                    outText(stream, "modify/center %s %lg %lg\n", si.c_str(), beforeX, beforeY);
                    if (afterX == 0 && afterY == 0) aspheric = nullptr; // nothing after it
                }
            }
            for (const AltSurfaceRecord* r = s->altSurfaces; r; r = r->next) {
                // A CPC's records come with its define line.
                if (isCpcRoutine(r) || !r->routineName) continue;
                outText(stream, "modify/altsurfaces/%s %s", altPath(r).c_str(), si.c_str());
                for (int k = 0; k < altValueCount(r) && k < kAltSurfaceValues; ++k)
                    outText(stream, " %lg", r->values[k]);
                outText(stream, "\n");
            }
            // The shift moves the whole object: with surface 1.
            if (centerGiven && i == 1 && (aspheric || !asphericRecord(s)))
                outText(stream, "modify/center %s %lg %lg\n", si.c_str(), afterX, afterY);
            if (extentGiven)
                outText(stream, "modify/extent %s %lg %lg %lg %lg %lg %lg\n", si.c_str(),
                        s->extent[0], s->extent[2], s->extent[4], s->extent[1], s->extent[3],
                        s->extent[5]);
        }
    }
    if (radiometer)
        outText(stream, "radiometer/attach %s %d %d\n", n.c_str(), radiometerColumns(*radiometer),
                radiometerRows(*radiometer));
    if (material) {
        const MaterialDescription m = describeMaterial(*material);
        if (m.bulk)
            outText(stream, "material/attach %s %lg %lg %lg\n", n.c_str(), m.scatter, m.absorb,
                    m.anisotropy);
        else if (m.grin) {
            outText(stream, "material/grin/name=%s %s %lg", quotedText(m.moduleName).c_str(),
                    n.c_str(), m.maxdist / kGrinStepFactor);
            for (double p : m.parameters)
                outText(stream, " %lg", p);
            outText(stream, "\n");
        }
    }
}

void CPart::WritePlacementLines(OutputChannel stream) {
    const std::string n = WrittenName();
    CPlacementInfo info;
    if (geometry && GetPlacement(info) && geometry->placed) {
        std::string reference = info.referenceName;
        if (thePartList && thePartList->FindPart(reference)) reference = writtenName(reference);
        outText(stream, "place/rotations %s %lg %lg %lg %lg %lg %lg %s\n", n.c_str(), info.x,
                info.y, info.z, info.alpha, info.beta, info.gamma, reference.c_str());
    }
    if (geometry && !geometry->activated) outText(stream, "deactivate %s\n", n.c_str());
}

int CPart::WriteCommands(OutputChannel stream) {
    WriteDefinition(stream);
    WritePlacementLines(stream);
    return 1;
}

namespace {

// Passes on what `write` gives for `part` when every line of it reads back whole; otherwise
// nothing, after the message that names the part.
bool writeWholeLines(CPart& part, OutputChannel stream, void (CPart::*write)(OutputChannel)) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* lines = open_memstream(&text, &size);
    if (!lines) return false;
    (part.*write)(OutputChannel(lines));
    const bool ok = std::fclose(lines) == 0 && text;
    const bool fits = ok && linesFitReader(std::string_view(text, size));
    if (fits)
        outText(stream, "%s", text);
    else if (ok)
        errorText(outputChannel,
                  " Part %s cannot be saved: a line of it would be longer than a command line.\n",
                  part.name.c_str());
    std::free(text);
    return fits;
}

} // namespace

bool CPartList::WriteAllParts(OutputChannel stream) {
    std::vector<CPart*> order;
    for (auto& p : parts_)
        if (p->geometry && p->geometry->typeCode == kTypePolynet) order.push_back(p.get());
    for (auto& p : parts_)
        if (!p->geometry || p->geometry->typeCode != kTypePolynet) order.push_back(p.get());
    std::vector<CPart*> deferred;
    for (std::size_t i = 0; i < order.size(); ++i) {
        CPart* p = order[i];
        if (!writeWholeLines(*p, stream, &CPart::WriteDefinition)) return false;
        CPlacementInfo info;
        bool later = false;
        if (p->GetPlacement(info) && info.referenceNumber != 0) {
            for (std::size_t j = i + 1; j < order.size(); ++j)
                if (order[j]->geometry && order[j]->geometry->number == info.referenceNumber)
                    later = true;
        }
        if (later)
            deferred.push_back(p);
        else if (!writeWholeLines(*p, stream, &CPart::WritePlacementLines))
            return false;
    }
    for (CPart* p : deferred)
        if (!writeWholeLines(*p, stream, &CPart::WritePlacementLines)) return false;
    return true;
}
