// Replays the fuzz corpus of the data-file readers, plus generated hostile inputs, so that the
// sanitizer build checks them on every run.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "command/messages/messages.h"
#include "engine/files/ray_files.h"
#include "engine/model/engine_state.h"
#include "platform/rand15.h"
#include "tests/command/test_support.h"
#include "tests/engine/fuzz/ray_files_fuzz.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::uint8_t> asBytes(const std::string& s) {
    return {s.begin(), s.end()};
}

void run(const std::vector<std::uint8_t>& input) {
    fuzzRayFilesOneInput(input.data(), input.size());
}

// Records whose fields are all one awkward double, with flags and indexes around the edges.
std::vector<std::uint8_t> hostileRecords(double value, std::int32_t flag) {
    std::vector<std::uint8_t> out;
    for (int r = 0; r < 9; ++r) {
        std::uint8_t rec[kSpotRecordBytes];
        encodeSpotRecord({{value, value, value}, value, flag, flag, {value, value, value}, flag},
                         rec);
        out.insert(out.end(), rec, rec + sizeof rec);
    }
    return out;
}
} // namespace

TEST(FuzzReplay, Corpus) {
    fs::path dir = MERIDYN_ENGINE_FUZZ_CORPUS;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        run(asBytes(testsupport::readFile(entry.path())));
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(FuzzReplay, NonFiniteValuesAndEveryCutLength) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {std::nan(""), inf, -inf, 1e308, -0.0, 5e-324}) {
        for (std::int32_t flag : {-1, 0, 2, 12, -2147483647 - 1}) {
            std::vector<std::uint8_t> input = hostileRecords(v, flag);
            for (std::size_t cut : {0, 1, 27, 28, 29, 55, 56, 63, 64, 67, 68, 69, 135, 136, 140})
                run({input.begin(), input.begin() + cut});
            run(input);
        }
    }
}

TEST(FuzzReplay, RandomBytes) {
    platform::Rand15 rng(2024);
    for (int i = 0; i < 300; ++i) {
        std::vector<std::uint8_t> input(rng.next() % 400);
        for (auto& b : input)
            b = static_cast<std::uint8_t>(rng.next());
        run(input);
    }
    resetEngineState();
}
