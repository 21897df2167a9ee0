// The interface as both sides see it: record layout in C and C++, the exported entries of every
// bundled plug-in, and the parameter names they answer.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/rand15.h"
#include "plugin_test_support.h"

extern "C" {
size_t cSourceRecordSize(void);
size_t cGrinRecordSize(void);
size_t cSourceOffset(int index);
size_t cGrinOffset(int index);
double cSourceField(const void* record, int index);
}

using namespace plugintest;

namespace {

std::vector<std::string> sourceNames() {
    std::vector<std::string> v;
    for (int i = 1; i <= 7; ++i)
        v.push_back("raysrc" + std::to_string(i));
    return v;
}

std::vector<std::string> grinNames() {
    std::vector<std::string> v;
    char name[16];
    for (int i = 1; i <= 24; ++i) {
        std::snprintf(name, sizeof name, "ixprof%02d", i);
        v.push_back(name);
    }
    return v;
}

// Dynamic symbols of a library, by nm; `which` is "--defined-only" or "--undefined-only".
std::set<std::string> dynamicSymbols(const std::string& path, const char* which) {
    std::string command = std::string(MERIDYN_NM) + " -D " + which + " '" + path + "'";
    std::set<std::string> names;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        std::size_t space = text.rfind(' ');
        std::string name = space == std::string::npos ? text : text.substr(space + 1);
        std::size_t at = name.find('@');
        if (at != std::string::npos) name.resize(at);
        if (!name.empty()) names.insert(name);
    }
    pclose(pipe);
    return names;
}

} // namespace

TEST(RecordLayout, SameSizesAndOffsetsInCAndCxx) {
    EXPECT_EQ(sizeof(SourceCallRecord), 184u);
    EXPECT_EQ(sizeof(GrinCallRecord), 208u);
    EXPECT_EQ(cSourceRecordSize(), 184u);
    EXPECT_EQ(cGrinRecordSize(), 208u);
    const int sourceIndices[] = {SRC_WAVELENGTH, SRC_WEIGHT, SRC_X,      SRC_DIR_Z,
                                 SRC_CONE_X,     SRC_MODE,   SRC_PARAM0, SRC_PARAM0 + 8};
    const int sourceExpected[] = {1, 2, 4, 9, 10, 13, 14, 22};
    for (std::size_t i = 0; i < std::size(sourceIndices); ++i) {
        EXPECT_EQ(sourceIndices[i], sourceExpected[i]);
        EXPECT_EQ(cSourceOffset(sourceIndices[i]), 8u * sourceExpected[i]);
    }
    const int grinIndices[] = {GRIN_TAG,   GRIN_Z,      GRIN_WAVELENGTH, GRIN_MM_PER_UNIT,
                               GRIN_INDEX, GRIN_GRAD_Z, GRIN_PARAM1,     GRIN_PARAM1 + 15};
    const int grinExpected[] = {0, 3, 4, 5, 6, 9, 10, 25};
    for (std::size_t i = 0; i < std::size(grinIndices); ++i) {
        EXPECT_EQ(grinIndices[i], grinExpected[i]);
        EXPECT_EQ(cGrinOffset(grinIndices[i]), 8u * grinExpected[i]);
    }
    EXPECT_EQ(SRC_FIELDS, 23);
    EXPECT_EQ(GRIN_FIELDS, 26);
}

