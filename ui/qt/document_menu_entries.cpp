// The document's menu entries on the main window: macros, the saved history, the text editor,
// ray text and HPGL output, Copy text and a few options, enabled and checked by the document's
// table (ui/props/document_menu.h).
#include "ui/qt/document_menu_entries.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "command/general/file_names.h"
#include "command/interpreter/aliases.h"
#include "command/interpreter/macros.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "command/saving/model_saving.h"
#include "command/settings/settings.h"
#include "display/analysis/film_plane_analysis.h"
#include "display/plot/plot_files.h"
#include "engine/files/ray_dump.h"
#include "engine/files/ray_files.h"
#include "engine/model/current_objects.h"
#include "engine/model/object_table.h"
#include "parts/part_list.h"
#include "platform/safe_file.h"
#include "platform/temp_file.h"
#include "ui/core/dib.h"
#include "ui/core/shell_state.h"
#include "ui/core/view_state.h"
#include "ui/qt/main_window.h"
#include "ui/qt/view_widget.h"

namespace {

const char* const kMacroFilter =
    "Macros (*.mac);; Demos (*.wdm);; Static models (*.opt);; All files (*)";
const char* const kTextFilter = "Text files (*.txt);; All files (*)";

void box(MainWindow& w, const std::string& text) {
    w.prompts().message("", text, false);
}

// Runs the macro at `path` through the window, or says why it cannot be passed whole.
void runMacro(MainWindow& w, const std::string& path) {
    const auto text = runMacroCommandText(path);
    if (!text) {
        box(w, "The macro file name cannot be passed to the macro command: " + path);
        return;
    }
    w.IssueCommandText(*text);
}

void startEditor(MainWindow& w, const std::string& path) {
    const std::vector<std::string> args =
        editorCommandLine(path, std::getenv("VISUAL"), std::getenv("EDITOR"));
    QStringList rest;
    for (std::size_t i = 1; i < args.size(); ++i)
        rest << QString::fromStdString(args[i]);
    if (!QProcess::startDetached(QString::fromStdString(args.front()), rest))
        box(w, "Unable to start the editor " + args.front() + ".");
}

// Writes a text output through a temporary file renamed over `path`; false when it cannot
// (any old file then stays as it was).
bool writeTextOutput(const std::string& path, const std::function<void(std::FILE*)>& write) {
    platform::ReplacementFile file;
    if (!file.open(path)) return false;
    write(file.stream());
    return file.commit();
}

// A file the dialog chose that is one of the program's own is refused with a box.
bool ownFileChosen(MainWindow& w, const std::string& path) {
    if (!isOwnFile(path)) return false;
    box(w, "The file " + path + " is one of MERIDYN's own files; choose another.");
    return true;
}

void saveHistory(MainWindow& w) {
    std::string& last = documentMenuModule().lastMacroPath;
    const auto path = w.prompts().chooseSaveFile("SaveHistory", kMacroFilter, last);
    if (!path || ownFileChosen(w, *path)) return;
    last = *path;
    CQelDoc& doc = w.document();
    switch (saveModelFile(doc, *path, false)) {
    case SaveResult::LogUnreadable:
        box(w, kLogFileError);
        return;
    case SaveResult::TargetUnwritable:
        box(w, kSaveFileError);
        return;
    case SaveResult::LineTooLong: // said in the history already
        w.reloadHistory();
        return;
    case SaveResult::Saved:
        break;
    }
    // An emptied buffer: the run only brings the tree, the history and the views up to date.
    // The document counts as saved after it, since the run of nothing changes nothing.
    commandBuffer.clear();
    doc.ExecuteCommandAndRedraw();
    doc.SetModifiedFlag(false);
    doc.SetPathName(*path);
    w.setPathName(*path);
}

void copyText(MainWindow& w) {
    const std::string screen = [] {
        flushOutputFiles();
        std::ifstream in(messageState().screenOutPath, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }();
    const CopiedText c = copyLastScreenLines(screen, w.historyModel().linesAdded());
    if (!c.note.empty()) box(w, c.note);
    QGuiApplication::clipboard()->setText(QString::fromStdString(c.text));
    w.addHistoryLine(c.report);
}

// The placement tool: the current object's placement in the dialog; OK runs the lines a
// placement logs, so the log replays the move and the document counts as changed.
void placementTool(MainWindow& w) {
    const std::string label = viewObject > 0 ? objectLabel(viewObject) : "";
    CPart* part = thePartList ? thePartList->FindPart(label) : nullptr;
    CPlacementInfo info;
    if (!part || !part->GetPlacement(info)) return;
    const auto& dialog = documentMenuModule().placementDialog;
    if (dialog) {
        PlacementToolValues v;
        v.name = part->name;
        v.placed = part->geometry && part->geometry->placed;
        v.x = info.x, v.y = info.y, v.z = info.z;
        v.alpha = info.alpha, v.beta = info.beta, v.gamma = info.gamma;
        v.reference = info.referenceNumber ? info.referenceName : std::string();
        if (const auto edited = dialog(v)) {
            if (const auto texts = placementToolTexts(*edited)) {
                for (const std::string& t : *texts)
                    w.ExecuteCommandText(t);
                if (autoRetrace && shellState().repeatLastTrace)
                    shellState().repeatLastTrace(w.document());
            } else {
                box(w, "The placement holds a value that is not a number; nothing was moved.");
            }
        }
    }
    w.updateAllViews();
}

} // namespace

DocumentMenuState documentMenuSnapshot(const MainWindow& w) {
    DocumentMenuState s;
    s.objectCount = objectCount;
    s.currentLightSource = currentLightSource;
    s.spotFileAvailable = spotFileAvailable() != 0;
    s.lastMacroPath = documentMenuModule().lastMacroPath;
    s.energyRepeat = !const_cast<MainWindow&>(w).document().LastEnergyCommand().empty();
    s.addRays = addRays != 0;
    s.errorPopup = errorPopup != 0;
    s.advancedTrace = qelViewState().advancedTrace != 0;
    s.unitsIndex = currentUnit;
    s.heldBitmap = dibValid(bitmapState().dibHandle);
    s.paused = const_cast<MainWindow&>(w).document().Paused();
    s.macroRunning = macroTop > 0;
    return s;
}

void appendDocumentEntries(MainWindow& w, std::vector<ShellEntry>& entries) {
    MainWindow* win = &w;
    auto idle = [](const ShellSnapshot& s) { return !s.commandRunning; };
    std::string& last = documentMenuModule().lastMacroPath;
    auto add = [&](const std::string& path, std::function<void()> handler, int id = 0) {
        entries.push_back({id, path, "", std::move(handler), idle, {}});
    };
    add("&File>RunMacro...", [win, &last] {
        const auto path = win->prompts().chooseOpenFile("RunMacro", kMacroFilter);
        if (!path) return;
        last = *path;
        runMacro(*win, *path);
    });
    add("&File>SaveHistory(Macr&o)...", [win] { saveHistory(*win); });
    // Both drop the model when the macro clears it first (a saved history does): they ask
    // about unsaved work as New and Open do.
    add("&File>ReRunLastMacro", [win, &last] {
        if (last.empty() || (macroBeginsWithClear(last) && !win->SaveModified())) return;
        runMacro(*win, last);
    }, 32931);
    add("&File>ClearReRunMacro", [win, &last] {
        if (last.empty()) return;
        // A path the macro command cannot carry is refused before the model is cleared.
        if (!runMacroCommandText(last)) return runMacro(*win, last);
        if (!win->SaveModified()) return;
        win->IssueCommandText("clear");
        runMacro(*win, last);
    });
    add("&File>EditLastMacro", [win, &last] {
        if (!last.empty()) startEditor(*win, last);
    });
    add("&File>EditFile...", [win, &last] {
        const auto path = win->prompts().chooseOpenFile("EditFile", kMacroFilter);
        if (!path) return;
        startEditor(*win, *path);
        last = *path;
    });
    add("&File>SaveRaysAsText...", [win] {
        const auto path =
            win->prompts().chooseSaveFile("Data Output to File", kTextFilter, "rays.txt");
        if (!path || ownFileChosen(*win, *path)) return;
        const bool ok = writeTextOutput(*path, [](std::FILE* f) {
            if (openRayFile()) {
                printRayData(OutputChannel(f), 1, 1);
                closeRayFile();
            }
        });
        if (!ok) box(*win, "Unable to open ray text file " + *path + " for output.");
    });
    add("&File>SaveSpotsAsText...", [win] {
        const auto path =
            win->prompts().chooseSaveFile("Data Output to File", kTextFilter, "spot.txt");
        if (!path || ownFileChosen(*win, *path)) return;
        if (!writeTextOutput(*path, [](std::FILE* f) { listSpotData(OutputChannel(f)); }))
            box(*win, "Unable to open spot text file " + *path + " for output.");
    });
    add("&Analyze>&Display>Spot>Directions...", [win] {
        listSpotDirections(outputChannel);
        win->reloadHistory();
    });
    add("&Analyze>&Display>Spot>Locations...", [win] {
        listSpotLocationsAndDirections(outputChannel);
        win->reloadHistory();
    });
    add("&File>HPGL export...", [win] {
        const auto path = win->prompts().chooseSaveFile(
            "Data Output to File", "HPGL (*.hgl);; All files (*)", "system.hgl");
        if (!path || ownFileChosen(*win, *path)) return;
        // The plot is painted at once, so no file is left open or empty.
        exportHpglPlot(*path, *win->view());
    });
    add("&Edit>CopyText", [win] { copyText(*win); });
    add("#toolbar>Display the objects placement and adjust it numerically.",
        [win] { placementTool(*win); });
    add("&Window>SetUnits>mm", [win] {
        commandBuffer = "set/units/mm";
        win->document().ExecuteLine();
        win->reloadHistory();
    });
    add("&Options>AddRays", [] { addRays = addRays ? 0 : 1; }, 32916);
    add("&Options>ReSet", [win] {
        resetSettings();
        win->updateAllViews();
    });
    add("&Options>Preferences>PopUpOnError", [] { errorPopup = errorPopup ? 0 : 1; });
    add("&File>Import&IGES...", [] {});
    // The held bitmap at its own resolution, and the mask from the clipboard.
    add("#105>CopyBitmap", [win] { win->OnCopyBitmap(); });
    add("#105>BitmapToMask", [win] { win->OnBitmapToMask(); });
    // Switched while a macro runs: enabled by the table alone.
    entries.push_back({0, kPauseMacroPath, "", [win] { win->OnPauseMacro(); }, {}, {}, true});
}

void applyDocumentMenuTable(const DocumentMenuState& state, const ShellEntry& e, QAction* a,
                            bool ownEnabled) {
    const auto t = documentMenuItemState(e.path, state);
    a->setEnabled(ownEnabled && (!t || t->enabled));
    if (t && t->checkable && !e.checked) {
        a->setCheckable(true);
        a->setChecked(t->checked);
    }
}
