// The base of the fixtures whose program home is a fresh scratch directory: the state of the
// fixture's layer is reset before and after every test, and the run's log and screen text are
// written in that directory.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "command/document/command_state.h"
#include "command/messages/messages.h"
#include "tests/command/test_support.h"

namespace testsupport {

class ScratchHomeTest : public ::testing::Test {
  protected:
    // The reset of the fixture's layer, run before and after every test; fixtures of a higher
    // layer override it with their layer's reset.
    virtual void resetState() { resetCommandState(); }
    void SetUp() override {
        resetState();
        programHome = dir.path().string();
        setOutputFiles();
    }
    void TearDown() override { resetState(); }
    std::string screen() { return readFile(dir.file("screen.out")); }

    ScratchDir dir;
};

} // namespace testsupport
