// The editor control's state, properties, construction, document ring, geometry, redraw requests,
// status and error reports, and its stored form data.
#include "CustomEditor.h"

#include "KroExceptions.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <stdexcept>
#include <string>

namespace {

// The characters that end a word: the blanks and line ends, and the punctuation of 7-bit ASCII
// except the underscore.
std::bitset<256> MakeWordDelimiters() {
    std::bitset<256> D;
    for (int C : {9, 10, 13, 32})
        D.set(C);
    for (int C = 33; C <= 47; ++C)
        D.set(C);
    for (int C = 58; C <= 64; ++C)
        D.set(C);
    for (int C = 91; C <= 94; ++C)
        D.set(C);
    D.set(96);
    for (int C = 123; C <= 126; ++C)
        D.set(C);
    return D;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Construction and destruction

TKroCustomEditor::TKroCustomEditor(TKroComponent* Owner, IKroWindow* Window)
    : TKroEditBase(Owner), FWindow(Window), FPrevEditor(this), FNextEditor(this),
      FWordDelimiters(MakeWordDelimiters()) {
    CreateParaList(false, DefaultUndoBufferSize);
    ResetSelection(false);
    FCarets = std::make_unique<TKroCaretPair>(Window);
    FHighlightColors = std::make_unique<TKroColors>(clHighlightText, clHighlight);
    FHighlightColors->OnColorChange = [this](TKroPersistent&) { InvalidateAll(false); };
    FFixedFont = std::make_unique<TKroFixedFont>();
    FFixedFont->OnChange = [this](TKroPersistent&) { FontChanged(); };
}

TKroCustomEditor::~TKroCustomEditor() {
    FCarets.reset();
    LeaveRing();
    FParaList = nullptr;
    FFixedFont->OnChange = nullptr;
    FHighlightColors->OnColorChange = nullptr;
}

void TKroCustomEditor::CreateParaList(bool WordWrap, std::uint16_t UndoSize) {
    FParaList = new TParaList(this, WordWrap, UndoSize);
}

// ---------------------------------------------------------------------------------------------
// The window

bool TKroCustomEditor::HasWindow() const {
    return FWindow && TKroBase::HandleAllocated() && FWindow->HandleAllocated();
}

void TKroCustomEditor::CreateWnd() {
    TKroBase::CreateWnd();
    if (!FWindow) return;
    FWindow->SetStyle(FScrollBars == ssHorizontal || FScrollBars == ssBoth,
                      FScrollBars == ssVertical || FScrollBars == ssBoth, FBorderStyle == bsSingle);
    AfterWindowCreated();
}

void TKroCustomEditor::RecreateWnd() {
    if (!HasWindow()) return;
    FWindow->SetStyle(FScrollBars == ssHorizontal || FScrollBars == ssBoth,
                      FScrollBars == ssVertical || FScrollBars == ssBoth, FBorderStyle == bsSingle);
    AfterWindowCreated();
}

void TKroCustomEditor::AfterWindowCreated() {
    if (!HasWindow()) return;
    FHasHScroll = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    FHasVScroll = FScrollBars == ssVertical || FScrollBars == ssBoth;
    UpdateVScrollRange();
    UpdateHScrollRange();
    ComputeGeometry();
    ApplyWrapToWindow();
    if (FShowBookmarks && FMarkerBitmap.Empty())
        if (IKroPlatform* P = KroPlatform()) FMarkerBitmap = P->LoadBitmap("MARKERS");
}

void TKroCustomEditor::HandlePostedMessage(std::uint32_t Msg, std::uintptr_t WParam,
                                           std::intptr_t LParam) {
    if (Msg == KM_SHOWSTATUS)
        DoOnShowStatus(static_cast<std::int32_t>(LParam), static_cast<std::int32_t>(WParam));
}

bool TKroCustomEditor::DialogChar(char Ch, TKroShiftState Shift) const {
    return Ch == '\b' && (Shift & ssAltKey) != 0;
}

// ---------------------------------------------------------------------------------------------
// Geometry and redraw requests

namespace {
bool HScrollRangeIsZero(bool HasHScroll, std::int32_t VisibleCols, std::int32_t HScrollMax,
                        bool Always) {
    return !HasHScroll || HScrollMax <= 0 || (VisibleCols >= HScrollMax && !Always);
}
} // namespace

void TKroCustomEditor::ComputeGeometry() {
    if (!HasWindow()) return;
    IKroSurface& Canvas = FWindow->Canvas();
    Canvas.SelectFont(FFixedFont->Font());
    const TKroTextMetrics M = Canvas.TextMetrics();
    // A font that reports no width would make every column computation divide by zero.
    FCharWidth = std::max(1, M.AveCharWidth);
    FLineHeight = std::max(1, M.Height + M.ExternalLeading + 1);
    // Showing or hiding a scroll bar changes the client area, so repeat until it settles; a
    // host that keeps flipping is given a few passes only.
    for (int Pass = 0; Pass < 8; ++Pass) {
        bool Changed = false;
        const int W = FWindow->ClientWidth();
        const std::int32_t Cols = std::max(1, (W - FLeftMargin - FRightMargin) / FCharWidth);
        if (Cols != FVisibleCols) {
            FVisibleCols = Cols;
            Changed = true;
            if (W > 0) {
                UpdateHScrollRange();
                UpdateHScrollPos();
                if (HScrollRangeIsZero(FHasHScroll, FVisibleCols, FHScrollMax, FScrollBarsAlways))
                    FLeftCol = 0;
            }
        }
        const int H = FWindow->ClientHeight();
        const std::int32_t Rows = std::max(1, H / FLineHeight);
        if (Rows != FVisibleRows) {
            FVisibleRows = Rows;
            Changed = true;
            if (H > 0) {
                UpdateVScrollRange();
                UpdateVScrollPos();
            }
        }
        if (!Changed) break;
    }
    InvalidateAll(true);
}

namespace {
// Applying the wrap-to-window rule re-wraps the document, and every control of the ring
// refreshes, which would apply the rule again: two controls of different widths sharing one
// document would hand the wrap column back and forth without end. The rule therefore is not
// applied again while it is being applied (everything runs on the one user-interface thread).
int WrapToWindowDepth = 0;
} // namespace

void TKroCustomEditor::ApplyWrapToWindow() {
    if (!FWrapToWindow || !WordWrap() || !HasWindow() || WrapToWindowDepth > 0) return;
    struct TDepth {
        TDepth() { ++WrapToWindowDepth; }
        ~TDepth() { --WrapToWindowDepth; }
    } Depth;
    SetWrapColumn(FVisibleCols - 2);
}

void TKroCustomEditor::FontChanged() {
    if (!HasWindow()) return;
    ComputeGeometry();
    ApplyWrapToWindow();
    if (FWindow->Focused()) {
        FCarets->SetCellHeight(FLineHeight);
        FCarets->SetCellWidth(FCharWidth);
        FCarets->SetInsertMode(FInsertMode);
        PositionCaret(0);
    }
}

void TKroCustomEditor::InvalidateAll(bool UpdateNow) {
    if (!HasWindow()) return;
    if (!FRepaintPending) {
        FRepaintPending = true;
        FWindow->InvalidateAll();
    }
    if (UpdateNow) FWindow->Update();
}

void TKroCustomEditor::InvalidateLines(std::int32_t First, std::int32_t Last) {
    if (!HasWindow() || FRepaintPending || FVisibleRows <= 0) return;
    if (First > Last) std::swap(First, Last);
    const std::int64_t LastVisible = std::int64_t(FTopLine) + FVisibleRows - 1;
    if (Last < FTopLine || First > LastVisible) return;
    const std::int64_t F = std::max<std::int64_t>(First, FTopLine);
    const std::int64_t L = std::min<std::int64_t>(Last, LastVisible);
    TKroRect R;
    R.Left = 0;
    R.Right = FWindow->ClientWidth();
    R.Top = static_cast<int>((F - FTopLine) * FLineHeight);
    R.Bottom = static_cast<int>((L - FTopLine + 1) * FLineHeight);
    if (L == LastVisible) R.Bottom = std::max(R.Bottom, FWindow->ClientHeight());
    FWindow->Invalidate(R);
}

void TKroCustomEditor::FullRefresh(bool UpdateNow) {
    if (!HasWindow()) return;
    UpdateVScrollRange();
    UpdateVScrollPos();
    UpdateHScrollRange();
    UpdateHScrollPos();
    ComputeGeometry();
    ApplyWrapToWindow();
    InvalidateAll(UpdateNow);
}

// ---------------------------------------------------------------------------------------------
// Properties

void TKroCustomEditor::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
}

std::int32_t TKroCustomEditor::ByteLimit() const {
    return FParaList->ByteLimit();
}

void TKroCustomEditor::SetByteLimit(std::int32_t Value) {
    if (Value < 0) return;
    FParaList->SetByteLimit(Value);
}

TKroCaret* TKroCustomEditor::CaretIns() const {
    return FCarets->CaretIns();
}

void TKroCustomEditor::SetCaretIns(TKroCaret* Value) {
    FCarets->SetCaretIns(Value);
}

TKroCaret* TKroCustomEditor::CaretOvr() const {
    return FCarets->CaretOvr();
}

void TKroCustomEditor::SetCaretOvr(TKroCaret* Value) {
    FCarets->SetCaretOvr(Value);
}

void TKroCustomEditor::SetFixedFont(const TKroPersistent& Value) {
    FFixedFont->Assign(Value);
}

void TKroCustomEditor::SetHideSelection(bool Value) {
    if (Value == FHideSelection) return;
    FHideSelection = Value;
    InvalidateAll(false);
}

void TKroCustomEditor::SetHighlightColors(const TKroColors& Value) {
    FHighlightColors->Assign(Value);
}

void TKroCustomEditor::SetInsertMode(bool Value) {
    if (Value == FInsertMode) return;
    FInsertMode = Value;
    FCarets->SetInsertMode(Value);
    PositionCaret(0);
}

void TKroCustomEditor::SetLeftMargin(int Value) {
    if (Value < 0 || Value == FLeftMargin) return;
    FLeftMargin = Value;
    ComputeGeometry();
    ApplyWrapToWindow();
    InvalidateAll(false);
}

void TKroCustomEditor::SetRightMargin(int Value) {
    if (Value < 0 || Value == FRightMargin) return;
    FRightMargin = Value;
    ComputeGeometry();
    ApplyWrapToWindow();
    InvalidateAll(false);
}

void TKroCustomEditor::SetParaLengthLimit(std::int32_t Value) {
    if (Value <= 0) return;
    FParaLengthLimit = Value;
    FParaList->SetParaLengthLimit(Value);
    ClampCaretToVirtualSpace();
    UpdateHScrollRange();
    UpdateHScrollPos();
}

std::int32_t TKroCustomEditor::ParaLimit() const {
    return FParaList->ParaLimit();
}

void TKroCustomEditor::SetParaLimit(std::int32_t Value) {
    if (Value <= 0) return;
    FParaList->SetParaLimit(Value);
}

void TKroCustomEditor::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    if (Value == ssNone) FScrollBarsAlways = false;
    RecreateWnd();
}

