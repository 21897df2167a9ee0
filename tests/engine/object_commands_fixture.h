// Runs the object commands (place, translate, rotate, remove, modify, display) through a
// document on a model built directly in the object table, and captures what they print.
#pragma once

#include <memory>
#include <string>

#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings.h"
#include "engine/surfaces/alt_surfaces.h"
#include "engine/model/current_objects.h"
#include "engine/commands/listing.h"
#include "engine/commands/modify_commands.h"
#include "engine/commands/object_commands_registration.h"
#include "engine/build/object_definitions.h"
#include "engine/commands/placement_commands.h"
#include "engine/commands/snug_workbox.h"
#include "tests/engine/engine_fixture.h"

class ObjectCommandsTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        registerObjectCommands();
        // The part list owns the define keyword; here the builders are called directly.
        addCommandHandler("define", [](CQelDoc&) {
            int found = 0, several = 0, index = 0;
            getModifier(objectTypeWords, &found, &several, &index, " ");
            return found ? defineObject(modifierWords[index]) : 0;
        });
        messageState().screenMirror = [this](std::string_view t) { captured.append(t); };
        doc = std::make_unique<CQelDoc>();
        captured.clear();
    }
    void TearDown() override {
        doc.reset();
        messageState().screenMirror = nullptr;
        EngineTest::TearDown();
    }

    // Runs one command line as the user interface does and returns what it printed, without
    // the echo of the line and the prompt that follows the run.
    std::string run(const std::string& line) {
        captured.clear();
        errorOccurred = 0;
        commandBuffer = line;
        doc->ExecuteCommand();
        const std::string echo = line + "\n";
        if (captured.rfind(echo, 0) == 0) captured.erase(0, echo.size());
        const std::string prompt = std::string(" ") + kStartupPrompt;
        if (captured.size() >= prompt.size() &&
            captured.compare(captured.size() - prompt.size(), prompt.size(), prompt) == 0)
            captured.erase(captured.size() - prompt.size());
        return captured;
    }

    // Defines an object from a command line; nullptr when the definition was refused.
    ObjectRecord* define(const std::string& line) {
        lastDefinedObject = 0;
        run(line);
        return lastDefinedObject > 0 ? getObject(lastDefinedObject - 1) : nullptr;
    }

    // A placed object at the origin (identity placement), its surfaces' matrices set.
    ObjectRecord* makePlaced(int typeCode, int surfaces = 1) {
        ObjectRecord* o = makeObject(typeCode, surfaces);
        o->placed = o->activated = 1;
        return o;
    }

    // The global position of a point of the object's own frame.
    static Vec3 toGlobal(const ObjectRecord* o, Vec3 p) {
        Vec3 out;
        transformPoint(p, out, o->localToGlobal);
        return out;
    }

    std::unique_ptr<CQelDoc> doc;
    std::string captured;
};

#define EXPECT_VEC_NEAR(v, ex, ey, ez, tol)                                                        \
    do {                                                                                           \
        EXPECT_NEAR((v).x, (ex), (tol));                                                           \
        EXPECT_NEAR((v).y, (ey), (tol));                                                           \
        EXPECT_NEAR((v).z, (ez), (tol));                                                           \
    } while (0)
