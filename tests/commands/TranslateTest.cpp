// Key translation: the pending-prefix state machine, table order and the wildcard.
#include "CommandProcessor.h"
#include "VirtualKeys.h"

#include <gtest/gtest.h>

namespace {
constexpr std::uint8_t C = ssCtrl;
constexpr std::uint8_t S = ssShift;
constexpr std::uint8_t A = ssAlt;
const std::uint8_t Modifiers[] = {vkShift, vkControl, vkMenu, vkCapital, vkNumLock, vkScroll};

// The main window's tables: WordStar (index 0) and Default, with WordStar switched on.
TKroCommandProcessor WordStarFirst() {
    TKroCommandProcessor P;
    P.SetTableListText("('WordStar' True () 'Default' True ())");
    return P;
}

// A processor with only the given tables, all active, in order.
TKroCommandProcessor With(std::initializer_list<std::vector<TKroCommandEntry>> Tables) {
    TKroCommandProcessor P;
    P.Clear();
    for (const auto& Entries : Tables) {
        const int I = P.CreateCommandTable("T", true);
        for (const auto& E : Entries)
            P.Tables(I).AddCommand(E);
    }
    return P;
}
} // namespace

TEST(TranslateStates, FromIdle) {
    TKroCommandProcessor P = WordStarFirst();
    for (const std::uint8_t M : Modifiers) {
        EXPECT_EQ(P.Translate(M, C), ccNoCommand) << int(M);
        EXPECT_EQ(P.PendingState(), 0);
    }
    EXPECT_EQ(P.Translate(vkOf('Y'), C), ccDelLine);
    EXPECT_EQ(P.PendingState(), 0);
    EXPECT_EQ(P.Translate(vkF5, 0), ccNoCommand);
    EXPECT_EQ(P.PendingState(), 0);

    EXPECT_EQ(P.Translate(vkOf('P'), C), ccCtrlChar);
    EXPECT_EQ(P.PendingState(), 2);
    P.ResetState();

    EXPECT_EQ(P.Translate(vkOf('K'), C), ccPartial);
    EXPECT_EQ(P.PendingState(), 1);
    EXPECT_EQ(P.PendingKey(), vkOf('K'));
    EXPECT_EQ(P.PendingShift(), C);
}

TEST(TranslateStates, WhilePrefixPending) {
    TKroCommandProcessor P = WordStarFirst();
    P.Translate(vkOf('Q'), C);
    for (const std::uint8_t M : Modifiers)
        EXPECT_EQ(P.Translate(M, 0), ccPartial) << int(M);
    EXPECT_EQ(P.PendingState(), 1);
    EXPECT_EQ(P.Translate(vkOf('3'), 0), ccGotoMarker3);
    EXPECT_EQ(P.PendingState(), 0);

    P.Translate(vkOf('K'), C);
    EXPECT_EQ(P.Translate(vkOf('Z'), 0), ccUnknownSequence);
    EXPECT_EQ(P.PendingState(), 0);

    // A two-key entry for ccCtrlChar leads to the pass-through state.
    TKroCommandProcessor Q = With({{{vkOf('K'), C, vkOf('P'), ssAnyCtrl, ccCtrlChar}}});
    EXPECT_EQ(Q.Translate(vkOf('K'), C), ccPartial);
    EXPECT_EQ(Q.Translate(vkOf('P'), C), ccCtrlChar);
    EXPECT_EQ(Q.PendingState(), 2);
}

TEST(TranslateStates, AfterCtrlCharTheNextKeyPassesThrough) {
    TKroCommandProcessor P = WordStarFirst();
    EXPECT_EQ(P.Translate(vkOf('P'), C), ccCtrlChar);
    for (const std::uint8_t M : Modifiers)
        EXPECT_EQ(P.Translate(M, C), ccNoCommand);
    EXPECT_EQ(P.PendingState(), 2);
    EXPECT_EQ(P.Translate(vkOf('Y'), C), ccNoCommand); // not ccDelLine
    EXPECT_EQ(P.PendingState(), 0);
    EXPECT_EQ(P.Translate(vkOf('Y'), C), ccDelLine);
    // A prefix key passes through as well and leaves nothing pending.
    P.Translate(vkOf('P'), C);
    EXPECT_EQ(P.Translate(vkOf('Q'), C), ccNoCommand);
    EXPECT_EQ(P.Translate(vkOf('S'), 0), ccNoCommand);
    EXPECT_EQ(P.PendingState(), 0);
}

