// A fixture for tests of the reader, the macros and the command loop: fresh interpreter state,
// a scratch home directory with meridyn.log and screen.out, scripted platform hooks, and
// helpers that run text through the reader or through the document.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "command/document/command_state.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/command_table.h"
#include "command/document/document.h"
#include "command/interpreter/macros.h"
#include "command/messages/messages.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "platform/scripted_hooks.h"
#include "tests/command/scratch_home_fixture.h"
#include "tests/command/test_support.h"

namespace testsupport {

// The parsed command in one line: word/modifiers[=value] words [numbers].
inline std::string describeParsedCommand() {
    const auto& p = parsedCommand();
    std::string s = p.commandWord;
    for (int i = 0; i < p.modifierCount; ++i) {
        s += "/";
        s += p.modifierWords[i];
        if (p.modifierHasValue[i]) s += std::string("=") + p.quotedStrings[i];
    }
    for (int w = 0; w < kMaxParameterWords && std::string(p.parameterWords[w]) != " "; ++w)
        s += std::string(" ") + p.parameterWords[w];
    std::string numbers;
    for (int i = 0; i < kMaxNumerics; ++i)
        if (p.numericGiven[i])
            numbers += (numbers.empty() ? "" : ",") + formatText("%g", p.numericValues[i]);
    if (!numbers.empty()) s += " [" + numbers + "]";
    return s;
}

// What a run of `line` printed after the echo of the line, less the prompt that ends the run.
inline std::string printedAfterEcho(std::string printed, const std::string& line) {
    const std::string echo = line + "\n";
    const std::size_t at = printed.find(echo);
    if (at != std::string::npos) printed.erase(0, at + echo.size());
    const std::string prompt = std::string(" ") + kStartupPrompt;
    if (printed.size() >= prompt.size() &&
        printed.compare(printed.size() - prompt.size(), prompt.size(), prompt) == 0)
        printed.erase(printed.size() - prompt.size());
    return printed;
}

class InterpreterTest : public ScratchHomeTest {
  protected:
    void SetUp() override {
        ScratchHomeTest::SetUp();
        resetReaderState();
    }
    void TearDown() override {
        ScratchHomeTest::TearDown();
        if (console) std::fclose(console);
    }

    // Makes `text` what the console stream gives from now on.
    void typeOnConsole(const std::string& text) {
        if (console) std::fclose(console);
        typed = text;
        console = typed.empty() ? std::fopen("/dev/null", "r")
                                : fmemopen(typed.data(), typed.size(), "r");
        messageState().consoleStream = console;
        readerState().inputStream = console;
    }

    // Reads every command of `text` (given as console lines) and describes each.
    std::vector<std::string> readAll(const std::string& text) {
        typeOnConsole(text);
        std::vector<std::string> out;
        for (int guard = 0; guard < 1000; ++guard) {
            int error = 0;
            readCommandLine(&error);
            if (readerState().inputExhausted) break;
            out.push_back(describeParsedCommand());
        }
        return out;
    }

    // Reads only the first command of `text`; the parsed command stays for inspection.
    std::string parseOne(const std::string& text) {
        typeOnConsole(text + "\n");
        int error = 0;
        readCommandLine(&error);
        return describeParsedCommand();
    }

    // The one command of a console line.
    std::string readOne(const std::string& line) {
        auto all = readAll(line + "\n");
        return all.empty() ? std::string("<none>") : all.front();
    }

    std::string writeFile(const std::string& name, const std::string& content) {
        std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    std::string log() { return readFile(dir.file("meridyn.log")); }

    platform::ScriptedHooks hooks;
    platform::ScopedHooks guard{hooks};
    std::string typed;
    std::FILE* console = nullptr;
};

// A document whose user-interface effects are recorded.
class RecordingHooks : public DocumentHooks {
  public:
    std::vector<std::string> events;
    std::vector<std::string> history;
    int pauseAnswersBeforeOk = 0;
    std::vector<std::string> pauseNotes;
    void updateAllViews() override { events.push_back("views"); }
    void redrawIfAutoRedraw() override { events.push_back("redraw"); }
    void refreshObjectTree() override { events.push_back("tree"); }
    void reloadHistory() override { events.push_back("history"); }
    void addHistoryLine(const std::string& text) override { history.push_back(text); }
    void selectViewObjectItem() override { events.push_back("select"); }
    void clearHeldBitmap() override { events.push_back("bitmap"); }
    bool showPauseDialog(const std::string& note) override {
        pauseNotes.push_back(note);
        return pauseAnswersBeforeOk-- <= 0;
    }
};

// Runs commands through a document whose handlers record the commands they receive.
class DocumentTest : public InterpreterTest {
  protected:
    void SetUp() override {
        InterpreterTest::SetUp();
        doc = std::make_unique<CQelDoc>(&ui);
        for (const char* word : {"set", "show", "define", "place", "activate", "echo", "view",
                                 "modify", "save", "display"}) {
            addCommandHandler(word, [this](CQelDoc&) {
                ran.push_back(describeParsedCommand());
                return 1;
            });
        }
    }
    void TearDown() override {
        doc.reset();
        InterpreterTest::TearDown();
    }
    // Runs `text` as the user interface does.
    void execute(const std::string& text) {
        commandBuffer = text;
        doc->ExecuteCommand();
    }

    RecordingHooks ui;
    std::unique_ptr<CQelDoc> doc;
    std::vector<std::string> ran;
};

} // namespace testsupport
