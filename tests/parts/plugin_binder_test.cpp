// The plug-in binder: statuses, names, the search for a bare name, and bad libraries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "command/messages/messages.h"
#include "parts/plugin_binder.h"
#include "tests/command/test_support.h"

namespace fs = std::filesystem;

namespace {

std::string builtPlugin(const std::string& name) {
    return std::string(MERIDYN_PLUGIN_DIR) + "/" + name + ".so";
}

std::string testModule(const std::string& name) {
    return std::string(MERIDYN_TEST_MODULE_DIR) + "/" + name + ".so";
}

// Changes the current directory and programHome for one test.
class ScopedPlace {
  public:
    ScopedPlace(const fs::path& cwd, const std::string& home)
        : oldCwd_(fs::current_path()), oldHome_(programHome) {
        fs::current_path(cwd);
        programHome = home;
    }
    ~ScopedPlace() {
        fs::current_path(oldCwd_);
        programHome = oldHome_;
    }

  private:
    fs::path oldCwd_;
    std::string oldHome_;
};

struct Binding {
    PluginEntry entry = nullptr;
    PluginEntry names = nullptr;
    int status = -1;
    void* module = nullptr;
};

Binding bindAs(const std::string& name, const std::string& entry = "UserSourceRay") {
    Binding b;
    b.entry = LoadPluginEntry(name, entry, b.status, b.module);
    b.names = GetPluginParamNames();
    return b;
}

// Which of the source plug-ins a binding is, from the names it answers.
std::string identify(const Binding& b) {
    return pluginParamName(b.names, 0) + "|" + pluginParamName(b.names, 2) + "|" +
           pluginParamName(b.names, 5);
}

const std::string kRaysrc1 = "x_size|x_hole|dz";
const std::string kRaysrc2 = "radius||";
const std::string kRaysrc5 = "x_size|z_size|";
const std::string kRaysrc7 = "||dz";

} // namespace

TEST(PluginBinder, ThreeStatuses) {
    resetPluginBinderState();
    Binding bound = bindAs(builtPlugin("raysrc1"));
    EXPECT_EQ(bound.status, kPluginBound);
    EXPECT_NE(bound.entry, nullptr);
    EXPECT_NE(bound.module, nullptr);
    EXPECT_NE(bound.names, nullptr);
    EXPECT_EQ(pluginParamNamesEntry, bound.names);

    // Loaded, but no such entry: null, the module kept, no names.
    Binding missing = bindAs(builtPlugin("raysrc1"), "UserGrinDefinition");
    EXPECT_EQ(missing.status, kPluginEntryMissing);
    EXPECT_EQ(missing.entry, nullptr);
    EXPECT_EQ(missing.module, bound.module);
    EXPECT_EQ(missing.names, nullptr);

    // Not loadable: null module and the loader's message kept.
    bindAs(builtPlugin("raysrc1"));
    Binding absent = bindAs("/nonexistent-folder/nothing.so");
    EXPECT_EQ(absent.status, kPluginNotLoaded);
    EXPECT_EQ(absent.entry, nullptr);
    EXPECT_EQ(absent.module, nullptr);
    EXPECT_EQ(absent.names, nullptr);
    EXPECT_NE(pluginBinderState().loadError.find("nothing.so"), std::string::npos)
        << pluginBinderState().loadError;

    Binding empty = bindAs("");
    EXPECT_EQ(empty.status, kPluginNotLoaded);
    EXPECT_EQ(empty.module, nullptr);
}

TEST(PluginBinder, LibraryWithoutParamNamesBindsWithNoNames) {
    Binding b = bindAs(builtPlugin("ixprof24"), "UserGrinDefinition");
    EXPECT_EQ(b.status, kPluginBound);
    EXPECT_NE(b.entry, nullptr);
    EXPECT_EQ(GetPluginParamNames(), nullptr);
    EXPECT_EQ(pluginParamName(GetPluginParamNames(), 0), "");
}

TEST(PluginBinder, RebindingGivesTheSameAddresses) {
    Binding first = bindAs(builtPlugin("raysrc4"));
    Binding second = bindAs(builtPlugin("raysrc4"));
    ASSERT_EQ(first.status, kPluginBound);
    EXPECT_EQ(first.entry, second.entry);
    EXPECT_EQ(first.names, second.names);
    EXPECT_EQ(first.module, second.module);
    // Another library has other entries.
    EXPECT_NE(bindAs(builtPlugin("raysrc6")).entry, first.entry);
}

TEST(PluginBinder, CallPassesRecordAndResultThrough) {
    Binding b = bindAs(testModule("long_name_plugin"));
    ASSERT_EQ(b.status, kPluginBound);
    SourceCallRecord r{};
    r.v[SRC_MODE] = 2.0;
    EXPECT_EQ(CallPluginEntry(b.entry, &r), 42);
    EXPECT_EQ(CallPluginEntry(nullptr, &r), -1);
}

TEST(PluginBinder, LongUnterminatedNamesAreCut) {
    Binding b = bindAs(testModule("long_name_plugin"));
    ASSERT_NE(b.names, nullptr);
    EXPECT_EQ(pluginParamName(b.names, 3), std::string(29, 'a'));
    EXPECT_EQ(pluginParamName(b.names, -1), "");
    EXPECT_EQ(pluginParamName(b.names, 256), "");
}

