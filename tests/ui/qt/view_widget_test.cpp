// The view offscreen over the real interpreter: box and move drags with the mouse, arrow keys,
// the clipboard, the metafile, printing to PDF, print preview, the intensity fall-back, the
// context menu and the view's toolbar.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QMimeData>
#include <QPrinter>
#include <QTest>
#include <QToolBar>
#include <filesystem>

#include "display/raster/recording_surface.h"
#include "display/views/view_host.h"
#include "display/views/view_modes.h"
#include "engine/model/current_objects.h"
#include "tests/ui/qt/shell_fixture.h"
#include "ui/core/shell_text.h"
#include "ui/core/view_state.h"
#include "command/interpreter/reader.h"
#include "parts/templates/define_params.h"
#include "ui/core/view_controller.h"
#include "ui/qt/qel_view.h"
#include "ui/qt/qt_platform_hooks.h"
#include "ui/qt/view_widget.h"

using namespace shelltest;
namespace fs = std::filesystem;

namespace {

class ViewWidgetTest : public ShellTest {
  protected:
    MainWindow& startLens() {
        start(kTwoLenses);
        autoRetrace = 0;
        window->view()->resize(640, 480);
        window->updateAllViews();
        return *window;
    }
    // The lens and a placed detector "det", selected, whose radiometer has nx x ny bins.
    void startDetector(int nx, int ny, std::function<double(int, int)> scaled, double maximum) {
        startLens();
        run0("define/detector det");
        run0("place/object det 0 0 30");
        bitmapState().radiometer = [=](const std::string& name) -> std::optional<IntensityBins> {
            if (name != "det") return std::nullopt;
            IntensityBins b;
            b.nx = nx;
            b.ny = ny;
            b.scaled = scaled;
            b.maximum = maximum;
            return b;
        };
        viewObject = objectNumberOfLabel("det");
        window->SelectCurrentObjectQuiet();
        window->updateActions();
    }
    void run0(const std::string& line) {
        commandBuffer = line;
        window->document().ExecuteCommand();
    }
    void trigger(int id) {
        QAction* a = window->action(id);
        ASSERT_NE(a, nullptr) << id;
        window->updateActions();
        ASSERT_TRUE(a->isEnabled()) << id;
        a->trigger();
    }
    QAction* byText(const QString& text) {
        for (QAction* a : window->findChildren<QAction*>())
            if (a->text() == text) return a;
        return nullptr;
    }
    void drag(QPoint from, QPoint to) {
        QWidget* v = window->view();
        QTest::mousePress(v, Qt::LeftButton, {}, from);
        QTest::mouseMove(v, (from + to) / 2);
        QTest::mouseRelease(v, Qt::LeftButton, {}, to);
    }
    static std::uint32_t u32(const QByteArray& b, int at) {
        return static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8) |
               (static_cast<std::uint8_t>(b[at + 2]) << 16) |
               (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24);
    }
};

} // namespace

TEST_F(ViewWidgetTest, SizeBoxInTheFourViewsLogsTheWorkbox) {
    startLens();
    trigger(32769); // Orthographic
    EXPECT_EQ(orthogonalMode, 1);
    trigger(32868); // SizeBox
    EXPECT_EQ(qelViewState().selectorMode, kSelectSizeBox);
    // The z pane is the lower right quarter: x and y of the model.
    drag({360, 300}, {600, 420});
    const std::string l = log();
    EXPECT_NE(l.find("set/workbox xs="), std::string::npos);
    EXPECT_NE(l.find("set/workbox ys="), std::string::npos);
    EXPECT_EQ(l.find("set/workbox zs="), std::string::npos); // the z pane shows no z
}

TEST_F(ViewWidgetTest, NormalDragMovesTheObjectAndAZeroDragNothing) {
    startLens();
    trigger(32772); // Z view
    qelViewState().selectorMode = kSelectNormal;
    window->updateAllViews();
    drag({320, 240}, {360, 240});
    const std::string l = log();
    const auto at = l.find("translate/global lens1 ");
    ASSERT_NE(at, std::string::npos) << l;
    const std::string before = log();
    QTest::mousePress(window->view(), Qt::LeftButton, {}, {300, 200});
    QTest::mouseRelease(window->view(), Qt::LeftButton, {}, {300, 200});
    EXPECT_EQ(log(), before);
}