TEST(TranslateSequences, SecondKeyWildcardAndModifiersInBetween) {
    TKroCommandProcessor P = WordStarFirst();
    EXPECT_EQ(P.Translate(vkOf('Q'), C), ccPartial);
    EXPECT_EQ(P.Translate(vkOf('S'), 0), ccHome);
    EXPECT_EQ(P.Translate(vkOf('Q'), C), ccPartial);
    EXPECT_EQ(P.Translate(vkOf('S'), C), ccHome);
    EXPECT_EQ(P.Translate(vkOf('Q'), C), ccPartial);
    EXPECT_EQ(P.Translate(vkOf('S'), S), ccUnknownSequence);
    EXPECT_EQ(P.Translate(vkOf('S'), 0), ccNoCommand); // idle again
    P.Translate(vkOf('Q'), C);
    EXPECT_EQ(P.Translate(vkOf('S'), C | S), ccUnknownSequence);
    P.Translate(vkOf('Q'), C);
    EXPECT_EQ(P.Translate(vkOf('S'), A), ccUnknownSequence);

    // Ctrl+Q, then Shift pressed and released, then Y.
    EXPECT_EQ(P.Translate(vkOf('Q'), C), ccPartial);
    EXPECT_EQ(P.Translate(vkShift, S), ccPartial);
    EXPECT_EQ(P.Translate(vkOf('Y'), 0), ccDelEol);

    // The prefix itself must carry Ctrl: plain Q and Ctrl+Shift+Q are no prefix.
    EXPECT_EQ(P.Translate(vkOf('Q'), 0), ccNoCommand);
    EXPECT_EQ(P.Translate(vkOf('Q'), C | S), ccNoCommand);
    EXPECT_EQ(P.PendingState(), 0);
}

TEST(TranslateTables, WordStarShadowsDefault) {
    TKroCommandProcessor P = WordStarFirst();
    EXPECT_EQ(P.Translate(vkOf('C'), C), ccNextPage);
    EXPECT_EQ(P.Translate(vkOf('X'), C), ccDown);
    EXPECT_EQ(P.Translate(vkOf('V'), C), ccIns);
    EXPECT_EQ(P.Translate(vkOf('Z'), C), ccScrollDown);
    EXPECT_EQ(P.Translate(vkLeft, 0), ccLeft); // not in WordStar: Default answers
    EXPECT_EQ(P.Translate(vkDelete, S), ccCut);

    // Switching WordStar off takes effect at the next key.
    P.Tables(0).SetActive(false);
    EXPECT_EQ(P.Translate(vkOf('C'), C), ccCopy);
    EXPECT_EQ(P.Translate(vkOf('Z'), C), ccUndo);
    EXPECT_EQ(P.Translate(vkOf('Q'), C), ccNoCommand);
    EXPECT_EQ(P.PendingState(), 0);
}

TEST(TranslateTables, DefaultShiftStatesCompareExactly) {
    TKroCommandProcessor P;
    EXPECT_EQ(P.Translate(vkOf('5'), C | S), ccSetMarker5);
    EXPECT_EQ(P.Translate(vkOf('5'), C | A), ccNoCommand);
    EXPECT_EQ(P.Translate(vkOf('5'), C), ccGotoMarker5);
    EXPECT_EQ(P.Translate(vkLeft, C | S), ccExtWordLeft);
    EXPECT_EQ(P.Translate(vkLeft, C | S | A), ccNoCommand);
    EXPECT_EQ(P.Translate(vkBack, A), ccRestore);
    EXPECT_EQ(P.Translate(vkReturn, 0), ccNoCommand);
    // Only the low 8 bits of the key count.
    EXPECT_EQ(P.Translate(0x300 | vkOf('Z'), C), ccUndo);
    // A wildcard or other stray bits in the caller's shift state are ignored.
    EXPECT_EQ(P.Translate(vkOf('Z'), C | ssAnyCtrl | 1), ccUndo);
}

