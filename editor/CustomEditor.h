// The editor control: a document of wrapped paragraphs shown in a fixed-pitch font, with a
// caret, a selection, a scroll position, markers, editing, clipboard, search and key handling.
//
// The class is implemented in several files, one per concern:
//   CustomEditor.cpp           state, properties, construction, the document ring, geometry,
//                              redraw requests, status and error reports, form data
//   CustomEditorCaret.cpp      positions, caret movement, selection, scrolling, scroll bars,
//                              markers, edit notifications
//   CustomEditorEditing.cpp    editing operations, undo and redo
//   CustomEditorClipboard.cpp  clipboard
//   CustomEditorSearch.cpp     search and replace
//   CustomEditorPaint.cpp      painting and the scroll-bar messages
//   CustomEditorInput.cpp      keyboard, mouse and focus
//   CustomEditorDispatch.cpp   command dispatch
// Each section below names the file that implements it.
#pragma once

#include "CommandCodes.h"
#include "EditBase.h"
#include "EditorTypes.h"
#include "KroCaret.h"
#include "KroCaretPair.h"
#include "KroColors.h"
#include "KroFixedFont.h"
#include "ParaList.h"
#include "Port.h"
#include "ResultCodes.h"

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TKroCustomEditor : public TKroEditBase, public IParaListClient {
public:
    // =========================================================================================
    // Construction and the window                                        (CustomEditor.cpp)
    // =========================================================================================

    // Window is the host's window for this control (it must outlive the control); without one
    // the control keeps its positions but never paints, places a caret or reports status.
    explicit TKroCustomEditor(TKroComponent* Owner = nullptr, IKroWindow* Window = nullptr);
    ~TKroCustomEditor() override;

    IKroWindow* Window() const { return FWindow; }
    // True once CreateWnd ran and the host's window exists.
    bool HasWindow() const;
    // Finds the controller (TKroBase), applies the window style, then the scroll ranges, the
    // geometry and the wrap-to-window rule, and loads the marker glyphs when they are shown.
    void CreateWnd() override;
    // The host delivers messages the control posted to itself (the status report).
    virtual void HandlePostedMessage(std::uint32_t Msg, std::uintptr_t WParam,
                                     std::intptr_t LParam);
    // The dialog-character query: Alt+Backspace is claimed as the control's own (so the form
    // does not take it for a menu key); every other dialog character is left to the form.
    bool DialogChar(char Ch, TKroShiftState Shift) const;

    // Recomputes what the control maintains (caret, top line and selection in both forms,
    // ring links, geometry bounds) and throws std::logic_error on a mismatch.
    void CheckInvariant() const;

    // =========================================================================================
    // Published properties                                               (CustomEditor.cpp)
    // =========================================================================================

    bool AutoIndent() const { return FAutoIndent; }
    void SetAutoIndent(bool Value) { FAutoIndent = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // Read back from the document; negative values are ignored.
    std::int32_t ByteLimit() const;
    virtual void SetByteLimit(std::int32_t Value);
    TKroCaret* CaretIns() const;
    void SetCaretIns(TKroCaret* Value);
    TKroCaret* CaretOvr() const;
    void SetCaretOvr(TKroCaret* Value);
    TKroFixedFont& FixedFont() { return *FFixedFont; }
    const TKroFixedFont& FixedFont() const { return *FFixedFont; }
    // Copies into the owned font; the font's change event re-runs the geometry.
    void SetFixedFont(const TKroPersistent& Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    TKroColors& HighlightColors() { return *FHighlightColors; }
    const TKroColors& HighlightColors() const { return *FHighlightColors; }
    void SetHighlightColors(const TKroColors& Value);
    bool InsertMode() const { return FInsertMode; }
    // Switches the caret pair and re-places the caret (which reports the status).
    void SetInsertMode(bool Value);
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int Value);
    std::int32_t ParaLengthLimit() const { return FParaLengthLimit; }
    void SetParaLengthLimit(std::int32_t Value);
    std::int32_t ParaLimit() const;
    void SetParaLimit(std::int32_t Value);
    bool ReadOnly() const { return GetReadOnly(); }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    int RightMargin() const { return FRightMargin; }
    void SetRightMargin(int Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool ScrollBarsAlways() const { return FScrollBarsAlways; }
    void SetScrollBarsAlways(bool Value);
    bool ScrollPastEnd() const { return FScrollPastEnd; }
    void SetScrollPastEnd(bool Value);
    bool ShowBookmarks() const { return FShowBookmarks; }
    void SetShowBookmarks(bool Value);
    std::uint8_t TabSize() const;
    void SetTabSize(std::uint8_t Value);
    TTabType TabType() const { return FTabType; }
    void SetTabType(TTabType Value);
    bool TrimWhiteSpace() const { return FTrimWhiteSpace; }
    void SetTrimWhiteSpace(bool Value) { FTrimWhiteSpace = Value; }
    std::uint16_t UndoBufferSize() const;
    void SetUndoBufferSize(std::uint16_t Value);
    bool WantEnter() const { return FWantEnter; }
    void SetWantEnter(bool Value) { FWantEnter = Value; }
    bool WantTab() const { return FWantTab; }
    void SetWantTab(bool Value) { FWantTab = Value; }
    bool WordWrap() const;
    void SetWordWrap(bool Value);
    bool WrapAtLeft() const { return FWrapAtLeft; }
    void SetWrapAtLeft(bool Value);
    std::int32_t WrapColumn() const;
    void SetWrapColumn(std::int32_t Value);
    bool WrapToWindow() const { return FWrapToWindow; }
    void SetWrapToWindow(bool Value);

    // The framework's properties of a control, as far as the editor uses them.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value) { FCtl3D = Value; }
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value) { FParentColor = Value; }
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    TKroCursor Cursor() const { return FCursor; }
    void SetCursor(TKroCursor Value) { FCursor = Value; }

    // Form data: applies one stored property by name ("WordWrap", "FixedFont.Size", the legacy
    // "Margin" that sets both margins, ...); false when the name is unknown or the value does
    // not parse. WriteFormProperties lists the properties whose values differ from their
    // declared defaults, in the order they are stored.
    bool ReadFormProperty(std::string_view Name, std::string_view Value);
    std::vector<std::pair<std::string, std::string>> WriteFormProperties() const;

    // =========================================================================================
    // Events                                          (fired from the files of their concern)
    // =========================================================================================

    TShowStatusEvent OnShowStatus;
    TTopLineChangedEvent OnTopLineChanged;
    TEditorErrorEvent OnError;
    TUserCommandEvent OnUserCommand;
    TEditorDrawLineEvent OnDrawLine;
    // The framework's events; they fire before the control's own handling of the message.
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

    // =========================================================================================
    // Document, ring and text access                                     (CustomEditor.cpp)
    // =========================================================================================

    // The document shown (shared with the other controls of the ring).
    TParaList& ParaList() const { return *FParaList; }
    // Shows Editor's document: leaves the own ring first (destroying the own document when
    // alone), joins Editor's ring just before the document's owner, refreshes.
    virtual void Attach(TKroCustomEditor* Editor);
    // Leaves the ring with a fresh empty document of its own (as ClearText), so the shared
    // document is no longer reachable from here; a control alone keeps its document.
    virtual void Detach();
    TKroCustomEditor* PrevEditor() const { return FPrevEditor; }
    TKroCustomEditor* NextEditor() const { return FNextEditor; }
    // A fresh empty document with the same limits, wrapping, tab size and undo size.
    void ClearText(bool Refresh);

    // The characters of paragraph Para (EInvalidLineOrPara outside 1..ParaCount).
    const char* GetPara(std::int32_t Para, std::int32_t& Len) const;
    // At most MaxLen characters of display line Line as stored (EInvalidLineOrPara outside
    // 1..LineCount).
    void GetLineText(std::int32_t Line, std::string& Dest, std::int32_t MaxLen) const;
    // The same with tabs expanded to blanks; returns the length.
    std::int32_t GetPrintableLine(std::int32_t Line, std::string& Dest, std::int32_t MaxLen) const;
    std::int32_t LineCount() const;
    std::int32_t LineLength(std::int32_t Line) const;
    std::int32_t TextLength() const;
    std::int32_t TopLine() const { return FTopLine; }
    std::int32_t VisibleColumns();
    std::int32_t VisibleRowCount() const { return FVisibleRows; }
    // The caret's display line, with Pos its position in that line.
    std::int32_t GetCaretPosition(std::int32_t& Pos) const;
    // The caret's document position.
    TParaPos CaretParaPos() const { return {FCaretPara, FCaretLineStart + FCaretPos}; }
    bool Modified() const;
    // Stores the flag in the document and repaints every control of the ring; false also
    // marks every undo record modified.
    void SetModified(bool Value);
    // Whether C ends a word.
    bool IsWordDelimiter(char C) const {
        return FWordDelimiters.test(static_cast<unsigned char>(C));
    }

    // =========================================================================================
    // Caret, view, selection and markers                           (CustomEditorCaret.cpp)
    // =========================================================================================

    // Relative move by display lines; a vertical move keeps the display column. KeepRow keeps
    // the caret's screen row while the text scrolls under it.
    void MoveCaretBy(std::int32_t DeltaPos, std::int32_t DeltaLine, bool Extend, bool KeepRow);
    void MoveCaretTo(std::int32_t Line, std::int32_t Pos, bool Extend);
    void MoveCaretToPara(std::int32_t Para, std::int32_t Pos, bool Extend);
    // Public go-to: EInvalidLineOrPara unless 1 <= Line <= LineCount and Pos >= 1.
    void SetCaretPosition(std::int32_t Line, std::int32_t Pos);
    void CaretLeft(bool Extend);
    void CaretRight(bool Extend);
    void CaretEndOfLine(bool Extend);
    void CaretLastPage(bool Extend);
    void WordLeft(bool Extend);
    void WordRight(bool Extend);
    // Places the system caret at column Col (0: the caret's own column) and posts the status.
    void PositionCaret(std::int32_t Col);

    void ScrollBy(std::int32_t DeltaCols, std::int32_t DeltaLines);
    // EInvalidLineOrPara unless 1 <= Line <= LineCount.
    void MakeTopLine(std::int32_t Line);
    std::int32_t LeftCol() const { return FLeftCol; }

    bool HasSelection() const { return !(FSelStart == FSelEnd); }
    void ResetSelection(bool Redraw);
    void ExtendSelection(bool Redraw);
    // Lines and positions are clamped into the document; the caret ends at the end named.
    void SetSelection(std::int32_t StartLine, std::int32_t StartPos, std::int32_t EndLine,
                      std::int32_t EndPos, bool CaretAtEnd);
    void SetSelectionByPara(std::int32_t StartPara, std::int32_t StartPos, std::int32_t EndPara,
                            std::int32_t EndPos, bool CaretAtEnd);
    void SelectAll(bool CaretAtEnd);
    // False without a selection; otherwise both ends in display form.
    bool GetSelection(std::int32_t& StartLine, std::int32_t& StartPos, std::int32_t& EndLine,
                      std::int32_t& EndPos) const;
    TParaPos SelStart() const { return FSelStart; }
    TParaPos SelEnd() const { return FSelEnd; }
    TParaPos SelCaretEnd() const { return FSelCaretEnd; }

    // Markers 0..9; other numbers are ignored.
    virtual void SetMarker(int N);
    // EInvalidLineOrCol unless 1 <= Line <= LineCount and Col >= 1.
    virtual void SetMarkerAt(int N, std::int32_t Line, std::int32_t Col);
    void GotoMarker(int N);

    // =========================================================================================
    // Editing                                                    (CustomEditorEditing.cpp)
    // =========================================================================================

    void InsertChar(char Ch);
    void InsertTab();
    void NewLine(bool Split, bool MoveCaret);
    // Deletes the selection, or the character at the caret (joining at a paragraph's end).
    void DeleteSelection();
    void DeleteCharLeft();
    void DeleteToEndOfLine();
    void DeleteLine();
    void DeleteWord();
    // Inserts text that may hold CR/LF line ends in one undo step; returns the result code
    // (not reported).
    TResultCode InsertString(std::string_view S);
    // Loading: appends one paragraph (split when longer than ParaLengthLimit), no undo.
    TResultCode AppendText(std::string_view S);
    virtual void Undo();
    virtual void Redo();
    bool CanUndo() const;
    bool CanRedo() const;

    // =========================================================================================
    // Clipboard, search and replace          (CustomEditorClipboard.cpp, CustomEditorSearch.cpp)
    // =========================================================================================

    virtual void CopyToClipboard();
    virtual void CutToClipboard();
    virtual void PasteFromClipboard();
    // True when S was found (and is now selected).
    bool Search(std::string_view S, TSearchFlags Flags);
    virtual int Replace(std::string_view S, std::string_view R, TSearchFlags Flags);
    // 0 found and selected; -1 not found; > 0 replacements made; 263..268 a reported failure.
    // R absent: searching only.
    int SearchReplace(std::string_view S, std::optional<std::string_view> R, TSearchFlags Flags);

    // =========================================================================================
    // Command dispatch                                          (CustomEditorDispatch.cpp)
    // =========================================================================================

    // Carries out one command code; Key is the key or character that produced it. Returns
    // whether the command was handled.
    virtual bool ProcessCommand(TKroCommand Command, std::uint8_t Key);

    // =========================================================================================
    // Window messages: painting and scroll bars                    (CustomEditorPaint.cpp)
    // =========================================================================================

    // Paints the rows meeting ClipBox on Canvas, then brings dirty scroll bars up to date and
    // places the caret.
    void Paint(IKroSurface& Canvas, const TKroRect& ClipBox);
    // The background counts as erased: painting covers every pixel.
    bool EraseBackground() const { return true; }
    // Scroll-bar requests (SB_* codes); Pos is the 16-bit thumb position.
    void WMVScroll(int Code, int Pos);
    void WMHScroll(int Code, int Pos);

    // =========================================================================================
    // Window messages: keyboard, mouse and focus                   (CustomEditorInput.cpp)
    // =========================================================================================

    // Each returns whether the message was processed (the host then stops its own handling).
    bool KeyDown(std::uint16_t Key, TKroShiftState Shift);
    void SysKeyDown(std::uint16_t Key, TKroShiftState Shift);
    bool CharMessage(char Ch);
    // Answer to the dialog-code query (DLGC_* bits); Base is the framework's own answer.
    unsigned GetDlgCode(unsigned Base) const;
    // Pointer over the client area (HitClient) or elsewhere; true when the control set the
    // cursor itself (the margin cursor).
    bool SetCursorMessage(bool HitClient);
    void LButtonDown(int X, int Y, TKroShiftState Shift);
    void LButtonUp(int X, int Y, TKroShiftState Shift);
    void LButtonDblClk(int X, int Y, TKroShiftState Shift);
    // MA_ACTIVATE when the control took the focus itself, MA_DEFAULT otherwise.
    int MouseActivate();
    void FocusGained();
    void FocusLost();
    // The client area changed size: geometry and the wrap-to-window rule.
    void Resized();
    // Framework events only (OnKeyUp, OnMouseMove): the control itself does nothing more.
    void KeyUp(std::uint16_t Key, TKroShiftState Shift);
    void MouseMove(int X, int Y, TKroShiftState Shift);
    // The mouse wheel turned by Notches (positive: away from the user); three lines a notch,
    // or three columns for a horizontal wheel.
    void MouseWheel(int Notches, bool Horizontal);

protected:
    // =========================================================================================
    // Overridable operations                                (in the file of their concern)
    // =========================================================================================

    // Fires OnDrawLine with a copy of the row rectangle; returns WasDrawn. (CustomEditorPaint)
    virtual bool DrawLine(IKroSurface& EditorCanvas, const TKroRect& Rect, const char* S,
                          std::int32_t Len, std::int32_t Line, std::int32_t Pos, std::int32_t Count,
                          std::int32_t HBLine, std::int32_t HBCol, std::int32_t HELine,
                          std::int32_t HECol);
    virtual bool GetReadOnly() const { return FReadOnly; }
    // Code 0: nothing; OnError when set; else EEditorError(Code).             (CustomEditor)
    virtual void DoOnError(std::uint16_t Code);
    virtual void DoOnShowStatus(std::int32_t Line, std::int32_t Col);
    virtual void DoOnTopLineChanged(std::int32_t Line);
    virtual void DoOnUserCommand(TKroCommand Command); // (CustomEditorDispatch)
    // Replaces the text by 30 numbered sample paragraphs (a designer's preview; unused by the
    // application).                                                            (CustomEditor)
    virtual void FillSample();

    // =========================================================================================
    // Redraw requests and geometry                                       (CustomEditor.cpp)
    // =========================================================================================

    void InvalidateAll(bool UpdateNow);
    // The visible band of display lines First..Last (either order); nothing while a whole
    // repaint is pending. Last = MaxLongint reaches the window's bottom.
    void InvalidateLines(std::int32_t First, std::int32_t Last);
    // Scroll ranges and positions, geometry and the wrap-to-window rule, then InvalidateAll.
    void FullRefresh(bool UpdateNow);
    void ComputeGeometry();
    void ApplyWrapToWindow();
    // Brings a caret back from virtual space the current settings no longer allow.
    void ClampCaretToVirtualSpace();
    // The window's style follows BorderStyle and ScrollBars; then what window creation does.
    void RecreateWnd();
    void AfterWindowCreated();
    void FontChanged();

    // =========================================================================================
    // Positions, view and scroll bars                              (CustomEditorCaret.cpp)
    // =========================================================================================

    // The core of every caret move; Absolute keeps the target position (no column carry-over).
    void MoveCaretByEx(std::int64_t DeltaPos, std::int64_t DeltaLine, bool Extend, bool KeepRow,
                       bool Absolute);
    void SetTopLine(std::int32_t Line);
    void UpdateVScrollRange();
    void UpdateVScrollPos();
    void UpdateHScrollRange();
    void UpdateHScrollPos();
    // Stores the two selection ends only (the deletions call DeleteSelection right after).
    void SetSelRaw(std::int32_t StartPara, std::int32_t StartPos, std::int32_t EndPara,
                   std::int32_t EndPos);
    // The caret's display column (tabs expanded).
    std::int32_t CaretColumn();
    bool CaretLineVisible() const {
        return FCaretLine >= FTopLine && FCaretLine <= FTopLine + FVisibleRows - 1;
    }
    bool CaretVisible();
    // Conversions through the document.
    TLinePos ParaToLine(const TParaPos& P) const;
    TParaPos LineToPara(std::int32_t Line) const; // (paragraph, line-start offset)
    // The caret's position entered into the selection: cut to the paragraph's length + 1.
    TParaPos CaretSelPos() const;
    void UpdateSelStartDisplay();
    void UpdateSelEndDisplay();

    // =========================================================================================
    // Edit notifications                                           (CustomEditorCaret.cpp)
    // =========================================================================================

    // From the document to the control that made the edit, which relays to the ring.
    void TextInserted(std::int32_t Para, std::int32_t Pos, std::int32_t Count) override;
    void TextDeleted(std::int32_t Para, std::int32_t Pos, std::int32_t Count) override;
    void ParaDeleted(std::int32_t Para) override;
    void ParaSplit(std::int32_t Para, std::int32_t Pos, std::int32_t Indent) override;
    void ParasJoined(std::int32_t Para, std::int32_t Pos) override;
    void TextReformatted() override;
    void ShowBusy(bool Busy) override;

    // =========================================================================================
    // Helpers of the other concerns; each file adds its own below its heading.
    // =========================================================================================

    // Editing (CustomEditorEditing.cpp): N blanks at the caret for the blank-inserting tab
    // kinds; the column of the next word start in display line Line from column Col (0 when
    // the line is empty), for the smart tab.
    void InsertBlanks(std::int32_t N);
    std::int32_t NextWordStart(std::int32_t Line, std::int32_t Col);
    // Loading: one line as one or more paragraphs before the last (split where it is longer
    // than ParaLengthLimit), without undo, notification, repaint or the ReadOnly test; Pieces
    // returns the paragraphs added.
    // FromFile: the text is a line of a file that will be saved again, so with trimming a piece
    // never ends in the blanks it was split at (they would be trimmed on the next read).
    TResultCode AppendParas(std::string_view S, std::int32_t& Pieces, bool FromFile = false);
    // After an undo or redo: the caret at (Para, Pos); view and scroll bars brought up to date.
    void CaretAfterReplay(std::int32_t Para, std::int32_t Pos);

    // Clipboard and search (CustomEditorClipboard.cpp, CustomEditorSearch.cpp).
    // Puts the selection on the clipboard; returns the result code without reporting it.
    TResultCode CopySelectionToClipboard();

    // Painting (CustomEditorPaint.cpp).

    // Keyboard and mouse (CustomEditorInput.cpp): the text position under the pointer.
    TLinePos PointToLineCol();

    // Dispatch (CustomEditorDispatch.cpp).

    // =========================================================================================
    // State. Positions are 1-based; all numbers are 32-bit signed.
    // =========================================================================================

    IKroWindow* FWindow;
    TParaList* FParaList = nullptr;
    TKroCustomEditor* FPrevEditor;
    TKroCustomEditor* FNextEditor;

    // The caret in both forms: (FCaretLine, FCaretPos) and (FCaretPara, FCaretLineStart +
    // FCaretPos).
    std::int32_t FCaretLine = 1;
    std::int32_t FCaretPos = 1;
    std::int32_t FCaretPara = 1;
    std::int32_t FCaretLineStart = 0;
    // The view: first visible display line, the same as a document position, columns
    // scrolled off to the left.
    std::int32_t FTopLine = 1;
    std::int32_t FTopPara = 1;
    std::int32_t FTopLineStart = 0;
    std::int32_t FLeftCol = 0;
    // The selection (FSelStart <= FSelEnd), its display forms, and the end at the caret.
    TParaPos FSelStart{1, 1};
    TParaPos FSelEnd{1, 1};
    std::int32_t FSelStartLine = 1;
    std::int32_t FSelStartLinePos = 1;
    std::int32_t FSelEndLine = 1;
    std::int32_t FSelEndLinePos = 1;
    TParaPos FSelCaretEnd{1, 1};
    // Geometry (1 and 0 until the window exists).
    std::int32_t FCharWidth = 1;
    std::int32_t FLineHeight = 1;
    std::int32_t FVisibleCols = 0;
    std::int32_t FVisibleRows = 0;
    // Scroll bars.
    bool FHasHScroll = false;
    bool FHasVScroll = false;
    std::int32_t FHScrollMax = 0;
    std::int32_t FVScrollUnit = 1;
    std::int32_t FVScrollMax = 0;
    bool FHScrollPosDirty = false;
    bool FVScrollPosDirty = false;
    bool FVScrollRangeDirty = false;
    bool FRepaintPending = false;
    std::bitset<256> FWordDelimiters;
    std::unique_ptr<TKroCaretPair> FCarets;
    // The marker glyph strip while ShowBookmarks is on (empty otherwise).
    TKroBitmap FMarkerBitmap;
    TKroCursor FMarginCursor = TKroCursor::crMargin;
    // Keyboard and mouse (CustomEditorInput.cpp).
    bool FMouseCaptured = false;
    bool FMouseInMargin = false;
    bool FSkipNextChar = false;
    // A button press in the control awaits its release (which is a click when inside).
    bool FClicked = false;

    // Property values.
    bool FAutoIndent = false;
    TBorderStyle FBorderStyle = bsSingle;
    bool FHideSelection = true;
    bool FInsertMode = true;
    int FLeftMargin = 15;
    std::int32_t FParaLengthLimit = DefaultParaLengthLimit;
    bool FReadOnly = false;
    int FRightMargin = 5;
    TScrollStyle FScrollBars = ssBoth;
    bool FScrollBarsAlways = false;
    bool FScrollPastEnd = false;
    bool FShowBookmarks = true;
    std::uint8_t FTabSize = DefaultTabSize;
    TTabType FTabType = ttReal;
    bool FTrimWhiteSpace = true;
    bool FWantEnter = true;
    bool FWantTab = false;
    bool FWrapAtLeft = true;
    bool FWrapToWindow = false;
    std::unique_ptr<TKroColors> FHighlightColors;
    std::unique_ptr<TKroFixedFont> FFixedFont;
    // The framework's properties.
    TColor FColor = clWindow;
    bool FEnabled = true;
    bool FCtl3D = true;
    bool FParentColor = false;
    bool FParentCtl3D = true;
    bool FTabStop = true;
    bool FVisible = true;
    int FWidth = 200;
    int FHeight = 150;
    TKroCursor FCursor = TKroCursor::crIBeam;

private:
    // The reaction of one control of the ring to an edit; IsSelf for the control that made it.
    void OnTextInserted(std::int32_t Para, std::int32_t Pos, std::int32_t Count, bool IsSelf);
    void OnTextDeleted(std::int32_t Para, std::int32_t Pos, std::int32_t Count, bool IsSelf);
    void OnParaDeleted(std::int32_t Para, bool IsSelf);
    void OnParaSplit(std::int32_t Para, std::int32_t Pos, std::int32_t Indent, bool IsSelf);
    void OnParasJoined(std::int32_t Para, std::int32_t Pos, bool IsSelf);
    void OnTextReformatted();
    // The common end of every notification: dirty flags and a whole-window invalidation.
    void NotificationDone();
    void SetCaretFromParaPos(const TParaPos& P);
    void SetTopFromParaPos(const TParaPos& T, bool RecomputeStart);
    void RecomputeSelDisplay();
    // Another control's edit: the caret (when at or after the edited paragraph) and the
    // selection ends follow the text through Adjust; then the selection's display form.
    template <class Fn> void FollowOthersEdit(std::int32_t Para, Fn&& Adjust) {
        if (Para <= FCaretPara) {
            TParaPos C = CaretParaPos();
            Adjust(C);
            SetCaretFromParaPos(C);
        }
        for (TParaPos* P : {&FSelStart, &FSelEnd, &FSelCaretEnd})
            Adjust(*P);
        RecomputeSelDisplay();
    }
    // Calls F for every control of the ring, starting with the next one and ending with this.
    template <class Fn> void ForEachInRing(Fn&& F) {
        TKroCustomEditor* E = FNextEditor;
        for (;;) {
            TKroCustomEditor* Next = E->FNextEditor;
            F(E);
            if (E == this) break;
            E = Next;
        }
    }
    void CreateParaList(bool WordWrap, std::uint16_t UndoSize);
    // Unlinks from the ring (the owner's role passes to the next control); alone, destroys the
    // document and clears the reference. The caller gives the control a document at once.
    void LeaveRing();
};
