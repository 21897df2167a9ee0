// The document's menu entries without any widget: which items are enabled and checked (one pure
// function of a state snapshot), the command texts of the macro entries, the lines of Copy text
// and the editor's command line. The window applies them (ui/qt/document_menu_entries.cpp).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the enabling table looks at.
struct DocumentMenuState {
    int objectCount = 0;
    int currentLightSource = 0;
    bool spotFileAvailable = false;
    std::string lastMacroPath;
    bool energyRepeat = false; // an energy command can be repeated
    bool addRays = false, errorPopup = false, advancedTrace = false;
    int unitsIndex = 0; // 1: millimetres
    bool heldBitmap = false;   // the document holds a bitmap
    bool paused = false;       // the macro pause flag is set
    bool macroRunning = false; // a macro runs (the pause flag can be set)
};

// The entry that switches the macro pause flag.
inline constexpr const char* kPauseMacroPath = "&File>PauseMacro";

struct MenuItemState {
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
};

// The state of the entry of that path, spelled as the window's entries spell it
// ("&File>ReRunLastMacro", "#105>CosineLamp...", "#toolbar>" and a prompt); nullopt for an entry
// the table does not govern (its update leaves it as it is).
std::optional<MenuItemState> documentMenuItemState(const std::string& path,
                                                   const DocumentMenuState& state);
// Every path the table governs.
const std::vector<std::string>& documentMenuTexts();

// What the placement tool shows and edits.
struct PlacementToolValues {
    std::string name;    // the object's label
    bool placed = false; // the object is placed in the workbox
    double x = 0, y = 0, z = 0, alpha = 0, beta = 0, gamma = 0;
    std::string reference; // the object it is placed inside, or empty
};

// The document menu's own state, grouped so tests can reset it.
struct DocumentMenuModule {
    std::string lastMacroPath; // the last macro run, saved or edited
    // The "Placement Tool" dialog: the edited values, nullopt for Cancel. Unset: no dialog.
    std::function<std::optional<PlacementToolValues>(const PlacementToolValues&)> placementDialog;
};
DocumentMenuModule& documentMenuModule();
void resetDocumentMenuState();

// macro/run/name="PATH" with quotes doubled; nullopt when the reader would not give the path back
// whole (empty, a '|' or a control character, or a line longer than the reader takes).
std::optional<std::string> runMacroCommandText(const std::string& path);

// Whether the macro at `path` begins by clearing the model, as a saved history does: its first
// command, past blank and comment lines, is clear. Only a regular file is read, and only its
// first lines; anything else is taken as not clearing.
bool macroBeginsWithClear(const std::string& path);

// The placement tool's OK: the lines a placement writes to the log, run as commands so the log
// replays the move exactly: "# > adjust placement", "remove NAME" when placed, then
// "place/rotations NAME x y z alpha beta gamma REFERENCE" with every digit. nullopt when a value
// is not finite or a line would be longer than the reader takes.
std::optional<std::vector<std::string>> placementToolTexts(const PlacementToolValues& v);

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
