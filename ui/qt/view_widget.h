// The view of the main window: it renders the model synchronously through the QPainter surface
// into an image when asked to update, and its paint events only show the last finished image
// (so a paint while a command runs never writes into an open display or HPGL file).
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "display/views/view_host.h"

class ViewWidget : public QWidget, public ViewHost {
    Q_OBJECT
  public:
    using PaintRoutine = std::function<void(ViewHost& view, DrawSurface& surface)>;

    // Becomes the view that view commands repaint and connects the display to the settings.
    explicit ViewWidget(QWidget* parent = nullptr);
    ~ViewWidget() override;

    int clientWidth() const override { return image_.width(); }
    int clientHeight() const override { return image_.height(); }
    int statusLineHeight() const override { return 0; }
    void invalidateAndUpdate() override;
    // The view's last picked point (the repaint marks it with a cross).
    std::array<double, 3> pickedPoint() const override;

    // Replaces the repaint of the view (tests).
    void setPaintRoutine(PaintRoutine paint) { paint_ = std::move(paint); }
    // The last finished picture.
    const QImage& picture() const { return image_; }
    int renderCount() const { return renders_; }

  signals:
    // The window wants the document to update its views (after a resize).
    void resizedPicture();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QImage image_; // the picture being drawn (the last finished one between repaints)
    QImage shown_; // the last finished picture, which paint events show
    PaintRoutine paint_;
    int renders_ = 0;
    bool rendering_ = false, again_ = false;
};
