// Fuzz target of the settings-file reader and the colour-table reader: the input is read as a
// private-profile text (parsed, a key set, written and parsed again), as meridyn.ini through
// loadIniSettings, and as colors.opt through loadColorMap.
//
// Everything happens in a scratch directory made at the first call, which is also the working
// directory (colors.opt is read from there) and the place of the settings file (MERIDYN_INI).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "command/document/command_state.h"
#include "command/settings/color_tables.h"
#include "command/settings/settings.h"
#include "command/settings/settings_file.h"
#include "platform/private_profile.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

void setUpOnce() {
    static const bool ready = [] {
        const std::string& dir = fuzzsupport::scratchDirectory("meridyn-settings-fuzz-XXXXXX");
        setenv("MERIDYN_INI", (std::filesystem::path(dir) / "meridyn.ini").c_str(), 1);
        return true;
    }();
    (void)ready;
}

void writeFile(const char* name, const std::string& text) {
    std::FILE* f = std::fopen(name, "wb");
    if (!f) std::abort();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    setUpOnce();
    std::string text(reinterpret_cast<const char*>(data), size);

    platform::ProfileFile profile;
    profile.parse(text);
    (void)profile.get("flags", "redraw");
    profile.set("flags", "redraw", "1");
    if (profile.get("flags", "redraw") != "1") std::abort();
    platform::ProfileFile again;
    again.parse(profile.text());
    if (again.text() != profile.text()) std::abort();
    (void)platform::profileInt(text);

    resetCommandState();
    writeFile("meridyn.ini", text);
    loadIniSettings();
    if (!std::isfinite(plotmax)) std::abort();

    writeFile("colors.opt", text);
    int loaded = loadColorMap();
    for (int i = 0; i < kColorCount; ++i) {
        int pen = colorTableState().mapped[i];
        if (pen < 0 || pen >= kColorCount) std::abort();
        if (!loaded && pen != i) std::abort(); // a refused file leaves the table alone
    }
    return 0;
}
