#include "ui/props/property_snapshot.h"

#include <cstdlib>
#include <cstring>

#include "command/interpreter/aliases.h"
#include "engine/model/object_table.h"
#include "engine/surfaces/alt_surfaces.h"
#include "parts/glass/glass_catalog.h"
#include "parts/materials/material.h"
#include "parts/part_list.h"
#include "parts/plugin_binder.h"
#include "parts/scatterers/scatterer.h"
#include "parts/templates/define_params.h"
#include "parts/text/c_locale_text.h"
#include "platform/platform_hooks.h"

namespace {

// The source record's first parameter (p0); seven follow the command's object.
constexpr int kSourceFirstParameter = 14;
constexpr int kSourceParameterCount = 7;
// The material command multiplies the step it is given by this; the page shows the step given.
constexpr double kGrinStepFactor = 0.99991;

template <std::size_t N> void fillTexts(std::array<std::string, N>& texts, const char* text) {
    for (auto& t : texts)
        t = text;
}

void blankPages(PropertySnapshot& s) {
    DefinitionPageValues& d = s.definition;
    fillTexts(d.labels, kNotApplicable);
    d.glassNames.assign(1, kNoEntry);
    s.placement.objectNames.assign(1, kNoEntry);
    fillTexts(s.altSurface.labels, kNotApplicable);
    fillTexts(s.scattering.labels, kNotApplicable);
    fillTexts(s.media.labels, "");
    fillTexts(s.source.labels, "");
}

void loadDefinition(const CPart& part, const SurfaceRecord* surface, DefinitionPageValues& d) {
    if (surface && surface->inside && surface->inside->owner)
        d.mediumOwner = objectLabel(surface->inside->owner->number);
    d.defineText = part.definePath;
    d.objectName = part.name;

    // The glass list: no glass, then every catalog glass once, the part's own selected.
    for (const auto& [key, glass] : glassCatalog.Glasses()) {
        (void)key;
        d.glassNames.push_back(glassName(*glass));
        if (glass.get() == part.catalogGlass)
            d.glassSelection = static_cast<int>(d.glassNames.size()) - 1;
    }

    // The part's own values are preset before the template is loaded, as a redefinition does,
    // so the template's names come with the values that made this object.
    for (int i = 0; i < part.defineValueCount && i < CDefineParams::kSlots; ++i)
        defineParams.SetParam(i, part.defineValues[i]);
    const int loaded =
        part.definePath.size() >= 3 ? defineParams.LoadTemplate(part.definePath.c_str()) : 0;
    const int named = loaded ? defineParams.paramCount : 0;
    int count = std::max(named, part.defineValueCount);
    if (count > DefinitionPageValues::kValues) count = DefinitionPageValues::kValues;
    for (int i = 0; i < count; ++i) {
        if (i < named && defineParams.paramNames[i][0])
            d.labels[static_cast<std::size_t>(i)] = defineParams.paramNames[i];
        // The part keeps its values whole; the template's texts hold six digits only.
        if (i < part.defineValueCount)
            d.values[static_cast<std::size_t>(i)] = part.defineValues[i];
        else
            d.values[static_cast<std::size_t>(i)] =
                std::strtod(defineParams.paramValues[i], nullptr);
    }
    d.valueCount = count;
}

void loadPlacement(CPart& part, PlacementPageValues& p) {
    for (int i = 0; i < thePartList->partCount(); ++i)
        if (const CPart* other = thePartList->part(i)) p.objectNames.push_back(other->name);
    CPlacementInfo info;
    if (part.GetPlacement(info)) {
        p.x = info.x;
        p.y = info.y;
        p.z = info.z;
        p.alpha = info.alpha;
        p.beta = info.beta;
        p.gamma = info.gamma;
        p.insideName = info.referenceNumber ? info.referenceName : std::string();
    }
    if (part.geometry) {
        p.activated = part.geometry->activated ? 1 : 0;
        p.inPlace = part.geometry->placed ? 1 : 0;
    }
}

void loadExtent(const CPart& part, const SurfaceRecord* surface, ExtentPageValues& e) {
    const int type = part.geometry ? part.geometry->typeCode : 0;
    // The kinds whose holes the modify command changes; an aperture's hole comes with its
    // definition.
    e.holeSection = type == kTypeMirror || type == kTypeRaytraceDetector || type == kTypeAperture;
    if (!surface) return;
    // A cavity reflects on the side its definition named: inside, outside or both.
    if (type == kTypeBarrel || type == kTypeCone || type == kTypeCylinder) {
        e.inside = surface->side <= 0 ? 1 : 0;
        e.outside = surface->side >= 0 ? 1 : 0;
    }
    e.xMin = surface->extent[0];
    e.xMax = surface->extent[1];
    e.yMin = surface->extent[2];
    e.yMax = surface->extent[3];
    e.zMin = surface->extent[4];
    e.zMax = surface->extent[5];
    if (surface->hasHole) {
        const double* h = surface->holeLimits;
        e.holeXCenter = (h[0] + h[1]) * 0.5;
        e.holeXHalf = (h[1] - h[0]) * 0.5;
        e.holeYCenter = (h[2] + h[3]) * 0.5;
        e.holeYHalf = (h[3] - h[2]) * 0.5;
        e.holeType = surface->holeShape == 1 ? 2 : 1;
    } else {
        e.holeType = 0;
    }
}

void loadAltSurface(const SurfaceRecord* surface, AltSurfacePageValues& a) {
    const AltSurfaceRecord* r = surface ? surface->altSurfaces : nullptr;
    if (!r) {
        a.type = 0;
        return;
    }
    const char* name = r->routineName ? r->routineName : "";
    if (std::strcmp(name, "aspheric") == 0)
        a.type = 2;
    else if (std::strcmp(name, "toric") == 0)
        a.type = 1;
    else if (std::strcmp(name, "grating") == 0)
        a.type = 4;
    else if (std::strcmp(name, "fresnel") == 0)
        a.type = 3;
    else
        a.type = 5;
    if (a.type == 3) {
        // Values 2 and 3 are the facet factors of the two axes: radial keeps both.
        a.fresnelKind = 0;
        if (r->values[2] == 0) a.fresnelKind = 2;
        if (r->values[3] == 0) a.fresnelKind = 1;
    }
    int shown = 3;
    if (r->valueCount > 3) shown = 4;
    if (r->valueCount > 4) shown = 5;
    if (r->valueCount > 5) shown = 6;
    for (int i = 0; i < shown; ++i) {
        const auto k = static_cast<std::size_t>(i);
        a.values[k] = r->values[i];
        if (r->names && i + 1 < r->namedCount + 1 && r->names[i + 1] && r->names[i + 1][0] != ' ')
            a.labels[k] = std::string(r->names[i + 1]).substr(0, 20);
    }
}

void loadScattering(const CSurfaceHandle* handle, ScatteringPageValues& s) {
    const CScatterer* c = handle ? handle->child.get() : nullptr;
    if (!c) {
        s.type = 0;
        return;
    }
    if (const auto* l = dynamic_cast<const CLambertianScatterer*>(c)) {
        s.type = 1;
        s.labels = {"fraction", kNotApplicable, kNotApplicable};
        s.values = {l->fraction, 0, 0};
    } else if (const auto* g = dynamic_cast<const CGaussianScatterer*>(c)) {
        s.type = 2;
        s.labels = {"fraction", "sigma", kNotApplicable};
        s.values = {g->fraction, g->sigma, 0};
    } else if (const auto* p = dynamic_cast<const CPowerLawScatterer*>(c)) {
        s.type = 3;
        s.labels = {"fraction", "power", kNotApplicable};
        s.values = {p->fraction, p->power, 0};
    } else if (const auto* x = dynamic_cast<const CXyExponentialScatterer*>(c)) {
        s.type = 4;
        s.labels = {"fraction", "xsigma", "ysigma"};
        s.values = {x->fraction, x->xsigma, x->ysigma};
    } else {
        s.type = 0;
    }
}

void loadFresnel(const CSurfaceHandle* handle, FresnelPageValues& f) {
    if (!handle) {
        f.type = 0;
        return;
    }
    f.type = handle->coatingMode >= 0 && handle->coatingMode <= 3 ? handle->coatingMode : 0;
    for (int i = 0; i < 6; ++i)
        f.cons[static_cast<std::size_t>(i)] = handle->cons[i];
}

void loadMedia(const CPart& part, MediaPageValues& m) {
    const SurfaceRecord* first = part.geometry ? part.geometry->firstSurface : nullptr;
    m.absorptionLoaded = m.volumeAbsorption = first ? first->absorbtivity : 0;
    const CMaterial* material = part.material.get();
    if (!material) {
        m.materialType = 0;
        return;
    }
    if (material->gradientIndex) {
        m.materialType = 2;
        m.pluginFile = material->pluginFileName;
        m.labels = {"max step size", "p1", "p2", "p3", "p4", "p5", "p6", "p7", "p8"};
        pluginParameterLabels(material->pluginFileName, "UserGrinDefinition", m.labels);
        m.values[0] = material->maxdist / kGrinStepFactor;
        // The record's indices 10 on are p1 to p16.
        for (int i = 1; i < 9; ++i)
            m.values[static_cast<std::size_t>(i)] = material->record.v[9 + i];
    } else {
        m.materialType = 1;
        m.labels = {"scatter", "absorb", "anisotropy", "", "", "", "", "", ""};
        m.values[0] = material->scatter;
        m.values[1] = material->absorb;
        m.values[2] = material->anisotropy;
    }
}

void loadSource(const CPart& part, SourcePageValues& s) {
    for (int i = 0; i < 7; ++i)
        s.labels[static_cast<std::size_t>(i)] = "p" + std::to_string(i + 1);
    if (part.sourceModulePath.empty()) {
        s.type = 0;
        return;
    }
    switch (part.sourceKind) {
    case kSourceCustom:
        s.type = 1;
        break;
    case kSourceIesna:
        s.type = 2;
        break;
    case kSourceStandard:
        s.type = 3;
        break;
    case kSourceGridsrc:
        s.type = 4;
        break;
    default:
        s.type = -1;
        break; // a pixel source: no choice of the page
    }
    if (part.sourceKind == kSourceIesna || part.sourceKind == kSourceGridsrc)
        s.tableFile = part.sourceTableName;
    else if (part.sourceKind != kSourcePixsrc)
        s.dllFile = part.sourceModulePath;
    if (part.sourceEntry) pluginParameterLabels(part.sourceModulePath, "UserSourceRay", s.labels);
    for (int i = 0; i < kSourceParameterCount; ++i)
        s.values[static_cast<std::size_t>(i)] = part.sourceRecord.v[kSourceFirstParameter + i];
}

} // namespace

