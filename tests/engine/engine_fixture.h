// A clean model, message layer and data-file state in a scratch home directory for every test.
#pragma once

#include <gtest/gtest.h>

#include "command/interpreter/aliases.h"
#include "command/messages/messages.h"
#include "engine/model/current_objects.h"
#include "engine/model/engine_state.h"
#include "engine/model/object_table.h"
#include "engine/files/ray_files.h"
#include "engine/model/view_transform.h"
#include "platform/scripted_hooks.h"
#include "tests/command/scratch_home_fixture.h"
#include "tests/command/test_support.h"
#include "tests/engine/test_object_builder.h"

class EngineTest : public testsupport::ScratchHomeTest {
  protected:
    void resetState() override { resetEngineState(); }
    std::string home(const std::string& name) const { return dir.file(name); }

    // A defined object of a type with `surfaces` surfaces numbered 1, 2, ...
    ObjectRecord* makeObject(int typeCode, int surfaces = 1) {
        ObjectRecord* o = testsupport::buildObjectWithSurfaces(surfaces);
        if (o) o->typeCode = typeCode;
        return o;
    }
    // Deletes an object the way the delete command does: surfaces back, then the slot.
    void deleteObjectNow(ObjectRecord* o) {
        for (SurfaceRecord* s = o->firstSurface; s;) {
            SurfaceRecord* next = s->next;
            freeSurface(s);
            s = next;
        }
        freeObjectSlot(o);
    }

    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard{hooks};
};
