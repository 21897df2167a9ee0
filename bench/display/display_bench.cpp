// The picture the console keeps on disk: encoding and writing an 800 x 600 PNG (target: under
// 20 ms).
#include <filesystem>

#include <benchmark/benchmark.h>

#include "display/raster/picture_file.h"
#include "display/raster/png_writer.h"
#include "display/raster/raster_surface.h"

namespace {

RasterSurface samplePicture() {
    RasterSurface r(800, 600);
    for (int i = 0; i < 200; ++i) {
        r.selectPen(i % 16);
        r.moveTo((i * 37) % 800, (i * 53) % 600);
        r.lineTo((i * 91) % 800, (i * 17) % 600);
    }
    r.setTextColor({0, 0, 0});
    r.textOut(40, 40, "GRID = 1.0 mm");
    return r;
}

void BM_EncodePng800x600(benchmark::State& state) {
    RasterSurface r = samplePicture();
    for (auto _ : state) {
        auto png = encodePng(r.width(), r.height(), r.pixels());
        benchmark::DoNotOptimize(png.data());
    }
}
BENCHMARK(BM_EncodePng800x600)->Unit(benchmark::kMillisecond);

void BM_WritePictureAtomically800x600(benchmark::State& state) {
    RasterSurface r = samplePicture();
    auto path = std::filesystem::temp_directory_path() / "meridyn-bench-picture.png";
    for (auto _ : state)
        benchmark::DoNotOptimize(writePngAtomically(path, r));
    std::error_code ec;
    std::filesystem::remove(path, ec);
}
BENCHMARK(BM_WritePictureAtomically800x600)->Unit(benchmark::kMillisecond);

} // namespace