void TKroCustomEditor::SetScrollBarsAlways(bool Value) {
    if (Value == FScrollBarsAlways) return;
    if (Value && FScrollBars == ssNone) return;
    FScrollBarsAlways = Value;
    RecreateWnd();
}

void TKroCustomEditor::SetScrollPastEnd(bool Value) {
    FScrollPastEnd = Value;
    if (Value)
        SetWordWrap(false);
    else
        ClampCaretToVirtualSpace();
}

void TKroCustomEditor::ClampCaretToVirtualSpace() {
    const std::int32_t LineLen = FParaList->GetLineLength(FCaretLine);
    const std::int32_t Bound =
        FScrollPastEnd ? std::max(LineLen + 1, std::min(FParaLengthLimit, MaxParaLength) + 1)
                       : LineLen + 1;
    if (FCaretPos <= Bound) return;
    FCaretPos = Bound;
    PositionCaret(0);
}

void TKroCustomEditor::SetShowBookmarks(bool Value) {
    if (Value == FShowBookmarks) return;
    FShowBookmarks = Value;
    if (Value) {
        if (IKroPlatform* P = KroPlatform()) FMarkerBitmap = P->LoadBitmap("MARKERS");
    } else {
        FMarkerBitmap = TKroBitmap{};
    }
    InvalidateAll(false);
}

