// Controls sharing one document: leaving the ring and the settings a shared document imposes.
#include "EditorRig.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

TEST(EditorRingLeave, DetachGivesASharingControlADocumentOfItsOwn) {
    TEditorRig A;
    A.Load("shared|");
    auto B = std::make_unique<TEditorRig>();
    B->Ed.SetParaLimit(50);
    B->Ed.Attach(&A.Ed);
    A.Ed.SetTabSize(4);
    B->Ed.Detach();
    EXPECT_NE(&A.Ed.ParaList(), &B->Ed.ParaList());
    EXPECT_EQ(A.Ed.NextEditor(), &A.Ed);
    EXPECT_EQ(B->Ed.NextEditor(), &B->Ed);
    EXPECT_EQ(B->Text(), "|");
    EXPECT_EQ(B->Ed.ParaList().Owner(), static_cast<IParaListClient*>(&B->Ed));
    // Typing in the detached control no longer reaches the other one.
    B->Ed.InsertChar('x');
    EXPECT_EQ(B->Text(), "x|");
    EXPECT_EQ(A.Text(), "shared|");
    // Destroying the detached control leaves the shared document alone.
    B.reset();
    EXPECT_EQ(A.Text(), "shared|");
    EXPECT_EQ(A.Ed.ParaList().Owner(), static_cast<IParaListClient*>(&A.Ed));
}

TEST(EditorRingLeave, DetachOfTheOwnerHandsTheDocumentToTheOthers) {
    TEditorRig A, B;
    A.Load("text|");
    B.Ed.Attach(&A.Ed);
    TParaList* Doc = &A.Ed.ParaList();
    A.Ed.Detach();
    EXPECT_EQ(&B.Ed.ParaList(), Doc);
    EXPECT_EQ(Doc->Owner(), static_cast<IParaListClient*>(&B.Ed));
    EXPECT_EQ(B.Text(), "|text");
    EXPECT_EQ(A.Text(), "|");
}

TEST(EditorRingLeave, DetachOfALoneControlKeepsItsDocument) {
    TEditorRig A;
    A.Load("alone|");
    TParaList* Doc = &A.Ed.ParaList();
    A.Ed.Detach();
    EXPECT_EQ(&A.Ed.ParaList(), Doc);
    EXPECT_EQ(A.Text(), "alone|");
}

TEST(EditorRingSettings, WrappingSwitchedOnByOneControlEndsVirtualSpaceInAll) {
    TEditorRig A, B;
    A.Load("aaaa bbbb cccc dddd\nx");
    B.Ed.SetScrollPastEnd(true);
    B.Ed.SetWrapAtLeft(false);
    B.Ed.Attach(&A.Ed);
    A.Ed.SetWrapColumn(6);
    A.Ed.SetWordWrap(true);
    ASSERT_TRUE(B.Ed.WordWrap());
    EXPECT_FALSE(B.Ed.ScrollPastEnd());
    EXPECT_TRUE(B.Ed.WrapAtLeft());
    // Far to the right on the first display line the caret stops at that line's end, so a
    // character typed there lands after "aaaa ", not inside a later line.
    B.Ed.MoveCaretTo(1, 12, false);
    B.Ed.InsertChar('Z');
    EXPECT_EQ(B.Text(), "aaaa Z|bbbb cccc dddd\nx");
}

TEST(EditorRingSettings, AttachingToAWrappedDocumentEndsVirtualSpace) {
    TEditorRig A, B;
    A.Ed.SetWrapColumn(6);
    A.Ed.SetWordWrap(true);
    A.Load("aaaa bbbb cccc");
    B.Ed.SetScrollPastEnd(true);
    B.Ed.SetWrapAtLeft(false);
    B.Ed.Attach(&A.Ed);
    EXPECT_FALSE(B.Ed.ScrollPastEnd());
    EXPECT_TRUE(B.Ed.WrapAtLeft());
    B.Ed.MoveCaretTo(1, 12, false);
    EXPECT_EQ(B.Ed.CaretPos(), 6);
}

TEST(EditorRingSettings, ClearTextKeepsTheTabSizeAnotherControlSet) {
    TEditorRig A, B;
    A.Load("a\tb");
    B.Ed.Attach(&A.Ed);
    B.Ed.SetTabSize(4);
    ASSERT_EQ(A.Ed.TabSize(), 4);
    A.Ed.ClearText(true);
    EXPECT_EQ(A.Ed.TabSize(), 4);
    EXPECT_EQ(B.Ed.TabSize(), 4);
    EXPECT_NE(&A.Ed.ParaList(), &B.Ed.ParaList());
}

TEST(EditorRingSettings, TwoControlsFollowingWindowsOfDifferentWidthsTakeTurns) {
    TEditorRig A(40, 5), B(20, 5);
    A.Load("|" + std::string(100, 'x'));
    B.Ed.Attach(&A.Ed);
    A.Ed.SetWordWrap(true);
    A.Ed.SetWrapToWindow(true);
    EXPECT_EQ(A.Ed.WrapColumn(), 38);
    // The second control applies its own width once; the first does not answer back.
    B.Ed.SetWrapToWindow(true);
    EXPECT_EQ(B.Ed.WrapColumn(), 18);
    EXPECT_EQ(B.Ed.LineCount(), 6);
    // A change of the first control's geometry makes its width the document's again.
    A.Ed.SetLeftMargin(25);
    EXPECT_EQ(A.Ed.WrapColumn(), 37);
    A.Ed.CheckInvariant();
    B.Ed.CheckInvariant();
}

TEST(EditorRingSettings, AnInsertionInFrontKeepsAnotherCaretWithinItsVirtualSpace) {
    TEditorRig A, B;
    A.Load("ab\ncd");
    B.Ed.Attach(&A.Ed);
    B.Ed.SetParaLengthLimit(10);
    B.Ed.SetScrollPastEnd(true);
    B.Ed.MoveCaretTo(1, 1000, false);
    ASSERT_EQ(B.Ed.CaretPos(), 10);
    ASSERT_EQ(A.Ed.ParaList().InsertText(&A.Ed, 1, 3, "xyz", 1), 0);
    EXPECT_EQ(B.Ed.CaretPos(), 10) << "the last column of the virtual space";
    B.Ed.CheckInvariant();
    // Inside the text the caret still moves along with its character.
    B.Ed.MoveCaretTo(1, 3, false);
    ASSERT_EQ(A.Ed.ParaList().InsertText(&A.Ed, 1, 2, "uv", 1), 0);
    EXPECT_EQ(B.Ed.CaretPos(), 5);
}
