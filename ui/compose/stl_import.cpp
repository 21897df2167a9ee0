#include "ui/compose/stl_import.h"

#include "command/document/document.h"
#include "command/interpreter/reader.h"
#include "command/messages/messages.h"
#include "engine/model/current_objects.h"
#include "platform/platform_hooks.h"

namespace {

void closeProgress(StlImportUi& ui) {
    if (ui.closeProgress) ui.closeProgress();
}

} // namespace

StlImportResult importStl(StlImportUi& ui, const std::string& logPath) {
    StlImportResult result;
    if (!ui.chooseFile) return result;
    const auto path = ui.chooseFile();
    if (!path) return result;
    StlSinks sinks{ui.runCommand, ui.logLine, ui.messageBox};
    // An unreadable file is refused before anything is asked.
    const int format = StlReader::SniffFormat(*path, sinks);
    if (format == 0) {
        if (ui.messageBox) ui.messageBox(*path, "Unable to read file.");
        result.end = StlImportEnd::Unreadable;
        return result;
    }
    StlParameters preset;
    const auto parameters = ui.askParameters ? ui.askParameters(preset) : std::nullopt;
    if (!parameters) return result;

    StlReader reader(sinks);
    reader.logPath = logPath;
    reader.startCommand = stlStartCommand(*parameters);
    const bool binary = format != 1;
    reader.binary = binary ? 1 : 0;
    if (ui.openProgress) ui.openProgress(reader);
    const int opened = binary ? reader.OpenBinary(*path) : reader.OpenAscii(*path);
    if (!opened) {
        closeProgress(ui);
        result.end = StlImportEnd::OpenFailed;
        return result;
    }
    auto next = [&reader, binary] { return binary ? reader.ReadBinary() : reader.ParseAscii(); };
    long passes = 0;
    bool escaped = false;
    for (int more = next(); more; more = next()) {
        if (++passes % kStlPollPasses != 0) continue;
        if (ui.escapePending && ui.escapePending()) {
            escaped = true;
            break;
        }
        if (ui.refreshProgress) ui.refreshProgress(reader);
    }
    const bool refused = reader.startRefused;
    const bool failed = reader.commandFailed;
    reader.Finish();
    // A net without a facet would stay behind as a void object: it goes, and the user is told.
    if (reader.netVoid && ui.runCommand) ui.runCommand("delete " + parameters->name);
    closeProgress(ui);
    if (reader.netVoid && ui.messageBox)
        ui.messageBox(*path, *path + " gave no facet; the empty net " + parameters->name +
                                 " was deleted.");
    result.facets = reader.facetCount;
    result.warnings = reader.warningCount;
    result.end = refused          ? StlImportEnd::Refused
                 : reader.netVoid ? StlImportEnd::Empty
                 : escaped        ? StlImportEnd::Escaped
                 : failed         ? StlImportEnd::Failed
                                  : StlImportEnd::Finished;
    return result;
}

namespace {

// While the import runs its commands, Escape is the import's: the command loop polls it before
// every command and would turn the one it met into an abort (a facet lost its corner, and
// "polynet/fin" never ran). Everything else goes to the hooks in force.
class ImportHooks : public platform::PlatformHooks {
  public:
    explicit ImportHooks(platform::PlatformHooks& inner) : inner_(inner) {}
    void messageBox(const std::string& title, const std::string& text,
                    platform::BoxIcon icon) override {
        inner_.messageBox(title, text, icon);
    }
    bool askYesNo(const std::string& title, const std::string& text, bool defaultYes) override {
        return inner_.askYesNo(title, text, defaultYes);
    }
    void beep() override { inner_.beep(); }
    bool escapePending() override { return false; }
    // Each command would set the wait cursor and take it back again, twice for every one of a
    // facet's six; between commands, where the window takes its events, it is off all the same.
    void waitCursor(bool) override {}
    void progress(long done, long total) override { inner_.progress(done, total); }

