#include "ui/qt/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace {

using Drawing = std::function<void(QPainter&)>;

const QColor kInk(0, 0, 0);
const QColor kGlass(120, 200, 230);
const QColor kMetal(150, 150, 160);
const QColor kLight(255, 210, 0);
const QColor kRay(210, 0, 0);
const QColor kGo(0, 150, 0);
const QColor kPaper(255, 255, 255);
const QColor kDisk(40, 60, 150);

QPen pen(const QColor& c, double width = 1.0) {
    QPen p(c, width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

void line(QPainter& p, double x0, double y0, double x1, double y1, const QColor& c = kInk,
          double width = 1.0) {
    // Lines along the axes stay crisp (whole pixels); slanted ones are smoothed.
    const bool straight = x0 == x1 || y0 == y1;
    p.setRenderHint(QPainter::Antialiasing, !straight);
    p.setPen(pen(c, width));
    p.drawLine(QPointF(x0, y0), QPointF(x1, y1));
    p.setRenderHint(QPainter::Antialiasing, true);
}

// An arrow head at (x, y) pointing along (dx, dy).
void head(QPainter& p, double x, double y, double dx, double dy, const QColor& c) {
    const double n = std::hypot(dx, dy);
    if (n == 0) return;
    dx /= n, dy /= n;
    const QPointF tip(x, y);
    const QPointF a(x - 3 * dx + 2 * dy, y - 3 * dy - 2 * dx), b(x - 3 * dx - 2 * dy, y - 3 * dy + 2 * dx);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({tip, a, b}));
    p.setBrush(Qt::NoBrush);
}

void arrow(QPainter& p, double x0, double y0, double x1, double y1, const QColor& c = kInk) {
    line(p, x0, y0, x1 - 2 * (x1 - x0) / std::max(1.0, std::hypot(x1 - x0, y1 - y0)),
         y1 - 2 * (y1 - y0) / std::max(1.0, std::hypot(x1 - x0, y1 - y0)), c, 1.2);
    head(p, x1, y1, x1 - x0, y1 - y0, c);
}

// A cubic curve from a to b.
void curve(QPainter& p, QPointF a, QPointF c1, QPointF c2, QPointF b, const QColor& c, double width) {
    QPainterPath path;
    path.moveTo(a);
    path.cubicTo(c1, c2, b);
    p.setPen(pen(c, width));
    p.drawPath(path);
}

// Most of a circle about (cx, cy) with an arrow head at its end: "again".
void loop(QPainter& p, double cx, double cy, double r, const QColor& c) {
    p.setPen(pen(c, 2.0));
    p.drawArc(QRectF(cx - r, cy - r, 2 * r, 2 * r), 60 * 16, 270 * 16);
    const double a = (60 + 270) * M_PI / 180.0;
    head(p, cx + r * std::cos(a) + 1, cy - r * std::sin(a) + 1, 1, -1.2, c);
}

void box(QPainter& p, const QRectF& r, const QColor& fill, const QColor& edge = kInk) {
    p.setPen(pen(edge));
    p.setBrush(fill);
    p.drawRect(r);
    p.setBrush(Qt::NoBrush);
}

void page(QPainter& p, double x, double y, double w, double h) {
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawPolygon(QPolygonF({QPointF(x, y), QPointF(x + w - 3, y), QPointF(x + w, y + 3),
                             QPointF(x + w, y + h), QPointF(x, y + h)}));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(x + w - 3, y), QPointF(x + w - 3, y + 3), QPointF(x + w, y + 3)}));
}

void disk(QPainter& p) {
    box(p, QRectF(1.5, 1.5, 13, 13), kDisk);
    box(p, QRectF(4.5, 1.5, 7, 5), kPaper);
    box(p, QRectF(4.5, 9.5, 7, 5), kMetal);
}

