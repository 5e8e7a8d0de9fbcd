// Search and replace: directions, scopes, ranges, whole words, letter case by the code page,
// replacing the selection and replacing all, limits; and a randomized comparison of the
// search against a plain scan.
#include "EditorRig.h"

#include "Cp1252.h"
#include "KroExceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string ParaText(TEditorRig& R, int32_t Para) {
    int32_t Len = 0;
    const char* T = R.Ed.GetPara(Para, Len);
    return std::string(T, static_cast<size_t>(Len));
}

// The codes reported through OnError, in order.
struct TErrorLog {
    std::vector<int> Codes;
    explicit TErrorLog(TEditorRig& R) {
        R.Ed.OnError = [this](TKroCustomEditor&, std::uint16_t& Code) { Codes.push_back(Code); };
    }
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Finding

TEST(SearchFind, ForwardFindsTheFirstOccurrenceEvenInsideAWord) {
    TEditorRig R;
    R.Load("|concatenate cat");
    EXPECT_TRUE(R.Ed.Search("cat", sfNone));
    EXPECT_EQ(R.Text(), "con{cat|}enate cat");
    // The caret stands after the match, so the next search goes on from there.
    EXPECT_TRUE(R.Ed.Search("cat", sfNone));
    EXPECT_EQ(R.Text(), "concatenate {cat|}");
    EXPECT_FALSE(R.Ed.Search("cat", sfNone));
    EXPECT_EQ(R.Text(), "concatenate {cat|}") << "a failed search leaves the selection";
}

TEST(SearchFind, WholeWordSkipsOccurrencesInsideWords) {
    TEditorRig R;
    R.Load("|concatenate cat");
    EXPECT_TRUE(R.Ed.Search("cat", sfWholeWord));
    EXPECT_EQ(R.Text(), "concatenate {cat|}");
    // Paragraph ends count as word ends; punctuation and blanks delimit, '_' does not.
    R.Load("|cat_x (cat)\ncat");
    EXPECT_TRUE(R.Ed.Search("cat", sfWholeWord));
    EXPECT_EQ(R.Text(), "cat_x ({cat|})\ncat");
    EXPECT_TRUE(R.Ed.Search("cat", sfWholeWord));
    EXPECT_EQ(R.Text(), "cat_x (cat)\n{cat|}");
}

TEST(SearchFind, BackwardSelectsWithTheCaretAtTheStartAndWalksTowardsTheTop) {
    TEditorRig R;
    R.Load("abc abc|");
    EXPECT_TRUE(R.Ed.Search("abc", sfBackward));
    EXPECT_EQ(R.Text(), "abc {|abc}");
    EXPECT_TRUE(R.Ed.Search("abc", sfBackward));
    EXPECT_EQ(R.Text(), "{|abc} abc");
    EXPECT_FALSE(R.Ed.Search("abc", sfBackward));
}

TEST(SearchFind, BackwardFindsOnlyWhatEndsBeforeTheCaretAndCrossesParagraphs) {
    TEditorRig R;
    R.Load("xbca\nabc|abc");
    // 'bca' straddles the caret in the second paragraph: the one in the first is found.
    EXPECT_TRUE(R.Ed.Search("bca", sfBackward));
    EXPECT_EQ(R.Text(), "x{|bca}\nabcabc");
}

TEST(SearchFind, BackwardWholeWordFindsAWordOverlappingARejectedOccurrence) {
    // The later 'a a' is followed by 'x'; the earlier one overlaps it and is a whole word.
    TEditorRig R;
    R.Load("a a ax|");
    EXPECT_TRUE(R.Ed.Search("a a", sfBackward | sfWholeWord));
    EXPECT_EQ(R.Text(), "{|a a} ax");
}

TEST(SearchFind, EntireScopeIgnoresTheCaret) {
    TEditorRig R;
    R.Load("one\ntwo|\none");
    EXPECT_TRUE(R.Ed.Search("one", sfEntireScope));
    EXPECT_EQ(R.Text(), "{one|}\ntwo\none");
    R.Load("|one\ntwo\none");
    EXPECT_TRUE(R.Ed.Search("one", sfEntireScope | sfBackward));
    EXPECT_EQ(R.Text(), "one\ntwo\n{|one}");
    // Without it the search runs from the caret only.
    R.Load("one\ntwo|\nxyz");
    EXPECT_FALSE(R.Ed.Search("one", sfNone));
}

TEST(SearchFind, SelectedOnlyNeedsTheWholeMatchInsideTheSelection) {
    TEditorRig R;
    R.Load("ab{cab|}c");
    // 'abc' at 4..6 reaches past the selection's end.
    EXPECT_FALSE(R.Ed.Search("abc", sfSelectedOnly));
    EXPECT_EQ(R.Text(), "ab{cab|}c");
    EXPECT_TRUE(R.Ed.Search("ca", sfSelectedOnly));
    EXPECT_EQ(R.Text(), "ab{ca|}bc");
    R.Load("ab{cab}c");
    EXPECT_TRUE(R.Ed.Search("b", sfSelectedOnly | sfBackward));
    EXPECT_EQ(R.Text(), "abca{|b}c");
    // No selection: the range is empty.
    R.Load("ab|cabc");
    EXPECT_FALSE(R.Ed.Search("c", sfSelectedOnly));
}

TEST(SearchFind, TheEmptyPatternCountsAsFoundAndChangesNothing) {
    TEditorRig R;
    R.Load("ab|c");
    EXPECT_TRUE(R.Ed.Search("", sfNone));
    EXPECT_EQ(R.Ed.SearchReplace("", std::string_view("x"), sfReplaceAll), 0);
    EXPECT_EQ(R.Text(), "ab|c");
    EXPECT_EQ(R.Platform.BusyChanges.size(), 0u);
}

TEST(SearchFind, APatternLongerThan255CharactersIsCut) {
    TEditorRig R;
    const std::string Run(255, 'x');
    R.Load("|" + Run + "y");
    // The 256th character of the pattern ('z') is dropped, so the run of 255 matches.
    EXPECT_TRUE(R.Ed.Search(Run + "z", sfNone));
    EXPECT_EQ(R.Text(), "{" + Run + "|}y");
}

TEST(SearchFind, OneCharacterPatternsAndPatternsLongerThanTheParagraph) {
    TEditorRig R;
    R.Load("|ab\nb");
    EXPECT_TRUE(R.Ed.Search("b", sfMatchCase));
    EXPECT_EQ(R.Text(), "a{b|}\nb");
    EXPECT_TRUE(R.Ed.Search("B", sfNone));
    EXPECT_EQ(R.Text(), "ab\n{b|}");
    R.Load("|ab\nb");
    EXPECT_FALSE(R.Ed.Search("abb", sfNone)) << "a match never spans a paragraph break";
}

TEST(SearchFind, BusyCursorIsShownForTheSearchAndRestored) {
    TEditorRig R;
    R.Load("|abc");
    R.Ed.Search("zzz", sfNone);
    EXPECT_EQ(R.Platform.BusyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(R.Platform.BusyDepth, 0);
}

// ---------------------------------------------------------------------------------------------
// Letter case

TEST(SearchCase, WithoutMatchCaseLettersOfTheCodePageCompareInUpperCase) {
    TEditorRig R;
    // e-acute/E-acute, y-diaeresis/Y-diaeresis, s-caron/S-caron.
    R.Load("|x\xC9t\xE9 \x9F\x8A");
    EXPECT_TRUE(R.Ed.Search("\xE9T\xC9", sfNone));
    EXPECT_EQ(R.Text(), "x{\xC9t\xE9|} \x9F\x8A");
    EXPECT_TRUE(R.Ed.Search("\xFF\x9A", sfNone));
    EXPECT_EQ(R.Text(), "x\xC9t\xE9 {\x9F\x8A|}");
    // Sharp s and micro have no capitals; the division sign is not the small of the times sign.
    R.Load("|\xDF\xB5\xF7");
    EXPECT_FALSE(R.Ed.Search("SS", sfNone));
    EXPECT_FALSE(R.Ed.Search("\xD7", sfNone));
    EXPECT_TRUE(R.Ed.Search("\xDF\xB5\xF7", sfNone));
}

TEST(SearchCase, MatchCaseComparesBytes) {
    TEditorRig R;
    R.Load("|Cat cat");
    EXPECT_TRUE(R.Ed.Search("cat", sfMatchCase));
    EXPECT_EQ(R.Text(), "Cat {cat|}");
    R.Load("|\xC9");
    EXPECT_FALSE(R.Ed.Search("\xE9", sfMatchCase));
    EXPECT_TRUE(R.Ed.Search("\xE9", sfNone));
}

// ---------------------------------------------------------------------------------------------
// Replacing

TEST(SearchReplace, ASelectionEqualToThePatternIsReplacedThenTheNextIsSelected) {
    TEditorRig R;
    R.Load("{Foo|} foo foo");
    EXPECT_EQ(R.Ed.Replace("foo", "bar", sfReplace), 1);
    EXPECT_EQ(R.Text(), "bar {foo|} foo");
    EXPECT_EQ(R.Ed.Replace("foo", "bar", sfReplace), 1);
    EXPECT_EQ(R.Text(), "bar bar {foo|}");
    EXPECT_EQ(R.Ed.Replace("foo", "bar", sfReplace), 1);
    EXPECT_EQ(R.Text(), "bar bar bar|");
    EXPECT_EQ(R.Ed.Replace("foo", "bar", sfReplace), -1);
    // With MatchCase a selection in other letters is not the pattern: only the search runs.
    R.Load("{Foo|} foo");
    EXPECT_EQ(R.Ed.Replace("foo", "bar", sfReplace | sfMatchCase), 0);
    EXPECT_EQ(R.Text(), "Foo {foo|}");
}

TEST(SearchReplace, BackwardsTheNextOccurrenceIsSoughtInFrontOfTheReplacement) {
    TEditorRig R;
    R.Load("foo {|foo}");
    EXPECT_EQ(R.Ed.Replace("foo", "foofoo", sfReplace | sfBackward), 1);
    EXPECT_EQ(R.Text(), "{|foo} foofoo");
    EXPECT_EQ(R.Ed.Replace("foo", "foofoo", sfReplace | sfBackward), 1);
    EXPECT_EQ(R.Text(), "foofoo| foofoo");
}

TEST(SearchReplace, ReplaceWithoutAReplacementDoesNothing) {
    TEditorRig R;
    R.Load("{foo|} foo");
    EXPECT_EQ(R.Ed.SearchReplace("foo", std::nullopt, sfReplace), 0);
    EXPECT_TRUE(R.Ed.Search("foo", sfReplaceAll)) << "searching with a replace flag";
    EXPECT_EQ(R.Text(), "{foo|} foo");
}

TEST(SearchReplace, SelectedOnlyReplaceAllFollowsTheGrowingSelection) {
    TEditorRig R;
    R.Load("{aaa|}");
    EXPECT_EQ(R.Ed.Replace("a", "bb", sfReplaceAll | sfSelectedOnly), 3);
    EXPECT_EQ(R.Text(), "{bbbbbb|}");
    // A match that reaches past the selection's end stays; text outside is not touched.
    R.Load("a{|aaa}a");
    EXPECT_EQ(R.Ed.Replace("aa", "x", sfReplaceAll | sfSelectedOnly), 1);
    EXPECT_EQ(R.Text(), "a{|xa}a");
}

TEST(SearchReplace, SelectedOnlyAcrossParagraphsMovesOnlyTheEndInTheReplacedParagraph) {
    TEditorRig R;
    R.Load("xa{a\naaa\naa|}a");
    EXPECT_EQ(R.Ed.Replace("a", "", sfReplaceAll | sfSelectedOnly), 6);
    EXPECT_EQ(R.Text(), "xa{\n\n|}a");
}

TEST(SearchReplace, ReplaceAllFromTheCaretLeavesTheCaretOnItsText) {
    TEditorRig R;
    R.Load("cat |cat\ncat");
    EXPECT_EQ(R.Ed.Replace("cat", "dog", sfReplaceAll), 2);
    EXPECT_EQ(R.Text(), "cat |dog\ndog");
    R.Load("cat |cat\ncat");
    EXPECT_EQ(R.Ed.Replace("cat", "mouse", sfReplaceAll | sfEntireScope), 3);
    EXPECT_EQ(R.Text(), "mouse |mouse\nmouse");
    R.Load("cat c|at");
    EXPECT_EQ(R.Ed.Replace("cat", "", sfReplaceAll | sfEntireScope), 2);
    EXPECT_EQ(R.Text(), " |");
}

TEST(SearchReplace, BackwardReplaceAllDoesNotRescanItsReplacements) {
    TEditorRig R;
    R.Load("aa aa\naa|");
    EXPECT_EQ(R.Ed.Replace("a", "aa", sfReplaceAll | sfBackward), 6);
    EXPECT_EQ(R.Text(), "aaaa aaaa\naaaa|");
    // Forwards the same: each replacement is skipped over.
    R.Load("|aa");
    EXPECT_EQ(R.Ed.Replace("a", "aa", sfReplaceAll), 2);
    EXPECT_EQ(R.Text(), "|aaaa");
}

TEST(SearchReplace, WholeWordReplaceAll) {
    TEditorRig R;
    R.Load("|cat concatenate cat.");
    EXPECT_EQ(R.Ed.Replace("CAT", "dog", sfReplaceAll | sfWholeWord), 2);
    EXPECT_EQ(R.Text(), "|dog concatenate dog.");
}

TEST(SearchReplace, ReplaceAllStopsBeforeAParagraphPassesItsLengthLimit) {
    TEditorRig R;
    TErrorLog Log(R);
    R.Ed.SetParaLengthLimit(10);
    R.Load("|aaaa\naa");
    // Each replacement adds two: the fourth would make 12 characters.
    EXPECT_EQ(R.Ed.Replace("a", "xxx", sfReplaceAll), erParaTooLong);
    EXPECT_EQ(Log.Codes, (std::vector<int>{erParaTooLong}));
    EXPECT_EQ(R.Text(), "|xxxxxxxxxa\naa") << "the replacements made stay; the rest is untouched";
    // Without an error handler the failure raises, after the same replacements.
    TEditorRig Q;
    Q.Ed.SetParaLengthLimit(10);
    Q.Load("|aaaa");
    EXPECT_THROW(Q.Ed.Replace("a", "xxx", sfReplaceAll), EEditorError);
    EXPECT_EQ(Q.Text(), "|xxxxxxxxxa");
}

TEST(SearchReplace, ReplaceAllNeverPassesTheParagraphCeilingOrTheByteLimit) {
    TEditorRig R;
    TErrorLog Log(R);
    R.Load("|" + std::string(32766, 'a'));
    EXPECT_EQ(R.Ed.Replace("aa", "aaa", sfReplaceAll), erParaTooLong);
    int32_t Len = 0;
    R.Ed.GetPara(1, Len);
    EXPECT_EQ(Len, 32767);
    TEditorRig B;
    TErrorLog BLog(B);
    B.Load("|ab\nab");
    B.Ed.SetByteLimit(B.Ed.TextLength() + 4); // room for one replacement of three more
    EXPECT_EQ(B.Ed.Replace("ab", "abcde", sfReplaceAll), erTextTooLarge);
    EXPECT_EQ(B.Text(), "|abcde\nab");
}

TEST(SearchReplace, ReplacingTheSelectionRespectsTheLimitBeforeDeletingIt) {
    TEditorRig R;
    TErrorLog Log(R);
    R.Ed.SetParaLengthLimit(3);
    R.Load("{ab|}c");
    EXPECT_EQ(R.Ed.Replace("ab", "xyz", sfReplace), erParaTooLong);
    EXPECT_EQ(R.Text(), "{ab|}c");
    EXPECT_EQ(Log.Codes, (std::vector<int>{erParaTooLong}));
}

TEST(SearchReplace, AReadOnlyTextIsSearchedButNotChanged) {
    TEditorRig R;
    R.Ed.SetReadOnly(true);
    R.Load("{foo|} foo");
    EXPECT_EQ(R.Ed.Replace("foo", "bar", sfReplace), 0);
    EXPECT_EQ(R.Text(), "foo {foo|}");
    R.Load("|foo foo");
    EXPECT_EQ(R.Ed.Replace("foo", "bar", sfReplaceAll), 0);
    EXPECT_EQ(R.Text(), "{foo|} foo");
}

TEST(SearchReplace, EachReplacementIsUndoneSeparately) {
    TEditorRig R;
    R.Load("|ab ab");
    EXPECT_EQ(R.Ed.Replace("ab", "x", sfReplaceAll), 2);
    R.Ed.Undo();
    EXPECT_EQ(ParaText(R, 1), "x ab");
    R.Ed.Undo();
    EXPECT_EQ(ParaText(R, 1), "ab ab");
}

// ---------------------------------------------------------------------------------------------
// Randomized: the search against a plain scan of the same text

namespace {

struct TNaiveHit {
    int32_t Para = 0;
    int32_t Pos = 0; // 1-based
};

bool NaiveEqual(const std::string& T, size_t At, const std::string& P, bool MatchCase) {
    for (size_t I = 0; I < P.size(); ++I) {
        unsigned char A = static_cast<unsigned char>(T[At + I]);
        unsigned char B = static_cast<unsigned char>(P[I]);
        if (!MatchCase) {
            A = KroCp1252Upper(A);
            B = KroCp1252Upper(B);
        }
        if (A != B) return false;
    }
    return true;
}

bool NaiveDelimiter(unsigned char C) {
    return C == 9 || C == 10 || C == 13 || C == 32 || (C >= 33 && C <= 47) ||
           (C >= 58 && C <= 64) || (C >= 91 && C <= 94) || C == 96 || (C >= 123 && C <= 126);
}

// Every occurrence inside [Lo, Hi) (Hi exclusive, positions 1-based), in text order.
std::vector<TNaiveHit> NaiveAll(const std::vector<std::string>& Paras, const std::string& P,
                                bool MatchCase, bool WholeWord, TParaPos Lo, TParaPos Hi) {
    std::vector<TNaiveHit> Hits;
    for (int32_t I = 1; I <= static_cast<int32_t>(Paras.size()); ++I) {
        const std::string& T = Paras[I - 1];
        for (size_t M = 0; M + P.size() <= T.size(); ++M) {
            const int32_t Pos = static_cast<int32_t>(M) + 1;
            const int32_t End = Pos + static_cast<int32_t>(P.size()); // exclusive
            if (I < Lo.Para || (I == Lo.Para && Pos < Lo.Pos)) continue;
            if (I > Hi.Para || (I == Hi.Para && End > Hi.Pos)) continue;
            if (!NaiveEqual(T, M, P, MatchCase)) continue;
            if (WholeWord) {
                if (M > 0 && !NaiveDelimiter(static_cast<unsigned char>(T[M - 1]))) continue;
                if (M + P.size() < T.size() &&
                    !NaiveDelimiter(static_cast<unsigned char>(T[M + P.size()])))
                    continue;
            }
            Hits.push_back({I, Pos});
        }
    }
    return Hits;
}

// Random paragraphs over a small alphabet (letters in both cases, two accented capitals and
// smalls, blanks, a full stop and an underscore), a pattern that often occurs in them, and a
// caret or a selection.
struct TRandomText {
    std::vector<std::string> Paras;
    std::string Pattern;
    std::string Marked;

    explicit TRandomText(std::mt19937& Rng) {
        const std::string Alphabet = "aAbB .\xE9\xC9_";
        auto Pick = [&](int N) { return static_cast<int>(Rng() % static_cast<unsigned>(N)); };
        auto Letter = [&] {
            return Alphabet[static_cast<size_t>(Pick(static_cast<int>(Alphabet.size())))];
        };
        Paras.resize(static_cast<size_t>(1 + Pick(4)));
        for (std::string& T : Paras) {
            const int Len = Pick(3) == 0 ? Pick(4) : Pick(40);
            for (int I = 0; I < Len; ++I)
                T += Letter();
        }
        const int PLen = 1 + Pick(4);
        const std::string& Src = Paras[static_cast<size_t>(Pick(static_cast<int>(Paras.size())))];
        if (Pick(2) == 0 && static_cast<int>(Src.size()) >= PLen) {
            Pattern = Src.substr(static_cast<size_t>(Pick(static_cast<int>(Src.size()) - PLen + 1)),
                                 static_cast<size_t>(PLen));
        } else {
            for (int I = 0; I < PLen; ++I)
                Pattern += Letter();
        }
        auto RandomPos = [&]() {
            const int32_t P = 1 + Pick(static_cast<int>(Paras.size()));
            return TParaPos{
                P, 1 + Pick(static_cast<int>(Paras[static_cast<size_t>(P - 1)].size()) + 1)};
        };
        TParaPos A = RandomPos(), B = RandomPos();
        if (B.Para < A.Para || (B.Para == A.Para && B.Pos < A.Pos)) std::swap(A, B);
        const bool WithSelection = Pick(2) == 0 && !(A == B);
        const bool CaretAtStart = WithSelection && Pick(2) == 0;
        for (int32_t I = 1; I <= static_cast<int32_t>(Paras.size()); ++I) {
            if (I > 1) Marked += '\n';
            const std::string& T = Paras[static_cast<size_t>(I - 1)];
            for (int32_t Pos = 1; Pos <= static_cast<int32_t>(T.size()) + 1; ++Pos) {
                if (WithSelection && A == TParaPos{I, Pos}) Marked += CaretAtStart ? "{|" : "{";
                if (B == TParaPos{I, Pos})
                    Marked += !WithSelection ? "|" : CaretAtStart ? "}" : "|}";
                if (Pos <= static_cast<int32_t>(T.size()))
                    Marked += T[static_cast<size_t>(Pos - 1)];
            }
        }
    }
};

// Random flags: direction, case, whole words, and the scope (0 from the caret, 1 the entire
// text, 2 the selection).
TSearchFlags RandomFlags(std::mt19937& Rng, int& Scope) {
    TSearchFlags Flags = 0;
    if (Rng() % 2) Flags |= sfBackward;
    if (Rng() % 2) Flags |= sfMatchCase;
    if (Rng() % 2) Flags |= sfWholeWord;
    Scope = static_cast<int>(Rng() % 3);
    if (Scope == 1) Flags |= sfEntireScope;
    if (Scope == 2) Flags |= sfSelectedOnly;
    return Flags;
}

// The range a search covers: [Lo, Hi), positions 1-based.
void NaiveRange(TEditorRig& R, const std::vector<std::string>& Paras, int Scope, bool Backward,
                TParaPos& Lo, TParaPos& Hi) {
    Lo = {1, 1};
    Hi = {static_cast<int32_t>(Paras.size()), static_cast<int32_t>(Paras.back().size()) + 1};
    if (Scope == 0) (Backward ? Hi : Lo) = R.Ed.CaretParaPos();
    if (Scope == 2) {
        Lo = R.Ed.SelStart();
        Hi = R.Ed.SelEnd();
    }
}

bool NaiveWholeWord(const std::string& T, size_t M, size_t L) {
    if (M > 0 && !NaiveDelimiter(static_cast<unsigned char>(T[M - 1]))) return false;
    if (M + L < T.size() && !NaiveDelimiter(static_cast<unsigned char>(T[M + L]))) return false;
    return true;
}

// Replace all as a plain scan: forwards each paragraph left to right, skipping over every
// replacement; backwards right to left, each match ending before the previous one's start.
// Returns the count; Lo and Hi follow the replacements made in their paragraphs.
int NaiveReplaceAll(std::vector<std::string>& Paras, const std::string& P, const std::string& Rep,
                    TSearchFlags Flags, TParaPos& Lo, TParaPos& Hi) {
    const bool MatchCase = (Flags & sfMatchCase) != 0, WholeWord = (Flags & sfWholeWord) != 0;
    const auto L = static_cast<int32_t>(P.size());
    const auto D = static_cast<int32_t>(Rep.size()) - L;
    int Count = 0;
    auto Hit = [&](const std::string& T, int32_t M) {
        return NaiveEqual(T, static_cast<size_t>(M), P, MatchCase) &&
               (!WholeWord || NaiveWholeWord(T, static_cast<size_t>(M), P.size()));
    };
    for (int32_t I = Lo.Para; I <= Hi.Para && I <= static_cast<int32_t>(Paras.size()); ++I) {
        std::string& T = Paras[static_cast<size_t>(I - 1)];
        const int32_t From = I == Lo.Para ? Lo.Pos - 1 : 0;
        auto To = [&] { return I == Hi.Para ? Hi.Pos - 1 : static_cast<int32_t>(T.size()); };
        if ((Flags & sfBackward) == 0) {
            for (int32_t M = From; M + L <= To();) {
                if (!Hit(T, M)) {
                    ++M;
                    continue;
                }
                T.replace(static_cast<size_t>(M), P.size(), Rep);
                if (I == Hi.Para) Hi.Pos += D;
                ++Count;
                M += static_cast<int32_t>(Rep.size());
            }
        }
    }
    if ((Flags & sfBackward) != 0) {
        for (int32_t I = std::min<int32_t>(Hi.Para, static_cast<int32_t>(Paras.size()));
             I >= Lo.Para; --I) {
            std::string& T = Paras[static_cast<size_t>(I - 1)];
            const int32_t From = I == Lo.Para ? Lo.Pos - 1 : 0;
            const int32_t To = I == Hi.Para ? Hi.Pos - 1 : static_cast<int32_t>(T.size());
            for (int32_t M = To - L; M >= From;) {
                if (!Hit(T, M)) {
                    --M;
                    continue;
                }
                T.replace(static_cast<size_t>(M), P.size(), Rep);
                if (I == Hi.Para) Hi.Pos += D;
                ++Count;
                M -= L;
            }
        }
    }
    return Count;
}

} // namespace

TEST(SearchRandom, AgreesWithAPlainScanInEveryDirectionScopeAndCase) {
    std::mt19937 Rng(20240611);
    TEditorRig R;
    int FoundCount = 0;
    for (int Round = 0; Round < 3000; ++Round) {
        const TRandomText X(Rng);
        R.Ed.SetWordWrap(Rng() % 4 == 0);
        R.Load(X.Marked);
        int Scope = 0;
        const TSearchFlags Flags = RandomFlags(Rng, Scope);
        const bool Backward = (Flags & sfBackward) != 0;
        TParaPos Lo, Hi;
        NaiveRange(R, X.Paras, Scope, Backward, Lo, Hi);
        const std::vector<TNaiveHit> Hits = NaiveAll(X.Paras, X.Pattern, (Flags & sfMatchCase) != 0,
                                                     (Flags & sfWholeWord) != 0, Lo, Hi);
        const TParaPos OldStart = R.Ed.SelStart(), OldEnd = R.Ed.SelEnd();

        SCOPED_TRACE("round " + std::to_string(Round) + " text '" + X.Marked + "' pattern '" +
                     X.Pattern + "' flags " + std::to_string(Flags));
        const bool Found = R.Ed.Search(X.Pattern, Flags);
        ASSERT_EQ(Found, !Hits.empty());
        if (Found) {
            ++FoundCount;
            const TNaiveHit H = Backward ? Hits.back() : Hits.front();
            const TParaPos S{H.Para, H.Pos};
            const TParaPos E{H.Para, H.Pos + static_cast<int32_t>(X.Pattern.size())};
            ASSERT_EQ(R.Ed.SelStart(), S);
            ASSERT_EQ(R.Ed.SelEnd(), E);
            ASSERT_EQ(R.Ed.CaretParaPos(), Backward ? S : E);
        } else {
            ASSERT_EQ(R.Ed.SelStart(), OldStart);
            ASSERT_EQ(R.Ed.SelEnd(), OldEnd);
        }
        R.Ed.CheckInvariant();
    }
    // The texts and patterns are chosen so that both outcomes are common.
    EXPECT_GT(FoundCount, 600);
    EXPECT_LT(FoundCount, 2400);
}

TEST(SearchRandom, ReplaceAllAgreesWithAPlainScan) {
    std::mt19937 Rng(7081);
    TEditorRig R;
    int Replaced = 0;
    for (int Round = 0; Round < 2000; ++Round) {
        const TRandomText X(Rng);
        const std::string Rep = X.Pattern.substr(0, Rng() % 3) + std::string(Rng() % 4, 'a');
        R.Ed.SetWordWrap(Rng() % 4 == 0);
        R.Load(X.Marked);
        int Scope = 0;
        const TSearchFlags Flags = RandomFlags(Rng, Scope);
        TParaPos Lo, Hi;
        NaiveRange(R, X.Paras, Scope, (Flags & sfBackward) != 0, Lo, Hi);
        std::vector<std::string> Want = X.Paras;
        const int Count = NaiveReplaceAll(Want, X.Pattern, Rep, Flags, Lo, Hi);
        const bool CaretAtEnd = R.Ed.SelCaretEnd() == R.Ed.SelEnd();
        // A selection that is an occurrence is replaced before the loop; the examples above
        // cover that, the model here does not.
        const TParaPos S = R.Ed.SelStart(), E = R.Ed.SelEnd();
        if (S.Para == E.Para && E.Pos - S.Pos == static_cast<int32_t>(X.Pattern.size()) &&
            NaiveEqual(X.Paras[static_cast<size_t>(S.Para - 1)], static_cast<size_t>(S.Pos - 1),
                       X.Pattern, (Flags & sfMatchCase) != 0))
            continue;

        SCOPED_TRACE("round " + std::to_string(Round) + " text '" + X.Marked + "' pattern '" +
                     X.Pattern + "' by '" + Rep + "' flags " + std::to_string(Flags));
        const int Result = R.Ed.Replace(X.Pattern, Rep, Flags | sfReplaceAll);
        ASSERT_EQ(Result, Count > 0 ? Count : -1);
        for (int32_t I = 1; I <= static_cast<int32_t>(Want.size()); ++I)
            ASSERT_EQ(ParaText(R, I), Want[static_cast<size_t>(I - 1)]) << "paragraph " << I;
        if (Count > 0 && Scope == 2 && !(Lo == Hi)) {
            ASSERT_EQ(R.Ed.SelStart(), Lo);
            ASSERT_EQ(R.Ed.SelEnd(), Hi);
            ASSERT_EQ(R.Ed.SelCaretEnd(), CaretAtEnd ? Hi : Lo);
        }
        Replaced += Count;
        R.Ed.CheckInvariant();
    }
    EXPECT_GT(Replaced, 1000);
}
