#include <gtest/gtest.h>

#include "tests/command/interpreter_fixture.h"

namespace {

using Strings = std::vector<std::string>;

class DocumentStartTest : public testsupport::InterpreterTest {
  protected:
    testsupport::RecordingHooks ui;
};

TEST_F(DocumentStartTest, ConstructorStartsTheInterpreterOnce) {
    {
        CQelDoc doc(&ui);
        EXPECT_EQ(theDocument, &doc);
        EXPECT_EQ(screen(), "\nMERIDYN Version 5.0132\n");
        EXPECT_EQ(log(), "\n");
    }
    EXPECT_EQ(theDocument, nullptr);
    CQelDoc again(&ui);
    EXPECT_EQ(screen(), ""); // the banner comes once per program run
}

TEST_F(DocumentStartTest, UnwritableHomeIsReported) {
    programHome = dir.file("missing");
    CQelDoc doc(&ui);
    Strings texts;
    for (const auto& box : hooks.boxes)
        texts.push_back(box.text);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Error in logText\n");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Error setting log file."), texts.end());
    EXPECT_EQ(texts.back(), "!Warning! Error starting MERIDYN under windows!");
}

TEST_F(DocumentStartTest, NewDocumentRunsTheStartupMacroOnce) {
    std::string home = dir.path().string();
    writeFile("startup.opt", "noop first\n");
    CQelDoc doc(&ui);
    Strings order;
    documentSteps().clearModel.push_back([&](CQelDoc&) { order.push_back("clear model"); });
    documentSteps().afterNewDocument.push_back([&](CQelDoc&) { order.push_back("after"); });
    ASSERT_TRUE(doc.OnNewDocument());
    std::string call = "macro/name=\"" + home + "/startup.opt\"";
    EXPECT_EQ(screen(), "The MERIDYN Home Directory is " + home + "\n" + call + "\n");
    EXPECT_EQ(log(), "clear\n" + call + "\nnoop first          \n");
    EXPECT_EQ(ui.history, (Strings{"MERIDYN Cleared."}));
    EXPECT_EQ(ui.events, (Strings{"history", "tree", "redraw", "history", "select", "bitmap",
                                  "tree", "views"}));
    EXPECT_EQ(order, (Strings{"clear model", "after"}));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(documentState().startupDone, 1);

    // A second new document clears again but leaves the start-up macro unrun.
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(screen(), "The MERIDYN Home Directory is " + home + "\n");
    EXPECT_EQ(log(), "clear\n");
    EXPECT_EQ(commandBuffer, call);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentStartTest, MissingStartupMacroIsReported) {
    CQelDoc doc(&ui);
    doc.OnNewDocument();
    std::string home = dir.path().string();
    EXPECT_EQ(screen(), "The MERIDYN Home Directory is " + home + "\nmacro/name=\"" + home +
                            "/startup.opt\"\nERROR:  Macro file " + home +
                            "/startup.opt not found, command ignored.\n MD: ");
}

TEST_F(DocumentStartTest, ClearCommandStartsANewDocument) {
    CQelDoc doc(&ui);
    doc.OnNewDocument();
    commandBuffer = "noop before; clear; noop after";
    doc.ExecuteCommand();
    std::string home = dir.path().string();
    EXPECT_EQ(screen(), "The MERIDYN Home Directory is " + home + "\n MD: ");
    EXPECT_EQ(log(), "clear\n");
    EXPECT_EQ(ui.history, (Strings{"MERIDYN Cleared.", "MERIDYN Cleared."}));
}

TEST_F(DocumentStartTest, BuildCommandTextFromTheParsedCommand) {
    CQelDoc doc(&ui);
    parseOne("Energy/Polar/File=\"x\" name 1e3 -0.25");
    EXPECT_EQ(doc.BuildCommandText(), "energy/polar/file 1000 -0.25");
}

} // namespace
