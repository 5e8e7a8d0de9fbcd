// One editor under measurement, driven through its widget the way a user would drive it.
#pragma once

#include <QFont>
#include <QSize>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace zbench {

class EditorAdapter {
public:
    virtual ~EditorAdapter() = default;

    // Builds the widget at the given size and font, empty and not yet shown.
    virtual void Create(const QFont& font, QSize size) = 0;
    // The top-level widget that is rendered, shown and destroyed.
    virtual QWidget* Widget() const = 0;
    // The widget that receives key events (the one that has the focus in use).
    virtual QWidget* KeyTarget() const { return Widget(); }

    // Reads the file into a fresh document; the document is ready when this returns.
    virtual void Open(const QString& path) = 0;
    // Where the caret is: its line (0 for the first) and whether it sits at the very start or
    // the very end of the document. Lets a session check that the keys did what they say.
    struct CaretPlace {
        qint64 line = 0;
        bool atStart = false;
        bool atEnd = false;
    };
    virtual CaretPlace Caret() const = 0;
    // Puts the caret in the middle of the middle line (setup only, never timed).
    virtual void PlaceCaretInMiddle() = 0;
    // Searches forward from the caret to the end of the document; true when found.
    virtual bool Find(const QString& pattern, bool caseSensitive) = 0;
    // Word wrap at the given column on, or off.
    virtual void SetWrap(bool on, int column) = 0;
    virtual bool CanUndo() const = 0;
    virtual void Undo() = 0;
    // Writes the document to the file atomically, CR LF between lines.
    virtual void Save(const QString& path) = 0;
    // The font the editor actually draws with, as "family points".
    virtual QString FontInUse() const;
    // Characters in the document, counted the editor's own way.
    virtual qint64 DocumentLength() const = 0;
    // Display lines, each wrapped line counted; -1 where the editor cannot say so exactly (one
    // that lays out or wraps lazily).
    virtual qint64 DisplayLines() const { return -1; }
    // Destroys the widget and its document.
    virtual void Close() = 0;
};

struct EditorInfo {
    std::string key;   // used on the command line and between processes
    std::string title; // the column heading
    std::unique_ptr<EditorAdapter> (*make)();
};

// Every editor built into this harness, ours first.
const std::vector<EditorInfo>& Editors();
const EditorInfo* FindEditor(const std::string& key);

std::unique_ptr<EditorAdapter> MakePlainTextAdapter();
std::unique_ptr<EditorAdapter> MakeScintillaAdapter();
#ifdef ZANTRIX_BENCH_WITH_ZANTRIX
std::unique_ptr<EditorAdapter> MakeZantrixAdapter();
#endif

} // namespace zbench
