// Qt's QPlainTextEdit as a peer: loaded, searched, wrapped and saved the way a Qt program does it.
#include "EditorAdapter.h"

#include <QFile>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <stdexcept>

namespace zbench {
namespace {

// QPlainTextEdit wraps only at the widget's edge; a right viewport margin narrows the text
// area so that the edge falls at the wrap column.
class NarrowablePlainTextEdit : public QPlainTextEdit {
public:
    void SetRightMargin(int px) { setViewportMargins(0, 0, px, 0); }
};

class PlainTextAdapter final : public EditorAdapter {
public:
    ~PlainTextAdapter() override { delete edit_; }

    void Create(const QFont& font, QSize size) override {
        edit_ = new NarrowablePlainTextEdit;
        edit_->setFont(font);
        edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        edit_->resize(size);
    }

    QWidget* Widget() const override { return edit_; }

    void Open(const QString& path) override {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot open " + path.toStdString());
        const QByteArray bytes = file.readAll();
        edit_->setPlainText(QString::fromUtf8(bytes));
    }

    CaretPlace Caret() const override {
        const QTextCursor cursor = edit_->textCursor();
        return {cursor.blockNumber(), cursor.atStart(), cursor.atEnd()};
    }

    void PlaceCaretInMiddle() override {
        QTextDocument* doc = edit_->document();
        const QTextBlock block = doc->findBlockByNumber(doc->blockCount() / 2);
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + (block.length() - 1) / 2);
        edit_->setTextCursor(cursor);
    }

    bool Find(const QString& pattern, bool caseSensitive) override {
        return edit_->find(pattern, caseSensitive ? QTextDocument::FindCaseSensitively
                                                  : QTextDocument::FindFlags());
    }

    void SetWrap(bool on, int column) override {
        if (on) {
            const int text =
                column * QFontMetrics(edit_->font()).horizontalAdvance(QLatin1Char('M'));
            const int frame = 2 * int(edit_->document()->documentMargin()) + 2;
            edit_->SetRightMargin(std::max(0, edit_->viewport()->width() - text - frame));
            edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        } else {
            edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
            edit_->SetRightMargin(0);
        }
    }

    bool CanUndo() const override { return edit_->document()->isUndoAvailable(); }
    void Undo() override { edit_->undo(); }

    // Block by block in pieces of about a megabyte: one string of the whole text, with its line
    // ends replaced, costs far more time and memory than the writing itself.
    void Save(const QString& path) override {
        QSaveFile file(path);
        bool ok = file.open(QIODevice::WriteOnly);
        QByteArray piece;
        const QTextDocument* doc = edit_->document();
        for (QTextBlock block = doc->begin(); ok && block.isValid(); block = block.next()) {
            if (block != doc->begin()) piece += "\r\n";
            piece += block.text().toUtf8();
            if (piece.size() >= (1 << 20)) {
                ok = file.write(piece) == piece.size();
                piece.clear();
            }
        }
        if (!ok || file.write(piece) != piece.size() || !file.commit())
            throw std::runtime_error("cannot save " + path.toStdString());
    }

    qint64 DocumentLength() const override { return edit_->document()->characterCount(); }

    void Close() override {
        delete edit_;
        edit_ = nullptr;
    }

private:
    NarrowablePlainTextEdit* edit_ = nullptr;
};

} // namespace

std::unique_ptr<EditorAdapter> MakePlainTextAdapter() {
    return std::make_unique<PlainTextAdapter>();
}

} // namespace zbench