bool pluginParameterLabels(const std::string& modulePath, const char* entryName,
                           std::array<std::string, 9>& labels) {
    if (modulePath.empty()) return false;
    int status = 0;
    void* module = nullptr;
    if (!LoadPluginEntry(modulePath, entryName, status, module) || status != kPluginBound)
        return false;
    const PluginEntry names = GetPluginParamNames();
    if (!names) return false;
    for (int i = 0; i < 9; ++i)
        labels[static_cast<std::size_t>(i)] = pluginParamName(names, i);
    return true;
}

PropertySnapshot LoadPropertySnapshot(const std::string& label, int surfaceNumber) {
    PropertySnapshot s;
    const int n = surfaceNumber < 1 ? 1 : surfaceNumber;
    s.title = label + formatCText(".%d", surfaceNumber);
    blankPages(s);
    const std::string& name = s.title;
    s.extent.name = s.definition.objectName = s.placement.name = s.attributes.name =
        s.altSurface.name = s.scattering.name = s.fresnel.name = s.media.name = s.source.name =
            name;

    CPart* part = thePartList ? thePartList->FindPart(label) : nullptr;
    if (!part) {
        s.definition.objectName = kNotApplicable;
        return s;
    }
    s.hasPart = true;
    CSurfaceHandle* handle = part->GetSurfaceHandle(n);
    const SurfaceRecord* surface = handle ? handle->surface : nullptr;
    s.faceFound = surface != nullptr;

    loadDefinition(*part, surface, s.definition);
    s.definition.objectName = name;
    loadPlacement(*part, s.placement);
    if (surface) {
        s.attributes.refl = surface->reflectance;
        s.attributes.absor = surface->absorbtion;
    }
    for (int i = 0; i < 12; ++i)
        s.attributes.indices[static_cast<std::size_t>(i)] = part->indices[i];
    loadExtent(*part, surface, s.extent);
    loadAltSurface(surface, s.altSurface);
    loadScattering(handle, s.scattering);
    loadFresnel(handle, s.fresnel);
    loadMedia(*part, s.media);
    loadSource(*part, s.source);
    return s;
}