void letter(QPainter& p, char c) {
    p.setPen(pen(kInk));
    p.setBrush(QColor(235, 235, 245));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    p.setBrush(Qt::NoBrush);
    const QColor ink(40, 40, 160);
    switch (c) {
    case 'X':
        line(p, 4.5, 4.5, 11.5, 11.5, ink, 1.8), line(p, 11.5, 4.5, 4.5, 11.5, ink, 1.8);
        break;
    case 'Y':
        line(p, 4.5, 4, 8, 8, ink, 1.8), line(p, 11.5, 4, 8, 8, ink, 1.8);
        line(p, 8, 8, 8, 12, ink, 1.8);
        break;
    default:
        p.setPen(pen(ink, 1.8));
        p.drawPolyline(QPolygonF({QPointF(4.5, 4.5), QPointF(11.5, 4.5), QPointF(4.5, 11.5),
                                  QPointF(11.5, 11.5)}));
        break;
    }
}

// A biconvex lens between x0 and x1.
void lens(QPainter& p, double cx, double half, double bulge, const QColor& fill = kGlass) {
    QPainterPath path;
    path.moveTo(cx, 8 - half);
    path.quadTo(cx + bulge, 8, cx, 8 + half);
    path.quadTo(cx - bulge, 8, cx, 8 - half);
    p.setPen(pen(QColor(0, 90, 130)));
    p.setBrush(fill);
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
}

// A glass slab between x 4 and 12 whose two long sides bow out by `bow` (in for a negative one).
void slab(QPainter& p, double bow) {
    QPainterPath path;
    path.moveTo(4, 2);
    path.lineTo(12, 2);
    path.quadTo(12 + bow, 8, 12, 14);
    path.lineTo(4, 14);
    path.quadTo(4 - bow, 8, 4, 2);
    p.setPen(pen(QColor(0, 90, 130)));
    p.setBrush(kGlass);
    p.drawPath(path);
    p.setBrush(Qt::NoBrush);
}

void sun(QPainter& p, double cx, double cy, double r) {
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        line(p, cx + (r + 1) * std::cos(a), cy + (r + 1) * std::sin(a), cx + (r + 3) * std::cos(a),
             cy + (r + 3) * std::sin(a), QColor(230, 150, 0), 1.2);
    }
    p.setPen(pen(QColor(200, 130, 0)));
    p.setBrush(kLight);
    p.drawEllipse(QPointF(cx, cy), r, r);
    p.setBrush(Qt::NoBrush);
}