std::uint8_t TKroCustomEditor::TabSize() const {
    return FParaList->TabSize();
}

void TKroCustomEditor::SetTabSize(std::uint8_t Value) {
    if (Value == 0) return;
    FParaList->SetTabSize(Value);
    FTabSize = FParaList->TabSize();
    InvalidateAll(false);
}

void TKroCustomEditor::SetTabType(TTabType Value) {
    if (Value == FTabType) return;
    FTabType = Value;
    InvalidateAll(false);
}

std::uint16_t TKroCustomEditor::UndoBufferSize() const {
    return FParaList->UndoBufferSize();
}

void TKroCustomEditor::SetUndoBufferSize(std::uint16_t Value) {
    FParaList->SetUndoBufferSize(Value);
}

bool TKroCustomEditor::WordWrap() const {
    return FParaList->WordWrap();
}

void TKroCustomEditor::SetWordWrap(bool Value) {
    if (Value) {
        FWrapAtLeft = true;
        FScrollPastEnd = false;
        // Following the window: take the window's column before wrapping, so the text is
        // wrapped once rather than at the old column and again at the new one.
        if (FWrapToWindow && HasWindow() && FVisibleCols - 2 > 0)
            FParaList->SetWrapColumn(FVisibleCols - 2);
    }
    FParaList->SetWordWrap(Value);
}

