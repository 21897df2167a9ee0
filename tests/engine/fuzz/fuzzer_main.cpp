// libFuzzer entry point for the data-file readers.
#include "tests/engine/fuzz/ray_files_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzRayFilesOneInput(data, size);
}
