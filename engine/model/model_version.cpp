#include "engine/model/model_version.h"

namespace {
std::uint64_t& versionState() {
    static std::uint64_t version = 1;
    return version;
}
} // namespace

std::uint64_t modelVersion() { return versionState(); }

void bumpModelVersion() { ++versionState(); }

void resetModelVersion() { ++versionState(); }
