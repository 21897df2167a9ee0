#include "parts/part_commands.h"

#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "engine/model/clear_model.h"
#include "parts/part_list.h"

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

void registerPartCommands() {
    CPartList& list = documentPartList();
    thePartList = &list;
    addCommandHandler("define", [](CQelDoc&) { return thePartList->DefinePart(); });
    addCommandHandler("delete", [](CQelDoc&) { return thePartList->DeleteCommand(); });
    // After the engine's polynet handler (registered earlier): the net it made becomes a part.
    addCommandHandler("polynet", [](CQelDoc&) { return thePartList->DefinePolynet(); });
    documentSteps().clearModel.push_back([](CQelDoc&) {
        clearAllObjects();
        thePartList->RemoveAll();
    });
}

void resetPartCommandsState() {
    CPartList* list = madeDocumentPartList;
    if (!list) return;
    list->RemoveAll();
    if (thePartList == list) thePartList = nullptr;
}
