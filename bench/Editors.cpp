// The editors this harness was built with.
#include "EditorAdapter.h"

#include <QFontInfo>
#include <QWidget>

namespace zbench {

QString EditorAdapter::FontInUse() const {
    const QFontInfo info(Widget()->font());
    return QStringLiteral("%1 %2").arg(info.family()).arg(info.pointSize());
}

const std::vector<EditorInfo>& Editors() {
    static const std::vector<EditorInfo> editors = {
#ifdef ZANTRIX_BENCH_WITH_ZANTRIX
        {"zantrix", "Zantrix", &MakeZantrixAdapter},
#endif
        {"plain", "QPlainTextEdit", &MakePlainTextAdapter},
        {"scintilla", "QScintilla", &MakeScintillaAdapter},
    };
    return editors;
}

const EditorInfo* FindEditor(const std::string& key) {
    for (const EditorInfo& info : Editors())
        if (info.key == key) return &info;
    return nullptr;
}

} // namespace zbench
