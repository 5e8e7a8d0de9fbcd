// Tests of the undo buffer: record budget, merging, groups, discarding, suspension, ownership.
#include "UndoBuffer.h"
#include "ParaNode.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

bool Type(TUndoBuffer& U, int32_t Para, int32_t Pos, const std::string& S) {
    return U.Add(uaInsertText, false, Para, Pos, S.data(), static_cast<uint16_t>(S.size()));
}

std::string Data(const TUndoStep& S) {
    return std::string(S.Data, S.DataLen);
}

TParaNode* NewNode(const char* S) {
    return new TParaNode(S, static_cast<int32_t>(std::char_traits<char>::length(S)), 80, 8);
}

} // namespace

TEST(UndoBufferRecords, TypingMergesIntoOneRecordOfDataPlusSixteen) {
    TUndoBuffer U(8192);
    ASSERT_TRUE(Type(U, 1, 1, "a"));
    ASSERT_TRUE(Type(U, 1, 2, "b"));
    ASSERT_TRUE(Type(U, 1, 3, "c"));
    EXPECT_EQ(U.UndoCount(), 1);
    EXPECT_EQ(U.Free(), 8192 - 19);
    const uint8_t G = U.NextUndoGroup();
    ASSERT_TRUE(Type(U, 1, 10, "x")); // elsewhere: a new record and group
    EXPECT_EQ(U.UndoCount(), 2);
    EXPECT_NE(U.NextUndoGroup(), G);
    TUndoStep X = U.StepBack();
    EXPECT_EQ(Data(X), "x");
    TUndoStep S = U.StepBack();
    EXPECT_EQ(S.Kind, uaInsertText);
    EXPECT_EQ(S.Pos, 1);
    EXPECT_EQ(Data(S), "abc");
}

TEST(UndoBufferRecords, BackspaceAndForwardDeleteMerge) {
    TUndoBuffer U(8192);
    U.Add(uaDeleteText, false, 2, 3, "c", 1);
    U.Add(uaDeleteText, false, 2, 2, "b", 1);
    U.Add(uaDeleteText, false, 2, 1, "a", 1);
    ASSERT_EQ(U.UndoCount(), 1);
    TUndoStep S = U.StepBack();
    EXPECT_EQ(S.Pos, 1);
    EXPECT_EQ(Data(S), "abc");

    TUndoBuffer F(8192);
    F.Add(uaDeleteText, false, 2, 4, "a", 1);
    F.Add(uaDeleteText, false, 2, 4, "b", 1);
    F.Add(uaDeleteText, false, 2, 4, "c", 1);
    ASSERT_EQ(F.UndoCount(), 1);
    TUndoStep T = F.StepBack();
    EXPECT_EQ(T.Pos, 4);
    EXPECT_EQ(Data(T), "abc");
}

TEST(UndoBufferRecords, NoMergeAcrossKindsParagraphsOrGroups) {
    TUndoBuffer U(8192);
    Type(U, 1, 1, "a");
    Type(U, 2, 2, "b"); // other paragraph, adjacent position
    U.Add(uaDeleteText, false, 2, 3, "b", 1);
    U.Add(uaCaret, false, 2, 3, nullptr, 0);
    U.Add(uaCaret, false, 2, 3, nullptr, 0);
    EXPECT_EQ(U.UndoCount(), 5);
    bool Saved;
    TUndoBuffer G(8192);
    G.BeginGroup(Saved);
    Type(G, 1, 1, "a");
    Type(G, 1, 2, "b");
    G.EndGroup(Saved);
    EXPECT_EQ(G.UndoCount(), 2);
    EXPECT_EQ(G.Free(), 8192 - 34);
}

TEST(UndoBufferRecords, ReplaceRecordsKeepTextsWithNulsApart) {
    TUndoBuffer U(8192);
    ASSERT_TRUE(U.AddReplace(false, 1, 5, "\0b"s.data(), 2, "XY", 2));
    EXPECT_EQ(U.Free(), 8192 - (2 + 2 + 18));
    ASSERT_TRUE(U.AddReplace(false, 1, 7, "c", 1, "\0"s.data(), 1)); // overwrite typing goes on
    ASSERT_EQ(U.UndoCount(), 1);
    EXPECT_EQ(U.Free(), 8192 - (3 + 3 + 18));
    TUndoStep S = U.StepBack();
    EXPECT_EQ(S.Kind, uaReplaceText);
    EXPECT_EQ(std::string(S.OldText, S.OldLen), "\0bc"s);
    EXPECT_EQ(std::string(S.NewText, S.NewLen), "XY\0"s);
    EXPECT_EQ(S.DataLen, 3 + 3 + 2);
}

