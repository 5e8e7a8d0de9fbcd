// QScintilla as a peer: bytes in and out through Scintilla's own calls, no lexer, no margins.
#include "EditorAdapter.h"

#include <Qsci/qsciscintilla.h>

#include <QFile>
#include <QSaveFile>

#include <stdexcept>

namespace zbench {
namespace {

class ScintillaAdapter final : public EditorAdapter {
public:
    ~ScintillaAdapter() override { delete sci_; }

    void Create(const QFont& font, QSize size) override {
        sci_ = new QsciScintilla;
        sci_->setFont(font);
        for (int margin = 0; margin < sci_->margins(); ++margin)
            sci_->setMarginWidth(margin, 0);
        sci_->setEolMode(QsciScintilla::EolWindows);
        sci_->setWrapMode(QsciScintilla::WrapNone);
        sci_->resize(size);
    }

    QWidget* Widget() const override { return sci_; }

    void Open(const QString& path) override {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot open " + path.toStdString());
        const QByteArray bytes = file.readAll();
        // Loading is not an edit the user can undo.
        sci_->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
        sci_->SendScintilla(QsciScintillaBase::SCI_SETTEXT, bytes.constData());
        sci_->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        sci_->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1UL);
        sci_->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    }

    CaretPlace Caret() const override {
        const long pos = sci_->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
        const long line = sci_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, pos);
        return {line, pos == 0, pos == sci_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH)};
    }

    void PlaceCaretInMiddle() override {
        const int line = sci_->lines() / 2;
        sci_->setCursorPosition(line, sci_->lineLength(line) / 2);
    }

    bool Find(const QString& pattern, bool caseSensitive) override {
        return sci_->findFirst(pattern, false, caseSensitive, false, false, true, -1, -1, false);
    }

    void SetWrap(bool on, int column) override {
        if (on) {
            // Scintilla wraps at the text area's edge; a right margin puts that edge at the column.
            const long cw = sci_->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                                uintptr_t(QsciScintillaBase::STYLE_DEFAULT), "M");
            const int right = sci_->viewport()->width() - int(column * cw) - 2;
            sci_->SendScintilla(QsciScintillaBase::SCI_SETMARGINRIGHT, 0UL,
                                long(std::max(right, 0)));
            sci_->setWrapMode(QsciScintilla::WrapWord);
        } else {
            sci_->setWrapMode(QsciScintilla::WrapNone);
            sci_->SendScintilla(QsciScintillaBase::SCI_SETMARGINRIGHT, 0UL, 0L);
        }
    }

    bool CanUndo() const override { return sci_->isUndoAvailable(); }
    void Undo() override { sci_->undo(); }

    void Save(const QString& path) override {
        const long length = sci_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        const char* text = static_cast<const char*>(
            sci_->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text, length) != length ||
            !file.commit())
            throw std::runtime_error("cannot save " + path.toStdString());
        sci_->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    }

    qint64 DocumentLength() const override {
        return sci_->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    }

    void Close() override {
        delete sci_;
        sci_ = nullptr;
    }

private:
    QsciScintilla* sci_ = nullptr;
};

} // namespace

std::unique_ptr<EditorAdapter> MakeScintillaAdapter() {
    return std::make_unique<ScintillaAdapter>();
}

} // namespace zbench
