#include "parts/part_attachments.h"

#include "parts/glass/glass_catalog.h"

// Materials, radiometers and scatterers are made only by the attachment commands; until those
// classes join the part model no part holds one, and these adapters are never reached with one.

void AttachmentDeleter::operator()(CMaterial* material) const {
    (void)material;
}

void AttachmentDeleter::operator()(CRadiometer* radiometer) const {
    (void)radiometer;
}

void AttachmentDeleter::operator()(CScatterer* scatterer) const {
    (void)scatterer;
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

std::vector<std::string> loadedCatalogFiles() {
    return glassCatalog.LoadedFiles();
}

std::string scattererCommandText(const CScatterer& scatterer, const std::string& name,
                                 int surface) {
    (void)scatterer;
    (void)name;
    (void)surface;
    return std::string();
}

int radiometerColumns(const CRadiometer& radiometer) {
    (void)radiometer;
    return 0;
}

int radiometerRows(const CRadiometer& radiometer) {
    (void)radiometer;
    return 0;
}

void resetRadiometer(CRadiometer& radiometer) {
    (void)radiometer;
}

MaterialDescription describeMaterial(const CMaterial& material) {
    (void)material;
    return MaterialDescription{};
}

int defineTemplateCount(const std::string& definePath) {
    (void)definePath;
    return 0;
}

void setDefineParam(CDefineParams& params, int slot, double value) {
    (void)params;
    (void)slot;
    (void)value;
}
