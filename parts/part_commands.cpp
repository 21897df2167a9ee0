#include "parts/part_commands.h"

#include "command/document/document.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/reader.h"
#include "command/saving/model_saving.h"
#include "command/settings/settings.h"
#include "engine/commands/listing.h"
#include "engine/model/clear_model.h"
#include "engine/model/current_objects.h"
#include "engine/model/model_version.h"
#include "parts/part_list.h"
#include "parts/raytrace_manager.h"
#include "parts/trace/trace_totals.h"

namespace {

// The document's list once made (by the first registration), for the reset.
CPartList* madeDocumentPartList = nullptr;

// The document's list: made with the handlers, it lives as long as the program.
CPartList& documentPartList() {
    static CPartList list;
    madeDocumentPartList = &list;
    return list;
}

} // namespace

int metamorphPart(CPartList& list, CDefineParams* params, std::string* partNameOut) {
    CPart* part = list.FindPart(objectLabel(viewObject));
    if (!part) {
        errorText(outputChannel, "Part not found.");
        return 0;
    }
    if (part->geometry && part->geometry->typeCode == kTypePolynet) return -1;
    list.MarkForRedefinition(part);
    redefineMode = 1;
    readerState().redefineTarget = part->name;
    if (partNameOut) *partNameOut = part->definePath;
    if (params)
        for (int i = 0; i < part->defineValueCount && i < kDefineValues; ++i)
            setDefineParam(*params, i, part->defineValues[i]);
    return 1;
}

void registerPartCommands() {
    CPartList& list = documentPartList();
    thePartList = &list;
    addCommandHandler("define", [](CQelDoc&) {
        return changingModel([] { return thePartList->DefinePart(); });
    });
    addCommandHandler("delete", [](CQelDoc&) {
        return changingModel([] { return thePartList->DeleteCommand(); });
    });
    addCommandHandler("activate", [](CQelDoc&) {
        return changingModel([] { return thePartList->ActivateCommand(); });
    });
    addCommandHandler("deactivate", [](CQelDoc&) {
        return changingModel([] { return thePartList->DeactivateCommand(); });
    });
    addCommandHandler("redefine", [](CQelDoc&) {
        return changingModel([] { return thePartList->Redefine(); });
    });
    addCommandHandler("rename", [](CQelDoc&) { return thePartList->RenameCommand(); });
    addCommandHandler("replicate", [](CQelDoc& doc) {
        bool written = false;
        doc.RunReplicatedCommands(
            [&written](std::FILE* f) { written = thePartList->Replicate(f); });
        bumpModelVersion();
        return written ? 1 : 0;
    });
    // After the engine's polynet handler (registered earlier): the net it made becomes a part.
    addCommandHandler("polynet", [](CQelDoc&) {
        return changingModel([] { return thePartList->DefinePolynet(); });
    });
    documentSteps().clearModel.push_back([](CQelDoc&) {
        clearAllObjects();
        // A new document starts with empty ray and spot files and zeroed totals.
        if (theRaytraceManager) {
            theRaytraceManager->OpenRayFiles(0);
            theRaytraceManager->CloseRayFiles();
        }
        thePartList->RemoveAll();
        if (theRaytraceManager) theRaytraceManager->tracer.BuildSearchList(nullptr);
        resetTraceTotals();
    });
    documentSteps().metamorph = [](CQelDoc&, CDefineParams* params, std::string* out) {
        return metamorphPart(*thePartList, params, out);
    };
    settingsHooks().updateIndices = [] { return thePartList->UpdateIndices(); };
    listingHooks().objectMaterialName = [](const SurfaceRecord* s, std::string& name) {
        return GetObjectMaterialName(name, s);
    };
    saveHooks().writeParts = [](std::FILE* f) {
        return thePartList->WriteAllParts(OutputChannel(f));
    };
    saveHooks().loadedCatalogs = [] { return loadedCatalogFiles(); };
    registerSaveCommand();
}

void resetPartCommandsState() {
    CPartList* list = madeDocumentPartList;
    if (!list) return;
    list->RemoveAll();
    if (thePartList == list) thePartList = nullptr;
}
