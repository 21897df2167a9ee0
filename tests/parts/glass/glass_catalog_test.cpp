// The catalog reader and the dispersion formulas. Expected indices were computed separately from
// the formulas with double-precision arithmetic.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "command/settings/settings.h"
#include "parts/glass/glass_catalog.h"

namespace fs = std::filesystem;

namespace {

class GlassCatalogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("meridyn-glass-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        resetGlassCatalogState();
    }
    void TearDown() override {
        resetGlassCatalogState();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string write(const std::string& name, const std::string& text) {
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    fs::path dir;
};

const char* kFormulas =
    "NM F1 1 0 1.6 40\n"
    "CD 2.27 -0.01 0.012 0.0002 1e-5 2e-6\n"
    "NM F2 2 1000 1.5168 64.17\n"
    "CD 1.03961212 0.00600069867 0.231792344 0.0200179144 1.01046945 103.560653\n"
    "LD 0.4 1.0\n"
    "NM F3 3 0 1.5 50\n"
    "CD 1.5 0.004 0.0001 -0.002 0.0001 -1e-5\n"
    "NM F4 4 0 1.7 30\n"
    "CD 0.8 1.2 0.1 0.02 3.0 0\n"
    "NM F5 5 0 1.45 60\n"
    "CD 1.45 0.003 0.0002 0 0 0\n"
    "NM F6 6 0 1.5 60\n"
    "CD 1 1 1 1 1 1\n";

} // namespace

TEST_F(GlassCatalogTest, EveryTagIsReadIntoItsGlass) {
    std::string path = write("tags.cat",
                             "! a comment before the first glass\n"
                             "CD 9 9 9 9 9 9\n"
                             "NM \"My-Glass\" 2 1234 1.5168 64.17\n"
                             "ED 1 2 3 4\n"
                             "CD 1 2 3 4 5 6\n"
                             "TD 6 5 4 3 2 1\n"
                             "LD 0.35 2.5\n"
                             "IT 0.4 0.9 25\n"
                             "IT 0.5 0.95 25\n"
                             "GC some other record\n");
    EXPECT_EQ(glassCatalog.Load(path), CGlassCatalog::kLoaded);
    ASSERT_EQ(glassCatalog.GlassCount(), 1);
    CGlass* g = glassCatalog.FindGlass("\"My-Glass\"");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->formulaType, 2);
    EXPECT_EQ(g->code, 1234);
    EXPECT_DOUBLE_EQ(g->nd, 1.5168);
    EXPECT_DOUBLE_EQ(g->vd, 64.17);
    EXPECT_DOUBLE_EQ(g->extra[3], 4);
    EXPECT_DOUBLE_EQ(g->dispersion[0], 1);
    EXPECT_DOUBLE_EQ(g->dispersion[5], 6);
    EXPECT_DOUBLE_EQ(g->thermal[0], 6);
    EXPECT_TRUE(g->hasRange);
    EXPECT_DOUBLE_EQ(g->range[0], 0.35);
    EXPECT_DOUBLE_EQ(g->range[1], 2.5);
    ASSERT_EQ(g->transmittanceCount, 2);
    EXPECT_DOUBLE_EQ(g->transmittance[1].values[1], 0.95);
    EXPECT_TRUE(g->description.empty() && g->status.empty());
    EXPECT_EQ(g->ParseLine("GC", "x"), 0);
    EXPECT_EQ(g->ParseLine("IT", "1 2 3"), 1);
}