// A replacement continues a record only right after the record's new text; continuing after
// its old text would make the merged record describe text that never existed.
TEST(UndoBufferRecords, ReplaceMergesOnlyAfterTheNewText) {
    TUndoBuffer U(8192);
    U.AddReplace(false, 1, 1, "ab", 2, "X", 1); // "abcd" -> "Xcd"
    U.AddReplace(false, 1, 3, "d", 1, "Y", 1);  // after the old text: a record of its own
    EXPECT_EQ(U.UndoCount(), 2);
    U.AddReplace(false, 1, 4, "", 0, "Z", 1); // "XcYZ": right after the newest new text
    EXPECT_EQ(U.UndoCount(), 2);
    TUndoStep S = U.StepBack();
    EXPECT_EQ(std::string(S.OldText, S.OldLen), "d");
    EXPECT_EQ(std::string(S.NewText, S.NewLen), "YZ");
}

TEST(UndoBufferRecords, ModifiedFlagIsKeptAndMarkedAndStoredOnRedo) {
    TUndoBuffer U(8192);
    Type(U, 1, 1, "a");
    U.Add(uaCaret, true, 1, 1, nullptr, 0);
    U.MarkAllModified();
    EXPECT_TRUE(U.StepBack().Modified);
    EXPECT_TRUE(U.StepBack().Modified); // marked though recorded unmodified
    EXPECT_FALSE(U.StepForward(false).Modified);
    EXPECT_TRUE(U.StepForward(true).Modified);
}

TEST(UndoBufferBudget, RecordLargerThanTheBlockClearsTheHistory) {
    TUndoBuffer U(64);
    ASSERT_TRUE(Type(U, 1, 1, "a"));
    std::string Big(60, 'x');
    EXPECT_FALSE(Type(U, 3, 1, Big));
    EXPECT_EQ(U.UndoCount(), 0);
    EXPECT_EQ(U.Free(), 64);
    EXPECT_FALSE(U.Suspended()); // outside a group the next record is stored again
    EXPECT_TRUE(Type(U, 3, 1, "b"));
    EXPECT_EQ(U.UndoCount(), 1);
}

TEST(UndoBufferBudget, FullBufferDiscardsWholeOldGroupsDownToASixteenth) {
    TUndoBuffer U(8192);
    int N = 0;
    while (U.Free() >= 17)
        ASSERT_TRUE(Type(U, 1, 1 + 2 * N++, "x")); // one group each
    ASSERT_EQ(N, 481);
    ASSERT_EQ(U.Free(), 15);
    ASSERT_TRUE(Type(U, 1, 5000, "y"));
    // 30 groups of 17 bytes bring the free space from 15 to at least 512.
    EXPECT_EQ(U.UndoCount(), 481 - 30 + 1);
    EXPECT_EQ(U.Free(), 15 + 30 * 17 - 17);
    // The oldest remaining record is the 31st typed; the newest is the one just added.
    EXPECT_EQ(Data(U.StepBack()), "y");
    TUndoStep S{};
    while (U.UndoCount() > 0)
        S = U.StepBack();
    EXPECT_EQ(S.Pos, 1 + 2 * 30);
}

TEST(UndoBufferBudget, DiscardingTakesAGroupAsAWhole) {
    TUndoBuffer U(128);
    bool Saved;
    U.BeginGroup(Saved);
    Type(U, 1, 1, "aaaa");
    Type(U, 1, 20, "bbbb");
    U.EndGroup(Saved);                   // 40 bytes
    Type(U, 2, 1, std::string(40, 'c')); // 56 bytes, free 32
    Type(U, 3, 1, std::string(20, 'd')); // needs 36: the whole first group goes
    EXPECT_EQ(U.UndoCount(), 2);
    EXPECT_EQ(Data(U.StepBack()), std::string(20, 'd'));
    EXPECT_EQ(Data(U.StepBack()), std::string(40, 'c'));
}

TEST(UndoBufferBudget, GroupThatCannotBeStoredLeavesTheBufferEmptyAndSuspended) {
    TUndoBuffer U(64);
    Type(U, 9, 1, "old");
    bool Saved;
    U.BeginGroup(Saved);
    ASSERT_TRUE(Type(U, 1, 1, std::string(20, 'a')));
    EXPECT_FALSE(Type(U, 1, 30, std::string(20, 'b'))); // would have to discard its own group
    EXPECT_EQ(U.UndoCount(), 0);
    EXPECT_TRUE(U.Suspended());
    EXPECT_FALSE(Type(U, 1, 60, "c")); // the rest of the group is not recorded
    bool Inner;
    U.BeginGroup(Inner); // nested: suspension holds until the outermost group closes
    U.EndGroup(Inner);
    EXPECT_TRUE(U.Suspended());
    U.EndGroup(Saved);
    EXPECT_FALSE(U.Suspended());
    EXPECT_EQ(U.UndoCount(), 0);
    EXPECT_TRUE(Type(U, 1, 1, "d"));
}

