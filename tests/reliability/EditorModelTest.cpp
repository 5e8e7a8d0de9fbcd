// Long random sequences of key commands and typed characters through the editor's command
// dispatch. After every step the editor, its document and its markers must be consistent, and
// at the end of each episode undoing everything must give back the starting text byte for byte.
#include "Controller.h"
#include "CustomEditor.h"
#include "Headless.h"
#include "KroExceptions.h"
#include "ReliabilityOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {
class TModelEditor : public TKroCustomEditor {
public:
    using TKroCustomEditor::FullRefresh;
    using TKroCustomEditor::TKroCustomEditor;
    int32_t CaretLine() const { return FCaretLine; }
    int32_t CaretPos() const { return FCaretPos; }
    int32_t CaretPara() const { return FCaretPara; }
    int32_t CaretLineStart() const { return FCaretLineStart; }
};

using TDoc = std::vector<std::string>;

struct TRng {
    std::mt19937_64 Engine;
    explicit TRng(std::uint64_t Seed) : Engine(Seed) {}
    // 0 .. N - 1
    int Below(int N) { return N <= 1 ? 0 : static_cast<int>(Engine() % static_cast<unsigned>(N)); }
    bool OneIn(int N) { return Below(N) == 0; }
};

std::string RandomLine(TRng& R) {
    static const char Punct[] = ",.;:(){}<>=+-*/\"'#";
    const int Kind = R.Below(10);
    const int Len = Kind == 0 ? 0 : Kind == 1 ? 60 + R.Below(160) : R.Below(40);
    std::string S;
    while (static_cast<int>(S.size()) < Len) {
        const int C = R.Below(40);
        if (C < 26)
            S += static_cast<char>('a' + R.Below(26));
        else if (C < 32)
            S += ' ';
        else if (C < 34)
            S += '\t';
        else if (C < 38)
            S += Punct[R.Below(sizeof Punct - 1)];
        else
            S += static_cast<char>(128 + R.Below(128));
    }
    return S;
}

// Clipboard text: lines joined by CR LF, LF or CR, sometimes with a line end at the end.
std::string RandomBlock(TRng& R) {
    static const char* const Ends[] = {"\r\n", "\n", "\r", "\r\r\n"};
    const int Lines = 1 + R.Below(R.OneIn(4) ? 12 : 3);
    const char* End = Ends[R.Below(4)];
    std::string S;
    for (int I = 0; I < Lines; ++I) {
        if (I > 0) S += End;
        S += RandomLine(R);
    }
    if (R.OneIn(3)) S += End;
    return S;
}

char RandomChar(TRng& R) {
    const int C = R.Below(20);
    if (C < 14) return static_cast<char>('a' + R.Below(26));
    if (C < 17) return ' ';
    if (C < 19) return static_cast<char>(33 + R.Below(94));
    return static_cast<char>(128 + R.Below(128));
}

// Commands that only move the caret, the selection or the view, or do nothing at all.
bool LeavesTextAlone(TKroCommand C) {
    switch (C) {
    case ccBack:
    case ccCut:
    case ccDel:
    case ccDelEol:
    case ccDelLine:
    case ccDelWord:
    case ccNewLine:
    case ccPaste:
    case ccRedo:
    case ccTab:
    case ccUndo:
    case ccChar:
        return false;
    default:
        return true;
    }
}

struct TRig {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow Window;
    TModelEditor Ed{nullptr, &Window};
    int Errors = 0;
    int UserCommands = 0;
    int Reports = 0;

    TRig(int Cols, int Rows) {
        Window.Surface.Metrics = TKroTextMetrics{10, 9, 0};
        Window.Width = 20 + Cols * 10;
        Window.Height = Rows * 10;
        Window.OnPostedMessage = [this](const TKroPostedMessage& M) {
            Ed.HandlePostedMessage(M.Msg, M.WParam, M.LParam);
        };
        Ed.OnShowStatus = [this](TKroCustomEditor&, int32_t, int32_t) { ++Reports; };
        Ed.OnError = [this](TKroCustomEditor&, std::uint16_t&) { ++Errors; };
        Ed.OnUserCommand = [this](TKroCustomEditor&, std::uint16_t) { ++UserCommands; };
        Ed.SetController(&Controller);
        Ed.CreateWnd();
    }

