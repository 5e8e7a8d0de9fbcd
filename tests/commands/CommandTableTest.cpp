// Command codes, key values, the built-in tables and the table management of the processor.
#include "CommandProcessor.h"
#include "KroExceptions.h"
#include "VirtualKeys.h"

#include <gtest/gtest.h>

namespace {
TKroCommandEntry One(std::uint8_t Key, std::uint8_t Shift, TKroCommand Command) {
    return {Key, Shift, 0, 0, Command};
}
} // namespace

TEST(CommandCodes, NamesFollowCodeOrder) {
    EXPECT_STREQ(CommandName(ccNone), "ccNone");
    EXPECT_STREQ(CommandName(ccCtrlChar), "ccCtrlChar");
    EXPECT_STREQ(CommandName(ccSetMarker0), "ccSetMarker0");
    EXPECT_STREQ(CommandName(ccWordRight), "ccWordRight");
    EXPECT_STREQ(CommandName(76), "");
    EXPECT_STREQ(CommandName(ccChar), "");
    EXPECT_STREQ(CommandName(-1), "");
    // Every name maps back to its own code, so no name is missing or out of place.
    for (int Code = 0; Code < ccNamedCount; ++Code)
        EXPECT_EQ(CommandCodeOf(CommandName(Code)), Code) << Code;
    EXPECT_EQ(CommandCodeOf("ccdelline"), -1);
    EXPECT_EQ(ccWordRight, 75);
    EXPECT_EQ(ccRedo, 53);
    EXPECT_EQ(ccUserFirst, 256);
}

TEST(KeyValue, PacksFourBytesLittleEndianAndWildcardIsNegative) {
    EXPECT_EQ(KeyValue(One(vkOf('Z'), ssCtrl, ccUndo)), 0x5A + 4 * 256);
    EXPECT_EQ(KeyValue(One(vkF5, 0, 300)), 0x74);
    const TKroCommandEntry QS{vkOf('Q'), ssCtrl, vkOf('S'), ssAnyCtrl, ccHome};
    EXPECT_EQ(KeyValue(QS), -2142043055);
    const TKroCommandEntry Back = EntryOfKeyValue(-2142043055, 7);
    EXPECT_EQ(Back, (TKroCommandEntry{vkOf('Q'), ssCtrl, vkOf('S'), ssAnyCtrl, 7}));
}

TEST(BuiltinTables, CountsOrderAndSampleRows) {
    const auto D = DefaultCommands();
    const auto W = WordStarCommands();
    const auto G = GridCommands();
    ASSERT_EQ(D.size(), 64u);
    ASSERT_EQ(W.size(), 40u);
    ASSERT_EQ(G.size(), 38u);

    EXPECT_EQ(D[12], One(vkOf('Z'), ssCtrl, ccUndo));
    EXPECT_EQ(D[13], One(vkBack, ssAlt, ccRestore));
    EXPECT_EQ(D[43], One(vkOf('Z'), ssCtrl | ssShift, ccRedo));
    EXPECT_EQ(D[44], One(vkOf('0'), ssCtrl, ccGotoMarker0));
    EXPECT_EQ(D[63], One(vkOf('9'), ssCtrl | ssShift, ccSetMarker9));

    EXPECT_EQ(W[10], (TKroCommandEntry{vkOf('Q'), ssCtrl, vkOf('S'), ssAnyCtrl, ccHome}));
    EXPECT_EQ(W[18], One(vkOf('P'), ssCtrl, ccCtrlChar));
    EXPECT_EQ(W[19], (TKroCommandEntry{vkOf('Q'), ssCtrl, vkOf('L'), ssAnyCtrl, ccRestore}));
    EXPECT_EQ(W[25], (TKroCommandEntry{vkOf('Q'), ssCtrl, vkOf('5'), ssAnyCtrl, ccGotoMarker5}));
    EXPECT_EQ(W[39], (TKroCommandEntry{vkOf('K'), ssCtrl, vkOf('9'), ssAnyCtrl, ccSetMarker9}));

    EXPECT_EQ(G[11], One(vkOf('Z'), ssCtrl, ccRestore));
    EXPECT_EQ(G[37], One(vkF2, 0, ccTableEdit));

    // No built-in table binds one key sequence twice, and none binds plain Enter.
    for (const auto Table : {D, W, G}) {
        for (std::size_t I = 0; I < Table.size(); ++I) {
            EXPECT_NE(Table[I], One(vkReturn, 0, Table[I].Command));
            EXPECT_NE(Table[I].Command, ccNone);
            for (std::size_t J = 0; J < I; ++J)
                EXPECT_NE(KeyValue(Table[I]), KeyValue(Table[J]));
        }
    }
    EXPECT_EQ(BuiltinCommands("wordSTAR").size(), 40u);
    EXPECT_TRUE(BuiltinCommands("Default1").empty());
}

