// Numbers as text: the shortest text that reads back, and a point under any locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "command/text/number_text.h"

TEST(NumberText, KeepsTheTextOfLgWhereItReadsBackAndEveryBitElsewhere) {
    // What "%lg" keeps is written as "%lg" writes it.
    for (double v :
         {1.5, 100.0, -0.5, 0.0, 25.0, 0.1, 1e21, 1e-300, 8.854e-12, 1e33, 0.01, 140.0}) {
        char lg[64];
        std::snprintf(lg, sizeof lg, "%lg", v);
        EXPECT_EQ(numberText(v), lg) << v;
    }
    // Else the fewest digits that read back; shorter than "%.17g" where that is too long.
    const std::pair<double, const char*> spelt[] = {
        {-0.0, "-0"},
        {10.1234567, "10.1234567"},
        {100.00125, "100.00125"},
        {1.0 / 3, "0.3333333333333333"},
        {-0.003085809, "-0.003085809"},
        {-0.030000000000000002, "-.030000000000000002"}};
    for (const auto& [v, text] : spelt)
        EXPECT_EQ(numberText(v), text);
    for (double v : {0.1, 1.0 / 3, 1e-300, -0.0, 1e21, 1.0 / 7, -21.300000000000001, 6.02214076e23,
                     -2.5e-300, 5e-324, 0.1 + 0.2}) {
        const std::string t = numberText(v);
        const double back = std::strtod(t.c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << t;
        EXPECT_LE(t.size(), kNumberTextLimit) << t;
    }
    // No spelling of 20 characters holds it: the closest that fits, and the miss is counted.
    numberTextMisses() = 0;
    const double tiny = -1.2345678901234567e-100;
    const std::string closest = numberText(tiny);
    EXPECT_LE(closest.size(), kNumberTextLimit);
    EXPECT_NEAR(std::stod(closest) / tiny, 1, 1e-12);
    EXPECT_EQ(numberTextMisses(), 1);
    resetNumberTextState();
    EXPECT_EQ(numberTextMisses(), 0);
}

TEST(NumberText, FloatsReadBackToTheSameFloat) {
    EXPECT_EQ(floatNumberText(0.1f), "0.1");
    EXPECT_EQ(floatNumberText(10.0f), "10");
    EXPECT_EQ(floatNumberText(1.0f / 3), "0.33333334");
    for (float v : {1.0f / 7, 1234.5677f, -3.4e38f, 1e-38f})
        EXPECT_EQ(static_cast<float>(std::stod(floatNumberText(v))), v) << floatNumberText(v);
}

TEST(NumberText, FieldsReadOnlyWholeFiniteNumbers) {
    EXPECT_EQ(parseNumberText("1.5"), 1.5);
    EXPECT_EQ(parseNumberText("  -2e3 "), -2000);
    EXPECT_EQ(parseNumberText("+4"), 4);
    for (const char* bad : {"", "  ", "1,5", "abc", "1.5x", "inf", "nan", "1e999"})
        EXPECT_FALSE(parseNumberText(bad)) << bad;
    EXPECT_EQ(parseIntegerText("201"), 201);
    EXPECT_FALSE(parseIntegerText("2.5"));
}

TEST(NumberText, ADecimalCommaLocaleStillReadsAndWritesAPoint) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(parseNumberText("1.5"), 1.5);
    EXPECT_FALSE(parseNumberText("1,5"));
    EXPECT_EQ(numberText(1.5), "1.5");
    EXPECT_EQ(generalText(11.547005383792516), "11.547");
    EXPECT_EQ(fixedText(0.5), "0.500000");
    EXPECT_EQ(formatCText("%lg %.3f", 0.25, 1.5), "0.25 1.500");
    const char* p = " 2.5 7 word";
    double d = 0;
    long n = 0;
    std::string w;
    EXPECT_TRUE(scanCDouble(p, d) && scanCLong(p, n) && scanCWord(p, w));
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(w, "word");
    EXPECT_EQ(readCDouble("0.125", nullptr), 0.125);
    std::setlocale(LC_NUMERIC, saved.c_str());
}
