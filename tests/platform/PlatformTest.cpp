// The code page table, the busy-cursor guard and the headless recorder's scripted behaviour.
#include "Cp1252.h"
#include "Headless.h"

#include <gtest/gtest.h>

#include <stdexcept>

// ---- Windows-1252

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    for (int B = 0; B < 256; ++B) {
        auto Back = KroUnicodeToCp1252(KroCp1252ToUnicode(static_cast<unsigned char>(B)));
        ASSERT_TRUE(Back.has_value()) << B;
        EXPECT_EQ(*Back, B);
    }
}

TEST(Cp1252, HighControlRangeMapsToTypographicCharacters) {
    EXPECT_EQ(KroCp1252ToUnicode(0x80), U'\u20AC'); // euro sign
    EXPECT_EQ(KroCp1252ToUnicode(0x85), U'\u2026'); // ellipsis
    EXPECT_EQ(KroCp1252ToUnicode(0x9F), U'\u0178'); // Y with diaeresis
    EXPECT_EQ(KroCp1252ToUnicode(0xE9), U'\u00E9'); // Latin-1 half is the identity
    EXPECT_EQ(KroUnicodeToCp1252(U'\u2019'), 0x92);
    // Latin-1 control points whose byte the code page gives to another character have no byte.
    EXPECT_FALSE(KroUnicodeToCp1252(U'\u0080').has_value());
    EXPECT_FALSE(KroUnicodeToCp1252(U'\u0100').has_value());
    EXPECT_FALSE(KroUnicodeToCp1252(U'\u4E2D').has_value());
}

TEST(Cp1252, UpperCaseFollowsTheWesternLocale) {
    EXPECT_EQ(KroCp1252Upper('a'), 'A');
    EXPECT_EQ(KroCp1252Upper('z'), 'Z');
    EXPECT_EQ(KroCp1252Upper('{'), '{');
    EXPECT_EQ(KroCp1252Upper(0xE4), 0xC4); // ä
    EXPECT_EQ(KroCp1252Upper(0xFE), 0xDE); // þ
    EXPECT_EQ(KroCp1252Upper(0x9A), 0x8A); // š
    EXPECT_EQ(KroCp1252Upper(0x9C), 0x8C); // œ
    EXPECT_EQ(KroCp1252Upper(0x9E), 0x8E); // ž
    EXPECT_EQ(KroCp1252Upper(0xFF), 0x9F); // ÿ
    EXPECT_EQ(KroCp1252Upper(0xF7), 0xF7); // division sign is no letter
    EXPECT_EQ(KroCp1252Upper(0xDF), 0xDF); // ß has no capital here
    EXPECT_EQ(KroCp1252Upper(0xB5), 0xB5); // µ neither
}

TEST(Cp1252, UpperCaseIsIdempotentAndAgreesWithUnicodeCapitals) {
    for (int B = 0; B < 256; ++B) {
        const unsigned char U = KroCp1252Upper(static_cast<unsigned char>(B));
        EXPECT_EQ(KroCp1252Upper(U), U) << B;
        if (U != B) {
            // A small letter and its capital differ by 0x20 in the Latin ranges, or by the
            // Unicode pairs of the 0x80 block.
            char32_t Small = KroCp1252ToUnicode(static_cast<unsigned char>(B));
            char32_t Capital = KroCp1252ToUnicode(U);
            EXPECT_TRUE(Small - Capital == 0x20 || Small - Capital == 1 || Capital == 0x178) << B;
        }
    }
}

// ---- busy cursor