TEST(UndoBufferBudget, MergeThatCouldOnlyDiscardItsOwnRecordRecordsNothing) {
    TUndoBuffer U(64);
    for (int I = 0; I < 48; ++I)
        ASSERT_TRUE(Type(U, 1, 1 + I, "a"));
    ASSERT_EQ(U.UndoCount(), 1);
    ASSERT_EQ(U.Free(), 0);
    // The next keystroke extends the only record: there is nothing else to discard.
    EXPECT_FALSE(Type(U, 1, 49, "b"));
    EXPECT_EQ(U.UndoCount(), 0);
    EXPECT_EQ(U.Free(), 64);
    // The following keystroke starts afresh; undoing it never touches the unrecorded text.
    ASSERT_TRUE(Type(U, 1, 50, "c"));
    TUndoStep S = U.StepBack();
    EXPECT_EQ(S.Pos, 50);
    EXPECT_EQ(Data(S), "c");
}

TEST(UndoBufferBudget, NoBlockMeansNoUndo) {
    TUndoBuffer U(0);
    EXPECT_EQ(U.Size(), 0);
    EXPECT_FALSE(Type(U, 1, 1, "a"));
    EXPECT_EQ(U.UndoCount(), 0);
}

TEST(UndoBufferSteps, UndoAllThenNewRecordStartsAtTheBlockStart) {
    TUndoBuffer U(8192);
    Type(U, 1, 1, "a");
    Type(U, 2, 1, "b");
    U.StepBack();
    U.StepBack();
    EXPECT_EQ(U.RedoCount(), 2);
    EXPECT_EQ(U.Free(), 8192);
    Type(U, 3, 1, "c");
    EXPECT_EQ(U.RedoCount(), 0);
    EXPECT_EQ(U.UndoCount(), 1);
    EXPECT_EQ(U.Current(), 0);
    EXPECT_EQ(U.StepBack().Para, 3);
}

TEST(UndoBufferSteps, MergeDropsTheRedoPart) {
    TUndoBuffer U(8192);
    Type(U, 1, 1, "ab");
    Type(U, 2, 1, "x");
    U.StepBack();
    ASSERT_EQ(U.RedoCount(), 1);
    Type(U, 1, 3, "c");
    EXPECT_EQ(U.RedoCount(), 0);
    EXPECT_EQ(U.UndoCount(), 1);
    EXPECT_EQ(Data(U.StepBack()), "abc");
}

TEST(UndoBufferSteps, GroupIdsSeparateNeighboursAndEndInTheComplement) {
    TUndoBuffer U(8192);
    Type(U, 1, 1, "a");
    bool Saved;
    U.BeginGroup(Saved);
    EXPECT_FALSE(Saved);
    bool Nested;
    U.BeginGroup(Nested);
    EXPECT_TRUE(Nested);
    U.Add(uaCaret, false, 2, 1, nullptr, 0);
    Type(U, 2, 1, "b");
    U.EndGroup(Nested);
    EXPECT_TRUE(U.InGroup());
    U.Add(uaCaret, false, 2, 2, nullptr, 0);
    U.EndGroup(Saved);
    EXPECT_FALSE(U.InGroup());

    const uint8_t G = U.NextUndoGroup();
    int Steps = 0;
    do {
        U.StepBack();
        ++Steps;
    } while (U.UndoCount() > 0 && U.NextUndoGroup() == G);
    EXPECT_EQ(Steps, 3);
    const uint8_t First = U.NextUndoGroup();
    EXPECT_NE(First, G);
    U.StepBack();
    EXPECT_EQ(U.UndoCount(), 0);
    EXPECT_EQ(U.NextUndoGroup(), static_cast<uint8_t>(~First));

    EXPECT_EQ(U.NextRedoGroup(), First);
    U.StepForward(false); // with nothing undoable the first record is replayed
    EXPECT_EQ(U.NextRedoGroup(), G);
    Steps = 0;
    do {
        U.StepForward(false);
        ++Steps;
    } while (U.RedoCount() > 0 && U.NextRedoGroup() == G);
    EXPECT_EQ(Steps, 3);
    EXPECT_EQ(U.NextRedoGroup(), static_cast<uint8_t>(~G));
}