TEST_F(ViewWidgetTest, ArrowKeysTurnTheViewAndShowTheAngles) {
    startLens();
    viewAzimuth = 45;
    viewElevation = 75;
    window->view()->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(window->view(), Qt::Key_Up);
    QTest::keyClick(window->view(), Qt::Key_Left);
    EXPECT_EQ(viewElevation, 90.0);
    EXPECT_EQ(viewAzimuth, 40.0);
    EXPECT_EQ(window->pane(5)->text(), "40 , 90");
}

TEST_F(ViewWidgetTest, CopyBitmapClipsTheViewsPictureAndCopyMetafileTheEmf) {
    startLens();
    trigger(57634);
    const QImage clip = QApplication::clipboard()->image();
    EXPECT_EQ(clip.size(), window->view()->picture().size());
    EXPECT_EQ(window->action(57634)->shortcut(), QKeySequence("Ctrl+C"));

    QAction* copyMeta = byText("CopyMetafile");
    ASSERT_NE(copyMeta, nullptr);
    copyMeta->trigger();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    ASSERT_TRUE(mime->hasFormat("image/emf"));
    EXPECT_TRUE(mime->hasFormat("image/x-emf"));
    const QByteArray emf = mime->data("image/emf");
    ASSERT_GT(emf.size(), 200);
    EXPECT_EQ(u32(emf, 40), 0x464D4520u);
    EXPECT_EQ(u32(emf, 72), 640u); // client size as the reference device
    EXPECT_EQ(u32(emf, 76), 480u);
}

TEST_F(ViewWidgetTest, PrintMetaFileWritesTheFileOrSaysWhyNot) {
    startLens();
    const std::string path = home.file("picture.emf");
    prompts.files.push_back(home.file("picture"));
    QAction* a = byText("PrintMetaFile...");
    ASSERT_NE(a, nullptr);
    a->trigger();
    ASSERT_TRUE(fs::exists(path));
    const std::string bytes = testsupport::readFile(path);
    ASSERT_GT(bytes.size(), 200u);
    EXPECT_EQ(bytes.substr(40, 4), " EMF");
    // A place that cannot be written: the box, nothing else.
    prompts.files.push_back(home.file("missing/x.emf"));
    a->trigger();
    ASSERT_FALSE(prompts.asked.empty());
    EXPECT_EQ(prompts.asked.back().text, "Unable to open metafile " + home.file("missing/x.emf") + " for output.");
}

TEST_F(ViewWidgetTest, PrintAndPreviewPaintAPdfPage) {
    startLens();
    const std::string pdf = home.file("print.pdf");
    window->qelView()->printDialog = [&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    trigger(57607);
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_GT(fs::file_size(pdf), 1000u);
    EXPECT_EQ(testsupport::readFile(pdf).substr(0, 4), "%PDF");

    // The preview paints through the same printer into its pages; here into an image.
    int painted = 0;
    window->qelView()->previewDialog = [&](QPrinter& p, const std::function<void(QPrinter*)>& paint) {
        p.setOutputFileName(QString::fromStdString(home.file("preview.pdf")));
        paint(&p);
        ++painted;
    };
    trigger(57609);
    EXPECT_EQ(painted, 1);
    EXPECT_TRUE(fs::exists(home.file("preview.pdf")));
    // The screen paint that follows keeps the screen's own aspect and colours.
    EXPECT_EQ(qelViewState().printingNow, 0);
}

TEST_F(ViewWidgetTest, IntensityViewWithoutARadiometerFallsBackToTheWireframe) {
    startLens();
    viewType = kViewIntensity;
    window->updateAllViews();
    EXPECT_EQ(viewType, 1);
    EXPECT_EQ(qelViewState().intensityReady, 0);
    const QImage img = window->view()->picture();
    long lens = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == qRgb(0x00, 0x8A, 0x8A)) ++lens;
    EXPECT_GT(lens, 100);
}

