// The texts of the windowed shell that need no windowing library: command texts composed for
// the document, window titles and file-name rules, the command-line clean-up, the object tree's
// item texts and the checks on what the user typed. Each returns text or a verdict; none runs
// anything.
#pragma once

#include "command/interpreter/macros.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The caption of the main window for a document title.
std::string windowTitle(const std::string& documentTitle);
// The untitled document's name.
inline constexpr const char* kUntitledName = "Untitled.opt";
// True when the name ends in "opt" in any case (a saved model, not a macro).
bool isModelFileName(std::string_view path);
// Save As: a name without an extension gets ".opt".
std::string withModelExtension(const std::string& path);
// The file name shown as the document title (the last path component).
std::string titleOfPath(const std::string& path);
// "macro/name=" and the quoted path.
std::string macroCommandText(const std::string& path);
// The save command that keeps the model under `path`.
std::string saveCommandText(const std::string& path);
// The question asked before unsaved work would be dropped.
std::string saveChangesQuestion(const std::string& documentTitle);

// The typed text as command lines: each line of pasted text is one command line; other control
// characters become blanks. Empty lines are kept out, except that a text with no line at all
// gives one empty line (Enter on an empty command line).
std::vector<std::string> commandLinesOfTypedText(std::string_view text);

// True when the line holds nothing but a stop word (end, exit, bye, quit in any case): it ends
// the program and changes nothing, so it leaves no unsaved work behind.
bool isBareStopWord(std::string_view line);

// The object tree's item text of an object.
std::string treeItemText(const std::string& label, const std::string& kindName,
                         const std::string& suffix = "");
// An item text up to its first "(" when that stands after the first character; else whole.
std::string labelOfItemText(std::string_view text);
// The surface number of a "Surface<digits>" item; 1 for any other text and for numbers below 1.
int surfaceNumberOfItemText(std::string_view text);
// The object a label names: the number in an alias's replacement text, else the number at the
// start of the label (0 when none).
int objectNumberOfLabel(const std::string& label);
// A name the rename command takes as an alias: a letter, then letters, digits or "_", at most
// 19 characters (upper case is taken as lower case, as the reader folds it).
bool isValidAliasName(std::string_view name);
// The rename of a tree item, the name in lower case: nullopt when nothing is to be done (root, empty text) or the name
// is refused (then `refused` is set).
std::optional<std::string> renameCommandText(const std::string& labelBefore,
                                             const std::string& newText, bool* refused);
inline constexpr const char* kTreeRootText = "MERIDYN objects";

// Reads a command line for an object name: characters 2 to 40, stopping before a blank or "(".
// The name goes to `name`. Returns the object it names when it is an alias or the number of an
// existing object, else nullopt (the selection stays).
std::optional<int> parseCommandObjectName(std::string_view line, std::string& name);

// The polar radiometer belts of the Design menu.
enum class BeltPlane { XY, XZ, YZ };
struct BeltRequest {
    int cells = 36;
    double width = 0.25;
    double radius = 0;
};
// The message that refuses the values, or nullopt when they are good.
std::optional<std::string> checkBeltRequest(const BeltRequest& request);
// The four command lines that make, place, turn and attach the belt.
std::vector<std::string> beltCommandTexts(BeltPlane plane, const BeltRequest& request);
// The radius the dialog offers: the length of the workbox half-width vector.
double defaultBeltRadius(double hx, double hy, double hz);
