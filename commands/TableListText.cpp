// The text form of a stored table list: ('Name' True (key command ...) ...).
#include "CommandProcessor.h"
#include "KroExceptions.h"

#include <algorithm>
#include <cstdint>

namespace {
// Printable ASCII goes into quoted runs (an apostrophe doubled); every other byte is #N.
void AppendString(std::string& Out, const std::string& S) {
    if (S.empty()) {
        Out += "''";
        return;
    }
    bool Quoted = false;
    for (const char Ch : S) {
        const auto C = static_cast<unsigned char>(Ch);
        if (C >= 32 && C < 127) {
            if (!Quoted) Out += '\'';
            Quoted = true;
            Out += Ch;
            if (Ch == '\'') Out += '\'';
        } else {
            if (Quoted) Out += '\'';
            Quoted = false;
            Out += '#' + std::to_string(C);
        }
    }
    if (Quoted) Out += '\'';
}

class Parser {
public:
    explicit Parser(const std::string& Text) : FText(Text) {}

    std::vector<TKroStoredTable> List() {
        Expect('(', "'(' opening the table list");
        std::vector<TKroStoredTable> Groups;
        while (!Take(')'))
            Groups.push_back(Group());
        SkipBlanks();
        if (FPos != FText.size()) Fail("end of text after the table list");
        return Groups;
    }

private:
    TKroStoredTable Group() {
        TKroStoredTable G;
        G.Name = String();
        G.Active = Boolean();
        Expect('(', "'(' opening the key and command pairs");
        while (!Take(')')) {
            const std::int32_t Key = Integer("a key value");
            if (Take(')')) Fail("a command code after key value " + std::to_string(Key));
            G.Pairs.emplace_back(Key, Integer("a command code"));
        }
        return G;
    }

    std::string String() {
        SkipBlanks();
        std::string S;
        bool Any = false;
        for (;;) {
            if (At('\'')) {
                ++FPos;
                for (;;) {
                    if (FPos >= FText.size() || FText[FPos] == '\r' || FText[FPos] == '\n')
                        Fail("a closing apostrophe");
                    if (FText[FPos] == '\'') {
                        if (FPos + 1 < FText.size() && FText[FPos + 1] == '\'') {
                            S += '\'';
                            FPos += 2;
                            continue;
                        }
                        ++FPos;
                        break;
                    }
                    S += FText[FPos++];
                }
            } else if (At('#')) {
                ++FPos;
                const std::size_t Start = FPos;
                int Code = 0;
                while (FPos < FText.size() && IsDigit(FText[FPos]) && FPos - Start < 3)
                    Code = Code * 10 + (FText[FPos++] - '0');
                if (FPos == Start || Code > 255 || (FPos < FText.size() && IsDigit(FText[FPos])))
                    Fail("a character code 0..255 after '#'");
                S += static_cast<char>(Code);
            } else {
                break;
            }
            Any = true;
        }
        if (!Any) Fail("a quoted table name");
        return S;
    }

    bool Boolean() {
        SkipBlanks();
        const std::size_t Start = FPos;
        while (FPos < FText.size() && IsLetter(FText[FPos]))
            ++FPos;
        const std::string Word = FText.substr(Start, FPos - Start);
        if (SameTableName(Word, "True")) return true;
        if (SameTableName(Word, "False")) return false;
        FPos = Start;
        Fail("True or False");
    }

    std::int32_t Integer(const std::string& What) {
        SkipBlanks();
        const std::size_t Start = FPos;
        const bool Negative = At('-');
        if (Negative) ++FPos;
        std::int64_t Value = 0;
        std::size_t Digits = 0;
        while (FPos < FText.size() && IsDigit(FText[FPos])) {
            ++Digits;
            Value = std::min<std::int64_t>(Value * 10 + (FText[FPos++] - '0'), 1LL << 32);
        }
        if (Negative) Value = -Value;
        const bool Ends = FPos >= FText.size() || IsBlank(FText[FPos]) || FText[FPos] == ')';
        if (Digits == 0 || !Ends || Value < INT32_MIN || Value > INT32_MAX) {
            FPos = Start;
            Fail(What + " (a 32-bit integer)");
        }
        return static_cast<std::int32_t>(Value);
    }

    static bool IsDigit(char C) { return C >= '0' && C <= '9'; }
    static bool IsLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }
    static bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\r' || C == '\n'; }

    void SkipBlanks() {
        while (FPos < FText.size() && IsBlank(FText[FPos]))
            ++FPos;
    }
    bool At(char C) const { return FPos < FText.size() && FText[FPos] == C; }
    bool Take(char C) {
        SkipBlanks();
        if (!At(C)) return false;
        ++FPos;
        return true;
    }
    void Expect(char C, const std::string& What) {
        if (!Take(C)) Fail(What);
    }
    [[noreturn]] void Fail(const std::string& Expected) {
        SkipBlanks();
        throw ECmdProcessorError("Invalid command table list at offset " + std::to_string(FPos) +
                                 ": expected " + Expected);
    }

    const std::string& FText;
    std::size_t FPos = 0;
};
} // namespace

std::string FormatTableList(const std::vector<TKroStoredTable>& Groups) {
    std::string Out = "(";
    for (std::size_t I = 0; I < Groups.size(); ++I) {
        const auto& G = Groups[I];
        if (I > 0) Out += ' ';
        AppendString(Out, G.Name);
        Out += G.Active ? " True (" : " False (";
        for (std::size_t P = 0; P < G.Pairs.size(); ++P) {
            if (P > 0) Out += ' ';
            Out += std::to_string(G.Pairs[P].first) + ' ' + std::to_string(G.Pairs[P].second);
        }
        Out += ')';
    }
    return Out + ')';
}

std::vector<TKroStoredTable> ParseTableList(const std::string& Text) {
    return Parser(Text).List();
}