    void Load(const TDoc& Paras) {
        TParaList& L = Ed.ParaList();
        for (const std::string& P : Paras)
            L.AppendPara(P.data(), static_cast<int32_t>(P.size()), false);
        if (!Paras.empty()) L.DeletePara(nullptr, L.ParaCount());
        L.UndoBuffer().Clear();
        L.SetModified(false);
        Ed.FullRefresh(false);
        Ed.MoveCaretToPara(1, 1, false);
    }

    TDoc Text() const {
        TDoc D;
        for (int32_t P = 1; P <= Ed.ParaList().ParaCount(); ++P) {
            int32_t Len = 0;
            const char* T = Ed.GetPara(P, Len);
            D.emplace_back(T, static_cast<std::size_t>(Len));
        }
        return D;
    }

    // Keeps the recorders from growing without bound.
    void DropLogs() {
        Window.DeliverPosted();
        Window.ClearLog();
        Window.Surface.ClearLog();
        Window.Caret.ClearLog();
        Platform.Calls.clear();
        Platform.ClipboardImpl.Calls.clear();
        Platform.Errors.clear();
    }
};

bool Before(const TParaPos& A, const TParaPos& B) {
    return A.Para < B.Para || (A.Para == B.Para && A.Pos < B.Pos);
}

// What the editor and its document must keep true; an empty answer when all holds.
std::string Violation(TRig& Rig, std::vector<bool>& MarkerInText) {
    std::ostringstream Out;
    TModelEditor& Ed = Rig.Ed;
    TParaList& L = Ed.ParaList();
    try {
        L.CheckInvariant();
        Ed.CheckInvariant();
    } catch (const std::exception& E) {
        return std::string("invariant: ") + E.what();
    }

    // Totals against a recount, the line tables against a fresh wrap of every paragraph.
    int32_t Paras = 0, Bytes = 0, Lines = 0;
    std::vector<int32_t> Lengths;
    for (const TParaNode* N = L.FirstNode(); N; N = N->Next()) {
        ++Paras;
        Bytes += N->Length() + (N->Next() ? 2 : 0);
        TParaNode Fresh(N->Text(), N->Length(), L.EffectiveWrapColumn(), L.TabSize());
        if (Fresh.LineCount() != N->LineCount())
            Out << "paragraph " << Paras << " has " << N->LineCount() << " lines, a fresh wrap "
                << Fresh.LineCount() << "; ";
        Lines += Fresh.LineCount();
        Lengths.push_back(N->Length());
    }
    if (Paras != L.ParaCount()) Out << "ParaCount " << L.ParaCount() << " != " << Paras << "; ";
    if (Bytes != L.ByteCount()) Out << "ByteCount " << L.ByteCount() << " != " << Bytes << "; ";
    if (Lines != L.LineCount()) Out << "LineCount " << L.LineCount() << " != " << Lines << "; ";
    if (Ed.LineCount() != L.LineCount()) Out << "editor LineCount differs; ";

    // The caret in both forms.
    const int32_t CL = Ed.CaretLine();
    if (CL < 1 || CL > L.LineCount()) Out << "CaretLine " << CL << " outside the text; ";
    if (Ed.CaretPos() < 1) Out << "CaretPos " << Ed.CaretPos() << "; ";
    // Only virtual space takes the caret past the end of its line.
    if (!Ed.ScrollPastEnd() && CL >= 1 && CL <= L.LineCount() &&
        Ed.CaretPos() > Ed.LineLength(CL) + 1)
        Out << "CaretPos " << Ed.CaretPos() << " past the end of line " << CL << " ("
            << Ed.LineLength(CL) << " characters); ";
    if (CL >= 1 && CL <= L.LineCount()) {
        int32_t Start = -1;
        const int32_t Para = L.LineToPara(CL, Start);
        if (Para != Ed.CaretPara() || Start != Ed.CaretLineStart())
            Out << "caret line " << CL << " is (" << Para << ", " << Start << ") but CaretPara "
                << Ed.CaretPara() << ", CaretLineStart " << Ed.CaretLineStart() << "; ";
    }
    int32_t Pos = 0;
    if (Ed.GetCaretPosition(Pos) != CL || Pos != Ed.CaretPos()) Out << "GetCaretPosition; ";
    if (Ed.TopLine() < 1 || Ed.TopLine() > L.LineCount())
        Out << "TopLine " << Ed.TopLine() << " outside the text; ";

    // The selection: ordered, inside the text, one end at the caret's side.
    const TParaPos S = Ed.SelStart(), E = Ed.SelEnd();
    if (Before(E, S)) Out << "selection end before its start; ";
    for (const TParaPos& P : {S, E}) {
        if (P.Para < 1 || P.Para > Paras || P.Pos < 1 || P.Pos > Lengths[P.Para - 1] + 1)
            Out << "selection end (" << P.Para << ", " << P.Pos << ") outside the text; ";
    }
    if (Ed.HasSelection() && !(Ed.SelCaretEnd() == S) && !(Ed.SelCaretEnd() == E))
        Out << "caret end of the selection is neither end; ";

    // Markers: unset, or in an existing paragraph; one that stood inside the text stays there.
    for (int N = 0; N < MarkerCount; ++N) {
        const TParaPos M = L.Marker(N);
        if (M == TParaPos{}) {
            MarkerInText[N] = false;
            continue;
        }
        if (M.Para < 1 || M.Para > Paras || M.Pos < 1) {
            Out << "marker " << N << " at (" << M.Para << ", " << M.Pos << "); ";
            continue;
        }
        // One set in virtual space stands at most at a column the caret can reach.
        if (M.Pos > std::max(Lengths[M.Para - 1], MaxParaLength) + 1)
            Out << "marker " << N << " beyond any column: (" << M.Para << ", " << M.Pos << "); ";
        const bool Inside = M.Pos <= Lengths[M.Para - 1] + 1;
        if (MarkerInText[N] && !Inside)
            Out << "marker " << N << " left the text: (" << M.Para << ", " << M.Pos << "); ";
        MarkerInText[N] = MarkerInText[N] || Inside;
    }
    return Out.str();
}