TEST(RecordLayout, LittleEndianDoublesReadByAPluginInC) {
    // 1.0 and -2.5 as IEEE 754 little-endian bytes, written where the caller puts them.
    unsigned char bytes[184] = {};
    const unsigned char one[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    const unsigned char minus2p5[8] = {0, 0, 0, 0, 0, 0, 0x04, 0xC0};
    std::memcpy(bytes + 8 * SRC_MODE, one, 8);
    std::memcpy(bytes + 8 * (SRC_PARAM0 + 6), minus2p5, 8);
    EXPECT_EQ(cSourceField(bytes, SRC_MODE), 1.0);
    EXPECT_EQ(cSourceField(bytes, SRC_PARAM0 + 6), -2.5);
}

TEST(PluginExports, EachLibraryExportsExactlyItsEntries) {
    for (const auto& name : sourceNames()) {
        EXPECT_EQ(dynamicSymbols(pluginPath(name), "--defined-only"),
                  (std::set<std::string>{"UserParamNames", "UserSourceRay"}))
            << name;
    }
    for (const auto& name : grinNames()) {
        std::set<std::string> expected{"UserGrinDefinition"};
        if (name != "ixprof24") expected.insert("UserParamNames");
        EXPECT_EQ(dynamicSymbols(pluginPath(name), "--defined-only"), expected) << name;
    }
}

TEST(PluginExports, NoPluginUsesTheSharedCLibraryGenerator) {
    const std::set<std::string> shared{"rand",   "srand",   "random", "srandom",
                                       "rand_r", "drand48", "srand48"};
    std::vector<std::string> all = sourceNames();
    for (const auto& g : grinNames())
        all.push_back(g);
    for (const auto& name : all) {
        auto imports = dynamicSymbols(pluginPath(name), "--undefined-only");
        ASSERT_FALSE(imports.empty()) << name; // nm ran (every library imports something)
        for (const auto& s : shared)
            EXPECT_EQ(imports.count(s), 0u) << name << " imports " << s;
    }
}

TEST(PluginExports, CallingSourcesLeavesTheProgramsGeneratorAlone) {
    ScopedSeed seed("5");
    platform::Rand15 program(2024), reference(2024);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(program.next(), reference.next());
    for (const auto& name : sourceNames()) {
        Bound b = bindSource(name);
        ASSERT_EQ(b.status, kPluginBound) << name;
        auto r = sourceRecord({1.0, 1.0, 0.5, 0.5, 0.0, 0.0, 1.0});
        ASSERT_EQ(checkCall(b, r), 0) << name;
        for (int i = 0; i < 100; ++i)
            rayCall(b, r);
    }
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(program.next(), reference.next());
}

TEST(ParamNames, SourceTables) {
    const std::array<std::array<const char*, 9>, 7> expected = {{
        {"x_size", "y_size", "x_hole", "y_hole", "", "dz", "weight", "", ""},
        {"radius", "half_length", "", "", "", "", "weight", "", ""},
        {"radius", "half_length", "", "", "", "", "weight", "", ""},
        {"radius", "half_length", "", "", "", "", "weight", "", ""},
        {"x_size", "y_size", "z_size", "", "", "", "weight", "", ""},
        {"radius", "half_length", "", "", "", "", "weight", "", ""},
        {"", "", "", "", "", "dz", "weight", "", ""},
    }};
    for (int i = 0; i < 7; ++i) {
        Bound b = bindSource(sourceNames()[i]);
        ASSERT_NE(b.names, nullptr);
        for (int slot = 0; slot < 9; ++slot)
            EXPECT_EQ(pluginParamName(b.names, slot), expected[i][slot])
                << sourceNames()[i] << " slot " << slot;
    }
}

TEST(ParamNames, GradientIndexTables) {
    const std::vector<std::string> axial = {"maxdist", "delta_z", "", "", "", "", "", "", ""};
    const std::vector<std::string> y6 = {"maxdist", "n0",  "ny1", "ny2", "ny3",
                                         "ny4",     "ny5", "ny6", ""};
    const std::vector<std::string> rz = {"maxdist", "n0",  "nr2", "nr4", "nz1",
                                         "nz2",     "nz3", "nz4", ""};
    const std::vector<std::string> none = {"maxdist", "", "", "", "", "", "", "", ""};
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"ixprof01", axial},
        {"ixprof04", axial},
        {"ixprof10", axial},
        {"ixprof02", y6},
        {"ixprof12", y6},
        {"ixprof03", rz},
        {"ixprof11", rz},
        {"ixprof17", rz},
        {"ixprof14", none},
        {"ixprof18", none},
        {"ixprof21", none},
        {"ixprof23", none},
        {"ixprof13", {"maxdist", "n0", "nr2", "", "", "", "", "", ""}},
        {"ixprof15", {"maxdist", "n0", "nx1", "nx2", "ny1", "ny2", "nz1", "nz2", ""}},
        {"ixprof16", {"maxdist", "n0", "nr2", "nr4", "nr6", "nz1", "nz2", "nz3", ""}},
        {"ixprof19", {"maxdist", "n0", "nr2", "nr4", "nr6", "nr8", "nr10", "nr12", ""}},
        {"ixprof20", {"maxdist", "n0", "R", "alpha", "beta", "", "", "", ""}},
        {"ixprof22", {"maxdist", "n0", "R", "A", "", "", "", "", ""}},
    };
    for (const auto& [name, names] : cases) {
        Bound b = bindGrin(name);
        ASSERT_EQ(b.status, kPluginBound) << name;
        ASSERT_NE(b.names, nullptr) << name;
        for (int slot = 0; slot < 9; ++slot)
            EXPECT_EQ(pluginParamName(b.names, slot), names[slot]) << name << " slot " << slot;
    }
    // Every axial library answers like ixprof01.
    for (const char* name : {"ixprof05", "ixprof06", "ixprof07", "ixprof08", "ixprof09"})
        EXPECT_EQ(pluginParamName(bindGrin(name).names, 1), "delta_z") << name;
}

TEST(ParamNames, SlotsAbove8AndHighBytesGiveTheEmptyName) {
    Bound b = bindSource("raysrc1");
    ASSERT_NE(b.names, nullptr);
    for (int slot : {9, 10, 127, 128, 200, 255}) {
        char buffer[MERIDYN_PARAM_BUFFER_SIZE];
        std::memset(buffer, 'x', sizeof buffer);
        buffer[0] = static_cast<char>(slot); // negative as a signed char from 128 on
        EXPECT_EQ(CallPluginEntry(b.names, buffer), 1);
        EXPECT_EQ(buffer[0], '\0') << slot;
        EXPECT_EQ(buffer[1], 'x') << slot; // nothing else written
    }
    char buffer[MERIDYN_PARAM_BUFFER_SIZE] = {};
    buffer[0] = 6;
    EXPECT_EQ(CallPluginEntry(b.names, buffer), 1);
    EXPECT_STREQ(buffer, "weight");
}