TEST(BusyCursor, NestedGuardsShowTheWaitCursorOnceAndRestoreOnThrow) {
    TKroHeadlessPlatform P;
    try {
        TKroBusyCursor Outer(&P);
        {
            TKroBusyCursor Inner(&P);
            EXPECT_EQ(P.BusyDepth, 2);
        }
        EXPECT_EQ(P.BusyDepth, 1);
        throw std::runtime_error("search failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(P.BusyDepth, 0);
    EXPECT_EQ(P.BusyChanges, (std::vector<bool>{true, false}));
}

TEST(BusyCursor, UsesTheInstalledPlatformAndToleratesNone) {
    TKroHeadlessPlatform P;
    {
        TKroPlatformScope Scope(P);
        TKroBusyCursor Guard;
        EXPECT_EQ(P.BusyDepth, 1);
    }
    EXPECT_EQ(P.BusyDepth, 0);
    EXPECT_EQ(KroPlatform(), nullptr);
    TKroBusyCursor Nothing; // no platform installed: no effect, no crash
}

// ---- headless window

TEST(HeadlessWindow, PostedMessagesArriveInOrderIncludingThosePostedMeanwhile) {
    TKroHeadlessWindow W;
    std::vector<std::uint32_t> Seen;
    W.OnPostedMessage = [&](const TKroPostedMessage& M) {
        Seen.push_back(M.Msg);
        if (M.Msg == 1) W.PostMessage(3, 0, 0);
    };
    W.PostMessage(1, 5, 7);
    W.PostMessage(2, 0, 0);
    EXPECT_TRUE(Seen.empty()) << "nothing arrives before the loop runs";
    EXPECT_EQ(W.DeliverPosted(), 3);
    EXPECT_EQ(Seen, (std::vector<std::uint32_t>{1, 2, 3}));
    EXPECT_TRUE(W.Posted.empty());
}

TEST(HeadlessWindow, ProcessMessagesRunsTheScriptAndDeliversPostedMessages) {
    TKroHeadlessWindow W;
    W.ButtonDown = true;
    int Delivered = 0;
    W.OnPostedMessage = [&](const TKroPostedMessage&) { ++Delivered; };
    W.OnProcessMessages = [&] {
        if (W.ProcessMessagesCount == 3) W.ButtonDown = false;
    };
    int Passes = 0;
    do {
        W.PostMessage(32514, 1, 1);
        W.ProcessMessages();
        ++Passes;
    } while (W.PrimaryButtonDown());
    EXPECT_EQ(Passes, 3);
    EXPECT_EQ(Delivered, 3);
}

TEST(HeadlessWindow, SetFocusRespectsFocusabilityAndTellsTheHostOnce) {
    TKroHeadlessWindow W;
    int Told = 0;
    W.OnSetFocus = [&] { ++Told; };
    W.Focusable = false;
    W.SetFocus();
    EXPECT_FALSE(W.Focused());
    W.Focusable = true;
    W.SetFocus();
    W.SetFocus();
    EXPECT_TRUE(W.Focused());
    EXPECT_EQ(Told, 1);
}

TEST(HeadlessSurface, MetricsFollowTheSelectedFont) {
    TKroHeadlessSurface S;
    S.MetricsByName["Fixedsys"] = {8, 15, 2};
    S.SelectFont({"Courier New", 10, 0, clBlack});
    EXPECT_EQ(S.TextMetrics(), (TKroTextMetrics{8, 16, 0}));
    S.SelectFont({"Fixedsys", 10, 0, clBlack});
    EXPECT_EQ(S.TextMetrics(), (TKroTextMetrics{8, 15, 2}));
    S.TextRectOpaque({15, 0, 95, 17}, 15, 1, std::string_view("a\0b", 3), clBlack, clWhite);
    ASSERT_EQ(S.Draws.back().Kind, TKroDrawCall::dkTextRect);
    EXPECT_EQ(S.Draws.back().Text.size(), 3u) << "a NUL byte is an ordinary character";
    EXPECT_EQ(S.Draws.back().Font.Name, "Fixedsys");
}

// ---- headless services

TEST(HeadlessPlatform, SystemColoursResolveAndPlainColoursPassThrough) {
    TKroHeadlessPlatform P;
    EXPECT_EQ(P.ColorToRGB(clHighlight), KroRGB(0, 0, 128));
    EXPECT_EQ(P.ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(P.ColorToRGB(KroRGB(1, 2, 3)), KroRGB(1, 2, 3));
    P.SystemColors[KroSystemColorIndex(clHighlight)] = KroRGB(51, 153, 255);
    EXPECT_EQ(P.ColorToRGB(clHighlight), KroRGB(51, 153, 255));
    EXPECT_EQ(KroRValue(KroRGB(1, 2, 3)), 1);
    EXPECT_EQ(KroGValue(KroRGB(1, 2, 3)), 2);
    EXPECT_EQ(KroBValue(KroRGB(1, 2, 3)), 3);
    EXPECT_FALSE(KroIsSystemColor(clWhite));
}

TEST(HeadlessPlatform, ClipboardKeepsItsTextWhenPlacingFails) {
    TKroHeadlessPlatform P;
    IKroClipboard& C = P.Clipboard();
    EXPECT_FALSE(C.HasText());
    EXPECT_EQ(C.GetText(), "");
    EXPECT_TRUE(C.SetText("a\r\nb"));
    P.ClipboardImpl.FailSetText = true;
    EXPECT_FALSE(C.SetText("lost"));
    EXPECT_EQ(C.GetText(), "a\r\nb");
}
