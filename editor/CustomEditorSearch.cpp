// The editor control's search and replace: a Boyer-Moore-Horspool matcher run directly over each
// paragraph's own text, forwards or backwards, with whole-word and range tests.
#include "CustomEditor.h"

#include "Cp1252.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {

// Pattern and replacement are cut to this many characters.
constexpr std::size_t MaxSearchLength = 255;

// Upper case of every byte, built once from the code page's table.
const std::array<unsigned char, 256>& UpperTable() {
    static const std::array<unsigned char, 256> Table = [] {
        std::array<unsigned char, 256> T{};
        for (int C = 0; C < 256; ++C)
            T[C] = KroCp1252Upper(static_cast<unsigned char>(C));
        return T;
    }();
    return Table;
}

// Finds one pattern in runs of text. Without case the pattern is held in upper case and every
// text byte is upper-cased through the table as it is looked at; the text is never copied.
// Both shift tables are indexed by the raw text byte, the case folding already applied, so the
// skip loop costs the same with and without case.
class TMatcher {
public:
    TMatcher(std::string_view Pattern, bool MatchCase)
        : FLen(static_cast<std::int32_t>(Pattern.size())), FMatchCase(MatchCase) {
        const auto& Up = UpperTable();
        for (std::int32_t I = 0; I < FLen; ++I) {
            const auto C = static_cast<unsigned char>(Pattern[static_cast<std::size_t>(I)]);
            FPat[static_cast<std::size_t>(I)] = MatchCase ? C : Up[C];
        }
        // Forward: the distance of a byte's last occurrence among the first L - 1 pattern
        // characters from the pattern's end; L for bytes that do not occur there.
        // Backward: the distance of its first occurrence among the last L - 1 characters from
        // the pattern's start.
        std::array<std::uint8_t, 256> Fwd, Bwd;
        Fwd.fill(static_cast<std::uint8_t>(FLen));
        Bwd.fill(static_cast<std::uint8_t>(FLen));
        for (std::int32_t I = 0; I < FLen - 1; ++I)
            Fwd[FPat[static_cast<std::size_t>(I)]] = static_cast<std::uint8_t>(FLen - 1 - I);
        for (std::int32_t I = FLen - 1; I >= 1; --I)
            Bwd[FPat[static_cast<std::size_t>(I)]] = static_cast<std::uint8_t>(I);
        for (int C = 0; C < 256; ++C) {
            const unsigned char F = MatchCase ? static_cast<unsigned char>(C) : Up[C];
            FShift[C] = Fwd[F];
            FBackShift[C] = Bwd[F];
        }
    }

    std::int32_t Length() const { return FLen; }

    // Offset of the first match lying within T[From, To), or -1.
    std::int32_t FindFirst(const char* T, std::int32_t From, std::int32_t To) const {
        if (To - From < FLen) return -1;
        const auto* U = reinterpret_cast<const unsigned char*>(T);
        if (FMatchCase) {
            if (FLen == 1) {
                const void* P = std::memchr(U + From, FPat[0], static_cast<std::size_t>(To - From));
                return P ? static_cast<std::int32_t>(static_cast<const unsigned char*>(P) - U) : -1;
            }
            return Forward<true>(U, From, To);
        }
        return Forward<false>(U, From, To);
    }

    // Offset of the last match lying within T[From, To), or -1.
    std::int32_t FindLast(const char* T, std::int32_t From, std::int32_t To) const {
        if (To - From < FLen) return -1;
        const auto* U = reinterpret_cast<const unsigned char*>(T);
        return FMatchCase ? Backward<true>(U, From, To) : Backward<false>(U, From, To);
    }

    // Whether the L characters at T equal the pattern.
    bool MatchesAt(const char* T) const {
        const auto* U = reinterpret_cast<const unsigned char*>(T);
        const auto& Up = UpperTable();
        for (std::int32_t I = 0; I < FLen; ++I) {
            const unsigned char C = FMatchCase ? U[I] : Up[U[I]];
            if (C != FPat[static_cast<std::size_t>(I)]) return false;
        }
        return true;
    }

private:
    template <bool Exact> static unsigned char Fold(unsigned char C, const unsigned char* Up) {
        if constexpr (Exact)
            return C;
        else
            return Up[C];
    }

    template <bool Exact>
    std::int32_t Forward(const unsigned char* U, std::int32_t From, std::int32_t To) const {
        const unsigned char* Up = UpperTable().data();
        const std::int32_t L1 = FLen - 1;
        const unsigned char Last = FPat[static_cast<std::size_t>(L1)];
        const unsigned char* P = U + From + L1; // the text byte under the pattern's last one
        const unsigned char* const End = U + To;
        while (P < End) {
            const unsigned char C = *P;
            if (Fold<Exact>(C, Up) == Last) {
                const unsigned char* S = P - L1;
                std::int32_t J = L1 - 1;
                while (J >= 0 && Fold<Exact>(S[J], Up) == FPat[static_cast<std::size_t>(J)])
                    --J;
                if (J < 0) return static_cast<std::int32_t>(S - U);
            }
            P += FShift[C];
        }
        return -1;
    }

