// The whole interpreter without a window, for the property sheet's loader and composers: a fresh
// program state and home, every command handler, and a document whose runs go to meridyn.log.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "parts/part_list.h"
#include "tests/command/test_support.h"
#include "ui/props/page_commands.h"
#include "ui/props/property_snapshot.h"

namespace propstest {

inline const std::string kPluginDir = MERIDYN_PLUGIN_DIR;

class PropsTest : public ::testing::Test {
  protected:
    void SetUp() override { start(); }
    void TearDown() override {
        doc.reset();
        resetAllState();
    }
    void start() {
        resetAllState();
        programHome = home.path().string();
        setenv("MERIDYN_INI", home.file("meridyn.ini").c_str(), 1);
        registerCommandHandlers();
        doc = std::make_unique<CQelDoc>();
    }
    // Runs a command as a page issues it.
    void run(const std::string& text) {
        commandBuffer = text;
        doc->ExecuteCommand();
    }
    void issue(const ComposedCommands& c) {
        ASSERT_TRUE(c.ok()) << c.refusal;
        for (const std::string& t : c.texts)
            run(t);
    }
    std::string log() const { return testsupport::readFile(home.path() / "meridyn.log"); }
    std::string screen() const { return testsupport::readFile(home.path() / "screen.out"); }
    // The commands that recreate every part, as a saved model holds them.
    static std::string model() {
        std::FILE* f = std::tmpfile();
        thePartList->WriteAllParts(OutputChannel(f));
        return testsupport::readBack(f);
    }

    testsupport::ScratchDir home;
    std::unique_ptr<CQelDoc> doc;
};

// Every value of a snapshot as text, to compare two loads.
inline std::string describe(const PropertySnapshot& s) {
    std::ostringstream o;
    o.precision(17);
    o << s.title << '|' << s.hasPart << s.faceFound << '\n';
    const auto& e = s.extent;
    o << "extent " << e.holeSection << ' ' << e.name << ' ' << e.holeXCenter << ' ' << e.holeXHalf
      << ' ' << e.holeYCenter << ' ' << e.holeYHalf << ' ' << e.holeType << ' ' << e.xMin << ' '
      << e.xMax << ' ' << e.yMin << ' ' << e.yMax << ' ' << e.zMin << ' ' << e.zMax << '\n';
    const auto& d = s.definition;
    o << "definition " << d.defineText << ' ' << d.glassSelection << ' ' << d.mediumOwner << ' '
      << d.objectName << ' ' << d.valueCount;
    for (int i = 0; i < 10; ++i)
        o << ' ' << d.labels[i] << '=' << d.values[i];
    o << '\n';
    const auto& p = s.placement;
    o << "placement " << p.insideName << ' ' << p.name << ' ' << p.x << ' ' << p.y << ' ' << p.z
      << ' ' << p.alpha << ' ' << p.beta << ' ' << p.gamma << ' ' << p.activated << p.inPlace;
    for (const auto& n : p.objectNames)
        o << " [" << n << ']';
    o << '\n';
    const auto& a = s.attributes;
    o << "attributes " << a.name << ' ' << a.refl << ' ' << a.absor;
    for (double v : a.indices)
        o << ' ' << v;
    o << '\n';
    const auto& t = s.altSurface;
    o << "alt " << t.type << ' ' << t.fresnelKind;
    for (int i = 0; i < 6; ++i)
        o << ' ' << t.labels[i] << '=' << t.values[i];
    o << '\n';
    const auto& c = s.scattering;
    o << "scatter " << c.type;
    for (int i = 0; i < 3; ++i)
        o << ' ' << c.labels[i] << '=' << c.values[i];
    o << '\n';
    o << "fresnel " << s.fresnel.type;
    for (double v : s.fresnel.cons)
        o << ' ' << v;
    o << '\n';
    const auto& m = s.media;
    o << "media " << m.materialType << ' ' << m.pluginFile << ' ' << m.absorptionLoaded << ' '
      << m.volumeAbsorption;
    for (int i = 0; i < 9; ++i)
        o << ' ' << m.labels[i] << '=' << m.values[i];
    o << '\n';
    const auto& r = s.source;
    o << "source " << r.type << ' ' << r.dllFile << ' ' << r.tableFile;
    for (int i = 0; i < 9; ++i)
        o << ' ' << r.labels[i] << '=' << r.values[i];
    o << '\n';
    return o.str();
}

} // namespace propstest
