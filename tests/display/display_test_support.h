// Shared set-up of the drawing tests: a scratch directory as the current directory and home,
// the whole display state (and every layer below) reset, scripted platform hooks.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "command/messages/messages.h"
#include "display/plot/plot_primitives.h"
#include "display/views/display_state.h"
#include "platform/scripted_hooks.h"
#include "tests/command/scratch_home_fixture.h"
#include "tests/command/test_support.h"

namespace displaytest {

inline std::vector<std::string> readLines(const std::filesystem::path& p) {
    std::string text = testsupport::readFile(p);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

class PlotTest : public testsupport::ScratchHomeTest {
  protected:
    void resetState() override { resetDisplayState(); }
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        ScratchHomeTest::SetUp();
    }
    void TearDown() override {
        ScratchHomeTest::TearDown();
        std::filesystem::current_path(previous_);
    }
    // The lines of a plot file written so far: of the open stream (which writes under a
    // temporary name until the plot is put in place), else of the file of that name.
    std::vector<std::string> fileLines(std::FILE* f, const std::string& name) {
        if (!f) return readLines(dir.file(name));
        std::fflush(f);
        return readLines("/proc/self/fd/" + std::to_string(fileno(f)));
    }

    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard{hooks};

  private:
    std::filesystem::path previous_;
};

} // namespace displaytest
