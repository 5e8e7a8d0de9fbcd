// Our editor as measured: a TKroTextFileEditor in its Qt widget host, driven like the peers.
#include "EditorAdapter.h"

#include "EditorWidget.h"
#include "QtPlatform.h"
#include "TextFileEditor.h"

#include <QFont>
#include <QFontInfo>

#include <memory>
#include <stdexcept>
#include <string>

namespace zbench {
namespace {

class ZantrixAdapter final : public EditorAdapter {
public:
    ~ZantrixAdapter() override { delete widget_; }

    void Create(const QFont& font, QSize size) override {
        // The platform services are process-wide; one set serves every widget.
        static TKroQtPlatform platform;
        KroSetPlatform(&platform);
        widget_ =
            new TKroEditorWidget(nullptr, nullptr, [](TKroComponent* owner, IKroWindow* window) {
                return std::make_unique<TKroTextFileEditor>(owner, window);
            });
        editor_ = &static_cast<TKroTextFileEditor&>(widget_->Editor());
        editor_->FixedFont().SetName(QFontInfo(font).family().toStdString());
        editor_->FixedFont().SetSize(font.pointSize());
        // The whole typing must stay undoable: the largest undo buffer the control allows.
        editor_->SetUndoBufferSize(65535);
        editor_->SetWordWrap(false);
        widget_->resize(size);
    }

    QWidget* Widget() const override { return widget_; }

    QString FontInUse() const override {
        return QStringLiteral("%1 %2")
            .arg(QString::fromStdString(editor_->FixedFont().Name()))
            .arg(editor_->FixedFont().Size());
    }

    void Open(const QString& path) override {
        editor_->SetFileName(path.toStdString());
        editor_->SetIsOpen(true);
        if (!editor_->IsOpen()) throw std::runtime_error("the file did not open");
        const TKroLoadReport& report = editor_->LoadReport();
        if (report.LinesLeftOut > 0 || report.SplitLines > 0)
            throw std::runtime_error("the load split " + std::to_string(report.SplitLines) +
                                     " lines and left out " + std::to_string(report.LinesLeftOut));
    }

    CaretPlace Caret() const override {
        const TParaPos caret = editor_->CaretParaPos();
        std::int32_t length = 0;
        editor_->GetPara(caret.Para, length);
        const bool atEnd = caret.Para == editor_->ParaList().ParaCount() && caret.Pos == length + 1;
        return {caret.Para - 1, caret.Para == 1 && caret.Pos == 1, atEnd};
    }

    void PlaceCaretInMiddle() override {
        const std::int32_t para = std::max(1, editor_->ParaList().ParaCount() / 2);
        std::int32_t length = 0;
        editor_->GetPara(para, length);
        editor_->MoveCaretToPara(para, length / 2 + 1, false);
    }

    bool Find(const QString& pattern, bool caseSensitive) override {
        const std::string bytes = pattern.toLatin1().toStdString();
        return editor_->Search(bytes, caseSensitive ? sfMatchCase : TSearchFlags(0));
    }

    void SetWrap(bool on, int column) override {
        if (on) editor_->SetWrapColumn(column);
        editor_->SetWordWrap(on);
    }

    bool CanUndo() const override { return editor_->CanUndo(); }
    void Undo() override { editor_->Undo(); }

    void Save(const QString& path) override { editor_->SaveToFile(path.toStdString()); }

    qint64 DocumentLength() const override { return editor_->TextLength(); }
    qint64 DisplayLines() const override { return editor_->LineCount(); }

    void Close() override {
        delete widget_;
        widget_ = nullptr;
        editor_ = nullptr;
    }

private:
    TKroEditorWidget* widget_ = nullptr;
    TKroTextFileEditor* editor_ = nullptr;
};

} // namespace

std::unique_ptr<EditorAdapter> MakeZantrixAdapter() {
    return std::make_unique<ZantrixAdapter>();
}

} // namespace zbench