void TKroCustomEditor::SetWrapAtLeft(bool Value) {
    if (!Value && WordWrap()) return;
    FWrapAtLeft = Value;
}

std::int32_t TKroCustomEditor::WrapColumn() const {
    return FParaList->WrapColumn();
}

void TKroCustomEditor::SetWrapColumn(std::int32_t Value) {
    if (Value <= 0) return;
    FParaList->SetWrapColumn(Value);
}

void TKroCustomEditor::SetWrapToWindow(bool Value) {
    FWrapToWindow = Value;
    if (HasWindow()) ApplyWrapToWindow();
}

void TKroCustomEditor::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    InvalidateAll(false);
}

void TKroCustomEditor::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    InvalidateAll(false);
}

// ---------------------------------------------------------------------------------------------
// The document ring

void TKroCustomEditor::Attach(TKroCustomEditor* Editor) {
    if (!Editor || Editor == this) return;
    if (Editor->FParaList == FParaList) return; // already showing that document
    // A control that shares its document leaves its ring first; alone, its document goes.
    LeaveRing();
    FParaList = Editor->FParaList;
    auto* Owner = dynamic_cast<TKroCustomEditor*>(FParaList->Owner());
    if (!Owner) Owner = Editor;
    FPrevEditor = Owner->FPrevEditor;
    FNextEditor = Owner;
    Owner->FPrevEditor->FNextEditor = this;
    Owner->FPrevEditor = this;
    // A wrapped document admits no virtual space here either.
    if (WordWrap()) {
        FWrapAtLeft = true;
        FScrollPastEnd = false;
    }
    // The positions of the old document mean nothing in this one.
    FCaretLine = FCaretPara = FCaretPos = 1;
    FCaretLineStart = 0;
    FTopPara = 1;
    FTopLineStart = 0;
    FLeftCol = 0;
    SetTopLine(1);
    ResetSelection(false);
    FullRefresh(true);
}

void TKroCustomEditor::Detach() {
    // A document reference kept after leaving would dangle once the ring frees the document.
    if (FNextEditor != this) ClearText(true);
}

void TKroCustomEditor::LeaveRing() {
    if (FNextEditor == this) {
        delete FParaList;
        FParaList = nullptr;
        return;
    }
    FPrevEditor->FNextEditor = FNextEditor;
    FNextEditor->FPrevEditor = FPrevEditor;
    if (FParaList && FParaList->Owner() == this) FParaList->SetOwner(FNextEditor);
    FPrevEditor = FNextEditor = this;
}

void TKroCustomEditor::ClearText(bool Refresh) {
    const std::int32_t OldByteLimit = FParaList->ByteLimit();
    const std::int32_t OldParaLimit = FParaList->ParaLimit();
    const std::int32_t OldParaLengthLimit = FParaList->ParaLengthLimit();
    const bool OldWordWrap = FParaList->WordWrap();
    const std::int32_t OldWrapColumn = FParaList->WrapColumn();
    const std::uint16_t OldUndoSize = FParaList->UndoBufferSize();
    // The tab size read back from the document: another control of the ring may have set it.
    FTabSize = FParaList->TabSize();
    LeaveRing();
    CreateParaList(OldWordWrap, OldUndoSize);
    // The positions go back to the start before the settings re-wrap the (empty) text.
    FTopPara = 1;
    FTopLineStart = 0;
    FCaretLine = 1;
    FCaretPara = 1;
    FCaretLineStart = 0;
    FCaretPos = 1;
    FLeftCol = 0;
    FSelStart = FSelEnd = FSelCaretEnd = TParaPos{1, 1};
    FSelStartLine = FSelEndLine = FSelStartLinePos = FSelEndLinePos = 1;
    FParaList->SetByteLimit(OldByteLimit);
    FParaList->SetParaLimit(OldParaLimit);
    SetParaLengthLimit(OldParaLengthLimit);
    FParaList->SetWrapColumn(OldWrapColumn);
    FParaList->SetTabSize(FTabSize);
    SetTopLine(1);
    FRepaintPending = false;
    FHScrollPosDirty = FVScrollPosDirty = FVScrollRangeDirty = false;
    ResetSelection(false);
    if (Refresh) FullRefresh(true);
}

// ---------------------------------------------------------------------------------------------
// Text access

const char* TKroCustomEditor::GetPara(std::int32_t Para, std::int32_t& Len) const {
    if (Para < 1 || Para > FParaList->ParaCount()) throw EInvalidLineOrPara();
    TParaNode* Node = FParaList->GetPara(Para);
    Len = Node->Length();
    return Node->Text();
}