// The document as one string, paragraphs separated by LF, and back.
std::string Flat(const TDoc& D) {
    std::string S;
    for (std::size_t I = 0; I < D.size(); ++I) {
        if (I > 0) S += '\n';
        S += D[I];
    }
    return S;
}
TDoc Unflat(const std::string& S) {
    TDoc D(1);
    for (char C : S) {
        if (C == '\n')
            D.emplace_back();
        else
            D.back() += C;
    }
    return D;
}
std::size_t Offset(const TDoc& D, const TParaPos& P) {
    std::size_t O = 0;
    for (int32_t I = 1; I < P.Para; ++I)
        O += D[I - 1].size() + 1;
    return O + static_cast<std::size_t>(P.Pos - 1);
}
TParaPos PosAt(const TDoc& D, std::size_t O) {
    int32_t Para = 1;
    while (O > D[Para - 1].size()) {
        O -= D[Para - 1].size() + 1;
        ++Para;
    }
    return {Para, static_cast<int32_t>(O) + 1};
}
// The selected text as a copy puts it on the clipboard: CR LF between paragraphs.
std::string Selected(const TDoc& D, const TParaPos& S, const TParaPos& E) {
    std::string T;
    for (char X : Flat(D).substr(Offset(D, S), Offset(D, E) - Offset(D, S))) {
        if (X == '\n')
            T += "\r\n";
        else
            T += X;
    }
    return T;
}
// The text with the selection S .. E taken out.
TDoc WithoutSelection(const TDoc& D, const TParaPos& S, const TParaPos& E) {
    std::string F = Flat(D);
    F.erase(Offset(D, S), Offset(D, E) - Offset(D, S));
    return Unflat(F);
}

