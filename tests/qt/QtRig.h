// The Qt test rig: an offscreen application, a platform that records instead of showing boxes,
// and key and mouse events sent to a widget the way the window system would.
#pragma once

#include "EditorWidget.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QString>

#include <memory>
#include <string>
#include <vector>

// The process's application object (made on first use).
QApplication& KroTestApp();

class TKroTestQtPlatform : public TKroQtPlatform {
public:
    std::vector<std::string> Errors;
    void ShowError(const std::string& Message) override { Errors.push_back(Message); }
};

// A platform installed for one test.
struct TQtPlatformRig {
    TQtPlatformRig();
    ~TQtPlatformRig();
    TKroTestQtPlatform Platform;
    IKroPlatform* Previous;
};

// One shown and focused editor widget.
struct TWidgetRig : TQtPlatformRig {
    explicit TWidgetRig(int Width = 400, int Height = 300);
    std::unique_ptr<TKroEditorWidget> Widget;
    TKroCustomEditor& Ed() { return Widget->Editor(); }

    // Press and release of one key; Text is what the key types.
    void Key(int QtKey, Qt::KeyboardModifiers Mods = Qt::NoModifier, const QString& Text = {},
             quint32 ScanCode = 0);
    // Each character typed as its own key.
    void Type(const QString& Text);
    // Button press and release at a point of the client area (the release is queued first, so
    // the control's drag loop sees it).
    void Click(QPoint At, Qt::KeyboardModifiers Mods = Qt::NoModifier);
    void DoubleClick(QPoint At);
    void MoveTo(QPoint At);
    // Runs the event loop until nothing is pending (posted messages, repaints).
    void Settle();
    // Document text, paragraphs joined by '\n'.
    std::string Text();
};