TEST(TranslateTables, KeyCodeZeroMatchesNothing) {
    TKroCommandProcessor P = With({{{0, 0, 0, 0, 300}, {vkOf('K'), C, 0, 0, 301}}});
    EXPECT_EQ(P.Translate(0, 0), ccNoCommand);
    P.Tables(0).InsertCommand(0, {vkOf('K'), C, vkF5, 0, 302});
    EXPECT_EQ(P.Translate(vkOf('K'), C), ccPartial); // the first matching entry is the prefix
    EXPECT_EQ(P.Translate(0, 0), ccUnknownSequence);
    EXPECT_EQ(P.PendingState(), 0);
}

TEST(TranslateTables, PrefixFromOneTableCompletedByAnother) {
    TKroCommandProcessor P = WordStarFirst();
    const int Mine = P.CreateCommandTable("Mine", true);
    P.Tables(Mine).AddCommand({vkOf('Q'), C, vkOf('X'), 0, 300});
    EXPECT_EQ(P.Translate(vkOf('Q'), C), ccPartial);
    EXPECT_EQ(P.Translate(vkOf('X'), 0), 300);
    // Replacing the tables leaves a pending prefix pending.
    EXPECT_EQ(P.Translate(vkOf('Q'), C), ccPartial);
    P.SetTableListText("('WordStar' True ())");
    EXPECT_EQ(P.PendingState(), 1);
    EXPECT_EQ(P.Translate(vkOf('L'), C), ccRestore);
}

TEST(TranslateTables, CommandZeroCountsAsNotFound) {
    // One-key entry with command 0: the next table answers.
    TKroCommandProcessor P = With({{{vkOf('C'), C, 0, 0, ccNone}}, {{vkOf('C'), C, 0, 0, ccCopy}}});
    EXPECT_EQ(P.Translate(vkOf('C'), C), ccCopy);

    // Two-key entry with command 0: the state is idle again when the next table looks, so the
    // second key is taken as a first key there.
    TKroCommandProcessor Q =
        With({{{vkOf('Q'), C, vkOf('S'), ssAnyCtrl, ccNone}},
              {{vkOf('Q'), C, vkOf('S'), ssAnyCtrl, 300}, {vkOf('S'), 0, 0, 0, 301}}});
    EXPECT_EQ(Q.Translate(vkOf('Q'), C), ccPartial);
    EXPECT_EQ(Q.Translate(vkOf('S'), 0), 301);
    EXPECT_EQ(Q.Translate(vkOf('Q'), C), ccPartial);
    EXPECT_EQ(Q.Translate(vkOf('D'), 0), ccUnknownSequence);

    // A prefix whose only completion has command 0 and nothing else: idle, no unknown sequence.
    TKroCommandProcessor R = With({{{vkOf('Q'), C, vkOf('S'), 0, ccNone}}});
    R.Translate(vkOf('Q'), C);
    EXPECT_EQ(R.Translate(vkOf('S'), 0), ccNoCommand);
}

TEST(TranslateTables, WildcardOnFirstKeyMatchesNothing) {
    TKroCommandProcessor P = With({{{vkF5, ssAnyCtrl, 0, 0, 300}, {vkF5, C, 0, 0, 301}}});
    EXPECT_EQ(P.Translate(vkF5, 0), ccNoCommand);
    EXPECT_EQ(P.Translate(vkF5, ssAnyCtrl), ccNoCommand);
    EXPECT_EQ(P.Translate(vkF5, C), 301);
    // Duplicates: the first entry wins.
    P.Tables(0).AddCommand({vkF5, C, 0, 0, 302});
    EXPECT_EQ(P.Translate(vkF5, C), 301);
}
