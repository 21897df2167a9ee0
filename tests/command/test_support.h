// Helpers shared by the interpreter tests: a scratch home directory, file reading (both from
// tests/platform/scratch_files.h) and the reading back of a scratch stream.
#pragma once

#include <cstdio>
#include <string>

#include "tests/platform/scratch_files.h"

namespace testsupport {

// Everything written to the scratch stream `f` (a tmpfile), read from its start; closes `f`.
inline std::string readBack(std::FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

} // namespace testsupport