TEST_F(GlassCatalogTest, LoadResultsAndIdentity) {
    std::string a = write("a.cat", "NM G 2 0 1.5 60\nNM DUP 5 0 1.1 1\nCD 1.1 0 0\n"
                                   "NM DUP 5 0 1.2 1\nCD 1.2 0 0\nNM LAST 5 0 1.3 1\nCD 1.3 0 0");
    std::string b = write("b.cat", "NM G 5 0 9 9\nCD 9 0 0\nNM ONLYB 5 0 2 2\n");
    std::string missing = (dir / "missing.cat").string();

    EXPECT_EQ(glassCatalog.Load(missing), CGlassCatalog::kUnreadable);
    EXPECT_EQ(glassCatalog.Load(dir.string()), CGlassCatalog::kUnreadable); // a directory
    EXPECT_EQ(glassCatalog.Load(a), CGlassCatalog::kLoaded);
    EXPECT_EQ(glassCatalog.Load(a), CGlassCatalog::kAlreadyLoaded);
    EXPECT_EQ(glassCatalog.Load(b), CGlassCatalog::kLoaded);
    // A failed open is not remembered: the file can be loaded once it exists.
    write("missing.cat", "NM LATE 5 0 1 1\n");
    EXPECT_EQ(glassCatalog.Load(missing), CGlassCatalog::kLoaded);
    EXPECT_NE(glassCatalog.FindGlass("LATE"), nullptr);

    // The first glass of a name wins, within a file and across files.
    EXPECT_EQ(glassCatalog.FindGlass("G")->formulaType, 2);
    EXPECT_DOUBLE_EQ(glassCatalog.FindGlass("DUP")->nd, 1.1);
    // The last glass of a file is kept, also without a final newline.
    ASSERT_NE(glassCatalog.FindGlass("LAST"), nullptr);
    EXPECT_DOUBLE_EQ(glassCatalog.FindGlass("LAST")->dispersion[0], 1.3);
    EXPECT_NE(glassCatalog.FindGlass("ONLYB"), nullptr);
    EXPECT_EQ(glassCatalog.FindGlass("g"), nullptr); // names compare exactly
    EXPECT_EQ(glassCatalog.GlassCount(), 5);
    EXPECT_EQ(glassCatalog.LoadedFiles().size(), 3u);
}

TEST_F(GlassCatalogTest, AwkwardLines) {
    std::string longComment = "! " + std::string(300, 'x') + "NM PHANTOM 2 0 1 1";
    std::string longName(400, 'N');
    std::string path =
        write("awkward.cat", "NM CRLF 5 0 1.5 60\r\nCD 1.5 0.25 0\r\n" + longComment +
                                 "\nNM " + longName + " 5 0 1 1\n" + "CD 1" +
                                 std::string(200, ' ') + " 2 3 4 5 6.5\n" +
                                 "NM MALFORMED 5 0 abc 1\nCD 1.25 x 7\nLD 0.5\n" +
                                 "N\n\nNM NOLINE");
    EXPECT_EQ(glassCatalog.Load(path), CGlassCatalog::kLoaded);
    CGlass* crlf = glassCatalog.FindGlass("CRLF");
    ASSERT_NE(crlf, nullptr);
    EXPECT_DOUBLE_EQ(crlf->dispersion[1], 0.25);
    EXPECT_EQ(glassCatalog.FindGlass("PHANTOM"), nullptr);
    CGlass* longOne = glassCatalog.FindGlass(longName);
    ASSERT_NE(longOne, nullptr);
    EXPECT_DOUBLE_EQ(longOne->dispersion[5], 6.5); // the long line's last coefficient is whole
    CGlass* bad = glassCatalog.FindGlass("MALFORMED");
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(bad->formulaType, 5);
    EXPECT_EQ(bad->nd, 0.0); // the unreadable fields stay 0
    EXPECT_DOUBLE_EQ(bad->dispersion[0], 1.25);
    EXPECT_EQ(bad->dispersion[2], 0.0);
    EXPECT_FALSE(bad->hasRange); // an LD line with one number is no range
    EXPECT_NE(glassCatalog.FindGlass("NOLINE"), nullptr);
}

TEST_F(GlassCatalogTest, TransmittanceRowsStopAtThirty) {
    std::string text = "NM T 5 0 1 1\n";
    for (int i = 0; i < 35; ++i) text += "IT " + std::to_string(i) + " 0.5 10\n";
    glassCatalog.LoadText(text);
    CGlass* g = glassCatalog.FindGlass("T");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->transmittanceCount, 30);
    EXPECT_DOUBLE_EQ(g->transmittance[29].values[0], 29);
}

TEST_F(GlassCatalogTest, NumbersReadTheSameUnderAnyLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    glassCatalog.LoadText("NM L 5 0 1.5 60\nCD 1.5 0 0\n");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_DOUBLE_EQ(glassCatalog.FindGlass("L")->nd, 1.5);
    if (!german) GTEST_SKIP() << "no de_DE locale here; read checked in the C locale only";
}

