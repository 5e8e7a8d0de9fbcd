// The fixed-font list, the fixed font's refusals and events, and colour pairs with defaults.
#include "Headless.h"
#include "KroColors.h"
#include "KroExceptions.h"
#include "KroFixedFont.h"
#include "KroFixedFontList.h"

#include <gtest/gtest.h>

namespace {

class FixedFontTest : public ::testing::Test {
protected:
    FixedFontTest() : Scope(P) {
        Font.OnChange = [this](TKroPersistent& Sender) {
            EXPECT_EQ(&Sender, &Font);
            ++Changes;
        };
    }

    TKroHeadlessPlatform P;
    TKroPlatformScope Scope;
    // The list is built before the font under test is made.
    int Built = [this] {
        P.FontsImpl.FixedFamilies = {"Courier New", "Lucida Console", "Courier New", "Terminal"};
        KroBuildFixedFontList(P);
        return 1;
    }();
    TKroFixedFont Font;
    int Changes = 0;
};

} // namespace

TEST_F(FixedFontTest, ListKeepsCatalogueOrderOnceEachAndMatchesExactly) {
    EXPECT_EQ(KroFixedFontList(),
              (std::vector<std::string>{"Courier New", "Lucida Console", "Terminal"}));
    EXPECT_TRUE(KroIsFixedFont("Terminal"));
    EXPECT_FALSE(KroIsFixedFont("terminal"));
    EXPECT_FALSE(KroIsFixedFont("Courier"));
    EXPECT_FALSE(KroIsFixedFont("Courier New "));
    EXPECT_TRUE(P.Errors.empty());
}

TEST_F(FixedFontTest, ListIsNotRefreshedWhenTheCatalogueChanges) {
    const int Enumerated = P.FontsImpl.EnumerationCount;
    P.FontsImpl.FixedFamilies.push_back("Fixedsys");
    TKroFixedFont Later;
    Later.SetName("Fixedsys");
    EXPECT_EQ(Later.Name(), "Courier New");
    EXPECT_EQ(P.FontsImpl.EnumerationCount, Enumerated);
}

TEST_F(FixedFontTest, NewFontTakesTheFirstListedFamily) {
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Changes, 0);
}

TEST_F(FixedFontTest, NameSetterTakesOnlyListedNames) {
    Font.SetName("Arial");
    Font.SetName("lucida console");
    Font.SetName("");
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Changes, 0);
    Font.SetName("Courier New"); // unchanged: no event
    EXPECT_EQ(Changes, 0);
    Font.SetName("Terminal");
    EXPECT_EQ(Font.Name(), "Terminal");
    EXPECT_EQ(Changes, 1);
}

TEST_F(FixedFontTest, ColorSizeAndStyleRaiseOneEventPerEffectiveChange) {
    Font.SetSize(12);
    Font.SetSize(12);
    Font.SetColor(clRed);
    Font.SetColor(clRed);
    Font.SetStyle(fsBold | fsItalic);
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(Font.Size(), 12);
    EXPECT_EQ(Font.Color(), clRed);
    EXPECT_EQ(Font.Style(), fsBold | fsItalic);
    EXPECT_EQ(Font.Font().Size, 12) << "the value a surface selects follows";
}

TEST_F(FixedFontTest, FormDataFontIsUsedWhenInstalledAndIgnoredOtherwise) {
    Font.SetName("Fixedsys");
    Font.SetSize(10);
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Font.Size(), 10);

    P.FontsImpl.FixedFamilies = {"Courier New", "Fixedsys"};
    KroBuildFixedFontList(P);
    TKroFixedFont Installed;
    Installed.SetName("Fixedsys");
    EXPECT_EQ(Installed.Name(), "Fixedsys");
}

TEST_F(FixedFontTest, AssignFromPlainFontNeedsAnExactListedName) {
    Font.SetSize(11);
    Changes = 0;
    TKroFont Plain({"courier new", 14, fsBold, clBlue});
    EXPECT_THROW(Font.Assign(Plain), EInvalidFixedFont);
    Plain.SetName("Arial");
    try {
        Font.Assign(Plain);
        FAIL() << "a proportional font was taken";
    } catch (const EFixedFontError& E) {
        EXPECT_STREQ(E.what(), "Invalid font assignment. Font must be a fixed font");
    }
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Font.Size(), 11);
    EXPECT_EQ(Changes, 0);

    Plain.SetName("Lucida Console");
    Font.Assign(Plain);
    EXPECT_EQ(Font.Font(), (TKroFontData{"Lucida Console", 14, fsBold, clBlue}));
    EXPECT_EQ(Changes, 1);
}

TEST_F(FixedFontTest, AssignFromAnythingElseIsRefusedAndChangesNothing) {
    TKroColors Colors(clBlack, clWhite);
    try {
        Font.Assign(Colors);
        FAIL() << "a colour pair was taken for a font";
    } catch (const EInvalidFontParam& E) {
        EXPECT_STREQ(E.what(), "Invalid font assignemnt. Font must be a TFont or TKroFixedFont");
    }
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Changes, 0);
}