TEST(PluginBinder, BadLibrariesFailToLoad) {
    testsupport::ScratchDir dir;
    std::ofstream(dir.file("text.so")) << "this is not a library\n";
    Binding text = bindAs(dir.file("text.so"));
    EXPECT_EQ(text.status, kPluginNotLoaded);
    EXPECT_EQ(text.module, nullptr);
    EXPECT_FALSE(pluginBinderState().loadError.empty());

    // Every symbol is resolved when the library loads.
    Binding unresolved = bindAs(testModule("unresolved_plugin"));
    EXPECT_EQ(unresolved.status, kPluginNotLoaded);
    EXPECT_NE(pluginBinderState().loadError.find("meridynTestSymbolThatDoesNotExist"),
              std::string::npos)
        << pluginBinderState().loadError;
}

TEST(PluginNames, WindowsEndingsAndMissingExtensions) {
    EXPECT_EQ(pluginFileName("raysrc1.dll"), "raysrc1.so");
    EXPECT_EQ(pluginFileName("RAYSRC1.DLL"), "RAYSRC1.so");
    EXPECT_EQ(pluginFileName("lamp.Dll"), "lamp.so");
    EXPECT_EQ(pluginFileName("raysrc1"), "raysrc1.so");
    EXPECT_EQ(pluginFileName("raysrc1.so"), "raysrc1.so");
    EXPECT_EQ(pluginFileName("my.source.lib"), "my.source.lib");
    EXPECT_EQ(pluginFileName("v1.2/lamp"), "v1.2/lamp.so");
    EXPECT_EQ(pluginFileName("./lamp"), "./lamp.so");
    EXPECT_EQ(pluginFileName("dll"), "dll.so");
}

TEST(PluginSearch, FoldersInOrder) {
    testsupport::ScratchDir dir;
    const fs::path cwd = dir.path() / "cwd", home = dir.path() / "home";
    const fs::path custom = home / "sources" / "custom" / "dlls";
    const fs::path standard = home / "sources" / "standard" / "dlls";
    for (const auto& p : {cwd, custom, standard})
        fs::create_directories(p);
    fs::copy_file(builtPlugin("raysrc1"), cwd / "probe.so");
    fs::copy_file(builtPlugin("raysrc5"), home / "probe.so");
    fs::copy_file(builtPlugin("raysrc7"), custom / "probe.so");
    fs::copy_file(builtPlugin("raysrc2"), standard / "probe.so");
    ScopedPlace place(cwd, home.string());

    // Typed the way models of the original platform name them, or with no extension at all.
    EXPECT_EQ(identify(bindAs("probe.DLL")), kRaysrc1);
    fs::remove(cwd / "probe.so");
    fs::create_directory(cwd / "probe.so"); // a folder of that name is not a library
    EXPECT_EQ(identify(bindAs("probe")), kRaysrc5);
    fs::remove(home / "probe.so");
    EXPECT_EQ(identify(bindAs("probe.dll")), kRaysrc7);
    fs::remove(custom / "probe.so");
    EXPECT_EQ(identify(bindAs("probe.so")), kRaysrc2);
    EXPECT_EQ(findPluginFile("probe.so"), (standard / "probe.so").string());
    fs::remove(standard / "probe.so");
    EXPECT_EQ(bindAs("probe").status, kPluginNotLoaded);

    // A name with a folder is opened as given, relative to the current directory.
    fs::create_directory(cwd / "mine");
    fs::copy_file(builtPlugin("raysrc7"), cwd / "mine" / "lamp.so");
    EXPECT_EQ(identify(bindAs("mine/lamp.dll")), kRaysrc7);
    EXPECT_EQ(bindAs("lamp").status, kPluginNotLoaded); // not searched for in subfolders
}

TEST(PluginSearch, EmptyHomeMeansTheCurrentDirectory) {
    testsupport::ScratchDir dir;
    fs::create_directories(dir.path() / "sources" / "standard" / "dlls");
    fs::copy_file(builtPlugin("raysrc2"), dir.path() / "sources" / "standard" / "dlls" / "std.so");
    ScopedPlace place(dir.path(), "");
    EXPECT_EQ(identify(bindAs("std")), kRaysrc2);
}

TEST(PluginSearch, BundledPluginsBesideTheProgramThenTheSystem) {
    testsupport::ScratchDir dir;
    ScopedPlace place(dir.path(), dir.path().string());
    // Copied beside the test program by the build: found in the program's folder.
    Binding bundled = bindAs("meridyn_bundled_probe.dll");
    EXPECT_EQ(bundled.status, kPluginBound);
    EXPECT_EQ(pluginParamName(bundled.names, 1), "half_length");
    // A bare name found nowhere goes to the system loader, which finds the maths library;
    // it has no ray entry.
    Binding system = bindAs("libm.so.6");
    EXPECT_EQ(system.status, kPluginEntryMissing);
    EXPECT_NE(system.module, nullptr);
}
