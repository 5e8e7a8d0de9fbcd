// Inserts arbitrary text blocks into a document at arbitrary places, with word wrap, tab sizes
// and limits chosen by the input; the result must match a model of the insertion, keep the
// list's invariants and markers, and one undo must give back the document byte for byte.
#include "FuzzCheck.h"
#include "ParaList.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {
struct TSilentClient : IParaListClient {
    void TextInserted(int32_t, int32_t, int32_t) override {}
    void TextDeleted(int32_t, int32_t, int32_t) override {}
    void ParaDeleted(int32_t) override {}
    void ParaSplit(int32_t, int32_t, int32_t) override {}
    void ParasJoined(int32_t, int32_t) override {}
    void TextReformatted() override {}
};

using TDoc = std::vector<std::string>;

TDoc Paras(const TParaList& L) {
    TDoc R;
    for (const TParaNode* N = L.FirstNode(); N; N = N->Next())
        R.emplace_back(N->Text(), N->Length());
    return R;
}

// Reads the header bytes of the input, zero once they run out.
struct TBytes {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Pos = 0;
    std::uint8_t Next() { return Pos < Size ? Data[Pos++] : 0; }
};

void InsertAt(TDoc& D, int32_t Para, int32_t Pos, const std::string& S) {
    std::string& T = D[Para - 1];
    if (Pos > static_cast<int32_t>(T.size()) + 1) T.append(Pos - 1 - T.size(), ' ');
    T.insert(Pos - 1, S);
}

// What the insertion does when every step succeeds: segments end after a line feed; a segment's
// trailing CR/LF run is its line end; a text without any line feed is plain characters.
void Model(TDoc& D, TParaPos& At, const std::string& Text) {
    if (Text.empty()) return;
    if (Text.find('\n') == std::string::npos) {
        InsertAt(D, At.Para, At.Pos, Text);
        At.Pos += static_cast<int32_t>(Text.size());
        return;
    }
    std::size_t P = 0;
    while (P < Text.size()) {
        const std::size_t Lf = Text.find('\n', P);
        const std::size_t End = Lf == std::string::npos ? Text.size() : Lf + 1;
        std::size_t Content = End - P;
        while (Content > 0 && (Text[P + Content - 1] == '\r' || Text[P + Content - 1] == '\n'))
            --Content;
        const bool EndsLine = Content < End - P;
        const std::string C = Text.substr(P, Content);
        if (EndsLine && At.Pos == 1) {
            D.insert(D.begin() + (At.Para - 1), C);
        } else {
            if (!C.empty()) {
                InsertAt(D, At.Para, At.Pos, C);
                At.Pos += static_cast<int32_t>(C.size());
            }
            if (EndsLine) {
                std::string& T = D[At.Para - 1];
                const std::size_t Cut = std::min<std::size_t>(At.Pos - 1, T.size());
                std::string Tail = T.substr(Cut);
                T.erase(Cut);
                D.insert(D.begin() + At.Para, std::move(Tail));
            }
        }
        if (EndsLine) At = {At.Para + 1, 1};
        P = End;
    }
}

// The document as one string, paragraphs separated by LF (no paragraph holds one).
std::string Flat(const TDoc& D) {
    std::string S;
    for (std::size_t I = 0; I < D.size(); ++I) {
        if (I > 0) S += '\n';
        S += D[I];
    }
    return S;
}
std::size_t Offset(const TDoc& D, const TParaPos& P) {
    std::size_t O = 0;
    for (int32_t I = 1; I < P.Para; ++I)
        O += D[I - 1].size() + 1;
    return O + static_cast<std::size_t>(P.Pos - 1);
}