TEST_F(ViewWidgetTest, ContextMenuAndViewToolBarCarryTheirEntries) {
    startLens();
    QMenu* menu = window->qelView()->contextMenu();
    ASSERT_NE(menu, nullptr);
    QStringList titles;
    for (QAction* a : menu->actions())
        titles << a->text();
    EXPECT_TRUE(titles.contains("Polynet"));
    EXPECT_TRUE(titles.contains("Tour"));
    EXPECT_GE(window->qelView()->toolBar()->actions().size(), 10);
    // The main toolbar now holds the view types after the print buttons.
    QStringList tools;
    for (QAction* a : window->mainToolBar()->actions())
        tools << a->text();
    EXPECT_TRUE(tools.contains("Orthographic"));
    EXPECT_TRUE(tools.contains("&Print..."));
    // Checks follow the state after an entry runs.
    trigger(32770);
    EXPECT_TRUE(window->action(32770)->isChecked());
    EXPECT_FALSE(window->action(32768)->isChecked());
}

TEST_F(ViewWidgetTest, ProgressShowsOverThePictureUntilTheNextPaint) {
    startLens();
    window->qelView()->core().ShowProgress(0.5);
    QLabel* overlay = window->qelView()->overlay();
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->text().trimmed(), "50 % Complete");
    window->updateAllViews();
    EXPECT_FALSE(overlay->isVisible());
}

TEST_F(ViewWidgetTest, TheViewsLinePixelsAreTheConsolesAtTheSameSize) {
    startLens();
    trigger(32769); // the four views: lines of every slope
    const QImage shown = window->view()->picture();
    HeadlessViewHost headless(shown.width(), shown.height());
    headless.invalidateAndUpdate();
    long lines = 0, same = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const Rgb r = headless.raster().pixel(x, y);
            if (r == Rgb{0xFF, 0xFF, 0xFF}) continue;
            ++lines;
            const QRgb q = shown.pixel(x, y);
            if (qRed(q) == r.r && qGreen(q) == r.g && qBlue(q) == r.b) ++same;
        }
    ASSERT_GT(lines, 1000);
    EXPECT_GE(same * 100, lines * 98) << same << " of " << lines;
}

TEST_F(ViewWidgetTest, IntensityViewPaintsTheRadiometersImageWithItsBar) {
    // A radiometer of 16 x 8 bins rising to the right.
    startDetector(16, 8, [](int column, int) { return column * 16.0; }, 42.5);
    QAction* intensity = window->action(32962);
    ASSERT_TRUE(intensity->isEnabled());
    intensity->trigger();
    EXPECT_EQ(viewType, kViewIntensity);
    EXPECT_EQ(qelViewState().intensityReady, 1);
    EXPECT_TRUE(intensity->isChecked());
    const QImage img = window->view()->picture();
    img.save(QString::fromStdString(home.file("intensity.png")));
    if (const char* keep = std::getenv("MERIDYN_KEEP_SCREENSHOTS")) img.save(QString(keep) + "/view-intensity.png");
    // The detector's outline frames the image: the energy map spans its extents.
    const double* extent = getObject(viewObject - 1)->firstSurface->extent;
    const CScreenMapping& map = qelViewState().energyMap;
    EXPECT_EQ(map.xRange[0], extent[0]);
    EXPECT_EQ(map.xRange[1], extent[1]);
    EXPECT_EQ(map.yRange[0], extent[2]);
    EXPECT_EQ(map.yRange[1], extent[3]);
    // The image spans the middle of the picture: its left part dark, its right part bright.
    const int y = img.height() / 2;
    const QRgb left = img.pixel(img.width() * 30 / 100, y), right = img.pixel(img.width() * 70 / 100, y);
    EXPECT_NE(left, right);
    EXPECT_NE(left, qRgb(255, 255, 255));
    EXPECT_NE(right, qRgb(255, 255, 255));
    // A later paint without the radiometer falls back to the wireframe.
    bitmapState().radiometer = nullptr;
    window->updateAllViews();
    EXPECT_EQ(viewType, 1);
}