    template <bool Exact>
    std::int32_t Backward(const unsigned char* U, std::int32_t From, std::int32_t To) const {
        const unsigned char* Up = UpperTable().data();
        const unsigned char First = FPat[0];
        const unsigned char* P = U + To - FLen; // the text byte under the pattern's first one
        const unsigned char* const Begin = U + From;
        while (P >= Begin) {
            const unsigned char C = *P;
            if (Fold<Exact>(C, Up) == First) {
                std::int32_t J = 1;
                while (J < FLen && Fold<Exact>(P[J], Up) == FPat[static_cast<std::size_t>(J)])
                    ++J;
                if (J == FLen) return static_cast<std::int32_t>(P - U);
            }
            // Stop before stepping in front of the text.
            if (P - Begin < FBackShift[C]) break;
            P -= FBackShift[C];
        }
        return -1;
    }

    std::int32_t FLen;
    bool FMatchCase;
    std::array<unsigned char, MaxSearchLength> FPat{};
    std::array<std::uint8_t, 256> FShift{};
    std::array<std::uint8_t, 256> FBackShift{};
};

bool Before(const TParaPos& A, const TParaPos& B) {
    return A.Para < B.Para || (A.Para == B.Para && A.Pos < B.Pos);
}

} // namespace

bool TKroCustomEditor::Search(std::string_view S, TSearchFlags Flags) {
    return SearchReplace(S, std::nullopt, Flags) == 0;
}

int TKroCustomEditor::Replace(std::string_view S, std::string_view R, TSearchFlags Flags) {
    return SearchReplace(S, R, Flags);
}

