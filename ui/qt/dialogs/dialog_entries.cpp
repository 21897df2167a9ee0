#include "ui/qt/dialogs/dialog_entries.h"

#include <QPointer>
#include <memory>

#include "command/interpreter/aliases.h"
#include "command/interpreter/reader.h"
#include "engine/model/current_objects.h"
#include "platform/platform_hooks.h"
#include "platform/temp_file.h"
#include "ui/compose/command_dialog.h"
#include "ui/core/shell_state.h"
#include "ui/core/view_controller.h"
#include "ui/core/view_state.h"
#include "ui/qt/dialogs/command_dialogs.h"
#include "ui/qt/dialogs/stl_progress_dialog.h"
#include "ui/qt/dialogs/tool_dialogs.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qel_view.h"
#include "ui/qt/qt_platform_hooks.h"
#include "ui/props/document_menu.h"

namespace {

void cancelled() {
    if (viewSeams().clearRedefinitionMark) viewSeams().clearRedefinitionMark();
    redefineMode = 0;
}

ToolContext toolContext(MainWindow& w) {
    ToolContext c;
    c.parent = &w;
    c.view = &w.qelView()->core();
    c.box = [&w](const std::string& caption, const std::string& text) {
        w.prompts().message(caption, text, false);
    };
    return c;
}

void runCommandDialog(MainWindow& w, int mode, const std::string& path) {
    const auto& v = qelViewState();
    CommandDialogContext context;
    context.viewObject = viewObject;
    context.viewObjectLabel = objectLabel(viewObject);
    context.verifyTrace = v.verifyTrace != 0;
    context.dataOutputOn = v.dataOutputOn != 0;
    context.dataOutputFile = v.dataOutputFile;
    context.clearRedefinitionMark = viewSeams().clearRedefinitionMark;
    QelView* view = w.qelView();
    QtCommandDialogSeam seam(&w, [view](const std::string& text, bool error) {
        if (error)
            view->errorBox(text);
        else
            view->infoBox(text);
    });
    const auto text = composeCommandDialog(mode, path, context, seam);
    if (!text) return;
    view->core().ExecuteText(*text);
    view->core().RedrawIfAutoRedraw();
    // A define skipped the parameter dialog: its values are edited on the new object's sheet.
    if (path.compare(0, 6, "define") == 0 && shellState().showPropertyFrame)
        shellState().showPropertyFrame();
}

// A filter of the form "Models (*.stl)|*.stl||" as the file dialog takes it: "Models (*.stl)".
std::string fileDialogFilter(const std::string& filter) {
    std::string out;
    std::size_t at = 0;
    for (int part = 0; at <= filter.size(); ++part) {
        std::size_t end = filter.find('|', at);
        if (end == std::string::npos) end = filter.size();
        const std::string piece = filter.substr(at, end - at);
        if (part % 2 == 0 && !piece.empty()) out += (out.empty() ? "" : ";;") + piece;
        at = end + 1;
    }
    return out;
}

} // namespace

StlImportResult importStlFile(MainWindow& w) {
    StlImportUi ui;
    ui.chooseFile = [&w] {
        return w.prompts().chooseOpenFile("ImportSTL", fileDialogFilter(kStlFileFilter));
    };
    ui.askParameters = [&w](const StlParameters& preset) -> std::optional<StlParameters> {
        auto d = makeStlParametersDialog(preset, &w, [&w] {
            w.prompts().askOkCancel(kStlEmptyNameCaption, kStlEmptyNameText);
        });
        if (runDialog(*d) != QDialog::Accepted) return std::nullopt;
        return StlParameters{d->text("name"), d->numberOr("reflectance", 1),
                             d->numberOr("absorption", 0), d->numberOr("index", 1)};
    };
    ui.messageBox = [&w](const std::string& caption, const std::string& text) {
        w.prompts().message(caption, text, true);
    };
    std::unique_ptr<ReadingStlFileDialog> dialog;
    bool guarding = false;
    ui.openProgress = [&](StlReader& reader) {
        dialog = std::make_unique<ReadingStlFileDialog>(
            reader, [&w] { w.platformHooks().requestEscape(); }, &w);
        // Shown without blocking; while it shows, only it takes input.
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        w.platformHooks().beginCommand();
        guarding = true;
        w.updateActions();
    };
    ui.refreshProgress = [&](StlReader&) {
        if (dialog) dialog->refresh();
    };
    ui.logLine = [&](const std::string& text) {
        if (dialog) dialog->addLog(text);
    };
    ui.closeProgress = [&] {
        dialog.reset();
        if (guarding) w.platformHooks().endCommand();
        guarding = false;
        w.updateActions();
    };
    ui.escapePending = [&w] { return w.platformHooks().escapePending(); };
    const StlImportResult result =
        OnFileImportStl(w.document(), ui, platform::joinPath(programHome, kStlLogFileName));
    if (result.end != StlImportEnd::Escaped && result.end != StlImportEnd::Cancelled &&
        shellState().refreshObjectProperties)
        shellState().refreshObjectProperties();
    return result;
}

int defineCubeCorner(MainWindow& w) {
    return runCubeCorner(toolContext(w));
}

std::vector<ShellEntry> installDialogs(MainWindow& window) {
    QPointer<MainWindow> w(&window);
    viewSeams().commandDialog = [w](int mode, const std::string& path) {
        if (!w) return cancelled();
        runCommandDialog(*w, mode, path);
    };
    viewSeams().toolDialog = [w](const std::string& entry) {
        if (!w || !runToolDialog(entry, toolContext(*w))) cancelled();
    };
    viewSeams().dataOutputDialog = [w]() -> std::optional<std::string> {
        if (!w) return std::nullopt;
        return askDataOutputFile(w);
    };
    // The document menu's placement tool shows the "Placement Tool" dialog with the object's
    // placement; OK hands back the edited values.
    documentMenuModule().placementDialog =
        [w](const PlacementToolValues& v) -> std::optional<PlacementToolValues> {
        auto d = makePlacementDialog(w);
        d->setNumber("a", v.alpha), d->setNumber("b", v.beta), d->setNumber("g", v.gamma);
        d->setNumber("x", v.x), d->setNumber("y", v.y), d->setNumber("z", v.z);
        d->setText("object", v.name);
        d->setText("reference", v.reference);
        if (runDialog(*d) != QDialog::Accepted) return std::nullopt;
        PlacementToolValues edited = v;
        edited.alpha = d->numberOr("a", 0), edited.beta = d->numberOr("b", 0);
        edited.gamma = d->numberOr("g", 0);
        edited.x = d->numberOr("x", 0), edited.y = d->numberOr("y", 0), edited.z = d->numberOr("z", 0);
        edited.reference = d->text("reference");
        return edited;
    };
    // Always enabled; neither starts while a command runs.
    auto idle = [w] { return w && !w->platformHooks().commandRunning(); };
    return {
        {0, "&File>ImportSTL...", "", [w, idle] { if (idle()) importStlFile(*w); }, {}, {}},
        {0, "&Design>Prism>CornerCube...", "", [w, idle] { if (idle()) defineCubeCorner(*w); },
         {}, {}},
    };
}