TEST(UndoBufferSteps, ClearResetsEverything) {
    TUndoBuffer U(8192);
    Type(U, 1, 1, "a");
    Type(U, 2, 1, "b");
    U.StepBack();
    U.Clear();
    EXPECT_EQ(U.UndoCount(), 0);
    EXPECT_EQ(U.RedoCount(), 0);
    EXPECT_EQ(U.Free(), 8192);
    EXPECT_EQ(U.GroupCounter(), 0);
}

// Paragraphs referred to by records are released exactly once, whichever way the record goes
// (the sanitizer build reports a leak or a double release).
TEST(UndoBufferOwnership, ParagraphsOwnedByRecordsAreReleased) {
    {
        TUndoBuffer U(64);
        ASSERT_TRUE(U.Add(uaDeletePara, false, 1, 1, NewNode("gone")));
        EXPECT_EQ(U.Free(), 64 - 20);
        // Discarded to make room: the removed paragraph goes with it.
        ASSERT_TRUE(Type(U, 1, 1, std::string(40, 'x')));
        EXPECT_EQ(U.UndoCount(), 1);
    }
    {
        TUndoBuffer U(8192);
        TParaNode Linked("in the text", 11, 80, 8);
        U.Add(uaInsertParaAfter, false, 1, 1, &Linked); // undoable: the list owns the node
        U.Clear();
        EXPECT_EQ(U.UndoCount(), 0);
    }
    {
        TUndoBuffer U(8192);
        TParaNode* Inserted = NewNode("undone insertion");
        U.Add(uaInsertParaBefore, false, 1, 1, Inserted);
        EXPECT_EQ(U.StepBack().Node, Inserted); // redoable now: the record owns the node
        Type(U, 1, 1, "a");                     // dropping the redo part releases it
        EXPECT_EQ(U.RedoCount(), 0);
    }
    {
        TUndoBuffer U(8192);
        U.Add(uaDeletePara, false, 1, 1, NewNode("deleted"));
        U.Add(uaInsertParaAfter, false, 1, 1, NewNode("inserted"));
        U.StepBack(); // the insertion is undone and owned by its record; the deletion still owned
    }                 // destruction releases both
}

TEST(UndoBufferSteps, NeighbouringGroupsNeverShareAnIdAfterAFullDiscard) {
    // A 28-byte insertion (44 with the header) only fits in the 64-byte block by discarding
    // everything older, which starts the group counter again; a small record after it must
    // still form a group of its own, whatever the counter stood at.
    TUndoBuffer U(64);
    const std::string Big(28, 'x');
    for (int I = 1; I <= 6; ++I) {
        ASSERT_TRUE(Type(U, 10 * I, 1, Big));
        if (I % 3 != 0) continue;
        ASSERT_EQ(U.UndoCount(), 1);
        ASSERT_TRUE(Type(U, 10 * I + 5, 7, "y")); // elsewhere: fits beside it
        ASSERT_EQ(U.UndoCount(), 2);
        const uint8_t G = U.NextUndoGroup();
        U.StepBack();
        EXPECT_NE(U.NextUndoGroup(), G) << "after insertion " << I;
        U.StepForward(false);
    }
}

TEST(UndoBufferSteps, ANewGroupDiffersFromTheNewestUndoableOneAfterTheCounterWraps) {
    TUndoBuffer U(8192);
    for (int I = 0; I < 300; ++I)
        ASSERT_TRUE(Type(U, I + 1, 1, "a")); // 300 one-record groups
    // Undo all but 45 of them, leaving the undoable part ending 255 groups before the counter.
    for (int I = 0; I < 255; ++I)
        U.StepBack();
    const uint8_t Newest = U.NextUndoGroup();
    ASSERT_TRUE(Type(U, 1000, 1, "b"));
    EXPECT_NE(U.NextUndoGroup(), Newest);
    U.StepBack();
    EXPECT_EQ(U.NextUndoGroup(), Newest);

    // The same for a group opened after the counter has come round to the newest record.
    TUndoBuffer V(8192);
    for (int I = 0; I < 256; ++I)
        ASSERT_TRUE(Type(V, I + 1, 1, "c"));
    for (int I = 0; I < 255; ++I)
        V.StepBack();
    const uint8_t Kept = V.NextUndoGroup();
    bool Saved;
    V.BeginGroup(Saved);
    V.Add(uaCaret, false, 1, 1, nullptr, 0);
    V.EndGroup(Saved);
    EXPECT_NE(V.NextUndoGroup(), Kept);
}
