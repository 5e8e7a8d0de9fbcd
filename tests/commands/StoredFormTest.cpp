// The stored table list: differences from the built-in tables, its text form and the reader.
#include "CommandProcessor.h"
#include "KroExceptions.h"
#include "VirtualKeys.h"

#include <gtest/gtest.h>

namespace {
constexpr std::int32_t CtrlZ = 0x5A + 4 * 256;
constexpr std::int32_t F5 = 0x74;
const std::string MainWindowValue = "('WordStar' False () 'Default' True ())";

std::vector<TKroCommandEntry> EntriesOf(const TKroCommandTable& T) {
    return T.Entries();
}

// Text of a processor holding only the given table, and the table read back from it.
std::string WriteOnly(const TKroCommandTable& T) {
    TKroCommandProcessor P;
    P.Clear();
    P.AddTable(std::make_unique<TKroCommandTable>(T));
    return P.TableListText();
}
TKroCommandTable ReadOnlyTable(const std::string& Text) {
    TKroCommandProcessor P;
    P.SetTableListText(Text);
    EXPECT_EQ(P.Count(), 1);
    return P.Tables(0);
}
TKroCommandTable BuiltinDefault() {
    TKroCommandProcessor P;
    return P.Tables(0);
}
} // namespace

TEST(TableList, MainWindowValueGivesWordStarThenDefault) {
    TKroCommandProcessor P;
    P.SetTableListText(MainWindowValue);
    ASSERT_EQ(P.Count(), 2);
    EXPECT_EQ(P.Tables(0).TableName(), "WordStar");
    EXPECT_FALSE(P.Tables(0).Active());
    EXPECT_EQ(EntriesOf(P.Tables(0)),
              std::vector<TKroCommandEntry>(WordStarCommands().begin(), WordStarCommands().end()));
    EXPECT_EQ(P.Tables(1).TableName(), "Default");
    EXPECT_TRUE(P.Tables(1).Active());
    EXPECT_EQ(P.Tables(1).Count(), 64);
    EXPECT_EQ(P.GetCommandTable("Grid"), nullptr);
    EXPECT_EQ(P.TableListText(), MainWindowValue);
}

TEST(TableList, FreshProcessorWritesOnlyNamesAndFlags) {
    TKroCommandProcessor P;
    EXPECT_EQ(P.TableListText(), "('Default' True () 'WordStar' False () 'Grid' False ())");
    P.Clear();
    EXPECT_EQ(P.TableListText(), "()");
}

TEST(TableList, EditedDefaultWritesDifferencesAndReadsBack) {
    const TKroCommandTable Unchanged = BuiltinDefault();
    EXPECT_EQ(WriteOnly(Unchanged), "('Default' True ())");

    TKroCommandTable Deleted = Unchanged;
    Deleted.DeleteCommand(12); // Ctrl+Z
    EXPECT_EQ(Deleted.CommandList().Pairs, (decltype(TKroStoredTable::Pairs){{CtrlZ, 0}}));
    EXPECT_EQ(WriteOnly(Deleted), "('Default' True (1114 0))");
    EXPECT_EQ(EntriesOf(ReadOnlyTable(WriteOnly(Deleted))), EntriesOf(Deleted));

    TKroCommandTable Redo = Unchanged;
    Redo.ReplaceCommand(12, {vkOf('Z'), ssCtrl, 0, 0, ccRedo});
    EXPECT_EQ(WriteOnly(Redo), "('Default' True (1114 53))");
    const TKroCommandTable RedoBack = ReadOnlyTable(WriteOnly(Redo));
    EXPECT_EQ(EntriesOf(RedoBack), EntriesOf(Redo)); // replaced in place, at index 12
    EXPECT_EQ(RedoBack.GetCommand(12).Command, ccRedo);

    TKroCommandTable Added = Unchanged;
    Added.AddCommand({vkF5, 0, 0, 0, 300});
    EXPECT_EQ(WriteOnly(Added), "('Default' True (116 300))");
    const TKroCommandTable AddedBack = ReadOnlyTable(WriteOnly(Added));
    EXPECT_EQ(AddedBack.Count(), 65);
    EXPECT_EQ(AddedBack.GetCommand(64), (TKroCommandEntry{vkF5, 0, 0, 0, 300}));

    // All three at once: the deletions come first, then the table's entries in table order.
    TKroCommandTable All = Unchanged;
    All.AddCommand({vkF5, 0, 0, 0, 300});
    All.ReplaceCommand(0, {vkLeft, 0, 0, 0, ccWordLeft});
    All.DeleteCommand(12);
    EXPECT_EQ(WriteOnly(All), "('Default' True (1114 0 37 74 116 300))");
    EXPECT_EQ(EntriesOf(ReadOnlyTable(WriteOnly(All))), EntriesOf(All));
}

TEST(TableList, WildcardKeysAndOtherNamesRoundTrip) {
    TKroCommandProcessor P;
    P.Tables(1).DeleteCommand(10); // Ctrl+Q, S*
    const int Mine = P.CreateCommandTable("My 'own' keys", false);
    P.Tables(Mine).AddCommand({vkOf('K'), ssCtrl, vkOf('B'), ssAnyCtrl, 400});
    P.Tables(Mine).AddCommand({vkF5, 0, 0, 0, ccNone});
    P.Tables(Mine).AddCommand({vkF5, 0, 0, 0, 65535}); // duplicates survive for other names
    const std::string Text = P.TableListText();
    EXPECT_NE(Text.find("'WordStar' False (-2142043055 0)"), std::string::npos) << Text;
    EXPECT_NE(Text.find("'My ''own'' keys' False (-2143157173 400 116 0 116 65535)"),
              std::string::npos)
        << Text;

    TKroCommandProcessor Q;
    Q.Clear();
    Q.SetTableListText(Text);
    ASSERT_EQ(Q.Count(), 4);
    for (int I = 0; I < 4; ++I) {
        EXPECT_EQ(Q.Tables(I).TableName(), P.Tables(I).TableName());
        EXPECT_EQ(Q.Tables(I).Active(), P.Tables(I).Active());
        EXPECT_EQ(EntriesOf(Q.Tables(I)), EntriesOf(P.Tables(I))) << I;
    }
    EXPECT_EQ(Q.TableListText(), Text);
}