void TKroCustomEditor::GetLineText(std::int32_t Line, std::string& Dest,
                                   std::int32_t MaxLen) const {
    if (Line < 1 || Line > FParaList->LineCount()) throw EInvalidLineOrPara();
    Dest.clear();
    const char* Text = nullptr;
    std::int32_t Len = 0;
    FParaList->GetLine(Line, Text, Len);
    Dest.assign(Text, static_cast<std::size_t>(std::clamp(Len, 0, std::max(MaxLen, 0))));
}

std::int32_t TKroCustomEditor::GetPrintableLine(std::int32_t Line, std::string& Dest,
                                                std::int32_t MaxLen) const {
    if (Line < 1 || Line > FParaList->LineCount()) throw EInvalidLineOrPara();
    Dest.clear();
    const char* Text = nullptr;
    std::int32_t Len = 0;
    FParaList->GetLine(Line, Text, Len);
    const std::int32_t Tab = std::max<std::int32_t>(1, FParaList->TabSize());
    const std::size_t Max = static_cast<std::size_t>(std::max(MaxLen, 0));
    for (std::int32_t I = 0; I < Len && Dest.size() < Max; ++I) {
        if (Text[I] == '\t') {
            const std::size_t Stop = (Dest.size() / Tab + 1) * Tab;
            Dest.append(std::min(Stop, Max) - Dest.size(), ' ');
        } else {
            Dest.push_back(Text[I]);
        }
    }
    return static_cast<std::int32_t>(Dest.size());
}

std::int32_t TKroCustomEditor::LineCount() const {
    return FParaList->LineCount();
}

std::int32_t TKroCustomEditor::LineLength(std::int32_t Line) const {
    if (Line < 1 || Line > FParaList->LineCount()) throw EInvalidLineOrPara();
    return FParaList->GetLineLength(Line);
}

std::int32_t TKroCustomEditor::TextLength() const {
    return FParaList->ByteCount();
}

std::int32_t TKroCustomEditor::VisibleColumns() {
    if (FWindow && !TKroBase::HandleAllocated()) HandleNeeded();
    return FVisibleCols;
}

std::int32_t TKroCustomEditor::GetCaretPosition(std::int32_t& Pos) const {
    Pos = FCaretPos;
    return FCaretLine;
}

bool TKroCustomEditor::Modified() const {
    return FParaList->Modified();
}

void TKroCustomEditor::SetModified(bool Value) {
    FParaList->SetModified(Value);
    ForEachInRing([](TKroCustomEditor* E) { E->InvalidateAll(false); });
}

// ---------------------------------------------------------------------------------------------
// Reports

void TKroCustomEditor::DoOnError(std::uint16_t Code) {
    if (Code == 0) return;
    if (OnError) {
        std::uint16_t ErrorCode = Code;
        OnError(*this, ErrorCode);
        return;
    }
    throw EEditorError(Code);
}

void TKroCustomEditor::DoOnShowStatus(std::int32_t Line, std::int32_t Col) {
    if (OnShowStatus) OnShowStatus(*this, Line, Col);
}

void TKroCustomEditor::DoOnTopLineChanged(std::int32_t Line) {
    if (OnTopLineChanged) OnTopLineChanged(*this, Line);
}

void TKroCustomEditor::FillSample() {
    ClearText(false);
    for (int I = 1; I <= 30; ++I) {
        const std::string S = std::to_string(I) + ": Editor paragraph.\tTab.";
        FParaList->AppendPara(S.data(), static_cast<std::int32_t>(S.size()), false);
    }
    FullRefresh(true);
}

void TKroCustomEditor::ShowBusy(bool Busy) {
    IKroPlatform* P = KroPlatform();
    if (!P) return;
    if (Busy)
        P->BeginBusy();
    else
        P->EndBusy();
}

// ---------------------------------------------------------------------------------------------
// Form data

namespace {

bool SameText(std::string_view A, std::string_view B) {
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) ==
                      std::tolower(static_cast<unsigned char>(Y));
           });
}

std::optional<long long> ParseInt(std::string_view V) {
    long long N = 0;
    const char* B = V.data();
    const char* E = V.data() + V.size();
    if (B != E && *B == '+') ++B;
    auto [P, Ec] = std::from_chars(B, E, N);
    if (Ec != std::errc() || P != E || B == E) return std::nullopt;
    return N;
}

std::optional<bool> ParseBool(std::string_view V) {
    if (SameText(V, "True")) return true;
    if (SameText(V, "False")) return false;
    return std::nullopt;
}

template <class E, std::size_t N>
std::optional<E> ParseEnum(std::string_view V, const std::string_view (&Names)[N]) {
    for (std::size_t I = 0; I < N; ++I)
        if (SameText(V, Names[I])) return static_cast<E>(I);
    return std::nullopt;
}