std::string Show(const TDoc& D) {
    std::string S;
    for (std::size_t I = 0; I < D.size(); ++I) {
        if (I > 0) S += "\\n";
        for (char C : D[I]) {
            const auto U = static_cast<unsigned char>(C);
            if (U >= 32 && U < 127)
                S += C;
            else
                S += "\\x" + std::to_string(U);
        }
    }
    return S;
}

struct TEpisodeResult {
    int Steps = 0;
    int TextChanges = 0; // steps after which the text differed
    int Undos = 0;       // undo steps taken back to the start
    int Errors = 0;      // failures the editor reported (limits)
    std::string Failure;
};

class TEpisode {
public:
    explicit TEpisode(std::uint64_t Seed)
        : R(Seed), Rig(Cols[R.Below(4)], Rows[R.Below(4)]), MarkerInText(MarkerCount, false) {}

    TEpisodeResult Run(int MaxSteps);

private:
    static constexpr int Cols[4] = {8, 20, 40, 80};
    static constexpr int Rows[4] = {1, 2, 5, 20};

    void Note(const std::string& What) {
        History.push_back(What);
        if (History.size() > 25) History.pop_front();
    }
    std::string Fail(int Step, const std::string& What) const {
        std::ostringstream Out;
        Out << "step " << Step << ": " << What << "\nlast steps:";
        for (const std::string& H : History)
            Out << "\n  " << H;
        Out << "\ntext now: " << Show(Rig.Text());
        return Out.str();
    }
    bool EditingAllowed() const {
        // A history that has to discard its oldest groups could not take the episode back to
        // its start, so the episode ends before one step could overflow the undo buffer.
        TParaList& L = Rig.Ed.ParaList();
        const int32_t Reserve =
            L.ByteCount() + 64 * L.ParaCount() + 2 * static_cast<int32_t>(ClipLen) + 2048;
        return L.UndoBuffer().Free() > Reserve;
    }
    std::string Step(int N);
    std::string Setting();
    // Everything was undone: the text is the loaded one, unmodified.
    bool UndoneAll() const { return Rig.Ed.ParaList().UndoCount() == 0; }

    TRng R;
    TRig Rig;
    std::vector<bool> MarkerInText;
    std::deque<std::string> History;
    std::size_t ClipLen = 0;
};

