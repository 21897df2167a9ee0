// The end-to-end test's eyes. "x-screenshot FILE.png" saves the whole X screen named by DISPLAY;
// "x-screenshot --count FILE.png RRGGBB [X Y W H]" prints how many pixels of the picture (or of
// the rectangle) have exactly that colour; "--count FILE.png dark X Y W H" counts pixels whose
// red, green and blue are all below 100; "--find FILE.png tool PATH" and "--find FILE.png object
// INDEX" print the centre "X Y" of each place where the window shows that picture (its opaque
// pixels), top first, and fail when there is none.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/qt/pictures.h"

namespace {

int find(char** argv) {
    const QImage shot = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) return 1;
    const std::string kind = argv[3];
    const QIcon icon = kind == "object" ? objectPicture(std::atoi(argv[4])) : toolPicture(argv[4]);
    const QImage picture = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull()) return 2;
    std::vector<QPoint> opaque;
    std::vector<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) == 255) {
                opaque.emplace_back(x, y);
                colours.push_back(picture.pixel(x, y) & 0xFFFFFF);
            }
    if (opaque.size() < 8) return 2;
    int found = 0;
    for (int y = 0; y + picture.height() <= shot.height(); ++y)
        for (int x = 0; x + picture.width() <= shot.width(); ++x) {
            std::size_t i = 0;
            while (i < opaque.size() &&
                   (shot.pixel(x + opaque[i].x(), y + opaque[i].y()) & 0xFFFFFF) == colours[i])
                ++i;
            if (i < opaque.size()) continue;
            std::printf("%d %d\n", x + picture.width() / 2, y + picture.height() / 2);
            ++found;
        }
    return found > 0 ? 0 : 1;
}

int count(int argc, char** argv) {
    QImage img(QString::fromLocal8Bit(argv[2]));
    if (img.isNull()) return 1;
    const std::string colour = argv[3];
    QRect r = img.rect();
    if (argc == 8)
        r = QRect(std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7]))
                .intersected(img.rect());
    const bool dark = colour == "dark";
    const QRgb want = dark ? 0 : static_cast<QRgb>(std::strtoul(colour.c_str(), nullptr, 16));
    long n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (dark ? (qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100)
                     : (p & 0xFFFFFF) == (want & 0xFFFFFF))
                ++n;
        }
    std::printf("%ld\n", n);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "--count" && (argc == 4 || argc == 8))
        return count(argc, argv);
    if (argc == 5 && std::string(argv[1]) == "--find") {
        QGuiApplication app(argc, argv);
        return find(argv);
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: x-screenshot FILE.png | --count FILE.png RRGGBB|dark [X Y W H] "
                             "| --find FILE.png tool PATH|object INDEX\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1;
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
