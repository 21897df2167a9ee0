// The view's behaviour without a window: the command entry points every view entry uses, the
// post-command step, the view type, the paint's steps before and after the wireframe, the four
// selector modes' drags and the arrow keys. What only a window can do (status panes, boxes,
// printing, the clipboard) it asks of a ViewUi; the Qt view implements it, tests fake it.
#pragma once

#include <functional>
#include <optional>
#include <string>

class CQelDoc;
class DrawSurface;
class ViewHost;
struct IndexedImage;

// What the view needs of the window around it.
class ViewUi {
  public:
    virtual ~ViewUi() = default;
    virtual CQelDoc* document() = 0;
    // Run commandBuffer through the document's ExecuteCommand or ExecuteLine (with the input
    // guard up, so nothing else starts meanwhile).
    virtual void executeCommand() = 0;
    virtual void executeLine() = 0;
    // The document's command loop over commandBuffer (the tour), with the same guard.
    virtual void runCommandLoop() = 0;
    // True while a command runs (no handler starts anything then).
    virtual bool commandRunning() const = 0;
    virtual void updateAllViews() = 0;
    virtual void refreshObjectTree() = 0;
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    virtual void showViewAngles(double azimuth, double elevation) = 0;
    virtual void showPaneLabels(const std::string& first, const std::string& second) = 0;
    virtual void showPaneValues(double a, double b, double c) = 0;
    // Text drawn over the picture at a client point (y from the top), until the next paint.
    virtual void drawOverlayText(int x, int y, const std::string& text) = 0;
    virtual void infoBox(const std::string& text) = 0;
    virtual void errorBox(const std::string& text) = 0;
    // The save-file chooser; nullopt when cancelled.
    virtual std::optional<std::string> chooseSaveFile(const std::string& caption,
                                                      const std::string& filter) = 0;
    // The window's own operations on the picture.
    virtual void print(bool preview) = 0;
    virtual void writeMetafile(const std::string& path) = 0;
    virtual void copyMetafile() = 0;
    virtual void copyBitmap() = 0;
};

// Where later pieces hang the dialogs the view opens. Unset ones run nothing; a command dialog
// or tool dialog that does not open ends as a cancelled one: the redefinition mark and
// redefineMode are cleared.
struct ViewSeams {
    // The parameter dialogs of a command path.
    std::function<void(int mode, const std::string& path)> commandDialog;
    // A tool dialog by its menu entry ("Place...", "Rotate...", ...).
    std::function<void(const std::string& entry)> toolDialog;
    // The "Data Output to File" dialog: the file name, nullopt when cancelled.
    std::function<std::optional<std::string>()> dataOutputDialog;
    // The document's redefinition of the selected object: the define path and its values preset
    // into the templates; 1 done, 0 not found, -1 a polygon net.
    std::function<int(std::string& path)> metamorph;
    // Clears the part list's redefinition mark.
    std::function<void()> clearRedefinitionMark;
};
ViewSeams& viewSeams();
void resetViewSeams();

class CQelView {
  public:
    explicit CQelView(ViewUi& ui);

    ViewUi& ui() { return ui_; }

    // printf-style command text run through ExecuteCommand, then a redraw when AutoRedraw is
    // on. A text over the reader's 250 characters gives an error box and is not run.
    void IssueCommand(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // The same through ExecuteLine, without a redraw of its own.
    void IssueCommandDirect(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Runs a text through ExecuteCommand (no redraw); false when refused.
    bool ExecuteText(const std::string& text);
    // The parameter dialogs of a command path (through the seam).
    void RunCommandDialog(int mode, const std::string& path);
    void RedrawIfAutoRedraw();
    // Retrace when AutoRetrace is on, the intensity image again in view type 7, redraw.
    void FinishViewCommand();
    // The last trace again (the retrace entry and Options > UpdateAll).
    void RepeatLastTrace();
    void SetViewType(int type);
    // The intensity view of the selected radiometer.
    void OnIntensityView();
    // "%2d %% Complete" over the picture, drawn only when the text changes.
    void ShowProgress(double fraction);

    // The paint: the steps before the picture (view type fall-backs, fletch length, grid marker,
    // client size, printing flags) and after it (pane mappings, line export, colour table).
    // Returns what to draw: the solid image, the intensity image, the wireframe.
    struct PaintPlan {
        bool solidImage = false;
        bool intensityImage = false;
        bool wireframe = true;
    };
    PaintPlan BeginPaint(DrawSurface& surface, bool monochromePage);
    void EndPaint(bool monochromePage);
    // The whole paint into a surface of the view, a printer page or a metafile; `header` is
    // printed above a printer page.
    void OnDraw(ViewHost& host, DrawSurface& surface, bool monochromePage = false,
                const std::string& header = {});
    // The rendered image (view/image) over the whole surface, as the console paints it.
    void DrawSolidImage(DrawSurface& surface);
    // The intensity image of view type 7 with its colour bar, caption and detector outline.
    void DrawIntensityView(ViewHost& host, DrawSurface& surface);

    // The mouse (client points, y from the bottom) and the arrow keys.
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnLButtonUp(int x, int y);
    enum class Arrow { Left, Up, Right, Down };
    void OnArrowKey(Arrow key);
    // The azimuth and elevation into range, the status panes, redraw.
    void NormalizeAzEl();
    void SetWorkboxFromBox(const int a[2], const int b[2]);

  private:
    void runText(const std::string& text, bool direct);

    ViewUi& ui_;
};

// The view of the window (null when none); the progress hook and the seams reach it here.
inline CQelView* theView = nullptr;
