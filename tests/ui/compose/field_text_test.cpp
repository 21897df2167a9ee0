// Names and file names as they enter a composed command.
#include <gtest/gtest.h>

#include <string>

#include "ui/compose/field_text.h"

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
