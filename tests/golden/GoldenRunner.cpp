// Runs the behaviour examples of cases.golden: a text with the caret and selection marked in it,
// the keys pressed, the text expected, through the editor's own key and character handling with
// the command tables named by each case; no display involved.
//
// Case file format (blank lines and lines starting with '#' are ignored):
//   case: <name>              starts a case
//   tables: WordStar Default  the active tables, in search order (default: Default)
//   options: readonly overwrite autoindent nowantenter   (any of them; default none)
//   clipboard: <text>         what the clipboard holds before the keys ("\r" and "\n" escapes)
//   > <paragraph>             the text before, one line per paragraph, '|' caret, '{' '}' selection
//   keys: <key> <key> ...     Ctrl+Q, Shift+End, Ctrl+Shift+3, Enter, F5, "typed text", ...
//   = <paragraph>             the text expected, in the same notation
//   clipboard after: <text>   optional: what the clipboard must hold afterwards
#include "EditorRig.h"

#include "VirtualKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TGoldenCase {
    std::string Name;
    int Line = 0; // where the case starts in the file
    std::vector<std::string> Tables{"Default"};
    std::vector<std::string> Options;
    std::optional<std::string> Clipboard;
    std::vector<std::string> Before;
    std::string Keys;
    std::vector<std::string> After;
    std::optional<std::string> ClipboardAfter;
};

std::string Unescape(const std::string& S) {
    std::string Out;
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (S[I] == '\\' && I + 1 < S.size()) {
            const char C = S[++I];
            Out += C == 'r' ? '\r' : C == 'n' ? '\n' : C == 't' ? '\t' : C;
        } else {
            Out += S[I];
        }
    }
    return Out;
}

std::string Join(const std::vector<std::string>& Paras) {
    std::string S;
    for (std::size_t I = 0; I < Paras.size(); ++I)
        S += (I ? "\n" : "") + Paras[I];
    return S;
}

std::vector<std::string> Words(const std::string& S) {
    std::istringstream In(S);
    std::vector<std::string> W;
    for (std::string X; In >> X;)
        W.push_back(X);
    return W;
}

// Reads the case file; a malformed file yields one case that fails with the reason.
std::vector<TGoldenCase> LoadCases(const std::string& Path) {
    std::vector<TGoldenCase> Cases;
    std::ifstream In(Path);
    if (!In) {
        TGoldenCase Bad;
        Bad.Name = "cannot read " + Path;
        Cases.push_back(Bad);
        return Cases;
    }
    auto Value = [](const std::string& Line, const std::string& Key) {
        std::string V = Line.substr(Key.size());
        const std::size_t First = V.find_first_not_of(' ');
        return First == std::string::npos ? std::string() : V.substr(First);
    };
    std::string Line;
    int No = 0;
    while (std::getline(In, Line)) {
        ++No;
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (Line.empty() || Line[0] == '#') continue;
        if (Line.rfind("case:", 0) == 0) {
            Cases.emplace_back();
            Cases.back().Name = Value(Line, "case:");
            Cases.back().Line = No;
            continue;
        }
        if (Cases.empty()) continue;
        TGoldenCase& C = Cases.back();
        if (Line.rfind("tables:", 0) == 0)
            C.Tables = Words(Value(Line, "tables:"));
        else if (Line.rfind("options:", 0) == 0)
            C.Options = Words(Value(Line, "options:"));
        else if (Line.rfind("clipboard after:", 0) == 0)
            C.ClipboardAfter = Unescape(Value(Line, "clipboard after:"));
        else if (Line.rfind("clipboard:", 0) == 0)
            C.Clipboard = Unescape(Value(Line, "clipboard:"));
        else if (Line.rfind("keys:", 0) == 0)
            C.Keys = Value(Line, "keys:");
        else if (Line[0] == '>')
            C.Before.push_back(Unescape(Line.size() > 2 ? Line.substr(2) : ""));
        else if (Line[0] == '=')
            C.After.push_back(Unescape(Line.size() > 2 ? Line.substr(2) : ""));
    }
    return Cases;
}

const std::vector<TGoldenCase>& AllCases() {
    static const std::vector<TGoldenCase> Cases = LoadCases(ZANTRIX_GOLDEN_CASES);
    return Cases;
}

// One key press as the host delivers it: key-down (system key-down with Alt), then the
// character the key produces, if any.
struct TKeyPress {
    std::uint16_t Key = 0;
    TKroShiftState Shift = 0;
    char Ch = 0;
};

