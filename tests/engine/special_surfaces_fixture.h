// Aspheric, toric and CPC surfaces on hand-built objects: the nearest search and a reproducible
// stream of test rays (the engine's reset clears their caches around each test).
#pragma once

#include <random>

#include "engine/surfaces/aspheric_surfaces.h"
#include "engine/surfaces/cpc_surfaces.h"
#include "engine/commands/modify_altsurfaces.h"
#include "engine/surfaces/toric_surfaces.h"
#include "engine/model/user_parameters.h"
#include "tests/engine/surface_fixture.h"

class SpecialSurfaceTest : public SurfaceTest {
  protected:
    // Screen text written since the last call.
    std::string newText() {
        std::string all = screen();
        std::string fresh = all.substr(seen);
        seen = all.size();
        return fresh;
    }
    // Runs "modify/altsurfaces<modifiers>" with positional values.
    static int modifyAlt(const char* modifiers, std::initializer_list<double> values) {
        parseModify(modifiers, values);
        return modifyAltsurfaces();
    }
    // Gives the object its define parameters.
    static void giveParameters(ObjectRecord* o, std::initializer_list<const char*> names,
                               std::initializer_list<double> values) {
        std::vector<const char*> table(names);
        table.push_back(" ");
        ASSERT_EQ(allocUserParameters(o, static_cast<int>(names.size()), table.data()), 1);
        std::vector<double> v(values);
        setUserParameters(o, v.data());
    }

    double uniform(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    }

    std::mt19937_64 random{12345};
    std::size_t seen = 0;
};