TEST_F(FixedFontTest, AssignFromFixedFontKeepsOwnNameWhenTheOtherIsNoLongerListed) {
    TKroFixedFont Other;
    Other.SetName("Terminal");
    Other.SetSize(9);
    P.FontsImpl.FixedFamilies = {"Courier New", "Lucida Console"};
    KroBuildFixedFontList(P);
    Font.Assign(Other);
    EXPECT_EQ(Font.Name(), "Courier New");
    EXPECT_EQ(Font.Size(), 9);
    EXPECT_EQ(Changes, 1);

    // A plain font takes a copy of a fixed one (printing uses the editor's font).
    TKroFont Plain;
    Plain.Assign(Other);
    EXPECT_EQ(Plain.Name(), "Terminal");
    EXPECT_EQ(Plain.Size(), 9);
}

TEST(FixedFontFallback, NoFixedFamilyFallsBackToMonospaceAndSaysSoOnce) {
    TKroHeadlessPlatform P;
    TKroPlatformScope Scope(P);
    P.FontsImpl.FixedFamilies.clear();
    P.FontsImpl.Monospace = "DejaVu Sans Mono";
    KroBuildFixedFontList(P);
    TKroFixedFont A;
    TKroFixedFont B;
    EXPECT_EQ(A.Name(), "DejaVu Sans Mono");
    EXPECT_EQ(B.Name(), "DejaVu Sans Mono");
    ASSERT_EQ(P.Errors.size(), 1u);
    EXPECT_EQ(P.Errors[0], KroNoFixedFontMessage("DejaVu Sans Mono"));
    EXPECT_NE(P.Errors[0].find("DejaVu Sans Mono"), std::string::npos);

    // A platform without even a monospace name still gets the generic family, not nothing.
    P.FontsImpl.Monospace.clear();
    KroBuildFixedFontList(P);
    EXPECT_EQ(KroFixedFontList(), (std::vector<std::string>{"monospace"}));
    EXPECT_EQ(P.Errors.size(), 2u);
}

// ---- colour pairs

namespace {

class ColorsTest : public ::testing::Test {
protected:
    ColorsTest() {
        Colors.OnColorChange = [this](TKroPersistent&) { ++Changes; };
    }
    TKroColors Colors{clHighlightText, clHighlight};
    int Changes = 0;
};

} // namespace

TEST_F(ColorsTest, StartsAtTheDefaults) {
    EXPECT_TRUE(Colors.UseDefault());
    EXPECT_EQ(Colors.TextColor(), clHighlightText);
    EXPECT_EQ(Colors.BackColor(), clHighlight);
    EXPECT_EQ(Changes, 0);
}

TEST_F(ColorsTest, SettingTheDefaultBackDoesNotRestoreUseDefault) {
    Colors.SetTextColor(clYellow);
    EXPECT_FALSE(Colors.UseDefault());
    Colors.SetBackColor(clHighlight); // unchanged: nothing at all
    EXPECT_EQ(Changes, 1);
    Colors.SetTextColor(clHighlightText); // back to the default value
    EXPECT_FALSE(Colors.UseDefault());
    EXPECT_EQ(Changes, 2);
}

TEST_F(ColorsTest, UseDefaultRestoresBothColoursWithOneEvent) {
    Colors.SetTextColor(clYellow);
    Colors.SetBackColor(clNavy);
    Changes = 0;
    Colors.SetUseDefault(true);
    EXPECT_EQ(Changes, 1);
    EXPECT_TRUE(Colors.UseDefault());
    EXPECT_EQ(Colors.TextColor(), clHighlightText);
    EXPECT_EQ(Colors.BackColor(), clHighlight);

    Colors.SetUseDefault(false);
    EXPECT_FALSE(Colors.UseDefault());
    EXPECT_EQ(Colors.TextColor(), clHighlightText);
    EXPECT_EQ(Changes, 1);
}

TEST_F(ColorsTest, AssignGoesThroughTheSettersAndRefusesOtherKinds) {
    TKroColors Other(clBlack, clWhite);
    Other.SetBackColor(clRed);
    Colors.Assign(Other);
    EXPECT_EQ(Colors.BackColor(), clRed);
    EXPECT_EQ(Colors.TextColor(), clBlack);
    EXPECT_FALSE(Colors.UseDefault());
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(Colors.DefaultBackColor(), clHighlight) << "defaults stay those of creation";

    TKroFont Font;
    try {
        Colors.Assign(Font);
        FAIL() << "a font was taken for colours";
    } catch (const EAssignError& E) {
        EXPECT_STREQ(E.what(), "Cannot assign a TKroFont to a TKroColors");
    }
    EXPECT_EQ(Changes, 2);
}
