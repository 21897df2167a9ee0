// The document's menu entries without any widget: which items are enabled and checked (one pure
// function of a state snapshot), the command texts of the macro entries, the lines of Copy text
// and the editor's command line. The window applies them (ui/qt/document_menu_entries.cpp).
#pragma once

#include <optional>
#include <string>
#include <vector>

// What the enabling table looks at.
struct DocumentMenuState {
    int objectCount = 0;
    int currentLightSource = 0;
    bool spotFileAvailable = false;
    std::string lastMacroPath;
    bool hasBitmap = false;
    bool energyRepeat = false; // an energy command can be repeated
    bool addRays = false, errorPopup = false, advancedTrace = false;
    int unitsIndex = 0; // 1: millimetres
};

struct MenuItemState {
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
};

// The state of the item of that menu text (a path "&File>ReRunLastMacro", the last part of a
// path such as "CosineLamp...", or a status-tip text); nullopt for an item the table does not
// govern (its update leaves it as it is).
std::optional<MenuItemState> documentMenuItemState(const std::string& text,
                                                   const DocumentMenuState& state);
// Every text the table governs, as written in it.
const std::vector<std::string>& documentMenuTexts();

// The document menu's own state, grouped so tests can reset it.
struct DocumentMenuModule {
    std::string lastMacroPath; // the last macro run, saved or edited
};
DocumentMenuModule& documentMenuModule();
void resetDocumentMenuState();

// macro/run/name="PATH" with quotes doubled; nullopt when the reader would not give the path back
// whole (empty, a '|' or a control character, or a line longer than the reader takes).
std::optional<std::string> runMacroCommandText(const std::string& path);

// Copy text: the last `count` lines of `screenText` (below 1: the last 100), each with its line
// end. `note` is the box shown first ("Copying last 100 lines." for 0, "Copying last 100
// lines..." below 0, else empty); `report` is the history line afterwards.
struct CopiedText {
    std::string text;
    std::string note;
    std::string report;
    int linesCopied = 0;
};
CopiedText copyLastScreenLines(const std::string& screenText, int count);

// The editor's program and arguments for a file: $VISUAL, else $EDITOR (their words, then the
// path), else xdg-open and the path. Started without a shell.
std::vector<std::string> editorCommandLine(const std::string& path, const char* visual,
                                           const char* editor);
