// Shared set-up of the settings tests: a scratch home and working directory, a private settings
// file, captured screen output, and a way to put one command into the parsed-command state.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "command/document/command_state.h"
#include "command/settings/color_tables.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "command/settings/settings.h"
#include "command/settings/settings_commands.h"
#include "platform/scripted_hooks.h"
#include "tests/command/test_support.h"

namespace testsupport {

// Fills the parsed-command state with one command line the way the reader does.
inline void parseCommandText(const std::string& line) {
    std::string command = line;
    normalizeLine(command);
    parseNumerics(command);
    splitCommandWords(command);
}

// Scratch home and working directory, MERIDYN_INI pointing into it, fresh module state and
// captured screen text.
class SettingsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        oldDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        resetCommandState();
        programHome = dir.path().string();
        setOutputFiles();
        messageState().screenMirror = [this](std::string_view t) { screen_.append(t); };
        iniPath = dir.file("meridyn.ini");
        setenv("MERIDYN_INI", iniPath.c_str(), 1);
    }
    void TearDown() override {
        messageState().screenMirror = nullptr;
        resetCommandState();
        unsetenv("MERIDYN_INI");
        std::filesystem::current_path(oldDir_);
    }

    // Runs one SET or SHOW command and returns what it printed.
    std::string run(const std::string& line) {
        parseCommandText(line);
        screen_.clear();
        errorOccurred = 0;
        std::string word = parsedCommand().commandWord;
        result = word == "show" ? showCommand() : runSetCommand();
        return screen_;
    }
    std::string screen() const { return screen_; }
    void clearScreen() { screen_.clear(); }

    ScratchDir dir;
    std::string iniPath;
    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard{hooks};
    int result = -1;

  private:
    std::filesystem::path oldDir_;
    std::string screen_;
};

} // namespace testsupport
