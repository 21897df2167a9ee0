// What the part model asks of the things a part carries: catalog glass (not owned), material,
// radiometer and the surfaces' scatterers (owned). The owning pointers delete through the
// deleters here, so a part's header needs none of their definitions.
#pragma once

#include <memory>
#include <string>
#include <vector>

class CGlass;
class CMaterial;
class CRadiometer;
class CScatterer;

struct AttachmentDeleter {
    void operator()(CMaterial* material) const;
    void operator()(CRadiometer* radiometer) const;
    void operator()(CScatterer* scatterer) const;
};
using MaterialPtr = std::unique_ptr<CMaterial, AttachmentDeleter>;
using RadiometerPtr = std::unique_ptr<CRadiometer, AttachmentDeleter>;
using ScattererPtr = std::unique_ptr<CScatterer, AttachmentDeleter>;

// The glass's name in its catalog.
const std::string& glassName(const CGlass& glass);
// The glass of that name among the loaded catalogs, or null.
const CGlass* findCatalogGlass(const std::string& name);
// The glass's index at the wavelength (micrometres) brought into its valid range; `clamped`
// receives that wavelength.
double glassIndexAt(const CGlass& glass, double wavelength, double& clamped);
// True when the glass gives a usable index at every wavelength of the table; false after
// "Error calculating glass refractive index\n" (its formula type is unknown, say): a part
// must not be traced with the error value as its index.
bool glassIndexComputable(const CGlass& glass);
// The catalog files loaded so far, in load order.
std::vector<std::string> loadedCatalogFiles();

// The modify/scatterer command that recreates the scatterer on surface `surface` of the part
// written as `name`.
std::string scattererCommandText(const CScatterer& scatterer, const std::string& name, int surface);
// A radiometer's grid.
int radiometerColumns(const CRadiometer& radiometer);
int radiometerRows(const CRadiometer& radiometer);
void resetRadiometer(CRadiometer& radiometer);

// The number of parameters of the define template that the define path begins (0 for none).
int defineTemplateCount(const std::string& definePath);

// A material as its command sees it.
struct MaterialDescription {
    bool bulk = false;
    double scatter = 0, absorb = 0, anisotropy = 0;
    bool grin = false;
    std::string moduleName;
    double maxdist = 0; // the stored step
    double parameters[16] = {};
};
MaterialDescription describeMaterial(const CMaterial& material);

class CDefineParams;
// Presets parameter `slot` of a define parameter set (the define dialog's values).
void setDefineParam(CDefineParams& params, int slot, double value);