  private:
    platform::PlatformHooks& inner_;
};

// The window's per-command steps (the object tree, the selected item) wait for the end of the
// import: six commands a facet would refresh them 120,000 times for 20,000 facets.
class ImportDocumentHooks : public DocumentHooks {
  public:
    explicit ImportDocumentHooks(DocumentHooks& inner) : inner_(inner) {}
    void updateAllViews() override { inner_.updateAllViews(); }
    void redrawIfAutoRedraw() override { inner_.redrawIfAutoRedraw(); }
    void refreshObjectTree() override {}
    void reloadHistory() override { inner_.reloadHistory(); }
    void addHistoryLine(const std::string& text) override { inner_.addHistoryLine(text); }
    void selectViewObjectItem() override {}
    void clearHeldBitmap() override { inner_.clearHeldBitmap(); }
    bool showPauseDialog(const std::string& note) override {
        return inner_.showPauseDialog(note);
    }

  private:
    DocumentHooks& inner_;
};

// After every command the status line names the selected object; while the import runs only
// the last of those texts is shown, when it ends.
class DeferredStatusLine {
  public:
    DeferredStatusLine() : shown_(std::move(currentObjectsState().statusLine)) {
        if (shown_) currentObjectsState().statusLine = [this](const std::string& text) {
            last_ = text;
            pending_ = true;
        };
    }
    ~DeferredStatusLine() {
        currentObjectsState().statusLine = std::move(shown_);
        if (pending_ && currentObjectsState().statusLine) currentObjectsState().statusLine(last_);
    }
    DeferredStatusLine(const DeferredStatusLine&) = delete;
    DeferredStatusLine& operator=(const DeferredStatusLine&) = delete;

  private:
    std::function<void(const std::string&)> shown_;
    std::string last_;
    bool pending_ = false;
};

} // namespace

StlImportResult OnFileImportStl(CQelDoc& doc, StlImportUi ui, const std::string& logPath) {
    platform::PlatformHooks& hooks = platform::hooks();
    if (!ui.escapePending) ui.escapePending = [&hooks] { return hooks.escapePending(); };
    ImportHooks importHooks(hooks);
    struct Restore {
        platform::PlatformHooks& hooks;
        ~Restore() { platform::setHooks(&hooks); }
    } restore{hooks};
    platform::setHooks(&importHooks);
    if (!ui.runCommand)
        ui.runCommand = [&doc](const std::string& line) {
            commandBuffer = line;
            doc.ExecuteLine();
            return errorOccurred != 0;
        };
    // The files and the history are brought up to date only when commands ran since the last
    // refresh: a file that only warns runs none for thousands of lines.
    bool ran = false;
    ui.runCommand = [run = ui.runCommand, &ran](const std::string& line) {
        ran = true;
        return run(line);
    };
    auto refresh = ui.refreshProgress;
    ui.refreshProgress = [&doc, refresh, &ran](StlReader& reader) {
        if (refresh) refresh(reader);
        if (!ran) return;
        ran = false;
        flushOutputFiles();
        doc.hooks().reloadHistory();
    };
    DocumentHooks& documentHooks = doc.hooks();
    ImportDocumentHooks importDocumentHooks(documentHooks);
    doc.setHooks(&importDocumentHooks);
    const StlImportResult result = [&] {
        // The command log and screen.out are written out at each refresh and when the import
        // ends, whichever way, not after each of the six commands a facet makes.
        OutputFlushHold hold;
        DeferredStatusLine status;
        return importStl(ui, logPath);
    }();
    doc.setHooks(&documentHooks);
    if (result.end == StlImportEnd::Cancelled || result.end == StlImportEnd::Unreadable)
        return result;
    documentHooks.reloadHistory();
    // Also after Escape: the net holds what was read.
    documentHooks.refreshObjectTree();
    documentHooks.selectViewObjectItem();
    if (result.facets > 0) doc.SetModifiedFlag(true);
    documentHooks.redrawIfAutoRedraw();
    return result;
}
