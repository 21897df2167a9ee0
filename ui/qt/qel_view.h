// The Qt side of the view: mouse and arrow keys on the view widget (a rubber band for box
// drags), the context menu and the view's toolbar, progress and position texts over the
// picture, printing and print preview through the window's printer, the metafile, and the
// clipboard. The behaviour itself is the Qt-free CQelView's.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "ui/core/view_controller.h"

class MainWindow;
class ViewWidget;
class QLabel;
class QMenu;
class QPrinter;
class QRubberBand;
class QToolBar;

class QelView : public QObject, public ViewUi {
    Q_OBJECT
  public:
    QelView(MainWindow& window, ViewWidget* widget);
    ~QelView() override;

    CQelView& core() { return core_; }
    // Builds the context menu and the view's toolbar from the window's actions.
    void buildMenus();
    QMenu* contextMenu() const { return contextMenu_; }
    QToolBar* toolBar() const { return toolBar_; }
    QLabel* overlay() const { return overlay_; }

    // The print and preview dialogs; tests replace them (true: go on and print).
    std::function<bool(QPrinter&)> printDialog;
    std::function<void(QPrinter&, const std::function<void(QPrinter*)>& paint)> previewDialog;
    // Paints the picture on the printer's pages (one page).
    void printTo(QPrinter& printer);
    // The picture as metafile bytes at the client size.
    std::vector<std::uint8_t> metafileBytes();

    // ViewUi.
    CQelDoc* document() override;
    void executeCommand() override;
    void executeLine() override;
    void runCommandLoop() override;
    bool commandRunning() const override;
    void updateAllViews() override;
    void refreshObjectTree() override;
    int clientWidth() const override;
    int clientHeight() const override;
    void showViewAngles(double azimuth, double elevation) override;
    void showPaneLabels(const std::string& first, const std::string& second) override;
    void showPaneValues(double a, double b, double c) override;
    void drawOverlayText(int x, int y, const std::string& text) override;
    void infoBox(const std::string& text) override;
    void errorBox(const std::string& text) override;
    std::optional<std::string> chooseSaveFile(const std::string& caption,
                                              const std::string& filter) override;
    void print(bool preview) override;
    void writeMetafile(const std::string& path) override;
    void copyMetafile() override;
    void copyBitmap() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void guarded(const std::function<void()>& run);

    MainWindow& window_;
    ViewWidget* widget_;
    CQelView core_;
    QRubberBand* band_ = nullptr;
    QLabel* overlay_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
};