TEST_F(ViewWidgetTest, CtrlCInTheCommandLineCopiesItsText) {
    startLens();
    window->commandLine()->setEditText("define/lens copied");
    window->commandLine()->edit()->selectAll();
    window->commandLine()->edit()->setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(window->commandLine()->edit(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "define/lens copied");
    EXPECT_TRUE(QApplication::clipboard()->image().isNull());
}

TEST_F(ViewWidgetTest, ABoxThatARunningCommandOpensTakesTheKeyboard) {
    startLens();
    window->platformHooks().beginCommand();
    bool closed = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        QTimer::singleShot(0, [&, box] {
            if (auto* open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); open == box)
                open->done(-5); // not taken: end the box without OK
        });
    });
    QMessageBox box(QMessageBox::Information, "MERIDYN Information", "orign", QMessageBox::Ok, window.get());
    closed = box.exec() != -5;
    window->platformHooks().endCommand();
    EXPECT_TRUE(closed);
}

TEST_F(ViewWidgetTest, TheDefinitionButtonAndTheSelectionOfATracedSource) {
    start("define/lightsource lamp1\nplace/object lamp1 0 0 -50\ndefine/lightsource lamp2\n"
          "place/object lamp2 5 0 -50\ndefine/lens/spherical lens1\nplace/object lens1 0 0 0\n");
    std::vector<std::pair<int, std::string>> dialogs;
    viewSeams().commandDialog = [&](int mode, const std::string& path) {
        dialogs.emplace_back(mode, path);
    };
    auto byPath = [&](const std::string& path) {
        for (const ShellEntry& e : window->entries())
            if (e.path == path) return window->action(e.id);
        return static_cast<QAction*>(nullptr);
    };
    type("raytrace/cone object=1 nx=3 ny=2 hfov=10 vfov=20");
    const std::string first = testsupport::readFile(home.path() / "rays.dat");
    type("raytrace/cone object=2 nx=5 ny=5 hfov=10 vfov=10");
    ASSERT_FALSE(first.empty());
    ASSERT_NE(testsupport::readFile(home.path() / "rays.dat"), first);

    // Selecting the first source brings back its trace: raytrace/last traces it again, and the
    // trace dialogs offer it with its counts and angles, also with the lens selected.
    window->tree()->SelectTreeItem("lamp1", 1);
    type("raytrace/last");
    EXPECT_EQ(testsupport::readFile(home.path() / "rays.dat"), first);
    window->tree()->SelectTreeItem("lens1", 1);
    window->updateActions();
    byPath("&Analyze>&Raytrace>Cone>Eqangle...")->trigger();
    ASSERT_FALSE(dialogs.empty());
    EXPECT_EQ(dialogs.back(), std::make_pair(-1, std::string("raytrace/new/cone/eqang/yessave")));
    EXPECT_STREQ(defineParams.paramValues[0], "1");
    EXPECT_STREQ(defineParams.paramValues[1], "3");
    EXPECT_STREQ(defineParams.paramValues[2], "2");
    EXPECT_STREQ(defineParams.paramValues[4], "20");

    // The definition button runs the lens's definition dialog with its values.
    QAction* definition = byPath("#toolbar>View and optionally change the object definition numerically.");
    window->updateActions();
    ASSERT_TRUE(definition->isEnabled());
    definition->trigger();
    EXPECT_EQ(dialogs.back().first, 1);
    EXPECT_EQ(dialogs.back().second.rfind("define/lens", 0), 0u) << dialogs.back().second;
    EXPECT_EQ(redefineMode, 1);
}

