// The analyses at size through the document's command loop: energy/xlinear over a spots.dat of
// 1,000,000 detector hits (target: under 0.5 s), and view/image nx=640 ny=480 of the bundled
// example model (reported).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/register_commands.h"
#include "bench/bench_support.h"
#include "command/document/document.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/reader.h"
#include "engine/files/ray_files.h"

namespace {

constexpr int kHits = 1000000;

// The current directory for the run (TEMP.SOL is written there), restored afterwards.
class InDirectory {
  public:
    explicit InDirectory(const std::string& dir) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }

  private:
    std::filesystem::path previous_;
};

void run(CQelDoc& doc, const std::string& command) {
    commandBuffer = command;
    doc.ExecuteCommand();
}

void BM_XlinearMillionHits(benchmark::State& state) {
    bench::MacroHome home("unused.mac");
    InDirectory here(home.home());
    registerCommandHandlers();
    {
        CQelDoc doc;
        doc.OnNewDocument();
        run(doc, "define/detector xsize=10 ysize=10");
        run(doc, "place 1 0 0 100");
        // After the new document, which deletes the data files: a million hits on the film.
        openSpotOutput(0);
        closeSpotFile();
        {
            std::ofstream out(spotFilePath(), std::ios::binary);
            unsigned char record[kSpotRecordBytes];
            for (int i = 0; i < kHits; ++i) {
                SpotRecord r;
                r.point = {9.99 * std::sin(i * 0.001), 9.99 * std::cos(i * 0.0007), 0};
                r.energy = 0.5 + 0.5 * ((i % 7) / 7.0);
                r.objectNumber = 1;
                r.surfaceNumber = 1;
                r.direction = {0, 0, 1};
                encodeSpotRecord(r, record);
                out.write(reinterpret_cast<const char*>(record), sizeof record);
            }
        }
        for (auto _ : state)
            run(doc, "energy/xlinear object=1 nbins=20");
        state.SetItemsProcessed(state.iterations() * kHits);
    }
    resetCommandHandlers();
}
BENCHMARK(BM_XlinearMillionHits)->Unit(benchmark::kMillisecond);

void BM_ImageOfTheBundledExample(benchmark::State& state) {
    bench::MacroHome home("unused.mac");
    InDirectory here(home.home());
    const std::string example = std::string(MERIDYN_SOURCE_DIR) + "/examples/demo.mac";
    registerCommandHandlers();
    {
        CQelDoc doc;
        doc.OnNewDocument();
        run(doc, "macro/name=\"" + example + "\"");
        for (auto _ : state)
            run(doc, "view/image nx=640 ny=480");
        state.SetItemsProcessed(state.iterations() * 640 * 480);
    }
    resetCommandHandlers();
}
BENCHMARK(BM_ImageOfTheBundledExample)->Unit(benchmark::kMillisecond);

} // namespace
