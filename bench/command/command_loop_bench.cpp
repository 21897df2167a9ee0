// Throughput of the whole interpreter: a macro of 100,000 simple command lines run through the
// document's command loop, with every line written to meridyn.log.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "command/document.h"
#include "command/messages.h"
#include "command/reader.h"
#include "platform/platform_hooks.h"

namespace {

constexpr int kLines = 100000;

class QuietHooks : public platform::PlatformHooks {
  public:
    void messageBox(const std::string&, const std::string&, platform::BoxIcon) override {}
    bool askYesNo(const std::string&, const std::string&, bool d) override { return d; }
    void beep() override {}
    bool escapePending() override { return false; }
};

std::string makeHome() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "meridyn-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
}

void writeMacro(const std::string& path) {
    static const char* const lines[] = {
        "place/object 1 x=1.5 y=2 z=-3",
        "set/fresnel/on",
        "noop 1 2 3",
        "define/lens mylens radius=5, thickness=2 # a lens",
        "rotate/object/x 2 45; translate/object 2 0 0 1",
        "view/system",
        "modify/surface 3.2 reflect=0.04",
        "show/raylimits",
    };
    std::ofstream out(path);
    for (int i = 0; i < kLines; ++i)
        out << lines[i % (sizeof lines / sizeof lines[0])] << '\n';
}

void BM_MacroThroughTheCommandLoop(benchmark::State& state) {
    static QuietHooks hooks;
    platform::setHooks(&hooks);
    std::string home = makeHome();
    programHome = home;
    std::string macro = home + "/bench.mac";
    writeMacro(macro);
    {
        CQelDoc doc;
        for (auto _ : state) {
            state.PauseTiming();
            deleteOutputFiles();
            state.ResumeTiming();
            commandBuffer = "macro/name=\"" + macro + "\"";
            doc.ExecuteCommandAndRedraw();
        }
        state.SetItemsProcessed(state.iterations() * kLines);
        state.counters["log_bytes"] =
            static_cast<double>(std::filesystem::file_size(home + "/meridyn.log"));
    }
    closeOutputFiles();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
    platform::setHooks(nullptr);
}
BENCHMARK(BM_MacroThroughTheCommandLoop)->Unit(benchmark::kMillisecond);

} // namespace
