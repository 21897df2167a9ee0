#include "ui/qt/view_widget.h"

#include <QPainter>
#include <QResizeEvent>

#include "display/views/repaint.h"
#include "display/views/view_modes.h"
#include "ui/core/view_state.h"
#include "ui/qt/qt_surface.h"

ViewWidget::ViewWidget(QWidget* parent)
    : QWidget(parent), image_(800, 600, QImage::Format_RGB32), paint_(&paintView) {
    image_.fill(Qt::white);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(100, 80);
    setFocusPolicy(Qt::ClickFocus);
    setViewWindow(this);
    installDisplaySettingsHooks();
}

ViewWidget::~ViewWidget() {
    if (viewModeState().viewWindow == this) setViewWindow(nullptr);
}

std::array<double, 3> ViewWidget::pickedPoint() const {
    const double* p = qelViewState().pickedPoint;
    return {p[0], p[1], p[2]};
}

void ViewWidget::invalidateAndUpdate() {
    // A long repaint lets events through (its Escape poll); a repaint asked for meanwhile
    // follows it instead of running inside it.
    if (rendering_) {
        again_ = true;
        return;
    }
    rendering_ = true;
    int passes = 0;
    do {
        again_ = false;
        const QSize want = size().isValid() && width() > 0 && height() > 0 ? size() : image_.size();
        if (image_.size() != want) image_ = QImage(want, QImage::Format_RGB32);
        {
            QPainter painter(&image_);
            QtPainterSurface surface(painter, image_.width(), image_.height());
            surface.erase();
            if (paint_) paint_(*this, surface);
        }
        ++renders_;
        shown_ = image_;
    } while (again_ && ++passes < 2);
    rendering_ = false;
    update();
}

void ViewWidget::paintEvent(QPaintEvent*) {
    // The last finished picture, also while the next one is drawn.
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, shown_);
}

void ViewWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resizedPicture();
}
