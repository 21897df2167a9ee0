// A fixture for the part model driven through the command loop: a fresh model, a part list with
// the part commands, the object commands of the geometry core and a document whose replayed
// lines print into `out`.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "command/document/document.h"
#include "command/interpreter/command_table.h"
#include "command/messages/messages.h"
#include "engine/commands/object_commands_registration.h"
#include "engine/commands/placement_commands.h"
#include "engine/commands/polynet_command.h"
#include "engine/files/ray_files.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/surfaces/aspheric_surfaces.h"
#include "parts/glass/glass_catalog.h"
#include "parts/part_commands.h"
#include "parts/part_list.h"
#include "tests/command/interpreter_fixture.h"

namespace parttest {

class PartModelTest : public testsupport::InterpreterTest {
  protected:
    void SetUp() override {
        InterpreterTest::SetUp();
        resetModel();
        list = std::make_unique<CPartList>();
        doc = std::make_unique<CQelDoc>();
        addCommandHandler("define", [this](CQelDoc&) { return list->DefinePart(); });
        addCommandHandler("delete", [this](CQelDoc&) { return list->DeleteCommand(); });
        addCommandHandler("polynet", [](CQelDoc&) { return polynetCommand(); });
        addCommandHandler("polynet", [this](CQelDoc&) { return list->DefinePolynet(); });
        addCommandHandler("activate", [this](CQelDoc&) { return list->ActivateCommand(); });
        addCommandHandler("deactivate", [this](CQelDoc&) { return list->DeactivateCommand(); });
        addCommandHandler("redefine", [this](CQelDoc&) { return list->Redefine(); });
        addCommandHandler("rename", [this](CQelDoc&) { return list->RenameCommand(); });
        addCommandHandler("replicate", [this](CQelDoc& d) {
            bool written = false;
            d.RunReplicatedCommands([&](std::FILE* f) { written = list->Replicate(f); });
            return written ? 1 : 0;
        });
        registerObjectCommands();
        messageState().screenMirror = [this](std::string_view text) { out.append(text); };
    }
    void TearDown() override {
        messageState().screenMirror = nullptr; // it writes into this fixture
        doc.reset();
        list.reset();
        resetModel();
        resetGlassCatalogState();
        InterpreterTest::TearDown();
    }
    static void resetModel() {
        resetObjectTable();
        resetCurrentObjects();
        resetRayFiles();
        resetPlacementCommandsState();
        resetPolynets();
        resetAltSurfaceState();
        clearAsphericCache();
    }
    // Runs one line as a replayed line; returns what it printed after the echoed line, less the
    // prompt that ends the run.
    std::string run(const std::string& line) {
        out.clear();
        commandBuffer = line;
        doc->ExecuteLine();
        std::string printed = testsupport::printedAfterEcho(out, line);
        out.clear();
        return printed;
    }
    // What the part writes, into a scratch file.
    std::string written(CPart& part) {
        std::FILE* f = std::tmpfile();
        part.WriteCommands(OutputChannel(f));
        return testsupport::readBack(f);
    }
    std::string writtenAll() {
        std::FILE* f = std::tmpfile();
        list->WriteAllParts(OutputChannel(f));
        return testsupport::readBack(f);
    }
    CPart& part(const std::string& name) {
        CPart* p = list->FindPart(name);
        EXPECT_NE(p, nullptr) << name;
        static CPart none(nullptr);
        return p ? *p : none;
    }

    std::unique_ptr<CPartList> list;
    std::unique_ptr<CQelDoc> doc;
    std::string out;
};

} // namespace parttest
