// material: the bulk or gradient-index material and the catalog glass of the current part.
#include <cmath>
#include <string>

#include "command/general/file_names.h"
#include "command/messages/messages.h"
#include "engine/commands/command_values.h"
#include "parts/attach/attach_support.h"
#include "parts/glass/glass_catalog.h"
#include "parts/materials/material.h"
#include "parts/part_attachments.h"
#include "parts/part_list.h"

namespace {

const char* const kMaterialActions[] = {"textout", "attach", "grin", "glasschange", "remove", " "};
enum MaterialAction { kTextout, kAttach, kGrin, kGlassChange, kRemove };
const char* const kBulkValues[] = {"object", "scatter", "absorb", "anisotropy", " "};
const char* const kGrinValues[] = {"object", "maxdist", "p1",  "p2",  "p3",  "p4",  "p5",
                                   "p6",     "p7",      "p8",  "p9",  "p10", "p11", "p12",
                                   "p13",    "p14",     "p15", "p16", " "};
constexpr int kGrinParameters = 16;

// The stored step is a little short of the given one, so that a step never lands exactly on a
// surface.
constexpr double kGrinStepFactor = 0.99991;

void dropMaterial(CPart& part) {
    attach::dropAttached(part.material, "Deleting attached material and replacing it.\n");
}

int attachGrin(CPart& part) {
    const double maxdist = valueOr(1, 0.1);
    if (!(maxdist > 0) || !std::isfinite(maxdist)) {
        errorText(outputChannel, "Maxdist must be greater than 0.  Command ignored.\n");
        return kRefusedWithMessage;
    }
    const attach::ModifierValue name = attach::modifierValue(attach::kNameWord);
    if (name.several) return 0;
    if (name.text.empty()) {
        errorText(outputChannel, "DLL grin requested without DLL name\n");
        return 0;
    }
    if (!inputNameUsable(name.text)) return kRefusedWithMessage;
    dropMaterial(part);
    MaterialPtr material(new CMaterial(name.text, maxdist * kGrinStepFactor));
    // The material reports a module that does not bind; the part is then left without one.
    if (!material->entry) return 0;
    part.paramNamesEntry = GetPluginParamNames();
    for (int k = 0; k < kGrinParameters; ++k)
        material->record.v[GRIN_PARAM1 + k] = valueOr(k + 2, 0);
    part.material = std::move(material);
    return 1;
}

int changeGlass(CPart& part) {
    part.catalogGlass = nullptr;
    const attach::ModifierValue name = attach::modifierValue(attach::kNameWord);
    if (name.several) return 0;
    if (!name.given) return 1;
    if (name.text.empty()) {
        errorText(outputChannel, "Material requested without name\n");
        return 0;
    }
    const CGlass* glass = glassCatalog.FindGlass(name.text);
    if (!glass) {
        errorText(outputChannel, "Material %s not found in catalogs\n", name.text.c_str());
        return 0;
    }
    if (!glassIndexComputable(*glass)) return kRefusedWithMessage;
    part.catalogGlass = glass;
    part.UpdateIndices();
    return 1;
}

} // namespace

int CPartList::MaterialCommand() {
    const int action = modifierChoice(kMaterialActions, kTextout, attach::kSeveralModifiers);
    if (action == kAttach)
        readCommandValues(kBulkValues, 4);
    else if (action == kGrin)
        readCommandValues(kGrinValues, 2 + kGrinParameters);
    else
        readCommandValues(attach::kObjectOnly, 1);
    CPart* part = GetCurrentPart(*this);
    if (!part) return 0;
    switch (action) {
    case kAttach:
        dropMaterial(*part);
        part->material.reset(new CMaterial(valueOr(1, 0.1), valueOr(2, 0.2), valueOr(3, 0.8)));
        return 1;
    case kGrin:
        return attachGrin(*part);
    case kGlassChange:
        return changeGlass(*part);
    case kRemove:
        return attach::removeAttached(part->material, "Material deleted.\n",
                                      "No material attached.\n");
    default:
        if (!part->material) return 0;
        part->material->Describe(outputChannel);
        return 1;
    }
}
