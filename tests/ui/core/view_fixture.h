// A view over the real interpreter without a window: the fake window records what the view
// asks of it and runs command texts through a real document.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "tests/command/test_support.h"
#include "ui/core/dib.h"
#include "ui/core/shell_state.h"
#include "ui/core/view_controller.h"
#include "ui/core/view_entries.h"
#include "ui/core/view_state.h"

namespace viewtest {

class FakeUi : public ViewUi {
  public:
    CQelDoc* doc = nullptr;
    std::vector<std::string> commands, lines, infos, errors, overlays;
    std::vector<std::string> files; // answers of the save chooser ("" cancels)
    int updates = 0, treeRefreshes = 0, prints = 0, previews = 0, bitmaps = 0, metafiles = 0;
    std::string metafilePath;
    int width = 803, height = 500;
    std::string paneLabels[2];
    double paneValues[3] = {0, 0, 0};
    double angles[2] = {0, 0};

    CQelDoc* document() override { return doc; }
    void executeCommand() override {
        commands.push_back(commandBuffer);
        doc->ExecuteCommand();
    }
    void executeLine() override {
        lines.push_back(commandBuffer);
        doc->ExecuteLine();
    }
    void runCommandLoop() override { doc->RunCommandLoop(); }
    bool commandRunning() const override { return false; }
    void updateAllViews() override { ++updates; }
    void refreshObjectTree() override { ++treeRefreshes; }
    int clientWidth() const override { return width; }
    int clientHeight() const override { return height; }
    void showViewAngles(double az, double el) override {
        angles[0] = az;
        angles[1] = el;
    }
    void showPaneLabels(const std::string& a, const std::string& b) override {
        paneLabels[0] = a;
        paneLabels[1] = b;
    }
    void showPaneValues(double a, double b, double c) override {
        paneValues[0] = a;
        paneValues[1] = b;
        paneValues[2] = c;
    }
    void drawOverlayText(int, int, const std::string& text) override { overlays.push_back(text); }
    void infoBox(const std::string& text) override { infos.push_back(text); }
    void errorBox(const std::string& text) override { errors.push_back(text); }
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string&) override {
        if (files.empty()) return std::nullopt;
        std::string f = files.front();
        files.erase(files.begin());
        if (f.empty()) return std::nullopt;
        return f;
    }
    void print(bool preview) override { ++(preview ? previews : prints); }
    void writeMetafile(const std::string& path) override {
        ++metafiles;
        metafilePath = path;
    }
    void copyMetafile() override { ++metafiles; }
    void copyBitmap() override { ++bitmaps; }
};

class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetAllState();
        resetShellState();
        resetBitmapState();
        programHome = home.path().string();
        // Files an entry makes in the working directory (plot files) land in the scratch home.
        oldDir = std::filesystem::current_path();
        std::filesystem::current_path(home.path());
        setenv("MERIDYN_INI", home.file("meridyn.ini").c_str(), 1);
        registerCommandHandlers();
        doc = std::make_unique<CQelDoc>();
        ui.doc = doc.get();
        view = std::make_unique<CQelView>(ui);
        theView = view.get();
        autoRetrace = 0;
    }
    void TearDown() override {
        theView = nullptr;
        view.reset();
        doc.reset();
        resetShellState();
        resetBitmapState();
        resetAllState();
        std::filesystem::current_path(oldDir);
    }
    // Runs a command as typed.
    void run(const std::string& text) {
        commandBuffer = text;
        doc->ExecuteCommand();
    }
    std::string log() const { return testsupport::readFile(home.path() / "meridyn.log"); }
    // The entry of that menu path.
    const ViewEntry& entry(const std::string& path) {
        if (entries.empty()) entries = viewEntries(*view);
        for (const auto& e : entries)
            if (e.path == path) return e;
        ADD_FAILURE() << "no entry " << path;
        static ViewEntry none{0, "", "", "", [] {}, {}, {}};
        return none;
    }
    void choose(const std::string& path) { entry(path).handler(); }

    testsupport::ScratchDir home;
    std::filesystem::path oldDir;
    FakeUi ui;
    std::unique_ptr<CQelDoc> doc;
    std::unique_ptr<CQelView> view;
    std::vector<ViewEntry> entries;
};

} // namespace viewtest
