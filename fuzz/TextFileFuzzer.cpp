// Loads arbitrary bytes as a text file: every byte of every line must arrive in the document
// (lines split only where they exceed the paragraph limit), the document must be consistent,
// and saving it and loading the saved file must give the same paragraphs.
#include "Controller.h"
#include "FuzzCheck.h"
#include "Headless.h"
#include "KroExceptions.h"
#include "TextFileEditor.h"
#include "TextRoutines.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
using TDoc = std::vector<std::string>;

std::string TempPath(const char* What) {
    const char* Dir = std::getenv("TMPDIR");
    return std::string(Dir && *Dir ? Dir : "/tmp") + "/zx_fuzz_textfile_" + What + "_" +
           std::to_string(::getpid());
}

void WriteBytes(const std::string& Path, const std::uint8_t* Data, std::size_t Size) {
    std::FILE* F = std::fopen(Path.c_str(), "wb");
    FUZZ_CHECK(F != nullptr);
    FUZZ_CHECK(std::fwrite(Data, 1, Size, F) == Size);
    FUZZ_CHECK(std::fclose(F) == 0);
}

std::string ReadBytes(const std::string& Path) {
    std::string S;
    std::FILE* F = std::fopen(Path.c_str(), "rb");
    FUZZ_CHECK(F != nullptr);
    char Buf[4096];
    std::size_t N;
    while ((N = std::fread(Buf, 1, sizeof Buf, F)) > 0)
        S.append(Buf, N);
    std::fclose(F);
    return S;
}

struct TSettings {
    bool Trim = true;
    bool Wrap = false;
    std::int32_t WrapColumn = 80;
    std::int32_t ParaLengthLimit = DefaultParaLengthLimit;
};

// A headless editor with a window, as the application has it.
struct TRig {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow Window;
    TKroTextFileEditor Ed{nullptr, &Window};

    explicit TRig(const TSettings& S) {
        Window.Surface.Metrics = TKroTextMetrics{10, 9, 0};
        Ed.SetController(&Controller);
        Ed.CreateWnd();
        Ed.SetTrimWhiteSpace(S.Trim);
        Ed.SetWordWrap(S.Wrap);
        Ed.SetWrapColumn(S.WrapColumn);
        Ed.SetParaLengthLimit(S.ParaLengthLimit);
    }

    TDoc Paras() const {
        TDoc D;
        for (const TParaNode* N = Ed.ParaList().FirstNode(); N; N = N->Next())
            D.emplace_back(N->Text(), N->Length());
        return D;
    }

    void CheckConsistent() const {
        Ed.ParaList().CheckInvariant();
        Ed.CheckInvariant();
        FUZZ_CHECK(!Ed.Modified());
        FUZZ_CHECK(Ed.IsOpen());
        FUZZ_CHECK(Ed.ParaList().UndoCount() == 0);
    }
};

// The lines of a file: CR LF, LF and CR end a line; a Ctrl+Z as the very last byte is the old
// end-of-file mark; a line end at the end of the file adds no line.
TDoc FileLines(const std::string& Bytes) {
    std::string B = Bytes;
    if (!B.empty() && B.back() == 26) B.pop_back();
    TDoc Lines;
    std::string Line;
    bool Open = false;
    for (std::size_t I = 0; I < B.size(); ++I) {
        if (B[I] == '\r' || B[I] == '\n') {
            if (B[I] == '\r' && I + 1 < B.size() && B[I + 1] == '\n') ++I;
            Lines.push_back(Line);
            Line.clear();
            Open = false;
        } else {
            Line += B[I];
            Open = true;
        }
    }
    if (Open) Lines.push_back(Line);
    return Lines;
}

// The paragraphs a load makes of those lines: trailing blanks trimmed when asked, lines longer
// than the limit cut at their last blank within it (or at the limit), and the empty paragraph
// after the last line.
TDoc LoadedParas(const TDoc& Lines, const TSettings& S) {
    TDoc D;
    const std::int32_t Limit = std::min(S.ParaLengthLimit, MaxParaLength);
    for (std::string L : Lines) {
        if (S.Trim)
            while (!L.empty() && IsBlank(L.back()))
                L.pop_back();
        std::size_t At = 0;
        do {
            std::size_t Piece = L.size() - At;
            if (Piece > static_cast<std::size_t>(Limit)) {
                Piece = static_cast<std::size_t>(Limit);
                for (std::size_t K = Limit; K > 0; --K)
                    if (IsBlank(L[At + K - 1])) {
                        Piece = K;
                        break;
                    }
                // With trimming the blanks at the cut open the next piece; when that would
                // leave nothing, the piece is cut at the limit instead.
                if (S.Trim) {
                    std::size_t Kept = Piece;
                    while (Kept > 0 && IsBlank(L[At + Kept - 1]))
                        --Kept;
                    Piece = Kept > 0 ? Kept : static_cast<std::size_t>(Limit);
                }
            }
            D.push_back(L.substr(At, Piece));
            At += Piece;
        } while (At < L.size());
    }
    D.emplace_back();
    return D;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const std::string Input = TempPath("in");
    static const std::string Saved = TempPath("saved");
    WriteBytes(Input, Data, Size);
    const std::string Bytes(reinterpret_cast<const char*>(Data), Size);

    // The settings come from the input's last byte; the whole input is the file.
    const std::uint8_t Pick = Size > 0 ? Data[Size - 1] : 0;
    TSettings S;
    S.Trim = (Pick & 1) == 0;
    S.Wrap = (Pick & 2) != 0;
    S.WrapColumn = 1 + (Pick >> 2) % 50;
    switch ((Pick >> 4) & 3) {
    case 1:
        S.ParaLengthLimit = 1 + static_cast<std::int32_t>(Size % 40);
        break;
    case 2:
        S.ParaLengthLimit = 1 + (Pick >> 6);
        break;
    default:
        break;
    }

    TRig First(S);
    First.Ed.LoadFromFile(Input);
    First.CheckConsistent();
    const TDoc Loaded = First.Paras();
    FUZZ_CHECK(Loaded == LoadedParas(FileLines(Bytes), S));

    // Saving writes every paragraph with CR LF, the empty last one not at all.
    First.Ed.SaveToFile(Saved);
    std::string Want;
    for (std::size_t I = 0; I < Loaded.size(); ++I)
        if (I + 1 < Loaded.size() || !Loaded[I].empty()) Want += Loaded[I] + "\r\n";
    FUZZ_CHECK(ReadBytes(Saved) == Want);

    // Loading the saved file reads what was written, and that is the document that was saved.
    TRig Second(S);
    Second.Ed.LoadFromFile(Saved);
    Second.CheckConsistent();
    FUZZ_CHECK(Second.Paras() == LoadedParas(FileLines(Want), S));
    // What was loaded comes back, except a piece that is nothing but blanks (a blank run longer
    // than the paragraph limit): trimming on the next read empties it, and nothing can avoid it.
    TDoc Expected = Loaded;
    if (S.Trim)
        for (std::string& P : Expected)
            if (std::all_of(P.begin(), P.end(), IsBlank)) P.clear();
    FUZZ_CHECK(Second.Paras() == Expected);
    return 0;
}
