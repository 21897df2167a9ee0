// The document menu's enabling table, the macro entries' command texts, Copy text and the
// editor's command line.
#include <gtest/gtest.h>

#include <cmath>

#include "app/all_state.h"
#include "ui/props/document_menu.h"

namespace {

bool enabled(const std::string& text, const DocumentMenuState& s) {
    const auto m = documentMenuItemState(text, s);
    EXPECT_TRUE(m) << text;
    return m && m->enabled;
}

TEST(DocumentMenu, EnablingFollowsTheTable) {
    DocumentMenuState none;
    // Nothing run yet: the macro entries are off; the always-rows are on; IGES never.
    for (const char* t : {"&File>ReRunLastMacro", "&File>ClearReRunMacro", "&File>EditLastMacro"})
        EXPECT_FALSE(enabled(t, none)) << t;
    EXPECT_TRUE(enabled("&File>&Open...", none));
    EXPECT_TRUE(enabled("&File>HPGL export...", none));
    EXPECT_FALSE(enabled("&File>Import&IGES...", none));
    // Rows are the window's paths, spelled as its entries spell them.
    EXPECT_FALSE(enabled("#105>CosineLamp...", none));
    EXPECT_FALSE(documentMenuItemState("CosineLamp...", none));
    EXPECT_FALSE(enabled("#105>CopyBitmap", none));
    EXPECT_FALSE(enabled("&File>PauseMacro", none));
    EXPECT_FALSE(enabled(
        "#toolbar>Traces a collimated  (parallel)  bundle of rays from the lightsource.", none));
    EXPECT_FALSE(enabled("#105>Scatterer>Show...", none));
    EXPECT_FALSE(enabled("&Analyze>&Energy>Encircled...", none));
    EXPECT_FALSE(enabled("&Analyze>&Energy>RepeatLast", none));
    // The bitmap entries are the bitmaps' own.
    EXPECT_FALSE(documentMenuItemState("&Edit>CopyBitmap", none));
    // Not a row: "xCosineLamp..." is no match, nor is a path the table does not hold.
    EXPECT_FALSE(documentMenuItemState("#105>xCosineLamp...", none));
    EXPECT_FALSE(documentMenuItemState("&File>RunMacro...", none));

    DocumentMenuState s;
    s.objectCount = 2;
    s.currentLightSource = 1;
    s.spotFileAvailable = true;
    s.lastMacroPath = "/m/a b.mac";
    s.energyRepeat = true;
    s.heldBitmap = true;
    s.macroRunning = true;
    for (const auto& text : documentMenuTexts())
        EXPECT_EQ(enabled(text, s), text != "&File>Import&IGES...") << text;
    EXPECT_FALSE(documentMenuItemState("&File>PauseMacro", s)->checked);
    s.macroRunning = false;
    s.paused = true;
    EXPECT_TRUE(documentMenuItemState("&File>PauseMacro", s)->checked);
    EXPECT_TRUE(enabled("&File>PauseMacro", s));

    // Check marks.
    s.addRays = true;
    s.unitsIndex = 1;
    auto m = documentMenuItemState("&Options>AddRays", s);
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->checkable && m->checked);
    EXPECT_TRUE(documentMenuItemState("&Window>SetUnits>mm", s)->checked);
    s.unitsIndex = 0;
    EXPECT_FALSE(documentMenuItemState("&Window>SetUnits>mm", s)->checked);
    EXPECT_FALSE(documentMenuItemState("&Options>Preferences>PopUpOnError", s)->checked);
    EXPECT_TRUE(documentMenuItemState("#105>AdvancedTraceEngine", s)->checkable);
}

TEST(DocumentMenu, MacroTextsQuoteThePath) {
    EXPECT_EQ(runMacroCommandText("/home/u/my macros/a.mac"),
              "macro/run/name=\"/home/u/my macros/a.mac\"");
    EXPECT_EQ(runMacroCommandText("/q/\"x\".mac"), "macro/run/name=\"/q/\"\"x\"\".mac\"");
    EXPECT_FALSE(runMacroCommandText(""));
    EXPECT_FALSE(runMacroCommandText("/a|b.mac"));
    EXPECT_FALSE(runMacroCommandText("/a\nb.mac"));
    EXPECT_FALSE(runMacroCommandText("/" + std::string(240, 'm') + ".mac"));
    EXPECT_TRUE(runMacroCommandText("/a;clear & b.mac")); // quoted: no command split
}

TEST(DocumentMenu, CopyTextTakesTheLastLines) {
    std::string screen;
    for (int i = 1; i <= 150; ++i)
        screen += "line " + std::to_string(i) + "\n";
    CopiedText c = copyLastScreenLines(screen, 3);
    EXPECT_EQ(c.text, "line 148\nline 149\nline 150\n");
    EXPECT_EQ(c.linesCopied, 3);
    EXPECT_TRUE(c.note.empty());
    EXPECT_EQ(c.report, "3 (3) lines in output, 150 total. Stored 27 chars in 43 sized buffer.");
    c = copyLastScreenLines(screen, 0);
    EXPECT_EQ(c.note, "Copying last 100 lines.");
    EXPECT_EQ(c.linesCopied, 100);
    EXPECT_EQ(c.text.substr(0, 8), "line 51\n");
    c = copyLastScreenLines("a\nb", -2);
    EXPECT_EQ(c.note, "Copying last 100 lines...");
    EXPECT_EQ(c.text, "a\nb");
    EXPECT_EQ(c.linesCopied, 2);
}

TEST(DocumentMenu, EditorCommandLine) {
    EXPECT_EQ(editorCommandLine("/a b.mac", "code --wait", "vi"),
              (std::vector<std::string>{"code", "--wait", "/a b.mac"}));
    EXPECT_EQ(editorCommandLine("/x", "", "nano -w"),
              (std::vector<std::string>{"nano", "-w", "/x"}));
    EXPECT_EQ(editorCommandLine("/x", nullptr, "  "), (std::vector<std::string>{"xdg-open", "/x"}));
}

TEST(DocumentMenu, StateResets) {
    documentMenuModule().lastMacroPath = "/m.mac";
    resetDocumentMenuState();
    EXPECT_TRUE(documentMenuModule().lastMacroPath.empty());
    // It is part of the whole program's reset.
    documentMenuModule().lastMacroPath = "/m.mac";
    documentMenuModule().placementDialog = [](const PlacementToolValues& v) {
        return std::optional<PlacementToolValues>(v);
    };
    resetAllState();
    EXPECT_TRUE(documentMenuModule().lastMacroPath.empty());
    EXPECT_FALSE(documentMenuModule().placementDialog);
}

} // namespace

namespace {

TEST(DocumentMenu, PlacementToolTextsReplayTheMoveExactly) {
    PlacementToolValues v;
    v.name = "mir";
    v.x = 0.1;
    v.gamma = 1.0 / 3.0;
    auto t = placementToolTexts(v);
    ASSERT_TRUE(t);
    EXPECT_EQ(*t, (std::vector<std::string>{
                      "# > adjust placement",
                      "place/rotations mir 0.10000000000000001 0 0 0 0 0.33333333333333331 "}));
    v.placed = true;
    v.reference = "box";
    t = placementToolTexts(v);
    ASSERT_TRUE(t);
    ASSERT_EQ(t->size(), 3u);
    EXPECT_EQ((*t)[1], "remove mir");
    EXPECT_EQ((*t)[2].substr((*t)[2].size() - 4), " box");
    v.beta = std::nan("");
    EXPECT_FALSE(placementToolTexts(v));
}

} // namespace