std::optional<TKeyPress> ParseKey(std::string Token) {
    TKeyPress P;
    for (;;) {
        if (Token.rfind("Ctrl+", 0) == 0) {
            P.Shift |= ssCtrl;
            Token.erase(0, 5);
        } else if (Token.rfind("Shift+", 0) == 0) {
            P.Shift |= ssShift;
            Token.erase(0, 6);
        } else if (Token.rfind("Alt+", 0) == 0) {
            P.Shift |= ssAlt;
            Token.erase(0, 4);
        } else {
            break;
        }
    }
    static const std::map<std::string, std::pair<std::uint8_t, char>> Named = {
        {"Back", {vkBack, 8}},     {"Tab", {vkTab, 9}},     {"Enter", {vkReturn, 13}},
        {"Space", {vkSpace, ' '}}, {"PgUp", {vkPrior, 0}},  {"PgDn", {vkNext, 0}},
        {"End", {vkEnd, 0}},       {"Home", {vkHome, 0}},   {"Left", {vkLeft, 0}},
        {"Up", {vkUp, 0}},         {"Right", {vkRight, 0}}, {"Down", {vkDown, 0}},
        {"Ins", {vkInsert, 0}},    {"Del", {vkDelete, 0}},  {"F5", {vkF5, 0}},
    };
    if (auto It = Named.find(Token); It != Named.end()) {
        P.Key = It->second.first;
        P.Ch = It->second.second;
    } else if (Token.size() == 1 && std::isalnum(static_cast<unsigned char>(Token[0]))) {
        const char C = static_cast<char>(std::toupper(static_cast<unsigned char>(Token[0])));
        P.Key = vkOf(C);
        if (std::isalpha(static_cast<unsigned char>(C)))
            P.Ch = (P.Shift & ssCtrl)    ? static_cast<char>(C - 64)
                   : (P.Shift & ssShift) ? C
                                         : static_cast<char>(std::tolower(C));
        else
            P.Ch = (P.Shift & ssCtrl) ? 0 : C;
    } else {
        return std::nullopt;
    }
    if (P.Shift & ssAlt) P.Ch = 0;
    return P;
}

void Press(TEditorRig& R, const TKeyPress& P) {
    if (P.Shift & ssAlt)
        R.Ed.SysKeyDown(P.Key, P.Shift);
    else
        R.Ed.KeyDown(P.Key, P.Shift);
    if (P.Ch != 0) R.Ed.CharMessage(P.Ch);
}

// Types a quoted run character by character, each with the key it comes from where there is one.
void Type(TEditorRig& R, const std::string& Text) {
    for (char C : Text) {
        const auto U = static_cast<unsigned char>(C);
        std::uint16_t Key = 0;
        TKroShiftState Shift = 0;
        if (std::isalpha(U)) {
            Key = vkOf(static_cast<char>(std::toupper(U)));
            if (std::isupper(U)) Shift = ssShift;
        } else if (std::isdigit(U) || C == ' ') {
            Key = U;
        }
        R.Ed.KeyDown(Key, Shift);
        R.Ed.CharMessage(C);
    }
}

class GoldenCase : public ::testing::TestWithParam<std::size_t> {};

TEST_P(GoldenCase, Run) {
    const TGoldenCase& C = AllCases()[GetParam()];
    SCOPED_TRACE("cases.golden line " + std::to_string(C.Line) + ": " + C.Name);
    ASSERT_FALSE(C.Before.empty()) << "the case has no text ('>' lines)";
    ASSERT_FALSE(C.After.empty()) << "the case has no expected text ('=' lines)";

    TEditorRig R;
    // The named tables are active and searched in the order named; the others stay inactive.
    std::string List = "(";
    for (const std::string& T : C.Tables)
        List += "'" + T + "' True () ";
    for (const std::string T : {"WordStar", "Default"})
        if (std::find(C.Tables.begin(), C.Tables.end(), T) == C.Tables.end())
            List += "'" + T + "' False () ";
    R.Controller.EntryCommands().SetTableListText(List + ")");
    for (const std::string& O : C.Options) {
        if (O == "readonly")
            R.Ed.SetReadOnly(true);
        else if (O == "overwrite")
            R.Ed.SetInsertMode(false);
        else if (O == "autoindent")
            R.Ed.SetAutoIndent(true);
        else if (O == "nowantenter")
            R.Ed.SetWantEnter(false);
        else
            FAIL() << "unknown option " << O;
    }
    if (C.Clipboard) R.Platform.ClipboardImpl.Text = *C.Clipboard;
    R.Load(Join(C.Before));

    // Tokens are separated by blanks; a quoted run is typed as it stands.
    const std::string& K = C.Keys;
    for (std::size_t I = 0; I < K.size();) {
        if (K[I] == ' ') {
            ++I;
        } else if (K[I] == '"') {
            const std::size_t End = K.find('"', I + 1);
            ASSERT_NE(End, std::string::npos) << "unterminated quote in keys";
            Type(R, Unescape(K.substr(I + 1, End - I - 1)));
            I = End + 1;
        } else {
            std::size_t End = K.find(' ', I);
            if (End == std::string::npos) End = K.size();
            const std::string Token = K.substr(I, End - I);
            const std::optional<TKeyPress> P = ParseKey(Token);
            ASSERT_TRUE(P.has_value()) << "unknown key " << Token;
            Press(R, *P);
            I = End;
        }
    }
    EXPECT_EQ(R.Text(), Join(C.After));
    if (C.ClipboardAfter) {
        EXPECT_EQ(R.Platform.ClipboardImpl.Text, *C.ClipboardAfter);
    }
}

std::string CaseName(const ::testing::TestParamInfo<std::size_t>& Info) {
    std::string N;
    for (char C : AllCases()[Info.param].Name)
        if (std::isalnum(static_cast<unsigned char>(C))) N += C;
    return std::to_string(Info.param + 1) + "_" + N.substr(0, 60);
}

INSTANTIATE_TEST_SUITE_P(Examples, GoldenCase, ::testing::Range<std::size_t>(0, AllCases().size()),
                         CaseName);

} // namespace