std::string TEpisode::Setting() {
    TModelEditor& Ed = Rig.Ed;
    std::ostringstream S;
    switch (R.Below(11)) {
    case 9:
        Ed.SetScrollPastEnd(!Ed.ScrollPastEnd());
        S << "ScrollPastEnd " << Ed.ScrollPastEnd() << " (WordWrap " << Ed.WordWrap() << ")";
        break;
    case 0:
        Ed.SetWordWrap(!Ed.WordWrap());
        S << "WordWrap " << Ed.WordWrap();
        break;
    case 1: {
        const int32_t Col = 1 + R.Below(R.OneIn(3) ? 8 : 120);
        Ed.SetWrapColumn(Col);
        S << "WrapColumn " << Col;
        break;
    }
    case 2: {
        const auto Size = static_cast<std::uint8_t>(R.OneIn(20) ? 0 : 1 + R.Below(16));
        Ed.SetTabSize(Size);
        S << "TabSize " << int(Size);
        break;
    }
    case 3:
        Ed.SetTabType(static_cast<TTabType>(R.Below(3)));
        S << "TabType " << int(Ed.TabType());
        break;
    case 4:
        Ed.SetAutoIndent(!Ed.AutoIndent());
        S << "AutoIndent " << Ed.AutoIndent();
        break;
    case 5:
        Ed.SetReadOnly(!Ed.ReadOnly());
        S << "ReadOnly " << Ed.ReadOnly();
        break;
    case 6: {
        // Limits just above (or below) what the text has, so that edits start failing.
        TParaList& L = Ed.ParaList();
        switch (R.Below(4)) {
        case 0: {
            int32_t Longest = 0;
            for (int32_t P = 1; P <= L.ParaCount(); ++P)
                Longest = std::max(Longest, L.GetParaLength(P));
            Ed.SetParaLengthLimit(std::max(1, Longest - 3 + R.Below(8)));
            S << "ParaLengthLimit " << Ed.ParaLengthLimit();
            break;
        }
        case 1:
            Ed.SetParaLimit(L.ParaCount() + R.Below(3));
            S << "ParaLimit " << Ed.ParaLimit();
            break;
        case 2:
            Ed.SetByteLimit(L.ByteCount() + R.Below(40));
            S << "ByteLimit " << Ed.ByteLimit();
            break;
        default:
            Ed.SetParaLengthLimit(DefaultParaLengthLimit);
            Ed.SetParaLimit(MaxLongint);
            Ed.SetByteLimit(MaxLongint);
            S << "limits off";
        }
        break;
    }
    case 7: {
        if (R.OneIn(5)) {
            Rig.Platform.ClipboardImpl.Text.reset();
            ClipLen = 0;
            S << "clipboard empty";
        } else {
            const std::string Block = RandomBlock(R);
            Rig.Platform.ClipboardImpl.Text = Block;
            ClipLen = Block.size();
            S << "clipboard " << Show({Block});
        }
        break;
    }
    case 8: {
        // A selection anywhere, ends given in any order and possibly outside the text.
        TParaList& L = Ed.ParaList();
        const int32_t P1 = 1 + R.Below(L.ParaCount() + 1), P2 = 1 + R.Below(L.ParaCount() + 1);
        const int32_t Q1 = 1 + R.Below(L.GetParaLength(std::min(P1, L.ParaCount())) + 4);
        const int32_t Q2 = 1 + R.Below(L.GetParaLength(std::min(P2, L.ParaCount())) + 4);
        const bool AtEnd = R.OneIn(2);
        Ed.SetSelectionByPara(P1, Q1, P2, Q2, AtEnd);
        S << "select (" << P1 << ", " << Q1 << ") .. (" << P2 << ", " << Q2 << ") " << AtEnd;
        break;
    }
    default: {
        TKroRect All{0, 0, Rig.Window.Width, Rig.Window.Height};
        Ed.Paint(Rig.Window.Surface, All);
        S << "paint";
    }
    }
    return S.str();
}