void grid(QPainter& p, const QRectF& r, int n, const QColor& edge) {
    p.setPen(pen(edge));
    for (int i = 0; i <= n; ++i) {
        const double x = r.left() + r.width() * i / n, y = r.top() + r.height() * i / n;
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

QColor spectrum(double t) {
    const int k = static_cast<int>(std::clamp(t, 0.0, 1.0) * 255);
    return k < 128 ? QColor(255 - 2 * k, 2 * k, 0) : QColor(0, 511 - 2 * k, 2 * k - 255);
}

void parallelRays(QPainter& p, double x0, double x1) {
    for (double y : {4.0, 8.0, 12.0})
        arrow(p, x0, y, x1, y, kRay);
}

const std::map<std::string, Drawing>& toolDrawings() {
    static const std::map<std::string, Drawing> drawings = {
        {"&File>&New (Clear)", [](QPainter& p) { page(p, 3.5, 1.5, 10, 13); }},
        {"&File>&Open...",
         [](QPainter& p) {
             box(p, QRectF(1.5, 4.5, 12, 9), QColor(230, 190, 60));
             p.setPen(pen(kInk));
             p.setBrush(QColor(250, 220, 110));
             p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15, 7.5), QPointF(13.5, 13.5),
                                      QPointF(1.5, 13.5)}));
             p.setBrush(Qt::NoBrush);
         }},
        {"&File>&Save", [](QPainter& p) { disk(p); }},
        {"&File>&Print...",
         [](QPainter& p) {
             box(p, QRectF(4.5, 1.5, 7, 5), kPaper);
             box(p, QRectF(1.5, 6.5, 13, 6), kMetal);
             box(p, QRectF(4.5, 10.5, 7, 4), kPaper);
             line(p, 11.5, 8.5, 12.5, 8.5, kGo, 1.5);
         }},
        {"&File>Print Pre&view",
         [](QPainter& p) {
             page(p, 1.5, 1.5, 9, 12);
             p.setPen(pen(kInk, 1.4));
             p.setBrush(QColor(200, 230, 255, 180));
             p.drawEllipse(QPointF(9.5, 9), 3.2, 3.2);
             p.setBrush(Qt::NoBrush);
             line(p, 11.8, 11.4, 14.5, 14.2, kInk, 2);
         }},
        {"&View>Type>Perspective (System)",
         [](QPainter& p) {
             box(p, QRectF(1.5, 5.5, 8, 8), QColor(200, 230, 255));
             p.setPen(pen(kInk));
             p.drawPolyline(QPolygonF({QPointF(1.5, 5.5), QPointF(6.5, 1.5), QPointF(14.5, 1.5),
                                       QPointF(14.5, 9.5), QPointF(9.5, 13.5)}));
             p.drawLine(QPointF(9.5, 5.5), QPointF(14.5, 1.5));
         }},
        {"&View>Type>Orthographic",
         [](QPainter& p) {
             box(p, QRectF(1.5, 1.5, 13, 13), kPaper);
             line(p, 8, 1.5, 8, 14.5), line(p, 1.5, 8, 14.5, 8);
             box(p, QRectF(9.5, 3, 3, 3), kGlass), box(p, QRectF(3, 9.5, 3, 3), kGlass);
             box(p, QRectF(9.5, 9.5, 3, 3), kGlass);
         }},
        {"&View>Type>X", [](QPainter& p) { letter(p, 'X'); }},
        {"&View>Type>Y", [](QPainter& p) { letter(p, 'Y'); }},
        {"&View>Type>Z", [](QPainter& p) { letter(p, 'Z'); }},
        {"&View>Type>Film",
         [](QPainter& p) {
             box(p, QRectF(1.5, 2.5, 13, 11), QColor(60, 60, 60));
             p.setPen(Qt::NoPen);
             const QPointF spots[] = {{5, 6}, {8, 8}, {10, 6}, {7, 10}, {11, 10}, {8, 5}, {5, 9}};
             for (const QPointF& s : spots) {
                 p.setBrush(QColor(255, 255, 120));
                 p.drawEllipse(s, 0.9, 0.9);
             }
             p.setBrush(Qt::NoBrush);
         }},
        {"&View>Type>Intensity (radiometer)",
         [](QPainter& p) {
             for (int i = 0; i < 4; ++i)
                 for (int j = 0; j < 4; ++j) {
                     p.setPen(Qt::NoPen);
                     p.setBrush(spectrum((std::abs(i - 1.5) + std::abs(j - 1.5)) / 3.0));
                     p.drawRect(QRectF(2 + 3 * i, 2 + 3 * j, 3, 3));
                 }
             p.setBrush(Qt::NoBrush);
             p.setPen(pen(kInk));
             p.drawRect(QRectF(1.5, 1.5, 13, 13));
         }},
        {"&View>Type>Energy",
         [](QPainter& p) {
             line(p, 2, 1.5, 2, 14), line(p, 2, 14, 15, 14);
             curve(p, {2.5, 13.5}, {6, 13.5}, {6, 3}, {14.5, 3}, kRay, 1.6);
         }},
        {"&View>Type>PolarRadiometer",
         [](QPainter& p) {
             p.setPen(pen(kMetal));
             p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
             p.drawEllipse(QPointF(8, 8), 3.5, 3.5);
             line(p, 8, 1.5, 8, 14.5, kMetal), line(p, 1.5, 8, 14.5, 8, kMetal);
             curve(p, {8, 8}, {3, 1}, {13, 1}, {8, 8}, kRay, 1.4);
         }},
        {"&Options>AutoRedraw", [](QPainter& p) { loop(p, 8, 8, 5.5, kGo); }},
        {"&Options>AutoRetrace",
         [](QPainter& p) {
             loop(p, 8, 8, 5.5, kGo);
             arrow(p, 2, 12, 11, 5, kRay);
         }},
        {"&Options>UpdateAll",
         [](QPainter& p) {
             box(p, QRectF(4.5, 4.5, 7, 7), kGlass);
             loop(p, 8, 8, 6.5, kDisk);
         }},
        {"&File>ReRunLastMacro",
         [](QPainter& p) {
             page(p, 1.5, 1.5, 10, 13);
             line(p, 3.5, 4.5, 8.5, 4.5, kMetal), line(p, 3.5, 6.5, 8.5, 6.5, kMetal);
             p.setPen(Qt::NoPen);
             p.setBrush(kGo);
             p.drawPolygon(QPolygonF({QPointF(7, 8), QPointF(14.5, 11.5), QPointF(7, 15)}));
             p.setBrush(Qt::NoBrush);
         }},
        {"&Options>SelectorMode>Point",
         [](QPainter& p) {
             line(p, 8, 1, 8, 6), line(p, 8, 10, 8, 15), line(p, 1, 8, 6, 8), line(p, 10, 8, 15, 8);
             p.setPen(Qt::NoPen);
             p.setBrush(kRay);
             p.drawEllipse(QPointF(8, 8), 1.6, 1.6);
             p.setBrush(Qt::NoBrush);
         }},
        {"&Options>SelectorMode>SizeBox",
         [](QPainter& p) {
             QPen dashed = pen(kInk);
             dashed.setDashPattern({2, 2});
             p.setPen(dashed);
             p.drawRect(QRectF(1.5, 1.5, 10, 9));
             arrow(p, 7, 6, 14.5, 14.5, kDisk);
         }},
        {"&Options>SelectorMode>AzEl",
         [](QPainter& p) {
             p.setPen(pen(kDisk));
             p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
             p.drawEllipse(QRectF(2.5, 6, 11, 4));
             line(p, 8, 2.5, 8, 13.5, kDisk);
             p.setPen(pen(kRay, 1.4));
             p.drawArc(QRectF(0.5, 0.5, 15, 15), 20 * 16, 140 * 16);
             head(p, 1.8, 5.5, -0.6, 1, kRay);
         }},
        {"&Window>SnugWorkbox",
         [](QPainter& p) {
             box(p, QRectF(5.5, 5.5, 5, 5), kGlass);
             arrow(p, 1, 1, 5, 5), arrow(p, 15, 1, 11, 5), arrow(p, 1, 15, 5, 11), arrow(p, 15, 15, 11, 11);
         }},
        {"&Options>AddRays",
         [](QPainter& p) {
             for (double y : {3.0, 7.0, 11.0})
                 line(p, 1.5, y, 9, y + 2, kRay, 1.2);
             line(p, 12, 7, 12, 15, kGo, 2), line(p, 8, 11, 16, 11, kGo, 2);
         }},
        {"&Analyze>&Energy>RepeatLast",
         [](QPainter& p) {
             const double heights[] = {3, 7, 10, 6};
             for (int i = 0; i < 4; ++i)
                 box(p, QRectF(1.5 + 3 * i, 14.5 - heights[i], 2, heights[i]), QColor(240, 160, 40));
             loop(p, 12.5, 4, 2.5, kGo);
         }},
        {"&Edit>ObjectProperties...",
         [](QPainter& p) {
             box(p, QRectF(1.5, 2.5, 13, 12), kPaper);
             box(p, QRectF(1.5, 2.5, 13, 3), QColor(170, 190, 230));
             for (double y : {8.0, 10.5, 13.0}) {
                 line(p, 3, y, 6, y, kMetal);
                 line(p, 8, y, 13, y, kDisk);
             }
         }},
        {"#toolbar>Define a rectangular lens with a cylindrical front and back surface.",
         [](QPainter& p) { slab(p, -2.5); }},
        {"#toolbar>Modify volume absorbtion component of an object medium.",
         [](QPainter& p) {
             QLinearGradient g(0, 0, 16, 0);
             g.setColorAt(0, QColor(210, 240, 255));
             g.setColorAt(1, QColor(20, 50, 120));
             p.setPen(pen(kInk));
             p.setBrush(g);
             p.drawRect(QRectF(3.5, 2.5, 9, 11));
             p.setBrush(Qt::NoBrush);
             arrow(p, 0.5, 8, 5, 8, kRay);
             line(p, 11, 8, 15.5, 8, QColor(120, 0, 0), 1);
         }},
        {"#toolbar>Add a hole to a single surface mirror.",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(kMetal);
             p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
             p.setBrush(kPaper);
             p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
             p.setBrush(Qt::NoBrush);
         }},
        {"#toolbar>Highlight a particular surface or facet of an object in a users selectable color.",
         [](QPainter& p) {
             const QPolygonF hex({QPointF(8, 1.5), QPointF(14, 5), QPointF(14, 11), QPointF(8, 14.5),
                                  QPointF(2, 11), QPointF(2, 5)});
             p.setPen(pen(kInk));
             p.setBrush(QColor(230, 230, 230));
             p.drawPolygon(hex);
             p.setBrush(Qt::NoBrush);
             line(p, 14, 5, 14, 11, QColor(230, 0, 200), 2.6);
         }},
        {"#toolbar>Display a ray segment highlighted in a user selectable color.",
         [](QPainter& p) {
             p.setPen(pen(kInk, 1.2));
             p.drawPolyline(QPolygonF({QPointF(1, 13), QPointF(5, 4), QPointF(10, 12), QPointF(15, 3)}));
             line(p, 5, 4, 10, 12, QColor(230, 0, 200), 2.6);
         }},
        {"#toolbar>Display numerical text showing object location geometry - placement and rotation",
         [](QPainter& p) {
             arrow(p, 3, 13, 14, 13, kRay);
             arrow(p, 3, 13, 3, 2, kGo);
             arrow(p, 3, 13, 10, 6, kDisk);
         }},
        {"#toolbar>Resets the number of bins in x and y in the radiometer attached to the selected part.",
         [](QPainter& p) {
             grid(p, QRectF(1.5, 1.5, 9, 9), 3, kMetal);
             arrow(p, 8, 8, 14.5, 14.5, kRay);
         }},
        {"#toolbar>Traces a collimated  (parallel)  bundle of rays from the lightsource.",
         [](QPainter& p) {
             box(p, QRectF(1.5, 2.5, 3, 11), kLight, QColor(200, 130, 0));
             parallelRays(p, 5.5, 15);
         }},
        {"#toolbar>Trace rays from a custom source.",
         [](QPainter& p) {
             for (int i = 0; i < 8; ++i) {
                 const double a = i * M_PI / 4 + M_PI / 8;
                 line(p, 8 + 3 * std::cos(a), 8 + 3 * std::sin(a), 8 + 7 * std::cos(a),
                      8 + 7 * std::sin(a), kRay, 1.2);
             }
             p.setPen(pen(kInk));
             p.setBrush(QColor(200, 120, 220));
             p.drawRect(QRectF(6, 6, 4, 4));
             p.setBrush(Qt::NoBrush);
         }},
        {"#toolbar>Set units to feet.",
         [](QPainter& p) {
             box(p, QRectF(0.5, 5.5, 15, 6), kLight, QColor(150, 110, 0));
             for (int i = 0; i < 7; ++i)
                 line(p, 2 + 2 * i, 5.5, 2 + 2 * i, i % 2 ? 7.5 : 9, kInk);
         }},
        {"#toolbar>Retrace the last raytrace command issued.",
         [](QPainter& p) {
             parallelRays(p, 1, 9);
             loop(p, 11.5, 8, 3.5, kGo);
         }},
        {"#toolbar>Save the current plot as an MERIDYN plot file.",
         [](QPainter& p) {
             disk(p);
             curve(p, {5, 6}, {7, 1}, {9, 8}, {11, 3}, kRay, 1.2);
         }},
        {"#toolbar>View and optionally change the object definition numerically.",
         [](QPainter& p) {
             lens(p, 6, 6.5, 7);
             line(p, 14.5, 2, 8.5, 12, QColor(190, 120, 40), 2.4);
             line(p, 8.5, 12, 7.5, 14, kInk, 1.4);
         }},
        {"#toolbar>Display the objects placement and adjust it numerically.",
         [](QPainter& p) {
             arrow(p, 8, 8, 8, 1, kDisk), arrow(p, 8, 8, 8, 15, kDisk);
             arrow(p, 8, 8, 1, 8, kDisk), arrow(p, 8, 8, 15, 8, kDisk);
             box(p, QRectF(6, 6, 4, 4), kGlass);
         }},
    };
    return drawings;
}

