#include <filesystem>

#include "display/views/console_view.h"
#include "tests/display/png_decoder.h"
#include "tests/display/view_fixture.h"

namespace {

using displaytest::ViewTest;
namespace fs = std::filesystem;

TEST(ParseViewSize, AcceptsWidthByHeightWithinLimits) {
    int w = 0, h = 0;
    EXPECT_TRUE(parseViewSize("640x480", w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    EXPECT_TRUE(parseViewSize("1x8192", w, h));
    for (const char* bad : {"0x10", "10x8193", "640", "x480", "640x", "64 0x480", "-1x5",
                            "640x480x2", "99999999999x1"}) {
        EXPECT_FALSE(parseViewSize(bad, w, h)) << bad;
        EXPECT_EQ(w, 1) << bad;
        EXPECT_EQ(h, 8192) << bad;
    }
}

class ConsoleViewTest : public ViewTest {};

TEST_F(ConsoleViewTest, PictureIsWrittenOnlyWhenItChanges) {
    const fs::path png = dir.path() / "pic.png";
    ConsoleView view(160, 120, png);
    EXPECT_EQ(viewModeState().viewWindow, &view.view());
    EXPECT_EQ(view.afterCommand(), PictureFile::Result::Written);
    auto first = fs::last_write_time(png);
    EXPECT_EQ(view.afterCommand(), PictureFile::Result::Unchanged);
    EXPECT_EQ(fs::last_write_time(png), first);
    auto decoded = decodePngFile(png.string());
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.width, 160);
    EXPECT_EQ(decoded.height, 120);
    EXPECT_EQ(decoded.rgb, std::vector<std::uint8_t>(view.view().raster().pixels().begin(),
                                                     view.view().raster().pixels().end()));
    // A new object changes the picture.
    makeObject(kWireAxes)->firstSurface->axisLength = 30;
    EXPECT_EQ(view.afterCommand(), PictureFile::Result::Written);
}

TEST_F(ConsoleViewTest, WithoutAutoRedrawOnlyRequestedRepaintsShow) {
    ConsoleView view(160, 120, dir.path() / "pic.png");
    view.afterCommand();
    autoRedraw = 0;
    makeObject(kWireAxes)->firstSurface->axisLength = 30;
    EXPECT_EQ(view.afterCommand(), PictureFile::Result::Unchanged);
    requestRedraw(); // a view command repaints whatever the setting
    EXPECT_EQ(view.afterCommand(), PictureFile::Result::Written);
}

TEST_F(ConsoleViewTest, HpglExportAndItsFailure) {
    ConsoleView view(320, 200);
    EXPECT_TRUE(view.exportHpgl(dir.file("out.hgl")));
    auto lines = displaytest::readLines(dir.file("out.hgl"));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "SC 0 319 0 199;");
    const std::string bad = dir.file("missing/out.hgl");
    EXPECT_FALSE(view.exportHpgl(bad));
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].text, "Unable to open hpgl file " + bad + " for output.");
}

TEST_F(ConsoleViewTest, TheViewIsReleasedWithTheConsole) {
    {
        ConsoleView view;
        EXPECT_EQ(view.view().clientWidth(), 800);
    }
    EXPECT_EQ(viewModeState().viewWindow, nullptr);
    requestRedraw(); // nothing to paint, nothing breaks
}

} // namespace
