#include "command/interpreter/aliases.h"

#include <gtest/gtest.h>

#include "tests/command/scratch_home_fixture.h"

class AliasesTest : public testsupport::ScratchHomeTest {};

TEST_F(AliasesTest, AddRefusesDuplicateNamesAndTexts) {
    EXPECT_EQ(aliasAdd("lens1", "7"), 1);
    EXPECT_EQ(aliasAdd("lens2", "8"), 2);
    EXPECT_EQ(aliasAdd("lens1", "9"), 0);
    EXPECT_EQ(aliasAdd("other", "7"), 0);
    EXPECT_EQ(aliasAdd("", "10"), 0);
    EXPECT_STREQ(aliasLookup("lens2"), "8");
    EXPECT_EQ(aliasLookup("lens"), nullptr); // names compare exactly, not by prefix
}

TEST_F(AliasesTest, ObjectLabelPrefersTheAlias) {
    aliasAdd("mirror", "3");
    EXPECT_STREQ(objectLabel(3), "mirror");
    EXPECT_STREQ(objectLabel(4), "4");
    EXPECT_STREQ(objectLabel(30), "30");
}

TEST_F(AliasesTest, PendingAliasIsRegisteredOnce) {
    EXPECT_EQ(registerPendingAlias(outputChannel, 5), 0);
    aliasState().pendingAliasName = "lamp";
    EXPECT_EQ(registerPendingAlias(outputChannel, 5), 1);
    EXPECT_TRUE(aliasState().pendingAliasName.empty());
    aliasState().pendingAliasName = "lamp";
    EXPECT_EQ(registerPendingAlias(outputChannel, 6), 1);
    EXPECT_EQ(screen(), "Added alias:                 lamp <==                    5\n"
                        "Unable to add alias lamp and text 6\n");
}

TEST_F(AliasesTest, RemoveObjectAliasAndListing) {
    aliasList(outputChannel);
    aliasAdd("a", "1");
    aliasAdd("b", "2");
    removeObjectAlias(outputChannel, 1);
    removeObjectAlias(outputChannel, 9); // nothing to remove, no message
    aliasList(outputChannel);
    EXPECT_EQ(screen(), "No aliases defined.\n"
                        "Alias a removed.\n"
                        "Alias name               Replacement text\n"
                        "____________________     ____________________\n"
                        "                   b <==                    2\n");
}