// One random step; returns a violation or "".
std::string TEpisode::Step(int N) {
    TModelEditor& Ed = Rig.Ed;
    const TDoc Old = Rig.Text();
    const bool OldModified = Ed.Modified();
    const bool OldReadOnly = Ed.ReadOnly();
    const bool OldSel = Ed.HasSelection();
    const bool OldInsert = Ed.InsertMode();
    const TTabType OldTabType = Ed.TabType();
    const std::uint8_t OldTabSize = Ed.TabSize();
    const int32_t OldCaretPos = Ed.CaretPos();
    const TParaPos OldCaret = Ed.CaretParaPos();
    const int OldErrors = Rig.Errors;

    const int Kind = R.Below(100);
    if (Kind < 8) {
        Note(Setting());
    } else if (Kind < 11 && Ed.CanUndo()) {
        // Undo and redo at once must land on the same text.
        Ed.ProcessCommand(ccUndo, 0);
        Ed.ProcessCommand(ccRedo, 0);
        Note("undo + redo");
        if (Rig.Text() != Old) return "undo followed by redo changed the text";
    } else {
        TKroCommand C;
        std::uint8_t Key = 0;
        if (Kind < 50) {
            C = ccChar;
            Key = static_cast<std::uint8_t>(RandomChar(R));
        } else if (Kind < 56) {
            // The clipboard commands, tabs and delete, often enough to meet selections, a full
            // clipboard, every tab type and virtual space.
            static const TKroCommand Clipboard[] = {ccCopy, ccCut, ccPaste, ccPaste,
                                                    ccTab,  ccTab, ccDel};
            C = Clipboard[R.Below(7)];
        } else if (Kind < 97) {
            C = static_cast<TKroCommand>(R.Below(76));
            Key = static_cast<std::uint8_t>(R.OneIn(8) ? R.Below(256) : '0' + R.Below(10));
        } else {
            static const TKroCommand Odd[] = {0, 76, 200, 248, 250, 252, 254, 255, 256, 300, 65535};
            C = Odd[R.Below(sizeof Odd / sizeof Odd[0])];
        }
        std::ostringstream S;
        S << "command " << C << " key " << int(Key) << (OldReadOnly ? " (read-only)" : "")
          << (OldInsert ? "" : " (overwrite)");
        Note(S.str());
        const TParaPos OldSelStart = Ed.SelStart(), OldSelEnd = Ed.SelEnd();
        const std::optional<std::string> OldClip = Rig.Platform.ClipboardImpl.Text;
        Ed.ProcessCommand(C, Key);
        const std::optional<std::string>& Clip = Rig.Platform.ClipboardImpl.Text;
        ClipLen = Clip ? Clip->size() : 0;
        // A marker set anew may stand in virtual space; it is judged from here on.
        if (C >= ccSetMarker0 && C <= ccSetMarker9 && Key >= '0' && Key <= '9')
            MarkerInText[Key - '0'] = false;
        const TDoc New = Rig.Text();
        if ((OldReadOnly || LeavesTextAlone(C)) && New != Old)
            return OldReadOnly ? "a read-only editor changed its text" : "command changed the text";
        if (OldReadOnly && Ed.Modified() != OldModified)
            return "a read-only editor changed Modified";
        const bool Failed = Rig.Errors != OldErrors;
        // Copy and cut put the selection on the clipboard; cut also takes it out of the text.
        if ((C == ccCopy || (C == ccCut && !OldReadOnly)) && OldSel && !Failed) {
            if (Clip != Selected(Old, OldSelStart, OldSelEnd))
                return "the clipboard does not hold the selection";
            if (C == ccCut && New != WithoutSelection(Old, OldSelStart, OldSelEnd))
                return "cut: want " + Show(WithoutSelection(Old, OldSelStart, OldSelEnd));
        }
        if (C == ccCut && OldReadOnly && Clip != OldClip) return "a read-only cut copied";
        // Paste replaces the selection by the clipboard's text, any line end a paragraph break,
        // and leaves the caret after what it inserted.
        if (C == ccPaste && !OldReadOnly && !Failed) {
            TDoc Want = Old;
            TParaPos At = OldCaret;
            std::string Block;
            if (OldClip)
                for (std::size_t I = 0; I < OldClip->size(); ++I) {
                    const char X = (*OldClip)[I];
                    if (X == '\r' && I + 1 < OldClip->size() && (*OldClip)[I + 1] == '\n') ++I;
                    Block += X == '\r' ? '\n' : X;
                }
            if (!Block.empty()) {
                if (OldSel) {
                    Want = WithoutSelection(Old, OldSelStart, OldSelEnd);
                    At = OldSelStart;
                }
                // Blanks fill virtual space only for text that goes there; a line break first
                // splits at the paragraph's end.
                std::string& P = Want[At.Para - 1];
                if (static_cast<std::size_t>(At.Pos - 1) > P.size()) {
                    if (Block[0] == '\n')
                        At.Pos = static_cast<int32_t>(P.size()) + 1;
                    else
                        P.append(static_cast<std::size_t>(At.Pos - 1) - P.size(), ' ');
                }
                std::string F = Flat(Want);
                const std::size_t O = Offset(Want, At);
                F.insert(O, Block);
                Want = Unflat(F);
                At = PosAt(Want, O + Block.size());
                if (!(Ed.CaretParaPos() == At))
                    return "paste left the caret at (" + std::to_string(Ed.CaretParaPos().Para) +
                           ", " + std::to_string(Ed.CaretParaPos().Pos) + "), not (" +
                           std::to_string(At.Para) + ", " + std::to_string(At.Pos) + ")";
            }
            if (New != Want) return "paste: want " + Show(Want);
        }
        // Delete without a selection takes the character at the caret; at or past the end it
        // joins the next paragraph there, blanks filling the gap only when text follows.
        if (C == ccDel && !OldReadOnly && !OldSel && !Failed) {
            TDoc Want = Old;
            std::string& P = Want[OldCaret.Para - 1];
            const auto At = static_cast<std::size_t>(OldCaret.Pos - 1);
            if (At < P.size()) {
                P.erase(At, 1);
            } else if (static_cast<std::size_t>(OldCaret.Para) < Want.size()) {
                const std::string Next = Want[OldCaret.Para];
                if (!Next.empty()) P.append(At - P.size(), ' ');
                P += Next;
                Want.erase(Want.begin() + OldCaret.Para);
            }
            if (New != Want) return "delete: want " + Show(Want);
        }
        // A real tab is typed as a character; a fixed one is blanks up to the next tab stop of
        // the caret's display line, which in overwrite mode replace as many characters.
        const bool RealTab = C == ccTab && OldTabType == ttReal;
        if (C == ccTab && OldTabType == ttFixed && !OldReadOnly && !OldSel && !Failed) {
            const int32_t Tab = std::max(1, static_cast<int>(OldTabSize));
            const int32_t Blanks = Tab * ((OldCaretPos - 1) / Tab + 1) + 1 - OldCaretPos;
            TDoc Want = Old;
            std::string& P = Want[OldCaret.Para - 1];
            const auto At = static_cast<std::size_t>(OldCaret.Pos - 1);
            if (At > P.size()) P.append(At - P.size(), ' ');
            if (!OldInsert) P.erase(At, static_cast<std::size_t>(Blanks));
            P.insert(At, static_cast<std::size_t>(Blanks), ' ');
            if (New != Want) return "fixed tab: want " + Show(Want);
            if (!(Ed.CaretParaPos() == TParaPos{OldCaret.Para, OldCaret.Pos + Blanks}))
                return "fixed tab left the caret at (" + std::to_string(Ed.CaretParaPos().Para) +
                       ", " + std::to_string(Ed.CaretParaPos().Pos) + ")";
        }
        if ((C == ccChar || RealTab) && !OldReadOnly && !OldSel) {
            const char Typed = RealTab ? '\t' : static_cast<char>(Key);
            TDoc Want = Old;
            std::string& P = Want[OldCaret.Para - 1];
            const auto At = static_cast<std::size_t>(OldCaret.Pos - 1);
            if (Rig.Errors != OldErrors) {
                Want = Old;
            } else if (OldInsert || At >= P.size()) {
                if (At > P.size()) P.append(At - P.size(), ' ');
                P.insert(At, 1, Typed);
            } else {
                P[At] = Typed;
            }
            if (New != Want) return "typed character: want " + Show(Want);
            const TParaPos Caret = Ed.CaretParaPos();
            if (Rig.Errors == OldErrors && !(Caret == TParaPos{OldCaret.Para, OldCaret.Pos + 1}))
                return "typed character left the caret at (" + std::to_string(Caret.Para) + ", " +
                       std::to_string(Caret.Pos) + ")";
        }
    }
    // Undo restores the flag of the state it returns to; every other change sets it.
    if (Rig.Text() != Old && !Ed.Modified() && !UndoneAll())
        return "text changed but Modified is false";
    if (N % 64 == 0) Rig.DropLogs();
    Rig.Window.DeliverPosted();
    return Violation(Rig, MarkerInText);
}