const Drawing& objectDrawing(int index) {
    static const Drawing unknown = [](QPainter& p) {
        QPen dashed = pen(kInk);
        dashed.setDashPattern({2, 2});
        p.setPen(dashed);
        p.drawEllipse(QPointF(8, 8), 6, 6);
    };
    static const Drawing drawings[kObjectPictureCount] = {
        // 0 lens
        [](QPainter& p) { lens(p, 8, 7, 9); },
        // 1 mirror
        [](QPainter& p) {
            p.setPen(pen(kMetal, 3));
            p.drawArc(QRectF(-4, 1, 14, 14), -60 * 16, 120 * 16);
            for (double y : {4.0, 7.0, 10.0, 13.0})
                line(p, 11, y, 13, y - 2, kInk, 1);
        },
        // 2 luminous body
        [](QPainter& p) { sun(p, 8, 8, 3.5); },
        // 3 light source
        [](QPainter& p) {
            sun(p, 8, 7, 3);
            box(p, QRectF(6.5, 11.5, 3, 3), kMetal);
        },
        // 4 rod
        [](QPainter& p) {
            p.setPen(pen(QColor(0, 90, 130)));
            p.setBrush(kGlass);
            p.drawRect(QRectF(3, 5.5, 10, 5));
            p.drawEllipse(QRectF(1, 5.5, 4, 5));
            p.drawEllipse(QRectF(11, 5.5, 4, 5));
            p.setBrush(Qt::NoBrush);
        },
        // 5 axis
        [](QPainter& p) {
            arrow(p, 3, 13, 14, 13, kRay);
            arrow(p, 3, 13, 3, 2, kGo);
            arrow(p, 3, 13, 10, 6, kDisk);
        },
        // 6 surface
        [](QPainter& p) {
            QPainterPath sheet;
            sheet.moveTo(2, 12);
            sheet.cubicTo(5, 6, 9, 14, 14, 4);
            sheet.lineTo(14, 7);
            sheet.cubicTo(9, 17, 5, 9, 2, 15);
            sheet.closeSubpath();
            p.setPen(pen(QColor(0, 110, 110)));
            p.setBrush(QColor(140, 220, 200));
            p.drawPath(sheet);
            p.setBrush(Qt::NoBrush);
        },
        // 7 film
        [](QPainter& p) {
            box(p, QRectF(2.5, 1.5, 11, 13), QColor(70, 70, 70));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 140));
            for (const QPointF& s : {QPointF(6, 6), QPointF(9, 8), QPointF(7, 10), QPointF(10, 5)})
                p.drawEllipse(s, 0.9, 0.9);
            p.setBrush(Qt::NoBrush);
        },
        // 8 ray-trace detector
        [](QPainter& p) {
            p.setPen(pen(kRay, 1.2));
            p.setBrush(kPaper);
            p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
            p.drawEllipse(QPointF(8, 8), 4, 4);
            p.setBrush(kRay);
            p.drawEllipse(QPointF(8, 8), 1.5, 1.5);
            p.setBrush(Qt::NoBrush);
        },
        // 9 aperture
        [](QPainter& p) {
            p.setPen(pen(kInk));
            QPainterPath plate;
            plate.addRect(QRectF(1.5, 1.5, 13, 13));
            plate.addEllipse(QPointF(8, 8), 3.5, 3.5);
            p.setBrush(QColor(90, 90, 90));
            p.drawPath(plate);
            p.setBrush(Qt::NoBrush);
        },
        // 10 cone
        [](QPainter& p) {
            p.setPen(pen(QColor(120, 60, 0)));
            p.setBrush(QColor(240, 180, 110));
            p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(14, 12.5), QPointF(2, 12.5)}));
            p.drawEllipse(QRectF(2, 10.5, 12, 4));
            p.setBrush(Qt::NoBrush);
        },
        // 11 ellipsoid
        [](QPainter& p) {
            QRadialGradient g(QPointF(6, 6), 9);
            g.setColorAt(0, QColor(255, 255, 255));
            g.setColorAt(1, QColor(120, 150, 220));
            p.setPen(pen(QColor(30, 50, 130)));
            p.setBrush(g);
            p.drawEllipse(QRectF(1.5, 3.5, 13, 9));
            p.setBrush(Qt::NoBrush);
        },
        // 12 cylinder
        [](QPainter& p) {
            p.setPen(pen(QColor(30, 90, 30)));
            p.setBrush(QColor(150, 210, 150));
            p.drawRect(QRectF(3.5, 3.5, 9, 9));
            p.drawEllipse(QRectF(3.5, 10.5, 9, 4));
            p.drawEllipse(QRectF(3.5, 1.5, 9, 4));
            p.setBrush(Qt::NoBrush);
        },
        // 13 polygon net
        [](QPainter& p) {
            const QPointF a(2, 13), b(8, 2), c(14, 12), d(9, 15), e(7, 8);
            p.setPen(pen(QColor(100, 40, 140)));
            p.setBrush(QColor(210, 180, 240));
            p.drawPolygon(QPolygonF({a, b, c, d}));
            p.setBrush(Qt::NoBrush);
            p.drawLine(a, e), p.drawLine(b, e), p.drawLine(c, e), p.drawLine(d, e);
        },
        // 14 cylindric lens
        [](QPainter& p) {
            slab(p, 2.5);
            line(p, 4, 2, 4, 14, QColor(0, 90, 130)), line(p, 12, 2, 12, 14, QColor(0, 90, 130));
        },
        // 15 the model (the tree's root)
        [](QPainter& p) {
            box(p, QRectF(1.5, 5.5, 6, 6), QColor(200, 230, 255));
            lens(p, 11, 5, 6);
            sun(p, 4, 3.5, 1.5);
            line(p, 2, 14.5, 14, 14.5, kInk, 1.2);
        },
        unknown,
        unknown,
        unknown,
        // 19 CPC
        [](QPainter& p) {
            p.setPen(pen(kMetal, 2.2));
            QPainterPath left, right;
            left.moveTo(1.5, 1.5);
            left.quadTo(6, 8, 6, 14.5);
            right.moveTo(14.5, 1.5);
            right.quadTo(10, 8, 10, 14.5);
            p.drawPath(left);
            p.drawPath(right);
            line(p, 6, 14.5, 10, 14.5, kInk, 1.2);
        },
    };
    return index >= 0 && index < kObjectPictureCount ? drawings[index] : unknown;
}

QIcon render(const Drawing& draw) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    // A selected item shows the same picture (no tint), so that it reads the same everywhere.
    QIcon icon;
    icon.addPixmap(pixmap, QIcon::Normal);
    icon.addPixmap(pixmap, QIcon::Selected);
    icon.addPixmap(pixmap, QIcon::Active);
    return icon;
}

} // namespace

bool hasToolPicture(const std::string& path) {
    return toolDrawings().count(path) != 0;
}

QIcon toolPicture(const std::string& path) {
    const auto& all = toolDrawings();
    const auto it = all.find(path);
    return it == all.end() ? QIcon() : render(it->second);
}

QIcon objectPicture(int index) {
    return render(objectDrawing(index));
}
