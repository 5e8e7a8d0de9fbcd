// Small rigs of the regression tests: a list client that ignores notifications, and two
// controls on the headless platform, the second to be attached to the first's document.
#pragma once

#include "Controller.h"
#include "CustomEditor.h"
#include "Headless.h"
#include "ParaList.h"

#include <cstdint>
#include <string_view>

struct TSilentClient : IParaListClient {
    void TextInserted(int32_t, int32_t, int32_t) override {}
    void TextDeleted(int32_t, int32_t, int32_t) override {}
    void ParaDeleted(int32_t) override {}
    void ParaSplit(int32_t, int32_t, int32_t) override {}
    void ParasJoined(int32_t, int32_t) override {}
    void TextReformatted() override {}
};

struct TEditorPair {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow W1, W2;
    TKroCustomEditor Ed1{nullptr, &W1}, Ed2{nullptr, &W2};

    TEditorPair() {
        for (TKroCustomEditor* E : {&Ed1, &Ed2}) {
            E->SetController(&Controller);
            E->CreateWnd();
        }
    }
    // Types Text into the first control.
    void Type(std::string_view Text) {
        for (char C : Text)
            Ed1.ProcessCommand(ccChar, static_cast<std::uint8_t>(C));
    }
};