TEpisodeResult TEpisode::Run(int MaxSteps) {
    TEpisodeResult Result;
    TModelEditor& Ed = Rig.Ed;
    Ed.SetUndoBufferSize(65535);
    Ed.SetWordWrap(R.OneIn(2));
    Ed.SetWrapColumn(1 + R.Below(80));
    TDoc Start;
    const int Paras = R.Below(R.OneIn(5) ? 60 : 12);
    for (int I = 0; I < Paras; ++I)
        Start.push_back(RandomLine(R));
    Rig.Load(Start);
    const std::string Clip = RandomBlock(R);
    Rig.Platform.ClipboardImpl.Text = Clip;
    ClipLen = Clip.size();
    const TDoc Original = Rig.Text();
    if (std::string V = Violation(Rig, MarkerInText); !V.empty()) {
        Result.Failure = Fail(0, "after loading: " + V);
        return Result;
    }

    try {
        for (int N = 1; N <= MaxSteps && EditingAllowed(); ++N) {
            Result.Steps = N;
            const TDoc Before = Rig.Text();
            if (std::string V = Step(N); !V.empty()) {
                Result.Failure = Fail(N, V);
                return Result;
            }
            if (Rig.Text() != Before) ++Result.TextChanges;
        }
        Result.Errors = Rig.Errors;

        // Forward to the newest state, then back to the start: every group undone gives the
        // loaded text again, unmodified; redoing every group gives the newest state again.
        Ed.SetReadOnly(false);
        while (Ed.CanRedo())
            Ed.ProcessCommand(ccRedo, 0);
        const TDoc Final = Rig.Text();
        int Undos = 0;
        while (Ed.CanUndo() && Undos < 100000) {
            Ed.ProcessCommand(ccUndo, 0);
            ++Undos;
            ++Result.Undos;
            if (std::string V = Violation(Rig, MarkerInText); !V.empty()) {
                Result.Failure = Fail(Result.Steps, "while undoing: " + V);
                return Result;
            }
        }
        if (Rig.Text() != Original)
            Result.Failure =
                Fail(Result.Steps, "after " + std::to_string(Undos) +
                                       " undos the text is not the original " + Show(Original));
        else if (Ed.Modified())
            Result.Failure = Fail(Result.Steps, "everything undone but Modified is still set");
        if (!Result.Failure.empty()) return Result;
        while (Ed.CanRedo()) {
            Ed.ProcessCommand(ccRedo, 0);
            if (std::string V = Violation(Rig, MarkerInText); !V.empty()) {
                Result.Failure = Fail(Result.Steps, "while redoing: " + V);
                return Result;
            }
        }
        if (Rig.Text() != Final)
            Result.Failure =
                Fail(Result.Steps, "redoing everything did not give the final text " + Show(Final));
    } catch (const std::exception& E) {
        Result.Failure = Fail(Result.Steps, std::string("exception: ") + E.what());
    }
    return Result;
}
} // namespace

// CI runs a few dozen episodes; --iterations=N (episodes) runs as long as wanted, and
// --seed=S --iterations=1 replays the episode a failure names.
TEST(EditorModel, RandomCommandSequencesKeepTheEditorConsistentAndUndoable) {
    const int Episodes = IterationsOr(40);
    const std::uint64_t First = SeedOr(20240601);
    int Steps = 0, Changes = 0, Undos = 0, Errors = 0;
    for (int I = 0; I < Episodes; ++I) {
        const std::uint64_t Seed = First + static_cast<std::uint64_t>(I);
        TEpisode Episode(Seed);
        const TEpisodeResult Result = Episode.Run(400);
        Steps += Result.Steps;
        Changes += Result.TextChanges;
        Undos += Result.Undos;
        Errors += Result.Errors;
        if (!Result.Failure.empty()) {
            ADD_FAILURE() << "episode seed " << Seed << " (replay with --seed=" << Seed
                          << " --iterations=1)\n"
                          << Result.Failure;
            return;
        }
    }
    std::cout << "[ model    ] " << Episodes << " episodes, " << Steps
              << " random steps ran clean (" << Changes << " changed the text, " << Errors
              << " refused by limits, " << Undos << " undos back to the start)\n";
}