int TKroCustomEditor::SearchReplace(std::string_view S, std::optional<std::string_view> R,
                                    TSearchFlags Flags) {
    if (S.empty()) return 0;
    S = S.substr(0, MaxSearchLength);
    const bool Replacing = (Flags & (sfReplace | sfReplaceAll)) != 0;
    if (Replacing && !R) return 0;
    const std::string Repl = R ? std::string(R->substr(0, MaxSearchLength)) : std::string();
    const auto RLen = static_cast<std::int32_t>(Repl.size());
    // A read-only text is searched but never changed.
    const bool MayReplace = Replacing && !ReadOnly();
    const bool ReplaceAll = MayReplace && (Flags & sfReplaceAll) != 0;
    const bool Backward = (Flags & sfBackward) != 0;
    const bool SelectedOnly = (Flags & sfSelectedOnly) != 0;
    const bool WholeWord = (Flags & sfWholeWord) != 0;

    const TMatcher Matcher(S, (Flags & sfMatchCase) != 0);
    const std::int32_t L = Matcher.Length();
    const std::int32_t Delta = RLen - L;

    // Growth beyond the paragraph's or the document's limit is refused before anything changes.
    auto CheckGrowth = [&](TParaNode* Node) -> TResultCode {
        if (Delta <= 0) return erOK;
        const std::int32_t MaxLen = std::min(FParaLengthLimit, MaxParaLength);
        if (std::int64_t(Node->Length()) + Delta > MaxLen) return erParaTooLong;
        if (std::int64_t(FParaList->ByteCount()) + Delta > FParaList->ByteLimit())
            return erTextTooLarge;
        return erOK;
    };

    // The selection itself, when it is an occurrence, is replaced first.
    int Count = 0;
    TParaPos ReplacedAt{0, 0};
    if (MayReplace && HasSelection() && FSelStart.Para == FSelEnd.Para &&
        FSelEnd.Pos - FSelStart.Pos == L) {
        TParaNode* Node = FParaList->GetPara(FSelStart.Para);
        if (Node && FSelEnd.Pos - 1 <= Node->Length() &&
            Matcher.MatchesAt(Node->Text() + FSelStart.Pos - 1)) {
            ReplacedAt = FSelStart;
            TResultCode Rc = CheckGrowth(Node);
            if (Rc == erOK) Rc = InsertString(Repl);
            if (Rc != erOK) {
                DoOnError(Rc);
                return Rc;
            }
            Count = 1;
        }
    }

    TKroBusyCursor Busy;

    const std::int32_t Paras = FParaList->ParaCount();
    TParaPos Start;
    if (SelectedOnly)
        Start = Backward ? FSelEnd : FSelStart;
    else if ((Flags & sfEntireScope) == 0)
        // Backwards the search goes on in front of the replacement, which may hold the
        // pattern itself; the caret stands behind it.
        Start = Backward && Count == 1 ? ReplacedAt : CaretParaPos();
    else if (!Backward)
        Start = {1, 1};
    else
        Start = {Paras, FParaList->GetParaLength(Paras) + 1};

    // A match starts at or after RangeStart and ends before RangeEnd.
    TParaPos RangeStart, RangeEnd;
    if (SelectedOnly) {
        RangeStart = FSelStart;
        RangeEnd = FSelEnd;
    } else if ((Flags & sfEntireScope) != 0) {
        RangeStart = {1, 1};
        RangeEnd = {Paras + 1, 1};
    } else if (!Backward) {
        RangeStart = Start;
        RangeEnd = {Paras + 1, 1};
    } else {
        RangeStart = {1, 1};
        RangeEnd = Start;
    }
    const bool CaretAtSelEnd = HasSelection() && FSelCaretEnd == FSelEnd;
    // The caret keeps its place in the text while replacements change the text around it.
    TParaPos Caret = CaretParaPos();

    TResultCode Failure = erOK;
    bool Found = false;
    std::int32_t FoundPara = 0, FoundAt = 0;

    auto WholeWordAt = [&](const char* T, std::int32_t Len, std::int32_t M) {
        if (M > 0 && !IsWordDelimiter(T[M - 1])) return false;
        if (M + L < Len && !IsWordDelimiter(T[M + L])) return false;
        return true;
    };
    // Replaces the occurrence at offset M of paragraph Para; positions behind it follow.
    auto ReplaceAt = [&](std::int32_t Para, TParaNode* Node, std::int32_t M) -> TResultCode {
        TResultCode Rc = CheckGrowth(Node);
        if (Rc == erOK) Rc = FParaList->ReplaceText(this, Para, RLen, Repl.data(), L, M + 1);
        if (Rc != erOK) return Rc;
        ++Count;
        const std::int32_t EndPos = M + 1 + L;
        for (TParaPos* P : {&RangeStart, &RangeEnd})
            if (P->Para == Para && P->Pos >= EndPos) P->Pos += Delta;
        if (Delta > 0)
            TParaList::AdjustForTextInserted(Caret, Para, Delta, EndPos);
        else if (Delta < 0)
            TParaList::AdjustForTextDeleted(Caret, Para, -Delta, M + 1 + RLen);
        return erOK;
    };

    TParaNode* Node =
        Start.Para >= 1 && Start.Para <= Paras ? FParaList->GetPara(Start.Para) : nullptr;
    std::int32_t Para = Start.Para;
    if (!Backward) {
        std::int32_t From = std::max(0, Start.Pos - 1);
        const std::int32_t LastPara = std::min(RangeEnd.Para, Paras);
        while (Node && Para <= LastPara && !Found && Failure == erOK) {
            if (Para == RangeStart.Para) From = std::max(From, RangeStart.Pos - 1);
            for (;;) {
                const std::int32_t Len = Node->Length();
                std::int32_t To = Len;
                if (Para == RangeEnd.Para) To = std::min(To, RangeEnd.Pos - 1);
                if (To - From < L) break; // too short: its text is not even looked at
                const char* T = Node->Text();
                const std::int32_t M = Matcher.FindFirst(T, From, To);
                if (M < 0) break;
                if (WholeWord && !WholeWordAt(T, Len, M)) {
                    From = M + 1;
                } else if (ReplaceAll) {
                    Failure = ReplaceAt(Para, Node, M);
                    if (Failure != erOK) break;
                    From = M + RLen;
                } else {
                    Found = true;
                    FoundPara = Para;
                    FoundAt = M;
                    break;
                }
            }
            Node = Node->Next();
            ++Para;
            From = 0;
        }
    } else {
        std::int32_t To = std::max(0, Start.Pos - 1);
        const std::int32_t FirstPara = std::max(RangeStart.Para, 1);
        while (Node && Para >= FirstPara && !Found && Failure == erOK) {
            const std::int32_t From = Para == RangeStart.Para ? std::max(0, RangeStart.Pos - 1) : 0;
            for (;;) {
                const std::int32_t Len = Node->Length();
                To = std::min(To, Len);
                if (Para == RangeEnd.Para) To = std::min(To, RangeEnd.Pos - 1);
                if (To - From < L) break;
                const char* T = Node->Text();
                const std::int32_t M = Matcher.FindLast(T, From, To);
                if (M < 0) break;
                if (WholeWord && !WholeWordAt(T, Len, M)) {
                    // Earlier occurrences may overlap this one: they end before its end.
                    To = M + L - 1;
                } else if (ReplaceAll) {
                    Failure = ReplaceAt(Para, Node, M);
                    if (Failure != erOK) break;
                    To = M;
                } else {
                    Found = true;
                    FoundPara = Para;
                    FoundAt = M;
                    break;
                }
            }
            Node = Node->Prev();
            --Para;
            To = MaxLongint;
        }
    }

    if (Found) {
        SetSelectionByPara(FoundPara, FoundAt + 1, FoundPara, FoundAt + 1 + L, !Backward);
    } else if (ReplaceAll && Count > 0) {
        if (SelectedOnly && Before(RangeStart, RangeEnd)) {
            SetSelectionByPara(RangeStart.Para, RangeStart.Pos, RangeEnd.Para, RangeEnd.Pos,
                               CaretAtSelEnd);
        } else {
            SetCaretFromParaPos(Caret);
            ResetSelection(false);
        }
        UpdateVScrollRange();
        ScrollBy(0, 0);
        InvalidateAll(true);
    }

    if (Failure != erOK) {
        DoOnError(Failure);
        return Failure;
    }
    if (Count != 0) return Count;
    return Found ? 0 : -1;
}