namespace {

// The lossless images of a PDF (Flate streams of 8-bit RGB) as images; a lossy (DCT) image is
// counted in `lossy`.
std::vector<QImage> pdfImages(const QByteArray& pdf, int& lossy) {
    std::vector<QImage> out;
    lossy = 0;
    for (qsizetype at = pdf.indexOf("/Subtype /Image"); at >= 0; at = pdf.indexOf("/Subtype /Image", at + 1)) {
        const qsizetype dict = pdf.lastIndexOf("<<", at), start = pdf.indexOf("stream\n", at) + 7;
        const QByteArray head = pdf.mid(dict, start - dict);
        if (head.contains("/DCTDecode")) ++lossy;
        auto number = [&](const char* key) {
            const qsizetype k = head.indexOf(key);
            return k < 0 ? 0 : head.mid(k + qstrlen(key)).simplified().split(' ').front().toInt();
        };
        const int w = number("/Width"), h = number("/Height");
        if (!head.contains("/FlateDecode") || !head.contains("/DeviceRGB") || w * h == 0) continue;
        const qsizetype end = pdf.indexOf("\nendstream", start);
        QByteArray packed(4, 0);
        const quint32 size = static_cast<quint32>(w * h * 3);
        for (int i = 0; i < 4; ++i)
            packed[i] = static_cast<char>((size >> (24 - 8 * i)) & 0xFF);
        const QByteArray raw = qUncompress(packed + pdf.mid(start, end - start));
        if (raw.size() != static_cast<qsizetype>(size)) continue;
        QImage image(w, h, QImage::Format_RGB32);
        for (int i = 0; i < w * h; ++i)
            image.setPixel(i % w, i / w, qRgb(static_cast<uchar>(raw[3 * i]), static_cast<uchar>(raw[3 * i + 1]),
                                          static_cast<uchar>(raw[3 * i + 2])));
        out.push_back(image);
    }
    return out;
}

} // namespace

TEST_F(ViewWidgetTest, APrintedIntensityMapKeepsItsBinsColoursAndItsHeaderOnThePage) {
    // Bins of the two ends of the spectrum: pure red and the blue of the last entry.
    startDetector(8, 4, [](int column, int) { return column < 4 ? 0.0 : 255.5; }, 1);
    trigger(33044); // View > Palettes > Spectrum
    trigger(32962);
    ASSERT_EQ(viewType, kViewIntensity);
    const std::string pdf = home.file("intensity.pdf");
    window->qelView()->printDialog = [&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(pdf));
        return true;
    };
    trigger(57607);
    const QByteArray bytes = QByteArray::fromStdString(testsupport::readFile(pdf));
    int lossy = 0;
    const std::vector<QImage> images = pdfImages(bytes, lossy);
    EXPECT_EQ(lossy, 0);
    // The bins, and the colour bar entry by entry, exactly as on the screen.
    int maps = 0, bars = 0;
    for (const QImage& i : images) {
        if (i.size() == QSize(8, 4)) {
            ++maps;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 8; ++x)
                    EXPECT_EQ(i.pixel(x, y), x < 4 ? qRgb(255, 0, 0) : qRgb(0, 1, 255)) << x << " " << y;
        } else if (i.width() == 256) {
            ++bars;
            EXPECT_EQ(i.pixel(0, 0), qRgb(255, 0, 0));
            EXPECT_EQ(i.pixel(127, 0), qRgb(1, 254, 0));
            EXPECT_EQ(i.pixel(128, 0), qRgb(0, 255, 1));
            EXPECT_EQ(i.pixel(255, 0), qRgb(0, 1, 255));
        }
    }
    EXPECT_EQ(maps, 1);
    EXPECT_EQ(bars, 1);

    // The header of a page ends inside it and stands above the colour bar and its scale line.
    RecordingSurface page(900, 600, SurfaceKind::Printer);
    const std::string header(60, 'H');
    window->qelView()->core().OnDraw(*window->view(), page, false, header);
    bool seen = false;
    for (const auto& c : page.calls) {
        if (c.rfind("text ", 0) != 0 || c.find(header) == std::string::npos) continue;
        seen = true;
        int x = 0, y = 0;
        std::sscanf(c.c_str(), "text %d %d", &x, &y);
        const TextExtent e = page.textExtent(header);
        EXPECT_GE(x, 0);
        EXPECT_LE(x + e.cx, 900);
        EXPECT_LE(y + e.cy, 600 - 18 - 2 * e.cy) << c;
    }
    EXPECT_TRUE(seen);
    bitmapState().radiometer = nullptr;
}