TEST(TableList, ReadingAppliesPairsInOrderAndUniqueNaming) {
    TKroCommandProcessor P;
    // Delete Ctrl+Z, then add it back with a new command: it lands at the end.
    P.SetTableListText("('Default' True (1114 0 1114 53) 'default' FALSE () 'x' true ())");
    ASSERT_EQ(P.Count(), 3);
    EXPECT_EQ(P.Tables(0).Count(), 64);
    EXPECT_EQ(P.Tables(0).GetCommand(63), (TKroCommandEntry{vkOf('Z'), ssCtrl, 0, 0, ccRedo}));
    EXPECT_EQ(P.Tables(1).TableName(), "default1");
    EXPECT_FALSE(P.Tables(1).Active());
    // Read as the built-in table under its own name, renamed only when added.
    EXPECT_EQ(P.Tables(1).Count(), 64);
    EXPECT_EQ(P.Tables(2).TableName(), "x");

    // A pair for an unknown key is appended even with command 0, and written back the same way.
    P.SetTableListText("('Default' True (116 0))");
    ASSERT_EQ(P.Tables(0).Count(), 65);
    EXPECT_EQ(P.Tables(0).GetCommand(64), (TKroCommandEntry{vkF5, 0, 0, 0, ccNone}));
    EXPECT_EQ(P.TableListText(), "('Default' True (116 0))");

    // Deleting a built-in key twice deletes it once; nothing is appended for the second pair,
    // so the table writes and reads back to itself.
    P.SetTableListText("('Default' True (37 0 37 0))");
    ASSERT_EQ(P.Tables(0).Count(), 63);
    EXPECT_EQ(P.Tables(0).IndexOfKeys({vkLeft, 0, 0, 0, 0}), -1);
    EXPECT_EQ(P.TableListText(), "('Default' True (37 0))");
}

TEST(TableList, NamesWithUnprintableBytes) {
    TKroCommandProcessor P;
    P.Clear();
    P.CreateCommandTable(std::string("a\tb\xE9'") + '\0', true);
    P.CreateCommandTable("", false);
    const std::string Text = P.TableListText();
    EXPECT_EQ(Text, "('a'#9'b'#233''''#0 True () '' False ())");
    TKroCommandProcessor Q;
    Q.SetTableListText(Text);
    ASSERT_EQ(Q.Count(), 2);
    EXPECT_EQ(Q.Tables(0).TableName(), std::string("a\tb\xE9'") + '\0');
    EXPECT_EQ(Q.Tables(1).TableName(), "");
}

TEST(TableList, MalformedTextRaisesAndLeavesTablesAlone) {
    const char* Bad[] = {
        "",
        "'Default' True ()",
        "('Default' True ()",
        "('Default' True ()))",
        "('Default' Yes ())",
        "(Default True ())",
        "('Default True ())",
        "('Default' True (1114))",
        "('Default' True (1114 0 5))",
        "('Default' True (1114 x))",
        "('Default' True (1114 0x10))",
        "('Default' True (2147483648 0))",
        "('Default' True (-2147483649 0))",
        "('Default' True (99999999999 0))",
        "('Default' True (- 0))",
        "('a'#256 True ())",
        "('a'# True ())",
        "('Default' True ()) trailing",
    };
    TKroCommandProcessor P;
    P.Tables(1).SetActive(true);
    const std::string Before = P.TableListText();
    for (const char* Text : Bad) {
        EXPECT_THROW(P.SetTableListText(Text), ECmdProcessorError) << Text;
        EXPECT_EQ(P.TableListText(), Before) << Text;
    }
    try {
        P.SetTableListText("('Default' True (1114 x))");
    } catch (const ECmdProcessorError& E) {
        EXPECT_STREQ(E.what(), "Invalid command table list at offset 22: expected a command code "
                               "(a 32-bit integer)");
    }
    // Limits of a 32-bit key value are accepted, and line breaks count as blanks.
    P.SetTableListText("(\r\n  'x' True\r\n  (-2147483648 1 002147483647 2))");
    EXPECT_EQ(P.Tables(0).GetCommand(0), EntryOfKeyValue(INT32_MIN, 1));
    EXPECT_EQ(P.Tables(0).GetCommand(1), EntryOfKeyValue(INT32_MAX, 2));
}

TEST(TableList, CommandKeptInSixteenBits) {
    TKroCommandProcessor P;
    P.SetTableListText("('Default' True (116 65836 1114 65536) 'x' True (116 -1))");
    // 65836 is 300 in 16 bits; 65536 is 0 in 16 bits and therefore deletes Ctrl+Z.
    EXPECT_EQ(P.Tables(0).GetCommand(63), (TKroCommandEntry{vkF5, 0, 0, 0, 300}));
    EXPECT_EQ(P.Tables(0).IndexOfKeys({vkOf('Z'), ssCtrl, 0, 0, 0}), -1);
    EXPECT_EQ(P.Tables(1).GetCommand(0).Command, 65535);
}