void CheckMarkers(TParaList& L) {
    for (int N = 0; N < MarkerCount; ++N) {
        const TParaPos M = L.Marker(N);
        if (M == TParaPos{}) continue;
        FUZZ_CHECK(M.Para >= 1 && M.Para <= L.ParaCount());
        FUZZ_CHECK(M.Pos >= 1 && M.Pos <= L.GetParaLength(M.Para) + 1);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    TBytes In{Data, Size};
    const std::uint8_t Flags = In.Next();
    const std::uint8_t Wrap = In.Next();
    const std::uint8_t Tab = In.Next();
    const std::uint8_t ParaPick = In.Next();
    const std::uint8_t PosPick = In.Next();
    const std::uint8_t LimitPick = In.Next();
    const std::uint8_t MarkerPick = In.Next();
    const std::size_t DocLen = std::min<std::size_t>(In.Next() * 4, Size - In.Pos);
    const std::string DocText(reinterpret_cast<const char*>(Data + In.Pos), DocLen);
    const std::string Block(reinterpret_cast<const char*>(Data + In.Pos + DocLen),
                            Size - In.Pos - DocLen);

    TSilentClient Client;
    TParaList L(&Client, (Flags & 1) != 0, 65535);
    L.SetWrapColumn(1 + Wrap % 40);
    L.SetTabSize(static_cast<std::uint8_t>(1 + Tab % 16));

    // The document as a load leaves it (an empty last paragraph), or with that paragraph typed
    // into as well.
    std::size_t Start = 0;
    for (;;) {
        const std::size_t Lf = DocText.find('\n', Start);
        if (Lf == std::string::npos) break;
        L.AppendPara(DocText.data() + Start, static_cast<int32_t>(Lf - Start), false);
        Start = Lf + 1;
    }
    if (Start < DocText.size()) {
        const std::string Last = DocText.substr(Start);
        if (Flags & 2)
            FUZZ_CHECK(L.InsertText(&Client, L.ParaCount(), static_cast<int32_t>(Last.size()),
                                    Last.data(), 1) == erOK);
        else
            L.AppendPara(Last.data(), static_cast<int32_t>(Last.size()), false);
    }
    L.UndoBuffer().Clear();
    L.SetModified(false);
    L.CheckInvariant();

    const TDoc Original = Paras(L);
    for (int N = 0; N < MarkerCount; ++N) {
        const int32_t Para = 1 + (MarkerPick * (N + 3)) % L.ParaCount();
        L.SetMarker(N, Para, 1 + (MarkerPick + N * 7) % (L.GetParaLength(Para) + 1));
    }

    // Limits low enough to make some insertions fail part way.
    const bool Limited = (Flags & 0x0C) != 0;
    switch ((Flags >> 2) & 3) {
    case 1:
        L.SetParaLengthLimit(1 + LimitPick % 64);
        break;
    case 2:
        L.SetParaLimit(L.ParaCount() + LimitPick % 6);
        break;
    case 3:
        L.SetByteLimit(L.ByteCount() + LimitPick % 200);
        break;
    }

    TParaPos At;
    At.Para = 1 + ParaPick % L.ParaCount();
    At.Pos = 1 + PosPick % (L.GetParaLength(At.Para) + 5);
    const TParaPos From = At;
    TDoc Expected = Original;
    TParaPos ExpectedAt = At;
    Model(Expected, ExpectedAt, Block);

    const TResultCode R =
        L.InsertTextBlock(&Client, At, Block.data(), static_cast<int32_t>(Block.size()));
    L.CheckInvariant();
    CheckMarkers(L);
    const TDoc After = Paras(L);
    if (After != Original) FUZZ_CHECK(L.Modified());
    if (R == erOK) {
        FUZZ_CHECK(After == Expected);
        FUZZ_CHECK(At == ExpectedAt);
    } else {
        FUZZ_CHECK(Limited);
        FUZZ_CHECK(R == erTooManyParas || R == erTextTooLarge || R == erParaTooLong);
        // What was inserted before the failing step stays, between the untouched text before
        // and after the insertion point, and At ends where the insertion got to.
        FUZZ_CHECK(At.Para >= 1 && At.Para <= L.ParaCount() && At.Pos >= 1);
        if (From.Pos <= static_cast<int32_t>(Original[From.Para - 1].size()) + 1) {
            const std::string Was = Flat(Original), Now = Flat(After);
            const std::size_t Cut = std::min(Offset(Original, From), Was.size());
            FUZZ_CHECK(Now.size() >= Was.size());
            FUZZ_CHECK(Now.compare(0, Cut, Was, 0, Cut) == 0);
            FUZZ_CHECK(Now.compare(Now.size() - (Was.size() - Cut), Was.size() - Cut, Was, Cut) ==
                       0);
            if (At.Pos <= static_cast<int32_t>(After[At.Para - 1].size()) + 1) {
                const std::size_t Reached = Offset(After, At);
                FUZZ_CHECK(Reached >= Cut && Reached <= Now.size() - (Was.size() - Cut));
            }
        }
    }

    // One undo takes the whole insertion back, and a redo brings it again. A group too large for
    // the undo buffer is dropped as a whole, and then nothing can be undone.
    if (L.UndoCount() == 0) {
        std::size_t Lines = std::count(Block.begin(), Block.end(), '\n');
        if (Block.size() + Lines * 80 < 30000) FUZZ_CHECK(After == Original);
        return 0;
    }
    int32_t Para = 0, Pos = 0;
    L.Undo(&Client, Para, Pos);
    L.CheckInvariant();
    CheckMarkers(L);
    FUZZ_CHECK(Paras(L) == Original);
    FUZZ_CHECK(L.UndoCount() == 0);
    FUZZ_CHECK(Para >= 1 && Para <= L.ParaCount());
    L.Redo(&Client, Para, Pos);
    L.CheckInvariant();
    CheckMarkers(L);
    FUZZ_CHECK(Paras(L) == After);
    return 0;
}
