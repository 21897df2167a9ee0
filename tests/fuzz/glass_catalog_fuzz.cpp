// Fuzz target of the glass-catalog reader: the input is loaded as a catalog file (and once more
// from memory), then every glass it made is asked for its index over and beyond its range. No
// index may be NaN or infinite, and a second load of the same file must read nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "parts/glass/glass_catalog.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput) return 0;
    const std::string& home = fuzzsupport::scratchDirectory("meridyn-glass-fuzz-XXXXXX");
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string path = home + "/fuzz.cat";
    fuzzsupport::writeInput(path, text);

    resetGlassCatalogState();
    if (glassCatalog.Load(path) != CGlassCatalog::kLoaded) std::abort();
    if (glassCatalog.Load(path) != CGlassCatalog::kAlreadyLoaded) std::abort();
    int fromFile = glassCatalog.GlassCount();
    for (const auto& [name, glass] : glassCatalog.Glasses()) {
        if (name != glass->name) std::abort();
        for (double lambda : {0.0, 0.167, 0.4, 0.5876, 1.0, 2.5, 1e6, -1.0}) {
            double n = glass->Index(glass->ClampWavelength(lambda));
            if (!std::isfinite(n)) std::abort();
        }
    }
    resetGlassCatalogState();
    glassCatalog.LoadText(text);
    // A NUL byte ends a line's fields but not the line, in memory and in the file alike.
    if (glassCatalog.GlassCount() != fromFile) std::abort();
    resetGlassCatalogState();
    return 0;
}
