// A headless editor for tests: a recording window, a controller, and texts written with the
// caret ('|') and the selection ('{' .. '}') marked in them.
#pragma once

#include "Controller.h"
#include "CustomEditor.h"
#include "Headless.h"

#include <string>
#include <utility>
#include <vector>

// Exposes the control's internals that the tests observe or drive.
class TTestEditor : public TKroCustomEditor {
public:
    using TKroCustomEditor::DoOnError;
    using TKroCustomEditor::FullRefresh;
    using TKroCustomEditor::TKroCustomEditor;
    int32_t VScrollUnit() const { return FVScrollUnit; }
    int32_t VScrollMax() const { return FVScrollMax; }
    int32_t CaretLine() const { return FCaretLine; }
    int32_t CaretPos() const { return FCaretPos; }
    bool RepaintPending() const { return FRepaintPending; }
    // What a finished paint leaves behind.
    void PaintDone() { FRepaintPending = false; }
};

// Character cells of 10 x 10 pixels; Cols x Rows of text between the margins (15 and 5).
struct TEditorRig {
    TKroHeadlessPlatform Platform;
    TKroPlatformScope Scope{Platform};
    TKroController Controller;
    TKroHeadlessWindow Window;
    TTestEditor Ed{nullptr, &Window};
    std::vector<std::pair<int32_t, int32_t>> Status; // (line, column) reports delivered

    explicit TEditorRig(int Cols = 40, int Rows = 20) {
        Window.Surface.Metrics = TKroTextMetrics{10, 9, 0};
        Window.Width = 20 + Cols * 10;
        Window.Height = Rows * 10;
        Window.OnPostedMessage = [this](const TKroPostedMessage& M) {
            Ed.HandlePostedMessage(M.Msg, M.WParam, M.LParam);
        };
        Ed.OnShowStatus = [this](TKroCustomEditor&, int32_t Line, int32_t Col) {
            Status.emplace_back(Line, Col);
        };
        Ed.SetController(&Controller);
        Ed.CreateWnd();
    }

    // Replaces the document by Text (paragraphs separated by '\n'), then puts the caret and
    // the selection where Text marks them ('|' caret, '{' and '}' selection ends).
    void Load(const std::string& Marked);
    // The document with the caret and selection marked; checks the invariant first.
    std::string Text();
    // Delivers the queued status reports; returns how many arrived.
    int Deliver() { return Window.DeliverPosted(); }
    // Forgets the reports and window calls so far.
    void ClearLog() {
        Window.DeliverPosted();
        Status.clear();
        Window.ClearLog();
    }
};
