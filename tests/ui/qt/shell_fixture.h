// A fixture for the widget tests: an offscreen Qt application, a scratch home directory with an
// optional startup.opt, the command handlers of the whole program, and a main window answering
// through the scripted prompts.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidgetItem>
#include <fstream>
#include <memory>

#include "app/all_state.h"
#include "app/register_commands.h"
#include "command/document/document.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/command_table.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/parsed_command.h"
#include "command/interpreter/reader.h"
#include "display/views/view_modes.h"
#include "command/messages/messages.h"
#include "command/settings/settings.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "tests/command/test_support.h"
#include "ui/core/dib.h"
#include "ui/core/prompts.h"
#include "ui/core/shell_state.h"
#include "ui/qt/main_window.h"
#include "ui/qt/command_line.h"
#include "ui/qt/object_tree.h"

namespace shelltest {

// The application made by the tests' main.
inline QApplication& application() {
    return *qApp;
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        application();
        programHome = home.path().string();
        setenv("MERIDYN_INI", home.file("meridyn.ini").c_str(), 1);
        // Each test under CTest runs in a process of its own; run together, they start afresh.
        resetAllState();
        programHome = home.path().string();
        registerCommandHandlers();
    }
    void TearDown() override {
        window.reset();
        resetAllState();
    }

    void writeFile(const std::string& name, const std::string& text) {
        std::ofstream out(home.file(name), std::ios::binary);
        out << text;
    }
    // Makes the window and runs the first new document (startup.opt).
    MainWindow& start(const std::string& startup = "", const std::string& file = "") {
        if (!startup.empty()) writeFile("startup.opt", startup);
        window = std::make_unique<MainWindow>(&prompts);
        window->resize(800, 600);
        window->show();
        window->start(file.empty() ? "" : home.file(file));
        return *window;
    }
    // Types a line into the command line and presses Enter.
    void type(const std::string& line) {
        window->commandLine()->setEditText(QString::fromStdString(line));
        window->OnOK();
    }
    std::string log() const { return testsupport::readFile(home.path() / "meridyn.log"); }
    std::string screen() const { return testsupport::readFile(home.path() / "screen.out"); }
    QStringList treeTexts() const {
        QStringList out;
        QTreeWidgetItem* root = window->tree()->root();
        for (int i = 0; i < root->childCount(); ++i)
            out << root->child(i)->text(0);
        return out;
    }
    QTreeWidgetItem* treeItem(const QString& text) const {
        QTreeWidgetItem* root = window->tree()->root();
        for (int i = 0; i < root->childCount(); ++i)
            if (root->child(i)->text(0) == text) return root->child(i);
        return nullptr;
    }
    QStringList history() const;

    testsupport::ScratchDir home;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
};

inline QStringList ShellTest::history() const {
    QStringList out;
    for (const auto& e : window->historyModel().entries())
        out << QString::fromStdString(e);
    return out;
}

inline constexpr const char* kTwoLenses = "define/lens lens1\nplace/object lens1 0 0 0\n";

} // namespace shelltest
