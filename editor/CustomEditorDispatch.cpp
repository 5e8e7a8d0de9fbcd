// The editor control's command dispatch: one command code, from a key or a typed character,
// mapped to the caret, selection, editing, clipboard, marker, undo and view operations.
#include "CustomEditor.h"

#include <algorithm>

bool TKroCustomEditor::ProcessCommand(TKroCommand Command, std::uint8_t Key) {
    const std::int32_t Rows = std::max<std::int32_t>(FVisibleRows, 1);
    // One row is kept in view across a page step, unless there is only the one.
    const std::int32_t PageStep = Rows == 1 ? 1 : Rows - 1;
    const std::int32_t BottomRow = FTopLine + Rows - 1;
    // Marker commands take their number from the digit key that produced them.
    const int Marker = static_cast<int>(Key) - '0';

    if (Command >= ccUserFirst) {
        DoOnUserCommand(Command);
        return true;
    }

    switch (Command) {
    case ccBack:
        if (ReadOnly())
            CaretLeft(false);
        else
            DeleteCharLeft();
        return true;
    case ccBotOfPage:
        if (CaretLineVisible())
            MoveCaretBy(0, BottomRow - FCaretLine, false, false);
        else
            MakeTopLine(std::max(1, FCaretLine - Rows + 1));
        return true;
    case ccCopy:
        if (HasSelection()) CopyToClipboard();
        return true;
    case ccCtrlChar:
        return true;
    case ccCut:
        CutToClipboard();
        return true;
    case ccDel:
        DeleteSelection();
        return true;
    case ccDelEol:
        DeleteToEndOfLine();
        return true;
    case ccDelLine:
        DeleteLine();
        return true;
    case ccDelWord:
        DeleteWord();
        return true;
    case ccDown:
        MoveCaretBy(0, 1, false, false);
        return true;
    case ccEnd:
        CaretEndOfLine(false);
        return true;
    case ccExtendDown:
        MoveCaretBy(0, 1, true, false);
        return true;
    case ccExtendEnd:
        CaretEndOfLine(true);
        return true;
    case ccExtendHome:
        MoveCaretTo(FCaretLine, 1, true);
        return true;
    case ccExtendLeft:
        CaretLeft(true);
        return true;
    case ccExtendPgDn:
        MoveCaretBy(0, PageStep, true, true);
        return true;
    case ccExtendPgUp:
        MoveCaretBy(0, -PageStep, true, true);
        return true;
    case ccExtendRight:
        CaretRight(true);
        return true;
    case ccExtendUp:
        MoveCaretBy(0, -1, true, false);
        return true;
    case ccExtBotOfPage:
        if (CaretLineVisible()) MoveCaretBy(0, BottomRow - FCaretLine, true, false);
        return true;
    case ccExtFirstPage:
        MoveCaretTo(1, 1, true);
        return true;
    case ccExtLastPage:
        CaretLastPage(true);
        return true;
    case ccExtTopOfPage:
        if (CaretLineVisible()) MoveCaretBy(0, FTopLine - FCaretLine, true, false);
        return true;
    case ccExtWordLeft:
        WordLeft(true);
        return true;
    case ccExtWordRight:
        WordRight(true);
        return true;
    case ccFirstPage:
        MoveCaretTo(1, 1, false);
        return true;
    case ccGotoMarker0:
    case ccGotoMarker1:
    case ccGotoMarker2:
    case ccGotoMarker3:
    case ccGotoMarker4:
    case ccGotoMarker5:
    case ccGotoMarker6:
    case ccGotoMarker7:
    case ccGotoMarker8:
    case ccGotoMarker9:
        GotoMarker(Marker);
        return true;
    case ccHome:
        MoveCaretTo(FCaretLine, 1, false);
        return true;
    case ccIns:
        SetInsertMode(!FInsertMode);
        return true;
    case ccLastPage:
        CaretLastPage(false);
        return true;
    case ccLeft:
        CaretLeft(false);
        return true;
    case ccNewLine:
        NewLine(FInsertMode && !ReadOnly(), true);
        return true;
    case ccNextPage:
        MoveCaretBy(0, PageStep, false, true);
        return true;
    case ccPaste:
        PasteFromClipboard();
        return true;
    case ccPrevPage:
        MoveCaretBy(0, -PageStep, false, true);
        return true;
    case ccRedo:
        Redo();
        return true;
    case ccRight:
        CaretRight(false);
        return true;
    case ccScrollDown:
        ScrollBy(0, 1);
        return true;
    case ccScrollUp:
        ScrollBy(0, -1);
        return true;
    case ccSetMarker0:
    case ccSetMarker1:
    case ccSetMarker2:
    case ccSetMarker3:
    case ccSetMarker4:
    case ccSetMarker5:
    case ccSetMarker6:
    case ccSetMarker7:
    case ccSetMarker8:
    case ccSetMarker9:
        SetMarker(Marker);
        return true;
    case ccTab:
        InsertTab();
        return true;
    case ccTopOfPage:
        if (CaretLineVisible())
            MoveCaretBy(0, FTopLine - FCaretLine, false, false);
        else
            MakeTopLine(FCaretLine);
        return true;
    case ccUndo:
        Undo();
        return true;
    case ccUp:
        MoveCaretBy(0, -1, false, false);
        return true;
    case ccWordLeft:
        WordLeft(false);
        return true;
    case ccWordRight:
        WordRight(false);
        return true;
    case ccChar:
        if (!ReadOnly()) InsertChar(static_cast<char>(Key));
        return true;
    default:
        // ccNone, the commands this control has no use for, codes without a meaning and the
        // results of translation.
        return false;
    }
}

void TKroCustomEditor::DoOnUserCommand(TKroCommand Command) {
    if (OnUserCommand) OnUserCommand(*this, Command);
}
