// Numbers, names and file names as they enter a composed command.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "ui/compose/field_text.h"

TEST(FieldText, NumbersKeepEveryDigitTheUserTypedAndPinnedLinesStay) {
    EXPECT_EQ(fieldNumber(25), "25");
    EXPECT_EQ(fieldNumber(0.1), "0.1");
    EXPECT_EQ(fieldNumber(-50), "-50");
    EXPECT_EQ(fieldNumber(1e33), "1e+33");
    EXPECT_EQ(fieldNumber(8.854e-12), "8.854e-12");
    EXPECT_EQ(fieldNumber(100.00125), "100.00125");  // "%lg" wrote 100.001
    EXPECT_EQ(fieldNumber(0.4861327), "0.4861327");  // "%lg" wrote 0.486133
    EXPECT_EQ(fieldNumber(1.0 / 3), "0.3333333333333333");
    EXPECT_EQ(computedNumber(1.0 / 3), "0.333333");
    for (double v : {1.0 / 7, 123456.789, -2.5e-300, 6.02214076e23})
        EXPECT_EQ(std::stod(fieldNumber(v)), v) << fieldNumber(v);
}

TEST(FieldText, FloatsReadBackToTheSameFloat) {
    EXPECT_EQ(floatNumber(0.1f), "0.1");
    EXPECT_EQ(floatNumber(10.0f), "10");
    EXPECT_EQ(floatNumber(1.0f / 3), "0.33333334");
    for (float v : {1.0f / 7, 1234.5677f, -3.4e38f, 1e-38f})
        EXPECT_EQ(static_cast<float>(std::stod(floatNumber(v))), v) << floatNumber(v);
}

TEST(FieldText, FieldsReadOnlyWholeFiniteNumbers) {
    EXPECT_EQ(parseFieldNumber("1.5"), 1.5);
    EXPECT_EQ(parseFieldNumber("  -2e3 "), -2000);
    EXPECT_EQ(parseFieldNumber("+4"), 4);
    for (const char* bad : {"", "  ", "1,5", "abc", "1.5x", "inf", "nan", "1e999"})
        EXPECT_FALSE(parseFieldNumber(bad)) << bad;
    EXPECT_EQ(parseFieldInteger("201"), 201);
    EXPECT_FALSE(parseFieldInteger("2.5"));
}

TEST(FieldText, GermanLocaleStillReadsAndWritesAPoint) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(parseFieldNumber("1.5"), 1.5);
    EXPECT_FALSE(parseFieldNumber("1,5"));
    EXPECT_EQ(fieldNumber(1.5), "1.5");
    EXPECT_EQ(computedNumber(11.547005383792516), "11.547");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FieldText, OnlyAliasNamesEnterACommandAsAWord) {
    EXPECT_TRUE(isCommandName("m1", 19));
    EXPECT_TRUE(isCommandName("a-b_C9", 19));
    EXPECT_TRUE(isCommandName(std::string(19, 'n'), 19));
    EXPECT_FALSE(isCommandName(std::string(20, 'n'), 19));
    for (const char* bad : {"", "x;clear", "1abc", "_a", "a b", "a/b", "a=b", "é", "a\"b"})
        EXPECT_FALSE(isCommandName(bad, 19)) << bad;
    EXPECT_TRUE(isObjectField("12"));
    EXPECT_TRUE(isObjectField("lens"));
    EXPECT_FALSE(isObjectField("-3"));
    EXPECT_FALSE(isObjectField("3;clear"));
}

TEST(FieldText, PlainFileNamesStandQuotedOthersAreQuoted) {
    EXPECT_EQ(fileNameValue("out.dat"), "out.dat");
    EXPECT_EQ(fileNameValue("a b.dat"), "\"a b.dat\"");
    EXPECT_EQ(fileNameValue("dir/x"), "\"dir/x\"");
    EXPECT_EQ(fileNameValue("x\"y"), "\"x\"\"y\"");
    EXPECT_EQ(fileNameValue(""), "\"\"");
}