TEST(CommandTable, EditingAndIndexOfKeys) {
    TKroCommandTable T;
    EXPECT_TRUE(T.Active());
    EXPECT_EQ(T.TableName(), "(Unknown)");
    EXPECT_EQ(T.AddCommand(One(vkLeft, 0, ccLeft)), 0);
    EXPECT_EQ(T.AddCommand(One(vkRight, 0, ccRight)), 1);
    T.InsertCommand(0, One(vkUp, 0, ccUp));
    T.InsertCommand(3, One(vkDown, 0, ccDown)); // at Count(): appends
    EXPECT_EQ(T.Count(), 4);
    EXPECT_EQ(T.GetCommand(0).Command, ccUp);

    // Found whatever the command; duplicates are allowed here, the first one wins.
    EXPECT_EQ(T.IndexOfKeys(One(vkRight, 0, ccNone)), 2);
    T.AddCommand(One(vkRight, 0, ccWordRight));
    EXPECT_EQ(T.IndexOfKeys(One(vkRight, 0, 999)), 2);
    EXPECT_EQ(T.IndexOfKeys(One(vkRight, ssShift, ccRight)), -1);
    // The second key's shift byte is part of the identity.
    T.AddCommand({vkOf('Q'), ssCtrl, vkOf('S'), ssAnyCtrl, ccHome});
    EXPECT_EQ(T.IndexOfKeys({vkOf('Q'), ssCtrl, vkOf('S'), 0, ccHome}), -1);
    EXPECT_EQ(T.IndexOfKeys({vkOf('Q'), ssCtrl, vkOf('S'), ssAnyCtrl, 0}), 5);

    T.ReplaceCommand(2, One(vkRight, 0, ccEnd));
    EXPECT_EQ(T.GetCommand(2).Command, ccEnd);
    T.DeleteCommand(0);
    EXPECT_EQ(T.GetCommand(0).Command, ccLeft);
    EXPECT_THROW(T.GetCommand(T.Count()), std::out_of_range);
    EXPECT_THROW(T.InsertCommand(T.Count() + 1, One(1, 0, 1)), std::out_of_range);
    T.Clear();
    EXPECT_EQ(T.Count(), 0);
}

TEST(Processor, FreshContents) {
    TKroCommandProcessor P;
    ASSERT_EQ(P.Count(), 3);
    EXPECT_EQ(P.Tables(0).TableName(), "Default");
    EXPECT_TRUE(P.Tables(0).Active());
    EXPECT_EQ(P.Tables(0).Count(), 64);
    EXPECT_EQ(P.Tables(1).TableName(), "WordStar");
    EXPECT_FALSE(P.Tables(1).Active());
    EXPECT_EQ(P.Tables(1).Count(), 40);
    EXPECT_EQ(P.Tables(2).TableName(), "Grid");
    EXPECT_FALSE(P.Tables(2).Active());
    EXPECT_EQ(P.Tables(2).Count(), 38);
    EXPECT_EQ(P.Tables(1).GetCommand(10), WordStarCommands()[10]);
    EXPECT_EQ(P.PendingState(), 0);
    EXPECT_THROW(P.Tables(3), std::out_of_range);
}

TEST(Processor, UniqueNamesWhenAdding) {
    TKroCommandProcessor P;
    EXPECT_EQ(P.CreateCommandTable("Default", true), 3);
    EXPECT_EQ(P.Tables(3).TableName(), "Default1");
    P.CreateCommandTable("Default", true);
    EXPECT_EQ(P.Tables(4).TableName(), "Default2");
    // Trailing digits are stripped before the search: Default7 is taken as Default.
    P.CreateCommandTable("Default7", false);
    EXPECT_EQ(P.Tables(5).TableName(), "Default3");
    // Case is ignored when looking for a clash.
    P.CreateCommandTable("GRID", false);
    EXPECT_EQ(P.Tables(6).TableName(), "GRID1");

    P.CreateCommandTable("Tab", true);
    P.CreateCommandTable("Tab", true);
    EXPECT_EQ(P.Tables(8).TableName(), "Tab1");
    // Table1 exists but no Table: the newcomer keeps its name and two tables share it.
    P.CreateCommandTable("Table1", true);
    P.CreateCommandTable("Table1", true);
    EXPECT_EQ(P.Tables(9).TableName(), "Table1");
    EXPECT_EQ(P.Tables(10).TableName(), "Table1");
    // A one-character name is never stripped, even when it is a digit.
    P.CreateCommandTable("9", true);
    EXPECT_EQ(P.Tables(11).TableName(), "9");
    P.CreateCommandTable("9", true);
    EXPECT_EQ(P.Tables(12).TableName(), "91");
    P.CreateCommandTable("", true);
    P.CreateCommandTable("", true);
    EXPECT_EQ(P.Tables(14).TableName(), "1");
}

TEST(Processor, LookupAndAddCommandErrors) {
    TKroCommandProcessor P;
    EXPECT_EQ(P.GetCommandTable("default"), &P.Tables(0));
    EXPECT_EQ(P.GetCommandTable("wORDsTAR"), &P.Tables(1));
    EXPECT_EQ(P.GetCommandTable("Defaults"), nullptr);

    EXPECT_THROW(P.AddCommand("NoSuchTable", One(vkF5, 0, 300)), ETableNotFound);
    try {
        P.AddCommand("default", One(vkOf('Z'), ssCtrl, ccRedo)); // Ctrl+Z is there already
        FAIL() << "no exception";
    } catch (const EDuplicateCommand& E) {
        EXPECT_STREQ(E.what(), "Duplicate command found while adding a new command to the table");
    }
    EXPECT_EQ(P.Tables(0).Count(), 64);
    EXPECT_EQ(P.AddCommand("DEFAULT", One(vkF5, 0, 300)), 64);
    EXPECT_EQ(P.Tables(0).GetCommand(64).Command, 300);
    P.Clear();
    EXPECT_EQ(P.Count(), 0);
    EXPECT_THROW(P.AddCommand("Default", One(vkF5, 0, 300)), ETableNotFound);
}