constexpr std::string_view BorderStyleNames[] = {"bsNone", "bsSingle"};
constexpr std::string_view ScrollStyleNames[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
constexpr std::string_view TabTypeNames[] = {"ttReal", "ttFixed", "ttSmart"};
constexpr std::string_view CaretShapeNames[] = {"csBlock",    "csHalfBlock", "csVertLine",
                                                "csHorzLine", "csCustom",    "csBitmap"};

struct TColorName {
    std::string_view Name;
    TColor Value;
};
constexpr TColorName ColorNames[] = {
    {"clBlack", clBlack},         {"clMaroon", clMaroon},
    {"clGreen", clGreen},         {"clOlive", clOlive},
    {"clNavy", clNavy},           {"clPurple", clPurple},
    {"clTeal", clTeal},           {"clGray", clGray},
    {"clSilver", clSilver},       {"clRed", clRed},
    {"clLime", clLime},           {"clYellow", clYellow},
    {"clBlue", clBlue},           {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},           {"clWhite", clWhite},
    {"clWindow", clWindow},       {"clWindowText", clWindowText},
    {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},     {"clGrayText", clGrayText},
};

std::optional<TColor> ParseColor(std::string_view V) {
    for (const auto& C : ColorNames)
        if (SameText(V, C.Name)) return C.Value;
    if (auto N = ParseInt(V)) return static_cast<TColor>(*N);
    return std::nullopt;
}

std::string BoolText(bool B) {
    return B ? "True" : "False";
}

std::string Unquote(std::string_view V) {
    if (V.size() >= 2 && V.front() == '\'' && V.back() == '\'') V = V.substr(1, V.size() - 2);
    return std::string(V);
}

} // namespace

