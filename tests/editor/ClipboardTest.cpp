// The clipboard: what a copy puts there and its size limit, cut that keeps what did not reach
// the clipboard, paste of every kind of line end in one undo step, and the read-only rules.
#include "EditorRig.h"

#include "KroExceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TErrorLog {
    std::vector<int> Codes;
    explicit TErrorLog(TEditorRig& R) {
        R.Ed.OnError = [this](TKroCustomEditor&, std::uint16_t& Code) { Codes.push_back(Code); };
    }
};

// Whether the control tried to put anything on the clipboard.
bool ClipboardWritten(TEditorRig& R) {
    for (const std::string& C : R.Platform.ClipboardImpl.Calls)
        if (C.rfind("SetText", 0) == 0) return true;
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Copy

TEST(ClipboardCopy, ParagraphsAreJoinedByCrLfWithNoLineEndAfterTheLast) {
    TEditorRig R;
    R.Load("one {two\nthree\nfour|} five");
    R.Ed.CopyToClipboard();
    EXPECT_EQ(R.Platform.ClipboardImpl.Text, "two\r\nthree\r\nfour");
    EXPECT_EQ(R.Text(), "one {two\nthree\nfour|} five") << "copying changes nothing";
    // A selection that ends at the start of a paragraph ends with that line break.
    R.Load("{abc\n|}def");
    R.Ed.CopyToClipboard();
    EXPECT_EQ(R.Platform.ClipboardImpl.Text, "abc\r\n");
    // Empty paragraphs and NUL bytes travel as they are.
    R.Load(std::string("{a\n\nb\0c|}", 9));
    R.Ed.CopyToClipboard();
    EXPECT_EQ(R.Platform.ClipboardImpl.Text, std::string("a\r\n\r\nb\0c", 8));
}

TEST(ClipboardCopy, WithoutASelectionNothingHappens) {
    TEditorRig R;
    R.Platform.ClipboardImpl.Text = "kept";
    R.Load("ab|c");
    R.Ed.CopyToClipboard();
    R.Ed.CutToClipboard();
    EXPECT_EQ(R.Platform.ClipboardImpl.Text, "kept");
    EXPECT_FALSE(ClipboardWritten(R));
    EXPECT_EQ(R.Text(), "ab|c");
}

TEST(ClipboardCopy, ExactlyTheLimitIsCopiedAndOneByteMoreIsRefused) {
    // Two paragraphs of 32759 characters and one line break: 65520 bytes.
    TEditorRig R;
    TErrorLog Log(R);
    R.Load("{" + std::string(32759, 'a') + "\n" + std::string(32759, 'b') + "|}");
    R.Ed.CopyToClipboard();
    ASSERT_TRUE(R.Platform.ClipboardImpl.Text.has_value());
    EXPECT_EQ(R.Platform.ClipboardImpl.Text->size(), 65520u);
    EXPECT_TRUE(Log.Codes.empty());

    R.Platform.ClipboardImpl.Text.reset();
    R.Platform.ClipboardImpl.Calls.clear();
    R.Load("{" + std::string(32759, 'a') + "\n" + std::string(32760, 'b') + "|}");
    R.Ed.CopyToClipboard();
    EXPECT_EQ(Log.Codes, (std::vector<int>{erRegionTooLarge}));
    EXPECT_FALSE(ClipboardWritten(R)) << "nothing is put on the clipboard";
    // Without a handler the refusal raises the message of code 264.
    R.Ed.OnError = nullptr;
    try {
        R.Ed.CopyToClipboard();
        ADD_FAILURE() << "no exception";
    } catch (const EEditorError& E) {
        EXPECT_EQ(E.Code(), erRegionTooLarge);
        EXPECT_STREQ(E.what(), "Region is too large to copy to clipboard (> 64K)");
    }
}

TEST(ClipboardCopy, LineBreaksCountTowardsTheLimit) {
    // 21841 characters and as many line breaks: 65523 bytes, though the text alone is small.
    TEditorRig R;
    TErrorLog Log(R);
    std::string Text = "{";
    for (int I = 0; I < 21841; ++I)
        Text += "a\n";
    R.Load(Text + "|}");
    R.Ed.CopyToClipboard();
    EXPECT_EQ(Log.Codes, (std::vector<int>{erRegionTooLarge}));
}

TEST(ClipboardCopy, AClipboardThatRefusesTheTextIsReported) {
    TEditorRig R;
    TErrorLog Log(R);
    R.Platform.ClipboardImpl.FailSetText = true;
    R.Load("{abc|}");
    R.Ed.CopyToClipboard();
    EXPECT_EQ(Log.Codes, (std::vector<int>{erOutOfMemory}));
}

// ---------------------------------------------------------------------------------------------
// Cut

TEST(ClipboardCut, MovesTheSelectionToTheClipboardInOneUndoStep) {
    TEditorRig R;
    R.Load("on{e\ntw|}o");
    R.Ed.CutToClipboard();
    EXPECT_EQ(R.Platform.ClipboardImpl.Text, "e\r\ntw");
    EXPECT_EQ(R.Text(), "on|o");
    R.Ed.Undo();
    EXPECT_EQ(R.Ed.ParaList().ParaCount(), 2);
    R.Ed.SelectAll(true);
    EXPECT_EQ(R.Text(), "{one\ntwo|}");
}

TEST(ClipboardCut, AFailedCopyKeepsTheText) {
    TEditorRig R;
    TErrorLog Log(R);
    R.Platform.ClipboardImpl.FailSetText = true;
    R.Load("a{bc|}d");
    R.Ed.CutToClipboard();
    EXPECT_EQ(Log.Codes, (std::vector<int>{erOutOfMemory}));
    EXPECT_EQ(R.Text(), "a{bc|}d") << "nothing is lost that did not reach the clipboard";
    // A region over the limit is kept as well, with or without a handler.
    R.Platform.ClipboardImpl.FailSetText = false;
    R.Load("{" + std::string(32760, 'a') + "\n" + std::string(32760, 'b') + "|}");
    R.Ed.CutToClipboard();
    EXPECT_EQ(Log.Codes.back(), erRegionTooLarge);
    EXPECT_EQ(R.Ed.TextLength(), 65522);
    R.Ed.OnError = nullptr;
    EXPECT_THROW(R.Ed.CutToClipboard(), EEditorError);
    EXPECT_EQ(R.Ed.TextLength(), 65522);
    EXPECT_TRUE(R.Ed.HasSelection());
}

TEST(ClipboardCut, ReadOnlyCutDoesNothingWhileCopyWorks) {
    TEditorRig R;
    R.Ed.SetReadOnly(true);
    R.Load("a{bc|}d");
    R.Ed.CutToClipboard();
    EXPECT_FALSE(ClipboardWritten(R)) << "a read-only cut does not even copy";
    EXPECT_EQ(R.Text(), "a{bc|}d");
    R.Ed.CopyToClipboard();
    EXPECT_EQ(R.Platform.ClipboardImpl.Text, "bc");
    EXPECT_EQ(R.Text(), "a{bc|}d");
}

// ---------------------------------------------------------------------------------------------
// Paste

TEST(ClipboardPaste, CrLfSplitsTheParagraphAndOneUndoRestoresIt) {
    TEditorRig R;
    R.Platform.ClipboardImpl.Text = "a\r\nb";
    R.Load("x|y");
    R.Ed.PasteFromClipboard();
    EXPECT_EQ(R.Text(), "xa\nb|y");
    R.Ed.Undo();
    EXPECT_EQ(R.Text(), "x|y");
}

TEST(ClipboardPaste, LoneLfAndLoneCrAreLineBreaksToo) {
    TEditorRig R;
    R.Platform.ClipboardImpl.Text = "1\n2\r3\r\r\n4\r";
    R.Load("<|>");
    R.Ed.PasteFromClipboard();
    EXPECT_EQ(R.Text(), "<1\n2\n3\n\n4\n|>");
    R.Ed.Undo();
    EXPECT_EQ(R.Text(), "<|>");
}

TEST(ClipboardPaste, ReplacesTheSelectionInTheSameUndoStep) {
    TEditorRig R;
    R.Platform.ClipboardImpl.Text = "new";
    R.Load("a{old|}b");
    R.Ed.PasteFromClipboard();
    EXPECT_EQ(R.Text(), "anew|b");
    R.Ed.Undo();
    EXPECT_EQ(R.Ed.ParaList().GetParaLength(1), 5);
    EXPECT_EQ(R.Ed.ParaList().UndoCount(), 0);
}

TEST(ClipboardPaste, NothingToPasteOrReadOnlyChangesNothing) {
    TEditorRig R;
    R.Load("a{b|}c");
    R.Ed.PasteFromClipboard(); // the clipboard holds no text
    EXPECT_EQ(R.Text(), "a{b|}c");
    R.Platform.ClipboardImpl.Text = "";
    R.Ed.PasteFromClipboard();
    EXPECT_EQ(R.Text(), "a{b|}c") << "an empty clipboard text does not delete the selection";
    R.Platform.ClipboardImpl.Text = "x";
    R.Ed.SetReadOnly(true);
    R.Ed.PasteFromClipboard();
    EXPECT_EQ(R.Text(), "a{b|}c");
    EXPECT_EQ(R.Ed.ParaList().UndoCount(), 0);
}

TEST(ClipboardPaste, APasteOverTheLimitIsReportedAndKeepsWhatFit) {
    TEditorRig R;
    TErrorLog Log(R);
    R.Ed.SetParaLengthLimit(5);
    R.Platform.ClipboardImpl.Text = "ab\r\nlonger than five";
    R.Load("x|y");
    R.Ed.PasteFromClipboard();
    ASSERT_EQ(Log.Codes, (std::vector<int>{erParaTooLong}));
    int32_t Len = 0;
    EXPECT_EQ(std::string(R.Ed.GetPara(1, Len)), "xab");
    // One undo takes back the part that was inserted.
    R.Ed.Undo();
    EXPECT_EQ(R.Text(), "x|y");
}
