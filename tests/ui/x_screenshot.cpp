// The end-to-end test's eyes. "x-screenshot FILE.png" saves the whole X screen named by DISPLAY;
// "x-screenshot --count FILE.png RRGGBB [X Y W H]" prints how many pixels of the picture (or of
// the rectangle) have exactly that colour; "--count FILE.png dark X Y W H" counts pixels whose
// red, green and blue are all below 100.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

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
    if (argc != 2) {
        std::fprintf(stderr, "usage: x-screenshot FILE.png | --count FILE.png RRGGBB|dark [X Y W H]\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1;
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