bool TKroCustomEditor::ReadFormProperty(std::string_view Name, std::string_view Value) {
    // Integer and Boolean properties, each with its setter (and so its setting rule).
    struct TIntProp {
        std::string_view Name;
        void (TKroCustomEditor::*Set)(std::int32_t);
    };
    struct TBoolProp {
        std::string_view Name;
        void (TKroCustomEditor::*Set)(bool);
    };
    static const TBoolProp BoolProps[] = {
        {"AutoIndent", &TKroCustomEditor::SetAutoIndent},
        {"HideSelection", &TKroCustomEditor::SetHideSelection},
        {"InsertMode", &TKroCustomEditor::SetInsertMode},
        {"ReadOnly", &TKroCustomEditor::SetReadOnly},
        {"ScrollBarsAlways", &TKroCustomEditor::SetScrollBarsAlways},
        {"ScrollPastEnd", &TKroCustomEditor::SetScrollPastEnd},
        {"ShowBookmarks", &TKroCustomEditor::SetShowBookmarks},
        {"TrimWhiteSpace", &TKroCustomEditor::SetTrimWhiteSpace},
        {"WantEnter", &TKroCustomEditor::SetWantEnter},
        {"WantTab", &TKroCustomEditor::SetWantTab},
        {"WordWrap", &TKroCustomEditor::SetWordWrap},
        {"WrapAtLeft", &TKroCustomEditor::SetWrapAtLeft},
        {"WrapToWindow", &TKroCustomEditor::SetWrapToWindow},
        {"Enabled", &TKroCustomEditor::SetEnabled},
        {"Ctl3D", &TKroCustomEditor::SetCtl3D},
        {"ParentColor", &TKroCustomEditor::SetParentColor},
        {"ParentCtl3D", &TKroCustomEditor::SetParentCtl3D},
        {"TabStop", &TKroCustomEditor::SetTabStop},
        {"Visible", &TKroCustomEditor::SetVisible},
    };
    static const TIntProp IntProps[] = {
        {"ParaLengthLimit", &TKroCustomEditor::SetParaLengthLimit},
        {"ParaLimit", &TKroCustomEditor::SetParaLimit},
        {"WrapColumn", &TKroCustomEditor::SetWrapColumn},
    };
    for (const auto& P : BoolProps)
        if (SameText(Name, P.Name)) {
            auto B = ParseBool(Value);
            if (!B) return false;
            (this->*P.Set)(*B);
            return true;
        }
    for (const auto& P : IntProps)
        if (SameText(Name, P.Name)) {
            auto N = ParseInt(Value);
            if (!N || *N < INT32_MIN || *N > INT32_MAX) return false;
            (this->*P.Set)(static_cast<std::int32_t>(*N));
            return true;
        }

    auto N = ParseInt(Value);
    const bool IntFits = N && *N >= INT32_MIN && *N <= INT32_MAX;
    if (SameText(Name, "ByteLimit")) {
        if (!IntFits) return false;
        SetByteLimit(static_cast<std::int32_t>(*N));
        return true;
    }
    if (SameText(Name, "LeftMargin") || SameText(Name, "RightMargin") || SameText(Name, "Margin")) {
        if (!IntFits) return false;
        const int V = static_cast<int>(*N);
        // "Margin" is the older single setting for both sides.
        if (!SameText(Name, "RightMargin")) SetLeftMargin(V);
        if (!SameText(Name, "LeftMargin")) SetRightMargin(V);
        return true;
    }
    if (SameText(Name, "TabSize")) {
        if (!N || *N < 0 || *N > 255) return false;
        SetTabSize(static_cast<std::uint8_t>(*N));
        return true;
    }
    if (SameText(Name, "UndoBufferSize")) {
        if (!N || *N < 0 || *N > 65535) return false;
        SetUndoBufferSize(static_cast<std::uint16_t>(*N));
        return true;
    }
    if (SameText(Name, "Width") || SameText(Name, "Height")) {
        if (!IntFits) return false;
        if (SameText(Name, "Width"))
            SetWidth(static_cast<int>(*N));
        else
            SetHeight(static_cast<int>(*N));
        return true;
    }
    if (SameText(Name, "BorderStyle")) {
        auto E = ParseEnum<TBorderStyle>(Value, BorderStyleNames);
        if (!E) return false;
        SetBorderStyle(*E);
        return true;
    }
    if (SameText(Name, "ScrollBars")) {
        auto E = ParseEnum<TScrollStyle>(Value, ScrollStyleNames);
        if (!E) return false;
        SetScrollBars(*E);
        return true;
    }
    if (SameText(Name, "TabType")) {
        auto E = ParseEnum<TTabType>(Value, TabTypeNames);
        if (!E) return false;
        SetTabType(*E);
        return true;
    }
    if (SameText(Name, "CaretIns.Shape") || SameText(Name, "CaretOvr.Shape")) {
        auto E = ParseEnum<TKroCaretShape>(Value, CaretShapeNames);
        if (!E) return false;
        TKroCaret* C = SameText(Name, "CaretIns.Shape") ? CaretIns() : CaretOvr();
        if (C) C->SetShape(*E);
        return true;
    }
    if (SameText(Name, "Color") || SameText(Name, "FixedFont.Color") ||
        SameText(Name, "HighlightColors.TextColor") ||
        SameText(Name, "HighlightColors.BackColor")) {
        auto C = ParseColor(Value);
        if (!C) return false;
        if (SameText(Name, "Color"))
            SetColor(*C);
        else if (SameText(Name, "FixedFont.Color"))
            FFixedFont->SetColor(*C);
        else if (SameText(Name, "HighlightColors.TextColor"))
            FHighlightColors->SetTextColor(*C);
        else
            FHighlightColors->SetBackColor(*C);
        return true;
    }
    if (SameText(Name, "FixedFont.Name")) {
        FFixedFont->SetName(Unquote(Value));
        return true;
    }
    if (SameText(Name, "FixedFont.Size")) {
        if (!IntFits) return false;
        FFixedFont->SetSize(static_cast<int>(*N));
        return true;
    }
    return false;
}

std::vector<std::pair<std::string, std::string>> TKroCustomEditor::WriteFormProperties() const {
    std::vector<std::pair<std::string, std::string>> Out;
    auto Bool = [&](const char* Name, bool V, bool Default) {
        if (V != Default) Out.emplace_back(Name, BoolText(V));
    };
    auto Int = [&](const char* Name, long long V, long long Default) {
        if (V != Default) Out.emplace_back(Name, std::to_string(V));
    };
    Bool("AutoIndent", FAutoIndent, false);
    if (FBorderStyle != bsSingle)
        Out.emplace_back("BorderStyle", std::string(BorderStyleNames[FBorderStyle]));
    Int("ByteLimit", ByteLimit(), MaxLongint);
    Bool("HideSelection", FHideSelection, true);
    Bool("InsertMode", FInsertMode, true);
    Int("LeftMargin", FLeftMargin, 15);
    Int("ParaLengthLimit", FParaLengthLimit, DefaultParaLengthLimit);
    Int("ParaLimit", ParaLimit(), MaxLongint);
    Bool("ReadOnly", FReadOnly, false);
    // The declared default is 15, not the initial 5, so a fresh control stores its 5.
    Int("RightMargin", FRightMargin, 15);
    if (FScrollBars != ssBoth)
        Out.emplace_back("ScrollBars", std::string(ScrollStyleNames[FScrollBars]));
    Bool("ScrollBarsAlways", FScrollBarsAlways, false);
    Bool("ScrollPastEnd", FScrollPastEnd, false);
    Bool("ShowBookmarks", FShowBookmarks, true);
    Int("TabSize", TabSize(), DefaultTabSize);
    if (FTabType != ttReal) Out.emplace_back("TabType", std::string(TabTypeNames[FTabType]));
    Bool("TrimWhiteSpace", FTrimWhiteSpace, true);
    Int("UndoBufferSize", UndoBufferSize(), DefaultUndoBufferSize);
    Bool("WantEnter", FWantEnter, true);
    Bool("WantTab", FWantTab, false);
    Bool("WordWrap", WordWrap(), false);
    Bool("WrapAtLeft", FWrapAtLeft, true);
    Int("WrapColumn", WrapColumn(), DefaultWrapColumn);
    Bool("WrapToWindow", FWrapToWindow, false);
    return Out;
}

