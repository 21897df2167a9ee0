#include "parts/part_attachments.h"

#include <cmath>

#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "parts/glass/glass_catalog.h"
#include "parts/materials/material.h"
#include "parts/radiometers/radiometer.h"
#include "parts/scatterers/scatterer.h"
#include "parts/templates/define_params.h"

void AttachmentDeleter::operator()(CMaterial* material) const {
    delete material;
}

void AttachmentDeleter::operator()(CRadiometer* radiometer) const {
    delete radiometer;
}

void AttachmentDeleter::operator()(CScatterer* scatterer) const {
    delete scatterer;
}

const std::string& glassName(const CGlass& glass) {
    return glass.name;
}

const CGlass* findCatalogGlass(const std::string& name) {
    return glassCatalog.FindGlass(name);
}

double glassIndexAt(const CGlass& glass, double wavelength, double& clamped) {
    clamped = glass.ClampWavelength(wavelength);
    return glass.Index(clamped);
}

bool glassIndexComputable(const CGlass& glass) {
    for (int i = 0; i < kWavelengthSlots; ++i) {
        double clamped = 0;
        const double n = glassIndexAt(glass, wavelengthTable[i], clamped);
        if (!(n > -98) || !std::isfinite(n)) {
            errorText(outputChannel, "Error calculating glass refractive index\n");
            return false;
        }
    }
    return true;
}

std::vector<std::string> loadedCatalogFiles() {
    return glassCatalog.LoadedFiles();
}

int defineTemplateCount(const std::string& definePath) {
    // The shared set is the dialogs' too: a lookup here must not disturb what they preset.
    CDefineParams params;
    return params.LoadTemplate(definePath.c_str()) ? params.paramCount : 0;
}

void setDefineParam(CDefineParams& params, int slot, double value) {
    params.SetParam(slot, value);
}

std::string scattererCommandText(const CScatterer& scatterer, const std::string& name,
                                 int surface) {
    return scatterer.WriteCommand(name, surface);
}

int radiometerColumns(const CRadiometer& radiometer) {
    return radiometer.nx;
}

int radiometerRows(const CRadiometer& radiometer) {
    return radiometer.ny;
}

void resetRadiometer(CRadiometer& radiometer) {
    radiometer.Reset();
}

MaterialDescription describeMaterial(const CMaterial& material) {
    MaterialDescription d;
    d.bulk = material.bulk != 0;
    d.scatter = material.scatter;
    d.absorb = material.absorb;
    d.anisotropy = material.anisotropy;
    d.grin = material.gradientIndex != 0;
    d.moduleName = material.pluginFileName;
    d.maxdist = material.maxdist;
    for (int k = 0; k < 16; ++k)
        d.parameters[k] = material.record.v[GRIN_PARAM1 + k];
    return d;
}
