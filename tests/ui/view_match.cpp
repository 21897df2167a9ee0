// The view end-to-end test's comparison: "view-match SHOT.png CONSOLE.png RRGGBB..." finds the
// console picture inside the screenshot by the box of the first colour's pixels and prints,
// per colour, how many of the console picture's pixels of that colour the screenshot shows in
// the same colour at the same place, and how many the console has ("matched total").
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The bounding box of the pixels of one colour.
QRect boundsOf(const QImage& img, QRgb colour) {
    int x1 = img.width(), y1 = img.height(), x2 = -1, y2 = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == colour) {
                x1 = std::min(x1, x);
                y1 = std::min(y1, y);
                x2 = std::max(x2, x);
                y2 = std::max(y2, y);
            }
    return x2 < 0 ? QRect() : QRect(QPoint(x1, y1), QPoint(x2, y2));
}

// How many of the console's pixels of a colour the screenshot shows in place at offset `at`.
long matches(const QImage& shot, const QImage& console, QPoint at, QRgb want, long* total) {
    long n = 0, all = 0;
    for (int y = 0; y < console.height(); ++y)
        for (int x = 0; x < console.width(); ++x) {
            if ((console.pixel(x, y) & 0xFFFFFF) != want) continue;
            ++all;
            const QPoint p(at.x() + x, at.y() + y);
            if (shot.valid(p) && (shot.pixel(p) & 0xFFFFFF) == want) ++n;
        }
    if (total) *total = all;
    return n;
}

// The top-left corner of the console picture in the screenshot: the two pictures' boxes of the
// first colour (one the window's own furniture never shows) put on each other, then the best
// of the offsets a few pixels around.
QPoint locate(const QImage& shot, const QImage& console, QRgb colour) {
    const QRect a = boundsOf(shot, colour), b = boundsOf(console, colour);
    if (a.isNull() || b.isNull()) return QPoint(-1, -1);
    const QPoint guess = a.topLeft() - b.topLeft();
    QPoint best = guess;
    long bestScore = -1;
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            const long score = matches(shot, console, guess + QPoint(dx, dy), colour, nullptr);
            if (score > bestScore) {
                bestScore = score;
                best = guess + QPoint(dx, dy);
            }
        }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: view-match SHOT.png CONSOLE.png RRGGBB...\n");
        return 2;
    }
    const QImage shot = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage console = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull() || console.isNull()) return 1;
    const QPoint at = locate(shot, console, static_cast<QRgb>(std::strtoul(argv[3], nullptr, 16)) & 0xFFFFFF);
    if (at.x() < 0) {
        std::printf("not found\n");
        return 1;
    }
    std::printf("at %d %d\n", at.x(), at.y());
    for (int i = 3; i < argc; ++i) {
        const QRgb want = static_cast<QRgb>(std::strtoul(argv[i], nullptr, 16)) & 0xFFFFFF;
        long total = 0;
        const long matched = matches(shot, console, at, want, &total);
        std::printf("%s %ld %ld\n", argv[i], matched, total);
    }
    return 0;
}
