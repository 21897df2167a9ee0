// Shared set-up of the settings tests: a scratch home and working directory, a private settings
// file, captured screen output, and a way to put one command into the parsed-command state.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "command/color_tables.h"
#include "command/parsed_command.h"
#include "command/settings.h"
#include "command/settings_commands.h"
#include "platform/scripted_hooks.h"
#include "tests/command/test_support.h"

namespace testsupport {

// Fills the parsed-command state with one normalised command, as the reader leaves it:
// lower-case command word and modifiers, modifier values (quoted ones keep their case), the
// numbers in order and the other words.
inline void parseCommandText(const std::string& line) {
    resetParsedCommand();
    auto& p = parsedCommand();
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (auto& w : p.modifierWords)
        std::snprintf(w, sizeof w, " ");
    for (auto& w : p.parameterWords)
        std::snprintf(w, sizeof w, " ");
    std::size_t i = 0, n = line.size();
    std::size_t end = line.find_first_of(" /");
    std::string word = lower(line.substr(0, end));
    std::snprintf(p.commandWord, sizeof p.commandWord, "%.20s", word.c_str());
    i = end == std::string::npos ? n : end;
    int numbers = 0, params = 0;
    while (i < n) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        if (line[i] == '/') {
            std::size_t stop = line.find_first_of(" /=", i + 1);
            if (stop == std::string::npos) stop = n;
            std::string name = lower(line.substr(i + 1, stop - i - 1));
            int m = p.modifierCount++;
            std::snprintf(p.modifierWords[m], sizeof p.modifierWords[m], "%.20s",
                          name.empty() ? " " : name.c_str());
            i = stop;
            if (i < n && line[i] == '=') {
                ++i;
                std::string value;
                if (i < n && line[i] == '"') {
                    std::size_t close = line.find('"', i + 1);
                    if (close == std::string::npos) close = n;
                    value = line.substr(i + 1, close - i - 1);
                    i = close == n ? n : close + 1;
                } else {
                    std::size_t stop2 = line.find_first_of(" /", i);
                    if (stop2 == std::string::npos) stop2 = n;
                    value = line.substr(i, stop2 - i);
                    i = stop2;
                    double v;
                    if (!value.empty() && std::isdigit(static_cast<unsigned char>(value[0])) &&
                        parseNumber(value.c_str(), &v)) {
                        p.modifierNumber[m] = v;
                        p.modifierNumberGiven[m] = 1;
                    }
                }
                std::snprintf(p.quotedStrings[m], sizeof p.quotedStrings[m], "%s", value.c_str());
                p.modifierHasValue[m] = 1;
            }
            continue;
        }
        std::size_t stop = line.find(' ', i);
        if (stop == std::string::npos) stop = n;
        std::string token = line.substr(i, stop - i);
        i = stop;
        double v;
        if (parseNumber(token.c_str(), &v)) {
            if (numbers < kMaxNumerics) {
                p.numericValues[numbers] = v;
                p.numericGiven[numbers] = 1;
                ++numbers;
            }
        } else if (params < kMaxParameterWords) {
            std::snprintf(p.parameterWords[params++], 41, "%.40s", lower(token).c_str());
        }
    }
}

// Scratch home and working directory, MERIDYN_INI pointing into it, fresh module state and
// captured screen text.
class SettingsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        oldDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        resetMessageState();
        programHome = dir.path().string();
        setOutputFiles();
        messageState().screenMirror = [this](std::string_view t) { screen_.append(t); };
        resetSettingsState();
        resetColorTableState();
        settingsHooks() = SettingsHooks{};
        iniPath = dir.file("meridyn.ini");
        setenv("MERIDYN_INI", iniPath.c_str(), 1);
    }
    void TearDown() override {
        messageState().screenMirror = nullptr;
        resetMessageState();
        resetSettingsState();
        resetColorTableState();
        settingsHooks() = SettingsHooks{};
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