TEST_F(GlassCatalogTest, FormulasAgainstIndependentValues) {
    glassCatalog.LoadText(kFormulas);
    const double waves[4] = {0.4, 0.5876, 1.0, 2.0};
    struct Expected {
        const char* name;
        double n[4];
    } table[] = {
        {"F1", {1.5351565601144725, 1.5176836365463757, 1.5073858165711922, 1.494326826387889}},
        {"F2", {1.5308485382492993, 1.5167984379050088, 1.507502203984908, 1.4945016229008292}},
        {"F3", {1.5357247596276948, 1.5129217883139447, 1.5023110706362512, 1.4939733877728187}},
        {"F4", {1.7543481856692775, 1.7416890568366732, 1.734825989003281, 1.731764279224223}},
        {"F5", {1.462441058844013, 1.4563915221638144, 1.4531999999999998, 1.4515176776695298}},
    };
    for (const Expected& e : table) {
        CGlass* g = glassCatalog.FindGlass(e.name);
        ASSERT_NE(g, nullptr) << e.name;
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(g->Index(waves[i]), e.n[i], 1e-13) << e.name;
    }
    EXPECT_EQ(glassCatalog.FindGlass("F6")->Index(0.5), kGlassIndexError);
    // A type beyond int range must not wrap onto a formula (2^32 + 2 would be 2).
    glassCatalog.LoadText("NM WRAP 4294967298 0 1.5 60\nCD 1 0 0 0 0 0\n");
    EXPECT_EQ(glassCatalog.FindGlass("WRAP")->Index(0.5), kGlassIndexError);
}

TEST_F(GlassCatalogTest, RangeClampsAndNoRangeKeepsTheWavelength) {
    glassCatalog.LoadText(kFormulas);
    CGlass* f2 = glassCatalog.FindGlass("F2");
    EXPECT_EQ(f2->ClampWavelength(2.0), 1.0);
    EXPECT_EQ(f2->ClampWavelength(0.1), 0.4);
    EXPECT_EQ(f2->ClampWavelength(0.4), 0.4);
    EXPECT_EQ(f2->ClampWavelength(0.7), 0.7);
    EXPECT_NEAR(f2->Index(f2->ClampWavelength(2.0)), 1.507502203984908, 1e-13);
    CGlass* f1 = glassCatalog.FindGlass("F1");
    EXPECT_FALSE(f1->hasRange);
    EXPECT_EQ(f1->ClampWavelength(7.5), 7.5);
    EXPECT_EQ(f1->ClampWavelength(0.0), 0.0);
}

TEST_F(GlassCatalogTest, GuardsGiveTheErrorValueAndNeverNaN) {
    glassCatalog.LoadText(kFormulas);
    // Wavelength 0 divides in formulas 1, 4 and 5.
    for (const char* name : {"F1", "F4", "F5"})
        EXPECT_EQ(glassCatalog.FindGlass(name)->Index(0.0), kGlassIndexError) << name;
    // Formula 4 at L = A2^2 and at L = A4^2.
    CGlass* f4 = glassCatalog.FindGlass("F4");
    EXPECT_EQ(f4->Index(0.1), kGlassIndexError);
    EXPECT_EQ(f4->Index(std::sqrt(3.0 * 3.0)), kGlassIndexError);
    // A negative wavelength in formula 5 has no real power.
    EXPECT_EQ(glassCatalog.FindGlass("F5")->Index(-1.0), kGlassIndexError);
    // Formula 2 at a pole adds 1000 for that pair.
    CGlass pole;
    pole.formulaType = 2;
    pole.dispersion[0] = 1.0;
    pole.dispersion[1] = 0.25;
    EXPECT_DOUBLE_EQ(pole.Index(0.5), std::sqrt(1001.0));
    // Formula 3 at L = 0.028 uses H = 100.
    CGlass three;
    three.formulaType = 3;
    three.dispersion[1] = 0.01;
    EXPECT_DOUBLE_EQ(three.Index(std::sqrt(0.028)), 1.0);
    // Formula 1 with a sum of exactly 0 keeps the catalog index (1.0 without one).
    CGlass flat;
    flat.formulaType = 1;
    EXPECT_EQ(flat.Index(0.5), 1.0);
    flat.nd = 1.62;
    EXPECT_EQ(flat.Index(0.5), 1.62);
    // Overflowing coefficients give the error value, not inf.
    CGlass huge;
    huge.formulaType = 5;
    huge.dispersion[0] = 1e308;
    huge.dispersion[1] = 1e308;
    EXPECT_EQ(huge.Index(0.5), kGlassIndexError);
}

TEST_F(GlassCatalogTest, SetMatcatalogLoadsThroughTheDispatcherHook) {
    settingsHooks().loadCatalog = nullptr;
    registerGlassCatalog();
    ASSERT_TRUE(settingsHooks().loadCatalog);
    std::string path = write("hook.cat", "NM H 5 0 1 1\n");
    EXPECT_EQ(settingsHooks().loadCatalog(path), 1);
    EXPECT_EQ(settingsHooks().loadCatalog(path), 2);
    EXPECT_NE(glassCatalog.FindGlass("H"), nullptr);
    settingsHooks().loadCatalog = nullptr;
}