// ---------------------------------------------------------------------------------------------
// Invariant

void TKroCustomEditor::CheckInvariant() const {
    auto Fail = [](const std::string& What) {
        throw std::logic_error("editor invariant: " + What);
    };
    if (!FParaList) Fail("no document");
    // The ring: consistent links, one document, its owner among the members.
    bool OwnerSeen = false;
    int Members = 0;
    const TKroCustomEditor* E = this;
    do {
        if (E->FNextEditor->FPrevEditor != E || E->FPrevEditor->FNextEditor != E)
            Fail("ring links");
        if (E->FParaList != FParaList) Fail("ring members show different documents");
        if (FParaList->Owner() == static_cast<const IParaListClient*>(E)) OwnerSeen = true;
        E = E->FNextEditor;
        if (++Members > 1000000) Fail("ring does not close");
    } while (E != this);
    if (!OwnerSeen) Fail("document owner outside the ring");

    TParaList& L = *FParaList;
    const std::int32_t Lines = L.LineCount();
    // The caret in both forms.
    if (FCaretLine < 1 || FCaretLine > Lines) Fail("caret line out of range");
    std::int32_t Start = 0;
    const std::int32_t Para = L.LineToPara(FCaretLine, Start);
    if (Para != FCaretPara || Start != FCaretLineStart) Fail("caret paragraph form");
    const std::int32_t LineLen = L.GetLineLength(FCaretLine);
    if (FCaretPos < 1) Fail("caret position below 1");
    if (!FScrollPastEnd && FCaretPos > LineLen + 1) Fail("caret beyond the line end");
    if (FScrollPastEnd &&
        FCaretPos > std::max(LineLen + 1, std::min(FParaLengthLimit, MaxParaLength) + 1))
        Fail("caret beyond the virtual space");
    // The view.
    if (FTopLine < 1 || FTopLine > Lines) Fail("top line out of range");
    const std::int32_t TopPara = L.LineToPara(FTopLine, Start);
    if (TopPara != FTopPara || Start != FTopLineStart) Fail("top line paragraph form");
    if (FLeftCol < 0) Fail("left column below 0");
    // The selection.
    auto ValidEnd = [&](const TParaPos& P) {
        return P.Para >= 1 && P.Para <= L.ParaCount() && P.Pos >= 1 &&
               P.Pos <= L.GetParaLength(P.Para) + 1;
    };
    if (!ValidEnd(FSelStart) || !ValidEnd(FSelEnd)) Fail("selection end out of range");
    if (FSelEnd.Para < FSelStart.Para ||
        (FSelEnd.Para == FSelStart.Para && FSelEnd.Pos < FSelStart.Pos))
        Fail("selection ends out of order");
    if (!(FSelCaretEnd == FSelStart) && !(FSelCaretEnd == FSelEnd))
        Fail("caret end is neither selection end");
    // A display form names the same place as its paragraph form (the end of a wrapped line
    // and the start of the next one are both right for a position between them).
    auto SameSpot = [&](std::int32_t Line, std::int32_t LinePos, const TParaPos& P) {
        if (Line < 1 || Line > Lines) return false;
        std::int32_t LineStart = 0;
        return L.LineToPara(Line, LineStart) == P.Para && LineStart + LinePos == P.Pos;
    };
    if (!SameSpot(FSelStartLine, FSelStartLinePos, FSelStart)) Fail("selection start display form");
    if (!SameSpot(FSelEndLine, FSelEndLinePos, FSelEnd)) Fail("selection end display form");
    // Geometry once the window exists.
    if (HasWindow() && (FVisibleCols < 1 || FVisibleRows < 1 || FCharWidth < 1 || FLineHeight < 1))
        Fail("geometry");
}
