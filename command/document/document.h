// The document: the one place where command text is run. Every road into the model (the
// command line, menus, dialogs, opened files) puts text into commandBuffer and calls one of the
// execute operations, which run the command loop and then bring the user interface up to date
// through DocumentHooks. This core builds without any windowing library.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What the document asks of the user interface. Every operation does nothing by default, so a
// console program or a test runs the document unchanged; the windowed front end overrides them.
class DocumentHooks {
  public:
    virtual ~DocumentHooks() = default;
    virtual void updateAllViews() {}
    // The views redraw when automatic redrawing is on.
    virtual void redrawIfAutoRedraw() {}
    virtual void refreshObjectTree() {}
    // Refills the history list from screen.out.
    virtual void reloadHistory() {}
    virtual void addHistoryLine(const std::string& text) { (void)text; }
    // Selects the object tree item of the object selected in the views.
    virtual void selectViewObjectItem() {}
    // Drops the bitmap the document holds (a new document starts without one).
    virtual void clearHeldBitmap() {}
    // Shows the pause dialog with its note; true when it was closed with OK.
    virtual bool showPauseDialog(const std::string& note) {
        (void)note;
        return true;
    }
    // Holds a macro before its next command while the macro pause flag is set (the user
    // interface switches it); returns once the flag is cleared or Escape was pressed.
    virtual void waitWhilePaused() {}
};

class CQelDoc;
class CDefineParams;

// Steps that later subsystems hang on the document's life cycle.
using DocumentStep = std::function<void(CQelDoc&)>;
// Makes an object that the document owns for a later subsystem (the raytrace manager).
using DocumentMemberFactory = std::function<std::shared_ptr<void>(CQelDoc&)>;
struct DocumentSteps {
    // Run by the constructor in this order; the members die with the document, last first.
    std::vector<DocumentMemberFactory> members;
    std::vector<DocumentStep> clearModel; // new document: objects, parts, ray files, statistics
    std::vector<DocumentStep> afterNewDocument; // new document, after the start-up macro
    std::vector<DocumentStep> afterRun;         // after every execute operation (current objects)
    // The part model's side of Metamorph (see CQelDoc::Metamorph); unset: 0 ("Part not found.").
    std::function<int(CQelDoc&, CDefineParams*, std::string*)> metamorph;
};
DocumentSteps& documentSteps();

struct DocumentState {
    int startupDone = 0; // startup.opt has been offered once in this program run
};
DocumentState& documentState();
// Restores the load-time state of the document module and removes every registered step.
void resetDocumentState();

class CQelDoc {
  public:
    // Starts the interpreter (output files, banner, prompt) and becomes theDocument.
    explicit CQelDoc(DocumentHooks* hooks = nullptr);
    ~CQelDoc();
    CQelDoc(const CQelDoc&) = delete;
    CQelDoc& operator=(const CQelDoc&) = delete;

    // Run commandBuffer and everything it leads to; they differ in what follows the run.
    void ExecuteCommand();
    void ExecuteCommandAndRedraw();
    void ExecuteLine();

    // Clears the model, the log and the screen text and runs startup.opt of the home directory
    // the first time in a program run.
    bool OnNewDocument();

    // Runs the file as a macro: an .opt file (the test is on a lower-cased copy of the name)
    // becomes the document's path and leaves it unmodified; any other file leaves the document
    // "Untitled.opt" and modified. True whatever the macro did.
    bool OnOpenDocument(const std::string& path);
    // Saves the model to `path`: the compressed form when the name ends in "opt" or "OPT", else
    // the complete form. A failure is shown in an information box and keeps any old file; on
    // success the document is unmodified and named by `path`.
    bool OnSaveDocument(const std::string& path);
    // The settings block of a saved model, one SET (or VIEW, ECHO) command a line.
    void WriteSettings(std::FILE* stream);
    // Prepares the redefinition of the part of the selected object (viewObject): marks it in the
    // part list, turns redefineMode on, and hands its define path and values to the caller (the
    // define dialog) through `params` and `partNameOut`. 1 ready, 0 no such part (after the
    // error "Part not found."), -1 a polygon net (nothing changes).
    int Metamorph(int ignored, CDefineParams* params, std::string* partNameOut);

    // Runs commands until the input is used up and no macro of this run is active. Returns 1
    // when a stop word (end, exit, bye, quit) was met in the text.
    int RunCommandLoop();
    // Runs the handler of the matched command word.
    void DispatchCommand();

    // The command being run, rebuilt from the parsed command.
    std::string BuildCommandText() const;
    // Writes command lines with `writer` into a new temporary file in the current directory and
    // runs them one by one, each line whole, through ExecuteLine (replicating an object).
    void RunReplicatedCommands(const std::function<void(std::FILE*)>& writer);

    void SetModifiedFlag(bool modified) { modified_ = modified; }
    const std::string& GetPathName() const { return pathName_; }
    void SetPathName(const std::string& path) { pathName_ = path; }
    bool IsModified() const { return modified_; }
    // True when the last execute operation met a stop word typed at its own level (not inside
    // a macro it started).
    bool StopWordTyped() const { return stopWordTyped_; }
    // The text of the last energy command (for repeating it).
    const std::string& LastEnergyCommand() const { return lastEnergyCommand_; }
    // The macro pause flag: the pause command sets it while its dialog shows; set from the user
    // interface it holds a running macro before its next command. It ends with the run.
    bool Paused() const { return paused_; }
    void SetPaused(bool paused) { paused_ = paused; }

    DocumentHooks& hooks() { return *hooks_; }
    void setHooks(DocumentHooks* hooks);

  private:
    void runExecute(bool markModified, bool redraw, bool reloadHistory);
    void runPause();

    DocumentHooks defaultHooks_;
    DocumentHooks* hooks_ = &defaultHooks_;
    bool modified_ = false;
    bool stopWordTyped_ = false;
    bool paused_ = false;
    int runDepth_ = 0; // nested command loops
    std::string lastEnergyCommand_;
    std::string pathName_;
    std::vector<std::shared_ptr<void>> members_;
};

// The one document of the program (null before it is made).
inline CQelDoc* theDocument = nullptr;

// Formats a command into commandBuffer and runs it through the document's ExecuteCommand.
void IssueFormattedCommand(CQelDoc* doc, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
